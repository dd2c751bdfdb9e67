#pragma once
// The view module's type library: the view control, the viewing-element base
// class and the library's further (not creatable) classes and interfaces.
// None of the library's own interfaces has a method beyond IDispatch; the
// control's behaviour is reached through IDtmActiveXControl and IObserver.

#include <span>

#include "idl/type_library.h"
#include "platform/com/interfaces.h"

// Declares a method-less interface of this library deriving from IDispatch.
#define ZOR_DTM_VIEW_INTERFACE(Name, Iid)                                \
    struct Name : IDispatch {                                            \
        static constexpr IID iid = com::makeGuid(Iid);                   \
        static constexpr std::span<const idl::Method> dispatchMembers{}; \
                                                                         \
    protected:                                                           \
        ~Name() = default;                                               \
    }

// Dual interface of the view control ZorBasicDTMView.
ZOR_DTM_VIEW_INTERFACE(IZorBasicDTMView, "79C19D3B-F092-4692-9FC2-D1F6F312A307");
// Dual interface of every viewing element.
ZOR_DTM_VIEW_INTERFACE(IZorViewingElement, "7BE8EAB1-77B2-4E85-AA5F-F2D27D96CE05");
// The library's remaining interfaces. Their identities are this module's own
// choice; nothing outside the module asks for them.
ZOR_DTM_VIEW_INTERFACE(IZorDTMBasicView, "8637149F-196A-4A67-8224-6E2A93552AD0");
ZOR_DTM_VIEW_INTERFACE(IZorProfibusTargetAdr, "23FD4ADD-720D-48DD-B381-87E6BD6D0C2E");
// Event interfaces; the control fires no events.
ZOR_DTM_VIEW_INTERFACE(_IZorBasicDTMViewEvents, "E15C0C42-C98A-4861-B6F2-AA9614BB3859");
ZOR_DTM_VIEW_INTERFACE(_IZorDTMBasicViewEvents, "CC2240C5-43DF-430D-B658-1BF9656BC75D");

#undef ZOR_DTM_VIEW_INTERFACE

namespace idl::zor_dtm_view {

// The library's name is this module's own choice; it carries no help string.
inline constexpr TypeLibraryInfo kTypeLibrary{
    "ZorDTMViewLib", com::makeGuid("A76E2B53-13C3-4CC4-95B4-608B58AEC6BC"), 1, 0, "", 0x0409};

inline constexpr CoclassInfo kZorBasicDTMView{"ZorBasicDTMView",
                                              com::makeGuid("1BE93C4E-4AFE-4488-9836-2C8551E97147"),
                                              "ZorDTMView.ZorBasicDTMView.7",
                                              "ZorDTMView.ZorBasicDTMView",
                                              "",
                                              "Apartment",
                                              true};

inline constexpr CoclassInfo kZorViewingElement{
    "ZorViewingElement",
    com::makeGuid("88E35BCB-04A0-45A2-9C07-2461A42DAE56"),
    "ZorDTMView.ZorViewingElement.4",
    "ZorDTMView.ZorViewingElement",
    "",
    "Apartment",
    true};

// Declared in the library, never registered and never created.
inline constexpr CoclassInfo kZorDTMBasicView{"ZorDTMBasicView",
                                              com::makeGuid("EE3809B6-CF2E-41BA-8551-BFFAF4D21FDB"),
                                              "",
                                              "",
                                              "",
                                              "",
                                              false};
inline constexpr CoclassInfo kZorProfibusTargetAdr{
    "ZorProfibusTargetAdr",
    com::makeGuid("8504E712-5E0E-4D70-A579-6CC32948F608"),
    "",
    "",
    "",
    "",
    false};

inline constexpr CoclassInfo kCoclasses[] = {kZorBasicDTMView, kZorViewingElement, kZorDTMBasicView,
                                             kZorProfibusTargetAdr};

inline constexpr InterfaceInfo kInterfaces[] = {
    {"IZorBasicDTMView", IZorBasicDTMView::iid, dispatchTable<IZorBasicDTMView>(), ""},
    {"IZorViewingElement", IZorViewingElement::iid, dispatchTable<IZorViewingElement>(), ""},
    {"IZorDTMBasicView", IZorDTMBasicView::iid, dispatchTable<IZorDTMBasicView>(), ""},
    {"IZorProfibusTargetAdr", IZorProfibusTargetAdr::iid, dispatchTable<IZorProfibusTargetAdr>(),
     ""},
    {"_IZorBasicDTMViewEvents", _IZorBasicDTMViewEvents::iid,
     dispatchTable<_IZorBasicDTMViewEvents>(), ""},
    {"_IZorDTMBasicViewEvents", _IZorDTMBasicViewEvents::iid,
     dispatchTable<_IZorDTMBasicViewEvents>(), ""},
};

}  // namespace idl::zor_dtm_view

inline constexpr CLSID CLSID_ZorBasicDTMView = idl::zor_dtm_view::kZorBasicDTMView.clsid;
inline constexpr CLSID CLSID_ZorViewingElement = idl::zor_dtm_view::kZorViewingElement.clsid;
inline constexpr CLSID CLSID_ZorDTMBasicView = idl::zor_dtm_view::kZorDTMBasicView.clsid;
inline constexpr CLSID CLSID_ZorProfibusTargetAdr = idl::zor_dtm_view::kZorProfibusTargetAdr.clsid;
inline constexpr GUID LIBID_ZorDTMViewLib = idl::zor_dtm_view::kTypeLibrary.libid;
