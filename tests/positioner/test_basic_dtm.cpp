// The positioner DTM as a COM class: creation, its interface table, the
// engine it aggregates, persistence forwarding, the description files in the
// module's own folder, and the outer-DTM answers that need no device.

#include <dlfcn.h>

#include <cstdlib>
#include <optional>
#include <ostream>

#include "frame/error_box_host.h"
#include "platform/com/memory_stream.h"
#include "positioner/basic_dtm.h"
#include "positioner/description_files.h"
#include "tests/positioner/positioner_session.h"
#include "tests/positioner/recording_observer.h"

namespace positioner_test {
namespace {

namespace fs = std::filesystem;

// HARTDTM_REGISTRY points at a registry of the test's own while it lives.
class ScopedRegistry {
public:
    explicit ScopedRegistry(const fs::path& file) {
        if (const char* old = std::getenv("HARTDTM_REGISTRY")) previous_ = old;
        fs::remove(file);
        setenv("HARTDTM_REGISTRY", file.c_str(), 1);
    }
    ~ScopedRegistry() {
        if (previous_) {
            setenv("HARTDTM_REGISTRY", previous_->c_str(), 1);
        } else {
            unsetenv("HARTDTM_REGISTRY");
        }
    }

private:
    std::optional<std::string> previous_;
};

fs::path scratch(const std::string& name) {
    fs::path dir = binaryRoot() / "test-scratch/test_positioner" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// A copy of the positioner module, with or without its description files.
fs::path copyDeliverable(const fs::path& dir, bool withDescriptions) {
    fs::copy_file(positionerModule(), dir / positionerModule().filename());
    if (withDescriptions) {
        for (std::string_view file : {positioner::kZorFile, positioner::kDescFile,
                                      positioner::kIconFile, positioner::kLanguageFile}) {
            fs::copy_file(positionerPackage() / file, dir / file);
        }
    }
    return dir / positionerModule().filename();
}

HRESULT createBasicDtm(com::ComPtr<IUnknown>& dtm, IUnknown* outer = nullptr) {
    return CoCreateInstance(CLSID_BasicDTM, outer, CLSCTX_INPROC_SERVER, IUnknown::iid,
                            dtm.putVoid());
}

class PositionerBasicDtmClass : public PositionerSession {};

TEST_F(PositionerBasicDtmClass, CannotBeAggregated) {
    com::ComPtr<IObserver> outer;
    ASSERT_EQ(com::ComInstance<RecordingObserver>::create(nullptr, IObserver::iid, outer.putVoid()),
              S_OK);
    com::ComPtr<IUnknown> inner;
    EXPECT_EQ(createBasicDtm(inner, outer.get()), CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(inner);
}

TEST_F(PositionerBasicDtmClass, AnswersItsTableWithTheEnginesInterfacesAsItsOwn) {
    const auto unknownOf = [&](REFIID iid) {
        com::ComPtr<IUnknown> itf;
        EXPECT_EQ(dtm_->QueryInterface(iid, itf.putVoid()), S_OK) << com::formatGuid(iid);
        com::ComPtr<IUnknown> identity;
        if (itf) itf->QueryInterface(IUnknown::iid, identity.putVoid());
        return identity;
    };
    const com::ComPtr<IUnknown> self = unknownOf(IUnknown::iid);
    for (const IID& iid :
         {IBasicDTM::iid, IDispatch::iid, IDtm::iid, IQadGenericDTMObject::iid,
          IDtmInformation::iid, IDtmDeviceIdentification::iid, IDtmActiveXInformation::iid,
          IDtmNotification::iid, IDtmParameter::iid, IPersistPropertyBag::iid, IPersist::iid,
          IPersistStreamInit::iid, IFdtCommunicationEvents::iid, IDtmOnlineParameter::iid,
          IObserver::iid, IOuterDTM::iid}) {
        EXPECT_EQ(unknownOf(iid).get(), self.get())
            << com::formatGuid(iid) << " has another identity";
    }
    com::ComPtr<IUnknown> none;
    EXPECT_EQ(dtm_->QueryInterface(IDtmActiveXControl::iid, none.putVoid()), E_NOINTERFACE);
}

TEST_F(PositionerBasicDtmClass, IDispatchIsTheEnginesNotItsOwn) {
    com::ComPtr<IDispatch> dispatch;
    ASSERT_EQ(dtm_->QueryInterface(IDispatch::iid, dispatch.putVoid()), S_OK);
    const auto own = dtm_.as<IBasicDTM>();
    EXPECT_EQ(static_cast<void*>(dispatch.get()), static_cast<void*>(priv_.get()));
    EXPECT_NE(static_cast<void*>(dispatch.get()),
              static_cast<void*>(static_cast<IDispatch*>(own.get())));

    // Late-bound calls on the DTM's own interfaces reach the engine's dispatch.
    const auto outer = dtm_.as<IOuterDTM>();
    com::Bstr name = text("GetCommState");
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.get())};
    DISPID dispid = 0;
    EXPECT_EQ(outer->GetIDsOfNames(GUID_NULL, names, 1, 0, &dispid), S_OK);
    EXPECT_EQ(dispid, 14);
}

struct ListCase {
    VARIANT_BOOL download;
    const char* list;
};

void PrintTo(const ListCase& c, std::ostream* os) {
    *os << (c.download ? "download" : "upload");
}

class PositionerUpDownloadLists : public PositionerSession,
                                  public ::testing::WithParamInterface<ListCase> {};

TEST_P(PositionerUpDownloadLists, ReplaceWhatTheCallerHeld) {
    const auto outer = dtm_.as<IOuterDTM>();
    BSTR ids = com::allocBstr(std::string_view("previous text"));
    ASSERT_EQ(outer->GetUpDownloadList(GetParam().download, &ids), S_OK);
    EXPECT_EQ(com::toUtf8(ids), GetParam().list);
    SysFreeString(ids);
    EXPECT_EQ(outer->GetUpDownloadList(GetParam().download, nullptr), E_POINTER);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, PositionerUpDownloadLists,
    ::testing::Values(
        ListCase{VARIANT_TRUE, "download[17, 18, 19, 108, 109, 165, 167, 181, 175, 134, 172, 6]"},
        ListCase{VARIANT_FALSE,
                 "upload[0, 12, 13, 16, 249, 108, 109, 200, 210, 213, 169, 212, 137, 211]"}));

TEST_F(PositionerBasicDtmClass, TryActionLeavesTheEnginesDecision) {
    const auto outer = dtm_.as<IOuterDTM>();
    for (VARIANT_BOOL access : {VARIANT_TRUE, VARIANT_FALSE}) {
        VARIANT_BOOL flag = access;
        EXPECT_EQ(outer->tryAction(text("try_download").get(), text("id-1").get(), &flag), S_OK);
        EXPECT_EQ(flag, access);
    }
}

TEST_F(PositionerBasicDtmClass, OwnerIdIsTheObjectsIdentity) {
    const auto observer = dtm_.as<IObserver>();
    LONG first = 0;
    LONG again = 0;
    ASSERT_EQ(observer->GetOwnerID(&first), S_OK);
    ASSERT_EQ(observer->GetOwnerID(&again), S_OK);
    EXPECT_NE(first, 0);
    EXPECT_EQ(first, again);

    com::ComPtr<IUnknown> other;
    ASSERT_EQ(createBasicDtm(other), S_OK);
    LONG otherId = 0;
    other.as<IObserver>()->GetOwnerID(&otherId);
    EXPECT_NE(otherId, first);
    EXPECT_EQ(observer->Finished(id(1)), E_NOTIMPL);
}

TEST_F(PositionerBasicDtmClass, PersistenceGoesToTheEngine) {
    const auto stream = dtm_.as<IPersistStreamInit>();
    CLSID clsid = GUID_NULL;
    EXPECT_EQ(stream->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_BasicDTM);
    EXPECT_EQ(stream->InitNew(), S_OK);
    ULARGE_INTEGER size{};
    EXPECT_EQ(stream->GetSizeMax(&size), E_NOTIMPL);

    bringOnline();
    setValue(1331626720, "STORED DESCRIPTOR");
    EXPECT_EQ(stream->IsDirty(), S_OK);
    com::ComPtr<IStream> saved;
    ASSERT_EQ(com::createMemoryStream(saved.put()), S_OK);
    ASSERT_EQ(stream->Save(saved.get(), TRUE), S_OK);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);

