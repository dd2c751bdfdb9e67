#include "tests/views/support/view_test_support.h"

#include <cstdlib>

#include "views/elements/display_elements.h"

namespace views_test {

QApplication& application() {
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "view_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

bool hasSeveralColours(const QImage& image) {
    if (image.isNull()) return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first) return true;
        }
    }
    return false;
}

namespace {

std::int64_t clockSeconds(const views::elements::ViewContext& context) {
    const auto* loop = hartdtm::loop::currentLoop();
    return context.wallClockAtStart + (loop ? loop->now().count() : 0) / 1000;
}

}  // namespace

ElementBench::ElementBench() {
    application();
    engineRef_ = FakeEngine::make(&engine_);
    context_ = std::make_shared<views::elements::ViewContext>();
    context_->engine = engineRef_;
    context_->secondsNow = &clockSeconds;
    context_->wallClockAtStart = 1700000000;
    window_ = std::make_unique<QWidget>();
    window_->resize(400, 300);
    panel_ = views::elements::CZorViewingElement::make<views::elements::Panel>(
        nullptr, window_.get(), {0, 0, 400, 300}, views::panels::kStretch, context_, &panelRef_);
    static_cast<views::elements::Panel*>(panel_)->create(false);
}

ElementBench::~ElementBench() {
    panel_->destroy();
    panelRef_.reset();
}

}  // namespace views_test

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig keeps its caches until the process ends; they are not ours.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif
