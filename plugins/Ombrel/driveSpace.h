// Sizes as the option pages show them, and the folders they are about.
#pragma once

#include <string>

namespace vesk::ss {

// The count with two decimals in the largest of Bytes, KB, MB and GB that
// keeps it above 1024 ("1024.00 Bytes", "1.00 KB", "2048.00 GB").
std::string SizeText(double bytes);

// Whether the folder exists, by the file-system module's
// "vesk::fs::directory" object; false without one.
bool FolderExists(const std::string& folder);

// The space available to the user on the folder's drive and the drive's
// size, as size texts; " " when the folder does not exist.
std::string FreeSpaceText(const std::string& folder);
std::string DriveSizeText(const std::string& folder);

// Deletes every file of the folder and its subfolders (the folders stay),
// by the "vesk::fs::directory" object. False when it cannot be listed.
bool ClearFolder(const std::string& folder);

}  // namespace vesk::ss
