#pragma once
// The positioner DTM's type library: the class that a frame creates for the
// valve positioner and its own (method-less) dual interface.

#include <span>

#include "idl/type_library.h"
#include "platform/com/interfaces.h"

// The positioner DTM's own interface. All FDT and private interfaces of the
// object are the aggregated engine's; this one has no methods of its own.
struct IBasicDTM : IDispatch {
    static constexpr IID iid = com::makeGuid("D578710D-B032-463F-9906-467851DFCEAE");

    static constexpr std::span<const idl::Method> dispatchMembers{};

protected:
    ~IBasicDTM() = default;
};

namespace idl::varnholt_ravik_dtm {

// The library's identity is its LIBID; name and version 1.0 are this module's
// own choice, and it carries no help string.
inline constexpr TypeLibraryInfo kTypeLibrary{"VarnholtRavikHARTDTMLib",
                                              com::makeGuid("EFD7846E-DA27-4E9E-992C-45710F9E63A4"),
                                              1,
                                              0,
                                              "",
                                              0x0409};

// Cannot be aggregated: creation with an outer object fails with
// CLASS_E_NOAGGREGATION.
inline constexpr CoclassInfo kBasicDTM{"BasicDTM",
                                       com::makeGuid("477DE2EB-8FED-4E0F-9266-44794DAF7E77"),
                                       "VarnholtRavikHARTDTM.BasicDTM.1",
                                       "VarnholtRavikHARTDTM.BasicDTM",
                                       "BasicDTM Class",
                                       "Apartment",
                                       true};

inline constexpr InterfaceInfo kInterfaces[] = {
    {"IBasicDTM", IBasicDTM::iid, dispatchTable<IBasicDTM>(), ""},
};

}  // namespace idl::varnholt_ravik_dtm

inline constexpr CLSID CLSID_BasicDTM = idl::varnholt_ravik_dtm::kBasicDTM.clsid;
inline constexpr GUID LIBID_VarnholtRavikHARTDTMLib = idl::varnholt_ravik_dtm::kTypeLibrary.libid;
