// The process entry point of a program built on this layer: it hands over to WinMain.
#include <windows.h>

#include <string>

#include "backend/backend.h"

int main(int argc, char** argv)
{
    if (!BackendStartup())
        return 1;
    // The command line as Windows would pass it: everything after the program name.
    std::string cmdLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            cmdLine += ' ';
        cmdLine += argv[i];
    }
    // The conventional image base stands in for the module handle.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
    return WinMain(instance, nullptr, cmdLine.data(), SW_SHOWDEFAULT);
}
