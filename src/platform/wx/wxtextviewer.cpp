#include "wxtextviewer.h"

#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <string>

#include "wxscreentext.h"
#include "desktoptrace.h"

WxTextViewer::WxTextViewer(const std::string& title, const std::string& text)
    : wxDialog(nullptr, wxID_ANY, wxString::FromUTF8(title), wxDefaultPosition, wxSize(720, 420),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMAXIMIZE_BOX) {
  // The log's lines end in CR LF; the widget wants LF alone.
  wxString shown = ScreenText(text);
  shown.Replace("\r\n", "\n");
  auto* view = new wxTextCtrl(this, wxID_ANY, shown, wxDefaultPosition, wxDefaultSize,
                              wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxHSCROLL);
  auto* close = new wxButton(this, wxID_CANCEL, U8(u8"閉じる"));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(view, 1, wxEXPAND | wxALL, 6);
  sizer->Add(close, 0, wxALIGN_RIGHT | wxRIGHT | wxBOTTOM, 6);
  SetSizer(sizer);
  SetEscapeId(wxID_CANCEL);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, wxID_CANCEL);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
    Hide();
    open_ = false;
    DesktopTrace("viewer closed");
  });
  DesktopTrace("viewer title=" + title + " lines=" + std::to_string(shown.Freq('\n')));
}

void WxTextViewer::ShowBeside() {
  open_ = true;
  Show();
  Raise();
}

void WxTextViewer::WaitUntilClosed() {
  if (!open_) return;
  wxGUIEventLoop loop;
  wxEventLoopActivator active(&loop);
  while (open_ && IsShown()) loop.Dispatch();
}
