#include "hostsession.h"

#include <vector>

#include "codepage.h"
#include "messages.h"
#include "savedsettings.h"
#include "winenv.h"

namespace {
HostSession* g_session = nullptr;
// The session of a thread that has one of its own (HostThreadSession).
thread_local HostSession* t_session = nullptr;
}  // namespace

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

int HostSession::Open(const std::string& where, const std::string& user, std::string* message) {
  Close();
  std::unique_ptr<HostStore> store;
  StoreError error = OpenHostStore(where, &store);
  if (!error.ok()) {
    *message = StoreErrorMessage(error, where);
    return 1;
  }
  return Adopt(std::move(store), user, message);
}

int HostSession::Adopt(std::unique_ptr<HostStore> store, const std::string& user, std::string* message) {
  Close();
  bool found = false;
  long first = 0, selectedNo = 0;
  StoreError error = store->FindUser(user, &found, &first, &selectedNo);
  if (error.ok() && !found) {
    std::string shown;
    if (!Cp932ToUtf8(user, &shown)) shown.assign(1, '?');
    *message = Tr("user \"%s\" is not in the host store %s; import a ledger that has this "
                  "user, or choose a user of the store with --user or VELOR_USER (velor-host "
                  "list shows them)",
                  {shown, store->name()});
    return 1;
  }
  StDATAINFO selected{};
  if (error.ok()) error = store->FindCompanyByNo(selectedNo, &selected, &found);
  if (!error.ok()) {
    *message = StoreErrorMessage(error, store->name());
    return 1;
  }
  auto* session = new HostSession();
  session->store_ = std::move(store);
  session->user_ = user;
  if (found) session->selected_ = selected;
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
}

int HostSession::FindCompany(const char* dataId, long long* cid) {
  if (dataId == nullptr || dataId[0] == '\0') return 0;
  bool found = false;
  StoreError error = store_->FindCompany(dataId, cid, &found);
  NoteError(error);
  if (!error.ok()) return -1;
  return found ? 1 : 0;
}

HostThreadSession::HostThreadSession(std::string* message) {
  const HostSession* shared = g_session;
  if (shared == nullptr) {
    *message = Tr("the host store is not open");
    return;
  }
  std::unique_ptr<HostStore> store;
  StoreError error = shared->store_->OpenAnother(&store);
  if (!error.ok()) {
    *message = StoreErrorMessage(error, shared->store_->name());
    return;
  }
  session_ = new HostSession();
  session_->store_ = std::move(store);
  session_->user_ = shared->user_;
  session_->selected_ = shared->selected_;
  t_session = session_;
}

HostThreadSession::~HostThreadSession() {
  if (session_ == nullptr) return;
  if (t_session == session_) t_session = nullptr;
  delete session_;
}
