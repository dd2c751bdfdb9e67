#include <gtest/gtest.h>

#include "tests/platform/xml/xml_test_support.h"

namespace xml {
namespace {

using test::fixture;
using test::lineOf;
using test::loadSchemaSet;

class XmlFdtSchemas : public ::testing::Test {
protected:
    static void SetUpTestSuite() { cache_ = loadSchemaSet(); }
    static void TearDownTestSuite() { cache_.reset(); }

    // Loads with validation against the schema set.
    static ParseError loadValidated(const std::string& text)
    {
        Document doc;
        doc.setSchemaCache(cache_);
        doc.loadXML(text);
        return doc.parseError();
    }

    static std::shared_ptr<SchemaCache> cache_;
};

std::shared_ptr<SchemaCache> XmlFdtSchemas::cache_;

TEST_F(XmlFdtSchemas, EveryFileOfTheSetIsASchema)
{
    const std::vector<std::string> expected = {
        "x-schema:DTMFunctionCallSchema.xml",        "x-schema:DTMFunctionsSchema.xml",
        "x-schema:DTMIdentSchema.xml",               "x-schema:DTMInformationSchema.xml",
        "x-schema:DTMParameterSchema.xml",           "x-schema:FDTApplicationIdSchema.xml",
        "x-schema:FDTDataTypesSchema.xml",           "x-schema:FDTHARTCommunicationSchema.xml",
        "x-schema:FDTHARTDeviceTypeIdentSchema.xml", "x-schema:FDTHARTIdentSchema.xml",
        "x-schema:FDTOperationPhaseSchema.xml",      "x-schema:FDTProfibusDPV1CommunicationSchema.xml",
        "x-schema:FDTUserInformationSchema.xml",     "x-schema:FDTUserMessageSchema.xml",
    };
    EXPECT_EQ(cache_->namespaces(), expected);
}

class XmlDocumentShape : public XmlFdtSchemas, public ::testing::WithParamInterface<const char*> {};

TEST_P(XmlDocumentShape, Validates)
{
    const ParseError e = loadValidated(fixture(GetParam()));
    EXPECT_TRUE(e.ok()) << GetParam() << ": line " << e.line << ": " << e.reason;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, XmlDocumentShape,
                         ::testing::Values("information.xml", "information_minimal.xml", "identification.xml",
                                           "functions.xml", "parameters.xml", "parameters_update.xml",
                                           "parameters_update_empty.xml", "user_information.xml", "user_message.xml",
                                           "user_message_answer.xml", "hart_connect_request.xml",
                                           "hart_connect_response.xml", "hart_connect_response_error.xml",
                                           "hart_disconnect_request.xml", "hart_disconnect_response.xml",
                                           "hart_data_exchange_request.xml", "hart_data_exchange_request_plain.xml",
                                           "hart_data_exchange_response.xml", "hart_data_exchange_response_status.xml",
                                           "hart_communication_error.xml", "abort.xml", "function_call.xml",
                                           "operation_phase.xml"));

}  // namespace
}  // namespace xml

