// A protocol's state in pane 4 of the status bar: its text and icon, and a
// blinking icon while connecting. One blink timer serves the process.
#pragma once

namespace vesk::ss::statusDisplay {

// Loads the three state icons from the default resource module, once.
void LoadIcons();
// Shows the state's text and icon; starts or stops the blink. Does nothing
// without a status bar.
void Show(int state, const char* text);

}  // namespace vesk::ss::statusDisplay
