// The JSON exchange file: export of the open project, and import of a file
// into a new in-memory project.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "BoundedJson.h"
#include "IdCounter.h"
#include "ProjectManager.h"
#include "StorePlatform.h"

using nlohmann::json;

namespace {

const wchar_t kNoProjectOpen[] = L"No project is currently open.";
const char kApplicationVersion[] = "1.0.0";

// ---- Export ----

json PointObject(const POINT& point) {
    json object;
    object["x"] = static_cast<int32_t>(point.x);
    object["y"] = static_cast<int32_t>(point.y);
    return object;
}

json PlantObject(const Plant& plant) {
    json object;
    object["id"] = plant.id;
    object["name"] = ProjectManager::WStringToString(plant.name);
    object["position"] = PointObject(plant.position);
    object["notes"] = ProjectManager::WStringToString(plant.notes);
    object["planted_date"] = ProjectManager::WStringToString(plant.plantedDate);
    object["created_at"] = ProjectManager::WStringToString(plant.createdAt);
    object["updated_at"] = ProjectManager::WStringToString(plant.updatedAt);
    return object;
}

// Each task id's linked ids, in link order, gathered in one pass over the
// links instead of one pass per task.
std::unordered_map<int32_t, std::vector<int32_t>> LinksByTask(const std::vector<TaskLink>& links) {
    std::unordered_map<int32_t, std::vector<int32_t>> byTask;
    for (const TaskLink& link : links) byTask[link.first].push_back(link.second);
    return byTask;
}

json LinkedIdArray(const std::unordered_map<int32_t, std::vector<int32_t>>& byTask, int32_t taskId) {
    json ids = json::array();
    auto it = byTask.find(taskId);
    if (it != byTask.end())
        for (int32_t id : it->second) ids.push_back(id);
    return ids;
}

// ---- Import ----

// The member's value when `object` is an object holding `key`, else null.
// Never inserts: the document is only read.
const json* Member(const json& object, const char* key) {
    if (!object.is_object()) return nullptr;
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

bool Holds(const json& object, std::initializer_list<const char*> keys) {
    for (const char* key : keys)
        if (!Member(object, key)) return false;
    return true;
}

WString ReadText(const json& value) {
    // The library's own conversion only to raise its error for a non-text value.
    if (!value.is_string()) return ProjectManager::StringToWString(value.get<std::string>());
    return ProjectManager::StringToWString(value.get_ref<const std::string&>());
}

// An integer keeps its low 32 bits and a boolean reads as 1 or 0. A fraction
// is truncated toward zero; past int's range that cast would be undefined, so
// a fraction's truncated value also keeps its low 32 bits (exact: the finite
// double is an integer there and fmod is exact).
int32_t ReadInt(const json& value) {
    if (value.is_number_float()) {
        double whole = std::trunc(value.get<double>());
        double low = std::fmod(whole, 4294967296.0);
        if (low < 0) low += 4294967296.0;
        return static_cast<int32_t>(static_cast<uint32_t>(low));
    }
    return value.get<int>();
}

WString TextOr(const json& object, const char* key, const WString& fallback) {
    const json* value = Member(object, key);
    return value ? ReadText(*value) : fallback;
}

WString TextOrNow(const json& object, const char* key) {
    const json* value = Member(object, key);
    return value ? ReadText(*value) : ProjectManager::GetCurrentTimestamp();
}

// The point of an object holding `x` and `y`; false when it lacks either (or
// is no object). Each member is looked up once: this runs for every vertex.
bool ReadPoint(const json& object, POINT& point) {
    const json* x = Member(object, "x");
    const json* y = Member(object, "y");
    if (!x || !y) return false;
    point.x = ReadInt(*x);
    point.y = ReadInt(*y);
    return true;
}

}  // namespace

bool ProjectManager::ExportToJSON(const WString& filePath) {
    if (!IsProjectOpen()) {
        lastError = kNoProjectOpen;
        return false;
    }
    try {
        // Member order is the library's sorted order; these follow the
        // reading order of the values, which matters only for the clock.
        json metadata;
        metadata["project_name"] = WStringToString(project.name);
        metadata["project_description"] = WStringToString(project.description);
        metadata["created_at"] = WStringToString(project.createdAt);
        metadata["updated_at"] = WStringToString(GetCurrentTimestamp());
        metadata["application_version"] = kApplicationVersion;
        metadata["author"] = WStringToString(GetSystemUserName());
        metadata["schema_version"] = 1;
        metadata["export_timestamp"] = WStringToString(GetCurrentTimestamp());

        // The spaces with their plants, as the window sees them; a plant of no
        // listed space is left out.
        const std::vector<Space>& spacesWithPlants = GetSpacesView();
        json spacesArray = json::array();
        for (const Space& space : spacesWithPlants) {
            json object;
            object["id"] = space.id;
            object["name"] = WStringToString(space.name);
            object["created_at"] = WStringToString(space.createdAt);
            object["updated_at"] = WStringToString(space.updatedAt);
            json polygon = json::array();
            for (const POINT& vertex : space.polygon) polygon.push_back(PointObject(vertex));
            object["polygon"] = std::move(polygon);
            json plantArray = json::array();
            for (const Plant& plant : space.plants) plantArray.push_back(PlantObject(plant));
            object["plants"] = std::move(plantArray);
            spacesArray.push_back(std::move(object));
        }

        const auto spacesByTask = LinksByTask(taskSpaceLinks);
        const auto plantsByTask = LinksByTask(taskPlantLinks);
        json tasksArray = json::array();
        for (const Task& task : tasks) {
            json object;
            object["id"] = task.id;
            object["name"] = WStringToString(task.name);
            object["description"] = WStringToString(task.description);
            object["completed"] = task.completed;
            object["due_date"] = WStringToString(task.dueDate);
            object["created_at"] = WStringToString(task.createdAt);
            object["updated_at"] = WStringToString(task.updatedAt);
            object["assigned_spaces"] = LinkedIdArray(spacesByTask, task.id);
            object["assigned_plants"] = LinkedIdArray(plantsByTask, task.id);
            tasksArray.push_back(std::move(object));
        }

        json root;
        root["metadata"] = std::move(metadata);
        root["spaces"] = std::move(spacesArray);
        root["tasks"] = std::move(tasksArray);

        // The text goes to a temporary file that replaces the target only
        // when complete, so a failed export never damages an earlier one.
        storeplatform::TextFileReplacement file;
        if (!file.Begin(filePath)) {
            lastError = L"Failed to create JSON file: " + filePath;
            return false;
        }
        std::string text = root.dump(2, ' ', false, json::error_handler_t::strict);
        if (!file.Write(text) || !file.Commit()) {
            lastError = L"Failed to write JSON data to file: " + filePath;
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        lastError = L"JSON export error: " + StringToWString(e.what());
    } catch (...) {
        lastError = L"Unknown error occurred during JSON export.";
    }
    return false;
}

bool ProjectManager::ImportFromJSON(const WString& filePath) {
    // Failures before the store is closed leave it as it was; later ones
    // leave it closed, so that no partial project survives.
    bool storeClosed = false;
    auto fail = [this, &storeClosed](const WString& text) {
        if (storeClosed) CloseProject();
        lastError = text;
        return false;
    };

    try {
        json document;
        {
            std::ifstream in;
            if (!storeplatform::OpenTextInput(in, filePath))
                return fail(L"Failed to open JSON file: " + filePath);
            // This build's library reports an empty input as a plain unexpected
            // end; name the case in the words of the library's later versions.
            if (in.peek() == std::ifstream::traits_type::eof())
                return fail(L"JSON parsing error: [json.exception.parse_error.101] parse error at line 1, "
                            L"column 1: attempting to parse an empty input; check that your input string "
                            L"or stream contains the expected JSON");
            // The stream's text is taken in large blocks and parsed from
            // memory, which the library does much faster than character by
            // character from the stream. One value is read, as by the stream
            // operator (not strict): whatever follows it is not judged.
            std::string text;
            std::vector<char> block(1 << 20);
            while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0)
                text.append(block.data(), static_cast<size_t>(in.gcount()));
            BoundedDocumentBuilder builder(document);
            json::sax_parse(text, &builder, json::input_format_t::json, false, false);
        }

        if (!Holds(document, {"metadata", "spaces", "tasks"}))
            return fail(L"Invalid JSON format: missing required sections (metadata, spaces, tasks)");

        CloseProject();
        storeClosed = true;

        const json& metadata = *Member(document, "metadata");
        if (!Member(metadata, "project_name"))
            return fail(L"Invalid JSON format: missing project name in metadata");
        project.id = 1;
        project.name = ReadText(*Member(metadata, "project_name"));
        project.description = TextOr(metadata, "project_description", WString());
        project.createdAt = TextOrNow(metadata, "created_at");
        project.updatedAt = GetCurrentTimestamp();
        const json* schema = Member(metadata, "schema_version");
        project.schemaVersion = schema ? ReadInt(*schema) : 1;
        project.filePath.clear();

        modified = true;
        isNewProject = true;
        int32_t highestSpace = 0, highestPlant = 0, highestTask = 0;

        for (const json& element : *Member(document, "spaces")) {
            if (!Holds(element, {"id", "name", "polygon"}))
                return fail(L"Invalid space data: missing required fields (id, name, polygon)");
            Space space;
            space.id = ReadInt(*Member(element, "id"));
            space.projectId = 1;
            space.name = ReadText(*Member(element, "name"));
            space.createdAt = TextOrNow(element, "created_at");
            space.updatedAt = TextOrNow(element, "updated_at");
            for (const json& vertex : *Member(element, "polygon")) {
                POINT point;
                if (!ReadPoint(vertex, point)) return fail(L"Invalid polygon point: missing x or y coordinate");
                space.polygon.push_back(point);
            }
            if (space.id > highestSpace) highestSpace = space.id;
            spaces.push_back(std::move(space));
            const int32_t spaceId = spaces.back().id;

            const json* plantList = Member(element, "plants");
            if (!plantList) continue;
            for (const json& item : *plantList) {
                if (!Holds(item, {"id", "name", "position"}))
                    return fail(L"Invalid plant data: missing required fields (id, name, position)");
                Plant plant;
                plant.id = ReadInt(*Member(item, "id"));
                plant.spaceId = spaceId;
                plant.name = ReadText(*Member(item, "name"));
                if (!ReadPoint(*Member(item, "position"), plant.position))
                    return fail(L"Invalid plant position: missing x or y coordinate");
                plant.notes = TextOr(item, "notes", WString());
                plant.plantedDate = TextOr(item, "planted_date", WString());
                plant.createdAt = TextOrNow(item, "created_at");
                plant.updatedAt = TextOrNow(item, "updated_at");
                if (plant.id > highestPlant) highestPlant = plant.id;
                plants.push_back(std::move(plant));
            }
        }

        for (const json& element : *Member(document, "tasks")) {
            if (!Holds(element, {"id", "name"}))
                return fail(L"Invalid task data: missing required fields (id, name)");
            Task task;
            task.id = ReadInt(*Member(element, "id"));
            task.name = ReadText(*Member(element, "name"));
            task.description = TextOr(element, "description", WString());
            const json* completed = Member(element, "completed");
            task.completed = completed ? completed->get<bool>() : false;
            task.dueDate = TextOr(element, "due_date", WString());
            task.createdAt = TextOrNow(element, "created_at");
            task.updatedAt = TextOrNow(element, "updated_at");
            if (task.id > highestTask) highestTask = task.id;
            tasks.push_back(std::move(task));
            const int32_t taskId = tasks.back().id;

            if (const json* ids = Member(element, "assigned_spaces"))
                for (const json& id : *ids) taskSpaceLinks.emplace_back(taskId, ReadInt(id));
            if (const json* ids = Member(element, "assigned_plants"))
                for (const json& id : *ids) taskPlantLinks.emplace_back(taskId, ReadInt(id));
        }

        static const wchar_t* const kSharedId[] = {L"Invalid space data: ", L"Invalid plant data: ",
                                                   L"Invalid task data: "};
        const WString shared = storeids::SharedIdText(spaces, plants, tasks, kSharedId);
        if (!shared.empty()) return fail(shared);

        nextSpaceId = storeids::NextId(highestSpace);
        nextPlantId = storeids::NextId(highestPlant);
        nextTaskId = storeids::NextId(highestTask);
        return true;
    } catch (const json::parse_error& e) {
        return fail(L"JSON parsing error: " + StringToWString(e.what()));
    } catch (const json::type_error& e) {
        return fail(L"JSON type error: " + StringToWString(e.what()));
    } catch (const std::exception& e) {
        return fail(L"JSON import error: " + StringToWString(e.what()));
    } catch (...) {
        return fail(L"Unknown error occurred during JSON import.");
    }
}
