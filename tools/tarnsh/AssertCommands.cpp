// The assert dialog from the console: an assertion failed on request, and the answer it got.
#include "Shell.h"

#include <tarncore/debug/Assert.h>

#include <ostream>
#include <string>

namespace tarnsh {

namespace {

namespace debug = tarncore::debug;

const char* AnswerName(std::int32_t inAnswer) {
    switch (inAnswer) {
    case debug::kAssertBreak: return "Debug";
    case debug::kAssertContinue: return "Ignore Once";
    case debug::kAssertIgnoreAlways: return "Ignore Always";
    case debug::kAssertFailed: return "the dialog failed";
    default: return "unknown";
    }
}

const CommandSet sAssertCommands([](Shell& shell) {
    shell.Add("assert", "assert [message]",
              "Fails an assertion with assert.enabled on for this once, so that its dialog shows, and "
              "prints the answer.",
              [](const Shell::Arguments& args, std::ostream& out) {
                  std::string message;
                  for (std::size_t i = 1; i < args.size(); ++i) message += (i > 1 ? " " : "") + args[i];
                  const std::int32_t answer = debug::FailAssertionOnRequest(
                      "false", message.c_str(), __FILE__, __LINE__, "tarnsh assert");
                  out << "assert answered " << answer << " (" << AnswerName(answer) << ")\n";
              });
});

}  // namespace

}  // namespace tarnsh
