// vesk::ui::CIDropTarget: files and folders dropped on a window become
// playlist rows. The shell's drag-image helper shows the dragged picture
// over the window when the platform has one.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>

#include "plugins/ui/comObject.h"
#include "vesk/ss.h"

namespace vesk::ui {

class CIDropTarget : public comObject<IDropTarget, IID_IDropTarget> {
public:
    explicit CIDropTarget(HWND window);

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    // Every dropped file becomes an agent; the source is told nothing was
    // done with its data (DROPEFFECT_NONE).
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

protected:
    ~CIDropTarget() override;

private:
    HWND window_;
    IDropTargetHelper* helper_ = nullptr;  // one reference; null without the shell's helper
};

// The agent of a dropped file, with its path, name, actions and file-type
// icon (the caller releases the one reference); null without the factory.
ss::IAgent* NewDroppedFileAgent(const std::string& path);

}  // namespace vesk::ui
