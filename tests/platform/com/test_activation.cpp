#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>

#include "platform/com/activation.h"
#include "platform/com/module_path.h"
#include "platform/com/object.h"
#include "platform/com/registry.h"
#include "tests/platform/com/component/test_component.h"
#include "tests/platform/com/runtime_test_support.h"

namespace {

using runtime_test::ScopedEnvironment;
using runtime_test::ScratchDirectory;

// Where the build put the component.
const std::filesystem::path& componentPath() {
    static const std::filesystem::path path = TEST_COMPONENT_PATH;
    return path;
}

bool componentLoaded() { return com::findLoadedModule(componentPath().filename().string()).has_value(); }

std::shared_ptr<const com::RegistryContents> registryContents() {
    std::shared_ptr<const com::RegistryContents> contents;
    EXPECT_TRUE(com::processRegistry()->snapshot(contents));
    return contents;
}

com::ComPtr<ITestComponent> createWidget(const CLSID& clsid = test_component::widgetClsid) {
    com::ComPtr<ITestComponent> widget;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, ITestComponent::iid, widget.putVoid()), S_OK)
        << com::lastActivationError();
    return widget;
}

std::string modulePathOf(ITestComponent* component) {
    com::Bstr path;
    EXPECT_EQ(component->GetModulePath(path.out()), S_OK);
    return path.utf8();
}

// Every test starts with its own registry, into which the component has
// registered itself, and with the component unloaded.
class Activation : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.path().empty());
        CoFreeUnusedLibraries();
        ASSERT_FALSE(componentLoaded()) << "a previous test kept an object of the component alive";
        ASSERT_EQ(com::registerServer(componentPath()), S_OK) << com::lastActivationError();
        EXPECT_FALSE(componentLoaded()) << "registration unloads the module again";
    }
    void TearDown() override { CoFreeUnusedLibraries(); }

    ScratchDirectory dir_;
    ScopedEnvironment registry_{"HARTDTM_REGISTRY", (dir_ / "registry").string()};
};

TEST_F(Activation, RegistrationWritesTheModulesOwnPathForEachClass) {
    const auto contents = registryContents();
    const com::ClassEntry* widget = contents->findClass(test_component::widgetClsid);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->library, componentPath().string());
    EXPECT_EQ(widget->threadingModel, "Apartment");
    EXPECT_EQ(widget->progId, test_component::widgetProgId);
    EXPECT_EQ(widget->versionIndependentProgId, test_component::widgetIndependentProgId);
    EXPECT_EQ(widget->description, test_component::widgetDescription);
    EXPECT_EQ(widget->typeLibrary, test_component::typeLibrary);
    const com::ClassEntry* solo = contents->findClass(test_component::soloClsid);
    ASSERT_NE(solo, nullptr);
    EXPECT_EQ(solo->library, componentPath().string());
    EXPECT_FALSE(solo->typeLibrary.has_value());
    EXPECT_EQ(contents->progIds.at(test_component::soloIndependentProgId).curVer, test_component::soloProgId);
}

TEST_F(Activation, CreatedByClsidTheObjectRunsInTheBuiltModule) {
    const auto widget = createWidget();
    ASSERT_TRUE(widget);
    EXPECT_EQ(modulePathOf(widget.get()), componentPath().string()) << "the component's path holds spaces";
    EXPECT_EQ(com::findLoadedModule(componentPath().filename().string()), componentPath());
    EXPECT_EQ(com::findLoadedModule(componentPath().string()), componentPath()) << "found by its full path too";
}

TEST_F(Activation, BothProgIdsLeadToTheClassAndBack) {
    for (const char* progId : {test_component::widgetProgId, test_component::widgetIndependentProgId}) {
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgID(com::utf8ToUtf16(progId).c_str(), &clsid), S_OK) << progId;
        EXPECT_EQ(clsid, test_component::widgetClsid) << progId;
        EXPECT_TRUE(createWidget(clsid)) << progId;
    }
    LPOLESTR progId = nullptr;
    ASSERT_EQ(ProgIDFromCLSID(test_component::widgetClsid, &progId), S_OK);
    EXPECT_EQ(com::toUtf8(progId), test_component::widgetProgId);
    SysFreeString(progId);
}

