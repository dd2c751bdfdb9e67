#pragma once
// Typed calls on the engine's private interface for the view module: ids in,
// UTF-8 texts and booleans out. Every call on a null engine answers the empty
// text or false, so an element outliving its view never calls through a
// dangling pointer.

#include <cstdint>
#include <string>
#include <string_view>

#include "idl/qad_generic_dtm.h"

namespace views {

class EngineCalls {
public:
    explicit EngineCalls(IQadGenericDTMObject* engine) : engine_(engine) {}

    std::string value(std::int32_t id) const;
    std::string name(std::int32_t id) const;
    std::string description(std::int32_t id) const;
    std::string range(std::int32_t id) const;
    std::string unit(std::int32_t id) const;
    std::string scaling(std::int32_t id) const;
    std::string size(std::int32_t id) const;
    bool isVisible(std::int32_t id) const;
    bool isValid(std::int32_t id) const;
    bool isWriteable(std::int32_t id) const;
    bool isChanged(std::int32_t id) const;
    bool isOutOfRange(std::int32_t id) const;
    bool isOnline() const;

    void setValue(std::int32_t id, std::string_view text) const;
    void setOutOfRange(std::int32_t id, bool outOfRange) const;
    // The translation of key, or key itself when the engine has none.
    std::string translate(std::string_view key) const;
    // A unit as shown: translated.
    std::string translatedUnit(std::int32_t id) const { return translate(unit(id)); }

    void doAction(std::string_view script, IDispatch* observer) const;
    void clearActions(IDispatch* observer) const;
    void registerObserver(std::int32_t id, IDispatch* observer) const;
    void unregisterObserver(std::int32_t id, IDispatch* observer) const;
    void applicationOpened(std::string_view invokeId, std::string_view functionId) const;
    void applicationClosed(std::string_view invokeId, std::string_view functionId) const;

private:
    using TextGetter = HRESULT (IQadGenericDTMObject::*)(VARIANT, BSTR*);
    using FlagGetter = HRESULT (IQadGenericDTMObject::*)(VARIANT, VARIANT_BOOL*);
    std::string text(TextGetter getter, std::int32_t id) const;
    bool flag(FlagGetter getter, std::int32_t id) const;

    IQadGenericDTMObject* engine_;
};

}  // namespace views
