#include "compiler/front/diagnostics.h"

#include <cstdio>
#include <string>

#include "compiler/front/driver.h"
#include "compiler/front/host.h"

// Texts are Windows-1252 bytes; escapes are closed off with a string break so
// that a following hex letter is not taken into them.
const MessageEntry kMessages[MSG_COUNT] = {
    {"Speicher voll", 1},
    {"Fehler beim \xD6" "ffnen der Datei.", 1},
    {"END_PROGRAM-Statement fehlt", 0},
    {"Zu viele oder gravierende Fehler in der Deklaration\nSyntaxanalyse wird nicht fortgesetzt", 1},
    {"Bezeichner nicht korrekt", 1},
    {"Bezeichner zu lang", 1},
    {"; fehlt", 1},
    {"Symboltabelle voll", 1},
    {"Variable ist Schluesselwort oder Input", 1},
    {"Variable wurde in selection_statement bereits definiert", 1},
    {"Variable wurde bereits is a_statement definiert", 1},
    {"F\xFC" "r diese Variable wurde bereits eine OE-Bed. formuliert", 1},
    {"OE-Bedingungen koennen nur fuer Outputs definiert werden.", 1},
    {"F\xFC" "r diese Variable wurde bereits eine Resetbed. formuliert", 1},
    {"F\xFC" "r diese Variable wurde bereits eine Clockbed. formuliert", 1},
    {"F\xFC" "r diese Variable wurde bereits die Critical-Bedingung gesetzt", 1},
    {"CRIT-Bedingungen koennen nur fuer Outputs definiert werden.", 1},
    {"Pin wurde als I/O-Pin definiert, Definition der oe-Bedingung fehlt", 1},
    {"PROGRAM-Statement nicht gefunden", 1},
    {"Programmname fehlt oder ist nicht korrekt", 1},
    {"Schl\xFC" "sselwort ist VAR_INPUT", 0},
    {"Schl\xFC" "sselwort ist VAR_OUTPUT", 0},
    {"Schl\xFC" "sselwort ist VAR_IN_OUT", 0},
    {"Schl\xFC" "sselwort ist VAR_INTERN", 0},
    {"Schl\xFC" "sselwort ist VAR_ARRAY", 0},
    {"Schl\xFC" "sselwort ist END_VAR", 0},
    {"Pinnummer zu gro\xDF" " oder negativ", 1},
    {"Pin ist reserviert", 1},
    {"Pin als Input nicht zul\xE4" "ssig", 1},
    {"Pin als Output nicht zul\xE4" "ssig", 1},
    {"Dieser Pin ist bereits vergeben", 1},
    {"Pinnummer mu\xDF" " Zahl oder spezielles Symbol sein", 1},
    {"Bei internen Variablen keine Pinzuweisung m\xF6" "glich", 1},
    {"Reserviertes Schl\xFC" "sselwort", 1},
    {"Kennung wurde bereits vergeben\n oder ist reserviertes Schl\xFC" "sselwort", 1},
    {"Keine Inputpins mehr zu vergeben", 1},
    {"Keine Outputpins mehr zu vergeben", 1},
    {"[ fehlt", 1},
    {"] fehlt", 1},
    {"unbekanntes Trennzeichen", 1},
    {"Trennzeichen ist ,", 0},
    {"Zu viele Variablen in der Gruppe", 1},
    {"Variable im Array wurde vorher nicht deklariert\n oder ist reserviertes Schl\xFC" "sselwort", 1},
    {"Es wurden keine In- oder keine Outputs deklariert\nSyntaxanalyse wird nicht fortgesetzt", 1},
    {"Es gibt maximal 64 interne Variablen", 1},
    {"Der IC hat nur 39 verfuegbare Pins", 1},
    {"Es sind maximal 32 Outputs verf\xFC" "gbar", 1},
    {"THEN fehlt", 1},
    {"Schl\xFC" "sselwort ist ELSIF", 0},
    {"Schluesselwort ist END_IF", 0},
    {"END_IF erwartet", 1},
    {"OF fehlt", 1},
    {"Unbekannte Variable", 1},
    {": fehlt", 1},
    {"Schluesselwort ist END_CASE", 1},
    {"END_CASE fehlt", 1},
    {"Alle F\xE4" "lle bereits angegeben, kein ELSE mehr m\xF6" "glich.", 1},
    {"Bei Ausdr\xFC" "cken vom Type BOOL nur Angabe einer Konstanten m\xF6" "glich", 1},
    {"Diese Bedingung wurde bereits formuliert", 1},
    {"Zuweisung an Gruppe so nicht m\xF6" "glich", 1},
    {"Diese Form der Anweisung nicht bekannt", 1},
    {"Falscher Zuweisungsoperator", 1},
    {"Zuweisungsoperator ist :=", 1},
    {"Zuweisungsoperator nicht gefunden.", 1},
    {"Diese Extension ist unbekannt", 1},
    {"Keine .OE-Extension erlaubt", 1},
    {"Unbekannter Operator", 1},
    {"Speicher\xFC" "berlauf bei interner Baumspeicherung", 1},
    {"OR erwartet", 1},
    {"XOR erwartet", 1},
    {"AND erwartet", 1},
    {") fehlt", 1},
    {"Bezeichner unbekannt oder reserviertes Schl\xFC" "sselwort", 1},
    {"bei Gruppen Vergleich erforderlich", 1},
    {"Innerhalb von Extra_statements kein OR oder XOR erlaubt", 1},
    {"<0-Vergleich ist nicht erlaubt.", 1},
    {"<= max. Feldgroesse ist immer TRUE", 1},
    {"> als max. Feldgroesse nicht erlaubt", 1},
    {">= 0 ist immer TRUE", 1},
    {"Konstante nicht korrekt", 1},
    {"Integerwert max. 255", 1},
    {"Konstante \xFC" "berschreitet Wertebereich des Arrays", 1},
    {"Konstante zu lang", 1},
    {"Zugewiesener Ausdruck hat maximal zul\xE4" "ssige Variablenzahl \xFC" "berschritten", 1},
};

