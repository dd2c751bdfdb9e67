#include "platform/com/memory_stream.h"
#include "platform/com/no_late_binding.h"
#include "tests/engine/dtm/dtm_fixture.h"

namespace dtm_test {
namespace {

// An observer that counts its calls.
class CountingObserver : public com::ComObjectRoot, public com::NoLateBinding<IObserver> {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<CountingObserver, IObserver>(),
            com::entryAs<CountingObserver, IObserver>(IDispatch::iid),
        };
        return table;
    }
    HRESULT Changed(VARIANT para_id) override {
        changes.push_back(para_id.lVal);
        return S_OK;
    }
    HRESULT Finished(VARIANT) override { return S_OK; }
    HRESULT GetOwnerID(LONG* owner) override {
        *owner = ownerId;
        return S_OK;
    }
    LONG ownerId = 77;
    std::vector<std::int32_t> changes;
};

class DtmPrivateInterface : public DtmFixture {};

TEST_F(DtmPrivateInterface, UnknownIdsGiveTheMissingAnswers) {
    configured();
    struct Case {
        HRESULT (IQadGenericDTMObject::*read)(VARIANT, BSTR*);
        const char* missing;
    };
    const Case cases[] = {
        {&IQadGenericDTMObject::GetValue, "Object missing"},  {&IQadGenericDTMObject::GetDescription, "Object missing"},
        {&IQadGenericDTMObject::GetName, "Object missing"},   {&IQadGenericDTMObject::GetBlock_Name, "Object missing"},
        {&IQadGenericDTMObject::GetRange, ""},                {&IQadGenericDTMObject::GetUnit, ""},
        {&IQadGenericDTMObject::GetScaling, "1"},             {&IQadGenericDTMObject::GetSize, ""},
        {&IQadGenericDTMObject::GetUpperLimit, ""},           {&IQadGenericDTMObject::GetOffset, ""},
        {&IQadGenericDTMObject::GetDamping, ""},
    };
    for (const Case& c : cases) {
        com::Bstr out = text("previous");
        EXPECT_EQ((priv.get()->*c.read)(id(4242), out.out()), S_OK);
        EXPECT_EQ(out.utf8(), c.missing);
    }
    VARIANT_BOOL flag = 5;
    EXPECT_EQ(priv->IsChanged(id(4242), &flag), S_OK);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(priv->IsVisible(id(4242), &flag), S_OK);
    EXPECT_EQ(flag, 0);
}

TEST_F(DtmPrivateInterface, TextsOfAParameter) {
    configured();
    com::Bstr out;
    ASSERT_EQ(priv->GetName(id(100), out.out()), S_OK);
    EXPECT_EQ(out.utf8(), "level");
    ASSERT_EQ(priv->GetUnit(id(100), out.out()), S_OK);
    EXPECT_EQ(out.utf8(), "m");
    ASSERT_EQ(priv->GetBlock_Name(id(100), out.out()), S_OK);
    EXPECT_EQ(out.utf8(), "process");
    ASSERT_EQ(priv->GetDescription(id(100), out.out()), S_OK);
    EXPECT_EQ(out.utf8(), "level_help");
    ASSERT_EQ(priv->GetDescription(id(38 << 24), out.out()), S_OK);
    EXPECT_EQ(out.utf8(), "reset_changed_help") << "an action item's id answers its description";
    com::Bstr untouched = text("left alone");
    ASSERT_EQ(priv->GetLowerLimit(id(100), untouched.out()), S_OK);
}

