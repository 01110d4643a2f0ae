#include "plugins/Quillet/tests/guardedBuffer.h"

#include <cstring>
#include <stdexcept>

namespace vesk::svctest {

guardedBuffer::guardedBuffer(const std::string& bytes) : size_(static_cast<unsigned>(bytes.size())) {
    registerInterfaceOf<Ibuffer>(this);
    registerInterfaceOf<Igeneric>(this);
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    SIZE_T page = info.dwPageSize;
    SIZE_T dataPages = (bytes.size() + page - 1) / page + 1;
    blockSize_ = (dataPages + 1) * page;
    block_ = static_cast<unsigned char*>(VirtualAlloc(nullptr, blockSize_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!block_)
        throw std::runtime_error("VirtualAlloc failed");
    unsigned char* guard = block_ + dataPages * page;
    data_ = guard - bytes.size();
    std::memcpy(data_, bytes.data(), bytes.size());
    DWORD old;
    if (!VirtualProtect(block_, dataPages * page, PAGE_READONLY, &old) ||
        !VirtualProtect(guard, page, PAGE_NOACCESS, &old))
        throw std::runtime_error("VirtualProtect failed");
}

guardedBuffer::~guardedBuffer() {
    if (block_)
        VirtualFree(block_, 0, MEM_RELEASE);
}

ref<Ibuffer> guarded(const std::string& bytes) { return ref<Ibuffer>(new capsule<guardedBuffer>(bytes)); }

}  // namespace vesk::svctest
