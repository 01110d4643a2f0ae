// The share engine's first ways, kept as the reference its tests check
// results against and its benchmark measures against: the word search
// that walks every file under the tree's lock with a strstr and a Sleep(0)
// per word test, look-ups that wait for that lock, and a folder listing
// that compares each entry with every entry found before it.
#pragma once

#include <string>
#include <vector>

#include "plugins/share2/shareTree.h"

namespace vesk::share2::test {

// Active files of the active shares whose lower-case names contain every
// word of the query, in share order, subfolders before files.
std::vector<CShareFile*> plainWalkSearch(shareTree& tree, const char* query);

// objectById, fileByHash and totalSize as they were: under the tree's lock.
IShareObj* plainObjectById(shareTree& tree, unsigned id);
IShareObj* plainFileByHash(shareTree& tree, const char* text);
unsigned plainTotalSize(shareTree& tree);

// Lists a folder's files (at most limit of them) matching each against
// the ones before it by name ignoring case; the number of files found.
size_t plainFolderListing(const std::string& folder, size_t limit);

}  // namespace vesk::share2::test