TEST_F(DtmPrivateInterface, SetValueMarksDirtyAndTheTagFollowsItsParameter) {
    configured();
    EXPECT_FALSE(object->dirty());
    setValue(102, "");
    EXPECT_FALSE(object->dirty()) << "the same value does not count as a change";
    setValue(100, "50");
    EXPECT_TRUE(object->dirty());
    setValue(1122622930, "PV-7");
    EXPECT_EQ(object->deviceObject().tag(), "PV-7");
    setValue(100, "500");
    EXPECT_EQ(value(100), "50.0000000000") << "a value outside the range is refused";
    VARIANT_BOOL out = 0;
    ASSERT_EQ(priv->IsOutOfRange(id(100), &out), S_OK);
    EXPECT_NE(out, 0);
    ASSERT_EQ(priv->IsOutOfRange(id(0), &out), S_OK);
    EXPECT_EQ(out, VARIANT_TRUE) << "id 0 asks whether any parameter is out of range";
}

TEST_F(DtmPrivateInterface, IsOutOfRangeWithIdZeroAndNothingOutOfRange) {
    configured();
    VARIANT_BOOL out = 1;
    ASSERT_EQ(priv->IsOutOfRange(id(0), &out), S_OK);
    EXPECT_EQ(out, 0);
}

TEST_F(DtmPrivateInterface, ValidityAndWritabilityNeedLevelAndLock) {
    configured("maintenance");
    VARIANT_BOOL flag = 1;
    ASSERT_EQ(priv->IsWriteable(id(100), &flag), S_OK);
    EXPECT_EQ(flag, 0) << "no lock granted yet";
    ASSERT_EQ(priv->IsValid(id(100), &flag), S_OK);
    EXPECT_EQ(flag, 0);
    ASSERT_TRUE(object->lockDataSet());
    ASSERT_EQ(priv->IsWriteable(id(100), &flag), S_OK);
    EXPECT_EQ(flag, 1);
    ASSERT_EQ(priv->IsWriteable(id(101), &flag), S_OK);
    EXPECT_EQ(flag, 0) << "101 is read-only";
    ASSERT_EQ(priv->IsValid(id(100), &flag), S_OK);
    EXPECT_EQ(flag, 1);
}

TEST_F(DtmPrivateInterface, AdministratorLevelRefusesEvenWithTheLock) {
    configured("administrator");
    ASSERT_TRUE(object->lockDataSet());
    VARIANT_BOOL flag = 1;
    ASSERT_EQ(priv->IsWriteable(id(100), &flag), S_OK);
    EXPECT_EQ(flag, 0);
    ASSERT_EQ(priv->IsValid(id(100), &flag), S_OK);
    EXPECT_EQ(flag, 0);
}

TEST_F(DtmPrivateInterface, ObserversRegisteredOnceByOwnerId) {
    configured();
    IObserver* rawObserver = nullptr;
    ASSERT_EQ(com::ComInstance<CountingObserver>::create(nullptr, IObserver::iid,
                                                         reinterpret_cast<void**>(&rawObserver)),
              S_OK);
    auto held = com::ComPtr<IObserver>::attach(rawObserver);
    auto* observer = static_cast<CountingObserver*>(rawObserver);
    ASSERT_EQ(priv->RegisterObserver(id(100), observer), S_OK);
    ASSERT_EQ(priv->RegisterObserver(id(100), observer), S_OK);
    setValue(100, "60");
    EXPECT_EQ(observer->changes, std::vector<std::int32_t>{100}) << "one record, one call per change";
    ASSERT_EQ(priv->UnregisterObserver(id(100), observer), S_OK);
    setValue(100, "61");
    EXPECT_EQ(observer->changes.size(), 1u);
}

TEST_F(DtmPrivateInterface, UserParametersAndLookup) {
    configured();
    ASSERT_EQ(priv->CreateUserParameter(id(1000001), text("Double").get()), S_OK);
    setValue(1000001, "2.5");
    EXPECT_EQ(value(1000001), "2.5000000000");
    EXPECT_EQ(object->deviceObject().dataSetState(), "default") << "user parameters do not change the state";
    ASSERT_EQ(priv->CreateUserParameter(id(101), text("anything").get()), S_OK);
    EXPECT_EQ(value(101), "0") << "the description's object is replaced by an unsigned one";
    VARIANT target = id(-1);
    com::Bstr kind = text("pointer_value");
    BSTR rawKind = kind.get();
    ASSERT_EQ(priv->LookupParameter(id(100), &rawKind, &target), S_OK);
    EXPECT_EQ(target.lVal, 100) << "a parameter that is not a pointer is its own answer";
    ASSERT_EQ(priv->LookupParameter(id(555), &rawKind, &target), S_OK);
    EXPECT_EQ(target.lVal, 0);
}

