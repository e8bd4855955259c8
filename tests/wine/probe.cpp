// Looks at another program's window from inside Wine, through the real Win32 calls, for
// what X cannot tell: the Win32 class, the caption as the program set it, the rectangles in
// Win32's own screen coordinates and the screen metrics the program centred against.
//   probe CLASS [SECONDS]
// Waits for a visible top-level window of CLASS (a message box is "#32770") and prints
//   caption=TEXT            UTF-8
//   window=L,T,R,B          outer rectangle
//   client=X,Y,W,H          client origin on the screen and client size
//   fullscreen=CX,CY        SM_CXFULLSCREEN, SM_CYFULLSCREEN
//   enabled=0|1
//   text=TEXT               each Static child with text, line feeds written as \n
// Exit code 0 when found, 1 when not within SECONDS (default 30), 2 on bad use.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const wchar_t* text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    std::string escaped;
    for (char c : out) {
        if (c == '\n')
            escaped += "\\n";
        else if (c != '\r')
            escaped += c;
    }
    return escaped;
}

struct Search {
    std::wstring className;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM lParam)
{
    Search* search = reinterpret_cast<Search*>(lParam);
    wchar_t name[256];
    if (IsWindowVisible(hwnd) && GetClassNameW(hwnd, name, 256) && search->className == name) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK PrintStatic(HWND hwnd, LPARAM)
{
    wchar_t name[64];
    wchar_t text[2048];
    if (GetClassNameW(hwnd, name, 64) && lstrcmpiW(name, L"Static") == 0 &&
        GetWindowTextW(hwnd, text, 2048) > 0)
        printf("text=%s\n", Utf8(text).c_str());
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: probe CLASS [SECONDS]\n");
        return 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    Search search;
    const int n = MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, nullptr, 0);
    search.className.resize(n > 0 ? n - 1 : 0);
    MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, search.className.data(), n);
    search.found = nullptr;
    const DWORD limitMs = static_cast<DWORD>((argc == 3 ? atof(argv[2]) : 30.0) * 1000);
    const DWORD start = GetTickCount();
    while (EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search)), !search.found) {
        if (GetTickCount() - start > limitMs)
            return 1;
        Sleep(50);
    }
    HWND hwnd = search.found;
    wchar_t caption[512];
    GetWindowTextW(hwnd, caption, 512);
    RECT window;
    GetWindowRect(hwnd, &window);
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    printf("caption=%s\n", Utf8(caption).c_str());
    printf("window=%ld,%ld,%ld,%ld\n", window.left, window.top, window.right, window.bottom);
    printf("client=%ld,%ld,%ld,%ld\n", origin.x, origin.y, client.right, client.bottom);
    printf("fullscreen=%d,%d\n", GetSystemMetrics(SM_CXFULLSCREEN),
           GetSystemMetrics(SM_CYFULLSCREEN));
    printf("enabled=%d\n", IsWindowEnabled(hwnd) ? 1 : 0);
    EnumChildWindows(hwnd, PrintStatic, 0);
    return 0;
}
