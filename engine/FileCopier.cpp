#include "engine/FileCopier.h"

#include <algorithm>

#include "common/Exception.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "engine/VersionName.h"

namespace pelvane {
namespace {

// What keeps an earlier copy from being replaced by a rename.
constexpr uint32_t kProtected = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr size_t kBufferSize = 61440;
// Seconds tried after the time of a replacement when its version name is
// taken (the same file replaced twice within a second).
constexpr int kVersionNameTries = 60;

SYSTEMTIME SystemLocalTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

// A local time some seconds later, as the calendar goes.
LocalTime SecondsLater(const SYSTEMTIME& time, int seconds) {
    FILETIME t;
    if (!SystemTimeToFileTime(&time, &t)) return LocalTime::From(time);
    ULARGE_INTEGER ticks{{t.dwLowDateTime, t.dwHighDateTime}};
    ticks.QuadPart += static_cast<uint64_t>(seconds) * 10000000;
    t = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME later = time;
    FileTimeToSystemTime(&t, &later);
    return LocalTime::From(later);
}

}  // namespace

FileCopier::FileCopier(FileSystem& fs, RunOptions& options, RunReport& report, LogWriter& log,
                       ProgressMeter& progress, StopRequest& stop)
    : fs_(fs),
      options_(options),
      report_(report),
      log_(log),
      progress_(progress),
      stop_(stop),
      folders_(fs),
      versionFolders_(fs, TargetFolders::Sweep::Nothing),
      clock_(SystemLocalTime),
      buffer_(kBufferSize) {}

void FileCopier::Copy(const FilePaths& p, FileAction action) {
    if (Excluded(p.source)) return PassOver(p);
    DWORD error = 0;
    std::unique_ptr<FileStream> in = fs_.OpenRead(p.source, error);
    if (!in) return log_.Error(p.sourceShown, FileError(L"Cannot open file", p.source, error));
    std::wstring temp;
    std::unique_ptr<FileStream> out = CreateInFolder(p, temp);
    if (!out) return;
    report_.SetStatusText(p.sourceShown);

    uint64_t size = 0, stepped = 0;  // bytes of this file already on the bar
    const bool sized = in->Size(size);
    const uint64_t lastWrite = in->LastWrite();
    const uint32_t attributes = in->Attributes();
    std::wstring failure = L"Stream read error";  // also when the size is unknown: never an empty copy
    Result result = sized ? CopyBytes(*in, *out, size, stepped, failure) : Result::Failed;
    if (result == Result::Done) {
        // A copy written over with the same date and size loses nothing worth a version.
        if (!p.versionFolder.empty() && action != FileAction::Rewrite) {
            if (!PutInPlaceKeepingVersion(*out, p, action, failure)) result = Result::Failed;
        } else if (!PutInPlace(*out, p.target, error)) {
            failure = FileError(L"Cannot create file", p.target, error);
            result = Result::Failed;
        }
    }
    if (result != Result::Done) {
        // Only finished files count on the bar; a stopped file gets no line of its own.
        progress_.Step(-static_cast<int64_t>(stepped));
        Discard(std::move(out), temp);
        if (result == Result::Failed) log_.Error(p.sourceShown, failure);
        return;
    }
    // Through the still open copy: after the rename (which may set the
    // archive flag), and no further path look-ups, which Wine makes dear.
    // The time as the source has it, not a packed local date: a copy keeps
    // any year and the exact time for the newer method to compare.
    out->SetDateAndAttributes(lastWrite, attributes);
    out.reset();
    progress_.Step(static_cast<int64_t>(size - stepped));
    in.reset();
    // Failures above return early: a stale copy must never look current, and
    // a source whose copy failed keeps its archive flag for the next run.
    if (attributes != INVALID_FILE_ATTRIBUTES && options_.ClearArchiveFlag() &&
        (attributes & FILE_ATTRIBUTE_ARCHIVE))
        fs_.SetAttributes(p.source, attributes & ~FILE_ATTRIBUTE_ARCHIVE);
}

void FileCopier::PassOver(const FilePaths& p) {
    // An excluded file is left alone, its source and any older copy alike: a
    // copy dated or flagged as current would hide a change once the exclusion
    // is lifted. It is not even opened (a temporary file in use is no failure).
    uint64_t size = 0;
    fs_.GetSize(p.source, size);  // the bar counts it, as the total did
    report_.SetStatusText(p.sourceShown);
    progress_.Step(static_cast<int64_t>(size));
}

std::unique_ptr<FileStream> FileCopier::CreateInFolder(const FilePaths& p, std::wstring& temp) {
    const std::wstring folder = ExtractFileDir(p.target);
    const bool known = folders_.Known(folder);
    try {
        folders_.Prepare(folder);
    } catch (const Exception& e) {
        log_.Error(p.targetShown, AnsiToWide(e.Message()));
        return nullptr;
    }
    DWORD error = 0;
    std::unique_ptr<FileStream> out = CreateTemporary(p.target, temp, error);
    if (!out && known) {
        // The folder was taken as made from an earlier file and may have
        // gone since: look again, then try once more.
        folders_.Forget();
        folders_.Prepare(folder);
        out = CreateTemporary(p.target, temp, error);
    }
    if (!out) {
        folders_.Forget();
        log_.Error(p.sourceShown, FileError(L"Cannot create file", p.target, error));
    }
    return out;
}

std::unique_ptr<FileStream> FileCopier::CreateTemporary(const std::wstring& target, std::wstring& temp,
                                                        DWORD& error) {
    const std::wstring folder = ExtractFilePath(target);
    for (int n = 0; n < TargetFolders::kTemporaryNames; ++n) {
        temp = TargetFolders::TemporaryName(folder, n);
        std::unique_ptr<FileStream> file = fs_.CreateNew(temp, error);
        if (file) {
            // Marked for deletion until it is complete: a run killed mid-copy
            // (log-off, the Task Scheduler, a closed console) leaves nothing behind.
            file->DeleteOnClose();
            return file;
        }
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && !TakenByAnotherRun(temp, error))
            return nullptr;
    }
    return nullptr;
}

