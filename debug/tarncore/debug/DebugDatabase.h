// The debug database: named debug variables kept in "Debug Database.txt".
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/proplist/PropList.h>
#include <tarncore/utility/StringTypes.h>

#include <list>

/// @file
/// The process's debug variables: switches and settings for developers, read by the
/// assertions ("assert.enabled") and the console's debug commands, and free for client
/// code to use.
namespace tarncore {
namespace debug {

/// The process's debug variables, each a UTF-8 key with a UTF-8 value, held as the
/// string values of this property list. They persist in "Debug Database.txt" in the
/// preferences folder (filesupport::Dir::PrefDir()): one line per variable, the key, a
/// tab, the value and a carriage return and line feed, with no header or quoting.
///
/// The file is read once, by the first Instance(). Only SetEntry writes it, and then
/// whole: a default stored by GetEntry and the removals of Clear() (the property list's)
/// reach it with the next SetEntry. The file is replaced in one step, so a crash leaves
/// the old contents or the new.
///
/// The file's lines could not bring back a key holding a tab, carriage return or line
/// feed, nor a value holding a carriage return or line feed: such a variable is refused
/// with a report (config::ThrowError, non-fatal, component 108, code 21, "^1" the key)
/// and nothing changes. A tab inside a value is kept.
///
/// There is one instance, made on first use and never destroyed. It takes no lock:
/// callers use it from one thread at a time.
class TARNCORE_API DebugDatabase : public proplist::PropList {
public:
    /// "false", the word a false boolean variable is stored as.
    static const utility::UTF8String sFalseText;

    /// The process's database; the first call makes it and loads the file. A failure
    /// while reading passes on, and the database keeps what was read before it (the file
    /// is not read again).
    static DebugDatabase& Instance();

    DebugDatabase(const DebugDatabase&) = delete;
    DebugDatabase& operator=(const DebugDatabase&) = delete;
    ~DebugDatabase() override;

    /// True when a string value is stored under the key.
    bool HasEntry(const utility::UTF8String& inKey) const;
    /// The value stored under the key; without one, stores inDefault under it (in
    /// memory only) and returns it.
    utility::UTF8String GetEntry(const utility::UTF8String& inKey, const utility::UTF8String& inDefault);
    /// Stores the value under the key and rewrites the file. When writing fails the
    /// error passes on and the value stays set in memory.
    void SetEntry(const utility::UTF8String& inKey, const utility::UTF8String& inValue);
    /// Appends the keys to ioKeys, in the property list's order.
    void GetDebugKeys(std::list<utility::UTF8String>& ioKeys) const;
    /// A boolean variable: GetEntry with "true" or "false" for inDefault, then true
    /// exactly when the value is "true" ("1" reads as false).
    bool GetBoolEntry(const utility::UTF8String& inKey, bool inDefault);

private:
    DebugDatabase();
    void Load();
    void Save();
};

}  // namespace debug
}  // namespace tarncore
