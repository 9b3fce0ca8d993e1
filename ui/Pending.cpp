// Temporary empty bodies for members that are still being written, so that the
// window links and runs meanwhile. None of them does its job yet. Whoever
// implements a member deletes it here; this file goes when it is empty.
#include "MainWindow.h"

// Commands: replaced by the command handler.
void MainWindow::OnCommand(int /*commandId*/) {}

// Commands: replaced by the save-in-place step of the command handler. Until
// then nothing can be saved, so the close question's Yes keeps the window open.
bool MainWindow::SaveInPlace() {
    return false;
}

// Input box: replaced by the modal input box window.
bool MainWindow::InputBox(const std::wstring& /*title*/, std::wstring& /*text*/) {
    return false;
}
