// The VarnholtRavikHARTDTM module: its one class and the four entry points.

#include "idl/varnholt_ravik_dtm.h"
#include "platform/com/server_module.h"
#include "positioner/basic_dtm.h"

namespace {

constexpr com::ModuleClass moduleClasses[] = {
    com::moduleClass<positioner::BasicDTM>(
        CLSID_BasicDTM, idl::varnholt_ravik_dtm::kBasicDTM.progId.data(),
        idl::varnholt_ravik_dtm::kBasicDTM.versionIndependentProgId.data(),
        idl::varnholt_ravik_dtm::kBasicDTM.description.data(), LIBID_VarnholtRavikHARTDTMLib),
};

}  // namespace

HARTDTM_COM_MODULE(moduleClasses)
