#pragma once
// A file system in memory that behaves as Windows does where Wine does not:
// archive bits, refused creates and replaces over read-only, hidden or system
// files, a disk that fills up.
#include <map>
#include <memory>
#include <string>

#include "common/Text.h"
#include "engine/FileSystem.h"

namespace pelvane {

class FakeFileSystem : public FileSystem {
  public:
    struct Node {
        bool folder = false;
        uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE;
        std::string data;
        uint64_t virtualSize = 0;   // a large file whose bytes are never stored
        int32_t date = 0x3C210000;  // 2010-01-01 00:00:00
        bool locked = false;        // held open by another program without sharing
        bool attributesUnreadable = false;
        bool sizeUnreadable = false;
    };

    long long freeBytes = 1LL << 40;
    int32_t now = 0x5A210000;  // the date a new file gets

    Node& AddFolder(const std::string& path) {
        Node& n = Put(path);
        n.folder = true;
        n.attributes = FILE_ATTRIBUTE_DIRECTORY;
        return n;
    }
    Node& AddFile(const std::string& path, std::string data = {},
                  uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE) {
        for (size_t i = path.find('\\'); i != std::string::npos; i = path.find('\\', i + 1))
            if (!Find(path.substr(0, i))) AddFolder(path.substr(0, i));
        Node& n = Put(path);
        n.data = std::move(data);
        n.attributes = attributes;
        return n;
    }
    Node* Find(const std::string& path) {
        auto it = nodes_.find(Key(path));
        return it == nodes_.end() ? nullptr : it->second.get();
    }
    int CountFiles(const std::string& folder) {
        int n = 0;
        std::string prefix = Key(folder) + "\\";
        for (auto& [key, node] : nodes_) n += !node->folder && key.rfind(prefix, 0) == 0;
        return n;
    }

    bool Enumerate(const std::string& pattern, std::vector<FoundEntry>& entries) override;
    std::unique_ptr<FileStream> OpenRead(const std::string& path, DWORD& error) override;
    std::unique_ptr<FileStream> CreateNew(const std::string& path, DWORD& error) override;
    bool Replace(const std::string& from, const std::string& to, DWORD& error) override;
    bool Delete(const std::string& path) override { return nodes_.erase(Key(path)) > 0; }
    uint32_t GetAttributes(const std::string& path) override {
        Node* n = Find(path);
        return n ? n->attributes : INVALID_FILE_ATTRIBUTES;
    }
    bool SetAttributes(const std::string& path, uint32_t attributes) override;
    bool CreateFolder(const std::string& path) override;
    int32_t FileAge(const std::string& path) override {
        Node* n = Find(path);
        return n && !n->folder && !n->locked ? n->date : -1;
    }
    bool FileExists(const std::string& path) override {
        Node* n = Find(path);
        return n && !n->folder && n->date != -1;
    }
    bool SetFileDate(const std::string& path, int32_t packed) override;
    std::string FullPath(const std::string& path) override { return path; }
    std::string ErrorText(DWORD code) override { return "error " + std::to_string(code); }

  private:
    static std::string Key(const std::string& path) { return AsciiLower(path); }
    static std::string Parent(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }
    bool InvalidName(const std::string& path) { return path.find(':', 2) != std::string::npos; }

    Node& Put(const std::string& path) { return *(nodes_[Key(path)] = std::make_shared<Node>()); }

    // Shared, so that an open file follows its node through a rename.
    std::map<std::string, std::shared_ptr<Node>> nodes_;
    friend class FakeFile;
};

}  // namespace pelvane
