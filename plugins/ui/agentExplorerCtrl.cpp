#include "plugins/ui/agentExplorerCtrl.h"

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/string.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/cellText.h"
#include "plugins/ui/listServices.h"
#include "vesk/containers.h"

namespace vesk::ui {

namespace {

constexpr unsigned linkStateType = 0x40040;
constexpr int fieldLevel = 1000;
constexpr INT_PTR shellFileNotFound = 2;

// Extension -> index in both shared image lists. Results arrive on every
// search's thread at once.
std::mutex iconLock;
std::map<std::string, int> iconByExtension;

int GenericIcon() {
    IUIControl* control = ListServices().control;
    return control ? control->AddIcon(control->GetDefaultResourceInstance(), IDI_UIL_FILE) : -1;
}

// Appends the shell's icons of the extension to both lists (under
// iconLock); -1 when either cannot be had, the lists left in step.
int AddShellIcons(const std::string& extension) {
    IUIControl* control = ListServices().control;
    if (!control)
        return -1;
    HIMAGELIST small = control->GetSmallImageList(), large = control->GetLargeImageList();
    std::string probe = "x." + extension;
    SHFILEINFOA smallInfo = {}, largeInfo = {};
    // File attributes only: the shell looks at the name, never the disk.
    ::SHGetFileInfoA(probe.c_str(), FILE_ATTRIBUTE_NORMAL, &smallInfo, sizeof smallInfo,
                     SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SMALLICON);
    ::SHGetFileInfoA(probe.c_str(), FILE_ATTRIBUTE_NORMAL, &largeInfo, sizeof largeInfo,
                     SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_LARGEICON);
    int index = -1;
    if (small && large && smallInfo.hIcon && largeInfo.hIcon) {
        index = ::ImageList_AddIcon(small, smallInfo.hIcon);
        if (index >= 0 && ::ImageList_AddIcon(large, largeInfo.hIcon) != index) {
            ::ImageList_Remove(small, index);
            index = -1;
        }
    }
    if (smallInfo.hIcon)
        ::DestroyIcon(smallInfo.hIcon);
    if (largeInfo.hIcon)
        ::DestroyIcon(largeInfo.hIcon);
    return index;
}

int IconOfExtension(const std::string& extension) {
    {
        std::lock_guard<std::mutex> hold(iconLock);
        auto found = iconByExtension.find(extension);
        if (found != iconByExtension.end())
            return found->second;
        if (iconByExtension.size() < iconCacheLimit) {
            int index = AddShellIcons(extension);
            if (index >= 0) {
                iconByExtension[extension] = index;
                return index;
            }
        }
    }
    return GenericIcon();
}

void ResultCallback(Ivector* batch) {
    if (!batch)
        return;
    // Taken out of the batch first: icons may be added through the GUI
    // thread, which must not wait on the batch's lock.
    std::vector<ss::IAgent*> agents;
    {
        lockGuard hold(batch->getLock());
        unsigned count = batch->size();
        for (unsigned i = 0; i < count; ++i)
            if (ss::IAgent* agent = interfaceCast<ss::IAgent>(batch->at(i).anyObject())) {
                agent->addRef();
                agents.push_back(agent);
            }
    }
    for (ss::IAgent* agent : agents) {
        GiveFileIcon(agent);
        agent->release();
    }
}

using targetOf = std::string (*)(const std::string& path);

std::string fileItself(const std::string& path) { return path; }

std::string folderOf(const std::string& path) {
    std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The finished file's path first, the download path when that is missing
// or the shell cannot find it.
void RunShellVerb(ss::IAgent* agent, const char* verb, targetOf target) {
    if (!agent)
        return;
    agent->FireAction(ListText(IDS_UIL_FILE_PATH));
    shellExecuteFn shell = ListServices().shellExecute;
    if (!shell)
        return;
    std::string first = target(AttributeText(agent, ListText(IDS_UIL_TEMP_PATH)));
    if (!first.empty()) {
        auto answer = reinterpret_cast<INT_PTR>(shell(FrameWindow(), verb, first.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (answer != shellFileNotFound)
            return;
    }
    std::string second = target(AttributeText(agent, ListText(IDS_UIL_FILE_PATH)));
    if (!second.empty())
        shell(FrameWindow(), verb, second.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

CAgentExplorerCtrl::CAgentExplorerCtrl() {
    registerInterfaceOf<IAgentExplorerCtrl>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

int CAgentExplorerCtrl::Init() {
    ss::ISSManager* manager = ListServices().manager;
    if (!manager)
        return 1;
    manager->AddResultCallback(&ResultCallback);
    ref<Istring> field(new vesk::string(ListText(IDS_UIL_LINK_STATUS)));
    ref<Istring> list(new vesk::string(ListText(IDS_UIL_LIST_RESULTS)));
    manager->AddField(field.get(), list.get(), linkStateType, fieldLevel);
    return 1;
}

void GiveFileIcon(ss::IAgent* agent) {
    const char* nameField = ListText(IDS_UIL_FILE_NAME);
    if (!agent || !agent->HasAttribute(nameField))
        return;
    std::string name = AttributeText(agent, nameField);
    std::size_t dot = name.rfind('.');
    std::string type;
    int index;
    if (dot == std::string::npos) {
        index = GenericIcon();
    } else {
        type = name.substr(dot + 1);
        std::transform(type.begin(), type.end(), type.begin(),
                       [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
        if (type.empty() || type.size() > longestIconExtension) {
            type.resize(std::min(type.size(), longestIconExtension));
            index = GenericIcon();
        } else {
            index = IconOfExtension(type);
        }
    }
    agent->SetAttribute(ListText(IDS_UIL_FILE_TYPE), value(type.c_str()));
    agent->SetAttributeProperty(nameField, "II", value(static_cast<long>(index)));
}

std::size_t CachedIconCount() {
    std::lock_guard<std::mutex> hold(iconLock);
    return iconByExtension.size();
}

int OpenAction(ss::IAgent* agent) {
    RunShellVerb(agent, "open", &fileItself);
    return 1;
}

int ExploreAction(ss::IAgent* agent) {
    RunShellVerb(agent, "explore", &folderOf);
    return 1;
}

}  // namespace vesk::ui
