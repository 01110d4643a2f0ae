#include "bench/benchFiles.h"

#include <windows.h>

#include <cstdio>

#include "bench/stopwatch.h"

namespace vesk::bench {

void makeFiles(const std::string& folder, unsigned count, unsigned perFolder,
               const std::function<std::string(unsigned)>& name) {
    CreateDirectoryA(folder.c_str(), nullptr);
    double start = seconds();
    for (unsigned i = 0; i < count; ++i) {
        std::string sub = folder;
        if (perFolder) {
            sub += "\\album" + std::to_string(i / perFolder);
            if (i % perFolder == 0)
                CreateDirectoryA(sub.c_str(), nullptr);
        }
        HANDLE f = CreateFileA((sub + "\\" + name(i)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE)
            CloseHandle(f);
    }
    std::printf("generated %u files in %.1f s\n", count, seconds() - start);
}

std::string trackName(unsigned i) {
    char name[96];
    std::snprintf(name, sizeof name, "artist%u - track %05u - song%u.mp3", i % 97, i, i % 13);
    return name;
}

}  // namespace vesk::bench
