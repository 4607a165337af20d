#pragma once
// The file list of one task, held compactly: a million files of a big tree
// must fit a 32-bit process. Files come folder by folder in scan order, so
// each folder is stored once and each file only by its name (in a compact
// form of UTF-16), its last-write time and its size. Names go into blocks of 1 MiB, so a
// big list needs no large contiguous piece of the address space.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/Text.h"

namespace pelvane {

class PathList {
  public:
    // The folder (relative to the task's source folder: "" or ending in a
    // backslash) of the files added next. Stored with its first file only.
    void BeginFolder(std::wstring_view relative) {
        pendingFolder_.assign(relative);
        folderPending_ = true;
    }
    // Keeps the folder begun even when no file of it is added: the archive
    // method leaves files out, but their copies still count.
    void KeepFolder() {
        if (folderPending_) StoreFolder();
    }
    void AddFile(std::wstring_view name, uint64_t lastWrite, uint64_t size) {
        if (folderPending_) StoreFolder();
        compact_.clear();
        AppendCompact(compact_, name);
        // A name never spans two blocks (it is far shorter than one).
        if (blocks_.empty() || used_ + compact_.size() > kBlock) {
            blocks_.push_back(std::make_unique<char[]>(kBlock));
            used_ = 0;
        }
        compact_.copy(blocks_.back().get() + used_, compact_.size());
        used_ += compact_.size();
        ends_.push_back((blocks_.size() - 1) * kBlock + used_);
        times_.push_back(lastWrite);
        sizes_.push_back(size);
    }

    size_t Count() const { return ends_.size(); }
    size_t FolderCount() const { return folders_.size(); }
    // Folder f holds the files FirstFile(f) up to FirstFile(f + 1).
    size_t FirstFile(size_t f) const { return f < folders_.size() ? folders_[f].firstFile : ends_.size(); }
    std::wstring_view Folder(size_t f) const {
        size_t begin = f ? folders_[f - 1].end : 0;
        return std::wstring_view(folderChars_).substr(begin, folders_[f].end - begin);
    }
    void AppendName(size_t i, std::wstring& out) const {
        const size_t end = ends_[i], block = (end - 1) / kBlock;
        size_t begin = i ? ends_[i - 1] : 0;
        if (begin < block * kBlock) begin = block * kBlock;  // the name opened a new block
        AppendFromCompact(out,
                          std::string_view(blocks_[block].get() + (begin - block * kBlock), end - begin));
    }
    uint64_t LastWrite(size_t i) const { return times_[i]; }  // a FILETIME (UTC)
    uint64_t Size(size_t i) const { return sizes_[i]; }

    // What the list holds on to: capacities, not sizes.
    size_t MemoryUse() const {
        return blocks_.size() * kBlock + blocks_.capacity() * sizeof(blocks_[0]) +
               ends_.capacity() * sizeof(size_t) +
               (times_.capacity() + sizes_.capacity()) * sizeof(uint64_t) +
               folderChars_.capacity() * sizeof(wchar_t) + folders_.capacity() * sizeof(FolderEntry);
    }

  private:
    void StoreFolder() {
        folderChars_.append(pendingFolder_.begin(), pendingFolder_.end());
        folders_.push_back({folderChars_.size(), ends_.size()});
        folderPending_ = false;
    }

    static constexpr size_t kBlock = 1 << 20;
    struct FolderEntry {
        size_t end;        // of its text in folderChars_
        size_t firstFile;  // index of its first file
    };
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t used_ = 0;           // of the last block
    std::vector<size_t> ends_;  // of each name, counting all blocks as one row
    std::vector<uint64_t> times_;
    std::vector<uint64_t> sizes_;
    std::wstring folderChars_;
    std::vector<FolderEntry> folders_;
    std::wstring pendingFolder_;
    std::string compact_;
    bool folderPending_ = false;
};

}  // namespace pelvane
