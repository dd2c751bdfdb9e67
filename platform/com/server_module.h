#pragma once
// The entry points of an in-process server. A module lists its classes once
// and gets the four exported functions:
//
//   namespace {
//   constexpr com::ModuleClass moduleClasses[] = {
//       com::moduleClass<CBasicDTM>(CLSID_BasicDTM, "VarnholtRavikHARTDTM.BasicDTM.1",
//                                   "VarnholtRavikHARTDTM.BasicDTM", "BasicDTM Class", LIBID_BasicDTM),
//   };
//   }  // namespace
//   HARTDTM_COM_MODULE(moduleClasses)
//
// DllGetClassObject hands out a com::ClassFactory<Impl> for a listed CLSID
// (CLASS_E_CLASSNOTAVAILABLE otherwise); DllCanUnloadNow answers S_OK when no
// object of the module lives and no client locks it, S_FALSE otherwise;
// DllRegisterServer writes every listed class, with the module's own full
// path, into the registry in one atomic change; DllUnregisterServer removes
// the listed classes and their ProgIDs.

#include <new>
#include <span>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/object.h"

namespace com {

struct ModuleClass {
    CLSID clsid;
    const char* progId;                    // versioned; may be null
    const char* versionIndependentProgId;  // may be null
    const char* description;
    GUID typeLibrary;                      // GUID_NULL when the class has none
    const char* threadingModel;
    // Writes the class object, queried for riid, into *ppv.
    HRESULT (*getClassObject)(REFIID riid, void** ppv);
};

// The class object of Impl: a fresh com::ClassFactory<Impl>.
template <class Impl>
HRESULT classObjectOf(REFIID riid, void** ppv) {
    try {
        return ComInstance<ClassFactory<Impl>>::create(nullptr, riid, ppv);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// A class of this system: apartment threaded, created through ClassFactory<Impl>.
template <class Impl>
constexpr ModuleClass moduleClass(const CLSID& clsid, const char* progId, const char* versionIndependentProgId,
                                  const char* description, const GUID& typeLibrary = GUID_NULL) {
    return {clsid, progId, versionIndependentProgId, description, typeLibrary, "Apartment", &classObjectOf<Impl>};
}

// The implementations behind the exported functions. `addressInModule` is
// any address inside the module (its class table), used to find its file.
HRESULT moduleGetClassObject(std::span<const ModuleClass> classes, REFCLSID clsid, REFIID riid, void** ppv);
HRESULT moduleCanUnloadNow();
// SELFREG_E_CLASS when the module's own file cannot be found; E_INVALIDARG
// for a malformed class entry; REGDB_E_READREGDB or REGDB_E_WRITEREGDB when
// the registry cannot be read or replaced. Nothing is written on failure.
HRESULT moduleRegisterServer(std::span<const ModuleClass> classes, const void* addressInModule);
// S_OK also when none of the classes was registered.
HRESULT moduleUnregisterServer(std::span<const ModuleClass> classes);

}  // namespace com

#define HARTDTM_COM_EXPORT extern "C" __attribute__((visibility("default")))

// Defines the four exported entry points over a constant array of com::ModuleClass.
#define HARTDTM_COM_MODULE(classTable)                                                   \
    HARTDTM_COM_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) { \
        return ::com::moduleGetClassObject(classTable, clsid, riid, ppv);                   \
    }                                                                                       \
    HARTDTM_COM_EXPORT HRESULT DllCanUnloadNow() { return ::com::moduleCanUnloadNow(); }    \
    HARTDTM_COM_EXPORT HRESULT DllRegisterServer() {                                        \
        return ::com::moduleRegisterServer(classTable, &(classTable));                      \
    }                                                                                       \
    HARTDTM_COM_EXPORT HRESULT DllUnregisterServer() { return ::com::moduleUnregisterServer(classTable); }
