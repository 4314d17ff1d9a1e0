// The modal prompt as an X11 dialog: a private display connection, core fonts, the CLIPBOARD.
#include "platform/src/linux/ModalPromptBackends.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <initializer_list>
#include <mutex>
#include <set>

#include <poll.h>
#include <unistd.h>

namespace tarncore {
namespace platform {
namespace prompt {

namespace {

// Layout, in pixels.
constexpr int kMargin = 16;
constexpr int kGap = 10;
constexpr int kButtonPadding = 14;
constexpr int kButtonMinWidth = 84;
constexpr int kButtonSpacing = 8;
constexpr int kMaxTextWidth = 900;
constexpr int kMinWidth = 360;

using Glyphs = std::vector<XChar2b>;

// The dialogs' own connections must never end the process. X protocol errors on them
// are ignored (say, a window that asked for the clipboard is gone by the time it is
// answered), and a lost connection (the server went away, or someone killed the dialog's
// client) ends the dialog with the cancel value. Errors on other connections go on to
// the handlers installed before, which by default end the process.
struct Connections {
    std::mutex lock;
    std::set<Display*> displays;
    XErrorHandler previous = nullptr;
    XIOErrorHandler previousIO = nullptr;
};

Connections& OurConnections() {
    static Connections* const connections = new Connections;  // outlives every dialog thread
    return *connections;
}

bool IsOurs(Display* inDisplay) {
    Connections& connections = OurConnections();
    const std::lock_guard<std::mutex> lock(connections.lock);
    return connections.displays.count(inDisplay) != 0;
}

int OnXError(Display* inDisplay, XErrorEvent* inError) {
    if (IsOurs(inDisplay)) return 0;
    const XErrorHandler previous = OurConnections().previous;
    return previous != nullptr ? previous(inDisplay, inError) : 0;
}

// Returning hands over to the connection's exit handler, OnLost.
int OnXIOError(Display* inDisplay) {
    if (IsOurs(inDisplay)) return 0;
    const XIOErrorHandler previous = OurConnections().previousIO;
    return previous != nullptr ? previous(inDisplay) : 0;
}

void OnLost(Display*, void* inLost) { *static_cast<bool*>(inLost) = true; }

struct Connection {
    Display* display = nullptr;
    bool lost = false;
    int others = 0;  // dialogs of this process open already
};

bool OpenConnection(Connection& outConnection) {
    static std::once_flag once;
    std::call_once(once, [] {
        XInitThreads();
        OurConnections().previous = XSetErrorHandler(OnXError);
        OurConnections().previousIO = XSetIOErrorHandler(OnXIOError);
    });
    outConnection.display = XOpenDisplay(nullptr);
    if (outConnection.display == nullptr) return false;
    XSetIOErrorExitHandler(outConnection.display, OnLost, &outConnection.lost);
    const std::lock_guard<std::mutex> lock(OurConnections().lock);
    outConnection.others = static_cast<int>(OurConnections().displays.size());
    OurConnections().displays.insert(outConnection.display);
    return true;
}

void CloseConnection(Connection& ioConnection) {
    XSync(ioConnection.display,
          False);  // every error of this connection is reported before it leaves the set
    {
        const std::lock_guard<std::mutex> lock(OurConnections().lock);
        OurConnections().displays.erase(ioConnection.display);
    }
    XCloseDisplay(ioConnection.display);
}

// The code points of UTF-8 text, for drawing: a malformed sequence is one U+FFFD and
// decoding goes on, so one bad byte does not hide the rest of a line.
std::vector<char32_t> Decode(const std::string& inText) {
    std::vector<char32_t> points;
    const auto* byte = reinterpret_cast<const unsigned char*>(inText.data());
    const auto* const end = byte + inText.size();
    while (byte < end) {
        const unsigned char lead = *byte++;
        int more = lead < 0x80                   ? 0
                   : lead >= 0xF0 && lead < 0xF5 ? 3
                   : lead >= 0xE0                ? 2
                   : lead >= 0xC2                ? 1
                                                 : -1;
        if (lead >= 0xF5) more = -1;
        char32_t point = more == 3 ? lead & 0x07 : more == 2 ? lead & 0x0F : more == 1 ? lead & 0x1F : lead;
        bool good = more >= 0 && end - byte >= more;
        for (int i = 0; good && i < more; ++i) {
            if ((byte[i] & 0xC0) != 0x80) good = false;
            point = (point << 6) | (byte[i] & 0x3F);
        }
        const char32_t least = more == 3 ? 0x10000 : more == 2 ? 0x800 : 0x80;
        if (good && more > 0 && (point < least || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000)))
            good = false;
        if (!good) {
            points.push_back(0xFFFD);
            continue;
        }
        byte += more;
        points.push_back(point);
    }
    return points;
}

// Characters the font lacks, and controls, show as "?"; a tab as a space.
Glyphs ToGlyphs(const std::string& inText, const XFontStruct* inFont) {
    Glyphs glyphs;
    for (char32_t unit : Decode(inText)) {
        if (unit == '\t') unit = ' ';
        XChar2b glyph{static_cast<unsigned char>(unit >> 8), static_cast<unsigned char>(unit & 0xFF)};
        const bool drawable = unit >= 0x20 && unit != 0x7F && unit <= 0xFFFF &&
                              glyph.byte1 >= inFont->min_byte1 && glyph.byte1 <= inFont->max_byte1 &&
                              glyph.byte2 >= inFont->min_char_or_byte2 &&
                              glyph.byte2 <= inFont->max_char_or_byte2;
        if (!drawable) glyph = XChar2b{0, '?'};
        glyphs.push_back(glyph);
    }
    return glyphs;
}

std::string ToLatin1(const std::string& inText) {
    std::string text;
    for (const char32_t unit : Decode(inText)) text.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    return text;
}

int WidthOf(const Glyphs& inGlyphs, XFontStruct* inFont) {
    return XTextWidth16(inFont, inGlyphs.data(), static_cast<int>(inGlyphs.size()));
}

// Breaks a line into rows no wider than inWidth, at the last space that fits when there is one.
std::vector<Glyphs> Wrap(const Glyphs& inLine, XFontStruct* inFont, int inWidth) {
    std::vector<Glyphs> rows;
    std::size_t start = 0;
    for (;;) {
        int width = 0;
        std::size_t end = start;
        std::size_t space = inLine.size();
        while (end < inLine.size()) {
            const int glyphWidth = XTextWidth16(inFont, &inLine[end], 1);
            if (width + glyphWidth > inWidth && end > start) break;
            width += glyphWidth;
            if (inLine[end].byte1 == 0 && inLine[end].byte2 == ' ') space = end;
            ++end;
        }
        if (end == inLine.size()) {
            rows.emplace_back(inLine.begin() + start, inLine.end());
            return rows;
        }
        const bool atSpace = space < inLine.size() && space > start;
        rows.emplace_back(inLine.begin() + start, inLine.begin() + (atSpace ? space : end));
        start = atSpace ? space + 1 : end;
    }
}

XFontStruct* LoadFont(Display* inDisplay, std::initializer_list<const char*> inNames) {
    for (const char* name : inNames) {
        if (XFontStruct* font = XLoadQueryFont(inDisplay, name)) return font;
    }
    return nullptr;
}

class Dialog {
public:
    Dialog(const Connection& inConnection, const PromptRequest& inRequest)
        : mDisplay(inConnection.display), mLost(inConnection.lost), mRequest(inRequest),
          mCascade(inConnection.others % 8) {}

