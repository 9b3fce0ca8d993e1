#include "StorePlatform.h"

#include <ctime>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace storeplatform {

std::string FormatLocalTimestamp(int64_t secondsSinceEpoch) {
    struct tm local {};
#ifdef _WIN32
    __time64_t t = secondsSinceEpoch;
    struct tm* p = _localtime64(&t);
    if (p) local = *p;
#else
    time_t t = static_cast<time_t>(secondsSinceEpoch);
    localtime_r(&t, &local);
#endif
    // strftime runs in the classic locale: the program never calls setlocale.
    char buffer[64] = {};
    size_t n = strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(buffer, n);
}

int64_t NowSeconds() {
    return static_cast<int64_t>(std::time(nullptr));
}

#ifdef _WIN32

WString Utf8ToUtf16(const char* data, size_t length) {
    if (length == 0) return WString();
    int n = MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(length), nullptr, 0);
    if (n <= 0) return WString();
    WString result(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(length), &result[0], n);
    return result;
}

std::string Utf16ToUtf8(const wchar_t* data, size_t length) {
    if (length == 0) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, data, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string result(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, data, static_cast<int>(length), &result[0], n, nullptr, nullptr);
    return result;
}

WString LoginName(uint32_t bufferUnits) {
    std::vector<wchar_t> buffer(bufferUnits + 1, L'\0');
    DWORD size = bufferUnits;
    if (!GetUserNameW(buffer.data(), &size)) return L"User";
    return WString(buffer.data());
}

#else

namespace {

// One decoded code point, or -1 for an ill-formed subsequence; `used` is the
// number of bytes consumed (the maximal subpart, at least one byte).
int32_t DecodeOne(const unsigned char* s, size_t n, size_t& used) {
    unsigned char b0 = s[0];
    used = 1;
    if (b0 < 0x80) return b0;
    int need;
    int32_t cp;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) { need = 1; cp = b0 & 0x1F; }
    else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2; cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;  // no encoded surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3; cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        return -1;
    }
    for (int i = 1; i <= need; ++i) {
        if (static_cast<size_t>(i) >= n) return -1;
        unsigned char b = s[i];
        if (b < lo || b > hi) return -1;
        lo = 0x80;
        hi = 0xBF;
        cp = (cp << 6) | (b & 0x3F);
        used = static_cast<size_t>(i) + 1;
    }
    return cp;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

WString Utf8ToUtf16(const char* data, size_t length) {
    WString result;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(data);
    size_t i = 0;
    while (i < length) {
        size_t used = 1;
        int32_t cp = DecodeOne(s + i, length - i, used);
        i += used;
        if (cp < 0) cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            result += static_cast<wchar_t>(0xD800 + (cp >> 10));
            result += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            result += static_cast<wchar_t>(cp);
        }
    }
    return result;
}

std::string Utf16ToUtf8(const wchar_t* data, size_t length) {
    std::string result;
    for (size_t i = 0; i < length; ++i) {
        uint32_t u = static_cast<uint32_t>(data[i]);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < length) {
            uint32_t v = static_cast<uint32_t>(data[i + 1]);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                AppendUtf8(result, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                ++i;
                continue;
            }
        }
        if ((u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF) u = 0xFFFD;
        AppendUtf8(result, u);
    }
    return result;
}

WString LoginName(uint32_t bufferUnits) {
    struct passwd pw {};
    struct passwd* found = nullptr;
    std::vector<char> scratch(4096);
    if (getpwuid_r(geteuid(), &pw, scratch.data(), scratch.size(), &found) != 0 || !found || !pw.pw_name)
        return L"User";
    std::string name(pw.pw_name);
    WString wide = Utf8ToUtf16(name.data(), name.size());
    // Mirrors GetUserNameW: the name and its terminating zero must fit.
    if (wide.empty() || wide.size() + 1 > bufferUnits) return L"User";
    return wide;
}

#endif

}  // namespace storeplatform
