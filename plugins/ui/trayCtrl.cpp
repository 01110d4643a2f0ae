#include "plugins/ui/trayCtrl.h"

#include <shellapi.h>
#include <shobjidl.h>

#include <cstring>
#include <new>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

NOTIFYICONDATAA IconData(HWND owner, UINT flags) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = 0;
    data.uFlags = flags;
    return data;
}

void PutTip(NOTIFYICONDATAA& data, const char* text) {
    std::string tip = TrayTip(text);
    static_assert(sizeof data.szTip >= VTrayCtrl::tipSize, "the tip field holds the cut tip");
    std::memcpy(data.szTip, tip.c_str(), tip.size() + 1);
}

// The taskbar list's call on the window, with COM started for it: callers
// come from threads that may not have started it.
bool OnTaskbarList(HWND window, bool add) {
    HRESULT started = ::CoInitialize(nullptr);
    bool done = false;
    ITaskbarList* list = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr,
                                     CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                                     IID_ITaskbarList, reinterpret_cast<void**>(&list))) &&
        list) {
        if (SUCCEEDED(list->HrInit()))
            done = SUCCEEDED(add ? list->AddTab(window) : list->DeleteTab(window));
        list->Release();
    }
    if (!add)
        ::ShowWindow(window, SW_HIDE);
    if (SUCCEEDED(started))
        ::CoUninitialize();
    return done;
}

}  // namespace

VTrayCtrl* CreateTrayCtrl() {
    return new (std::nothrow) capsule_core<VTrayCtrl>();
}

std::string TrayTip(const char* text) {
    return text ? std::string(text, ::strnlen(text, VTrayCtrl::tipSize - 1)) : std::string();
}

VTrayCtrl::VTrayCtrl() : taskbarCreated_(::RegisterWindowMessageA("TaskbarCreated")) {
    registerInterfaceOf<ITrayCtrl>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

VTrayCtrl::~VTrayCtrl() {
    if (owner_) {
        NOTIFYICONDATAA data = IconData(owner_, 0);
        ::Shell_NotifyIconA(NIM_DELETE, &data);
    }
    if (icon_)
        ::DestroyIcon(icon_);
}

HWND VTrayCtrl::Owner() const {
    return owner_ ? owner_ : FrameWindow();
}

int VTrayCtrl::Add() {
    HWND owner = FrameWindow();
    if (!owner)
        return 0;
    IUIControl* control = ListServices().control;
    if (!icon_ && control)
        icon_ = static_cast<HICON>(::LoadImageA(control->GetDefaultResourceInstance(),
                                                MAKEINTRESOURCEA(IDI_UIO_TRAY), IMAGE_ICON, 16, 16, 0));
    NOTIFYICONDATAA data = IconData(owner, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon_;
    PutTip(data, LanguageText(IDS_UIO_TRAY_TITLE, tipSize).c_str());
    if (!::Shell_NotifyIconA(NIM_ADD, &data))
        return 0;
    owner_ = owner;
    return 1;
}

int VTrayCtrl::Remove() {
    NOTIFYICONDATAA data = IconData(Owner(), 0);
    return ::Shell_NotifyIconA(NIM_DELETE, &data);
}

int VTrayCtrl::SetIcon(HICON icon) {
    NOTIFYICONDATAA data = IconData(Owner(), NIF_ICON);
    data.hIcon = icon;
    return ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

int VTrayCtrl::SetTip(const char* text) {
    NOTIFYICONDATAA data = IconData(Owner(), NIF_TIP);
    PutTip(data, text);
    return ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

bool VTrayCtrl::OnTaskbarCreated(UINT message, int showInTray) {
    if (message != taskbarCreated_ || taskbarCreated_ == 0)
        return false;
    if (showInTray == 1)
        Add();
    return true;
}

bool VTrayCtrl::HideTaskbarButton(HWND window) {
    return OnTaskbarList(window, false);
}

bool VTrayCtrl::ShowTaskbarButton(HWND window) {
    return OnTaskbarList(window, true);
}

}  // namespace vesk::ui
