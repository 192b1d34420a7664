// The program's own messages in the user's language (GNU gettext here): the
// English text is the key, a catalogue of the text domain "velor" gives its
// translation. The system's own texts (message boxes, file contents) are
// never looked up. Texts here are UTF-8, as the terminal shows them.
#pragma once
#include <initializer_list>
#include <string>

// Chooses the language of the messages from the locale's message category
// (LANGUAGE, LC_ALL, LC_MESSAGES, LANG: ja_JP.UTF-8 gives Japanese, English
// otherwise) and finds the catalogues: PREFIX/share/locale when installed
// (the program in PREFIX/bin or PREFIX/lib/NAME), the build's own folder
// otherwise. Leaves every other locale category as it was. Call once,
// before the first Tr.
void InitMessageLanguage();

// The translation of the English text msgid, or msgid itself when the
// catalogue has none (or InitMessageLanguage was not called). The text
// lives as long as the process.
const char* Tr(const char* msgid);

// The translation of msgid with each "%s" replaced, in order, by the next of
// args; a "%s" without an argument stays.
std::string Tr(const char* msgid, std::initializer_list<std::string> args);
