// Multimedia declarations this program uses: MCI string commands and their notification.
#pragma once

#include <windows.h>

typedef DWORD MCIERROR;

#define MM_MCINOTIFY 0x03B9

#define MCI_NOTIFY_SUCCESSFUL 0x0001
#define MCI_NOTIFY_SUPERSEDED 0x0002
#define MCI_NOTIFY_ABORTED 0x0004
#define MCI_NOTIFY_FAILURE 0x0008

// mciSendStringA's results: 0 for success, or one of these.
#define MCIERR_BASE 256
#define MCIERR_UNRECOGNIZED_KEYWORD (MCIERR_BASE + 3)
#define MCIERR_UNRECOGNIZED_COMMAND (MCIERR_BASE + 5)
#define MCIERR_INVALID_DEVICE_NAME (MCIERR_BASE + 7)
#define MCIERR_DEVICE_OPEN (MCIERR_BASE + 9)
#define MCIERR_MISSING_COMMAND_STRING (MCIERR_BASE + 11)
#define MCIERR_PARAM_OVERFLOW (MCIERR_BASE + 12)
#define MCIERR_MISSING_PARAMETER (MCIERR_BASE + 17)
#define MCIERR_UNSUPPORTED_FUNCTION (MCIERR_BASE + 18)
#define MCIERR_FILE_NOT_FOUND (MCIERR_BASE + 19)
#define MCIERR_EXTENSION_NOT_FOUND (MCIERR_BASE + 25)
#define MCIERR_MISSING_DEVICE_NAME (MCIERR_BASE + 36)
#define MCIERR_NO_CLOSING_QUOTE (MCIERR_BASE + 38)
#define MCIERR_INVALID_FILE (MCIERR_BASE + 40)
#define MCIERR_SEQ_PORT_INUSE (MCIERR_BASE + 81)
#define MCIERR_SEQ_NOMIDIPRESENT (MCIERR_BASE + 87)

#ifdef __cplusplus
extern "C" {
#endif

MCIERROR WINAPI mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength,
                               HWND callback);

#ifdef __cplusplus
}
#endif
