// Resources compiled into the program.
#include <windows.h>

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR name)
{
    // Every icon request gets the application icon until the art is compiled in.
    return name ? reinterpret_cast<HICON>(static_cast<uintptr_t>(0x7F10)) : nullptr;
}
