// The deliverable QadGenericDTM.so: self-registration, creation by ProgID
// through the registry, aggregation and unloading.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "idl/fdt_dtm.h"
#include "idl/qad_generic_dtm.h"
#include "platform/com/activation.h"
#include "platform/com/comptr.h"
#include "platform/com/module_path.h"
#include "platform/com/registry.h"
#include <libxml/parser.h>

namespace {

const std::filesystem::path kModule = QADGENERICDTM_MODULE;

class EngineModule : public ::testing::Test {
protected:
    void SetUp() override {
        // CTest runs the cases of this file side by side: each gets a registry of its own.
        static const std::string base = std::getenv("HARTDTM_REGISTRY")
                                            ? std::getenv("HARTDTM_REGISTRY")
                                            : (std::filesystem::temp_directory_path() / "hartdtm-engine-module").string();
        const std::string own = base + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        setenv("HARTDTM_REGISTRY", own.c_str(), 1);
        std::filesystem::remove(com::registryPath());
        ASSERT_EQ(com::registerServer(kModule), S_OK) << com::lastActivationError();
    }
    void TearDown() override {
        com::unregisterServer(kModule);
        CoFreeUnusedLibraries();
    }
};

TEST_F(EngineModule, RegistersItsClassWithBothProgIds) {
    CLSID versioned{}, independent{};
    ASSERT_EQ(CLSIDFromProgID(u"QadGenericDTM.QadGenericDTMObject.7", &versioned), S_OK);
    ASSERT_EQ(CLSIDFromProgID(u"QadGenericDTM.QadGenericDTMObject", &independent), S_OK);
    EXPECT_EQ(com::formatGuid(versioned), "{8D96A00D-3623-451C-A11D-4B12BCD11232}");
    EXPECT_EQ(versioned, independent);
    std::shared_ptr<const com::RegistryContents> contents;
    ASSERT_TRUE(com::processRegistry()->snapshot(contents));
    const auto* entry = contents->findClass(versioned);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->threadingModel, "Apartment");
    EXPECT_EQ(entry->description, "QadGenericDTMObject Class");
    ASSERT_TRUE(entry->typeLibrary.has_value());
    EXPECT_EQ(com::formatGuid(*entry->typeLibrary), "{0AC41F17-C8C6-4E7B-AC19-CBB1B12B6E12}");
    EXPECT_EQ(std::filesystem::canonical(entry->library), std::filesystem::canonical(kModule));
}

TEST_F(EngineModule, CreatedByProgIdAnswersItsInterfaces) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"QadGenericDTM.QadGenericDTMObject.7", &clsid), S_OK);
    com::ComPtr<IDtm> dtm;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IDtm::iid, dtm.putVoid()), S_OK)
        << com::lastActivationError();
    EXPECT_TRUE(dtm.as<IQadGenericDTMObject>());
    EXPECT_TRUE(dtm.as<IDtmInformation>());
    EXPECT_TRUE(dtm.as<IDtmOnlineParameter>());
    EXPECT_TRUE(dtm.as<IPersistStreamInit>());
    EXPECT_TRUE(dtm.as<IPersist>());
    VARIANT_BOOL ok = VARIANT_TRUE;
    ASSERT_EQ(dtm->InitNew(nullptr, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE) << "a fresh object is in state 0";
    dtm.reset();
    CoFreeUnusedLibraries();
    EXPECT_FALSE(com::findLoadedModule("QadGenericDTM.so")) << "unloaded once its last object is gone";
}

TEST_F(EngineModule, AggregationAsksForIUnknownOnly) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"QadGenericDTM.QadGenericDTMObject", &clsid), S_OK);
    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IClassFactory::iid, factory.putVoid()), S_OK);
    com::ComPtr<IDtm> probe;
    ASSERT_EQ(factory->CreateInstance(nullptr, IDtm::iid, probe.putVoid()), S_OK);
    com::ComPtr<IUnknown> wrong;
    EXPECT_EQ(factory->CreateInstance(probe.get(), IDtm::iid, wrong.putVoid()), CLASS_E_NOAGGREGATION);
}

TEST_F(EngineModule, XmlParsingGoesOnAfterTheModuleIsUnloaded) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"QadGenericDTM.QadGenericDTMObject.7", &clsid), S_OK);
    com::ComPtr<IQadGenericDTMObject> engine;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IQadGenericDTMObject::iid, engine.putVoid()),
              S_OK);
    const std::string data = HARTDTM_TEST_DATA;
    // The module parses its description files with its own copy of the XML layer.
    ASSERT_EQ(engine->SetDeviceDescription(com::Bstr::fromUtf8(data + "/engine/dtm/device.xml").get(),
                                           com::Bstr::fromUtf8(data + "/engine/dtm/dtm.xml").get(), nullptr,
                                           com::Bstr::fromUtf8(data + "/engine/dtm/dtm_test.dct").get()),
              S_OK);
    engine.reset();
    CoFreeUnusedLibraries();
    ASSERT_FALSE(com::findLoadedModule("QadGenericDTM.so"));
    // libxml2 opens a file through its process-wide entity loader.
    xmlDocPtr doc = xmlReadFile((data + "/engine/dtm/dtm.xml").c_str(), nullptr, XML_PARSE_NONET);
    EXPECT_NE(doc, nullptr) << "no handler of the unloaded module is left behind";
    xmlFreeDoc(doc);
}

}  // namespace
