// Every interface, class and library identity against its published text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "idl/fdt_dtm.h"
#include "idl/fdt_frame.h"
#include "idl/qad_generic_dtm.h"
#include "idl/varnholt_ravik_dtm.h"
#include "idl/zor_dtm_view.h"

namespace {

struct Identity {
    const char* name;
    GUID guid;
    const char* text;
};

TEST(IdlIdentitiesTest, EveryIdentityHasItsPublishedText) {
    const std::vector<Identity> identities = {
        {"IObserver", IObserver::iid, "{A3E37F77-B840-4AC2-B9B1-D00726FD8C76}"},
        {"IOuterDTM", IOuterDTM::iid, "{54102C93-BE97-4EB3-BE49-9FD38F95D349}"},
        {"IQadGenericDTMObject", IQadGenericDTMObject::iid,
         "{9044BE0A-2A92-4965-9F58-4F0BC1E3D05F}"},
        {"QadGenericDTMObject", CLSID_QadGenericDTMObject,
         "{8D96A00D-3623-451C-A11D-4B12BCD11232}"},
        {"QadGENERICDTMLib", LIBID_QadGENERICDTMLib, "{0AC41F17-C8C6-4E7B-AC19-CBB1B12B6E12}"},
        {"IBasicDTM", IBasicDTM::iid, "{D578710D-B032-463F-9906-467851DFCEAE}"},
        {"BasicDTM", CLSID_BasicDTM, "{477DE2EB-8FED-4E0F-9266-44794DAF7E77}"},
        {"VarnholtRavikHARTDTMLib", LIBID_VarnholtRavikHARTDTMLib,
         "{EFD7846E-DA27-4E9E-992C-45710F9E63A4}"},
        {"IZorBasicDTMView", IZorBasicDTMView::iid, "{79C19D3B-F092-4692-9FC2-D1F6F312A307}"},
        {"IZorViewingElement", IZorViewingElement::iid, "{7BE8EAB1-77B2-4E85-AA5F-F2D27D96CE05}"},
        {"ZorBasicDTMView", CLSID_ZorBasicDTMView, "{1BE93C4E-4AFE-4488-9836-2C8551E97147}"},
        {"ZorViewingElement", CLSID_ZorViewingElement, "{88E35BCB-04A0-45A2-9C07-2461A42DAE56}"},
        {"ZorDTMBasicView", CLSID_ZorDTMBasicView, "{EE3809B6-CF2E-41BA-8551-BFFAF4D21FDB}"},
        {"ZorProfibusTargetAdr", CLSID_ZorProfibusTargetAdr,
         "{8504E712-5E0E-4D70-A579-6CC32948F608}"},
        {"ZorDTMViewLib", LIBID_ZorDTMViewLib, "{A76E2B53-13C3-4CC4-95B4-608B58AEC6BC}"},
        {"IDtm", IDtm::iid, "{036D1481-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmInformation", IDtmInformation::iid, "{036D147F-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmDeviceIdentification", IDtmDeviceIdentification::iid,
         "{C2934CC6-B72D-4611-890F-1C6531D1F8EB}"},
        {"IDtmActiveXInformation", IDtmActiveXInformation::iid,
         "{036D1480-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmNotification", IDtmNotification::iid, "{036D1478-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmParameter", IDtmParameter::iid, "{036D147D-387B-11D4-86E1-00E0987270B9}"},
        {"IFdtCommunicationEvents", IFdtCommunicationEvents::iid,
         "{036D1485-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmOnlineParameter", IDtmOnlineParameter::iid, "{036D1483-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmActiveXControl", IDtmActiveXControl::iid, "{036D1486-387B-11D4-86E1-00E0987270B9}"},
        {"IFdtEvents", IFdtEvents::iid, "{F15BA42E-BBF1-42ED-8009-7F664A002CFB}"},
        {"IFdtApplication", IFdtApplication::iid, "{5959F485-2C51-4A55-80A7-DD3C45D8BAF2}"},
        {"IFdtDialog", IFdtDialog::iid, "{15C19931-6161-11D4-A0A9-005004011A04}"},
    };
    for (const Identity& identity : identities)
        EXPECT_EQ(com::formatGuid(identity.guid), identity.text) << identity.name;
}

TEST(IdlIdentitiesTest, IdentitiesChosenHereAreDistinctFromAllOthers) {
    const std::vector<GUID> all = {IObserver::iid,
                                   IOuterDTM::iid,
                                   IQadGenericDTMObject::iid,
                                   CLSID_QadGenericDTMObject,
                                   LIBID_QadGENERICDTMLib,
                                   IBasicDTM::iid,
                                   CLSID_BasicDTM,
                                   LIBID_VarnholtRavikHARTDTMLib,
                                   IZorBasicDTMView::iid,
                                   IZorViewingElement::iid,
                                   IZorDTMBasicView::iid,
                                   IZorProfibusTargetAdr::iid,
                                   _IZorBasicDTMViewEvents::iid,
                                   _IZorDTMBasicViewEvents::iid,
                                   CLSID_ZorBasicDTMView,
                                   CLSID_ZorViewingElement,
                                   CLSID_ZorDTMBasicView,
                                   CLSID_ZorProfibusTargetAdr,
                                   LIBID_ZorDTMViewLib,
                                   IDtm::iid,
                                   IDtmInformation::iid,
                                   IDtmDeviceIdentification::iid,
                                   IDtmActiveXInformation::iid,
                                   IDtmNotification::iid,
                                   IDtmParameter::iid,
                                   IFdtCommunicationEvents::iid,
                                   IDtmOnlineParameter::iid,
                                   IDtmActiveXControl::iid,
                                   IFdtContainer::iid,
                                   IFdtEvents::iid,
                                   IFdtApplication::iid,
                                   IFdtDialog::iid,
                                   IFdtCommunication::iid,
                                   IDispatch::iid,
                                   IUnknown::iid};
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (std::size_t j = i + 1; j < all.size(); ++j)
            EXPECT_NE(all[i], all[j]) << com::formatGuid(all[i]);
    }
}