int LastLineTransient = 0;
int ProgressIndex = 0;

static const char* const kFrames[16] = {
    ">>>",
    "  >>>",
    "    >>>",
    "      >>>",
    "        >>>",
    "          >>>",
    "            >>>",
    "              >>>",
    "              <<<",
    "            <<<",
    "          <<<",
    "        <<<",
    "      <<<",
    "    <<<",
    "  <<<",
    "<<<",
};

const char* ProgressFrame(int index) { return kFrames[index & 15]; }

static void EmitEntry(const char* text, int severity, int line) {
    if (CS.Err.IsOpen()) {
        if (line > 0) CS.Err.Printf("Zeile %d: ", line);
        CS.Err.Write(text);
        CS.Err.Write("\n");
    }
    const CompileHost& h = CurrentCompileHost();
    if (h.diagnostic) h.diagnostic(h.ctx, line, severity, text);
}

void ReportMessage(const char* text, int severity, int withLine) {
    if (severity == 0)
        ++CS.WarningCount;
    else
        ++CS.ErrorCount;
    // Nothing is written while no ERR stream is open; the count stays.
    if (!CS.Err.IsOpen()) return;
    if (CS.ErrorCount < 10) {
        EmitEntry(text, severity, withLine ? CS.LineNumber : 0);
    } else if (severity == 1 && CS.ErrorCount == 10) {
        EmitEntry("Zu viele Fehler", 1, 0);
    }
}

void Report(MessageId id, int withLine) {
    ReportMessage(kMessages[id].text, kMessages[id].severity, withLine);
}

void WriteErrEntry(const char* text, int severity) {
    if (CS.Err.IsOpen()) EmitEntry(text, severity, 0);
}

void LogMessage(const char* text, int transient) {
    const CompileHost& h = CurrentCompileHost();
    if (LastLineTransient == 1 && h.log_delete_last) h.log_delete_last(h.ctx);
    if (h.log_append) h.log_append(h.ctx, text, transient);
    LastLineTransient = transient;
}

void StepProgress() {
    LogMessage(kFrames[ProgressIndex], 1);
    ProgressIndex = (ProgressIndex + 1) % 16;
}
