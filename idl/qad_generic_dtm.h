#pragma once
// The engine's type library QadGENERICDTMLib: the private interfaces between
// the engine, the device-specific DTM and the views, and the engine's class.
//
// Conventions of all three interfaces (dual, dispatch ids from 1 in
// declaration order):
// - Parameter identifiers (para_id, source_id, target_id, paraID) are VARIANTs
//   passed by value; the caller keeps what they hold. The engine reads their
//   32-bit integer field without looking at the type, so callers pass VT_I4.
// - "[in,out]" pointers are outputs in this system's use. On entry a BSTR*
//   holds null or a BSTR that the caller owns; a callee that answers frees it
//   and writes a new BSTR, which the caller then owns and frees. A callee that
//   answers nothing leaves it as it was.
// - Booleans of the private interface are 0 or 1, or the 16-bit value last
//   set; callers treat every non-zero value as TRUE.
// - A null out pointer gives E_POINTER and changes nothing.
// - No exception crosses these methods.

#include <string>
#include <string_view>

#include "idl/type_library.h"
#include "platform/com/interfaces.h"

// Implemented by whoever wants to hear of parameter changes and of the end of
// actions it queued (the views, the device-specific DTM). The engine ignores
// the results of all three methods.
struct IObserver : IDispatch {
    static constexpr IID iid = com::makeGuid("A3E37F77-B840-4AC2-B9B1-D00726FD8C76");

    // The parameter para_id (VT_I4 reference id) changed its value or its
    // changed state, or a parameter linked to it did.
    virtual HRESULT Changed(VARIANT para_id) = 0;
    // An action that this observer queued has completed; para_id identifies
    // the action.
    virtual HRESULT Finished(VARIANT para_id) = 0;
    // Writes this observer's identity: a 32-bit number that no other live
    // observer answers. The engine matches registrations and queued actions
    // by it, never by interface pointer.
    virtual HRESULT GetOwnerID(LONG* owner_id) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "Changed", {idl::in("para_id", VT_VARIANT)}),
        idl::method(2, "Finished", {idl::in("para_id", VT_VARIANT)}),
        idl::method(3, "GetOwnerID", {idl::inOut("owner_id", idl::byRef(VT_I4))}),
    };

protected:
    ~IObserver() = default;
};

// Implemented by the device-specific DTM that aggregates the engine; the
// engine finds it by querying its controlling outer object.
struct IOuterDTM : IDispatch {
    static constexpr IID iid = com::makeGuid("54102C93-BE97-4EB3-BE49-9FD38F95D349");

    // The engine's environment and parameter model are set up; the outer DTM
    // may create user parameters and set values now.
    virtual HRESULT OnInitialized() = 0;
    // Around one HART command transfer. preEvent TRUE: before the command is
    // sent; writing a non-zero *cancel skips it (*cancel is FALSE on entry).
    // preEvent FALSE: after it completed, *cancel is not read. paraID (VT_I4)
    // holds the command number in bits 24 to 31, -1 after a whole upload or
    // download list; download tells the direction.
    virtual HRESULT OnUpDownload(VARIANT_BOOL preEvent, VARIANT paraID, VARIANT_BOOL download,
                                 VARIANT_BOOL* cancel) = 0;
    // The engine is being prepared for release and drops its pointer next.
    virtual HRESULT OnReleased() = 0;
    // Replaces *ids (freeing what it held) with the action script text that
    // transfers the whole device in the given direction; the caller owns it.
    virtual HRESULT GetUpDownloadList(VARIANT_BOOL download, BSTR* ids) = 0;
    // Asks whether the guarded action may run; *access holds the engine's own
    // decision on entry, and FALSE on return refuses the action.
    virtual HRESULT tryAction(BSTR action, BSTR invokeID, VARIANT_BOOL* access) = 0;
    // The channel's connection state changed.
    virtual HRESULT OnOnlineStateChanged() = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "OnInitialized"),
        idl::method(2, "OnUpDownload",
                    {idl::in("preEvent", VT_BOOL), idl::in("paraID", VT_VARIANT),
                     idl::in("download", VT_BOOL), idl::inOut("cancel", idl::byRef(VT_BOOL))}),
        idl::method(3, "OnReleased"),
        idl::method(4, "GetUpDownloadList",
                    {idl::in("download", VT_BOOL), idl::inOut("ids", idl::byRef(VT_BSTR))}),
        idl::method(5, "tryAction",
                    {idl::in("action", VT_BSTR), idl::in("invokeID", VT_BSTR),
                     idl::inOut("access", idl::byRef(VT_BOOL))}),
        idl::method(6, "OnOnlineStateChanged"),
    };

