// Script mode: the program driven line by line from a text file, without a
// person and without a display. The language is described in script.cpp.
#pragma once

// Loads the script (path "-" reads standard input) and schedules its first
// line; the lines then run from the event loop. Installs the script's popup
// handler. Returns 0, or -1 when the file cannot be read (a message is printed).
int script_start(const char* path);
// The same with the script given as text; `name` appears in messages.
int script_start_text(const char* text, const char* name);
// 0 while the script runs or after it ended well; non-zero after an error.
int script_exit_code();
// Ends any script and restores the default popup handler.
void script_reset();
