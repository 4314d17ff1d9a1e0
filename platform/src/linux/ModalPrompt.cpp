// The installed modal prompt, and the default that picks a dialog, a terminal or no one.
#include <tarncore/platform/ModalPrompt.h>

#include "platform/src/linux/ModalPromptBackends.h"

#include <atomic>
#include <cstdlib>

#include <unistd.h>

namespace tarncore {
namespace platform {

namespace {

std::atomic<ModalPrompt*> sPrompt{nullptr};

// A terminal can answer only a process in its foreground: a background process that
// read from it would be stopped until someone brought it forward.
bool TerminalCanAsk() {
    return isatty(STDIN_FILENO) && isatty(STDERR_FILENO) && tcgetpgrp(STDIN_FILENO) == getpgrp();
}

class DefaultPrompt final : public ModalPrompt {
public:
    std::int32_t Ask(const PromptRequest& inRequest) override {
        const char* display = std::getenv("DISPLAY");
        std::int32_t answer = 0;
        if (display != nullptr && *display != '\0' && prompt::AskX11(inRequest, answer)) return answer;
        if (TerminalCanAsk()) return prompt::AskTerminal(inRequest, STDIN_FILENO, STDERR_FILENO);
        return inRequest.headlessValue;
    }
};

}  // namespace

namespace prompt {

std::vector<std::string> SplitLines(const std::string& inText) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < inText.size()) {
        const std::string::size_type end = inText.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(inText.substr(start));
            break;
        }
        lines.push_back(inText.substr(start, end - start));
        start = end + (inText.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

}  // namespace prompt

std::string PromptCopyText(const PromptRequest& inRequest) {
    return inRequest.caption + "\n" + inRequest.details;
}

ModalPrompt::~ModalPrompt() = default;

ModalPrompt& DefaultModalPrompt() {
    // Never destroyed: a thread may still assert while the process's statics go away.
    static DefaultPrompt* const prompt = new DefaultPrompt;
    return *prompt;
}

ModalPrompt* SetModalPrompt(ModalPrompt* inPrompt) {
    return sPrompt.exchange(inPrompt, std::memory_order_acq_rel);
}

std::int32_t AskModalPrompt(const PromptRequest& inRequest) {
    ModalPrompt* prompt = sPrompt.load(std::memory_order_acquire);
    return (prompt != nullptr ? *prompt : DefaultModalPrompt()).Ask(inRequest);
}

}  // namespace platform
}  // namespace tarncore
