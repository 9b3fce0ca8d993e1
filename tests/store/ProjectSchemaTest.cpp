// The project file as SQLite sees it: schema text, PRAGMAs, schema version,
// migrations, metadata and the required-table check.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "FileTestSupport.h"
#include "ProjectManager.h"

namespace {

struct TableDef {
    const char* name;
    std::vector<const char*> lines;
};

// The column and constraint lines of each table, in creation order.
const std::vector<TableDef> kTables = {
    {"metadata", {"key TEXT PRIMARY KEY", "value TEXT NOT NULL"}},
    {"settings",
     {"key TEXT PRIMARY KEY", "value TEXT NOT NULL", "type TEXT NOT NULL DEFAULT 'string'", "description TEXT"}},
    {"spaces",
     {"id INTEGER PRIMARY KEY AUTOINCREMENT", "name TEXT NOT NULL", "polygon_data TEXT NOT NULL",
      "created_at TEXT NOT NULL", "updated_at TEXT NOT NULL"}},
    {"plants",
     {"id INTEGER PRIMARY KEY AUTOINCREMENT", "space_id INTEGER NOT NULL", "name TEXT NOT NULL", "x INTEGER NOT NULL",
      "y INTEGER NOT NULL", "notes TEXT", "planted_date TEXT", "created_at TEXT NOT NULL", "updated_at TEXT NOT NULL",
      "FOREIGN KEY(space_id) REFERENCES spaces(id) ON DELETE CASCADE"}},
    {"tasks",
     {"id INTEGER PRIMARY KEY AUTOINCREMENT", "name TEXT NOT NULL", "description TEXT",
      "completed INTEGER NOT NULL DEFAULT 0", "priority INTEGER NOT NULL DEFAULT 0", "due_date TEXT",
      "created_at TEXT NOT NULL", "updated_at TEXT NOT NULL"}},
    {"spaces_tasks",
     {"space_id INTEGER NOT NULL", "task_id INTEGER NOT NULL", "PRIMARY KEY (task_id, space_id)",
      "FOREIGN KEY(task_id) REFERENCES tasks(id) ON DELETE CASCADE",
      "FOREIGN KEY(space_id) REFERENCES spaces(id) ON DELETE CASCADE"}},
    {"plants_tasks",
     {"plant_id INTEGER NOT NULL", "task_id INTEGER NOT NULL", "PRIMARY KEY (task_id, plant_id)",
      "FOREIGN KEY(task_id) REFERENCES tasks(id) ON DELETE CASCADE",
      "FOREIGN KEY(plant_id) REFERENCES plants(id) ON DELETE CASCADE"}},
    {"migrations", {"version INTEGER PRIMARY KEY", "applied_at TEXT NOT NULL", "description TEXT"}},
};

// SQLite keeps "CREATE TABLE <name>" and the column list exactly as written.
std::string StoredSql(const TableDef& t) {
    std::string sql = std::string("CREATE TABLE ") + t.name + " (";
    for (size_t i = 0; i < t.lines.size(); ++i) {
        sql += "\n        ";
        sql += t.lines[i];
        if (i + 1 < t.lines.size()) sql += ",";
    }
    return sql + "\n    )";
}

const char kNewer[] =
    "Project file was created with a newer version of the application. Please update the application or use at "
    "your own risk.";

bool IsTimestamp(const std::string& s) {
    if (s.size() != 19) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        bool digit = c >= '0' && c <= '9';
        if (i == 4 || i == 7) { if (c != '-') return false; }
        else if (i == 10) { if (c != ' ') return false; }
        else if (i == 13 || i == 16) { if (c != ':') return false; }
        else if (!digit) return false;
    }
    return true;
}

// A saved project file with one space, for tests that then change the file.
void WriteProjectFile(const std::filesystem::path& path) {
    ProjectManager pm;
    ASSERT_TRUE(pm.CreateNewProject(L"Schema Farm", L"desc"));
    Space s;
    s.name = L"Bed";
    s.polygon = {{0, 0}, {10, 0}, {5, 5}};
    ASSERT_EQ(pm.CreateSpace(s), 1);
    ASSERT_TRUE(pm.SaveProjectAs(WidePath(path))) << ProjectManager::WStringToString(pm.GetLastError());
}

