// A text file shown on the desktop when no viewer program can take it: a
// read-only, scrollable window of its own, titled with the file's path.
#pragma once
#include <wx/dialog.h>

#include <string>

class WxTextViewer : public wxDialog {
 public:
  // A window showing text (code page 932) under the title (UTF-8), not
  // yet shown. Escape, the close box and the 閉じる button hide it.
  WxTextViewer(const std::string& title, const std::string& text);

  // Shows the window and returns; the program goes on while it is up.
  void ShowBeside();
  // Waits until the user has closed the window, if it is still up.
  void WaitUntilClosed();

 private:
  bool open_ = false;
};
