#include "views/control/zor_basic_dtm_view.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QScrollArea>
#include <QScrollBar>
#include <atomic>

#include "platform/com/bstr.h"
#include "platform/com/module_path.h"

namespace views::control {

using namespace std::chrono_literals;

// The control's window: a scroll area over the view's content. Its resize
// lays the content out again; closing it starts the delayed teardown.
class ViewWindow final : public QScrollArea {
public:
    explicit ViewWindow(CZorBasicDTMView& control) : control_(&control) {
        content_ = new QWidget;
        content_->setAutoFillBackground(true);
        setWidget(content_);
        setWidgetResizable(false);
        setFrameShape(QFrame::NoFrame);
    }
    void detach() { control_ = nullptr; }
    QWidget* content() const { return content_; }

    // A line is content / 100 pixels, a page content / 10.
    void applySteps(int contentWidth, int contentHeight) {
        horizontalScrollBar()->setSingleStep(std::max(1, contentWidth / 100));
        horizontalScrollBar()->setPageStep(std::max(1, contentWidth / 10));
        verticalScrollBar()->setSingleStep(std::max(1, contentHeight / 100));
        verticalScrollBar()->setPageStep(std::max(1, contentHeight / 10));
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        if (control_) control_->layoutView();
    }
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (control_) control_->closeRequested();
    }

private:
    CZorBasicDTMView* control_;
    QWidget* content_;
};

namespace {

LONG nextOwnerId() {
    static std::atomic<LONG> next{0x5B000001};
    return next++;
}

std::int64_t viewSeconds(const elements::ViewContext& context) {
    const hartdtm::loop::EventLoop* loop = hartdtm::loop::currentLoop();
    const std::int64_t loopMs = loop ? loop->now().count() : 0;
    return context.wallClockAtStart + (loopMs - context.loopMsAtStart) / 1000;
}

}  // namespace

CZorBasicDTMView::CZorBasicDTMView() : ownerId_(nextOwnerId()) {}

CZorBasicDTMView::~CZorBasicDTMView() = default;

void CZorBasicDTMView::finalRelease() {
    // A frame that dropped the control without PrepareToRelease still gets
    // the engine's observers removed and the application closed.
    teardown();
}

HRESULT CZorBasicDTMView::Init(BSTR invokeId, BSTR functionCall, IDtm* dtm, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (functionId_ > 0) return S_OK;
    if (!dtm) return S_OK;
    com::ComPtr<IQadGenericDTMObject> engine;
    if (FAILED(dtm->QueryInterface(IQadGenericDTMObject::iid, engine.putVoid())) || !engine) return S_OK;
    engine_ = engine;
    invokeId_ = com::toUtf8(invokeId);
    const std::optional<std::int32_t> functionId = functionIdOf(com::toUtf8(functionCall));
    if (!functionId) {
        engine_.reset();  // nothing built: nothing to close later
        return S_OK;
    }
    functionId_ = *functionId;
    if (!buildView()) {
        engine_.reset();
        return S_OK;
    }
    layoutView();
    timers_->rearm(kOnlineTimer, 500ms, [this] { onlineTimerFired(); });
    *result = VARIANT_TRUE;
    return S_OK;
}

bool CZorBasicDTMView::buildView() {
    fullUpload_ = true;
    bitmapDirectory_ = com::directoryWithSeparator(com::findLoadedModule(deviceModuleName(functionId_)));
    const std::optional<ViewKindInfo> kind = viewKindOf(functionId_);
    if (!kind) return false;

    timers_ = std::make_unique<hartdtm::loop::TimerHost>();
    auto context = std::make_shared<elements::ViewContext>();
    context->engine = engine_;
    context->bitmapDirectory = bitmapDirectory_;
    context->secondsNow = &viewSeconds;
    context->wallClockAtStart = QDateTime::currentSecsSinceEpoch();
    if (const auto* loop = hartdtm::loop::currentLoop()) context->loopMsAtStart = loop->now().count();
    context_ = context;

    window_ = new ViewWindow(*this);
    window_->resize(kind->contentWidth, kind->contentHeight);
    QWidget* content = window_->content();
    content->resize(kind->contentWidth, kind->contentHeight);
    switch (kind->kind) {
        case ViewKind::PositionerMenu:
            menuView_ = panels::buildMenuView(content, panels::positionerMenuView(), context_);
            break;
        case ViewKind::PositionerMeasurement:
            singleView_ = panels::buildSingleView(content, panels::positionerMeasurementView(), context_);
            break;
        case ViewKind::LevelMenu:
            menuView_ = panels::buildMenuView(content, panels::levelMenuView(), context_);
            break;
        case ViewKind::LevelMeasurement:
            singleView_ = panels::buildSingleView(content, panels::levelMeasurementView(), context_);
            break;
        case ViewKind::Address:
            singleView_ = panels::buildSingleView(content, panels::addressView(), context_);
            break;
    }
    contentWidth_ = kind->contentWidth;
    contentHeight_ = kind->contentHeight;
    window_->applySteps(contentWidth_, contentHeight_);
    engine().applicationOpened(invokeId_, std::to_string(functionId_));
    window_->setFocus();
    return true;
}

