// The project file's structure and bookkeeping: SQL execution, transactions,
// connection PRAGMAs, the eight tables, the schema version and its migration,
// the metadata table and the check that a file is a project file.
#include "ProjectManager.h"

#include <sqlite3.h>

#include "SqliteColumn.h"

namespace {

// SQLite keeps each column list as written in the file's schema table, so the
// layout of these texts is part of the file format.
const char* const kCreateTables[] = {
    "\n    CREATE TABLE IF NOT EXISTS metadata (\n"
    "        key TEXT PRIMARY KEY,\n"
    "        value TEXT NOT NULL\n"
    "    );\n",

    "\n    CREATE TABLE IF NOT EXISTS settings (\n"
    "        key TEXT PRIMARY KEY,\n"
    "        value TEXT NOT NULL,\n"
    "        type TEXT NOT NULL DEFAULT 'string',\n"
    "        description TEXT\n"
    "    );\n",

    "\n    CREATE TABLE IF NOT EXISTS spaces (\n"
    "        id INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "        name TEXT NOT NULL,\n"
    "        polygon_data TEXT NOT NULL,\n"
    "        created_at TEXT NOT NULL,\n"
    "        updated_at TEXT NOT NULL\n"
    "    );\n",

    "\n    CREATE TABLE IF NOT EXISTS plants (\n"
    "        id INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "        space_id INTEGER NOT NULL,\n"
    "        name TEXT NOT NULL,\n"
    "        x INTEGER NOT NULL,\n"
    "        y INTEGER NOT NULL,\n"
    "        notes TEXT,\n"
    "        planted_date TEXT,\n"
    "        created_at TEXT NOT NULL,\n"
    "        updated_at TEXT NOT NULL,\n"
    "        FOREIGN KEY(space_id) REFERENCES spaces(id) ON DELETE CASCADE\n"
    "    );\n",

    "\n    CREATE TABLE IF NOT EXISTS tasks (\n"
    "        id INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "        name TEXT NOT NULL,\n"
    "        description TEXT,\n"
    "        completed INTEGER NOT NULL DEFAULT 0,\n"
    "        priority INTEGER NOT NULL DEFAULT 0,\n"
    "        due_date TEXT,\n"
    "        created_at TEXT NOT NULL,\n"
    "        updated_at TEXT NOT NULL\n"
    "    );\n",

    "\n    CREATE TABLE IF NOT EXISTS spaces_tasks (\n"
    "        space_id INTEGER NOT NULL,\n"
    "        task_id INTEGER NOT NULL,\n"
    "        PRIMARY KEY (task_id, space_id),\n"
    "        FOREIGN KEY(task_id) REFERENCES tasks(id) ON DELETE CASCADE,\n"
    "        FOREIGN KEY(space_id) REFERENCES spaces(id) ON DELETE CASCADE\n"
    "    );\n",

    "\n    CREATE TABLE IF NOT EXISTS plants_tasks (\n"
    "        plant_id INTEGER NOT NULL,\n"
    "        task_id INTEGER NOT NULL,\n"
    "        PRIMARY KEY (task_id, plant_id),\n"
    "        FOREIGN KEY(task_id) REFERENCES tasks(id) ON DELETE CASCADE,\n"
    "        FOREIGN KEY(plant_id) REFERENCES plants(id) ON DELETE CASCADE\n"
    "    );\n",

    "\n    CREATE TABLE IF NOT EXISTS migrations (\n"
    "        version INTEGER PRIMARY KEY,\n"
    "        applied_at TEXT NOT NULL,\n"
    "        description TEXT\n"
    "    );\n",
};

const char* const kPragmas[] = {
    "PRAGMA journal_mode = WAL;",
    // NORMAL would leave a commit in the write-ahead log unflushed until the
    // next checkpoint, and a power cut before it would take back a save that
    // was reported done.
    "PRAGMA synchronous = FULL;",
    "PRAGMA temp_store = MEMORY;",
    "PRAGMA mmap_size = 268435456;",
};

// The columns that hold text, by table. A column whose declared type gives
// it a numeric affinity would store "007" as 7 and "1.50" as 1.5.
const std::pair<const char*, std::vector<const char*>> kTextColumns[] = {
    {"metadata", {"key", "value"}},
    {"spaces", {"name", "polygon_data", "created_at", "updated_at"}},
    {"plants", {"name", "notes", "planted_date", "created_at", "updated_at"}},
    {"tasks", {"name", "description", "due_date", "created_at", "updated_at"}},
    {"migrations", {"applied_at", "description"}},
};

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// SQLite's rules for a column's affinity from its declared type: true for
// TEXT and for none (BLOB), which store text as it is bound.
bool KeepsTextAsWritten(const std::string& declared) {
    const std::string type = AsciiUpper(declared);
    auto has = [&type](const char* part) { return type.find(part) != std::string::npos; };
    if (has("INT")) return false;
    if (has("CHAR") || has("CLOB") || has("TEXT")) return true;
    return type.empty() || has("BLOB");
}

const char kNewerVersion[] =
    "Project file was created with a newer version of the application. "
    "Please update the application or use at your own risk.";

}  // namespace

