// The dispatch tables against the C++ declarations: every listed method sits
// in the vtable slot its dispatch id implies and has the parameter types the
// table gives, so that Invoke written from a table calls the right method with
// the right arguments.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "idl/fdt_dtm.h"
#include "idl/fdt_frame.h"
#include "idl/qad_generic_dtm.h"
#include "idl/varnholt_ravik_dtm.h"
#include "idl/zor_dtm_view.h"

namespace {

template <class T>
constexpr VARTYPE vartypeOf() {
    using idl::byRef;
    if constexpr (std::is_same_v<T, BSTR>)
        return VT_BSTR;
    else if constexpr (std::is_same_v<T, BSTR*>)
        return byRef(VT_BSTR);
    else if constexpr (std::is_same_v<T, VARIANT>)
        return VT_VARIANT;
    else if constexpr (std::is_same_v<T, VARIANT*>)
        return byRef(VT_VARIANT);
    else if constexpr (std::is_same_v<T, VARIANT_BOOL>)
        return VT_BOOL;
    else if constexpr (std::is_same_v<T, VARIANT_BOOL*>)
        return byRef(VT_BOOL);
    else if constexpr (std::is_same_v<T, LONG>)
        return VT_I4;
    else if constexpr (std::is_same_v<T, LONG*>)
        return byRef(VT_I4);
    else if constexpr (std::is_same_v<T, IDispatch*>)
        return VT_DISPATCH;
    else if constexpr (std::is_pointer_v<T> && std::is_class_v<std::remove_pointer_t<T>>)
        return VT_UNKNOWN;
    else
        static_assert(sizeof(T) == 0, "argument type without an automation type");
}

struct Declared {
    std::string name;
    std::size_t slot;
    std::vector<VARTYPE> params;
};

// The vtable slot of a virtual member: on this platform's C++ ABI the pointer
// holds 1 + the slot's byte offset in the vtable.
template <class Member>
std::size_t vtableSlot(Member member) {
    static_assert(sizeof(Member) == 2 * sizeof(std::uintptr_t));
    std::uintptr_t raw[2];
    std::memcpy(raw, &member, sizeof member);
    EXPECT_EQ(raw[0] % sizeof(void*), 1u) << "not a virtual member";
    return (raw[0] - 1) / sizeof(void*);
}

template <class Itf, class... Args>
Declared declared(const char* name, HRESULT (Itf::*member)(Args...)) {
    return {name, vtableSlot(member), {vartypeOf<Args>()...}};
}

#define MEMBER(Itf, name) declared(#name, &Itf::name)

// IUnknown's three and IDispatch's four methods come first.
constexpr std::size_t kFirstOwnSlot = 7;

std::u16string widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

template <class Itf>
void expectTableMatches(const std::vector<Declared>& members) {
    const auto table = idl::dispatchTable<Itf>();
    ASSERT_EQ(table.size(), members.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].dispid, static_cast<DISPID>(i + 1)) << table[i].name;
    }
    for (const Declared& member : members) {
        SCOPED_TRACE(member.name);
        const idl::Method* method = idl::findMethod(table, widen(member.name));
        ASSERT_NE(method, nullptr);
        EXPECT_EQ(method->name, member.name);
        EXPECT_EQ(member.slot, kFirstOwnSlot + static_cast<std::size_t>(method->dispid) - 1);
        std::vector<VARTYPE> tableTypes;
        for (const idl::Param& p : method->params()) tableTypes.push_back(p.type);
        EXPECT_EQ(tableTypes, member.params);
    }
}

TEST(IdlDispatchTablesTest, IObserver) {
    expectTableMatches<IObserver>(
        {MEMBER(IObserver, Changed), MEMBER(IObserver, Finished), MEMBER(IObserver, GetOwnerID)});
}

TEST(IdlDispatchTablesTest, IOuterDTM) {
    expectTableMatches<IOuterDTM>(
        {MEMBER(IOuterDTM, OnInitialized), MEMBER(IOuterDTM, OnUpDownload),
         MEMBER(IOuterDTM, OnReleased), MEMBER(IOuterDTM, GetUpDownloadList),
         MEMBER(IOuterDTM, tryAction), MEMBER(IOuterDTM, OnOnlineStateChanged)});
}

