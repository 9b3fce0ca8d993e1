// Saving: SaveProject rewrites the open file in one transaction; SaveProjectAs
// gives the project a file at a new path.
#include "ProjectManager.h"

#include <set>

#include <sqlite3.h>

#include "SqliteColumn.h"
#include "StorePlatform.h"

namespace {

const wchar_t kNoProjectIsOpen[] = L"No project is open";
const wchar_t kChangedElsewhere[] =
    L"The project file was changed by another program since it was opened or last saved. Use Save As to keep "
    L"your changes in a new file.";

// The polygon_data text: compact JSON, [{"x":0,"y":0},...], "[]" for none.
std::string PolygonDataText(const std::vector<POINT>& polygon) {
    std::string text = "[";
    for (size_t i = 0; i < polygon.size(); ++i) {
        if (i) text += ',';
        text += "{\"x\":";
        text += std::to_string(static_cast<int32_t>(polygon[i].x));
        text += ",\"y\":";
        text += std::to_string(static_cast<int32_t>(polygon[i].y));
        text += '}';
    }
    text += ']';
    return text;
}

void BindText(sqlite3_stmt* stmt, int index, const std::string& utf8) {
    sqlite3_bind_text(stmt, index, utf8.c_str(), -1, SQLITE_TRANSIENT);
}

// A table's own conflict clause (a file written by other software may carry
// one) can drop or replace an inserted row without failing the insert, so a
// save counts what each table kept. Empty when it kept every row written.
WString RowsLost(sqlite3* db, const char* table, size_t written) {
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = std::string("SELECT count(*) FROM ") + table + ";";
    int64_t kept = -1;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        kept = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    if (kept == static_cast<int64_t>(written)) return WString();
    if (kept < 0) return L"SQL Error: " + ProjectManager::StringToWString(sqlite3_errmsg(db));
    return L"Failed to save: the file's table \"" + ProjectManager::StringToWString(table) + L"\" kept " +
           std::to_wstring(kept) + L" of the " + std::to_wstring(written) + L" rows written";
}

// The metadata table's own constraints can make INSERT OR REPLACE delete
// another key's row (a unique value, say), so a save reads back the value
// each key was given last: as it was written, up to its first NUL. Empty when
// every key holds it.
WString MetadataLost(sqlite3* db, const std::vector<std::pair<std::string, std::string>>& written) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT value FROM metadata WHERE key = ?;", -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return L"SQL Error: " + ProjectManager::StringToWString(sqlite3_errmsg(db));
    }
    WString lost;
    for (size_t i = 0; i < written.size() && lost.empty(); ++i) {
        const auto& [key, value] = written[i];
        bool overwritten = false;
        for (size_t later = i + 1; later < written.size(); ++later) overwritten |= written[later].first == key;
        if (overwritten) continue;
        sqlite3_reset(stmt);
        sqlite3_bind_text(stmt, 1, key.c_str(), -1, SQLITE_STATIC);
        const int rc = sqlite3_step(stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            lost = L"SQL Error: " + ProjectManager::StringToWString(sqlite3_errmsg(db));
        } else if (rc == SQLITE_DONE || ColumnBytes(stmt, 0) != value.c_str()) {
            lost = L"Failed to save: the file's table \"metadata\" did not keep \"" +
                   ProjectManager::StringToWString(key) + L"\"";
        }
    }
    sqlite3_finalize(stmt);
    return lost;
}

}  // namespace

bool ProjectManager::InsertRow(const char* sql, const wchar_t* kind,
                               const std::function<void(sqlite3_stmt*)>& bind) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        lastError = WString(L"Failed to prepare insert ") + kind + L": " + StringToWString(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        return false;
    }
    bind(stmt);
    int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc == SQLITE_DONE) return true;
    lastError = WString(L"Failed to insert ") + kind + L": " + StringToWString(sqlite3_errmsg(db));
    return false;
}

