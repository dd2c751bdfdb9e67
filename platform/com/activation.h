#pragma once
// Creating registered classes: registry lookup, loading of in-process servers
// (dlopen), class objects, ProgID conversions and the unloading of servers
// that no longer serve objects.
//
// Every module keeps its own copy of this runtime, hence its own table of the
// servers it loaded: a server loaded by one module is unloaded by that
// module's CoFreeUnusedLibraries (or when that module itself is unloaded and
// the server answers that it can go).

#include <filesystem>
#include <string>

#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/interfaces.h"
#include "platform/com/status.h"

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

// The class object of a registered class, queried for riid. Only in-process
// servers exist: without CLSCTX_INPROC_SERVER in clsctx the class counts as
// not registered. serverInfo must be null. Results: REGDB_E_CLASSNOTREG (no
// entry or no library), REGDB_E_READREGDB (unreadable registry),
// CO_E_DLLNOTFOUND (no library file), CO_E_ERRORINDLL (not loadable or no
// DllGetClassObject), else what the server's DllGetClassObject answers (for
// example CLASS_E_CLASSNOTAVAILABLE). *ppv is null on failure.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD clsctx, void* serverInfo, REFIID riid, void** ppv);

// Creates an object of a registered class through its class object. With an
// outer unknown the object is created aggregated (riid must then be
// IUnknown); the factory's CLASS_E_NOAGGREGATION and other failures are
// passed through. *ppv is null on failure.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsctx, REFIID riid, void** ppv);

// The CLSID that a (versioned or version-independent) ProgID names.
// CO_E_CLASSSTRING (and GUID_NULL) when the ProgID is not registered,
// E_INVALIDARG for null arguments.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);

// The versioned ProgID of a registered class; the caller frees *progId with
// SysFreeString. REGDB_E_CLASSNOTREG (and null) when the class or its ProgID
// is not registered, E_INVALIDARG for a null out argument.
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in a new string the caller frees
// with SysFreeString.
HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text);
// The CLSID of "{...}" text or of a registered ProgID; CO_E_CLASSSTRING otherwise.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);
// Writes the braced form and its terminating zero into buffer; the number of
// characters written including the zero, or 0 when cchMax is below 39.
int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int cchMax);

// Asks every server that this module loaded whether it can be unloaded
// (DllCanUnloadNow) and unloads those that answer S_OK.
void CoFreeUnusedLibraries();

namespace com {

// The reason for the calling thread's last failed activation or server
// registration (for example the loader's message, cut at 511 bytes); empty
// after a success.
std::string lastActivationError();

// Loads the server file, calls its DllRegisterServer (or
// DllUnregisterServer) and unloads it again. CO_E_DLLNOTFOUND,
// CO_E_ERRORINDLL, or the entry point's own failure.
HRESULT registerServer(const std::filesystem::path& library);
HRESULT unregisterServer(const std::filesystem::path& library);

}  // namespace com
