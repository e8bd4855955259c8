// Choosing a face without fontconfig, for builds that carry their own fonts (the web): a
// small fixed table from the Windows names to the files shipped, else any font file found.
#include <strings.h>

#include <algorithm>
#include <filesystem>

#include "gdi/fonts.h"

namespace {

struct Stand {
    const char* windows;
    const char* file;
    const char* family;
};

// The web build ships one subset of the proportional Gothic; the fixed-pitch names lead to
// it too, since the program asks for none of them (any font is better than none).
const Stand kStandIns[] = {
    {"ＭＳ Ｐゴシック", "discfire-pgothic.ttf", "Discfire PGothic"},
    {"ＭＳ ゴシック", "discfire-pgothic.ttf", "Discfire PGothic"},
    {"MS PGothic", "discfire-pgothic.ttf", "Discfire PGothic"},
    {"MS Gothic", "discfire-pgothic.ttf", "Discfire PGothic"},
    {"MS UI Gothic", "discfire-pgothic.ttf", "Discfire PGothic"},
};

const std::vector<std::string> kShippedDirs = {"/fonts"};
std::vector<std::string> g_dirs = kShippedDirs;

std::optional<FaceChoice> InDirs(const char* file, const char* family)
{
    std::error_code error;
    for (const std::string& dir : g_dirs) {
        const std::filesystem::path path = std::filesystem::path(dir) / file;
        if (std::filesystem::is_regular_file(path, error))
            return FaceChoice{path.string(), 0, family};
    }
    return std::nullopt;
}

std::optional<FaceChoice> AnyFont()
{
    std::vector<std::string> files;
    std::error_code error;
    for (const std::string& dir : g_dirs)
        for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
            const std::string ext = entry.path().extension().string();
            if (strcasecmp(ext.c_str(), ".ttf") == 0 || strcasecmp(ext.c_str(), ".otf") == 0)
                files.push_back(entry.path().string());
        }
    if (files.empty())
        return std::nullopt;
    std::sort(files.begin(), files.end());
    return FaceChoice{files.front(), 0, std::filesystem::path(files.front()).stem().string()};
}

}  // namespace

std::optional<FaceChoice> FindFace(const FontRequest& request)
{
    for (const Stand& s : kStandIns)
        if (strcasecmp(request.face.c_str(), s.windows) == 0)
            if (auto choice = InDirs(s.file, s.family))
                return choice;
    if (auto choice = InDirs(kStandIns[0].file, kStandIns[0].family))
        return choice;
    return AnyFont();
}

void FontMatchUseDirs(const std::vector<std::string>* dirs)
{
    g_dirs = dirs ? *dirs : kShippedDirs;
}
