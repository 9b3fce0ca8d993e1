#include "FileTestSupport.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>
#include <sqlite3.h>
#ifdef _WIN32
#include <process.h>
#define TILVO_GETPID _getpid
#else
#include <unistd.h>
#define TILVO_GETPID getpid
#endif

#include "ProjectManager.h"

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name = "tilvo-test-" + std::to_string(TILVO_GETPID()) + "-" + std::to_string(counter++) + "-" +
                       std::to_string(ticks % 1000000);
    path_ = fs::temp_directory_path() / name;
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

fs::path TempDir::File(const std::string& utf8Name) const {
    return path_ / fs::u8path(utf8Name);
}

WString WidePath(const fs::path& p) {
    return ProjectManager::StringToWString(p.u8string());
}

std::string Utf8Path(const fs::path& p) {
    return p.u8string();
}

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

SqliteFile::SqliteFile(const fs::path& p) {
    if (sqlite3_open(Utf8Path(p).c_str(), &db_) != SQLITE_OK) {
        std::string message = sqlite3_errmsg(db_);
        sqlite3_close(db_);
        db_ = nullptr;
        throw std::runtime_error("cannot open " + Utf8Path(p) + ": " + message);
    }
}

SqliteFile::~SqliteFile() {
    sqlite3_close(db_);
}

std::string SqliteFile::Exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return std::string();
    std::string text = message ? message : "error";
    sqlite3_free(message);
    return text;
}

std::vector<std::string> SqliteFile::Rows(const std::string& sql) {
    std::vector<std::string> rows;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        rows.push_back(std::string("prepare failed: ") + sqlite3_errmsg(db_));
        return rows;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            if (c) row += '|';
            const unsigned char* text = sqlite3_column_text(stmt, c);
            row += text ? reinterpret_cast<const char*>(text) : "NULL";
        }
        rows.push_back(row);
    }
    sqlite3_finalize(stmt);
    return rows;
}

std::string SqliteFile::Value(const std::string& sql) {
    std::vector<std::string> rows = Rows(sql);
    if (rows.empty()) return std::string();
    std::string first = rows.front();
    return first.substr(0, first.find('|'));
}

void ExpectOpenRefusesAndKeepsTheFile(const fs::path& p, const std::string& sql, const std::string& error) {
    ASSERT_EQ(SqliteFile(p).Exec(sql + "PRAGMA user_version = 0;"), "");
    const std::string bytes = ReadBytes(p);
    ProjectManager pm;
    ASSERT_TRUE(pm.CreateNewProject(L"Before", L""));
    EXPECT_FALSE(pm.OpenProject(WidePath(p)));
    EXPECT_EQ(ProjectManager::WStringToString(pm.GetLastError()), error);
    EXPECT_FALSE(pm.IsProjectOpen());
    EXPECT_TRUE(pm.GetSpaces().empty());
    pm.CloseProject();
    EXPECT_TRUE(ReadBytes(p) == bytes) << "the file was changed";
}