namespace xml {
namespace {

struct Fault {
    const char* name;
    const char* fixture;
    std::vector<std::pair<std::string, std::string>> edits;  // applied to the fixture text, first match each
    const char* lineMarker;                                  // text on the line the error must name
    const char* reason;                                      // part of the expected reason
};

void PrintTo(const Fault& f, std::ostream* os) { *os << f.name; }

std::string applyEdits(std::string text, const Fault& f)
{
    for (const auto& [from, to] : f.edits) {
        const auto at = text.find(from);
        if (at == std::string::npos) {
            ADD_FAILURE() << f.name << ": '" << from << "' not in " << f.fixture;
            continue;
        }
        text.replace(at, from.size(), to);
    }
    return text;
}

class XmlTypicalFault : public XmlFdtSchemas, public ::testing::WithParamInterface<Fault> {};

TEST_P(XmlTypicalFault, IsRejectedWithLineAndReason)
{
    const Fault& f = GetParam();
    const std::string text = applyEdits(fixture(f.fixture), f);
    const ParseError e = loadValidated(text);
    ASSERT_EQ(e.code, ErrorCode::Validation) << e.reason;
    EXPECT_EQ(e.line, lineOf(text, f.lineMarker)) << e.reason;
    EXPECT_GT(e.column, 0);
    EXPECT_NE(e.reason.find(f.reason), std::string::npos) << e.reason;
}

const Fault kFaults[] = {
    {"MissingFdtVersionMajor", "information.xml", {{" major=\"1\"", ""}}, "<FDTVersion",
     "Element 'FDTVersion' lacks the required attribute 'major'"},
    {"MisspeltFdtVersion", "information.xml", {{"<FDTVersion ", "<FDTVersio "}}, "<FDTVersio ",
     "Element 'FDTVersio' is not allowed in element 'DtmInfo'; expected 'FDTVersion'"},
    {"CommunicationTypeOutsideEnumeration", "information.xml", {{"\"required\"", "\"mandatory\""}},
     "communicationType=\"mandatory\"", "has the value 'mandatory', which is not one of 'required', 'optional'"},
    {"UndeclaredIconAttribute", "information.xml", {{"DeviceIcon path=", "DeviceIcon file="}}, "DeviceIcon",
     "Attribute 'file' is not declared for element 'fdt:DeviceIcon'"},
    {"BusCategoryNotAGuid", "information.xml", {{"busCategory=\"036D1498-387B-11D4-86E1-00E0987270B9\"", "busCategory=\"HART-BUS\""}},
     "HART-BUS", "which is not a valid value of type 'uuid'"},
    {"DeviceTypesMissing", "information_minimal.xml", {{"<DtmDeviceTypes/>", ""}}, "<DtmInfo>",
     "Element 'DtmInfo' is incomplete; expected 'DtmDeviceTypes'"},
    {"SupportLevelOutsideEnumeration", "identification.xml", {{"\"specificSupport\"", "\"fullSupport\""}},
     "fullSupport", "'hartident:idDTMSupportLevel' of element 'DevId:DeviceIdentification' has the value 'fullSupport'"},
    {"ForeignAttributeOnClosedElement", "identification.xml", {{"hartident:deviceTypeID=", "hartident:deviceTypeId="}},
     "deviceTypeId", "Attribute 'hartident:deviceTypeId' is not allowed on element 'DevId:IdTypeID', whose content model is closed"},
    {"SeparatorStatusWithoutEnabled", "functions.xml", {{" enabled=\"1\" hidden=\"0\" separator=\"1\"", " hidden=\"0\" separator=\"1\""}},
     "separator=\"1\"", "Element 'Status' lacks the required attribute 'enabled'"},
    {"MisspeltFunction", "functions.xml", {{"<Function label=\"Online", "<Funtion label=\"Online"}, {"</Function>", "</Funtion>"}},
     "<Funtion", "Element 'Funtion' is not allowed in element 'Functions'"},
    {"HasGuiNotBoolean", "functions.xml", {{"hasGUI=\"1\"", "hasGUI=\"true\""}}, "hasGUI=\"true\"",
     "which is not a valid value of type 'boolean'"},
    {"StatusMissing", "functions.xml", {{"<Status toggle=\"0\" checked=\"0\" enabled=\"1\" hidden=\"0\" separator=\"1\"/>", ""}},
     "functionId=\"\"", "Element 'Function' is incomplete; expected 'Icon', 'Status'"},
    {"DataTypeOutsideEnumeration", "parameters.xml", {{"dataType=\"float\"", "dataType=\"real\""}}, "\"real\"",
     "Attribute 'dataType' of element 'fdt:Variant' has the value 'real'"},
    {"BinDataOddDigits", "parameters.xml", {{"binData=\"000005\"", "binData=\"00005\""}}, "00005",
     "which is not a valid value of type 'bin.hex'"},
    {"StorageStateOutsideEnumeration", "parameters.xml", {{"\"transient\"", "\"volatile\""}}, "volatile",
     "Attribute 'fdt:storageState' of element 'FDT' has the value 'volatile'"},
    {"TwoValuesInOneVariant", "parameters.xml", {{"<fdt:NumberData number=\"42.5\"/>", "<fdt:NumberData number=\"42.5\"/><fdt:StringData string=\"x\"/>"}},
     "42.5", "Element 'fdt:StringData' is not expected here in element 'fdt:Variant'; expected the end of the element"},
    {"UserLevelDiffersInCase", "user_information.xml", {{"\"planningEngineer\"", "\"PlanningEngineer\""}},
     "PlanningEngineer", "Attribute 'userLevel' of element 'FDTUserInformation' has the value 'PlanningEngineer'"},
    {"MessageTypeOutsideEnumeration", "user_message.xml", {{"\"messageQuestion\"", "\"messageWarning\""}}, "<FDTUserMessage",
     "has the value 'messageWarning', which is not one of 'messageInformation'"},
    {"MessageButtonsOutsideEnumeration", "user_message.xml", {{"\"buttonsYesNo\"", "\"buttonsMaybe\""}}, "<FDTUserMessage",
     "Attribute 'messageButtons' of element 'FDTUserMessage' has the value 'buttonsMaybe'"},
    {"ResultMessageOutsideEnumeration", "user_message_answer.xml", {{"\"buttonNo\"", "\"buttonLater\""}}, "buttonLater",
     "Attribute 'resultMessage' of element 'FDTUserMessage' has the value 'buttonLater'"},
    {"TextLineUnqualifiedString", "user_message.xml", {{"TextLine fdt:string=", "TextLine string="}}, "<TextLine",
     "Attribute 'string' is not declared for element 'TextLine'"},
    {"ConnectRequestWithoutTag", "hart_connect_request.xml", {{" fdt:tag=\"PV-101\"", ""}}, "<ConnectRequest",
     "Element 'ConnectRequest' lacks the required attribute 'tag' of namespace 'x-schema:FDTDataTypesSchema.xml'"},
    {"CommandNumberOutOfRange", "hart_data_exchange_request.xml", {{"\"155\"", "\"70000\""}}, "70000",
     "which is not a valid value of type 'ui2'"},
    {"StatusChildrenOutOfOrder", "hart_data_exchange_response.xml",
     {{"<CommandResponse value=\"0\"/>", "<CommandResponse value=\"0\"/><CommunicationStatus value=\"1\"/>"}},
     "CommunicationStatus", "Element 'CommunicationStatus' is not expected here in element 'Status'"},
    {"TwoMessagesInOneDocument", "hart_disconnect_response.xml", {{"</FDT>", "<DisconnectResponse/></FDT>"}},
     "<FDT", "Element 'DisconnectResponse' is not expected here in element 'FDT'"},
    {"TextInsideAbort", "abort.xml", {{"<Abort/>", "<Abort>now</Abort>"}}, "<Abort>",
     "Element 'Abort' may not contain text (it must be empty)"},
    {"UnqualifiedFunctionId", "function_call.xml", {{"func:functionId", "functionId"}}, "<FunctionCall",
     "Attribute 'functionId' is not declared for element 'FunctionCall'"},
    {"OperationPhaseOutsideEnumeration", "operation_phase.xml", {{"\"engineering\"", "\"design\""}}, "design",
     "Attribute 'operationPhase' of element 'OperationPhase' has the value 'design'"},
};

INSTANTIATE_TEST_SUITE_P(Documents, XmlTypicalFault, ::testing::ValuesIn(kFaults),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace xml

namespace xml {
namespace {

constexpr const char* kFdt = "x-schema:FDTDataTypesSchema.xml";

// Documents built node by node as the document builders build them; each must
// validate as built and again after a round trip through its text.
class XmlBuiltDocument : public XmlFdtSchemas {
protected:
    Document start()
    {
        Document doc;
        doc.setSchemaCache(cache_);
        doc.appendChild(doc.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"UTF-8\""));
        return doc;
    }
    Node root(Document& doc, const std::string& ns)
    {
        Node r = doc.appendChild(doc.createNode(NodeType::Element, "FDT", ns));
        if (!ns.empty()) {
            r.setAttribute("xmlns", ns);
        }
        r.setAttribute("xmlns:fdt", kFdt);
        return r;
    }
    static Node child(Document& doc, Node parent, const std::string& name, const std::string& ns)
    {
        return parent.appendChild(doc.createNode(NodeType::Element, name, ns));
    }
    void expectValid(const Document& doc)
    {
        const ParseError built = doc.validate();
        EXPECT_TRUE(built.ok()) << built.reason << "\n" << doc.xml();
        const ParseError reread = loadValidated(doc.documentElement().xml());
        EXPECT_TRUE(reread.ok()) << reread.reason << "\n" << doc.documentElement().xml();
    }
};

TEST_F(XmlBuiltDocument, HartDeviceIdentification)
{
    const std::string devId = "x-schema:FDTHARTDeviceTypeIdentSchema.xml";
    const std::string hart = "x-schema:FDTHARTIdentSchema.xml";
    Document doc = start();
    Node r = doc.appendChild(doc.createNode(NodeType::Element, "FDT", ""));
    r.setAttribute("xmlns:DevId", devId);
    r.setAttribute("xmlns:hartident", hart);
    r.setAttribute("xmlns:fdt", kFdt);
    r.setAttribute("xmlns:ident", "x-schema:DTMIdentSchema.xml");
    Node ids = child(doc, r, "DevId:DeviceIdentifications", devId);
    ids.setAttribute("fdt:busCategory", "036D1498-387B-11D4-86E1-00E0987270B9");
    Node id = child(doc, ids, "DevId:DeviceIdentification", devId);
    id.setAttribute("hartident:idDTMSupportLevel", "specificSupport");
    const std::pair<const char*, const char*> items[] = {
        {"DevId:IdBusProtocol", "hartident:busProtocol"},
        {"DevId:IdBusProtocolVersion", "hartident:universalCommandRevisionLevel"},
        {"DevId:IdManufacturer", "hartident:manufacturerIdentificationCode"},
        {"DevId:IdTypeID", "hartident:deviceTypeID"},
        {"DevId:IdSoftwareRevision", "hartident:softwareRevision"},
    };
    for (const auto& [element, attribute] : items) {
        child(doc, id, element, devId).setAttribute(attribute, "Object missing");
    }
    child(doc, child(doc, id, "DevId:IdHardwareRevision", devId), "hartident:RegExpr", hart).setAttribute("match", "[0-9]");
    child(doc, id, "DevId:DeviceCommandRevisionLevel", devId).setAttribute("hartident:deviceCommandRevisionLevel", "3");
    child(doc, id, "DevId:DeviceFlag", devId).setAttribute("hartident:deviceFlag", "0");
    expectValid(doc);
    EXPECT_NE(doc.documentElement().xml().find("<DevId:IdBusProtocol hartident:busProtocol=\"Object missing\"/>"),
              std::string::npos);
}

TEST_F(XmlBuiltDocument, FunctionsWithQualifiedNameAttributeNodes)
{
    const std::string functions = "x-schema:DTMFunctionsSchema.xml";
    Document doc = start();
    Node r = root(doc, functions);
    r.setAttribute("xmlns:appId", "x-schema:FDTApplicationIdSchema.xml");
    Node menu = child(doc, r, "Functions", functions);
    menu.setAttribute("label", "");
    menu.setAttributeNode(doc.createNode(NodeType::Attribute, "fdt:name", kFdt));
    menu.setAttribute("help", "");
    Node function = child(doc, menu, "Function", functions);
    function.setAttribute("label", "Menu");
    function.setAttribute("fdt:name", "menu");
    function.setAttribute("functionId", "1");
    Node status = child(doc, function, "Status", functions);
    for (const char* flag : {"toggle", "checked", "hidden", "separator", "enabled"}) {
        status.setAttribute(flag, "0");
    }
    Node ids = child(doc, function, "appId:FDTApplicationIds", "x-schema:FDTApplicationIdSchema.xml");
    child(doc, ids, "appId:ApplicationId", "x-schema:FDTApplicationIdSchema.xml").setAttribute("applicationId", "x");
    expectValid(doc);
    EXPECT_NE(doc.documentElement().xml().find("<Functions label=\"\" fdt:name=\"\" help=\"\">"), std::string::npos);
}

TEST_F(XmlBuiltDocument, DataExchangeRequestAndUserMessage)
{
    const std::string comm = "x-schema:FDTHARTCommunicationSchema.xml";
    Document request = start();
    Node exchange = child(request, root(request, comm), "DataExchangeRequest", comm);
    exchange.setAttribute("commandNumber", "155");
    exchange.setAttribute("communicationReference", "");
    child(request, exchange, "fdt:CommunicationData", kFdt).setAttribute("byteArray", "0A0B");
    expectValid(request);
    EXPECT_EQ(request.xml(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
              "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"><DataExchangeRequest commandNumber=\"155\" "
              "communicationReference=\"\"><fdt:CommunicationData byteArray=\"0A0B\"/></DataExchangeRequest></FDT>\n");

    const std::string message = "x-schema:FDTUserMessageSchema.xml";
    Document box = start();
    Node user = child(box, root(box, message), "FDTUserMessage", message);
    user.setAttribute("messageType", "messageQuestion");
    user.setAttribute("messageButtons", "buttonsYesNo");
    user.setAttribute("messageDefault", "buttonYes");
    user.setAttribute("title", "DTM_Name");
    child(box, user, "TextLine", message).setAttribute("fdt:string", "Start the autotune now?");
    expectValid(box);
    EXPECT_EQ(box.documentElement().xml() + "\n", fixture("user_message.xml"));
}

}  // namespace
}  // namespace xml