// The metadata rows, then every row of the five data tables deleted and
// written again; then what the file kept is checked. Stops at the first
// failure; the caller rolls back.
bool ProjectManager::WriteProjectRows(const MetadataRows& created) {
    for (const auto& [key, value] : created)
        if (!SetMetadata(key, value)) return false;
    MetadataRows metadata = created;
    metadata.insert(metadata.end(), {{"project_name", WStringToString(project.name)},
                                     {"project_description", WStringToString(project.description)},
                                     {"updated_at", WStringToString(GetCurrentTimestamp())}});
    bool metadataOk = true;
    // All three are attempted; the last failure's text stays.
    for (size_t i = created.size(); i < metadata.size(); ++i)
        if (!SetMetadata(metadata[i].first, metadata[i].second)) metadataOk = false;
    if (!metadataOk) return false;

    if (!ExecuteSQL("DELETE FROM spaces;") || !ExecuteSQL("DELETE FROM plants;")) return false;
    for (const Space& s : spaces) {
        bool ok = InsertRow(
            "INSERT INTO spaces (id, name, polygon_data, created_at, updated_at) VALUES (?, ?, ?, ?, ?);",
            L"space", [&](sqlite3_stmt* stmt) {
                sqlite3_bind_int(stmt, 1, s.id);
                BindText(stmt, 2, WStringToString(s.name));
                BindText(stmt, 3, PolygonDataText(s.polygon));
                BindText(stmt, 4, WStringToString(s.createdAt));
                BindText(stmt, 5, WStringToString(s.updatedAt));
            });
        if (!ok) return false;
    }
    for (const Plant& p : plants) {
        bool ok = InsertRow(
            "INSERT INTO plants (id, space_id, name, x, y, notes, planted_date, created_at, updated_at) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?);",
            L"plant", [&](sqlite3_stmt* stmt) {
                sqlite3_bind_int(stmt, 1, p.id);
                sqlite3_bind_int(stmt, 2, p.spaceId);
                BindText(stmt, 3, WStringToString(p.name));
                sqlite3_bind_int(stmt, 4, p.position.x);
                sqlite3_bind_int(stmt, 5, p.position.y);
                BindText(stmt, 6, WStringToString(p.notes));
                BindText(stmt, 7, WStringToString(p.plantedDate));
                BindText(stmt, 8, WStringToString(p.createdAt));
                BindText(stmt, 9, WStringToString(p.updatedAt));
            });
        if (!ok) return false;
    }

    if (!ExecuteSQL("DELETE FROM tasks;") || !ExecuteSQL("DELETE FROM spaces_tasks;")) return false;
    for (const Task& t : tasks) {
        bool ok = InsertRow(
            "INSERT INTO tasks (id, name, description, completed, due_date, created_at, updated_at) "
            "VALUES (?, ?, ?, ?, ?, ?, ?);",
            L"task", [&](sqlite3_stmt* stmt) {
                sqlite3_bind_int(stmt, 1, t.id);
                BindText(stmt, 2, WStringToString(t.name));
                BindText(stmt, 3, WStringToString(t.description));
                sqlite3_bind_int(stmt, 4, t.completed ? 1 : 0);
                BindText(stmt, 5, WStringToString(t.dueDate));
                BindText(stmt, 6, WStringToString(t.createdAt));
                BindText(stmt, 7, WStringToString(t.updatedAt));
            });
        if (!ok) return false;
    }
    // A pair may stand twice in memory (an imported file may repeat it); the
    // file's key takes it once, so each pair is written once.
    std::set<TaskLink> written;
    for (const TaskLink& link : taskSpaceLinks) {
        if (!written.insert(link).second) continue;
        bool ok = InsertRow("INSERT INTO spaces_tasks (space_id, task_id) VALUES (?, ?);", L"task-space relation",
                            [&](sqlite3_stmt* stmt) {
                                sqlite3_bind_int(stmt, 1, link.second);
                                sqlite3_bind_int(stmt, 2, link.first);
                            });
        if (!ok) return false;
    }

    const size_t spaceLinks = written.size();
    if (!ExecuteSQL("DELETE FROM plants_tasks;")) return false;
    written.clear();
    for (const TaskLink& link : taskPlantLinks) {
        if (!written.insert(link).second) continue;
        bool ok = InsertRow("INSERT INTO plants_tasks (plant_id, task_id) VALUES (?, ?);", L"task-plant relation",
                            [&](sqlite3_stmt* stmt) {
                                sqlite3_bind_int(stmt, 1, link.second);
                                sqlite3_bind_int(stmt, 2, link.first);
                            });
        if (!ok) return false;
    }

    const std::pair<const char*, size_t> counts[] = {{"spaces", spaces.size()},
                                                     {"plants", plants.size()},
                                                     {"tasks", tasks.size()},
                                                     {"spaces_tasks", spaceLinks},
                                                     {"plants_tasks", written.size()}};
    for (const auto& [table, rows] : counts) {
        const WString lost = RowsLost(db, table, rows);
        if (lost.empty()) continue;
        lastError = lost;
        return false;
    }
    const WString lost = MetadataLost(db, metadata);
    if (lost.empty()) return true;
    lastError = lost;
    return false;
}

