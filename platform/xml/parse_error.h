#pragma once

#include <stdexcept>
#include <string>

namespace xml {

// Why a load or a validation failed. None means success.
enum class ErrorCode : long {
    None = 0,
    Syntax = 1,           // not well-formed XML (reason from the parser)
    FileNotFound = 2,     // the file cannot be opened
    FileRead = 3,         // the file opened but could not be read completely
    TooLarge = 4,         // input above kMaxDocumentBytes
    TooDeep = 5,          // elements nested deeper than kMaxNestingDepth
    EntityExpansion = 6,  // declared entities expand beyond kMaxEntityExpansion
    Validation = 7,       // well-formed, but breaks a schema of the attached cache
    InvalidSchema = 8,    // a schema given to SchemaCache::add is not usable XDR
    NoSchemaCache = 9,    // validate() on a document without a schema cache
    Empty = 10,           // validate() on a document without a root element
};

// Outcome of Document::load / loadXML / validate and SchemaCache::add.
// Positions are 1-based; 0 means "no source position" (for example a
// validation error in a document that was built in memory, not parsed).
struct ParseError {
    ErrorCode code = ErrorCode::None;
    long line = 0;       // line of the fault
    long column = 0;     // column on that line (MSXML's linepos)
    std::string reason;  // human-readable reason; names the element or attribute for validation faults

    bool failed() const { return code != ErrorCode::None; }
    bool ok() const { return code == ErrorCode::None; }
    long linepos() const { return column; }
};

// Kind of a failed DOM operation (creation, tree change, selection).
enum class ErrorKind {
    InvalidArgument,  // bad name, unknown property, malformed SelectionNamespaces, null node
    XPath,            // expression does not compile, or does not yield a node set
    WrongDocument,    // node belongs to another document
    Hierarchy,        // the tree change is not allowed (cycle, second root, attribute as child, ...)
    OutOfMemory,      // libxml2 could not allocate
};

// Thrown by DOM operations that fail. Loading and validation never throw
// for bad input; they answer a ParseError instead.
class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
    ErrorKind kind() const { return kind_; }

private:
    ErrorKind kind_;
};

}  // namespace xml
