// The start of a program of the system on every platform: its arguments and
// its console.
#pragma once
#include <string>
#include <vector>

// The arguments after the program's name, as UTF-8: argv on POSIX; under
// Windows the wide command line, whatever the ANSI code page (argv would hold
// it converted to that code page, losing what has no form there).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Makes a console that receives standard output or error show the UTF-8
// text the programs write (and the terminal sequences of the progress line),
// and puts it back as it was when the program ends. Nothing to do on POSIX.
void PrepareConsole();
