// Reading the polygon_data text: what the store writes, and whatever else a
// file may hold there.
#include <gtest/gtest.h>

#include "FileTestSupport.h"
#include "ProjectManager.h"

namespace {

std::string Points(const std::string& json) {
    std::string out;
    for (const POINT& p : ProjectManager::ParsePolygonData(json))
        out += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    return out;
}

}  // namespace

TEST(PolygonData, ReadsWhatTheStoreWrites) {
    EXPECT_EQ(Points("[{\"x\":0,\"y\":0},{\"x\":120,\"y\":0},{\"x\":60,\"y\":-80}]"), "(0,0)(120,0)(60,-80)");
    EXPECT_EQ(Points("[]"), "");
    EXPECT_EQ(Points("[{\"x\":-2147483648,\"y\":2147483647}]"), "(-2147483648,2147483647)");
    EXPECT_EQ(Points(" [ { \"y\" : 2 , \"x\" : 1 } ] \n"), "(1,2)");
}

TEST(PolygonData, SkipsWhatIsNotAPointAndStopsAtWhatCannotBeConverted) {
    EXPECT_EQ(Points("[{\"x\":1,\"y\":2},{\"x\":\"3\",\"y\":4},{\"x\":5,\"y\":6}]"), "(1,2)");
    EXPECT_EQ(Points("[7,{\"x\":1,\"y\":2,\"z\":3}]"), "(1,2)");
    EXPECT_EQ(Points("[{\"x\":1},{\"y\":1},{\"x\":2,\"y\":3},[4,5],\"s\",null]"), "(2,3)");
    EXPECT_EQ(Points("[{\"x\":null,\"y\":1},{\"x\":1,\"y\":1}]"), "");
    EXPECT_EQ(Points("[{\"x\":1,\"y\":[2]},{\"x\":1,\"y\":1}]"), "");
    EXPECT_EQ(Points("[{\"x\":1,\"y\":{}}]"), "");
}

TEST(PolygonData, ConvertsNumbersAndBooleans) {
    EXPECT_EQ(Points("[{\"x\":12.9,\"y\":-12.9}]"), "(12,-12)");
    EXPECT_EQ(Points("[{\"x\":true,\"y\":false}]"), "(1,0)");
    EXPECT_EQ(Points("[{\"x\":1e2,\"y\":-0.5}]"), "(100,0)");
    // Integers keep their low 32 bits.
    EXPECT_EQ(Points("[{\"x\":4294967297,\"y\":-4294967297}]"), "(1,-1)");
    EXPECT_EQ(Points("[{\"x\":2147483648,\"y\":18446744073709551615}]"), "(-2147483648,-1)");
    // Floating-point values within range truncate; beyond it they cannot be converted.
    EXPECT_EQ(Points("[{\"x\":2147483647.9,\"y\":-2147483648.9}]"), "(2147483647,-2147483648)");
    EXPECT_EQ(Points("[{\"x\":1,\"y\":1},{\"x\":1e300,\"y\":0},{\"x\":2,\"y\":2}]"), "(1,1)");
    EXPECT_EQ(Points("[{\"x\":0,\"y\":-2147483649.0}]"), "");
}

TEST(PolygonData, OtherValuesUseTheLibrarysIteration) {
    // An object's member values, in key order.
    EXPECT_EQ(Points("{\"b\":{\"x\":1,\"y\":2},\"a\":{\"x\":3,\"y\":4}}"), "(3,4)(1,2)");
    EXPECT_EQ(Points("{\"x\":1,\"y\":2}"), "");
    EXPECT_EQ(Points("5"), "");
    EXPECT_EQ(Points("null"), "");
    EXPECT_EQ(Points("\"text\""), "");
}

TEST(PolygonData, TextThatIsNotOneJsonValueGivesNoPoints) {
    EXPECT_EQ(Points(""), "");
    EXPECT_EQ(Points("not json"), "");
    EXPECT_EQ(Points("[{\"x\":1,\"y\":2}] trailing"), "");
    EXPECT_EQ(Points("/* c */ [{\"x\":1,\"y\":2}]"), "");
    EXPECT_EQ(Points("[{\"x\":1,\"y\":2},"), "");
    EXPECT_EQ(Points("[\"\xFF\xFE\"]"), "");
    EXPECT_EQ(Points(std::string(100000, '[') + std::string(100000, ']')), "");
}

TEST(PolygonData, NestingIsBoundedButOrdinaryDepthReadsAsBefore) {
    std::string shallow = "[{\"x\":1,\"y\":2,\"extra\":" + std::string(900, '[') + std::string(900, ']') + "}]";
    EXPECT_EQ(Points(shallow), "(1,2)");
    // Past the bound the text is refused like one that is not JSON, before the
    // reader spends memory on every level.
    std::string deep = "[{\"x\":1,\"y\":2,\"extra\":" + std::string(5000, '[') + std::string(5000, ']') + "}]";
    EXPECT_EQ(Points(deep), "");
    EXPECT_EQ(Points(std::string(20000000, '[')), "");
}

TEST(PolygonData, OddValuesInAFileStillOpen) {
    TempDir dir;
    auto path = dir.File("odd.tvp");
    {
        ProjectManager pm;
        ASSERT_TRUE(pm.CreateNewProject(L"Odd", L""));
        for (int i = 0; i < 4; ++i) pm.CreateSpace(Space());
        ASSERT_TRUE(pm.SaveProjectAs(WidePath(path)));
    }
    {
        SqliteFile f(path);
        ASSERT_EQ(f.Exec("UPDATE spaces SET name='a', polygon_data='not json' WHERE id=1;"
                         "UPDATE spaces SET name='b', polygon_data='[{\"x\":1,\"y\":2},{\"x\":\"bad\",\"y\":0}]' WHERE id=2;"
                         "UPDATE spaces SET name='c', polygon_data=12 WHERE id=3;"
                         "UPDATE spaces SET name='d', polygon_data=x'5b7b2278223a31' WHERE id=4;"),
                  "");
    }
    ProjectManager pm;
    ASSERT_TRUE(pm.OpenProject(WidePath(path))) << ProjectManager::WStringToString(pm.GetLastError());
    std::vector<Space> spaces = pm.GetSpaces();
    ASSERT_EQ(spaces.size(), 4u);
    EXPECT_TRUE(spaces[0].polygon.empty());
    ASSERT_EQ(spaces[1].polygon.size(), 1u);
    EXPECT_EQ(spaces[1].polygon[0].x, 1);
    EXPECT_EQ(spaces[1].polygon[0].y, 2);
    EXPECT_TRUE(spaces[2].polygon.empty());
    EXPECT_TRUE(spaces[3].polygon.empty());
    EXPECT_EQ(pm.GetLastError(), L"");
}
