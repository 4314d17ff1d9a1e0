// SAX-style XML parsing: the caller's event handler, the document parser, the host's parser factory.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>
#include <map>
#include <memory>

/// @file
/// SAX-style XML parsing: the handler a caller implements, the document parser that
/// drives it, and the process-wide parser factory the host installs.
namespace tarncore {
namespace xml {

/// Attribute names (local names, without a namespace prefix) to their values.
using AttributeMap = std::map<utility::UTF16String, utility::UTF16String>;

/// Receives a document's events. Every operation does nothing unless overridden.
/// Element and attribute names are local names; character data has its references
/// replaced.
class TARNCORE_API AbstractParseHandler {
public:
    AbstractParseHandler() = default;
    AbstractParseHandler(const AbstractParseHandler&) = default;
    AbstractParseHandler& operator=(const AbstractParseHandler&) = default;
    virtual ~AbstractParseHandler();

    virtual void StartDocument();
    virtual void StartElement(const utility::UTF16String& inName, const AttributeMap& inAttributes);
    virtual void EndElement(const utility::UTF16String& inName);
    /// One run of text may arrive in several calls.
    virtual void Characters(const utility::UTF16String& inText);
    virtual void EndDocument();
};

enum XMLParseStatus : std::int32_t { kXMLParseSucceeded = 0, kXMLParseFailed = 10 };

/// Drives the handler it owns over a file or a buffer. Any failure (a missing file, a
/// document that is not well-formed) is kXMLParseFailed, never an exception; an
/// exception the handler throws passes on to the caller of the parse.
class TARNCORE_API AbstractDocParser {
public:
    /// Copying moves the handler: the source is left without one.
    AbstractDocParser(AbstractDocParser& ioOther);
    AbstractDocParser& operator=(AbstractDocParser& ioOther);
    virtual ~AbstractDocParser();

    /// A file, by its path.
    virtual XMLParseStatus ParseDocument(const utility::UTF16String& inPath) = 0;
    /// A document in memory; its encoding comes from its bytes (UTF-8 when they name none).
    virtual XMLParseStatus ParseBuffer(const utility::UTF8String& inText) = 0;

protected:
    /// Takes the handler out of ioHandler.
    explicit AbstractDocParser(std::unique_ptr<AbstractParseHandler>& ioHandler);

    /// Null after the handler was moved to another parser.
    AbstractParseHandler* GetHandler() const { return mHandler; }

private:
    AbstractParseHandler* mHandler;
};

/// Makes document parsers. The host installs one with SetParserFactory.
class TARNCORE_API DocParserFactory {
public:
    DocParserFactory() = default;
    DocParserFactory(const DocParserFactory&) = default;
    DocParserFactory& operator=(const DocParserFactory&) = default;
    virtual ~DocParserFactory();

    /// A parser that takes the handler out of ioHandler.
    virtual std::unique_ptr<AbstractDocParser> GetParser(
        std::unique_ptr<AbstractParseHandler>& ioHandler) = 0;
};

/// Takes the factory out of ioFactory and installs it; the one installed before, if it
/// is another object, is deleted. Belongs to start-up: the factory is not locked.
TARNCORE_API void SetParserFactory(std::unique_ptr<DocParserFactory>& ioFactory);

/// The installed factory's parser for the handler, which it now owns. Without a
/// factory: an empty pointer, and the handler stays with the caller.
TARNCORE_API std::unique_ptr<AbstractDocParser> GetParser(std::unique_ptr<AbstractParseHandler>& ioHandler);

}  // namespace xml
}  // namespace tarncore
