#include "plugins/gnutella/CGnutellaQueryHitContainer.h"

#include <memory>
#include <new>

#include "plugins/gnutella/descriptors.h"

namespace vesk::gnutella {

CGnutellaQueryHitContainer* NewQueryHitContainer(const unsigned char* descriptor, std::size_t length) {
    if (!descriptor || length < descriptorHeaderSize || descriptor[header::function] != function::queryHit ||
        ReadLe32(descriptor + header::payloadLength) != length - descriptorHeaderSize)
        return nullptr;
    std::unique_ptr<CGnutellaQueryHitContainer> hit(new (std::nothrow) CGnutellaQueryHitContainer());
    if (!hit)
        return nullptr;
    try {
        hit->m_Bytes.assign(descriptor, descriptor + length);
    } catch (...) {
        return nullptr;
    }
    return hit.release();
}

}  // namespace vesk::gnutella