protected:
    ~IOuterDTM() = default;
};

// The engine's private interface, used by the views and the outer DTM. Every
// method answers S_OK also for an unknown parameter id (with the documented
// "missing" output); texts are the parameter's text forms.
struct IQadGenericDTMObject : IDispatch {
    static constexpr IID iid = com::makeGuid("9044BE0A-2A92-4965-9F58-4F0BC1E3D05F");

    // *val := the value text.
    virtual HRESULT GetValue(VARIANT para_id, BSTR* val) = 0;
    // Sets the value from the text *val; *val is read, not replaced.
    virtual HRESULT SetValue(VARIANT para_id, BSTR* val) = 0;
    // Registers observer (queried for IObserver, identified by its owner id)
    // for changes of the parameter; the engine holds a reference until the
    // matching unregistration or the model's end. A second registration with
    // the same owner id is ignored.
    virtual HRESULT RegisterObserver(VARIANT para_id, IDispatch* observer) = 0;
    // Removes the registration with observer's owner id and releases it.
    virtual HRESULT UnregisterObserver(VARIANT para_id, IDispatch* observer) = 0;
    virtual HRESULT GetDescription(VARIANT para_id, BSTR* val) = 0;
    virtual HRESULT GetRange(VARIANT para_id, BSTR* val) = 0;
    // *val := the label text.
    virtual HRESULT GetName(VARIANT para_id, BSTR* val) = 0;
    virtual HRESULT GetUnit(VARIANT para_id, BSTR* val) = 0;
    // The parameter or one of its components is changed.
    virtual HRESULT IsChanged(VARIANT para_id, VARIANT_BOOL* Changed) = 0;
    virtual HRESULT GetScaling(VARIANT para_id, BSTR* val) = 0;
    // Runs the action script *action; queued commands belong to observer
    // (may be null), which hears Finished when each queued element ends.
    // Returns before anything queued has been sent.
    virtual HRESULT DoAction(BSTR* action, IDispatch* observer) = 0;
    virtual HRESULT GetSize(VARIANT para_id, BSTR* val) = 0;
    virtual HRESULT IsValid(VARIANT para_id, VARIANT_BOOL* valid) = 0;
    // *state := "OFFLINE", "ONLINE" or "IDENTIFICATED".
    virtual HRESULT GetCommState(BSTR* state) = 0;
    // Drops every queued action owned by observer's owner id.
    virtual HRESULT ClearActions(IDispatch* observer) = 0;
    virtual HRESULT GetLowerLimit(VARIANT para_id, BSTR* val) = 0;
    virtual HRESULT GetUpperLimit(VARIANT para_id, BSTR* val) = 0;
    virtual HRESULT GetOffset(VARIANT para_id, BSTR* val) = 0;
    virtual HRESULT GetDamping(VARIANT para_id, BSTR* val) = 0;
    // The text selected by *pValType ("value", "size", "description", "name")
    // goes into val->bstrVal; the caller passes a VT_BSTR VARIANT it owns.
    virtual HRESULT GetPointerValue(VARIANT para_id, VARIANT* val, BSTR* pValType) = 0;
    // Sets the value (searched also inside components) from the text *val.
    virtual HRESULT SetPointerValue(VARIANT para_id, BSTR* val) = 0;
    // The parameter that source_id stands for as kind *type goes into
    // target_id->lVal; the caller passes a VT_I4 VARIANT.
    virtual HRESULT LookupParameter(VARIANT source_id, BSTR* type, VARIANT* target_id) = 0;
    // Binds the four description files (paths); a failure answers E_POINTER.
    // Once Environment has built the model on them the call is refused with
    // E_UNEXPECTED and the bound files stay.
    virtual HRESULT SetDeviceDescription(BSTR zorFile, BSTR descFile, BSTR iconFile,
                                         BSTR languageFile) = 0;
    virtual HRESULT SetValid(VARIANT para_id, VARIANT_BOOL valid) = 0;
    // The view opened under invokeID for function functionID (decimal text)
    // closed; its open-application entry (the one of invokeID) is removed.
    virtual HRESULT OnApplicationClosed(BSTR invokeID, BSTR functionID) = 0;
    virtual HRESULT OnFunctionChanged() = 0;
    virtual HRESULT OnApplicationOpened(BSTR invokeID, BSTR functionID) = 0;
    virtual HRESULT SetRange(VARIANT para_id, BSTR val) = 0;
    // *outStrr := the translation of inStr, or inStr itself without one.
    virtual HRESULT GetTranslatedString(BSTR inStr, BSTR* outStrr) = 0;
    virtual HRESULT IsWriteable(VARIANT para_id, VARIANT_BOOL* writeable) = 0;
    // Creates a run-time parameter of kind type ("String", "Double", anything
    // else unsigned integer) under para_id, replacing one with that id.
    virtual HRESULT CreateUserParameter(VARIANT para_id, BSTR type) = 0;
    virtual HRESULT GetBlock_Name(VARIANT para_id, BSTR* val) = 0;
    // For para_id 0: whether any parameter is out of range.
    virtual HRESULT IsOutOfRange(VARIANT para_id, VARIANT_BOOL* OutOfRange) = 0;
    virtual HRESULT SetOutOfRange(VARIANT para_id, VARIANT_BOOL OutOfRange) = 0;
    // Runs a frame-transfer action text under the frame's invoke id.
    virtual HRESULT execute_Action(BSTR* action, BSTR* invokeID) = 0;
    virtual HRESULT IsVisible(VARIANT para_id, VARIANT_BOOL* visible) = 0;
    virtual HRESULT SetVisible(VARIANT para_id, VARIANT_BOOL visible) = 0;
    // *visible := 1 while the channel is connected, else 0.
    virtual HRESULT IsOnline(VARIANT_BOOL* visible) = 0;
    // Shows msg with message-box flags (icon and buttons) through the frame and
    // writes the chosen button's result number (2, cancel, when nothing could
    // be shown).
    virtual HRESULT DTM_MsgBox(BSTR msg, LONG flags, LONG* result) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "GetValue",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(2, "SetValue",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(3, "RegisterObserver",
                    {idl::in("para_id", VT_VARIANT), idl::in("observer", VT_DISPATCH)}),
        idl::method(4, "UnregisterObserver",
                    {idl::in("para_id", VT_VARIANT), idl::in("observer", VT_DISPATCH)}),
        idl::method(
            5, "GetDescription",
            {idl::undirected("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(
            6, "GetRange",
            {idl::undirected("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(
            7, "GetName",
            {idl::undirected("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(
            8, "GetUnit",
            {idl::undirected("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(9, "IsChanged",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("Changed", idl::byRef(VT_BOOL))}),
        idl::method(10, "GetScaling",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(11, "DoAction",
                    {idl::in("action", idl::byRef(VT_BSTR)), idl::in("observer", VT_DISPATCH)}),
        idl::method(12, "GetSize",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(13, "IsValid",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("valid", idl::byRef(VT_BOOL))}),
        idl::method(14, "GetCommState", {idl::inOut("state", idl::byRef(VT_BSTR))}),
        idl::method(15, "ClearActions", {idl::in("observer", VT_DISPATCH)}),
        idl::method(16, "GetLowerLimit",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(17, "GetUpperLimit",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(18, "GetOffset",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(19, "GetDamping",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(20, "GetPointerValue",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_VARIANT)),
                     idl::in("pValType", idl::byRef(VT_BSTR))}),
        idl::method(21, "SetPointerValue",
                    {idl::in("para_id", VT_VARIANT), idl::in("val", idl::byRef(VT_BSTR))}),
        idl::method(22, "LookupParameter",
                    {idl::in("source_id", VT_VARIANT), idl::in("type", idl::byRef(VT_BSTR)),
                     idl::inOut("target_id", idl::byRef(VT_VARIANT))}),
        idl::method(23, "SetDeviceDescription",
                    {idl::in("zorFile", VT_BSTR), idl::in("descFile", VT_BSTR),
                     idl::in("iconFile", VT_BSTR), idl::in("languageFile", VT_BSTR)}),
        idl::method(24, "SetValid", {idl::in("para_id", VT_VARIANT), idl::in("valid", VT_BOOL)}),
        idl::method(25, "OnApplicationClosed",
                    {idl::in("invokeID", VT_BSTR), idl::in("functionID", VT_BSTR)}),
        idl::method(26, "OnFunctionChanged"),
        idl::method(27, "OnApplicationOpened",
                    {idl::in("invokeID", VT_BSTR), idl::in("functionID", VT_BSTR)}),
        idl::method(28, "SetRange", {idl::in("para_id", VT_VARIANT), idl::in("val", VT_BSTR)}),
        idl::method(29, "GetTranslatedString",
                    {idl::in("inStr", VT_BSTR), idl::inOut("outStrr", idl::byRef(VT_BSTR))}),
        idl::method(30, "IsWriteable",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("writeable", idl::byRef(VT_BOOL))}),
        idl::method(31, "CreateUserParameter",
                    {idl::in("para_id", VT_VARIANT), idl::in("type", VT_BSTR)}),
        idl::method(
            32, "GetBlock_Name",
            {idl::undirected("para_id", VT_VARIANT), idl::inOut("val", idl::byRef(VT_BSTR))}),
        idl::method(
            33, "IsOutOfRange",
            {idl::in("para_id", VT_VARIANT), idl::inOut("OutOfRange", idl::byRef(VT_BOOL))}),
        idl::method(34, "SetOutOfRange",
                    {idl::in("para_id", VT_VARIANT), idl::in("OutOfRange", VT_BOOL)}),
        idl::method(
            35, "execute_Action",
            {idl::in("action", idl::byRef(VT_BSTR)), idl::in("invokeID", idl::byRef(VT_BSTR))}),
        idl::method(36, "IsVisible",
                    {idl::in("para_id", VT_VARIANT), idl::inOut("visible", idl::byRef(VT_BOOL))}),
        idl::method(37, "SetVisible",
                    {idl::in("para_id", VT_VARIANT), idl::in("visible", VT_BOOL)}),
        idl::method(38, "IsOnline", {idl::inOut("visible", idl::byRef(VT_BOOL))}),
        idl::method(39, "DTM_MsgBox",
                    {idl::in("msg", VT_BSTR), idl::in("flags", VT_I4),
                     idl::inOut("result", idl::byRef(VT_I4))}),
    };

protected:
    ~IQadGenericDTMObject() = default;
};

namespace idl::qad_generic_dtm {

inline constexpr TypeLibraryInfo kTypeLibrary{"QadGENERICDTMLib",
                                              com::makeGuid("0AC41F17-C8C6-4E7B-AC19-CBB1B12B6E12"),
                                              7,
                                              0,
                                              "QadGenericDTM 7.0 Typbibliothek",
                                              0x0409};

inline constexpr CoclassInfo kQadGenericDTMObject{
    "QadGenericDTMObject",
    com::makeGuid("8D96A00D-3623-451C-A11D-4B12BCD11232"),
    "QadGenericDTM.QadGenericDTMObject.7",
    "QadGenericDTM.QadGenericDTMObject",
    "QadGenericDTMObject Class",
    "Apartment",
    true};

// Interfaces in the library's order (the coclass stands between IOuterDTM and
// IQadGenericDTMObject); IQadGenericDTMObject is the coclass's default one.
inline constexpr InterfaceInfo kInterfaces[] = {
    {"IObserver", IObserver::iid, dispatchTable<IObserver>(), ""},
    {"IOuterDTM", IOuterDTM::iid, dispatchTable<IOuterDTM>(), ""},
    {"IQadGenericDTMObject", IQadGenericDTMObject::iid, dispatchTable<IQadGenericDTMObject>(),
     "IQadGenericDTMObject-Schnittstelle"},
};

// Every method's help string is this prefix followed by the method name.
inline constexpr std::string_view kMethodHelpPrefix = "Methode ";

inline std::string methodHelpString(const Method& method) {
    return std::string(kMethodHelpPrefix).append(method.name);
}

}  // namespace idl::qad_generic_dtm

inline constexpr CLSID CLSID_QadGenericDTMObject = idl::qad_generic_dtm::kQadGenericDTMObject.clsid;
inline constexpr GUID LIBID_QadGENERICDTMLib = idl::qad_generic_dtm::kTypeLibrary.libid;
