// The application shell: entry point, main window, window procedure.
#pragma once

#include <windows.h>

// The window caption and the caption of every message box.
extern const char TITLE[];

void RegisterMainClass(HINSTANCE instance);
BOOL CreateMainWindow(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
