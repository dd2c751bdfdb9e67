#pragma once
// CZorBasicDTMView: the view control the frame opens for a user-interface
// function of the DTM. Init reads the function id, builds the view kind's
// panels from the tables, and keeps the shown values fresh by handing one
// cyclic upload script at a time to the engine while the device is online.
// PrepareToRelease (or closing the window) tears everything down.

#include <QPointer>
#include <QWidget>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "idl/dtm_view_hosting.h"
#include "idl/fdt_dtm.h"
#include "idl/qad_generic_dtm.h"
#include "idl/zor_dtm_view.h"
#include "platform/com/no_late_binding.h"
#include "platform/com/object.h"
#include "platform/loop/timer_host.h"
#include "views/control/view_kinds.h"
#include "views/panels/panel_builder.h"

namespace views::control {

class ViewWindow;

class CZorBasicDTMView
    : public com::ComObjectRoot,
      public com::NoLateBinding<IZorBasicDTMView, IDtmActiveXControl, IObserver>,
      public IDtmViewHosting {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<CZorBasicDTMView, IZorBasicDTMView>(),
            com::entryAs<CZorBasicDTMView, IZorBasicDTMView>(IDispatch::iid),
            com::entry<CZorBasicDTMView, IDtmActiveXControl>(),
            com::entry<CZorBasicDTMView, IObserver>(),
            com::entry<CZorBasicDTMView, IDtmViewHosting>(),
        };
        return table;
    }

    // The timer ids of the control.
    static constexpr hartdtm::loop::TimerId kCloseTimer = 0;
    static constexpr hartdtm::loop::TimerId kCycleTimer = 1;
    static constexpr hartdtm::loop::TimerId kOnlineTimer = 2;

    // IDtmActiveXControl
    HRESULT Init(BSTR invokeId, BSTR functionCall, IDtm* dtm, VARIANT_BOOL* result) override;
    HRESULT PrepareToRelease(VARIANT_BOOL* result) override;
    // IObserver: the control observes no parameter (E_NOTIMPL); Finished
    // re-arms the cycle 500 ms later in the four uploading views.
    HRESULT Changed(VARIANT para_id) override { return E_NOTIMPL; }
    HRESULT Finished(VARIANT para_id) override;
    HRESULT GetOwnerID(LONG* owner_id) override;
    // IDtmViewHosting
    HRESULT GetWidget(void** widget) override;

    // --- for the window and for tests ---
    // The window was asked to close: the teardown follows 100 ms later.
    void closeRequested();
    // Lays the content out for the window's new client size.
    void layoutView();
    std::int32_t functionId() const { return functionId_; }
    bool fullUpload() const { return fullUpload_; }
    bool uploadRunning() const { return uploadRunning_; }
    const std::string& bitmapDirectory() const { return bitmapDirectory_; }
    elements::MenuTree* menuTree() const { return menuView_.tree; }
    elements::CZorViewingElement* singlePanel() const { return singleView_.panel; }
    // The panel slot the tree shows now (None when it shows another panel).
    panels::PanelSlot shownSlot() const;
    bool timerArmed(hartdtm::loop::TimerId id) const { return timers_ && timers_->isArmed(id); }
    // The content size of the view kind; 0 × 0 before a view was built.
    QSize contentSize() const { return QSize(contentWidth_, contentHeight_); }

protected:
    CZorBasicDTMView();
    ~CZorBasicDTMView() override;
    void finalRelease() override;

private:
    bool buildView();
    void teardown();
    void onlineTimerFired();
    void cycleTimerFired();
    IDispatch* ownObserver() { return static_cast<IObserver*>(this); }
    views::EngineCalls engine() const { return views::EngineCalls(engine_.get()); }

    com::ComPtr<IQadGenericDTMObject> engine_;
    std::string invokeId_;
    panels::BuiltSingleView singleView_;
    panels::BuiltMenuView menuView_;
    std::int32_t functionId_ = 0;
    bool fullUpload_ = false;
    bool uploadRunning_ = false;
    std::unique_ptr<hartdtm::loop::TimerHost> timers_;
    std::string bitmapDirectory_;
    int contentWidth_ = 0;
    int contentHeight_ = 0;
    std::shared_ptr<elements::ViewContext> context_;
    QPointer<ViewWindow> window_;
    LONG ownerId_;
};

}  // namespace views::control
