#include "plugins/fs/file.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/buffer.h"
#include "core/module.h"
#include "plugins/fs/services.h"

namespace vesk::fs {

namespace {

// copyTo moves the data in pieces of this size so that a large file never
// sits in memory as a whole.
constexpr unsigned copyChunk = 51200;

constexpr int probeFlags = _O_BINARY;
constexpr int copyReadFlags = _O_BINARY;
constexpr int copyOverwriteFlags = _O_BINARY | _O_TRUNC | _O_WRONLY;
constexpr int copyCreateFlags = _O_BINARY | _O_CREAT | _O_WRONLY;

char* copyText(const char* text) { return text ? strdup(text) : nullptr; }

// The permission argument is read only when the flags hold _O_CREAT.
int openDescriptor(const char* path, int flags, int shareMode) {
    if (!path)
        return -1;
    return _sopen(path, flags, shareMode, _S_IREAD | _S_IWRITE);
}

// A new buffer made through the factory, so that it is the class every
// module agrees on; the core's own when the module is not registered.
Ibuffer* makeBuffer(void* bytes, unsigned length) {
    moduleServices& s = services();
    if (!s.factory)
        return newBuffer(bytes, length);
    return createAs<Ibuffer>(s.factory, s.owner, "vesk::buffer", bytes,
                             static_cast<unsigned long>(length));
}

// Volume and index of an existing file: shared by every name it has (hard
// links, short names, other spellings of the path). Some network file
// systems give every file index 0; that tells nothing.
bool fileIdentity(const char* path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool known = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return known && (info.nFileIndexHigh || info.nFileIndexLow);
}

// Both names lead to one file: copying would truncate the source first.
bool sameFile(const char* a, const char* b) {
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    if (fileIdentity(a, infoA) && fileIdentity(b, infoB))
        return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
               infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
    char fullA[MAX_PATH], fullB[MAX_PATH];
    DWORD na = GetFullPathNameA(a, MAX_PATH, fullA, nullptr);
    DWORD nb = GetFullPathNameA(b, MAX_PATH, fullB, nullptr);
    if (na == 0 || na >= MAX_PATH || nb == 0 || nb >= MAX_PATH)
        return lstrcmpiA(a, b) == 0;
    return lstrcmpiA(fullA, fullB) == 0;
}

unsigned low32(unsigned long long n) { return n > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<unsigned>(n); }

}  // namespace

file::file(const char* path) {
    registerInterfaceOf<Ifile>(this);
    registerInterfaceOf<Igeneric>(this);
    path_ = copyText(path);
    measureClosed();
}

file::~file() {
    close();
    std::free(path_);
}

void file::measureClosed() {
    size_ = 0;
    int probe = openDescriptor(path_, probeFlags, _SH_DENYNO);
    if (probe == -1)
        return;
    long long end = _lseeki64(probe, 0, SEEK_END);
    size_ = end > 0 ? static_cast<unsigned long long>(end) : 0;
    _close(probe);
}

bool file::open(int flags, int shareMode) {
    if (isOpen())
        return true;
    int descriptor = openDescriptor(path_, flags, shareMode);
    if (descriptor == -1)
        return false;
    long long end = _lseeki64(descriptor, 0, SEEK_END);
    if (end > 0 && _lseeki64(descriptor, 0, SEEK_SET) != 0) {
        _close(descriptor);
        return false;  // writes at the current position would land at the end
    }
    descriptor_ = descriptor;
    flags_ = flags;
    shareMode_ = shareMode;
    size_ = end > 0 ? static_cast<unsigned long long>(end) : 0;
    return true;
}

bool file::close() {
    if (!isOpen())
        return false;
    int result = _close(descriptor_);
    descriptor_ = -1;
    flags_ = 0;
    shareMode_ = 0;
    return result == 0;
}

Ibuffer* file::read(unsigned size, unsigned offset) {
    if (!isOpen())
        return nullptr;
    if (_lseeki64(descriptor_, offset, SEEK_SET) < 0)  // offset 0: the start
        return nullptr;
    // Size 0 asks for the whole file; from an offset no more than what is
    // left there can come, so no more is allocated (a whole large file
    // would not fit in memory).
    unsigned long long remaining = offset < size_ ? size_ - offset : 0;
    if (size == 0 || size > remaining)
        size = low32(remaining);
    if (size == 0)
        return nullptr;

    void* block = std::malloc(size);
    if (!block)
        return nullptr;
    int count = _read(descriptor_, block, size);
    Ibuffer* result = count > 0 ? makeBuffer(block, static_cast<unsigned>(count)) : nullptr;
    std::free(block);
    return result;
}

Ibuffer* file::readInto(Ibuffer* destination) {
    Ibuffer* whole = read(0, 0);
    if (!whole || !destination)
        return whole;
    whole->addRef();
    unsigned length = whole->resize(0);
    if (destination->resize(0) > 0)
        destination->appendBuffer(whole);
    else
        destination->assign(bufferData(whole), static_cast<int>(length));
    whole->release();
    return destination;
}

int file::write(Ibuffer* data, unsigned offset) {
    if (!isOpen() || !data)
        return 0;
    if (offset && _lseeki64(descriptor_, offset, SEEK_SET) < 0)
        return 0;
    unsigned length = data->resize(0);
    const unsigned char* bytes = bufferData(data);
    if (!length || !bytes)
        return 0;
    int written = _write(descriptor_, bytes, length);
    return written < 0 ? 0 : written;
}

int file::reopen(int flags, int shareMode) {
    if (flags == 0)
        return flags_;
    if (!isOpen())
        return 0;
    int previous = flags_;
    close();
    return open(flags, shareMode) ? previous : 0;
}

// True when every chunk read was written whole. Ends at the first read that
// gives nothing, so a file that shrinks while it is copied cannot hang it.
bool file::copyChunks(Ifile* destination) {
    unsigned total = low32(size_);
    unsigned copied = 0;
    while (copied < total) {
        unsigned want = total - copied < copyChunk ? total - copied : copyChunk;
        Ibuffer* piece = read(want, copied);
        if (!piece)
            break;
        piece->addRef();
        unsigned got = piece->resize(0);
        int written = destination->write(piece, 0);
        piece->release();
        if (written < 0 || static_cast<unsigned>(written) != got)
            return false;
        copied += got;
        Sleep(0);
    }
    return true;
}

Ifile* file::copyTo(const char* destination, bool overwrite) {
    if (!destination || !path_ || sameFile(path_, destination))
        return nullptr;
    if (isOpen())
        reopen(copyReadFlags, _SH_DENYNO);  // its result is the old flags, maybe 0
    else
        open(copyReadFlags, _SH_DENYNO);
    if (!isOpen())
        return nullptr;

    Ifile* copy = newFile(destination);
    bool opened = false;
    if (copy) {
        if (copy->exists())
            opened = overwrite && copy->open(copyOverwriteFlags, _SH_DENYNO);
        else
            opened = copy->open(copyCreateFlags, _SH_DENYNO);
    }
    bool complete = opened && copyChunks(copy);
    if (copy)
        copy->close();
    close();
    if (!complete) {
        if (opened)
            copy->remove();  // a partial copy must not pass for the file
        dropNew(copy);
        return nullptr;
    }
    return copy;
}

const char* file::rename(const char* newPath) {
    if (!newPath || !isOpen() || !path_)
        return path_;
    char* copy = copyText(newPath);
    if (!copy)
        return path_;
    if (std::rename(path_, newPath) != 0) {
        std::free(copy);
        return path_;
    }
    std::free(path_);
    path_ = copy;
    return path_;
}

bool file::remove() { return path_ && std::remove(path_) == 0; }

bool file::setPath(const char* path) {
    if (!path)
        return false;
    close();
    char* copy = copyText(path);
    if (!copy)
        return false;
    std::free(path_);
    path_ = copy;
    measureClosed();
    return true;
}

bool file::exists() {
    int probe = openDescriptor(path_, probeFlags, _SH_DENYNO);
    if (probe == -1)
        return false;
    _close(probe);
    return true;
}

Ifile* newFile(const char* path) { return new (std::nothrow) capsule<file>(path); }

}  // namespace vesk::fs
