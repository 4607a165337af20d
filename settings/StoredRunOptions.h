#pragma once
// The run options a settings file holds, for the console program. Reading
// never writes, creates or flushes the file.
#include <string>

namespace pelvane {

struct StoredRunOptions {
    int mode = 0;  // the copy method, clamped to -1..2 as the window does; -1 copies as 0
    bool delArchived = false;
    std::string excludedTypes = ".tmp;.temp";
};

// Missing file, section or key, or a value that does not parse: the defaults.
StoredRunOptions ReadStoredRunOptions(const std::string& iniPath);

}  // namespace pelvane
