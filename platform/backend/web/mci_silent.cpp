// MCI in the browser, until the synthesizer runs there: every device fails to open, as with
// no soundfont on the desktop, and the game plays on silently.
#include <mmsystem.h>
#include <windows.h>

#include <cstring>

MCIERROR WINAPI mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND)
{
    if (returnString && returnLength > 0)
        returnString[0] = '\0';
    return command && *command ? MCIERR_SEQ_NOMIDIPRESENT : MCIERR_MISSING_COMMAND_STRING;
}
