#include "engine/communication/communication_documents.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/description/schema_cache_builder.h"
#include "platform/xml/document.h"
#include "platform/xml/schema_cache.h"

namespace engine::communication {
namespace {

std::shared_ptr<const xml::SchemaCache> frameSchemas() {
    return buildSchemaCache(std::string(HARTDTM_SOURCE_ROOT) + "/devices/schemas");
}

TEST(ChannelConnectRequestDocument, IsTheConcatenatedText) {
    EXPECT_EQ(connectRequestDocument("PT-101", "0"),
              "<?xml version=\"1.0\"?>\n"
              "<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
              "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">\n"
              "<ConnectRequest fdt:tag=\"PT-101\">\n"
              "<ShortAddress shortAddress=\"0\"/>\n"
              "</ConnectRequest>\n"
              "</FDT>\n");
    EXPECT_EQ(disconnectRequestDocument("ref-1"),
              "<?xml version=\"1.0\"?>\n"
              "<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
              "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">\n"
              "<DisconnectRequest communicationReference=\"ref-1\"/>\n"
              "</FDT>\n");
}

TEST(ChannelConnectRequestDocument, LongAndSpecialTextsStayWellFormed) {
    const std::string longTag(5000, 'T');
    const std::string longReference(3000, 'r');
    const struct {
        std::string document;
        std::string xpath;
        std::string value;
    } cases[] = {
        {connectRequestDocument(longTag, "15"), "//user:ConnectRequest/@fdt:tag", longTag},
        {connectRequestDocument("A&B \"<x>\"", "1"), "//user:ConnectRequest/@fdt:tag",
         "A&B \"<x>\""},
        {disconnectRequestDocument(longReference),
         "//user:DisconnectRequest/@communicationReference", longReference},
        {disconnectRequestDocument("a\"b&c"), "//user:DisconnectRequest/@communicationReference",
         "a\"b&c"},
    };
    for (const auto& c : cases) {
        const ParsedResponse parsed = parseResponse(c.document, nullptr);
        ASSERT_TRUE(parsed.ok()) << parsed.error.reason;
        EXPECT_EQ(parsed.text(c.xpath), c.value);
    }
}

TEST(ChannelDataExchangeRequestDocument, CommunicationDataOnlyWithRequestItems) {
    const std::string withData = dataExchangeRequestDocument(155, "ref-1", std::string("3f800000"));
    const std::string without = dataExchangeRequestDocument(3, "", std::nullopt);
    EXPECT_EQ(without.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << without;

    const ParsedResponse a = parseResponse(withData, nullptr);
    EXPECT_EQ(a.text("//user:DataExchangeRequest/@commandNumber"), "155");
    EXPECT_EQ(a.text("//user:DataExchangeRequest/@communicationReference"), "ref-1");
    EXPECT_EQ(a.text("//user:DataExchangeRequest/fdt:CommunicationData/@byteArray"), "3f800000");
    EXPECT_EQ(a.document.documentElement().getAttribute("xmlns"),
              "x-schema:FDTHARTCommunicationSchema.xml");
    EXPECT_EQ(a.document.documentElement().getAttribute("xmlns:fdt"),
              "x-schema:FDTDataTypesSchema.xml");

    const ParsedResponse b = parseResponse(without, nullptr);
    EXPECT_EQ(b.text("//user:DataExchangeRequest/@communicationReference"), "");
    EXPECT_FALSE(b.text("//fdt:CommunicationData"));
}

TEST(ChannelDataExchangeRequestDocument, ReferenceIsReplacedAtSendingTime) {
    const std::string stored = dataExchangeRequestDocument(3, "", std::string("00"));
    const auto refreshed = withCommunicationReference(stored, "ref-2");
    ASSERT_TRUE(refreshed);
    const ParsedResponse parsed = parseResponse(*refreshed, nullptr);
    EXPECT_EQ(parsed.text("//user:DataExchangeRequest/@communicationReference"), "ref-2");
    EXPECT_EQ(parsed.text("//fdt:CommunicationData/@byteArray"), "00");

    EXPECT_FALSE(withCommunicationReference("<FDT/>", "r"));
    EXPECT_FALSE(withCommunicationReference("not xml", "r"));
}

TEST(ChannelAbortDocument, EmptyAbortInTheProfibusNamespace) {
    const ParsedResponse parsed = parseResponse(abortDocument(), nullptr);
    ASSERT_TRUE(parsed.ok());
    const xml::Node root = parsed.document.documentElement();
    EXPECT_EQ(root.nodeName(), "FDT");
    EXPECT_EQ(root.namespaceURI(), "x-schema:FDTProfibusDPV1CommunicationSchema.xml");
    EXPECT_EQ(root.getAttribute("xmlns:fdt"), "x-schema:FDTDataTypesSchema.xml");
    ASSERT_EQ(root.childElements().size(), 1u);
    EXPECT_EQ(root.childElements()[0].nodeName(), "Abort");
    EXPECT_EQ(root.childElements()[0].namespaceURI(),
              "x-schema:FDTProfibusDPV1CommunicationSchema.xml");
}

TEST(ChannelCommunicationDocuments, RequestsValidateAgainstTheFrameSchemas) {
    const auto schemas = frameSchemas();
    ASSERT_TRUE(schemas->contains(kHartCommunicationNamespace));
    for (const std::string& document :
         {connectRequestDocument("PT-101", "0"), disconnectRequestDocument("ref-1"),
          dataExchangeRequestDocument(3, "ref-1", std::nullopt),
          dataExchangeRequestDocument(155, "ref-1", std::string("3f800000"))}) {
        const ParsedResponse parsed = parseResponse(document, schemas);
        EXPECT_TRUE(parsed.ok()) << parsed.error.reason << "\n" << document;
    }
}

TEST(ChannelParseResponse, BrokenDocumentsAnswerNothing) {
    for (const char* text : {"", "<FDT", "<<<", "<FDT xmlns:user='x'><a></b></FDT>", "\xff\xfe"}) {
        const ParsedResponse parsed = parseResponse(text, nullptr);
        EXPECT_FALSE(parsed.ok()) << text;
        EXPECT_FALSE(parsed.text("//user:ConnectResponse/@communicationReference"));
        EXPECT_EQ(parsed.textOr("//fdt:CommunicationError/@tag", "unknow"), "unknow");
    }
}

TEST(ChannelCutText, NeverSplitsACharacter) {
    EXPECT_EQ(cutText(std::string(300, 'a'), 255).size(), 255u);
    EXPECT_EQ(cutText("short", 255), "short");
    const std::string umlauts = std::string(254, 'a') + "\xc3\xa4";  // 256 bytes
    EXPECT_EQ(cutText(umlauts, 255), std::string(254, 'a'));
}

}  // namespace
}  // namespace engine::communication
