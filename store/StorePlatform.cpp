#include "StorePlatform.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
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

namespace {

// Most text is ASCII, which is the same code units in UTF-8 and UTF-16: it is
// copied unit for unit, without the general conversion.
template <typename Unit>
bool IsAscii(const Unit* data, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (static_cast<uint32_t>(data[i]) >= 0x80u) return false;
    return true;
}

}  // namespace

#ifdef _WIN32

WString Utf8ToUtf16(const char* data, size_t length) {
    if (length == 0) return WString();
    if (IsAscii(reinterpret_cast<const unsigned char*>(data), length)) return WString(data, data + length);
    int n = MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(length), nullptr, 0);
    if (n <= 0) return WString();
    WString result(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(length), &result[0], n);
    return result;
}

std::string Utf16ToUtf8(const wchar_t* data, size_t length) {
    if (length == 0) return std::string();
    if (IsAscii(data, length)) return std::string(data, data + length);
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
    if (IsAscii(reinterpret_cast<const unsigned char*>(data), length)) return WString(data, data + length);
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
    if (IsAscii(data, length)) return std::string(data, data + length);
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

namespace {

// Tells apart the temporary files of one process.
unsigned temporaryCounter = 0;

bool HasNul(const WString& path) {
    return path.find(L'\0') != WString::npos;
}

// Stores each line feed as CR LF, as the Windows text stream does, handing
// the result to `put` in large blocks (a text-mode write converts and writes
// in small pieces, which costs far more). `put` writes a block whole or fails.
template <typename Put>
bool WriteWithCrLf(const std::string& text, Put put) {
    const size_t kBlock = size_t{1} << 20;
    std::string buffer;
    buffer.reserve(kBlock + 4096);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        size_t end = lf == std::string::npos ? text.size() : lf;
        buffer.append(text, pos, end - pos);
        if (lf != std::string::npos) buffer.append("\r\n", 2);
        pos = end + 1;
        if (buffer.size() >= kBlock) {
            if (!put(buffer.data(), buffer.size())) return false;
            buffer.clear();
        }
    }
    return buffer.empty() || put(buffer.data(), buffer.size());
}

}  // namespace

#ifdef _WIN32

bool OpenTextInput(std::ifstream& stream, const WString& path) {
    if (path.empty() || HasNul(path)) return false;
    stream.open(path.c_str());
    return stream.is_open();
}

