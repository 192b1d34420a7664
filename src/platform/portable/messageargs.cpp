#include "messages.h"

std::string Tr(const char* msgid, std::initializer_list<std::string> args) {
  std::string text = Tr(msgid), out;
  auto next = args.begin();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's' && next != args.end()) {
      out += *next++;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}
