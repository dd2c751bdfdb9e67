#include "engine/documents/user_documents.h"

#include "platform/xml/document.h"
#include "platform/xml/schema_cache.h"

namespace engine {

namespace {

constexpr const char* kUserInformationNamespaces =
    "xmlns:user='x-schema:FDTUserInformationSchema.xml' xmlns:fdt='x-schema:FDTDataTypesSchema.xml'";
constexpr const char* kUserMessageNamespaces =
    "xmlns:user='x-schema:FDTUserMessageSchema.xml' xmlns:fdt='x-schema:FDTDataTypesSchema.xml'";
constexpr const char* kUserMessageSchema = "x-schema:FDTUserMessageSchema.xml";
constexpr const char* kDataTypesSchema = "x-schema:FDTDataTypesSchema.xml";

// Loads an answer from the frame with validation against the cache.
bool loadValidated(xml::Document& doc, std::string_view text, std::shared_ptr<const xml::SchemaCache> cache,
                   const char* namespaces) {
    doc.setAsync(false);
    doc.setValidateOnParse(true);
    doc.setSchemaCache(std::move(cache));
    if (!doc.loadXML(text)) return false;
    doc.setProperty("SelectionLanguage", "XPath");
    doc.setProperty("SelectionNamespaces", namespaces);
    return true;
}

}  // namespace

std::int32_t userLevelOf(std::string_view text) {
    if (text == "planningEngineer") return kUserLevelPlanningEngineer;
    if (text == "maintenance") return kUserLevelMaintenance;
    if (text == "operator") return kUserLevelOperator;
    return kUserLevelOther;
}

UserInformation readUserInformation(std::string_view document, std::shared_ptr<const xml::SchemaCache> cache) {
    UserInformation info;
    xml::Document doc;
    if (!loadValidated(doc, document, std::move(cache), kUserInformationNamespaces)) return info;
    info.loaded = true;
    if (const xml::Node level = doc.selectSingleNode("//user:FDTUserInformation/@userLevel")) {
        info.level = userLevelOf(level.text());
    }
    return info;
}

MessageBoxStyle messageBoxStyle(std::int32_t flags) {
    MessageBoxStyle style{};
    switch (flags & 0xF0) {
        case 0x30: style.messageType = "messageExclamation"; break;
        case 0x20: style.messageType = "messageQuestion"; break;
        case 0x10: style.messageType = "messageStop"; break;
        default: style.messageType = "messageInformation"; break;
    }
    switch (flags & 0x0F) {
        case 1: style.messageButtons = "buttonsOkCancel", style.messageDefault = "buttonOk"; break;
        case 2: style.messageButtons = "buttonsAbortRetryIgnore", style.messageDefault = "buttonAbort"; break;
        case 3: style.messageButtons = "buttonsYesNoCancel", style.messageDefault = "buttonYes"; break;
        case 4: style.messageButtons = "buttonsYesNo", style.messageDefault = "buttonYes"; break;
        case 5: style.messageButtons = "buttonsRetryCancel", style.messageDefault = "buttonRetry"; break;
        default: style.messageButtons = "buttonsOk", style.messageDefault = "buttonOk"; break;
    }
    return style;
}

std::int32_t dialogResultOf(std::string_view resultMessage) {
    if (resultMessage == "buttonOk") return 1;
    if (resultMessage == "buttonAbort") return 3;
    if (resultMessage == "buttonRetry") return 4;
    if (resultMessage == "buttonIgnore") return 5;
    if (resultMessage == "buttonYes") return 6;
    if (resultMessage == "buttonNo") return 7;
    return kDialogCancel;
}

std::string buildUserMessage(std::string_view message, std::int32_t flags, std::string_view title,
                             std::shared_ptr<const xml::SchemaCache> cache) {
    xml::Document doc;
    doc.setSchemaCache(std::move(cache));
    doc.appendChild(doc.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"UTF-8\""));
    xml::Node root = doc.appendChild(doc.createNode(xml::NodeType::Element, "FDT", kUserMessageSchema));
    root.setAttribute("xmlns", kUserMessageSchema);
    root.setAttribute("xmlns:fdt", kDataTypesSchema);
    const MessageBoxStyle style = messageBoxStyle(flags);
    xml::Node box = root.appendChild(doc.createNode(xml::NodeType::Element, "FDTUserMessage", kUserMessageSchema));
    box.setAttribute("messageType", style.messageType);
    box.setAttribute("messageButtons", style.messageButtons);
    box.setAttribute("messageDefault", style.messageDefault);
    box.setAttribute("title", title);
    xml::Node line = box.appendChild(doc.createNode(xml::NodeType::Element, "TextLine", kUserMessageSchema));
    line.setAttribute("fdt:string", message);
    return root.xml();
}

std::int32_t readUserMessageAnswer(std::string_view answer, std::shared_ptr<const xml::SchemaCache> cache) {
    xml::Document doc;
    if (!loadValidated(doc, answer, std::move(cache), kUserMessageNamespaces)) return kDialogCancel;
    const xml::Node result = doc.selectSingleNode("//user:FDTUserMessage/@resultMessage");
    return result ? dialogResultOf(result.text()) : kDialogCancel;
}

}  // namespace engine
