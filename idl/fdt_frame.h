#pragma once
// The FDT interfaces of the frame application that DTMs call. All are dual
// (IDispatch, dispatch ids from 1 in declaration order), with the
// conventions of idl/fdt_dtm.h: inputs stay the caller's, an out BSTR written
// by the frame belongs to the caller, a null out pointer gives E_POINTER, and
// a refusal is FALSE in the out argument with S_OK.
//
// The frame's answers arrive on the apartment thread. Operations marked
// "asynchronous" answer later through IFdtCommunicationEvents; the frame may
// also answer from inside the call itself, so the caller must be ready to be
// re-entered.

#include <string_view>

#include "idl/fdt_dtm.h"
#include "idl/type_library.h"
#include "platform/com/interfaces.h"

// The frame's container of a DTM: the data-set lock and the schema path. The
// DTM gets it with IDtm::Environment and queries it for the frame's other
// interfaces.
struct IFdtContainer : IDispatch {
    // Its identity is this system's own choice.
    static constexpr IID iid = com::makeGuid("899C725E-1C01-4A8C-BCB5-DFA016A2AB86");

    // TRUE: the DTM with systemTag now holds the lock on its data set.
    virtual HRESULT LockDataSet(BSTR systemTag, VARIANT_BOOL* result) = 0;
    // TRUE: the lock is released.
    virtual HRESULT UnlockDataSet(BSTR systemTag, VARIANT_BOOL* result) = 0;
    // *path := the directory of the frame's XML schemas. A failing HRESULT
    // means there is no path; *path is then left untouched.
    virtual HRESULT GetXmlSchemaPath(BSTR* path) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "LockDataSet",
                    {idl::in("systemTag", VT_BSTR), idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(2, "UnlockDataSet",
                    {idl::in("systemTag", VT_BSTR), idl::out("result", idl::byRef(VT_BOOL))}),
        idl::method(3, "GetXmlSchemaPath", {idl::out("path", idl::byRef(VT_BSTR))}),
    };

protected:
    ~IFdtContainer() = default;
};

// The frame's event sink. The DTM ignores every result; texts stay the DTM's.
struct IFdtEvents : IDispatch {
    static constexpr IID iid = com::makeGuid("F15BA42E-BBF1-42ED-8009-7F664A002CFB");

    // parameters: the data-set text of the items that changed.
    virtual HRESULT OnParametersChanged(BSTR systemTag, BSTR parameters) = 0;
    virtual HRESULT OnErrorMessage(BSTR systemTag, BSTR message) = 0;
    // percent: the progress in percent; show: whether the frame shows it.
    virtual HRESULT OnProgress(BSTR systemTag, BSTR title, LONG percent, VARIANT_BOOL show) = 0;
    // The transfer that the frame requested under invokeId ended.
    virtual HRESULT OnUploadFinished(BSTR invokeId, VARIANT_BOOL success) = 0;
    virtual HRESULT OnDownloadFinished(BSTR invokeId, VARIANT_BOOL success) = 0;
    // The view opened under invokeId was closed.
    virtual HRESULT OnApplicationClosed(BSTR invokeId) = 0;
    // The DTM's functions (and what they offer now) changed.
    virtual HRESULT OnFunctionChanged(BSTR systemTag) = 0;
    virtual HRESULT OnOnlineStateChanged(BSTR systemTag, VARIANT_BOOL online) = 0;
    // The DTM is ready to be released.
    virtual HRESULT OnPreparedToRelease(BSTR systemTag) = 0;
    // The DTM no longer needs its communication connection.
    virtual HRESULT OnPreparedToReleaseCommunication(BSTR systemTag) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "OnParametersChanged",
                    {idl::in("systemTag", VT_BSTR), idl::in("parameters", VT_BSTR)}),
        idl::method(2, "OnErrorMessage",
                    {idl::in("systemTag", VT_BSTR), idl::in("message", VT_BSTR)}),
        idl::method(3, "OnProgress",
                    {idl::in("systemTag", VT_BSTR), idl::in("title", VT_BSTR),
                     idl::in("percent", VT_I4), idl::in("show", VT_BOOL)}),
        idl::method(4, "OnUploadFinished",
                    {idl::in("invokeId", VT_BSTR), idl::in("success", VT_BOOL)}),
        idl::method(5, "OnDownloadFinished",
                    {idl::in("invokeId", VT_BSTR), idl::in("success", VT_BOOL)}),
        idl::method(6, "OnApplicationClosed", {idl::in("invokeId", VT_BSTR)}),
        idl::method(7, "OnFunctionChanged", {idl::in("systemTag", VT_BSTR)}),
        idl::method(8, "OnOnlineStateChanged",
                    {idl::in("systemTag", VT_BSTR), idl::in("online", VT_BOOL)}),
        idl::method(9, "OnPreparedToRelease", {idl::in("systemTag", VT_BSTR)}),
        idl::method(10, "OnPreparedToReleaseCommunication", {idl::in("systemTag", VT_BSTR)}),
    };

