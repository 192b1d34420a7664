// The file chooser on the Windows desktop.
#pragma once
#include <string>

#include "frontend.h"

// Shows the chooser of request (GetSaveFileNameW in the save form,
// GetOpenFileNameW otherwise) owned by the window owner (may be null): its
// title, filter, initial folder and file name, default extension and flags.
// Returns true with the chosen full path (code page 932) in *path when the
// user confirmed; a path without a code page 932 form is refused with a
// message and counts as cancelled. False when the user cancelled.
bool ChooseWin32File(HWND owner, const FileChooserRequest& request, std::string* path);
