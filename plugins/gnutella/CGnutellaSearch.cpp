#include "plugins/gnutella/CGnutellaSearch.h"

#include <windows.h>

#include <cstring>

#include "plugins/gnutella/CGnutellaQueryHitContainer.h"

namespace vesk::gnutella {

CGnutellaSearch::~CGnutellaSearch() {
    m_Stopping = true;
    std::list<CGnutellaQueryHitContainer*> unread;
    {
        std::lock_guard<std::mutex> hold(m_HitLock);
        unread.swap(m_Hits);
        m_QueuedBytes = 0;
    }
    for (CGnutellaQueryHitContainer* hit : unread)
        delete hit;
    if (m_Thread) {
        m_Thread->requestStop();
        Sleep(0);
        m_Thread->release();
    }
    if (m_Instance)
        m_Instance->release();
}

void SetQueryText(CGnutellaSearch& search, const char* text) {
    std::size_t length = text ? strnlen(text, maxQueryTextLength) : 0;
    if (length)
        std::memcpy(search.m_Query, text, length);
    search.m_Query[length] = '\0';
}

}  // namespace vesk::gnutella
