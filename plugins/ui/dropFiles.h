// File lists as the shell passes them (a DROPFILES block in global memory)
// and the walk that turns a dropped path into files.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vesk::ui {

// Folders deeper than this below a dropped one are not walked: a folder
// link that leads back up would otherwise never end.
constexpr int dropWalkDepth = 32;

// A movable, shareable, zero-filled block: the 20-byte header (files at 20,
// point (0, 0), not wide) and the ANSI paths, each ended by a zero byte,
// then one more. Null when the memory cannot be had.
HGLOBAL BuildDropFiles(const std::vector<std::string>& paths);
// The paths of a block, ANSI or wide; each read within the block's size.
// Paths of MAX_PATH characters or more are left out: no file takes them.
std::vector<std::string> ReadDropFiles(HGLOBAL block);

// Calls onFile for every file a dropped path stands for: a path with no
// '.' in it is taken as a folder and walked (names beginning with '.' are
// skipped, folder links are not followed, sub-folders are walked to
// dropWalkDepth); any other path, and a folder that cannot be opened, is
// one file itself. Paths that would reach MAX_PATH characters are skipped.
void ForEachDroppedFile(const std::string& path, const std::function<void(const std::string&)>& onFile);

// The effect a drop has for the keys held and the effects the source
// allows: Ctrl and Shift link, Ctrl copies, Shift moves, no key takes the
// first of copy, move and link allowed; a wanted effect not allowed is none.
DWORD DropEffectFor(DWORD keys, DWORD allowed);

}  // namespace vesk::ui
