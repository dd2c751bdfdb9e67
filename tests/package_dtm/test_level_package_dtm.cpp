// The level package DTM through the frame's host objects against the
// simulated level device, on the virtual clock: its life from creation to
// release, the user parameters that follow the online state, the mode
// request, the status texts of the device's tests, and its outer-DTM answers.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "frame/error_box_host.h"
#include "frame/frame_host.h"
#include "frame/hart_communication.h"
#include "frame/session_loop.h"
#include "frame/simulator_backend.h"
#include "idl/fdt_dtm.h"
#include "idl/qad_generic_dtm.h"
#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "simulator/level_behaviour.h"

// The engine's task-modal error boxes reach the test as frame events.
extern "C" __attribute__((visibility("default"))) int HartDtmMessageBox(const char* text,
                                                                        const char* caption,
                                                                        unsigned flags) {
    return frame::showHostErrorBox(text, caption, flags);
}

namespace {

using namespace std::chrono_literals;

const std::filesystem::path kBinary = HARTDTM_BINARY_ROOT;
const std::filesystem::path kSource = HARTDTM_SOURCE_ROOT;
constexpr const char* kProgId = "VarnholtLenmorHARTDTM.PackageDTM.1";

// The user parameters of the level panels.
constexpr std::int32_t kUserParameters[] = {1000100, 1000200, 1000201, 1000202, 1000203,
                                            1000204, 1000205, 1000206, 1000207, 1000300,
                                            1000301, 1000500, 1000501};
constexpr std::int32_t kModeRequest = 1000100;
constexpr std::int32_t kActiveMode = 328966019;
constexpr std::int32_t kModeToSet = 1120274244;

VARIANT id(std::int32_t value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

com::Bstr text(std::string_view utf8) {
    return com::Bstr::fromUtf8(utf8);
}

class LevelPackageDtm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (const char* registry = std::getenv("HARTDTM_REGISTRY"); !registry || !*registry) {
            const std::string own = (kBinary / "test-registry/test_package_dtm").string();
            setenv("HARTDTM_REGISTRY", own.c_str(), 1);
        }
        for (const auto& module :
             {kBinary / "packages/QadGenericDTM/QadGenericDTM.so",
              kBinary / "packages/VarnholtLenmorHARTDTM/VarnholtLenmorHARTDTM.so"})
            ASSERT_EQ(com::registerServer(module), S_OK)
                << module << ": " << com::lastActivationError();
    }