bool ProjectManager::OpenConnection(const WString& path, const wchar_t* failure) {
    // Defensive: no statement may alter the schema table by hand or corrupt
    // the file on purpose. Untrusted schema: what the file's own schema holds
    // may call no function that has effects beyond its result. No triggers
    // or views: whatever spelling of the schema got past the check, no code
    // of the file runs; a view fails to read instead.
    if (sqlite3_open(WStringToString(path).c_str(), &db) == SQLITE_OK &&
        sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr) == SQLITE_OK &&
        sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr) == SQLITE_OK &&
        sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr) == SQLITE_OK &&
        sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr) == SQLITE_OK)
        return true;
    lastError = failure + StringToWString(sqlite3_errmsg(db));
    sqlite3_close(db);
    db = nullptr;
    return false;
}

// This program's files hold tables alone. A trigger or a view is SQL that the
// file brings along and that runs whenever a statement touches its table: it
// could drop or change the rows a save writes, or never finish. Only the
// schema table is read, so nothing of the file's own runs before the answer.
// SQLite takes a schema row whatever the case of its type.
bool ProjectManager::CheckNoTriggersOrViews(const wchar_t* unreadable) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(
        db, "SELECT lower(type), name FROM main.sqlite_schema WHERE lower(type) IN ('trigger', 'view');", -1, &stmt,
        nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        auto text = [stmt](int column) { return StringToWString(ColumnBytes(stmt, column)); };
        lastError = L"Failed to validate schema: the file holds the " + text(0) + L" \"" + text(1) +
                    L"\"; project files hold no triggers or views";
    } else if (rc != SQLITE_DONE) {
        lastError = unreadable + StringToWString(sqlite3_errmsg(db));
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}

bool ProjectManager::CheckTextColumns(const wchar_t* unreadable) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name, type FROM pragma_table_xinfo(?, 'main');", -1, &stmt, nullptr) !=
        SQLITE_OK) {
        lastError = unreadable + StringToWString(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        return false;
    }
    int rc = SQLITE_DONE;
    for (const auto& [table, columns] : kTextColumns) {
        sqlite3_reset(stmt);
        sqlite3_bind_text(stmt, 1, table, -1, SQLITE_STATIC);
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const std::string name = ColumnBytes(stmt, 0);
            const std::string type = ColumnBytes(stmt, 1);
            bool holdsText = false;
            for (const char* column : columns) holdsText = holdsText || AsciiUpper(name) == AsciiUpper(column);
            if (!holdsText || KeepsTextAsWritten(type)) continue;
            lastError = L"Failed to validate schema: the column \"" + StringToWString(name) + L"\" of the table \"" +
                        StringToWString(table) + L"\" is declared \"" + StringToWString(type) +
                        L"\", which would change the text saved in it";
            sqlite3_finalize(stmt);
            return false;
        }
        if (rc != SQLITE_DONE) break;
    }
    if (rc != SQLITE_DONE) lastError = unreadable + StringToWString(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}

bool ProjectManager::ReadDataVersion(int64_t& version) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA data_version;", -1, &stmt, nullptr);
    if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) version = sqlite3_column_int64(stmt, 0);
    if (rc != SQLITE_ROW) lastError = L"SQL Error: " + StringToWString(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    return rc == SQLITE_ROW;
}

bool ProjectManager::ExecuteSQL(const std::string& sql) {
    char* message = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK) {
        sqlite3_free(message);
        return true;
    }
    lastError = L"SQL Error: " + StringToWString(message ? message : "Unknown error");
    sqlite3_free(message);
    return false;
}

bool ProjectManager::BeginTransaction() {
    return db != nullptr && ExecuteSQL("BEGIN TRANSACTION;");
}

