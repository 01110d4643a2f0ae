// The module's texts and images from the resource modules: loaded once in
// _load (the texts of the language module as string objects, so that every
// part reads a name from the same object; the client icons' image indices)
// and released in _unload, after the threads have stopped.
#pragma once

#include <windows.h>

#include <string>

#include "vesk/data.h"

namespace vesk::gnutella {

// Fixed name of the attribute that carries a transfer row's identifier.
constexpr const char* transferIdName = "GnuTID";

// Client icons of result and download rows (the default module's icons).
enum class vendorImage { other, vendor149, vendor151, vendor154, own, count };

int InitResources();
int ReleaseResources();

// The text of a loaded id: empty for an id not loaded or missing from the
// module; never null. Valid from _load to _unload.
const char* ResourceText(unsigned id);
// The same as the held string object (no reference added), null when the
// id was not loaded.
Istring* ResourceString(unsigned id);
// The "GnuTID" string object (no reference added).
Istring* TransferIdString();
// The image index of a client icon, -1 before _load.
int VendorImage(vendorImage which);

// A text of the language module read now, at most limit - 1 characters;
// empty when there is no user interface or no such text.
std::string LanguageText(unsigned id, int limit = 260);
// The default resource module (icons), null without the user interface.
HINSTANCE DefaultResources();

// The text id of a link's kind (shown in its row).
unsigned HostStateTextId(unsigned kindCode);
const char* HostStateText(unsigned kindCode);

}  // namespace vesk::gnutella
