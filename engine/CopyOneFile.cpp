#include <algorithm>

#include "common/Exception.h"
#include "common/Paths.h"
#include "common/Seged.h"
#include "common/Text.h"
#include "engine/BackupEngine.h"

namespace pelvane {
namespace {

constexpr uint32_t kProtected = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr int kMaxExcludedFields = 20;
// How often a long copy lets the window work and looks for a stop.
constexpr uint64_t kPumpInterval = 100;

// The root of a long form (\\?\C: or \\?\UNC\server\share), above which no
// folder is made.
bool IsLongRoot(const std::wstring& folder) {
    const std::wstring unc = L"\\\\?\\UNC\\", local = L"\\\\?\\";
    if (folder.compare(0, unc.size(), unc) == 0)
        return std::count(folder.begin() + unc.size(), folder.end(), L'\\') <= 1;
    return folder.compare(0, local.size(), local) == 0 &&
           folder.find(L'\\', local.size()) == std::wstring::npos;
}

}  // namespace

void BackupEngine::CopyOneFile(const FilePaths& p) {
    // An excluded file is left alone, its source and any older copy alike: a
    // copy dated or flagged as current would hide a change once the exclusion
    // is lifted. It is not even opened (a temporary file in use is no failure).
    if (IsExcluded(p.source)) {
        uint64_t size = 0;
        fs_.GetSize(p.source, size);  // the bar counts it, as the total did
        s_.SetStatusText(p.sourceShown);
        StepProgress(static_cast<int64_t>(size));
        return;
    }

    DWORD error = 0;
    std::unique_ptr<FileStream> in = fs_.OpenRead(p.source, error);
    if (!in) return LogError(p.sourceShown, FileError(L"Cannot open file", p.source, error));

    const std::wstring folder = ExtractFileDir(p.target);
    const bool known = !folder.empty() && folder == lastFolder_;
    try {
        EnsureFolder(folder);
    } catch (const Exception& e) {
        return LogError(p.targetShown, AnsiToWide(e.Message()));
    }
    // What a run that was killed mid-copy left in this folder goes first.
    if (folder != sweptFolder_) {
        RemoveStaleTemporaries(folder);
        sweptFolder_ = folder;
    }

    // A new copy is written under a temporary name and put in place only when
    // complete, so a failed or stopped copy never destroys the previous good one.
    std::wstring temp;
    std::unique_ptr<FileStream> out = CreateTemporary(p.target, temp, error);
    if (!out && known) {
        // The folder was taken as made from an earlier file and may have
        // gone since: look again, then try once more.
        lastFolder_.clear();
        EnsureFolder(folder);
        out = CreateTemporary(p.target, temp, error);
    }
    if (!out) {
        lastFolder_.clear();
        return LogError(p.sourceShown, FileError(L"Cannot create file", p.target, error));
    }
    s_.SetStatusText(p.sourceShown);

    uint64_t size = 0;
    const bool sized = in->Size(size);
    const uint64_t lastWrite = in->LastWrite();
    const uint32_t attributes = in->Attributes();
    std::wstring failure = L"Stream read error";  // also when the size is unknown: never an empty copy
    fileStepped_ = 0;
    CopyResult result = sized ? CopyBytes(*in, *out, size, failure) : CopyResult::Failed;
    if (result == CopyResult::Done && !PutInPlace(*out, p.target, error)) {
        failure = FileError(L"Cannot create file", p.target, error);
        result = CopyResult::Failed;
    }
    if (result != CopyResult::Done) {
        // Only finished files count on the bar; a stopped file gets no line of its own.
        StepProgress(-static_cast<int64_t>(fileStepped_));
        Discard(std::move(out), temp);
        if (result == CopyResult::Failed) LogError(p.sourceShown, failure);
        return;
    }
    // Through the still open copy: after the rename (which may set the
    // archive flag), and no further path look-ups, which Wine makes dear.
    // The time as the source has it, not a packed local date: a copy keeps
    // any year and the exact time for the newer method to compare.
    out->SetDateAndAttributes(lastWrite, attributes);
    out.reset();
    StepProgress(static_cast<int64_t>(size - fileStepped_));
    in.reset();

    // Failures above return early: a stale copy must never look current, and
    // a source whose copy failed keeps its archive flag for the next run.
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (s_.ClearArchiveFlag() && (attributes & FILE_ATTRIBUTE_ARCHIVE))
        fs_.SetAttributes(p.source, attributes & ~FILE_ATTRIBUTE_ARCHIVE);
}

std::wstring BackupEngine::FileError(const wchar_t* what, const std::wstring& path, DWORD code) {
    return std::wstring(what) + L" \"" + fs_.FullPath(path) + L"\". " + fs_.ErrorText(code);
}

bool BackupEngine::IsExcluded(const std::wstring& source) {
    // The list is read for every file (the user may change it during a run),
    // but taken apart only when it changed.
    const std::string types = s_.ExcludedTypes();
    if (types != excludedText_) {
        excluded_.clear();
        for (int n = 1; n <= kMaxExcludedFields; ++n) {
            std::string field = GetToken(';', types, n);
            if (!field.empty()) excluded_.push_back(AsciiLower(AnsiToWide(field)));
        }
        excludedText_ = types;
    }
    if (excluded_.empty()) return false;
    const std::wstring extension = AsciiLower(ExtractFileExt(source));
    for (const std::wstring& field : excluded_)
        if (field == extension) return true;
    return false;
}

bool BackupEngine::DirectoryExists(const std::wstring& path) {
    uint32_t attributes = fs_.GetAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool BackupEngine::ForceDirectories(std::wstring folder) {
    if (folder.empty()) throw EInOutError("Unable to create directory");
    // Up to the first folder that is there, then the rest made downwards;
    // without recursion, as a long path may hold thousands of levels.
    std::vector<std::wstring> missing;
    for (folder = ExcludeTrailingBackslash(folder);
         folder.size() >= 3 && !IsLongRoot(folder) && ExtractFilePath(folder) != folder &&
         !DirectoryExists(folder);
         folder = ExcludeTrailingBackslash(ExtractFilePath(folder)))
        missing.push_back(folder);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        if (!fs_.CreateFolder(*it)) return false;
    return true;
}

void BackupEngine::EnsureFolder(const std::wstring& folder) {
    // Files come folder by folder: look the folder up once, not per file.
    if (!folder.empty() && folder == lastFolder_) return;
    if (DirectoryExists(folder) || ForceDirectories(folder)) lastFolder_ = folder;
}

void BackupEngine::Discard(std::unique_ptr<FileStream> temp, const std::wstring& path) {
    if (temp->DeleteOnClose()) return;
    temp.reset();
    fs_.Delete(path);
}

bool BackupEngine::TakenByAnotherRun(const std::wstring& temp, DWORD error) {
    // Windows refuses a file that is marked for deletion (another run's
    // temporary file, still being written) with access denied; unlike a
    // folder that cannot be written to, it shows in the listing.
    if (error != ERROR_ACCESS_DENIED) return false;
    std::vector<FoundEntry> entries;
    DWORD listing = 0;
    return fs_.Enumerate(temp, entries, listing) && !entries.empty();
}

std::unique_ptr<FileStream> BackupEngine::CreateTemporary(const std::wstring& target, std::wstring& temp,
                                                          DWORD& error) {
    const std::wstring folder = ExtractFilePath(target);
    for (int n = 0; n < 100; ++n) {
        temp = folder + L"~pelvane" + (n ? std::to_wstring(n) : std::wstring()) + L".tmp";
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

BackupEngine::CopyResult BackupEngine::CopyBytes(FileStream& from, FileStream& to, uint64_t count,
                                                 std::wstring& error) {
    for (uint64_t done = 0; done < count;) {
        uint32_t block = static_cast<uint32_t>(std::min<uint64_t>(count - done, buffer_.size()));
        if (from.Read(buffer_.data(), block) != block)
            return error = L"Stream read error", CopyResult::Failed;
        if (to.Write(buffer_.data(), block) != block)
            return error = L"Stream write error", CopyResult::Failed;
        done += block;
        // A big file must not freeze the window: by the clock, not per block,
        // so the loop over small blocks stays as fast as it is.
        if (clock_() - lastPump_ >= kPumpInterval) {
            StepProgress(static_cast<int64_t>(done - fileStepped_));
            fileStepped_ = done;
            if (StopRequested()) return CopyResult::Stopped;
        }
    }
    return CopyResult::Done;
}

bool BackupEngine::PutInPlace(FileStream& temp, const std::wstring& target, DWORD& error) {
    // Still marked, the copy would go with the handle, and the old copy it replaced with it.
    if (!temp.KeepOnClose(error)) return false;
    if (temp.RenameTo(target, error)) return true;
    // A copy that an earlier run made read-only, hidden or system must still
    // be replaceable, or a changed source of that kind could never be saved again.
    uint32_t attributes = fs_.GetAttributes(target);
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) || !(attributes & kProtected))
        return false;
    fs_.SetAttributes(target, attributes & ~kProtected);
    if (temp.RenameTo(target, error)) return true;
    fs_.SetAttributes(target, attributes);
    return false;
}

}  // namespace pelvane
