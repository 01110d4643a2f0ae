// The share list file "pelloran.ini": the manager writes it, the share
// engine reads it. Both take its path once, at start, from the current
// directory of that moment, and read it through the same profile calls.
#pragma once

#include <string>

namespace vesk {

constexpr const char* shareListFileName = "pelloran.ini";

// The share list in folder; empty when there is no folder or the path
// would not fit the platform's path limit (the profile calls would then
// name another file, or none).
std::string shareListIn(const std::string& folder);

// True when the section of the profile file exists and is not empty.
// False for an empty file name: the profile calls would read the system's
// own profile file instead.
bool sectionExists(const std::string& file, const std::string& section);

// The key's text (at most size - 1 characters), or fallback when the key,
// the section or the file is missing, or the file name is empty.
std::string profileText(const std::string& file, const std::string& section, const char* key, const char* fallback,
                        unsigned size);

// A share's "Recursive" text as any writer of the list may have spelled it:
// "1", or anything beginning with 't' or 'T'.
bool readsAsTrue(const std::string& flag);

}  // namespace vesk
