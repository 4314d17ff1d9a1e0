// The XML reader over expat.
#include "platform/os/XmlReader.h"

#include "platform/os/Files.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <vector>

namespace tarncore {
namespace platform {
namespace os {

namespace {

// Expat joins a namespace URI and a local name with this character. A local name
// never holds a space, so whatever the URI holds, the local name is what follows the
// last one.
constexpr XML_Char kNamespaceSeparator = ' ';

std::string_view LocalName(const XML_Char* inName) {
    const XML_Char* local = inName;
    const XML_Char* end = inName;
    for (; *end != 0; ++end)
        if (*end == kNamespaceSeparator) local = end + 1;
    return std::string_view(local, static_cast<std::size_t>(end - local));
}

struct ParserDeleter {
    void operator()(XML_ParserStruct* inParser) const { XML_ParserFree(inParser); }
};
using ParserPtr = std::unique_ptr<XML_ParserStruct, ParserDeleter>;

// The state the callbacks share. Expat is C: an exception must not unwind through it,
// so a callback that throws stops the parser and the exception is thrown again once
// expat has returned. Expat may still call back after the stop; those calls are dropped.
struct Session {
    XML_Parser parser = nullptr;
    XmlContentHandler* handler = nullptr;
    std::exception_ptr failure;
    std::vector<XmlAttribute> attributes;

    void Fail() {
        failure = std::current_exception();
        XML_StopParser(parser, XML_FALSE);
    }
};

void XMLCALL OnStartElement(void* inData, const XML_Char* inName, const XML_Char** inAttributes) {
    Session& session = *static_cast<Session*>(inData);
    if (session.failure) return;
    try {
        session.attributes.clear();
        for (const XML_Char** pair = inAttributes; pair[0] != nullptr; pair += 2)
            session.attributes.push_back({LocalName(pair[0]), std::string_view(pair[1])});
        session.handler->StartElement(LocalName(inName), session.attributes.data(),
                                      session.attributes.size());
    } catch (...) {
        session.Fail();
    }
}

void XMLCALL OnEndElement(void* inData, const XML_Char* inName) {
    Session& session = *static_cast<Session*>(inData);
    if (session.failure) return;
    try {
        session.handler->EndElement(LocalName(inName));
    } catch (...) {
        session.Fail();
    }
}

void XMLCALL OnCharacters(void* inData, const XML_Char* inText, int inLength) {
    Session& session = *static_cast<Session*>(inData);
    if (session.failure) return;
    try {
        session.handler->Characters(std::string_view(inText, static_cast<std::size_t>(inLength)));
    } catch (...) {
        session.Fail();
    }
}

ParserPtr MakeParser(Session& ioSession) {
    ParserPtr parser(XML_ParserCreateNS(nullptr, kNamespaceSeparator));
    if (!parser) throw std::bad_alloc();
    ioSession.parser = parser.get();
    XML_SetUserData(parser.get(), &ioSession);
    XML_SetElementHandler(parser.get(), OnStartElement, OnEndElement);
    XML_SetCharacterDataHandler(parser.get(), OnCharacters);
    // No external entity handler: expat then never reads an external entity or DTD,
    // and parameter entities stay unparsed. Its amplification limits are left at their
    // defaults, which bound what internal entities can expand to.
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    return parser;
}

// After a piece that expat refused: the handler's exception, or a malformed document.
XmlParseResult Refused(const Session& inSession) {
    if (inSession.failure) std::rethrow_exception(inSession.failure);
    return XmlParseResult::kMalformed;
}

}  // namespace

XmlParseResult ParseXml(const void* inData, std::size_t inSize, XmlContentHandler& ioHandler) {
    Session session;
    session.handler = &ioHandler;
    const ParserPtr parser = MakeParser(session);
    ioHandler.StartDocument();
    // XML_Parse takes an int length.
    constexpr std::size_t kMaxPiece = INT_MAX / 2;
    const char* data = static_cast<const char*>(inData);
    std::size_t left = inSize;
    do {
        const std::size_t piece = std::min(left, kMaxPiece);
        left -= piece;
        if (XML_Parse(parser.get(), data, static_cast<int>(piece), left == 0) != XML_STATUS_OK)
            return Refused(session);
        data += piece;
    } while (left > 0);
    if (session.failure) std::rethrow_exception(session.failure);
    ioHandler.EndDocument();
    return XmlParseResult::kOk;
}

XmlParseResult ParseXmlFile(const std::string& inPath, XmlContentHandler& ioHandler) {
    FileHandle file = kNoFile;
    if (OpenFileForReading(inPath, file) != 0) return XmlParseResult::kUnreadable;
    struct Closer {
        FileHandle file;
        ~Closer() { (void)CloseFile(file); }
    } closer{file};

    Session session;
    session.handler = &ioHandler;
    const ParserPtr parser = MakeParser(session);
    ioHandler.StartDocument();
    constexpr int kPiece = 64 * 1024;
    for (;;) {
        void* buffer = XML_GetBuffer(parser.get(), kPiece);
        if (buffer == nullptr) return Refused(session);
        std::size_t read = 0;
        if (ReadFromFile(file, buffer, kPiece, read) != 0) return XmlParseResult::kUnreadable;
        const bool last = read < static_cast<std::size_t>(kPiece);
        if (XML_ParseBuffer(parser.get(), static_cast<int>(read), last) != XML_STATUS_OK)
            return Refused(session);
        if (last) break;
    }
    if (session.failure) std::rethrow_exception(session.failure);
    ioHandler.EndDocument();
    return XmlParseResult::kOk;
}

}  // namespace os
}  // namespace platform
}  // namespace tarncore
