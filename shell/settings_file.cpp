// Placeholder until this piece is built; replaced whole by its implementation.
#include "shell/settings_file.h"
void SetDefaultSettings(SettingsValues* s) { *s = SettingsValues{}; s->portSetting = 4; s->plcType = 1; s->eTyp = 1; s->minLevel = 2; s->settingsDirty = 1; }
int ReadSettingsFile(const char*, SettingsValues* s) { SetDefaultSettings(s); return 0; }
bool WriteSettingsFile(const char*, const SettingsValues&) { return false; }
bool ParsePlcTypeName(const char*, int*, int*) { return false; }
const char* PlcTypeName(int, int) { return "ZIRKO"; }
int ParseMinLevelName(const char*) { return -1; }
const char* MinLevelName(int) { return "ESPRESSO"; }
