// TALMIR.exe: process start-up, the window classes, the message loop, the
// main window with its command dispatch, the type and minimization choices,
// the About dialog, help, and the fitter report hook.
#include <windows.h>
#include <htmlhelp.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "resources/resource.h"
#include "shell/shell.h"

HINSTANCE AppInstance;
HWND MainWindow;
HWND Editor;
HWND StatusStrip;
HACCEL Accelerators;
UINT FindReplaceMessage;

char DocumentPath[kPathBuffer];
char JedPath[kPathBuffer];
volatile int Modified = 0;
volatile int NotCompiled = 1;
volatile int ShowErrorsPending = 0;
int ETyp = 1;
int SettingsDirty = 0;
int LoadSaveUsed = 0;
short PortSetting = 4;
char WorkingDir[261];
char SettingsPath[300];
char HelpPath[300];
HWND FindDialog;
int FitterRunPending = 0;
char FitterLogPath[MAX_PATH];

int ShowBox(HWND owner, const char* text, UINT flags) {
    return MessageBoxA(owner, text, "TALMIR", flags);
}

int ShowWarning(HWND owner, const char* text) { return ShowBox(owner, text, MB_ICONWARNING | MB_OK); }

namespace {

// --- HTML Help, loaded on first use ----------------------------------------
typedef HWND(WINAPI* HtmlHelpFn)(HWND, LPCSTR, UINT, DWORD_PTR);
HMODULE HelpModule;
HtmlHelpFn HtmlHelpCall;
bool HelpLoadTried;

HtmlHelpFn HelpFunction() {
    if (!HelpLoadTried) {
        HelpLoadTried = true;
        HelpModule = LoadLibraryA("hhctrl.ocx");
        if (HelpModule)
            HtmlHelpCall = reinterpret_cast<HtmlHelpFn>(
                reinterpret_cast<void*>(GetProcAddress(HelpModule, "HtmlHelpA")));
    }
    return HtmlHelpCall;
}

void Help(HWND owner, UINT command, DWORD_PTR data) {
    HtmlHelpFn fn = HelpFunction();
    if (fn) fn(owner, HelpPath, command, data);
}

void HelpSearch(HWND owner) {
    static HH_FTS_QUERY query;
    std::memset(&query, 0, sizeof query);
    query.cbStruct = sizeof query;
    query.fUniCodeStrings = FALSE;
    query.pszSearchQuery = "";
    query.iProximity = 300;
    query.fStemmedSearch = FALSE;
    query.fTitleOnly = FALSE;
    query.fExecute = FALSE;
    query.pszWindow = nullptr;
    Help(owner, HH_DISPLAY_SEARCH, reinterpret_cast<DWORD_PTR>(&query));
}

// The shutdown call closes the help windows this program opened; it is only
// made when the help control was loaded at all.
void HelpShutdown(HWND owner) {
    if (HtmlHelpCall) HtmlHelpCall(owner, HelpPath, HH_CLOSE_ALL, 0);
}

// --- Dialogs ---------------------------------------------------------------
INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_COMMAND) {
        EndDialog(dlg, IDOK);
        return TRUE;
    }
    return 0;
}

int MinSelectedId = IDC_MIN_ESPRESSO;  // survives between openings

INT_PTR CALLBACK MinBoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        MinSelectedId = IDC_MIN_NONE + MinLevel;
        CheckRadioButton(dlg, IDC_MIN_NONE, IDC_MIN_ESPRESSO, MinSelectedId);
        SetFocus(GetDlgItem(dlg, MinSelectedId));
        return 0;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id >= IDC_MIN_NONE && id <= IDC_MIN_ESPRESSO) {
            MinSelectedId = id;
            CheckRadioButton(dlg, IDC_MIN_NONE, IDC_MIN_ESPRESSO, id);
            SettingsDirty = 1;
            return TRUE;
        }
        if (id == IDOK) {
            MinLevel = MinLevelFromSelection(&MinSelectedId);
            EndDialog(dlg, 1);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dlg, 0);
            return TRUE;
        }
        return 0;
    }
    }
    return 0;
}

