#include "plugins/gnutella/CGnutellaSearch.h"

namespace vesk::gnutella {

CGnutellaSearch::~CGnutellaSearch() {
    m_Stopping = true;
    if (m_Thread) {
        m_Thread->requestStop();
        m_Thread->release();
    }
    if (m_Instance)
        m_Instance->release();
}

}  // namespace vesk::gnutella
