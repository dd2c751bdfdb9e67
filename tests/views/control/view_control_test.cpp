// The view control: Init, the view kinds, the cyclic upload on the virtual
// clock, the teardown and the rendering, against the fake engine.

#include <gtest/gtest.h>

#include <QScrollArea>
#include <QScrollBar>

#include "platform/com/bstr.h"
#include "tests/views/support/view_test_support.h"
#include "views/control/view_kinds.h"
#include "views/control/zor_basic_dtm_view.h"

namespace {

using namespace std::chrono_literals;
using views::control::CZorBasicDTMView;
using views::control::ViewKind;
using views::panels::PanelSlot;
using views_test::FakeEngine;

// A DTM without the engine's private interface.
class ForeignDtm : public com::ComObjectRoot, public com::NoLateBinding<IDtm> {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {com::entry<ForeignDtm, IDtm>()};
        return table;
    }
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
};

class ViewControl : public testing::Test {
protected:
    ViewControl() {
        views_test::application();
        engineRef_ = FakeEngine::make(&engine_);
        control_ = com::ComInstance<CZorBasicDTMView>::make<IDtmActiveXControl>();
    }
    ~ViewControl() override {
        VARIANT_BOOL ignored;
        if (control_) control_->PrepareToRelease(&ignored);
    }

    CZorBasicDTMView& view() { return *static_cast<CZorBasicDTMView*>(control_.get()); }
    VARIANT_BOOL init(const std::string& call, IDtm* dtm) {
        VARIANT_BOOL result = VARIANT_TRUE;
        EXPECT_EQ(control_->Init(com::Bstr::fromUtf8("invoke-1").get(), com::Bstr::fromUtf8(call).get(),
                                 dtm, &result),
                  S_OK);
        return result;
    }
    VARIANT_BOOL init(std::int32_t functionId) {
        return init(views_test::functionCall(functionId), engineRef_.as<IDtm>().get());
    }
    std::vector<std::string>& actions() { return engine_->actions; }

    hartdtm::loop::VirtualClockLoop clock_;
    hartdtm::loop::CurrentLoopScope scope_{clock_};
    FakeEngine* engine_ = nullptr;
    com::ComPtr<IQadGenericDTMObject> engineRef_;
    com::ComPtr<IDtmActiveXControl> control_;
};

TEST(UploadScript, EveryViewKindAsItsTableGivesIt) {
    struct Case {
        ViewKind kind;
        bool full;
        PanelSlot shown;
        const char* script;
    };
    const Case cases[] = {
        {ViewKind::PositionerMeasurement, true, PanelSlot::None, "upload[0, 12, 13, 16, 3, 200, 154]"},
        {ViewKind::PositionerMeasurement, false, PanelSlot::None, "upload[3, 154]"},
        {ViewKind::LevelMeasurement, true, PanelSlot::None, "upload[0, 12, 13, 16, 160, 138, 152, 170, 204, 3]"},
        {ViewKind::LevelMeasurement, false, PanelSlot::None, "upload[3]"},
        {ViewKind::Address, true, PanelSlot::None, ""},
        {ViewKind::PositionerMenu, true, PanelSlot::Root, "upload[0, 12, 13, 16, 200, 192, 191, 249,3, 154]"},
        {ViewKind::PositionerMenu, false, PanelSlot::None, "upload[249,]"},
        {ViewKind::PositionerMenu, false, PanelSlot::CalibPressure, "upload[249,201]"},
        {ViewKind::PositionerMenu, false, PanelSlot::SensorMeasurements, "upload[249,3,201,141,142,207]"},
        {ViewKind::PositionerMenu, false, PanelSlot::Commissioning, "upload[249,3, 154,201]"},
        {ViewKind::PositionerMenu, false, PanelSlot::ManualSetpoint, "upload[249,3]"},
        {ViewKind::LevelMenu, true, PanelSlot::CtrlMonitor, "upload[0, 12, 13, 16, 160, 138, 152, 170, 204,3, 186]"},
        {ViewKind::LevelMenu, false, PanelSlot::LevelFaults, "upload[160,148, 155]"},
        {ViewKind::LevelMenu, false, PanelSlot::Diagnostic, "upload[160,150, 152]"},
        {ViewKind::LevelMenu, false, PanelSlot::CalTools, "upload[160,2]"},
    };
    const auto values = [](std::int32_t id) { return std::string(id == 1000300 ? "1" : "0"); };
    for (const Case& c : cases) {
        EXPECT_EQ(views::control::uploadScript(c.kind, c.full, c.shown, values), c.script)
            << static_cast<int>(c.shown);
    }
}

