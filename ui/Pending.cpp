// Temporary empty bodies for members that are still being written, so that the
// window links and runs meanwhile. None of them does its job yet. Whoever
// implements a member deletes it here; this file goes when it is empty.
#include "MainWindow.h"

// Pan, zoom, wheel and keys: replaced by the key handler.
void MainWindow::OnKeyDown(WPARAM /*key*/, LPARAM /*lParam*/) {}

// Pan, zoom, wheel and keys: replaced by the wheel handler.
void MainWindow::OnMouseWheel(WPARAM /*wParam*/, LPARAM /*lParam*/) {}

// Pan, zoom, wheel and keys: replaced by the zoom operation.
void MainWindow::SetZoom(float /*newZoom*/, const POINT* /*anchor*/) {}

// Toolbar: replaced by the toolbar painter.
void MainWindow::DrawToolbar(HDC /*dc*/, const RECT& /*band*/) {}

// Toolbar: replaced by the tooltip painter.
void MainWindow::DrawToolbarTooltip(HDC /*dc*/, const RECT& /*client*/) {}

// Toolbar: replaced by the toolbar hover step.
void MainWindow::ToolbarHover(POINT /*p*/) {}

// Toolbar: replaced by the toolbar press step.
bool MainWindow::ToolbarPress(POINT /*p*/) {
    return false;
}

// Toolbar: replaced by the toolbar release step.
void MainWindow::ToolbarRelease(POINT /*p*/) {}

// Toolbar: replaced by the band repaint that also covers a tooltip's box.
void MainWindow::InvalidateToolbar(bool /*tooltipWasShown*/) {}

// Canvas editing and panning: replaced by the canvas press steps.
void MainWindow::CanvasPress(WPARAM /*wParam*/, POINT /*p*/) {}

// Canvas editing and panning: replaced by the pan steps, drags and cursor.
void MainWindow::CanvasMove(POINT /*p*/) {}

// Canvas editing and panning: replaced by the pan end and drag endings.
void MainWindow::CanvasRelease(POINT /*p*/) {}

// Canvas editing: replaced by the right press (finish or cancel).
void MainWindow::CanvasRightPress() {}
