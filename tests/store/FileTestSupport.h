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

// SQL that makes the file's table again with a CHECK constraint "refuse" that
// fails every row written where `condition` holds (the table's rows that meet
// it are left out): a failing write without a trigger, which would not fire.
std::string RefuseRowsSql(const std::filesystem::path& p, const std::string& table, const std::string& condition);

// Changes the file with `sql` through a connection of its own and sets it to
// version 0, which an open that went on would migrate; then expects an open
// to fail with `error`, leave no project open and the file byte for byte.
void ExpectOpenRefusesAndKeepsTheFile(const std::filesystem::path& p, const std::string& sql,
                                      const std::string& error);

// A VFS wrapped around the default one, the default itself while it lives, as
// SQLite's own crash tests do it: it remembers each file's writes since that
// file's last sync and can fail the disk at a chosen write. Writes are counted
// from construction or the last Restore.
class FaultVfs {
public:
    FaultVfs();
    ~FaultVfs();
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    // At the n-th write from now (1 for the next), the power goes: every write
    // not yet synced is undone on disk, and that write and all later I/O fail.
    void CutPowerAtWrite(int n);
    void CutPowerNow();
    // The n-th write from now and every later one fail as on a full disk.
    void FillDiskAtWrite(int n);
    // Power and space come back (once the connections are closed) and the
    // count starts again.
    void Restore();
    int Writes() const;
};