TEST(IdlDispatchTablesTest, IQadGenericDTMObject) {
    using I = IQadGenericDTMObject;
    expectTableMatches<I>({
        MEMBER(I, GetValue),
        MEMBER(I, SetValue),
        MEMBER(I, RegisterObserver),
        MEMBER(I, UnregisterObserver),
        MEMBER(I, GetDescription),
        MEMBER(I, GetRange),
        MEMBER(I, GetName),
        MEMBER(I, GetUnit),
        MEMBER(I, IsChanged),
        MEMBER(I, GetScaling),
        MEMBER(I, DoAction),
        MEMBER(I, GetSize),
        MEMBER(I, IsValid),
        MEMBER(I, GetCommState),
        MEMBER(I, ClearActions),
        MEMBER(I, GetLowerLimit),
        MEMBER(I, GetUpperLimit),
        MEMBER(I, GetOffset),
        MEMBER(I, GetDamping),
        MEMBER(I, GetPointerValue),
        MEMBER(I, SetPointerValue),
        MEMBER(I, LookupParameter),
        MEMBER(I, SetDeviceDescription),
        MEMBER(I, SetValid),
        MEMBER(I, OnApplicationClosed),
        MEMBER(I, OnFunctionChanged),
        MEMBER(I, OnApplicationOpened),
        MEMBER(I, SetRange),
        MEMBER(I, GetTranslatedString),
        MEMBER(I, IsWriteable),
        MEMBER(I, CreateUserParameter),
        MEMBER(I, GetBlock_Name),
        MEMBER(I, IsOutOfRange),
        MEMBER(I, SetOutOfRange),
        MEMBER(I, execute_Action),
        MEMBER(I, IsVisible),
        MEMBER(I, SetVisible),
        MEMBER(I, IsOnline),
        MEMBER(I, DTM_MsgBox),
    });
}

TEST(IdlDispatchTablesTest, DtmSideFdtInterfaces) {
    expectTableMatches<IDtm>({
        MEMBER(IDtm, Environment),
        MEMBER(IDtm, InitNew),
        MEMBER(IDtm, Config),
        MEMBER(IDtm, SetCommunication),
        MEMBER(IDtm, PrepareToRelease),
        MEMBER(IDtm, PrepareToReleaseCommunication),
        MEMBER(IDtm, ReleaseCommunication),
        MEMBER(IDtm, PrepareToDelete),
        MEMBER(IDtm, SetLanguage),
        MEMBER(IDtm, GetFunctions),
        MEMBER(IDtm, InvokeFunctionRequest),
        MEMBER(IDtm, PrivateDialogEnabled),
    });
    expectTableMatches<IDtmInformation>({MEMBER(IDtmInformation, GetInformation)});
    expectTableMatches<IDtmDeviceIdentification>(
        {MEMBER(IDtmDeviceIdentification, GetDeviceIdentificationInformation)});
    expectTableMatches<IDtmActiveXInformation>({MEMBER(IDtmActiveXInformation, GetActiveXGuid),
                                                MEMBER(IDtmActiveXInformation, GetActiveXProgId)});
    expectTableMatches<IDtmNotification>(
        {MEMBER(IDtmNotification, OnFrameNotification), MEMBER(IDtmNotification, OnDataSetChanged),
         MEMBER(IDtmNotification, OnLinkNotification), MEMBER(IDtmNotification, QueryAccept)});
    expectTableMatches<IDtmParameter>(
        {MEMBER(IDtmParameter, GetParameters), MEMBER(IDtmParameter, SetParameters)});
    expectTableMatches<IFdtCommunicationEvents>(
        {MEMBER(IFdtCommunicationEvents, OnAbort),
         MEMBER(IFdtCommunicationEvents, OnConnectResponse),
         MEMBER(IFdtCommunicationEvents, OnDisconnectResponse),
         MEMBER(IFdtCommunicationEvents, OnTransactionResponse)});
    expectTableMatches<IDtmOnlineParameter>({MEMBER(IDtmOnlineParameter, CancelAction),
                                             MEMBER(IDtmOnlineParameter, DownloadRequest),
                                             MEMBER(IDtmOnlineParameter, UploadRequest)});
    expectTableMatches<IDtmActiveXControl>(
        {MEMBER(IDtmActiveXControl, Init), MEMBER(IDtmActiveXControl, PrepareToRelease)});
}

TEST(IdlDispatchTablesTest, FrameSideFdtInterfaces) {
    expectTableMatches<IFdtContainer>({MEMBER(IFdtContainer, LockDataSet),
                                       MEMBER(IFdtContainer, UnlockDataSet),
                                       MEMBER(IFdtContainer, GetXmlSchemaPath)});
    expectTableMatches<IFdtEvents>({
        MEMBER(IFdtEvents, OnParametersChanged),
        MEMBER(IFdtEvents, OnErrorMessage),
        MEMBER(IFdtEvents, OnProgress),
        MEMBER(IFdtEvents, OnUploadFinished),
        MEMBER(IFdtEvents, OnDownloadFinished),
        MEMBER(IFdtEvents, OnApplicationClosed),
        MEMBER(IFdtEvents, OnFunctionChanged),
        MEMBER(IFdtEvents, OnOnlineStateChanged),
        MEMBER(IFdtEvents, OnPreparedToRelease),
        MEMBER(IFdtEvents, OnPreparedToReleaseCommunication),
    });
    expectTableMatches<IFdtApplication>({MEMBER(IFdtApplication, CloseApplication)});
    expectTableMatches<IFdtDialog>({MEMBER(IFdtDialog, UserDialog)});
    expectTableMatches<IFdtCommunication>({MEMBER(IFdtCommunication, Abort),
                                           MEMBER(IFdtCommunication, ConnectRequest),
                                           MEMBER(IFdtCommunication, DisconnectRequest),
                                           MEMBER(IFdtCommunication, TransactionRequest)});
}

