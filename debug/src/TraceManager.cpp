// The trace manager: category and master settings, "Trace Database.txt", the handlers.
#include <tarncore/debug/Trace.h>

#include <tarncore/config/Errors.h>
#include <tarncore/console/ConsoleLogFile.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/filesupport/PlatformByteStreams.h>
#include <tarncore/platform/DebugOutput.h>
#include <tarncore/proplist/PropList.h>
#include <tarncore/threads/Mutex.h>
#include <tarncore/utility/UnicodeStrings.h>

#include "debug/src/DatabaseFiles.h"
#include "debug/src/TraceCategoryCache.h"
#include "debug/src/TraceManagerInternal.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <string_view>

namespace tarncore {
namespace debug {

using detail::TraceRecord;
using utility::UTF8String;

TraceHandler::~TraceHandler() = default;

namespace {

using Lock = threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex>;

const char kUnstorableCategory[] =
    "$$$/tarn/debug/Error/Trace/UnstorableCategory=Cannot store the trace category ^1: a category name "
    "cannot hold a tab, carriage return or line feed.";

constexpr TraceRecord kCategoryDefaults{true, 5};
constexpr TraceRecord kMasterDefaults{true, 10};

const UTF8String& MasterName() {
    static const UTF8String name = utility::MakeUTF8("Master");
    return name;
}

// Guards the database and the master record. Never destroyed, so that no thread can
// find it gone: trace points may be reached during shut-down and static destruction.
threads::RecursiveMutex& TraceLock() {
    static threads::RecursiveMutex* const lock = new threads::RecursiveMutex;
    return *lock;
}

// Under the trace lock.
proplist::PropList* sDatabase = nullptr;

// The master record, whether it has been read, and the busy flag, in one word that
// TraceEnabled reads with one load: the record as detail::PackRecord packs it, and two
// flags above it. The record and the read flag are written under the trace lock; the
// busy flag by any query.
constexpr std::uint64_t kMasterEnabled = std::uint64_t(1) << 32;  // where PackRecord puts it
constexpr std::uint64_t kMasterRead = std::uint64_t(1) << 33;
constexpr std::uint64_t kBusy = std::uint64_t(1) << 34;
constexpr std::uint64_t kMasterBits = (std::uint64_t(1) << 33) - 1;
std::atomic<std::uint64_t> sState{detail::PackRecord(kMasterDefaults)};
// Under the trace lock.
bool sMasterInitializing = false;
detail::TraceCategoryCache sCache;

TraceRecord MasterRecord(std::uint64_t inState) { return detail::UnpackRecord(inState & kMasterBits); }

// Under the trace lock: the master record, marked read, leaving the busy flag as it is.
void PublishMaster(TraceRecord inRecord) {
    std::uint64_t state = sState.load(std::memory_order_relaxed);
    while (!sState.compare_exchange_weak(state, (state & kBusy) | kMasterRead | detail::PackRecord(inRecord),
                                         std::memory_order_acq_rel, std::memory_order_relaxed)) {
    }
}

// True when this call raised the flag, false when it was up already.
bool RaiseBusy() { return (sState.fetch_or(kBusy, std::memory_order_acq_rel) & kBusy) == 0; }
void ClearBusy() { sState.fetch_and(~kBusy, std::memory_order_release); }

std::atomic<TraceHandler*> sMasterHandler{nullptr};

std::atomic<std::uint64_t> sLockedQueries{0};
std::atomic<void (*)()> sLockedQueryProbe{nullptr};

// The trace lock for a query that has set the busy flag: the flag is cleared before the
// lock is released, and also when the lock cannot be taken.
struct BusyLock {
    BusyLock() try : lock(TraceLock(), true) {
    } catch (...) {
        ClearBusy();
    }
    ~BusyLock() { ClearBusy(); }
    BusyLock(const BusyLock&) = delete;
    BusyLock& operator=(const BusyLock&) = delete;

