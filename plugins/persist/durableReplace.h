// Puts a fully written temporary file in the place of another so that a
// power loss leaves the old file or the new one, never an empty or partial
// one: the temporary's bytes reach the disk before the rename that makes it
// the file, and the rename is written through.
#pragma once

#include <functional>
#include <string>

namespace vesk::persist {

// The platform steps, apart so that their order can be checked alone.
struct replaceSteps {
    std::function<bool(const std::string& file)> flushToDisk;
    std::function<bool(const std::string& from, const std::string& to)> moveReplacing;
};

// FlushFileBuffers on the file; MoveFileExA replacing and written through.
replaceSteps platformReplaceSteps();

// False when the temporary could not be flushed (it is not moved then) or
// not moved; the file at path is unchanged in both cases.
bool replaceDurably(const std::string& temporary, const std::string& path,
                    const replaceSteps& steps = platformReplaceSteps());

}  // namespace vesk::persist
