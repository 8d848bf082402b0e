#pragma once
// Drives dialogs from inside their own modal loops: a step handed to RunWhenIdle runs once
// the thread's message queue is idle (a thread timer, which Windows delivers only after
// every posted, input and paint message), in whatever modal loop is running then.

#include <windows.h>

#include <functional>
#include <string>

void RunWhenIdle(std::function<void()> step);

// The top-level window of this thread with exactly this caption, or null.
HWND FindThreadWindow(const char* pszCaption);

std::string WindowText(HWND hWnd);

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND hChild);
