#include "shell/portable/shell_rules.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "shell/path_rules.h"

namespace {

std::string Format1(const char* format, const char* arg) {
    std::string out;
    const char* p = std::strstr(format, "%s");
    if (!p) return format;
    out.append(format, static_cast<size_t>(p - format));
    out += arg;
    out += p + 2;
    return out;
}

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool CommandLineDocumentPath(const char* commandLine, char* out, size_t outSize) {
    if (outSize) out[0] = '\0';
    if (!commandLine) return false;
    while (*commandLine == ' ' || *commandLine == '\t') ++commandLine;
    std::string path = commandLine;
    if (path.empty()) return false;
    if (path[0] == '"') {
        path.erase(0, 1);
        if (!path.empty()) path.pop_back();  // whatever the last character is
    }
    if (path.empty() || path.size() > kMaxPath || path.size() + 1 > outSize) return false;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return true;
}

void MakeWorkingDir(const char* currentDir, char* out, size_t outSize) {
    if (!outSize) return;
    out[0] = '\0';
    size_t len = currentDir ? std::strlen(currentDir) : 0;
    if (len == 0) return;
    bool slash = currentDir[len - 1] == '\\';
    size_t need = len + (slash ? 0 : 1) + 1;
    if (need > outSize) return;
    std::memcpy(out, currentDir, len);
    if (!slash) out[len++] = '\\';
    out[len] = '\0';
}

int PlcTypeMenuItem(int plcType) {
    switch (plcType) {
    case 0: return kItemTreva;
    case 1: return kItemZirkoL2;
    case 4: return kItemZirkoM2;
    case 5: return kItemZirkoM2E;
    default: return 0;
    }
}

int ETypAfterTypeMarks(int plcType, int eTyp) { return (plcType == 4 || plcType == 5) ? 11 : eTyp; }

int PlcTypeOfCommand(int command) {
    switch (command) {
    case kItemTreva: return 0;
    case kItemZirkoL2: return 1;
    case kItemZirkoM2: return 4;
    case kItemZirkoM2E: return 5;
    default: return -1;
    }
}

std::string DocumentTitle(const char* path) {
    return std::string("TALMIR - ") + ((path && *path) ? path : "(ohne Namen)");
}

std::string SaveQuestionText(const char* path) {
    return Format1("Datei %s wurde ver\xE4" "ndert. Speichern?", (path && *path) ? path : "(ohne Namen)");
}

std::string BackupName(const char* path) {
    std::string copy(path ? path : "");
    if (copy.size() > kMaxPath) copy.resize(kMaxPath);
    size_t len = copy.size();
    for (size_t back = 1; back <= 11 && back <= len; ++back) {
        char c = copy[len - back];
        if (c == '\\') return std::string();
        if (c == '.') return copy.substr(0, len - back) + ".bak";
    }
    return std::string();
}

std::string OpenFailedText(const char* path) {
    return Format1("Datei %s konnte nicht ge\xF6" "ffnet werden.", path);
}
std::string EmptyFileText(const char* path) { return Format1("Datei %s ist leer", path); }
std::string CannotSaveText(const char* path) { return Format1("Kann %s nicht speichern", path); }
std::string WriteFailedText(const char* path) { return Format1("Fehler beim Schreiben von %s", path); }

std::string CompileResultLine(int warnings, int errors) {
    if (errors >= 10) return "Compilevorgang abgebrochen, zu viele oder zu schwere Fehler.";
    char buf[96];
    std::snprintf(buf, sizeof buf, "Compilevorgang beendet, Warnungen: %d, Fehler: %d.", warnings,
                  errors);
    return buf;
}

std::string StatusStripText(int line) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Zeile: %d", line);
    return buf;
}

const char* ViewExtension(int kind) {
    static const char* const kExt[5] = {"zw", "err", "jed", "log", "laf"};
    return (kind >= 0 && kind < 5) ? kExt[kind] : "";
}

std::string ViewPath(const char* path, int kind) { return DerivedPath(path, ViewExtension(kind)); }

bool ViewNeedsCompile(int kind) { return kind == 0 || kind == 1; }

int ViewKindOfCommand(int command) {
    switch (command) {
    case 22: return 1;
    case 23: return 3;
    case 24: return 0;
    case 25: return 2;
    case 26: return 4;
    default: return -1;
    }
}

std::string LastWord(const std::string& text) {
    size_t n = text.size();
    size_t end = n;
    while (end > 0 && !IsLetter(static_cast<unsigned char>(text[end - 1]))) --end;
    size_t start = end;
    while (start > 0 && IsLetter(static_cast<unsigned char>(text[start - 1]))) --start;
    return text.substr(start, end - start);
}

bool FitterLogSucceeded(const std::string& text) { return LastWord(text) == "successfully"; }

int MinLevelFromSelection(int* selectedId) {
    if (*selectedId >= 221 && *selectedId <= 223) return *selectedId - 221;
    *selectedId = 223;
    return 2;
}

long FindFrom(const char* text, size_t len, const char* search, long pos) {
    size_t slen = search ? std::strlen(search) : 0;
    if (slen == 0 || pos < 0 || static_cast<size_t>(pos) >= len || slen > len) return -1;
    for (size_t i = static_cast<size_t>(pos); i + slen <= len; ++i)
        if (std::memcmp(text + i, search, slen) == 0) return static_cast<long>(i);
    return -1;
}

long ReplaceAllResume(long prevStart, size_t replacementLen, long pos) {
    if (prevStart < 0) return pos;
    long after = prevStart + static_cast<long>(replacementLen);
    return pos > after ? pos : after;
}

int ReplaceAllInText(std::string* text, const std::string& search, const std::string& replacement,
                     long* pos) {
    int count = 0;
    long prev = -1;
    for (;;) {
        *pos = ReplaceAllResume(prev, replacement.size(), *pos);
        long at = FindFrom(text->data(), text->size(), search.c_str(), *pos);
        if (at < 0) break;
        *pos = at + static_cast<long>(search.size());
        text->replace(static_cast<size_t>(at), search.size(), replacement);
        prev = at;
        ++count;
    }
    return count;
}

int GotoTargetFromField(const char* field) {
    char four[5] = {0};
    if (field) std::strncpy(four, field, 4);
    int n;
    if (std::sscanf(four, "%d", &n) != 1) return -1;
    if (n < 0) return -1;
    return n - 1;
}

int SecondClickY(int top, int target, int cur, int lineHeight) {
    if (cur >= target) return -1;
    return top + (target - cur) * lineHeight;
}
