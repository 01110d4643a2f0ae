#include "plugins/gnutella/deferredCalls.h"

#include <utility>

namespace vesk::gnutella {

namespace {

thread_local deferredCalls* openScope = nullptr;

}  // namespace

deferredCalls::deferredCalls() : outer_(openScope) {
    openScope = this;
}

deferredCalls::~deferredCalls() {
    openScope = outer_;
    if (outer_) {
        for (auto& work : work_)
            outer_->work_.push_back(std::move(work));
        return;
    }
    // Work run here may queue more into scopes of its own; none into this.
    std::vector<std::function<void()>> pending;
    pending.swap(work_);
    for (auto& work : pending)
        work();
}

void RunOrDefer(std::function<void()> work) {
    if (openScope)
        openScope->work_.push_back(std::move(work));
    else
        work();
}

}  // namespace vesk::gnutella
