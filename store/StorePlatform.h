// The store's few platform calls, kept apart so that the store also builds
// natively on Linux (for sanitizers and fuzzing).
#pragma once

#include <cstdint>
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

}  // namespace storeplatform
