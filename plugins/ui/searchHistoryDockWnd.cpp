#include "plugins/ui/searchHistoryDockWnd.h"

#include "core/string.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/cellText.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

constexpr unsigned historyFieldType = 0x4040;
constexpr int historyFieldLevel = 1000;

}  // namespace

VSearchHistoryDockWnd::VSearchHistoryDockWnd() {
    registerInterfaceOf<ISearchHistoryDockWnd>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

int VSearchHistoryDockWnd::Create(const char* name, RECT* rect) {
    listServices& s = ListServices();
    const char* type = ListText(IDS_UIL_HISTORY);
    if (s.manager) {
        ref<Istring> list(new vesk::string(type));
        for (unsigned id : {IDS_UIL_SEARCH_TEXT, IDS_UIL_RESULT_COUNT}) {
            ref<Istring> field(new vesk::string(ListText(id)));
            s.manager->AddField(field.get(), list.get(), historyFieldType, historyFieldLevel);
        }
    }
    if (!tabs_.Make(name, rect, &VSearchHistoryDockWnd::Hook, this))
        return 0;
    history_.Create(tabs_.ContentParent(), 0, 0);
    history_.SetPrimaryColumn(ListText(IDS_UIL_SEARCH_TEXT));
    history_.SetColumns("SearchHistoryLV.", type);
    tabs_.AddTab(type, history_.GetHandle(), IDI_UIL_HISTORY);
    if (s.statusBar && s.control) {
        HICON icon = static_cast<HICON>(::LoadImageA(s.control->GetDefaultResourceInstance(),
                                                     MAKEINTRESOURCEA(IDI_UIL_QUERY), IMAGE_ICON, 16, 16, 0));
        if (icon)
            s.statusBar->SetIcon(statusPane, icon);
        s.statusBar->Output("S: 0 SR: 0", statusPane, 0);
    }
    history_.AddEventAction("KD", ListText(IDS_UIL_CLEAR_SEARCH));
    history_.AddEventAction("KP", ListText(IDS_UIL_STOP_SEARCH));
    return 0;
}

bool VSearchHistoryDockWnd::UpdateSearch(ss::IAgent* search) {
    bool updated = history_.UpdateItem(search);
    Recount();
    return updated;
}

int VSearchHistoryDockWnd::RemoveSearch(ss::IAgent* search) {
    int removed = history_.RemoveItem(search);
    Recount();
    return removed;
}

long VSearchHistoryDockWnd::ResultSum() {
    // The result count of every row, as the manager keeps it on the
    // search's agent; the first column may show something else.
    return static_cast<long>(history_.RunOnGuiThread([this]() -> LRESULT {
        long sum = 0;
        int count = history_.RowCount();
        for (int row = 0; row < count; ++row) {
            ss::IAgent* agent = history_.AgentAt(row);
            sum += AttributeNumber(agent, ListText(IDS_UIL_RESULT_COUNT), 0);
            if (agent)
                agent->release();
        }
        return sum;
    }));
}

std::string VSearchHistoryDockWnd::CountText() {
    int searches = static_cast<int>(history_.RunOnGuiThread([this]() -> LRESULT { return history_.RowCount(); }));
    return "S: " + std::to_string(searches) + " SR: " + std::to_string(ResultSum());
}

void VSearchHistoryDockWnd::Recount() {
    if (IStatusBar* status = ListServices().statusBar)
        status->Output(CountText().c_str(), statusPane, 0);
}

void VSearchHistoryDockWnd::ActivateRow(int row) {
    ss::IAgent* agent = history_.AgentAt(row);
    if (!agent)
        return;
    auto* search = interfaceCast<ss::ISearchInst>(agent->GetAttribute("ISearchInst").asGeneric());
    if (ISearchResultWnd* window = search ? search->GetWindow() : nullptr) {
        if (ss::ISSManager* manager = ListServices().manager)
            manager->SetCurrentResultWindow(window);
        window->Activate();
    }
    agent->release();
}

LRESULT VSearchHistoryDockWnd::Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<VSearchHistoryDockWnd*>(self)->OnMessage(window, message, wParam, lParam);
}

LRESULT VSearchHistoryDockWnd::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer = history_.WindowProc(window, message, wParam, lParam);
    if (answer != -1)
        return answer;
    HWND list = history_.GetHandle();
    if (message != WM_NOTIFY || !lParam || !list)
        return -1;
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == TTN_GETDISPINFOA) {
        auto* tip = reinterpret_cast<NMTTDISPINFOA*>(header);
        ::SendMessageA(header->hwndFrom, TTM_SETMAXTIPWIDTH, 0, tipWidth);
        std::string text = std::string(ListText(IDS_UIL_HISTORY)) + "\r\n" + ListText(IDS_UIL_COUNT) + ": " +
                           std::to_string(history_.RowCount()) + "\r\n" + ListText(IDS_UIL_RESULT_COUNT) + ": " +
                           std::to_string(ResultSum());
        CopyCut(text, tip->szText, sizeof tip->szText);
        tip->lpszText = tip->szText;
        tip->hinst = nullptr;
        return 0;
    }
    if (header->hwndFrom != list)
        return -1;
    if (header->code == LVN_KEYDOWN && reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_RETURN) {
        if (history_.RowCount() > 0) {
            ActivateRow(static_cast<int>(::SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0)));
            ::SetFocus(list);
        }
        return 0;
    }
    if (header->code == static_cast<UINT>(NM_CLICK)) {
        int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
        if (row < 0)
            return -1;
        ActivateRow(row);
        ::SendMessageA(list, LVM_SETSELECTIONMARK, 0, row);
        ::SetFocus(list);
        return 1;
    }
    return -1;
}

}  // namespace vesk::ui