class SchemaFile : public ::testing::Test {
protected:
    TempDir dir;
};

}  // namespace

TEST_F(SchemaFile, NewFileHoldsTheSchemaPragmasMigrationAndMetadata) {
    auto path = dir.File("new.tvp");
    WriteProjectFile(path);

    SqliteFile f(path);
    std::vector<std::string> expected;
    for (const TableDef& t : kTables) expected.push_back(std::string(t.name) + "|" + StoredSql(t));
    EXPECT_EQ(f.Rows("SELECT name, sql FROM sqlite_master WHERE type='table' AND name <> 'sqlite_sequence' "
                     "ORDER BY rowid;"),
              expected);
    EXPECT_EQ(f.Value("PRAGMA journal_mode;"), "wal");
    EXPECT_EQ(f.Value("PRAGMA user_version;"), "1");
    EXPECT_EQ(f.Value("PRAGMA foreign_keys;"), "0");

    std::vector<std::string> migrations = f.Rows("SELECT version, applied_at, description FROM migrations;");
    ASSERT_EQ(migrations.size(), 1u);
    EXPECT_EQ(migrations[0].substr(0, 2), "1|");
    EXPECT_TRUE(IsTimestamp(migrations[0].substr(2, 19))) << migrations[0];
    EXPECT_EQ(migrations[0].substr(21), "|Initial schema");

    EXPECT_EQ(f.Value("SELECT count(*) FROM settings;"), "0");

    std::vector<std::string> keys = f.Rows("SELECT key FROM metadata ORDER BY key;");
    EXPECT_EQ(keys, (std::vector<std::string>{"application_version", "author", "created_at", "project_description",
                                              "project_name", "updated_at"}));
    EXPECT_EQ(f.Value("SELECT value FROM metadata WHERE key='project_name';"), "Schema Farm");
    EXPECT_EQ(f.Value("SELECT value FROM metadata WHERE key='project_description';"), "desc");
    EXPECT_TRUE(IsTimestamp(f.Value("SELECT value FROM metadata WHERE key='created_at';")));
    EXPECT_TRUE(IsTimestamp(f.Value("SELECT value FROM metadata WHERE key='updated_at';")));
    EXPECT_EQ(f.Value("SELECT value FROM metadata WHERE key='author';"),
              ProjectManager::WStringToString(ProjectManager::GetSystemUserName()));
    EXPECT_EQ(f.Value("SELECT value FROM metadata WHERE key='application_version';"), "1.0.0");
}

TEST_F(SchemaFile, CreateTablesOnACompleteFileChangesNothing) {
    auto path = dir.File("complete.tvp");
    WriteProjectFile(path);
    std::vector<std::string> before, after;
    {
        SqliteFile f(path);
        before = f.Rows("SELECT type, name, sql FROM sqlite_master ORDER BY rowid;");
    }
    ProjectManager pm;
    ASSERT_TRUE(pm.OpenProject(WidePath(path)));
    EXPECT_TRUE(pm.CreateTables());
    EXPECT_TRUE(pm.RunMigrations());  // version 1: nothing to run
    pm.CloseProject();
    SqliteFile f(path);
    EXPECT_EQ(f.Rows("SELECT type, name, sql FROM sqlite_master ORDER BY rowid;"), before);
    EXPECT_EQ(f.Value("SELECT count(*) FROM migrations;"), "1");
    EXPECT_EQ(f.Value("SELECT count(*) FROM spaces;"), "1");
}

