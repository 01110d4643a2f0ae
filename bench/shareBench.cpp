// Share engine figures: SHA-1 throughput of the hash core on memory (and
// against the system's sha1sum on the same data, when it can be started),
// the paced file hashing, and word-search latency over a generated tree of
// 100,000 files. Prints the figures; asserts nothing.
//   shareBench [files]     (default 100000)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/stopwatch.h"
#include "core/capsule.h"
#include "core/constructs.h"
#include "core/factory.h"
#include "plugins/share2/sha1.h"
#include "plugins/share2/shareEngine.h"

using namespace vesk;
using namespace vesk::share2;

namespace {

using bench::seconds;

std::string toHex(const unsigned char* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::string tempFolder() {
    char base[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, base);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    char name[64];
    std::snprintf(name, sizeof name, "shareBench-%lu", GetCurrentProcessId());
    std::string path = std::string(base) + name;
    return CreateDirectoryA(path.c_str(), nullptr) ? path : std::string();
}

bool writeWhole(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    return CloseHandle(f) && ok;
}

std::string readWhole(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return std::string();
    std::string out;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n)
        out.append(buffer, n);
    CloseHandle(f);
    return out;
}

void removeTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (listing != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(listing, &entry));
        FindClose(listing);
    }
    RemoveDirectoryA(path.c_str());
}

std::string memoryDigest(const std::string& data, double& elapsed) {
    CSHA1 sha;
    double start = seconds();
    sha.update(data.data(), static_cast<unsigned>(data.size()));
    sha.final();
    elapsed = seconds() - start;
    unsigned char digest[digestSize];
    sha.copyDigest(reinterpret_cast<char*>(digest));
    return toHex(digest, sizeof digest);
}

// Under Wine a Unix program can be started but not waited for: the shell
// times sha1sum itself and renames its result into place when done.
bool systemSha1sum(const std::string& dataFile, const std::string& folder, std::string& digest, double& elapsed) {
    using unixNameFn = char*(__cdecl*)(const WCHAR*);
    auto unixName = reinterpret_cast<unixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return false;
    auto toUnix = [&](const std::string& path) {
        std::wstring wide(path.begin(), path.end());
        char* name = unixName(wide.c_str());
        std::string out = name ? name : "";
        if (name)
            HeapFree(GetProcessHeap(), 0, name);
        return out;
    };
    std::string data = toUnix(dataFile), result = toUnix(folder + "\\sha1sum.txt");
    if (data.empty() || result.empty())
        return false;
    std::string command = "Z:\\bin\\sh -c \"a=$(date +%s%N); sha1sum '" + data + "' > '" + result +
                          ".part'; b=$(date +%s%N); echo $((b-a)) >> '" + result + ".part'; mv '" + result +
                          ".part' '" + result + "'\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string text;
    for (int waited = 0; waited < 60000 && (text = readWhole(folder + "\\sha1sum.txt")).empty(); waited += 20)
        Sleep(20);
    if (text.size() < 40)
        return false;
    digest = text.substr(0, 40);
    size_t newline = text.find('\n');
    elapsed = newline == std::string::npos ? 0 : std::atof(text.c_str() + newline + 1) / 1e9;
    return true;
}

void benchHashing(const std::string& folder) {
    const size_t size = 64u << 20;
    std::string data(size, '\0');
    unsigned x = 12345;
    for (char& c : data) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    double elapsed = 0;
    std::string ours = memoryDigest(data, elapsed);
    std::printf("SHA-1 on memory: %zu MiB in %.3f s = %.1f MiB/s\n", size >> 20, elapsed, (size >> 20) / elapsed);

    std::string dataFile = folder + "\\sha1data.bin";
    if (!writeWhole(dataFile, data)) {
        std::printf("sha1sum: data file could not be written\n");
        return;
    }
    std::string theirs;
    double theirTime = 0;
    if (systemSha1sum(dataFile, folder, theirs, theirTime))
        std::printf("sha1sum on the same data (from disk cache): %.3f s = %.1f MiB/s; digests %s\n", theirTime,
                    theirTime > 0 ? (size >> 20) / theirTime : 0.0, theirs == ours ? "agree" : "DIFFER");
    else
        std::printf("sha1sum: not available here\n");

    // Reading a file goes at the pace of one 8000-byte chunk per pause.
    std::string paced = folder + "\\paced.bin";
    writeWhole(paced, data.substr(0, 4u << 20));
    CSHA1 sha;
    double start = seconds();
    sha.hashFile(paced.c_str());
    double fileTime = seconds() - start;
    std::printf("paced file hashing: 4 MiB in %.3f s = %.2f MiB/s\n", fileTime, 4.0 / fileTime);
}

void benchSearch(const std::string& folder, unsigned files) {
    const unsigned perFolder = 1000;
    std::string root = folder + "\\tree";
    CreateDirectoryA(root.c_str(), nullptr);
    double start = seconds();
    for (unsigned i = 0; i < files; ++i) {
        std::string sub = root + "\\album" + std::to_string(i / perFolder);
        if (i % perFolder == 0)
            CreateDirectoryA(sub.c_str(), nullptr);
        char name[96];
        std::snprintf(name, sizeof name, "\\artist%u - track %05u - song%u.mp3", i % 97, i, i % 13);
        HANDLE f = CreateFileA((sub + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE)
            CloseHandle(f);
    }
    std::printf("generated %u files in %.1f s\n", files, seconds() - start);

    auto* factory = new capsule_core<vesk::factory>();
    registerCoreClasses(factory);
    auto* engine = new capsule_core<CShareEngine>(factory);
    shareSpec spec{};
    std::snprintf(spec.path, sizeof spec.path, "%s", root.c_str());
    spec.recursive = 1;
    start = seconds();
    engine->addShare(&spec);
    std::printf("first scan: %u objects in %.3f s\n", engine->objectCount(), seconds() - start);

    const char* queries[] = {"mp3", "artist42", "track 04242", "song7 artist3", "nothing-matches"};
    for (const char* query : queries) {
        std::vector<double> times;
        unsigned matches = 0;
        for (int run = 0; run < 15; ++run) {
            double t = seconds();
            Ivector* result = engine->search(query);
            times.push_back(seconds() - t);
            matches = result ? result->size() : 0;
            if (result)
                result->release();
        }
        std::sort(times.begin(), times.end());
        std::printf("search \"%s\": %u matches, median %.2f ms, best %.2f ms, worst %.2f ms\n", query, matches,
                    times[times.size() / 2] * 1e3, times.front() * 1e3, times.back() * 1e3);
    }
    engine->releaseCore();
    factory->releaseCore();
}

}  // namespace

int main(int argc, char** argv) {
    unsigned files = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 100000;
    std::string folder = tempFolder();
    if (folder.empty()) {
        std::printf("no temporary folder\n");
        return 1;
    }
    benchHashing(folder);
    benchSearch(folder, files);
    removeTree(folder);
    return 0;
}
