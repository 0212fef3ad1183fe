// Editing aids of the main editor: the modeless find and replace dialogs,
// find next, go to line, and the editor font.
#include <windows.h>

#include <commdlg.h>

#include <cstring>

#include "compiler/front/work_memory.h"
#include "resources/resource.h"
#include "shell/shell.h"

LOGFONTA EditorFont;
int LineHeight = 0;

namespace {

char SearchText[256];
char ReplacementText[256];
long SearchPos = 0;
int GotoTarget = 0;
HFONT EditorFontHandle;
FINDREPLACEA FindRecord;
FINDREPLACEA ReplaceRecord;

// The full selection end, also beyond the 16 bits of EM_GETSEL's result.
long SelectionEnd() {
    DWORD start = 0, end = 0;
    SendMessageA(Editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<long>(end);
}

// Searches from SearchPos; a match is selected and SearchPos moves behind it.
int SearchEditor(const char* search) {
    size_t n = static_cast<size_t>(GetWindowTextLengthA(Editor)) + 1;
    char* copy = static_cast<char*>(AllocWork(n, 1));
    if (!copy) return 0;
    GetWindowTextA(Editor, copy, static_cast<int>(n));
    long start = FindFrom(copy, std::strlen(copy), search, SearchPos);
    FreeWork(copy);
    if (start < 0) return 0;
    SearchPos = start + static_cast<long>(std::strlen(search));
    SendMessageA(Editor, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(SearchPos));
    return 1;
}

int ReplaceNext(const char* search, const char* replacement) {
    if (!SearchEditor(search)) return 0;
    SendMessageA(Editor, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(replacement));
    return 1;
}

void FillRecord(FINDREPLACEA* r, HWND owner, bool replace) {
    std::memset(r, 0, sizeof *r);
    r->lStructSize = sizeof *r;
    r->hwndOwner = owner;
    r->Flags = FR_HIDEUPDOWN | FR_HIDEMATCHCASE | FR_HIDEWHOLEWORD;
    r->lpstrFindWhat = SearchText;
    r->wFindWhatLen = sizeof SearchText;
    if (replace) {
        r->lpstrReplaceWith = ReplacementText;
        r->wReplaceWithLen = sizeof ReplacementText;
    }
}

INT_PTR CALLBACK NewLineBoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            char field[5] = {0};
            GetDlgItemTextA(dlg, IDC_LINE_FIELD, field, sizeof field);
            GotoTarget = GotoTargetFromField(field);
            EndDialog(dlg, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dlg, 0);
            GotoTarget = -1;
            return TRUE;
        }
        return 0;
    }
    return 0;
}

void Click(HWND window, int x, int y) {
    LPARAM point = MAKELPARAM(x, y);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(window, WM_LBUTTONUP, 0, point);
}

int CaretLineIndex() {
    LRESULT index = SendMessageA(Editor, EM_LINEINDEX, static_cast<WPARAM>(-1), 0);
    return static_cast<int>(SendMessageA(Editor, EM_LINEFROMCHAR, static_cast<WPARAM>(index), 0));
}

void MeasureLineHeight(HWND editor, HFONT font) {
    HDC dc = GetDC(editor);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA tm;
    if (GetTextMetricsA(dc, &tm)) LineHeight = tm.tmHeight + tm.tmExternalLeading;
    if (old) SelectObject(dc, old);
    ReleaseDC(editor, dc);
}

}  // namespace

void OpenFindDialog(HWND owner, int replace) {
    if (FindDialog) {
        SetFocus(FindDialog);
        return;
    }
    SearchPos = SelectionEnd();
    if (replace) {
        FillRecord(&ReplaceRecord, owner, true);
        FindDialog = ReplaceTextA(&ReplaceRecord);
    } else {
        FillRecord(&FindRecord, owner, false);
        FindDialog = FindTextA(&FindRecord);
    }
}

void FindNext(HWND owner) {
    SearchPos = SelectionEnd();
    if (SearchText[0] != '\0')
        SearchEditor(SearchText);
    else
        OpenFindDialog(owner, 0);
}

void HandleFindReplace(HWND owner, LPARAM record) {
    FINDREPLACEA* r = reinterpret_cast<FINDREPLACEA*>(record);
    if (!r) return;
    if (r->Flags & FR_DIALOGTERM) {
        FindDialog = nullptr;
        return;
    }
    if (r->Flags & FR_FINDNEXT) {
        if (!SearchEditor(r->lpstrFindWhat)) ShowWarning(owner, "Text nicht gefunden!");
    }
    if (r->Flags & (FR_REPLACE | FR_REPLACEALL)) {
        const char* with = r->lpstrReplaceWith ? r->lpstrReplaceWith : "";
        long prev = -1;
        if (!ReplaceNext(r->lpstrFindWhat, with)) {
            ShowWarning(owner, "Text nicht gefunden!");
            return;
        }
        if (r->Flags & FR_REPLACEALL) {
            prev = SearchPos - static_cast<long>(std::strlen(r->lpstrFindWhat));
            for (;;) {
                // Never inside the text the previous replacement inserted.
                SearchPos = ReplaceAllResume(prev, std::strlen(with), SearchPos);
                if (!ReplaceNext(r->lpstrFindWhat, with)) break;
                prev = SearchPos - static_cast<long>(std::strlen(r->lpstrFindWhat));
            }
        }
    }
}

void GoToLine(HWND owner) {
    DialogBoxA(AppInstance, "NewLineBox", owner, NewLineBoxProc);
    if (GotoTarget == -1) {
        SendMessageA(owner, WM_SETFOCUS, 0, 0);
        return;
    }
    SendMessageA(Editor, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, GotoTarget), 0);
    RECT rc;
    GetClientRect(Editor, &rc);
    Click(Editor, rc.left, rc.top);
    int cur = CaretLineIndex();
    int y = SecondClickY(rc.top, GotoTarget, cur, LineHeight);
    if (y >= 0) Click(Editor, rc.left, y);
}

int ChooseEditorFont(HWND owner) {
    CHOOSEFONTA cf;
    std::memset(&cf, 0, sizeof cf);
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    HDC dc = GetDC(owner);
    cf.hDC = dc;
    cf.lpLogFont = &EditorFont;
    cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_LIMITSIZE;
    cf.nSizeMin = 6;
    cf.nSizeMax = 14;
    BOOL chosen = ChooseFontA(&cf);
    ReleaseDC(owner, dc);
    return chosen;
}

void ApplyEditorFont(HWND editor) {
    HFONT font = CreateFontIndirectA(&EditorFont);
    SendMessageA(editor, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    if (EditorFontHandle) DeleteObject(EditorFontHandle);
    EditorFontHandle = font;
    MeasureLineHeight(editor, font);
    // The font was set without a redraw; show the whole text in it now.
    InvalidateRect(editor, nullptr, TRUE);
}

void SetDefaultFont(HWND editor) {
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof EditorFont, &EditorFont);
    MeasureLineHeight(editor, nullptr);
    HFONT font = CreateFontIndirectA(&EditorFont);
    if (EditorFontHandle) DeleteObject(EditorFontHandle);
    EditorFontHandle = font;
    SendMessageA(editor, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
}

void DeleteEditorFont() {
    if (EditorFontHandle) DeleteObject(EditorFontHandle);
    EditorFontHandle = nullptr;
}
