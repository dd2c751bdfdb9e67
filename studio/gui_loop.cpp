#include "studio/gui_loop.h"

#include <QApplication>
#include <QThread>

#include "platform/loop/real_time_loop.h"

namespace studio {
namespace {

constexpr int kPumpMs = 10;
int commandDepth = 0;  // >0 while a frame command waits inside the real-time loop

}  // namespace

GuiLoop::GuiLoop(frame::SessionLoop& loop) : loop_(loop) {
    if (auto* realTime = dynamic_cast<hartdtm::loop::RealTimeLoop*>(&loop_.loop())) {
        realTime->setIdleWait([realTime](hartdtm::loop::Milliseconds wait) {
            const auto deadline = realTime->now() + wait;
            ++commandDepth;
            do {
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                const auto left = deadline - realTime->now();
                if (left.count() > 0)
                    QThread::msleep(static_cast<unsigned long>(std::min<long>(left.count(), 5)));
            } while (realTime->now() < deadline);
            --commandDepth;
        });
    }
    connect(&timer_, &QTimer::timeout, this, &GuiLoop::dispatch);
    timer_.start(kPumpMs);
}

GuiLoop::~GuiLoop() {
    timer_.stop();
    if (auto* realTime = dynamic_cast<hartdtm::loop::RealTimeLoop*>(&loop_.loop()))
        realTime->setIdleWait({});
}

void GuiLoop::dispatch() {
    if (commandDepth > 0 || QApplication::activeModalWidget()) return;
    auto* driven = dynamic_cast<hartdtm::loop::DrivenLoop*>(&loop_.loop());
    if (!driven) return;
    const auto due = driven->nextDueTime();
    if (due && *due <= driven->now()) driven->dispatchDue();
}

}  // namespace studio
