#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <functional>

#include "tests/platform/xml/xml_test_support.h"

namespace xml {
namespace {

using test::fixture;

constexpr const char* kParameterNamespaces =
    "xmlns:user='x-schema:DTMParameterSchema.xml' xmlns:fdt='x-schema:FDTDataTypesSchema.xml'";

// --- loading and parse errors ---

struct BadText {
    const char* text;
    long line;
    const char* reason;
};

class XmlParseErrors : public ::testing::TestWithParam<BadText> {};

TEST_P(XmlParseErrors, CarryLineColumnAndReasonAndLeaveTheDocumentEmpty)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<old/>"));
    EXPECT_FALSE(doc.loadXML(GetParam().text));
    const ParseError& e = doc.parseError();
    EXPECT_EQ(e.code, ErrorCode::Syntax);
    EXPECT_EQ(e.line, GetParam().line);
    EXPECT_GT(e.column, 0);
    EXPECT_NE(e.reason.find(GetParam().reason), std::string::npos) << e.reason;
    EXPECT_TRUE(doc.empty());
    EXPECT_EQ(doc.xml(), "");
}

INSTANTIATE_TEST_SUITE_P(Texts, XmlParseErrors,
                         ::testing::Values(BadText{"<a>\n<b></a>", 2, "mismatch"},
                                           BadText{"<a x='1'\n x='2'/>", 2, "redefined"},
                                           BadText{"<a>&nothing;</a>", 1, "'nothing' not defined"},
                                           BadText{"<p:a/>", 1, "prefix p on a is not defined"},
                                           BadText{"<a/>\n<b/>", 2, "Extra content"},
                                           BadText{"<a>\n\n<", 3, ""}));

TEST(XmlDocument, EmptyTextIsAParseError)
{
    Document doc;
    EXPECT_FALSE(doc.loadXML(""));
    EXPECT_EQ(doc.parseError().code, ErrorCode::Syntax);
    EXPECT_FALSE(doc.parseError().reason.empty());
}

TEST(XmlDocument, LoadsFilesAndNamesTheMissingOne)
{
    Document doc;
    ASSERT_TRUE(doc.load(test::kFixtureDir + "/information.xml")) << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().nodeName(), "FDT");
    EXPECT_TRUE(doc.parseError().ok());

    const std::string missing = test::kFixtureDir + "/no-such-file.xml";
    EXPECT_FALSE(doc.load(missing));
    EXPECT_EQ(doc.parseError().code, ErrorCode::FileNotFound);
    EXPECT_NE(doc.parseError().reason.find(missing), std::string::npos);
    EXPECT_TRUE(doc.empty());

    EXPECT_FALSE(doc.load(test::kFixtureDir));
    EXPECT_EQ(doc.parseError().code, ErrorCode::FileRead);
}

TEST(XmlDocument, FileInADeclaredEncodingIsReadAsUtf8Text)
{
    char path[] = "/tmp/xml_latin1_XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string bytes = "<?xml version='1.0' encoding='ISO-8859-1'?><a v='\xE9'>\xFC</a>";
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
    Document doc;
    const bool loaded = doc.load(path);
    std::remove(path);
    ASSERT_TRUE(loaded) << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().text(), "\xC3\xBC");
    EXPECT_EQ(doc.documentElement().getAttribute("v"), "\xC3\xA9");
    EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a v=\"\xC3\xA9\">\xC3\xBC</a>\n");
}

TEST(XmlDocument, DeclarationIsAProcessingInstructionOutsideTheRootSerialisation)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<?xml version=\"1.0\"?>\n<a><b/></a>"));
    const NodeList top = doc.childNodes();
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0].nodeType(), NodeType::ProcessingInstruction);
    EXPECT_EQ(top[0].nodeName(), "xml");
    EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\"?>\n<a><b/></a>\n");
    EXPECT_EQ(doc.documentElement().xml(), "<a><b/></a>");
}

