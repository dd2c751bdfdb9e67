// ZorDTMView.so as a host loads it: its classes, the interfaces of the
// control, a view built through the module, and unloading afterwards.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "idl/dtm_view_hosting.h"
#include "idl/zor_dtm_view.h"
#include "platform/com/bstr.h"
#include "tests/views/support/view_test_support.h"

namespace {

using GetClassObject = HRESULT (*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT (*)();

TEST(ViewModule, ClassesInterfacesAViewAndUnloading) {
    views_test::application();
    hartdtm::loop::VirtualClockLoop clock;
    hartdtm::loop::CurrentLoopScope scope(clock);
    const std::string path = std::string(HARTDTM_BINARY_ROOT) + "/packages/ZorDTMView/ZorDTMView.so";
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    const auto getClassObject = reinterpret_cast<GetClassObject>(dlsym(module, "DllGetClassObject"));
    const auto canUnloadNow = reinterpret_cast<CanUnloadNow>(dlsym(module, "DllCanUnloadNow"));
    ASSERT_NE(getClassObject, nullptr);
    ASSERT_NE(dlsym(module, "DllRegisterServer"), nullptr);
    ASSERT_NE(dlsym(module, "DllUnregisterServer"), nullptr);

    com::ComPtr<IClassFactory> factory;
    for (const CLSID& notCreatable : {CLSID_ZorDTMBasicView, CLSID_ZorProfibusTargetAdr}) {
        EXPECT_EQ(getClassObject(notCreatable, IClassFactory::iid, factory.putVoid()),
                  CLASS_E_CLASSNOTAVAILABLE);
    }
    ASSERT_EQ(getClassObject(CLSID_ZorViewingElement, IClassFactory::iid, factory.putVoid()), S_OK);
    com::ComPtr<IZorViewingElement> element;
    ASSERT_EQ(factory->CreateInstance(nullptr, IZorViewingElement::iid, element.putVoid()), S_OK);
    EXPECT_TRUE(element.as<IObserver>());
    element.reset();

    ASSERT_EQ(getClassObject(CLSID_ZorBasicDTMView, IClassFactory::iid, factory.putVoid()), S_OK);
    com::ComPtr<IDtmActiveXControl> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IDtmActiveXControl::iid, control.putVoid()), S_OK);
    factory.reset();
    EXPECT_TRUE(control.as<IZorBasicDTMView>());
    EXPECT_TRUE(control.as<IDispatch>());
    EXPECT_TRUE(control.as<IObserver>());
    const auto hosting = control.as<IDtmViewHosting>();
    ASSERT_TRUE(hosting);

    views_test::FakeEngine* engine = nullptr;
    auto engineRef = views_test::FakeEngine::make(&engine);
    (*engine)[698020263] = {.value = "12", .name = "Signal", .range = "[0 to 20]"};
    VARIANT_BOOL built = VARIANT_FALSE;
    ASSERT_EQ(control->Init(com::Bstr::fromUtf8("i").get(),
                            com::Bstr::fromUtf8(views_test::functionCall(102)).get(),
                            engineRef.as<IDtm>().get(), &built),
              S_OK);
    EXPECT_EQ(built, VARIANT_TRUE);
    void* widget = nullptr;
    ASSERT_EQ(hosting->GetWidget(&widget), S_OK);
    EXPECT_NE(widget, nullptr);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    VARIANT_BOOL released = VARIANT_FALSE;
    EXPECT_EQ(control->PrepareToRelease(&released), S_OK);
    EXPECT_EQ(engine->observerCount(), 0u);
    control.reset();
    const_cast<com::ComPtr<IDtmViewHosting>&>(hosting).reset();
    EXPECT_EQ(canUnloadNow(), S_OK);
    EXPECT_EQ(dlclose(module), 0);
}

}  // namespace
