// The QadGenericDTM module: its one class and the four entry points.

#include "engine/dtm/qad_generic_dtm_object.h"
#include "platform/com/server_module.h"

namespace {

constexpr com::ModuleClass moduleClasses[] = {
    com::moduleClass<engine::QadGenericDTMObject>(
        engine::QadGenericDTMObject::clsid, idl::qad_generic_dtm::kQadGenericDTMObject.progId.data(),
        idl::qad_generic_dtm::kQadGenericDTMObject.versionIndependentProgId.data(),
        idl::qad_generic_dtm::kQadGenericDTMObject.description.data(), idl::qad_generic_dtm::kTypeLibrary.libid),
};

}  // namespace

HARTDTM_COM_MODULE(moduleClasses)