TEST(XmlDocument, WhiteSpaceIsDroppedUnlessPreserved)
{
    const char* text = "<a>\n  <b> x </b>\n</a>";
    Document doc;
    ASSERT_TRUE(doc.loadXML(text));
    EXPECT_EQ(doc.documentElement().childNodes().size(), 1u);
    EXPECT_EQ(doc.documentElement().firstChild().text(), "x");

    doc.setPreserveWhiteSpace(true);
    ASSERT_TRUE(doc.loadXML(text));
    EXPECT_EQ(doc.documentElement().childNodes().size(), 3u);
    EXPECT_EQ(doc.documentElement().childElements().front().text(), " x ");
}

// --- properties ---

struct NamespacesText {
    const char* text;
    bool valid;
};

class XmlSelectionNamespaces : public ::testing::TestWithParam<NamespacesText> {};

TEST_P(XmlSelectionNamespaces, AreParsedOrRefusedKeepingTheEarlierBindings)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a xmlns='urn:u'><b/></a>"));
    doc.setProperty("SelectionNamespaces", "xmlns:k='urn:u'");
    if (GetParam().valid) {
        doc.setProperty("SelectionNamespaces", GetParam().text);
        EXPECT_EQ(doc.getProperty("SelectionNamespaces"), GetParam().text);
        EXPECT_EQ(doc.selectNodes("//p:b").size(), std::string(GetParam().text).find("urn:u") != std::string::npos ? 1u : 0u);
    } else {
        EXPECT_THROW(doc.setProperty("SelectionNamespaces", GetParam().text), Error);
        EXPECT_EQ(doc.selectNodes("//k:b").size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, XmlSelectionNamespaces,
                         ::testing::Values(NamespacesText{"xmlns:p='urn:u'", true},
                                           NamespacesText{"xmlns:p=\"urn:u\"", true},
                                           NamespacesText{"  xmlns:q='urn:v'\txmlns:p = 'urn:u'  ", true},
                                           NamespacesText{"xmlns='urn:d' xmlns:p='urn:u'", true},
                                           NamespacesText{"xmlns:p='urn:x'", true},
                                           NamespacesText{"xmlns:p=urn:u", false},
                                           NamespacesText{"xmlns:p='urn:u", false},
                                           NamespacesText{"xmlnsp='urn:u'", false},
                                           NamespacesText{"xmlns:1p='urn:u'", false},
                                           NamespacesText{"xmlns:p=''", false},
                                           NamespacesText{"xmlns:p='a'xmlns:q='b'", false},
                                           NamespacesText{"p='urn:u'", false}));

TEST(XmlDocument, ClearedSelectionNamespacesUnbindPrefixes)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a xmlns='urn:u'/>"));
    doc.setProperty("SelectionNamespaces", "xmlns:p='urn:u'");
    EXPECT_TRUE(doc.selectSingleNode("/p:a"));
    doc.setProperty("SelectionNamespaces", "");
    EXPECT_THROW(doc.selectSingleNode("/p:a"), Error);
}

// Selections reuse one evaluation context and compiled expressions; every
// document still answers with its own bindings and its own content.
TEST(XmlDocument, SelectionsOfDocumentsInTurnUseEachOnesBindings)
{
    Document first;
    Document second;
    ASSERT_TRUE(first.loadXML("<a xmlns='urn:one'><b>1</b></a>"));
    ASSERT_TRUE(second.loadXML("<a xmlns='urn:two'><b>2</b></a>"));
    first.setProperty("SelectionNamespaces", "xmlns:p='urn:one'");
    second.setProperty("SelectionNamespaces", "xmlns:p='urn:two'");
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(first.selectSingleNode("/p:a/p:b").text(), "1");
        EXPECT_EQ(second.selectSingleNode("/p:a/p:b").text(), "2");
    }
    second.setProperty("SelectionNamespaces", "xmlns:p='urn:one'");
    EXPECT_FALSE(second.selectSingleNode("/p:a/p:b"));
    EXPECT_THROW(first.selectSingleNode("/p:a["), Error);
    EXPECT_THROW(first.selectSingleNode("/p:a["), Error) << "a bad expression is not kept";
    EXPECT_EQ(first.selectSingleNode("/p:a/p:b").text(), "1");
}

