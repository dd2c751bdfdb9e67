#pragma once
// The functions document: the DTM's menu as the frame shows it, built from
// the "user:Menu" tree of the DTM description.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/documents/information_document.h"

namespace engine {

class LanguageTable;

// A user interface of a function that is open at the moment.
struct OpenApplication {
    std::string invokeId;
    int32_t functionId = 0;
};

// The moment's state that the Status of each function follows.
struct FunctionsQuery {
    // The channel's state text; functions with req_online="true" are enabled
    // only while it is "ONLINE".
    std::string communicationState;
    // Open user interfaces; their functions are disabled.
    std::span<const OpenApplication> openApplications;
};

// Builds the document afresh on every call. Each menu node yields, in this
// order of precedence: a separator entry (separator="true"); a Function or,
// with a user:AppId, a StandardFunction (a user:Function child); a Document
// (a user:Document child); a Functions or StandardFunctions container holding
// its user:Childs nodes. Labels are translated, names, help texts, paths and
// ids are not.
class FunctionsDocumentBuilder {
public:
    // The translator must outlive the builder.
    FunctionsDocumentBuilder(DescriptionSources sources, const LanguageTable& translator);

    // The functions document, validated; the root element's serialisation.
    // operationPhase is the frame's input document: it must load and validate,
    // its content does not change the result. Every failure is raised:
    // CDTMException ("Error on GetFunctions" when no document can be made, the
    // parser error message when the input or the output does not validate) or
    // xml::Error from a DOM operation.
    std::string build(std::string_view operationPhase, const FunctionsQuery& query) const;

private:
    DescriptionSources sources_;
    const LanguageTable* translator_;
};

}  // namespace engine
