// Apart from sdl.h: Xlib's headers and our windows.h cannot meet in one file.
#pragma once

// Keeps a late wake-up to a destroyed X window (a harmless BadWindow) from ending the
// program. Call before SDL's video starts.
void SdlHandleX11Errors();
