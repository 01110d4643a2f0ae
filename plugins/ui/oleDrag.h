// The OLE objects of dragging rows out of a list: the drag source, the data
// object holding the file list, and its format enumerator.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <vector>

#include "plugins/ui/comObject.h"

namespace vesk::ui {

// Escape cancels, the left button held goes on, its release drops.
class CDragSource : public comObject<IDropSource, IID_IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keys) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;
};

// Formats and media set on it, handed out by format. Media it was given
// to keep are freed when it goes; media handed out name it as their release
// owner, so the memory is freed exactly once.
class CDataObject : public comObject<IDataObject, IID_IDataObject> {
public:
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

protected:
    ~CDataObject() override;

private:
    std::vector<FORMATETC> formats_;
    std::vector<STGMEDIUM> media_;
};

// Standard enumeration over its own copy of the formats.
class CEnumFormatEtc : public comObject<IEnumFORMATETC, IID_IEnumFORMATETC> {
public:
    explicit CEnumFormatEtc(const std::vector<FORMATETC>& formats, std::size_t position = 0);
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

protected:
    ~CEnumFormatEtc() override;

private:
    std::vector<FORMATETC> formats_;  // each target device its own copy
    std::size_t position_;
};

// A copy of a format with its own copy of the target device.
FORMATETC CopyFormat(const FORMATETC& format);

// The CF_HDROP format of an HGLOBAL medium.
FORMATETC FileListFormat();

}  // namespace vesk::ui