bool CreateNewFile(const WString& path) {
    if (path.empty() || HasNul(path)) return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool PathExists(const WString& path) {
    return !path.empty() && !HasNul(path) && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const WString& path) {
    return !path.empty() && !HasNul(path) && DeleteFileW(path.c_str()) != 0;
}

TextFileReplacement::~TextFileReplacement() { Discard(); }

void TextFileReplacement::Discard() {
    if (fd >= 0) _close(fd);
    fd = -1;
    if (created) DeleteFileW(tempPath.c_str());
    created = false;
    inPlace = false;
}

bool TextFileReplacement::BeginInPlace(const NativePath& target) {
    int handle = _wopen(target.c_str(), _O_WRONLY | _O_TRUNC | _O_BINARY | _O_NOINHERIT);
    if (handle < 0) return false;
    fd = handle;
    inPlace = true;
    targetPath = target;
    return true;
}

bool TextFileReplacement::Begin(const WString& target) {
    Discard();
    if (target.empty() || HasNul(target)) return false;
    bool exists = false;
    bool replaceable = true;
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // A truncating stream would be refused these, so the replacement is too.
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
        // Replacing needs leave to delete the target; a program holding it
        // open, or the file's rights, may grant writing alone.
        const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        HANDLE probe = CreateFileW(target.c_str(), GENERIC_WRITE | DELETE, shareAll, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) {
            replaceable = false;
            probe = CreateFileW(target.c_str(), GENERIC_WRITE, shareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
        }
        if (probe == INVALID_HANDLE_VALUE) return false;
        CloseHandle(probe);
        exists = true;
    }
    if (!replaceable) return BeginInPlace(target);
    size_t separator = target.find_last_of(L"\\/:");
    std::wstring folder = separator == std::wstring::npos ? std::wstring() : target.substr(0, separator + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring candidate = folder + L"~tilvo-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(temporaryCounter++) + L".tmp";
        int handle = _wopen(candidate.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                            _S_IREAD | _S_IWRITE);
        if (handle >= 0) {
            fd = handle;
            created = true;
            targetPath = target;
            tempPath = candidate;
            return true;
        }
        if (errno == EACCES && exists) return BeginInPlace(target);  // the folder takes no new files
        if (errno != EEXIST) return false;
    }
    return false;
}

bool TextFileReplacement::Write(const std::string& text) {
    if (fd < 0) return false;
    return WriteWithCrLf(text, [this](const char* data, size_t size) {
        size_t done = 0;
        while (done < size) {
            int written = _write(fd, data + done, static_cast<unsigned>(size - done));
            if (written <= 0) return false;
            done += static_cast<size_t>(written);
        }
        return true;
    });
}

bool TextFileReplacement::Commit() {
    if (fd < 0) return false;
    bool ok = _commit(fd) == 0;
    ok = _close(fd) == 0 && ok;
    fd = -1;
    if (inPlace) {
        inPlace = false;
        return ok;
    }
    ok = ok && MoveFileExW(tempPath.c_str(), targetPath.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        Discard();
        return false;
    }
    created = false;
    return true;
}

#else

bool OpenTextInput(std::ifstream& stream, const WString& path) {
    if (path.empty() || HasNul(path)) return false;
    std::string name = Utf16ToUtf8(path.data(), path.size());
    // A folder opens here but not on Windows; refuse it the same way.
    struct stat info {};
    if (stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return false;
    stream.open(name);
    return stream.is_open();
}

bool CreateNewFile(const WString& path) {
    if (path.empty() || HasNul(path)) return false;
    // The permissions SQLite gives the files it makes.
    int fd = open(Utf16ToUtf8(path.data(), path.size()).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    close(fd);
    return true;
}

bool PathExists(const WString& path) {
    struct stat info;
    return !path.empty() && !HasNul(path) && lstat(Utf16ToUtf8(path.data(), path.size()).c_str(), &info) == 0;
}

bool RemoveFile(const WString& path) {
    return !path.empty() && !HasNul(path) && unlink(Utf16ToUtf8(path.data(), path.size()).c_str()) == 0;
}

TextFileReplacement::~TextFileReplacement() { Discard(); }

void TextFileReplacement::Discard() {
    if (fd >= 0) close(fd);
    fd = -1;
    if (created) unlink(tempPath.c_str());
    created = false;
    inPlace = false;
}

bool TextFileReplacement::BeginInPlace(const NativePath& target) {
    int handle = open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (handle < 0) return false;
    fd = handle;
    inPlace = true;
    targetPath = target;
    return true;
}

bool TextFileReplacement::Begin(const WString& target) {
    Discard();
    if (target.empty() || HasNul(target)) return false;
    std::string path = Utf16ToUtf8(target.data(), target.size());
    struct stat info {};
    bool exists = false;
    if (stat(path.c_str(), &info) == 0) {
        // Never replace a folder, device or pipe with a file.
        if (!S_ISREG(info.st_mode)) return false;
        // A link is followed, as a stream would follow it: the file it names is replaced.
        char* resolved = realpath(path.c_str(), nullptr);
        if (!resolved) return false;
        path = resolved;
        free(resolved);
        int probe = open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0) return false;
        close(probe);
        exists = true;
    } else if (errno != ENOENT) {
        return false;
    }
    size_t separator = path.find_last_of('/');
    std::string folder = separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = folder + "~tilvo-" + std::to_string(getpid()) + "-" +
                                std::to_string(temporaryCounter++) + ".tmp";
        int handle = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle >= 0) {
            fd = handle;
            created = true;
            targetPath = path;
            tempPath = candidate;
            // The new content keeps the old file's permissions.
            if (exists) (void)fchmod(fd, info.st_mode & 07777);
            return true;
        }
        // A folder that takes no new files still lets its files be written.
        if ((errno == EACCES || errno == EPERM) && exists) return BeginInPlace(path);
        if (errno != EEXIST) return false;
    }
    return false;
}

bool TextFileReplacement::Write(const std::string& text) {
    if (fd < 0) return false;
    return WriteWithCrLf(text, [this](const char* data, size_t size) {
        size_t done = 0;
        while (done < size) {
            ssize_t written = ::write(fd, data + done, size - done);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return false;
            done += static_cast<size_t>(written);
        }
        return true;
    });
}

bool TextFileReplacement::Commit() {
    if (fd < 0) return false;
    bool ok = fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    fd = -1;
    if (inPlace) {
        inPlace = false;
        return ok;
    }
    ok = ok && rename(tempPath.c_str(), targetPath.c_str()) == 0;
    if (!ok) {
        Discard();
        return false;
    }
    created = false;
    // Make the rename itself durable; a failure here loses nothing already written.
    size_t separator = targetPath.find_last_of('/');
    std::string folder = separator == std::string::npos ? std::string(".") : targetPath.substr(0, separator + 1);
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)fsync(dir);
        close(dir);
    }
    return true;
}

#endif

}  // namespace storeplatform
