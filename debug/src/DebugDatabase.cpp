// The debug database: the process's debug variables and "Debug Database.txt".
#include <tarncore/debug/DebugDatabase.h>

#include <tarncore/config/Errors.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/filesupport/PlatformByteStreams.h>
#include <tarncore/threads/Mutex.h>
#include <tarncore/utility/UnicodeStrings.h>

#include "debug/src/DatabaseFiles.h"
#include "debug/src/DebugDatabaseInternal.h"

#include <atomic>
#include <memory>

namespace tarncore {
namespace debug {

using utility::UTF8String;

namespace {

using Lock = threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex>;

const char kUnstorableEntry[] =
    "$$$/tarn/debug/Error/DebugDatabase/UnstorableEntry=Cannot store the debug variable ^1: its name "
    "cannot hold a tab, carriage return or line feed, nor its value a carriage return or line feed.";

std::atomic<DebugDatabase*> sInstance{nullptr};

// Only the first Instance() makes the database; a second thread arriving meanwhile
// waits for it rather than making another. Never destroyed, like the database.
threads::RecursiveMutex& CreationLock() {
    static threads::RecursiveMutex* const lock = new threads::RecursiveMutex;
    return *lock;
}

filesupport::File DatabaseFile() { return files::PreferencesFile(u"Debug Database.txt"); }

// False, after reporting, when the file could not bring the entry back.
bool Storable(const UTF8String& inKey, const UTF8String& inValue) {
    if (!files::HoldsTabOrLineBreak(inKey) && !files::HoldsLineBreak(inValue)) return true;
    config::ThrowError(config::kErrorLevelNonFatal, kUnstorableEntry, files::kComponent,
                       files::kUnstorableDebugEntry, true, utility::UTF8to16(inKey));
    return false;
}

}  // namespace

const UTF8String DebugDatabase::sFalseText = utility::MakeUTF8("false");

DebugDatabase& DebugDatabase::Instance() {
    if (DebugDatabase* instance = sInstance.load(std::memory_order_acquire)) return *instance;
    Lock lock(CreationLock(), true);
    if (DebugDatabase* instance = sInstance.load(std::memory_order_relaxed)) return *instance;
    std::unique_ptr<DebugDatabase> instance(new DebugDatabase);
    try {
        instance->Load();
    } catch (...) {
        // What was read stays; the file is not read again.
        sInstance.store(instance.release(), std::memory_order_release);
        throw;
    }
    DebugDatabase* const made = instance.release();
    sInstance.store(made, std::memory_order_release);
    return *made;
}

DebugDatabase::DebugDatabase() = default;
DebugDatabase::~DebugDatabase() = default;

bool DebugDatabase::HasEntry(const UTF8String& inKey) const {
    UTF8String value;
    return GetValue(inKey, value);
}

UTF8String DebugDatabase::GetEntry(const UTF8String& inKey, const UTF8String& inDefault) {
    UTF8String value;
    if (GetValue(inKey, value)) return value;
    if (Storable(inKey, inDefault)) SetValue(inKey, inDefault);
    return inDefault;
}

void DebugDatabase::SetEntry(const UTF8String& inKey, const UTF8String& inValue) {
    if (!Storable(inKey, inValue)) return;
    SetValue(inKey, inValue);
    Save();
}

void DebugDatabase::GetDebugKeys(std::list<UTF8String>& ioKeys) const { GetPropertyNames(ioKeys); }

bool DebugDatabase::GetBoolEntry(const UTF8String& inKey, bool inDefault) {
    static const UTF8String trueText = utility::MakeUTF8("true");
    return GetEntry(inKey, inDefault ? trueText : sFalseText) == trueText;
}

void DebugDatabase::Load() {
    UTF8String bytes;
    if (files::ReadWholeFile(DatabaseFile(), bytes))
        files::ParseDebugDatabase(bytes.data(), bytes.size(), *this);
}

void DebugDatabase::Save() {
    // Every key is written with a string value; one that holds another type takes the
    // empty string, in memory as in the file.
    std::list<UTF8String> keys;
    GetDebugKeys(keys);
    UTF8String value;
    for (const UTF8String& key : keys)
        if (!GetValue(key, value)) SetValue(key, UTF8String());
    const UTF8String text = files::FormatDebugDatabase(*this);
    filesupport::ReplaceFileContents(DatabaseFile(), text.data(), text.size());
}

namespace detail {

void ForgetDebugDatabaseForTesting() {
    Lock lock(CreationLock(), true);
    delete sInstance.exchange(nullptr, std::memory_order_acq_rel);
}

}  // namespace detail
}  // namespace debug
}  // namespace tarncore
