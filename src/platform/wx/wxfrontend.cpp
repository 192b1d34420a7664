#include "wxfrontend.h"

#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>

#include "messages.h"
#include "codepage.h"
#include "crtio.h"
#include "drivemap.h"
#include "wxdialogwindow.h"
#include "wxfilechooser.h"
#include "wxmessagebox.h"
#include "wxprogresswindow.h"
#include "wxscreentext.h"
#include "wxtextviewer.h"
#include "wxtoolkitlog.h"
#include "desktoptrace.h"

namespace {

bool g_started = false;

void ReportAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
  std::fprintf(stderr, "velor: desktop toolkit: %s:%d %s: %s %s\n", Utf8Of(file).c_str(), line,
               Utf8Of(func).c_str(), Utf8Of(cond).c_str(), Utf8Of(msg).c_str());
}

}  // namespace

bool StartDesktop(std::string* why) {
  if (g_started) return true;
  if (!DisplayAvailable()) {
    *why = Tr("no display: DISPLAY is not set");
    return false;
  }
  // The toolkit leaves the process's locale as it was: the system formats
  // and compares its texts itself.
  static int argc = 1;
  static char name[] = "velor";
  static char* argv[] = {name, nullptr};
  KeepToolkitWarningsOffTerminal();
  wxApp::SetInstance(new wxApp());
  bool started = wxEntryStart(argc, argv);
  bool ok = started && wxTheApp->CallOnInit();
  if (!ok) {
    if (started) wxEntryCleanup();
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    *why = Tr("cannot open the display %s",
              {display != nullptr && *display != '\0' ? display : wayland != nullptr ? wayland : ""});
    return false;
  }
  // The toolkit's complaints go to the standard error, never into a window
  // that would stop the run.
  delete wxLog::SetActiveTarget(new wxLogStderr());
  wxSetAssertHandler(ReportAssert);
  // Native file names are UTF-8 whatever the locale says.
  wxConvFileName = &wxConvUTF8;
  g_started = true;
  return true;
}

void StopDesktop() {
  if (!g_started) return;
  wxTheApp->OnExit();
  wxEntryCleanup();
  g_started = false;
}

WxFrontEnd::WxFrontEnd() = default;

WxFrontEnd::~WxFrontEnd() {
  progress_.reset();
  while (wait_depth_ > 0) SetWaitCursor(false);
  for (auto& viewer : viewers_) viewer->WaitUntilClosed();
  viewers_.clear();
  StopDesktop();
}

wxWindow* WxFrontEnd::OwnerWindow(HWND owner) const {
  if (owner == nullptr) return nullptr;
  for (const auto& [dlg, window] : shown_) {
    if (dlg->GetSafeHwnd() == owner) return window;
  }
  return nullptr;
}

int WxFrontEnd::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                           UINT type) {
  return ShowDesktopMessageBox(OwnerWindow(owner), text, caption, type);
}

void WxFrontEnd::RunModal(CDialog& dlg) {
  if (dlg.Template() == nullptr) {
    dlg.UserClosed();
    return;
  }
  wxWindow* parent = shown_.empty() ? nullptr : shown_.back().second;
  WxDialogWindow window(dlg, parent);
  shown_.emplace_back(&dlg, &window);
  window.RunUntilEnded();
  shown_.pop_back();
  char line[32];
  std::snprintf(line, sizeof line, "end %d", dlg.EndCode());
  DesktopTrace(line);
}

void WxFrontEnd::ControlChanged(CDialog& dlg, int id) {
  for (const auto& [shown, window] : shown_) {
    if (shown == &dlg) window->ProgramChanged(id);
  }
}

bool WxFrontEnd::ChooseFile(const FileChooserRequest& request, std::string* path) {
  return ChooseDesktopFile(OwnerWindow(request.owner), request, path);
}

void WxFrontEnd::SetWaitCursor(bool on) {
  if (on) {
    ++wait_depth_;
    wxBeginBusyCursor();
    DesktopTrace("wait cursor on");
  } else if (wait_depth_ > 0) {
    --wait_depth_;
    wxEndBusyCursor();
    DesktopTrace("wait cursor off");
  }
}

bool WxFrontEnd::OnDesktop() const { return true; }

bool WxFrontEnd::ShowTextFile(const std::string& native_path) {
  std::string text;
  if (!ReadNativeFile(native_path.c_str(), &text)) return false;
  // Titled as the user knows the file: by its Windows path.
  std::string windows, title = native_path;
  if (DriveMapToWindows(native_path, &windows) && !Cp932ToUtf8(windows, &title)) title = native_path;
  viewers_.push_back(std::make_unique<WxTextViewer>(title, text));
  viewers_.back()->ShowBeside();
  return true;
}

bool WxFrontEnd::ShowProgress(long done, long total, long rate) {
  if (progress_ == nullptr) progress_ = std::make_unique<WxProgressWindow>();
  return progress_->Update(done, total, rate);
}

void WxFrontEnd::EndProgress() { progress_.reset(); }

std::unique_ptr<FrontEnd> CreateDesktopFrontEnd(std::string* why) {
  if (!StartDesktop(why)) return nullptr;
  return std::make_unique<WxFrontEnd>();
}
