// Tests of the process services: the command line, a break with and without a tracer, ending at once.
#include "platform/os/Process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace os = tarncore::platform::os;

TEST(Process, TheCommandLineIsTheArgumentsJoinedBySpaces) {
    const std::string line = os::ProcessCommandLine();
    const std::string program = line.substr(0, line.find(' '));
    EXPECT_EQ(program.substr(program.rfind('/') + 1), "platform_tests");
    EXPECT_EQ(line.find('\0'), std::string::npos);
    EXPECT_NE(line.back(), ' ');
}

TEST(Process, WithoutATracerABreakDoesNothing) {
    EXPECT_FALSE(os::DebuggerAttached());
    EXPECT_FALSE(os::BreakIntoDebugger());
}

// A child traced by this test breaks: it stops in its tracer with SIGTRAP, and when the
// tracer hands the signal on, as strace does, the child goes on to its normal end.
TEST(Process, UnderATracerABreakStopsAndTheHandedOnSignalDoesNotEndTheProcess) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(10);
        if (!os::DebuggerAttached()) _exit(11);
        _exit(os::BreakIntoDebugger() ? 0 : 12);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSTOPPED(status)) << status;
    EXPECT_EQ(WSTOPSIG(status), SIGTRAP);
    ASSERT_EQ(ptrace(PTRACE_CONT, child, nullptr, reinterpret_cast<void*>(static_cast<long>(SIGTRAP))), 0);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ProcessDeathTest, TerminateEndsAtOnceWithTheExitCode) {
    EXPECT_EXIT(os::TerminateProcess(-1), ::testing::ExitedWithCode(255), "");
}

}  // namespace
