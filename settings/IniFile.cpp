#include "settings/IniFile.h"

#include <windows.h>

#include "common/Handles.h"
#include "common/Seged.h"
#include "common/Text.h"

namespace pelvane {
namespace {

// Room for 2047 characters and the terminating zero: longer values are cut.
constexpr DWORD kValueBuffer = 2048;

// The wide profile functions convert an ANSI file's text with the system's
// code page; converting the values with the same one gives the file exactly
// the bytes the ANSI functions wrote and read.
std::wstring FromAnsi(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string ToAnsi(const wchar_t* w, DWORD length) {
    if (length == 0) return {};
    const int len = static_cast<int>(length);
    const int n = WideCharToMultiByte(CP_ACP, 0, w, len, nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, w, len, s.data(), n, nullptr, nullptr);
    return s;
}

// A file that the profile functions create themselves might be made UTF-16
// by some version of them; one that exists without a byte-order mark is
// always kept ANSI. So a missing file is created empty before the first write.
void CreateEmptyUnlessThere(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

IniFile::IniFile(std::wstring path, Access access) : path_(std::move(path)), access_(access) {}

IniFile::~IniFile() {
    if (access_ == Access::ReadWrite) WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    wchar_t buf[kValueBuffer];
    DWORD n = GetPrivateProfileStringW(FromAnsi(section).c_str(), FromAnsi(key).c_str(),
                                       FromAnsi(def).c_str(), buf, kValueBuffer, path_.c_str());
    return ToAnsi(buf, n);
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
    CreateEmptyUnlessThere(path_);
    if (!WritePrivateProfileStringW(FromAnsi(section).c_str(), FromAnsi(key).c_str(), FromAnsi(value).c_str(),
                                    path_.c_str()))
        throw IniWriteError("Unable to write to " + WideToAnsi(path_));
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