    Lock lock;
};

// Starts a new cache generation when the scope ends, whichever way: a setter's change
// counts even when saving it fails.
struct InvalidateOnExit {
    ~InvalidateOnExit() { sCache.Invalidate(); }
};

filesupport::File DatabaseFile() { return files::PreferencesFile(u"Trace Database.txt"); }

proplist::PropList& Database() {
    if (sDatabase == nullptr) {
        // A failure while reading passes on with nothing kept: the next call reads again.
        std::unique_ptr<proplist::PropList> database(new proplist::PropList);
        UTF8String bytes;
        if (files::ReadWholeFile(DatabaseFile(), bytes))
            files::ParseTraceDatabase(bytes.data(), bytes.size(), *database);
        sDatabase = database.release();
        sCache.Invalidate();
    }
    return *sDatabase;
}

void SaveDatabase() {
    const UTF8String text = files::FormatTraceDatabase(Database());
    filesupport::ReplaceFileContents(DatabaseFile(), text.data(), text.size());
}

void ReadRecord(const proplist::PropList& inCategory, TraceRecord& ioRecord) {
    inCategory.GetValue(files::EnabledKey(), ioRecord.enabled);
    inCategory.GetValue(files::VolumeKey(), ioRecord.volume);
}

void StoreCategory(const UTF8String& inName, TraceRecord inRecord) {
    proplist::PropList& database = Database();
    database.RemoveValue(inName);
    proplist::PropList* category = database.NewSubList(inName);
    category->SetValue(files::EnabledKey(), inRecord.enabled);
    category->SetValue(files::VolumeKey(), inRecord.volume);
    sCache.Store(inName, inRecord);
    SaveDatabase();
}

// The category's record, made with the defaults (and saved) when it is new. False,
// after reporting, for a new name that the file could not bring back.
bool LookUpCategory(const UTF8String& inName, TraceRecord& outRecord) {
    TraceRecord record = kCategoryDefaults;
    if (const proplist::PropList* category = Database().GetSubList(inName)) {
        ReadRecord(*category, record);
        sCache.Store(inName, record);
    } else {
        if (files::HoldsTabOrLineBreak(inName)) {
            config::ThrowError(config::kErrorLevelNonFatal, kUnstorableCategory, files::kComponent,
                               files::kUnstorableCategory, true, utility::UTF8to16(inName));
            return false;
        }
        StoreCategory(inName, record);
    }
    outRecord = record;
    return true;
}

// Under the trace lock.
TraceRecord GetMasterRecord() {
    if (sMasterInitializing) {
        // Asked while the record is being read: answer disabled, without touching the
        // record, which the reading is about to set.
        TraceRecord record = MasterRecord(sState.load(std::memory_order_acquire));
        record.enabled = false;
        return record;
    }
    if ((sState.load(std::memory_order_acquire) & kMasterRead) == 0) {
        sMasterInitializing = true;
        struct Done {
            ~Done() { sMasterInitializing = false; }
        } done;
        TraceRecord record = kMasterDefaults;
        if (const proplist::PropList* master = Database().GetSubList(MasterName())) {
            ReadRecord(*master, record);
            sCache.Store(MasterName(), record);
        } else {
            StoreCategory(MasterName(), record);
        }
        PublishMaster(record);
    }
    return MasterRecord(sState.load(std::memory_order_acquire));
}

// Kept out of TraceEnabled, whose fast path then needs no stack frame.
[[gnu::noinline]] bool LockedTraceEnabled(const UTF8String& inCategory, std::int32_t inVolume) {
    // Set before the lock is taken and cleared before it is released: while it is set,
    // queries from other threads, and from inside this one, answer false at once.
    if (!RaiseBusy()) return false;
    sLockedQueries.fetch_add(1, std::memory_order_relaxed);
    BusyLock lock;
    if (void (*probe)() = sLockedQueryProbe.load(std::memory_order_acquire)) probe();

    const TraceRecord master = GetMasterRecord();
    if (!master.enabled || inVolume > master.volume) return false;
    TraceRecord record;
    if (!LookUpCategory(inCategory, record)) return false;
    return record.enabled && inVolume <= record.volume;
}

// The cached answer for any name, else the locked one.
[[gnu::noinline]] bool CachedTraceEnabled(const UTF8String& inCategory, std::int32_t inVolume) {
    TraceRecord record;
    if (sCache.Find(inCategory, record)) return record.enabled && inVolume <= record.volume;
    return LockedTraceEnabled(inCategory, inVolume);
}

// Writes to the debugger output, then to the console log with ticks.
class DefaultTraceHandler : public TraceHandler {
public:
    void HandleTrace(const UTF8String& inText) override {
        platform::WriteDebugOutput(
            std::string_view(reinterpret_cast<const char*>(inText.data()), inText.size()));
        console::ConsoleLogFile::GetInstance()->WriteToLog(inText, true);
    }
};

// Never destroyed: trace may be written while the process's statics go.
TraceHandler& DefaultHandler() {
    static DefaultTraceHandler* const handler = new DefaultTraceHandler;
    return *handler;
}

}  // namespace

bool TraceEnabled(const UTF8String& inCategory, std::int32_t inVolume, bool /*inFlag*/) {
    // Once the master record is read and the category's record is in the cache, the
    // answer is the locked one's without the lock or the property list. The usual case,
    // not busy and the master read and enabled, is one test of the state.
    const std::uint64_t state = sState.load(std::memory_order_acquire);
    constexpr std::uint64_t kUsual = kMasterRead | kMasterEnabled;
    if ((state & (kBusy | kUsual)) != kUsual) {
        if ((state & (kBusy | kMasterRead)) == 0) return LockedTraceEnabled(inCategory, inVolume);
        return false;  // busy, or the master disabled
    }
    if (inVolume > MasterRecord(state).volume) return false;
    // Names too long for the cache's two key words go on elsewhere, so that this path
    // needs no loop and no registers to save.
    if (inCategory.size() > detail::TraceCategoryCache::kKeyBytes)
        return CachedTraceEnabled(inCategory, inVolume);
    TraceRecord record;
    if (sCache.Find(inCategory, record)) return record.enabled && inVolume <= record.volume;
    return LockedTraceEnabled(inCategory, inVolume);
}

std::int32_t GetTraceVolume(const UTF8String& inCategory) {
    Lock lock(TraceLock(), true);
    TraceRecord record = kCategoryDefaults;
    LookUpCategory(inCategory, record);
    return record.volume;
}

void SetTraceVolume(const UTF8String& inCategory, std::int32_t inVolume) {
    Lock lock(TraceLock(), true);
    InvalidateOnExit invalidate;
    TraceRecord record;
    if (!LookUpCategory(inCategory, record)) return;
    record.volume = inVolume;
    StoreCategory(inCategory, record);
}

std::int32_t GetMasterTraceVolume() {
    Lock lock(TraceLock(), true);
    return GetMasterRecord().volume;
}

void SetMasterTraceVolume(std::int32_t inVolume) {
    Lock lock(TraceLock(), true);
    InvalidateOnExit invalidate;
    const TraceRecord record{GetMasterRecord().enabled, inVolume};
    PublishMaster(record);
    StoreCategory(MasterName(), record);
}

void GetTraceCategories(std::list<UTF8String>& ioCategories) {
    Lock lock(TraceLock(), true);
    Database().GetPropertyNames(ioCategories);
}

void Trace(const char* inText) {
    if (inText == nullptr) return;
    const auto* bytes = reinterpret_cast<const utility::UTF8Char*>(inText);
    GetMasterTraceHandler()->HandleTrace(UTF8String(bytes, bytes + std::strlen(inText)));
}

void DebugTrace(const char* inText) {
    if (inText != nullptr) platform::WriteDebugOutput(inText);
}

void InstallMasterTraceHandler(TraceHandler* inHandler) {
    sMasterHandler.store(inHandler, std::memory_order_release);
}

TraceHandler* GetMasterTraceHandler() {
    TraceHandler* handler = sMasterHandler.load(std::memory_order_acquire);
    if (handler != nullptr) return handler;
    TraceHandler* const fallback = &DefaultHandler();
    // Another thread may install a handler meanwhile; then that one is the answer.
    return sMasterHandler.compare_exchange_strong(handler, fallback, std::memory_order_acq_rel) ? fallback
                                                                                                : handler;
}

void RemoveMasterTraceHandler() { sMasterHandler.store(nullptr, std::memory_order_release); }

void ShutdownTraceManager() {
    Lock lock(TraceLock(), true);
    InvalidateOnExit invalidate;
    if (sDatabase == nullptr) return;
    SaveDatabase();  // on failure the settings stay loaded, to be saved later
    delete sDatabase;
    sDatabase = nullptr;
}

namespace detail {

void ResetTraceManagerForTesting() {
    Lock lock(TraceLock(), true);
    delete sDatabase;
    sDatabase = nullptr;
    sState.store(PackRecord(kMasterDefaults), std::memory_order_release);
    sMasterInitializing = false;
    sMasterHandler.store(nullptr, std::memory_order_release);
    sCache.Invalidate();
}

std::uint64_t LockedTraceQueries() { return sLockedQueries.load(std::memory_order_relaxed); }

void SetLockedQueryProbeForTesting(void (*inProbe)()) {
    sLockedQueryProbe.store(inProbe, std::memory_order_release);
}

}  // namespace detail
}  // namespace debug
}  // namespace tarncore
