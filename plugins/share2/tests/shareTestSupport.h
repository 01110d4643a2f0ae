// Helpers of the share engine tests: an independent SHA-1 (the platform's
// crypto service), files in a temporary folder, a factory with the core
// classes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "vesk/factory.h"

namespace vesk::share2::test {

// The base-32 SHA-1 text of bytes, computed by the platform's crypto
// service; empty when that service is unavailable.
std::string referenceHashText(const std::string& bytes);

// Writes a file, creating nothing else; false on failure.
bool makeFile(const std::string& path, const std::string& bytes);
bool makeFolder(const std::string& path);
// Entries beyond the ANSI calls' path limit (ASCII paths only).
bool makeLongPathFile(const std::string& path);
bool makeLongPathFolder(const std::string& path);
bool removeLongPath(const std::string& path, bool folder);

// A link to a folder, removed when the object goes: a junction where the
// platform makes them, else (Wine) a symbolic link made by the host
// system, which Wine lists as a reparse point as Windows does.
class folderLink {
public:
    folderLink(const std::string& link, const std::string& target);
    ~folderLink();
    folderLink(const folderLink&) = delete;
    folderLink& operator=(const folderLink&) = delete;
    bool made() const { return kind_ != none; }

private:
    enum { none, junction, hostLink } kind_ = none;
    std::string link_;
};

// A file of that size whose bytes take no room (a sparse file); false
// when it could not be made.
bool makeSparseFile(const std::string& path, unsigned long long size);

// Bytes that differ from file to file.
std::string patternBytes(size_t size, unsigned seed);

// Polls until done() or the time is up; whether done() held.
bool waitUntil(const std::function<bool()>& done, DWORD limitMs = 15000);

// A new factory with the twelve core classes; the caller ends it with
// releaseCore (via IcoreObject).
Ifactory* newCoreFactory();
void endFactory(Ifactory* factory);

}  // namespace vesk::share2::test
