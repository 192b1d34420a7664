// The file chooser on the desktop.
#pragma once
#include <wx/window.h>

#include <string>

#include "frontend.h"

// Shows the desktop's file chooser for request, modal to owner (may be
// null): the initial folder reached through the drive map, the filter and
// title of the request. On confirmation appends the default extension to a
// name without one and returns true with the Windows form of the chosen
// path in *path; a path outside every drive is refused with a message and
// counts as cancelled. False when the user cancelled.
bool ChooseDesktopFile(wxWindow* owner, const FileChooserRequest& request, std::string* path);
