// A link's row in the connection list of the host window: its attributes,
// colour and status text, and the action that drops the link. Every call
// here may end in the user interface: none is made with a list guard or a
// spin lock held.
#pragma once

#include <cstdint>

#include "vesk/ss.h"

namespace vesk::gnutella {

class CGnutellaHost;

// Row text colours ("TC").
namespace rowColour {
constexpr unsigned long link = 0;           // a link that is up
constexpr unsigned long inactive = 0x505050;  // waiting, dialling, closed or refused
}  // namespace rowColour

// Writes the row's attributes: the address text (or the host name when
// there is none), the port, the link identifier, the garbage, dropped,
// received and sent counts, the status text of the link's kind and the
// peer's user agent when known; adds the drop action when the row has
// none. Nothing without a row.
void FillHostRow(CGnutellaHost* host);

// Shows the row of a counted link (kind other than none) in state built,
// dialled, request sent, outgoing up or accepted: FillHostRow, then the
// host window's UpdateConnect, then the row refresh time is now. Other
// links are left alone. 0.
int TouchHost(CGnutellaHost* host);

// The row's colour.
void SetRowColour(CGnutellaHost* host, unsigned long colour);

// The link gets the kind and a grey row (waiting, dialling or closed);
// refresh shows it at once (TouchHost).
void MarkInactiveLink(CGnutellaHost* host, std::uint32_t kind, bool refresh);

// The row action of text 293 (GUI thread): the link the row names is
// dropped by the thread that serves it, at its next turn; a row whose link
// is gone is only taken out of the list. 0.
int drop_host(ss::IAgent* row);

}  // namespace vesk::gnutella
