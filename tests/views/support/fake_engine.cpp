#include "tests/views/support/fake_engine.h"

#include <algorithm>

#include "platform/com/bstr.h"

namespace views_test {

com::ComPtr<IQadGenericDTMObject> FakeEngine::make(FakeEngine** raw) {
    auto engine = com::ComInstance<FakeEngine>::make<IQadGenericDTMObject>();
    if (raw) *raw = static_cast<FakeEngine*>(engine.get());
    return engine;
}

void FakeEngine::change(std::int32_t id, const std::string& value) {
    parameters[id].value = value;
    notify(id);
}

void FakeEngine::notify(std::int32_t id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    const auto copy = observers_[id];  // an observer may unregister meanwhile
    for (const auto& observer : copy) observer->Changed(v);
}

std::size_t FakeEngine::observerCount() const {
    std::size_t count = 0;
    for (const auto& [id, list] : observers_) count += list.size();
    return count;
}

std::size_t FakeEngine::observerCount(std::int32_t id) const {
    const auto found = observers_.find(id);
    return found == observers_.end() ? 0 : found->second.size();
}

HRESULT FakeEngine::text(VARIANT id, BSTR* out, std::string FakeParameter::*field) {
    if (!out) return E_POINTER;
    SysFreeString(*out);
    const auto found = parameters.find(id.lVal);
    *out = com::allocBstr(found == parameters.end() ? std::string() : found->second.*field);
    return S_OK;
}

HRESULT FakeEngine::flag(VARIANT id, VARIANT_BOOL* out, bool FakeParameter::*field) {
    if (!out) return E_POINTER;
    const auto found = parameters.find(id.lVal);
    *out = found != parameters.end() && found->second.*field ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT FakeEngine::GetValue(VARIANT id, BSTR* val) { return text(id, val, &FakeParameter::value); }
HRESULT FakeEngine::GetDescription(VARIANT id, BSTR* val) {
    return text(id, val, &FakeParameter::description);
}
HRESULT FakeEngine::GetRange(VARIANT id, BSTR* val) { return text(id, val, &FakeParameter::range); }
HRESULT FakeEngine::GetName(VARIANT id, BSTR* val) { return text(id, val, &FakeParameter::name); }
HRESULT FakeEngine::GetUnit(VARIANT id, BSTR* val) { return text(id, val, &FakeParameter::unit); }
HRESULT FakeEngine::GetScaling(VARIANT id, BSTR* val) { return text(id, val, &FakeParameter::scaling); }
HRESULT FakeEngine::GetSize(VARIANT id, BSTR* val) { return text(id, val, &FakeParameter::size); }
HRESULT FakeEngine::IsChanged(VARIANT id, VARIANT_BOOL* out) { return flag(id, out, &FakeParameter::changed); }
HRESULT FakeEngine::IsValid(VARIANT id, VARIANT_BOOL* out) { return flag(id, out, &FakeParameter::valid); }
HRESULT FakeEngine::IsWriteable(VARIANT id, VARIANT_BOOL* out) {
    return flag(id, out, &FakeParameter::writeable);
}
HRESULT FakeEngine::IsOutOfRange(VARIANT id, VARIANT_BOOL* out) {
    return flag(id, out, &FakeParameter::outOfRange);
}
HRESULT FakeEngine::IsVisible(VARIANT id, VARIANT_BOOL* out) { return flag(id, out, &FakeParameter::visible); }

HRESULT FakeEngine::SetValue(VARIANT id, BSTR* val) {
    if (!val) return E_POINTER;
    const std::string text = com::toUtf8(*val);
    writes.push_back(std::to_string(id.lVal) + "=" + text);
    parameters[id.lVal].value = text;
    parameters[id.lVal].outOfRange = false;
    return S_OK;
}

HRESULT FakeEngine::SetOutOfRange(VARIANT id, VARIANT_BOOL outOfRange) {
    parameters[id.lVal].outOfRange = outOfRange != VARIANT_FALSE;
    return S_OK;
}

HRESULT FakeEngine::RegisterObserver(VARIANT id, IDispatch* observer) {
    com::ComPtr<IObserver> typed;
    if (!observer || FAILED(observer->QueryInterface(IObserver::iid, typed.putVoid()))) return E_POINTER;
    observers_[id.lVal].push_back(typed);
    return S_OK;
}

HRESULT FakeEngine::UnregisterObserver(VARIANT id, IDispatch* observer) {
    com::ComPtr<IObserver> typed;
    if (!observer || FAILED(observer->QueryInterface(IObserver::iid, typed.putVoid()))) return E_POINTER;
    auto& list = observers_[id.lVal];
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&](const auto& entry) { return entry.get() == typed.get(); });
    if (found != list.end()) list.erase(found);
    return S_OK;
}

HRESULT FakeEngine::DoAction(BSTR* action, IDispatch* observer) {
    if (!action) return E_POINTER;
    actions.push_back(com::toUtf8(*action));
    lastActionObserver_.reset();
    if (observer) observer->QueryInterface(IObserver::iid, lastActionObserver_.putVoid());
    return S_OK;
}

void FakeEngine::finishLastAction() {
    const auto observer = std::move(lastActionObserver_);
    VARIANT v;
    VariantInit(&v);
    if (observer) observer->Finished(v);
}

HRESULT FakeEngine::ClearActions(IDispatch*) {
    ++clearActionsCalls;
    return S_OK;
}

HRESULT FakeEngine::OnApplicationOpened(BSTR invokeID, BSTR functionID) {
    applicationCalls.push_back("opened " + com::toUtf8(invokeID) + " " + com::toUtf8(functionID));
    return S_OK;
}

HRESULT FakeEngine::OnApplicationClosed(BSTR invokeID, BSTR functionID) {
    applicationCalls.push_back("closed " + com::toUtf8(invokeID) + " " + com::toUtf8(functionID));
    return S_OK;
}

HRESULT FakeEngine::GetTranslatedString(BSTR inStr, BSTR* outStr) {
    if (!outStr) return E_POINTER;
    SysFreeString(*outStr);
    const std::string key = com::toUtf8(inStr);
    const auto found = translations.find(key);
    *outStr = com::allocBstr(found == translations.end() ? key : found->second);
    return S_OK;
}

HRESULT FakeEngine::IsOnline(VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = online ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

std::string functionCall(std::int32_t functionId) {
    return "<FDT xmlns=\"x-schema:DTMFunctionCallSchema.xml\" "
           "xmlns:func=\"x-schema:DTMFunctionsSchema.xml\"><FunctionCall func:functionId=\"" +
           std::to_string(functionId) + "\"/></FDT>";
}

}  // namespace views_test
