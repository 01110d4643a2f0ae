#include "gui/Brevant/vesksh.h"

#include <shellapi.h>

#include <new>

#include "extern/comserver/classFactory.h"
#include "gui/Brevant/clientLauncher.h"
#include "gui/Brevant/module.h"

namespace vesk::brevant {

namespace {

// Exactly one file named by the data object's dropped-file list.
bool namesOneFile(HDROP drop) {
    if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) != 1)
        return false;
    char name[MAX_PATH];  // read as the shell hands it, not kept
    return DragQueryFileA(drop, 0, name, MAX_PATH) > 0;
}

bool isOwnItem(const CMINVOKECOMMANDINFO& command) {
    // A numeric verb is an offset from the first id the item was given; a
    // text verb is another handler's or the shell's own.
    return IS_INTRESOURCE(command.lpVerb) && LOWORD(reinterpret_cast<ULONG_PTR>(command.lpVerb)) == 0;
}

}  // namespace

VeskSH::VeskSH() : dualInterface(brevantModule(), IID_IVeskSH) {}

HRESULT VeskSH::create(REFIID iid, void** object) {
    return comserver::handOver(new (std::nothrow) VeskSH(), iid, object);
}

HRESULT STDMETHODCALLTYPE VeskSH::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellExtInit))
        *object = static_cast<IShellExtInit*>(this);
    else if (IsEqualIID(iid, IID_IContextMenu) || IsEqualIID(iid, IID_IContextMenu2) ||
             IsEqualIID(iid, IID_IContextMenu3))
        *object = static_cast<IContextMenu3*>(this);
    else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IVeskSH))
        *object = static_cast<IVeskSH*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE VeskSH::AddRef() { return references_.add(); }

ULONG STDMETHODCALLTYPE VeskSH::Release() {
    ULONG left = references_.release();
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE VeskSH::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
    if (!data)
        return E_FAIL;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium)))
        return E_FAIL;
    bool one = medium.tymed == TYMED_HGLOBAL && medium.hGlobal && namesOneFile(static_cast<HDROP>(medium.hGlobal));
    ReleaseStgMedium(&medium);
    return one ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE VeskSH::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT, UINT) {
    if (!InsertMenuA(menu, index, MF_BYPOSITION | MF_STRING, firstId, menuText))
        return HRESULT_FROM_WIN32(GetLastError());
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);  // one item added
}

HRESULT STDMETHODCALLTYPE VeskSH::InvokeCommand(CMINVOKECOMMANDINFO* command) {
    if (!command)
        return E_INVALIDARG;
    if (!isOwnItem(*command))
        return E_FAIL;
    bringForwardOrStartClient(brevantModule());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE VeskSH::GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT) { return E_INVALIDARG; }

HRESULT STDMETHODCALLTYPE VeskSH::HandleMenuMsg(UINT, WPARAM, LPARAM) { return S_OK; }

HRESULT STDMETHODCALLTYPE VeskSH::HandleMenuMsg2(UINT, WPARAM, LPARAM, LRESULT* result) {
    if (result)
        *result = 0;
    return S_OK;
}

}  // namespace vesk::brevant
