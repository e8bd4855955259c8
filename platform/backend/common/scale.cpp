#include "backend/common/scale.h"

#include <cstdlib>

int ScaleFromSetting(const char* text)
{
    char* end = nullptr;
    const long v = text ? strtol(text, &end, 10) : 0;
    return text && *text && !*end && v >= 1 && v <= 8 ? static_cast<int>(v) : 0;
}

int ScaleThatFits(int wanted, int areaW, int areaH)
{
    int scale = wanted;
    while (scale > 1 && (areaW / scale < 640 || areaH / scale < 480))
        --scale;
    return scale < 1 ? 1 : scale;
}