// An outer object of the test executable that aggregates the component's widget.
class Aggregate : public com::ComObjectRoot, public IPersist {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<Aggregate, IPersist>(),
            com::entryAggregate<Aggregate, &Aggregate::inner_>(ITestComponent::iid),
        };
        return table;
    }
    HRESULT GetClassID(CLSID* clsid) override {
        *clsid = GUID_NULL;
        return S_OK;
    }

protected:
    HRESULT finalConstruct() override {
        return CoCreateInstance(test_component::widgetClsid, controllingUnknown(), CLSCTX_INPROC_SERVER,
                                IUnknown::iid, inner_.putVoid());
    }

private:
    com::ComPtr<IUnknown> inner_;
};

TEST_F(Activation, AggregationWorksAcrossModulesAndIsRefusedWhereTheClassSaysSo) {
    const auto outer = com::ComInstance<Aggregate>::make<IPersist>();
    ASSERT_TRUE(outer) << com::lastActivationError();
    const auto inner = outer.as<ITestComponent>();
    ASSERT_TRUE(inner);
    EXPECT_TRUE(com::sameObject(inner.get(), outer.get())) << "the inner object answers with the outer identity";
    EXPECT_TRUE(inner.as<IPersist>());

    com::ComPtr<IUnknown> solo;
    EXPECT_EQ(CoCreateInstance(test_component::soloClsid, outer.get(), CLSCTX_INPROC_SERVER, IUnknown::iid,
                               solo.putVoid()),
              CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(solo);
    EXPECT_TRUE(createWidget(test_component::soloClsid)) << "alone it can be created";
}

TEST_F(Activation, TheModuleIsUnloadedOnlyWhenNothingOfItLives) {
    auto widget = createWidget();
    ASSERT_TRUE(widget);
    // The module's own runtime copy fails an activation: what it keeps of the
    // failure must not pin the module in memory.
    EXPECT_EQ(widget->CreateThroughModule(com::makeGuid("99999999-0000-0000-0000-000000000000")),
              REGDB_E_CLASSNOTREG);
    LONG live = 0;
    ASSERT_EQ(widget->GetLiveObjects(&live), S_OK);
    EXPECT_EQ(live, 1) << "the class object is gone once the object is made";
    CoFreeUnusedLibraries();
    EXPECT_TRUE(componentLoaded()) << "an object still lives";
    widget.reset();
    CoFreeUnusedLibraries();
    EXPECT_FALSE(componentLoaded());

    createWidget();  // loads it again and releases the object at once
    EXPECT_TRUE(componentLoaded());
    CoFreeUnusedLibraries();
    EXPECT_FALSE(componentLoaded());
}

TEST_F(Activation, AServerLockKeepsTheModuleLoaded) {
    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(test_component::widgetClsid, CLSCTX_INPROC_SERVER, nullptr, IClassFactory::iid,
                               factory.putVoid()),
              S_OK);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.reset();
    CoFreeUnusedLibraries();
    EXPECT_TRUE(componentLoaded()) << "locked";

    ASSERT_EQ(CoGetClassObject(test_component::widgetClsid, CLSCTX_INPROC_SERVER, nullptr, IClassFactory::iid,
                               factory.putVoid()),
              S_OK);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    factory.reset();
    CoFreeUnusedLibraries();
    EXPECT_FALSE(componentLoaded());
}

