#include "studio/gui_loop.h"

#include <poll.h>

#include <QApplication>
#include <QThread>

#include "platform/loop/real_time_loop.h"

namespace studio {
namespace {

constexpr int kPumpMs = 10;
int commandDepth = 0;  // >0 while a frame command waits inside the real-time loop

// Outside a command's wait, an open modal dialog may be a DTM's own message
// box: the loop must not run into the DTM from there.
bool blocked() {
    return commandDepth == 0 && QApplication::activeModalWidget();
}

}  // namespace

GuiLoop::GuiLoop(frame::SessionLoop& loop) : loop_(loop) {
    if (auto* realTime = dynamic_cast<hartdtm::loop::RealTimeLoop*>(&loop_.loop())) {
        realTime->setIdleWait([this, realTime](hartdtm::loop::Milliseconds wait) {
            const auto deadline = realTime->now() + wait;
            ++commandDepth;
            lineActivity_ = false;
            do {
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                const auto left = deadline - realTime->now();
                if (left.count() > 0)
                    QThread::msleep(static_cast<unsigned long>(std::min<long>(left.count(), 5)));
                // A line's handler may have ended what the command waits for.
            } while (realTime->now() < deadline && !lineActivity_);
            --commandDepth;
        });
    }
    if (frame::DescriptorWatch* descriptors = loop_.descriptors())
        descriptors->setChangeListener([this] { syncNotifiers(); });
    connect(&timer_, &QTimer::timeout, this, &GuiLoop::dispatch);
    timer_.start(kPumpMs);
}

GuiLoop::~GuiLoop() {
    timer_.stop();
    if (frame::DescriptorWatch* descriptors = loop_.descriptors())
        descriptors->setChangeListener({});
    if (auto* realTime = dynamic_cast<hartdtm::loop::RealTimeLoop*>(&loop_.loop()))
        realTime->setIdleWait({});
}

void GuiLoop::dispatch() {
    if (commandDepth > 0 || QApplication::activeModalWidget()) return;
    if (frame::DescriptorWatch* descriptors = loop_.descriptors()) {
        syncNotifiers();  // re-enables the notifiers a modal dialog held back
        descriptors->wait(std::chrono::milliseconds{0});  // and runs due housekeeping
    }
    auto* driven = dynamic_cast<hartdtm::loop::DrivenLoop*>(&loop_.loop());
    if (!driven) return;
    const auto due = driven->nextDueTime();
    if (due && *due <= driven->now()) driven->dispatchDue();
}

void GuiLoop::syncNotifiers() {
    const frame::DescriptorWatch* descriptors = loop_.descriptors();
    if (!descriptors) return;
    const std::map<int, short> watched = descriptors->watched();
    syncNotifiers(readers_, watched, POLLIN, QSocketNotifier::Read);
    syncNotifiers(writers_, watched, POLLOUT, QSocketNotifier::Write);
}

void GuiLoop::syncNotifiers(Notifiers& notifiers, const std::map<int, short>& watched, short event,
                            QSocketNotifier::Type type) {
    for (auto it = notifiers.begin(); it != notifiers.end();) {
        const auto watch = watched.find(it->first);
        if (watch != watched.end() && (watch->second & event)) {
            it->second->setEnabled(true);
            ++it;
            continue;
        }
        // The change may come from this notifier's own handler: delete it later.
        it->second->setEnabled(false);
        it->second.release()->deleteLater();
        it = notifiers.erase(it);
    }
    for (const auto& [fd, events] : watched) {
        if (!(events & event) || notifiers.count(fd)) continue;
        auto notifier = std::make_unique<QSocketNotifier>(fd, type);
        QSocketNotifier* raw = notifier.get();
        connect(raw, &QSocketNotifier::activated, this, [this, raw] { descriptorReady(raw); });
        notifiers[fd] = std::move(notifier);
    }
}

void GuiLoop::descriptorReady(QSocketNotifier* notifier) {
    if (blocked()) {
        notifier->setEnabled(false);  // dispatch() enables it again
        return;
    }
    // poll(2) with no timeout tells the exact events (hang-up, error too) and
    // runs the line's handlers, as the frame's own loop does.
    if (frame::DescriptorWatch* descriptors = loop_.descriptors()) {
        descriptors->wait(std::chrono::milliseconds{0});
        lineActivity_ = true;
    }
}

}  // namespace studio
