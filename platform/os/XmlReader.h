// The platform's XML reader: a SAX-style pass over a document, in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Names arrive without namespace prefixes (namespace processing is on), character data
// and attribute values with every reference replaced. External entities are never
// loaded, and the reader's limits on entity expansion stay in force.
namespace tarncore {
namespace platform {
namespace os {

struct XmlAttribute {
    std::string_view name;  // the local name
    std::string_view value;
};

// Receives the document. An exception thrown here stops the parse; the parse function
// then throws it on to its caller.
class XmlContentHandler {
public:
    virtual ~XmlContentHandler() = default;
    virtual void StartDocument() = 0;
    // The attributes in document order.
    virtual void StartElement(std::string_view inName, const XmlAttribute* inAttributes,
                              std::size_t inCount) = 0;
    virtual void EndElement(std::string_view inName) = 0;
    // One run of text may arrive in several calls.
    virtual void Characters(std::string_view inText) = 0;
    virtual void EndDocument() = 0;
};

enum class XmlParseResult : int {
    kOk = 0,
    kMalformed,   // not well-formed, or beyond the reader's limits
    kUnreadable,  // the file cannot be opened or read
};

// Parses a whole document held in memory. Its encoding comes from the bytes (a
// byte-order mark or the declaration), UTF-8 when they name none. StartDocument comes
// first and EndDocument only after a document that is well-formed to its end.
XmlParseResult ParseXml(const void* inData, std::size_t inSize, XmlContentHandler& ioHandler);

// The same for the file at a native path, read in pieces. Nothing is called for a file
// that cannot be opened.
XmlParseResult ParseXmlFile(const std::string& inPath, XmlContentHandler& ioHandler);

}  // namespace os
}  // namespace platform
}  // namespace tarncore
