#pragma once
// The excluded extensions: ";"-separated fields of the option text, each
// with its leading point, compared folding only A to Z.
#include <string>
#include <vector>

namespace pelvane {

class ExclusionList {
  public:
    // Whether path's extension is one of types'. The text is read for every
    // file (the user may change it during a run), but taken apart only when
    // it changed.
    bool Excludes(const std::string& types, const std::wstring& path);

  private:
    static constexpr int kMaxFields = 20;  // later fields never take part

    std::string text_;                  // the option text last taken apart
    std::vector<std::wstring> fields_;  // and its fields, lower-cased
};

}  // namespace pelvane
