// The settings file "TALMIR.ini": reader and writer shared by both hosts
// (TALMIR.exe and talmirc). No window code here.
#pragma once
#include <cstdint>

// The editor font as the file stores it (the fields of a LOGFONT).
struct FontSetting {
    int32_t height, width, escapement, orientation, weight;
    uint8_t italic, underline, strikeOut, charSet, outPrecision, clipPrecision, quality,
        pitchAndFamily;
    char faceName[32];
};

struct SettingsValues {
    int16_t portSetting;   // 0..4 into "LPT1", "LPT2", "LPT3", "USB", "NoLPT"
    int plcType;           // 0, 1, 4, 5
    int eTyp;              // 1 off, 11 on
    int minLevel;          // 0 NOMIN, 1 STRONGMIN, 2 ESPRESSO
    FontSetting font;
    int loadSaveUsed;
    int settingsDirty;
};

// The defaults set before reading: port 4, PlcType 1, ETyp 1, MinLevel 2,
// font all zero, LoadSaveUsed 0, SettingsDirty 1.
void SetDefaultSettings(SettingsValues* s);
// Sets the defaults, then reads the file if it exists. Returns 1 when a
// "Font_Set" line was read (the font is then in s->font), else 0.
// Tokens are read whole whatever their length (a long token is one token and
// matches no key or value); a face name longer than 31 characters is cut to
// its first 31, and the rest of its line is skipped.
int ReadSettingsFile(const char* path, SettingsValues* s);
// Writes the five lines (CR LF); false when the file cannot be opened or a
// write fails. A face name is written up to its first NUL (31 at most).
bool WriteSettingsFile(const char* path, const SettingsValues& s);

// Type names of the file ("TREVA", "ZIRKO", "TREVA_E", "ZIRKO_E", "ZIRKO_M2",
// "ZIRKO_M2E"): true and the values when name is one of them.
bool ParsePlcTypeName(const char* name, int* plcType, int* eTyp);
const char* PlcTypeName(int plcType, int eTyp);
// "NOMIN", "STRONGMIN", "ESPRESSO" -> 0, 1, 2; -1 for anything else.
int ParseMinLevelName(const char* name);
const char* MinLevelName(int minLevel);
// "LPT1", "LPT2", "LPT3", "USB", "NoLPT" -> 0..4; -1 for anything else.
int ParsePortName(const char* name);
const char* PortName(int portSetting);
