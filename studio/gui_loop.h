#pragma once
// Runs the frame's apartment loop inside a Qt program. Between the studio's
// commands a Qt timer dispatches the DTMs' due work (view cycles, channel
// timers); while a command waits for its work, the real-time loop lets Qt
// paint and run its timers (progress bar, event log) but holds the user's
// input back until the command has ended. Nothing is dispatched while a
// modal dialog is open, so a DTM is never re-entered from its own message box.
// The descriptors the real lines register (serial port, HART-IP socket) are
// watched with socket notifiers, since Qt, not poll(2), does the waiting here.

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <map>
#include <memory>

#include "frame/session_loop.h"

namespace studio {

class GuiLoop : public QObject {
public:
    explicit GuiLoop(frame::SessionLoop& loop);
    ~GuiLoop() override;

private:
    using Notifiers = std::map<int, std::unique_ptr<QSocketNotifier>>;

    void dispatch();
    // Follows the line's watches: a notifier per descriptor and event.
    void syncNotifiers();
    void syncNotifiers(Notifiers& notifiers, const std::map<int, short>& watched, short event,
                       QSocketNotifier::Type type);
    void descriptorReady(QSocketNotifier* notifier);

    frame::SessionLoop& loop_;
    QTimer timer_;
    Notifiers readers_;
    Notifiers writers_;
    bool lineActivity_ = false;  // a descriptor's handler ran during a command's wait
};

}  // namespace studio
