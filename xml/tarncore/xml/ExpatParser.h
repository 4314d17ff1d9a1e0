// The document parser the library supplies, over expat, and its factory.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/xml/XMLParser.h>

#include <memory>

/// @file
/// The document parser the library supplies, built on expat, and the factory that makes it.
namespace tarncore {
namespace xml {

/// Parses with namespace processing on (names arrive as local names) and never loads an
/// external entity or DTD; entity expansion is bounded. A later attribute with the same
/// local name as an earlier one replaces its value in the map.
class TARNCORE_API ExpatDocParser : public AbstractDocParser {
public:
    explicit ExpatDocParser(std::unique_ptr<AbstractParseHandler>& ioHandler);
    ~ExpatDocParser() override;

    /// The path is converted to the native form; a parser without a handler fails.
    XMLParseStatus ParseDocument(const utility::UTF16String& inPath) override;
    XMLParseStatus ParseBuffer(const utility::UTF8String& inText) override;
};

class TARNCORE_API ExpatParserFactory : public DocParserFactory {
public:
    ~ExpatParserFactory() override;

    std::unique_ptr<AbstractDocParser> GetParser(std::unique_ptr<AbstractParseHandler>& ioHandler) override;
};

/// The names hosts of the original platform install.
/// @{
using MSXMLParseHandler = ExpatDocParser;
using MSXMLParserFactory = ExpatParserFactory;
/// @}

}  // namespace xml
}  // namespace tarncore
