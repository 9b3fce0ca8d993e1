// The drawn menu bar's model (five titles with their items), its enabled
// states, and the popup that a click on a title opens.
#include "MainWindow.h"

#include <windowsx.h>

#include "resource.h"

namespace {

// When an entry is enabled, from the state at the time the model is built.
enum class Enable { Always, Open, Space, Plant, Spaces };

struct MenuRow {
    const wchar_t* text;  // nullptr for a separator
    const wchar_t* shortcut;
    int32_t commandId;
    Enable enable;
};

struct MenuTitle {
    const wchar_t* text;
    Enable enable;
    std::vector<MenuRow> rows;
};

const MenuRow kSeparator{nullptr, L"", 0, Enable::Always};

const std::vector<MenuTitle>& MenuTable() {
    static const std::vector<MenuTitle> table = {
        {L"File", Enable::Always,
         {{L"New Project...", L"Ctrl+N", IDM_NEW_PROJECT, Enable::Always},
          {L"Open Project...", L"Ctrl+O", IDM_OPEN_PROJECT, Enable::Always},
          {L"Close Project", L"", IDM_CLOSE_PROJECT, Enable::Open},
          kSeparator,
          {L"Save Project", L"Ctrl+S", IDM_SAVE_PROJECT, Enable::Open},
          {L"Save Project As...", L"", IDM_SAVE_PROJECT_AS, Enable::Open},
          kSeparator,
          {L"Import Project from JSON...", L"", IDM_IMPORT_JSON, Enable::Always},
          {L"Export Project as JSON...", L"", IDM_EXPORT_JSON, Enable::Open},
          kSeparator,
          {L"Print Project...", L"Ctrl+P", IDM_PRINT, Enable::Open},
          kSeparator,
          {L"Exit", L"Ctrl+X", IDM_EXIT, Enable::Always}}},
        {L"Spaces", Enable::Open,
         {{L"New Space", L"", IDM_NEW_SPACE, Enable::Open},
          {L"Rename Space", L"Ctrl+R", IDM_RENAME_SPACE, Enable::Space},
          {L"Delete Space", L"Del", IDM_DELETE_SPACE, Enable::Space},
          kSeparator,
          {L"Export Spaces as Images...", L"", IDM_EXPORT_SPACES, Enable::Spaces}}},
        {L"Plants", Enable::Open,
         {{L"View All Plants", L"", IDM_VIEW_PLANTS, Enable::Open},
          {L"New Plant", L"", IDM_NEW_PLANT, Enable::Space},
          {L"Rename Plant", L"Ctrl+R", IDM_RENAME_PLANT, Enable::Plant},
          {L"Delete Plant", L"Del", IDM_DELETE_PLANT, Enable::Plant}}},
        {L"Tasks", Enable::Open,
         {{L"Add Task", L"Ctrl+T", IDM_ADD_TASK, Enable::Open},
          {L"View Tasks", L"F2", IDM_VIEW_TASKS, Enable::Open}}},
        {L"Help", Enable::Always, {{L"About Tilvo", L"", IDM_ABOUT, Enable::Always}}},
    };
    return table;
}

}  // namespace

MenuItem::MenuItem(const std::wstring& text, int32_t commandId, bool enabled, bool separator,
                   const std::wstring& shortcut)
    : text(text), shortcut(shortcut), commandId(commandId), enabled(enabled), separator(separator) {}

// Rebuilds the model from the project and the selection as they stand now.
void MainWindow::BuildMenuModel() {
    menuModel.clear();
    const bool open = projectManager.IsProjectOpen();
    const bool space = open && selectedSpace != -1;
    const bool plant = space && selectedPlant != -1;
    const bool spaces = open && !projectManager.GetSpacesView().empty();
    auto enabled = [&](Enable e) {
        switch (e) {
        case Enable::Always: return true;
        case Enable::Open: return open;
        case Enable::Space: return space;
        case Enable::Plant: return plant;
        case Enable::Spaces: return spaces;
        }
        return false;
    };
    for (const MenuTitle& title : MenuTable()) {
        MenuItem entry(title.text, 0, enabled(title.enable), false, L"");
        for (const MenuRow& row : title.rows) {
            if (!row.text)
                entry.children.emplace_back(L"", 0, true, true, L"");
            else
                entry.children.emplace_back(row.text, row.commandId, enabled(row.enable), false, row.shortcut);
        }
        menuModel.push_back(std::move(entry));
    }
}

void MainWindow::UpdateMenuState() {
    BuildMenuModel();
    InvalidateTitleStrip();
}

// Opens the popup of the title under the press and posts the chosen command,
// which therefore runs after the popup has closed.
void MainWindow::OnMenuBarClick(LPARAM clientPoint) {
    const int32_t x = GET_X_LPARAM(clientPoint);
    const int32_t y = GET_Y_LPARAM(clientPoint);
    if (y >= layout::kTitleStripHeight) return;
    RECT client;
    GetClientRect(hwnd, &client);
    std::vector<RECT> boxes;
    MenuTitleBoxes(nullptr, client.right, &boxes);
    int32_t index = -1;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (x >= boxes[i].left && x < boxes[i].right) {
            index = static_cast<int32_t>(i);
            break;
        }
    }
    if (index < 0) return;

    openMenu = hotMenu = index;
    InvalidateTitleStrip();
    UpdateWindow(hwnd);

    HMENU popup = CreatePopupMenu();
    for (const MenuItem& item : menuModel[index].children) {
        if (item.separator) {
            AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring caption = item.text;
        if (!item.shortcut.empty()) caption += L"\t" + item.shortcut;
        AppendMenuW(popup, item.enabled ? MF_STRING : MF_GRAYED, static_cast<UINT_PTR>(item.commandId),
                    caption.c_str());
    }
    POINT at{boxes[index].left, layout::kTitleStripHeight};
    ClientToScreen(hwnd, &at);
    RECT strip{0, 0, client.right, layout::kTitleStripHeight};
    RedrawWindow(hwnd, &strip, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int chosen = static_cast<int>(TrackPopupMenu(popup, TPM_RETURNCMD, at.x, at.y, 0, hwnd, nullptr));
    hotMenu = openMenu = -1;
    InvalidateTitleStrip();
    DestroyMenu(popup);
    if (chosen >= 1) PostMessageW(hwnd, WM_COMMAND, static_cast<WPARAM>(chosen), 0);
}
