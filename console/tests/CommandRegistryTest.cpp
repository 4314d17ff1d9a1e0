// The command registry: reading a command line, matching names, making, keeping and handing back commands,
// listing.
#include <tarncore/console/Command.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using tarncore::UTF16OutputStream;
using tarncore::console::Command;
using tarncore::console::ExecuteCommand;
using tarncore::utility::UTF16Char;
using tarncore::utility::UTF16String;
namespace console = tarncore::console;
namespace registry = tarncore::console::CommandRegistry;

UTF16String W(const std::string& inAscii) { return UTF16String(inAscii.begin(), inAscii.end()); }

std::string N(const UTF16String& inText) {
    std::string narrow;
    for (UTF16Char unit : inText) narrow.push_back(unit < 128 ? static_cast<char>(unit) : '?');
    return narrow;
}

// What a command saw and how often each kind was made, for the tests' commands.
struct Journal {
    int made = 0;
    int refusals = 0;  // factory calls left that give no object
    std::vector<std::string> arguments;
};
Journal gJournal;

class Recording : public Command {
public:
    using Command::Command;
    void Execute(const UTF16String& inArguments, UTF16OutputStream& ioOut) override {
        gJournal.arguments.push_back(N(inArguments));
        ioOut << GetName();
        console::WriteLineEnd(ioOut);
        if (inArguments == W("fail")) throw std::runtime_error("failed on purpose");
    }
};

Command* MakeRecording(const UTF16String& inName, const UTF16String& inHelp) {
    if (gJournal.refusals > 0) {
        --gJournal.refusals;
        return nullptr;
    }
    ++gJournal.made;
    return new Recording(inName, inHelp);
}

// Output written to a string, and the line run.
struct Outcome {
    bool ran;
    std::string out;
};

Outcome Execute(const UTF16String& inLine) {
    std::basic_stringbuf<UTF16Char> buffer;
    UTF16OutputStream out(&buffer);
    const bool ran = ExecuteCommand(inLine, out);
    return {ran, N(buffer.str())};
}
Outcome Execute(const std::string& inLine) { return Execute(W(inLine)); }

class CommandRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { gJournal = Journal(); }
};

TEST(TokenReaderTest, SplitsAtDelimitersAndGivesTheRestWhenTheyAreEmptied) {
    console::TokenReader reader(W("a  b the rest  "), W(" "));
    EXPECT_EQ(N(reader.Next()), "a");
    EXPECT_EQ(N(reader.Next()), "");  // between two delimiters
    EXPECT_EQ(N(reader.Next()), "b");
    reader.SetDelimiters(UTF16String());
    EXPECT_EQ(N(reader.Next()), "the rest  ");
    EXPECT_EQ(N(reader.Next()), "");  // past the end

    EXPECT_EQ(N(console::TrimSpaces(W(" \t a \t b\t "))), "a \t b");
    EXPECT_EQ(N(console::TrimSpaces(W("\na\r"))), "\na\r");  // only spaces and tabs
}

TEST(CommandNameTest, ComparesWithoutCaseAndLeavesOtherUnitsAlone) {
    EXPECT_TRUE(console::CommandNameLess(W("["), W("A")));  // '[' is above 'Z' but below 'a'

    // Only A to Z fold; Latin-1 letters and units above 255 are kept as they are, whatever
    // the process's locale.
    EXPECT_EQ(console::FoldCommandNameUnit(0xC0), 0xC0);
    EXPECT_EQ(console::FoldCommandNameUnit(0x130), 0x130);
    EXPECT_EQ(console::FoldCommandNameUnit(0xFF21), 0xFF21);
    EXPECT_TRUE(console::CommandNameLess(UTF16String{'z'}, UTF16String{0x100}));
}

