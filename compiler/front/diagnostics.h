// Diagnostics (the ERR file) and the compile-log lines.
// Every diagnostic comes from one fixed message table with a fixed severity;
// the reporting site decides whether the "Zeile N: " prefix is added.
#pragma once

struct MessageEntry {
    const char* text;  // Windows-1252, may contain "\n"
    int severity;      // 0 warning, 1 error
};

enum MessageId {
    MSG_SPEICHER_VOLL,
    MSG_FEHLER_OEFFNEN,
    MSG_END_PROGRAM_FEHLT,
    MSG_DEKLARATION_ABBRUCH,
    MSG_BEZEICHNER_NICHT_KORREKT,
    MSG_BEZEICHNER_ZU_LANG,
    MSG_SEMIKOLON_FEHLT,
    MSG_SYMBOLTABELLE_VOLL,
    MSG_SCHLUESSELWORT_ODER_INPUT,
    MSG_BEREITS_IN_SELECTION,
    MSG_BEREITS_IS_A,
    MSG_OE_BEREITS,
    MSG_OE_NUR_OUTPUTS,
    MSG_RESET_BEREITS,
    MSG_CLOCK_BEREITS,
    MSG_CRIT_BEREITS,
    MSG_CRIT_NUR_OUTPUTS,
    MSG_IO_OE_FEHLT,
    MSG_PROGRAM_NICHT_GEFUNDEN,
    MSG_PROGRAMMNAME,
    MSG_KW_VAR_INPUT,
    MSG_KW_VAR_OUTPUT,
    MSG_KW_VAR_IN_OUT,
    MSG_KW_VAR_INTERN,
    MSG_KW_VAR_ARRAY,
    MSG_KW_END_VAR,
    MSG_PIN_ZU_GROSS,
    MSG_PIN_RESERVIERT,
    MSG_PIN_INPUT_UNZULAESSIG,
    MSG_PIN_OUTPUT_UNZULAESSIG,
    MSG_PIN_VERGEBEN,
    MSG_PIN_ZAHL_ODER_SYMBOL,
    MSG_INTERN_KEINE_PINS,
    MSG_RESERVIERTES_SCHLUESSELWORT,
    MSG_KENNUNG_VERGEBEN,
    MSG_KEINE_INPUTPINS,
    MSG_KEINE_OUTPUTPINS,
    MSG_KLAMMER_AUF_FEHLT,     // "[ fehlt"
    MSG_KLAMMER_ZU_FEHLT,      // "] fehlt"
    MSG_UNBEKANNTES_TRENNZEICHEN,
    MSG_TRENNZEICHEN_KOMMA,
    MSG_ZU_VIELE_IN_GRUPPE,
    MSG_ARRAY_VARIABLE_UNBEKANNT,
    MSG_KEINE_IN_OUTPUTS,
    MSG_MAX_64_INTERNE,
    MSG_NUR_39_PINS,
    MSG_MAX_32_OUTPUTS,
    MSG_THEN_FEHLT,
    MSG_KW_ELSIF,
    MSG_KW_END_IF,
    MSG_END_IF_ERWARTET,
    MSG_OF_FEHLT,
    MSG_UNBEKANNTE_VARIABLE,
    MSG_DOPPELPUNKT_FEHLT,
    MSG_KW_END_CASE,
    MSG_END_CASE_FEHLT,
    MSG_ALLE_FAELLE,
    MSG_BOOL_NUR_KONSTANTE,
    MSG_BEDINGUNG_BEREITS,
    MSG_ZUWEISUNG_GRUPPE,
    MSG_ANWEISUNG_UNBEKANNT,
    MSG_FALSCHER_ZUWEISUNGSOPERATOR,
    MSG_ZUWEISUNGSOPERATOR_IST,
    MSG_ZUWEISUNGSOPERATOR_NICHT_GEFUNDEN,
    MSG_EXTENSION_UNBEKANNT,
    MSG_KEINE_OE_EXTENSION,
    MSG_UNBEKANNTER_OPERATOR,
    MSG_BAUMSPEICHER_UEBERLAUF,
    MSG_OR_ERWARTET,
    MSG_XOR_ERWARTET,
    MSG_AND_ERWARTET,
    MSG_KLAMMER_FEHLT,         // ") fehlt"
    MSG_BEZEICHNER_UNBEKANNT,
    MSG_GRUPPE_VERGLEICH,
    MSG_EXTRA_KEIN_OR,
    MSG_KLEINER_NULL,
    MSG_KLEINER_GLEICH_MAX,
    MSG_GROESSER_MAX,
    MSG_GROESSER_GLEICH_NULL,
    MSG_KONSTANTE_NICHT_KORREKT,
    MSG_INTEGER_MAX_255,
    MSG_KONSTANTE_WERTEBEREICH,
    MSG_KONSTANTE_ZU_LANG,
    MSG_VARIABLENZAHL,
    MSG_COUNT
};

extern const MessageEntry kMessages[MSG_COUNT];

// Writes and counts one diagnostic (see the rules in diagnostics.cpp).
void ReportMessage(const char* text, int severity, int withLine);
// The same for an entry of the table.
void Report(MessageId id, int withLine);
// Writes an entry to the ERR file unconditionally, without counting it
// (the declaration stop notice of the driver).
void WriteErrEntry(const char* text, int severity);

// Compile log: a permanent (0) or transient (1) line; a transient line is
// replaced by the next line of either kind.
void LogMessage(const char* text, int transient);
// Shows the next of the sixteen progress frames as a transient line.
void StepProgress();

// Process-wide compile-log state (kept across compiles).
extern int LastLineTransient;
extern int ProgressIndex;
const char* ProgressFrame(int index);
