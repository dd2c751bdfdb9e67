#include <gtest/gtest.h>

#include "tests/platform/xml/xml_test_support.h"

namespace xml {
namespace {

constexpr const char* kHead =
    "<Schema xmlns='urn:schemas-microsoft-com:xml-data' xmlns:dt='urn:schemas-microsoft-com:datatypes'";

Document parsed(const std::string& text)
{
    Document doc;
    doc.setValidateOnParse(false);
    EXPECT_TRUE(doc.loadXML(text)) << doc.parseError().reason << "\n" << text;
    return doc;
}

ParseError addSchema(SchemaCache& cache, const std::string& ns, const std::string& body, const std::string& extra = "")
{
    return cache.add(ns, parsed(std::string(kHead) + extra + ">" + body + "</Schema>"));
}

// --- schemas that cannot be used ---

struct BadSchema {
    const char* body;
    const char* reason;
};

class XmlInvalidSchema : public ::testing::TestWithParam<BadSchema> {};

TEST_P(XmlInvalidSchema, IsRefusedWithPositionAndLeavesTheCacheUnchanged)
{
    SchemaCache cache;
    const ParseError e = addSchema(cache, "urn:t", std::string("\n") + GetParam().body);
    EXPECT_EQ(e.code, ErrorCode::InvalidSchema);
    EXPECT_EQ(e.line, 2) << e.reason;
    EXPECT_NE(e.reason.find(GetParam().reason), std::string::npos) << e.reason;
    EXPECT_FALSE(cache.contains("urn:t"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, XmlInvalidSchema,
    ::testing::Values(BadSchema{"<ElementType/>", "ElementType has no name"},
                      BadSchema{"<ElementType name='a' content='full'/>", "content must be"},
                      BadSchema{"<ElementType name='a' content='mixed' order='seq'/>", "needs order 'many'"},
                      BadSchema{"<ElementType name='a' model='half'/>", "model must be"},
                      BadSchema{"<ElementType name='a' content='eltOnly' order='all'/>", "order must be"},
                      BadSchema{"<AttributeType name='a' dt:type='integer'/>", "Unknown data type 'integer'"},
                      BadSchema{"<AttributeType name='a' dt:type='enumeration'/>", "needs dt:values"},
                      BadSchema{"<AttributeType name='a' dt:type='enumeration' dt:values='x y' default='z'/>",
                                "The default 'z' of AttributeType 'a' is not one of 'x', 'y'"},
                      BadSchema{"<AttributeType name='a' required='maybe'/>", "must be 'yes' or 'no'"},
                      BadSchema{"<ElementType name='a' content='eltOnly'><element type='b'/></ElementType>",
                                "ElementType 'b' is not declared"},
                      BadSchema{"<ElementType name='a' content='eltOnly'><element type='q:b'/></ElementType>",
                                "prefix 'q' of 'q:b' is not declared"},
                      BadSchema{"<ElementType name='a' content='eltOnly'><element type='a' minOccurs='2'/></ElementType>",
                                "minOccurs must be"},
                      BadSchema{"<ElementType name='a' content='eltOnly'><element type='a' maxOccurs='9'/></ElementType>",
                                "maxOccurs must be"},
                      BadSchema{"<ElementType name='a'><attribute type='b'/></ElementType>",
                                "AttributeType 'b' is not declared"},
                      BadSchema{"<ElementType name='a' content='empty'><element type='a'/></ElementType>",
                                "cannot hold elements"},
                      BadSchema{"<ElementType name='a' content='eltOnly' dt:type='int'/>", "must be 'textOnly'"},
                      BadSchema{"<ElementType name='a'/><ElementType name='a'/>", "declared twice"},
                      BadSchema{"<extends type='x'/>", "Unsupported schema element 'extends'"}));

TEST(XmlSchemaCache, OnlyAnXdrSchemaRootIsAccepted)
{
    SchemaCache cache;
    EXPECT_EQ(cache.add("urn:t", parsed("<Schema/>")).code, ErrorCode::InvalidSchema);
    EXPECT_EQ(cache.add("urn:t", parsed("<schema xmlns='urn:schemas-microsoft-com:xml-data'/>")).code,
              ErrorCode::InvalidSchema);
    EXPECT_EQ(cache.add("urn:t", Document()).code, ErrorCode::InvalidSchema);
    EXPECT_EQ(cache.length(), 0u);
}

// --- content models ---

// One schema with each kind of model; instances are checked against it.
constexpr const char* kModels = R"(
  <AttributeType name='kind' dt:type='enumeration' dt:values='a b'/>
  <AttributeType name='fixed' dt:type='string' default='v1' required='yes'/>
  <ElementType name='x' content='empty'/>
  <ElementType name='y' content='empty'/>
  <ElementType name='z' content='empty'/>
  <ElementType name='n' content='textOnly' dt:type='int'/>
  <ElementType name='t' content='textOnly' model='closed'/>
  <ElementType name='seq' content='eltOnly' model='closed'>
    <element type='x'/><element type='y' minOccurs='0'/><element type='z' maxOccurs='*'/>
  </ElementType>
  <ElementType name='one' content='eltOnly' order='one' model='closed'>
    <element type='x'/><element type='y'/>
  </ElementType>
  <ElementType name='many' content='eltOnly' order='many' model='closed'>
    <element type='x'/><element type='y'/>
  </ElementType>
  <ElementType name='groups' content='eltOnly' model='closed'>
    <group order='one' maxOccurs='*'><element type='x'/><group order='seq'><element type='y'/><element type='z'/></group></group>
    <element type='n' minOccurs='0'/>
  </ElementType>
  <ElementType name='mixed' content='mixed' model='closed'><element type='x'/></ElementType>
  <ElementType name='open' content='eltOnly' model='open'><element type='x'/></ElementType>
  <ElementType name='attrs' content='empty' model='closed'>
    <AttributeType name='local' dt:type='ui1' required='yes'/>
    <attribute type='local'/>
    <attribute type='kind' required='no'/>
    <attribute type='fixed'/>
    <attribute type='o:ext'/>
  </ElementType>
  <ElementType name='openAttrs' content='empty' model='open'>
    <attribute type='kind'/>
  </ElementType>
)";

struct Instance {
    const char* xml;
    const char* reason;  // empty: valid
};

class XmlContentModel : public ::testing::TestWithParam<Instance> {
protected:
    static void SetUpTestSuite()
    {
        cache_ = std::make_shared<SchemaCache>();
        ASSERT_TRUE(addSchema(*cache_, "urn:m", kModels, " xmlns:o='urn:o'").ok());
        ASSERT_TRUE(addSchema(*cache_, "urn:o", "<AttributeType name='ext' dt:type='boolean'/>"
                                                "<AttributeType name='other' dt:type='ui1'/>"
                                                "<ElementType name='w' content='empty'/>").ok());
    }
    static void TearDownTestSuite() { cache_.reset(); }
    static std::shared_ptr<SchemaCache> cache_;
};

std::shared_ptr<SchemaCache> XmlContentModel::cache_;

TEST_P(XmlContentModel, AcceptsOrRefusesTheInstance)
{
    Document doc;
    doc.setSchemaCache(cache_);
    const std::string text = std::string("<r:") + GetParam().xml;
    const std::string wrapped = "<root xmlns:r='urn:m' xmlns:o='urn:o' xmlns:q='urn:unknown'>" + text + "</root>";
    const bool loaded = doc.loadXML(wrapped);
    if (std::string(GetParam().reason).empty()) {
        EXPECT_TRUE(loaded) << doc.parseError().reason;
    } else {
        ASSERT_FALSE(loaded);
        EXPECT_EQ(doc.parseError().code, ErrorCode::Validation);
        EXPECT_NE(doc.parseError().reason.find(GetParam().reason), std::string::npos) << doc.parseError().reason;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Instances, XmlContentModel,
    ::testing::Values(
        Instance{"seq><r:x/><r:z/></r:seq>", ""},
        Instance{"seq><r:x/><r:y/><r:z/><r:z/></r:seq>", ""},
        Instance{"seq><r:x/></r:seq>", "Element 'r:seq' is incomplete; expected 'y', 'z'"},
        Instance{"seq><r:z/></r:seq>", "Element 'r:z' is not expected here in element 'r:seq'; expected 'x'"},
        Instance{"seq><r:x/><r:y/><r:y/><r:z/></r:seq>", "Element 'r:y' is not expected here"},
        Instance{"seq><r:x/><r:z/><r:seq/></r:seq>", "Element 'r:seq' is not allowed in element 'r:seq'"},
        Instance{"seq><r:x/>text<r:z/></r:seq>", "may not contain text; it holds elements only"},
        Instance{"seq>\n <r:x/> <r:z/>\n</r:seq>", ""},
        Instance{"one><r:y/></r:one>", ""},
        Instance{"one><r:x/><r:y/></r:one>", "Element 'r:y' is not expected here in element 'r:one'; expected the end"},
        Instance{"one/>", "Element 'r:one' is incomplete; expected 'x', 'y'"},
        Instance{"many/>", ""},
        Instance{"many><r:y/><r:x/><r:y/><r:y/></r:many>", ""},
        Instance{"groups><r:y/><r:z/><r:x/><r:n>7</r:n></r:groups>", ""},
        Instance{"groups><r:y/><r:x/></r:groups>", "Element 'r:x' is not expected here in element 'r:groups'; expected 'z'"},
        Instance{"groups><r:n>1</r:n></r:groups>", "expected 'x', 'y'"},
        Instance{"n> -12 </r:n>", ""},
        Instance{"n>twelve</r:n>", "The text 'twelve' of element 'r:n' is not a valid value of type 'int'"},
        Instance{"t>any <![CDATA[text]]></r:t>", ""},
        Instance{"t><r:x/></r:t>", "Element 'r:t' may contain only text, but holds element 'r:x'"},
        Instance{"x>text</r:x>", "Element 'r:x' may not contain text (it must be empty)"},
        Instance{"x><o:w/></r:x>", "Element 'r:x' must be empty, but holds element 'o:w'"},
        Instance{"mixed>a<r:x/>b<r:x/></r:mixed>", ""},
        Instance{"mixed><r:y/></r:mixed>", "Element 'r:y' is not allowed in element 'r:mixed'"},
        Instance{"open><r:x/><q:anything a='1'><r:x/></q:anything><o:w/></r:open>", ""},
        Instance{"open><r:x/><o:v/></r:open>", "Element 'o:v' is not declared in schema 'urn:o'"},
        Instance{"open><r:x/><q:any><r:x>t</r:x></q:any></r:open>", "Element 'r:x' may not contain text"},
        Instance{"open><r:x/><r:y/></r:open>", "Element 'r:y' is not allowed in element 'r:open'"},
        Instance{"seq><r:x/><q:z/></r:seq>", "Element 'q:z' is not allowed in element 'r:seq'"},
        Instance{"nothing/>", "Element 'r:nothing' is not declared in schema 'urn:m'"},
        Instance{"attrs local='7' kind='b' fixed='v1' o:ext='1'/>", ""},
        Instance{"attrs local='7'/>", "Element 'r:attrs' lacks the required attribute 'fixed'"},
        Instance{"attrs fixed='v1'/>", "Element 'r:attrs' lacks the required attribute 'local'"},
        Instance{"attrs local='700' fixed='v1'/>", "Attribute 'local' of element 'r:attrs' has the value '700', which is not a valid value of type 'ui1'"},
        Instance{"attrs local='7' fixed='v2'/>", "Attribute 'fixed' of element 'r:attrs' must have the value 'v1'"},
        Instance{"attrs local='7' fixed='v1' kind='c'/>", "has the value 'c', which is not one of 'a', 'b'"},
        Instance{"attrs local='7' fixed='v1' o:ext='yes'/>", "Attribute 'o:ext' of element 'r:attrs' has the value 'yes'"},
        Instance{"attrs local='7' fixed='v1' extra='1'/>", "Attribute 'extra' is not declared for element 'r:attrs'"},
        Instance{"attrs local='7' fixed='v1' o:other='1'/>", "Attribute 'o:other' is not allowed on element 'r:attrs', whose content model is closed"},
        Instance{"attrs local='7' fixed='v1' xml:lang='en'/>", ""},
        Instance{"openAttrs kind='a' o:other='5' q:free='x'/>", ""},
        Instance{"openAttrs o:other='500'/>", "Attribute 'o:other' of element 'r:openAttrs' has the value '500'"},
        Instance{"openAttrs o:missing='1'/>", "Attribute 'o:missing' is not declared in schema 'urn:o'"},
        Instance{"openAttrs extra='1'/>", "Attribute 'extra' is not declared for element 'r:openAttrs'"},
        Instance{"openAttrs r:kind='a'/>", "Attribute 'r:kind' is not declared for element 'r:openAttrs'"}));

// --- namespaces, references across schemas, documents without schemas ---

TEST(XmlSchemaCache, TypesOfOtherSchemasResolveWhateverTheOrderOfAdding)
{
    SchemaCache cache;
    ASSERT_TRUE(addSchema(cache, "urn:main",
                          "<ElementType name='doc' content='eltOnly'><attribute type='b:tag' required='yes'/>"
                          "<element type='b:item' maxOccurs='*'/></ElementType>",
                          " xmlns:b='urn:base'").ok());
    Document instance;
    ASSERT_TRUE(instance.loadXML("<doc xmlns='urn:main' xmlns:b='urn:base' b:tag='T'><b:item/></doc>"));
    instance.setValidateOnParse(false);

    ParseError e = cache.validate(instance);
    EXPECT_EQ(e.code, ErrorCode::Validation);
    EXPECT_NE(e.reason.find("'urn:base', whose schema is not in the cache"), std::string::npos) << e.reason;

    ASSERT_TRUE(addSchema(cache, "urn:base",
                          "<AttributeType name='tag'/><ElementType name='item' content='empty'/>").ok());
    e = cache.validate(instance);
    EXPECT_TRUE(e.ok()) << e.reason;

    ASSERT_TRUE(instance.loadXML("<doc xmlns='urn:main' xmlns:b='urn:base'><b:item/></doc>"));
    EXPECT_NE(cache.validate(instance).reason.find("lacks the required attribute 'tag' of namespace 'urn:base'"),
              std::string::npos);
}

TEST(XmlSchemaCache, ElementsWithoutSchemaArePassedOverButTheirContentIsChecked)
{
    auto cache = std::make_shared<SchemaCache>();
    ASSERT_TRUE(addSchema(*cache, "urn:k", "<AttributeType name='level' dt:type='ui1'/>"
                                           "<ElementType name='leaf' content='empty' model='closed'/>").ok());
    struct Case {
        const char* xml;
        long line;
        const char* reason;
    };
    const Case cases[] = {
        {"<free anything='1'><x/></free>", 0, ""},
        {"<free xmlns:k='urn:k'>\n<k:leaf/></free>", 0, ""},
        {"<free xmlns:k='urn:k'>\n<other><k:leaf>\n<k:leaf/></k:leaf></other></free>", 3,
         "Element 'k:leaf' must be empty, but holds element 'k:leaf'"},
        {"<free xmlns:k='urn:k' k:level='300'/>", 1, "Attribute 'k:level' of element 'free' has the value '300'"},
        {"<free xmlns:k='urn:k'>\n\n<k:trunk/></free>", 3, "Element 'k:trunk' is not declared in schema 'urn:k'"},
    };
    for (const auto& c : cases) {
        Document doc;
        doc.setSchemaCache(cache);
        const bool loaded = doc.loadXML(c.xml);
        EXPECT_EQ(loaded, std::string(c.reason).empty()) << c.xml;
        EXPECT_EQ(doc.parseError().line, c.line) << c.xml;
        EXPECT_NE(doc.parseError().reason.find(c.reason), std::string::npos) << doc.parseError().reason;
    }
}

TEST(XmlSchemaCache, ValidateOnParseCanBeSwitchedOffAndValidateAsksLater)
{
    auto cache = std::make_shared<SchemaCache>();
    ASSERT_TRUE(addSchema(*cache, "urn:v", "<ElementType name='a' content='empty'/>").ok());
    Document doc;
    EXPECT_EQ(doc.validate().code, ErrorCode::NoSchemaCache);
    doc.setSchemaCache(cache);
    EXPECT_EQ(doc.validate().code, ErrorCode::Empty);

    const char* text = "<a xmlns='urn:v'>\n<b/></a>";
    EXPECT_FALSE(doc.loadXML(text));
    EXPECT_TRUE(doc.empty());
    doc.setValidateOnParse(false);
    ASSERT_TRUE(doc.loadXML(text));
    const ParseError e = doc.validate();
    EXPECT_EQ(e.code, ErrorCode::Validation);
    EXPECT_EQ(e.line, 2);
    EXPECT_EQ(e.column, 3);  // where the start tag "<b" ends
    EXPECT_FALSE(doc.empty());

    // Built documents have no source position.
    Document built;
    built.setSchemaCache(cache);
    built.appendChild(built.createNode(NodeType::Element, "a", "urn:v")).setAttribute("z", "1");
    const ParseError b = built.validate();
    EXPECT_EQ(b.code, ErrorCode::Validation);
    EXPECT_EQ(b.line, 0);
    EXPECT_NE(b.reason.find("Attribute 'z' is not declared for element 'a'"), std::string::npos);
}

TEST(XmlSchemaCache, ASchemaAddedAgainReplacesTheFormerAndCanBeRemoved)
{
    SchemaCache cache;
    ASSERT_TRUE(addSchema(cache, "urn:r", "<ElementType name='a' content='empty'/>").ok());
    ASSERT_TRUE(addSchema(cache, "urn:r", "<ElementType name='b' content='empty'/>").ok());
    EXPECT_EQ(cache.length(), 1u);
    Document doc;
    doc.setValidateOnParse(false);
    ASSERT_TRUE(doc.loadXML("<a xmlns='urn:r'/>"));
    EXPECT_EQ(cache.validate(doc).code, ErrorCode::Validation);
    cache.remove("urn:r");
    EXPECT_FALSE(cache.contains("urn:r"));
    EXPECT_TRUE(cache.validate(doc).ok());
    cache.remove("urn:absent");
}

TEST(XmlSchemaCache, BuiltTreesDeeperThanTheLimitAreRefusedNotRecursedInto)
{
    auto cache = std::make_shared<SchemaCache>();
    ASSERT_TRUE(addSchema(*cache, "urn:d", "<ElementType name='e' content='eltOnly'><element type='e' minOccurs='0'/></ElementType>").ok());
    Document doc;
    doc.setSchemaCache(cache);
    Node node = doc.appendChild(doc.createNode(NodeType::Element, "e", "urn:d"));
    for (int i = 0; i < 5000; ++i) {
        node = node.appendChild(doc.createNode(NodeType::Element, "e", "urn:d"));
    }
    const ParseError e = doc.validate();
    EXPECT_EQ(e.code, ErrorCode::Validation);
    EXPECT_NE(e.reason.find("nested deeper than"), std::string::npos);
}

}  // namespace
}  // namespace xml
