// Result views: one top-level window per kind of result file (equations,
// errors, JEDEC, fitter log, pin assignment), each an edit control with the
// whole file.
#include <windows.h>

#include <string>

#include "resources/resource.h"
#include "shell/shell.h"

namespace {
HWND ViewSlots[5];
}

void ClearViewSlots() {
    for (HWND& slot : ViewSlots) slot = nullptr;
}

void CloseViews(int kind) {
    for (int k = 0; k < 5; ++k) {
        if (kind != 5 && k != kind) continue;
        if (ViewSlots[k]) {
            HWND w = ViewSlots[k];
            ViewSlots[k] = nullptr;
            DestroyWindow(w);
        }
    }
}

void OpenView(HWND owner, const char* path, int kind, int notCompiled) {
    if (kind < 0 || kind > 4) return;
    if (notCompiled && ViewNeedsCompile(kind)) {
        ShowBox(owner, "Datei mu\xDF" " zun\xE4" "chst compiliert werden", MB_OK);
        return;
    }
    std::string viewPath = ViewPath(path, kind);
    CloseViews(kind);
    HWND frame = CreateWindowExA(0, "anzeigen", viewPath.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                 0, 500, 300, nullptr, nullptr, AppInstance, nullptr);
    if (!frame) return;
    HWND edit = CreateWindowExA(0, "EDIT", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL |
                                    ES_AUTOVSCROLL | ES_MULTILINE,
                                0, 0, 500, 300, frame,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_VIEW_EDIT)),
                                AppInstance, nullptr);
    ViewSlots[kind] = frame;
    // Fitted to the client area at once rather than at the next resize.
    RECT rc;
    GetClientRect(frame, &rc);
    MoveWindow(edit, 0, 0, rc.right, rc.bottom, TRUE);
    std::string message;
    if (LoadTextFile(edit, viewPath.c_str(), &message)) {
        SetWindowWord(frame, 0, static_cast<WORD>(kind));
    } else {
        CloseViews(kind);
        if (!message.empty()) ShowBox(owner, message.c_str(), MB_OK);
    }
}

LRESULT CALLBACK ViewWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE: {
        HWND child = GetWindow(hwnd, GW_CHILD);
        if (child) MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    case WM_CLOSE: {
        int kind = GetWindowWord(hwnd, 0);
        if (kind >= 0 && kind < 5 && ViewSlots[kind] == hwnd) ViewSlots[kind] = nullptr;
        DestroyWindow(hwnd);
        return 0;
    }
    case WM_COMMAND: return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}