    ~Dialog() {
        if (mWindow != None) XDestroyWindow(mDisplay, mWindow);
        if (mGC != nullptr) XFreeGC(mDisplay, mGC);
        if (mBold != nullptr && mBold != mRegular) XFreeFont(mDisplay, mBold);
        if (mRegular != nullptr) XFreeFont(mDisplay, mRegular);
    }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    bool Create() {
        mRegular = LoadFont(mDisplay, {"-*-fixed-medium-r-normal--13-*-*-*-*-*-iso10646-1", "fixed"});
        if (mRegular == nullptr) return false;
        mBold = LoadFont(mDisplay, {"-*-fixed-bold-r-normal--13-*-*-*-*-*-iso10646-1"});
        if (mBold == nullptr) mBold = mRegular;
        InternAtoms();
        Layout();
        CreateWindows();
        return true;
    }

    std::int32_t Run() {
        XMapSubwindows(mDisplay, mWindow);
        XMapRaised(mDisplay, mWindow);
        XEvent event;
        while (NextEvent(event)) {
            switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) Draw(event.xexpose.window);
                break;
            case ButtonPress:
                if (event.xbutton.button == Button1 && IndexOf(event.xbutton.window) >= 0) {
                    mPressed = mFocus = IndexOf(event.xbutton.window);
                    mInside = true;
                    DrawButtons();
                }
                break;
            case EnterNotify:
            case LeaveNotify:
                if (mPressed >= 0 && IndexOf(event.xcrossing.window) == mPressed) {
                    mInside = event.type == EnterNotify;
                    DrawButtons();
                }
                break;
            case ButtonRelease:
                if (event.xbutton.button == Button1 && mPressed >= 0) {
                    const int pressed = mPressed;
                    const bool inside = mInside && IndexOf(event.xbutton.window) == pressed;
                    mPressed = -1;
                    DrawButtons();
                    if (inside && Press(pressed, event.xbutton.state, event.xbutton.time)) return mAnswer;
                }
                break;
            case KeyPress:
                if (OnKey(event.xkey)) return mAnswer;
                break;
            case ClientMessage:
                if (event.xclient.message_type == mAtoms[kWMProtocols] &&
                    static_cast<Atom>(event.xclient.data.l[0]) == mAtoms[kWMDeleteWindow]) {
                    return mRequest.cancelValue;
                }
                break;
            case SelectionRequest: Serve(event.xselectionrequest); break;
            case SelectionClear: mOwnsClipboard = false; break;
            case MappingNotify: XRefreshKeyboardMapping(&event.xmapping); break;
            default: break;
            }
        }
        return mRequest.cancelValue;  // the connection is lost: nobody can answer any more
    }

private:
    enum AtomIndex {
        kWMProtocols,
        kWMDeleteWindow,
        kNetWMName,
        kUTF8String,
        kNetWMWindowType,
        kNetWMWindowTypeDialog,
        kNetWMState,
        kNetWMStateAbove,
        kNetWMPid,
        kClipboard,
        kTargets,
        kText,
        kTimestamp,
        kAtomCount
    };

