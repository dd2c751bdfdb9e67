// The DTM object's identity, its lifecycle (IDtm) and its binding to the
// description files, the frame and the outer DTM.

#include <initializer_list>

#include "engine/communication/hart_channel.h"
#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"
#include "engine/description/shared_descriptions.h"
#include "engine/documents/user_documents.h"
#include "engine/dtm/dtm_support_p.h"
#include "engine/dtm/error_box.h"
#include "engine/dtm/qad_generic_dtm_object.h"
#include "engine/parameters/data_set_text.h"
#include "engine/parameters/model_loader.h"
#include "engine/parameters/value_parameter.h"
#include "platform/xml/schema_cache.h"

namespace engine {

using namespace dtm_support;

namespace {

bool inStates(std::int32_t state, std::initializer_list<std::int32_t> states) {
    for (std::int32_t s : states) {
        if (s == state) return true;
    }
    return false;
}

}  // namespace

std::span<const com::InterfaceEntry> QadGenericDTMObject::interfaces() {
    using Self = QadGenericDTMObject;
    static constexpr com::InterfaceEntry table[] = {
        com::entry<Self, IQadGenericDTMObject>(),
        com::entryAs<Self, IQadGenericDTMObject>(IDispatch::iid),
        com::entry<Self, IDtm>(),
        com::entry<Self, IDtmInformation>(),
        com::entry<Self, IDtmDeviceIdentification>(),
        com::entry<Self, IDtmActiveXInformation>(),
        com::entry<Self, IDtmNotification>(),
        com::entry<Self, IDtmParameter>(),
        com::entry<Self, IPersistPropertyBag>(),
        com::entryAs<Self, IPersistPropertyBag>(IPersist::iid),
        com::entry<Self, IPersistStreamInit>(),
        com::entry<Self, IFdtCommunicationEvents>(),
        com::entry<Self, IDtmOnlineParameter>(),
    };
    return table;
}

QadGenericDTMObject::QadGenericDTMObject()
    : channel_(std::make_unique<communication::HartChannel>()),
      deviceDocument_(unboundDescriptionDocument()),
      dtmDocument_(unboundDescriptionDocument()) {}

QadGenericDTMObject::~QadGenericDTMObject() {
    // The channel and the parameters refer to the documents; they go first.
    channel_.reset();
    deviceObject_.clear();
}

// --- binding to the description files ---

HRESULT QadGenericDTMObject::SetDeviceDescription(BSTR zorFile, BSTR descFile, BSTR iconFile, BSTR languageFile) {
    // The parameter model, the command map and the channel point into the
    // bound documents from Environment on: they cannot be replaced any more.
    if (environmentRan()) return E_UNEXPECTED;
    const HRESULT hr = barrier(E_POINTER, [&] {
        if (!translator_.load(com::toUtf8(languageFile), "en")) return E_POINTER;
        iconFile_ = com::toUtf8(iconFile);
        deviceDocument_ = sharedDescriptionDocument(com::toUtf8(zorFile), kDeviceDescriptionNamespace);
        dtmDocument_ = sharedDescriptionDocument(com::toUtf8(descFile), kDtmDescriptionNamespace);
        return S_OK;
    });
    if (FAILED(hr)) showErrorBox("Can not localize description files");
    return hr;
}

// --- IDtm ---

HRESULT QadGenericDTMObject::Environment(BSTR systemTag, IFdtContainer* container, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (!inStates(state_, {kCreated, kLoaded})) return S_OK;
    return barrier(E_FAIL, [&] {
        frameContainer_ = com::ComPtr<IFdtContainer>(container);
        frameEvents_ = frameContainer_.as<IFdtEvents>();
        systemTag_ = com::toUtf8(systemTag);
        bindOuterDtm();
        if (!buildEnvironment()) return S_OK;
        state_ = state_ == kCreated ? kEnvironmentSet : kInitialized;
        *result = VARIANT_TRUE;
        return S_OK;
    });
}

void QadGenericDTMObject::bindOuterDtm() {
    outerDtm_ = nullptr;
    if (!isAggregated()) return;
    com::ComPtr<IOuterDTM> outer;
    if (SUCCEEDED(controllingUnknown()->QueryInterface(IOuterDTM::iid, outer.putVoid())) && outer) {
        outerDtm_ = outer.get();  // the reference goes with `outer`; see outerDtm_
    }
}

bool QadGenericDTMObject::buildEnvironment() {
    com::Bstr schemaPath;
    if (!frameContainer_ || FAILED(frameContainer_->GetXmlSchemaPath(schemaPath.out()))) {
        sendErrorMessage("Can't read XML Schema path");
        return false;
    }
    if (!environmentSchemaCache(schemaPath.utf8())) return false;
    if (!buildModel()) return false;
    communication::ChannelBindings bindings;
    bindings.deviceObject = &deviceObject_;
    bindings.dtmObject = this;
    bindings.schemaCache = schemaCache_;
    bindings.outerDtm = outerDtm_;
    bindings.eventsCallback = static_cast<IFdtCommunicationEvents*>(this);
    bindings.frameContainer = frameContainer_.get();
    bindings.systemTag = systemTag_;
    bindings.translator = &translator_;
    channel_->Init(bindings);
    const std::string dataSetState = deviceObject_.dataSetState();
    const bool wasPersistent = deviceObject_.storageState() == "persistent";
    if (outerDtm_) outerDtm_->OnInitialized();
    restoreAfterOuterInitialized(dataSetState, wasPersistent);
    return true;
}

bool QadGenericDTMObject::environmentSchemaCache(const std::string& schemaPath) {
    try {
        schemaCache_ = sharedSchemaCache(schemaPath);
        return true;
    } catch (const CDTMException&) {
        constexpr std::string_view text = "Error while creating XML Schema Cache";
        showErrorBox(text);
        sendErrorMessage(text);
        return false;
    }
}

bool QadGenericDTMObject::buildModel() {
    deviceObject_.clear();
    if (deviceDocument_ == unboundDescriptionDocument() || dtmDocument_ == unboundDescriptionDocument()) {
        // A bare engine knows no device until a description is bound; that is
        // the caller's state, not a faulty description, so no box for the user.
        sendErrorMessage("No device description is bound");
        return false;
    }
    try {
        loadModel(deviceObject_, *deviceDocument_, *dtmDocument_);
        return true;
    } catch (const CDTMException& error) {
        // No half-built model stays behind; the description may be bound anew.
        deviceObject_.clear();
        showErrorBox(error.message());
        sendErrorMessage(error.message());
        return false;
    } catch (...) {
        deviceObject_.clear();
        throw;
    }
}

void QadGenericDTMObject::restoreAfterOuterInitialized(const std::string& dataSetState, bool wasPersistent) {
    deviceObject_.setDataSetState(dataSetState);
    if (!wasPersistent) return;
    for (ParameterId id : deviceObject_.idList()) {
        if (ValueParameter* p = deviceObject_.find(id)) p->setChanged(false);
    }
}

HRESULT QadGenericDTMObject::InitNew(BSTR, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (state_ != kEnvironmentSet) return S_OK;
    state_ = kInitialized;
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT QadGenericDTMObject::Config(BSTR userInformation, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (state_ != kInitialized) return S_OK;
    return barrier(E_FAIL, [&] {
        const UserInformation info = readUserInformation(com::toUtf8(userInformation), schemaCache_);
        if (!info.loaded) return S_OK;
        if (info.level) userLevel_ = *info.level;
        state_ = kConfigured;
        *result = VARIANT_TRUE;
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::SetCommunication(IFdtCommunication* communication, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (state_ != kConfigured || !communication) return S_OK;
    return barrier(E_FAIL, [&] {
        channel_->SetCommunication(communication);
        state_ = kCommunicating;
        *result = VARIANT_TRUE;
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::PrepareToReleaseCommunication(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (state_ != kCommunicating) return S_OK;
    return barrier(E_FAIL, [&] {
        *result = channel_->PrepareRelease() ? 1 : 0;
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::ReleaseCommunication(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (state_ != kCommunicating) return S_OK;
    return barrier(E_FAIL, [&] {
        if (channel_->ReleaseCommunication()) {
            state_ = kConfigured;
            *result = VARIANT_TRUE;
        }
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::PrepareToDelete(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (state_ != kConfigured) return S_OK;
    state_ = kPreparedToDelete;
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT QadGenericDTMObject::PrepareToRelease(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (!inStates(state_, {kEnvironmentSet, kConfigured, kPreparedToDelete})) return S_OK;
    return barrier(E_FAIL, [&] {
        closeOpenApplications();
        releaseModel();
        if (IOuterDTM* outer = std::exchange(outerDtm_, nullptr)) outer->OnReleased();
        userLevel_ = 0;
        if (auto events = frameContainer_.as<IFdtEvents>()) {
            events->OnPreparedToRelease(com::Bstr::fromUtf8(systemTag_).get());
        }
        state_ = kReleased;
        *result = VARIANT_TRUE;
        return S_OK;
    });
}

void QadGenericDTMObject::closeOpenApplications() {
    auto application = frameContainer_.as<IFdtApplication>();
    if (!application) return;
    for (const OpenApplication& open : openApplications_) {
        application->CloseApplication(com::Bstr::fromUtf8(open.invokeId).get(), open.functionId);
    }
}

void QadGenericDTMObject::releaseModel() {
    deviceObject_.clear();
    channel_->Shutdown();
    schemaCache_.reset();
}

HRESULT QadGenericDTMObject::SetLanguage(LONG languageId, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (!inStates(state_, {kEnvironmentSet, kInitialized, kConfigured, kCommunicating})) return S_OK;
    return barrier(E_FAIL, [&] {
        translator_.load("", LanguageTable::codeForLanguageId(languageId));
        sendFunctionsChanged();
        *result = VARIANT_TRUE;
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::InvokeFunctionRequest(BSTR, BSTR, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    return S_OK;
}

HRESULT QadGenericDTMObject::PrivateDialogEnabled(VARIANT_BOOL, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = fdtBool(inStates(state_, {kConfigured, kCommunicating}));
    return S_OK;
}

// --- IDtmNotification ---

HRESULT QadGenericDTMObject::OnFrameNotification(BSTR) { return S_OK; }

HRESULT QadGenericDTMObject::OnDataSetChanged(LONG, BSTR dataSetText) {
    return barrier(E_FAIL, [&] {
        applyDataSetText(deviceObject_, com::toUtf8(dataSetText), false);
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::OnLinkNotification(BSTR, BSTR) { return S_OK; }

HRESULT QadGenericDTMObject::QueryAccept(BSTR, BSTR, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_TRUE;
    return S_OK;
}

// --- services to the frame ---

void QadGenericDTMObject::sendErrorMessage(std::string_view text) {
    if (frameEvents_) {
        frameEvents_->OnErrorMessage(com::Bstr::fromUtf8(systemTag_).get(), com::Bstr::fromUtf8(text).get());
    }
}

void QadGenericDTMObject::sendFunctionsChanged() {
    if (frameEvents_) frameEvents_->OnFunctionChanged(com::Bstr::fromUtf8(systemTag_).get());
}

bool QadGenericDTMObject::lockDataSet() {
    if (!frameContainer_) return false;
    VARIANT_BOOL granted = VARIANT_FALSE;
    if (FAILED(frameContainer_->LockDataSet(com::Bstr::fromUtf8(systemTag_).get(), &granted))) return false;
    if (granted) dataSetLocked_ = true;
    return granted != VARIANT_FALSE;
}

bool QadGenericDTMObject::unlockDataSet() {
    if (!frameContainer_) return false;
    VARIANT_BOOL released = VARIANT_FALSE;
    if (FAILED(frameContainer_->UnlockDataSet(com::Bstr::fromUtf8(systemTag_).get(), &released))) return false;
    return released != VARIANT_FALSE;
}

}  // namespace engine
