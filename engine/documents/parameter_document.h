#pragma once
// The parameter document: the device data set as the frame reads it
// (GetParameters) and writes it back (SetParameters).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/documents/information_document.h"

namespace engine {

// Builds the document afresh on every call from the model's current state.
class ParameterDocumentBuilder {
public:
    // Uses the information builder's sources and its device-type entries;
    // the information builder must outlive this one.
    explicit ParameterDocumentBuilder(const InformationDocumentBuilder& information);

    // The parameter document, validated; the root element's serialisation.
    // One fdt:DtmVariable per parameter of the model's id list, in list order,
    // leaving out parameters created at run time. Every failure is raised:
    // CDTMException ("Error on GetInformation" when no document can be made,
    // the parser error message when it does not validate, "Format Error" from
    // a parameter) or xml::Error from a DOM operation.
    std::string build() const;

private:
    const InformationDocumentBuilder* information_;
};

// How an update ended.
enum class ParameterUpdateResult {
    Refused,  // user level too low or data-set lock refused: nothing read, nothing changed
    Applied,  // the result is true
    Failed,   // the result is false; the frame is told "Error on SetParameters"
};

// Applies parameter documents from the frame to the model.
class ParameterUpdater {
public:
    // The model of sources is changed; the description document is not used.
    explicit ParameterUpdater(DescriptionSources sources);

    // Refused for user levels below 2 (not configured, or the lowest level 1)
    // and when lockDataSet (called once, after the user level passed) answers
    // false. Otherwise the document must load and validate against the schema
    // cache; then, in this order: the tag of DtmDevice, the bus address of
    // MasterSlaveBus (parameter 1), and each fdt:DtmVariable in document order
    // until the first one that fails. Changes made before a failure stay.
    // A variable names its parameter by label; the k-th variable of a name
    // is the k-th parameter of that label in the model's order. It fails
    // without a parameter, fdt:Value or fdt:Variant, or without a value for a
    // type that has an FDT form; a read-only parameter is skipped. A value
    // equal to what the document showed before the update is not set again;
    // every applied variable marks its parameter changed.
    // Errors other than those of the document's content are raised
    // (CDTMException "Error on SetParameters" when no DOM document can be
    // made, xml::Error, a parameter's CDTMException).
    ParameterUpdateResult apply(std::string_view document, int32_t userLevel,
                                const std::function<bool()>& lockDataSet);

private:
    DescriptionSources sources_;
};

}  // namespace engine
