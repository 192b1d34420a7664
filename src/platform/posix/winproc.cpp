#include "winproc.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "codepage.h"
#include "crtio.h"
#include "drivemap.h"
#include "frontend.h"
#include "mbcs.h"

namespace {

bool g_viewer_enabled = true;

// The words of a Windows command line: separated by blanks, a double-quoted
// stretch belongs to its word.
std::vector<std::string> SplitCommandLine(const char* line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false, quoted = false;
  for (const char* p = line; *p != '\0'; ++p) {
    char c = *p;
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_word) words.push_back(word);
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(word);
  return words;
}

// The words of VELOR_VIEWER, separated by blanks (no shell, no quoting).
std::vector<std::string> SplitBlanks(const char* text) {
  std::vector<std::string> words;
  std::string word;
  for (const char* p = text;; ++p) {
    if (*p == '\0' || *p == ' ' || *p == '\t') {
      if (!word.empty()) words.push_back(word);
      word.clear();
      if (*p == '\0') break;
    } else {
      word += *p;
    }
  }
  return words;
}

// True when the program path names the text viewer: its file name, after
// the last backslash, is "notepad.exe" in any letter case.
bool IsTextViewer(const std::string& program) {
  size_t slash = MbcsFindLast(program.data(), program.size(), '\\');
  std::string name = slash == program.size() ? program : program.substr(slash + 1);
  return strcasecmp(name.c_str(), "notepad.exe") == 0;
}

// Starts argv in folder dir (native; "" for the current one), detached: the
// program is not waited for and leaves no zombie. True when it was started.
bool Spawn(const std::vector<std::string>& argv, const std::string& dir, pid_t* started) {
  if (argv.empty()) return false;
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    // The middle process starts the program and ends at once, so the
    // program is adopted by init and nobody needs to wait for it.
    close(report[0]);
    pid_t grandchild = fork();
    if (grandchild != 0) {
      if (grandchild > 0) (void)!write(report[1], &grandchild, sizeof grandchild);
      _exit(grandchild > 0 ? 0 : 1);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int err = 0;
    if (!dir.empty() && chdir(dir.c_str()) != 0) {
      err = errno;
    } else {
      execvp(args[0], args.data());
      err = errno;
    }
    (void)!write(report[1], &err, sizeof err);
    _exit(127);
  }
  close(report[1]);
  int status = 0;
  waitpid(child, &status, 0);
  pid_t grandchild = 0;
  int err = 0;
  bool ok = read(report[0], &grandchild, sizeof grandchild) == sizeof grandchild &&
            read(report[0], &err, sizeof err) == 0;  // nothing more: exec succeeded
  close(report[0]);
  if (ok && started != nullptr) *started = grandchild;
  return ok;
}

// Writes a UTF-8 copy of the code page 932 text file native into a new
// private folder of the temporary folder, under the same file name, for a
// viewer of this platform (they read UTF-8). The copy is left for the
// viewer, which is not waited for. False when it cannot be made.
bool Utf8Copy(const std::string& native, std::string* copy) {
  std::string bytes;
  if (!ReadNativeFile(native.c_str(), &bytes)) return false;
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/velor-view-XXXXXX";
  if (mkdtemp(folder.data()) == nullptr) return false;
  size_t slash = native.rfind('/');
  *copy = folder + "/" + (slash == std::string::npos ? native : native.substr(slash + 1));
  std::string text = Cp932ToUtf8Shown(bytes);
  FILE* f = std::fopen(copy->c_str(), "wb");
  if (f == nullptr) return false;
  bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

// Hands the files (native paths of code page 932 text) to the viewer
// program argv, as UTF-8 copies; false when it does not start.
bool StartViewer(std::vector<std::string> argv, const std::vector<std::string>& files,
                 const std::string& dir, pid_t* pid) {
  for (const std::string& f : files) {
    std::string copy;
    if (!Utf8Copy(f, &copy)) return false;
    argv.push_back(copy);
  }
  return Spawn(argv, dir, pid);
}

HANDLE NewHandle(pid_t pid) { return new pid_t(pid); }

// Fills info for a started (or shown) process.
void Started(PROCESS_INFORMATION* info, pid_t pid) {
  if (info == nullptr) return;
  info->hProcess = NewHandle(pid);
  info->hThread = NewHandle(pid);
  info->dwProcessId = static_cast<DWORD>(pid);
  info->dwThreadId = static_cast<DWORD>(pid);
}

// The native form of a Windows path, or "" when it has none.
std::string Native(const std::string& windows) {
  std::string native;
  return DriveMapToNative(windows.c_str(), &native) ? native : std::string();
}

}  // namespace

void SetTextViewerEnabled(bool enabled) { g_viewer_enabled = enabled; }

BOOL CreateProcessA(LPCSTR application, LPSTR command_line, SECURITY_ATTRIBUTES*,
                    SECURITY_ATTRIBUTES*, BOOL, DWORD, LPVOID, LPCSTR current_dir,
                    STARTUPINFOA*, PROCESS_INFORMATION* info) {
  std::vector<std::string> words = SplitCommandLine(command_line ? command_line : "");
  if (application != nullptr) words.insert(words.begin(), application);
  if (words.empty()) return FALSE;
  std::string dir = current_dir != nullptr ? Native(current_dir) : std::string();
  if (current_dir != nullptr && dir.empty()) return FALSE;

  std::vector<std::string> argv;
  if (IsTextViewer(words[0])) {
    if (!g_viewer_enabled) {
      Started(info, 0);
      return TRUE;
    }
    // The viewer's arguments are the files to show, in Windows form.
    std::vector<std::string> files;
    for (size_t i = 1; i < words.size(); ++i) {
      std::string native = Native(words[i]);
      if (native.empty()) return FALSE;
      files.push_back(native);
    }
    const char* viewer = std::getenv("VELOR_VIEWER");
    FrontEnd* fe = CurrentFrontEnd();
    if (viewer != nullptr && *viewer != '\0') {
      argv = SplitBlanks(viewer);
    } else if (fe != nullptr && fe->OnDesktop()) {
      argv = {"xdg-open"};
    }
    pid_t pid = 0;
    if (!argv.empty() && StartViewer(argv, files, dir, &pid)) {
      Started(info, pid);
      return TRUE;
    }
    // No viewer program could take the files: the front end shows them.
    for (const std::string& f : files) {
      if (fe == nullptr || !fe->ShowTextFile(f)) return FALSE;
    }
    Started(info, 0);
    return TRUE;
  } else {
    std::string program = Native(words[0]);
    if (program.empty()) return FALSE;
    argv.push_back(program);
    for (size_t i = 1; i < words.size(); ++i) {
      std::string utf8;
      if (!Cp932ToUtf8(words[i], &utf8)) return FALSE;
      argv.push_back(utf8);
    }
  }
  pid_t pid = 0;
  if (!Spawn(argv, dir, &pid)) return FALSE;
  Started(info, pid);
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  if (handle == nullptr) return FALSE;
  delete static_cast<pid_t*>(handle);
  return TRUE;
}
