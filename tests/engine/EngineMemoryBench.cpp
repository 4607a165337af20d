// Memory of the file list of a 1,000,000-file task (not a test: prints figures).
// The tree is synthesised behind the file-system interface: 1,000 folders of
// 1,000 files with names of realistic length, below a realistic source folder.
#include <windows.h>

#include <cstdio>

#include "engine/BackupEngine.h"
#include "tests/engine/RecordingSurroundings.h"

using namespace pelvane;

namespace {

class SyntheticTree : public FileSystem {
  public:
    bool Enumerate(const std::string& pattern, std::vector<FoundEntry>& entries) override {
        if (pattern.find("Projekt-") == std::string::npos) {  // the source folder: its sub-folders
            for (int d = 0; d < 1000; ++d)
                entries.push_back(
                    {"Projekt-" + std::to_string(1000 + d) + " dokumentumai", 0, FILE_ATTRIBUTE_DIRECTORY});
            return true;
        }
        for (int f = 0; f < 1000; ++f)
            entries.push_back({"fénykép_2024_augusztus_" + std::to_string(100000 + f) + ".jpg", 4096,
                               FILE_ATTRIBUTE_ARCHIVE});
        return true;
    }
    std::unique_ptr<FileStream> OpenRead(const std::string&, DWORD&) override { return nullptr; }
    std::unique_ptr<FileStream> CreateNew(const std::string&, DWORD&) override { return nullptr; }
    bool Replace(const std::string&, const std::string&, DWORD&) override { return false; }
    bool Delete(const std::string&) override { return false; }
    uint32_t GetAttributes(const std::string&) override { return INVALID_FILE_ATTRIBUTES; }
    bool SetAttributes(const std::string&, uint32_t) override { return false; }
    bool CreateFolder(const std::string&) override { return false; }
    int32_t FileAge(const std::string&) override { return -1; }
    bool FileExists(const std::string&) override { return false; }
    bool SetFileDate(const std::string&, int32_t) override { return false; }
    std::string FullPath(const std::string& p) override { return p; }
    std::string ErrorText(DWORD) override { return {}; }
};

}  // namespace

int main() {
    const std::string source = "C:\\Users\\kovacs.janos\\Dokumentumok\\Munka\\";
    SyntheticTree fs;
    RecordingSurroundings s;
    BackupEngine engine(s, fs);
    PathList list(source);
    int64_t total = engine.CollectFiles(source, "*.*", true, list, false);
    double avgPath = 0;
    for (size_t i = 0; i < list.Count(); i += 1000) avgPath += source.size() + list.Relative(i).size();
    avgPath /= list.Count() / 1000.0;
    printf("file list of a %zu-file task (average path %.0f bytes, total %lld bytes):\n", list.Count(),
           avgPath, static_cast<long long>(total));
    // Capacities, not sizes: what the list really holds on to.
    printf(
        "  list storage %.1f MB on this 64-bit build, about %.1f MB on the 32-bit one (its limit: 2048 MB)\n",
        list.MemoryUse() / 1048576.0, (list.MemoryUse() - list.Count() * 4) / 1048576.0);
    return 0;
}
