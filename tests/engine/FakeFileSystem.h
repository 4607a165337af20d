#pragma once
// A file system in memory that behaves as Windows does where Wine does not:
// archive bits, refused creates, replaces and deletes of read-only, hidden or
// system files, a disk that fills up, a folder that refuses to be listed, a
// rename refused.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "common/FileDate.h"
#include "common/Text.h"
#include "engine/FileSystem.h"

namespace pelvane {

// A last-write time: a FILETIME (UTC), which the tests mostly set and read
// as a packed date. A packed date that names no time (month 0, -1) is kept
// as it was given and stands for the FILETIME 0.
class FakeTime {
  public:
    FakeTime(int32_t packed) { *this = packed; }
    FakeTime& operator=(int32_t packed) {
        FILETIME t{};
        packed_ = packed;
        utc_ = PackedDateToFileTime(packed, t) ? (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime : 0;
        return *this;
    }
    void SetUtc(uint64_t utc) {
        const FILETIME t{static_cast<DWORD>(utc), static_cast<DWORD>(utc >> 32)};
        utc_ = utc;
        packed_ = FileTimeToPackedDate(t);
    }
    uint64_t Utc() const { return utc_; }
    operator int32_t() const { return packed_; }

  private:
    int32_t packed_ = 0;
    uint64_t utc_ = 0;
};

class FakeFileSystem : public FileSystem {
  public:
    struct Node {
        std::wstring name;  // as given: the key is lower-cased
        bool folder = false;
        uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE;
        std::string data;
        uint64_t virtualSize = 0;    // a large file whose bytes are never stored
        FakeTime date = 0x3C210000;  // 2010-01-01 00:00:00
        bool locked = false;         // held open by another program without sharing
        bool attributesUnreadable = false;
        bool sizeUnreadable = false;
        bool unlistable = false;  // a folder whose listing is refused (access denied)
        // Marked for deletion by a handle still open: Windows lists the file
        // but refuses to open or create it (access denied).
        bool deletePending = false;
        std::wstring linkTo;  // a link (reparse point) to this folder: its identity
        // Further names the listing shows for this entry, as a case-sensitive
        // folder (WSL, Samba) holds names that differ only in case.
        std::vector<std::wstring> twins;
    };

    long long freeBytes = 1LL << 40;
    // A rename or move to a path that this refuses with an error code (0: none).
    std::function<DWORD(const std::wstring& to)> refuseName;
    int32_t now = 0x5A210000;  // the date a new file gets
    int listings = 0;          // calls of Enumerate
    int opens = 0;             // calls of OpenRead

    Node& AddFolder(const std::wstring& path) {
        Node& n = Put(path);
        n.folder = true;
        n.attributes = FILE_ATTRIBUTE_DIRECTORY;
        return n;
    }
    Node& AddFile(const std::wstring& path, std::string data = {},
                  uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE) {
        for (size_t i = path.find(L'\\'); i != std::wstring::npos; i = path.find(L'\\', i + 1))
            if (!Find(path.substr(0, i))) AddFolder(path.substr(0, i));
        Node& n = Put(path);
        n.data = std::move(data);
        n.attributes = attributes;
        return n;
    }
    Node* Find(const std::wstring& path) {
        auto it = nodes_.find(Key(path));
        return it == nodes_.end() ? nullptr : it->second.get();
    }
    void Remove(const std::wstring& path);  // the entry and everything below it
    int CountFiles(const std::wstring& folder) {
        int n = 0;
        std::wstring prefix = Key(folder) + L"\\";
        for (auto& [key, node] : nodes_) n += !node->folder && key.rfind(prefix, 0) == 0;
        return n;
    }

    bool Enumerate(const std::wstring& pattern, std::vector<FoundEntry>& entries, DWORD& error) override;
    std::unique_ptr<FileStream> OpenRead(const std::wstring& path, DWORD& error) override;
    std::unique_ptr<FileStream> CreateNew(const std::wstring& path, DWORD& error) override;
    bool Delete(const std::wstring& path) override;
    bool DeleteUnused(const std::wstring& path) override;
    bool GetSize(const std::wstring& path, uint64_t& size) override {
        Node* n = Find(path);
        if (!n || n->folder || n->sizeUnreadable) return false;
        size = n->virtualSize ? n->virtualSize : n->data.size();
        return true;
    }
    uint32_t GetAttributes(const std::wstring& path) override {
        Node* n = Find(path);
        return n ? n->attributes : INVALID_FILE_ATTRIBUTES;
    }
    bool SetAttributes(const std::wstring& path, uint32_t attributes) override;
    bool CreateFolder(const std::wstring& path) override;
    bool RemoveFolder(const std::wstring& path) override;
    bool Move(const std::wstring& from, const std::wstring& to, DWORD& error) override;
    std::wstring FolderIdentity(const std::wstring& path) override {
        Node* n = Find(ExcludeBackslash(path));
        return !n || !n->folder    ? std::wstring()
               : n->linkTo.empty() ? Key(ExcludeBackslash(path))
                                   : Key(n->linkTo);
    }
    std::wstring LongForm(const std::wstring& path) override { return path; }
    std::wstring FullPath(const std::wstring& path) override { return path; }
    std::wstring ErrorText(DWORD code) override { return L"error " + std::to_wstring(code); }

  private:
    static std::wstring Key(const std::wstring& path) { return AsciiLower(path); }
    static std::wstring ExcludeBackslash(const std::wstring& path) {
        return !path.empty() && path.back() == L'\\' ? path.substr(0, path.size() - 1) : path;
    }
    static std::wstring Parent(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }
    bool InvalidName(const std::wstring& path) { return path.find(L':', 2) != std::wstring::npos; }
    bool Rename(const std::shared_ptr<Node>& node, const std::wstring& to, bool replace, DWORD& error);

    Node& Put(const std::wstring& path) {
        Node& n = *(nodes_[Key(path)] = std::make_shared<Node>());
        n.name = path.substr(path.find_last_of(L'\\') + 1);
        return n;
    }

    // Shared, so that an open file follows its node through a rename (and
    // tells whether it is open).
    std::map<std::wstring, std::shared_ptr<Node>> nodes_;
    friend class FakeFile;
};

}  // namespace pelvane
