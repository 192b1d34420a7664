// The connection to the accounting host: opens the host store for the
// current user and closes it again. Here the host is an embedded store file
// (see SetStoreOptions).
#pragma once
#include <string>

#include "ClSysEnvMgr.h"
#include "wintypes.h"

class ClAccConnect {
 public:
  // Caption text of the connecting application (code page 932). It is the
  // first data member: the caller stores a pointer to its caption here.
  const char* m_lpszAppCaption = nullptr;

  // The one connection of the process.
  static ClAccConnect* Inst();

  // Chooses the store and the current user that the next Initiate uses.
  // dbPathUtf8: native path of the store file (UTF-8); null means
  // VELOR_HOST_DB, else defaultDbPathUtf8 (null: none). userIdUtf8: the user
  // ID in UTF-8 (converted to code page 932 by Initiate); null means
  // VELOR_USER, else the login name. The texts are copied. Stays in force
  // until changed.
  static void SetStoreOptions(const char* dbPathUtf8, const char* userIdUtf8,
                              const char* defaultDbPathUtf8 = nullptr);

  // Records the application type and the use data type (kept, not examined).
  void SetAppType(ClSysEnvMgr::_AppType type);
  void SetUseDataType(int type);

  // Opens the store and checks the current user. Returns 0 when connected;
  // otherwise non-zero with *reason (when reason is not null) set to one
  // line (UTF-8) saying why and what to do (no store, store missing,
  // unreadable or not a host store, user unknown). Calling it while
  // connected returns 0 and changes nothing.
  int Initiate(std::string* reason = nullptr);
  // The host's go-ahead after the installation check: 0 when connected,
  // 1 when Initiate has not succeeded.
  int ExpSysLink();

  // Ends the user's session (nothing to do for the store).
  void LogOut();
  // Closes the store: every cursor and walk ends, the host's objects forget
  // the store. Safe to call when not connected and more than once.
  void Terminate();
  // Releases the connection's resources and resets the host's singletons, so
  // that SetStoreOptions and Initiate can start afresh. Implies Terminate.
  void Release();

  // True between a successful Initiate and Terminate.
  bool IsConnected() const;
  // What the store said of its last failed call (UTF-8, one line, naming the
  // store and the cause); empty when not connected or nothing failed.
  std::string GetStoreErrorText() const;

  // Shows text under caption (code page 932) with the buttons and icon of
  // style, owned by owner (null: none), through the front end in use;
  // returns the button chosen. ES_APRPACKAGENAME in text is shown as the
  // store's product name (velor-host init --product-name).
  int DispMsg(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

 private:
  ClSysEnvMgr::_AppType appType_ = ClSysEnvMgr::APPTYPE_STANDARD;
  int useDataType_ = 0;
};
