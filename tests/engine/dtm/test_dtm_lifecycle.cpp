#include "tests/engine/dtm/dtm_fixture.h"

namespace dtm_test {
namespace {

using engine::DtmState;

class DtmLifecycle : public DtmFixture {};

TEST_F(DtmLifecycle, TypicalLifeRunsThroughTheStates) {
    ASSERT_EQ(bind(), S_OK);
    EXPECT_EQ(object->state(), engine::kCreated);
    EXPECT_EQ(environment(), VARIANT_TRUE);
    EXPECT_EQ(object->state(), engine::kEnvironmentSet);
    EXPECT_EQ(initNew(), VARIANT_TRUE);
    EXPECT_EQ(object->state(), engine::kInitialized);
    EXPECT_EQ(config("maintenance"), VARIANT_TRUE);
    EXPECT_EQ(object->state(), engine::kConfigured);
    EXPECT_EQ(object->userLevel(), 3);
    VARIANT_BOOL ok = 0;
    EXPECT_EQ(dtm->PrepareToDelete(&ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(dtm->PrepareToRelease(&ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE) << "TRUE is written with all bits set";
    EXPECT_EQ(object->state(), engine::kReleased);
    EXPECT_EQ(object->userLevel(), 0);
    EXPECT_TRUE(frame->logged("OnPreparedToRelease DTM-1"));
}

TEST_F(DtmLifecycle, OperationsOutsideTheirStatesAnswerFalse) {
    ASSERT_EQ(bind(), S_OK);
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(dtm->InitNew(nullptr, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE) << "InitNew needs state 3";
    EXPECT_EQ(dtm->Config(text("x").get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(dtm->PrepareToDelete(&ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(dtm->ReleaseCommunication(&ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(dtm->PrepareToReleaseCommunication(&ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(dtm->SetLanguage(0x0407, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE) << "SetLanguage needs states 3 to 6";
    EXPECT_EQ(dtm->PrivateDialogEnabled(VARIANT_TRUE, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    BSTR document = com::allocBstr("unchanged");
    BSTR keep = document;
    EXPECT_EQ(dtm.as<IDtmInformation>()->GetInformation(&document), S_OK);
    EXPECT_EQ(document, nullptr) << "information outside states 3 to 6 is a null text";
    SysFreeString(keep);
    EXPECT_EQ(object->state(), engine::kCreated) << "refused operations change no state";
}

TEST_F(DtmLifecycle, NullOutArgumentsGiveEPointer) {
    ASSERT_EQ(bind(), S_OK);
    EXPECT_EQ(dtm->Environment(nullptr, frameContainer.get(), nullptr), E_POINTER);
    EXPECT_EQ(dtm->InitNew(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(dtm->Config(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(dtm->SetCommunication(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(dtm->PrepareToRelease(nullptr), E_POINTER);
    EXPECT_EQ(dtm->SetLanguage(0, nullptr), E_POINTER);
    EXPECT_EQ(dtm->GetFunctions(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(dtm.as<IDtmInformation>()->GetInformation(nullptr), E_POINTER);
    EXPECT_EQ(dtm.as<IPersistStreamInit>()->GetClassID(nullptr), E_POINTER);
}

TEST_F(DtmLifecycle, EnvironmentTwiceAnswersFalse) {
    ASSERT_EQ(bind(), S_OK);
    ASSERT_EQ(environment(), VARIANT_TRUE);
    EXPECT_EQ(environment(), VARIANT_FALSE);
    EXPECT_EQ(object->state(), engine::kEnvironmentSet);
    EXPECT_EQ(initNew(), VARIANT_TRUE);
    EXPECT_EQ(environment(), VARIANT_FALSE);
    EXPECT_EQ(object->state(), engine::kInitialized);
}

TEST_F(DtmLifecycle, EnvironmentBuildsTheModelWithTheDescriptionTag) {
    ASSERT_EQ(bind(), S_OK);
    EXPECT_EQ(value(100), "Object missing") << "no model before Environment";
    ASSERT_EQ(environment(), VARIANT_TRUE);
    EXPECT_EQ(object->deviceObject().tag(), "LT100");
    EXPECT_EQ(value(1122622930), "LT100");
    EXPECT_EQ(value(100), "12.5000000000");
    EXPECT_EQ(object->deviceObject().dataSetState(), "default");
}

TEST_F(DtmLifecycle, NoSchemaPathIsReportedAndChangesNothing) {
    ASSERT_EQ(bind(), S_OK);
    frame->schemaPath.reset();
    EXPECT_EQ(environment(), VARIANT_FALSE);
    EXPECT_TRUE(frame->logged("OnErrorMessage DTM-1 Can't read XML Schema path"));
    EXPECT_EQ(object->state(), engine::kCreated);
    EXPECT_EQ(value(100), "Object missing");
}

TEST_F(DtmLifecycle, UnreadableDescriptionShowsTheLocalizeBox) {
    const HRESULT hr = bind("engine/dtm/broken.xml");
    EXPECT_EQ(hr, E_POINTER);
    ASSERT_EQ(errorBoxes.size(), 1u);
    EXPECT_EQ(errorBoxes[0], "Error: Can not localize description files");
}

TEST_F(DtmLifecycle, MissingLanguageFileShowsTheLocalizeBox) {
    const HRESULT hr = priv->SetDeviceDescription(com::Bstr::fromUtf8(dataPath("engine/dtm/device.xml")).get(),
                                                  com::Bstr::fromUtf8(dataPath("engine/dtm/dtm.xml")).get(),
                                                  nullptr, com::Bstr::fromUtf8(dataPath("missing.dct")).get());
    EXPECT_EQ(hr, E_POINTER);
    EXPECT_EQ(errorBoxes.size(), 1u);
}

TEST_F(DtmLifecycle, SetDeviceDescriptionAfterEnvironmentKeepsTheBoundDescription) {
    configured();
    EXPECT_EQ(bind("engine/dtm/device_plain.xml"), E_UNEXPECTED);
    EXPECT_TRUE(errorBoxes.empty()) << "a refusal, not a file that cannot be found";
    com::Bstr document;
    ASSERT_EQ(dtm.as<IDtmParameter>()->GetParameters(text("").get(), document.out()), S_OK);
    EXPECT_NE(document.utf8().find("LT100"), std::string::npos) << "the model still reads its documents";
    EXPECT_EQ(value(100), "12.5000000000");
}

TEST_F(DtmLifecycle, DescriptionThatFailsToBuildTheModelIsReported) {
    ASSERT_EQ(bind("engine/model/loader_no_hart.xml"), S_OK);
    EXPECT_EQ(environment(), VARIANT_FALSE);
    const std::string message = "Error on init HartParameterManager. No HART interface found.";
    EXPECT_EQ(errorBoxes, std::vector<std::string>{"Error: " + message});
    EXPECT_TRUE(frame->logged("OnErrorMessage DTM-1 " + message));
    EXPECT_EQ(object->state(), engine::kCreated);
    EXPECT_EQ(value(1), "Object missing") << "no half-built model stays";
    ASSERT_EQ(bind(), S_OK) << "a working description may be bound instead";
    EXPECT_EQ(environment(), VARIANT_TRUE);
}

TEST_F(DtmLifecycle, ConfigReadsTheUserLevel) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"planningEngineer", 4}, {"maintenance", 3}, {"operator", 2}, {"administrator", 1}};
    for (const auto& [level, number] : cases) {
        SetUp();
        ASSERT_EQ(bind(), S_OK);
        ASSERT_EQ(environment(), VARIANT_TRUE);
        ASSERT_EQ(initNew(), VARIANT_TRUE);
        EXPECT_EQ(config(level), VARIANT_TRUE) << level;
        EXPECT_EQ(object->userLevel(), number) << level;
    }
}

TEST_F(DtmLifecycle, ConfigWithABrokenDocumentStaysInState4) {
    ASSERT_EQ(bind(), S_OK);
    ASSERT_EQ(environment(), VARIANT_TRUE);
    ASSERT_EQ(initNew(), VARIANT_TRUE);
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(dtm->Config(text("<FDT").get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(config("superuser"), VARIANT_FALSE) << "a level outside the schema's enumeration does not validate";
    EXPECT_EQ(object->state(), engine::kInitialized);
}

TEST_F(DtmLifecycle, SetCommunicationWithNullInterfaceAnswersFalse) {
    configured();
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(dtm->SetCommunication(nullptr, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(object->state(), engine::kConfigured);
}

TEST_F(DtmLifecycle, PrepareToReleaseOnlyIn3_5_7) {
    ASSERT_EQ(bind(), S_OK);
    ASSERT_EQ(environment(), VARIANT_TRUE);
    ASSERT_EQ(initNew(), VARIANT_TRUE);
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(dtm->PrepareToRelease(&ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE) << "refused in state 4";
    EXPECT_EQ(object->state(), engine::kInitialized);
}

TEST_F(DtmLifecycle, CommunicatingStateRefusesRelease) {
    configured();
    auto communication = com::ComInstance<testing_frame::SilentCommunication>::make<IFdtCommunication>();
    VARIANT_BOOL ok = 0;
    ASSERT_EQ(dtm->SetCommunication(communication.get(), &ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(object->state(), engine::kCommunicating);
    EXPECT_EQ(dtm->PrepareToRelease(&ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE) << "refused in state 6";
    ASSERT_EQ(dtm->ReleaseCommunication(&ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE) << "a connect is pending";
    EXPECT_EQ(object->state(), engine::kCommunicating);
}

TEST_F(DtmLifecycle, LowestUserLevelRefusesSetParameters) {
    configured("administrator");
    com::Bstr document;
    ASSERT_EQ(dtm.as<IDtmParameter>()->GetParameters(nullptr, document.out()), S_OK);
    ASSERT_FALSE(document.isNull());
    VARIANT_BOOL ok = VARIANT_TRUE;
    ASSERT_EQ(dtm.as<IDtmParameter>()->SetParameters(nullptr, document.get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(frame->count("LockDataSet"), 0) << "refused before the lock is asked for";
}

TEST_F(DtmLifecycle, ReleaseClosesOpenApplicationsAndEmptiesTheModel) {
    configured();
    ASSERT_EQ(priv->OnApplicationOpened(text("inv-1").get(), text("1").get()), S_OK);
    ASSERT_EQ(priv->OnApplicationOpened(text("inv-2").get(), text("2x").get()), S_OK);
    VARIANT_BOOL ok = 0;
    ASSERT_EQ(dtm->PrepareToRelease(&ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    EXPECT_TRUE(frame->logged("CloseApplication inv-1 1"));
    EXPECT_TRUE(frame->logged("CloseApplication inv-2 2")) << "the function id ends at the first non-digit";
    EXPECT_EQ(value(100), "Object missing");
}

TEST_F(DtmLifecycle, SetLanguageReloadsAndTellsTheFrame) {
    configured();
    VARIANT_BOOL ok = 0;
    ASSERT_EQ(dtm->SetLanguage(0x0407, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    com::Bstr translated;
    ASSERT_EQ(priv->GetTranslatedString(text("DTM_Name").get(), translated.out()), S_OK);
    EXPECT_EQ(translated.utf8(), "Testgeraet");
    EXPECT_TRUE(frame->logged("OnFunctionChanged DTM-1"));
    ASSERT_EQ(dtm->SetLanguage(0x0409, &ok), S_OK);
    ASSERT_EQ(priv->GetTranslatedString(text("DTM_Name").get(), translated.out()), S_OK);
    EXPECT_EQ(translated.utf8(), "Test device");
}

TEST_F(DtmLifecycle, PrivateDialogEnabledInConfiguredState) {
    configured();
    VARIANT_BOOL ok = 0;
    ASSERT_EQ(dtm->PrivateDialogEnabled(VARIANT_FALSE, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    ASSERT_EQ(dtm->InvokeFunctionRequest(nullptr, nullptr, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE) << "InvokeFunctionRequest is always FALSE";
}

}  // namespace
}  // namespace dtm_test
