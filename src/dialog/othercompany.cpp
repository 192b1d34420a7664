#include "othercompany.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "drivemap.h"
#include "fs.h"

namespace {

// An asset file begins with its version line; the company's lines follow
// within the first few hundred bytes.
const char kVersionKey[] = "バージョン=";
const char kNameKey[] = "顧問先名称=";
const char kStartKey[] = "事業年度開始日=";
const char kEndKey[] = "事業年度終了日=";
constexpr size_t kHeadBytes = 1024;
constexpr size_t kMostFiles = 500;  // a folder of more is not searched further

// The value of the preamble line that begins with key, or "" (found false).
std::string LineValue(const std::string& head, const char* key, bool* found) {
  size_t at = head.find(std::string("\n") + key);
  *found = at != std::string::npos;
  if (!*found) return "";
  at += 1 + std::string(key).size();
  size_t end = head.find_first_of("\r\n", at);
  return head.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// "yyyymmdd" as "yyyy/mm/dd"; "" when it is no date.
std::string SlashedDate(const std::string& digits) {
  if (digits.size() != 8 || digits.find_first_not_of("0123456789") != std::string::npos) return "";
  return digits.substr(0, 4) + "/" + digits.substr(4, 2) + "/" + digits.substr(6, 2);
}

// The first bytes of the regular file native and its time of change, or ""
// when it cannot be read.
std::string Head(Fs* fs, const std::string& native, uint64_t* modified) {
  FsStat st;
  std::unique_ptr<FsFile> file;
  if (fs->Stat(native, false, &st) != FsError::kNone || !st.regular ||
      fs->Open(native, FsOpen::kRead, &file) != FsError::kNone) {
    return "";
  }
  std::string head(kHeadBytes, '\0');
  size_t got = 0;
  if (file->Read(head.data(), head.size(), &got) != FsError::kNone) return "";
  head.resize(got);
  *modified = st.modified;
  return head;
}

}  // namespace

std::string OtherCompanyInFolder(const char* asset_path, const std::string& company,
                                 const std::string& period) {
  std::string folder;
  std::vector<std::string> names;
  Fs* fs = Fs::Default();
  if (!DriveMapFolderOf(asset_path, &folder) || fs->ListFolder(folder, &names) != FsError::kNone) {
    return "";
  }
  if (names.size() > kMostFiles) names.resize(kMostFiles);
  // The kind file and the log were written with the folder's newest asset
  // file: its preamble says whose they are.
  std::string newest_name, newest_period;
  uint64_t newest = 0;
  bool any = false;
  for (const std::string& name : names) {
    uint64_t modified = 0;
    std::string head = Head(fs, folder + "/" + name, &modified);
    bool named = false, started = false, ended = false;
    if (head.rfind(kVersionKey, 0) != 0) continue;
    std::string name_value = LineValue(head, kNameKey, &named);
    std::string start = SlashedDate(LineValue(head, kStartKey, &started));
    std::string end = SlashedDate(LineValue(head, kEndKey, &ended));
    if (!named || !started || !ended || (any && modified < newest)) continue;
    any = true;
    newest = modified;
    newest_name = name_value;
    newest_period = start + "～" + end;
  }
  // The dialog's company text is cut at its buffer; a longer name matches by
  // that part.
  bool same_name = newest_name == company ||
                   (company.size() >= 253 && newest_name.rfind(company, 0) == 0);
  return any && (!same_name || newest_period != period) ? newest_name : "";
}
