// The font of a dialog template on the desktop.
#pragma once
#include <wx/font.h>

#include <string>

// The font face (code page 932) at points when it is installed; else the
// first installed proportional Japanese gothic face, else the desktop's
// default face, at points.
wxFont DialogFont(const std::string& face_cp932, int points);