void CZorBasicDTMView::layoutView() {
    if (!window_ || contentWidth_ == 0) return;
    const QSize client = window_->viewport()->size();
    const elements::Size size{std::max(client.width(), contentWidth_), std::max(client.height(), contentHeight_)};
    window_->content()->resize(size.width, size.height);
    window_->applySteps(contentWidth_, contentHeight_);
    if (singleView_.panel) singleView_.panel->resizeTo(size);
    if (menuView_.tree) menuView_.tree->resizeTo(size);
}

panels::PanelSlot CZorBasicDTMView::shownSlot() const {
    if (!menuView_.tree) return panels::PanelSlot::None;
    const elements::CZorViewingElement* shown = menuView_.tree->currentPanel();
    for (const panels::SlotPanel& slot : menuView_.slots) {
        if (slot.panel == shown) return slot.slot;
    }
    return panels::PanelSlot::None;
}

void CZorBasicDTMView::onlineTimerFired() {
    if (!engine_) return;
    const bool online = engine().isOnline();
    if (online && !uploadRunning_) {
        timers_->rearm(kCycleTimer, 50ms, [this] { cycleTimerFired(); });
    } else if (!online && uploadRunning_) {
        uploadRunning_ = false;
        fullUpload_ = true;
    }
    timers_->rearm(kOnlineTimer, 500ms, [this] { onlineTimerFired(); });
}

void CZorBasicDTMView::cycleTimerFired() {
    if (!engine_) return;
    if (!engine().isOnline()) return;  // the online poll starts the cycle again
    const std::optional<ViewKindInfo> kind = viewKindOf(functionId_);
    const std::string script =
        kind ? uploadScript(kind->kind, fullUpload_, shownSlot(),
                            [this](std::int32_t id) { return engine().value(id); })
             : std::string();
    fullUpload_ = false;
    if (!script.empty() && script.find("[]") == std::string::npos) {
        uploadRunning_ = true;
        engine().doAction(script, ownObserver());
    } else {
        timers_->rearm(kCycleTimer, 500ms, [this] { cycleTimerFired(); });
    }
}

HRESULT CZorBasicDTMView::Finished(VARIANT) {
    if (cyclesOnFinished(functionId_) && timers_ && engine_)
        timers_->rearm(kCycleTimer, 500ms, [this] { cycleTimerFired(); });
    return S_OK;
}

HRESULT CZorBasicDTMView::GetOwnerID(LONG* owner_id) {
    if (!owner_id) return E_POINTER;
    *owner_id = ownerId_;
    return S_OK;
}

HRESULT CZorBasicDTMView::GetWidget(void** widget) {
    if (!widget) return E_POINTER;
    *widget = static_cast<QWidget*>(window_.data());
    return S_OK;
}

void CZorBasicDTMView::closeRequested() {
    if (timers_) timers_->rearm(kCloseTimer, 100ms, [this] { teardown(); });
}

HRESULT CZorBasicDTMView::PrepareToRelease(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    teardown();
    *result = VARIANT_TRUE;
    return S_OK;
}

void CZorBasicDTMView::teardown() {
    if (timers_) timers_->cancelAll();
    if (engine_) engine().clearActions(ownObserver());
    for (elements::CZorViewingElement* top : {singleView_.panel, static_cast<elements::CZorViewingElement*>(menuView_.tree)}) {
        if (top) top->destroy();
    }
    singleView_ = {};
    menuView_ = {};
    if (window_) {
        window_->detach();
        delete window_.data();
    }
    if (engine_) {
        engine().applicationClosed(invokeId_, std::to_string(functionId_));
        engine_.reset();
    }
    context_.reset();
}

}  // namespace views::control
