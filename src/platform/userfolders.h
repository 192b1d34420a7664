// The folders the system keeps for the user.
#pragma once
#include <string>

// The native path (UTF-8) of file in the folder program of the user's data
// folder ($XDG_DATA_HOME, else $HOME/.local/share here; under Windows the
// roaming application data folder, %APPDATA%). Empty when the environment names
// no such folder. Nothing is created.
std::string UserDataFilePath(const char* program, const char* file);
// The native path of the user's home folder with a closing separator: $HOME
// here, under Windows the user's profile folder (%USERPROFILE%). Empty when
// none is known.
std::string UserHomeFolder();
