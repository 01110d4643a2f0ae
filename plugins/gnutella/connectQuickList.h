// Stands in for the links side's request to dial every host of the
// quick-connect list; the link code replaces this file's definition.
#pragma once

namespace vesk::gnutella {

// 0, or -1 when the quick-connect list is empty.
int ConnectQuickList();

}  // namespace vesk::gnutella
