// The settings file "Velorant.env": one line per user and company data,
// "<user ID>/<data ID text>:<output path>\n", code page 932. These helpers
// read and rewrite it; ClConditionEntry::LoadOutputPath and SaveOutputPath
// use them with the dialog's key.
#pragma once
#include <cstddef>
#include <string>

#include "fs.h"
#include "wintypes.h"

// How long a save waits for another run's save into the same file.
constexpr int kSettingsLockWaitMs = 5000;

// The largest settings file read (1 MiB); a larger one is left alone.
constexpr size_t kSettingsFileLimit = 1u << 20;

// TRUE when key (user ID, "/", data ID, ":") can key a line: not empty and
// without control characters, which would split or forge a line.
BOOL IsSettingsKey(const std::string& key);
// Finds the first line of content that begins with key and copies the rest
// of that line (without its line end) into buffer (kPathBufferSize bytes).
// Lines end in CR LF, LF or CR alike. FALSE when no line begins with key,
// key is no IsSettingsKey or the value is longer than MAX_PATH.
BOOL FindStoredPath(const std::string& content, const std::string& key, char* buffer);
// content without its lines that begin with key (lines end in CR LF, LF or
// CR), then line (which ends in a line feed); a last kept line without a
// line end gets one first.
std::string ReplaceStoredLine(const std::string& content, const std::string& key,
                              const std::string& line);
// Reads the whole file (a Windows path) into *content. FALSE when it cannot
// be opened for reading or read, or is larger than kSettingsFileLimit
// (Fs::LastError() kTooLarge).
BOOL ReadSettingsFile(const char* file, std::string* content);
// Makes content the whole content of file (a Windows path) in one step, as
// ReplaceWholeFile (filecommit.h) does. The error when that failed; file is
// then as it was.
FsError ReplaceSettingsFile(const char* file, const std::string& content);
