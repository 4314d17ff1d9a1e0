// Fails an assertion through the assert dialog, as a client's assert macro or a console command does, and
// prints what came of it.
//   assert_ask once|twice|request
// "once" and "twice" switch "assert.enabled" on in the debug database (so run with a
// private HOME) and reach the same assertion once or twice with one ignore-always flag;
// "request" fails one on request, leaving the database as it was, and prints the answer.
#include <tarncore/config/Client.h>
#include <tarncore/debug/Assert.h>
#include <tarncore/debug/DebugDatabase.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdio>
#include <cstring>

using namespace tarncore;

int main(int argc, char** argv) {
    config::SetClientName(utility::MakeUTF16(u"tarncore"));
    const char* mode = argc > 1 ? argv[1] : "once";
    if (std::strcmp(mode, "request") == 0) {
        const std::int32_t answer =
            debug::FailAssertionOnRequest("false", "Failed on request.", "a.cpp", 12, "f");
        std::printf("answer %d\n", static_cast<int>(answer));
        return 0;
    }

    debug::DebugDatabase::Instance().SetEntry(utility::MakeUTF8("assert.enabled"), utility::MakeUTF8("true"));
    const int times = std::strcmp(mode, "twice") == 0 ? 2 : 1;
    static bool ignoreAlways = false;
    for (int i = 1; i <= times; ++i) {
        if (ignoreAlways) {
            std::printf("assertion %d: not checked\n", i);
            continue;
        }
        const bool breakNow = debug::BreakAfterAssertDialog(ignoreAlways, "x > 0", nullptr, "a.cpp", 12, "f");
        // Without a debugger the break does nothing, and the program goes on.
        if (breakNow) debug::TARN_DebugBreak();
        std::printf("assertion %d: break %d, ignore always %d\n", i, breakNow ? 1 : 0, ignoreAlways ? 1 : 0);
        std::fflush(stdout);
    }
    return 0;
}
