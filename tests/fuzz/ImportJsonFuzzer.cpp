// libFuzzer target: ImportFromJSON on arbitrary bytes. Besides the sanitizers'
// findings, it aborts when the store breaks a rule of the reader: a failure
// leaves the project either untouched or closed, and a file that was taken
// exports and imports again to the same records.
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
    std::fprintf(stderr, "import rule broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    scratch = new fuzzsupport::ScratchFolder("import-json");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = scratch->Write("in.json", data, size);

    ProjectManager pm;
    pm.CreateNewProject(L"Before", L"");
    Space kept;
    kept.name = L"kept";
    pm.CreateSpace(kept);

    if (!pm.ImportFromJSON(ProjectManager::StringToWString(input))) {
        Require(!pm.GetLastError().empty(), "a failure names its reason");
        if (pm.IsProjectOpen()) {
            Require(pm.GetCurrentProject()->name == L"Before", "an early failure keeps the project");
            Require(pm.GetSpaces().size() == 1 && pm.HasUnsavedChanges(), "an early failure keeps the records");
        } else {
            Require(pm.GetCurrentProject()->id == -1 && pm.GetSpaces().empty() && pm.GetAllTasks().empty() &&
                        !pm.HasUnsavedChanges() && !pm.IsNewProject(),
                    "a late failure leaves the store closed and empty");
        }
        return 0;
    }

    Require(pm.IsProjectOpen() && pm.IsNewProject() && pm.HasUnsavedChanges(), "an import is new and unsaved");
    Require(pm.GetLastError().empty(), "a success leaves no error text");

    const std::string again = scratch->Path("again.json");
    Require(pm.ExportToJSON(ProjectManager::StringToWString(again)), "an imported project exports");
    ProjectManager copy;
    Require(copy.ImportFromJSON(ProjectManager::StringToWString(again)), "an export imports again");
    std::vector<Space> a = pm.GetSpaces(), b = copy.GetSpaces();
    Require(a.size() == b.size(), "the same spaces come back");
    for (size_t i = 0; i < a.size(); ++i) {
        Require(a[i].id == b[i].id && a[i].name == b[i].name && a[i].polygon.size() == b[i].polygon.size() &&
                    a[i].plants.size() == b[i].plants.size(),
                "each space comes back whole");
    }
    std::vector<Task> ta = pm.GetAllTasks(), tb = copy.GetAllTasks();
    Require(ta.size() == tb.size(), "the same tasks come back");
    for (size_t i = 0; i < ta.size(); ++i)
        Require(ta[i].id == tb[i].id && ta[i].name == tb[i].name && ta[i].completed == tb[i].completed,
                "each task comes back whole");
    return 0;
}