    struct Button {
        Window window = None;
        int x = 0, y = 0, width = 0, height = 0;
        Glyphs label;
    };

    void InternAtoms() {
        const char* names[kAtomCount] = {"WM_PROTOCOLS",
                                         "WM_DELETE_WINDOW",
                                         "_NET_WM_NAME",
                                         "UTF8_STRING",
                                         "_NET_WM_WINDOW_TYPE",
                                         "_NET_WM_WINDOW_TYPE_DIALOG",
                                         "_NET_WM_STATE",
                                         "_NET_WM_STATE_ABOVE",
                                         "_NET_WM_PID",
                                         "CLIPBOARD",
                                         "TARGETS",
                                         "TEXT",
                                         "TIMESTAMP"};
        XInternAtoms(mDisplay, const_cast<char**>(names), kAtomCount, False, mAtoms);
    }

    void Layout() {
        const int screen = DefaultScreen(mDisplay);
        mAscent = std::max(mRegular->ascent, mBold->ascent);
        mLineHeight = mAscent + std::max(mRegular->descent, mBold->descent) + 2;
        const int textWidth =
            std::max(200, std::min(kMaxTextWidth, DisplayWidth(mDisplay, screen) - 2 * kMargin - 40));

        for (const std::string& line : SplitLines(mRequest.caption)) {
            for (Glyphs& row : Wrap(ToGlyphs(line, mBold), mBold, textWidth))
                mCaption.push_back(std::move(row));
        }
        for (const std::string& line : SplitLines(mRequest.details)) {
            for (Glyphs& row : Wrap(ToGlyphs(line, mRegular), mRegular, textWidth))
                mDetails.push_back(std::move(row));
        }

        int rowsWidth = 0;
        for (const Glyphs& row : mCaption) rowsWidth = std::max(rowsWidth, WidthOf(row, mBold));
        for (const Glyphs& row : mDetails) rowsWidth = std::max(rowsWidth, WidthOf(row, mRegular));

        const int buttonHeight = mLineHeight + 12;
        int buttonsWidth = 0;
        for (const PromptButton& source : mRequest.buttons) {
            Button button;
            button.label = ToGlyphs(source.label, mRegular);
            button.width = std::max(kButtonMinWidth, WidthOf(button.label, mRegular) + 2 * kButtonPadding);
            button.height = buttonHeight;
            buttonsWidth += (mButtons.empty() ? 0 : kButtonSpacing) + button.width;
            mButtons.push_back(std::move(button));
        }

        // Text that would not fit on the screen ends in "...".
        const int fixedHeight =
            2 * kMargin + static_cast<int>(mCaption.size()) * mLineHeight + 3 * kGap + buttonHeight;
        const int rowsThatFit =
            std::max(1, (DisplayHeight(mDisplay, screen) - 80 - fixedHeight) / mLineHeight);
        if (static_cast<int>(mDetails.size()) > rowsThatFit) {
            mDetails.resize(static_cast<std::size_t>(rowsThatFit));
            mDetails.back() = ToGlyphs("...", mRegular);
        }

        mWidth = std::max({kMinWidth, rowsWidth, buttonsWidth}) + 2 * kMargin;
        mDetailsTop = kMargin + static_cast<int>(mCaption.size()) * mLineHeight + kGap;
        mButtonsTop = mDetailsTop + static_cast<int>(mDetails.size()) * mLineHeight + 2 * kGap;
        mHeight = mButtonsTop + buttonHeight + kMargin;

        // The row of buttons sits at the right, in the order given.
        int x = mWidth - kMargin - buttonsWidth;
        for (Button& button : mButtons) {
            button.x = x;
            button.y = mButtonsTop;
            x += button.width + kButtonSpacing;
        }

        // Focus starts on the safe answer, else on the first button that answers.
        const auto& buttons = mRequest.buttons;
        auto start = std::find_if(buttons.begin(), buttons.end(), [this](const PromptButton& inButton) {
            return !inButton.copies && inButton.value == mRequest.cancelValue;
        });
        if (start == buttons.end()) {
            start = std::find_if(buttons.begin(), buttons.end(),
                                 [](const PromptButton& inButton) { return !inButton.copies; });
        }
        mFocus = start == buttons.end() ? 0 : static_cast<int>(start - buttons.begin());
    }