bool ProjectManager::SaveProject() {
    if (!IsProjectOpen()) {
        lastError = kNoProjectIsOpen;
        return false;
    }
    if (isNewProject) {
        lastError = L"Project must be saved to disk first. Use Save As.";
        return false;
    }
    if (!BeginTransaction()) return false;
    // The save replaces every row, so another program's commit since this
    // store last read or wrote the file would be lost without a word. The
    // version is the transaction's first read: a commit after it makes the
    // first write fail, so the check and the write cannot be split.
    int64_t version = 0;
    bool ok = ReadDataVersion(version);
    if (ok && version != fileDataVersion) {
        lastError = kChangedElsewhere;
        ok = false;
    }
    if (!ok || !WriteProjectRows() || !CommitTransaction()) {
        // The rollback's own result does not matter: the failure's text stays.
        WString reason = lastError;
        RollbackTransaction();
        lastError = reason;
        return false;
    }
    project.updatedAt = GetCurrentTimestamp();
    modified = false;
    return true;
}

bool ProjectManager::SaveProjectAs(const WString& path) {
    if (!IsProjectOpen()) {
        lastError = kNoProjectIsOpen;
        return false;
    }
    // The file the project came from keeps the content of its last save.
    if (db) {
        sqlite3_close(db);
        db = nullptr;
        isNewProject = true;
    }

    // A file that this call makes is removed again if the save fails, with
    // the log, index and journal files SQLite made beside it (left there, a
    // log would be replayed into the next file saved or copied to the path);
    // a file that was there stays. Their names come from the connection:
    // SQLite takes them from the full path name, which on Windows has lost
    // any trailing dots and blanks of the name chosen.
    const bool madeHere = storeplatform::CreateNewFile(path);
    bool ok = OpenConnection(path, L"Failed to create database: ");
    std::vector<WString> madeBeside;
    const char* file = ok && madeHere ? sqlite3_db_filename(db, "main") : nullptr;
    if (file && *file) {
        const std::string log = sqlite3_filename_wal(file);
        for (const std::string& beside : {log, log.substr(0, log.size() - 4) + "-shm",
                                          std::string(sqlite3_filename_journal(file))}) {
            WString name = StringToWString(beside);
            if (!storeplatform::PathExists(name)) madeBeside.push_back(std::move(name));
        }
    }
    // A trigger or view in a chosen file would run on the rows written there:
    // such a file is left as it is.
    ok = ok && CheckNoTriggersOrViews(L"SQL Error: ") && CheckTextColumns(L"SQL Error: ") && InitializeDatabase();
    // The metadata and every row go into the file in one transaction, so a
    // failure part-way leaves the file at the path as it was (an existing
    // project file keeps its own name and rows) instead of a mixture.
    bool inTransaction = false;
    if (ok) {
        std::string now = WStringToString(GetCurrentTimestamp());
        ok = inTransaction = BeginTransaction();
        const MetadataRows created = {{"project_name", WStringToString(project.name)},
                                      {"project_description", WStringToString(project.description)},
                                      {"created_at", WStringToString(project.createdAt)},
                                      {"updated_at", now},
                                      {"author", WStringToString(GetSystemUserName())},
                                      {"application_version", "1.0.0"}};
        ok = ok && ReadDataVersion(fileDataVersion) && WriteProjectRows(created) && CommitTransaction();
    }
    if (!ok) {
        WString reason = lastError;
        if (inTransaction) RollbackTransaction();
        sqlite3_close(db);
        db = nullptr;
        if (madeHere) storeplatform::RemoveFile(path);
        for (const WString& beside : madeBeside) storeplatform::RemoveFile(beside);
        lastError = reason;
        return false;
    }

    isNewProject = false;
    project.filePath = path;
    project.updatedAt = GetCurrentTimestamp();
    modified = false;
    return true;
}