TEST(IdlIdentitiesTest, HartProtocolIdIsABareGuid) {
    const auto parsed = com::parseGuid(idl::fdt::kHartProtocolId);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(com::formatGuidBare(*parsed), "036D1498-387B-11D4-86E1-00E0987270B9");
}

struct Registration {
    idl::CoclassInfo coclass;
    const char* progId;
    const char* versionIndependent;
    const char* description;
    bool creatable;
};

TEST(IdlIdentitiesTest, ClassesCarryTheirProgIdsAndDescriptions) {
    const std::vector<Registration> registrations = {
        {idl::qad_generic_dtm::kQadGenericDTMObject, "QadGenericDTM.QadGenericDTMObject.7",
         "QadGenericDTM.QadGenericDTMObject", "QadGenericDTMObject Class", true},
        {idl::varnholt_ravik_dtm::kBasicDTM, "VarnholtRavikHARTDTM.BasicDTM.1",
         "VarnholtRavikHARTDTM.BasicDTM", "BasicDTM Class", true},
        {idl::zor_dtm_view::kZorBasicDTMView, "ZorDTMView.ZorBasicDTMView.7",
         "ZorDTMView.ZorBasicDTMView", "", true},
        {idl::zor_dtm_view::kZorViewingElement, "ZorDTMView.ZorViewingElement.4",
         "ZorDTMView.ZorViewingElement", "", true},
        {idl::zor_dtm_view::kZorDTMBasicView, "", "", "", false},
        {idl::zor_dtm_view::kZorProfibusTargetAdr, "", "", "", false},
    };
    for (const Registration& r : registrations) {
        SCOPED_TRACE(std::string(r.coclass.name));
        EXPECT_EQ(r.coclass.progId, r.progId);
        EXPECT_EQ(r.coclass.versionIndependentProgId, r.versionIndependent);
        EXPECT_EQ(r.coclass.description, r.description);
        EXPECT_EQ(r.coclass.creatable, r.creatable);
        EXPECT_EQ(r.coclass.threadingModel, r.creatable ? "Apartment" : "");
    }
}

TEST(IdlIdentitiesTest, EngineTypeLibraryFacts) {
    using namespace idl::qad_generic_dtm;
    EXPECT_EQ(kTypeLibrary.name, "QadGENERICDTMLib");
    EXPECT_EQ(kTypeLibrary.majorVersion, 7);
    EXPECT_EQ(kTypeLibrary.minorVersion, 0);
    EXPECT_EQ(kTypeLibrary.helpString, "QadGenericDTM 7.0 Typbibliothek");
    EXPECT_EQ(kTypeLibrary.lcid, 0x0409u);

    ASSERT_EQ(std::size(kInterfaces), 3u);
    EXPECT_EQ(kInterfaces[0].name, "IObserver");
    EXPECT_EQ(kInterfaces[1].name, "IOuterDTM");
    EXPECT_EQ(kInterfaces[2].name, "IQadGenericDTMObject");
    EXPECT_EQ(kInterfaces[2].helpString, "IQadGenericDTMObject-Schnittstelle");
    EXPECT_EQ(methodHelpString(kInterfaces[2].methods[0]), "Methode GetValue");
    EXPECT_EQ(methodHelpString(kInterfaces[2].methods[38]), "Methode DTM_MsgBox");

    EXPECT_EQ(idl::zor_dtm_view::kTypeLibrary.majorVersion, 1);
    EXPECT_EQ(idl::zor_dtm_view::kTypeLibrary.minorVersion, 0);
}

}  // namespace