TEST_F(SchemaFile, RequiredTablesFourOfFivePassThreeFail) {
    auto four = dir.File("four.tvp");
    auto three = dir.File("three.tvp");
    {
        SqliteFile f(four);
        ASSERT_EQ(f.Exec("CREATE TABLE metadata (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
                         "CREATE TABLE spaces (id INTEGER PRIMARY KEY, name TEXT, polygon_data TEXT,"
                         " created_at TEXT, updated_at TEXT);"
                         "CREATE TABLE plants (id INTEGER PRIMARY KEY, space_id INTEGER, name TEXT, x INTEGER,"
                         " y INTEGER, notes TEXT, planted_date TEXT, created_at TEXT, updated_at TEXT);"
                         "CREATE TABLE tasks (id INTEGER PRIMARY KEY, name TEXT, description TEXT, completed INTEGER,"
                         " due_date TEXT, created_at TEXT, updated_at TEXT);"
                         "INSERT INTO plants VALUES (5, 9, 'Lone', 1, 2, NULL, NULL, 'c', 'u');"),
                  "");
        SqliteFile g(three);
        ASSERT_EQ(g.Exec("CREATE TABLE metadata (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
                         "CREATE TABLE spaces (id INTEGER PRIMARY KEY);"
                         "CREATE TABLE plants (id INTEGER PRIMARY KEY);"
                         "CREATE TABLE settings (key TEXT);CREATE TABLE spaces_tasks (a);"
                         "CREATE TABLE plants_tasks (a);"),
                  "");
    }
    ProjectManager pm;
    // No migrations table, user_version 0: the migration cannot record itself.
    EXPECT_FALSE(pm.OpenProject(WidePath(four)));
    EXPECT_EQ(ProjectManager::WStringToString(pm.GetLastError()),
              "Failed to prepare migration record: no such table: migrations");
    EXPECT_FALSE(pm.IsProjectOpen());

    {
        SqliteFile f(four);
        ASSERT_EQ(f.Exec("PRAGMA user_version = 1;"), "");
    }
    ASSERT_TRUE(pm.OpenProject(WidePath(four))) << ProjectManager::WStringToString(pm.GetLastError());
    EXPECT_TRUE(pm.ValidateSchema());
    ASSERT_EQ(pm.GetPlantsInSpace(9).size(), 1u);
    EXPECT_EQ(pm.GetPlantsInSpace(9)[0].notes, L"");  // NULL reads as empty
    EXPECT_EQ(pm.GetCurrentProject()->name, L"Untitled Project");

    EXPECT_FALSE(pm.OpenProject(WidePath(three)));
    EXPECT_EQ(pm.GetLastError(), L"Invalid project file: missing required tables");
    EXPECT_FALSE(pm.IsProjectOpen());
    EXPECT_EQ(pm.GetCurrentProject()->id, -1);
}

TEST_F(SchemaFile, FileLackingPlantsOpensWithNoPlants) {
    auto path = dir.File("noplants.tvp");
    WriteProjectFile(path);
    {
        SqliteFile f(path);
        ASSERT_EQ(f.Exec("DROP TABLE plants;"), "");
    }
    ProjectManager pm;
    ASSERT_TRUE(pm.OpenProject(WidePath(path)));
    EXPECT_EQ(pm.GetSpaces().size(), 1u);
    EXPECT_EQ(pm.CreatePlant(Plant()), 1);
    EXPECT_EQ(pm.CreateSpace(Space()), 2);
    // Saving it fails at the missing table and changes nothing.
    EXPECT_FALSE(pm.SaveProject());
    EXPECT_EQ(ProjectManager::WStringToString(pm.GetLastError()), "SQL Error: no such table: plants");
}

