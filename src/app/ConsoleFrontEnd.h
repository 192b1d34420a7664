// The console front end: message boxes and the condition dialog on a
// terminal or on plain standard input and output (text in UTF-8).
#pragma once
#include <cstdio>
#include <string>

#include "frontend.h"

class LineEditor;

class ConsoleFrontEnd : public FrontEnd {
 public:
  // in: where answers and paths are read; out: information; err:
  // exclamations and questions. interactive: a person types at in (else
  // questions are answered without reading). yes: the answer to questions
  // when not interactive (true: Yes, false: No). editor (null: none; must
  // outlive the object) reads the answers and paths with line editing, the
  // offered path standing on the line ready to edit.
  ConsoleFrontEnd(FILE* in, FILE* out, FILE* err, bool interactive, bool yes,
                  LineEditor* editor = nullptr);

  // Prints caption and text (information to out, the rest to err); a
  // question reads y or n when interactive, else takes the fixed answer.
  int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override;
  // Runs the condition dialog: prints its caption, company and period, then
  // asks for the output path with the current one offered (an empty answer
  // keeps it) and executes (button 1005). Asks again while the dialog stays
  // open when interactive; when not, the offered path is executed once and a
  // refusal ends the dialog with 1006. End of input closes the dialog.
  void RunModal(CDialog& dlg) override;
  // No chooser on a console: always cancelled.
  bool ChooseFile(const FileChooserRequest& request, std::string* path) override;
  // Prints the file's text (code page 932) in UTF-8 to out.
  bool ShowTextFile(const std::string& native_path) override;
  // On a terminal at err: one line of the count and rate, overwritten in
  // place each time; nothing elsewhere. Always true (Ctrl-C cancels).
  bool ShowProgress(long done, long total, long rate) override;
  // The same with done of total companies of a batch.
  bool ShowBatchProgress(long done, long total, long rate) override;
  // Erases the progress line.
  void EndProgress() override;

 private:
  // Prompts with label (UTF-8) on to and reads one line without its end.
  // offered (UTF-8) stands on the line ready to edit with a line editor;
  // without one it is shown in brackets and an empty line takes it. False at
  // the end of input.
  bool ReadLine(FILE* to, const std::string& label, const std::string& offered, std::string* line);
  // On a terminal at err: the progress line text (ASCII) in place of the
  // one before; short_text, cut to fit, where text is wider than the
  // terminal. Always true.
  bool ShowLine(const std::string& text, const std::string& short_text);

  FILE* in_;
  FILE* out_;
  FILE* err_;
  bool interactive_;
  bool yes_;
  LineEditor* editor_;
  bool progress_shown_ = false;
};

// A front end that hands every call to inner; the base of the wrappers
// below, which change one call each.
class ForwardingFrontEnd : public FrontEnd {
 public:
  // inner must outlive the object.
  explicit ForwardingFrontEnd(FrontEnd& inner) : inner_(inner) {}

  int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override {
    return inner_.MessageBox(owner, text, caption, type);
  }
  void RunModal(CDialog& dlg) override { inner_.RunModal(dlg); }
  void ControlChanged(CDialog& dlg, int id) override { inner_.ControlChanged(dlg, id); }
  bool ChooseFile(const FileChooserRequest& request, std::string* path) override {
    return inner_.ChooseFile(request, path);
  }
  void SetWaitCursor(bool on) override { inner_.SetWaitCursor(on); }
  bool OnDesktop() const override { return inner_.OnDesktop(); }
  bool ShowTextFile(const std::string& native_path) override {
    return inner_.ShowTextFile(native_path);
  }
  bool ShowProgress(long done, long total, long rate) override {
    return inner_.ShowProgress(done, total, rate);
  }
  bool ShowBatchProgress(long done, long total, long rate) override {
    return inner_.ShowBatchProgress(done, total, rate);
  }
  void EndProgress() override { inner_.EndProgress(); }

 private:
  FrontEnd& inner_;
};

// Runs the condition dialog once with a given path: puts it into the path
// edit 1007 and executes (button 1005); a refusal ends the dialog with 1006.
// Everything else goes to the wrapped front end.
class PresetPathFrontEnd : public ForwardingFrontEnd {
 public:
  // inner must outlive the object; path is code page 932.
  PresetPathFrontEnd(FrontEnd& inner, const std::string& path)
      : ForwardingFrontEnd(inner), path_(path) {}

  void RunModal(CDialog& dlg) override;

 private:
  std::string path_;
};

// The desktop of a run that nobody answers (--yes): the dialog, the chooser
// and the progress stay on desktop, while message boxes go to console, which
// prints them and answers the questions without a window waiting for anyone.
class UnattendedFrontEnd : public ForwardingFrontEnd {
 public:
  // desktop and console must outlive the object.
  UnattendedFrontEnd(FrontEnd& desktop, FrontEnd& console)
      : ForwardingFrontEnd(desktop), console_(console) {}

  int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override {
    return console_.MessageBox(owner, text, caption, type);
  }
  bool ShowTextFile(const std::string& native_path) override {
    return console_.ShowTextFile(native_path);
  }

 private:
  FrontEnd& console_;
};
