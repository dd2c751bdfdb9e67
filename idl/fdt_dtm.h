#pragma once
// The FDT interfaces that a DTM and its view control implement and the frame
// calls. All are dual (IDispatch, dispatch ids from 1 in declaration order).
//
// Conventions of every operation here:
// - Inputs stay the caller's. An "out" BSTR* or VARIANT_BOOL* receives the
//   outcome; the callee overwrites the slot without freeing what it held, and
//   the caller owns a BSTR written there (null means "no answer").
// - Outcomes travel in the out argument (TRUE written as VARIANT_TRUE); the
//   HRESULT is S_OK, also for a refusal (FALSE) and for a call outside the
//   object's lifecycle state (FALSE or a null text).
// - A null out pointer gives E_POINTER and changes nothing.
// - No exception crosses these methods.

#include "idl/type_library.h"
#include "platform/com/interfaces.h"

struct IFdtContainer;
struct IFdtCommunication;

// Lifecycle of a DTM object, driven by the frame.
struct IDtm : IDispatch {
    static constexpr IID iid = com::makeGuid("036D1481-387B-11D4-86E1-00E0987270B9");

    // Binds the DTM to the frame: its system tag and its container, from which
    // the DTM queries the frame's further interfaces (references are kept until
    // release).
    virtual HRESULT Environment(BSTR systemTag, IFdtContainer* container, VARIANT_BOOL* result) = 0;
    virtual HRESULT InitNew(BSTR deviceType, VARIANT_BOOL* result) = 0;
    // userInformation: the frame's user information document.
    virtual HRESULT Config(BSTR userInformation, VARIANT_BOOL* result) = 0;
    // The frame's HART channel; the DTM keeps a reference until
    // ReleaseCommunication succeeds. Null is refused (FALSE).
    virtual HRESULT SetCommunication(IFdtCommunication* communication, VARIANT_BOOL* result) = 0;
    virtual HRESULT PrepareToRelease(VARIANT_BOOL* result) = 0;
    // Whether the connection can be released now (a disconnect may follow).
    virtual HRESULT PrepareToReleaseCommunication(VARIANT_BOOL* result) = 0;
    virtual HRESULT ReleaseCommunication(VARIANT_BOOL* result) = 0;
    virtual HRESULT PrepareToDelete(VARIANT_BOOL* result) = 0;
    // languageId: a Windows language id; its low 8 bits select the language.
    virtual HRESULT SetLanguage(LONG languageId, VARIANT_BOOL* result) = 0;
    // *result := the functions document for the operation phase.
    virtual HRESULT GetFunctions(BSTR operationPhase, BSTR* result) = 0;
    virtual HRESULT InvokeFunctionRequest(BSTR invokeId, BSTR functionCall,
                                          VARIANT_BOOL* result) = 0;
    virtual HRESULT PrivateDialogEnabled(VARIANT_BOOL enabled, VARIANT_BOOL* result) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "Environment",
                    {idl::in("systemTag", VT_BSTR), idl::in("container", VT_UNKNOWN),
                     idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(2, "InitNew",
                    {idl::in("deviceType", VT_BSTR), idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(3, "Config",
                    {idl::in("userInformation", VT_BSTR), idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(
            4, "SetCommunication",
            {idl::in("communication", VT_UNKNOWN), idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(5, "PrepareToRelease", {idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(6, "PrepareToReleaseCommunication", {idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(7, "ReleaseCommunication", {idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(8, "PrepareToDelete", {idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(9, "SetLanguage",
                    {idl::in("languageId", VT_I4), idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(10, "GetFunctions",
                    {idl::in("operationPhase", VT_BSTR), idl::out("result", idl::byRef(VT_BSTR))}),
        idl::method(11, "InvokeFunctionRequest",
                    {idl::in("invokeId", VT_BSTR), idl::in("functionCall", VT_BSTR),
                     idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(12, "PrivateDialogEnabled",
                    {idl::in("enabled", VT_BOOL), idl::out("result", idl::byRef(VT_BOOL))}),
    };

protected:
    ~IDtm() = default;
};

// What the DTM is: the DTM information document.
struct IDtmInformation : IDispatch {
    static constexpr IID iid = com::makeGuid("036D147F-387B-11D4-86E1-00E0987270B9");

    virtual HRESULT GetInformation(BSTR* result) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "GetInformation", {idl::out("result", idl::byRef(VT_BSTR))}),
    };

protected:
    ~IDtmInformation() = default;
};

// How a frame recognises a device that the DTM serves: the device
// identification document. The DTM does not read the two inputs.
struct IDtmDeviceIdentification : IDispatch {
    static constexpr IID iid = com::makeGuid("C2934CC6-B72D-4611-890F-1C6531D1F8EB");

    virtual HRESULT GetDeviceIdentificationInformation(BSTR protocolId, BSTR request,
                                                       BSTR* result) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "GetDeviceIdentificationInformation",
                    {idl::in("protocolId", VT_BSTR), idl::in("request", VT_BSTR),
                     idl::out("result", idl::byRef(VT_BSTR))}),
    };

protected:
    ~IDtmDeviceIdentification() = default;
};

// Which ActiveX control shows a function of the DTM.
struct IDtmActiveXInformation : IDispatch {
    static constexpr IID iid = com::makeGuid("036D1480-387B-11D4-86E1-00E0987270B9");

    // *result := the control's CLSID in registry form without braces.
    virtual HRESULT GetActiveXGuid(BSTR functionCall, BSTR* result) = 0;
    // *result := the control's ProgID.
    virtual HRESULT GetActiveXProgId(BSTR functionCall, BSTR* result) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "GetActiveXGuid",
                    {idl::in("functionCall", VT_BSTR), idl::out("result", idl::byRef(VT_BSTR))}),
        idl::method(2, "GetActiveXProgId",
                    {idl::in("functionCall", VT_BSTR), idl::out("result", idl::byRef(VT_BSTR))}),
    };

protected:
    ~IDtmActiveXInformation() = default;
};

// Notifications of the frame to the DTM.
struct IDtmNotification : IDispatch {
    static constexpr IID iid = com::makeGuid("036D1478-387B-11D4-86E1-00E0987270B9");

    // A notification without a defined effect on the DTM.
    virtual HRESULT OnFrameNotification(BSTR notification) = 0;
    // The data set changed outside this DTM; dataSetText is applied to the
    // DTM's data set. changeKind is not interpreted.
    virtual HRESULT OnDataSetChanged(LONG changeKind, BSTR dataSetText) = 0;
    // A notification about a linked object without a defined effect.
    virtual HRESULT OnLinkNotification(BSTR systemTag, BSTR notification) = 0;
    // A request the DTM accepts (TRUE).
    virtual HRESULT QueryAccept(BSTR systemTag, BSTR request, VARIANT_BOOL* result) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "OnFrameNotification", {idl::in("notification", VT_BSTR)}),
        idl::method(2, "OnDataSetChanged",
                    {idl::in("changeKind", VT_I4), idl::in("dataSetText", VT_BSTR)}),
        idl::method(3, "OnLinkNotification",
                    {idl::in("systemTag", VT_BSTR), idl::in("notification", VT_BSTR)}),
        idl::method(4, "QueryAccept",
                    {idl::in("systemTag", VT_BSTR), idl::in("request", VT_BSTR),
                     idl::out("result", idl::byRef(VT_BOOL))}),
    };

protected:
    ~IDtmNotification() = default;
};

// The DTM's parameter data set as an FDT parameter document.
struct IDtmParameter : IDispatch {
    static constexpr IID iid = com::makeGuid("036D147D-387B-11D4-86E1-00E0987270B9");

    virtual HRESULT GetParameters(BSTR parameterPath, BSTR* result) = 0;
    // parameters: the document to apply.
    virtual HRESULT SetParameters(BSTR parameterPath, BSTR parameters, VARIANT_BOOL* result) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "GetParameters",
                    {idl::in("parameterPath", VT_BSTR), idl::out("result", idl::byRef(VT_BSTR))}),
        idl::method(2, "SetParameters",
                    {idl::in("parameterPath", VT_BSTR), idl::in("parameters", VT_BSTR),
                     idl::out("result", idl::byRef(VT_BOOL))}),
    };

protected:
    ~IDtmParameter() = default;
};

// Answers of the frame's HART channel to the DTM's requests (see
// IFdtCommunication). They arrive on the apartment thread, later or from
// inside the request call itself.
struct IFdtCommunicationEvents : IDispatch {
    static constexpr IID iid = com::makeGuid("036D1485-387B-11D4-86E1-00E0987270B9");

    // The frame aborted the connection.
    virtual HRESULT OnAbort(BSTR communicationReference) = 0;
    // response: the ConnectResponse document (or a communication error).
    virtual HRESULT OnConnectResponse(BSTR invokeId, BSTR response) = 0;
    virtual HRESULT OnDisconnectResponse(BSTR invokeId, BSTR response) = 0;
    // response: the DataExchangeResponse document (or a communication error).
    virtual HRESULT OnTransactionResponse(BSTR invokeId, BSTR response) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "OnAbort", {idl::in("communicationReference", VT_BSTR)}),
        idl::method(2, "OnConnectResponse",
                    {idl::in("invokeId", VT_BSTR), idl::in("response", VT_BSTR)}),
        idl::method(3, "OnDisconnectResponse",
                    {idl::in("invokeId", VT_BSTR), idl::in("response", VT_BSTR)}),
        idl::method(4, "OnTransactionResponse",
                    {idl::in("invokeId", VT_BSTR), idl::in("response", VT_BSTR)}),
    };

protected:
    ~IFdtCommunicationEvents() = default;
};

// Upload and download of the device's data, requested by the frame. TRUE means
// the transfer started; its end is told through the frame's event sink under
// the same invoke id.
struct IDtmOnlineParameter : IDispatch {
    static constexpr IID iid = com::makeGuid("036D1483-387B-11D4-86E1-00E0987270B9");

    // Cancelling a running transfer is not offered (FALSE).
    virtual HRESULT CancelAction(BSTR invokeId, VARIANT_BOOL* result) = 0;
    virtual HRESULT DownloadRequest(BSTR invokeId, BSTR parameterPath, VARIANT_BOOL* result) = 0;
    virtual HRESULT UploadRequest(BSTR invokeId, BSTR parameterPath, VARIANT_BOOL* result) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "CancelAction",
                    {idl::in("invokeId", VT_BSTR), idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(2, "DownloadRequest",
                    {idl::in("invokeId", VT_BSTR), idl::in("parameterPath", VT_BSTR),
                     idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(3, "UploadRequest",
                    {idl::in("invokeId", VT_BSTR), idl::in("parameterPath", VT_BSTR),
                     idl::out("result", idl::byRef(VT_BOOL))}),
    };

protected:
    ~IDtmOnlineParameter() = default;
};

// The view control that the frame opens for one function of a DTM.
struct IDtmActiveXControl : IDispatch {
    static constexpr IID iid = com::makeGuid("036D1486-387B-11D4-86E1-00E0987270B9");

    // functionCall: the function-call document naming the function; dtm: the
    // DTM object (the control queries it and keeps what it needs). TRUE when
    // the view was built.
    virtual HRESULT Init(BSTR invokeId, BSTR functionCall, IDtm* dtm, VARIANT_BOOL* result) = 0;
    // Tears the view down and drops the DTM; TRUE.
    virtual HRESULT PrepareToRelease(VARIANT_BOOL* result) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "Init",
                    {idl::in("invokeId", VT_BSTR), idl::in("functionCall", VT_BSTR),
                     idl::in("dtm", VT_UNKNOWN), idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(2, "PrepareToRelease", {idl::out("result", idl::byRef(VT_BOOL))}),
    };

protected:
    ~IDtmActiveXControl() = default;
};
