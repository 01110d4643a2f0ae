// File and folder objects of the file-system module, made through the
// factory as "vesk::fs::file" and "vesk::fs::directory" with the path as one
// C-string value. They take no lock: one thread uses an object at a time.
// New objects returned here have a count of 0; the caller adds the first
// reference. Failures are reported only through the results.
#pragma once

#include "vesk/object.h"

namespace vesk {

struct Ibuffer;
struct Ivector;

namespace fs {

// Open flags and share modes are the C run-time's (_O_*, _SH_*).
namespace openFlag {
constexpr int readOnly = 0x0;
constexpr int writeOnly = 0x1;
constexpr int readWrite = 0x2;
constexpr int sequential = 0x20;
constexpr int create = 0x100;
constexpr int truncate = 0x200;
constexpr int text = 0x4000;
constexpr int binary = 0x8000;
}  // namespace openFlag
constexpr int shareDenyNone = 0x40;

struct Ifile : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::fs::Ifile *";
    // True at once when already open. Measures the size, position 0.
    virtual bool open(int flags, int shareMode) = 0;
    // False when not open or the close fails.
    virtual bool close() = 0;
    // A new buffer with up to size bytes from offset (offset 0 reads from
    // the start, size 0 or past the end reads the rest); null when not open
    // or nothing was read. In text mode line ends are translated.
    virtual Ibuffer* read(unsigned size, unsigned offset) = 0;
    // The whole file: appended to a non-empty destination, replacing an
    // empty one, or in a new buffer when destination is null. Returns the
    // destination or the new buffer; null when not open or nothing was read.
    virtual Ibuffer* readInto(Ibuffer* destination) = 0;
    // Bytes written; 0 when not open, data null or the write failed. A
    // nonzero offset seeks there first, 0 writes at the current position.
    virtual int write(Ibuffer* data, unsigned offset) = 0;
    // The size as last measured (creation, setPath or open).
    virtual unsigned long long getSize() = 0;
    // Flags 0: the current flags. Closed: 0. Else reopens with the new flags
    // and returns the previous ones, 0 when the new open failed.
    virtual int reopen(int flags, int shareMode) = 0;
    virtual int reserved7() = 0;
    virtual int reserved8() = 0;
    virtual int reserved9() = 0;
    // A new file object for the copy (closed), null when the destination
    // exists and overwrite is false or the copy could not be made. The
    // source is closed afterwards.
    virtual Ifile* copyTo(const char* destination, bool overwrite) = 0;
    // Moves the open file to the new path; null asks the current path. The
    // object's path changes only when the move succeeded. The result is
    // the object's path, owned by the object.
    virtual const char* rename(const char* newPath) = 0;
    // Deletes the file at the path.
    virtual bool remove() = 0;
    // Closes, points the object at another path and measures its size.
    // False only for a null path.
    virtual bool setPath(const char* path) = 0;
    // The path can be opened; the object's state is unchanged.
    virtual bool exists() = 0;
};

struct Idirectory : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::fs::Idirectory *";
    // A new vector (add-ref mode, count 0) of new file and folder objects
    // for the entries; null when the folder is missing or unreadable.
    virtual Ivector* list() = 0;
    // The object is a file or a folder object.
    virtual bool accepts(Igeneric* object) = 0;
    // The path, ending in '\' (empty without one); owned by the object.
    virtual const char* getPath() = 0;
    virtual bool exists() = 0;
    // 0 when the folder already exists, or when a level is missing and
    // createMissing is false (or it cannot be made); 1 when made.
    virtual int create(bool createMissing) = 0;
    // Deletes the folder's files (and its subfolders' files when
    // recursive); folders stay. False when the folder cannot be listed.
    virtual bool clear(bool recursive) = 0;
    // Removes the folder, which must be empty.
    virtual bool remove() = 0;
};

}  // namespace fs
}  // namespace vesk