TEST(XmlDocument, SelectionLanguageIsXPathAndOtherPropertiesAreRefused)
{
    Document doc;
    EXPECT_NO_THROW(doc.setProperty("SelectionLanguage", "XPath"));
    EXPECT_EQ(doc.getProperty("SelectionLanguage"), "XPath");
    EXPECT_THROW(doc.setProperty("SelectionLanguage", "XSLPattern"), Error);
    EXPECT_THROW(doc.setProperty("ProhibitDTD", "true"), Error);
    EXPECT_THROW(doc.getProperty("NewParser"), Error);
}

// --- XPath selection ---

TEST(XmlXPath, SelectsAttributesThroughBoundPrefixes)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML(fixture("parameters_update.xml")));
    doc.setProperty("SelectionLanguage", "XPath");
    doc.setProperty("SelectionNamespaces", kParameterNamespaces);

    const Node tag = doc.selectSingleNode("//user:DtmDevice/@fdt:tag");
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag.nodeType(), NodeType::Attribute);
    EXPECT_EQ(tag.nodeName(), "fdt:tag");
    EXPECT_EQ(tag.baseName(), "tag");
    EXPECT_EQ(tag.namespaceURI(), "x-schema:FDTDataTypesSchema.xml");
    EXPECT_EQ(tag.text(), "PV-102");
    EXPECT_EQ(tag.ownerElement().baseName(), "DtmDevice");
    EXPECT_FALSE(tag.parentNode());

    EXPECT_EQ(doc.selectSingleNode("//user:MasterSlaveBus/@busAddress").text(), "3");
    EXPECT_FALSE(doc.selectSingleNode("//user:MasterSlaveBus/@busMasterConfigurationPart"));

    const NodeList variables = doc.selectNodes("//fdt:DtmVariable");
    ASSERT_EQ(variables.size(), 2u);
    EXPECT_EQ(variables[0].getAttribute("name"), "Setpoint");
    EXPECT_EQ(variables[1].getAttribute("name"), "No value");
    EXPECT_EQ(variables[0].selectSingleNode("fdt:Value/fdt:Variant/fdt:NumberData/@number").text(), "12");
    EXPECT_FALSE(variables[1].selectSingleNode("fdt:Value"));
}

TEST(XmlXPath, MatchesByNamespaceNotByTheDocumentsPrefix)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<q:FDT xmlns:q='x-schema:DTMFunctionsSchema.xml'><q:Call q:functionId='17'/>"
                            "<Call functionId='5'/></q:FDT>"));
    doc.setProperty("SelectionNamespaces", "xmlns:func='x-schema:DTMFunctionsSchema.xml'");
    const NodeList ids = doc.selectNodes("//@func:functionId");
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(ids[0].text(), "17");
    EXPECT_EQ(doc.selectNodes("//Call").size(), 1u);
}

TEST(XmlXPath, RefusesWhatIsNotANodeSelection)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a><b/></a>"));
    for (const char* expression : {"count(//b)", "//[", "//x:b", "", "string(/a)"}) {
        try {
            doc.selectNodes(expression);
            ADD_FAILURE() << expression;
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::XPath) << expression;
        }
    }
    EXPECT_FALSE(doc.selectSingleNode("//c"));
    EXPECT_THROW(Node().selectNodes("//b"), Error);
}

TEST(XmlXPath, AnswersTextAndDocumentNodesButNoNamespaceNodes)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a xmlns:p='urn:p'>t<!--c--><?pi d?></a>"));
    EXPECT_EQ(doc.selectSingleNode("/a/text()").nodeType(), NodeType::Text);
    EXPECT_EQ(doc.selectSingleNode("/a/comment()").text(), "c");
    EXPECT_EQ(doc.selectSingleNode("/").nodeType(), NodeType::Document);
    EXPECT_TRUE(doc.selectNodes("/a/namespace::*").empty());
}