TEST_F(DtmPrivateInterface, PointerValueTexts) {
    configured();
    const std::pair<const char*, const char*> cases[] = {
        {"value", "12.5000000000"}, {"size", "4"}, {"description", "level_help"}, {"name", "level"}, {"other", ""}};
    for (const auto& [kind, expected] : cases) {
        VARIANT out;
        VariantInit(&out);
        out.vt = VT_BSTR;
        out.bstrVal = nullptr;
        com::Bstr k = text(kind);
        BSTR rawKind = k.get();
        ASSERT_EQ(priv->GetPointerValue(id(100), &out, &rawKind), S_OK);
        EXPECT_EQ(com::toUtf8(out.bstrVal), expected) << kind;
        VariantClear(&out);
    }
}

TEST_F(DtmPrivateInterface, MessageBoxThroughTheFrame) {
    configured();
    frame->dialogAnswer = [](const std::string& question) {
        EXPECT_NE(question.find("messageType=\"messageQuestion\""), std::string::npos) << question;
        EXPECT_NE(question.find("messageButtons=\"buttonsYesNo\""), std::string::npos);
        EXPECT_NE(question.find("title=\"Test device\""), std::string::npos) << "the title is DTM_Name translated";
        return "<FDT xmlns=\"x-schema:FDTUserMessageSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
               "<FDTUserMessage messageType=\"messageQuestion\" messageButtons=\"buttonsYesNo\" "
               "messageDefault=\"buttonYes\" title=\"t\" resultMessage=\"buttonNo\"><TextLine fdt:string=\"q\"/>"
               "</FDTUserMessage></FDT>";
    };
    LONG result = 0;
    ASSERT_EQ(priv->DTM_MsgBox(text("Start?").get(), 0x24, &result), S_OK);
    EXPECT_EQ(result, 7);
    frame->dialogAnswer = [](const std::string&) {
        return "<FDT xmlns=\"x-schema:FDTUserMessageSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
               "<FDTUserMessage messageType=\"messageQuestion\" messageButtons=\"buttonsYesNo\" "
               "messageDefault=\"buttonYes\" title=\"t\"><TextLine fdt:string=\"q\"/></FDTUserMessage></FDT>";
    };
    ASSERT_EQ(priv->DTM_MsgBox(text("Start?").get(), 0x24, &result), S_OK);
    EXPECT_EQ(result, 2) << "no resultMessage means cancel";
}

TEST_F(DtmPrivateInterface, MessageBoxWithoutADialogAnswersCancel) {
    IFdtContainer* container = nullptr;
    ASSERT_EQ(com::ComInstance<testing_frame::FrameWithoutDialog>::create(nullptr, IFdtContainer::iid,
                                                                           reinterpret_cast<void**>(&container)),
              S_OK);
    frameContainer = com::ComPtr<IFdtContainer>::attach(container);
    frame = static_cast<testing_frame::RecordingFrame*>(container);
    frame->schemaPath = schemaDirectory();
    configured();
    LONG result = 0;
    ASSERT_EQ(priv->DTM_MsgBox(text("x").get(), 0, &result), S_OK);
    EXPECT_EQ(result, 2);
}

TEST_F(DtmPrivateInterface, OpenApplicationsTellTheFrame) {
    configured();
    ASSERT_EQ(priv->OnApplicationOpened(text("inv-9").get(), text("2").get()), S_OK);
    ASSERT_EQ(object->openApplications().size(), 1u);
    EXPECT_EQ(object->openApplications()[0].functionId, 2);
    ASSERT_EQ(priv->OnApplicationClosed(text("inv-9").get(), text("2").get()), S_OK);
    EXPECT_TRUE(object->openApplications().empty());
    EXPECT_TRUE(frame->logged("OnApplicationClosed inv-9"));
    EXPECT_EQ(frame->count("OnFunctionChanged DTM-1"), 2);
}

