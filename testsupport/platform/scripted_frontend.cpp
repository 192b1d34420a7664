#include "scripted_frontend.h"

#include "messagebox.h"

ScriptedFrontEnd::ScriptedFrontEnd() : previous_(SetCurrentFrontEnd(this)) {}

ScriptedFrontEnd::~ScriptedFrontEnd() { SetCurrentFrontEnd(previous_); }

void ScriptedFrontEnd::Type(int id, const std::string& text) {
  actions_.push_back([id, text](CDialog& dlg) {
    dlg.UserFocused(id);
    dlg.UserTyped(id, text);
  });
}

void ScriptedFrontEnd::Key(int id, int vk, unsigned modifiers) {
  actions_.push_back([id, vk, modifiers](CDialog& dlg) { dlg.UserKeyDown(id, vk, modifiers); });
}

void ScriptedFrontEnd::Click(int id) {
  actions_.push_back([id](CDialog& dlg) {
    dlg.UserFocused(id);
    dlg.UserClicked(id);
  });
}

void ScriptedFrontEnd::Close() {
  actions_.push_back([](CDialog& dlg) { dlg.UserClosed(); });
}

void ScriptedFrontEnd::Inspect(std::function<void(CDialog&)> check) {
  actions_.push_back(std::move(check));
}

void ScriptedFrontEnd::Answer(int button) { answers_.push_back(button); }

void ScriptedFrontEnd::ChooseNext(const std::string& path) {
  chooser_answers_.emplace_back(true, path);
}

void ScriptedFrontEnd::CancelNext() { chooser_answers_.emplace_back(false, std::string()); }

int ScriptedFrontEnd::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                                 UINT type) {
  boxes_.push_back(Box{owner, text, caption, type});
  if ((type & MB_YESNO) == 0) return IDOK;
  if (answers_.empty()) {
    ++unanswered_;
    return IDNO;
  }
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedFrontEnd::RunModal(CDialog& dlg) {
  ++dialogs_run_;
  while (!dlg.IsEnded() && !actions_.empty()) {
    auto action = std::move(actions_.front());
    actions_.pop_front();
    action(dlg);
  }
  if (!dlg.IsEnded()) {
    ran_out_ = true;
    dlg.UserClosed();
  }
}

bool ScriptedFrontEnd::ChooseFile(const FileChooserRequest& request, std::string* path) {
  choosers_.push_back(request);
  if (chooser_answers_.empty()) return false;
  auto [confirm, chosen] = chooser_answers_.front();
  chooser_answers_.pop_front();
  if (confirm) *path = chosen;
  return confirm;
}

void ScriptedFrontEnd::SetWaitCursor(bool on) {
  wait_depth_ += on ? 1 : -1;
  if (on && export_start_) {
    std::function<void()> hook = std::move(export_start_);
    export_start_ = nullptr;
    hook();
  }
  if (wait_depth_ > max_wait_depth_) max_wait_depth_ = wait_depth_;
}

bool ScriptedFrontEnd::ShowTextFile(const std::string& native_path) {
  shown_files_.push_back(native_path);
  return true;
}

bool ScriptedFrontEnd::ShowProgress(long done, long, long) {
  ++progress_shown_;
  progress_ended_ = false;
  return cancel_at_ < 0 || done < cancel_at_;
}
