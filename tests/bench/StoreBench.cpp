// Times the project file operations on large farms at 1x, 2x and 4x, next to
// bare SQLite doing the same rows on the same machine: inserts through one reused prepared
// statement in one transaction, and the same five selects.
//
//   store_bench [runs]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "LargeFarm.h"
#include "ProjectManager.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The farm's rows, already in the form SQLite takes.
struct Rows {
    struct SpaceRow { int id; std::string name, polygon, created, updated; };
    struct PlantRow { int id, spaceId, x, y; std::string name, notes, planted, created, updated; };
    struct TaskRow { int id, completed; std::string name, description, due, created, updated; };
    std::vector<SpaceRow> spaces;
    std::vector<PlantRow> plants;
    std::vector<TaskRow> tasks;
    std::vector<std::pair<int, int>> spaceLinks, plantLinks;  // (task, other)
};

std::string PolygonText(const std::vector<POINT>& polygon) {
    std::string t = "[";
    for (size_t i = 0; i < polygon.size(); ++i) {
        if (i) t += ',';
        t += "{\"x\":" + std::to_string(polygon[i].x) + ",\"y\":" + std::to_string(polygon[i].y) + "}";
    }
    return t + "]";
}

Rows Collect(ProjectManager& pm) {
    auto u8 = [](const WString& s) { return ProjectManager::WStringToString(s); };
    Rows r;
    for (const Space& s : pm.GetSpaces()) {
        r.spaces.push_back({s.id, u8(s.name), PolygonText(s.polygon), u8(s.createdAt), u8(s.updatedAt)});
        for (const Plant& p : s.plants)
            r.plants.push_back({p.id, p.spaceId, p.position.x, p.position.y, u8(p.name), u8(p.notes),
                                u8(p.plantedDate), u8(p.createdAt), u8(p.updatedAt)});
    }
    for (const Task& t : pm.GetAllTasks()) {
        r.tasks.push_back({t.id, t.completed ? 1 : 0, u8(t.name), u8(t.description), u8(t.dueDate),
                           u8(t.createdAt), u8(t.updatedAt)});
        for (int32_t s : pm.GetTaskSpaces(t.id)) r.spaceLinks.emplace_back(t.id, s);
        for (int32_t p : pm.GetTaskPlants(t.id)) r.plantLinks.emplace_back(t.id, p);
    }
    return r;
}

void Exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "baseline: %s: %s\n", sql, message ? message : "?");
        std::exit(2);
    }
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "baseline: %s: %s\n", sql, sqlite3_errmsg(db));
        std::exit(2);
    }
    return stmt;
}

void StepReset(sqlite3* db, sqlite3_stmt* stmt) {
    if (sqlite3_step(stmt) != SQLITE_DONE) {
        std::fprintf(stderr, "baseline insert: %s\n", sqlite3_errmsg(db));
        std::exit(2);
    }
    sqlite3_reset(stmt);
}

void Text(sqlite3_stmt* stmt, int i, const std::string& s) {
    sqlite3_bind_text(stmt, i, s.c_str(), -1, SQLITE_STATIC);
}

