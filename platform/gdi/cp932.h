// The program's texts are code page 932 bytes; drawing wants Unicode.
#pragma once

#include <string>

// glibc's "CP932", which takes every Windows byte sequence ("SHIFT_JIS" refuses some, and
// maps 0x5C to the yen sign). A byte that starts no valid character becomes '?'.
std::u32string DecodeCp932(const char* text, size_t length);

std::string Cp932ToUtf8(const char* text, size_t length);
