// File dialogs, error boxes, refresh, save in place and the unsaved-changes
// question, shared by the file commands and the close request.
#include "CommandSupport.h"

#include <commdlg.h>

namespace commands {

namespace {

// Each description and pattern ends with a NUL; the literal's own NUL ends the list.
constexpr wchar_t kProjectFilter[] = L"Tilvo Project Files (*.tvp)\0*.tvp\0All Files (*.*)\0*.*\0";
constexpr wchar_t kJsonFilter[] = L"JSON Files (*.json)\0*.json\0All Files (*.*)\0*.*\0";
constexpr DWORD kPathBufferChars = 260;  // MAX_PATH: the dialogs refuse longer paths
constexpr wchar_t kExitQuestion[] = L"The project has unsaved changes.\n\nDo you want to save before exiting?";

}  // namespace

bool ChooseFile(HWND owner, FileDialogKind kind, std::wstring& path) {
    wchar_t buffer[kPathBufferChars] = {};
    OPENFILENAMEW ofn;
    ZeroMemory(&ofn, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = kPathBufferChars;
    ofn.nFilterIndex = 1;

    // Project or JSON file; a save dialog asks before replacing, an open one
    // takes only an existing file.
    const bool json = kind == FileDialogKind::OpenJson || kind == FileDialogKind::SaveJson;
    const bool save = kind == FileDialogKind::SaveProject || kind == FileDialogKind::SaveJson;
    ofn.lpstrFilter = json ? kJsonFilter : kProjectFilter;
    if (save || json) ofn.lpstrDefExt = json ? L"json" : L"tvp";
    ofn.Flags = save ? OFN_OVERWRITEPROMPT : OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (chosen != TRUE) return false;
    path.assign(buffer);  // up to the first NUL
    return true;
}

void ShowStoreError(MainWindow& window, const wchar_t* caption) {
    const std::wstring text = window.projectManager.GetLastError();
    MessageBoxW(window.hwnd, text.c_str(), caption, MB_ICONERROR);
}

void FullRefresh(MainWindow& window, const std::wstring& status) {
    window.UpdateMenuState();
    window.UpdateTitle();
    window.SetStatusText(status);
    InvalidateRect(window.hwnd, nullptr, TRUE);
}

bool SaveInPlace(MainWindow& window) {
    ProjectManager& store = window.projectManager;
    bool saved;
    if (store.IsNewProject()) {
        std::wstring path;
        if (!ChooseFile(window.hwnd, FileDialogKind::SaveProject, path)) return false;
        saved = store.SaveProjectAs(path);
    } else {
        saved = store.SaveProject();
    }
    if (!saved) ShowStoreError(window);
    return saved;
}

bool SettleUnsavedChanges(MainWindow& window, const wchar_t* question) {
    const int answer = MessageBoxW(window.hwnd, question, L"Unsaved Changes", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) return SaveInPlace(window);
    // Only a real "No" discards the changes: Cancel, or a box that could not be shown, keeps them.
    return answer == IDNO;
}

bool ConfirmExit(MainWindow& window) {
    ProjectManager& store = window.projectManager;
    if (store.IsProjectOpen() && store.HasUnsavedChanges()) return SettleUnsavedChanges(window, kExitQuestion);
    return MessageBoxW(window.hwnd, L"Are you sure you want to exit?", L"Confirm Exit", MB_YESNO | MB_ICONQUESTION) ==
           IDYES;
}

}  // namespace commands
