// The command-line compiler talmirc: its arguments, the host callbacks that
// turn the compile log and the diagnostics into standard output and standard
// error, and one compile run. main() in cli/main.cpp only hands over.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

struct CliOptions {
    bool plcGiven = false;
    int plcType = 1;
    bool minGiven = false;
    int minLevel = 2;
    bool help = false;
    std::string source;
};

// Exit codes of talmirc.
enum { CLI_OK = 0, CLI_ERRORS = 1, CLI_USAGE = 2 };

// Reads the arguments after the program name. Returns CLI_OK, or CLI_USAGE
// with a one-line reason in *error (unknown option, missing or bad value, no
// source, more than one source).
int ParseCliArguments(const std::vector<std::string>& args, CliOptions* opts, std::string* error);
const char* CliUsageText();

// Windows-1252 bytes to UTF-8.
std::string Cp1252ToUtf8(const std::string& text);
// "SOURCE:LINE: error: TEXT" (no ":LINE" for line 0), TEXT in UTF-8 on one
// line: each newline becomes one blank, never two blanks in a row.
std::string FormatDiagnostic(const std::string& source, int line, int severity, const std::string& text);

// One compile of opts.source with the settings of opts, completed from
// "TALMIR.ini" in the current directory for what was not given. The log
// lines go to out (CP1252, LF), the diagnostics to err (UTF-8); spinner
// shows the progress frames on err. Returns CLI_OK or CLI_ERRORS.
int RunCompile(const CliOptions& opts, std::ostream& out, std::ostream& err, bool spinner);

// The whole program: arguments, usage errors, the compile.
int TalmircMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool spinner);
