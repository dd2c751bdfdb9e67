#include "views/elements/engine_calls.h"

#include "platform/com/bstr.h"

namespace views {
namespace {

VARIANT idVariant(std::int32_t id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

}  // namespace

std::string EngineCalls::text(TextGetter getter, std::int32_t id) const {
    if (!engine_) return {};
    com::Bstr out;
    if (FAILED((engine_->*getter)(idVariant(id), out.out()))) return {};
    return out.utf8();
}

bool EngineCalls::flag(FlagGetter getter, std::int32_t id) const {
    if (!engine_) return false;
    VARIANT_BOOL out = VARIANT_FALSE;
    if (FAILED((engine_->*getter)(idVariant(id), &out))) return false;
    return out != VARIANT_FALSE;
}

std::string EngineCalls::value(std::int32_t id) const { return text(&IQadGenericDTMObject::GetValue, id); }
std::string EngineCalls::name(std::int32_t id) const { return text(&IQadGenericDTMObject::GetName, id); }
std::string EngineCalls::description(std::int32_t id) const {
    return text(&IQadGenericDTMObject::GetDescription, id);
}
std::string EngineCalls::range(std::int32_t id) const { return text(&IQadGenericDTMObject::GetRange, id); }
std::string EngineCalls::unit(std::int32_t id) const { return text(&IQadGenericDTMObject::GetUnit, id); }
std::string EngineCalls::scaling(std::int32_t id) const {
    return text(&IQadGenericDTMObject::GetScaling, id);
}
std::string EngineCalls::size(std::int32_t id) const { return text(&IQadGenericDTMObject::GetSize, id); }
bool EngineCalls::isVisible(std::int32_t id) const { return flag(&IQadGenericDTMObject::IsVisible, id); }
bool EngineCalls::isValid(std::int32_t id) const { return flag(&IQadGenericDTMObject::IsValid, id); }
bool EngineCalls::isWriteable(std::int32_t id) const {
    return flag(&IQadGenericDTMObject::IsWriteable, id);
}
bool EngineCalls::isChanged(std::int32_t id) const { return flag(&IQadGenericDTMObject::IsChanged, id); }
bool EngineCalls::isOutOfRange(std::int32_t id) const {
    return flag(&IQadGenericDTMObject::IsOutOfRange, id);
}

bool EngineCalls::isOnline() const {
    if (!engine_) return false;
    VARIANT_BOOL online = VARIANT_FALSE;
    return SUCCEEDED(engine_->IsOnline(&online)) && online != VARIANT_FALSE;
}

void EngineCalls::setValue(std::int32_t id, std::string_view text) const {
    if (!engine_) return;
    // The slot is [in,out]: whatever it holds afterwards is ours to free.
    BSTR slot = com::allocBstr(text);
    engine_->SetValue(idVariant(id), &slot);
    SysFreeString(slot);
}

void EngineCalls::setOutOfRange(std::int32_t id, bool outOfRange) const {
    if (engine_) engine_->SetOutOfRange(idVariant(id), outOfRange ? VARIANT_TRUE : VARIANT_FALSE);
}

std::string EngineCalls::translate(std::string_view key) const {
    if (!engine_) return std::string(key);
    com::Bstr out;
    const com::Bstr in = com::Bstr::fromUtf8(key);
    if (FAILED(engine_->GetTranslatedString(in.get(), out.out())) || out.isNull())
        return std::string(key);
    return out.utf8();
}

void EngineCalls::doAction(std::string_view script, IDispatch* observer) const {
    if (!engine_) return;
    BSTR slot = com::allocBstr(script);
    engine_->DoAction(&slot, observer);
    SysFreeString(slot);
}

void EngineCalls::clearActions(IDispatch* observer) const {
    if (engine_) engine_->ClearActions(observer);
}

void EngineCalls::registerObserver(std::int32_t id, IDispatch* observer) const {
    if (engine_) engine_->RegisterObserver(idVariant(id), observer);
}

void EngineCalls::unregisterObserver(std::int32_t id, IDispatch* observer) const {
    if (engine_) engine_->UnregisterObserver(idVariant(id), observer);
}

void EngineCalls::applicationOpened(std::string_view invokeId, std::string_view functionId) const {
    if (!engine_) return;
    engine_->OnApplicationOpened(com::Bstr::fromUtf8(invokeId).get(),
                                 com::Bstr::fromUtf8(functionId).get());
}

void EngineCalls::applicationClosed(std::string_view invokeId, std::string_view functionId) const {
    if (!engine_) return;
    engine_->OnApplicationClosed(com::Bstr::fromUtf8(invokeId).get(),
                                 com::Bstr::fromUtf8(functionId).get());
}

}  // namespace views
