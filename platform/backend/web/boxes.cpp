// Message boxes on the page: the shared box face, drawn here and posted once; the page frames
// it with its caption and sends back the clicks and keys that answer it.
#include <cstring>
#include <map>

#include "backend/backend.h"
#include "backend/common/box_face.h"
#include "backend/web/web.h"
#include "gdi/cp932.h"

namespace {

std::map<int, BoxFace> g_boxes;
int g_nextBox = 1;

BoxFace* Find(int id)
{
    auto it = g_boxes.find(id);
    return it == g_boxes.end() ? nullptr : &it->second;
}

}  // namespace

int BackendBoxOpen(HWND owner, const char* text, const char* caption, UINT type)
{
    const int id = g_nextBox++;
    BoxFace& face = g_boxes[id];
    BoxFaceDraw(face, text, type);
    WebPostBox(id, owner ? WebWindowId(owner) : 0, Cp932ToUtf8(caption, strlen(caption)).c_str(),
               Cp932ToUtf8(text, strlen(text)).c_str(), face.surface.pixels.data(),
               face.surface.width, face.surface.height, face.button);
    return id;
}

bool BackendBoxAnswered(int id, int* result)
{
    const BoxFace* face = Find(id);
    if (!face || !face->answered)
        return false;
    *result = IDOK;
    return true;
}

void BackendBoxClose(int id)
{
    if (g_boxes.erase(id))
        WebPostBoxGone(id);
}

void WebBoxButton(int id, bool down, int x, int y)
{
    if (BoxFace* face = Find(id))
        BoxFaceButton(*face, down, x, y);
}

void WebBoxKey(int id, int key)
{
    static const BoxKey kKeys[] = {BoxKey::Return, BoxKey::Space, BoxKey::Escape};
    if (BoxFace* face = Find(id); face && key >= 0 && key < 3)
        BoxFaceKey(*face, kKeys[key]);
}

bool WebAnyBoxAnswered()
{
    for (const auto& [id, face] : g_boxes)
        if (face.answered)
            return true;
    return false;
}