TEST_F(SchemaFile, TableThatCannotBeReadFailsTheOpenAndKeepsTheFile) {
    // Another program rebuilt tasks without due_date; its rows must not be
    // lost to the next save. A file of version 0 is not migrated either.
    for (int version : {1, 0}) {
        auto path = dir.File("rebuilt" + std::to_string(version) + ".tvp");
        WriteProjectFile(path);
        {
            SqliteFile f(path);
            ASSERT_EQ(f.Exec("CREATE TABLE t2 (id INTEGER PRIMARY KEY, name TEXT NOT NULL, description TEXT, "
                             "completed INTEGER NOT NULL DEFAULT 0, created_at TEXT NOT NULL, "
                             "updated_at TEXT NOT NULL);"
                             "INSERT INTO t2 VALUES (1, 'Water', '', 0, 'a', 'b');"
                             "DROP TABLE tasks; ALTER TABLE t2 RENAME TO tasks;"
                             "PRAGMA user_version = " + std::to_string(version) + ";"),
                      "");
        }
        std::string bytes = ReadBytes(path);
        ProjectManager pm;
        ASSERT_TRUE(pm.CreateNewProject(L"Before", L""));
        EXPECT_FALSE(pm.OpenProject(WidePath(path)));
        EXPECT_EQ(pm.GetLastError(), L"Failed to read project file: no such column: due_date");
        EXPECT_FALSE(pm.IsProjectOpen());
        EXPECT_TRUE(pm.GetSpaces().empty());
        pm.CloseProject();
        EXPECT_EQ(ReadBytes(path), bytes) << version;
    }
}

TEST_F(SchemaFile, VersionZeroIsMigratedOnOpen) {
    auto path = dir.File("v0.tvp");
    WriteProjectFile(path);
    {
        SqliteFile f(path);
        ASSERT_EQ(f.Exec("DELETE FROM migrations; PRAGMA user_version = 0;"), "");
    }
    ProjectManager pm;
    ASSERT_TRUE(pm.OpenProject(WidePath(path))) << ProjectManager::WStringToString(pm.GetLastError());
    EXPECT_EQ(pm.GetLastError(), L"");
    EXPECT_EQ(pm.GetCurrentProject()->schemaVersion, 1);
    EXPECT_EQ(pm.GetSpaces().size(), 1u);
    EXPECT_FALSE(pm.HasUnsavedChanges());
    {
        SqliteFile f(path);
        EXPECT_EQ(f.Value("PRAGMA user_version;"), "1");
        std::vector<std::string> rows = f.Rows("SELECT version, description FROM migrations;");
        EXPECT_EQ(rows, std::vector<std::string>{"1|Initial schema"});
    }
    // A second run finds version 1 and does nothing.
    std::string before = SqliteFile(path).Value("SELECT applied_at FROM migrations;");
    EXPECT_TRUE(pm.RunMigrations());
    EXPECT_EQ(SqliteFile(path).Value("SELECT count(*) FROM migrations;"), "1");
    EXPECT_EQ(SqliteFile(path).Value("SELECT applied_at FROM migrations;"), before);
}

TEST_F(SchemaFile, NewerVersionOpensWithWarningAndStaysUnchanged) {
    for (int version : {2, 5}) {
        auto path = dir.File("v" + std::to_string(version) + ".tvp");
        WriteProjectFile(path);
        {
            SqliteFile f(path);
            ASSERT_EQ(f.Exec("PRAGMA user_version = " + std::to_string(version) + ";"), "");
        }
        ProjectManager pm;
        ASSERT_TRUE(pm.OpenProject(WidePath(path)));
        EXPECT_EQ(ProjectManager::WStringToString(pm.GetLastError()), kNewer);
        EXPECT_EQ(pm.GetCurrentProject()->schemaVersion, version);
        EXPECT_EQ(pm.GetSpaces().size(), 1u);
        EXPECT_TRUE(pm.IsProjectOpen());
        EXPECT_FALSE(pm.IsNewProject());
        EXPECT_TRUE(pm.RunMigrations());
        pm.CloseProject();
        SqliteFile f(path);
        EXPECT_EQ(f.Value("PRAGMA user_version;"), std::to_string(version));
        EXPECT_EQ(f.Value("SELECT count(*) FROM migrations;"), "1");
    }
}

