#include "plugins/gnutella/downloadQueue.h"

#include <algorithm>
#include <mutex>

#include "plugins/gnutella/moduleLists.h"

namespace vesk::gnutella {

int QueueDownload(ss::IAgent* row) {
    if (!row)
        return -1;
    row->addRef();
    std::lock_guard<std::recursive_mutex> hold(g_QueuedDownloadList.guard);
    g_QueuedDownloadList.items.push_back(row);
    return 0;
}

int UnqueueDownload(ss::IAgent* row) {
    bool found = false;
    {
        std::lock_guard<std::recursive_mutex> hold(g_QueuedDownloadList.guard);
        auto& queue = g_QueuedDownloadList.items;
        auto entry = std::find(queue.begin(), queue.end(), row);
        if (entry != queue.end()) {
            queue.erase(entry);
            found = true;
        }
    }
    if (found)
        row->release();
    return 0;
}

ss::IAgent* PopQueuedDownload() {
    return PopQueuedDownloadIf(nullptr);
}

ss::IAgent* PopQueuedDownloadIf(bool (*admit)(ss::IAgent* row)) {
    std::lock_guard<std::recursive_mutex> hold(g_QueuedDownloadList.guard);
    auto& queue = g_QueuedDownloadList.items;
    if (queue.empty() || (admit && !admit(queue.front())))
        return nullptr;
    ss::IAgent* row = queue.front();
    queue.pop_front();
    return row;
}

}  // namespace vesk::gnutella
