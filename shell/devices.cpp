// Printing the editor text, the port dialog, and the commands of fitting
// and programming, whose tools are not part of this program: they say so
// and change nothing.
#include <windows.h>

#include <commdlg.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "compiler/front/work_memory.h"
#include "resources/resource.h"
#include "shell/shell.h"

namespace {

HWND AbortDialog;
bool UserAborted;

INT_PTR CALLBACK AbortDlgProc(HWND dlg, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dlg, IDC_PRINT_DOCNAME, DocumentPath[0] ? DocumentPath : "(ohne Namen)");
        return TRUE;
    case WM_COMMAND:
    case WM_CLOSE:
        UserAborted = true;
        return TRUE;
    }
    return 0;
}

BOOL CALLBACK AbortProc(HDC, int) {
    MSG m;
    while (!UserAborted && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (!AbortDialog || !IsDialogMessageA(AbortDialog, &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    return !UserAborted;
}

bool HasPrinter() {
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed,
                  &count);
    return needed > 0;
}

// The editor text split into its lines (CR LF as the edit control gives them).
std::vector<std::string> EditorLines() {
    std::vector<std::string> lines;
    size_t n = static_cast<size_t>(GetWindowTextLengthA(Editor)) + 1;
    char* text = static_cast<char*>(AllocWork(n, 1));
    if (!text) return lines;
    GetWindowTextA(Editor, text, static_cast<int>(n));
    std::string line;
    for (const char* p = text; *p; ++p) {
        if (*p == '\r') continue;
        if (*p == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += *p;
        }
    }
    lines.push_back(line);
    FreeWork(text);
    return lines;
}

const char kNoPrinter[] = "Drucken ist nicht m\xF6" "glich: es ist kein Drucker eingerichtet.";

INT_PTR CALLBACK PortDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: {
        int port = (PortSetting >= 0 && PortSetting <= 4) ? PortSetting : 4;
        CheckRadioButton(dlg, IDC_PORT_LPT1, IDC_PORT_NONE, IDC_PORT_LPT1 + port);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            for (int i = 0; i < 5; ++i)
                if (IsDlgButtonChecked(dlg, IDC_PORT_LPT1 + i) == BST_CHECKED)
                    PortSetting = static_cast<short>(i);
            EndDialog(dlg, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dlg, 0);
            return TRUE;
        }
        return 0;
    }
    return 0;
}

}  // namespace

void PrintDocument(HWND owner) {
    if (!HasPrinter()) {
        ShowBox(owner, kNoPrinter, MB_OK | MB_ICONINFORMATION);
        return;
    }
    PRINTDLGA pd;
    ZeroMemory(&pd, sizeof pd);
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS;
    if (!PrintDlgA(&pd)) {
        DWORD err = CommDlgExtendedError();
        if (err == PDERR_NODEFAULTPRN || err == PDERR_NODEVICES || err == PDERR_PRINTERNOTFOUND)
            ShowBox(owner, kNoPrinter, MB_OK | MB_ICONINFORMATION);
        return;
    }
    HDC dc = pd.hDC;
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    if (!dc) return;

    std::vector<std::string> lines = EditorLines();
    UserAborted = false;
    EnableWindow(owner, FALSE);
    AbortDialog = CreateDialogA(AppInstance, "ABORTDLGBOX", owner, AbortDlgProc);
    SetAbortProc(dc, AbortProc);

    DOCINFOA di;
    ZeroMemory(&di, sizeof di);
    di.cbSize = sizeof di;
    di.lpszDocName = DocumentPath[0] ? DocumentPath : "TALMIR";
    bool ok = StartDocA(dc, &di) > 0;
    if (ok) {
        TEXTMETRICA tm;
        GetTextMetricsA(dc, &tm);
        int lineHeight = tm.tmHeight + tm.tmExternalLeading;
        int pageHeight = GetDeviceCaps(dc, VERTRES);
        int perPage = lineHeight > 0 ? pageHeight / lineHeight : 0;
        if (perPage < 1) perPage = 1;
        size_t i = 0;
        while (ok && !UserAborted && i < lines.size()) {
            if (StartPage(dc) <= 0) {
                ok = false;
                break;
            }
            for (int row = 0; row < perPage && i < lines.size(); ++row, ++i)
                TextOutA(dc, 0, row * lineHeight, lines[i].c_str(), static_cast<int>(lines[i].size()));
            if (EndPage(dc) <= 0) ok = false;
        }
        if (ok && !UserAborted)
            EndDoc(dc);
        else
            AbortDoc(dc);
    }
    EnableWindow(owner, TRUE);
    if (AbortDialog) DestroyWindow(AbortDialog);
    AbortDialog = nullptr;
    DeleteDC(dc);
    if (!ok && !UserAborted) ShowBox(owner, "Fehler beim Drucken.", MB_OK | MB_ICONWARNING);
}

void ConfigurePort(HWND owner) { DialogBoxA(AppInstance, "LPTBOX", owner, PortDlgProc); }

void NoFitterInstalled(HWND owner) {
    ShowBox(owner, "Es ist kein Fitter installiert.", MB_OK | MB_ICONINFORMATION);
}

void NoProgrammerInstalled(HWND owner) {
    ShowBox(owner, "Es ist kein Programmierger\xE4" "t installiert.", MB_OK | MB_ICONINFORMATION);
}