    com::ComPtr<IUnknown> fresh;
    ASSERT_EQ(createBasicDtm(fresh), S_OK);
    LARGE_INTEGER start{};
    saved->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(fresh.as<IPersistStreamInit>()->Load(saved.get()), S_OK);
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(fresh.as<IDtm>()->Environment(text("POS-2").get(), container_.get(), &ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    com::Bstr descriptor;
    fresh.as<IQadGenericDTMObject>()->GetValue(id(1331626720), descriptor.out());
    EXPECT_EQ(descriptor.utf8(), "STORED DESCRIPTOR");
    ASSERT_EQ(fresh.as<IDtm>()->Config(text(userInformation("operator")).get(), &ok), S_OK);
    EXPECT_EQ(fresh.as<IDtm>()->PrepareToRelease(&ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
}

TEST_F(PositionerBasicDtmClass, AFailedLoadIsReportedNotHidden) {
    const std::uint8_t shortStream[] = {0x40, 0x00, 0x00, 0x00, 'x', 0};
    com::ComPtr<IStream> damaged;
    ASSERT_EQ(com::createMemoryStream(shortStream, damaged.put()), S_OK);
    EXPECT_EQ(dtm_.as<IPersistStreamInit>()->Load(damaged.get()), E_FAIL);
}

TEST_F(PositionerBasicDtmClass, ReleasedObjectLeavesTheModuleUnloadable) {
    bringOnline();
    release();
    priv_.reset();
    dtm_.reset();
    communicationImpl_->shutdown();
    void* module = dlopen(positionerModule().c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(module, nullptr);
    using CanUnloadNow = HRESULT (*)();
    const auto canUnloadNow = reinterpret_cast<CanUnloadNow>(dlsym(module, "DllCanUnloadNow"));
    ASSERT_NE(canUnloadNow, nullptr);
    EXPECT_EQ(canUnloadNow(), S_OK) << "an object of the positioner module is still alive";
    dlclose(module);
}

// Deliverables copied elsewhere, registered in a registry of their own.
class PositionerDeliverableFolder : public ::testing::Test {
protected:
    void TearDown() override { frame::setErrorBoxLog(nullptr); }
};

TEST_F(PositionerDeliverableFolder, DescriptionPathsKeepTheBlanksOfTheModulesFolder) {
    const fs::path dir = scratch("folder with blanks") / "Positioner DTM";
    fs::create_directories(dir);
    const fs::path module = copyDeliverable(dir, true);
    const ScopedRegistry registry(dir.parent_path() / "registry");
    ASSERT_EQ(com::registerServer(engineModule()), S_OK);
    ASSERT_EQ(com::registerServer(module), S_OK) << com::lastActivationError();

    frame::EventLog boxes;
    frame::setErrorBoxLog(&boxes);
    com::ComPtr<IUnknown> dtm;
    ASSERT_EQ(createBasicDtm(dtm), S_OK);
    EXPECT_EQ(boxes.size(), 0u);
    const positioner::DescriptionFiles files = positioner::descriptionFilesIn(dir.string() + "/");
    EXPECT_EQ(files.descFile, dir.string() + "/Varnholt Ravik HART Device Description.xml");
    EXPECT_TRUE(fs::exists(files.descFile));
}

TEST_F(PositionerDeliverableFolder, MissingDescriptionFilesFailTheCreation) {
    const fs::path module = copyDeliverable(scratch("without descriptions"), false);
    const ScopedRegistry registry(module.parent_path() / "registry");
    ASSERT_EQ(com::registerServer(engineModule()), S_OK);
    ASSERT_EQ(com::registerServer(module), S_OK);

    frame::EventLog boxes;
    frame::setErrorBoxLog(&boxes);
    com::ComPtr<IUnknown> dtm;
    EXPECT_EQ(createBasicDtm(dtm), E_POINTER);
    EXPECT_FALSE(dtm);
    const frame::FrameEvent* box = boxes.find("error-box", "Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->fields.at(1), "Can not localize description files");
}

TEST_F(PositionerDeliverableFolder, AnUnregisteredEngineFailsTheCreation) {
    const fs::path dir = scratch("without engine");
    const ScopedRegistry registry(dir / "registry");
    ASSERT_EQ(com::registerServer(positionerModule()), S_OK);
    com::ComPtr<IUnknown> dtm;
    EXPECT_EQ(createBasicDtm(dtm), REGDB_E_CLASSNOTREG);
}

}  // namespace
}  // namespace positioner_test
