// The flat skins stand-in: "Load" registers two skins with their colours
// and borders; "Init" gives the chosen one a drawing procedure that fills
// each part in the skin's background colour and records the part's number.
#include "extern/skin/flatSkins.h"

#include <cstring>

#include "vesk/ui.h"

using namespace vesk::skinStandIn;

namespace {

constexpr int recordSize = 4096;
int recorded[recordSize];
int recordedCount = 0;  // the GUI thread draws; the test reads on that thread too
COLORREF fill = 0;
int answer = 0;

int CALLBACK drawPart(HWND, HDC dc, int x, int y, int width, int height, int part, LPARAM, LPARAM) {
    if (recordedCount < recordSize)
        recorded[recordedCount++] = part;
    RECT area = {x, y, x + width, y + height};
    HBRUSH brush = ::CreateSolidBrush(fill);
    if (brush) {
        ::FillRect(dc, &area, brush);
        ::DeleteObject(brush);
    }
    return answer;
}

}  // namespace

extern "C" __declspec(dllexport) int Load(vesk::ui::ISkinEngine* engine) {
    if (!engine)
        return 0;
    for (const flatSkin& spec : skins) {
        vesk::ui::ISkin* skin = nullptr;
        engine->CreateSkin(&skin);
        if (!skin)
            continue;
        skin->SetName(spec.name);
        skin->SetDescription(spec.description);
        skin->SetValue(1, captionHeight);
        for (unsigned id = 2; id <= 4; ++id)
            skin->SetValue(id, edgeWidth);
        skin->SetValue(20, spec.background);
        skin->SetValue(24, spec.content);
        skin->SetValue(27, spec.text);
    }
    return 1;
}

extern "C" __declspec(dllexport) int Init(vesk::ui::ISkin* skin) {
    if (!skin)
        return 0;
    const char* name = skin->GetName();
    for (const flatSkin& spec : skins)
        if (name && std::strcmp(name, spec.name) == 0)
            answer = spec.answer;
    fill = skin->GetValue(20);
    recordedCount = 0;
    skin->SetDrawCallback(drawPart);
    return 1;
}

extern "C" __declspec(dllexport) int DrawnParts(int* out, int size) {
    int copied = 0;
    for (; out && copied < size && copied < recordedCount; ++copied)
        out[copied] = recorded[copied];
    return copied;
}

extern "C" __declspec(dllexport) void ForgetParts() { recordedCount = 0; }