TEST(IdlDispatchTablesTest, MethodlessInterfacesHaveEmptyTables) {
    EXPECT_TRUE(idl::dispatchTable<IBasicDTM>().empty());
    EXPECT_TRUE(idl::dispatchTable<IZorBasicDTMView>().empty());
    EXPECT_TRUE(idl::dispatchTable<IZorViewingElement>().empty());
    EXPECT_TRUE(idl::dispatchTable<_IZorBasicDTMViewEvents>().empty());
}

// The type library's own spellings and directions, which callers by name rely on.
struct ParamSpelling {
    const char* method;
    std::size_t index;
    const char* name;
    idl::Direction direction;
};

TEST(IdlDispatchTablesTest, EngineParameterNamesAndDirectionsAreTheLibrarys) {
    using idl::Direction;
    const std::vector<ParamSpelling> spellings = {
        {"GetTranslatedString", 1, "outStrr", Direction::InOut},
        {"IsOnline", 0, "visible", Direction::InOut},
        {"IsChanged", 1, "Changed", Direction::InOut},
        {"GetDescription", 0, "para_id", Direction::Unspecified},
        {"GetBlock_Name", 0, "para_id", Direction::Unspecified},
        {"GetValue", 0, "para_id", Direction::In},
        {"DoAction", 0, "action", Direction::In},
        {"GetPointerValue", 2, "pValType", Direction::In},
        {"LookupParameter", 2, "target_id", Direction::InOut},
        {"SetDeviceDescription", 3, "languageFile", Direction::In},
        {"DTM_MsgBox", 2, "result", Direction::InOut},
    };
    const auto table = idl::dispatchTable<IQadGenericDTMObject>();
    for (const ParamSpelling& s : spellings) {
        SCOPED_TRACE(s.method);
        const idl::Method* method = idl::findMethod(table, widen(s.method));
        ASSERT_NE(method, nullptr);
        ASSERT_LT(s.index, method->params().size());
        EXPECT_EQ(method->params()[s.index].name, s.name);
        EXPECT_EQ(method->params()[s.index].direction, s.direction);
    }
}

struct NameLookup {
    std::u16string name;
    DISPID expected;  // DISPID_UNKNOWN: not found
};

TEST(IdlDispatchTablesTest, NamesAreFoundWithoutRegardToAsciiCase) {
    const auto table = idl::dispatchTable<IQadGenericDTMObject>();
    const std::vector<NameLookup> lookups = {
        {u"GetValue", 1},
        {u"getvalue", 1},
        {u"GETVALUE", 1},
        {u"DTM_MsgBox", 39},
        {u"dtm_msgbox", 39},
        {u"execute_action", 35},
        {u"GetValu", DISPID_UNKNOWN},
        {u"GetValueX", DISPID_UNKNOWN},
        {u"", DISPID_UNKNOWN},
        {u"G\u00c9tValue", DISPID_UNKNOWN},
    };
    for (const NameLookup& lookup : lookups) {
        const idl::Method* method = idl::findMethod(table, lookup.name);
        EXPECT_EQ(method ? method->dispid : DISPID_UNKNOWN, lookup.expected)
            << std::string(lookup.name.begin(), lookup.name.end());
    }
    EXPECT_EQ(idl::findMethod(table, DISPID{20})->name, "GetPointerValue");
    EXPECT_EQ(idl::findMethod(table, DISPID{0}), nullptr);
    EXPECT_EQ(idl::findMethod(table, DISPID{40}), nullptr);
}

TEST(IdlDispatchTablesTest, ParameterNamesMapToTheirPositions) {
    const auto table = idl::dispatchTable<IQadGenericDTMObject>();
    const idl::Method& lookup = *idl::findMethod(table, DISPID{22});
    EXPECT_EQ(idl::findParam(lookup, u"source_id"), 0);
    EXPECT_EQ(idl::findParam(lookup, u"TYPE"), 1);
    EXPECT_EQ(idl::findParam(lookup, u"target_id"), 2);
    EXPECT_EQ(idl::findParam(lookup, u"val"), DISPID_UNKNOWN);
}

}  // namespace
