// The POSIX side of the tests' operating-system calls.
#include "nativeos.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

char NativeSeparator() { return '/'; }

void MakeReadOnly(const std::string& native) { chmod(native.c_str(), 0555); }

bool TextViewerIsNotepad() { return false; }

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

void SetEnvValue(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }

void RemoveEnvValue(const char* name) { unsetenv(name); }

bool RaiseInterrupt() { return std::raise(SIGINT) == 0; }

bool InterruptHandlingKnown() { return true; }

bool InterruptIsDefault() {
  struct sigaction now;
  return sigaction(SIGINT, nullptr, &now) == 0 && now.sa_handler == SIG_DFL;
}

std::string ShellQuote(const std::string& word) { return "'" + word + "'"; }

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
