#include "plugins/fs/constructs.h"

#include "plugins/fs/directory.h"
#include "plugins/fs/file.h"

namespace vesk::fs {

Igeneric* makeFile(const char* path) { return newFile(path); }
Igeneric* makeDirectory(const char* path) { return newDirectory(path); }

}  // namespace vesk::fs
