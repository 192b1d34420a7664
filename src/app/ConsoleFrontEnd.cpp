#include "ConsoleFrontEnd.h"

#include <algorithm>
#include <cstdio>

#include "ClConditionEntry.h"
#include "codepage.h"
#include "consoleout.h"
#include "crtio.h"
#include "lineedit.h"
#include "messages.h"
#include "messagebox.h"

namespace {

// UTF-8 of code page 932 text; bytes that are not valid stay as they are.
std::string Utf8(const std::string& cp932) {
  std::string out;
  return Cp932ToUtf8(cp932, &out) ? out : cp932;
}

// A control's text without its mnemonic: "出力先(&O)" gives "出力先".
std::string Label(const std::string& text) {
  std::string out = text;
  size_t amp = out.find("(&");
  if (amp != std::string::npos && out.find(')', amp) == amp + 3) {
    out.erase(amp, 4);
  }
  return out;
}

std::string TextOf(const CDialog& dlg, int id) {
  const ControlState* c = dlg.Control(id);
  return c != nullptr ? c->text : std::string();
}

}  // namespace

ConsoleFrontEnd::ConsoleFrontEnd(FILE* in, FILE* out, FILE* err, bool interactive, bool yes,
                                 LineEditor* editor)
    : in_(in), out_(out), err_(err), interactive_(interactive), yes_(yes), editor_(editor) {}

bool ConsoleFrontEnd::ReadLine(FILE* to, const std::string& label, const std::string& offered,
                               std::string* line) {
  line->clear();
  if (editor_ != nullptr) {
    std::fflush(to);
    // Paths are remembered for Up and Down; answers to questions are not.
    return editor_->ReadLine(label + (offered.empty() ? " " : ": "), offered, !offered.empty(), line);
  }
  if (offered.empty()) {
    ConsolePrintf(to, "%s ", label.c_str());
  } else {
    ConsolePrintf(to, "%s [%s]: ", label.c_str(), offered.c_str());
  }
  std::fflush(to);
  int c;
  bool any = false;
  while ((c = std::fgetc(in_)) != EOF) {
    any = true;
    if (c == '\n') break;
    *line += static_cast<char>(c);
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  if (any && line->empty()) *line = offered;
  return any;
}

int ConsoleFrontEnd::MessageBox(HWND, const std::string& text, const std::string& caption,
                                UINT type) {
  bool question = (type & MB_YESNO) != 0;
  bool information = (type & 0xF0u) == MB_ICONINFORMATION;
  FILE* to = information && !question ? out_ : err_;
  ConsolePrintf(to, "[%s]\n%s\n", Utf8(caption).c_str(), Utf8(text).c_str());
  if (!question) {
    std::fflush(to);
    return IDOK;
  }
  if (!interactive_) {
    ConsolePrintf(to, "(y/n) %s\n", yes_ ? "y" : "n");
    std::fflush(to);
    return yes_ ? IDYES : IDNO;
  }
  for (;;) {
    std::string answer;
    if (!ReadLine(to, "(y/n)", "", &answer)) {
      ConsolePrintf(to, "\n");
      return IDNO;
    }
    if (answer == "y" || answer == "Y" || answer == "yes") return IDYES;
    if (answer == "n" || answer == "N" || answer == "no") return IDNO;
  }
}

void ConsoleFrontEnd::RunModal(CDialog& dlg) {
  const DialogTemplate* tmpl = dlg.Template();
  ConsolePrintf(out_, "%s\n", Utf8(tmpl != nullptr ? tmpl->caption : "").c_str());
  // The labels and the colon are the system's own text (code page 932).
  ConsolePrintf(out_, "  %s\n", Utf8(TextOf(dlg, IDC_LABEL_COMPANY) + "：" + TextOf(dlg, IDC_COMPANY)).c_str());
  ConsolePrintf(out_, "  %s\n", Utf8(TextOf(dlg, IDC_LABEL_PERIOD) + "：" + TextOf(dlg, IDC_PERIOD)).c_str());
  std::string label = Utf8(Label(TextOf(dlg, IDC_GROUP_OUTPUT)));
  if (!interactive_) {
    ConsolePrintf(out_, "  %s\n", Utf8(Label(TextOf(dlg, IDC_GROUP_OUTPUT)) + "：" + TextOf(dlg, IDC_OUTPUT_PATH)).c_str());
    std::fflush(out_);
    dlg.UserClicked(IDC_EXECUTE);
    if (!dlg.IsEnded()) dlg.EndDialog(IDC_CANCEL);
    return;
  }
  while (!dlg.IsEnded()) {
    std::string line, offered = Utf8(TextOf(dlg, IDC_OUTPUT_PATH));
    if (!ReadLine(out_, label, offered, &line)) {
      ConsolePrintf(out_, "\n");
      dlg.UserClosed();
      break;
    }
    if (line != offered) {
      std::string cp932;
      char32_t bad = 0;
      if (!Utf8ToCp932(line, &cp932, &bad)) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(bad));
        ConsolePrintf(err_, "velor: %s\n",
                     Tr("the path holds a character without a code page 932 form (%s)", {code}).c_str());
        continue;
      }
      // A path the edit cannot hold whole is refused, not cut to another.
      const std::string before = TextOf(dlg, IDC_OUTPUT_PATH);
      dlg.UserFocused(IDC_OUTPUT_PATH);
      if (!dlg.UserTyped(IDC_OUTPUT_PATH, cp932)) {
        dlg.UserTyped(IDC_OUTPUT_PATH, before);
        ConsolePrintf(err_, "velor: the path is %zu bytes long in code page 932, too long; at most %u fit\n",
                     cp932.size(), static_cast<unsigned>(dlg.Control(IDC_OUTPUT_PATH)->limit));
        continue;
      }
    }
    dlg.UserClicked(IDC_EXECUTE);
  }
}

