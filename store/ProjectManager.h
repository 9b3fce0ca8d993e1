// The project store: holds the one open project in memory, hands out copies of
// its records, applies edits and assigns ids.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Records.h"

struct sqlite3;
struct sqlite3_stmt;

class ProjectManager {
public:
    ProjectManager();
    ~ProjectManager();
    ProjectManager(const ProjectManager&) = delete;
    ProjectManager& operator=(const ProjectManager&) = delete;

    // Project lifecycle
    bool CreateNewProject(const WString& name, const WString& description);
    void CloseProject();

    bool IsProjectOpen() const;
    bool IsNewProject() const;
    bool HasUnsavedChanges() const;
    WString GetLastError() const;
    const ProjectInfo* GetCurrentProject() const;

    // Spaces
    int32_t CreateSpace(const Space& space);
    bool UpdateSpace(const Space& space);
    bool DeleteSpace(int32_t spaceId);
    std::vector<Space> GetSpaces() const;
    // The same picture as GetSpaces, kept between calls and patched by every
    // edit, for the window's paints, drags and presses. Valid until the next
    // store operation that changes spaces or plants.
    const std::vector<Space>& GetSpacesView() const;

    // Plants
    int32_t CreatePlant(const Plant& plant);
    bool UpdatePlant(const Plant& plant);
    // UpdatePlant for each record, in one pass over the plants; a record whose
    // id no plant has leaves "Plant not found." and makes the result false.
    bool UpdatePlants(const std::vector<Plant>& changed);
    bool DeletePlant(int32_t plantId);
    std::vector<Plant> GetPlantsInSpace(int32_t spaceId) const;

    // Tasks
    int32_t CreateTask(const Task& task);
    bool UpdateTask(const Task& task);
    bool DeleteTask(int32_t taskId);
    std::vector<Task> GetAllTasks() const;
    const Task* GetTask(int32_t taskId) const;

    // Task links
    bool AssignSpaceToTask(int32_t taskId, int32_t spaceId);
    bool AssignPlantToTask(int32_t taskId, int32_t plantId);
    bool RemoveSpaceFromTask(int32_t taskId, int32_t spaceId);
    bool RemovePlantFromTask(int32_t taskId, int32_t plantId);
    std::vector<int32_t> GetTaskSpaces(int32_t taskId) const;
    std::vector<int32_t> GetTaskPlants(int32_t taskId) const;

    // Project file
    bool OpenProject(const WString& path);
    bool SaveProject();
    bool SaveProjectAs(const WString& path);

    // Project file bookkeeping. Only the store itself calls these; they are
    // public so that tests can drive a file into each state.
    bool ExecuteSQL(const std::string& sql);
    bool BeginTransaction();
    bool CommitTransaction();
    bool RollbackTransaction();
    bool ConfigureDatabase();
    bool CreateTables();
    bool InitializeDatabase();
    bool ValidateSchema();
    int32_t GetSchemaVersion();
    bool SetSchemaVersion(int32_t version);
    bool RecordMigration(int32_t version, const std::string& description, const std::string& appliedAt);
    bool RunMigration(int32_t version);
    bool RunMigrations();
    std::string GetMetadata(const std::string& key, const std::string& defaultValue);
    bool SetMetadata(const std::string& key, const std::string& value);

    // The vertices held in one polygon_data text; never fails, reads no member.
    static std::vector<POINT> ParsePolygonData(const std::string& utf8Json);

    // JSON exchange file
    bool ExportToJSON(const WString& filePath);
    bool ImportFromJSON(const WString& filePath);

    // Utilities (platform calls live in StorePlatform.cpp)
    static WString GetCurrentTimestamp();
    static WString StringToWString(const std::string& utf8);
    static std::string WStringToString(const WString& utf16);
    static WString GetSystemUserName();

private:
    bool CheckOpen();  // the open check; sets "No project is currently open."
    // Opens `db` on the path with the connection's safeguards set; on failure
    // `failure` and SQLite's message go to lastError and `db` stays null.
    bool OpenConnection(const WString& path, const wchar_t* failure);
    // False when the file holds a trigger or a view, or its schema cannot be
    // read (`unreadable` and SQLite's message then go to lastError).
    bool CheckNoTriggersOrViews(const wchar_t* unreadable);
    // False when a column that holds text has a declared type whose affinity
    // would turn such text into a number, or the columns cannot be read.
    bool CheckTextColumns(const wchar_t* unreadable);
    // PRAGMA data_version of the connection: it changes when another
    // connection commits to the file.
    bool ReadDataVersion(int64_t& version);
    using MetadataRows = std::vector<std::pair<std::string, std::string>>;
    // The body of a save, inside the caller's transaction: `created` first
    // (the keys of a new file), then the metadata and rows of every save.
    bool WriteProjectRows(const MetadataRows& created = MetadataRows());
    bool InsertRow(const char* sql, const wchar_t* kind, const std::function<void(sqlite3_stmt*)>& bind);
    void FailOpen();  // reset as CloseProject does, keeping the reason
    std::vector<Space> BuildSpaces() const;          // GetSpaces without the open check

    sqlite3* db = nullptr;
    ProjectInfo project;
    WString lastError;
    bool modified = false;
    bool isNewProject = false;
    std::vector<Space> spaces;
    std::vector<Plant> plants;
    std::vector<Task> tasks;
    std::vector<TaskLink> taskSpaceLinks;
    std::vector<TaskLink> taskPlantLinks;
    int32_t nextSpaceId = 1;
    int32_t nextPlantId = 1;
    int32_t nextTaskId = 1;
    // The file's data version when this store last read or wrote it whole.
    int64_t fileDataVersion = 0;
    // The cached GetSpaces picture; rebuilt on the first read after a close
    // (which every new, open and import starts with), patched by edits.
    mutable std::vector<Space> spacesView;
    mutable bool spacesViewStale = true;
};
