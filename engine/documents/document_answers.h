#pragma once
// What the DTM object answers the frame for each document operation: the
// builders' errors turned into results, and the lifecycle states in which an
// operation acts. No function here throws; the DTM object shows the box,
// sends the message and takes the data-set lock that an answer asks for.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/com/hresult.h"

namespace xml {
class Document;
}

namespace engine {

class FunctionsDocumentBuilder;
class InformationDocumentBuilder;
class ParameterDocumentBuilder;
class ParameterUpdater;
struct FunctionsQuery;

inline constexpr std::string_view kUnknownErrorText = "Unkown Error";
inline constexpr std::string_view kSetParametersErrorText = "Error on SetParameters";

// An answer with a text.
struct DocumentAnswer {
    HRESULT result = S_OK;
    std::optional<std::string> text;  // nullopt: a null text
    std::string errorBox;  // not empty: show as a task-modal error box (caption "Error") first
};

// An answer with a boolean.
struct UpdateAnswer {
    HRESULT result = S_OK;
    bool success = false;
    std::string frameError;  // not empty: send to the frame as an error message
};

// The operations whose answer depends on the lifecycle state.
enum class DocumentOperation {
    Information,           // GetInformation: states 3 to 6
    DeviceIdentification,  // the identification document: states 3 to 6
    Functions,             // GetFunctions: states 4 to 6
    ActiveX,               // GetActiveXGuid, GetActiveXProgId: states 4 to 6
    GetParameters,         // states 5 and 6
    SetParameters,         // states 5 and 6
};

bool actsInState(DocumentOperation operation, int32_t state);

// The answer outside those states: S_OK with an empty text for Functions, a
// null text for the other text operations, false for SetParameters.
DocumentAnswer answerOutsideState(DocumentOperation operation);
UpdateAnswer updateOutsideState();

// Any failure: the "Unkown Error" box, E_POINTER and no document.
DocumentAnswer answerInformation(const InformationDocumentBuilder& builder);
DocumentAnswer answerDeviceIdentification(const InformationDocumentBuilder& builder);

// Any failure: S_OK with a null text.
DocumentAnswer answerFunctions(const FunctionsDocumentBuilder& builder,
                               std::string_view operationPhase, const FunctionsQuery& query);

// S_OK with the ProgID or CLSID text or null; the DTM object asks the frame
// for the data-set lock when the text is not null.
DocumentAnswer answerActiveXProgId(const xml::Document& dtmDocument, std::string_view functionCall);
DocumentAnswer answerActiveXGuid(const xml::Document& dtmDocument, std::string_view functionCall);

// Any failure: E_POINTER and no document.
DocumentAnswer answerParameters(const ParameterDocumentBuilder& builder);

// Refused: S_OK, false. Failed: S_OK, false and "Error on SetParameters" for
// the frame. A raised error: E_POINTER, false and no message.
UpdateAnswer answerSetParameters(ParameterUpdater& updater, std::string_view document,
                                 int32_t userLevel, const std::function<bool()>& lockDataSet);

}  // namespace engine
