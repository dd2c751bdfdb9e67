#pragma once
// How a container hosts a view control: the stand-in for in-place activation.
// After a successful IDtmActiveXControl::Init the container asks the control
// for its top-level widget and puts it into a window of its own. Both sides
// share the process's one Qt and QApplication, which the container creates
// before it creates the control. The interface itself knows no Qt: the widget
// travels as an untyped pointer to a QWidget.
//
// A container that drives a view by the keys and ids of its panels (the
// frame's view commands) finds the widgets through the properties below.

#include "platform/com/interfaces.h"

struct IDtmViewHosting : IUnknown {
    static constexpr IID iid = com::makeGuid("6B0E4D1A-3C77-4E15-9A5B-2F8E61C4D0B3");

    // *widget := the control's top-level QWidget, or null before a successful
    // Init and after the teardown. The control owns the widget; the container
    // may reparent it and must not delete it. It lives until PrepareToRelease
    // (or the control's close), which deletes it also out of the container's
    // window. E_POINTER for a null widget pointer.
    virtual HRESULT GetWidget(void** widget) = 0;

protected:
    ~IDtmViewHosting() = default;
};

namespace idl::view_hosting {

// Widget properties set by the view's elements: the element's label key
// (caption keys of buttons, bitmap names, ...) as a string and its main
// parameter reference id as an int.
inline constexpr const char* kKeyProperty = "zorKey";
inline constexpr const char* kParamProperty = "zorParamId";
// The item data role (Qt::UserRole + 1) under which a menu tree item keeps
// its label key as a string.
inline constexpr int kTreeKeyRole = 0x0100 + 1;

}  // namespace idl::view_hosting
