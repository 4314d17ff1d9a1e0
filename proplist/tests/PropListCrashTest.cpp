// Tests that saving survives being killed.
// A child process saves two lists in turn and is killed at a random moment after its
// first save; every time, the file loads as one of the two.
#include <tarncore/filesupport/File.h>
#include <tarncore/proplist/PropList.h>
#include <tarncore/proplist/PropListUtils.h>
#include <tarncore/utility/UnicodeStrings.h>
#include <tarncore/xml/ExpatParser.h>

#include <tarncore_testing/RecordingErrorManager.h>
#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace tarncore;
using namespace tarncore::proplist;
using utility::MakeUTF8;
using utility::UTF8String;

// About 2,000 entries in two levels; inGeneration changes every value.
PropList LargeList(int inGeneration) {
    PropList list;
    list.SetValue(MakeUTF8("generation"), std::int32_t(inGeneration));
    for (int group = 0; group < 20; ++group) {
        PropList* sub = list.NewSubList(MakeUTF8(("group" + std::to_string(group)).c_str()));
        for (int i = 0; i < 100; ++i) {
            const std::string key = "entry" + std::to_string(i);
            const std::string text = "value " + std::to_string(inGeneration * 100000 + group * 100 + i);
            if (i % 2 == 0)
                sub->SetValue(MakeUTF8(key.c_str()), MakeUTF8(text.c_str()));
            else
                sub->SetValue(MakeUTF8(key.c_str()), double(inGeneration) + i / 8.0);
        }
    }
    return list;
}

UTF8String Document(const PropList& inList) {
    UTF8String text;
    utils::WritePropList(text, inList);
    return text;
}

TEST(PropListCrash, AKilledSaveLeavesTheOldListOrTheNew) {
    std::unique_ptr<xml::DocParserFactory> factory(new xml::ExpatParserFactory);
    xml::SetParserFactory(factory);
    tarncore::testing::RecordingErrorManager errors;

    const std::string folder = tarncore::testing::MakeTempFolder("crash");
    filesupport::File file(utility::UTF8to16(MakeUTF8((folder + "/settings.plist").c_str())));
    const PropList lists[2] = {LargeList(0), LargeList(1)};
    const UTF8String documents[2] = {Document(lists[0]), Document(lists[1])};

    // How long one save takes here, so that the kills spread over whole saves.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; ++i) utils::SavePropList(file, lists[i % 2]);
    const auto perSave =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start) / 4;
    const long spread = std::max<long>(200, static_cast<long>(perSave.count()) * 2);

    std::mt19937 random(1234);
    int seen[2] = {0, 0};
    for (int kill = 0; kill < 200; ++kill) {
        // The child tells when its first save is in place, so that every round has
        // replaced the file at least once before the kill comes during a later save.
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves until killed; nothing of the test framework runs here.
            close(ready[0]);
            try {
                for (int n = 0;; ++n) {
                    utils::SavePropList(file, lists[(kill + n) % 2]);
                    if (n == 0 && write(ready[1], "s", 1) != 1) break;
                }
            } catch (...) {
            }
            _exit(1);
        }
        close(ready[1]);
        char signal = 0;
        const bool saved = read(ready[0], &signal, 1) == 1;
        close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % spread));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(saved && WIFSIGNALED(status)) << "the child stopped saving by itself";

        PropList loaded;
        utils::LoadPropList(file.FullPath(), loaded);
        ASSERT_TRUE(errors.Reports().empty()) << "after kill " << kill;
        const UTF8String document = Document(loaded);
        const int which = document == documents[0] ? 0 : document == documents[1] ? 1 : -1;
        ASSERT_NE(which, -1) << "after kill " << kill << " the file holds neither list";
        ++seen[which];

        // A killed save leaves its temporary file (hidden, beside the target) behind.
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string()[0] == '.') std::filesystem::remove(entry.path());
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);

    std::unique_ptr<xml::DocParserFactory> none;
    xml::SetParserFactory(none);
}

}  // namespace
