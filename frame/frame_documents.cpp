#include "frame/frame_documents.h"

#include "platform/xml/document.h"

namespace frame {
namespace {

// A document whose root FDT is in namespace ns, declared as default.
xml::Node startDocument(xml::Document& document, std::string_view ns) {
    xml::Node root = document.createNode(xml::NodeType::Element, "FDT", ns);
    root.setAttribute("xmlns", ns);
    document.appendChild(root);
    return root;
}

xml::Node appendElement(xml::Document& document, xml::Node parent, std::string_view name,
                        std::string_view ns) {
    return parent.appendChild(document.createNode(xml::NodeType::Element, name, ns));
}

}  // namespace

std::string userInformationDocument(std::string_view userLevel, std::string_view userName) {
    constexpr std::string_view ns = "x-schema:FDTUserInformationSchema.xml";
    xml::Document document;
    xml::Node root = startDocument(document, ns);
    root.setAttribute("xmlns:fdt", kDataTypesNamespace);
    xml::Node info = appendElement(document, root, "FDTUserInformation", ns);
    info.setAttribute("userLevel", userLevel);
    info.setAttribute("userName", userName);
    return root.xml();
}

std::string operationPhaseDocument(std::string_view phase) {
    constexpr std::string_view ns = "x-schema:FDTOperationPhaseSchema.xml";
    xml::Document document;
    xml::Node root = startDocument(document, ns);
    appendElement(document, root, "OperationPhase", ns).setAttribute("operationPhase", phase);
    return root.xml();
}

std::string functionCallDocument(long functionId) {
    constexpr std::string_view ns = "x-schema:DTMFunctionCallSchema.xml";
    xml::Document document;
    xml::Node root = startDocument(document, ns);
    root.setAttribute("xmlns:func", "x-schema:DTMFunctionsSchema.xml");
    appendElement(document, root, "FunctionCall", ns)
        .setAttribute("func:functionId", std::to_string(functionId));
    return root.xml();
}

}  // namespace frame
