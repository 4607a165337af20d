#include "common/Exception.h"
#include "common/Paths.h"
#include "common/Seged.h"
#include "common/Text.h"
#include "engine/BackupEngine.h"

namespace pelvane {
namespace {

constexpr uint32_t kProtected = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr int kMaxExcludedFields = 20;

}  // namespace

void BackupEngine::CopyOneFile(const std::string& source, const std::string& target) {
    DWORD error = 0;
    std::unique_ptr<FileStream> in = fs_.OpenRead(source, error);
    if (!in) return LogError(source, FileError("Cannot open file", source, error));

    try {
        EnsureFolder(ExtractFileDir(target));
    } catch (const Exception& e) {
        return LogError(target, e.Message());
    }

    // A new copy is written under a temporary name and put in place only when
    // complete, so a failed copy never destroys the previous good one.
    const bool copy = !IsExcluded(source);
    std::string temp;
    std::unique_ptr<FileStream> out;
    if (copy) {
        out = CreateTemporary(target, temp, error);
        if (!out) {
            lastFolder_.clear();  // the folder may have gone: look again next time
            return LogError(source, FileError("Cannot create file", target, error));
        }
    }
    s_.SetStatusText(source);

    uint64_t size = 0;
    const bool sized = in->Size(size);
    const int32_t date = in->PackedDate();
    const uint32_t attributes = in->Attributes();
    if (copy) {
        std::string failure = "Stream read error";  // also when the size is unknown: never an empty copy
        if (!sized || !CopyBytes(*in, *out, size, failure)) {
            out.reset();
            fs_.Delete(temp);
            return LogError(source, failure);
        }
        if (!PutInPlace(temp, target, error)) {
            out.reset();
            fs_.Delete(temp);
            return LogError(source, FileError("Cannot create file", target, error));
        }
        // Through the still open copy: after the rename (which may set the
        // archive flag), and no further path look-ups, which Wine makes dear.
        out->SetDateAndAttributes(date, attributes);
        out.reset();
        StepProgress(size);
    } else {
        StepProgress(size);
        fs_.SetFileDate(target, date);  // an older copy that stands there takes the date
    }
    in.reset();

    // Failures above return early: a stale copy must never look current, and
    // a source whose copy failed keeps its archive flag for the next run.
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (s_.ClearArchiveFlag() && (attributes & FILE_ATTRIBUTE_ARCHIVE))
        fs_.SetAttributes(source, attributes & ~FILE_ATTRIBUTE_ARCHIVE);
    if (!copy) fs_.SetAttributes(target, attributes);
}

std::string BackupEngine::FileError(const char* what, const std::string& path, DWORD code) {
    return std::string(what) + " \"" + fs_.FullPath(path) + "\". " + fs_.ErrorText(code);
}

bool BackupEngine::IsExcluded(const std::string& source) {
    const std::string types = s_.ExcludedTypes();
    const std::string extension = AsciiLower(ExtractFileExt(source));
    for (int n = 1; n <= kMaxExcludedFields; ++n) {
        std::string field = GetToken(';', types, n);
        if (!field.empty() && AsciiLower(field) == extension) return true;
    }
    return false;
}

bool BackupEngine::DirectoryExists(const std::string& path) {
    uint32_t attributes = fs_.GetAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool BackupEngine::ForceDirectories(std::string folder) {
    if (folder.empty()) throw EInOutError("Unable to create directory");
    folder = ExcludeTrailingBackslash(folder);
    if (folder.size() < 3 || DirectoryExists(folder) || ExtractFilePath(folder) == folder) return true;
    return ForceDirectories(ExtractFilePath(folder)) && fs_.CreateFolder(folder);
}

void BackupEngine::EnsureFolder(const std::string& folder) {
    // Files come folder by folder: look the folder up once, not per file.
    if (!folder.empty() && folder == lastFolder_) return;
    if (DirectoryExists(folder) || ForceDirectories(folder)) lastFolder_ = folder;
}

std::unique_ptr<FileStream> BackupEngine::CreateTemporary(const std::string& target, std::string& temp,
                                                          DWORD& error) {
    const std::string folder = ExtractFilePath(target);
    for (int n = 0; n < 100; ++n) {
        temp = folder + "~pelvane" + (n ? std::to_string(n) : std::string()) + ".tmp";
        std::unique_ptr<FileStream> file = fs_.CreateNew(temp, error);
        if (file || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)) return file;
    }
    return nullptr;
}

bool BackupEngine::CopyBytes(FileStream& from, FileStream& to, uint64_t count, std::string& error) {
    while (count > 0) {
        uint32_t block = static_cast<uint32_t>(std::min<uint64_t>(count, buffer_.size()));
        if (from.Read(buffer_.data(), block) != block) return error = "Stream read error", false;
        if (to.Write(buffer_.data(), block) != block) return error = "Stream write error", false;
        count -= block;
    }
    return true;
}

bool BackupEngine::PutInPlace(const std::string& temp, const std::string& target, DWORD& error) {
    if (fs_.Replace(temp, target, error)) return true;
    // A copy that an earlier run made read-only, hidden or system must still
    // be replaceable, or a changed source of that kind could never be saved again.
    uint32_t attributes = fs_.GetAttributes(target);
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) || !(attributes & kProtected))
        return false;
    fs_.SetAttributes(target, attributes & ~kProtected);
    if (fs_.Replace(temp, target, error)) return true;
    fs_.SetAttributes(target, attributes);
    return false;
}

}  // namespace pelvane