// --- Fitter report hook -----------------------------------------------------
void FitterReportHook() {
    if (!FitterRunPending) return;
    FILE* f = std::fopen(FitterLogPath, "r");
    if (!f) return;  // tried again at the next activation
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
    LogMessage(FitterLogSucceeded(text) ? "Fitterdurchgang erfolgreich beendet"
                                        : "Es traten Fehler beim Fitten auf!",
               0);
    FitterRunPending = 0;
}

// --- Commands ---------------------------------------------------------------
void SelectPlcType(HWND hwnd, int command) {
    HMENU menu = GetMenu(hwnd);
    const int items[4] = {CMD_TREVA, CMD_ZIRKO_L2, CMD_ZIRKO_M2, CMD_ZIRKO_M2E};
    for (int item : items) CheckMenuItem(menu, item, item == command ? MF_CHECKED : MF_UNCHECKED);
    PlcType = PlcTypeOfCommand(command);
    if (command == CMD_ZIRKO_M2 || command == CMD_ZIRKO_M2E) {
        ETyp = 11;
        CheckMenuItem(menu, CMD_ETYP, MF_CHECKED);
    }
}

void ToggleETyp(HWND hwnd) {
    HMENU menu = GetMenu(hwnd);
    if (ETyp == 11) {
        CheckMenuItem(menu, CMD_ETYP, MF_UNCHECKED);
        ETyp = 1;
    } else {
        CheckMenuItem(menu, CMD_ETYP, MF_CHECKED);
        ETyp = 11;
    }
}

bool AskedAndCancelled(HWND hwnd) {
    return Modified == 1 && AskSaveChanges(DocumentPath, hwnd) == IDCANCEL;
}

void DocumentReplaced(HWND hwnd) {
    SetDocumentTitle(hwnd, DocumentPath);
    Modified = 0;
    NotCompiled = 1;
}

void Command(HWND hwnd, int command) {
    switch (command) {
    case CMD_NEW:
        if (AskedAndCancelled(hwnd)) return;
        DocumentPath[0] = '\0';
        SetDocumentTitle(hwnd, DocumentPath);
        SetWindowTextA(Editor, "");
        NotCompiled = 1;
        Modified = 0;
        return;
    case CMD_OPEN:
        if (AskedAndCancelled(hwnd)) return;
        OpenDocument(hwnd, DocumentPath);
        DocumentReplaced(hwnd);
        return;
    case CMD_SAVE:
        if (SaveDocument(hwnd, DocumentPath[0] == '\0' ? 1 : 0, DocumentPath)) DocumentReplaced(hwnd);
        return;
    case CMD_SAVE_AS:
        if (SaveDocument(hwnd, 1, DocumentPath)) DocumentReplaced(hwnd);
        return;
    case CMD_PRINT: PrintDocument(hwnd); return;
    case CMD_EXIT:
        if (AskedAndCancelled(hwnd)) return;
        DestroyWindow(hwnd);
        return;
    case CMD_UNDO: SendMessageA(Editor, WM_UNDO, 0, 0); return;
    case CMD_CUT: SendMessageA(Editor, WM_CUT, 0, 0); return;
    case CMD_COPY: SendMessageA(Editor, WM_COPY, 0, 0); return;
    case CMD_PASTE: SendMessageA(Editor, WM_PASTE, 0, 0); return;
    case CMD_CLEAR: SendMessageA(Editor, WM_CLEAR, 0, 0); return;
    case CMD_SELECT_ALL: SendMessageA(Editor, EM_SETSEL, 0, -1); return;
    case CMD_FIND: OpenFindDialog(hwnd, 0); return;
    case CMD_FIND_NEXT: FindNext(hwnd); return;
    case CMD_REPLACE: OpenFindDialog(hwnd, 1); return;
    case CMD_GOTO_LINE: GoToLine(hwnd); return;
    case CMD_VIEW_ERRORS:
    case CMD_VIEW_LOG:
    case CMD_VIEW_EQUATIONS:
    case CMD_VIEW_JEDEC:
    case CMD_VIEW_PINS:
        if (DocumentPath[0] == '\0') return;
        OpenView(hwnd, DocumentPath, ViewKindOfCommand(command), NotCompiled);
        return;
    case CMD_TREVA:
    case CMD_ZIRKO_L2:
    case CMD_ZIRKO_M2:
    case CMD_ZIRKO_M2E: SelectPlcType(hwnd, command); return;
    case CMD_ETYP: ToggleETyp(hwnd); return;
    case CMD_COMPILE_FIT:
    case CMD_COMPILE_ONLY: StartCompile(hwnd, command); return;
    case CMD_FIT_ONLY: NoFitterInstalled(hwnd); return;
    case CMD_MIN_OPTION: DialogBoxA(AppInstance, "MinBox", hwnd, MinBoxProc); return;
    case CMD_UPLOAD:
    case CMD_DOWNLOAD:
    case CMD_VERIFY:
    case CMD_SECURITY_FUSE:
    case CMD_STATUS: NoProgrammerInstalled(hwnd); return;
    case CMD_FONTS:
        if (ChooseEditorFont(hwnd)) ApplyEditorFont(Editor);
        return;
    case CMD_PORT: ConfigurePort(hwnd); return;
    case CMD_HELP_CONTENTS: Help(hwnd, HH_DISPLAY_TOC, 0); return;
    case CMD_HELP_INDEX: Help(hwnd, HH_DISPLAY_INDEX, reinterpret_cast<DWORD_PTR>("")); return;
    case CMD_HELP_SEARCH: HelpSearch(hwnd); return;
    case CMD_ABOUT: DialogBoxA(AppInstance, MAKEINTRESOURCEA(DLG_ABOUT), hwnd, AboutProc); return;
    default: return;
    }
}

