// VeskSH: the Explorer context-menu handler. For a single selected file it
// adds the item "&Run with Parameters", which brings the running client to
// the front or starts it. Nothing about the file reaches the client.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "extern/comserver/dualInterface.h"
#include "extern/comserver/refCount.h"
#include "extern/comserver/serverCount.h"
#include "gui/Brevant/brevantLib.h"

namespace vesk::brevant {

// IDispatch comes from the type library.
class VeskSH final : public IShellExtInit, public IContextMenu3, public comserver::dualInterface<IVeskSH> {
public:
    // The class's creation function for the class factory.
    static HRESULT create(REFIID iid, void** object);

    // The text of the one menu item.
    static constexpr const char* menuText = "&Run with Parameters";

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IShellExtInit: S_OK only for exactly one dropped file, so that the
    // shell offers the item for a single selection.
    HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY programKey) override;

    // IContextMenu
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId,
                                               UINT flags) override;
    // Acts only for its own item (the numeric verb 0).
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* command) override;
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR id, UINT type, UINT* reserved, CHAR* name,
                                               UINT size) override;

    // IContextMenu2, IContextMenu3: the item draws nothing of its own.
    HRESULT STDMETHODCALLTYPE HandleMenuMsg(UINT message, WPARAM wParam, LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE HandleMenuMsg2(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    VeskSH();
    ~VeskSH() = default;

    comserver::refCount references_;
    comserver::liveObject alive_;
};

}  // namespace vesk::brevant
