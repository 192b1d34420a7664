#include "lineedit.h"

#include <histedit.h>
#include <langinfo.h>

#include <clocale>
#include <cstring>

namespace {

// Character handling in UTF-8 for the life of the object (the terminal
// speaks UTF-8 to this program whatever the locale says), then back to the
// process's own.
class Utf8CharacterScope {
 public:
  Utf8CharacterScope() {
    const char* now = std::setlocale(LC_CTYPE, nullptr);
    saved_ = now != nullptr ? now : "C";
    if (std::setlocale(LC_CTYPE, "") == nullptr || std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) {
      std::setlocale(LC_CTYPE, "C.UTF-8");
    }
  }
  ~Utf8CharacterScope() { std::setlocale(LC_CTYPE, saved_.c_str()); }
  Utf8CharacterScope(const Utf8CharacterScope&) = delete;
  Utf8CharacterScope& operator=(const Utf8CharacterScope&) = delete;

 private:
  std::string saved_;
};

}  // namespace

struct LineEditor::State {
  FILE* in;
  FILE* out;
  EditLine* editor = nullptr;
  History* history = nullptr;
  std::string prompt;

  static char* Prompt(EditLine* editor) {
    void* data = nullptr;
    el_get(editor, EL_CLIENTDATA, &data);
    return const_cast<char*>(static_cast<State*>(data)->prompt.c_str());
  }
};

LineEditor::LineEditor(FILE* in, FILE* out) : state_(std::make_unique<State>()) {
  state_->in = in;
  state_->out = out;
}

LineEditor::~LineEditor() {
  Utf8CharacterScope utf8;
  if (state_->editor != nullptr) el_end(state_->editor);
  if (state_->history != nullptr) history_end(state_->history);
}

bool LineEditor::ReadLine(const std::string& prompt, const std::string& offered, bool remember,
                          std::string* line) {
  Utf8CharacterScope utf8;
  State& s = *state_;
  if (s.editor == nullptr) {
    s.history = history_init();
    s.editor = el_init("velor", s.in, s.out, s.out);
    if (s.history == nullptr || s.editor == nullptr) return false;
    HistEvent event;
    history(s.history, &event, H_SETSIZE, 100);
    history(s.history, &event, H_SETUNIQUE, 1);
    el_set(s.editor, EL_CLIENTDATA, &s);
    el_set(s.editor, EL_PROMPT, &State::Prompt);
    el_set(s.editor, EL_EDITOR, "emacs");
    el_set(s.editor, EL_HIST, history, s.history);
    el_set(s.editor, EL_SIGNAL, 1);
    // Ctrl-C at the prompt gives up the line as Ctrl-D does (a cancel that
    // the caller reports), rather than killing the program mid-sentence.
    el_set(s.editor, EL_SETTY, "-d", "-isig", nullptr);
    el_set(s.editor, EL_BIND, "^C", "ed-end-of-file", nullptr);
    // Home and End as most terminals send them.
    el_set(s.editor, EL_BIND, "\033[H", "ed-move-to-beg", nullptr);
    el_set(s.editor, EL_BIND, "\033[F", "ed-move-to-end", nullptr);
    el_set(s.editor, EL_BIND, "\033[1~", "ed-move-to-beg", nullptr);
    el_set(s.editor, EL_BIND, "\033[4~", "ed-move-to-end", nullptr);
    el_set(s.editor, EL_BIND, "\033[3~", "ed-delete-next-char", nullptr);
  }
  s.prompt = prompt;
  std::fflush(s.out);
  if (!offered.empty()) el_push(s.editor, offered.c_str());
  int count = 0;
  const char* got = el_gets(s.editor, &count);
  if (got == nullptr || count <= 0) return false;
  line->assign(got, static_cast<size_t>(count));
  while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
  if (remember && !line->empty()) {
    HistEvent event;
    history(s.history, &event, H_ENTER, line->c_str());
  }
  return true;
}
