// Multimedia declarations this program uses: MCI string commands and their notification.
#pragma once

#include <windows.h>

typedef DWORD MCIERROR;

#define MM_MCINOTIFY 0x03B9

#define MCI_NOTIFY_SUCCESSFUL 0x0001
#define MCI_NOTIFY_SUPERSEDED 0x0002
#define MCI_NOTIFY_ABORTED 0x0004
#define MCI_NOTIFY_FAILURE 0x0008

#ifdef __cplusplus
extern "C" {
#endif

MCIERROR WINAPI mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength,
                               HWND callback);

#ifdef __cplusplus
}
#endif
