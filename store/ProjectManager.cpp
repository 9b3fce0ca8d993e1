// In-memory project: lifecycle, records, task links and the utility operations.
#include "ProjectManager.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include <sqlite3.h>

#include "IdCounter.h"
#include "StorePlatform.h"

namespace {

const wchar_t kNoProjectOpen[] = L"No project is currently open.";
const wchar_t kPlantNotFound[] = L"Plant not found.";
const wchar_t kTaskNotFound[] = L"Task not found.";

template <typename Record>
Record* FindById(std::vector<Record>& list, int32_t id) {
    for (Record& r : list)
        if (r.id == id) return &r;
    return nullptr;
}

template <typename Record>
bool EraseFirstById(std::vector<Record>& list, int32_t id) {
    auto it = std::find_if(list.begin(), list.end(), [id](const Record& r) { return r.id == id; });
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

// Calls `patch` for the entry of the spaces view that has the id, if any.
template <typename Patch>
void PatchViewSpaces(std::vector<Space>& view, int32_t spaceId, Patch patch) {
    for (Space& s : view)
        if (s.id == spaceId) patch(s);
}

// The first plant with the id in one space's copy: the copy keeps plant-list
// order, so it is the one FindById finds when that one lies in this space.
Plant* FirstPlant(Space& space, int32_t plantId) {
    return FindById(space.plants, plantId);
}

std::vector<int32_t> LinkedIds(const std::vector<TaskLink>& links, int32_t taskId) {
    std::vector<int32_t> ids;
    for (const TaskLink& l : links)
        if (l.first == taskId) ids.push_back(l.second);
    return ids;
}

}  // namespace

ProjectManager::ProjectManager() = default;

ProjectManager::~ProjectManager() {
    CloseProject();
}

bool ProjectManager::CheckOpen() {
    if (IsProjectOpen()) return true;
    lastError = kNoProjectOpen;
    return false;
}

bool ProjectManager::CreateNewProject(const WString& name, const WString& description) {
    CloseProject();
    project.id = 1;
    project.name = name;
    project.description = description;
    project.filePath.clear();
    project.createdAt = GetCurrentTimestamp();
    project.updatedAt = GetCurrentTimestamp();
    project.schemaVersion = 1;
    modified = false;
    isNewProject = true;
    return true;
}

void ProjectManager::CloseProject() {
    if (db) {
        sqlite3_close(db);
        db = nullptr;
    }
    project = ProjectInfo();
    lastError.clear();
    modified = false;
    isNewProject = false;
    spaces.clear();
    plants.clear();
    tasks.clear();
    taskSpaceLinks.clear();
    taskPlantLinks.clear();
    nextSpaceId = 1;
    nextPlantId = 1;
    nextTaskId = 1;
    spacesView.clear();
    spacesViewStale = true;
}

bool ProjectManager::IsProjectOpen() const {
    return (db != nullptr && project.id != -1) || isNewProject;
}

bool ProjectManager::IsNewProject() const { return isNewProject; }

bool ProjectManager::HasUnsavedChanges() const { return modified; }

WString ProjectManager::GetLastError() const { return lastError; }

const ProjectInfo* ProjectManager::GetCurrentProject() const { return &project; }

// ---- Spaces (failures set no text: callers show their own) ----

int32_t ProjectManager::CreateSpace(const Space& space) {
    if (!IsProjectOpen()) return -1;
    int32_t id = -1;
    if (!storeids::TakeId(nextSpaceId, id)) {
        lastError = L"No more space ids are available.";
        return -1;
    }
    Space copy = space;
    copy.id = id;
    copy.projectId = project.id;
    copy.createdAt = copy.updatedAt = GetCurrentTimestamp();
    spaces.push_back(std::move(copy));
    if (!spacesViewStale) {
        // A plant may already name the new id (create does not check ids).
        Space viewCopy = spaces.back();
        viewCopy.plants.clear();
        for (const Plant& p : plants)
            if (p.spaceId == viewCopy.id) viewCopy.plants.push_back(p);
        spacesView.push_back(std::move(viewCopy));
    }
    modified = true;
    return spaces.back().id;
}

bool ProjectManager::UpdateSpace(const Space& space) {
    if (!IsProjectOpen()) return false;
    Space* stored = FindById(spaces, space.id);
    if (!stored) return false;
    stored->name = space.name;
    stored->polygon = space.polygon;
    stored->updatedAt = GetCurrentTimestamp();
    if (!spacesViewStale) {
        Space& view = spacesView[static_cast<size_t>(stored - spaces.data())];
        view.name = stored->name;
        view.polygon = stored->polygon;
        view.updatedAt = stored->updatedAt;
    }
    modified = true;
    return true;
}

bool ProjectManager::DeleteSpace(int32_t spaceId) {
    if (!IsProjectOpen()) return false;
    plants.erase(std::remove_if(plants.begin(), plants.end(),
                                [spaceId](const Plant& p) { return p.spaceId == spaceId; }),
                 plants.end());
    if (!spacesViewStale) PatchViewSpaces(spacesView, spaceId, [](Space& s) { s.plants.clear(); });
    Space* stored = FindById(spaces, spaceId);
    if (!stored) return false;
    const size_t index = static_cast<size_t>(stored - spaces.data());
    spaces.erase(spaces.begin() + static_cast<std::ptrdiff_t>(index));
    if (!spacesViewStale) spacesView.erase(spacesView.begin() + static_cast<std::ptrdiff_t>(index));
    modified = true;
    return true;
}

std::vector<Space> ProjectManager::GetSpaces() const {
    if (!IsProjectOpen()) return {};
    return BuildSpaces();
}

const std::vector<Space>& ProjectManager::GetSpacesView() const {
    static const std::vector<Space> kNone;
    if (!IsProjectOpen()) return kNone;
    if (spacesViewStale) {
        spacesView = BuildSpaces();
        spacesViewStale = false;
    }
    return spacesView;
}

std::vector<Space> ProjectManager::BuildSpaces() const {
    std::vector<Space> result;
    // The window asks for this on every paint and pointer move: group the
    // plants by space id in one pass instead of scanning every plant per space.
    std::unordered_map<int32_t, std::vector<const Plant*>> plantsBySpace;
    plantsBySpace.reserve(spaces.size());
    for (const Space& s : spaces) plantsBySpace.emplace(s.id, std::vector<const Plant*>());
    for (const Plant& p : plants) {
        auto it = plantsBySpace.find(p.spaceId);
        if (it != plantsBySpace.end()) it->second.push_back(&p);
    }
    result.reserve(spaces.size());
    for (const Space& s : spaces) {
        result.push_back(s);
        Space& copy = result.back();
        copy.plants.clear();
        const std::vector<const Plant*>& own = plantsBySpace[s.id];
        copy.plants.reserve(own.size());
        for (const Plant* p : own) copy.plants.push_back(*p);
    }
    return result;
}

// ---- Plants ----

int32_t ProjectManager::CreatePlant(const Plant& plant) {
    if (!CheckOpen()) return -1;
    int32_t id = -1;
    if (!storeids::TakeId(nextPlantId, id)) {
        lastError = L"No more plant ids are available.";
        return -1;
    }
    Plant copy = plant;
    copy.id = id;
    copy.createdAt = copy.updatedAt = GetCurrentTimestamp();
    plants.push_back(std::move(copy));
    if (!spacesViewStale)
        PatchViewSpaces(spacesView, plants.back().spaceId, [this](Space& s) { s.plants.push_back(plants.back()); });
    modified = true;
    return plants.back().id;
}

bool ProjectManager::UpdatePlant(const Plant& plant) {
    if (!CheckOpen()) return false;
    Plant* stored = FindById(plants, plant.id);
    if (!stored) {
        lastError = kPlantNotFound;
        return false;
    }
    stored->name = plant.name;
    stored->position = plant.position;
    stored->notes = plant.notes;
    stored->plantedDate = plant.plantedDate;
    stored->updatedAt = GetCurrentTimestamp();
    if (!spacesViewStale)
        PatchViewSpaces(spacesView, stored->spaceId, [stored](Space& s) {
            if (Plant* view = FirstPlant(s, stored->id)) *view = *stored;
        });
    modified = true;
    return true;
}

// One pass instead of a search through every plant per record (a dragged
// space moves all of its plants in each step). The stored result is that of
// UpdatePlant called for each record in order: the first plant with an id
// takes the fields, a later record with the same id wins.
bool ProjectManager::UpdatePlants(const std::vector<Plant>& changed) {
    if (!CheckOpen()) return false;
    std::unordered_map<int32_t, const Plant*> byId;
    byId.reserve(changed.size());
    for (const Plant& p : changed) byId[p.id] = &p;
    const WString now = GetCurrentTimestamp();
    std::unordered_map<int32_t, const Plant*> applied;  // id -> the stored plant that took it
    applied.reserve(byId.size());
    for (Plant& stored : plants) {
        auto it = byId.find(stored.id);
        if (it == byId.end() || !applied.emplace(stored.id, &stored).second) continue;
        const Plant& from = *it->second;
        stored.name = from.name;
        stored.position = from.position;
        stored.notes = from.notes;
        stored.plantedDate = from.plantedDate;
        stored.updatedAt = now;
    }
    if (!applied.empty()) modified = true;
    if (!spacesViewStale && !applied.empty()) {
        std::unordered_set<int32_t> seen;  // ids met so far in one space's copy
        for (Space& s : spacesView) {
            if (!seen.empty()) seen.clear();
            for (Plant& view : s.plants) {
                auto it = applied.find(view.id);
                // Only the copy of the stored plant that took the fields: in
                // its own space, the first copy with the id there.
                if (it == applied.end() || it->second->spaceId != s.id) continue;
                if (seen.insert(view.id).second) view = *it->second;
            }
        }
    }
    if (applied.size() == byId.size()) return true;
    lastError = kPlantNotFound;
    return false;
}

bool ProjectManager::DeletePlant(int32_t plantId) {
    if (!CheckOpen()) return false;
    Plant* stored = FindById(plants, plantId);
    if (!stored) {
        lastError = kPlantNotFound;
        return false;
    }
    if (!spacesViewStale)
        PatchViewSpaces(spacesView, stored->spaceId, [plantId](Space& s) { EraseFirstById(s.plants, plantId); });
    plants.erase(plants.begin() + (stored - plants.data()));
    modified = true;
    return true;
}

std::vector<Plant> ProjectManager::GetPlantsInSpace(int32_t spaceId) const {
    std::vector<Plant> result;
    for (const Plant& p : plants)
        if (p.spaceId == spaceId) result.push_back(p);
    return result;
}

// ---- Tasks ----

int32_t ProjectManager::CreateTask(const Task& task) {
    if (!CheckOpen()) return -1;
    int32_t id = -1;
    if (!storeids::TakeId(nextTaskId, id)) {
        lastError = L"No more task ids are available.";
        return -1;
    }
    Task copy = task;
    copy.id = id;
    copy.createdAt = copy.updatedAt = GetCurrentTimestamp();
    tasks.push_back(std::move(copy));
    modified = true;
    return tasks.back().id;
}

bool ProjectManager::UpdateTask(const Task& task) {
    if (!CheckOpen()) return false;
    Task* stored = FindById(tasks, task.id);
    if (!stored) {
        lastError = kTaskNotFound;
        return false;
    }
    stored->name = task.name;
    stored->description = task.description;
    stored->completed = task.completed;
    stored->dueDate = task.dueDate;
    stored->updatedAt = GetCurrentTimestamp();
    modified = true;
    return true;
}

bool ProjectManager::DeleteTask(int32_t taskId) {
    if (!CheckOpen()) return false;
    if (!EraseFirstById(tasks, taskId)) {
        lastError = kTaskNotFound;
        return false;
    }
    modified = true;
    return true;
}

std::vector<Task> ProjectManager::GetAllTasks() const {
    if (!IsProjectOpen()) return {};
    return tasks;
}

const Task* ProjectManager::GetTask(int32_t taskId) const {
    for (const Task& t : tasks)
        if (t.id == taskId) return &t;
    return nullptr;
}

// ---- Task links ----

namespace {

bool AddLinkOnce(std::vector<TaskLink>& links, int32_t taskId, int32_t otherId) {
    TaskLink pair(taskId, otherId);
    if (std::find(links.begin(), links.end(), pair) != links.end()) return false;
    links.push_back(pair);
    return true;
}

bool RemoveAllLinks(std::vector<TaskLink>& links, int32_t taskId, int32_t otherId) {
    TaskLink pair(taskId, otherId);
    auto end = std::remove(links.begin(), links.end(), pair);
    bool removed = end != links.end();
    links.erase(end, links.end());
    return removed;
}

}  // namespace

bool ProjectManager::AssignSpaceToTask(int32_t taskId, int32_t spaceId) {
    if (!CheckOpen()) return false;
    if (AddLinkOnce(taskSpaceLinks, taskId, spaceId)) modified = true;
    return true;
}

bool ProjectManager::AssignPlantToTask(int32_t taskId, int32_t plantId) {
    if (!CheckOpen()) return false;
    if (AddLinkOnce(taskPlantLinks, taskId, plantId)) modified = true;
    return true;
}

bool ProjectManager::RemoveSpaceFromTask(int32_t taskId, int32_t spaceId) {
    if (!CheckOpen()) return false;
    if (RemoveAllLinks(taskSpaceLinks, taskId, spaceId)) modified = true;
    return true;
}

bool ProjectManager::RemovePlantFromTask(int32_t taskId, int32_t plantId) {
    if (!CheckOpen()) return false;
    if (RemoveAllLinks(taskPlantLinks, taskId, plantId)) modified = true;
    return true;
}

std::vector<int32_t> ProjectManager::GetTaskSpaces(int32_t taskId) const {
    if (!IsProjectOpen()) return {};
    return LinkedIds(taskSpaceLinks, taskId);
}

std::vector<int32_t> ProjectManager::GetTaskPlants(int32_t taskId) const {
    if (!IsProjectOpen()) return {};
    return LinkedIds(taskPlantLinks, taskId);
}

// ---- Utilities ----

WString ProjectManager::GetCurrentTimestamp() {
    std::string text = storeplatform::FormatLocalTimestamp(storeplatform::NowSeconds());
    return StringToWString(text);
}

WString ProjectManager::StringToWString(const std::string& utf8) {
    if (utf8.empty()) return WString();
    return storeplatform::Utf8ToUtf16(utf8.data(), utf8.size());
}

std::string ProjectManager::WStringToString(const WString& utf16) {
    if (utf16.empty()) return std::string();
    return storeplatform::Utf16ToUtf8(utf16.data(), utf16.size());
}

WString ProjectManager::GetSystemUserName() {
    return storeplatform::LoginName(256);
}
