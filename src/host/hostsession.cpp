#include "hostsession.h"

#include <cstring>
#include <vector>

#include "codepage.h"
#include "crtio.h"
#include "messages.h"
#include "savedsettings.h"
#include "winenv.h"

namespace {
HostSession* g_session = nullptr;
// The session of a thread that has one of its own (HostThreadSession).
thread_local HostSession* t_session = nullptr;

void CopyColumnText(sqlite3_stmt* stmt, int column, char* out, size_t size) {
  const void* bytes = sqlite3_column_blob(stmt, column);
  size_t n = static_cast<size_t>(sqlite3_column_bytes(stmt, column));
  if (n > size - 1) n = size - 1;
  if (n > 0) std::memcpy(out, bytes, n);
  out[n] = '\0';
}
}  // namespace

const char kDataInfoColumns[] =
    "data_id, data_no, szDataName, lTermStart, lTermEnd, data_kind, bEntityKind";

void FillDataInfo(sqlite3_stmt* stmt, int first, StDATAINFO* info) {
  std::memset(info, 0, sizeof *info);
  CopyColumnText(stmt, first, info->szDataID, sizeof info->szDataID);
  info->lDataNo = sqlite3_column_int(stmt, first + 1);
  CopyColumnText(stmt, first + 2, info->szDataName, sizeof info->szDataName);
  info->lTermStart = sqlite3_column_int(stmt, first + 3);
  info->lTermEnd = sqlite3_column_int(stmt, first + 4);
  info->nDataKind = static_cast<int16_t>(sqlite3_column_int(stmt, first + 5));
  info->bEntityKind = static_cast<BYTE>(sqlite3_column_int(stmt, first + 6));
}

std::string HostEnvText(const char* name) {
  std::vector<char> buffer(256);
  for (;;) {
    DWORD n = GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return "";
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(n);
  }
}

HostSession* HostSession::Current() { return t_session != nullptr ? t_session : g_session; }

int HostSession::Open(const std::string& path, const std::string& user, std::string* message) {
  Close();
  sqlite3* db = nullptr;
  std::string detail;
  HostOpenResult result = OpenHostStore(path, false, &db, &detail);
  if (result != HOST_OPEN_OK) {
    *message = HostOpenMessage(result, path, detail);
    return 1;
  }
  HostStmt find(db, "SELECT selected_data_no FROM users WHERE user_id = ?");
  int rc = SQLITE_ERROR;
  if (find.ok()) {
    sqlite3_bind_blob(find.get(), 1, user.data(), static_cast<int>(user.size()), SQLITE_STATIC);
    rc = sqlite3_step(find.get());
  }
  if (rc != SQLITE_ROW) {
    if (rc == SQLITE_DONE) {
      std::string shown;
      if (!Cp932ToUtf8(user, &shown)) shown.assign(1, '?');
      *message = Tr("user \"%s\" is not in the host store %s; import a ledger that has this "
                    "user, or choose a user of the store with --user or VELOR_USER (velor-host "
                    "list shows them)",
                    {shown, path});
    } else {
      *message = Tr("cannot read the host store %s (%s)", {path, sqlite3_errmsg(db)});
    }
    find.Finalize();
    sqlite3_close(db);
    return 1;
  }
  LONG selectedNo = sqlite3_column_int(find.get(), 0);
  find.Finalize();
  auto* session = new HostSession();
  session->db_ = db;
  // Start-up moves to the program's folder after the store is open: a
  // relative path would name another file when the store is opened again.
  session->path_ = NativeAbsolutePath(path);
  session->user_ = user;
  HostStmt company(db, std::string("SELECT ") + kDataInfoColumns + " FROM companies WHERE data_no = ?");
  rc = SQLITE_ERROR;
  if (company.ok()) {
    sqlite3_bind_int(company.get(), 1, selectedNo);
    rc = sqlite3_step(company.get());
    if (rc == SQLITE_ROW) FillDataInfo(company.get(), 0, &session->selected_);
  }
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
    *message = "cannot read the company data sets of the host store " + path + " (" +
               sqlite3_errmsg(db) + "); velor-host check " + path + " tells what is wrong";
    company.Finalize();
    delete session;
    return 1;
  }
  g_session = session;
  UseHostSavedSettings();
  return 0;
}

void HostSession::Close() {
  delete g_session;
  g_session = nullptr;
}

HostSession::~HostSession() {
  std::set<HostStatementOwner*> owners;
  owners.swap(owners_);
  for (HostStatementOwner* owner : owners) owner->DropStatements();
  cursors_.clear();
  sqlite3_close(db_);
}

int HostSession::FindCompany(const char* dataId, long long* cid) {
  if (dataId == nullptr || dataId[0] == '\0') return 0;
  HostStmt find(db_, "SELECT cid FROM companies WHERE data_id = ? AND data_no IS NOT NULL");
  if (!find.ok()) return -1;
  sqlite3_bind_text(find.get(), 1, dataId, -1, SQLITE_STATIC);
  int rc = sqlite3_step(find.get());
  if (rc == SQLITE_DONE) return 0;
  if (rc != SQLITE_ROW) return -1;
  *cid = sqlite3_column_int64(find.get(), 0);
  return 1;
}

HostThreadSession::HostThreadSession(std::string* message) {
  const HostSession* shared = g_session;
  if (shared == nullptr) {
    *message = Tr("the host store is not open");
    return;
  }
  sqlite3* db = nullptr;
  std::string detail;
  HostOpenResult result = OpenHostStore(shared->path_, false, &db, &detail);
  if (result != HOST_OPEN_OK) {
    *message = HostOpenMessage(result, shared->path_, detail);
    return;
  }
  session_ = new HostSession();
  session_->db_ = db;
  session_->path_ = shared->path_;
  session_->user_ = shared->user_;
  session_->selected_ = shared->selected_;
  t_session = session_;
}

HostThreadSession::~HostThreadSession() {
  if (session_ == nullptr) return;
  if (t_session == session_) t_session = nullptr;
  delete session_;
}