TEST_F(DtmPrivateInterface, ClosingOneOfTwoApplicationsOfAFunctionKeepsTheOther) {
    configured();
    ASSERT_EQ(priv->OnApplicationOpened(text("menu-a").get(), text("1").get()), S_OK);
    ASSERT_EQ(priv->OnApplicationOpened(text("menu-b").get(), text("1").get()), S_OK);
    ASSERT_EQ(priv->OnApplicationClosed(text("menu-a").get(), text("1").get()), S_OK);
    ASSERT_EQ(object->openApplications().size(), 1u);
    EXPECT_EQ(object->openApplications()[0].invokeId, "menu-b");
    VARIANT_BOOL ok = 0;
    ASSERT_EQ(dtm->PrepareToRelease(&ok), S_OK);
    EXPECT_TRUE(frame->logged("CloseApplication menu-b 1")) << "release still closes the other one";
    EXPECT_FALSE(frame->logged("CloseApplication menu-a 1"));
}

TEST_F(DtmPrivateInterface, CommStateOfANewChannelIsOffline) {
    configured();
    com::Bstr state;
    ASSERT_EQ(priv->GetCommState(state.out()), S_OK);
    EXPECT_EQ(state.utf8(), "OFFLINE");
    VARIANT_BOOL online = 1;
    ASSERT_EQ(priv->IsOnline(&online), S_OK);
    EXPECT_EQ(online, 0);
}

// --- late binding ---

VARIANT byRef(BSTR* slot) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_BSTR;
    v.pbstrVal = slot;
    return v;
}