void InitEditMenu(HMENU popup) {
    auto set = [popup](int item, bool gray) {
        EnableMenuItem(popup, item, MF_BYCOMMAND | (gray ? MF_GRAYED : MF_ENABLED));
    };
    set(CMD_UNDO, SendMessageA(Editor, EM_CANUNDO, 0, 0) == 0);
    set(CMD_PASTE, !IsClipboardFormatAvailable(CF_TEXT));
    DWORD start = 0, end = 0;
    SendMessageA(Editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    bool empty = start == end;
    set(CMD_CUT, empty);
    set(CMD_COPY, empty);
    set(CMD_CLEAR, empty);
    bool finding = FindDialog != nullptr;
    set(CMD_FIND, finding);
    set(CMD_FIND_NEXT, finding);
    set(CMD_REPLACE, finding);
}

bool RegisterClasses(HINSTANCE inst) {
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hInstance = inst;

    wc.lpfnWndProc = MainWindowProc;
    wc.hIcon = LoadIconA(inst, "STQXIcon");
    wc.hIconSm = wc.hIcon;
    wc.hCursor = nullptr;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = "WIN_TLMMenu";
    wc.lpszClassName = "STQX";
    RegisterClassExA(&wc);

    wc.lpfnWndProc = ViewWindowProc;
    wc.cbWndExtra = 4;
    wc.hIcon = LoadIconA(inst, "DokIcon");
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = "anzeigen";
    RegisterClassExA(&wc);

    wc.lpfnWndProc = StatusStripProc;
    wc.cbWndExtra = 0;
    wc.hIcon = nullptr;
    wc.hIconSm = nullptr;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = "ZUSATZ";
    RegisterClassExA(&wc);

    wc.lpfnWndProc = CompileLogFrameProc;
    wc.hIcon = LoadIconA(inst, "DokIcon");
    wc.hIconSm = wc.hIcon;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "rahmen";
    return RegisterClassExA(&wc) != 0;
}

}  // namespace

