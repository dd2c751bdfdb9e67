#pragma once
// Deliverables in the registry: registration of a module file and creation
// of a DTM by its ProgID.

#include <filesystem>
#include <string_view>

#include "platform/com/comptr.h"
#include "platform/com/guid.h"
#include "platform/com/status.h"

namespace frame {

// Loads the module and runs its DllRegisterServer (or DllUnregisterServer)
// into the process's registry (HARTDTM_REGISTRY). The reason names the file
// and the loader's or the module's failure.
com::Status registerDeliverable(const std::filesystem::path& library);
com::Status unregisterDeliverable(const std::filesystem::path& library);

// Creates the class registered under the ProgID (versioned or not);
// `object` receives its IUnknown and `clsid` its class.
com::Status createByProgId(std::string_view progId, com::ComPtr<IUnknown>& object, CLSID& clsid);

}  // namespace frame