TEST_F(Activation, UnregistrationRemovesTheModulesEntriesOnly) {
    com::ClassEntry foreign;
    foreign.clsid = com::makeGuid("11111111-2222-3333-4444-555555555555");
    foreign.library = "/elsewhere/Foreign.so";
    foreign.progId = "Foreign.Class.1";
    ASSERT_TRUE(com::processRegistry()->registerClasses({&foreign, 1}));

    ASSERT_EQ(com::unregisterServer(componentPath()), S_OK) << com::lastActivationError();
    const auto contents = registryContents();
    EXPECT_EQ(contents->findClass(test_component::widgetClsid), nullptr);
    EXPECT_EQ(contents->findClass(test_component::soloClsid), nullptr);
    EXPECT_EQ(contents->progIds.size(), 1u) << "only the foreign ProgID is left";
    EXPECT_NE(contents->findClass(foreign.clsid), nullptr);

    CLSID clsid = test_component::widgetClsid;
    EXPECT_EQ(CLSIDFromProgID(u"HartDtmTest.Widget", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, GUID_NULL);
    com::ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(test_component::widgetClsid, nullptr, CLSCTX_INPROC_SERVER, IUnknown::iid,
                               object.putVoid()),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(com::unregisterServer(componentPath()), S_OK) << "a second unregistration is no error";
}

TEST_F(Activation, BrokenServersGiveTheirOwnResults) {
    const auto textFile = dir_ / "not a module.so";
    std::ofstream(textFile) << "this is text, not an ELF file\n";
    const CLSID unknownToComponent = com::makeGuid("5B0C2E61-7A3D-4F1E-9C55-31A0D4E7B2FF");
    struct Case {
        const char* what;
        std::string library;
        HRESULT expected;
    };
    const Case cases[] = {
        {"missing file", (dir_ / "gone/Missing.so").string(), CO_E_DLLNOTFOUND},
        {"not a shared object", textFile.string(), CO_E_ERRORINDLL},
        {"no DllGetClassObject", NOT_A_SERVER_PATH, CO_E_ERRORINDLL},
        {"class unknown to its module", componentPath().string(), CLASS_E_CLASSNOTAVAILABLE},
    };
    for (const Case& c : cases) {
        com::ClassEntry entry;
        entry.clsid = unknownToComponent;
        entry.library = c.library;
        ASSERT_TRUE(com::processRegistry()->registerClasses({&entry, 1}));
        com::ComPtr<IUnknown> object;
        EXPECT_EQ(CoCreateInstance(entry.clsid, nullptr, CLSCTX_INPROC_SERVER, IUnknown::iid, object.putVoid()),
                  c.expected)
            << c.what;
        EXPECT_FALSE(object) << c.what;
        EXPECT_FALSE(com::lastActivationError().empty()) << c.what;
    }
    EXPECT_EQ(com::registerServer(textFile), CO_E_ERRORINDLL);
    EXPECT_EQ(com::registerServer(NOT_A_SERVER_PATH), CO_E_ERRORINDLL);
    EXPECT_EQ(com::registerServer(dir_ / "gone/Missing.so"), CO_E_DLLNOTFOUND);
}

TEST_F(Activation, ArgumentAndContextErrors) {
    com::ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(test_component::widgetClsid, nullptr, CLSCTX_LOCAL_SERVER, IUnknown::iid,
                               object.putVoid()),
              REGDB_E_CLASSNOTREG)
        << "only in-process servers exist";
    EXPECT_EQ(CoCreateInstance(test_component::widgetClsid, nullptr, CLSCTX_INPROC_SERVER, IUnknown::iid, nullptr),
              E_POINTER);
    EXPECT_EQ(CoCreateInstance(com::makeGuid("99999999-0000-0000-0000-000000000000"), nullptr, CLSCTX_ALL,
                               IUnknown::iid, object.putVoid()),
              REGDB_E_CLASSNOTREG);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
    EXPECT_EQ(CLSIDFromProgID(u"HartDtmTest.Widget", nullptr), E_INVALIDARG);
    EXPECT_EQ(CLSIDFromProgID(u"HartDtmTest.Nothing", &clsid), CO_E_CLASSSTRING);
    LPOLESTR progId = reinterpret_cast<LPOLESTR>(&clsid);
    EXPECT_EQ(ProgIDFromCLSID(com::makeGuid("99999999-0000-0000-0000-000000000000"), &progId), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(progId, nullptr);
    EXPECT_EQ(ProgIDFromCLSID(test_component::widgetClsid, nullptr), E_INVALIDARG);
}

TEST_F(Activation, ClassStringsTable) {
    struct Case {
        const char16_t* text;
        HRESULT expected;
        CLSID clsid;
    };
    const Case cases[] = {
        {u"{5B0C2E61-7A3D-4F1E-9C55-31A0D4E7B201}", S_OK, test_component::widgetClsid},
        {u"{5b0c2e61-7a3d-4f1e-9c55-31a0d4e7b201}", S_OK, test_component::widgetClsid},
        {u"HartDtmTest.Solo", S_OK, test_component::soloClsid},
        {u"{5B0C2E61-7A3D-4F1E-9C55-31A0D4E7B201", CO_E_CLASSSTRING, GUID_NULL},
        {u"5B0C2E61-7A3D-4F1E-9C55-31A0D4E7B201", CO_E_CLASSSTRING, GUID_NULL},
        {u"Not.Registered", CO_E_CLASSSTRING, GUID_NULL},
        {u"", CO_E_CLASSSTRING, GUID_NULL},
    };
    for (const Case& c : cases) {
        CLSID clsid = test_component::typeLibrary;
        EXPECT_EQ(CLSIDFromString(c.text, &clsid), c.expected) << com::utf16ToUtf8(c.text);
        EXPECT_EQ(clsid, c.clsid) << com::utf16ToUtf8(c.text);
    }

    LPOLESTR text = nullptr;
    ASSERT_EQ(StringFromCLSID(test_component::widgetClsid, &text), S_OK);
    EXPECT_EQ(com::toUtf8(text), "{5B0C2E61-7A3D-4F1E-9C55-31A0D4E7B201}");
    SysFreeString(text);
    OLECHAR buffer[39];
    EXPECT_EQ(StringFromGUID2(test_component::widgetClsid, buffer, 38), 0) << "no room for the terminator";
    EXPECT_EQ(StringFromGUID2(test_component::widgetClsid, buffer, 39), 39);
    EXPECT_EQ(std::u16string(buffer), u"{5B0C2E61-7A3D-4F1E-9C55-31A0D4E7B201}");
}

// The exported entry points, called as a loader would.
TEST_F(Activation, EntryPointsAnswerAsAServerMust) {
    void* handle = ::dlopen(componentPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << ::dlerror();
    using GetClassObject = HRESULT (*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT (*)();
    const auto getClassObject = reinterpret_cast<GetClassObject>(::dlsym(handle, "DllGetClassObject"));
    const auto canUnloadNow = reinterpret_cast<CanUnloadNow>(::dlsym(handle, "DllCanUnloadNow"));
    ASSERT_NE(getClassObject, nullptr);
    ASSERT_NE(canUnloadNow, nullptr);
    EXPECT_NE(::dlsym(handle, "DllRegisterServer"), nullptr);
    EXPECT_NE(::dlsym(handle, "DllUnregisterServer"), nullptr);
    EXPECT_EQ(::dlsym(handle, "_ZN3com10thisModuleEv"), nullptr) << "the module exports its entry points only";

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(test_component::typeLibrary, IClassFactory::iid, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject(test_component::widgetClsid, IClassFactory::iid, nullptr), E_POINTER);
    EXPECT_EQ(canUnloadNow(), S_OK);
    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(test_component::widgetClsid, IClassFactory::iid, factory.putVoid()), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "the class object lives";
    factory.reset();
    EXPECT_EQ(canUnloadNow(), S_OK);
    ::dlclose(handle);
}

}  // namespace
