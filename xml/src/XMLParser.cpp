// The parse handler's defaults, the document parser's handler ownership and the process-wide parser factory.
#include <tarncore/xml/XMLParser.h>

namespace tarncore {
namespace xml {

namespace {

// Installed by the host at start-up; lives until replaced.
std::unique_ptr<DocParserFactory>& Factory() {
    static std::unique_ptr<DocParserFactory> factory;
    return factory;
}

}  // namespace

AbstractParseHandler::~AbstractParseHandler() = default;
void AbstractParseHandler::StartDocument() {}
void AbstractParseHandler::StartElement(const utility::UTF16String&, const AttributeMap&) {}
void AbstractParseHandler::EndElement(const utility::UTF16String&) {}
void AbstractParseHandler::Characters(const utility::UTF16String&) {}
void AbstractParseHandler::EndDocument() {}

AbstractDocParser::AbstractDocParser(std::unique_ptr<AbstractParseHandler>& ioHandler)
    : mHandler(ioHandler.release()) {}

AbstractDocParser::AbstractDocParser(AbstractDocParser& ioOther) : mHandler(ioOther.mHandler) {
    ioOther.mHandler = nullptr;
}

AbstractDocParser& AbstractDocParser::operator=(AbstractDocParser& ioOther) {
    if (this != &ioOther) {
        delete mHandler;
        mHandler = ioOther.mHandler;
        ioOther.mHandler = nullptr;
    }
    return *this;
}

AbstractDocParser::~AbstractDocParser() { delete mHandler; }

DocParserFactory::~DocParserFactory() = default;

void SetParserFactory(std::unique_ptr<DocParserFactory>& ioFactory) {
    std::unique_ptr<DocParserFactory>& installed = Factory();
    if (installed.get() == ioFactory.get()) {
        // The same object again: keep it, and the caller no longer owns it.
        (void)ioFactory.release();
        return;
    }
    installed.reset(ioFactory.release());
}

std::unique_ptr<AbstractDocParser> GetParser(std::unique_ptr<AbstractParseHandler>& ioHandler) {
    DocParserFactory* factory = Factory().get();
    if (factory == nullptr) return std::unique_ptr<AbstractDocParser>();
    return factory->GetParser(ioHandler);
}

}  // namespace xml
}  // namespace tarncore
