#pragma once
// The frame's observer of the actions it hands to a DTM's private interface:
// each Finished call is one "action-finished" event of the log.

#include <span>

#include "frame/event_log.h"
#include "idl/qad_generic_dtm.h"
#include "platform/com/object.h"
#include "platform/com/no_late_binding.h"

namespace frame {

class ActionObserver : public com::ComObjectRoot, public com::NoLateBinding<IObserver> {
public:
    // The log is not owned and must outlive the observer's use by a DTM.
    explicit ActionObserver(EventLog& events);

    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<ActionObserver, IObserver>(),
            com::entryAs<ActionObserver, IObserver>(IDispatch::iid),
        };
        return table;
    }


    // The frame registers for no parameter: E_NOTIMPL.
    HRESULT Changed(VARIANT para_id) override;
    // Records the action's identification as text.
    HRESULT Finished(VARIANT para_id) override;
    // An identity no other live observer of this process has.
    HRESULT GetOwnerID(LONG* owner_id) override;

    std::size_t finishedCount() const { return finished_; }

private:
    EventLog* events_;
    LONG ownerId_;
    std::size_t finished_ = 0;
};

}  // namespace frame
