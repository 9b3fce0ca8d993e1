// Helpers for tests that work on real project files: a unique temporary folder
// and a second, independent SQLite connection to look into a file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Records.h"

struct sqlite3;

// A fresh folder under the system's temporary folder, removed with its content
// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // A path inside the folder; `utf8Name` may hold non-ASCII characters.
    std::filesystem::path File(const std::string& utf8Name) const;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The path as the store takes it (UTF-16) and as SQLite takes it (UTF-8).
WString WidePath(const std::filesystem::path& p);
std::string Utf8Path(const std::filesystem::path& p);

std::string ReadBytes(const std::filesystem::path& p);
void WriteBytes(const std::filesystem::path& p, const std::string& bytes);

// A connection of its own to a file, as another program would have.
class SqliteFile {
public:
    explicit SqliteFile(const std::filesystem::path& p);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    // Runs SQL; returns SQLite's message, empty on success.
    std::string Exec(const std::string& sql);
    // Every row of a query, each column as text ("NULL" for NULL), joined by '|'.
    std::vector<std::string> Rows(const std::string& sql);
    // The first column of the first row, "" when there is none.
    std::string Value(const std::string& sql);

private:
    sqlite3* db_ = nullptr;
};

// Changes the file with `sql` through a connection of its own and sets it to
// version 0, which an open that went on would migrate; then expects an open
// to fail with `error`, leave no project open and the file byte for byte.
void ExpectOpenRefusesAndKeepsTheFile(const std::filesystem::path& p, const std::string& sql,
                                      const std::string& error);
