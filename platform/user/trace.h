// An optional record of the platform calls a program makes, one line per call, for the
// replay tool and tests: "SetTimer id=1 ms=512". Costs nothing while no sink is set.
#pragma once

#include <functional>
#include <string>

using TraceSink = std::function<void(const std::string& line)>;

void SetTraceSink(TraceSink sink);
bool TraceOn();
void TraceCall(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A code page 932 string as UTF-8 in double quotes, with quotes, backslashes and line
// feeds escaped; bytes that are not valid code page 932 become '?'.
std::string TraceText(const char* cp932);
