#include "nativeos.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool MakeNativeFolders(const std::string& native) {
  std::error_code ec;
  fs::create_directories(native, ec);
  return fs::is_directory(native, ec);
}

bool NativeIsFolder(const std::string& native) {
  struct stat st;
  return stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void MakeReadOnly(const std::string& native) { chmod(native.c_str(), 0555); }

bool RunsAsSuperuser() { return geteuid() == 0; }

int CountFolderEntries(const std::string& native) {
  std::error_code ec;
  int entries = 0;
  for (fs::directory_iterator it(native, ec), end; !ec && it != end; it.increment(ec)) ++entries;
  return entries;
}

std::vector<std::string> FolderEntryNames(const std::string& native) {
  std::error_code ec;
  std::vector<std::string> names;
  for (fs::directory_iterator it(native, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool MakeSymlink(const std::string& target, const std::string& link) {
  return symlink(target.c_str(), link.c_str()) == 0;
}

bool IsSymlink(const std::string& native) {
  struct stat st;
  return lstat(native.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

void SleepMilliseconds(int milliseconds) {
  timespec wait = {milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

const char* EnvValue(const char* name) { return std::getenv(name); }

void RemoveEnvValue(const char* name) { unsetenv(name); }

bool RaiseInterrupt() { return std::raise(SIGINT) == 0; }

bool InterruptIsDefault() {
  struct sigaction now;
  return sigaction(SIGINT, nullptr, &now) == 0 && now.sa_handler == SIG_DFL;
}

int RunShellCommand(const std::string& command, std::string* out) {
  std::string line = command + " </dev/null 2>&1";
  FILE* pipe = popen(line.c_str(), "r");
  out->clear();
  if (pipe == nullptr) return -1;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out->append(buffer, n);
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ScopedCurrentFolder::ScopedCurrentFolder() {
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd) != nullptr) old_ = cwd;
}

bool ScopedCurrentFolder::MoveTo(const std::string& native) { return chdir(native.c_str()) == 0; }

ScopedCurrentFolder::~ScopedCurrentFolder() {
  if (!old_.empty()) (void)!chdir(old_.c_str());
}
