// The settings file as TALMIR.exe uses it: the portable reader and writer
// applied to the shell state and the editor font.
#include <windows.h>

#include <cstring>

#include "compiler/front/driver.h"
#include "shell/settings_file.h"
#include "shell/shell.h"

namespace {

void ToLogFont(const FontSetting& f, LOGFONTA* lf) {
    std::memset(lf, 0, sizeof *lf);
    lf->lfHeight = f.height;
    lf->lfWidth = f.width;
    lf->lfEscapement = f.escapement;
    lf->lfOrientation = f.orientation;
    lf->lfWeight = f.weight;
    lf->lfItalic = f.italic;
    lf->lfUnderline = f.underline;
    lf->lfStrikeOut = f.strikeOut;
    lf->lfCharSet = f.charSet;
    lf->lfOutPrecision = f.outPrecision;
    lf->lfClipPrecision = f.clipPrecision;
    lf->lfQuality = f.quality;
    lf->lfPitchAndFamily = f.pitchAndFamily;
    std::memcpy(lf->lfFaceName, f.faceName, sizeof lf->lfFaceName);
    lf->lfFaceName[sizeof lf->lfFaceName - 1] = '\0';
}

void FromLogFont(const LOGFONTA& lf, FontSetting* f) {
    f->height = lf.lfHeight;
    f->width = lf.lfWidth;
    f->escapement = lf.lfEscapement;
    f->orientation = lf.lfOrientation;
    f->weight = lf.lfWeight;
    f->italic = lf.lfItalic;
    f->underline = lf.lfUnderline;
    f->strikeOut = lf.lfStrikeOut;
    f->charSet = lf.lfCharSet;
    f->outPrecision = lf.lfOutPrecision;
    f->clipPrecision = lf.lfClipPrecision;
    f->quality = lf.lfQuality;
    f->pitchAndFamily = lf.lfPitchAndFamily;
    std::memcpy(f->faceName, lf.lfFaceName, sizeof f->faceName);
    f->faceName[sizeof f->faceName - 1] = '\0';
}

}  // namespace

int ReadSettings(HWND editor) {
    SettingsValues s;
    int fontRead = ReadSettingsFile(SettingsPath, &s);
    PortSetting = s.portSetting;
    PlcType = s.plcType;
    ETyp = s.eTyp;
    MinLevel = s.minLevel;
    LoadSaveUsed = s.loadSaveUsed;
    SettingsDirty = s.settingsDirty;
    ToLogFont(s.font, &EditorFont);
    if (fontRead) ApplyEditorFont(editor);
    return fontRead;
}

void WriteSettings(HWND owner) {
    SettingsValues s;
    SetDefaultSettings(&s);
    s.portSetting = PortSetting;
    s.plcType = PlcType;
    s.eTyp = ETyp;
    s.minLevel = MinLevel;
    s.loadSaveUsed = LoadSaveUsed;
    s.settingsDirty = SettingsDirty;
    FromLogFont(EditorFont, &s.font);
    if (!WriteSettingsFile(SettingsPath, s)) ShowWarning(owner, "Ini-File konnte nicht gespeichert werden!");
}
