#include <cstdio>
#include <cstring>
#include <string>

#include "ClAccConnect.h"
#include "ClControlVelor.h"
#include "caption.h"
#include "cfile.h"
#include "codepage.h"
#include "consoleout.h"
#include "crtio.h"
#include "mbcs.h"
#include "messages.h"
#include "numtext.h"
#include "pathapi.h"
#include "winini.h"
#include "messagebox.h"

namespace {

const char kIniName[] = "OrbelleDef.ini";
const char kUnreadable[] = "動作環境が不正です。\nインストール情報のファイルを読み込めません。\n";

const struct {
  int code;
  const char* text;
} kRefusals[] = {
    {-1, "動作環境が不正です。\nES_APRPACKAGENAMEが正しくインストールされているか確認してください。"},
    {1,
     "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用できません。\n"
     "ES_APRPACKAGENAMEの最新版を入手してインストールしてからご利用ください。"},
    {2,
     "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用できません。\n"
     "連動コンポーネントの最新版を入手してインストールしてからご利用ください。"},
};

// The result code of the check: -1 no file or an empty value, -2 a file
// that cannot be read (*path names it), 0 level 1, 1 a level below 1, 2 a
// level of 2 or more. *missing gets the path of a file that is not there.
int ProductLevelCode(std::string* missing, std::string* unread) {
  char cwd[MAX_PATH + 1] = {};
  char path[517] = {};
  if (_getcwd(cwd, MAX_PATH) != nullptr) std::strcpy(path, cwd);
  size_t length = std::strlen(path);
  if (length > 0) {
    bool last_is_trail = MbcsKindAt(path, length, length - 1) == MBCS_TRAIL;
    if (path[length - 1] == '\\') {
      if (last_is_trail) std::strcat(path, "\\");
    } else if (length < 516) {
      std::strcat(path, "\\");
    }
  }
  if (std::strlen(path) + sizeof kIniName > sizeof path) return -1;
  std::strcat(path, kIniName);
  if (PathFileExistsA(path) != 1) {
    *missing = path;
    return -1;
  }
  // Only a regular file that can be read is read (a FIFO would hold the
  // read for good); anything else is no installation.
  CFile file;
  if (!file.Open(path, CFile::modeRead)) {
    *unread = path;
    return -2;
  }
  file.Close();
  char value[16] = {};
  GetPrivateProfileStringA("ProgramLevel", "ZR40", "1", value, sizeof value, path);
  if (value[0] == '\0') return -1;
  long long level = LeadingNumber(value);
  if (level == 1) return 0;
  return level < 1 ? 1 : 2;
}

}  // namespace

BOOL ClControlVelor::CheckEnvironment(int show) {
  std::string missing, unread;
  int code = ProductLevelCode(&missing, &unread);
  if (code == -2) {
    std::string text = std::string(kUnreadable) + unread;
    if (show) ClAccConnect::Inst()->DispMsg(nullptr, text.c_str(), kCaption, MB_ICONEXCLAMATION);
    return FALSE;
  }
  for (const auto& refusal : kRefusals) {
    if (refusal.code == code) {
      // The message box is the system's; which file was looked for is said
      // beside it.
      std::string utf8;
      if (!missing.empty() && !Cp932ToUtf8(missing, &utf8)) utf8 = missing;
      if (!missing.empty()) {
        ConsolePrintf(stderr, "velor: %s\n", Tr("the installed-products file %s is not there", {utf8}).c_str());
      }
      if (show) ClAccConnect::Inst()->DispMsg(nullptr, refusal.text, kCaption, MB_ICONEXCLAMATION);
      return FALSE;
    }
  }
  return TRUE;
}
