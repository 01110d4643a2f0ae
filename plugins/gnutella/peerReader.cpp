#include "plugins/gnutella/peerReader.h"

#include "vesk/data.h"

namespace vesk::gnutella {

peerReader::peerReader(const unsigned char* bytes, std::size_t size) : bytes_(bytes), size_(bytes ? size : 0) {}

peerReader peerReader::AtPosition(net::INetDataBuffer* buffer) {
    if (!buffer || !buffer->data())
        return peerReader(nullptr, 0);
    std::size_t size = buffer->length();
    Ibuffer* view = buffer->asBuffer();
    int position = view ? view->tell() : 0;
    std::size_t from = position <= 0 ? 0 : static_cast<std::size_t>(position);
    if (from > size)
        from = size;
    return peerReader(buffer->data() + from, size - from);
}

const unsigned char* peerReader::BytesAt(std::size_t at, std::size_t n) {
    if (!has(at, n)) {
        failed_ = true;
        return nullptr;
    }
    return bytes_ + at;
}

std::uint8_t peerReader::U8At(std::size_t at) {
    const unsigned char* p = BytesAt(at, 1);
    return p ? p[0] : 0;
}

std::uint32_t peerReader::Le32At(std::size_t at) {
    const unsigned char* p = BytesAt(at, 4);
    if (!p)
        return 0;
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

const unsigned char* peerReader::Bytes(std::size_t n) {
    const unsigned char* p = BytesAt(offset_, n);
    if (p)
        offset_ += n;
    return p;
}

std::uint8_t peerReader::U8() {
    const unsigned char* p = Bytes(1);
    return p ? p[0] : 0;
}

std::uint16_t peerReader::Le16() {
    const unsigned char* p = Bytes(2);
    return p ? static_cast<std::uint16_t>(p[0] | p[1] << 8) : 0;
}

std::uint32_t peerReader::Le32() {
    std::uint32_t v = Le32At(offset_);
    if (!failed_)
        offset_ += 4;
    return v;
}

std::string peerReader::Text(std::size_t limit) {
    std::string text;
    while (offset_ < size_) {
        unsigned char c = bytes_[offset_++];
        if (c == 0)
            break;
        if (text.size() < limit)
            text.push_back(static_cast<char>(c));
    }
    return text;
}

}  // namespace vesk::gnutella
