// The ways the default modal prompt can ask: an X11 dialog and a terminal prompt.
#pragma once

#include <tarncore/platform/ModalPrompt.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarncore {
namespace platform {
namespace prompt {

// The lines of a details text: CR LF, LF and CR each end a line; a final line end
// adds no empty line.
std::vector<std::string> SplitLines(const std::string& inText);

// Shows the request as a dialog on the display named by DISPLAY and waits for the
// answer. False, with nothing shown, when no display can be opened.
bool AskX11(const PromptRequest& inRequest, std::int32_t& outAnswer);

// Writes the request and its numbered choices to inOutput and reads the choice, a line
// at a time, from inInput (a terminal). Only one terminal prompt runs at a time.
std::int32_t AskTerminal(const PromptRequest& inRequest, int inInput, int inOutput);

}  // namespace prompt
}  // namespace platform
}  // namespace tarncore
