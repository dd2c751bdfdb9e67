#include "platform/com/server_module.h"

#include <vector>

#include "platform/com/module_path.h"
#include "platform/com/module_state.h"
#include "platform/com/registry.h"

namespace com {

namespace {

std::string textOrEmpty(const char* text) { return text ? text : ""; }

ClassEntry registrationOf(const ModuleClass& c, const std::string& library) {
    ClassEntry entry;
    entry.clsid = c.clsid;
    entry.library = library;
    entry.threadingModel = textOrEmpty(c.threadingModel);
    entry.progId = textOrEmpty(c.progId);
    entry.versionIndependentProgId = textOrEmpty(c.versionIndependentProgId);
    entry.description = textOrEmpty(c.description);
    if (c.typeLibrary != GUID_NULL) entry.typeLibrary = c.typeLibrary;
    return entry;
}

}  // namespace

HRESULT moduleGetClassObject(std::span<const ModuleClass> classes, REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const ModuleClass& c : classes) {
        if (c.clsid == clsid) return c.getClassObject(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT moduleCanUnloadNow() { return thisModule().canUnload() ? S_OK : S_FALSE; }

HRESULT moduleRegisterServer(std::span<const ModuleClass> classes, const void* addressInModule) {
    const auto path = modulePathOf(addressInModule);
    if (!path) return SELFREG_E_CLASS;
    try {
        std::vector<ClassEntry> entries;
        entries.reserve(classes.size());
        for (const ModuleClass& c : classes) entries.push_back(registrationOf(c, path->string()));
        return processRegistry()->registerClasses(entries).code;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT moduleUnregisterServer(std::span<const ModuleClass> classes) {
    try {
        std::vector<CLSID> clsids;
        for (const ModuleClass& c : classes) clsids.push_back(c.clsid);
        const Status s = processRegistry()->unregisterClasses(clsids);
        return FAILED(s.code) ? s.code : S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace com
