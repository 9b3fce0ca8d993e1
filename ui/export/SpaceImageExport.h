// Saving chosen spaces as one image: the renderer is
// MainWindow::ExportSpacesToImage (SpaceImageExport.cpp); this header holds
// what its callers need besides.
#pragma once

#include <string>

// "jpg" when the path's last four characters, lower-cased, are ".jpg" or
// "jpeg"; otherwise "png" (also for paths shorter than four characters).
std::wstring ImageFormatForPath(const std::wstring& path);
