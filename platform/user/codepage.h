// The program's texts are code page 932; the desktop and the trace speak UTF-8.
#pragma once

#include <string>

// Bytes that are not valid code page 932 become '?'.
std::string Cp932ToUtf8(const char* cp932);