// A file set up like a project file, then every row in one transaction.
double BaselineInsert(const std::string& path, const Rows& r) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    Exec(db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA temp_store = MEMORY;"
             "PRAGMA mmap_size = 268435456;");
    Exec(db, "CREATE TABLE metadata (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
             "CREATE TABLE spaces (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL, polygon_data TEXT NOT NULL,"
             " created_at TEXT NOT NULL, updated_at TEXT NOT NULL);"
             "CREATE TABLE plants (id INTEGER PRIMARY KEY AUTOINCREMENT, space_id INTEGER NOT NULL, name TEXT NOT NULL,"
             " x INTEGER NOT NULL, y INTEGER NOT NULL, notes TEXT, planted_date TEXT, created_at TEXT NOT NULL,"
             " updated_at TEXT NOT NULL);"
             "CREATE TABLE tasks (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL, description TEXT,"
             " completed INTEGER NOT NULL DEFAULT 0, priority INTEGER NOT NULL DEFAULT 0, due_date TEXT,"
             " created_at TEXT NOT NULL, updated_at TEXT NOT NULL);"
             "CREATE TABLE spaces_tasks (space_id INTEGER NOT NULL, task_id INTEGER NOT NULL,"
             " PRIMARY KEY (task_id, space_id));"
             "CREATE TABLE plants_tasks (plant_id INTEGER NOT NULL, task_id INTEGER NOT NULL,"
             " PRIMARY KEY (task_id, plant_id));");

    Clock::time_point start = Clock::now();
    Exec(db, "BEGIN TRANSACTION;");
    sqlite3_stmt* s = Prepare(db, "INSERT INTO spaces (id, name, polygon_data, created_at, updated_at) VALUES (?, ?, ?, ?, ?);");
    for (const auto& row : r.spaces) {
        sqlite3_bind_int(s, 1, row.id);
        Text(s, 2, row.name);
        Text(s, 3, row.polygon);
        Text(s, 4, row.created);
        Text(s, 5, row.updated);
        StepReset(db, s);
    }
    sqlite3_finalize(s);
    s = Prepare(db, "INSERT INTO plants (id, space_id, name, x, y, notes, planted_date, created_at, updated_at) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?);");
    for (const auto& row : r.plants) {
        sqlite3_bind_int(s, 1, row.id);
        sqlite3_bind_int(s, 2, row.spaceId);
        Text(s, 3, row.name);
        sqlite3_bind_int(s, 4, row.x);
        sqlite3_bind_int(s, 5, row.y);
        Text(s, 6, row.notes);
        Text(s, 7, row.planted);
        Text(s, 8, row.created);
        Text(s, 9, row.updated);
        StepReset(db, s);
    }
    sqlite3_finalize(s);
    s = Prepare(db, "INSERT INTO tasks (id, name, description, completed, due_date, created_at, updated_at) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?);");
    for (const auto& row : r.tasks) {
        sqlite3_bind_int(s, 1, row.id);
        Text(s, 2, row.name);
        Text(s, 3, row.description);
        sqlite3_bind_int(s, 4, row.completed);
        Text(s, 5, row.due);
        Text(s, 6, row.created);
        Text(s, 7, row.updated);
        StepReset(db, s);
    }
    sqlite3_finalize(s);
    s = Prepare(db, "INSERT INTO spaces_tasks (space_id, task_id) VALUES (?, ?);");
    for (const auto& link : r.spaceLinks) {
        sqlite3_bind_int(s, 1, link.second);
        sqlite3_bind_int(s, 2, link.first);
        StepReset(db, s);
    }
    sqlite3_finalize(s);
    s = Prepare(db, "INSERT INTO plants_tasks (plant_id, task_id) VALUES (?, ?);");
    for (const auto& link : r.plantLinks) {
        sqlite3_bind_int(s, 1, link.second);
        sqlite3_bind_int(s, 2, link.first);
        StepReset(db, s);
    }
    sqlite3_finalize(s);
    Exec(db, "COMMIT;");
    double ms = MsSince(start);
    sqlite3_close(db);
    return ms;
}

// The five selects of an open, every column read, on a fresh connection.
double BaselineSelect(const std::string& path, long long& rows) {
    Clock::time_point start = Clock::now();
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const char* const selects[] = {
        "SELECT id, name, polygon_data, created_at, updated_at FROM spaces ORDER BY name;",
        "SELECT id, space_id, name, x, y, notes, planted_date, created_at, updated_at FROM plants ORDER BY name;",
        "SELECT id, name, description, completed, due_date, created_at, updated_at FROM tasks ORDER BY name;",
        "SELECT task_id, space_id FROM spaces_tasks;",
        "SELECT task_id, plant_id FROM plants_tasks;",
    };
    long long bytes = 0;
    rows = 0;
    for (const char* sql : selects) {
        sqlite3_stmt* s = Prepare(db, sql);
        while (sqlite3_step(s) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                if (sqlite3_column_type(s, c) == SQLITE_INTEGER) bytes += sqlite3_column_int(s, c) & 1;
                else if (sqlite3_column_text(s, c)) bytes += sqlite3_column_bytes(s, c);
            }
        }
        sqlite3_finalize(s);
    }
    double ms = MsSince(start);
    sqlite3_close(db);
    if (bytes < 0) std::printf("?");
    return ms;
}

