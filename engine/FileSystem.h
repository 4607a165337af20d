#pragma once
// The file operations a backup run makes, behind one narrow interface: the
// program uses plain Win32; tests can put a file system in its place that
// behaves as Windows does where Wine does not (archive bits, refused creates
// over read-only, hidden or system files, a disk that fills up, a folder
// that refuses to be listed).
// Paths are UTF-16. The engine hands over the long forms that LongForm
// makes, so any name and any length up to the system's limit is reached.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelvane {

struct FoundEntry {
    std::wstring name;
    uint64_t size = 0;
    uint32_t attributes = 0;
    uint64_t lastWrite = 0;  // as a FILETIME: 100 ns steps since 1601, UTC
};

// An open file. Read and Write return the count actually transferred.
class FileStream {
  public:
    virtual ~FileStream() = default;
    virtual bool Size(uint64_t& size) = 0;
    virtual uint32_t Attributes() = 0;  // INVALID_FILE_ATTRIBUTES when unknown
    virtual uint64_t LastWrite() = 0;   // as a FILETIME (UTC); 0 when unknown
    // Last-write time and attribute word in one step; 0 and
    // INVALID_FILE_ATTRIBUTES leave the one or the other as it is.
    virtual bool SetDateAndAttributes(uint64_t lastWrite, uint32_t attributes) = 0;
    virtual uint32_t Read(void* buffer, uint32_t count) = 0;
    virtual uint32_t Write(const void* buffer, uint32_t count) = 0;
    // A file made by CreateNew: gives it the name to (replacing a file
    // there) while it stays open, or marks it to be deleted when closed (also
    // when the process is ended), or takes that mark away again.
    virtual bool RenameTo(const std::wstring& to, DWORD& error) = 0;
    // The same, but only while no file or folder has the name (the error
    // is then ERROR_ALREADY_EXISTS): a copy that turned up meanwhile is never lost.
    virtual bool RenameWithoutReplacing(const std::wstring& to, DWORD& error) = 0;
    virtual bool DeleteOnClose() = 0;
    virtual bool KeepOnClose(DWORD& error) = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Every entry matching pattern (a folder followed by a name pattern),
    // without "." and "..". False with the system's error code when the
    // folder cannot be listed; an existing folder with no match is no failure.
    virtual bool Enumerate(const std::wstring& pattern, std::vector<FoundEntry>& entries, DWORD& error) = 0;

    // Opens an existing file for reading, sharing reading and writing.
    virtual std::unique_ptr<FileStream> OpenRead(const std::wstring& path, DWORD& error) = 0;
    // Creates a new file for reading, writing, renaming and deleting, shared
    // only for deleting (so it can be put in place while still open); fails
    // when it exists.
    virtual std::unique_ptr<FileStream> CreateNew(const std::wstring& path, DWORD& error) = 0;

    virtual bool Delete(const std::wstring& path) = 0;
    // Deletes a file that no one has open (a temporary file of a run that
    // was killed, but not one that another run is writing).
    virtual bool DeleteUnused(const std::wstring& path) = 0;
    // The size of a file, read without opening it.
    virtual bool GetSize(const std::wstring& path, uint64_t& size) = 0;
    virtual uint32_t GetAttributes(const std::wstring& path) = 0;  // INVALID_FILE_ATTRIBUTES when missing
    virtual bool SetAttributes(const std::wstring& path, uint32_t attributes) = 0;
    virtual bool CreateFolder(const std::wstring& path) = 0;
    // Removes a folder that is empty.
    virtual bool RemoveFolder(const std::wstring& path) = 0;
    // Gives a file a new name on its volume: a rename, never a copy, and
    // never over a file or folder that has the name already.
    virtual bool Move(const std::wstring& from, const std::wstring& to, DWORD& error) = 0;

    // What tells two paths of the same folder apart from two folders (the
    // volume and the file index), following links; "" when unknown.
    virtual std::wstring FolderIdentity(const std::wstring& path) = 0;

    // The full path of a folder in the form that reaches any length
    // (\\?\C:\... or \\?\UNC\server\share\...), made once per task.
    virtual std::wstring LongForm(const std::wstring& path) = 0;
    // A path as the user reads it: the long form's prefix taken off.
    virtual std::wstring FullPath(const std::wstring& path) = 0;
    virtual std::wstring ErrorText(DWORD code) = 0;
};

// The production file system: plain Win32 W functions.
std::unique_ptr<FileSystem> MakeWin32FileSystem();

}  // namespace pelvane
