#include "readfiles.h"

#include "crtio.h"
#include "fs.h"
#include "messages.h"

namespace {
// "" when path is a regular file, else the reason.
std::string RegularFileProblem(const std::string& path) {
  FsStat st;
  FsError error = Fs::Default()->Stat(path, true, &st);
  if (error != FsError::kNone) return FsErrorText(error);
  return st.regular ? "" : FsErrorText(FsError::kNotRegular);
}
}  // namespace

std::string LoadReadFormat(const std::string& path, ReadFormat* format) {
  std::string problem = RegularFileProblem(path);
  if (!problem.empty()) return Tr("the format file %s cannot be read: %s", {path, problem});
  std::string text;
  if (!ReadNativeFile(path.c_str(), &text)) {
    return Tr("cannot read the format file %s: %s", {path, FsErrorText(Fs::LastError())});
  }
  problem = ParseReadFormat(text, format);
  return problem.empty() ? "" : path + ": " + problem;
}

std::string CheckReadInput(const std::string& path) {
  std::string problem = RegularFileProblem(path);
  return problem.empty() ? "" : Tr("%s cannot be read: %s", {path, problem});
}
