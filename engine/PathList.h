#pragma once
// The file list of one task, held compactly: a million paths of a big tree
// must fit a 32-bit process. Every path shares the task's source folder, so
// only the part after it is stored, all in one buffer.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelvane {

class PathList {
  public:
    explicit PathList(std::string base) : base_(std::move(base)) {}

    // path must begin with the base folder.
    void Add(std::string_view path) {
        path.remove_prefix(base_.size());
        chars_.append(path);
        ends_.push_back(chars_.size());
    }
    size_t Count() const { return ends_.size(); }
    const std::string& Base() const { return base_; }
    std::string_view Relative(size_t i) const {
        size_t begin = i ? ends_[i - 1] : 0;
        return std::string_view(chars_).substr(begin, ends_[i] - begin);
    }
    std::string Full(size_t i) const { return base_ + std::string(Relative(i)); }
    size_t MemoryUse() const { return chars_.capacity() + ends_.capacity() * sizeof(size_t); }

  private:
    std::string base_;
    std::string chars_;
    std::vector<size_t> ends_;
};

}  // namespace pelvane
