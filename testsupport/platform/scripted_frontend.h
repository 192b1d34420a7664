// A front end for tests: the test queues what the user does and reads back
// what the program showed.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "frontend.h"
#include "winframe.h"

class ScriptedFrontEnd : public FrontEnd {
 public:
  // One message box as shown.
  struct Box {
    HWND owner;
    std::string text, caption;  // code page 932
    UINT type;
  };

  // Makes itself the current front end; the previous one comes back with
  // the object's end.
  ScriptedFrontEnd();
  ~ScriptedFrontEnd() override;

  // --- what the user does in the dialog, in order ---
  // Replaces the text of edit id by text (code page 932).
  void Type(int id, const std::string& text);
  // Presses key vk in control id (0: the focused one) with modifiers.
  void Key(int id, int vk, unsigned modifiers = 0);
  // Clicks button id.
  void Click(int id);
  // Closes the dialog with its close box.
  void Close();
  // Runs check on the dialog at this point of the script.
  void Inspect(std::function<void(CDialog&)> check);

  // --- answers, taken in order as the program asks ---
  // The answer (IDYES or IDNO) to the next question box.
  void Answer(int button);
  // The next file chooser confirms path (Windows form, code page 932).
  void ChooseNext(const std::string& path);
  // The next file chooser is cancelled.
  void CancelNext();
  // The export's progress display cancels once it shows done >= assets.
  void CancelAtAsset(long assets) { cancel_at_ = assets; }
  // Calls hook once, when the wait cursor first shows: the export begins,
  // the dialog's checks are done.
  void OnExportStart(std::function<void()> hook) { export_start_ = std::move(hook); }

  // --- what was shown ---
  const std::vector<Box>& boxes() const { return boxes_; }
  const std::vector<FileChooserRequest>& choosers() const { return choosers_; }
  // Questions asked with no queued answer (they got IDNO).
  int unanswered() const { return unanswered_; }
  // True when the script ran out before the dialog ended (it was closed).
  bool ran_out() const { return ran_out_; }
  // How many dialogs were run.
  int dialogs_run() const { return dialogs_run_; }
  // Current nesting of the wait cursor, and its highest value.
  int wait_depth() const { return wait_depth_; }
  int max_wait_depth() const { return max_wait_depth_; }
  // Files shown through ShowTextFile (native paths).
  const std::vector<std::string>& shown_files() const { return shown_files_; }
  // Calls of ShowProgress, and whether the progress was taken away after.
  int progress_shown() const { return progress_shown_; }
  bool progress_ended() const { return progress_ended_; }

  int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override;
  void RunModal(CDialog& dlg) override;
  bool ChooseFile(const FileChooserRequest& request, std::string* path) override;
  void SetWaitCursor(bool on) override;
  bool ShowTextFile(const std::string& native_path) override;
  bool ShowProgress(long done, long total, long rate) override;
  void EndProgress() override { progress_ended_ = true; }

 private:
  FrontEnd* previous_;
  std::deque<std::function<void(CDialog&)>> actions_;
  std::deque<int> answers_;
  std::deque<std::pair<bool, std::string>> chooser_answers_;
  std::vector<Box> boxes_;
  std::vector<FileChooserRequest> choosers_;
  std::vector<std::string> shown_files_;
  int unanswered_ = 0;
  bool ran_out_ = false;
  int dialogs_run_ = 0;
  int wait_depth_ = 0;
  int max_wait_depth_ = 0;
  long cancel_at_ = -1;
  std::function<void()> export_start_;  // see OnExportStart
  int progress_shown_ = 0;
  bool progress_ended_ = false;
};
