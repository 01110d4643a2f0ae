#include "Zintaro/renderState.h"

namespace vesk::zintaro {

moduleRenderState& moduleState() {
    static moduleRenderState state;
    return state;
}

std::mutex& moduleStateLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace vesk::zintaro