    unsigned long Color(unsigned inRGB, unsigned long inFallback) {
        XColor color{};
        color.red = static_cast<unsigned short>(((inRGB >> 16) & 0xFF) * 257);
        color.green = static_cast<unsigned short>(((inRGB >> 8) & 0xFF) * 257);
        color.blue = static_cast<unsigned short>((inRGB & 0xFF) * 257);
        return XAllocColor(mDisplay, DefaultColormap(mDisplay, DefaultScreen(mDisplay)), &color) != 0
                   ? color.pixel
                   : inFallback;
    }

    void SetNames(Window inWindow, const std::string& inName) {
        const std::string latin1 = ToLatin1(inName);
        XChangeProperty(mDisplay, inWindow, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(latin1.data()),
                        static_cast<int>(latin1.size()));
        XChangeProperty(mDisplay, inWindow, mAtoms[kNetWMName], mAtoms[kUTF8String], 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(inName.data()),
                        static_cast<int>(inName.size()));
    }

    void CreateWindows() {
        const int screen = DefaultScreen(mDisplay);
        const unsigned long black = BlackPixel(mDisplay, screen);
        const unsigned long white = WhitePixel(mDisplay, screen);
        mBackground = Color(0xF2F2F2, white);
        mText = Color(0x1E1E1E, black);
        mFace = Color(0xFCFCFC, white);
        mFacePressed = Color(0xD6D6D6, white);
        mBorder = Color(0x8A8A8A, black);
        mFocusRing = Color(0x2A6FDB, black);

        const int x = std::max(0, (DisplayWidth(mDisplay, screen) - mWidth) / 2 + 32 * mCascade);
        const int y = std::max(0, (DisplayHeight(mDisplay, screen) - mHeight) / 2 + 32 * mCascade);
        mWindow =
            XCreateSimpleWindow(mDisplay, RootWindow(mDisplay, screen), x, y, static_cast<unsigned>(mWidth),
                                static_cast<unsigned>(mHeight), 0, black, mBackground);
        XSelectInput(mDisplay, mWindow, ExposureMask | KeyPressMask | StructureNotifyMask);

        // Fixed size, centred; the window manager gives it the focus and its close box answers.
        XSizeHints* size = XAllocSizeHints();
        size->flags = PPosition | PSize | PMinSize | PMaxSize;
        size->x = x;
        size->y = y;
        size->width = size->min_width = size->max_width = mWidth;
        size->height = size->min_height = size->max_height = mHeight;
        XWMHints* hints = XAllocWMHints();
        hints->flags = InputHint | StateHint;
        hints->input = True;
        hints->initial_state = NormalState;
        XClassHint* classes = XAllocClassHint();
        classes->res_name = const_cast<char*>("tarncore-prompt");
        classes->res_class = const_cast<char*>("TarncorePrompt");
        XSetWMProperties(mDisplay, mWindow, nullptr, nullptr, nullptr, 0, size, hints, classes);
        XFree(size);
        XFree(hints);
        XFree(classes);
        SetNames(mWindow, mRequest.title);
        XSetWMProtocols(mDisplay, mWindow, &mAtoms[kWMDeleteWindow], 1);
        XChangeProperty(mDisplay, mWindow, mAtoms[kNetWMWindowType], XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&mAtoms[kNetWMWindowTypeDialog]), 1);
        XChangeProperty(mDisplay, mWindow, mAtoms[kNetWMState], XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&mAtoms[kNetWMStateAbove]), 1);
        const long pid = static_cast<long>(getpid());
        XChangeProperty(mDisplay, mWindow, mAtoms[kNetWMPid], XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);

