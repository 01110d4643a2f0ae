// Shared by the file-system module's tests: the module registered once per
// process, and short ways to make its objects and read buffers.
#pragma once

#include <string>

#include "core/buffer.h"
#include "plugins/fs/tests/moduleHost.h"
#include "vesk/data.h"
#include "vesk/fs.h"

namespace vesk::svctest {

// Registers the file-system module and its classes (once).
void loadFileSystemModule();

// A file or folder object made through the factory, held by the test.
ref<fs::Ifile> fileAt(const std::string& path);
ref<fs::Idirectory> folderAt(const std::string& path);

// The bytes of a buffer; "<null>" for a null buffer. Releases a buffer that
// nobody holds (count 0).
std::string takeText(Ibuffer* b);

// A buffer (count 0) holding the bytes.
inline Ibuffer* bytesBuffer(const std::string& s) { return newBuffer(s.data(), static_cast<unsigned>(s.size())); }

}  // namespace vesk::svctest
