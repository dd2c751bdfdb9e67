#include "engine/documents/document_answers.h"

#include "engine/documents/activex_lookup.h"
#include "engine/documents/functions_document.h"
#include "engine/documents/information_document.h"
#include "engine/documents/parameter_document.h"

namespace engine {

namespace {

// Runs build; every error it raises (CDTMException, which derives from
// nothing, xml::Error, std::bad_alloc) becomes `failure`.
template <class Build>
DocumentAnswer answerOrFailure(Build&& build, const DocumentAnswer& failure) {
    try {
        return DocumentAnswer{S_OK, build(), {}};
    } catch (...) {
        return failure;
    }
}

const DocumentAnswer kBoxAndPointerError{E_POINTER, std::nullopt, std::string(kUnknownErrorText)};
const DocumentAnswer kPointerError{E_POINTER, std::nullopt, {}};
const DocumentAnswer kNullText{S_OK, std::nullopt, {}};

}  // namespace

bool actsInState(DocumentOperation operation, int32_t state) {
    switch (operation) {
        case DocumentOperation::Information:
        case DocumentOperation::DeviceIdentification:
            return state >= 3 && state <= 6;
        case DocumentOperation::Functions:
        case DocumentOperation::ActiveX:
            return state >= 4 && state <= 6;
        case DocumentOperation::GetParameters:
        case DocumentOperation::SetParameters:
            return state == 5 || state == 6;
    }
    return false;
}

DocumentAnswer answerOutsideState(DocumentOperation operation) {
    if (operation == DocumentOperation::Functions) return DocumentAnswer{S_OK, std::string(), {}};
    return kNullText;
}

UpdateAnswer updateOutsideState() {
    return UpdateAnswer{S_OK, false, {}};
}

DocumentAnswer answerInformation(const InformationDocumentBuilder& builder) {
    return answerOrFailure([&] { return builder.buildInformation(); }, kBoxAndPointerError);
}

DocumentAnswer answerDeviceIdentification(const InformationDocumentBuilder& builder) {
    return answerOrFailure([&] { return builder.buildDeviceIdentification(); },
                           kBoxAndPointerError);
}

DocumentAnswer answerFunctions(const FunctionsDocumentBuilder& builder,
                               std::string_view operationPhase, const FunctionsQuery& query) {
    return answerOrFailure([&] { return builder.build(operationPhase, query); }, kNullText);
}

DocumentAnswer answerActiveXProgId(const xml::Document& dtmDocument,
                                   std::string_view functionCall) {
    return DocumentAnswer{S_OK, activeXProgId(dtmDocument, functionCall), {}};
}

DocumentAnswer answerActiveXGuid(const xml::Document& dtmDocument, std::string_view functionCall) {
    return DocumentAnswer{S_OK, activeXGuid(dtmDocument, functionCall), {}};
}

DocumentAnswer answerParameters(const ParameterDocumentBuilder& builder) {
    return answerOrFailure([&] { return builder.build(); }, kPointerError);
}

UpdateAnswer answerSetParameters(ParameterUpdater& updater, std::string_view document,
                                 int32_t userLevel, const std::function<bool()>& lockDataSet) {
    try {
        switch (updater.apply(document, userLevel, lockDataSet)) {
            case ParameterUpdateResult::Applied:
                return UpdateAnswer{S_OK, true, {}};
            case ParameterUpdateResult::Failed:
                return UpdateAnswer{S_OK, false, std::string(kSetParametersErrorText)};
            case ParameterUpdateResult::Refused:
                break;
        }
        return UpdateAnswer{S_OK, false, {}};
    } catch (...) {
        return UpdateAnswer{E_POINTER, false, {}};
    }
}

}  // namespace engine
