// LoadIconA and LoadBitmapA over the program's resource table.
#include "user/resource.h"

#include <cstdlib>
#include <map>
#include <vector>

#include "gdi/dib.h"
#include "gdi/gdi.h"

namespace {

std::vector<ProgramResource>& Table()
{
    static std::vector<ProgramResource> table;
    return table;
}

// Icons are shared, as Windows shares LoadIconA's icons: one handle per resource for the run.
struct Icon {
    std::vector<Surface> images;
};
std::map<uintptr_t, Icon>& Icons()
{
    static std::map<uintptr_t, Icon> icons;
    return icons;
}
constexpr uintptr_t kIconBase = 0x7F100000;  // + resource number
constexpr WORD kFirstSystemIcon = 32512;     // IDI_APPLICATION ... IDI_ASTERISK
constexpr WORD kLastSystemIcon = 32516;

}  // namespace

void RegisterProgramResources(const ProgramResource* table, size_t count)
{
    Table().insert(Table().end(), table, table + count);
}

const ProgramResource* FindProgramResource(int kind, int id)
{
    for (const ProgramResource& r : Table())
        if (r.kind == kind && r.id == id)
            return &r;
    return nullptr;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name)
{
    if (!name || !IS_INTRESOURCE(name))
        return nullptr;  // the program names its resources by number only
    const WORD id = LOWORD(name);
    const uintptr_t key = kIconBase + id;
    if (!instance) {
        // The system's icons exist, but have no pixels here: message boxes draw their own.
        return id >= kFirstSystemIcon && id <= kLastSystemIcon ? reinterpret_cast<HICON>(key)
                                                                : nullptr;
    }
    if (Icons().count(key))
        return reinterpret_cast<HICON>(key);
    const ProgramResource* r = FindProgramResource(kResourceIcon, id);
    Icon icon;
    if (!r || !DecodeIcoFile(r->data, r->size, &icon.images))
        return nullptr;
    Icons()[key] = std::move(icon);
    return reinterpret_cast<HICON>(key);
}

const Surface* IconImage(HICON handle, int size)
{
    auto it = Icons().find(reinterpret_cast<uintptr_t>(handle));
    if (it == Icons().end())
        return nullptr;
    const Surface* best = nullptr;
    for (const Surface& s : it->second.images) {
        const bool better =
            !best || (size <= 0 ? s.width > best->width
                                : std::abs(s.width - size) < std::abs(best->width - size));
        if (better)
            best = &s;
    }
    return best;
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name)
{
    // No instance asks for the system's bitmaps, of which there are none here.
    if (!instance || !name || !IS_INTRESOURCE(name))
        return nullptr;
    const ProgramResource* r = FindProgramResource(kResourceBitmap, LOWORD(name));
    Surface pixels;
    if (!r || !DecodeBmpFile(r->data, r->size, &pixels))
        return nullptr;
    return GdiCreateBitmap(std::move(pixels));
}