        // Each button is a child window named by its label, so tools can find it.
        for (std::size_t i = 0; i < mButtons.size(); ++i) {
            Button& button = mButtons[i];
            button.window = XCreateSimpleWindow(mDisplay, mWindow, button.x, button.y,
                                                static_cast<unsigned>(button.width),
                                                static_cast<unsigned>(button.height), 0, black, mFace);
            XSelectInput(
                mDisplay, button.window,
                ExposureMask | ButtonPressMask | ButtonReleaseMask | EnterWindowMask | LeaveWindowMask);
            SetNames(button.window, mRequest.buttons[i].label);
        }
        mGC = XCreateGC(mDisplay, mWindow, 0, nullptr);
    }

    // Waits for the next event; false once the connection is lost. XNextEvent itself
    // must not meet a lost connection: it would read an empty queue.
    bool NextEvent(XEvent& outEvent) {
        while (XPending(mDisplay) == 0) {
            if (mLost) return false;
            pollfd ready{ConnectionNumber(mDisplay), POLLIN, 0};
            poll(&ready, 1, -1);
        }
        if (mLost) return false;
        XNextEvent(mDisplay, &outEvent);
        return true;
    }

    int IndexOf(Window inWindow) const {
        for (std::size_t i = 0; i < mButtons.size(); ++i) {
            if (mButtons[i].window == inWindow) return static_cast<int>(i);
        }
        return -1;
    }

    void DrawText(Window inWindow, XFontStruct* inFont, int inX, int inY, const Glyphs& inGlyphs,
                  bool inBold) {
        XSetFont(mDisplay, mGC, inFont->fid);
        XDrawString16(mDisplay, inWindow, mGC, inX, inY, inGlyphs.data(), static_cast<int>(inGlyphs.size()));
        if (inBold)
            XDrawString16(mDisplay, inWindow, mGC, inX + 1, inY, inGlyphs.data(),
                          static_cast<int>(inGlyphs.size()));
    }

    void Draw(Window inWindow) {
        if (inWindow != mWindow) {
            DrawButtons();
            return;
        }
        if (!mFocusTaken) TakeFocus();
        XSetForeground(mDisplay, mGC, mText);
        int y = kMargin + mAscent;
        for (const Glyphs& row : mCaption) {
            DrawText(mWindow, mBold, kMargin, y, row, mBold == mRegular);
            y += mLineHeight;
        }
        y = mDetailsTop + mAscent;
        for (const Glyphs& row : mDetails) {
            DrawText(mWindow, mRegular, kMargin, y, row, false);
            y += mLineHeight;
        }
        XSetForeground(mDisplay, mGC, mBorder);
        XDrawLine(mDisplay, mWindow, mGC, kMargin, mButtonsTop - kGap, mWidth - kMargin, mButtonsTop - kGap);
    }

    void DrawButtons() {
        for (std::size_t i = 0; i < mButtons.size(); ++i) {
            const Button& button = mButtons[i];
            const int index = static_cast<int>(i);
            const bool down = index == mPressed && mInside;
            const int w = button.width;
            const int h = button.height;
            XSetForeground(mDisplay, mGC, down ? mFacePressed : mFace);
            XFillRectangle(mDisplay, button.window, mGC, 0, 0, static_cast<unsigned>(w),
                           static_cast<unsigned>(h));
            XSetForeground(mDisplay, mGC, index == mFocus ? mFocusRing : mBorder);
            XDrawRectangle(mDisplay, button.window, mGC, 0, 0, static_cast<unsigned>(w - 1),
                           static_cast<unsigned>(h - 1));
            if (index == mFocus) {
                XDrawRectangle(mDisplay, button.window, mGC, 1, 1, static_cast<unsigned>(w - 3),
                               static_cast<unsigned>(h - 3));
            }
            XSetForeground(mDisplay, mGC, mText);
            const int x = (w - WidthOf(button.label, mRegular)) / 2 + (down ? 1 : 0);
            const int y = (h - mRegular->ascent - mRegular->descent) / 2 + mRegular->ascent + (down ? 1 : 0);
            DrawText(button.window, mRegular, x, y, button.label, false);
        }
    }

    // Keyboard focus for the dialog even where no window manager hands it out. The
    // window must be viewable; an error from a race with unmapping is ignored.
    void TakeFocus() {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(mDisplay, mWindow, &attributes) != 0 && attributes.map_state == IsViewable) {
            XSetInputFocus(mDisplay, mWindow, RevertToParent, CurrentTime);
            mFocusTaken = true;
        }
    }

    void MoveFocus(int inStep) {
        if (mButtons.empty()) return;
        const int count = static_cast<int>(mButtons.size());
        mFocus = ((mFocus + inStep) % count + count) % count;
        DrawButtons();
    }

    // True when the key gave the answer.
    bool OnKey(XKeyEvent& ioEvent) {
        const KeySym key = XLookupKeysym(&ioEvent, 0);
        switch (key) {
        case XK_Tab: MoveFocus((ioEvent.state & ShiftMask) != 0 ? -1 : 1); return false;
        case XK_ISO_Left_Tab:
        case XK_Left:
        case XK_Up: MoveFocus(-1); return false;
        case XK_Right:
        case XK_Down: MoveFocus(1); return false;
        case XK_Return:
        case XK_KP_Enter:
        case XK_space: return !mButtons.empty() && Press(mFocus, ioEvent.state, ioEvent.time);
        case XK_Escape: mAnswer = mRequest.cancelValue; return true;
        default: return false;
        }
    }

    // True when the button gave the answer; Copy only copies.
    bool Press(int inIndex, unsigned inState, Time inTime) {
        const PromptButton& button = mRequest.buttons[static_cast<std::size_t>(inIndex)];
        if (button.copies) {
            Copy(inTime);
            return false;
        }
        mAnswer = (inState & ControlMask) != 0 ? button.controlValue : button.value;
        return true;
    }

    void Copy(Time inTime) {
        mCopyText = PromptCopyText(mRequest);
        mCopyLatin1 = ToLatin1(mCopyText);
        mCopyTime = inTime;
        XSetSelectionOwner(mDisplay, mAtoms[kClipboard], mWindow, inTime);
        mOwnsClipboard = XGetSelectionOwner(mDisplay, mAtoms[kClipboard]) == mWindow;
    }

    // Answers a request for the clipboard: its targets, its time, or the text as
    // UTF8_STRING or, for older clients, as Latin-1 STRING.
    void Serve(const XSelectionRequestEvent& inRequest) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.display = inRequest.display;
        reply.xselection.requestor = inRequest.requestor;
        reply.xselection.selection = inRequest.selection;
        reply.xselection.target = inRequest.target;
        reply.xselection.time = inRequest.time;
        reply.xselection.property = None;
        // Clients older than the ICCCM name no property: the target names it.
        const Atom property = inRequest.property != None ? inRequest.property : inRequest.target;
        const Atom target = inRequest.target;
        const std::string* text = nullptr;
        Atom type = None;
        if (target == mAtoms[kUTF8String]) {
            text = &mCopyText;
            type = mAtoms[kUTF8String];
        } else if (target == XA_STRING || target == mAtoms[kText]) {
            text = &mCopyLatin1;
            type = XA_STRING;
        }
        // A text longer than one request would need the incremental protocol; it is refused.
        const std::size_t largest = static_cast<std::size_t>(XMaxRequestSize(mDisplay)) * 4 - 64;
        const bool ours = mOwnsClipboard && inRequest.selection == mAtoms[kClipboard];
        if (ours && target == mAtoms[kTargets]) {
            const Atom targets[] = {mAtoms[kTargets], mAtoms[kTimestamp], mAtoms[kUTF8String], XA_STRING,
                                    mAtoms[kText]};
            XChangeProperty(mDisplay, inRequest.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets), 5);
            reply.xselection.property = property;
        } else if (ours && target == mAtoms[kTimestamp]) {
            const long time = static_cast<long>(mCopyTime);
            XChangeProperty(mDisplay, inRequest.requestor, property, XA_INTEGER, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&time), 1);
            reply.xselection.property = property;
        } else if (ours && text != nullptr && text->size() <= largest) {
            XChangeProperty(mDisplay, inRequest.requestor, property, type, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text->data()),
                            static_cast<int>(text->size()));
            reply.xselection.property = property;
        }
        XSendEvent(mDisplay, inRequest.requestor, False, NoEventMask, &reply);
    }

    Display* mDisplay;
    const bool& mLost;
    const PromptRequest& mRequest;
    int mCascade;
    Atom mAtoms[kAtomCount] = {};
    XFontStruct* mRegular = nullptr;
    XFontStruct* mBold = nullptr;
    GC mGC = nullptr;
    Window mWindow = None;
    std::vector<Glyphs> mCaption;
    std::vector<Glyphs> mDetails;
    std::vector<Button> mButtons;
    int mAscent = 0, mLineHeight = 0, mWidth = 0, mHeight = 0, mDetailsTop = 0, mButtonsTop = 0;
    unsigned long mBackground = 0, mText = 0, mFace = 0, mFacePressed = 0, mBorder = 0, mFocusRing = 0;
    int mFocus = 0;
    int mPressed = -1;
    bool mInside = false;
    bool mFocusTaken = false;
    std::int32_t mAnswer = 0;
    bool mOwnsClipboard = false;
    std::string mCopyText;
    std::string mCopyLatin1;
    Time mCopyTime = CurrentTime;
};

}  // namespace

bool AskX11(const PromptRequest& inRequest, std::int32_t& outAnswer) {
    Connection connection;
    if (!OpenConnection(connection)) return false;
    bool shown = false;
    {
        Dialog dialog(connection, inRequest);
        if (dialog.Create()) {
            outAnswer = dialog.Run();
            shown = true;
        }
    }
    CloseConnection(connection);
    return shown;
}

}  // namespace prompt
}  // namespace platform
}  // namespace tarncore