bool ConsoleFrontEnd::ChooseFile(const FileChooserRequest&, std::string*) { return false; }

bool ConsoleFrontEnd::ShowTextFile(const std::string& native_path) {
  std::string bytes;
  if (!ReadNativeFile(native_path.c_str(), &bytes)) return false;
  ConsolePrintf(out_, "%s", Utf8(bytes).c_str());
  std::fflush(out_);
  return true;
}

bool ConsoleFrontEnd::ShowProgress(long done, long total, long rate) {
  return ShowLine("velor: " + std::to_string(done) + " of " + std::to_string(total) + " assets (" +
                      std::to_string(rate) + " a second)",
                  std::to_string(done) + "/" + std::to_string(total) + " (" + std::to_string(rate) + "/s)");
}

bool ConsoleFrontEnd::ShowBatchProgress(long done, long total, long rate) {
  return ShowLine("velor: " + std::to_string(done) + " of " + std::to_string(total) + " companies (" +
                      std::to_string(rate) + " assets a second)",
                  std::to_string(done) + "/" + std::to_string(total) + " (" + std::to_string(rate) + "/s)");
}

bool ConsoleFrontEnd::ShowLine(const std::string& text, const std::string& short_text) {
  if (_isatty(_fileno(err_)) == 0) return true;
  // The line must stay one line, or "\r" would leave the wrapped part behind:
  // the short form on a narrow terminal, cut on a very narrow one.
  std::string line = text;
  size_t room = static_cast<size_t>(std::max(ConsoleColumns(err_) - 1, 0));
  if (room != 0 && line.size() > room) line = short_text.substr(0, room);
  // "\x1b[K" erases what a longer line before left at the end.
  ConsolePrintf(err_, "\r%s\x1b[K", line.c_str());
  std::fflush(err_);
  progress_shown_ = true;
  return true;
}

void ConsoleFrontEnd::EndProgress() {
  if (!progress_shown_) return;
  progress_shown_ = false;
  ConsolePrintf(err_, "\r\x1b[K");
  std::fflush(err_);
}

void PresetPathFrontEnd::RunModal(CDialog& dlg) {
  dlg.UserFocused(IDC_OUTPUT_PATH);
  if (!dlg.UserTyped(IDC_OUTPUT_PATH, path_)) {
    // Cut, the path would name another file: the run ends, remembering nothing.
    ConsolePrintf(stderr, "velor: --output is %zu bytes long in code page 932, too long; at most %u fit\n",
                 path_.size(), static_cast<unsigned>(dlg.Control(IDC_OUTPUT_PATH)->limit));
    dlg.EndDialog(IDC_CANCEL);
    return;
  }
  dlg.UserClicked(IDC_EXECUTE);
  if (!dlg.IsEnded()) dlg.EndDialog(IDC_CANCEL);
}
