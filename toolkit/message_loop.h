// The thread's message loop with keyboard navigation between controls: Tab and Shift+Tab in
// creation order (into group boxes and the shown tab page), "&" accelerators, Enter for the
// default button, Esc for the cancel button, and Ctrl+Tab / Ctrl+Shift+Tab (or Ctrl+PageDown /
// Ctrl+PageUp) to switch tab pages.
#pragma once

#include <windows.h>

namespace toolkit {

// Runs until WM_QUIT; returns its exit code.
int runMessageLoop();

// Gives one message to the keyboard navigation of the toolkit window it belongs to. True when
// the message was used and must not be dispatched. Modal dialogs call it in their own loops.
bool translateDialogMessage(MSG& msg);

// Top-level windows whose messages get keyboard navigation. Window and Dialog add and remove
// themselves.
void addNavigableWindow(HWND hwnd);
void removeNavigableWindow(HWND hwnd);

}  // namespace toolkit