TEST(FunctionCall, FunctionIdReadThroughTheFunctionsPrefix) {
    using views::control::functionIdOf;
    EXPECT_EQ(functionIdOf(views_test::functionCall(101)), 101);
    EXPECT_EQ(functionIdOf("<FDT xmlns:f=\"x-schema:DTMFunctionsSchema.xml\"><C f:functionId=\"2x\"/></FDT>"), 2);
    EXPECT_EQ(functionIdOf("<FDT xmlns:f=\"x-schema:DTMFunctionsSchema.xml\"><C f:functionId=\"x\"/></FDT>"), 0);
    EXPECT_FALSE(functionIdOf("<FDT><C functionId=\"2\"/></FDT>").has_value());  // other namespace
    EXPECT_FALSE(functionIdOf("<FDT").has_value());
}

TEST_F(ViewControl, InitRefusesWhatItCannotBuild) {
    EXPECT_EQ(control_->Init(nullptr, nullptr, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(init(views_test::functionCall(2), nullptr), VARIANT_FALSE);
    auto foreign = com::ComInstance<ForeignDtm>::make<IDtm>();
    EXPECT_EQ(init(views_test::functionCall(2), foreign.get()), VARIANT_FALSE);
    EXPECT_EQ(init("<FDT", engineRef_.as<IDtm>().get()), VARIANT_FALSE);
    EXPECT_EQ(init("<FDT/>", engineRef_.as<IDtm>().get()), VARIANT_FALSE);
    EXPECT_EQ(init(7), VARIANT_FALSE);
    EXPECT_EQ(view().functionId(), 7);
    clock_.advance(2000ms);
    EXPECT_FALSE(view().timerArmed(CZorBasicDTMView::kOnlineTimer));
    VARIANT_BOOL released = VARIANT_FALSE;
    EXPECT_EQ(control_->PrepareToRelease(&released), S_OK);
    EXPECT_TRUE(engine_->applicationCalls.empty());  // never opened, never closed
}

TEST_F(ViewControl, SecondInitChangesNothing) {
    ASSERT_EQ(init(2), VARIANT_TRUE);
    EXPECT_EQ(init(1000), VARIANT_FALSE);
    EXPECT_EQ(view().functionId(), 2);
    EXPECT_EQ(engine_->applicationCalls, std::vector<std::string>{"opened invoke-1 2"});
    EXPECT_EQ(view().contentSize(), QSize(670, 730));
    EXPECT_EQ(view().bitmapDirectory(), "");  // the positioner's module is not loaded here
}

TEST_F(ViewControl, MeasurementCycleFullHeadThenShortAndAgainAfterOffline) {
    ASSERT_EQ(init(2), VARIANT_TRUE);
    clock_.advance(1000ms);
    EXPECT_TRUE(actions().empty());  // offline: nothing sent
    engine_->online = true;
    clock_.advance(500ms + 50ms);
    ASSERT_EQ(actions(), std::vector<std::string>{"upload[0, 12, 13, 16, 3, 200, 154]"});
    clock_.advance(2000ms);
    EXPECT_EQ(actions().size(), 1u);  // one at a time: waits for Finished
    engine_->finishLastAction();
    clock_.advance(499ms);
    EXPECT_EQ(actions().size(), 1u);
    clock_.advance(1ms);
    ASSERT_EQ(actions().size(), 2u);
    EXPECT_EQ(actions()[1], "upload[3, 154]");
    engine_->online = false;
    clock_.advance(500ms);
    EXPECT_FALSE(view().uploadRunning());
    engine_->online = true;
    clock_.advance(550ms);
    ASSERT_EQ(actions().size(), 3u);
    EXPECT_EQ(actions()[2], "upload[0, 12, 13, 16, 3, 200, 154]");
}

TEST_F(ViewControl, MenuViewAddsTheShownPanelsCommands) {
    ASSERT_EQ(init(1), VARIANT_TRUE);
    ASSERT_NE(view().menuTree(), nullptr);
    EXPECT_EQ(view().shownSlot(), PanelSlot::Root);
    engine_->online = true;
    clock_.advance(550ms);
    ASSERT_EQ(actions(), std::vector<std::string>{"upload[0, 12, 13, 16, 200, 192, 191, 249,3, 154]"});
    engine_->finishLastAction();
    clock_.advance(500ms);
    ASSERT_EQ(actions().size(), 2u);
    EXPECT_EQ(actions()[1], "upload[249,3, 154]");
}

TEST_F(ViewControl, AddressViewNeverUploadsButKeepsCycling) {
    ASSERT_EQ(init(1000), VARIANT_TRUE);
    engine_->online = true;
    clock_.advance(3000ms);
    EXPECT_TRUE(actions().empty());
    EXPECT_TRUE(view().timerArmed(CZorBasicDTMView::kCycleTimer));
}

TEST_F(ViewControl, TeardownTwiceClosesTheApplicationOnce) {
    ASSERT_EQ(init(2), VARIANT_TRUE);
    EXPECT_GT(engine_->observerCount(), 0u);
    view().closeRequested();
    clock_.advance(99ms);
    EXPECT_EQ(engine_->applicationCalls.size(), 1u);
    clock_.advance(1ms);
    EXPECT_EQ(engine_->observerCount(), 0u);
    EXPECT_EQ(engine_->clearActionsCalls, 1);
    void* widget = &widget;
    EXPECT_EQ(view().GetWidget(&widget), S_OK);
    EXPECT_EQ(widget, nullptr);
    VARIANT_BOOL released = VARIANT_FALSE;
    EXPECT_EQ(control_->PrepareToRelease(nullptr), E_POINTER);
    EXPECT_EQ(control_->PrepareToRelease(&released), S_OK);
    EXPECT_EQ(released, VARIANT_TRUE);
    EXPECT_EQ(engine_->applicationCalls,
              (std::vector<std::string>{"opened invoke-1 2", "closed invoke-1 2"}));
    engine_->online = true;
    clock_.advance(2000ms);
    EXPECT_TRUE(actions().empty());
}

TEST_F(ViewControl, ScrollStepsAndARealRendering) {
    ASSERT_EQ(init(2), VARIANT_TRUE);
    void* raw = nullptr;
    ASSERT_EQ(view().GetWidget(&raw), S_OK);
    auto* window = static_cast<QScrollArea*>(static_cast<QWidget*>(raw));
    ASSERT_NE(window, nullptr);
    window->resize(300, 200);
    window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->horizontalScrollBar()->singleStep(), 6);
    EXPECT_EQ(window->horizontalScrollBar()->pageStep(), 67);
    EXPECT_EQ(window->verticalScrollBar()->pageStep(), 73);
    window->resize(900, 800);  // larger than the content: the panel grows
    QCoreApplication::processEvents();
    EXPECT_GE(view().singlePanel()->outerWidget()->width(), 880);
    EXPECT_TRUE(views_test::hasSeveralColours(window->grab().toImage()));
}

}  // namespace
