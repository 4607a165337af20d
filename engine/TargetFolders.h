#pragma once
// The folders a run writes copies to: made where a file goes, looked up once
// for a run of files in one folder, and cleared of the temporary files that
// a run killed mid-copy left there (~pelvane.tmp, ~pelvane1.tmp ... ~pelvane99.tmp).
#include <string>

#include "engine/FileSystem.h"

namespace pelvane {

class TargetFolders {
  public:
    static constexpr int kTemporaryNames = 100;

    // Folders that only ever receive files by a rename (the versions) hold
    // no temporary files, so they are not swept: one listing fewer per folder.
    enum class Sweep { StaleTemporaries, Nothing };
    explicit TargetFolders(FileSystem& fs, Sweep sweep = Sweep::StaleTemporaries) : fs_(fs), sweep_(sweep) {}

    // The n-th temporary name in a folder (ending in a backslash).
    static std::wstring TemporaryName(const std::wstring& folder, int n);
    static bool IsTemporaryName(const std::wstring& name);

    // Makes the folder (and those above it) unless the last file found it
    // there, then removes stale temporary files when it is a new one. A
    // folder that cannot be made shows when a file is created in it;
    // EInOutError for an empty path.
    void Prepare(const std::wstring& folder);
    // Whether the folder was taken as there from an earlier file (it may
    // have gone since).
    bool Known(const std::wstring& folder) const { return !folder.empty() && folder == made_; }
    // Looks again at the next file: a folder may have been removed meanwhile.
    void Forget() { made_.clear(); }
    // A run starts: the user may have removed or renamed folders since the last one.
    void Clear() { made_.clear(), swept_.clear(); }

  private:
    bool Exists(const std::wstring& folder);
    bool MakeWithParents(std::wstring folder, bool looked);
    void RemoveStaleTemporaries(const std::wstring& folder);

    FileSystem& fs_;
    const Sweep sweep_;
    std::wstring made_;   // the folder last found or made
    std::wstring swept_;  // the folder last cleared of stale temporary files
};

}  // namespace pelvane