TEST_F(SchemaFile, NegativeVersionFailsWithTheFirstUnknownMigration) {
    const std::pair<int, const char*> cases[] = {{-1, "Unknown migration version: 0"},
                                                 {-5, "Unknown migration version: -4"}};
    for (const auto& c : cases) {
        auto path = dir.File("neg" + std::to_string(-c.first) + ".tvp");
        WriteProjectFile(path);
        {
            SqliteFile f(path);
            ASSERT_EQ(f.Exec("PRAGMA user_version = " + std::to_string(c.first) + ";"), "");
        }
        ProjectManager pm;
        ASSERT_TRUE(pm.CreateNewProject(L"Previous", L""));
        EXPECT_FALSE(pm.OpenProject(WidePath(path)));
        EXPECT_EQ(ProjectManager::WStringToString(pm.GetLastError()), c.second);
        EXPECT_FALSE(pm.IsProjectOpen());
        EXPECT_FALSE(pm.IsNewProject());
        EXPECT_TRUE(pm.GetSpaces().empty());
        EXPECT_EQ(SqliteFile(path).Value("PRAGMA user_version;"), std::to_string(c.first));
    }
}

TEST(SchemaClosedStore, BookkeepingNeedsAConnection) {
    ProjectManager pm;
    EXPECT_EQ(pm.GetSchemaVersion(), -1);
    EXPECT_FALSE(pm.SetSchemaVersion(1));
    EXPECT_FALSE(pm.BeginTransaction());
    EXPECT_FALSE(pm.CommitTransaction());
    EXPECT_FALSE(pm.RollbackTransaction());
    EXPECT_FALSE(pm.ConfigureDatabase());
    EXPECT_FALSE(pm.RunMigrations());
    EXPECT_EQ(pm.GetLastError(), L"");
}

TEST_F(SchemaFile, MetadataReadsDefaultsAndReplacesValues) {
    auto path = dir.File("meta.tvp");
    WriteProjectFile(path);
    ProjectManager pm;
    ASSERT_TRUE(pm.OpenProject(WidePath(path)));
    EXPECT_EQ(pm.GetMetadata("no_such_key", "fallback"), "fallback");
    EXPECT_EQ(pm.GetMetadata("application_version", "x"), "1.0.0");
    EXPECT_TRUE(pm.SetMetadata("project_name", "Renamed \xC3\xA4"));
    EXPECT_EQ(pm.GetMetadata("project_name", ""), "Renamed \xC3\xA4");
    EXPECT_EQ(SqliteFile(path).Value("SELECT count(*) FROM metadata WHERE key='project_name';"), "1");

    EXPECT_FALSE(pm.ExecuteSQL("BOGUS;"));
    EXPECT_EQ(ProjectManager::WStringToString(pm.GetLastError()), "SQL Error: near \"BOGUS\": syntax error");

    // Without a metadata table every read gives the default, and writes fail.
    EXPECT_TRUE(pm.ExecuteSQL("DROP TABLE metadata;"));
    EXPECT_EQ(pm.GetMetadata("project_name", "dflt"), "dflt");
    EXPECT_FALSE(pm.SetMetadata("k", "v"));
    EXPECT_EQ(ProjectManager::WStringToString(pm.GetLastError()),
              "Failed to prepare metadata statement: no such table: metadata");

    EXPECT_FALSE(pm.RunMigration(3));
    EXPECT_EQ(pm.GetLastError(), L"Unknown migration version: 3");
    EXPECT_TRUE(pm.ExecuteSQL("DROP TABLE migrations;"));
    EXPECT_FALSE(pm.RecordMigration(1, "Initial schema", "now"));
    EXPECT_EQ(ProjectManager::WStringToString(pm.GetLastError()),
              "Failed to prepare migration record: no such table: migrations");
}

TEST_F(SchemaFile, StepFailuresOfMetadataAndMigrationAreReported) {
    auto path = dir.File("steps.tvp");
    WriteProjectFile(path);
    ProjectManager pm;
    ASSERT_TRUE(pm.OpenProject(WidePath(path)));
    ASSERT_TRUE(pm.ExecuteSQL(RefuseRowsSql(path, "metadata", "key = 'project_name'") +
                              RefuseRowsSql(path, "migrations", "1")));
    EXPECT_FALSE(pm.SetMetadata("project_name", "x"));
    EXPECT_EQ(pm.GetLastError(), L"Failed to set metadata: CHECK constraint failed: refuse");
    EXPECT_FALSE(pm.RecordMigration(1, "Initial schema", "now"));
    EXPECT_EQ(pm.GetLastError(), L"Failed to record migration: CHECK constraint failed: refuse");
}

