#include "FileTestSupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
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

std::string RefuseRowsSql(const fs::path& p, const std::string& table, const std::string& condition) {
    std::string create = SqliteFile(p).Value("SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = '" + table +
                                             "';");
    create.insert(create.rfind(')'), ", CONSTRAINT refuse CHECK (NOT (" + condition + "))");
    create.replace(0, std::string("CREATE TABLE " + table).size(), "CREATE TABLE refusing");
    return create + "; INSERT OR IGNORE INTO refusing SELECT * FROM " + table + "; DROP TABLE " + table +
           "; ALTER TABLE refusing RENAME TO " + table + ";";
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

namespace {

// What a write or truncation replaced, to put back when the power goes.
struct Undo {
    sqlite3_int64 offset;
    std::string bytes;
    sqlite3_int64 sizeBefore;
};

struct FaultState {
    sqlite3_vfs* real = nullptr;
    sqlite3_vfs vfs{};
    int writes = 0;
    int failAt = 0;  // 0: never
    bool cutPower = false;
    bool dead = false;  // the power is off
    bool full = false;
    std::map<std::string, std::vector<Undo>> unsynced;
    std::map<std::string, int> openFlags;
} fault;

struct FaultFile {
    sqlite3_file base;
    const char* name;  // SQLite keeps it valid until xClose
    sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<FaultFile*>(f)->real; }

// Reads what lies in [offset, offset + amount) before it changes.
Undo Remember(sqlite3_file* real, sqlite3_int64 offset, sqlite3_int64 amount) {
    Undo undo{offset, std::string(), 0};
    real->pMethods->xFileSize(real, &undo.sizeBefore);
    const sqlite3_int64 end = std::min(offset + amount, undo.sizeBefore);
    if (end > offset) {
        undo.bytes.resize(static_cast<size_t>(end - offset));
        real->pMethods->xRead(real, &undo.bytes[0], static_cast<int>(undo.bytes.size()), offset);
    }
    return undo;
}

// Puts back, newest first, every write that no sync made lasting.
void LoseUnsyncedWrites() {
    std::vector<char> memory(static_cast<size_t>(fault.real->szOsFile));
    auto* file = reinterpret_cast<sqlite3_file*>(memory.data());
    for (auto& [name, undos] : fault.unsynced) {
        int exists = 0;
        fault.real->xAccess(fault.real, name.c_str(), SQLITE_ACCESS_EXISTS, &exists);
        const int flags = (fault.openFlags[name] & ~(SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE |
                                                     SQLITE_OPEN_DELETEONCLOSE | SQLITE_OPEN_READONLY)) |
                          SQLITE_OPEN_READWRITE;
        if (!exists || fault.real->xOpen(fault.real, name.c_str(), file, flags, nullptr) != SQLITE_OK) continue;
        for (auto undo = undos.rbegin(); undo != undos.rend(); ++undo) {
            file->pMethods->xTruncate(file, undo->sizeBefore);
            if (!undo->bytes.empty())
                file->pMethods->xWrite(file, undo->bytes.data(), static_cast<int>(undo->bytes.size()), undo->offset);
        }
        file->pMethods->xClose(file);
    }
    fault.unsynced.clear();
    fault.dead = true;
}

int FaultClose(sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); }

int FaultRead(sqlite3_file* f, void* data, int amount, sqlite3_int64 offset) {
    if (fault.dead) return SQLITE_IOERR_READ;
    return Real(f)->pMethods->xRead(Real(f), data, amount, offset);
}

int FaultWrite(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
    if (fault.dead) return SQLITE_IOERR_WRITE;
    if (++fault.writes == fault.failAt) {
        if (fault.cutPower) {
            LoseUnsyncedWrites();
            return SQLITE_IOERR_WRITE;
        }
        fault.full = true;
    }
    if (fault.full) return SQLITE_FULL;
    const char* name = reinterpret_cast<FaultFile*>(f)->name;
    if (name) fault.unsynced[name].push_back(Remember(Real(f), offset, amount));
    return Real(f)->pMethods->xWrite(Real(f), data, amount, offset);
}

int FaultTruncate(sqlite3_file* f, sqlite3_int64 size) {
    if (fault.dead) return SQLITE_IOERR_TRUNCATE;
    const char* name = reinterpret_cast<FaultFile*>(f)->name;
    if (name) fault.unsynced[name].push_back(Remember(Real(f), size, INT32_MAX));
    return Real(f)->pMethods->xTruncate(Real(f), size);
}

int FaultSync(sqlite3_file* f, int flags) {
    if (fault.dead) return SQLITE_IOERR_FSYNC;
    const int rc = Real(f)->pMethods->xSync(Real(f), flags);
    const char* name = reinterpret_cast<FaultFile*>(f)->name;
    if (rc == SQLITE_OK && name) fault.unsynced.erase(name);
    return rc;
}

int FaultFileSize(sqlite3_file* f, sqlite3_int64* size) {
    if (fault.dead) return SQLITE_IOERR_FSTAT;
    return Real(f)->pMethods->xFileSize(Real(f), size);
}

int FaultLock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int FaultUnlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int FaultCheckReservedLock(sqlite3_file* f, int* out) {
    return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
int FaultFileControl(sqlite3_file* f, int op, void* arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); }
int FaultSectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int FaultDeviceCharacteristics(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }
int FaultShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    return Real(f)->pMethods->xShmMap(Real(f), region, size, extend, out);
}
int FaultShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
}
void FaultShmBarrier(sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); }
int FaultShmUnmap(sqlite3_file* f, int deleteFlag) { return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag); }

