// Query Hits as a scripted peer would send them, built field by field so
// that a test can break any one of them. Addresses default to one from a
// documentation range: hits name it, nobody dials it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/guid16.h"

namespace vesk::gnutella::test {

using bytes = std::vector<unsigned char>;

struct craftedRecord {
    std::uint32_t index;
    std::uint32_t size;
    std::string name;
    std::string extension;  // empty: the record ends with two zero bytes
};

struct craftedHit {
    guid16 queryId;
    int count = -1;  // -1: the number of records
    std::uint16_t port = 6346;
    unsigned char address[4] = {198, 51, 100, 7};
    std::vector<craftedRecord> records;
    bytes afterRecords;  // raw bytes after the records (a broken record)
    bytes trailer;
    guid16 servent = serventWithoutZeros();

    static guid16 serventWithoutZeros() {
        guid16 g;
        for (int i = 0; i < 16; ++i)
            g.bytes[i] = static_cast<unsigned char>(0xA0 + i);
        return g;
    }

    // The whole descriptor, header first.
    bytes descriptor() const {
        bytes payload;
        payload.push_back(static_cast<unsigned char>(count < 0 ? records.size() : count));
        payload.push_back(static_cast<unsigned char>(port));
        payload.push_back(static_cast<unsigned char>(port >> 8));
        payload.insert(payload.end(), address, address + 4);
        payload.insert(payload.end(), {0x10, 0x27, 0, 0});  // speed, not read
        for (const craftedRecord& r : records) {
            unsigned char numbers[8];
            WriteLe32(numbers, r.index);
            WriteLe32(numbers + 4, r.size);
            payload.insert(payload.end(), numbers, numbers + 8);
            payload.insert(payload.end(), r.name.begin(), r.name.end());
            payload.push_back(0);
            payload.insert(payload.end(), r.extension.begin(), r.extension.end());
            payload.push_back(0);
        }
        payload.insert(payload.end(), afterRecords.begin(), afterRecords.end());
        payload.insert(payload.end(), trailer.begin(), trailer.end());
        payload.insert(payload.end(), servent.bytes, servent.bytes + 16);
        bytes whole(descriptorHeaderSize);
        WriteDescriptorHeader(whole.data(), queryId.bytes, function::queryHit, 7, 2,
                              static_cast<std::uint32_t>(payload.size()));
        whole.insert(whole.end(), payload.begin(), payload.end());
        return whole;
    }
};

// A trailer: the vendor code, an open-data length of 2 and the two flag
// bytes.
inline bytes Trailer(const char* code, unsigned char firstFlags, unsigned char secondFlags) {
    bytes t(code, code + 4);
    t.insert(t.end(), {2, firstFlags, secondFlags});
    return t;
}

}  // namespace vesk::gnutella::test
