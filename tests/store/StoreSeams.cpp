// Link-time seams for the store's clock, login name and UTF-16 to UTF-8
// conversion. The test program is linked with --wrap for these platform
// functions, so every call the store makes to them lands here first; with no
// script set they pass straight through to the real functions.
#include "StoreSeams.h"

#include <deque>
#include <new>
#include <stdexcept>

#include "StorePlatform.h"

#ifdef _WIN32
#define TILVO_SEAM_INT64 "x"
#define TILVO_SEAM_SIZE "y"
#else
#define TILVO_SEAM_INT64 "l"
#define TILVO_SEAM_SIZE "m"
#endif
#define TILVO_SEAM_FORMAT "_ZN13storeplatform20FormatLocalTimestampB5cxx11E" TILVO_SEAM_INT64
#define TILVO_SEAM_LOGIN "_ZN13storeplatform9LoginNameB5cxx11Ej"
#define TILVO_SEAM_UTF8 "_ZN13storeplatform11Utf16ToUtf8B5cxx11EPKw" TILVO_SEAM_SIZE

std::string RealFormatLocalTimestamp(int64_t seconds) asm("__real_" TILVO_SEAM_FORMAT);
std::string SeamFormatLocalTimestamp(int64_t seconds) asm("__wrap_" TILVO_SEAM_FORMAT);
WString RealLoginName(uint32_t units) asm("__real_" TILVO_SEAM_LOGIN);
WString SeamLoginName(uint32_t units) asm("__wrap_" TILVO_SEAM_LOGIN);
std::string RealUtf16ToUtf8(const wchar_t* data, size_t length) asm("__real_" TILVO_SEAM_UTF8);
std::string SeamUtf16ToUtf8(const wchar_t* data, size_t length) asm("__wrap_" TILVO_SEAM_UTF8);

namespace {

bool clockScripted = false;
std::string clockText;
std::deque<std::string> clockQueue;
seams::Fault clockFault = seams::Fault::None;
bool userScripted = false;
WString userName;
WString brokenMarker;
int clockReadings = 0;

}  // namespace

std::string SeamFormatLocalTimestamp(int64_t seconds) {
    ++clockReadings;
    switch (clockFault) {
    case seams::Fault::None: break;
    case seams::Fault::OutOfMemory: throw std::bad_alloc();
    case seams::Fault::Foreign: throw 42;
    }
    if (!clockScripted) return RealFormatLocalTimestamp(seconds);
    if (!clockQueue.empty()) {
        std::string next = clockQueue.front();
        clockQueue.pop_front();
        return next;
    }
    return clockText;
}

WString SeamLoginName(uint32_t units) {
    return userScripted ? userName : RealLoginName(units);
}

std::string SeamUtf16ToUtf8(const wchar_t* data, size_t length) {
    if (!brokenMarker.empty() && length >= brokenMarker.size() &&
        WString(data, brokenMarker.size()) == brokenMarker)
        return "\xFF\xFE";
    return RealUtf16ToUtf8(data, length);
}

namespace seams {

void SetClock(const std::string& text) {
    clockScripted = true;
    clockText = text;
}

void QueueClock(const std::vector<std::string>& texts) {
    clockScripted = true;
    clockQueue.insert(clockQueue.end(), texts.begin(), texts.end());
}

void FailClock(Fault fault) { clockFault = fault; }

int ClockReadings() { return clockReadings; }

void SetUserName(const WString& name) {
    userScripted = true;
    userName = name;
}

void BreakUtf8For(const WString& marker) { brokenMarker = marker; }

void Reset() {
    clockScripted = false;
    clockText.clear();
    clockQueue.clear();
    clockFault = Fault::None;
    userScripted = false;
    userName.clear();
    brokenMarker.clear();
    clockReadings = 0;
}

}  // namespace seams
