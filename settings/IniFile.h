#pragma once
// Accessor of one private-profile (INI) file. Every read and write is one
// call of the platform's profile functions, straight to the file; nothing is
// cached here. Releasing the accessor asks the platform to flush its own copy.
// The file is named by its true (wide) name; it stays an ANSI file, its bytes
// those the ANSI functions would read and write.
#include <cstdint>
#include <string>

#include "settings/SettingsError.h"
#include "settings/TimeFormat.h"

namespace pelvane {

// A settings file that cannot be written; what stops then is the caller's matter.
class IniWriteError : public ESettingsError {
  public:
    using ESettingsError::ESettingsError;
};

class IniFile {
  public:
    // A read-only accessor never asks for the flush, so it cannot touch the file.
    enum class Access { ReadWrite, ReadOnly };

    explicit IniFile(std::wstring path, Access access = Access::ReadWrite);
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;
    ~IniFile();

    const std::wstring& Path() const { return path_; }

    // The value as stored, cut to 2047 characters; the default only when the
    // key is missing (a key with an empty value gives the empty string).
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // Decimal, $hex, 0x or x hex, 32-bit; anything else (empty too) gives def.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
    // Read as an integer: non-zero is true.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    // Read in the given regional long time format; anything it rejects gives def.
    TimeOfDay ReadTime(const std::string& section, const std::string& key, const TimeOfDay& def,
                       const TimeFormat& format = RegionalTimeFormat()) const;

    // Each throws IniWriteError ("Unable to write to <path>") when the file
    // cannot be written.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void WriteTime(const std::string& section, const std::string& key, const TimeOfDay& value,
                   const TimeFormat& format = RegionalTimeFormat());

  private:
    std::wstring path_;
    Access access_;
};

}  // namespace pelvane
