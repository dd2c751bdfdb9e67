#include "positioner/engine_link.h"

#include <charconv>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/com/bstr.h"
#include "platform/com/variant.h"

namespace positioner {

namespace {

VARIANT reference(ParameterId id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

}  // namespace

std::int64_t leadingInteger(std::string_view text) {
    text = skipBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0;
}

double leadingNumber(std::string_view text) {
    const std::string copy(skipBlanks(text));
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    return end == copy.c_str() ? 0.0 : value;
}

EngineLink::EngineLink(IQadGenericDTMObject* engine, ObserverSource observer)
    : engine_(engine), observer_(std::move(observer)) {}

IDispatch* EngineLink::observerDispatch() const {
    return observer_ ? static_cast<IDispatch*>(observer_()) : nullptr;
}

std::string EngineLink::get(ParameterId id) const {
    com::Bstr value;
    if (FAILED(engine_->GetValue(reference(id), value.out()))) return {};
    return value.utf8();
}

std::int64_t EngineLink::getInteger(ParameterId id) const {
    return leadingInteger(get(id));
}

double EngineLink::getNumber(ParameterId id) const {
    return leadingNumber(get(id));
}

void EngineLink::set(ParameterId id, std::string_view text) {
    com::Bstr value = com::Bstr::fromUtf8(text);
    BSTR raw = value.get();
    engine_->SetValue(reference(id), &raw);
}

void EngineLink::setValid(ParameterId id, bool valid) {
    engine_->SetValid(reference(id), valid ? VARIANT_TRUE : VARIANT_FALSE);
}

void EngineLink::setVisible(ParameterId id, bool visible) {
    engine_->SetVisible(reference(id), visible ? VARIANT_TRUE : VARIANT_FALSE);
}

bool EngineLink::isValid(ParameterId id) const {
    VARIANT_BOOL flag = VARIANT_FALSE;
    return SUCCEEDED(engine_->IsValid(reference(id), &flag)) && flag != VARIANT_FALSE;
}

bool EngineLink::isVisible(ParameterId id) const {
    VARIANT_BOOL flag = VARIANT_FALSE;
    return SUCCEEDED(engine_->IsVisible(reference(id), &flag)) && flag != VARIANT_FALSE;
}

bool EngineLink::isChanged(ParameterId id) const {
    VARIANT_BOOL flag = VARIANT_FALSE;
    return SUCCEEDED(engine_->IsChanged(reference(id), &flag)) && flag != VARIANT_FALSE;
}

bool EngineLink::isOutOfRange(ParameterId id) const {
    VARIANT_BOOL flag = VARIANT_FALSE;
    return SUCCEEDED(engine_->IsOutOfRange(reference(id), &flag)) && flag != VARIANT_FALSE;
}

void EngineLink::create(ParameterId id, std::string_view type) {
    const com::Bstr kind = com::Bstr::fromUtf8(type);
    engine_->CreateUserParameter(reference(id), kind.get());
}

void EngineLink::observe(ParameterId id) {
    if (IDispatch* observer = observerDispatch())
        engine_->RegisterObserver(reference(id), observer);
}

void EngineLink::run(std::string_view script) {
    com::Bstr text = com::Bstr::fromUtf8(script);
    BSTR raw = text.get();
    engine_->DoAction(&raw, observerDispatch());
}

std::string EngineLink::commState() const {
    com::Bstr state;
    if (FAILED(engine_->GetCommState(state.out()))) return {};
    return state.utf8();
}

std::string EngineLink::translate(std::string_view key) const {
    const com::Bstr in = com::Bstr::fromUtf8(key);
    com::Bstr out;
    if (FAILED(engine_->GetTranslatedString(in.get(), out.out())) || out.isNull())
        return std::string(key);
    return out.utf8();
}

std::int32_t EngineLink::messageBox(std::string_view text, std::int32_t flags) {
    const com::Bstr message = com::Bstr::fromUtf8(text);
    LONG result = 2;
    if (FAILED(engine_->DTM_MsgBox(message.get(), flags, &result))) return 2;
    return result;
}

void EngineLink::message(std::string_view key) {
    messageBox(translate(key), kMessageOk);
}

bool EngineLink::confirm(std::string_view key) {
    return messageBox(translate(key), kMessageOkCancel) == kResultOk;
}

}  // namespace positioner
