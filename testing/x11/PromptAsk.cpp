// Asks the default modal prompt for an assertion or a contract violation and prints the answer.
//   prompt_ask assert|contract
#include <tarncore/platform/ModalPrompt.h>

#include <cstdio>
#include <cstring>
#include <string>

using tarncore::platform::PromptButton;
using tarncore::platform::PromptRequest;

int main(int argc, char** argv) {
    const bool contract = argc > 1 && std::strcmp(argv[1], "contract") == 0;
    PromptRequest request;
    request.title = "tarncore Debug Event";
    if (contract) {
        request.caption = "tarncore has encountered an error.";
        request.details = "[a.cpp-12]\r\n";
        request.buttons = {PromptButton("Continue", 0, 1)};
        request.cancelValue = request.headlessValue = 0;
    } else {
        std::string process;
        for (int i = 0; i < argc; ++i) process += (i > 0 ? " " : "") + std::string(argv[i]);
        request.caption = "Debug Assert failed!";
        request.details =
            "Expression: x > 0\r\nProcess: " + process + "\r\nFile: a.cpp\r\nLine: 12\r\nFunction: f";
        request.buttons = {PromptButton::Copy("Copy"),         PromptButton("Debug", 0),
                           PromptButton("Ignore Once", 3),     PromptButton("Ignore Always", 4),
                           PromptButton("Disable Asserts", 2), PromptButton("Kill Process", 1)};
        request.cancelValue = request.headlessValue = 3;
    }
    std::printf("answer %d\n", static_cast<int>(tarncore::platform::AskModalPrompt(request)));
    return 0;
}
