// MainWndProc: where window messages become game actions.
#include <windows.h>
#include <mmsystem.h>

#include "app/app.h"
#include "game/game.h"
#include "gfx/gfx.h"
#include "music/music.h"

static void RunGameOver(HWND window)
{
    KillTimer(window, GAME_TIMER_ID);
    StopMusic();
    MessageBoxA(window, "ゲームオーバー", TITLE, MB_OK | MB_ICONERROR);
    if (g_game.successCount != 0) {
        char text[64];
        wsprintfA(text, "あなたは%d倍速CD-Rです。", g_game.speed);
        MessageBoxA(window, text, TITLE, MB_OK | MB_ICONINFORMATION);
    } else {
        MessageBoxA(window, "あなたは０倍速CD-Rです。(笑)", TITLE, MB_OK | MB_ICONINFORMATION);
    }
    DestroyWindow(window);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        StartMusic(window);
        LoadGraphics();
        AdvanceGame(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        PaintBoard(dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_TIMER:
        if (g_game.failureCount >= FAILURE_LIMIT) {
            RunGameOver(window);
            return 0;
        }
        AdvanceGame(window);
        InvalidateRect(window, NULL, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
        JudgeClick(window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case MM_MCINOTIFY:
        if (wParam == MCI_NOTIFY_SUCCESSFUL)
            LoopMusic(window);
        return 0;
    case WM_DESTROY:
        StopMusic();
        FreeGraphics();
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
