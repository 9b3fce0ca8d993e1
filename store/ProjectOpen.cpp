// Opening: OpenProject loads a project file into the store; ParsePolygonData
// reads one polygon_data text.
#include "ProjectManager.h"

#include <cmath>

#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include "BoundedJson.h"
#include "IdCounter.h"
#include "SqliteColumn.h"

namespace {

// NULL (allowed in the optional columns, or written by other software in the
// others) reads as empty text.
WString ColumnText(sqlite3_stmt* stmt, int column) {
    return ProjectManager::StringToWString(ColumnBytes(stmt, column));
}

// Whether the file has a table of this name (names compare without regard
// to case, as SQLite compares them).
bool HasTable(sqlite3* db, const char* table) {
    sqlite3_stmt* stmt = nullptr;
    bool found = true;  // when the question cannot be asked, assume it is there
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE;", -1,
                           &stmt, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(stmt, 1, table, -1, SQLITE_STATIC);
        found = sqlite3_step(stmt) == SQLITE_ROW;
    }
    sqlite3_finalize(stmt);
    return found;
}

// Runs one load statement, handing each row to `row`. A missing table loads
// nothing (files may lack one). Returns false with SQLite's message in
// `error` when the table is there but cannot be read, or stepping ends in an
// error: the next save, which rewrites every table from memory, would then
// lose rows.
template <typename RowFn>
bool LoadKind(sqlite3* db, const char* table, const char* sql, std::string& error, RowFn row) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
        return !HasTable(db, table);
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) row(stmt);
    if (rc != SQLITE_DONE) error = sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}

// A JSON value as a 32-bit coordinate: integers keep their low 32 bits,
// floating-point numbers are truncated toward zero (those outside the int32
// range cannot be converted), booleans give 0 or 1.
bool ToCoordinate(const nlohmann::json& value, int32_t& out) {
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        out = static_cast<int32_t>(static_cast<uint32_t>(value.get<int64_t>()));
        return true;
    }
    if (value.is_number_unsigned()) {
        out = static_cast<int32_t>(static_cast<uint32_t>(value.get<uint64_t>()));
        return true;
    }
    if (value.is_number_float()) {
        double d = std::trunc(value.get<double>());
        if (!(d >= -2147483648.0 && d <= 2147483647.0)) return false;
        out = static_cast<int32_t>(d);
        return true;
    }
    if (value.is_boolean()) {
        out = value.get<bool>() ? 1 : 0;
        return true;
    }
    return false;
}

}  // namespace

std::vector<POINT> ProjectManager::ParsePolygonData(const std::string& utf8Json) {
    std::vector<POINT> points;
    try {
        // Parsed as a whole (strict), comments not allowed, nesting bounded.
        nlohmann::json value;
        BoundedDocumentBuilder builder(value);
        nlohmann::json::sax_parse(utf8Json, &builder, nlohmann::json::input_format_t::json, true, false);
        // The library's own iteration: an array's items, an object's member
        // values, a scalar as itself, null as nothing.
        for (const nlohmann::json& element : value) {
            if (!element.is_object() || !element.contains("x") || !element.contains("y")) continue;
            int32_t x = 0;
            int32_t y = 0;
            if (!ToCoordinate(element["x"], x) || !ToCoordinate(element["y"], y)) break;
            POINT point;
            point.x = x;
            point.y = y;
            points.push_back(point);
        }
    } catch (...) {
        // Not JSON, or an error part-way: the points read so far.
    }
    return points;
}

void ProjectManager::FailOpen() {
    WString reason = lastError;
    CloseProject();
    lastError = reason;
}

