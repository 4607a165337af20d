#pragma once
// The file operations a backup run makes, behind one narrow interface: the
// program uses plain Win32; tests can put a file system in its place that
// behaves as Windows does where Wine does not (archive bits, refused creates
// over read-only, hidden or system files, a disk that fills up).
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelvane {

struct FoundEntry {
    std::string name;
    uint64_t size = 0;
    uint32_t attributes = 0;
};

// An open file. Read and Write return the count actually transferred.
class FileStream {
  public:
    virtual ~FileStream() = default;
    virtual bool Size(uint64_t& size) = 0;
    virtual uint32_t Attributes() = 0;  // INVALID_FILE_ATTRIBUTES when unknown
    virtual int32_t PackedDate() = 0;   // last write as a packed DOS date; -1 when unknown
    // Last-write date and attribute word in one step; -1 and
    // INVALID_FILE_ATTRIBUTES leave the one or the other as it is.
    virtual bool SetDateAndAttributes(int32_t packed, uint32_t attributes) = 0;
    virtual uint32_t Read(void* buffer, uint32_t count) = 0;
    virtual uint32_t Write(const void* buffer, uint32_t count) = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Every entry matching pattern (a folder followed by a name pattern),
    // without "." and ".."; false when the folder cannot be listed.
    virtual bool Enumerate(const std::string& pattern, std::vector<FoundEntry>& entries) = 0;

    // Opens an existing file for reading, sharing reading and writing.
    virtual std::unique_ptr<FileStream> OpenRead(const std::string& path, DWORD& error) = 0;
    // Creates a new file for reading and writing, shared only for renaming (so
    // it can be put in place while still open); fails when it exists.
    virtual std::unique_ptr<FileStream> CreateNew(const std::string& path, DWORD& error) = 0;
    // Puts from in place of to, replacing an existing file.
    virtual bool Replace(const std::string& from, const std::string& to, DWORD& error) = 0;
    virtual bool Delete(const std::string& path) = 0;

    virtual uint32_t GetAttributes(const std::string& path) = 0;  // INVALID_FILE_ATTRIBUTES when missing
    virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;
    virtual bool CreateFolder(const std::string& path) = 0;

    // Packed last-write date of a file (opened for reading); -1 when unavailable.
    virtual int32_t FileAge(const std::string& path) = 0;
    // A file (not a folder) exists there and its date can be packed.
    virtual bool FileExists(const std::string& path) = 0;
    // Opens an existing file for writing and sets its last-write time only.
    virtual bool SetFileDate(const std::string& path, int32_t packed) = 0;

    virtual std::string FullPath(const std::string& path) = 0;
    virtual std::string ErrorText(DWORD code) = 0;
};

// The production file system: plain Win32 A functions.
std::unique_ptr<FileSystem> MakeWin32FileSystem();

}  // namespace pelvane
