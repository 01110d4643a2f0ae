#include "plugins/Ombrel/driveSpace.h"

#include <windows.h>

#include <cstdio>

#include "core/module.h"
#include "plugins/Ombrel/moduleServices.h"
#include "vesk/fs.h"

namespace vesk::ss {

namespace {

const char* const units[] = {" Bytes", " KB", " MB", " GB"};
const char* const unknownSpace = " ";

ref<fs::Idirectory> directoryOf(const std::string& folder) {
    moduleServices& s = services();
    return ref<fs::Idirectory>(createAs<fs::Idirectory>(s.factory, s.token, "vesk::fs::directory", folder.c_str()));
}

// Free space for the user and the drive's size; false when unknown.
bool driveSpace(const std::string& folder, ULARGE_INTEGER& freeToUser, ULARGE_INTEGER& total) {
    return FolderExists(folder) && GetDiskFreeSpaceExA(folder.c_str(), &freeToUser, &total, nullptr);
}

}  // namespace

std::string SizeText(double bytes) {
    int unit = 0;
    while (bytes > 1024 && unit < 3) {
        bytes /= 1024;
        ++unit;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f%s", bytes, units[unit]);
    return text;
}

bool FolderExists(const std::string& folder) {
    ref<fs::Idirectory> directory = directoryOf(folder);
    return directory && directory->exists();
}

std::string FreeSpaceText(const std::string& folder) {
    ULARGE_INTEGER freeToUser, total;
    if (!driveSpace(folder, freeToUser, total))
        return unknownSpace;
    return SizeText(static_cast<double>(freeToUser.QuadPart));
}

std::string DriveSizeText(const std::string& folder) {
    ULARGE_INTEGER freeToUser, total;
    if (!driveSpace(folder, freeToUser, total))
        return unknownSpace;
    return SizeText(static_cast<double>(total.QuadPart));
}

bool ClearFolder(const std::string& folder) {
    ref<fs::Idirectory> directory = directoryOf(folder);
    return directory && directory->clear(true);
}

}  // namespace vesk::ss
