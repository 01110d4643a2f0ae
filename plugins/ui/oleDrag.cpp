#include "plugins/ui/oleDrag.h"

#include <shlobj.h>

#include <cstring>
#include <new>

namespace vesk::ui {

FORMATETC CopyFormat(const FORMATETC& format) {
    FORMATETC copy = format;
    if (format.ptd) {
        copy.ptd = static_cast<DVTARGETDEVICE*>(::CoTaskMemAlloc(format.ptd->tdSize));
        if (copy.ptd)
            std::memcpy(copy.ptd, format.ptd, format.ptd->tdSize);
    }
    return copy;
}

FORMATETC FileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// ---- CDragSource

HRESULT CDragSource::QueryContinueDrag(BOOL escapePressed, DWORD keys) {
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
}

HRESULT CDragSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// ---- CDataObject

namespace {

bool sameFormat(const FORMATETC& stored, const FORMATETC& asked) {
    return stored.cfFormat == asked.cfFormat && stored.dwAspect == asked.dwAspect && stored.lindex == asked.lindex &&
           (stored.tymed & asked.tymed) != 0;
}

}  // namespace

CDataObject::~CDataObject() {
    for (STGMEDIUM& medium : media_)
        ::ReleaseStgMedium(&medium);
    for (FORMATETC& format : formats_)
        if (format.ptd)
            ::CoTaskMemFree(format.ptd);
}

HRESULT CDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium)
        return E_INVALIDARG;
    for (std::size_t i = 0; i < formats_.size(); ++i) {
        if (!sameFormat(formats_[i], *format))
            continue;
        // The same handle, released through this object: the taker's
        // ReleaseStgMedium releases us, not the memory.
        *medium = media_[i];
        medium->pUnkForRelease = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    return DV_E_FORMATETC;
}

HRESULT CDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT CDataObject::QueryGetData(FORMATETC* format) {
    if (!format)
        return E_INVALIDARG;
    if (format->dwAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    bool mediumMatched = false;
    for (const FORMATETC& stored : formats_) {
        if ((stored.tymed & format->tymed) == 0)
            continue;
        mediumMatched = true;
        if (stored.cfFormat == format->cfFormat)
            return S_OK;
    }
    return mediumMatched ? DV_E_CLIPFORMAT : DV_E_TYMED;
}

HRESULT CDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out)
        out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT CDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    if (!format || !medium)
        return E_INVALIDARG;
    STGMEDIUM kept = *medium;
    if (!release) {
        kept.pUnkForRelease = nullptr;
        if (medium->tymed == TYMED_HGLOBAL) {
            kept.hGlobal = static_cast<HGLOBAL>(::OleDuplicateData(medium->hGlobal, format->cfFormat, 0));
            if (!kept.hGlobal)
                return E_OUTOFMEMORY;
        } else if (medium->tymed != TYMED_NULL) {
            return DV_E_TYMED;  // only memory blocks are copied
        }
    }
    try {
        formats_.reserve(formats_.size() + 1);
        media_.reserve(media_.size() + 1);
    } catch (const std::bad_alloc&) {
        if (!release)
            ::ReleaseStgMedium(&kept);
        return E_OUTOFMEMORY;
    }
    formats_.push_back(CopyFormat(*format));
    media_.push_back(kept);
    return S_OK;
}

HRESULT CDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (direction != DATADIR_GET)
        return OLE_S_USEREG;
    *out = new (std::nothrow) CEnumFormatEtc(formats_);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return E_NOTIMPL; }
HRESULT CDataObject::DUnadvise(DWORD) { return E_NOTIMPL; }
HRESULT CDataObject::EnumDAdvise(IEnumSTATDATA** out) {
    if (out)
        *out = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

// ---- CEnumFormatEtc

CEnumFormatEtc::CEnumFormatEtc(const std::vector<FORMATETC>& formats, std::size_t position) : position_(position) {
    formats_.reserve(formats.size());
    for (const FORMATETC& format : formats)
        formats_.push_back(CopyFormat(format));
}

CEnumFormatEtc::~CEnumFormatEtc() {
    for (FORMATETC& format : formats_)
        if (format.ptd)
            ::CoTaskMemFree(format.ptd);
}

HRESULT CEnumFormatEtc::Next(ULONG count, FORMATETC* out, ULONG* fetched) {
    if (!out || (!fetched && count != 1))
        return E_INVALIDARG;
    ULONG given = 0;
    while (given < count && position_ < formats_.size())
        out[given++] = CopyFormat(formats_[position_++]);
    if (fetched)
        *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT CEnumFormatEtc::Skip(ULONG count) {
    if (position_ + count > formats_.size())
        return S_FALSE;
    position_ += count;
    return S_OK;
}

HRESULT CEnumFormatEtc::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT CEnumFormatEtc::Clone(IEnumFORMATETC** out) {
    if (!out)
        return E_INVALIDARG;
    *out = new (std::nothrow) CEnumFormatEtc(formats_, position_);
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace vesk::ui
