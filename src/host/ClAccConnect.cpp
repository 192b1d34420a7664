#include "ClAccConnect.h"

#include <cstring>
#include <string>

#include "codepage.h"
#include "hostsession.h"
#include "mbcs.h"
#include "messages.h"
#include "messagebox.h"

namespace {
std::string g_storePath;
std::string g_defaultStorePath;
std::string g_userId;
bool g_hasStorePath = false;
bool g_hasUserId = false;

// The store Initiate opens: the one set, else the environment's, else the
// default.
std::string ResolveStorePath() {
  if (g_hasStorePath) return g_storePath;
  std::string path = HostEnvText("VELOR_HOST_DB");
  return path.empty() ? g_defaultStorePath : path;
}

// Sets *reason (when given) and returns the failure of Initiate.
int Refuse(std::string* reason, const std::string& text) {
  if (reason != nullptr) *reason = text;
  return 1;
}

// The current user in UTF-8: the one set, else the environment's.
std::string ResolveUser() {
  if (g_hasUserId) return g_userId;
  for (const char* name : {"VELOR_USER", "USER", "LOGNAME", "USERNAME"}) {
    std::string user = HostEnvText(name);
    if (!user.empty()) return user;
  }
  return "";
}

// The text (code page 932) with every ES_APRPACKAGENAME that starts on a
// character replaced by name.
std::string ReplaceProductToken(const char* text, const std::string& name) {
  static const char kToken[] = "ES_APRPACKAGENAME";
  const size_t tokenLength = sizeof kToken - 1;
  std::string out;
  for (const char* p = text; *p != '\0';) {
    if (std::strncmp(p, kToken, tokenLength) == 0) {
      out += name;
      p += tokenLength;
    } else if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0') {
      out.append(p, 2);
      p += 2;
    } else {
      out += *p++;
    }
  }
  return out;
}
}  // namespace

ClAccConnect* ClAccConnect::Inst() {
  static ClAccConnect connection;
  return &connection;
}

void ClAccConnect::SetStoreOptions(const char* dbPathUtf8, const char* userIdUtf8,
                                   const char* defaultDbPathUtf8) {
  g_hasStorePath = dbPathUtf8 != nullptr;
  g_storePath = dbPathUtf8 ? dbPathUtf8 : "";
  g_defaultStorePath = defaultDbPathUtf8 ? defaultDbPathUtf8 : "";
  g_hasUserId = userIdUtf8 != nullptr;
  g_userId = userIdUtf8 ? userIdUtf8 : "";
}

void ClAccConnect::SetAppType(ClSysEnvMgr::_AppType type) { appType_ = type; }

void ClAccConnect::SetUseDataType(int type) { useDataType_ = type; }

int ClAccConnect::Initiate(std::string* reason) {
  if (HostSession::Current() != nullptr) return 0;
  std::string path = ResolveStorePath();
  if (path.empty()) {
    return Refuse(reason,
                  Tr("no host store given; give --db FILE or set VELOR_HOST_DB to the store file"));
  }
  std::string user = ResolveUser();
  std::string user932;
  if (user.empty()) {
    return Refuse(reason,
                  Tr("no current user; give --user ID or set VELOR_USER to a user of the host store"));
  }
  if (!Utf8ToCp932(user, &user932) || user932.size() > 64) {
    return Refuse(reason, Tr("user \"%s\" cannot be a host user (code page 932, at most 64 bytes); "
                             "give --user ID or set VELOR_USER to a user of the host store",
                             {user}));
  }
  std::string message;
  if (HostSession::Open(path, user932, &message) != 0) return Refuse(reason, message);
  return 0;
}

int ClAccConnect::ExpSysLink() { return HostSession::Current() != nullptr ? 0 : 1; }

void ClAccConnect::LogOut() {}

void ClAccConnect::Terminate() { HostSession::Close(); }

void ClAccConnect::Release() {
  Terminate();
  m_lpszAppCaption = nullptr;
  appType_ = ClSysEnvMgr::APPTYPE_STANDARD;
  useDataType_ = 0;
}

bool ClAccConnect::IsConnected() const { return HostSession::Current() != nullptr; }

std::string ClAccConnect::GetStoreErrorText() const {
  HostSession* session = HostSession::Current();
  return session != nullptr ? session->lastError() : std::string();
}

int ClAccConnect::DispMsg(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  if (text == nullptr) return MessageBoxA(owner, text, caption, style);
  HostSession* session = HostSession::Current();
  std::string shown = ReplaceProductToken(
      text, session != nullptr ? session->store()->ProductName() : std::string(kDefaultProductName));
  return MessageBoxA(owner, shown.c_str(), caption, style);
}
