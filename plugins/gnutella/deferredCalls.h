// Work held back until the locks of a step are let go. The transfer side
// holds a connection's lock (and the transfer list's guard) while it
// changes a transfer; the user interface's GUI thread takes the same locks
// in the row actions. Calls into the user interface end in SendMessage to
// that thread, so they must never be made under those locks: while a scope
// is open on a thread, such calls are queued, and the outermost scope runs
// them, in order, when it ends. Without a scope they run at once.
#pragma once

#include <functional>
#include <vector>

namespace vesk::gnutella {

class deferredCalls {
public:
    deferredCalls();
    // The outermost scope runs the queued work (which may open scopes of
    // its own); an inner one leaves it to the outer.
    ~deferredCalls();
    deferredCalls(const deferredCalls&) = delete;
    deferredCalls& operator=(const deferredCalls&) = delete;

private:
    deferredCalls* outer_;
    std::vector<std::function<void()>> work_;

    friend void RunOrDefer(std::function<void()> work);
};

// Queues the work in the thread's open scope, or runs it now.
void RunOrDefer(std::function<void()> work);

}  // namespace vesk::gnutella
