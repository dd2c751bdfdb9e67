// A small in-process server for the runtime tests.

#include "tests/platform/com/component/test_component.h"

#include "platform/com/activation.h"
#include "platform/com/module_path.h"
#include "platform/com/module_state.h"
#include "platform/com/object.h"
#include "platform/com/server_module.h"

namespace {

template <class Self>
class ComponentBase : public com::ComObjectRoot, public ITestComponent {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {com::entry<Self, ITestComponent>()};
        return table;
    }

    HRESULT GetModulePath(BSTR* path) override {
        if (!path) return E_POINTER;
        const auto file = com::modulePathOf(&com::thisModule());
        *path = file ? com::allocBstr(file->string()) : nullptr;
        return *path ? S_OK : E_FAIL;
    }

    HRESULT GetLiveObjects(LONG* count) override {
        if (!count) return E_POINTER;
        *count = static_cast<LONG>(com::thisModule().objects());
        return S_OK;
    }

    HRESULT CreateThroughModule(REFCLSID clsid) override {
        com::ComPtr<IUnknown> object;
        return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IUnknown::iid, object.putVoid());
    }
};

class CWidget : public ComponentBase<CWidget> {};

class CSolo : public ComponentBase<CSolo> {
public:
    static constexpr bool allowsAggregation = false;
};

constexpr com::ModuleClass moduleClasses[] = {
    com::moduleClass<CWidget>(test_component::widgetClsid, test_component::widgetProgId,
                              test_component::widgetIndependentProgId, test_component::widgetDescription,
                              test_component::typeLibrary),
    com::moduleClass<CSolo>(test_component::soloClsid, test_component::soloProgId,
                            test_component::soloIndependentProgId, test_component::soloDescription),
};

}  // namespace

HARTDTM_COM_MODULE(moduleClasses)
