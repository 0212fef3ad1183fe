// TALMIR.exe: the shell state that its pieces share, and the operations
// each piece offers the others. Win32 only.
#pragma once
#include <windows.h>

#include <string>

#include "shell/portable/shell_rules.h"

// --- Shell state (UI thread, except where the compile worker is named) -----
extern HINSTANCE AppInstance;
extern HWND MainWindow;
extern HWND Editor;         // control 100
extern HWND StatusStrip;    // control 101
extern HACCEL Accelerators;
extern UINT FindReplaceMessage;

extern char DocumentPath[kPathBuffer];
extern char JedPath[kPathBuffer];   // kept for the fitter, derived on open/save
extern volatile int Modified;
extern volatile int NotCompiled;         // written by the compile worker
extern volatile int ShowErrorsPending;   // written by the compile worker
extern int ETyp;
extern int SettingsDirty;
extern int LoadSaveUsed;
extern short PortSetting;
extern char WorkingDir[261];
extern char SettingsPath[300];
extern char HelpPath[300];
extern HWND FindDialog;
extern int FitterRunPending;
extern char FitterLogPath[MAX_PATH];

// Message boxes of the shell all carry the caption "TALMIR".
int ShowWarning(HWND owner, const char* text);
int ShowBox(HWND owner, const char* text, UINT flags);

// --- Main window (main_window.cpp) ------------------------------------------
LRESULT CALLBACK MainWindowProc(HWND, UINT, WPARAM, LPARAM);
void SetTypeMarks(HMENU menu);

// --- Documents (documents.cpp) ---------------------------------------------
int AskSaveChanges(const char* path, HWND owner);
void OpenDocument(HWND owner, char* pathBuffer);
// message receives the failure text; empty when the failure has no text.
int LoadTextFile(HWND edit, const char* path, std::string* message);
int SaveDocument(HWND owner, int saveAs, char* pathBuffer);
void SetDocumentTitle(HWND window, const char* path);
void DeriveJedPath();

// --- Compile job and log (compile_job.cpp) ---------------------------------
extern HWND CompileLog;
extern char ZwPath[kPathBuffer + 4];
extern char ErrPath[kPathBuffer + 4];
void InstallCompileHost();
void StartCompile(HWND mainWindow, int command);
void OpenCompileLog();
LRESULT CALLBACK CompileLogFrameProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StatusStripProc(HWND, UINT, WPARAM, LPARAM);
void CALLBACK StatusTimerProc(HWND, UINT, UINT_PTR, DWORD);
int CompileRunning();

// --- Result views (result_views.cpp) ---------------------------------------
void OpenView(HWND owner, const char* path, int kind, int notCompiled);
void CloseViews(int kind);   // 0..4, or 5 for all kinds
void ClearViewSlots();
LRESULT CALLBACK ViewWindowProc(HWND, UINT, WPARAM, LPARAM);

// --- Search, go to line, fonts (search_fonts.cpp) ---------------------------
void OpenFindDialog(HWND owner, int replace);
void FindNext(HWND owner);
void HandleFindReplace(HWND owner, LPARAM record);
void GoToLine(HWND owner);
int ChooseEditorFont(HWND owner);
void ApplyEditorFont(HWND editor);
void SetDefaultFont(HWND editor);
void DeleteEditorFont();
extern LOGFONTA EditorFont;
extern int LineHeight;

// --- Settings (settings_host.cpp) -------------------------------------------
int ReadSettings(HWND editor);
void WriteSettings(HWND owner);

// --- Printing, port, fitter and programmer (devices.cpp) -------------------
void PrintDocument(HWND owner);
void ConfigurePort(HWND owner);
void NoFitterInstalled(HWND owner);
void NoProgrammerInstalled(HWND owner);
