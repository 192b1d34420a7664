// Rules of the Win32 file chooser that need no window: the framework's
// filter text in the chooser's form, and the flags it is given.
#pragma once
#include <string>

#include "wintypes.h"

// The chooser's filter (UTF-16 "Name\0pattern\0...\0\0") of a framework
// filter (code page 932, "Name|pattern|...|" closed by an extra '|'); an
// empty string when the filter holds no complete pair.
std::wstring ChooserFilter(const std::string& filter);

// The chooser's flags for the framework's flags: its current (explorer)
// style, and in the save form no demand for an existing file, which would
// refuse every new file name.
DWORD ChooserFlags(DWORD flags, bool save_form);