bool FileCopier::TakenByAnotherRun(const std::wstring& temp, DWORD error) {
    // Windows refuses a file that is marked for deletion (another run's
    // temporary file, still being written) with access denied; unlike a
    // folder that cannot be written to, it shows in the listing.
    if (error != ERROR_ACCESS_DENIED) return false;
    std::vector<FoundEntry> entries;
    DWORD listing = 0;
    return fs_.Enumerate(temp, entries, listing) && !entries.empty();
}

FileCopier::Result FileCopier::CopyBytes(FileStream& from, FileStream& to, uint64_t count, uint64_t& stepped,
                                         std::wstring& error) {
    for (uint64_t done = 0; done < count;) {
        const uint32_t block = static_cast<uint32_t>(std::min<uint64_t>(count - done, buffer_.size()));
        if (from.Read(buffer_.data(), block) != block) return error = L"Stream read error", Result::Failed;
        if (to.Write(buffer_.data(), block) != block) return error = L"Stream write error", Result::Failed;
        done += block;
        // A big file must not freeze the surroundings: by the clock, not per block,
        // so the loop over small blocks stays as fast as it is.
        if (stop_.Due()) {
            progress_.Step(static_cast<int64_t>(done - stepped));
            stepped = done;
            if (stop_.CheckNow()) return Result::Stopped;
        }
    }
    return Result::Done;
}

bool FileCopier::PutInPlace(FileStream& temp, const std::wstring& target, DWORD& error) {
    // Still marked, the copy would go with the handle, and the old copy it replaced with it.
    if (!temp.KeepOnClose(error)) return false;
    if (temp.RenameTo(target, error)) return true;
    // A copy that an earlier run made read-only, hidden or system must still
    // be replaceable, or a changed source of that kind could never be saved again.
    const uint32_t attributes = fs_.GetAttributes(target);
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) || !(attributes & kProtected))
        return false;
    fs_.SetAttributes(target, attributes & ~kProtected);
    if (temp.RenameTo(target, error)) return true;
    fs_.SetAttributes(target, attributes);
    return false;
}