    void SetUp() override {
        hartdtm::loop::EventLoop* loop = &session_.loop();
        frame::BackendOpen open = frame::openBackend("sim:level", kSource / "devices",
                                                     [loop] { return loop->now().count(); });
        ASSERT_TRUE(open) << open.error;
        line_ = std::move(open.backend);

        IFdtContainer* container = nullptr;
        ASSERT_EQ(com::ComInstance<frame::FrameHost>::create(nullptr, IFdtContainer::iid,
                                                             reinterpret_cast<void**>(&container),
                                                             kSource / "devices/schemas"),
                  S_OK);
        container_ = com::ComPtr<IFdtContainer>::attach(container);
        host_ = static_cast<frame::FrameHost*>(container);
        frame::setErrorBoxLog(&host_->events());

        IFdtCommunication* communication = nullptr;
        ASSERT_EQ(com::ComInstance<frame::FrameCommunication>::create(
                      nullptr, IFdtCommunication::iid, reinterpret_cast<void**>(&communication),
                      *line_, frame::CommunicationSettings{}),
                  S_OK);
        communication_ = com::ComPtr<IFdtCommunication>::attach(communication);
        communicationImpl_ = static_cast<frame::FrameCommunication*>(communication);

        const com::Bstr progId = text(kProgId);
        ASSERT_EQ(CLSIDFromProgID(progId.get(), &clsid_), S_OK) << com::lastActivationError();
        ASSERT_EQ(
            CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, IDtm::iid, dtm_.putVoid()),
            S_OK)
            << com::lastActivationError();
        priv_ = dtm_.as<IQadGenericDTMObject>();
        ASSERT_TRUE(priv_);
    }

    void TearDown() override {
        if (dtm_) {
            VARIANT_BOOL ok = VARIANT_FALSE;
            if (connected_) disconnect();
            dtm_->PrepareToRelease(&ok);
            settle();
        }
        priv_.reset();
        dtm_.reset();
        if (communicationImpl_) communicationImpl_->shutdown();
        communication_.reset();
        frame::setErrorBoxLog(nullptr);
        container_.reset();
    }

    // Environment, InitNew, Config and SetCommunication, then the frame's
    // upload of the whole device, which connects: the DTM is online.
    void bringOnline() {
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_EQ(dtm_->Environment(text("LT-1").get(), container_.get(), &ok), S_OK);
        ASSERT_EQ(ok, VARIANT_TRUE);
        ASSERT_EQ(dtm_->InitNew(nullptr, &ok), S_OK);
        ASSERT_EQ(ok, VARIANT_TRUE);
        const std::string maintenance =
            "<FDT xmlns=\"x-schema:FDTUserInformationSchema.xml\" "
            "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"><FDTUserInformation "
            "userLevel=\"maintenance\"/></FDT>";
        ASSERT_EQ(dtm_->Config(text(maintenance).get(), &ok), S_OK);
        ASSERT_EQ(ok, VARIANT_TRUE);
        ASSERT_EQ(dtm_->SetCommunication(communication_.get(), &ok), S_OK);
        ASSERT_EQ(ok, VARIANT_TRUE);
        connected_ = true;
        const std::size_t mark = host_->events().size();
        ASSERT_EQ(
            dtm_.as<IDtmOnlineParameter>()->UploadRequest(text("upload-1").get(), nullptr, &ok),
            S_OK);
        ASSERT_EQ(ok, VARIANT_TRUE);
        ASSERT_TRUE(session_.runUntil(
            [&] { return host_->events().find("upload-finished", "upload-1", mark) != nullptr; },
            60s));
        EXPECT_EQ(host_->events().find("upload-finished", "upload-1", mark)->fields.at(1), "TRUE");
        settle();
    }

    void disconnect() {
        VARIANT_BOOL ok = VARIANT_FALSE;
        dtm_->PrepareToReleaseCommunication(&ok);
        settle();
        EXPECT_EQ(dtm_->ReleaseCommunication(&ok), S_OK);
        connected_ = false;
        settle();
    }

    void settle() { EXPECT_TRUE(session_.settle(120s)) << "deferred work did not end"; }

    std::string value(std::int32_t parameter) {
        com::Bstr out;
        EXPECT_EQ(priv_->GetValue(id(parameter), out.out()), S_OK);
        return out.utf8();
    }
    void setValue(std::int32_t parameter, std::string_view textValue) {
        com::Bstr in = text(textValue);
        BSTR raw = in.get();
        EXPECT_EQ(priv_->SetValue(id(parameter), &raw), S_OK);
        settle();
    }
    bool valid(std::int32_t parameter) {
        VARIANT_BOOL flag = VARIANT_FALSE;
        EXPECT_EQ(priv_->IsValid(id(parameter), &flag), S_OK);
        return flag != VARIANT_FALSE;
    }

    frame::SessionLoop session_{frame::SessionLoop::Clock::Virtual};
    std::unique_ptr<frame::HartBackend> line_;
    com::ComPtr<IFdtContainer> container_;
    frame::FrameHost* host_ = nullptr;
    com::ComPtr<IFdtCommunication> communication_;
    frame::FrameCommunication* communicationImpl_ = nullptr;
    CLSID clsid_{};
    com::ComPtr<IDtm> dtm_;
    com::ComPtr<IQadGenericDTMObject> priv_;
    bool connected_ = false;
};

