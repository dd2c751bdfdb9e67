#pragma once

// Compiled form of an XDR schema and its pieces. Internal to platform/xml.

#include <libxml/tree.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xml/parse_error.h"

namespace xml {

inline constexpr std::string_view kXdrNamespace = "urn:schemas-microsoft-com:xml-data";
inline constexpr std::string_view kXdrTypesNamespace = "urn:schemas-microsoft-com:datatypes";

struct QualifiedName {
    std::string ns;     // namespace URI, empty for none
    std::string local;
    friend bool operator==(const QualifiedName&, const QualifiedName&) = default;
    friend auto operator<=>(const QualifiedName&, const QualifiedName&) = default;
};

// A dt:type with its facets.
struct DataType {
    enum class Kind {
        String, Id, Idref, Idrefs, Nmtoken, Nmtokens, Entity, Entities, Notation, Enumeration,
        Number, Int, Fixed14_4, Float, I1, I2, I4, I8, UI1, UI2, UI4, UI8,
        Boolean, Char, Date, DateTime, DateTimeTz, Time, TimeTz, Uuid, Uri, BinHex, BinBase64,
    };
    Kind kind = Kind::String;
    std::string name = "string";           // as written in the schema
    std::vector<std::string> values;       // enumeration and notation
    std::optional<std::size_t> maxLength;  // characters (bytes for bin.*)
    std::optional<std::size_t> minLength;
};

// Looks a dt:type name up; false for an unknown name.
bool dataTypeKind(std::string_view name, DataType::Kind& kind);
// Checks a value; on failure `why` tells what is wrong with it.
bool checkValue(const DataType& type, std::string_view value, std::string& why);

struct SourcePos {
    long line = 0;
    long column = 0;
};

struct AttributeTypeDecl {
    std::string name;
    DataType type;
    bool required = false;
    std::optional<std::string> defaultValue;
    SourcePos pos;
};

// An <attribute type="..."/> of an ElementType: the name the attribute has in
// instances and where its AttributeType is declared.
struct AttributeUse {
    QualifiedName instanceName;  // ns empty for unqualified attributes
    enum class Source { Local, Global, Foreign } source = Source::Local;
    QualifiedName typeName;      // Foreign: namespace and global AttributeType name
    std::optional<bool> required;
    std::optional<std::string> defaultValue;
    SourcePos pos;
};

// Thompson automaton over child element names.
struct ContentAutomaton {
    struct Edge {
        int label;  // index into labels, -1 for an empty move
        int to;
    };
    std::vector<std::vector<Edge>> edges;  // per state
    std::vector<QualifiedName> labels;
    std::vector<std::string> labelText;  // each label as the schema writes it
    int start = 0;
    int accept = 0;

    int addState()
    {
        edges.emplace_back();
        return static_cast<int>(edges.size()) - 1;
    }
    bool mentions(const QualifiedName& name) const;
};

struct ElementTypeDecl {
    enum class Content { Empty, TextOnly, EltOnly, Mixed };
    enum class Order { Seq, One, Many };

    std::string name;
    Content content = Content::Mixed;
    Order order = Order::Many;
    bool open = true;
    std::optional<DataType> textType;  // typed text content
    std::map<std::string, AttributeTypeDecl, std::less<>> localAttributeTypes;
    std::vector<AttributeUse> attributes;
    ContentAutomaton model;
    SourcePos pos;
};

struct XdrSchema {
    std::string namespaceURI;
    std::map<std::string, ElementTypeDecl, std::less<>> elements;
    std::map<std::string, AttributeTypeDecl, std::less<>> attributes;  // global AttributeTypes
};

// Compiles the schema whose root element is `root` for `namespaceURI`.
// On failure answers an InvalidSchema error with the position in the schema.
ParseError compileXdrSchema(const xmlNode* root, std::string_view namespaceURI, XdrSchema& out);

}  // namespace xml
