// Writes a small project with awkward texts as a JSON exchange file, for a
// reader that has nothing to do with this program (read_export.py).
#include <cstdio>
#include <cstring>

#include "ProjectManager.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.json\n", argv[0]);
        return 2;
    }
    ProjectManager pm;
    pm.CreateNewProject(L"K\x00FC" L"che \"S\x00FC" L"d\" \\ \x83DC", L"tab\there\nnew line \x0001 end");
    Space bed;
    bed.name = L"Bed \x00C4";
    bed.polygon = {{-100, -200}, {300, 0}, {0, 2147483647}};
    pm.CreateSpace(bed);
    Space empty;
    empty.name = L"";
    pm.CreateSpace(empty);
    Plant kale;
    kale.spaceId = 1;
    kale.name = L"Kale \xD83C\xDF31";
    kale.position = {-7, 8};
    kale.notes = L"/ slash \x007F del";
    pm.CreatePlant(kale);
    Task water;
    water.id = -1;
    water.name = L"Water";
    water.completed = true;
    water.dueDate = L"2026-05-01";
    pm.CreateTask(water);
    pm.AssignSpaceToTask(1, 1);
    pm.AssignSpaceToTask(1, 2);
    pm.AssignPlantToTask(1, 1);

    if (!pm.ExportToJSON(ProjectManager::StringToWString(argv[1]))) {
        std::fprintf(stderr, "%s\n", ProjectManager::WStringToString(pm.GetLastError()).c_str());
        return 1;
    }
    return 0;
}
