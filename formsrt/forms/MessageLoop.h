// The message loop of a program's user-interface thread.
#pragma once

#include <windows.h>

namespace formsrt {

class Form;

// Dispatches one message; a form first gets a dialog's keyboard handling
// (Tab between its controls, Alt+access key to click a button).
void DispatchFormMessage(MSG& message);

// Dispatches every message waiting now, without waiting for more.
void DispatchWaitingMessages();

// Runs the thread's messages until the form unloads or WM_QUIT arrives.
void RunMessageLoop(const Form& form);

}  // namespace formsrt
