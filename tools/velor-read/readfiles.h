// The two files velor-read is given, reached through the file-system
// interface like every file of the system, so that their checks meet the
// same faults.
#pragma once
#include <string>

#include "readformat.h"

// Reads the format file at the native path and parses it into *format.
// "" when it is sound, else a message (UTF-8) naming the file and why.
std::string LoadReadFormat(const std::string& path, ReadFormat* format);
// "" when the native path names a regular file (a symbolic link to one
// counts), else a message (UTF-8) naming it and why.
std::string CheckReadInput(const std::string& path);
