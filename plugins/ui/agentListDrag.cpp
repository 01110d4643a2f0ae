// Rows dragged out of a list as a list of files, and the image the shell
// shows while they are dragged.
#include <shlobj.h>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/cellText.h"
#include "plugins/ui/dropFiles.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/oleDrag.h"

namespace vesk::ui {

namespace {

constexpr COLORREF dragKey = RGB(0, 255, 0);

// A finished download's file is at its final path; one still coming is in
// the temporary folder.
std::string DragPath(ss::IAgent* agent) {
    bool finished = AttributeNumber(agent, "AFD", 0) == 1;
    return AttributeText(agent, ListText(finished ? IDS_UIL_TEMP_PATH : IDS_UIL_FILE_PATH));
}

}  // namespace

void CAgentListView::BeginDragOut(HWND list) {
    if (!list || list != listWnd_)
        return;
    std::vector<std::string> paths;
    for (ss::IAgent* agent : SelectedAgents()) {
        std::string path = DragPath(agent);
        if (!path.empty())
            paths.push_back(path);
        agent->release();
    }
    if (paths.empty())
        return;
    HGLOBAL block = BuildDropFiles(paths);
    if (!block)
        return;
    auto* data = new CDataObject();
    auto* source = new CDragSource();
    FORMATETC format = FileListFormat();
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    // The data object keeps the block and frees it when it goes, whatever
    // the drop did with it.
    if (SUCCEEDED(data->SetData(&format, &medium, TRUE))) {
        DWORD effect = DROPEFFECT_NONE;
        ::DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    } else {
        ::GlobalFree(block);
    }
    source->Release();
    data->Release();
}

HIMAGELIST CAgentListView::CreateDragImage(POINT* origin) {
    HWND list = listWnd_;
    if (!list)
        return nullptr;
    int top = static_cast<int>(::SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    int perPage = static_cast<int>(::SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    RECT client;
    ::GetClientRect(list, &client);
    std::vector<std::pair<HIMAGELIST, RECT>> rows;
    RECT all = {};
    for (int row = top; row < top + perPage; ++row) {
        if (!(::SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED))
            continue;
        POINT at = {};
        auto image = reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_CREATEDRAGIMAGE, row, reinterpret_cast<LPARAM>(&at)));
        if (!image)
            continue;
        RECT place = {LVIR_BOUNDS, 0, 0, 0};
        ::SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&place));
        place.right = place.right > client.right ? client.right : place.right;
        if (rows.empty())
            all = place;
        else
            ::UnionRect(&all, &all, &place);
        rows.emplace_back(image, place);
    }
    if (rows.empty())
        return nullptr;
    int width = all.right - all.left;
    int height = all.bottom - all.top;
    HIMAGELIST result = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC paint = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    if (paint && bitmap) {
        HGDIOBJ old = ::SelectObject(paint, bitmap);
        RECT fill = {0, 0, width, height};
        HBRUSH key = ::CreateSolidBrush(dragKey);
        ::FillRect(paint, &fill, key);
        ::DeleteObject(key);
        for (auto& [image, place] : rows)
            ::ImageList_Draw(image, 0, paint, place.left - all.left, place.top - all.top, ILD_NORMAL);
        ::SelectObject(paint, old);
        result = ::ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 1);
        if (result && ::ImageList_AddMasked(result, bitmap, dragKey) < 0) {
            ::ImageList_Destroy(result);
            result = nullptr;
        }
    }
    for (auto& row : rows)
        ::ImageList_Destroy(row.first);
    if (bitmap)
        ::DeleteObject(bitmap);
    if (paint)
        ::DeleteDC(paint);
    ::ReleaseDC(nullptr, screen);
    if (result && origin)
        *origin = POINT{all.left, all.top};
    return result;
}

LRESULT CAgentListView::OnShellDragImage(LPARAM image) {
    auto* record = reinterpret_cast<SHDRAGIMAGE*>(image);
    if (!record)
        return 0;
    if (dragImage_)
        ::ImageList_Destroy(dragImage_);
    POINT origin = {};
    dragImage_ = CreateDragImage(&origin);
    if (!dragImage_)
        return 0;
    int width = 0;
    int height = 0;
    ::ImageList_GetIconSize(dragImage_, &width, &height);
    IMAGEINFO info = {};
    if (!::ImageList_GetImageInfo(dragImage_, 0, &info))
        return 0;
    // The shell takes the bitmap: hand over a copy, the list keeps its own.
    record->hbmpDragImage = static_cast<HBITMAP>(::CopyImage(info.hbmImage, IMAGE_BITMAP, width, height, 0));
    record->sizeDragImage = SIZE{width, height};
    record->ptOffset = POINT{0, 0};
    record->crColorKey = dragKey;
    return record->hbmpDragImage ? 1 : 0;
}

}  // namespace vesk::ui
