// The tune goes through MCI command strings, named by its file name alone: MCI picks the
// sequencer from the extension and finds the file beside the program. Results are not
// looked at: without the file, or without a way to play it, the game is simply silent.
#include "music/music.h"

#include <mmsystem.h>

void StartMusic(HWND window)
{
    mciSendStringA("open DISCFIRE.MID", nullptr, 0, nullptr);
    mciSendStringA("play DISCFIRE.MID notify", nullptr, 0, window);
}

void LoopMusic(HWND window)
{
    mciSendStringA("seek DISCFIRE.MID to start", nullptr, 0, nullptr);
    mciSendStringA("play DISCFIRE.MID notify", nullptr, 0, window);
}

void StopMusic()
{
    mciSendStringA("stop DISCFIRE.MID", nullptr, 0, nullptr);
    mciSendStringA("close DISCFIRE.MID", nullptr, 0, nullptr);
}
