// Window-free rules of the Windows program: what the shell computes from
// texts and numbers before it talks to a window. Kept apart so that native
// tests reach them.
#pragma once
#include <cstddef>
#include <string>

// Paths of the documents and of everything derived from them hold at most
// this many characters (buffers of kPathBuffer bytes).
constexpr size_t kPathBuffer = 128;
constexpr size_t kMaxPath = kPathBuffer - 1;

// --- Start-up --------------------------------------------------------------

// The document path of a command line (the part after the program name).
// Leading blanks are skipped; a line that starts with a double quote loses
// that quote and its last character. Returns false, with out emptied, when
// there is no path or it has more than kMaxPath characters (it is then not
// taken at all rather than cut to another file's name).
bool CommandLineDocumentPath(const char* commandLine, char* out, size_t outSize);

// The working directory as the shell keeps it: ending in a backslash. Empty
// when the current directory plus the backslash would not fit outSize bytes
// (relative names then resolve in the current directory all the same).
void MakeWorkingDir(const char* currentDir, char* out, size_t outSize);

// Menu items of the controller types: 52 TREVA, 51 ZIRKO L2, 53 ZIRKO M2,
// 54 ZIRKO M2E, 58 the E-type.
enum { kItemTreva = 52, kItemZirkoL2 = 51, kItemZirkoM2 = 53, kItemZirkoM2E = 54, kItemETyp = 58 };
// The item checked for a PlcType (0 when none is), and the E-type that the
// start-up marks leave (M2 and M2E switch it on).
int PlcTypeMenuItem(int plcType);
int ETypAfterTypeMarks(int plcType, int eTyp);
// The PlcType of a type command 51..54, -1 for another number.
int PlcTypeOfCommand(int command);

// --- Documents -------------------------------------------------------------

// "TALMIR - path", or "TALMIR - (ohne Namen)" for an empty path.
std::string DocumentTitle(const char* path);
// "Datei %s wurde ver\xE4ndert. Speichern?" with the path or "(ohne Namen)".
std::string SaveQuestionText(const char* path);
// The backup name of a document: the last eleven characters are searched
// from the end for a dot or a backslash; a dot met first is replaced by
// ".bak". Empty when no backup is made (backslash first, or neither).
std::string BackupName(const char* path);
// The messages of the document files, formatted with the path.
std::string OpenFailedText(const char* path);   // "Datei %s konnte nicht ge\xF6" "ffnet werden."
std::string EmptyFileText(const char* path);    // "Datei %s ist leer"
std::string CannotSaveText(const char* path);   // "Kann %s nicht speichern"
std::string WriteFailedText(const char* path);  // "Fehler beim Schreiben von %s"

// --- Compile job and views -------------------------------------------------

// The result line of a compile.
std::string CompileResultLine(int warnings, int errors);
// "Zeile: %d".
std::string StatusStripText(int line);
// The file of a result view: kinds 0 "zw", 1 "err", 2 "jed", 3 "log",
// 4 "laf"; the path's extension replaced by the rule of ExtensionDotIndex.
const char* ViewExtension(int kind);
std::string ViewPath(const char* path, int kind);
// Kinds 0 and 1 are refused while the document is not compiled.
bool ViewNeedsCompile(int kind);
// The view kind of a command 22..26, -1 for another number.
int ViewKindOfCommand(int command);

// --- Fitter report ---------------------------------------------------------

// The last word (a maximal run of A-Z, a-z) of a fitter log, whole whatever
// its length; empty when the text holds no letter.
std::string LastWord(const std::string& text);
// Whether the log reports success: its last word is exactly "successfully".
bool FitterLogSucceeded(const std::string& text);

// --- Minimization dialog ---------------------------------------------------

// OK in the dialog: the level chosen by the selected button id (221..223);
// another id gives level 2 and resets the id to 223.
int MinLevelFromSelection(int* selectedId);

// --- Search ----------------------------------------------------------------

// First occurrence of search in text[0..len) starting at or after pos,
// bytes compared exactly; -1 when none (also for pos at or past the end, or
// an empty search text).
long FindFrom(const char* text, size_t len, const char* search, long pos);
// Where Replace All searches next: where the last search left it, but never
// inside the text that its previous replacement inserted, so that a
// replacement holding the search text (X by YX) is not found again and again
// for ever. prevStart < 0 means no replacement yet.
long ReplaceAllResume(long prevStart, size_t replacementLen, long pos);
// Replace All on a plain string with the shell's position rules: from pos,
// each match replaced, the next search starting at match + search length.
// Returns the number of replacements; pos ends where the last search left it.
int ReplaceAllInText(std::string* text, const std::string& search, const std::string& replacement,
                     long* pos);

// --- Go to line ------------------------------------------------------------

// The 0-based target line of the go-to-line field (at most four characters
// are read): a number n >= 1 gives n - 1; 0, a negative number, or a field
// without a number gives -1 (nothing to do).
int GotoTargetFromField(const char* field);
// The y of the second click, or -1 when the first click already reached
// the target (cur >= target).
int SecondClickY(int top, int target, int cur, int lineHeight);
