// The status strip's two texts and the platform window text: the only ways the
// rest of the window changes them.
#include "MainWindow.h"

// Stores the left status text and repaints the status strip (the bottom 22 rows).
void MainWindow::SetStatusText(const std::wstring& text) {
    statusText = text;
    if (!hwnd) return;
    RECT client;
    GetClientRect(hwnd, &client);
    RECT strip{0, client.bottom - layout::kStatusHeight, client.right, client.bottom};
    InvalidateRect(hwnd, &strip, FALSE);
}

// Stores the right status text (the version); the next paint shows it.
void MainWindow::SetStatusRightText(const std::wstring& text) {
    statusRightText = text;
}

// Sets the window text that the taskbar and the task switcher show: "Tilvo" with
// no project, else the project name with its unsaved marks and " - Tilvo".
void MainWindow::UpdateTitle() {
    std::wstring title = L"Tilvo";
    if (projectManager.IsProjectOpen()) {
        const ProjectInfo* project = projectManager.GetCurrentProject();
        title = project ? project->name : std::wstring();
        if (projectManager.HasUnsavedChanges()) title += L"*";
        if (projectManager.IsNewProject()) title += L" (Unsaved)";
        title += L" - Tilvo";
    }
    SetWindowTextW(hwnd, title.c_str());
    // The drawn title strip shows the same name and marks: repaint it too, or
    // it keeps showing "*" after a save until something else repaints.
    RECT client;
    GetClientRect(hwnd, &client);
    RECT strip{0, 0, client.right, layout::kTitleStripHeight};
    InvalidateRect(hwnd, &strip, FALSE);
}
