// The ZorDTMView module: the view control, the bare viewing element and the
// four entry points. The type library's other classes are not creatable:
// DllGetClassObject answers CLASS_E_CLASSNOTAVAILABLE for them.

#include "idl/zor_dtm_view.h"
#include "platform/com/server_module.h"
#include "views/control/zor_basic_dtm_view.h"
#include "views/elements/viewing_element.h"

namespace {

namespace lib = idl::zor_dtm_view;

constexpr com::ModuleClass moduleClasses[] = {
    com::moduleClass<views::control::CZorBasicDTMView>(
        CLSID_ZorBasicDTMView, lib::kZorBasicDTMView.progId.data(),
        lib::kZorBasicDTMView.versionIndependentProgId.data(), "ZorBasicDTMView Class",
        LIBID_ZorDTMViewLib),
    com::moduleClass<views::elements::CZorViewingElement>(
        CLSID_ZorViewingElement, lib::kZorViewingElement.progId.data(),
        lib::kZorViewingElement.versionIndependentProgId.data(), "ZorViewingElement Class",
        LIBID_ZorDTMViewLib),
};

}  // namespace

HARTDTM_COM_MODULE(moduleClasses)
