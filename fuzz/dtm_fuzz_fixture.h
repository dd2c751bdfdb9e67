#pragma once
// A DTM object of the engine for the fuzz targets that feed it outside
// documents: bound to the small test description (with the test DTM
// description that holds menus and views), a recording frame with the FDT
// schema set, on a virtual clock. Every input gets a fresh object, so that
// a finding does not depend on the inputs before it; the parsed documents
// and the schema cache are shared between them as in a plant.

#include <string>

#include "engine/description/description_namespaces.h"
#include "engine/description/shared_descriptions.h"
#include "engine/dtm/error_box.h"
#include "engine/dtm/language_table.h"
#include "engine/dtm/qad_generic_dtm_object.h"
#include "platform/com/object.h"
#include "platform/loop/virtual_clock_loop.h"
#include "tests/engine/dtm/recording_frame.h"

namespace fuzz_dtm {

inline std::string sourceFile(const char* relative) {
    return std::string(HARTDTM_SOURCE_ROOT) + "/" + relative;
}

// What a plant's other instances would hold: the parsed description, the
// language table and the schema cache stay shared from one input to the next
// instead of being read again for every fresh object.
struct SharedPackage {
    SharedPackage() { language.load(sourceFile("tests/data/engine/dtm/dtm_test.dct"), "en"); }
    std::shared_ptr<const xml::Document> device = engine::sharedDescriptionDocument(
        sourceFile("tests/data/engine/dtm/device.xml"), engine::kDeviceDescriptionNamespace);
    std::shared_ptr<const xml::Document> dtm = engine::sharedDescriptionDocument(
        sourceFile("tests/data/engine/documents/dtm_full.xml"), engine::kDtmDescriptionNamespace);
    std::shared_ptr<const xml::SchemaCache> schemas =
        engine::sharedSchemaCache(sourceFile("devices/schemas"));
    engine::LanguageTable language;
};

class DtmUnderTest {
public:
    DtmUnderTest() {
        static const SharedPackage* package = new SharedPackage();
        (void)package;
        engine::setMessageBoxHook([](std::string_view, std::string_view, unsigned) { return 1; });
        com::ComInstance<testing_frame::RecordingFrame>::create(nullptr, IFdtContainer::iid,
                                                                container.putVoid());
        static_cast<testing_frame::RecordingFrame*>(container.get())->schemaPath =
            sourceFile("devices/schemas");
        com::ComInstance<engine::QadGenericDTMObject>::create(nullptr, IDtm::iid, dtm.putVoid());
        priv = dtm.as<IQadGenericDTMObject>();
        const auto bstr = [](const char* file) { return com::Bstr::fromUtf8(sourceFile(file)); };
        priv->SetDeviceDescription(bstr("tests/data/engine/dtm/device.xml").get(),
                                   bstr("tests/data/engine/documents/dtm_full.xml").get(),
                                   bstr("tests/data/engine/dtm/icon.ico").get(),
                                   bstr("tests/data/engine/dtm/dtm_test.dct").get());
    }
    ~DtmUnderTest() {
        VARIANT_BOOL ignored = VARIANT_FALSE;
        if (dtm) dtm->PrepareToRelease(&ignored);
        priv.reset();
        dtm.reset();
        loop.advance(hartdtm::loop::Milliseconds(1000));
        engine::setMessageBoxHook({});
    }

    bool environment() {
        VARIANT_BOOL ok = VARIANT_FALSE;
        dtm->Environment(com::Bstr::fromUtf8("FUZZ").get(), container.get(), &ok);
        return ok != VARIANT_FALSE;
    }
    bool initNew() {
        VARIANT_BOOL ok = VARIANT_FALSE;
        dtm->InitNew(nullptr, &ok);
        return ok != VARIANT_FALSE;
    }
    bool config(const std::string& userInformation) {
        VARIANT_BOOL ok = VARIANT_FALSE;
        dtm->Config(com::Bstr::fromUtf8(userInformation).get(), &ok);
        return ok != VARIANT_FALSE;
    }
    // Environment, InitNew and Config at the maintenance level: state 5.
    bool configured() {
        return environment() && initNew() &&
               config("<FDT xmlns=\"x-schema:FDTUserInformationSchema.xml\" "
                      "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"><FDTUserInformation "
                      "userLevel=\"maintenance\"/></FDT>");
    }
    // What every document answer of a configured DTM is made from.
    void readDocuments() {
        com::Bstr out;
        dtm.as<IDtmParameter>()->GetParameters(nullptr, out.out());
        com::Bstr information;
        dtm.as<IDtmInformation>()->GetInformation(information.out());
    }

    hartdtm::loop::VirtualClockLoop loop;
    hartdtm::loop::CurrentLoopScope loopScope{loop};
    com::ComPtr<IFdtContainer> container;
    com::ComPtr<IDtm> dtm;
    com::ComPtr<IQadGenericDTMObject> priv;
};

}  // namespace fuzz_dtm