TEST_F(DtmPrivateInterface, DispatchByNameAndId) {
    configured();
    com::ComPtr<IDispatch> dispatch = dtm.as<IDispatch>();
    ASSERT_TRUE(dispatch);
    const char16_t* names[] = {u"getvalue", u"val"};
    DISPID ids[2] = {0, 0};
    ASSERT_EQ(dispatch->GetIDsOfNames(GUID_NULL, const_cast<LPOLESTR*>(names), 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 1);
    EXPECT_EQ(ids[1], 1) << "parameter numbers count from 0";
    const char16_t* unknown[] = {u"NoSuchMethod"};
    EXPECT_EQ(dispatch->GetIDsOfNames(GUID_NULL, const_cast<LPOLESTR*>(unknown), 1, 0, ids), DISP_E_UNKNOWNNAME);

    BSTR result = nullptr;
    VARIANT args[2] = {byRef(&result), id(100)};  // reverse order
    DISPPARAMS params{args, nullptr, 2, 0};
    ASSERT_EQ(dispatch->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(com::toUtf8(result), "12.5000000000");
    SysFreeString(result);

    const char16_t* last[] = {u"DTM_MsgBox"};
    ASSERT_EQ(dispatch->GetIDsOfNames(GUID_NULL, const_cast<LPOLESTR*>(last), 1, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 39);
    UINT bad = 99;
    DISPPARAMS tooFew{args, nullptr, 1, 0};
    EXPECT_EQ(dispatch->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, &tooFew, nullptr, nullptr, &bad),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(dispatch->Invoke(40, GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    VARIANT wrong[2] = {id(3), id(100)};
    DISPPARAMS mistyped{wrong, nullptr, 2, 0};
    EXPECT_EQ(dispatch->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, &mistyped, nullptr, nullptr, &bad),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(bad, 0u) << "the out argument stands first in the reversed array";
}

TEST_F(DtmPrivateInterface, FdtInterfacesDoNotDispatchThePrivateMethods) {
    configured();
    BSTR result = nullptr;
    VARIANT args[2] = {byRef(&result), id(100)};
    DISPPARAMS params{args, nullptr, 2, 0};
    const char16_t* names[] = {u"GetValue"};
    const auto check = [&](IDispatch* dual, const char* name) {
        SCOPED_TRACE(name);
        DISPID dispid = 0;
        EXPECT_EQ(dual->GetIDsOfNames(GUID_NULL, const_cast<LPOLESTR*>(names), 1, 0, &dispid), DISP_E_UNKNOWNNAME);
        EXPECT_EQ(dual->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
                  DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(result, nullptr) << "GetValue did not run";
    };
    check(dtm.get(), "IDtm");
    check(dtm.as<IDtmInformation>().get(), "IDtmInformation");
    check(dtm.as<IDtmDeviceIdentification>().get(), "IDtmDeviceIdentification");
    check(dtm.as<IDtmActiveXInformation>().get(), "IDtmActiveXInformation");
    check(dtm.as<IDtmNotification>().get(), "IDtmNotification");
    check(dtm.as<IDtmParameter>().get(), "IDtmParameter");
    check(dtm.as<IFdtCommunicationEvents>().get(), "IFdtCommunicationEvents");
    check(dtm.as<IDtmOnlineParameter>().get(), "IDtmOnlineParameter");
    ASSERT_EQ(priv->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(com::toUtf8(result), "12.5000000000") << "the private interface still dispatches";
    SysFreeString(result);
}

TEST_F(DtmPrivateInterface, DispatchSetValueAndCreateUserParameter) {
    configured();
    com::ComPtr<IDispatch> dispatch = dtm.as<IDispatch>();
    com::Bstr type = text("String");
    VARIANT createArgs[2];
    VariantInit(&createArgs[0]);
    createArgs[0].vt = VT_BSTR;
    createArgs[0].bstrVal = type.get();
    createArgs[1] = id(1000002);
    DISPPARAMS create{createArgs, nullptr, 2, 0};
    ASSERT_EQ(dispatch->Invoke(31, GUID_NULL, 0, DISPATCH_METHOD, &create, nullptr, nullptr, nullptr), S_OK);
    com::Bstr newValue = text("via dispatch");
    BSTR raw = newValue.get();
    VARIANT setArgs[2] = {byRef(&raw), id(1000002)};
    DISPPARAMS set{setArgs, nullptr, 2, 0};
    ASSERT_EQ(dispatch->Invoke(2, GUID_NULL, 0, DISPATCH_METHOD, &set, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(value(1000002), "via dispatch");
}

// --- aggregation by an outer DTM ---

class OuterDtm : public com::ComObjectRoot, public com::NoLateBinding<IOuterDTM> {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<OuterDtm, IOuterDTM>(),
            com::entryAggregate<OuterDtm, &OuterDtm::inner_>(IDtm::iid),
            com::entryAggregate<OuterDtm, &OuterDtm::inner_>(IQadGenericDTMObject::iid),
            com::entryAggregate<OuterDtm, &OuterDtm::inner_>(IPersistStreamInit::iid),
        };
        return table;
    }

    HRESULT OnInitialized() override {
        calls.push_back("OnInitialized");
        // Values set here do not count as changes of an unchanged data set.
        com::ComPtr<IQadGenericDTMObject> engine;
        inner_->QueryInterface(IQadGenericDTMObject::iid, engine.putVoid());
        com::Bstr v = com::Bstr::fromUtf8("hello");
        BSTR raw = v.get();
        VARIANT p;
        VariantInit(&p);
        p.vt = VT_I4;
        p.lVal = 102;
        engine->SetValue(p, &raw);
        return S_OK;
    }
    HRESULT OnUpDownload(VARIANT_BOOL, VARIANT, VARIANT_BOOL, VARIANT_BOOL*) override { return S_OK; }
    HRESULT OnReleased() override {
        calls.push_back("OnReleased");
        return S_OK;
    }
    HRESULT GetUpDownloadList(VARIANT_BOOL, BSTR*) override { return S_OK; }
    HRESULT tryAction(BSTR, BSTR, VARIANT_BOOL*) override { return S_OK; }
    HRESULT OnOnlineStateChanged() override { return S_OK; }

    std::vector<std::string> calls;
    com::ComPtr<IUnknown> inner_;

protected:
    HRESULT finalConstruct() override {
        return com::ComInstance<engine::QadGenericDTMObject>::create(controllingUnknown(), IUnknown::iid,
                                                                      inner_.putVoid());
    }
};

TEST_F(DtmPrivateInterface, AggregatedByAnOuterDtm) {
    // A saved data set, so that the reopened model starts unchanged.
    ASSERT_EQ(bind("engine/dtm/device_plain.xml"), S_OK);
    ASSERT_EQ(environment(), VARIANT_TRUE);
    ASSERT_EQ(initNew(), VARIANT_TRUE);
    com::ComPtr<IStream> saved;
    ASSERT_EQ(com::createMemoryStream(saved.put()), S_OK);
    ASSERT_EQ(dtm.as<IPersistStreamInit>()->Save(saved.get(), TRUE), S_OK);
    LARGE_INTEGER zero{0};
    saved->Seek(zero, STREAM_SEEK_SET, nullptr);

    IOuterDTM* raw = nullptr;
    ASSERT_EQ(com::ComInstance<OuterDtm>::create(nullptr, IOuterDTM::iid, reinterpret_cast<void**>(&raw)), S_OK);
    auto outer = com::ComPtr<IOuterDTM>::attach(raw);
    auto* outerObject = static_cast<OuterDtm*>(raw);
    dtm = outer.as<IDtm>();
    priv = outer.as<IQadGenericDTMObject>();
    ASSERT_TRUE(dtm);
    ASSERT_TRUE(priv);
    EXPECT_TRUE(com::sameObject(dtm.get(), outer.get())) << "the engine's IUnknown is the outer object";
    object = static_cast<engine::QadGenericDTMObject*>(dtm.get());
    ASSERT_EQ(bind("engine/dtm/device_plain.xml"), S_OK);
    ASSERT_EQ(outer.as<IPersistStreamInit>()->Load(saved.get()), S_OK);
    ASSERT_EQ(environment(), VARIANT_TRUE);
    EXPECT_EQ(outerObject->calls, std::vector<std::string>{"OnInitialized"});
    EXPECT_EQ(value(102), "hello");
    VARIANT_BOOL changed = 1;
    ASSERT_EQ(priv->IsChanged(id(102), &changed), S_OK);
    EXPECT_EQ(changed, 0) << "the outer DTM's initial values are not changes of an unchanged data set";
    ASSERT_EQ(config("operator"), VARIANT_TRUE);
    VARIANT_BOOL ok = 0;
    ASSERT_EQ(dtm->PrepareToRelease(&ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(outerObject->calls.back(), "OnReleased");
}

TEST_F(DtmPrivateInterface, OuterChangesOnAFreshModelStayChanges) {
    IOuterDTM* raw = nullptr;
    ASSERT_EQ(com::ComInstance<OuterDtm>::create(nullptr, IOuterDTM::iid, reinterpret_cast<void**>(&raw)), S_OK);
    auto outer = com::ComPtr<IOuterDTM>::attach(raw);
    dtm = outer.as<IDtm>();
    priv = outer.as<IQadGenericDTMObject>();
    object = static_cast<engine::QadGenericDTMObject*>(dtm.get());
    ASSERT_EQ(bind("engine/dtm/device_plain.xml"), S_OK);
    ASSERT_EQ(environment(), VARIANT_TRUE);
    VARIANT_BOOL changed = 0;
    ASSERT_EQ(priv->IsChanged(id(102), &changed), S_OK);
    EXPECT_EQ(changed, 1) << "the description's tag already changed the fresh model, so nothing is reset";
}

}  // namespace
}  // namespace dtm_test
