#include "settings/IniFile.h"

#include <windows.h>

#include "common/Seged.h"

namespace pelvane {
namespace {

// Room for 2047 characters and the terminating zero: longer values are cut.
constexpr DWORD kValueBuffer = 2048;

}  // namespace

IniFile::IniFile(std::string path, Access access) : path_(std::move(path)), access_(access) {}

IniFile::~IniFile() {
    if (access_ == Access::ReadWrite) WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    char buf[kValueBuffer];
    DWORD n =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buf, kValueBuffer, path_.c_str());
    return std::string(buf, n);
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key, int32_t def) const {
    int32_t value = 0;
    return TryStrToInt(ReadString(section, key, ""), value) ? value : def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

TimeOfDay IniFile::ReadTime(const std::string& section, const std::string& key, const TimeOfDay& def,
                            const TimeFormat& format) const {
    TimeOfDay time = def;
    std::string text = ReadString(section, key, "");
    if (text.empty() || !format.Parse(text, time)) return def;
    return time;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()))
        throw IniWriteError("Unable to write to " + path_);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteTime(const std::string& section, const std::string& key, const TimeOfDay& value,
                        const TimeFormat& format) {
    WriteString(section, key, format.Format(value));
}

}  // namespace pelvane
