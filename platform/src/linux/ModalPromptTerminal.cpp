// The modal prompt on a terminal: the text and numbered choices out, a line in.
#include "platform/src/linux/ModalPromptBackends.h"

#include <cerrno>
#include <mutex>

#include <termios.h>
#include <unistd.h>

namespace tarncore {
namespace platform {
namespace prompt {

namespace {

struct Choice {
    std::string label;
    std::int32_t value;
};

// Copy is left out: the text is already on the terminal. A button that answers
// differently with Ctrl is offered a second time, since a terminal has no key state.
std::vector<Choice> ChoicesOf(const PromptRequest& inRequest) {
    std::vector<Choice> choices;
    for (const PromptButton& button : inRequest.buttons) {
        if (button.copies) continue;
        choices.push_back({button.label, button.value});
        if (button.controlValue != button.value)
            choices.push_back({button.label + " (Ctrl)", button.controlValue});
    }
    return choices;
}

void WriteText(int inFd, const std::string& inText) {
    const char* data = inText.data();
    std::size_t left = inText.size();
    while (left > 0) {
        const ssize_t written = ::write(inFd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // nobody to show it to; the answer is still read
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

// One line without its end; false at the end of input with nothing read. Bytes past
// kLongest are dropped (no answer is that long, and they must not pile up).
bool ReadLine(int inFd, std::string& outLine) {
    constexpr std::size_t kLongest = 64;
    outLine.clear();
    bool any = false;
    for (;;) {
        char byte = 0;
        const ssize_t got = ::read(inFd, &byte, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return any;
        any = true;
        if (byte == '\n') return true;
        if (outLine.size() < kLongest) outLine.push_back(byte);
    }
}

// The choice's number, 1 to inCount, with blanks around it; else 0.
std::size_t ParseChoice(const std::string& inLine, std::size_t inCount) {
    const std::string::size_type first = inLine.find_first_not_of(" \t\r");
    if (first == std::string::npos) return 0;
    const std::string::size_type last = inLine.find_last_not_of(" \t\r");
    std::size_t number = 0;
    for (std::string::size_type i = first; i <= last; ++i) {
        if (inLine[i] < '0' || inLine[i] > '9') return 0;
        number = number * 10 + static_cast<std::size_t>(inLine[i] - '0');
        if (number > inCount) return 0;
    }
    return number;
}

// Line input with echo while the prompt reads, whatever mode a line editor left the
// terminal in; the old mode is put back afterwards.
class LineMode {
public:
    explicit LineMode(int inFd) : mFd(inFd) {
        if (tcgetattr(mFd, &mSaved) != 0) return;
        termios mode = mSaved;
        mode.c_lflag |= ICANON | ECHO;
        mode.c_iflag |= ICRNL;
        if (mode.c_lflag == mSaved.c_lflag && mode.c_iflag == mSaved.c_iflag) return;
        // TCSANOW: anything typed ahead of the prompt stays queued.
        mChanged = tcsetattr(mFd, TCSANOW, &mode) == 0;
    }
    ~LineMode() {
        if (mChanged) tcsetattr(mFd, TCSANOW, &mSaved);
    }
    LineMode(const LineMode&) = delete;
    LineMode& operator=(const LineMode&) = delete;

private:
    int mFd;
    termios mSaved{};
    bool mChanged = false;
};

}  // namespace

std::int32_t AskTerminal(const PromptRequest& inRequest, int inInput, int inOutput) {
    static std::mutex sTerminal;
    const std::lock_guard<std::mutex> lock(sTerminal);

    std::string text = "\n== " + inRequest.title + " ==\n" + inRequest.caption + "\n";
    for (const std::string& line : SplitLines(inRequest.details)) text += line + "\n";
    const std::vector<Choice> choices = ChoicesOf(inRequest);
    text += "\n";
    for (std::size_t i = 0; i < choices.size(); ++i) {
        text += "  " + std::to_string(i + 1) + ") " + choices[i].label + "\n";
    }
    WriteText(inOutput, text);
    if (choices.empty()) return inRequest.cancelValue;

    const LineMode mode(inInput);
    const std::string count = std::to_string(choices.size());
    std::string line;
    for (;;) {
        WriteText(inOutput, "Choice (1-" + count + "): ");
        if (!ReadLine(inInput, line)) {
            WriteText(inOutput, "\n");
            return inRequest.cancelValue;
        }
        if (const std::size_t number = ParseChoice(line, choices.size())) return choices[number - 1].value;
        WriteText(inOutput, "Please answer with a number from 1 to " + count + ".\n");
    }
}

}  // namespace prompt
}  // namespace platform
}  // namespace tarncore
