// The small window that shows how far a long export has come, with a
// キャンセル button.
#pragma once
#include <memory>

class wxDialog;
class wxGauge;
class wxStaticText;

class WxProgressWindow {
 public:
  // Shows the window (no owner) at once.
  WxProgressWindow();
  // Takes the window away.
  ~WxProgressWindow();
  WxProgressWindow(const WxProgressWindow&) = delete;
  WxProgressWindow& operator=(const WxProgressWindow&) = delete;

  // Shows done of total assets at rate a second and lets the window handle
  // what the user did meanwhile. False once キャンセル was pressed or the
  // window closed.
  bool Update(long done, long total, long rate);

 private:
  wxDialog* window_;
  wxStaticText* count_;
  wxGauge* gauge_;
  bool cancelled_ = false;
};
