#pragma once
// The folder each task's copies go to, and the tasks of a run that would
// share one: the later would replace the earlier one's copies (or, by the
// newer method, skip what the earlier made newer).
#include <map>
#include <string>
#include <string_view>

#include "engine/FileSystem.h"
#include "engine/NameOrder.h"

namespace pelvane {

// The folder a task's copies go to, as a long form: the target folder and
// the source's last folder name, both from their full forms (where "." and
// ".." are resolved, so C:\Data\Docs\.. never maps outside the target).
std::wstring CopyFolder(FileSystem& fs, const std::wstring& source, const std::wstring& target);
// The folder a task's replaced copies go to, as a long form:
// <target>\Pelvane-változatok\<the same last folder name>.
std::wstring VersionFolder(FileSystem& fs, const std::wstring& source, const std::wstring& target);
// Whether a folder is named as the version folder (without regard to case):
// the name is Pelvane's, and such a folder is never backed up as a source.
bool IsVersionFolderName(std::wstring_view name);

class CopyFolderClaims {
  public:
    // The first task of the run whose copies go to a folder, and that folder as shown.
    struct Owner {
        std::wstring task, folder;
    };

    explicit CopyFolderClaims(FileSystem& fs) : fs_(fs) {}

    // A run starts: no folder is claimed.
    void Clear() { owners_.clear(); }
    // Claims the folder of the task's copies; the task that holds it already,
    // if any. A task without both folders claims nothing (it fails by itself).
    const Owner* Claim(const std::wstring& source, const std::wstring& target);

  private:
    FileSystem& fs_;
    std::map<std::wstring, Owner, NameLess> owners_;  // by the folders' long forms
};

}  // namespace pelvane
