// MessageBoxA: the backend shows the box; here is the modal loop around it. The owner is
// disabled so its input is dropped, while its paints (and everything else queued for the
// thread) keep being dispatched, as in any Win32 modal loop.
#include <windows.h>

#include "backend/backend.h"
#include "user/trace.h"
#include "user/wm.h"

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if (!WmFind(owner))
        owner = nullptr;
    if (!text)
        text = "";
    if (!caption)
        caption = "Error";
    if (TraceOn())
        TraceCall("MessageBoxA owner=0x%lx type=0x%x caption=%s text=%s",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(owner)), type,
                  TraceText(caption).c_str(), TraceText(text).c_str());

    const bool reenable = owner && !EnableWindow(owner, FALSE);
    const int box = BackendBoxOpen(owner, text, caption, type);
    int result = 0;
    while (box > 0 && !BackendBoxAnswered(box, &result)) {
        MSG msg;
        if (WmPeekMessage(&msg, true)) {
            if (msg.message == WM_QUIT) {
                // The box gives way to a quit request, which the outer loop must still see.
                PostQuitMessage(static_cast<int>(msg.wParam));
                result = 0;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (!WmWaitForMessage()) {
            result = 0;
            break;
        }
    }
    if (box > 0)
        BackendBoxClose(box);
    if (reenable)
        EnableWindow(owner, TRUE);
    return result;
}
