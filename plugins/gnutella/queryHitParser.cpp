#include "plugins/gnutella/queryHitParser.h"

#include <cstring>

#include "plugins/gnutella/descriptors.h"

namespace vesk::gnutella {

namespace {

// Payload offsets.
constexpr std::size_t countAt = 0;
constexpr std::size_t portAt = 1;
constexpr std::size_t addressAt = 3;
constexpr std::size_t recordsAt = 11;

// Trailer offsets.
constexpr std::size_t vendorCodeSize = 4;
constexpr std::size_t firstFlagAt = 5;
constexpr std::size_t secondFlagAt = 6;
constexpr unsigned char pushBit = 0x01;

// Tested in this order.
const vendorEntry vendors[] = {
    {"BEAR", "Bearshare", vendorImage::vendor149}, {"LIME", "Limewire", vendorImage::vendor154},
    {"VESK", "Pelloran", vendorImage::own},        {"GNOT", "Gnotella", vendorImage::vendor151},
    {"MACT", "Mactella", vendorImage::other},      {"GNUC", "Gnucleus", vendorImage::other},
    {"GNUT", "Gnut", vendorImage::other},          {"GTKG", "GTK-Gnutella", vendorImage::other},
    {"NAPS", "Napshare", vendorImage::other},      {"OCFG", "Opencola", vendorImage::other},
    {"HSLG", "Hagelslag", vendorImage::other},     {"CULT", "Cultiv8r", vendorImage::other},
};
const vendorEntry unreported = {"", "Not Reported", vendorImage::other};

unsigned char upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool sameCode(const unsigned char* code, const char* known) {
    for (std::size_t i = 0; i < vendorCodeSize; ++i)
        if (upper(code[i]) != static_cast<unsigned char>(known[i]))
            return false;
    return true;
}

// A name of printable ASCII only, short enough to keep.
bool isAcceptableName(const unsigned char* name, std::size_t length) {
    if (length > maxResultNameLength)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (name[i] < 0x20 || name[i] >= 0x80)
            return false;
    return true;
}

// The records between at and end; false at the first fault. at is left
// after the last record read.
bool readRecords(const unsigned char*& at, const unsigned char* end, unsigned count,
                 std::vector<hitRecord>& records) {
    for (; count > 0; --count) {
        if (static_cast<std::size_t>(end - at) < 8)
            return false;
        hitRecord record;
        record.index = ReadLe32(at);
        record.size = ReadLe32(at + 4);
        const unsigned char* name = at + 8;
        auto* nameEnd = static_cast<const unsigned char*>(std::memchr(name, 0, end - name));
        if (!nameEnd || nameEnd + 1 >= end)
            return false;  // no terminator, or no room for the extension block
        const unsigned char* extension = nameEnd + 1;
        auto* extensionEnd = static_cast<const unsigned char*>(std::memchr(extension, 0, end - extension));
        if (!extensionEnd)
            return false;
        std::size_t nameLength = static_cast<std::size_t>(nameEnd - name);
        if (!isAcceptableName(name, nameLength))
            return false;
        record.name.assign(reinterpret_cast<const char*>(name), nameLength);
        records.push_back(std::move(record));
        at = extensionEnd + 1;
    }
    return true;
}

void readTrailer(const unsigned char* at, const unsigned char* end, parsedHit& hit) {
    std::size_t left = static_cast<std::size_t>(end - at);
    if (left >= vendorCodeSize)
        hit.vendor = &VendorOf(at);
    if (left > secondFlagAt)
        hit.pushFlag = (at[firstFlagAt] & pushBit) && (at[secondFlagAt] & pushBit);
}

}  // namespace

const vendorEntry& UnreportedVendor() {
    return unreported;
}

const vendorEntry& VendorOf(const unsigned char* code) {
    if (code)
        for (const vendorEntry& v : vendors)
            if (sameCode(code, v.code))
                return v;
    return unreported;
}

parsedHit ParseQueryHit(const unsigned char* descriptor, std::size_t length) {
    parsedHit hit;
    if (!descriptor || length < descriptorHeaderSize + recordsAt + guidSize) {
        hit.malformed = true;
        return hit;
    }
    const unsigned char* payload = descriptor + descriptorHeaderSize;
    const unsigned char* serventAt = descriptor + length - guidSize;
    hit.port = static_cast<std::uint16_t>(payload[portAt] | payload[portAt + 1] << 8);
    IpToText(payload + addressAt, hit.address);
    hit.servent = guid16::from(serventAt);

    const unsigned char* at = payload + recordsAt;
    try {
        if (!readRecords(at, serventAt, payload[countAt], hit.records)) {
            hit.malformed = true;
            return hit;
        }
    } catch (...) {
        hit.malformed = true;  // no memory for a record: keep those read
        return hit;
    }
    readTrailer(at, serventAt, hit);
    return hit;
}

bool MustPush(const parsedHit& hit) {
    return !hit.malformed && (hit.pushFlag || std::strcmp(hit.address, "0.0.0.0") == 0);
}

bool AcceptsResultsFrom(const char* addressText, bool showFirewalled) {
    if (!addressText || std::strncmp(addressText, "127.", 4) == 0)
        return false;
    return showFirewalled || !IsPrivateAddressText(addressText);
}

}  // namespace vesk::gnutella
