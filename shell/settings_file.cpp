// The settings file "TALMIR.ini": a few KEY=VALUE tokens and the font line.
// The reader works on the whole file in memory with the scanning rules of
// the C stream functions it was designed around ("%s" tokens, "%d" numbers),
// so that both hosts read a file exactly alike on every platform.
#include "shell/settings_file.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kPortNames[5] = {"LPT1", "LPT2", "LPT3", "USB", "NoLPT"};

struct TypeEntry {
    const char* name;
    int plcType;
    int eTyp;
};
const TypeEntry kTypes[6] = {
    {"TREVA", 0, 1},    {"ZIRKO", 1, 1},    {"TREVA_E", 0, 11},
    {"ZIRKO_E", 1, 11}, {"ZIRKO_M2", 4, 11}, {"ZIRKO_M2E", 5, 11},
};

const char* const kMinLevelNames[3] = {"NOMIN", "STRONGMIN", "ESPRESSO"};

// "=" is looked for only within this many leading characters of a token.
const size_t kKeySearchLimit = 256;

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal integer as "%d" reads it, starting at text[*pos]: leading white
// space, an optional sign, digits. Values beyond the int range are clamped.
// Returns false (pos unchanged) when no digit follows.
bool ScanInt(const std::string& text, size_t* pos, long* out) {
    size_t p = *pos;
    while (p < text.size() && IsSpace(text[p])) ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size() || !IsDigit(text[p])) return false;
    long long v = 0;
    while (p < text.size() && IsDigit(text[p])) {
        if (v <= static_cast<long long>(INT_MAX) + 1) v = v * 10 + (text[p] - '0');
        ++p;
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    *out = static_cast<long>(v);
    *pos = p;
    return true;
}

bool ReadWholeFile(const char* path, std::string* text) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text->append(buf, n);
    std::fclose(f);
    return true;
}

// The rest of a "Font_Set" line: twelve numbers (they may run over line
// ends), then the face name, which is the rest of its line.
void ReadFontTail(const std::string& text, size_t* pos, SettingsValues* s) {
    long v[12];
    int got = 0;
    while (got < 12 && ScanInt(text, pos, &v[got])) ++got;
    if (got < 12) s->settingsDirty = 1;
    FontSetting& f = s->font;
    int32_t* wide[4] = {&f.width, &f.escapement, &f.orientation, &f.weight};
    uint8_t* bytes[8] = {&f.italic,       &f.underline,     &f.strikeOut, &f.charSet,
                         &f.outPrecision, &f.clipPrecision, &f.quality,   &f.pitchAndFamily};
    for (int i = 0; i < got; ++i) {
        if (i < 4)
            *wide[i] = static_cast<int32_t>(v[i]);
        else
            *bytes[i - 4] = static_cast<uint8_t>(static_cast<unsigned long>(v[i]) & 0xFF);
    }
    size_t p = *pos;
    // Blanks and line ends before the name; an empty name thus takes the next line.
    while (p < text.size() && (text[p] == ' ' || text[p] == '\n' || text[p] == '\r')) ++p;
    size_t start = p;
    while (p < text.size() && text[p] != '\n') ++p;
    size_t end = p;
    if (end > start && text[end - 1] == '\r') --end;  // CR LF line end
    // A longer name than the field holds is cut to its first 31 characters.
    size_t len = end - start;
    if (len > sizeof f.faceName - 1) len = sizeof f.faceName - 1;
    std::memset(f.faceName, 0, sizeof f.faceName);
    std::memcpy(f.faceName, text.data() + start, len);
    *pos = p;
}

}  // namespace

void SetDefaultSettings(SettingsValues* s) {
    std::memset(s, 0, sizeof *s);
    s->portSetting = 4;
    s->plcType = 1;
    s->eTyp = 1;
    s->minLevel = 2;
    s->loadSaveUsed = 0;
    s->settingsDirty = 1;
}

bool ParsePlcTypeName(const char* name, int* plcType, int* eTyp) {
    for (const TypeEntry& t : kTypes) {
        if (std::strcmp(name, t.name) == 0) {
            if (plcType) *plcType = t.plcType;
            if (eTyp) *eTyp = t.eTyp;
            return true;
        }
    }
    return false;
}

const char* PlcTypeName(int plcType, int eTyp) {
    switch (plcType) {
    case 0: return eTyp == 11 ? "TREVA_E" : "TREVA";
    case 1: return eTyp == 11 ? "ZIRKO_E" : "ZIRKO";
    case 4: return "ZIRKO_M2";
    case 5: return "ZIRKO_M2E";
    default: return "TREVA";
    }
}