// --- building and serialisation ---

TEST(XmlBuilding, InformationDocumentSerialisesAsTheBuilderExpects)
{
    const std::string info = "x-schema:DTMInformationSchema.xml";
    const std::string fdt = "x-schema:FDTDataTypesSchema.xml";
    Document doc;
    doc.appendChild(doc.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"UTF-8\""));
    Node root = doc.appendChild(doc.createNode(NodeType::Element, "FDT", info));
    root.setAttribute("xmlns", info);
    root.setAttribute("xmlns:fdt", fdt);
    root.setAttribute("xmlns:fdtappid", "x-schema:FDTApplicationIdSchema.xml");
    Node dtmInfo = root.appendChild(doc.createNode(NodeType::Element, "DtmInfo", info));
    Node version = dtmInfo.appendChild(doc.createNode(NodeType::Element, "FDTVersion", info));
    version.setAttribute("major", "1");
    version.setAttribute("minor", "2");
    Node versionInfo = dtmInfo.appendChild(doc.createNode(NodeType::Element, "fdt:VersionInformation", fdt));
    versionInfo.setAttribute("name", "");
    dtmInfo.appendChild(doc.createNode(NodeType::Element, "DtmDeviceTypes", info));

    const std::string expectedRoot =
        "<FDT xmlns=\"x-schema:DTMInformationSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" "
        "xmlns:fdtappid=\"x-schema:FDTApplicationIdSchema.xml\"><DtmInfo><FDTVersion major=\"1\" minor=\"2\"/>"
        "<fdt:VersionInformation name=\"\"/><DtmDeviceTypes/></DtmInfo></FDT>";
    EXPECT_EQ(doc.documentElement().xml(), expectedRoot);
    EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + expectedRoot + "\n");
    EXPECT_EQ(doc.xml().find("encoding", 40), std::string::npos);

    Document reread;
    ASSERT_TRUE(reread.loadXML(doc.documentElement().xml()));
    EXPECT_EQ(reread.documentElement().xml(), expectedRoot);
}

TEST(XmlBuilding, AttributesSerialiseInTheOrderTheyWereSet)
{
    Document doc;
    Node e = doc.appendChild(doc.createElement("e"));
    e.setAttribute("c", "3");
    e.setAttribute("a", "1");
    e.setAttribute("b", "2");
    e.setAttribute("a", "9");
    EXPECT_EQ(e.xml(), "<e c=\"3\" a=\"9\" b=\"2\"/>");
    e.removeAttribute("c");
    EXPECT_EQ(e.xml(), "<e a=\"9\" b=\"2\"/>");
    ASSERT_EQ(e.attributes().size(), 2u);
    EXPECT_EQ(e.attributes()[1].nodeName(), "b");
}

TEST(XmlBuilding, NamespaceAttributesDeclareAndPrefixedAttributesResolve)
{
    const std::string comm = "x-schema:FDTHARTCommunicationSchema.xml";
    const std::string fdt = "x-schema:FDTDataTypesSchema.xml";
    Document doc;
    Node root = doc.appendChild(doc.createNode(NodeType::Element, "FDT", comm));
    root.setAttribute("xmlns", comm);
    root.setAttribute("xmlns:fdt", fdt);
    EXPECT_EQ(root.getAttribute("xmlns:fdt"), fdt);
    EXPECT_THROW(root.setAttribute("xmlns", "urn:other"), Error);
    EXPECT_NO_THROW(root.setAttribute("xmlns", comm));

    Node request = root.appendChild(doc.createNode(NodeType::Element, "ConnectRequest", comm));
    request.setAttribute("fdt:tag", "PV-1");
    EXPECT_THROW(request.setAttribute("nope:x", "1"), Error);
    Node detached = doc.createNode(NodeType::Element, "Later", comm);
    EXPECT_THROW(detached.setAttribute("fdt:tag", "x"), Error);
    EXPECT_EQ(request.getAttributeNode("fdt:tag").namespaceURI(), fdt);
    EXPECT_EQ(request.getAttributeNS(fdt, "tag"), "PV-1");
    EXPECT_FALSE(request.getAttributeNode("nope:x"));
    Node data = request.appendChild(doc.createNode(NodeType::Element, "fdt:CommunicationData", fdt));
    data.setAttribute("byteArray", "01");

    EXPECT_EQ(root.xml(),
              "<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
              "<ConnectRequest fdt:tag=\"PV-1\"><fdt:CommunicationData byteArray=\"01\"/>"
              "</ConnectRequest></FDT>");
}

