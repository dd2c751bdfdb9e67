#pragma once
// Runs the frame's apartment loop inside a Qt program. Between the studio's
// commands a Qt timer dispatches the DTMs' due work (view cycles, channel
// timers); while a command waits for its work, the real-time loop lets Qt
// paint and run its timers (progress bar, event log) but holds the user's
// input back until the command has ended. Nothing is dispatched while a
// modal dialog is open, so a DTM is never re-entered from its own message box.

#include <QObject>
#include <QTimer>

#include "frame/session_loop.h"

namespace studio {

class GuiLoop : public QObject {
public:
    explicit GuiLoop(frame::SessionLoop& loop);
    ~GuiLoop() override;

private:
    void dispatch();

    frame::SessionLoop& loop_;
    QTimer timer_;
};

}  // namespace studio
