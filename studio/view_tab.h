#pragma once
// A tab holding one DTM view: the view control is created by the ProgID the
// DTM names for the function, initialised with the function call and the DTM,
// and its widget (from the view-hosting interface) placed in the tab. The
// control is released (PrepareToRelease, which tells the DTM that the
// application closed) before the tab goes.

#include <QWidget>
#include <string>

#include "platform/com/comptr.h"

struct IDtmActiveXControl;

namespace studio {

class DeviceSession;

class ViewTab : public QWidget {
public:
    // Null, with `error` set, when the DTM names no view or the view fails.
    static ViewTab* open(DeviceSession& device, long functionId, const std::string& invokeId,
                         QString& error);
    ~ViewTab() override;

    const std::string& tag() const { return tag_; }
    const std::string& invokeId() const { return invokeId_; }
    long functionId() const { return functionId_; }
    // PrepareToRelease of the control; the tab is empty afterwards.
    void release();

private:
    ViewTab(std::string tag, std::string invokeId, long functionId);

    std::string tag_;
    std::string invokeId_;
    long functionId_ = 0;
    com::ComPtr<IDtmActiveXControl> control_;
};

}  // namespace studio
