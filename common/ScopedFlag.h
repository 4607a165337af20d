#pragma once
// A flag raised for the life of a scope, and lowered however the scope ends
// (also by an exception): a run under way until Run returns.
namespace pelvane {

class ScopedFlag {
  public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

  private:
    bool& flag_;
};

}  // namespace pelvane
