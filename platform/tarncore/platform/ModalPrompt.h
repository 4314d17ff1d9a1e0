// The modal prompt: a question to the person at the machine, answered by a button.
#pragma once

#include <tarncore/platform/Export.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarncore {
namespace platform {

/// One button of a modal prompt.
struct PromptButton {
    /// The label, in UTF-8.
    std::string label;
    /// The answer when the button is pressed.
    std::int32_t value = 0;
    /// The answer when the button is pressed while Ctrl is held down.
    std::int32_t controlValue = 0;
    /// A Copy button answers nothing: it puts PromptCopyText() on the clipboard and the
    /// prompt stays open.
    bool copies = false;

    PromptButton() = default;
    /// A button that answers inValue, with Ctrl or without.
    PromptButton(std::string inLabel, std::int32_t inValue)
        : label(std::move(inLabel)), value(inValue), controlValue(inValue) {}
    /// A button that answers inControlValue when pressed with Ctrl, else inValue.
    PromptButton(std::string inLabel, std::int32_t inValue, std::int32_t inControlValue)
        : label(std::move(inLabel)), value(inValue), controlValue(inControlValue) {}
    /// A Copy button.
    static PromptButton Copy(std::string inLabel) {
        PromptButton button(std::move(inLabel), 0);
        button.copies = true;
        return button;
    }
};

/// What a modal prompt shows and the answers it may give. All text is UTF-8.
struct PromptRequest {
    /// The window title.
    std::string title;
    /// One line above the details.
    std::string caption;
    /// The body text; lines are ended by CR LF (a lone LF or CR ends a line too).
    std::string details;
    /// The buttons, in the order shown.
    std::vector<PromptButton> buttons;
    /// The safe answer: given for Escape, for closing the window and for the end of
    /// terminal input. Keyboard focus starts on the button that answers it.
    std::int32_t cancelValue = 0;
    /// The answer when nobody can be asked (no display, no terminal); given at once.
    std::int32_t headlessValue = 0;
};

/// The text a Copy button puts on the clipboard: the caption, a line feed, the details.
TARNCORE_API std::string PromptCopyText(const PromptRequest& inRequest);

/// Shows a request and waits for its answer. Hosts and tests derive from it and install
/// their prompt with SetModalPrompt(). Ask() may be called from any thread, by several
/// threads at once, and typically runs on a thread of its own while the thread that has
/// something to report waits for the answer.
class TARNCORE_API ModalPrompt {
public:
    virtual ~ModalPrompt();
    /// Shows inRequest, waits for the person's choice and returns its value: the value
    /// (or, with Ctrl, the controlValue) of the button pressed, or the request's
    /// cancelValue or headlessValue.
    virtual std::int32_t Ask(const PromptRequest& inRequest) = 0;
};

/// The library's own prompt. It chooses at every call:
/// - an X11 dialog when the DISPLAY environment variable names a display that can be
///   opened. Each call opens a private connection, used only by the calling thread and
///   closed before returning (Xlib's thread support is switched on with XInitThreads()
///   before the first connection, so several dialogs may be open at once). Tab and
///   Shift+Tab move the focus, Enter or Space press the focused button, Escape and the
///   window manager's close give cancelValue; Copy owns the CLIPBOARD selection while
///   the dialog stays open. The dialog's own connections never end the process: X
///   protocol errors on them are ignored (a clipboard client may go away), and a lost
///   connection gives cancelValue. Errors on other connections go on to the handlers
///   that were installed before (Xlib's error handlers are process-wide; the dialog
///   installs its own, which pass them on, when it first opens).
/// - else a terminal prompt on standard error when standard input and standard error
///   are terminals and the process is in the terminal's foreground: the buttons are
///   numbered (Copy is left out, the text is on the screen; a button whose Ctrl answer
///   differs is listed a second time with " (Ctrl)"), a wrong choice asks again and the
///   end of input gives cancelValue.
/// - else headlessValue, at once; standard input is never read.
TARNCORE_API ModalPrompt& DefaultModalPrompt();

/// Installs inPrompt (not owned; null puts DefaultModalPrompt() back) and returns the
/// prompt installed before (null for the default). Meant for start-up, shut-down and
/// tests: a prompt already being asked on another thread finishes with the old one.
TARNCORE_API ModalPrompt* SetModalPrompt(ModalPrompt* inPrompt);

/// Asks the installed prompt, or DefaultModalPrompt() when none is installed.
TARNCORE_API std::int32_t AskModalPrompt(const PromptRequest& inRequest);

}  // namespace platform
}  // namespace tarncore
