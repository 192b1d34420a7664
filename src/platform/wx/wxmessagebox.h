// Message boxes on the desktop.
#pragma once
#include <wx/window.h>

#include <string>

#include "wintypes.h"

// Shows text under caption (both code page 932) with the buttons and icon of
// type (MB_* bits), modal to owner (null: to the whole program). Returns the
// button chosen: IDOK, IDCANCEL, IDYES or IDNO; closing a box without a
// cancel button answers No for Yes/No boxes and OK for the others.
int ShowDesktopMessageBox(wxWindow* owner, const std::string& text, const std::string& caption,
                          UINT type);
