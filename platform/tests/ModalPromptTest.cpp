// Tests of the modal prompt: the installed prompt, the headless answer, and the terminal prompt.
#include <tarncore/platform/ModalPrompt.h>

#include "platform/src/linux/ModalPromptBackends.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

using tarncore::platform::AskModalPrompt;
using tarncore::platform::DefaultModalPrompt;
using tarncore::platform::ModalPrompt;
using tarncore::platform::PromptButton;
using tarncore::platform::PromptRequest;
using tarncore::platform::SetModalPrompt;
using tarncore::platform::prompt::AskTerminal;

PromptRequest AssertRequest() {
    PromptRequest request;
    request.title = "tarncore Debug Event";
    request.caption = "Debug Assert failed!";
    request.details = "Expression: x > 0\r\nFile: a.cpp\r\nLine: 12\r\n";
    request.buttons = {PromptButton::Copy("Copy"),         PromptButton("Debug", 0),
                       PromptButton("Ignore Once", 3),     PromptButton("Ignore Always", 4),
                       PromptButton("Disable Asserts", 2), PromptButton("Kill Process", 1)};
    request.cancelValue = 5;
    request.headlessValue = 7;
    return request;
}

class RecordingPrompt : public ModalPrompt {
public:
    std::int32_t Ask(const PromptRequest& inRequest) override {
        asked.push_back(inRequest.caption);
        return 42;
    }
    std::vector<std::string> asked;
};

// Sets an environment variable (null unsets it) and standard input for one scope.
class ScopedSurroundings {
public:
    ScopedSurroundings(const char* inDisplay, const char* inStandardInput) {
        if (const char* display = std::getenv("DISPLAY")) mDisplay = display, mHadDisplay = true;
        if (inDisplay != nullptr)
            setenv("DISPLAY", inDisplay, 1);
        else
            unsetenv("DISPLAY");
        mSavedInput = dup(STDIN_FILENO);
        const int input = open(inStandardInput, O_RDONLY | O_CLOEXEC);
        dup2(input, STDIN_FILENO);
        close(input);
    }
    ~ScopedSurroundings() {
        if (mHadDisplay)
            setenv("DISPLAY", mDisplay.c_str(), 1);
        else
            unsetenv("DISPLAY");
        dup2(mSavedInput, STDIN_FILENO);
        close(mSavedInput);
    }

private:
    std::string mDisplay;
    bool mHadDisplay = false;
    int mSavedInput = -1;
};

TEST(ModalPrompt, InstalledPromptAnswersAndNullPutsTheDefaultBack) {
    RecordingPrompt recording;
    EXPECT_EQ(SetModalPrompt(&recording), nullptr);
    EXPECT_EQ(AskModalPrompt(AssertRequest()), 42);
    EXPECT_EQ(recording.asked, std::vector<std::string>{"Debug Assert failed!"});
    EXPECT_EQ(SetModalPrompt(nullptr), &recording);

    // The default, with no display and standard input not a terminal, gives the
    // headless answer at once, neither the cancel value nor anything read from input.
    const ScopedSurroundings surroundings(nullptr, "/dev/null");
    EXPECT_EQ(AskModalPrompt(AssertRequest()), 7);
    EXPECT_EQ(recording.asked.size(), 1u);
}

TEST(ModalPrompt, UnreachableDisplayFallsBackToTheHeadlessAnswer) {
    // No server listens there (the port it would mean is out of range).
    const ScopedSurroundings surroundings(":65000", "/dev/null");
    EXPECT_EQ(DefaultModalPrompt().Ask(AssertRequest()), 7);
}

TEST(ModalPrompt, CopyTextIsTheCaptionALineFeedAndTheDetails) {
    EXPECT_EQ(tarncore::platform::PromptCopyText(AssertRequest()),
              "Debug Assert failed!\nExpression: x > 0\r\nFile: a.cpp\r\nLine: 12\r\n");
}

TEST(ModalPrompt, DetailsSplitAtEveryLineEnd) {
    using tarncore::platform::prompt::SplitLines;
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
}

