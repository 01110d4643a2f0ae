// Helpers of the share engine tests: an independent SHA-1 (the platform's
// crypto service), files in a temporary folder, a factory with the core
// classes.
#pragma once

#include <windows.h>

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

// Bytes that differ from file to file.
std::string patternBytes(size_t size, unsigned seed);

// A new factory with the twelve core classes; the caller ends it with
// releaseCore (via IcoreObject).
Ifactory* newCoreFactory();
void endFactory(Ifactory* factory);

}  // namespace vesk::share2::test
