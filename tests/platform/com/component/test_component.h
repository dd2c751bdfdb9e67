#pragma once
// The interface and identities of the runtime tests' component module,
// shared by the module and the tests that load it.

#include "platform/com/interfaces.h"

struct ITestComponent : IUnknown {
    static constexpr IID iid = com::makeGuid("5B0C2E61-7A3D-4F1E-9C55-31A0D4E7B101");
    // The full path of the module file that holds this object's code.
    virtual HRESULT GetModulePath(BSTR* path) = 0;
    // Objects of the module alive now (class objects included).
    virtual HRESULT GetLiveObjects(LONG* count) = 0;
    // Asks the module's own copy of the runtime to create `clsid` and returns
    // the result (the object, if any, is released at once).
    virtual HRESULT CreateThroughModule(REFCLSID clsid) = 0;
};

namespace test_component {

// Aggregatable class.
constexpr CLSID widgetClsid = com::makeGuid("5B0C2E61-7A3D-4F1E-9C55-31A0D4E7B201");
constexpr const char* widgetProgId = "HartDtmTest.Widget.1";
constexpr const char* widgetIndependentProgId = "HartDtmTest.Widget";
constexpr const char* widgetDescription = "Widget Class";
constexpr GUID typeLibrary = com::makeGuid("5B0C2E61-7A3D-4F1E-9C55-31A0D4E7B301");

// A class that refuses aggregation.
constexpr CLSID soloClsid = com::makeGuid("5B0C2E61-7A3D-4F1E-9C55-31A0D4E7B202");
constexpr const char* soloProgId = "HartDtmTest.Solo.2";
constexpr const char* soloIndependentProgId = "HartDtmTest.Solo";
constexpr const char* soloDescription = "Solo Class";

}  // namespace test_component
