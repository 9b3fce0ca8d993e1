// Pieces shared by the command handlers and the close request: the file
// dialogs, the store's error box, the full refresh, "save in place" and the
// unsaved-changes question.
#pragma once

#include <string>

#include "MainWindow.h"

namespace commands {

// The four file choices the program offers.
enum class FileDialogKind {
    OpenProject,  // "*.tvp", path and file must exist
    SaveProject,  // "*.tvp", default extension "tvp", asks before overwriting
    OpenJson,     // "*.json", path and file must exist
    SaveJson,     // "*.json", default extension "json", asks before overwriting
};

// Runs the open or save dialog of `kind`, owned by `owner`. Returns true with
// the chosen path in `path`; false when the user cancelled (path untouched).
bool ChooseFile(HWND owner, FileDialogKind kind, std::wstring& path);

// The store's last-error text in a message box with `caption` and the error icon.
void ShowStoreError(MainWindow& window, const wchar_t* caption = L"Error");

// Menu states, window title, status text and a repaint of the whole window.
void FullRefresh(MainWindow& window, const std::wstring& status);

// Saves the open project where it lives; a project that has never been written
// goes through the save dialog first. Returns true when saved; false when the
// dialog was cancelled (nothing shown) or the save failed (error box shown).
bool SaveInPlace(MainWindow& window);

// Asks `question` under "Unsaved Changes" with Yes/No/Cancel. Returns true
// when the caller may go on: No, or Yes with a successful save. Cancel, a
// cancelled save dialog, a failed save and a box that could not be shown
// return false.
bool SettleUnsavedChanges(MainWindow& window, const wchar_t* question);

// The question before the program ends: the unsaved-changes question when the
// open project has changes, else "Are you sure you want to exit?". True when
// the program may end (after a save, when one was asked for).
bool ConfirmExit(MainWindow& window);

// Space, plant, task and help commands (EditCommands.cpp).
void NewSpace(MainWindow& window);
void RenameSpace(MainWindow& window);
void DeleteSpace(MainWindow& window);
void ExportSpaces(MainWindow& window);
void ViewPlants(MainWindow& window);
void NewPlant(MainWindow& window);
void RenamePlant(MainWindow& window);
void DeletePlant(MainWindow& window);
void AddTask(MainWindow& window);
void ViewTasks(MainWindow& window);
void About(MainWindow& window);

}  // namespace commands