bool ProjectManager::CommitTransaction() {
    return db != nullptr && ExecuteSQL("COMMIT;");
}

bool ProjectManager::RollbackTransaction() {
    return db != nullptr && ExecuteSQL("ROLLBACK;");
}

bool ProjectManager::ConfigureDatabase() {
    if (!db) return false;
    for (const char* pragma : kPragmas)
        if (!ExecuteSQL(pragma)) return false;
    return true;
}

bool ProjectManager::CreateTables() {
    for (const char* statement : kCreateTables)
        if (!ExecuteSQL(statement)) return false;
    return true;
}

bool ProjectManager::InitializeDatabase() {
    return ConfigureDatabase() && CreateTables() && RunMigrations();
}

int32_t ProjectManager::GetSchemaVersion() {
    if (!db) return -1;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version;", -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return -1;
    }
    int32_t version = 0;
    if (sqlite3_step(stmt) == SQLITE_ROW) version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

bool ProjectManager::SetSchemaVersion(int32_t version) {
    if (!db) return false;
    return ExecuteSQL("PRAGMA user_version = " + std::to_string(version) + ";");
}

bool ProjectManager::RecordMigration(int32_t version, const std::string& description,
                                     const std::string& appliedAt) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO migrations (version, applied_at, description) VALUES (?, ?, ?);",
                           -1, &stmt, nullptr) != SQLITE_OK) {
        lastError = L"Failed to prepare migration record: " + StringToWString(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        return false;
    }
    sqlite3_bind_int(stmt, 1, version);
    sqlite3_bind_text(stmt, 2, appliedAt.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt, 3, description.c_str(), -1, SQLITE_STATIC);
    int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc == SQLITE_DONE) return true;
    lastError = L"Failed to record migration: " + StringToWString(sqlite3_errmsg(db));
    return false;
}

bool ProjectManager::RunMigration(int32_t version) {
    std::string now = WStringToString(GetCurrentTimestamp());
    if (version == 1) {
        if (!RecordMigration(1, "Initial schema", now)) return false;
        return SetSchemaVersion(1);
    }
    lastError = L"Unknown migration version: " + StringToWString(std::to_string(version));
    return false;
}

bool ProjectManager::RunMigrations() {
    if (!db) return false;
    int32_t version = GetSchemaVersion();
    if (version >= 2) {
        lastError = StringToWString(kNewerVersion);
        return true;
    }
    // int64 so that a user_version of INT32_MIN cannot overflow the count.
    for (int64_t v = static_cast<int64_t>(version) + 1; v <= 1; ++v)
        if (!RunMigration(static_cast<int32_t>(v))) return false;
    return true;
}

std::string ProjectManager::GetMetadata(const std::string& key, const std::string& defaultValue) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT value FROM metadata WHERE key = ?;", -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return defaultValue;
    }
    sqlite3_bind_text(stmt, 1, key.c_str(), -1, SQLITE_STATIC);
    std::string result = defaultValue;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt, 0);
        if (text) result.assign(reinterpret_cast<const char*>(text),
                                static_cast<size_t>(sqlite3_column_bytes(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    return result;
}

bool ProjectManager::SetMetadata(const std::string& key, const std::string& value) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO metadata (key, value) VALUES (?, ?);", -1, &stmt,
                           nullptr) != SQLITE_OK) {
        lastError = L"Failed to prepare metadata statement: " + StringToWString(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        return false;
    }
    sqlite3_bind_text(stmt, 1, key.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt, 2, value.c_str(), -1, SQLITE_STATIC);
    int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc == SQLITE_DONE) return true;
    lastError = L"Failed to set metadata: " + StringToWString(sqlite3_errmsg(db));
    return false;
}

bool ProjectManager::ValidateSchema() {
    if (!CheckNoTriggersOrViews(L"Failed to validate schema: ") || !CheckTextColumns(L"Failed to validate schema: "))
        return false;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT name FROM sqlite_master WHERE type='table' AND name IN ('metadata', 'spaces', "
                           "'plants', 'tasks', 'migrations');",
                           -1, &stmt, nullptr) != SQLITE_OK) {
        lastError = L"Failed to validate schema: " + StringToWString(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        return false;
    }
    int rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) ++rows;
    sqlite3_finalize(stmt);
    if (rows < 4) {
        lastError = L"Invalid project file: missing required tables";
        return false;
    }
    return true;
}
