#include "platform/com/activation.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/comptr.h"
#include "platform/com/registry.h"

namespace {

using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT (*)();
using RegistrationFunction = HRESULT (*)();

// A plain buffer on purpose: a thread_local with a destructor would keep the
// module that holds this copy of the runtime from ever being unloaded while
// the thread lives. Longer reasons are cut.
thread_local char lastError[512];

void setLastError(std::string_view reason) {
    const std::size_t length = std::min(reason.size(), sizeof lastError - 1);
    std::copy_n(reason.data(), length, lastError);
    lastError[length] = '\0';
}

void clearLastError() { lastError[0] = '\0'; }

HRESULT fail(HRESULT hr, std::string_view reason) {
    setLastError(reason);
    return hr;
}

// Keeps exceptions (memory exhaustion in the bookkeeping) from leaving the runtime.
template <class Body>
HRESULT guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

std::string hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// Opens a module file; on failure the result says whether the file is missing
// (CO_E_DLLNOTFOUND) or could not be loaded (CO_E_ERRORINDLL).
HRESULT openModule(const std::string& library, void*& handle) {
    ::dlerror();
    handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle) return S_OK;
    const char* reason = ::dlerror();
    const std::string text = "cannot load " + library + (reason ? std::string(": ") + reason : std::string());
    return fail(fileExists(library) ? CO_E_ERRORINDLL : CO_E_DLLNOTFOUND, text);
}

template <class Function>
Function entryPoint(void* handle, const char* name) {
    return reinterpret_cast<Function>(::dlsym(handle, name));
}

struct LoadedServer {
    std::string library;
    void* handle;
    GetClassObjectFunction getClassObject;
    CanUnloadNowFunction canUnloadNow;  // null: the server is never unloaded
};

// The servers this module loaded. Calls into a server happen under the lock,
// so that no unload can overtake a DllGetClassObject in progress.
class ServerTable {
public:
    ServerTable() = default;
    ServerTable(const ServerTable&) = delete;
    ServerTable& operator=(const ServerTable&) = delete;
    // When this module itself goes, servers without live objects go too.
    ~ServerTable() { freeUnused(); }

    HRESULT getClassObject(const std::string& library, REFCLSID clsid, REFIID riid, void** ppv) {
        const std::lock_guard guard(mutex_);
        LoadedServer* server = nullptr;
        if (HRESULT hr = load(library, server); FAILED(hr)) return hr;
        return server->getClassObject(clsid, riid, ppv);
    }

    void freeUnused() {
        const std::lock_guard guard(mutex_);
        std::erase_if(servers_, [](const LoadedServer& server) {
            if (!server.canUnloadNow || server.canUnloadNow() != S_OK) return false;
            ::dlclose(server.handle);
            return true;
        });
    }

private:
    HRESULT load(const std::string& library, LoadedServer*& out) {
        for (LoadedServer& server : servers_) {
            if (server.library == library) {
                out = &server;
                return S_OK;
            }
        }
        void* handle = nullptr;
        if (HRESULT hr = openModule(library, handle); FAILED(hr)) return hr;
        // One entry per loaded file, whatever spelling of its path the registry used.
        for (LoadedServer& server : servers_) {
            if (server.handle == handle) {
                ::dlclose(handle);
                out = &server;
                return S_OK;
            }
        }
        const auto getClassObject = entryPoint<GetClassObjectFunction>(handle, "DllGetClassObject");
        if (!getClassObject) {
            ::dlclose(handle);
            return fail(CO_E_ERRORINDLL, library + " exports no DllGetClassObject");
        }
        servers_.push_back({library, handle, getClassObject, entryPoint<CanUnloadNowFunction>(handle, "DllCanUnloadNow")});
        out = &servers_.back();
        return S_OK;
    }

    std::recursive_mutex mutex_;
    std::vector<LoadedServer> servers_;
};

ServerTable& serverTable() {
    static ServerTable table;
    return table;
}

HRESULT callRegistrationUnguarded(const std::filesystem::path& library, const char* name) {
    clearLastError();
    void* handle = nullptr;
    if (HRESULT hr = openModule(library.string(), handle); FAILED(hr)) return hr;
    HRESULT hr = S_OK;
    if (const auto function = entryPoint<RegistrationFunction>(handle, name)) {
        hr = function();
        if (FAILED(hr)) fail(hr, std::string(name) + " of " + library.string() + " answered " + hex(hr));
    } else {
        hr = fail(CO_E_ERRORINDLL, library.string() + " exports no " + name);
    }
    ::dlclose(handle);
    return hr;
}

HRESULT callRegistration(const std::filesystem::path& library, const char* name) {
    return guarded([&]() -> HRESULT { return callRegistrationUnguarded(library, name); });
}

}  // namespace