void SetTypeMarks(HMENU menu) {
    const int items[4] = {CMD_TREVA, CMD_ZIRKO_L2, CMD_ZIRKO_M2, CMD_ZIRKO_M2E};
    int checked = PlcTypeMenuItem(PlcType);
    for (int item : items) CheckMenuItem(menu, item, item == checked ? MF_CHECKED : MF_UNCHECKED);
    ETyp = ETypAfterTypeMarks(PlcType, ETyp);
    CheckMenuItem(menu, CMD_ETYP, ETyp == 11 ? MF_CHECKED : MF_UNCHECKED);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (ShowErrorsPending == 1) {
        ShowErrorsPending = 0;
        OpenView(hwnd, ErrPath, 1, NotCompiled);
    }
    switch (msg) {
    case WM_SIZE: {
        int width = LOWORD(lParam);
        int height = HIWORD(lParam) - 16;
        MoveWindow(Editor, 0, 0, width, height, TRUE);
        MoveWindow(StatusStrip, 0, height, width, 16, TRUE);
        return 0;
    }
    case WM_SETFOCUS: SetFocus(Editor); return 0;
    case WM_SYSCOLORCHANGE: InvalidateRect(Editor, nullptr, TRUE); return 0;
    case WM_CLOSE:
        if (AskedAndCancelled(hwnd)) return 0;
        DestroyWindow(hwnd);
        PostQuitMessage(0);
        return 0;
    case WM_DESTROY:
        HelpShutdown(hwnd);
        if (SettingsDirty == 1) WriteSettings(hwnd);
        DeleteEditorFont();
        PostQuitMessage(0);
        return 0;
    case WM_ACTIVATEAPP:
        if (LOWORD(wParam) == 1) FitterReportHook();
        return 0;
    case WM_COMMAND:
        if (lParam != 0 && LOWORD(wParam) == ID_EDITOR) {
            if (HIWORD(wParam) == EN_CHANGE)
                Modified = 1;
            else if (HIWORD(wParam) == EN_MAXTEXT)
                ShowBox(hwnd, "Kapazit\xE4" "tsgrenzen sind erreicht", MB_OK | MB_ICONERROR);
            return 0;
        }
        Command(hwnd, LOWORD(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        if (lParam == 1) InitEditMenu(reinterpret_cast<HMENU>(wParam));
        return 0;
    default:
        if (FindReplaceMessage != 0 && msg == FindReplaceMessage) {
            HandleFindReplace(hwnd, lParam);
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR commandLine, int show) {
    AppInstance = inst;
    CreateMutexA(nullptr, TRUE, "FirstInstance");
    if (GetLastError() == ERROR_ALREADY_EXISTS) ExitProcess(255);

    if (!RegisterClasses(inst)) return 0;

    MainWindow = CreateWindowExA(0, "STQX", "TALMIR", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                 nullptr, inst, nullptr);
    if (!MainWindow) return 0;
    ClearViewSlots();
    RECT rc;
    GetClientRect(MainWindow, &rc);
    Editor = CreateWindowExA(0, "EDIT", nullptr,
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL |
                                 ES_AUTOVSCROLL | ES_MULTILINE,
                             0, 0, rc.right, rc.bottom - 16, MainWindow,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_EDITOR)), inst, nullptr);
    StatusStrip = CreateWindowExA(0, "ZUSATZ", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, rc.left,
                                  rc.bottom - 16, rc.right, 16, MainWindow,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_STATUS)), inst,
                                  nullptr);
    ShowWindow(MainWindow, show);
    UpdateWindow(MainWindow);
    SetDocumentTitle(MainWindow, "");

    Accelerators = LoadAcceleratorsA(inst, "TALMIR_Accel");
    FindReplaceMessage = RegisterWindowMessageA(FINDMSGSTRINGA);

    char current[MAX_PATH + 2] = {0};
    DWORD got = GetCurrentDirectoryA(sizeof current, current);
    if (got == 0 || got >= sizeof current) current[0] = '\0';
    MakeWorkingDir(current, WorkingDir, sizeof WorkingDir);
    std::snprintf(SettingsPath, sizeof SettingsPath, "%s%s", WorkingDir, "TALMIR.ini");
    std::snprintf(HelpPath, sizeof HelpPath, "%s%s", WorkingDir, "tlm_hilfe_V44.chm");

    InstallCompileHost();
    if (!ReadSettings(Editor)) SetDefaultFont(Editor);
    SetTypeMarks(GetMenu(MainWindow));

    if (!SetTimer(MainWindow, 1, 200, StatusTimerProc))
        ShowBox(MainWindow, "Es ist kein Timer f\xFC" "r TALMIR mehr frei!", MB_OK | MB_ICONINFORMATION);

    if (CommandLineDocumentPath(commandLine, DocumentPath, sizeof DocumentPath)) {
        std::string message;
        if (LoadTextFile(Editor, DocumentPath, &message)) {
            SetDocumentTitle(MainWindow, DocumentPath);
            Modified = 0;
            NotCompiled = 1;
            DeriveJedPath();
        } else {
            Modified = 0;
        }
    }

    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        if (FindDialog && IsDialogMessageA(FindDialog, &m)) continue;
        if (TranslateAcceleratorA(MainWindow, Accelerators, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return static_cast<int>(m.wParam);
}
