#include "common/Seged.h"

#include <windows.h>

#include "common/Exception.h"
#include "common/FileDate.h"
#include "common/Handles.h"

namespace pelvane {
namespace {

std::wstring ComputeAppDir() {
    std::wstring dir = ModuleFileName();
    size_t cut = dir.find_last_of(L"\\:");
    dir.resize(cut == std::wstring::npos ? 0 : cut + 1);
    if (!dir.empty()) CharLowerBuffW(dir.data(), static_cast<DWORD>(dir.size()));
    if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
    return dir;
}

}  // namespace

std::wstring ModuleFileName(HMODULE module) {
    // A program folder may be deeper than MAX_PATH: the buffer grows until the
    // name fits (a cut name comes back filling the buffer exactly).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

const std::wstring& AppDir() {
    static const std::wstring dir = ComputeAppDir();
    return dir;
}

std::string GetToken(char sep, const std::string& s, int n) {
    if (n < 1) return {};
    size_t start = 0;
    for (int field = 1; field < n; ++field) {
        size_t next = s.find(sep, start);
        if (next == std::string::npos) return {};
        start = next + 1;
    }
    size_t end = s.find(sep, start);
    return s.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

int32_t GetFileAge(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    FILETIME written;
    if (!file || !GetFileTime(file.get(), nullptr, nullptr, &written)) return -1;
    return FileTimeToPackedDate(written);
}

std::string VariantToText(const Variant& v) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(int32_t i) const { return std::to_string(i); }
        std::string operator()(int64_t i) const { return std::to_string(i); }
        std::string operator()(double d) const {
            char buf[64];
            snprintf(buf, sizeof buf, "%.15g", d);
            return buf;
        }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(const std::string& s) const { return s; }
    };
    return std::visit(Visitor{}, v);
}

int32_t VariantToInt(const Variant& v) {
    if (IsNull(v)) return 0;
    if (auto i = std::get_if<int32_t>(&v)) return *i;
    if (auto i = std::get_if<int64_t>(&v)) return static_cast<int32_t>(*i);
    if (auto b = std::get_if<bool>(&v)) return *b ? -1 : 0;
    if (auto d = std::get_if<double>(&v)) return static_cast<int32_t>(*d);
    int32_t value = 0;
    if (!TryStrToInt(std::get<std::string>(v), value))
        throw EConvertError("Could not convert variant of type (String) into type (Integer)");
    return value;
}

bool TryStrToInt(const std::string& text, int32_t& value) {
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16, ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16, i += 2;
    } else if (i < n && (text[i] == 'x' || text[i] == 'X')) {
        base = 16, ++i;
    }
    if (i >= n) return false;
    int64_t magnitude = 0;
    for (; i < n; ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'                 ? c - '0'
                    : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
        if (digit < 0) return false;
        magnitude = magnitude * base + digit;
        if (magnitude > (base == 16 ? 0xFFFFFFFFLL : 0x80000000LL)) return false;
    }
    int64_t result = negative ? -magnitude : magnitude;
    if (base == 16 && !negative && magnitude > 0x7FFFFFFF) result = static_cast<int32_t>(magnitude);
    if (result < INT32_MIN || result > INT32_MAX) return false;
    value = static_cast<int32_t>(result);
    return true;
}

}  // namespace pelvane
