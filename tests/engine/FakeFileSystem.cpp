#include "tests/engine/FakeFileSystem.h"

#include <algorithm>
#include <cstring>

namespace pelvane {

// An open file of the fake: reads and writes go straight to its node.
class FakeFile : public FileStream {
  public:
    FakeFile(FakeFileSystem& fs, std::shared_ptr<FakeFileSystem::Node> node)
        : fs_(fs), node_(std::move(node)) {}
    ~FakeFile() override {
        if (!deleteOnClose_) return;
        for (auto it = fs_.nodes_.begin(); it != fs_.nodes_.end(); ++it) {
            if (it->second != node_) continue;
            fs_.nodes_.erase(it);
            break;
        }
    }

    bool Size(uint64_t& size) override {
        size = Node().virtualSize ? Node().virtualSize : Node().data.size();
        return !Node().sizeUnreadable;
    }
    uint32_t Attributes() override {
        return Node().attributesUnreadable ? INVALID_FILE_ATTRIBUTES : Node().attributes;
    }
    uint64_t LastWrite() override { return Node().date.Utc(); }
    bool SetDateAndAttributes(uint64_t lastWrite, uint32_t attributes) override {
        if (lastWrite) Node().date.SetUtc(lastWrite);
        if (attributes != INVALID_FILE_ATTRIBUTES) Node().attributes = attributes;
        return true;
    }
    uint32_t Read(void* buffer, uint32_t count) override {
        auto& n = Node();
        uint64_t size = 0;
        Size(size);
        uint32_t got = static_cast<uint32_t>(std::min<uint64_t>(count, size - std::min(size, offset_)));
        if (n.virtualSize)
            memset(buffer, 'v', got);
        else
            memcpy(buffer, n.data.data() + offset_, got);
        offset_ += got;
        return got;
    }
    uint32_t Write(const void* buffer, uint32_t count) override {
        uint32_t put = static_cast<uint32_t>(std::min<long long>(count, std::max(0LL, fs_.freeBytes)));
        Node().data.append(static_cast<const char*>(buffer), put);
        fs_.freeBytes -= put;
        return put;
    }
    bool RenameTo(const std::wstring& to, DWORD& error) override {
        return fs_.Rename(node_, to, true, error);
    }
    bool RenameWithoutReplacing(const std::wstring& to, DWORD& error) override {
        return fs_.Rename(node_, to, false, error);
    }
    bool DeleteOnClose() override { return Node().deletePending = deleteOnClose_ = true; }
    bool KeepOnClose(DWORD&) override {
        Node().deletePending = deleteOnClose_ = false;
        return true;
    }

