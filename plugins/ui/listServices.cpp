#include "plugins/ui/listServices.h"

#include <map>

#include "extern/rsrc/rsrcIds.h"

namespace vesk::ui {

namespace {

std::map<unsigned, std::string>& texts() {
    static std::map<unsigned, std::string> loaded;
    return loaded;
}

// Every name and caption the lists compare or show.
const unsigned listTextIds[] = {
    IDS_UIL_STOP, IDS_UIL_CLEAR_SEARCH, IDS_UIL_CLEAR_ALL, IDS_UIL_CONNECT, IDS_UIL_FILE_PATH,
    IDS_UIL_FILE_NAME, IDS_UIL_FILE_SIZE, IDS_UIL_FILE_TYPE, IDS_UIL_PAGE_HOST_CACHE, IDS_UIL_PAGE_CONNECTIONS,
    IDS_UIL_ADDRESS, IDS_UIL_NEXT, IDS_UIL_STOP_PLAYING, IDS_UIL_PLAY, IDS_UIL_PREVIOUS, IDS_UIL_VIDEO,
    IDS_UIL_PROGRESS, IDS_UIL_SEARCH_TEXT, IDS_UIL_HISTORY, IDS_UIL_EXPLORE, IDS_UIL_OPEN, IDS_UIL_STOP_SEARCH,
    IDS_UIL_DISCONNECT, IDS_UIL_TEMP_PATH, IDS_UIL_TIME_LEFT, IDS_UIL_STATUS, IDS_UIL_LINK_STATUS,
    IDS_UIL_UPLOADS_TAB, IDS_UIL_VIEW, IDS_UIL_LIST_DOWNLOADS, IDS_UIL_LIST_HOST_CACHE, IDS_UIL_LIST_CONNECTIONS,
    IDS_UIL_LIST_RESULTS, IDS_UIL_LIST_STATISTICS, IDS_UIL_LIST_UPLOADS, IDS_UIL_SEARCH, IDS_UIL_ADD_TO_PLAYLIST,
    IDS_UIL_REMOVE_FROM_PLAYLIST, IDS_UIL_RESULT_COUNT, IDS_UIL_REMOVE, IDS_UIL_PLAYLIST, IDS_UIL_START,
    IDS_UIL_STAT_TIP, IDS_UIL_COUNT,
};

}  // namespace

listServices& ListServices() {
    static listServices services;
    return services;
}

std::string LanguageText(unsigned id, int limit) {
    HINSTANCE language = ListServices().control ? ListServices().control->GetResourceInstance() : nullptr;
    if (!language || limit < 2)
        return std::string();
    std::string text(static_cast<std::size_t>(limit), '\0');
    int length = ::LoadStringA(language, id, &text[0], limit);
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

void LoadListTexts(HINSTANCE language) {
    for (unsigned id : listTextIds) {
        char text[260] = "";
        if (language)
            ::LoadStringA(language, id, text, sizeof text);
        texts()[id] = text;
    }
}

const char* ListText(unsigned id) {
    auto found = texts().find(id);
    return found == texts().end() ? "" : found->second.c_str();
}

unsigned SkinValue(unsigned id) {
    IFrameWnd* frame = ListServices().frame;
    ISkinEngine* engine = frame ? frame->GetSkinEngine() : nullptr;
    ISkin* skin = engine ? engine->GetCurrentSkin() : nullptr;
    return skin ? skin->GetValue(id) : 0;
}

bool OnWindowThread(HWND window) {
    return ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
}

bool MainWindowClosed() {
    IUIControl* control = ListServices().control;
    return control && control->IsClosed();
}

LRESULT SendToGuiThread(HWND window, UINT message, LPARAM work) {
    if (MainWindowClosed())
        return 0;
    return ::SendMessageA(window, message, 0, work);
}

HWND HandleOf(Igeneric* object) {
    IWnd* window = interfaceCast<IWnd>(object);
    return window ? window->GetHandle() : nullptr;
}

HWND FrameWindow() { return HandleOf(ListServices().frame); }

}  // namespace vesk::ui
