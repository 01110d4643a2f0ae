// A protocol's state in pane 4 of the status bar: its text and icon, and a
// blinking icon while connecting. One blink timer serves the process, and
// it lives on the GUI thread whoever asks for it.
#pragma once

namespace vesk::ss::statusDisplay {

// Loads the three state icons from the default resource module, once.
void LoadIcons();
// Hooks the status bar's window, through which a blink asked for on any
// thread is started and stopped on the GUI thread. Needs the factory's
// "vesk::ui::VWndProc"; once is enough, later calls change nothing.
void Attach();
// Stops the blink and takes the hook off again.
void Detach();
// Shows the state's text and icon; starts or stops the blink. Does nothing
// without a status bar.
void Show(int state, const char* text);

}  // namespace vesk::ss::statusDisplay