HRESULT CoGetClassObject(REFCLSID clsid, DWORD clsctx, void* serverInfo, REFIID riid, void** ppv) {
    return guarded([&]() -> HRESULT {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        clearLastError();
        if (serverInfo) return fail(E_INVALIDARG, "server information is not supported");
        const std::string name = com::formatGuid(clsid);
        if (!(clsctx & CLSCTX_INPROC_SERVER)) {
            return fail(REGDB_E_CLASSNOTREG, "class " + name + " is asked for outside an in-process server");
        }
        const auto registry = com::processRegistry();
        std::shared_ptr<const com::RegistryContents> contents;
        if (com::Status s = registry->snapshot(contents); !s) return fail(s.code, s.reason);
        const com::ClassEntry* entry = contents->findClass(clsid);
        if (!entry || entry->library.empty()) {
            return fail(REGDB_E_CLASSNOTREG, "class " + name + " is not registered in " + registry->file().string());
        }
        const std::string library = entry->library;
        const HRESULT hr = serverTable().getClassObject(library, clsid, riid, ppv);
        if (FAILED(hr) && lastError[0] == '\0') {
            setLastError("DllGetClassObject of " + library + " answered " + hex(hr) + " for " + name);
        }
        return hr;
    });
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsctx, REFIID riid, void** ppv) {
    return guarded([&]() -> HRESULT {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        com::ComPtr<IClassFactory> factory;
        if (HRESULT hr = CoGetClassObject(clsid, clsctx, nullptr, IClassFactory::iid, factory.putVoid()); FAILED(hr)) {
            return hr;
        }
        const HRESULT hr = factory->CreateInstance(outer, riid, ppv);
        if (FAILED(hr)) {
            *ppv = nullptr;
            return fail(hr, "the class object of " + com::formatGuid(clsid) + " answered " + hex(hr));
        }
        return hr;
    });
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid) {
    return guarded([&]() -> HRESULT {
        if (!progId || !clsid) return E_INVALIDARG;
        *clsid = GUID_NULL;
        clearLastError();
        const std::string name = com::utf16ToUtf8(progId);
        const auto registry = com::processRegistry();
        std::shared_ptr<const com::RegistryContents> contents;
        if (com::Status s = registry->snapshot(contents); !s) return fail(s.code, s.reason);
        const auto found = contents->clsidFromProgId(name);
        if (!found) return fail(CO_E_CLASSSTRING, "ProgID \"" + name + "\" is not registered in " + registry->file().string());
        *clsid = *found;
        return S_OK;
    });
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId) {
    return guarded([&]() -> HRESULT {
        if (!progId) return E_INVALIDARG;
        *progId = nullptr;
        clearLastError();
        const auto registry = com::processRegistry();
        std::shared_ptr<const com::RegistryContents> contents;
        if (com::Status s = registry->snapshot(contents); !s) return fail(s.code, s.reason);
        const com::ClassEntry* entry = contents->findClass(clsid);
        if (!entry || entry->progId.empty()) {
            return fail(REGDB_E_CLASSNOTREG, "class " + com::formatGuid(clsid) + " has no registered ProgID");
        }
        *progId = com::allocBstr(entry->progId);
        return *progId ? S_OK : E_OUTOFMEMORY;
    });
}

HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text) {
    return guarded([&]() -> HRESULT {
        if (!text) return E_INVALIDARG;
        *text = com::allocBstr(com::formatGuid(clsid));
        return *text ? S_OK : E_OUTOFMEMORY;
    });
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
    return guarded([&]() -> HRESULT {
        if (!text || !clsid) return E_INVALIDARG;
        *clsid = GUID_NULL;
        const std::string utf8 = com::utf16ToUtf8(text);
        if (!utf8.empty() && utf8.front() == '{') {
            const auto parsed = com::parseGuid(utf8);
            if (!parsed) return CO_E_CLASSSTRING;
            *clsid = *parsed;
            return S_OK;
        }
        const HRESULT hr = CLSIDFromProgID(text, clsid);
        return hr == REGDB_E_READREGDB ? hr : (FAILED(hr) ? CO_E_CLASSSTRING : hr);
    });
}

int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int cchMax) {
    const std::string text = com::formatGuid(guid);
    if (!buffer || cchMax < static_cast<int>(text.size()) + 1) return 0;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    return static_cast<int>(text.size()) + 1;
}

void CoFreeUnusedLibraries() { serverTable().freeUnused(); }

namespace com {

std::string lastActivationError() { return lastError; }

HRESULT registerServer(const std::filesystem::path& library) { return callRegistration(library, "DllRegisterServer"); }

HRESULT unregisterServer(const std::filesystem::path& library) {
    return callRegistration(library, "DllUnregisterServer");
}

}  // namespace com
