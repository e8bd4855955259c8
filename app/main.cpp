// WinMain: the introduction, the main window, and the message loop.
#include <windows.h>

#include "app/app.h"
#include "game/game.h"
#include "res/resource.h"

const char TITLE[] = "焼き加減メーター";

static const char CLASS_NAME[] = "DISCFIRE";
static const int WINDOW_WIDTH = 600;
static const int WINDOW_HEIGHT = 300;

static const char INTRO_TEXT[] =
    "焼き加減メーター ver.6.03\n"
    "作: 焼き加減メーター制作班\n"
    "\n"
    "あなたが何倍速のCD-Rまで耐えられるかを調べる「人間ベンチマーク」です。\n"
    "上の見本を参考にして、ほどよく焼けたところでCD-Rを取り除いて下さい。\n"
    "\n"
    "準備はよいですか?";

void RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSEXA wc;
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszMenuName = NULL;
    wc.lpszClassName = CLASS_NAME;
    wc.hIconSm = NULL;
    RegisterClassExA(&wc);
}

BOOL CreateMainWindow(HINSTANCE instance)
{
    g_hInst = instance;
    const int x = (GetSystemMetrics(SM_CXFULLSCREEN) - WINDOW_WIDTH) / 2;
    const int y = (GetSystemMetrics(SM_CYFULLSCREEN) - WINDOW_HEIGHT) / 2;
    g_hMainWnd = CreateWindowExA(0, CLASS_NAME, TITLE, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x,
                                 y, WINDOW_WIDTH, WINDOW_HEIGHT, NULL, NULL, instance, NULL);
    if (g_hMainWnd == NULL)
        return FALSE;
    ShowWindow(g_hMainWnd, SW_SHOWNORMAL);
    UpdateWindow(g_hMainWnd);
    return TRUE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    MessageBoxA(g_hMainWnd, INTRO_TEXT, TITLE, MB_OK | MB_ICONINFORMATION);
    RegisterMainClass(instance);
    // A window that cannot be made is a failed start, and the exit code says so.
    if (!CreateMainWindow(instance))
        return 1;
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) != 0) {
        if (got == -1)
            return 1;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
