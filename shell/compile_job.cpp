// The compile job: the compile command, the worker thread that runs the
// compiler, the compile-log window, the host callbacks of the compiler, and
// the status strip with its timer.
#include <process.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/work_memory.h"
#include "resources/resource.h"
#include "shell/path_rules.h"
#include "shell/shell.h"

HWND CompileLog;
char ZwPath[kPathBuffer + 4];
char ErrPath[kPathBuffer + 4];

namespace {

struct CompileJob {
    char* sourcePath;  // the shell's DocumentPath itself
    int command;       // 18 or 19
    HWND mainWindow;
    HMENU menu;
};

volatile LONG WorkerRunning = 0;
int CaretLine = 0;

// --- Host callbacks: list box operations, each a sent message -------------
void LogDeleteLast(void*) {
    HWND box = CompileLog;
    if (!box) return;
    LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
    if (count > 0) SendMessageA(box, LB_DELETESTRING, static_cast<WPARAM>(count - 1), 0);
}

void LogAppend(void*, const char* text, int) {
    HWND box = CompileLog;
    if (!box) return;
    SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
    if (count > 0) SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
}

void OutOfMemoryBox(void*, void* window) {
    MessageBoxA(static_cast<HWND>(window), "Nicht gen\xFC" "gend Speicher f\xFC" "r Compilierung",
                "TALMIR", MB_OK | MB_ICONERROR);
}

void SetCompileItems(HMENU menu, UINT state) {
    const int items[4] = {CMD_COMPILE_FIT, CMD_COMPILE_ONLY, CMD_FIT_ONLY, CMD_MIN_OPTION};
    for (int item : items) EnableMenuItem(menu, item, MF_BYCOMMAND | state);
}

void CopyPath(char* out, const std::string& in) {
    size_t n = in.size() < kPathBuffer + 3 ? in.size() : kPathBuffer + 3;
    std::memcpy(out, in.data(), n);
    out[n] = '\0';
}

unsigned __stdcall CompileWorker(void* arg) {
    CompileJob* job = static_cast<CompileJob*>(arg);
    SetCompileItems(job->menu, MF_GRAYED);
    LogMessage("Text wird compiliert", 0);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));

    // The source path gains a dot when it has none in its last four characters.
    int n = ExtensionDotIndex(job->sourcePath, kPathBuffer);
    // (A full buffer cannot take the dot; the derived names get it all the same.)
    std::string base = std::string(job->sourcePath, static_cast<size_t>(n)) + ".";
    CopyPath(ZwPath, base + "ZW");
    CopyPath(ErrPath, base + "ERR");

    int r = CompileSource(job->sourcePath, ZwPath, ErrPath, job->mainWindow);
    NotCompiled = 0;
    std::string line = CompileResultLine(CS.WarningCount, CS.ErrorCount);
    LogMessage(line.c_str(), 0);
    if (r == 0) {
        ShowErrorsPending = 1;
        // Wakes the main window so that it opens the errors view at once.
        PostMessageA(job->mainWindow, WM_NULL, 0, 0);
    }
    SetCompileItems(job->menu, MF_ENABLED);
    if (job->command == CMD_COMPILE_FIT)
        LogMessage("Es ist kein Fitter installiert, der Fitterdurchgang entf\xE4" "llt.", 0);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    InterlockedExchange(&WorkerRunning, 0);
    FreeWork(job);
    return 0;
}

int EditorCaretLine() {
    LRESULT index = SendMessageA(Editor, EM_LINEINDEX, static_cast<WPARAM>(-1), 0);
    return static_cast<int>(SendMessageA(Editor, EM_LINEFROMCHAR, static_cast<WPARAM>(index), 0)) + 1;
}

}  // namespace

int CompileRunning() { return WorkerRunning != 0; }

void InstallCompileHost() {
    static CompileHost host = {LogDeleteLast, LogAppend, nullptr, OutOfMemoryBox, nullptr};
    SetCompileHost(&host);
}

void StartCompile(HWND mainWindow, int command) {
    // The grayed items keep a second compile from starting; a command that
    // reaches the window all the same while a worker runs is ignored.
    if (WorkerRunning) return;
    if (Modified == 1 && AskSaveChanges(DocumentPath, mainWindow) == IDCANCEL) return;
    if (DocumentPath[0] == '\0') return;
    if (MinLevel == STRONGMIN &&
        ShowBox(mainWindow, "Komplette Minimierung kann Stunden in Anspruch nehmen! Fortfahren?",
                MB_ICONQUESTION | MB_OKCANCEL) == IDCANCEL)
        return;
    CompileJob* job = static_cast<CompileJob*>(AllocWork(1, sizeof(CompileJob)));
    if (!job) {
        OutOfMemoryBox(nullptr, mainWindow);
        return;
    }
    job->sourcePath = DocumentPath;
    job->command = command;
    job->mainWindow = mainWindow;
    job->menu = GetMenu(mainWindow);
    OpenCompileLog();
    SetFocus(CompileLog);
    InterlockedExchange(&WorkerRunning, 1);
    uintptr_t thread = _beginthreadex(nullptr, 0, CompileWorker, job, 0, nullptr);
    if (thread == 0) {
        InterlockedExchange(&WorkerRunning, 0);
        FreeWork(job);
        OutOfMemoryBox(nullptr, mainWindow);
        return;
    }
    CloseHandle(reinterpret_cast<HANDLE>(thread));
}

void OpenCompileLog() {
    if (CompileLog) return;
    HWND frame = CreateWindowExA(0, "rahmen", "LOG", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 400, 600,
                                 80, nullptr, nullptr, AppInstance, nullptr);
    if (!frame) return;
    RECT rc;
    GetClientRect(frame, &rc);
    CompileLog = CreateWindowExA(0, "listbox", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0,
                                 rc.right, rc.bottom, frame, nullptr, AppInstance, nullptr);
}

LRESULT CALLBACK CompileLogFrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE: {
        HWND child = GetWindow(hwnd, GW_CHILD);
        if (child) MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    case WM_CLOSE:
        CompileLog = nullptr;
        DestroyWindow(hwnd);
        return 0;
    case WM_COMMAND: return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK StatusStripProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        std::string text = StatusStripText(EditorCaretLine());
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, 3, 0, text.c_str(), static_cast<int>(text.size()));
        SetBkMode(dc, OPAQUE);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_COMMAND: return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void CALLBACK StatusTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    int line = EditorCaretLine();
    if (line != CaretLine) {
        CaretLine = line;
        InvalidateRect(StatusStrip, nullptr, TRUE);
    }
}
