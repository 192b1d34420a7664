// Message boxes on the Windows desktop.
#pragma once
#include <string>

#include "wintypes.h"

// Shows text under caption (both code page 932) with the buttons and icon of
// type (MB_*) through MessageBoxW, owned by the window owner (null: none; an
// unowned box comes to the foreground). Returns IDOK, IDYES, IDNO or
// IDCANCEL; a box that cannot be shown answers a question with IDNO.
int ShowWin32MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);
