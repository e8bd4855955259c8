// Choosing a face through fontconfig. fontconfig knows no Windows face names, so the
// Japanese system faces are mapped to the IPA faces that stand in for them.
#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <cstdio>
#include <map>

#include "gdi/fonts.h"

namespace {

struct Stand {
    const char* windows;
    const char* local;
};

const Stand kStandIns[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"MS PGothic", "IPAPGothic"},
    {"MS Gothic", "IPAGothic"},
    {"MS UI Gothic", "IPAPGothic"},
};

FcConfig* g_config = nullptr;  // null: the system's configuration
std::map<std::string, std::optional<FaceChoice>> g_choices;
bool g_saidNoJapanese = false;

FcConfig* Config()
{
    if (!g_config)
        FcInit();
    return g_config;
}

std::string Key(const FontRequest& r)
{
    return r.face + '\n' + std::to_string(r.weight) + (r.italic ? "i" : "") +
           (r.fixedPitch ? "f" : "");
}

bool HasFamily(FcPattern* font, const char* family)
{
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &value) == FcResultMatch; ++i)
        if (FcStrCmpIgnoreCase(value, reinterpret_cast<const FcChar8*>(family)) == 0)
            return true;
    return false;
}

bool DrawsJapanese(FcPattern* font)
{
    FcCharSet* chars = nullptr;
    return FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) == FcResultMatch &&
           FcCharSetHasChar(chars, 0x3042) && FcCharSetHasChar(chars, 0x6F22);  // あ, 漢
}

enum class Need { Family, Japanese, Anything };

std::optional<FaceChoice> Match(const FontRequest& r, const char* family, Need need)
{
    FcPattern* pattern = FcPatternCreate();
    if (family)
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    if (need == Need::Japanese) {
        FcLangSet* langs = FcLangSetCreate();
        FcLangSetAdd(langs, reinterpret_cast<const FcChar8*>("ja"));
        FcPatternAddLangSet(pattern, FC_LANG, langs);
        FcLangSetDestroy(langs);
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(r.weight ? r.weight : FW_NORMAL));
    FcPatternAddInteger(pattern, FC_SLANT, r.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (r.fixedPitch)
        FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcConfigSubstitute(Config(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* font = FcFontMatch(Config(), pattern, &result);
    FcPatternDestroy(pattern);
    std::optional<FaceChoice> choice;
    FcChar8* file = nullptr;
    if (font && FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch &&
        (need != Need::Family || HasFamily(font, family)) &&
        (need != Need::Japanese || DrawsJapanese(font))) {
        FaceChoice c;
        c.file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(font, FC_INDEX, 0, &c.index);
        FcChar8* name = nullptr;
        if (FcPatternGetString(font, FC_FAMILY, 0, &name) == FcResultMatch)
            c.family = reinterpret_cast<const char*>(name);
        choice = c;
    }
    if (font)
        FcPatternDestroy(font);
    return choice;
}

const char* StandIn(const std::string& face)
{
    for (const Stand& s : kStandIns)
        if (strcasecmp(face.c_str(), s.windows) == 0)
            return s.local;
    return face.empty() ? nullptr : face.c_str();
}

}  // namespace

std::optional<FaceChoice> FindFace(const FontRequest& request)
{
    const std::string key = Key(request);
    auto it = g_choices.find(key);
    if (it != g_choices.end())
        return it->second;
    std::optional<FaceChoice> choice;
    if (const char* family = StandIn(request.face))
        choice = Match(request, family, Need::Family);
    if (!choice)
        choice = Match(request, nullptr, Need::Japanese);
    if (!choice) {
        // Every text of the program is Japanese: without such a face it is all boxes.
        if (!g_saidNoJapanese)
            fputs("No Japanese font found: the texts show as boxes.\n", stderr);
        g_saidNoJapanese = true;
        choice = Match(request, nullptr, Need::Anything);
    }
    g_choices[key] = choice;
    return choice;
}

void FontMatchUseDirs(const std::vector<std::string>* dirs)
{
    g_choices.clear();
    g_saidNoJapanese = false;
    if (g_config)
        FcConfigDestroy(g_config);
    g_config = nullptr;
    if (!dirs)
        return;
    g_config = FcConfigCreate();
    for (const std::string& d : *dirs)
        FcConfigAppFontAddDir(g_config, reinterpret_cast<const FcChar8*>(d.c_str()));
    FcConfigBuildFonts(g_config);
}
