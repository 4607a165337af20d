#include "common/Text.h"

#include <windows.h>

#include <cstdint>

namespace pelvane {
namespace {

std::wstring ToWide(std::string_view s, UINT cp) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string FromWide(std::wstring_view w, UINT cp) {
    if (w.empty()) return {};
    // UTF-8 takes neither flags nor a default character.
    const DWORD flags = cp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = cp == CP_UTF8 ? nullptr : "?";
    int n =
        WideCharToMultiByte(cp, flags, w.data(), static_cast<int>(w.size()), nullptr, 0, fallback, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(cp, flags, w.data(), static_cast<int>(w.size()), s.data(), n, fallback, nullptr);
    return s;
}

template <typename String>
String LowerAtoZ(String s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<typename String::value_type>(c - 'A' + 'a');
    return s;
}

template <typename String>
void CutSystemText(String& text) {
    while (!text.empty() && (static_cast<unsigned>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
}

}  // namespace

std::string AnsiToUtf8(const std::string& ansi) {
    return FromWide(ToWide(ansi, kAnsiCodePage), CP_UTF8);
}
std::string Utf8ToAnsi(const std::string& utf8) {
    return FromWide(ToWide(utf8, CP_UTF8), kAnsiCodePage);
}
std::wstring AnsiToWide(const std::string& ansi) {
    return ToWide(ansi, kAnsiCodePage);
}
std::string WideToAnsi(std::wstring_view wide) {
    return FromWide(wide, kAnsiCodePage);
}
std::wstring Utf8ToWide(const std::string& utf8) {
    return ToWide(utf8, CP_UTF8);
}
std::string WideToUtf8(std::wstring_view wide) {
    return FromWide(wide, CP_UTF8);
}

void AppendCompact(std::string& out, std::wstring_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            uint32_t low = static_cast<uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00), ++i;
        }
        // A lone surrogate is written like any other code point below 0x10000.
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

void AppendFromCompact(std::wstring& out, std::string_view compact) {
    // Only AppendCompact's output comes here: no checks for malformed input.
    const auto* p = reinterpret_cast<const unsigned char*>(compact.data());
    const auto* end = p + compact.size();
    while (p < end) {
        uint32_t c = *p++;
        if (c >= 0xF0) {
            c = ((c & 0x07) << 18) | ((p[0] & 0x3Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu), p += 3;
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
            continue;
        }
        if (c >= 0xE0)
            c = ((c & 0x0F) << 12) | ((p[0] & 0x3Fu) << 6) | (p[1] & 0x3Fu), p += 2;
        else if (c >= 0xC0)
            c = ((c & 0x1F) << 6) | (p[0] & 0x3Fu), p += 1;
        out += static_cast<wchar_t>(c);
    }
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string AsciiLower(std::string s) {
    return LowerAtoZ(std::move(s));
}
std::wstring AsciiLower(std::wstring s) {
    return LowerAtoZ(std::move(s));
}

std::string SysErrorMessage(unsigned long code) {
    char* buf = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             nullptr, code, 0, reinterpret_cast<char*>(&buf), 0, nullptr);
    std::string text(buf ? buf : "", n);
    if (buf) LocalFree(buf);
    CutSystemText(text);
    return text;
}

std::wstring SysErrorMessageW(unsigned long code) {
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    std::wstring text(buf ? buf : L"", n);
    if (buf) LocalFree(buf);
    CutSystemText(text);
    return text;
}

}  // namespace pelvane
