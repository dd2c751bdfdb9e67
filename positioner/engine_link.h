#pragma once
// The positioner's view of the aggregated engine: its private interface by
// reference id and value text, with the DTM's own observer as the owner of
// registrations and queued actions. Every call is one private-interface call;
// its HRESULT is not an error the workflows could act on, so a failed call
// answers the "missing" value (empty text, false, 2 for a message box).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "idl/qad_generic_dtm.h"
#include "positioner/positioner_ids.h"

namespace positioner {

// Message box flags and results of the private interface's DTM_MsgBox.
inline constexpr std::int32_t kMessageOk = 0;
inline constexpr std::int32_t kMessageOkCancel = 1;
inline constexpr std::int32_t kResultOk = 1;

class EngineLink {
public:
    // The DTM's own observer; called when one is needed, may answer null.
    using ObserverSource = std::function<IObserver*()>;

    // engine is not counted: it must outlive this object.
    EngineLink(IQadGenericDTMObject* engine, ObserverSource observer);

    std::string get(ParameterId id) const;
    // The leading decimal integer of the value text (0 when it has none).
    std::int64_t getInteger(ParameterId id) const;
    // The leading number of the value text (0 when it has none).
    double getNumber(ParameterId id) const;
    void set(ParameterId id, std::string_view text);

    void setValid(ParameterId id, bool valid);
    void setVisible(ParameterId id, bool visible);
    bool isValid(ParameterId id) const;
    bool isVisible(ParameterId id) const;
    bool isChanged(ParameterId id) const;
    bool isOutOfRange(ParameterId id) const;

    // A user parameter of kind type ("String", "Double", "" for the default kind).
    void create(ParameterId id, std::string_view type);
    // Registers the DTM's own observer for changes of id.
    void observe(ParameterId id);
    // Runs an action script with the DTM's own observer as the owner.
    void run(std::string_view script);

    // "OFFLINE", "ONLINE" or "IDENTIFICATED".
    std::string commState() const;
    bool online() const { return commState() == "ONLINE"; }

    std::string translate(std::string_view key) const;
    // Shows text with message-box flags; the button chosen (2, cancel, when
    // nothing could be shown).
    std::int32_t messageBox(std::string_view text, std::int32_t flags);
    // Message K: the translation of key with OK only.
    void message(std::string_view key);
    // Confirm K: the translation of key with OK and Cancel; true only for OK.
    bool confirm(std::string_view key);

private:
    IDispatch* observerDispatch() const;

    IQadGenericDTMObject* engine_;
    ObserverSource observer_;
};

// Leading integer and number of a value text, as the workflows compare them.
std::int64_t leadingInteger(std::string_view text);
double leadingNumber(std::string_view text);

}  // namespace positioner
