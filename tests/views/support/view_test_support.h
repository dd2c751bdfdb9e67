#pragma once
// What the view tests share: the process's one QApplication on the offscreen
// platform, a virtual clock made current, and small element helpers.

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <memory>

#include "platform/loop/virtual_clock_loop.h"
#include "tests/views/support/fake_engine.h"
#include "views/elements/viewing_element.h"

namespace views_test {

// Creates the QApplication on first use (QT_QPA_PLATFORM=offscreen).
QApplication& application();

// Whether an image holds more than one colour.
bool hasSeveralColours(const QImage& image);

// A parent window with a fake engine and a view context for element tests;
// the virtual clock is current while it lives.
class ElementBench {
public:
    ElementBench();
    ~ElementBench();

    FakeEngine& engine() { return *engine_; }
    QWidget& window() { return *window_; }
    const std::shared_ptr<views::elements::ViewContext>& context() { return context_; }
    hartdtm::loop::VirtualClockLoop& clock() { return clock_; }
    // A top panel at (0, 0, 400, 300) in the window; its elements' parent.
    views::elements::CZorViewingElement& panel() { return *panel_; }

    template <class E>
    E* make(const views::panels::Rect& rect, const views::panels::Anchor& anchor = views::panels::kFixed) {
        return views::elements::CZorViewingElement::make<E>(panel_, panel_->childHost(), rect, anchor,
                                                            context_);
    }

private:
    hartdtm::loop::VirtualClockLoop clock_;
    hartdtm::loop::CurrentLoopScope scope_{clock_};
    FakeEngine* engine_ = nullptr;
    com::ComPtr<IQadGenericDTMObject> engineRef_;
    std::shared_ptr<views::elements::ViewContext> context_;
    std::unique_ptr<QWidget> window_;
    views::elements::CZorViewingElement* panel_ = nullptr;
    com::ComPtr<IObserver> panelRef_;
};

}  // namespace views_test
