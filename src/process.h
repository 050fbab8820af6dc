// The process around the tool's one loop: its start, its arguments, where
// its report goes, interrupts, and its end. Each platform defines all of it:
// process-posix.cc; on Win32 process-win32.cc, console-win32.cc and
// output-win32.cc.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "output.h"

// Readies the process. Where standard input, output or error was closed, the
// root folder takes its place, opened to read (POSIX; Win32 never hands a
// closed standard handle out again): no map opened later can become one of
// them, and a report written there fails as it would have.
// Interrupts (SIGINT, SIGTERM, SIGHUP; Ctrl+C, Ctrl+Break, the console
// closing, logoff, shutdown) are answered as interrupts.h says; one that was
// ignored when the tool started stays ignored. A reader that quit and a
// file-size limit end nothing: the write fails and is reported.
void platform_start();

// The file arguments, without the program's own word. They stay valid until the process ends.
std::vector<std::string_view> platform_file_arguments(int argc, char **argv);
// Full path of the running executable; typed where the system offers nothing better.
std::string platform_program_path(const char *typed);

// Standard output, set up for the console or a redirection.
output platform_stdout();
// The file that standard output writes to, where it is one the system can tell.
std::optional<file_id> platform_stdout_file();

bool platform_interrupted();

// Ends the run whose report is written, with status. After an interrupt the
// process ends as that interrupt would have ended it, so that a calling
// shell or loop sees it. Where the console is the tool's own and a person
// sees it, it closes with the tool: the report stays on screen, under
// key_prompt, until a key that types.
int platform_end_run(output &out, std::string_view key_prompt, int status);
