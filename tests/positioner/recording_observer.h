#pragma once
// An observer that a test registers with the DTM's engine: it records, for
// each change it hears of, the parameter's value and validity at that moment.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "idl/qad_generic_dtm.h"
#include "platform/com/bstr.h"
#include "platform/com/no_late_binding.h"
#include "platform/com/object.h"

namespace positioner_test {

class RecordingObserver : public com::ComObjectRoot, public com::NoLateBinding<IObserver> {
public:
    struct Seen {
        std::int32_t id;
        std::string value;
        bool valid;
    };

    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<RecordingObserver, IObserver>(),
            com::entryAs<RecordingObserver, IObserver>(IDispatch::iid),
        };
        return table;
    }

    // The engine is not counted: the test keeps it alive while the observer is registered.
    void watch(IQadGenericDTMObject* engine) { engine_ = engine; }


    HRESULT Changed(VARIANT para_id) override {
        if (!engine_) return S_OK;
        com::Bstr value;
        engine_->GetValue(para_id, value.out());
        VARIANT_BOOL flag = VARIANT_FALSE;
        engine_->IsValid(para_id, &flag);
        seen.push_back({para_id.lVal, value.utf8(), flag != VARIANT_FALSE});
        return S_OK;
    }
    HRESULT Finished(VARIANT) override { return S_OK; }
    HRESULT GetOwnerID(LONG* owner_id) override {
        *owner_id = 4711;
        return S_OK;
    }

    // The values that parameter id showed, in order, without repeats.
    std::vector<std::string> valuesOf(std::int32_t id) const {
        std::vector<std::string> values;
        for (const Seen& s : seen) {
            if (s.id == id && (values.empty() || values.back() != s.value))
                values.push_back(s.value);
        }
        return values;
    }

    std::vector<Seen> seen;

private:
    IQadGenericDTMObject* engine_ = nullptr;
};

}  // namespace positioner_test
