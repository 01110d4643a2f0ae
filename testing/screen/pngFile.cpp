#include "testing/screen/pngFile.h"

#include <windows.h>

#include <array>

namespace vesk::testing {
namespace {

const std::array<std::uint32_t, 256>& crcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void putBig32(std::vector<unsigned char>& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

void putChunk(std::vector<unsigned char>& out, const char type[4], const std::vector<unsigned char>& data) {
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBig32(out, PngCrc32(out.data() + typeAt, out.size() - typeAt));
}

// Each row starts with its filter byte (0: none).
std::vector<unsigned char> filteredRows(const rgbImage& image) {
    std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    std::vector<unsigned char> raw;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        const unsigned char* row = image.rgb.data() + rowBytes * static_cast<std::size_t>(y);
        raw.insert(raw.end(), row, row + rowBytes);
    }
    return raw;
}

// A zlib stream of stored blocks (at most 65,535 bytes each).
std::vector<unsigned char> storedZlib(const std::vector<unsigned char>& raw) {
    std::vector<unsigned char> z = {0x78, 0x01};
    std::size_t at = 0;
    do {
        std::size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        bool last = at + length == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<unsigned char>(length));
        z.push_back(static_cast<unsigned char>(length >> 8));
        z.push_back(static_cast<unsigned char>(~length));
        z.push_back(static_cast<unsigned char>(~length >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(z, (b << 16) | a);
    return z;
}

}  // namespace

std::uint32_t PngCrc32(const unsigned char* bytes, std::size_t length) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < length; ++i)
        c = crcTable()[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::vector<unsigned char> EncodePng(const rgbImage& image) {
    if (image.empty())
        return {};
    std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    putBig32(header, static_cast<std::uint32_t>(image.width));
    putBig32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter method, no interlace
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", storedZlib(filteredRows(image)));
    putChunk(out, "IEND", {});
    return out;
}

bool WritePngFile(const std::string& path, const rgbImage& image) {
    std::vector<unsigned char> bytes = EncodePng(image);
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF)
        return false;
    std::string partial = path + ".part";
    HANDLE file = ::CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ok = ::CloseHandle(file) && ok;
    if (ok)
        ok = ::MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok)
        ::DeleteFileA(partial.c_str());
    return ok;
}

}  // namespace vesk::testing
