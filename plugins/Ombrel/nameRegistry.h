// The process-wide registry of attribute, property and action names. Ids run
// 0, 1, 2, ... in the order names are first used and are never taken back.
// Search threads and the GUI thread intern names at once: every operation
// holds the registry's lock.
#pragma once

namespace vesk::ss::names {

// The name's id, registering it when new; -1 for null.
int intern(const char* name);
// The name's id, -1 when never registered (or null).
int find(const char* name);
// The text of an id, null when never given. Stays valid for the process.
const char* text(int id);
int count();

}  // namespace vesk::ss::names
