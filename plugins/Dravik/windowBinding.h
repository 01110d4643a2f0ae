// Which window objects the library has tied to which windows. A window's
// user-data slot holds its object's IWnd pointer, as other programs expect;
// the library reads a slot as an object only when it wrote that value
// itself, so a slot written by anyone else, or left behind by an object that
// is gone, is never taken for an object.
#pragma once

#include <windows.h>

#include "vesk/ui.h"

namespace vesk::ui {

// The object bound to the window, or null.
IWnd* boundObject(HWND window);
// Writes the object (null clears) into the window's user-data slot; the
// slot's previous value. Nothing for a window that does not exist.
LONG_PTR bindObject(HWND window, IWnd* object);
// Clears every slot that still holds the object: it is going away.
void unbindObject(IWnd* object);
// The window is gone (WM_NCDESTROY): forget everything about its handle.
void forgetWindow(HWND window);

// The procedure a subclassed window had before; kept per window so that the
// window keeps working after its object is gone.
void rememberPreviousProc(HWND window, WNDPROC previous);
WNDPROC previousProc(HWND window);

// The message handling of a window's object, or null.
IWndEvents* boundEvents(HWND window);

}  // namespace vesk::ui