// Created by its ProgID, bound to the package beside it, uploaded from the
// simulated device; the panels' user parameters are valid exactly while
// the device is online.
TEST_F(LevelPackageDtm, UserParametersFollowTheOnlineState) {
    bringOnline();
    EXPECT_EQ(value(1122622930), "LT-101") << "the simulated device's tag, uploaded";
    EXPECT_EQ(value(1000500), "SensorTest_Idle");
    EXPECT_EQ(value(1000501), "AutoTune_Idle");
    EXPECT_EQ(value(1000300), "0");
    for (std::int32_t parameter : kUserParameters) EXPECT_TRUE(valid(parameter)) << parameter;

    disconnect();
    for (std::int32_t parameter : kUserParameters) EXPECT_FALSE(valid(parameter)) << parameter;
    // Switching a cyclic reading on offline is kept for the next connection.
    setValue(1000301, "1");
    EXPECT_EQ(value(1000301), "1");
}

// The header's ApplyMode button only sets 1000100; the DTM writes the mode
// to set with command 161 and sets the request back.
TEST_F(LevelPackageDtm, ModeRequestWritesTheModeToSet) {
    bringOnline();
    ASSERT_EQ(value(kActiveMode), "0");
    setValue(kModeToSet, "1");
    setValue(kModeRequest, "1");
    EXPECT_EQ(value(kModeRequest), "0");
    EXPECT_EQ(value(kActiveMode), "1") << "the device answered command 161 with its new mode";
}

// The diagnostic panel's SensorTest and AutoTune buttons send commands 173
// and 174; their status texts then name the result the device replied.
TEST_F(LevelPackageDtm, StatusTextsFollowTheTestResults) {
    bringOnline();
    simulator::LevelBehaviour* device =
        static_cast<frame::SimulatorBackend&>(*line_).package().level();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(value(1000500), "SensorTest_Idle");
    struct Case {
        const char* script;
        bool fails;
        std::int32_t status;
        const char* expected;
    };
    for (const Case& c : {Case{"download[173]", false, 1000500, "SensorTest_Passed"},
                          Case{"download[173]", true, 1000500, "SensorTest_Failed"},
                          Case{"download[174]", true, 1000501, "AutoTune_Failed"},
                          Case{"download[174]", false, 1000501, "AutoTune_Done"}}) {
        device->setSensorTestFails(c.fails);
        device->setFilterAutotuneFails(c.fails);
        com::Bstr action = text(c.script);
        BSTR raw = action.get();
        ASSERT_EQ(priv_->DoAction(&raw, nullptr), S_OK);
        settle();
        EXPECT_EQ(value(c.status), c.expected) << c.script << (c.fails ? " failing" : " passing");
    }
}

TEST_F(LevelPackageDtm, OuterDtmAnswers) {
    const auto outer = dtm_.as<IOuterDTM>();
    ASSERT_TRUE(outer);
    com::Bstr list = text("old");
    EXPECT_EQ(outer->GetUpDownloadList(VARIANT_FALSE, list.out()), S_OK);
    EXPECT_EQ(
        list.utf8(),
        "upload[0, 12, 13, 15, 16, 134, 136, 138, 140, 152, 160, 184, 186, 188, 200, 202, 204]");
    EXPECT_EQ(outer->GetUpDownloadList(VARIANT_TRUE, list.out()), S_OK);
    EXPECT_EQ(list.utf8(),
              "download[18, 17, 19, 44, 35, 34, 135, 137, 139, 141, 185, 187, 189, 201, 203, 205]");
    EXPECT_EQ(outer->GetUpDownloadList(VARIANT_TRUE, nullptr), E_POINTER);

    CLSID reported{};
    EXPECT_EQ(dtm_.as<IPersistPropertyBag>()->GetClassID(&reported), S_OK);
    EXPECT_EQ(reported, clsid_);

    // Not aggregatable itself.
    IUnknown* inner = nullptr;
    EXPECT_EQ(CoCreateInstance(clsid_, dtm_.get(), CLSCTX_INPROC_SERVER, IUnknown::iid,
                               reinterpret_cast<void**>(&inner)),
              CLASS_E_NOAGGREGATION);
}

}  // namespace
