#include "plugins/ui/creditsDialog.h"

#include <ole2.h>
#include <olectl.h>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/centreOver.h"
#include "plugins/ui/gdiObject.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

constexpr RECT picturePlace = {20, 40, 20 + 75, 40 + 250};

struct creditsState {
    gdiObject bitmap;
    IPicture* picture = nullptr;  // over the bitmap, which it does not own

    void Free() {
        if (picture)
            picture->Release();
        picture = nullptr;
        bitmap.reset();
    }
};

void LoadPicture(creditsState& state) {
    IUIControl* control = ListServices().control;
    if (!control)
        return;
    state.bitmap.reset(::LoadImageA(control->GetDefaultResourceInstance(), MAKEINTRESOURCEA(IDB_UIO_CREDITS),
                                    IMAGE_BITMAP, 0, 0, 0));
    if (!state.bitmap)
        return;
    PICTDESC description = {};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = static_cast<HBITMAP>(state.bitmap.get());
    if (FAILED(::OleCreatePictureIndirect(&description, IID_IPicture, FALSE,
                                          reinterpret_cast<void**>(&state.picture))))
        state.picture = nullptr;
}

void Paint(HWND dialog, IPicture* picture) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(dialog, &paint);
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (dc && picture && SUCCEEDED(picture->get_Width(&width)) && SUCCEEDED(picture->get_Height(&height)))
        picture->Render(dc, picturePlace.left, picturePlace.top, picturePlace.right - picturePlace.left,
                        picturePlace.bottom - picturePlace.top, 0, height, width, -height, nullptr);
    ::EndPaint(dialog, &paint);
}

INT_PTR CALLBACK CreditsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        LoadPicture(*reinterpret_cast<creditsState*>(lParam));
        CentreOver(dialog, ::GetWindow(dialog, GW_OWNER));
        return TRUE;
    }
    auto* state = reinterpret_cast<creditsState*>(::GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (!state)
        return FALSE;
    switch (message) {
        case WM_PAINT:
            Paint(dialog, state->picture);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                ::EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
            return TRUE;
        case WM_CLOSE:
            // Destroying a modal dialog would leave its owner disabled.
            ::EndDialog(dialog, 0);
            return TRUE;
        case WM_DESTROY:
            state->Free();
            ::SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR RunCreditsDialog(HWND owner) {
    IUIControl* control = ListServices().control;
    if (!control)
        return -1;
    creditsState state;
    INT_PTR result = ::DialogBoxParamA(control->GetResourceInstance(), MAKEINTRESOURCEA(IDD_UIO_CREDITS),
                                       owner, &CreditsProc, reinterpret_cast<LPARAM>(&state));
    state.Free();  // a dialog that failed at its start still made them
    return result;
}

}  // namespace vesk::ui
