// Rules of the desktop file chooser that need no window: the framework's
// filter text in the chooser's wildcard form, and the default extension.
#pragma once
#include <string>

// The chooser wildcard (UTF-8, "Name|pattern|Name|pattern") of a framework
// filter (code page 932, "Name|pattern|...|" closed by an extra '|'). Pairs
// whose texts have no UTF-8 form are dropped; "" when none remains.
std::string WildcardFromFilter(const std::string& filter);

// The native path with "." + default_ext appended when its last component
// has no extension of its own (no '.' after its first character);
// unchanged when default_ext is empty.
std::string AddDefaultExtension(const std::string& native, const std::string& default_ext);
