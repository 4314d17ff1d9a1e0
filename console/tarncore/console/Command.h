// Console commands: the Command base, the process's registry of them, and running a command line.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>
#include <tarncore/utility/TextStreams.h>

#include <list>

/// @file
/// The console: named text commands that a client (a console window, a script, a
/// remote shell) runs against the library. A command is registered by name with a
/// help text and a factory; the registry makes the command object the first time a
/// command line names it, and the object writes its answer to a UTF-16 output stream.
///
/// Every line the console writes ends with a carriage return and a line feed, after
/// which the stream is flushed (WriteLineEnd).
///
/// The registry takes no lock: registering, running and listing are done from one
/// thread at a time (the client's console thread).
namespace tarncore {
namespace console {

/// A console command. Subclasses write their answer to the stream they are given.
class TARNCORE_API Command {
public:
    /// Keeps the name and the help text that the registry lists.
    Command(const utility::UTF16String& inName, const utility::UTF16String& inHelp);
    virtual ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    /// Runs the command on its argument text (what follows the command word, trimmed)
    /// and writes the answer to ioOut. What it throws passes out of ExecuteCommand.
    virtual void Execute(const utility::UTF16String& inArguments, UTF16OutputStream& ioOut) = 0;

    const utility::UTF16String& GetName() const { return mName; }
    const utility::UTF16String& GetHelp() const { return mHelp; }

private:
    utility::UTF16String mName;
    utility::UTF16String mHelp;
};

/// Makes a command object for the registered name and help text; the registry owns
/// what it returns. Null means the command cannot be made now.
using CommandFactory = Command* (*)(const utility::UTF16String& inName, const utility::UTF16String& inHelp);

/// The process's commands, kept in the order of their names compared without regard to
/// case (see CommandNameLess). Made empty on first use; lives until the process ends.
namespace CommandRegistry {

/// Adds the command. When a name that compares equal is registered already, nothing
/// changes: the first registration stays.
TARNCORE_API void RegisterCommand(const utility::UTF16String& inName, const utility::UTF16String& inHelp,
                                  CommandFactory inFactory);
/// Removes the command and hands its object to the caller, who owns it from then on.
/// Null when no such command is registered, and also when its object was never made:
/// such a command stays registered.
TARNCORE_API Command* UnregisterCommand(const utility::UTF16String& inName);

/// Appends the registered names to ioNames, in the registry's order (for completing
/// what a user types).
TARNCORE_API void GetCommandNames(std::list<utility::UTF16String>& ioNames);
/// True when a command of that name (compared without regard to case) is registered.
TARNCORE_API bool IsCommandRegistered(const utility::UTF16String& inName);

}  // namespace CommandRegistry

/// Runs one command line. The command word is the text up to the first space and the
/// argument text everything after it; both are trimmed of spaces and tabs. Returns
/// false, having written nothing, when the word is empty (so a line that starts with a
/// space runs nothing), names no registered command, or its factory gives no object
/// (the factory is asked again next time); else runs the command and returns true.
/// What the command throws passes on; the registry is unchanged by it.
TARNCORE_API bool ExecuteCommand(const utility::UTF16String& inLine, UTF16OutputStream& ioOut);

/// Writes "Currently installed commands.", a line of as many dashes, each command's
/// help text on a line of its own in the registry's order, and an empty line.
TARNCORE_API void ListCommands(UTF16OutputStream& ioOut);

/// Ends a line of console output: a carriage return and a line feed, then a flush.
TARNCORE_API void WriteLineEnd(UTF16OutputStream& ioOut);
/// Writes ASCII text unit by unit, without a line end.
TARNCORE_API void WriteAscii(UTF16OutputStream& ioOut, const char* inAscii);
/// Writes a line of one "-" under each character of inAscii, and the line end.
TARNCORE_API void WriteDashesUnder(UTF16OutputStream& ioOut, const char* inAscii);

/// @name Comparing command names
/// Names are compared unit by unit after each unit is mapped by
/// FoldCommandNameUnit; a name that is the start of another sorts first. The mapping
/// is that of the C library's tolower in the "C" locale (A to Z become a to z, every
/// other unit, those above 255 included, stays as it is) whatever locale the process
/// has set, so the registry's order never changes while it is in use.
/// @{
TARNCORE_API utility::UTF16Char FoldCommandNameUnit(utility::UTF16Char inUnit);
TARNCORE_API bool CommandNameLess(const utility::UTF16String& inLeft, const utility::UTF16String& inRight);
/// @}

/// Splits text into tokens at delimiter units, as the console reads command lines and
/// the built-in commands their arguments. The reader starts at the beginning; each
/// token runs to the next delimiter (or the end of the text), and the reader moves past
/// that delimiter. Once it has passed the end every further token is empty. With no
/// delimiters, the next token is the whole rest of the text.
class TARNCORE_API TokenReader {
public:
    /// Copies the text and the delimiters.
    TokenReader(const utility::UTF16String& inText, const utility::UTF16String& inDelimiters);
    /// The next token; empty once the reader is past the end.
    utility::UTF16String Next();
    /// Replaces the delimiters for the tokens that follow.
    void SetDelimiters(const utility::UTF16String& inDelimiters) { mDelimiters = inDelimiters; }

private:
    utility::UTF16String mText;
    utility::UTF16String mDelimiters;
    utility::UTF16String::size_type mPosition;  // npos once past the end
};

/// The text without its leading and then its trailing spaces and tabs.
TARNCORE_API utility::UTF16String TrimSpaces(const utility::UTF16String& inText);

}  // namespace console
}  // namespace tarncore
