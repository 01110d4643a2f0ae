#include "testing/screen/tests/pngReader.h"

#include <cstdint>
#include <cstring>

#include "testing/screen/pngFile.h"

namespace vesk::testing::test {
namespace {

std::uint32_t big32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

rgbImage fail(std::string& why, const std::string& reason) {
    why = reason;
    return {};
}

}  // namespace

rgbImage ReadStoredPng(const std::vector<unsigned char>& file, std::string& why) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), signature, 8) != 0)
        return fail(why, "no PNG signature");
    rgbImage image;
    std::vector<unsigned char> zlib;
    bool ended = false;
    std::size_t at = 8;
    while (!ended) {
        if (file.size() - at < 12)
            return fail(why, "chunk cut short");
        std::uint32_t length = big32(&file[at]);
        if (length > file.size() - at - 12)
            return fail(why, "chunk longer than the file");
        std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const unsigned char* data = &file[at + 8];
        if (PngCrc32(&file[at + 4], length + 4) != big32(data + length))
            return fail(why, "bad CRC in " + type);
        if (type == "IHDR") {
            static const unsigned char rgb8[5] = {8, 2, 0, 0, 0};
            if (length != 13 || std::memcmp(data + 8, rgb8, 5) != 0)
                return fail(why, "not an 8-bit RGB header");
            image.width = static_cast<int>(big32(data));
            image.height = static_cast<int>(big32(data + 4));
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), data, data + length);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    if (zlib.size() < 6 || zlib[0] != 0x78 || (zlib[0] * 256 + zlib[1]) % 31 != 0)
        return fail(why, "bad zlib header");
    std::vector<unsigned char> raw;
    std::size_t z = 2;
    for (bool last = false; !last;) {
        if (zlib.size() - z < 5 || (zlib[z] & 0x06) != 0)
            return fail(why, "not a stored block");
        last = zlib[z] & 1;
        unsigned length = zlib[z + 1] | (zlib[z + 2] << 8);
        unsigned check = zlib[z + 3] | (zlib[z + 4] << 8);
        if ((length ^ 0xFFFF) != check || zlib.size() - z - 5 < length)
            return fail(why, "bad stored block length");
        raw.insert(raw.end(), zlib.begin() + static_cast<std::ptrdiff_t>(z + 5),
                   zlib.begin() + static_cast<std::ptrdiff_t>(z + 5 + length));
        z += 5 + length;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    if (zlib.size() - z != 4 || big32(&zlib[z]) != ((b << 16) | a))
        return fail(why, "bad Adler-32");
    std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    if (image.width <= 0 || image.height <= 0 || raw.size() != (rowBytes + 1) * image.height)
        return fail(why, "image data does not fit the header");
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* row = &raw[(rowBytes + 1) * y];
        if (row[0] != 0)
            return fail(why, "row with a filter");
        image.rgb.insert(image.rgb.end(), row + 1, row + 1 + rowBytes);
    }
    return image;
}

}  // namespace vesk::testing::test
