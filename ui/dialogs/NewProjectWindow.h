// The New Project window ("Create New Project"): asks for the name and the
// description of a new project, in a modal loop of its own.
#pragma once

#include <string>

#include "WinApi.h"

// The New Project window's parameter; it lives in the caller's frame for the
// whole modal loop.
struct ProjectCreateDialogData {
    std::wstring* name = nullptr;         // in: proposed name; out: accepted name
    std::wstring* description = nullptr;  // in: proposed description; out: accepted one
    HWND nameEdit = nullptr;              // set when the window is created
    HWND descriptionEdit = nullptr;       // set when the window is created
    bool accepted = false;                // the user confirmed a non-empty name
};

// Window procedure of the class "ProjectCreateDialogClass".
LRESULT CALLBACK ProjectCreateDialogWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the window centred on `owner`, disables the owner and pumps messages
// until the window is gone; `data.accepted` then tells the outcome. When the
// window cannot be created, returns at once with nothing accepted.
void RunProjectCreateWindow(HWND owner, HINSTANCE instance, ProjectCreateDialogData& data);
