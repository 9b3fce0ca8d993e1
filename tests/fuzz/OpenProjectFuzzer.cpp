// libFuzzer target: OpenProject on arbitrary bytes as the project file. It
// aborts when the store breaks a rule of opening: a failure leaves no project
// open and names its reason; an opened project is on disk and unmodified, and
// every record it holds can be queried and exported.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "FuzzSupport.h"
#include "ProjectManager.h"

namespace {

fuzzsupport::ScratchFolder* scratch = nullptr;

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "open rule broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    scratch = new fuzzsupport::ScratchFolder("open-project");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Nothing of the previous run may linger beside the file.
    for (const char* suffix : {"-wal", "-shm", "-journal"}) unlink(scratch->Path(std::string("in.tvp") + suffix).c_str());
    const std::string path = scratch->Write("in.tvp", data, size);

    ProjectManager pm;
    if (!pm.OpenProject(ProjectManager::StringToWString(path))) {
        Require(!pm.IsProjectOpen() && pm.GetCurrentProject()->id == -1, "a failed open leaves no project");
        Require(!pm.GetLastError().empty(), "a failed open names its reason");
        Require(pm.GetSpaces().empty() && pm.GetAllTasks().empty(), "a failed open leaves no records");
        return 0;
    }

    Require(pm.IsProjectOpen() && !pm.IsNewProject() && !pm.HasUnsavedChanges(), "an opened project is on disk");
    size_t plants = 0;
    for (const Space& space : pm.GetSpaces()) plants += space.plants.size();
    for (const Task& task : pm.GetAllTasks()) {
        pm.GetTaskSpaces(task.id);
        pm.GetTaskPlants(task.id);
    }
    Require(pm.ExportToJSON(ProjectManager::StringToWString(scratch->Path("out.json"))),
            "an opened project exports");
    ProjectManager copy;
    Require(copy.ImportFromJSON(ProjectManager::StringToWString(scratch->Path("out.json"))),
            "its export imports");
    Require(copy.GetSpaces().size() == pm.GetSpaces().size() && copy.GetAllTasks().size() == pm.GetAllTasks().size(),
            "its export carries every space and task");
    // No two opened records of a kind share an id, so the plants of the
    // listed spaces come back one for one.
    size_t copiedPlants = 0;
    for (const Space& space : copy.GetSpaces()) copiedPlants += space.plants.size();
    Require(copiedPlants == plants, "its export carries every plant");
    return 0;
}
