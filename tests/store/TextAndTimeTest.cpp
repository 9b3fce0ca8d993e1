#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "ProjectManager.h"
#include "StorePlatform.h"

namespace {

WString Units(std::initializer_list<unsigned> units) {
    WString s;
    for (unsigned u : units) s += static_cast<wchar_t>(u);
    return s;
}

}  // namespace

TEST(TextConversion, EmptyGivesEmptyBothWays) {
    EXPECT_TRUE(ProjectManager::StringToWString("").empty());
    EXPECT_TRUE(ProjectManager::WStringToString(L"").empty());
}

TEST(TextConversion, AccentRoundTrips) {
    std::string utf8 = "\xC3\xA9";
    WString wide = ProjectManager::StringToWString(utf8);
    EXPECT_EQ(wide, Units({0x00E9}));
    EXPECT_EQ(ProjectManager::WStringToString(wide), utf8);

    std::string mixed = "Gr\xC3\xBCnkohl \xE2\x82\xAC 5";  // Grünkohl € 5
    EXPECT_EQ(ProjectManager::WStringToString(ProjectManager::StringToWString(mixed)), mixed);
    EXPECT_EQ(ProjectManager::StringToWString(mixed).size(), 12u);
}

TEST(TextConversion, AstralCharacterBecomesSurrogatePair) {
    std::string utf8 = "\xF0\x9F\x8C\xB1";  // U+1F331 seedling
    WString wide = ProjectManager::StringToWString(utf8);
    EXPECT_EQ(wide, Units({0xD83C, 0xDF31}));
    EXPECT_EQ(ProjectManager::WStringToString(wide), utf8);
}

TEST(TextConversion, LengthBoundariesRoundTrip) {
    // The first three-byte character, the last one, and the first that needs
    // four bytes and a surrogate pair.
    struct Case { std::string utf8; WString wide; };
    const Case cases[] = {
        {"\xE0\xA0\x80", Units({0x0800})},
        {"\xEF\xBF\xBF", Units({0xFFFF})},
        {"\xF0\x90\x80\x80", Units({0xD800, 0xDC00})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProjectManager::StringToWString(c.utf8), c.wide) << c.utf8.size();
        EXPECT_EQ(ProjectManager::WStringToString(c.wide), c.utf8) << c.utf8.size();
    }
}

TEST(TextConversion, InvalidByteBecomesReplacementCharacter) {
    std::string utf8 = std::string("a") + '\xFF' + "b";
    WString wide = ProjectManager::StringToWString(utf8);
    EXPECT_EQ(wide, Units({'a', 0xFFFD, 'b'}));

    std::string lone = "\x80";
    EXPECT_EQ(ProjectManager::StringToWString(lone), Units({0xFFFD}));
}

TEST(TextConversion, UnpairedSurrogateBecomesReplacementCharacter) {
    EXPECT_EQ(ProjectManager::WStringToString(Units({'x', 0xD800, 'y'})), "x\xEF\xBF\xBDy");
    EXPECT_EQ(ProjectManager::WStringToString(Units({0xDC00})), "\xEF\xBF\xBD");
}

TEST(TextConversion, EmbeddedNulIsConvertedByLength) {
    std::string utf8("a\0b", 3);
    WString wide = ProjectManager::StringToWString(utf8);
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(wide[1], L'\0');
    EXPECT_EQ(wide[2], L'b');
    std::string back = ProjectManager::WStringToString(wide);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(std::memcmp(back.data(), "a\0b", 3), 0);
}

TEST(Timestamp, FormatIsZeroPaddedTwentyFourHour) {
    struct tm t {};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 1;
    t.tm_hour = 0;
    t.tm_min = 0;
    t.tm_sec = 5;
    t.tm_isdst = -1;
    time_t local = mktime(&t);
    ASSERT_NE(local, static_cast<time_t>(-1));
    EXPECT_EQ(storeplatform::FormatLocalTimestamp(local), "2026-01-01 00:00:05");

    struct tm u {};
    u.tm_year = 2025 - 1900;
    u.tm_mon = 11;
    u.tm_mday = 31;
    u.tm_hour = 23;
    u.tm_min = 9;
    u.tm_sec = 59;
    u.tm_isdst = -1;
    EXPECT_EQ(storeplatform::FormatLocalTimestamp(mktime(&u)), "2025-12-31 23:09:59");
}

TEST(Timestamp, CurrentTimestampIsNineteenCharactersOfNow) {
    WString before = ProjectManager::StringToWString(storeplatform::FormatLocalTimestamp(storeplatform::NowSeconds()));
    WString now = ProjectManager::GetCurrentTimestamp();
    WString after = ProjectManager::StringToWString(storeplatform::FormatLocalTimestamp(storeplatform::NowSeconds()));
    ASSERT_EQ(now.size(), 19u);
    for (size_t i = 0; i < now.size(); ++i) {
        if (i == 4 || i == 7) EXPECT_EQ(now[i], L'-');
        else if (i == 10) EXPECT_EQ(now[i], L' ');
        else if (i == 13 || i == 16) EXPECT_EQ(now[i], L':');
        else EXPECT_TRUE(now[i] >= L'0' && now[i] <= L'9') << "position " << i;
    }
    // The format sorts as text, so the reading lies between its neighbours.
    EXPECT_LE(before, now);
    EXPECT_LE(now, after);
}

TEST(UserName, ReadsTheLoginName) {
    WString name = ProjectManager::GetSystemUserName();
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(name.find(L'\0'), WString::npos);
}

TEST(UserName, FallsBackToUserWhenTheNameDoesNotFit) {
    EXPECT_EQ(storeplatform::LoginName(1), L"User");
    EXPECT_EQ(storeplatform::LoginName(0), L"User");
}
