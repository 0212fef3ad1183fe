// The command-line host: argument rules, the compile-log and diagnostic
// callbacks, and one compile run. The log lines are printed as the Windows
// log window keeps them: permanent lines only, transient progress frames
// replaced by the next line (shown as a spinner on a terminal only).
#include "cli/cli_host.h"

#include <cstdio>
#include <cstring>
#include <ostream>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "shell/path_rules.h"
#include "shell/settings_file.h"

namespace {

const char kSettingsFile[] = "TALMIR.ini";
const char kOutOfMemory[] = "Nicht gen\xFC" "gend Speicher f\xFC" "r Compilierung";
const size_t kWidestFrame = 17;

// Unicode of the bytes 0x80..0x9F; the five undefined bytes keep their
// C1 code points, as the Windows conversion does.
const unsigned short kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool StartsWith(const std::string& s, const char* prefix) { return s.compare(0, std::strlen(prefix), prefix) == 0; }

// State of one run, the ctx of the host callbacks.
struct CliRun {
    std::ostream* out;
    std::ostream* err;
    bool spinner;
    bool spinnerShown = false;
    std::string source;

    void ClearSpinner() {
        if (!spinnerShown) return;
        *err << '\r' << std::string(kWidestFrame, ' ') << '\r';
        err->flush();
        spinnerShown = false;
    }
};

void LogDeleteLast(void* ctx) {
    // A transient line leaves the window: only the spinner showed it.
    static_cast<CliRun*>(ctx)->ClearSpinner();
}

void LogAppend(void* ctx, const char* text, int transient) {
    CliRun* run = static_cast<CliRun*>(ctx);
    if (transient) {
        if (run->spinner) {
            std::string frame(text);
            if (frame.size() < kWidestFrame) frame.append(kWidestFrame - frame.size(), ' ');
            *run->err << '\r' << frame;
            run->err->flush();
            run->spinnerShown = true;
        }
        return;
    }
    run->ClearSpinner();
    *run->out << text << '\n';
    run->out->flush();
}

void Diagnostic(void* ctx, int line, int severity, const char* text) {
    CliRun* run = static_cast<CliRun*>(ctx);
    run->ClearSpinner();
    *run->err << FormatDiagnostic(run->source, line, severity, text) << '\n';
    run->err->flush();
}

void OutOfMemoryBox(void* ctx, void*) {
    CliRun* run = static_cast<CliRun*>(ctx);
    run->ClearSpinner();
    *run->err << run->source << ": error: " << Cp1252ToUtf8(kOutOfMemory) << '\n';
    run->err->flush();
}

}  // namespace

const char* CliUsageText() {
    return "usage: talmirc [--plc TYPE] [--min LEVEL] SOURCE\n"
           "  TYPE   TREVA, ZIRKO, TREVA_E, ZIRKO_E, ZIRKO_M2 or ZIRKO_M2E\n"
           "  LEVEL  NOMIN, STRONGMIN or ESPRESSO\n"
           "Without an option the value comes from TALMIR.ini in the current directory.\n"
           "Writes SOURCE's .ZW and .ERR files; exit 0 without errors, 1 with errors, 2 for a usage error.\n";
}

int ParseCliArguments(const std::vector<std::string>& args, CliOptions* opts, std::string* error) {
    *opts = CliOptions();
    std::vector<std::string> sources;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            sources.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            opts->help = true;
            continue;
        }
        std::string name = a, value;
        bool hasValue = false;
        size_t eq = a.find('=');
        if (StartsWith(a, "--") && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            hasValue = true;
        }
        if (name != "--plc" && name != "--min") {
            *error = "unknown option " + a;
            return CLI_USAGE;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                *error = "missing value after " + name;
                return CLI_USAGE;
            }
            value = args[++i];
        }
        if (name == "--plc") {
            int plc = 1, eTyp = 1;
            if (!ParsePlcTypeName(value.c_str(), &plc, &eTyp)) {
                *error = "unknown controller type " + value;
                return CLI_USAGE;
            }
            opts->plcGiven = true;
            opts->plcType = plc;
        } else {
            int level = ParseMinLevelName(value.c_str());
            if (level < 0) {
                *error = "unknown minimization level " + value;
                return CLI_USAGE;
            }
            opts->minGiven = true;
            opts->minLevel = level;
        }
    }
    if (opts->help) return CLI_OK;
    if (sources.empty()) {
        *error = "no source file given";
        return CLI_USAGE;
    }
    if (sources.size() > 1) {
        *error = "more than one source file given";
        return CLI_USAGE;
    }
    opts->source = sources[0];
    return CLI_OK;
}

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (unsigned char c : text) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0xA0)
            AppendUtf8(out, kCp1252High[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::string FormatDiagnostic(const std::string& source, int line, int severity, const std::string& text) {
    std::string oneLine;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') continue;
        if (c == '\n') {
            bool blankBefore = !oneLine.empty() && oneLine.back() == ' ';
            bool blankAfter = i + 1 < text.size() && text[i + 1] == ' ';
            if (!blankBefore && !blankAfter && !oneLine.empty() && i + 1 < text.size()) oneLine += ' ';
            continue;
        }
        oneLine += c;
    }
    std::string s = source;
    if (line > 0) s += ":" + std::to_string(line);
    s += severity == 0 ? ": warning: " : ": error: ";
    return s + Cp1252ToUtf8(oneLine);
}

int RunCompile(const CliOptions& opts, std::ostream& out, std::ostream& err, bool spinner) {
    SettingsValues settings;
    if (!opts.plcGiven || !opts.minGiven) {
        ReadSettingsFile(kSettingsFile, &settings);
    } else {
        SetDefaultSettings(&settings);
    }
    PlcType = opts.plcGiven ? opts.plcType : settings.plcType;
    MinLevel = opts.minGiven ? opts.minLevel : settings.minLevel;

    CliRun run;
    run.out = &out;
    run.err = &err;
    run.spinner = spinner;
    run.source = opts.source;
    CompileHost host = {&LogDeleteLast, &LogAppend, &Diagnostic, &OutOfMemoryBox, &run};
    SetCompileHost(&host);

    LogMessage("Text wird compiliert", 0);
    const std::string zwPath = DerivedPath(opts.source, "ZW");
    const std::string errPath = DerivedPath(opts.source, "ERR");
    int r = CompileSource(opts.source.c_str(), zwPath.c_str(), errPath.c_str(), nullptr);

    char result[128];
    if (CS.ErrorCount >= 10)
        std::snprintf(result, sizeof result, "Compilevorgang abgebrochen, zu viele oder zu schwere Fehler.");
    else
        std::snprintf(result, sizeof result, "Compilevorgang beendet, Warnungen: %d, Fehler: %d.", CS.WarningCount,
                      CS.ErrorCount);
    LogMessage(result, 0);
    run.ClearSpinner();

    SetCompileHost(nullptr);
    return r == 1 ? CLI_OK : CLI_ERRORS;
}

int TalmircMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool spinner) {
    CliOptions opts;
    std::string error;
    if (ParseCliArguments(args, &opts, &error) != CLI_OK) {
        err << "talmirc: " << error << '\n' << CliUsageText();
        return CLI_USAGE;
    }
    if (opts.help) {
        out << CliUsageText();
        return CLI_OK;
    }
    return RunCompile(opts, out, err, spinner);
}
