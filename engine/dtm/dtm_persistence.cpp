// Persistence of the device data set: the DataSetText in a property bag
// entry "Parameters" or in a stream (32-bit little-endian byte count, then
// UTF-16LE text with its terminating zero), with the frame's data-set lock
// taken around a save.

#include "engine/dtm/data_set_stream.h"
#include "engine/dtm/dtm_support_p.h"
#include "engine/dtm/qad_generic_dtm_object.h"
#include "engine/parameters/data_set_text.h"

namespace engine {

using namespace dtm_support;

namespace {

constexpr char16_t kParametersProperty[] = u"Parameters";

}  // namespace

HRESULT QadGenericDTMObject::GetClassID(CLSID* pClassID) {
    if (!pClassID) return E_POINTER;
    *pClassID = clsid;
    return S_OK;
}

HRESULT QadGenericDTMObject::InitNew() { return S_OK; }

HRESULT QadGenericDTMObject::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT QadGenericDTMObject::GetSizeMax(ULARGE_INTEGER*) { return E_NOTIMPL; }

HRESULT QadGenericDTMObject::Load(IStream* pStm) {
    if (!pStm) return E_POINTER;
    if (environmentRan()) return E_UNEXPECTED;
    return barrier(E_FAIL, [&] {
        const DataSetStreamRead read = readDataSetStream(*pStm);
        if (FAILED(read.result)) return read.result;
        applyLoadedDataSet(read.text);
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) {
    if (!pPropBag) return E_POINTER;
    if (environmentRan()) return E_UNEXPECTED;
    return barrier(E_FAIL, [&] {
        com::Variant value;
        const HRESULT hr = pPropBag->Read(kParametersProperty, value.out(), pErrorLog);
        if (FAILED(hr)) return hr;
        com::Variant text;
        if (FAILED(VariantChangeType(text.get(), value.get(), 0, VT_BSTR))) return E_FAIL;
        applyLoadedDataSet(com::toUtf8(text.get()->bstrVal));
        return S_OK;
    });
}

void QadGenericDTMObject::applyLoadedDataSet(std::string_view text) {
    applyDataSetText(deviceObject_, text, true);
    dirty_ = false;
    state_ = kLoaded;
}

HRESULT QadGenericDTMObject::Save(IStream* pStm, BOOL fClearDirty) {
    if (!pStm) return E_POINTER;
    return barrier(E_FAIL, [&] {
        std::string text, changedItems;
        if (const HRESULT refused = saveDataSet(text, changedItems); FAILED(refused)) return refused;
        const HRESULT hr = writeDataSetStream(*pStm, text);
        if (fClearDirty && SUCCEEDED(hr)) dirty_ = false;
        finishSave(changedItems);
        return hr;
    });
}

HRESULT QadGenericDTMObject::Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL) {
    if (!pPropBag) return E_POINTER;
    return barrier(E_FAIL, [&] {
        std::string text, changedItems;
        if (const HRESULT refused = saveDataSet(text, changedItems); FAILED(refused)) return refused;
        com::Variant value = com::Variant::fromText(text);
        const HRESULT hr = pPropBag->Write(kParametersProperty, value.get());
        if (fClearDirty && SUCCEEDED(hr)) dirty_ = false;
        finishSave(changedItems);
        return hr;
    });
}

// Takes the lock (unless held) and walks the data set. Nothing may be written
// without a model to walk (E_UNEXPECTED: a data set loaded before Environment
// is not applied yet) or when the frame refuses the lock (E_ACCESSDENIED).
HRESULT QadGenericDTMObject::saveDataSet(std::string& text, std::string& changedItems) {
    if (!deviceObject_.modelBuilt()) return E_UNEXPECTED;
    if (!dataSetLocked_ && !lockDataSet()) return E_ACCESSDENIED;
    DataSetWalk walk = walkDataSet(deviceObject_);
    text = std::move(walk.full);
    changedItems = std::move(walk.changed);
    return S_OK;
}

// Gives the lock back (taking it again at once while views are open) and
// reports what changed.
void QadGenericDTMObject::finishSave(const std::string& changedItems) {
    if (unlockDataSet()) {
        dataSetLocked_ = false;
        if (!openApplications_.empty()) lockDataSet();
    }
    if (!changedItems.empty() && frameEvents_) {
        frameEvents_->OnParametersChanged(com::Bstr::fromUtf8(systemTag_).get(),
                                          com::Bstr::fromUtf8(changedItems).get());
    }
}

}  // namespace engine
