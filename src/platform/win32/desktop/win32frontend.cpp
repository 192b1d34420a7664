#include "win32frontend.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>

#include "desktoptrace.h"
#include "messages.h"
#include "win32dialogwindow.h"
#include "win32filechooser.h"
#include "win32messagebox.h"

Win32FrontEnd::~Win32FrontEnd() {
  while (wait_depth_ > 0) SetWaitCursor(false);
}

HWND Win32FrontEnd::WindowOf(HWND owner) const {
  if (owner == nullptr) return nullptr;
  for (const auto& [dlg, window] : shown_) {
    if (dlg->GetSafeHwnd() == owner) return window->Handle();
  }
  return nullptr;
}

int Win32FrontEnd::MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  return ShowWin32MessageBox(WindowOf(owner), text, caption, type);
}

void Win32FrontEnd::RunModal(CDialog& dlg) {
  if (dlg.Template() == nullptr) {
    dlg.UserClosed();
    return;
  }
  HWND owner = shown_.empty() ? nullptr : shown_.back().second->Handle();
  Win32DialogWindow window(dlg, owner);
  if (window.Handle() == nullptr) {
    std::fprintf(stderr, "velor: %s\n",
                 Tr("the dialog %s cannot be shown (Windows error %s)",
                    {std::to_string(dlg.Template()->id), std::to_string(GetLastError())})
                     .c_str());
    dlg.UserClosed();
    return;
  }
  shown_.emplace_back(&dlg, &window);
  window.RunUntilEnded();
  shown_.pop_back();
  char line[32];
  std::snprintf(line, sizeof line, "end %d", dlg.EndCode());
  DesktopTrace(line);
}

void Win32FrontEnd::ControlChanged(CDialog& dlg, int id) {
  for (const auto& [shown, window] : shown_) {
    if (shown == &dlg) window->ProgramChanged(id);
  }
}

bool Win32FrontEnd::ChooseFile(const FileChooserRequest& request, std::string* path) {
  return ChooseWin32File(WindowOf(request.owner), request, path);
}

void Win32FrontEnd::SetWaitCursor(bool on) {
  if (on) {
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (wait_depth_++ == 0) before_wait_ = previous;
    DesktopTrace("wait cursor on");
  } else if (wait_depth_ > 0) {
    if (--wait_depth_ == 0) SetCursor(before_wait_ != nullptr ? before_wait_ : LoadCursorA(nullptr, IDC_ARROW));
    DesktopTrace("wait cursor off");
  }
}

bool Win32FrontEnd::OnDesktop() const { return true; }

std::unique_ptr<FrontEnd> CreateDesktopFrontEnd(std::string* why) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // A window that can be made is a desktop that can show the dialog.
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  if (probe == nullptr) {
    *why = Tr("no desktop: windows cannot be made here (Windows error %s)", {std::to_string(GetLastError())});
    return nullptr;
  }
  DestroyWindow(probe);
  return std::make_unique<Win32FrontEnd>();
}
