// Memory of the file list of a 1,000,000-file task (not a test: prints figures).
// The tree is synthesised behind the file-system interface: 1,000 folders of
// 1,000 files with names of realistic length, below a realistic source folder.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "engine/TreeScanner.h"
#include "tests/engine/RecordingSurroundings.h"

using namespace pelvane;

namespace {

class SyntheticTree : public FileSystem {
  public:
    bool Enumerate(const std::wstring& pattern, std::vector<FoundEntry>& entries, DWORD&) override {
        if (pattern.find(L"Projekt-") == std::wstring::npos) {  // the source folder: its sub-folders
            for (int d = 0; d < 1000; ++d)
                entries.push_back({L"Projekt-" + std::to_wstring(1000 + d) + L" dokumentumai", 0,
                                   FILE_ATTRIBUTE_DIRECTORY, 0});
            return true;
        }
        for (int f = 0; f < 1000; ++f)
            entries.push_back({L"fénykép_2024_augusztus_" + std::to_wstring(100000 + f) + L".jpg", 4096,
                               FILE_ATTRIBUTE_ARCHIVE, 133000000000000000ULL + f});
        return true;
    }
    std::unique_ptr<FileStream> OpenRead(const std::wstring&, DWORD&) override { return nullptr; }
    std::unique_ptr<FileStream> CreateNew(const std::wstring&, DWORD&) override { return nullptr; }
    bool Delete(const std::wstring&) override { return false; }
    bool DeleteUnused(const std::wstring&) override { return false; }
    bool GetSize(const std::wstring&, uint64_t&) override { return false; }
    uint32_t GetAttributes(const std::wstring&) override { return INVALID_FILE_ATTRIBUTES; }
    bool SetAttributes(const std::wstring&, uint32_t) override { return false; }
    bool CreateFolder(const std::wstring&) override { return false; }
    bool RemoveFolder(const std::wstring&) override { return false; }
    bool Move(const std::wstring&, const std::wstring&, DWORD&) override { return false; }
    std::wstring FolderIdentity(const std::wstring&) override { return {}; }
    std::wstring LongForm(const std::wstring& p) override { return L"\\\\?\\" + p; }
    std::wstring FullPath(const std::wstring& p) override { return p; }
    std::wstring ErrorText(DWORD) override { return {}; }
};

double PrivateMegabytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PagefileUsage / 1048576.0;  // the committed private memory
}

}  // namespace

int main() {
    const std::wstring source = L"C:\\Users\\kovacs.janos\\Dokumentumok\\Munka\\";
    SyntheticTree fs;
    RecordingSurroundings s;
    LogWriter log(s);
    StopRequest stop(s);
    TreeScanner scanner(fs, log, stop);
    const double before = PrivateMegabytes();
    ScanResult scan = scanner.Scan(source, false);
    const double after = PrivateMegabytes();
    const PathList& list = scan.files;
    const int64_t total = scan.total;
    double average = 0;
    std::wstring name;
    for (size_t f = 0; f < list.FolderCount(); ++f) {
        name.clear();
        list.AppendName(list.FirstFile(f), name);
        average += source.size() + list.Folder(f).size() + name.size();
    }
    average /= list.FolderCount();
    printf("file list of a %zu-file task in %zu folders (average path %.0f characters, total %lld bytes),\n",
           list.Count(), list.FolderCount(), average, static_cast<long long>(total));
    // Capacities, not sizes: what the list really holds on to.
    printf("  on this %d-bit build: list storage %.1f MB, the process's private memory grew by %.1f MB\n",
           static_cast<int>(sizeof(void*) * 8), list.MemoryUse() / 1048576.0, after - before);
    return 0;
}
