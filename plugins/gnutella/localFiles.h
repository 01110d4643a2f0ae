// Where a download's bytes live: the partial file in the manager's
// temporary folder and the finished file in its download folder, both
// under a local name made safe from the source's file name.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "vesk/fs.h"

namespace vesk::gnutella {

class CGnutellaTransfer;

// Room a local name may take, so that a folder and "[n]" still fit a path.
constexpr std::size_t maxLocalName = 200;
// Numbered names tried before a free name is given up.
constexpr unsigned maxFreeNameTries = 1000;

// The source's name as a plain file name of this folder: no folder
// separators, drive or stream colons, control or wildcard characters (each
// becomes '_'), no trailing dots or blanks, no device name ("con.txt"
// becomes "_con.txt"), at most maxLocalName characters; "download" when
// nothing is left.
std::string SafeLocalName(const char* remoteName);

// The name with "[n]" before its last "." (at its end without one):
// "song.mp3" -> "song[0].mp3", "archive.tar.gz" -> "archive.tar[0].gz".
std::string NumberedName(const std::string& name, unsigned n);

// The folder, a backslash unless it ends in one, and the name.
std::string JoinPath(const std::string& folder, const std::string& name);

// The manager's download folder (download) or temporary folder, read now;
// empty without the manager.
std::string ManagerFolder(bool download);

// A "vesk::fs::file" object for the path with one reference for the
// caller, or null.
fs::Ifile* NewFileObject(const std::string& path);

// Opens the transfer's file object on the first numbered variant of the
// safe remote name that is free in the transfer's temporary folder and
// makes it the local name. 0, or -1 without a transfer or file, or when
// none of maxFreeNameTries names could be made.
int MakeUniqueFileName(CGnutellaTransfer* transfer);

// Moves source to destination (never replacing a file), or when a file has
// that name, to the first free numbered variant in the same folder. The
// path the file went to, empty when it did not. A file lands under its
// name only whole: on another volume it is copied beside the destination
// under a working name and renamed into place once complete; keepGoing
// (may be empty) is asked between the copy's pieces, and a copy it stops
// leaves the source as it was and nothing in the destination's folder.
std::string MoveToFreeName(const std::string& source, const std::string& destination,
                           const std::function<bool()>& keepGoing = nullptr);

}  // namespace vesk::gnutella
