// The background tune: started with the window, played again from the top each time it
// ends, stopped at game over and when the window goes.
#pragma once

#include <windows.h>

// Opens the tune and plays it; its end is notified to `window` with MM_MCINOTIFY.
void StartMusic(HWND window);
// Plays it again from the start. Call it for MCI_NOTIFY_SUCCESSFUL only: a stop aborts the
// play with MCI_NOTIFY_ABORTED, which must not start the music again.
void LoopMusic(HWND window);
// Stops and closes it; harmless when it is closed already.
void StopMusic();
