// Test helpers: the operating-system calls that tests need around the code
// they test (native folders, permissions, the environment, other programs).
// Paths are native, UTF-8.
#pragma once
#include <string>
#include <vector>

// Creates the folder native and its missing parents; true when it exists
// afterwards.
bool MakeNativeFolders(const std::string& native);
// True when native names a folder.
bool NativeIsFolder(const std::string& native);
// The separator of native paths: '/', or '\\' under Windows.
char NativeSeparator();
// Takes the write permission from the folder native (reading and entering
// stay allowed); under Windows it only sets the read-only attribute, which
// does not stop writing into a folder.
void MakeReadOnly(const std::string& native);
// True under Windows, where the diagnostics log is shown by the real
// Notepad; natively its stand-in is VELOR_VIEWER, xdg-open or the front end.
bool TextViewerIsNotepad();
// The number of entries of the folder native (0 when it cannot be read).
int CountFolderEntries(const std::string& native);
// The names of the entries of the folder native, sorted (none when it
// cannot be read).
std::vector<std::string> FolderEntryNames(const std::string& native);
// Makes link a symbolic link to target; true when that succeeded.
bool MakeSymlink(const std::string& target, const std::string& link);
// True when native is a symbolic link (not followed).
bool IsSymlink(const std::string& native);
// Waits about milliseconds milliseconds.
void SleepMilliseconds(int milliseconds);
// The value of the environment variable name; null when it is not set.
const char* EnvValue(const char* name);
// Sets the environment variable name to value (UTF-8).
void SetEnvValue(const char* name, const std::string& value);
// Removes the environment variable name (a ScopedEnv of it restores it).
void RemoveEnvValue(const char* name);
// Sends the process the interrupt of Ctrl-C and returns once its handlers
// have run; false when it could not (a Windows process without a console).
bool RaiseInterrupt();
// True when InterruptIsDefault can tell (false under Windows, which keeps no
// readable record of the handlers).
bool InterruptHandlingKnown();
// True when Ctrl-C has the system's default handling (ends the process).
bool InterruptIsDefault();
// word quoted for the shell of RunShellCommand (sh, or cmd.exe under
// Windows) as one argument; word holds no quote of that shell.
std::string ShellQuote(const std::string& word);
// Runs command through the shell with no input; *out receives its standard
// output and error. Returns the exit status, -1 when it did not exit.
int RunShellCommand(const std::string& command, std::string* out);

// Keeps the current folder of its construction and goes back to it when
// destroyed, whatever the test changed in between.
class ScopedCurrentFolder {
 public:
  ScopedCurrentFolder();
  ~ScopedCurrentFolder();
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;
  // Makes native the current folder; true when that succeeded.
  bool MoveTo(const std::string& native);

 private:
  std::string old_;
};