// Version 2: shared memory for the write-ahead log, but no memory-mapped
// reads, so that every byte SQLite reads comes through xRead.
const sqlite3_io_methods kFaultMethods = {
    2, FaultClose, FaultRead, FaultWrite, FaultTruncate, FaultSync, FaultFileSize, FaultLock, FaultUnlock,
    FaultCheckReservedLock, FaultFileControl, FaultSectorSize, FaultDeviceCharacteristics, FaultShmMap, FaultShmLock,
    FaultShmBarrier, FaultShmUnmap, nullptr, nullptr};

int FaultOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<FaultFile*>(f);
    file->name = name;
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    file->base.pMethods = nullptr;
    if (fault.dead) return SQLITE_CANTOPEN;
    const int rc = fault.real->xOpen(fault.real, name, file->real, flags, outFlags);
    if (file->real->pMethods) file->base.pMethods = &kFaultMethods;
    if (rc == SQLITE_OK && name) fault.openFlags[name] = flags;
    return rc;
}

int FaultDelete(sqlite3_vfs*, const char* name, int syncDir) {
    if (fault.dead) return SQLITE_IOERR_DELETE;
    fault.unsynced.erase(name);
    return fault.real->xDelete(fault.real, name, syncDir);
}

}  // namespace

FaultVfs::FaultVfs() {
    fault.real = sqlite3_vfs_find(nullptr);
    fault.vfs = *fault.real;
    fault.vfs.zName = "tilvo-fault";
    fault.vfs.szOsFile = static_cast<int>(sizeof(FaultFile)) + fault.real->szOsFile;
    fault.vfs.xOpen = FaultOpen;
    fault.vfs.xDelete = FaultDelete;
    Restore();
    sqlite3_vfs_register(&fault.vfs, 1);
}

FaultVfs::~FaultVfs() {
    sqlite3_vfs_unregister(&fault.vfs);
    sqlite3_vfs_register(fault.real, 1);
    Restore();
}

void FaultVfs::CutPowerAtWrite(int n) {
    fault.failAt = fault.writes + n;
    fault.cutPower = true;
}

void FaultVfs::CutPowerNow() { LoseUnsyncedWrites(); }

void FaultVfs::FillDiskAtWrite(int n) {
    fault.failAt = fault.writes + n;
    fault.cutPower = false;
}

void FaultVfs::Restore() {
    fault.writes = fault.failAt = 0;
    fault.cutPower = fault.dead = fault.full = false;
    fault.unsynced.clear();
}

int FaultVfs::Writes() const { return fault.writes; }