// The finished temporary file takes the copy's name only once the old copy
// is in its version; a copy that turned up since the decision (or that the
// listing missed) gets its version too, as nothing is ever replaced here.
bool FileCopier::PutInPlaceKeepingVersion(FileStream& temp, const FilePaths& p, FileAction action,
                                          std::wstring& failure) {
    DWORD error = 0;
    if (!temp.KeepOnClose(error)) {
        failure = FileError(L"Cannot create file", p.target, error);
        return false;
    }
    std::wstring version;  // where the old copy went
    if (action == FileAction::Replace && !KeepVersion(p, version, failure)) return false;
    bool done = temp.RenameWithoutReplacing(p.target, error);
    if (!done && error == ERROR_ALREADY_EXISTS && version.empty()) {
        const uint32_t attributes = fs_.GetAttributes(p.target);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (!KeepVersion(p, version, failure)) return false;
            done = temp.RenameWithoutReplacing(p.target, error);
        }
    }
    if (done) return true;
    failure = FileError(L"Cannot create file", p.target, error);
    if (!version.empty()) failure += MoveBack(version, p.target);
    return false;
}

// A rename into the version folder under the local time of the replacement,
// or the next free second. True also when there was no copy to keep (it went
// since the decision): version stays "" then.
bool FileCopier::KeepVersion(const FilePaths& p, std::wstring& version, std::wstring& failure) {
    const std::wstring& folder = p.versionFolder;
    const std::wstring dir = ExcludeTrailingBackslash(folder);
    const std::wstring name = p.target.substr(p.target.find_last_of(L'\\') + 1);
    const SYSTEMTIME now = clock_();
    DWORD error = 0;
    try {
        versionFolders_.Prepare(dir);
    } catch (const Exception& e) {
        failure = AnsiToWide(e.Message());
        return false;
    }
    bool lookedAgain = false;
    for (int n = 0; n < kVersionNameTries; ++n) {
        const std::wstring path = folder + VersionFileName(name, SecondsLater(now, n));
        if (fs_.Move(p.target, path, error)) {
            version = path;
            return true;
        }
        if (error == ERROR_FILE_NOT_FOUND) return true;
        if (error == ERROR_ALREADY_EXISTS) continue;
        // The folder was taken as made from an earlier version and may have gone since.
        if (error != ERROR_PATH_NOT_FOUND || lookedAgain || !versionFolders_.Known(dir)) break;
        lookedAgain = true;
        versionFolders_.Forget();
        versionFolders_.Prepare(dir);
        --n;
    }
    versionFolders_.Forget();
    failure = L"A régi másolat nem tehető félre változatként (\"" +
              fs_.FullPath(folder + VersionFileName(name, LocalTime::From(now))) + L"\"). " +
              fs_.ErrorText(error) + L" A másolat változatlan maradt.";
    return false;
}

// After a failed put in place: the old copy goes back where it was, or the
// line says where it is.
std::wstring FileCopier::MoveBack(const std::wstring& version, const std::wstring& target) {
    DWORD error = 0;
    if (fs_.Move(version, target, error)) return L" A régi másolat a helyére került vissza.";
    return L" A régi másolat a változatok között maradt: \"" + fs_.FullPath(version) + L"\".";
}

void FileCopier::Discard(std::unique_ptr<FileStream> temp, const std::wstring& path) {
    // Marked for deletion, it goes with the handle; else by its name.
    if (temp->DeleteOnClose()) return;
    temp.reset();
    fs_.Delete(path);
}

std::wstring FileCopier::FileError(const wchar_t* what, const std::wstring& path, DWORD code) {
    return std::wstring(what) + L" \"" + fs_.FullPath(path) + L"\". " + fs_.ErrorText(code);
}

}  // namespace pelvane
