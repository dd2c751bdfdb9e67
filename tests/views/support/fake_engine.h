#pragma once
// A stand-in for the engine behind a view: parameters as a table of texts,
// observers per id, every DoAction, SetValue and application call recorded.
// change() sets a value and calls Changed on the id's observers, like the
// engine after a reply. It also answers IDtm, so a view's Init accepts it.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "idl/fdt_dtm.h"
#include "idl/qad_generic_dtm.h"
#include "platform/com/comptr.h"
#include "platform/com/no_late_binding.h"
#include "platform/com/object.h"

namespace views_test {

struct FakeParameter {
    std::string value{};
    std::string name{};
    std::string description{};
    std::string range{};
    std::string unit{};
    std::string scaling = "1";
    std::string size = "0";
    bool visible = true;
    bool valid = true;
    bool writeable = true;
    bool changed = false;
    bool outOfRange = false;
};

class FakeEngine : public com::ComObjectRoot, public com::NoLateBinding<IQadGenericDTMObject, IDtm> {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<FakeEngine, IQadGenericDTMObject>(),
            com::entry<FakeEngine, IDtm>(),
            com::entryAs<FakeEngine, IDtm>(IDispatch::iid),
        };
        return table;
    }
    static com::ComPtr<IQadGenericDTMObject> make(FakeEngine** raw);

    std::map<std::int32_t, FakeParameter> parameters;
    std::map<std::string, std::string> translations;
    bool online = false;
    std::vector<std::string> actions;       // DoAction scripts in order
    std::vector<std::string> writes;        // "ID=TEXT" of SetValue
    std::vector<std::string> applicationCalls;  // "opened ID FUNCTION" / "closed ID FUNCTION"
    int clearActionsCalls = 0;

    FakeParameter& operator[](std::int32_t id) { return parameters[id]; }
    // Sets the value and notifies the id's observers.
    void change(std::int32_t id, const std::string& value);
    // Notifies the id's observers without a change of value.
    void notify(std::int32_t id);
    std::size_t observerCount() const;
    std::size_t observerCount(std::int32_t id) const;

    // IQadGenericDTMObject
    HRESULT GetValue(VARIANT id, BSTR* val) override;
    HRESULT SetValue(VARIANT id, BSTR* val) override;
    HRESULT RegisterObserver(VARIANT id, IDispatch* observer) override;
    HRESULT UnregisterObserver(VARIANT id, IDispatch* observer) override;
    HRESULT GetDescription(VARIANT id, BSTR* val) override;
    HRESULT GetRange(VARIANT id, BSTR* val) override;
    HRESULT GetName(VARIANT id, BSTR* val) override;
    HRESULT GetUnit(VARIANT id, BSTR* val) override;
    HRESULT IsChanged(VARIANT id, VARIANT_BOOL* out) override;
    HRESULT GetScaling(VARIANT id, BSTR* val) override;
    HRESULT DoAction(BSTR* action, IDispatch* observer) override;
    HRESULT GetSize(VARIANT id, BSTR* val) override;
    HRESULT IsValid(VARIANT id, VARIANT_BOOL* out) override;
    HRESULT GetCommState(BSTR*) override { return E_NOTIMPL; }
    HRESULT ClearActions(IDispatch*) override;
    HRESULT GetLowerLimit(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT GetUpperLimit(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT GetOffset(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT GetDamping(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT GetPointerValue(VARIANT, VARIANT*, BSTR*) override { return E_NOTIMPL; }
    HRESULT SetPointerValue(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT LookupParameter(VARIANT, BSTR*, VARIANT*) override { return E_NOTIMPL; }
    HRESULT SetDeviceDescription(BSTR, BSTR, BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT SetValid(VARIANT, VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT OnApplicationClosed(BSTR invokeID, BSTR functionID) override;
    HRESULT OnFunctionChanged() override { return E_NOTIMPL; }
    HRESULT OnApplicationOpened(BSTR invokeID, BSTR functionID) override;
    HRESULT SetRange(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT GetTranslatedString(BSTR inStr, BSTR* outStr) override;
    HRESULT IsWriteable(VARIANT id, VARIANT_BOOL* out) override;
    HRESULT CreateUserParameter(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT GetBlock_Name(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT IsOutOfRange(VARIANT id, VARIANT_BOOL* out) override;
    HRESULT SetOutOfRange(VARIANT id, VARIANT_BOOL outOfRange) override;
    HRESULT execute_Action(BSTR*, BSTR*) override { return E_NOTIMPL; }
    HRESULT IsVisible(VARIANT id, VARIANT_BOOL* out) override;
    HRESULT SetVisible(VARIANT, VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT IsOnline(VARIANT_BOOL* out) override;
    HRESULT DTM_MsgBox(BSTR, LONG, LONG*) override { return E_NOTIMPL; }

    // IDtm: not used by views.
    HRESULT Environment(BSTR, IFdtContainer*, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT InitNew(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT Config(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT SetCommunication(IFdtCommunication*, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT PrepareToRelease(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT PrepareToReleaseCommunication(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT ReleaseCommunication(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT PrepareToDelete(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT SetLanguage(LONG, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT GetFunctions(BSTR, BSTR*) override { return E_NOTIMPL; }
    HRESULT InvokeFunctionRequest(BSTR, BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT PrivateDialogEnabled(VARIANT_BOOL, VARIANT_BOOL*) override { return E_NOTIMPL; }

    // Calls Finished on the observer of the last DoAction that had one.
    void finishLastAction();

private:
    HRESULT text(VARIANT id, BSTR* out, std::string FakeParameter::*field);
    HRESULT flag(VARIANT id, VARIANT_BOOL* out, bool FakeParameter::*field);

    std::map<std::int32_t, std::vector<com::ComPtr<IObserver>>> observers_;
    com::ComPtr<IObserver> lastActionObserver_;
};

// The function-call document for a function id.
std::string functionCall(std::int32_t functionId);

}  // namespace views_test
