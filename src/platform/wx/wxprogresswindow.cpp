#include "wxprogresswindow.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <cstdio>

#include "wxscreentext.h"
#include "desktoptrace.h"

namespace {
const int kGaugeRange = 1000;
}  // namespace

WxProgressWindow::WxProgressWindow()
    : window_(new wxDialog(nullptr, wxID_ANY, U8(u8"減価償却"), wxDefaultPosition, wxDefaultSize,
                           wxCAPTION)) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxStaticText(window_, wxID_ANY, U8(u8"減価償却情報を出力しています…")), 0,
             wxALL, 10);
  count_ = new wxStaticText(window_, wxID_ANY, wxString(), wxDefaultPosition, wxSize(320, -1));
  sizer->Add(count_, 0, wxLEFT | wxRIGHT | wxEXPAND, 10);
  gauge_ = new wxGauge(window_, wxID_ANY, kGaugeRange, wxDefaultPosition, wxSize(320, 16));
  sizer->Add(gauge_, 0, wxALL | wxEXPAND, 10);
  auto* cancel = new wxButton(window_, wxID_CANCEL, U8(u8"キャンセル"));
  sizer->Add(cancel, 0, wxALL | wxALIGN_RIGHT, 10);
  window_->SetSizerAndFit(sizer);
  cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    cancelled_ = true;
    DesktopTrace("progress cancel");
  });
  // Esc and the close box cancel as the button does.
  window_->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { cancelled_ = true; });
  window_->Centre();
  window_->Show();
  // The export's wait cursor does not cover the button.
  window_->SetCursor(*wxSTANDARD_CURSOR);
  DesktopTrace("progress shown");
}

WxProgressWindow::~WxProgressWindow() {
  window_->Destroy();
  // The window goes from the screen before the closing message comes.
  wxTheApp->ProcessPendingEvents();
  DesktopTrace("progress ended");
}

bool WxProgressWindow::Update(long done, long total, long rate) {
  char text[96];
  std::snprintf(text, sizeof text, "%ld / %ld", done, total);
  count_->SetLabel(wxString::FromUTF8(text) + U8(u8" 件（") + wxString::Format("%ld", rate) +
                   U8(u8" 件/秒）"));
  gauge_->SetValue(total > 0 ? static_cast<int>(static_cast<long long>(done) * kGaugeRange / total) : 0);
  // Only this window takes input meanwhile: the export goes on after.
  wxSafeYield(window_, true);
  return !cancelled_;
}