  private:
    FakeFileSystem::Node& Node() { return *node_; }
    FakeFileSystem& fs_;
    std::shared_ptr<FakeFileSystem::Node> node_;
    uint64_t offset_ = 0;
    bool deleteOnClose_ = false;
};

void FakeFileSystem::Remove(const std::wstring& path) {
    const std::wstring key = Key(path);
    for (auto it = nodes_.begin(); it != nodes_.end();)
        it = it->first == key || it->first.rfind(key + L"\\", 0) == 0 ? nodes_.erase(it) : std::next(it);
}

bool FakeFileSystem::Enumerate(const std::wstring& pattern, std::vector<FoundEntry>& entries, DWORD& error) {
    ++listings;
    std::wstring folder = Key(pattern.substr(0, pattern.find_last_of(L'\\')));
    Node* f = Find(folder);
    if (!f || !f->folder) return error = ERROR_PATH_NOT_FOUND, false;
    if (f->unlistable) return error = ERROR_ACCESS_DENIED, false;
    for (auto& [key, node] : nodes_) {
        if (key.size() <= folder.size() + 1 || key.rfind(folder + L"\\", 0) != 0) continue;
        if (key.find(L'\\', folder.size() + 1) != std::wstring::npos) continue;
        FoundEntry entry{node->name, node->virtualSize ? node->virtualSize : node->data.size(),
                         node->attributes, node->date.Utc()};
        entries.push_back(entry);
        for (const std::wstring& twin : node->twins) entry.name = twin, entries.push_back(entry);
    }
    return true;
}

std::unique_ptr<FileStream> FakeFileSystem::OpenRead(const std::wstring& path, DWORD& error) {
    ++opens;
    Node* n = Find(path);
    if (!n) return error = ERROR_FILE_NOT_FOUND, nullptr;
    if (n->folder || n->deletePending) return error = ERROR_ACCESS_DENIED, nullptr;
    if (n->locked) return error = ERROR_SHARING_VIOLATION, nullptr;
    return std::make_unique<FakeFile>(*this, nodes_[Key(path)]);
}

std::unique_ptr<FileStream> FakeFileSystem::CreateNew(const std::wstring& path, DWORD& error) {
    if (InvalidName(path)) return error = ERROR_INVALID_NAME, nullptr;
    Node* parent = Find(Parent(path));
    if (!parent || !parent->folder) return error = ERROR_PATH_NOT_FOUND, nullptr;
    if (Node* n = Find(path))
        return error = n->deletePending ? ERROR_ACCESS_DENIED : ERROR_FILE_EXISTS, nullptr;
    Put(path).date = now;
    return std::make_unique<FakeFile>(*this, nodes_[Key(path)]);
}

bool FakeFileSystem::Rename(const std::shared_ptr<Node>& node, const std::wstring& to, bool replace,
                            DWORD& error) {
    if (refuseName && (error = refuseName(to)) != 0) return false;
    Node* parent = Find(Parent(to));
    if (!parent || !parent->folder) return error = ERROR_PATH_NOT_FOUND, false;
    Node* target = Find(to);
    if (target && !replace) return error = ERROR_ALREADY_EXISTS, false;
    if (target && (target->folder || (target->attributes & 7))) return error = ERROR_ACCESS_DENIED, false;
    if (target && target->locked) return error = ERROR_SHARING_VIOLATION, false;
    for (auto it = nodes_.begin(); it != nodes_.end(); ++it) {
        if (it->second != node) continue;
        nodes_.erase(it);
        break;
    }
    nodes_[Key(to)] = node;
    node->name = to.substr(to.find_last_of(L'\\') + 1);
    return true;
}

// Whatever word the engine gives is stored, as it comes: a word it should
// never have passed on stays visible to the test.
bool FakeFileSystem::SetAttributes(const std::wstring& path, uint32_t attributes) {
    Node* n = Find(path);
    if (!n) return false;
    n->attributes = (attributes & ~FILE_ATTRIBUTE_DIRECTORY) | (n->folder ? FILE_ATTRIBUTE_DIRECTORY : 0);
    return true;
}

bool FakeFileSystem::CreateFolder(const std::wstring& path) {
    if (InvalidName(path) || Find(path)) return false;
    Node* parent = Find(Parent(path));
    if (!parent || !parent->folder) return false;
    AddFolder(path);
    return true;
}

// As Windows: a read-only file or one held open without sharing stays.
bool FakeFileSystem::Delete(const std::wstring& path) {
    auto it = nodes_.find(Key(path));
    DWORD error = it == nodes_.end()                                   ? ERROR_FILE_NOT_FOUND
                  : it->second->folder || (it->second->attributes & 1) ? ERROR_ACCESS_DENIED
                  : it->second->locked                                 ? ERROR_SHARING_VIOLATION
                                                                       : 0;
    if (error) return SetLastError(error), false;
    nodes_.erase(it);
    return true;
}

bool FakeFileSystem::RemoveFolder(const std::wstring& path) {
    Node* n = Find(path);
    if (!n || !n->folder) return false;
    const std::wstring prefix = Key(path) + L"\\";
    for (auto& [key, node] : nodes_)
        if (key.rfind(prefix, 0) == 0) return false;  // not empty
    nodes_.erase(Key(path));
    return true;
}

// A rename of a file by its path, which Windows allows also for a read-only,
// hidden or system one, but not while another program holds it.
bool FakeFileSystem::Move(const std::wstring& from, const std::wstring& to, DWORD& error) {
    auto it = nodes_.find(Key(from));
    if (it == nodes_.end()) return error = ERROR_FILE_NOT_FOUND, false;
    if (it->second->locked) return error = ERROR_SHARING_VIOLATION, false;
    if (refuseName && (error = refuseName(to)) != 0) return false;
    Node* parent = Find(Parent(to));
    if (!parent || !parent->folder) return error = ERROR_PATH_NOT_FOUND, false;
    if (Find(to)) return error = ERROR_ALREADY_EXISTS, false;
    std::shared_ptr<Node> node = it->second;
    nodes_.erase(it);
    nodes_[Key(to)] = node;
    node->name = to.substr(to.find_last_of(L'\\') + 1);
    return true;
}

bool FakeFileSystem::DeleteUnused(const std::wstring& path) {
    auto it = nodes_.find(Key(path));
    // In use: held by another program, or open here (the map holds one reference).
    if (it == nodes_.end() || it->second->folder || it->second->locked || it->second.use_count() > 1)
        return false;
    nodes_.erase(it);
    return true;
}

}  // namespace pelvane
