#pragma once
// What the store raises. EDatabaseError is every failure of the store: the
// dataset framework's own ("Dataset not in edit or insert mode") and what
// SQLite reports, with its text and its result code. ESqliteError is the
// SQLite layer's own kind of it (a library that cannot be bound, a missing
// property). Catching EDatabaseError catches them all.
#include <string>
#include <utility>

#include "common/Exception.h"

namespace pelvane {

class EDatabaseError : public Exception {
  public:
    explicit EDatabaseError(std::string message, int resultCode = 0)
        : Exception(std::move(message)), resultCode_(resultCode) {}
    // SQLite's result code (SQLITE_BUSY, SQLITE_SCHEMA...); 0 when the
    // failure is not one that SQLite reported.
    int ResultCode() const { return resultCode_; }

  private:
    int resultCode_;
};

class ESqliteError : public EDatabaseError {
  public:
    using EDatabaseError::EDatabaseError;
};

// An update or delete found its row no longer as it was read: another
// program changed or deleted it (and may have given its rowid to a new row).
// Nothing was changed.
class ERowChanged : public EDatabaseError {
  public:
    using EDatabaseError::EDatabaseError;
};

}  // namespace pelvane
