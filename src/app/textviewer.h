// The viewer of the diagnostics log, Notepad of the Windows folder.
#pragma once

// Starts the viewer on the text file at path (Windows path, code page 932)
// with the file's folder as working folder, and does not wait for it. A
// viewer that cannot be started is not reported.
void StartViewer(const char* path);