void RemoveDb(const fs::path& p) {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(p.u8string() + suffix, ec);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 1;
    if (runs < 1) runs = 1;
    fs::path dir = fs::temp_directory_path() / ("tilvo-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::create_directories(dir);
    fs::path projectPath = dir / "farm.tvp";
    fs::path baselinePath = dir / "baseline.db";

    LargeFarmSize base;
    std::printf("Large farm 1x: %d spaces of %d vertices, %d plants, %d tasks, %d links (%d task-space, %d task-plant)\n",
                base.spaces, base.verticesPerSpace, base.plants, base.tasks, base.spaceLinks + base.plantLinks,
                base.spaceLinks, base.plantLinks);
    std::printf("SQLite %s\n\n", sqlite3_libversion());
    std::printf("%-5s %-4s %10s %10s %10s %14s %14s %10s\n", "farm", "run", "SaveAs ms", "Save ms", "Open ms",
                "bare insert ms", "bare select ms", "file KiB");

    int status = 0;
    for (int factor : {1, 2, 4}) {
        LargeFarmSize size = base.Scaled(factor);
        for (int run = 1; run <= runs; ++run) {
            RemoveDb(projectPath);
            RemoveDb(baselinePath);
            ProjectManager pm;
            BuildLargeFarm(pm, size);

            WString widePath = ProjectManager::StringToWString(projectPath.u8string());
            Clock::time_point t = Clock::now();
            bool ok = pm.SaveProjectAs(widePath);
            double saveAsMs = MsSince(t);
            t = Clock::now();
            ok = ok && pm.SaveProject();
            double saveMs = MsSince(t);
            if (!ok) {
                std::printf("save failed: %s\n", ProjectManager::WStringToString(pm.GetLastError()).c_str());
                return 1;
            }
            Rows rows = Collect(pm);
            pm.CloseProject();
            uintmax_t fileKiB = fs::file_size(projectPath) / 1024;

            ProjectManager opened;
            t = Clock::now();
            ok = opened.OpenProject(widePath);
            double openMs = MsSince(t);
            size_t plants = 0;
            for (const Space& s : opened.GetSpaces()) plants += s.plants.size();
            if (!ok || opened.GetSpaces().size() != rows.spaces.size() || plants != rows.plants.size() ||
                opened.GetAllTasks().size() != rows.tasks.size()) {
                std::printf("open gave a different project: %s\n",
                            ProjectManager::WStringToString(opened.GetLastError()).c_str());
                status = 1;
            }
            opened.CloseProject();

            double insertMs = BaselineInsert(baselinePath.u8string(), rows);
            long long selected = 0;
            double selectMs = BaselineSelect(baselinePath.u8string(), selected);
            long long expectedRows = static_cast<long long>(rows.spaces.size() + rows.plants.size() +
                                                            rows.tasks.size() + rows.spaceLinks.size() +
                                                            rows.plantLinks.size());
            if (selected != expectedRows) {
                std::printf("baseline selected %lld rows, expected %lld\n", selected, expectedRows);
                status = 1;
            }
            std::printf("%-5s %-4d %10.0f %10.0f %10.0f %14.0f %14.0f %10ju\n",
                        (std::to_string(factor) + "x").c_str(), run, saveAsMs, saveMs, openMs, insertMs, selectMs,
                        fileKiB);
            std::fflush(stdout);
        }
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return status;
}
