#pragma once
// A DTM object bound to the small test description, with a recording frame,
// on the virtual clock.

#include <gtest/gtest.h>

#include <string>

#include "engine/dtm/error_box.h"
#include "engine/dtm/qad_generic_dtm_object.h"
#include "platform/loop/virtual_clock_loop.h"
#include "tests/engine/dtm/recording_frame.h"

namespace dtm_test {

inline std::string dataPath(const std::string& file) { return std::string(HARTDTM_TEST_DATA) + "/" + file; }
inline std::string schemaDirectory() { return std::string(HARTDTM_SOURCE_ROOT) + "/devices/schemas"; }

inline std::string userInformation(const std::string& level) {
    return "<FDT xmlns=\"x-schema:FDTUserInformationSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
           "<FDTUserInformation userLevel=\"" +
           level + "\"/></FDT>";
}

inline VARIANT id(std::int32_t value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

inline com::Bstr text(const char* utf8) { return com::Bstr::fromUtf8(utf8); }

class DtmFixture : public ::testing::Test {
protected:
    void SetUp() override {
        engine::setMessageBoxHook([this](std::string_view t, std::string_view caption, unsigned) {
            errorBoxes.push_back(std::string(caption) + ": " + std::string(t));
            return 1;
        });
        IFdtContainer* container = nullptr;
        ASSERT_EQ(com::ComInstance<testing_frame::RecordingFrame>::create(nullptr, IFdtContainer::iid,
                                                                           reinterpret_cast<void**>(&container)),
                  S_OK);
        frameContainer = com::ComPtr<IFdtContainer>::attach(container);
        frame = static_cast<testing_frame::RecordingFrame*>(container);
        frame->schemaPath = schemaDirectory();
        makeDtm();
    }
    void TearDown() override { engine::setMessageBoxHook({}); }

    void makeDtm() {
        IDtm* raw = nullptr;
        ASSERT_EQ(com::ComInstance<engine::QadGenericDTMObject>::create(nullptr, IDtm::iid,
                                                                         reinterpret_cast<void**>(&raw)),
                  S_OK);
        dtm = com::ComPtr<IDtm>::attach(raw);
        object = static_cast<engine::QadGenericDTMObject*>(raw);
        priv = dtm.as<IQadGenericDTMObject>();
    }

    HRESULT bind(const char* device = "engine/dtm/device.xml") {
        return priv->SetDeviceDescription(com::Bstr::fromUtf8(dataPath(device)).get(),
                                          com::Bstr::fromUtf8(dataPath("engine/dtm/dtm.xml")).get(),
                                          com::Bstr::fromUtf8(dataPath("engine/dtm/icon.ico")).get(),
                                          com::Bstr::fromUtf8(dataPath("engine/dtm/dtm_test.dct")).get());
    }

    VARIANT_BOOL environment() {
        VARIANT_BOOL ok = 0;
        EXPECT_EQ(dtm->Environment(text("DTM-1").get(), frameContainer.get(), &ok), S_OK);
        return ok;
    }
    VARIANT_BOOL initNew() {
        VARIANT_BOOL ok = 0;
        EXPECT_EQ(dtm->InitNew(nullptr, &ok), S_OK);
        return ok;
    }
    VARIANT_BOOL config(const std::string& level) {
        VARIANT_BOOL ok = 0;
        EXPECT_EQ(dtm->Config(com::Bstr::fromUtf8(userInformation(level)).get(), &ok), S_OK);
        return ok;
    }
    // Bound, environment set, initialised and configured: state 5.
    void configured(const std::string& level = "maintenance") {
        ASSERT_EQ(bind(), S_OK);
        ASSERT_EQ(environment(), VARIANT_TRUE);
        ASSERT_EQ(initNew(), VARIANT_TRUE);
        ASSERT_EQ(config(level), VARIANT_TRUE);
    }

    std::string value(std::int32_t parameter) {
        com::Bstr out;
        EXPECT_EQ(priv->GetValue(id(parameter), out.out()), S_OK);
        return out.utf8();
    }
    void setValue(std::int32_t parameter, const char* value) {
        com::Bstr in = text(value);
        BSTR raw = in.get();
        EXPECT_EQ(priv->SetValue(id(parameter), &raw), S_OK);
    }

    hartdtm::loop::VirtualClockLoop loop;
    hartdtm::loop::CurrentLoopScope loopScope{loop};
    com::ComPtr<IFdtContainer> frameContainer;
    testing_frame::RecordingFrame* frame = nullptr;
    com::ComPtr<IDtm> dtm;
    engine::QadGenericDTMObject* object = nullptr;
    com::ComPtr<IQadGenericDTMObject> priv;
    std::vector<std::string> errorBoxes;
};

}  // namespace dtm_test