TEST_F(SchemaFile, EmptyProjectNameRowGivesAnEmptyName) {
    auto path = dir.File("empty-name.tvp");
    WriteProjectFile(path);
    {
        SqliteFile f(path);
        ASSERT_EQ(f.Exec("UPDATE metadata SET value='' WHERE key='project_name';"
                         "DELETE FROM metadata WHERE key='created_at';"),
                  "");
    }
    ProjectManager pm;
    ASSERT_TRUE(pm.OpenProject(WidePath(path)));
    EXPECT_EQ(pm.GetCurrentProject()->name, L"");
    EXPECT_EQ(pm.GetCurrentProject()->createdAt, L"");
    EXPECT_EQ(pm.GetCurrentProject()->description, L"desc");
}

TEST_F(SchemaFile, TriggersAndViewsAreRefusedBeforeAnyTableIsRead) {
    const std::pair<const char*, const char*> cases[] = {
        {"CREATE TRIGGER eat BEFORE INSERT ON plants BEGIN SELECT RAISE(IGNORE); END;",
         "Failed to validate schema: the file holds the trigger \"eat\"; project files hold no triggers or views"},
        {"ALTER TABLE spaces RENAME TO kept; CREATE VIEW spaces AS SELECT * FROM kept;",
         "Failed to validate schema: the file holds the view \"spaces\"; project files hold no triggers or views"},
        {"CREATE VIEW Extra AS SELECT 1;",
         "Failed to validate schema: the file holds the view \"Extra\"; project files hold no triggers or views"},
        // SQLite takes a schema row whatever the case of its type.
        {"CREATE TRIGGER audit AFTER INSERT ON spaces BEGIN UPDATE spaces SET name = 'pwned' WHERE id = new.id; END;"
         "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET type = 'TRIGGER' WHERE name = 'audit';",
         "Failed to validate schema: the file holds the trigger \"audit\"; project files hold no triggers or views"},
        {"ALTER TABLE spaces RENAME TO kept; CREATE VIEW spaces AS SELECT * FROM kept;"
         "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET type = 'View' WHERE name = 'spaces';",
         "Failed to validate schema: the file holds the view \"spaces\"; project files hold no triggers or views"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        auto path = dir.File("code" + std::to_string(n++) + ".tvp");
        WriteProjectFile(path);
        ExpectOpenRefusesAndKeepsTheFile(path, c.first, c.second);
    }
}

// A table whose own conflict clause drops rows quietly must not let a save
// report success.
TEST_F(SchemaFile, ASaveThatTheFilesTablesWouldThinFails) {
    auto path = dir.File("thin.tvp");
    WriteProjectFile(path);
    ASSERT_EQ(SqliteFile(path).Exec(
                  "ALTER TABLE spaces RENAME TO old; CREATE TABLE spaces (id INTEGER PRIMARY KEY, name TEXT NOT NULL "
                  "UNIQUE ON CONFLICT IGNORE, polygon_data TEXT NOT NULL, created_at TEXT NOT NULL, updated_at TEXT "
                  "NOT NULL); INSERT INTO spaces SELECT * FROM old; DROP TABLE old;"),
              "");
    ProjectManager pm;
    ASSERT_TRUE(pm.OpenProject(WidePath(path)));
    Space s;
    s.name = L"Bed";
    ASSERT_EQ(pm.CreateSpace(s), 2);
    EXPECT_FALSE(pm.SaveProject());
    EXPECT_EQ(pm.GetLastError(), L"Failed to save: the file's table \"spaces\" kept 1 of the 2 rows written");
    pm.CloseProject();
    EXPECT_EQ(SqliteFile(path).Rows("SELECT id FROM spaces;"), std::vector<std::string>{"1"});

    // A unique value makes INSERT OR REPLACE delete another key's row: a name
    // like the description would take the name away.
    auto same = dir.File("same.tvp");
    WriteProjectFile(same);
    ASSERT_EQ(SqliteFile(same).Exec("UPDATE metadata SET value = 'Same' WHERE key LIKE 'project_%';"
                                    "UPDATE metadata SET value = '2020-01-01 00:00:00' WHERE key = 'created_at';"),
              "");
    ASSERT_EQ(SqliteFile(path).Exec("ALTER TABLE metadata RENAME TO old; CREATE TABLE metadata (key TEXT PRIMARY KEY, "
                                    "value TEXT NOT NULL UNIQUE); INSERT OR IGNORE INTO metadata SELECT * FROM old; "
                                    "DROP TABLE old;"),
              "");
    const std::vector<std::string> metadata = SqliteFile(path).Rows("SELECT * FROM metadata ORDER BY key;");
    ASSERT_TRUE(pm.OpenProject(WidePath(same)));
    EXPECT_FALSE(pm.SaveProjectAs(WidePath(path)));
    EXPECT_EQ(pm.GetLastError(), L"Failed to save: the file's table \"metadata\" did not keep \"project_name\"");
    EXPECT_EQ(SqliteFile(path).Rows("SELECT * FROM metadata ORDER BY key;"), metadata);
}

// Text is written up to its first NUL, and the read-back expects that much.
TEST_F(SchemaFile, ANulInTheNameOrDescriptionDoesNotStopTheSave) {
    auto made = dir.File("made.tvp"), imported = dir.File("imported.tvp"), crafted = dir.File("crafted.tvp");
    ProjectManager pm;
    ASSERT_TRUE(pm.CreateNewProject(WString(L"Bed\0Two", 7), L""));
    EXPECT_TRUE(pm.SaveProjectAs(WidePath(made))) << ProjectManager::WStringToString(pm.GetLastError());
    WriteBytes(dir.File("zero.json"), R"({"metadata": {"project_name": "Farm\u0000Y"}, "spaces": [], "tasks": []})");
    ASSERT_TRUE(pm.ImportFromJSON(WidePath(dir.File("zero.json"))));
    EXPECT_TRUE(pm.SaveProjectAs(WidePath(imported))) << ProjectManager::WStringToString(pm.GetLastError());
    WriteProjectFile(crafted);
    ASSERT_EQ(SqliteFile(crafted).Exec("UPDATE metadata SET value = 'Farm' || char(0) || 'X' WHERE key = "
                                       "'project_description';"),
              "");
    ASSERT_TRUE(pm.OpenProject(WidePath(crafted)));
    EXPECT_TRUE(pm.SaveProject()) << ProjectManager::WStringToString(pm.GetLastError());
    for (const auto& [path, name, description] :
         {std::make_tuple(made, L"Bed", L""), std::make_tuple(imported, L"Farm", L""),
          std::make_tuple(crafted, L"Schema Farm", L"Farm")}) {
        ASSERT_TRUE(pm.OpenProject(WidePath(path))) << Utf8Path(path);
        EXPECT_EQ(pm.GetCurrentProject()->name, name);
        EXPECT_EQ(pm.GetCurrentProject()->description, description);
    }
}

// A column's declared type decides its affinity, which turns text that looks
// like a number into that number ("007" into 7): such a file is refused.
TEST_F(SchemaFile, ColumnsThatWouldRewriteTheirTextAreRefused) {
    const std::pair<const char*, const char*> columns[] = {
        {"spaces", "name INTEGER"},   {"plants", "notes NUMERIC"}, {"tasks", "description REAL"},
        {"plants", "planted_date DATE"}, {"metadata", "value INTEGER"}};
    for (const auto& [table, declaration] : columns) {
        SCOPED_TRACE(declaration);
        const std::string column = std::string(declaration).substr(0, std::string(declaration).find(' '));
        auto path = dir.File(std::string(table) + column + ".tvp");
        WriteProjectFile(path);
        ExpectOpenRefusesAndKeepsTheFile(
            path,
            std::string("PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = replace(sql, '") + column +
                " TEXT', '" + declaration + "') WHERE name = '" + table + "'; PRAGMA writable_schema = OFF;",
            std::string("Failed to validate schema: the column \"") + column + "\" of the table \"" + table +
                "\" is declared \"" + (strchr(declaration, ' ') + 1) + "\", which would change the text saved in it");
    }
    // Types that keep text as written open, and "007" comes back as written.
    for (const std::string type : {"VARCHAR(20)", "NATIVE CHARACTER(70)", "CLOB", "TEXT COLLATE NOCASE", "BLOB", ""}) {
        auto path = dir.File("kept " + type + ".tvp");
        WriteProjectFile(path);
        ASSERT_EQ(SqliteFile(path).Exec("PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = replace(sql, "
                                        "'name TEXT', 'name " + type + "') WHERE name = 'spaces';"),
                  "");
        ProjectManager pm;
        ASSERT_TRUE(pm.OpenProject(WidePath(path))) << ProjectManager::WStringToString(pm.GetLastError());
        Space bed = pm.GetSpaces().at(0);
        bed.name = L"007";
        ASSERT_TRUE(pm.UpdateSpace(bed) && pm.SaveProject() && pm.OpenProject(WidePath(path))) << type;
        EXPECT_EQ(pm.GetSpaces().at(0).name, L"007") << type;
    }
    // Save As onto such a file writes nothing either.
    auto path = dir.File("plantsnotes.tvp");
    const std::string bytes = ReadBytes(path);
    ProjectManager pm;
    ASSERT_TRUE(pm.CreateNewProject(L"007", L"1e3"));
    EXPECT_FALSE(pm.SaveProjectAs(WidePath(path)));
    EXPECT_EQ(ProjectManager::WStringToString(pm.GetLastError()),
              "Failed to validate schema: the column \"notes\" of the table \"plants\" is declared \"NUMERIC\", "
              "which would change the text saved in it");
    EXPECT_TRUE(ReadBytes(path) == bytes);
}

TEST_F(SchemaFile, ConnectionsAreDefensiveAndTrustNoCodeOfTheFile) {
    auto opened = dir.File("opened.tvp");
    auto saved = dir.File("saved.tvp");
    WriteProjectFile(opened);
    ProjectManager pm;
    auto probe = [&pm](const char* step) {
        SCOPED_TRACE(step);
        EXPECT_FALSE(pm.ExecuteSQL("PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = sql WHERE 0;"));
        EXPECT_EQ(pm.GetLastError(), L"SQL Error: table sqlite_master may not be modified");
        // The setting, written into the file for a second connection to read.
        EXPECT_TRUE(pm.ExecuteSQL("CREATE TABLE probe AS SELECT * FROM pragma_trusted_schema;"));
        // Triggers do not fire and views are not read, whatever made them.
        EXPECT_TRUE(pm.ExecuteSQL("CREATE TRIGGER wipe AFTER INSERT ON probe BEGIN DELETE FROM probe; END;"
                                  "CREATE VIEW seen AS SELECT 1; INSERT INTO probe SELECT * FROM probe;"));
        EXPECT_FALSE(pm.ExecuteSQL("SELECT * FROM seen;"));
        EXPECT_EQ(pm.GetLastError(), L"SQL Error: access to view \"seen\" prohibited");
    };
    ASSERT_TRUE(pm.OpenProject(WidePath(opened)));
    probe("open");
    ASSERT_TRUE(pm.SaveProjectAs(WidePath(saved)));
    probe("save as");
    pm.CloseProject();
    for (const auto& path : {opened, saved})
        EXPECT_EQ(SqliteFile(path).Rows("SELECT * FROM probe;"), (std::vector<std::string>{"0", "0"}));
}
