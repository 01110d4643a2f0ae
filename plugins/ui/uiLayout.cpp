// The controller's dock layout: the windows made in order, their places
// restored from the settings and saved back by the save hook.
#include <algorithm>
#include <new>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/controlServices.h"
#include "plugins/ui/dockMenu.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/toolBars.h"
#include "plugins/ui/uiControl.h"

namespace vesk::ui {

namespace {

using windowMaker = IDockWnd* (*)(IUIControl* control, const char* caption, RECT* rect);

struct layoutEntry {
    layoutSlot slot;
    unsigned caption;
    int captionSize;  // buffer size: the history's caption is shorter
    const char* prefix;
    windowMaker make;  // null: the menu bar, made by the controller
};

const layoutEntry layout[] = {
    {layoutSlot::connectToolBar, IDS_UIM_CONNECT_TB, 64, "ConnectTB.", &MakeVDockConnectTB},
    {layoutSlot::menuBar, IDS_UIM_MENU_BAR, 64, "MenuWnd.", nullptr},
    {layoutSlot::searchBar, IDS_UIM_SEARCH_BAR, 64, "SearchWnd.", &MakeVDockSearchBar},
    {layoutSlot::hostWindow, IDS_UIM_HOST_WND, 64, "HostWnd.", &MakeZUdoradurHostDockWnd},
    {layoutSlot::statisticsWindow, IDS_UIM_STAT_WND, 64, "StatWnd.", &MakeZUdoradurStatDockWnd},
    {layoutSlot::transferWindow, IDS_UIM_TRANSFER_WND, 64, "TransferWnd.", &MakeVDockTransferWnd},
    {layoutSlot::searchToolBar, IDS_UIM_SEARCH_TB, 64, "SearchTB.", &MakeVSearchTB},
    {layoutSlot::transferToolBar, IDS_UIM_TRANSFER_TB, 64, "TransferTB.", &MakeVTransferTB},
    {layoutSlot::audioToolBar, IDS_UIM_AUDIO_TB, 64, "AudioTB.", &MakeVTBAudioPlayer},
    {layoutSlot::historyWindow, IDS_UIM_HISTORY_WND, 60, "SearchHistory.", &MakeVSearchHistoryDockWnd},
    {layoutSlot::viewToolBar, IDS_UIM_VIEW_TB, 64, "ViewWnd.", &MakeVViewTB},
};

// The order the save hook writes the dock states in.
const layoutSlot saveOrder[] = {
    layoutSlot::menuBar,        layoutSlot::searchBar,       layoutSlot::connectToolBar, layoutSlot::viewToolBar,
    layoutSlot::hostWindow,     layoutSlot::transferWindow,  layoutSlot::statisticsWindow,
    layoutSlot::transferToolBar, layoutSlot::audioToolBar,   layoutSlot::searchToolBar,  layoutSlot::historyWindow,
};

const char* PrefixOf(layoutSlot slot) {
    for (const layoutEntry& entry : layout)
        if (entry.slot == slot)
            return entry.prefix;
    return "";
}

constexpr long defaultNear = 400;
constexpr long defaultFar = 500;

}  // namespace

long UIControl::ReadLong(const std::string& key, long defaultValue) {
    if (!links_.settings || !links_.owner)
        return defaultValue;
    return links_.settings->getValue(key.c_str(), value(defaultValue), links_.owner).asLong();
}

float UIControl::ReadFloat(const std::string& key, float defaultValue) {
    if (!links_.settings || !links_.owner)
        return defaultValue;
    return links_.settings->getValue(key.c_str(), value(defaultValue), links_.owner).asFloat();
}

void UIControl::WriteLong(const std::string& key, long v) {
    if (links_.settings && links_.owner)
        links_.settings->setValue(key.c_str(), value(v), links_.owner);
}

void UIControl::WriteFloat(const std::string& key, float v) {
    if (links_.settings && links_.owner)
        links_.settings->setValue(key.c_str(), value(v), links_.owner);
}

RECT UIControl::ReadRect(const std::string& prefix) {
    return RECT{ReadLong(prefix + "Left", defaultNear), ReadLong(prefix + "Top", defaultNear),
                ReadLong(prefix + "Right", defaultFar), ReadLong(prefix + "Bottom", defaultFar)};
}

void UIControl::WriteRect(const std::string& prefix, const RECT& rect) {
    WriteLong(prefix + "Left", rect.left);
    WriteLong(prefix + "Top", rect.top);
    WriteLong(prefix + "Right", rect.right);
    WriteLong(prefix + "Bottom", rect.bottom);
}

bool UIControl::BuildLayout() {
    IFrameWnd* frame = links_.frame;
    IDock* dock = Dock();
    IWnd* frameWindow = interfaceCast<IWnd>(frame);
    if (!frame || !dock || !frameWindow)
        return false;
    RECT saved = ReadRect("FrameWnd.");
    RECT place = {};
    frameWindow->GetWindowRect(&place);
    place.right = place.left + (saved.right - saved.left);
    place.bottom = place.top + (saved.bottom - saved.top);

    dock->SetDockable(ReadLong("LockDocking", 0) == 1);
    frame->SetStatusBarVisible(ReadLong("StatusBar.Visible", 1) == 1);

    for (const layoutEntry& entry : layout) {
        char caption[64] = "";
        if (language_)
            ::LoadStringA(language_, entry.caption, caption, entry.captionSize);
        RECT rect = place;
        IDockWnd* window = nullptr;
        if (!entry.make) {
            if (!MakeMenuBar(caption, &rect, &window))
                return false;
        } else {
            window = entry.make(this, caption, &rect);
        }
        windows_[static_cast<int>(entry.slot)] = window;
        if (window)
            LoadDockState(entry.prefix, window);
    }

    if (links_.tray) {
        if (showInTray_ == 1)
            links_.tray->Add();
        auto text = [this](unsigned id) {
            char buffer[260] = "";
            if (language_)
                ::LoadStringA(language_, id, buffer, sizeof buffer);
            return std::string(buffer);
        };
        std::string tip = text(IDS_UIM_TITLE_FIRST) + "\r\n" + text(IDS_UIM_TIP_LINKS) + ": 0\r\n" +
                          text(IDS_UIM_TIP_DOWNLOADS) + ": 0 " + text(IDS_UIM_TIP_UPLOADS) + ": 0";
        links_.tray->SetTip(tip.c_str());
    }
    if (statusBar_) {
        char text[260] = "";
        if (language_)
            ::LoadStringA(language_, IDS_UIM_READY, text, sizeof text);
        statusBar_->Output(text, 0, 0x100);
    }
    if (IOptions* options = links_.options) {
        options->Create();
        if (DLGPROC page = GeneralPageProcedure()) {
            char title[260] = "";
            if (language_)
                ::LoadStringA(language_, IDS_UIM_GENERAL_PAGE, title, sizeof title);
            HTREEITEM item = options->AddPage(title, nullptr, AddIcon(defaults_, IDI_UIM_GENERAL_PAGE),
                                              IDD_UIM_GENERAL_PAGE, language_, page);
            if (item)
                SelectOptionsPage(item);
        }
    }
    frameWindow->SetWindowPos(nullptr, &place, 0);
    Redock();
    // Given its size again now that the windows are docked: a size saved
    // smaller than the docked layout needs grows to the frame's least size.
    frameWindow->SetWindowPos(nullptr, &place, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    dock->SetDockResizePercentEven(1);
    MarkSaveOnExitItem();
    skinEngine_ = frame->GetSkinEngine();
    return true;
}

bool UIControl::MakeMenuBar(const char* caption, RECT* rect, IDockWnd** made) {
    if (menu_) {
        menu_->release();
        menu_ = nullptr;
    }
    auto* menu = new (std::nothrow) capsule<VDockMenu>(*this);
    if (!menu)
        return false;
    menu->addRef();
    menu->Create(caption, rect);
    IDockToolBarWnd* toolBar = menu->GetToolBarWnd();
    if (!toolBar) {
        menu->release();
        return false;
    }
    menu_ = menu;
    *made = interfaceCast<IDockWnd>(toolBar);
    if (*made)
        (*made)->SetClosable(0);
    return *made != nullptr;
}

void UIControl::Redock() {
    IDock* dock = Dock();
    // Within a band the shown windows come first: a hidden one docked first
    // leaves its band invisible, and the area then gives each later window
    // of that band a new band of its own.
    std::stable_sort(restore_.begin(), restore_.end(), [](const restoreRecord& a, const restoreRecord& b) {
        if (a.band != b.band)
            return a.band < b.band;
        return (a.window->GetVisible() != 0) > (b.window->GetVisible() != 0);
    });
    for (const restoreRecord& record : restore_) {
        IDockArea* area = dock ? dock->GetDockArea(record.side) : nullptr;
        if (area)
            area->Dock(record.window, record.band);
        else if (record.window->GetVisible())
            record.window->Show();
    }
    restore_.clear();
}

void UIControl::MarkSaveOnExitItem() {
    HMENU tools = menu_ ? menu_->PopupOf(IDS_UIM_MENU_TOOLS) : nullptr;
    if (tools)
        ::CheckMenuItem(tools, IDCMD_UIM_SAVE_ON_EXIT, MF_BYCOMMAND | (saveOnExit_ == 1 ? MF_CHECKED : MF_UNCHECKED));
}

bool UIControl::LoadDockState(const char* prefix, IDockWnd* window) {
    std::string key(prefix ? prefix : "");
    restore_.push_back(
        restoreRecord{window, static_cast<int>(ReadLong(key + "DockArea", 0)), ReadLong(key + "DockBand", -1)});
    RECT rect = ReadRect(key);
    if (IWnd* dockWindow = interfaceCast<IWnd>(window))
        dockWindow->SetWindowPos(nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0);
    window->SetDockPercentsize(ReadFloat(key + "PercentSize", 1.0f));
    IDockContainer* container = window->GetContainer();
    RECT horizontal = ReadRect(key + "DockHorizontal.");
    if (container)
        container->SetDockRect(0, &horizontal);
    RECT frame = {};
    if (IWnd* frameWindow = interfaceCast<IWnd>(links_.frame))
        frameWindow->GetWindowRect(&frame);
    ::OffsetRect(&horizontal, frame.left, frame.top);
    window->SetLastDragRect(&horizontal);
    RECT vertical = ReadRect(key + "DockVertical.");
    if (container)
        container->SetDockRect(1, &vertical);
    window->SetVisible(ReadLong(key + "Visible", 1));
    saveOnExit_ = ReadLong("SaveOnExit", 0) == 1;
    minimizeToTray_ = ReadLong("MinimizeToTray", 0) == 1;
    minimizeOnStart_ = ReadLong("MinimizeOnStart", 0) == 1;
    showInTray_ = ReadLong("ShowInTray", 1) == 1;
    return true;
}

bool UIControl::SaveDockState(const char* prefix, IDockWnd* window) {
    if (!window)
        return false;
    std::string key(prefix ? prefix : "");
    IDockContainer* container = window->GetContainer();
    RECT rect = {};
    if (container && container->GetDockRect(0, &rect))
        WriteRect(key + "DockHorizontal.", rect);
    WriteFloat(key + "PercentSize", window->GetDockPercentSize());
    if (container && container->GetDockRect(1, &rect))
        WriteRect(key + "DockVertical.", rect);
    WriteLong(key + "Visible", window->GetVisible());
    HWND handle = HandleOf(window);
    if (handle && ::GetWindowRect(handle, &rect))
        WriteRect(key, rect);
    WriteLong(key + "DockArea", window->GetDockAreaPos());
    WriteLong(key + "DockBand", window->GetDockBandPos());
    return true;
}

bool UIControl::SaveSettings() {
    // The normal placement: a frame closed while minimized or maximized keeps
    // the size the user gave it.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    HWND frame = FrameWindow();
    if (frame && ::GetWindowPlacement(frame, &placement))
        WriteRect("FrameWnd.", placement.rcNormalPosition);
    WriteLong("MinimizeToTray", minimizeToTray_);
    WriteLong("MinimizeOnStart", minimizeOnStart_);
    WriteLong("ShowInTray", showInTray_);
    WriteLong("SaveOnExit", saveOnExit_);
    if (IDock* dock = Dock())
        WriteLong("LockDocking", dock->GetDockable());
    if (links_.frame)
        WriteLong("StatusBar.Visible", links_.frame->GetStatusBarVisible());
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Pelloran", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr) == ERROR_SUCCESS) {
        DWORD language = languageId_;
        ::RegSetValueExA(key, "LanguageID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&language), sizeof language);
        ::RegCloseKey(key);
    }
    for (layoutSlot slot : saveOrder)
        SaveDockState(PrefixOf(slot), LayoutWindow(slot));
    return true;
}

bool OnSettingsSave() {
    UIControl* control = TheControl();
    if (!control)
        return true;
    control->SaveSettings();
    listWindowObjects windows;
    MakeListWindowObjects(windows);
    if (windows.host)
        windows.host->SaveHistory();
    SaveListColumns();
    ss::ISSManager* manager = control->Links().manager;
    if (ISearchResultWnd* results = manager ? manager->GetCurrentResultWindow() : nullptr)
        results->SaveColumns();
    return true;
}

}  // namespace vesk::ui