TEST(XmlBuilding, UndeclaredNamespacesAreDeclaredWhereTheyAreNeeded)
{
    Document doc;
    Node root = doc.appendChild(doc.createNode(NodeType::Element, "FDT", ""));
    Node child = root.appendChild(doc.createNode(NodeType::Element, "DevId:DeviceIdentifications", "urn:devid"));
    Node attr = doc.createNode(NodeType::Attribute, "fdt:name", "urn:fdt");
    attr.setText("n");
    EXPECT_FALSE(child.setAttributeNode(attr));
    root.appendChild(doc.createNode(NodeType::Element, "Plain", "urn:default"));
    EXPECT_EQ(root.xml(),
              "<FDT><DevId:DeviceIdentifications xmlns:DevId=\"urn:devid\" xmlns:fdt=\"urn:fdt\" fdt:name=\"n\"/>"
              "<Plain xmlns=\"urn:default\"/></FDT>");
    // The subtree of a child carries what it needs on its own.
    EXPECT_EQ(child.xml(), "<DevId:DeviceIdentifications xmlns:DevId=\"urn:devid\" xmlns:fdt=\"urn:fdt\" fdt:name=\"n\"/>");
}

TEST(XmlBuilding, AnElementWithoutNamespaceUnderADefaultNamespaceUndeclaresIt)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a xmlns='urn:a'/>"));
    doc.documentElement().appendChild(doc.createElement("b"));
    const std::string text = doc.documentElement().xml();
    EXPECT_EQ(text, "<a xmlns=\"urn:a\"><b xmlns=\"\"/></a>");
    Document reread;
    ASSERT_TRUE(reread.loadXML(text));
    EXPECT_EQ(reread.documentElement().firstChild().namespaceURI(), "");
}

TEST(XmlBuilding, SpecialCharactersRoundTrip)
{
    const std::string value = "a<b&\"c\"\n\t>'";
    const std::string text = "x<y&z>]]>\r";
    Document doc;
    Node e = doc.appendChild(doc.createElement("e"));
    e.setAttribute("v", value);
    e.appendChild(doc.createTextNode(text));
    Document reread;
    reread.setPreserveWhiteSpace(true);
    ASSERT_TRUE(reread.loadXML(doc.xml())) << reread.parseError().reason << doc.xml();
    EXPECT_EQ(reread.documentElement().getAttribute("v"), value);
    EXPECT_EQ(reread.documentElement().text(), text);
}

TEST(XmlBuilding, TextThatXmlCannotCarryIsRefused)
{
    Document doc;
    Node e = doc.appendChild(doc.createElement("e"));
    for (const std::string& bad : {std::string("a\x01"), std::string("\xC3"), std::string("a\0b", 3),
                                  std::string("\xED\xA0\x80"), std::string("\xC0\xAF")}) {
        EXPECT_THROW(e.setAttribute("v", bad), Error);
        EXPECT_THROW(e.setText(bad), Error);
        EXPECT_THROW(doc.createTextNode(bad), Error);
    }
    EXPECT_FALSE(e.getAttribute("v"));
    EXPECT_NO_THROW(e.setAttribute("v", "\xE2\x82\xAC \xF0\x9F\x98\x80"));
}