TEST_F(CommandRegistryTest, ReadsTheWordAndTheArgumentsOfALine) {
    registry::RegisterCommand(W("reg.Words"), W("reg.words - test"), &MakeRecording);

    EXPECT_TRUE(Execute("REG.WORDS   one  two \t").ran);
    EXPECT_TRUE(Execute("reg.words\t \t x").ran);  // a tab before the first space ends the word too
    EXPECT_TRUE(Execute("\treg.words").ran);       // only a leading space empties the word
    const Outcome run = Execute("Reg.Words x");
    EXPECT_TRUE(run.ran);
    EXPECT_EQ(run.out, "reg.Words\r\n");  // the command keeps its registered name
    EXPECT_EQ(gJournal.arguments, (std::vector<std::string>{"one  two", "x", "", "x"}));
    EXPECT_EQ(gJournal.made, 1);  // made once, on first use

    // Nothing runs, and nothing is written, for an empty word, a line starting with a
    // space, or a word that names nothing; a tab does not split the word.
    for (const char* line : {"", "   ", " reg.words", "reg.word", "reg.wordsx", "reg.words\tx"}) {
        const Outcome refused = Execute(line);
        EXPECT_FALSE(refused.ran) << line;
        EXPECT_EQ(refused.out, "") << line;
    }
    // Units above 255 in a line are compared as they are.
    EXPECT_FALSE(Execute(UTF16String{0xFF32, 'e', 'g', '.', 'w', 'o', 'r', 'd', 's'}).ran);
    EXPECT_FALSE(Execute(UTF16String{0xD800, 0x00, 0xFFFF}).ran);
    EXPECT_EQ(gJournal.arguments.size(), 4u);
}

TEST_F(CommandRegistryTest, HandsBackOnlyCommandsItMade) {
    EXPECT_EQ(registry::UnregisterCommand(W("reg.nothing")), nullptr);

    // Never run: no object to hand back, and the command stays.
    registry::RegisterCommand(W("reg.idle"), W("reg.idle - never run"), &MakeRecording);
    EXPECT_EQ(registry::UnregisterCommand(W("reg.idle")), nullptr);
    EXPECT_TRUE(registry::IsCommandRegistered(W("REG.IDLE")));
    EXPECT_TRUE(Execute("reg.idle").ran);

    // Run once: the object goes to the caller with the entry.
    std::unique_ptr<Command> command(registry::UnregisterCommand(W("Reg.Idle")));
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(N(command->GetName()), "reg.idle");
    EXPECT_FALSE(Execute("reg.idle").ran);

    // The name can be registered again, and a new object is made.
    registry::RegisterCommand(W("reg.idle"), W("reg.idle - again"), &MakeRecording);
    EXPECT_TRUE(Execute("reg.idle").ran);
    EXPECT_EQ(gJournal.made, 2);
    delete registry::UnregisterCommand(W("reg.idle"));
}

TEST_F(CommandRegistryTest, AFactoryWithoutAnObjectIsAskedAgainAndWhatACommandThrowsPassesOut) {
    registry::RegisterCommand(W("reg.late"), W("reg.late - made on the third try"), &MakeRecording);
    gJournal.refusals = 2;
    EXPECT_FALSE(Execute("reg.late").ran);
    EXPECT_FALSE(Execute("reg.late").ran);
    EXPECT_EQ(registry::UnregisterCommand(W("reg.late")), nullptr);
    EXPECT_TRUE(Execute("reg.late x").ran);
    EXPECT_EQ(gJournal.arguments, std::vector<std::string>{"x"});

    // What the command throws passes out, and the command stays.
    EXPECT_THROW(Execute("reg.late fail"), std::runtime_error);
    EXPECT_TRUE(Execute("reg.late ok").ran);
    EXPECT_EQ(gJournal.made, 1);

    registry::RegisterCommand(W("reg.nofactory"), W("reg.nofactory - none"), nullptr);
    EXPECT_FALSE(Execute("reg.nofactory").ran);
    delete registry::UnregisterCommand(W("reg.late"));
}

TEST_F(CommandRegistryTest, ListsTheHelpTextsInNameOrderAndKeepsTheFirstRegistration) {
    registry::RegisterCommand(W("zz.gamma"), W("zz.gamma - third"), &MakeRecording);
    registry::RegisterCommand(W("ZZ.Beta"), W("ZZ.Beta - second"), &MakeRecording);
    registry::RegisterCommand(W("zz.alpha"), W("zz.alpha - first"), &MakeRecording);
    registry::RegisterCommand(W("zz.alpha.more"), W("zz.alpha.more - after its prefix"), &MakeRecording);
    registry::RegisterCommand(W("ZZ.GAMMA"), W("ZZ.GAMMA - the second"), nullptr);
    EXPECT_EQ(Execute("zz.gamma").out, "zz.gamma\r\n");

    std::basic_stringbuf<UTF16Char> buffer;
    UTF16OutputStream out(&buffer);
    console::ListCommands(out);
    EXPECT_NE(N(buffer.str())
                  .find("zz.alpha - first\r\nzz.alpha.more - after its prefix\r\nZZ.Beta - second\r\n"
                        "zz.gamma - third\r\n"),
              std::string::npos);
    EXPECT_EQ(N(buffer.str()).find("the second"), std::string::npos);
}

}  // namespace
