// The FDT documents that the DTM object answers, each within its lifecycle
// states; the builders' errors are turned into answers by document_answers.

#include "engine/communication/hart_channel.h"
#include "engine/documents/document_answers.h"
#include "engine/documents/functions_document.h"
#include "engine/documents/information_document.h"
#include "engine/documents/parameter_document.h"
#include "engine/dtm/dtm_support_p.h"
#include "engine/dtm/error_box.h"
#include "engine/dtm/qad_generic_dtm_object.h"

namespace engine {

using namespace dtm_support;

DescriptionSources QadGenericDTMObject::descriptionSources() {
    DescriptionSources sources;
    sources.dtmDocument = dtmDocument_.get();
    sources.schemaCache = schemaCache_;
    sources.model = &deviceObject_;
    sources.iconPath = iconFile_;
    return sources;
}

// Writes a document answer into an FDT out text; shows its error box first.
HRESULT QadGenericDTMObject::deliver(const DocumentAnswer& answer, BSTR* result) {
    if (!answer.errorBox.empty()) showErrorBox(answer.errorBox);
    *result = answer.text ? com::allocBstr(*answer.text) : nullptr;
    return answer.result;
}

template <class Answer>
HRESULT QadGenericDTMObject::documentOperation(DocumentOperation operation, BSTR* result, Answer&& answer) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (!actsInState(operation, state_)) return deliver(answerOutsideState(operation), result);
    return deliver(answer(), result);
}

HRESULT QadGenericDTMObject::GetInformation(BSTR* result) {
    return documentOperation(DocumentOperation::Information, result, [&] {
        return answerInformation(InformationDocumentBuilder(descriptionSources()));
    });
}

HRESULT QadGenericDTMObject::GetDeviceIdentificationInformation(BSTR, BSTR, BSTR* result) {
    return documentOperation(DocumentOperation::DeviceIdentification, result, [&] {
        return answerDeviceIdentification(InformationDocumentBuilder(descriptionSources()));
    });
}

HRESULT QadGenericDTMObject::GetFunctions(BSTR operationPhase, BSTR* result) {
    return documentOperation(DocumentOperation::Functions, result, [&] {
        FunctionsQuery query;
        std::string state;
        channel_->GetStateName(state);
        query.communicationState = state;
        query.openApplications = openApplications_;
        return answerFunctions(FunctionsDocumentBuilder(descriptionSources(), translator_),
                               com::toUtf8(operationPhase), query);
    });
}

HRESULT QadGenericDTMObject::GetActiveXGuid(BSTR functionCall, BSTR* result) {
    return documentOperation(DocumentOperation::ActiveX, result, [&] {
        DocumentAnswer answer = answerActiveXGuid(*dtmDocument_, com::toUtf8(functionCall));
        if (answer.text) lockDataSet();
        return answer;
    });
}

HRESULT QadGenericDTMObject::GetActiveXProgId(BSTR functionCall, BSTR* result) {
    return documentOperation(DocumentOperation::ActiveX, result, [&] {
        DocumentAnswer answer = answerActiveXProgId(*dtmDocument_, com::toUtf8(functionCall));
        if (answer.text) lockDataSet();
        return answer;
    });
}

HRESULT QadGenericDTMObject::GetParameters(BSTR, BSTR* result) {
    return documentOperation(DocumentOperation::GetParameters, result, [&] {
        const InformationDocumentBuilder information(descriptionSources());
        return answerParameters(ParameterDocumentBuilder(information));
    });
}

HRESULT QadGenericDTMObject::SetParameters(BSTR, BSTR parameters, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (!actsInState(DocumentOperation::SetParameters, state_)) return S_OK;
    ParameterUpdater updater(descriptionSources());
    const UpdateAnswer answer =
        answerSetParameters(updater, com::toUtf8(parameters), userLevel_, [this] { return lockDataSet(); });
    if (!answer.frameError.empty()) sendErrorMessage(answer.frameError);
    if (answer.success) dirty_ = true;
    *result = fdtBool(answer.success);
    return answer.result;
}

}  // namespace engine
