#pragma once
// Failures travel as exceptions that carry the text the user sees.
#include <exception>
#include <string>

namespace pelvane {

class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// A value that does not convert to the type asked for ("Could not convert
// variant of type (String) into type (Integer)").
class EConvertError : public Exception {
  public:
    using Exception::Exception;
};

// File and stream failures ("Cannot open file ...", "Stream read error").
class EInOutError : public Exception {
  public:
    using Exception::Exception;
};

}  // namespace pelvane
