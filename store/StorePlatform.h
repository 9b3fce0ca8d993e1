// The store's few platform calls, kept apart so that the store also builds
// natively on Linux (for sanitizers and fuzzing).
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "Records.h"

namespace storeplatform {

// Local time of the given second since 1970-01-01 UTC as "%Y-%m-%d %H:%M:%S".
std::string FormatLocalTimestamp(int64_t secondsSinceEpoch);

// Seconds since 1970-01-01 UTC, truncated.
int64_t NowSeconds();

// UTF-8 <-> UTF-16 by explicit length; malformed input becomes U+FFFD.
WString Utf8ToUtf16(const char* data, size_t length);
std::string Utf16ToUtf8(const wchar_t* data, size_t length);

// The login name, read into a buffer of the given number of UTF-16 units;
// "User" when it cannot be read or does not fit.
WString LoginName(uint32_t bufferUnits);

// Opens the file for reading through a text-mode stream, naming it exactly:
// on Windows by its UTF-16 path, elsewhere by the path's UTF-8 form.
bool OpenTextInput(std::ifstream& stream, const WString& path);

// Makes an empty file at the path; true only when this call made it (false
// when something is there already or the file cannot be made).
bool CreateNewFile(const WString& path);

// Whether anything (a file, a folder, a link) is at the path.
bool PathExists(const WString& path);

// Removes the file at the path; false when it cannot.
bool RemoveFile(const WString& path);

#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

// Writes a new content for a file so that the old content survives any
// failure: the text goes to a fresh temporary file in the target's folder and
// replaces the target only once it is wholly on disk. Where an existing target
// can be written but not replaced (its folder takes no new files, or another
// program holds it open without leave to delete it), the text is written into
// the target itself, as a plain write would. Line feeds are stored as CR LF, as
// the Windows text stream stores them, on every build.
class TextFileReplacement {
public:
    TextFileReplacement() = default;
    // An unfinished replacement closes and removes its temporary file.
    ~TextFileReplacement();
    TextFileReplacement(const TextFileReplacement&) = delete;
    TextFileReplacement& operator=(const TextFileReplacement&) = delete;

    // False when the target cannot be written (its folder is missing or
    // closed to us, it names a folder or another non-file, or it is read-only
    // or locked) or the temporary file cannot be made. Nothing is left behind.
    bool Begin(const WString& target);
    // Writes the text; false on any failure of the write.
    bool Write(const std::string& text);
    // Flushes the temporary file to disk, closes it and puts it in the
    // target's place; false on any failure, the target then untouched. Written
    // in place, it flushes and closes the target.
    bool Commit();

private:
    void Discard();
    // Opens the existing target itself for writing, emptied.
    bool BeginInPlace(const NativePath& target);

    int fd = -1;
    bool created = false;
    bool inPlace = false;
    NativePath targetPath;
    NativePath tempPath;
};

}  // namespace storeplatform
