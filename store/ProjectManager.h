// The project store: holds the one open project in memory, hands out copies of
// its records, applies edits and assigns ids.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Records.h"

struct sqlite3;

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

    // Plants
    int32_t CreatePlant(const Plant& plant);
    bool UpdatePlant(const Plant& plant);
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
};