TEST(XmlBuilding, NamesAndTreeChangesAreChecked)
{
    Document doc;
    Document other;
    Node root = doc.appendChild(doc.createElement("root"));
    Node child = root.appendChild(doc.createElement("child"));
    struct Case {
        const char* what;
        std::function<void()> action;
        ErrorKind kind;
    };
    const std::vector<Case> cases = {
        {"second root", [&] { doc.appendChild(doc.createElement("again")); }, ErrorKind::Hierarchy},
        {"cycle", [&] { child.appendChild(root); }, ErrorKind::Hierarchy},
        {"self", [&] { child.appendChild(child); }, ErrorKind::Hierarchy},
        {"other document", [&] { root.appendChild(other.createElement("x")); }, ErrorKind::WrongDocument},
        {"text at top", [&] { doc.appendChild(doc.createTextNode("t")); }, ErrorKind::Hierarchy},
        {"attribute as child", [&] { root.appendChild(doc.createAttribute("a")); }, ErrorKind::Hierarchy},
        {"null child", [&] { root.appendChild(Node()); }, ErrorKind::InvalidArgument},
        {"bad name", [&] { doc.createElement("1a"); }, ErrorKind::InvalidArgument},
        {"two colons", [&] { doc.createNode(NodeType::Element, "a:b:c", "urn:x"); }, ErrorKind::InvalidArgument},
        {"prefix without uri", [&] { doc.createNode(NodeType::Element, "p:a", ""); }, ErrorKind::InvalidArgument},
        {"xmlns attribute node", [&] { doc.createNode(NodeType::Attribute, "xmlns:p", "urn:x"); }, ErrorKind::InvalidArgument},
        {"attribute on text", [&] { doc.createTextNode("t").setAttribute("a", "1"); }, ErrorKind::InvalidArgument},
        {"bad attribute name", [&] { root.setAttribute("a b", "1"); }, ErrorKind::InvalidArgument},
        {"pi data", [&] { doc.createProcessingInstruction("x", "?>"); }, ErrorKind::InvalidArgument},
        {"fragment", [&] { doc.createNode(NodeType::DocumentFragment, "", ""); }, ErrorKind::InvalidArgument},
        {"xml prefix elsewhere", [&] { doc.createNode(NodeType::Attribute, "xml:lang", "urn:x"); }, ErrorKind::InvalidArgument},
        {"xml namespace rebound", [&] { root.setAttribute("xmlns:p", "http://www.w3.org/XML/1998/namespace"); },
         ErrorKind::InvalidArgument},
        {"non-name character", [&] { doc.createElement("a\xC3\x97"); }, ErrorKind::InvalidArgument},
    };
    for (const auto& c : cases) {
        try {
            c.action();
            ADD_FAILURE() << c.what;
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.what;
        }
    }
    EXPECT_EQ(doc.documentElement().xml(), "<root><child/></root>");

    child.setAttributeNode(doc.createNode(NodeType::Attribute, "xml:lang", "http://www.w3.org/XML/1998/namespace"));
    root.appendChild(doc.createElement("\xC3\xA9l\xC3\xA9ment"));
    EXPECT_EQ(doc.documentElement().xml(), "<root><child xml:lang=\"\"/><\xC3\xA9l\xC3\xA9ment/></root>");
}

TEST(XmlBuilding, AppendChildMovesANodeWithinTheTree)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><a><x/></a><b/></r>"));
    Node x = doc.selectSingleNode("//x");
    doc.selectSingleNode("//b").appendChild(x);
    EXPECT_EQ(doc.documentElement().xml(), "<r><a/><b><x/></b></r>");
}

TEST(XmlBuilding, ReplacedNodesStayReadable)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r a='1'><old>t</old></r>"));
    Node root = doc.documentElement();
    Node oldChild = root.firstChild();
    root.setText("new");
    EXPECT_EQ(root.xml(), "<r a=\"1\">new</r>");
    EXPECT_EQ(oldChild.text(), "t");
    EXPECT_FALSE(oldChild.parentNode());

    Node fresh = doc.createAttribute("a");
    fresh.setText("2");
    Node replaced = root.setAttributeNode(fresh);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced.text(), "1");
    EXPECT_EQ(root.getAttribute("a"), "2");
    EXPECT_THROW(root.setAttributeNode(fresh), Error);
    root.setText("");
    EXPECT_EQ(root.xml(), "<r a=\"2\"/>");
}