bool ProjectManager::OpenProject(const WString& path) {
    CloseProject();
    if (!OpenConnection(path, L"Failed to open database: ")) return false;

    // Checking, migrating and loading form one transaction: they see one
    // state of the file, whose schema the check has passed, and a file that
    // cannot be taken whole keeps its version. Closing the connection on
    // failure rolls it back.
    if (!BeginTransaction() || !ValidateSchema() || !RunMigrations()) {
        FailOpen();
        return false;
    }

    project.id = 1;
    project.name = StringToWString(GetMetadata("project_name", "Untitled Project"));
    project.description = StringToWString(GetMetadata("project_description", ""));
    project.createdAt = StringToWString(GetMetadata("created_at", ""));
    project.updatedAt = StringToWString(GetMetadata("updated_at", ""));
    project.schemaVersion = GetSchemaVersion();
    project.filePath = path;

    int32_t maxSpaceId = 0;
    int32_t maxPlantId = 0;
    int32_t maxTaskId = 0;
    spaces.clear();
    std::string readError;
    bool complete = LoadKind(db, "spaces",
                             "SELECT id, name, polygon_data, created_at, updated_at FROM spaces ORDER BY name;",
                             readError, [&](sqlite3_stmt* stmt) {
                                 Space s;
                                 s.id = sqlite3_column_int(stmt, 0);
                                 s.projectId = project.id;
                                 s.name = ColumnText(stmt, 1);
                                 s.polygon = ParsePolygonData(ColumnBytes(stmt, 2));
                                 s.createdAt = ColumnText(stmt, 3);
                                 s.updatedAt = ColumnText(stmt, 4);
                                 if (s.id > maxSpaceId) maxSpaceId = s.id;
                                 spaces.push_back(std::move(s));
                             });
    plants.clear();
    complete = complete &&
               LoadKind(db, "plants",
                        "SELECT id, space_id, name, x, y, notes, planted_date, created_at, updated_at FROM plants "
                        "ORDER BY name;",
                        readError, [&](sqlite3_stmt* stmt) {
                            Plant p;
                            p.id = sqlite3_column_int(stmt, 0);
                            p.spaceId = sqlite3_column_int(stmt, 1);
                            p.name = ColumnText(stmt, 2);
                            p.position.x = sqlite3_column_int(stmt, 3);
                            p.position.y = sqlite3_column_int(stmt, 4);
                            p.notes = ColumnText(stmt, 5);
                            p.plantedDate = ColumnText(stmt, 6);
                            p.createdAt = ColumnText(stmt, 7);
                            p.updatedAt = ColumnText(stmt, 8);
                            if (p.id > maxPlantId) maxPlantId = p.id;
                            plants.push_back(std::move(p));
                        });
    tasks.clear();
    complete = complete &&
               LoadKind(db, "tasks",
                        "SELECT id, name, description, completed, due_date, created_at, updated_at FROM tasks "
                        "ORDER BY name;",
                        readError, [&](sqlite3_stmt* stmt) {
                            Task t;
                            t.id = sqlite3_column_int(stmt, 0);
                            t.name = ColumnText(stmt, 1);
                            t.description = ColumnText(stmt, 2);
                            t.completed = sqlite3_column_int(stmt, 3) != 0;
                            t.dueDate = ColumnText(stmt, 4);
                            t.createdAt = ColumnText(stmt, 5);
                            t.updatedAt = ColumnText(stmt, 6);
                            if (t.id > maxTaskId) maxTaskId = t.id;
                            tasks.push_back(std::move(t));
                        });
    taskSpaceLinks.clear();
    complete = complete && LoadKind(db, "spaces_tasks", "SELECT task_id, space_id FROM spaces_tasks;", readError,
                                    [&](sqlite3_stmt* stmt) {
                   taskSpaceLinks.emplace_back(sqlite3_column_int(stmt, 0), sqlite3_column_int(stmt, 1));
               });
    taskPlantLinks.clear();
    complete = complete && LoadKind(db, "plants_tasks", "SELECT task_id, plant_id FROM plants_tasks;", readError,
                                    [&](sqlite3_stmt* stmt) {
                   taskPlantLinks.emplace_back(sqlite3_column_int(stmt, 0), sqlite3_column_int(stmt, 1));
               });

    // Rows that cannot be read would be lost at the next save, which rewrites
    // every table from memory: refuse the partial project instead.
    if (!complete) {
        lastError = L"Failed to read project file: " + StringToWString(readError);
        FailOpen();
        return false;
    }
    static const wchar_t* const kSharedId[] = {L"Invalid project file: ", L"Invalid project file: ",
                                               L"Invalid project file: "};
    const WString shared = storeids::SharedIdText(spaces, plants, tasks, kSharedId);
    if (!shared.empty()) lastError = shared;
    // Read inside the transaction, so no other program's commit can fall
    // between this state of the file and the version that stands for it.
    if (!shared.empty() || !ReadDataVersion(fileDataVersion) || !CommitTransaction()) {
        FailOpen();
        return false;
    }

    nextSpaceId = storeids::NextId(maxSpaceId);
    nextPlantId = storeids::NextId(maxPlantId);
    nextTaskId = storeids::NextId(maxTaskId);
    modified = false;
    isNewProject = false;
    return true;
}