protected:
    ~IFdtEvents() = default;
};

// The frame's handling of the DTM's open user interfaces.
struct IFdtApplication : IDispatch {
    static constexpr IID iid = com::makeGuid("5959F485-2C51-4A55-80A7-DD3C45D8BAF2");

    // Asks the frame to close the view that was opened under invokeId for the
    // function functionId.
    virtual HRESULT CloseApplication(BSTR invokeId, LONG functionId) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "CloseApplication",
                    {idl::in("invokeId", VT_BSTR), idl::in("functionId", VT_I4)}),
    };

protected:
    ~IFdtApplication() = default;
};

// The frame shows user messages on behalf of a DTM.
struct IFdtDialog : IDispatch {
    static constexpr IID iid = com::makeGuid("15C19931-6161-11D4-A0A9-005004011A04");

    // Shows the user-message document and blocks until the user answered;
    // *answer := the answer document (null when the frame shows nothing).
    virtual HRESULT UserDialog(BSTR systemTag, BSTR userMessage, BSTR* answer) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "UserDialog",
                    {idl::in("systemTag", VT_BSTR), idl::in("userMessage", VT_BSTR),
                     idl::out("answer", idl::byRef(VT_BSTR))}),
    };

protected:
    ~IFdtDialog() = default;
};

// The frame's HART channel, handed to the DTM with IDtm::SetCommunication.
// Every request is asynchronous: TRUE only means that the frame accepted it,
// and the answer arrives through the IFdtCommunicationEvents given with the
// connect request, under the request's invoke id.
struct IFdtCommunication : IDispatch {
    // Its identity is this system's own choice.
    static constexpr IID iid = com::makeGuid("35A972FF-F61D-4731-8171-CA5A60F1F2BF");

    // abortRequest: the Abort document; the frame drops the connection.
    virtual HRESULT Abort(BSTR abortRequest) = 0;
    // Opens a connection; the frame keeps a reference to callback until the
    // connection ends. protocolId names the bus protocol (kHartProtocolId).
    virtual HRESULT ConnectRequest(IFdtCommunicationEvents* callback, BSTR invokeId,
                                   BSTR protocolId, BSTR request, VARIANT_BOOL* accepted) = 0;
    virtual HRESULT DisconnectRequest(BSTR invokeId, BSTR request, VARIANT_BOOL* accepted) = 0;
    // request: a DataExchangeRequest document.
    virtual HRESULT TransactionRequest(BSTR invokeId, BSTR request, VARIANT_BOOL* accepted) = 0;

    static constexpr idl::Method dispatchMembers[] = {
        idl::method(1, "Abort", {idl::in("abortRequest", VT_BSTR)}),
        idl::method(2, "ConnectRequest",
                    {idl::in("callback", VT_UNKNOWN), idl::in("invokeId", VT_BSTR),
                     idl::in("protocolId", VT_BSTR), idl::in("request", VT_BSTR),
                     idl::out("accepted", idl::byRef(VT_BOOL))}),
        idl::method(3, "DisconnectRequest",
                    {idl::in("invokeId", VT_BSTR), idl::in("request", VT_BSTR),
                     idl::out("accepted", idl::byRef(VT_BOOL))}),
        idl::method(4, "TransactionRequest",
                    {idl::in("invokeId", VT_BSTR), idl::in("request", VT_BSTR),
                     idl::out("accepted", idl::byRef(VT_BOOL))}),
    };

protected:
    ~IFdtCommunication() = default;
};

namespace idl::fdt {

// The HART protocol's identity in FDT documents and connect requests.
inline constexpr std::string_view kHartProtocolId = "036D1498-387B-11D4-86E1-00E0987270B9";

}  // namespace idl::fdt