TEST(XmlBuilding, HandlesSurviveAMoveOfTheDocument)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><c/></r>"));
    Node c = doc.selectSingleNode("//c");
    Document moved = std::move(doc);
    c.setAttribute("k", "v");
    EXPECT_EQ(moved.documentElement().xml(), "<r><c k=\"v\"/></r>");
}

TEST(XmlBuilding, AbortDocumentAsTheChannelBuildsIt)
{
    const std::string dpv1 = "x-schema:FDTProfibusDPV1CommunicationSchema.xml";
    Document doc;
    doc.appendChild(doc.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"UTF-8\""));
    Node root = doc.appendChild(doc.createNode(NodeType::Element, "FDT", dpv1));
    root.setAttribute("xmlns", dpv1);
    root.setAttribute("xmlns:fdt", "x-schema:FDTDataTypesSchema.xml");
    root.appendChild(doc.createNode(NodeType::Element, "Abort", dpv1));
    EXPECT_EQ(doc.xml(), fixture("abort.xml"));
}

TEST(XmlBuilding, ChangingOneAttributeOfAParsedRequestKeepsTheRest)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML(fixture("hart_data_exchange_request_plain.xml")));
    doc.setProperty("SelectionNamespaces", "xmlns:user='x-schema:FDTHARTCommunicationSchema.xml'");
    Node reference = doc.selectSingleNode("//user:DataExchangeRequest/@communicationReference");
    ASSERT_TRUE(reference);
    reference.setText("REF-2");
    EXPECT_EQ(doc.xml(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
              "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"><DataExchangeRequest commandNumber=\"3\" "
              "communicationReference=\"REF-2\"/></FDT>\n");
}

TEST(XmlNodes, NamesAndTypesOfEveryKind)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<p:a xmlns:p='urn:p' p:k='v'>t<![CDATA[c]]><!--m--><?t d?></p:a>"));
    Node a = doc.documentElement();
    EXPECT_EQ(a.nodeName(), "p:a");
    EXPECT_EQ(a.prefix(), "p");
    EXPECT_EQ(a.baseName(), "a");
    EXPECT_EQ(a.namespaceURI(), "urn:p");
    const NodeList children = a.childNodes();
    ASSERT_EQ(children.size(), 4u);
    const std::pair<NodeType, const char*> expected[] = {{NodeType::Text, "#text"},
                                                         {NodeType::CData, "#cdata-section"},
                                                         {NodeType::Comment, "#comment"},
                                                         {NodeType::ProcessingInstruction, "t"}};
    for (std::size_t i = 0; i < children.size(); ++i) {
        EXPECT_EQ(children[i].nodeType(), expected[i].first);
        EXPECT_EQ(children[i].nodeName(), expected[i].second);
        EXPECT_EQ(children[i].parentNode(), a);
    }
    EXPECT_EQ(a.text(), "tc");
    EXPECT_EQ(children[1].nextSibling(), children[2]);
    EXPECT_EQ(children[2].previousSibling(), children[1]);
    EXPECT_EQ(a.lastChild(), children[3]);
    EXPECT_EQ(doc.asNode().nodeName(), "#document");
    EXPECT_EQ(a.parentNode(), doc.asNode());
    EXPECT_TRUE(a.getAttributeNode("p:k").childNodes().empty());
    EXPECT_EQ(a.getAttributeNode("p:k").xml(), "p:k=\"v\"");

    const Node null;
    EXPECT_EQ(null.nodeType(), NodeType::Invalid);
    EXPECT_EQ(null.text(), "");
    EXPECT_FALSE(null.getAttribute("a"));
    EXPECT_TRUE(null.childNodes().empty());
    EXPECT_THROW(Node().setText("x"), Error);
}

}  // namespace
}  // namespace xml
