// Document files: the save question, the open and save dialogs, loading a
// whole file into an edit control, saving the editor text with a backup of
// the previous version, and the window title.
#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "compiler/front/work_memory.h"
#include "shell/path_rules.h"
#include "shell/shell.h"

namespace {

// A dialog whose chosen name does not fit the 128-byte path buffer is
// reported rather than treated as a silent cancel.
void ReportDialogFailure(HWND owner) {
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
        ShowBox(owner, "Der Dateiname ist zu lang (h\xF6" "chstens 127 Zeichen).", MB_OK);
}

bool FileExists(const char* path) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

}  // namespace

void SetDocumentTitle(HWND window, const char* path) {
    std::string title = DocumentTitle(path);
    SetWindowTextA(window, title.c_str());
}

void DeriveJedPath() {
    std::string jed = DerivedPath(DocumentPath, "JED");
    if (jed.size() < sizeof JedPath)
        std::memcpy(JedPath, jed.c_str(), jed.size() + 1);
    else
        JedPath[0] = '\0';
}

int AskSaveChanges(const char* path, HWND owner) {
    std::string text = SaveQuestionText(path);
    int answer = ShowBox(owner, text.c_str(), MB_ICONQUESTION | MB_YESNOCANCEL);
    if (answer == IDYES) SendMessageA(owner, WM_COMMAND, 4, 0);
    return answer;
}

int LoadTextFile(HWND edit, const char* path, std::string* message) {
    message->clear();
    FILE* f = std::fopen(path, "rb");
    if (!f) {
        *message = OpenFailedText(path);
        return 0;
    }
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    if (length == 0) {
        *message = EmptyFileText(path);
        std::fclose(f);
        return 0;
    }
    if (length < 0) {
        *message = OpenFailedText(path);
        std::fclose(f);
        return 0;
    }
    char* buffer = static_cast<char*>(AllocWork(static_cast<size_t>(length) + 1, 1));
    if (!buffer) {
        std::fclose(f);
        *message = "Nicht gen\xFC" "gend Speicher f\xFC" "r die Datei " + std::string(path);
        return 0;
    }
    size_t got = std::fread(buffer, 1, static_cast<size_t>(length), f);
    buffer[got] = '\0';
    SetWindowTextA(edit, buffer);
    FreeWork(buffer);
    std::fclose(f);
    LoadSaveUsed = 1;
    return 1;
}

void OpenDocument(HWND owner, char* pathBuffer) {
    pathBuffer[0] = '\0';
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = "(*.sqx, *.jed)\0*.sqx; *.jed\0(*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = pathBuffer;
    ofn.nMaxFile = kPathBuffer;
    ofn.lpstrInitialDir = LoadSaveUsed == 0 ? WorkingDir : nullptr;
    ofn.lpstrTitle = "Datei \xF6" "ffnen";
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    ofn.lpstrDefExt = "sqx";
    if (!GetOpenFileNameA(&ofn)) {
        pathBuffer[0] = '\0';
        ReportDialogFailure(owner);
        return;
    }
    std::string message;
    if (!LoadTextFile(Editor, pathBuffer, &message)) {
        if (!message.empty()) ShowBox(owner, message.c_str(), MB_OK);
    } else {
        CloseViews(5);
        DeriveJedPath();
    }
}

int SaveDocument(HWND owner, int saveAs, char* pathBuffer) {
    if (saveAs == 1 || pathBuffer[0] == '\0') {
        // The dialog works on a copy, so that a cancelled dialog leaves the
        // document's name as it was.
        char chosen[kPathBuffer];
        std::memcpy(chosen, pathBuffer, kPathBuffer);
        OPENFILENAMEA ofn;
        std::memset(&ofn, 0, sizeof ofn);
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = "(*.sqx)\0*.sqx\0";
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = chosen;
        ofn.nMaxFile = kPathBuffer;
        ofn.lpstrInitialDir = LoadSaveUsed == 0 ? WorkingDir : nullptr;
        ofn.lpstrTitle = "Datei speichern unter...";
        ofn.Flags = OFN_PATHMUSTEXIST;
        ofn.lpstrDefExt = "sqx";
        if (!GetSaveFileNameA(&ofn)) {
            ReportDialogFailure(owner);
            return 0;
        }
        std::memcpy(pathBuffer, chosen, kPathBuffer);
        pathBuffer[kPathBuffer - 1] = '\0';
        DeriveJedPath();
    }

    if (FileExists(pathBuffer)) {
        std::string backup = BackupName(pathBuffer);
        if (!backup.empty()) {
            DeleteFileA(backup.c_str());
            MoveFileA(pathBuffer, backup.c_str());  // a failed rename is not reported
        }
    }

    HANDLE file = CreateFileA(pathBuffer, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::string text = CannotSaveText(pathBuffer);
        ShowBox(owner, text.c_str(), MB_OK);
        return 0;
    }
    size_t n = static_cast<size_t>(GetWindowTextLengthA(Editor)) + 1;
    char* buffer = static_cast<char*>(AllocWork(n, 1));
    DWORD written = 0;
    bool ok = false;
    if (buffer) {
        GetWindowTextA(Editor, buffer, static_cast<int>(n));
        ok = WriteFile(file, buffer, static_cast<DWORD>(n), &written, nullptr) && written == n;
    }
    if (!ok) {
        CloseHandle(file);
        FreeWork(buffer);
        std::string text = WriteFailedText(pathBuffer);
        ShowBox(owner, text.c_str(), MB_OK);
        return 0;
    }
    FreeWork(buffer);
    bool closed = CloseHandle(file) != 0;
    if (!closed) {
        std::string text = WriteFailedText(pathBuffer);
        ShowBox(owner, text.c_str(), MB_OK);
        return 0;
    }
    CloseViews(5);
    LoadSaveUsed = 1;
    return 1;
}