int ParseMinLevelName(const char* name) {
    for (int i = 0; i < 3; ++i)
        if (std::strcmp(name, kMinLevelNames[i]) == 0) return i;
    return -1;
}

const char* MinLevelName(int minLevel) {
    // Only 0 to 2 are ever set; anything else is stored as the default level.
    if (minLevel < 0 || minLevel > 2) minLevel = 2;
    return kMinLevelNames[minLevel];
}

int ParsePortName(const char* name) {
    for (int i = 0; i < 5; ++i)
        if (std::strcmp(name, kPortNames[i]) == 0) return i;
    return -1;
}

const char* PortName(int portSetting) {
    if (portSetting < 0 || portSetting > 4) portSetting = 4;
    return kPortNames[portSetting];
}

int ReadSettingsFile(const char* path, SettingsValues* s) {
    SetDefaultSettings(s);
    int result = 0;
    std::string text;
    if (!ReadWholeFile(path, &text)) return 0;
    size_t pos = 0;
    for (;;) {
        // One "%s" token, read whole whatever its length.
        while (pos < text.size() && IsSpace(text[pos])) ++pos;
        if (pos >= text.size()) break;
        size_t start = pos;
        while (pos < text.size() && !IsSpace(text[pos])) ++pos;
        std::string token = text.substr(start, pos - start);

        size_t eq = token.find('=');
        if (eq == std::string::npos || eq >= kKeySearchLimit) continue;
        std::string key = token.substr(0, eq);
        std::string value = token.substr(eq + 1);

        if (key == "TREVA_Port") {
            int i = ParsePortName(value.c_str());
            if (i >= 0)
                s->portSetting = static_cast<int16_t>(i);
            else
                s->settingsDirty = 1;
        } else if (key == "TREVAMinLevel") {
            int i = ParseMinLevelName(value.c_str());
            if (i >= 0)
                s->minLevel = i;
            else
                s->settingsDirty = 1;
        } else if (key == "TREVASPS_Type") {
            if (!ParsePlcTypeName(value.c_str(), &s->plcType, &s->eTyp)) s->settingsDirty = 1;
        } else if (key == "Font_Set") {
            size_t vp = 0;
            long h;
            if (ScanInt(value, &vp, &h)) s->font.height = static_cast<int32_t>(h);
            ReadFontTail(text, &pos, s);
            result = 1;
        } else if (key == "LoadSaveUsed") {
            size_t vp = 0;
            long v = 0;
            s->loadSaveUsed = (ScanInt(value, &vp, &v) && v == 1) ? 1 : 0;
        } else {
            s->settingsDirty = 1;
        }
    }
    return result;
}

// Lines end in CR LF on disk on every platform, as the file is written in
// text mode on Windows.
bool WriteSettingsFile(const char* path, const SettingsValues& s) {
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return false;
    const FontSetting& f = s.font;
    char face[sizeof f.faceName];
    std::memcpy(face, f.faceName, sizeof face);
    face[sizeof face - 1] = '\0';
    int failed = 0;
    if (std::fprintf(out, "%s=%s\r\n", "TREVA_Port", PortName(s.portSetting)) < 0) failed = 1;
    if (std::fprintf(out, "%s=%s\r\n", "TREVASPS_Type", PlcTypeName(s.plcType, s.eTyp)) < 0)
        failed = 1;
    if (std::fprintf(out, "%s=%s\r\n", "TREVAMinLevel", MinLevelName(s.minLevel)) < 0) failed = 1;
    if (std::fprintf(out, "%s=%d %d %d %d %d ", "Font_Set", static_cast<int>(f.height),
                     static_cast<int>(f.width), static_cast<int>(f.escapement),
                     static_cast<int>(f.orientation), static_cast<int>(f.weight)) < 0)
        failed = 1;
    if (std::fprintf(out, "%d %d %d %d %d %d %d %d %s\r\n", f.italic, f.underline, f.strikeOut,
                     f.charSet, f.outPrecision, f.clipPrecision, f.quality, f.pitchAndFamily,
                     face) < 0)
        failed = 1;
    if (std::fprintf(out, "%s=%d\r\n", "LoadSaveUsed", s.loadSaveUsed) < 0) failed = 1;
    if (std::fclose(out) != 0) failed = 1;
    // A write that did not reach the disk counts as a failure too.
    return !failed;
}