// A pseudo-terminal whose other end the test types into and reads.
class Terminal {
public:
    Terminal() { EXPECT_EQ(openpty(&mMaster, &mSlave, nullptr, nullptr, nullptr), 0); }
    ~Terminal() {
        close(mMaster);
        close(mSlave);
    }
    void Type(const std::string& inKeys) {
        EXPECT_EQ(write(mMaster, inKeys.data(), inKeys.size()), static_cast<ssize_t>(inKeys.size()));
    }
    std::int32_t Ask(const PromptRequest& inRequest) { return AskTerminal(inRequest, mSlave, mSlave); }
    termios Mode() {
        termios mode{};
        EXPECT_EQ(tcgetattr(mSlave, &mode), 0);
        return mode;
    }
    void SetMode(const termios& inMode) { EXPECT_EQ(tcsetattr(mSlave, TCSANOW, &inMode), 0); }
    // What the prompt wrote, and the echo of what was typed.
    std::string Screen() {
        std::string text;
        pollfd ready{mMaster, POLLIN, 0};
        char buffer[4096];
        while (poll(&ready, 1, 100) > 0) {
            const ssize_t got = read(mMaster, buffer, sizeof buffer);
            if (got <= 0) break;
            text.append(buffer, static_cast<std::size_t>(got));
        }
        return text;
    }

private:
    int mMaster = -1;
    int mSlave = -1;
};

std::size_t Count(const std::string& inText, const std::string& inPiece) {
    std::size_t count = 0;
    for (auto at = inText.find(inPiece); at != std::string::npos; at = inText.find(inPiece, at + 1)) ++count;
    return count;
}

TEST(TerminalPrompt, ShowsTheTextAndNumbersTheAnsweringButtons) {
    Terminal terminal;
    terminal.Type("3\n");
    EXPECT_EQ(terminal.Ask(AssertRequest()), 4);  // the third answering button: Ignore Always
    const std::string screen = terminal.Screen();
    for (const char* piece :
         {"tarncore Debug Event", "Debug Assert failed!", "Expression: x > 0", "Line: 12", "1) Debug",
          "2) Ignore Once", "3) Ignore Always", "4) Disable Asserts", "5) Kill Process", "Choice (1-5): "}) {
        EXPECT_NE(screen.find(piece), std::string::npos) << piece << " missing from:\n" << screen;
    }
    EXPECT_EQ(screen.find("Copy"), std::string::npos);
}

TEST(TerminalPrompt, WrongChoicesAskAgain) {
    Terminal terminal;
    terminal.Type("x\n0\n6\n  \n99999999999999999999999\n 2 \n");
    EXPECT_EQ(terminal.Ask(AssertRequest()), 3);
    const std::string screen = terminal.Screen();
    EXPECT_EQ(Count(screen, "Please answer with a number from 1 to 5."), 5u) << screen;
    EXPECT_EQ(Count(screen, "Choice (1-5): "), 6u);
}

TEST(TerminalPrompt, EndOfInputGivesTheCancelValue) {
    Terminal terminal;
    terminal.Type("7\n\x04");  // one wrong choice, then end of input (Ctrl+D)
    EXPECT_EQ(terminal.Ask(AssertRequest()), 5);
}

TEST(TerminalPrompt, ReadsLinesEvenWhenALineEditorLeftTheTerminalRaw) {
    Terminal terminal;
    termios raw = terminal.Mode();
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL);
    terminal.SetMode(raw);
    // Enter sends CR, which ends no line in raw mode. Typed once the prompt has switched
    // to line input (or after two seconds, when a broken prompt never does).
    std::thread typist([&] {
        for (int i = 0; i < 2000 && (terminal.Mode().c_lflag & ICANON) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        terminal.Type("12\r3\r");
    });
    EXPECT_EQ(terminal.Ask(AssertRequest()), 4);
    typist.join();
    EXPECT_NE(terminal.Screen().find("Please answer"), std::string::npos);
    EXPECT_EQ(terminal.Mode().c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(terminal.Mode().c_iflag & ICRNL, 0u);
}

TEST(TerminalPrompt, CtrlAnswerIsOfferedAsAChoiceOfItsOwn) {
    PromptRequest request;
    request.title = "tarncore Debug Event";
    request.caption = "tarncore has encountered an error.";
    request.details = "[a.cpp-12]\r\n";
    request.buttons = {PromptButton("Continue", 0, 1)};
    Terminal terminal;
    terminal.Type("2\n1\n");
    EXPECT_EQ(terminal.Ask(request), 1);
    EXPECT_EQ(terminal.Ask(request), 0);
    const std::string screen = terminal.Screen();
    EXPECT_NE(screen.find("1) Continue\r\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("2) Continue (Ctrl)"), std::string::npos) << screen;
}

}  // namespace
