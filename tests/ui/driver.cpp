// UI test driver for TALMIR.exe, run under wine next to it. It starts the
// program as a user would, finds its windows, sends what clicks and keys
// send (menu commands, typed characters, dialog buttons) and then checks
// window texts, list-box lines and files on disk.
//
//   talmir_ui_driver.exe TALMIR.exe ROOT [CASE...]
//
// ROOT holds "expected\" (what talmirc wrote for the same sources) and
// "src\" (the sources); each case works in a fresh folder ROOT\CASE.
// "shots" is a special case: it poses the windows for screenshots.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string Exe;
std::string Root;
int Failures = 0;
std::string CurrentCase;

#define CHECK(cond, what)                                                              \
    do {                                                                               \
        if (!(cond)) {                                                                 \
            std::printf("FAIL %s: %s (line %d)\n", CurrentCase.c_str(), what, __LINE__); \
            std::fflush(stdout);                                                       \
            ++Failures;                                                                \
            ok = false;                                                                \
        }                                                                              \
    } while (0)

std::string Printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c < 32 || c >= 127) {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            out += b;
        } else out += static_cast<char>(c);
    }
    return out;
}

void Note(const char* label, const std::string& value) {
    std::printf("  %s: \"%s\"\n", label, Printable(value).c_str());
}

// --- Files -----------------------------------------------------------------
bool Slurp(const std::string& path, std::string* out) {
    out->clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
    std::fclose(f);
    return true;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    return std::fclose(f) == 0;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// --- Windows of another process --------------------------------------------
struct App {
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;
    std::string dir;
};

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

HWND FindTopLevel(DWORD pid, const char* cls, const std::function<bool(const std::string&)>& title) {
    struct Ctx {
        DWORD pid;
        const char* cls;
        const std::function<bool(const std::string&)>* title;
        HWND found;
    } ctx{pid, cls, &title, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            Ctx* c = reinterpret_cast<Ctx*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != c->pid || !IsWindowVisible(w)) return TRUE;
            char cls[64] = {0};
            GetClassNameA(w, cls, sizeof cls);
            if (std::strcmp(cls, c->cls) != 0) return TRUE;
            char text[512] = {0};
            GetWindowTextA(w, text, sizeof text);
            if ((*c->title)(text)) {
                c->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND WaitTopLevel(const App& app, const char* cls, const std::function<bool(const std::string&)>& title,
                  int ms = 8000) {
    for (int t = 0; t < ms; t += 50) {
        HWND w = FindTopLevel(app.pi.dwProcessId, cls, title);
        if (w) return w;
        Pause(50);
    }
    return nullptr;
}

auto TitleIs(const std::string& want) {
    return [want](const std::string& t) { return t == want; };
}
auto AnyTitle() {
    return [](const std::string&) { return true; };
}

std::string Text(HWND w) {
    LRESULT n = SendMessageA(w, WM_GETTEXTLENGTH, 0, 0);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    LRESULT got = SendMessageA(w, WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(&s[0]));
    s.resize(static_cast<size_t>(got));
    return s;
}

void SetText(HWND w, const std::string& text) {
    SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// List-box lines arrive whole only through the wide message.
std::vector<std::string> ListLines(HWND box) {
    std::vector<std::string> lines;
    LRESULT count = SendMessageW(box, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT len = SendMessageW(box, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::vector<wchar_t> w(static_cast<size_t>(len > 0 ? len : 0) + 1, L'\0');
        SendMessageW(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(w.data()));
        char a[1024] = {0};
        WideCharToMultiByte(CP_ACP, 0, w.data(), -1, a, sizeof a - 1, nullptr, nullptr);
        lines.push_back(a);
    }
    return lines;
}

// The text of a message box: its static control (id 0xFFFF in the template).
std::string BoxText(HWND box) {
    HWND s = GetDlgItem(box, 0xFFFF);
    if (s) return Text(s);
    std::string found;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {0};
        GetClassNameA(c, cls, sizeof cls);
        if (_stricmp(cls, "Static") == 0) {
            std::string t = Text(c);
            if (t.size() > found.size()) found = t;
        }
    }
    return found;
}

HWND WaitBox(const App& app, int ms = 5000) { return WaitTopLevel(app, "#32770", TitleIs("TALMIR"), ms); }

void Press(HWND dlg, int id) {
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

bool WaitGone(HWND w, int ms = 5000) {
    for (int t = 0; t < ms; t += 50) {
        if (!IsWindow(w)) return true;
        Pause(50);
    }
    return false;
}

void Command(const App& app, int id) { PostMessageA(app.main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

HWND EditorOf(const App& app) { return GetDlgItem(app.main, 100); }

void Type(HWND edit, const std::string& text) {
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
}

// Starts the program and waits for its main window. Right after an earlier
// instance ended, wine can still refuse the process or hand the new one the
// old instance's mutex (it then ends at once with 255): such a start is
// tried again, a few times.
bool Start(App* app, const std::string& dir, const std::string& args) {
    app->dir = dir;
    app->main = nullptr;
    std::string cmd = "\"" + Exe + "\"" + (args.empty() ? "" : " " + args);
    auto isMain = [](const std::string& t) { return t.rfind("TALMIR - ", 0) == 0; };
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt) Pause(500);
        STARTUPINFOA si;
        std::memset(&si, 0, sizeof si);
        si.cb = sizeof si;
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                            &app->pi)) {
            Note("start refused, error", std::to_string(GetLastError()));
            app->pi.hProcess = nullptr;
            continue;
        }
        for (int t = 0; t < 20000 && !app->main; t += 50) {
            app->main = FindTopLevel(app->pi.dwProcessId, "STQX", isMain);
            if (app->main) break;
            if (WaitForSingleObject(app->pi.hProcess, 50) == WAIT_OBJECT_0) break;
        }
        if (app->main) return true;
        DWORD code = 0;
        bool ended = WaitForSingleObject(app->pi.hProcess, 0) == WAIT_OBJECT_0;
        if (ended) GetExitCodeProcess(app->pi.hProcess, &code);
        Note("start without a main window, exit code", ended ? std::to_string(code) : "still running");
        if (!ended) return false;
        CloseHandle(app->pi.hProcess);
        CloseHandle(app->pi.hThread);
        app->pi.hProcess = nullptr;
    }
    return false;
}

// Exit code of the program, or -1 when it did not end in time.
int WaitExit(App* app, int ms = 8000) {
    if (WaitForSingleObject(app->pi.hProcess, static_cast<DWORD>(ms)) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(app->pi.hProcess, &code);
    return static_cast<int>(code);
}

void Kill(App* app) {
    if (app->pi.hProcess) {
        if (WaitForSingleObject(app->pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(app->pi.hProcess, 9);
        WaitForSingleObject(app->pi.hProcess, 5000);
        CloseHandle(app->pi.hProcess);
        CloseHandle(app->pi.hThread);
        app->pi.hProcess = nullptr;
    }
}

// Ends the program through its close box, answering No to a save question.
int CloseApp(App* app, int ms = 8000) {
    PostMessageA(app->main, WM_CLOSE, 0, 0);
    for (int t = 0; t < ms; t += 100) {
        if (WaitForSingleObject(app->pi.hProcess, 100) == WAIT_OBJECT_0) break;
        HWND box = FindTopLevel(app->pi.dwProcessId, "#32770", TitleIs("TALMIR"));
        if (box) Press(box, IDNO);
    }
    return WaitExit(app, 100);
}

std::string CaseDir(const std::string& name) {
    std::string dir = Root + "\\" + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

bool CopyIn(const std::string& from, const std::string& to) { return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0; }

HWND WaitLogDone(const App& app, std::vector<std::string>* lines, int ms = 60000) {
    HWND frame = WaitTopLevel(app, "rahmen", TitleIs("LOG"), 8000);
    if (!frame) return nullptr;
    // The frame is shown before its list box is created: wait for the child.
    HWND box = nullptr;
    for (int t = 0; t < ms; t += 100) {
        if (!box) box = GetWindow(frame, GW_CHILD);
        *lines = box ? ListLines(box) : std::vector<std::string>();
        int results = 0;
        for (const std::string& l : *lines)
            if (l.rfind("Compilevorgang", 0) == 0) ++results;
        if (results > 0) return box;
        Pause(100);
    }
    return box;
}

// A view frame is shown before its edit is created and filled: waits for
// the edit (id 200) to hold the wanted text and returns what it last held.
std::string WaitViewText(HWND view, const std::string& want, int ms = 8000) {
    std::string got;
    for (int t = 0; t < ms; t += 100) {
        HWND edit = GetDlgItem(view, 200);
        if (edit) {
            got = Text(edit);
            if (got == want) break;
        }
        Pause(100);
    }
    return got;
}

int CountResults(const std::vector<std::string>& lines) {
    int n = 0;
    for (const std::string& l : lines)
        if (l.rfind("Compilevorgang", 0) == 0) ++n;
    return n;
}

// --- Cases -----------------------------------------------------------------

// Start without a settings file: default title and marks, the menu as the
// resource file has it; the exit writes the default lines.
bool CaseFreshStart() {
    bool ok = true;
    std::string dir = CaseDir("fresh_start");
    App app;
    CHECK(Start(&app, dir, ""), "main window appears");
    if (!app.main) return false;
    CHECK(Text(app.main) == "TALMIR - (ohne Namen)", "title names (ohne Namen)");
    RECT rc;
    GetWindowRect(app.main, &rc);
    CHECK(rc.right - rc.left == 600 && rc.bottom - rc.top == 400, "main window is 600 x 400");
    HWND editor = EditorOf(app);
    CHECK(editor != nullptr, "editor has id 100");
    HWND strip = GetDlgItem(app.main, 101);
    CHECK(strip != nullptr, "status strip has id 101");
    if (strip) {
        char cls[32] = {0};
        GetClassNameA(strip, cls, sizeof cls);
        CHECK(std::strcmp(cls, "ZUSATZ") == 0, "status strip class ZUSATZ");
        RECT s;
        GetClientRect(strip, &s);
        RECT ws;
        GetWindowRect(strip, &ws);
        CHECK(ws.bottom - ws.top == 16, "status strip 16 pixels high");
    }
    CHECK(CloseApp(&app) == 0, "exits with 0");
    Kill(&app);
    std::string ini;
    CHECK(Slurp(dir + "\\TALMIR.ini", &ini), "TALMIR.ini written at exit");
    std::vector<std::string> lines = SplitLines(ini);
    CHECK(lines.size() == 5, "five lines");
    if (lines.size() == 5) {
        CHECK(lines[0] == "TREVA_Port=NoLPT", "port line");
        CHECK(lines[1] == "TREVASPS_Type=ZIRKO", "type line");
        CHECK(lines[2] == "TREVAMinLevel=ESPRESSO", "level line");
        CHECK(lines[3].rfind("Font_Set=", 0) == 0, "font line");
        int v[13];
        char face[64] = {0};
        int got = std::sscanf(lines[3].c_str() + 9, "%d %d %d %d %d %d %d %d %d %d %d %d %d %63[^\n]", &v[0],
                              &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10],
                              &v[11], &v[12], face);
        CHECK(got == 14 && face[0] != '\0', "font line has 13 numbers and a face name");
        CHECK(v[0] != 0, "system font height stored");
        CHECK(lines[4] == "LoadSaveUsed=0", "LoadSaveUsed line");
        Note("font", lines[3]);
    }
    CHECK(ini.find("\r\n") != std::string::npos && ini.size() >= 2 && ini.substr(ini.size() - 2) == "\r\n",
          "lines end in CR LF");
    return ok;
}

// The menu resource: popups, item numbers and texts (Windows-1252).
bool CaseMenuResource() {
    bool ok = true;
    HMODULE m = LoadLibraryExA(Exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    CHECK(m != nullptr, "exe loads as data");
    if (!m) return false;
    HMENU menu = LoadMenuA(m, "WIN_TLMMenu");
    CHECK(menu != nullptr, "menu WIN_TLMMenu");
    HACCEL accel = LoadAcceleratorsA(m, "TALMIR_Accel");
    CHECK(accel != nullptr, "accelerators TALMIR_Accel");
    if (accel) {
        // Character codes for the Ctrl letters, virtual keys for the rest.
        const ACCEL want[] = {
            {0, 26, 8},  {FVIRTKEY | FALT, VK_BACK, 8},        {0, 24, 9},
            {FVIRTKEY | FSHIFT, VK_DELETE, 9},                 {0, 3, 10},
            {FVIRTKEY | FCONTROL, VK_INSERT, 10},              {0, 22, 11},
            {FVIRTKEY | FSHIFT, VK_INSERT, 11},                {FVIRTKEY, VK_F1, 37},
        };
        ACCEL got[16];
        int n = CopyAcceleratorTableA(accel, got, 16);
        CHECK(n == 9, "nine accelerators");
        for (int i = 0; i < n && i < 9; ++i)
            CHECK((got[i].fVirt & ~FNOINVERT) == want[i].fVirt && got[i].key == want[i].key &&
                      got[i].cmd == want[i].cmd,
                  "accelerator entry");
    }
    CHECK(FindResourceA(m, MAKEINTRESOURCEA(50), MAKEINTRESOURCEA(5)) != nullptr, "dialog 50");
    const char* dialogs[] = {"MinBox", "NewLineBox", "LPTBOX", "ABORTDLGBOX"};
    for (const char* d : dialogs) CHECK(FindResourceA(m, d, MAKEINTRESOURCEA(5)) != nullptr, d);
    CHECK(FindResourceA(m, "STQXIcon", MAKEINTRESOURCEA(14)) != nullptr, "icon STQXIcon");
    CHECK(FindResourceA(m, "DokIcon", MAKEINTRESOURCEA(14)) != nullptr, "icon DokIcon");
    if (!menu) return false;
    struct Item {
        int popup;
        int id;
        const char* text;
    } items[] = {
        {0, 2, "&Neu"}, {0, 3, "\xD6&ffnen ..."}, {0, 4, "&Speichern"}, {0, 5, "Speichern &unter ..."},
        {0, 6, "&Druckerausgabe"}, {0, 7, "&Ende"},
        {1, 8, "&Widerrufen\tALT-Backspace"}, {1, 9, "&Ausschneiden\tShift-Del"},
        {1, 10, "&Kopieren\tCtrl-Ins"}, {1, 11, "&Einf\xFCgen\tShift-Ins"}, {1, 12, "&L\xF6schen\tDel"},
        {1, 13, "Alles &markieren"}, {1, 14, "&Suchen"}, {1, 15, "Weitersuc&hen"}, {1, 16, "E&rsetzen"},
        {1, 17, "Springe zu &Zeile .."},
        {2, 22, "&Fehler"}, {2, 24, "&Boolesche Gleichungen"}, {2, 25, "&Jedec"}, {2, 23, "&Log"},
        {2, 26, "&Pinbelegung"},
        {3, 52, "&TREVA"}, {3, 51, "&ZIRKO L2"}, {3, 53, "ZIRKO &M2"}, {3, 54, "ZIRKO M2&E"}, {3, 58, "E-Typ"},
        {4, 19, "&Compilieren und Fitten"}, {4, 18, "&Nur Compilieren"}, {4, 20, "Nur Fitten"},
        {4, 21, "Minimierungs&option"},
        {5, 27, "&Upload vom TREVA/ZIRKO L2/M2/M2E"}, {5, 28, "&Download zum TREVA/ZIRKO L2/M2/M2E"},
        {5, 29, "&Verifizieren TREVA/ZIRKO L2/M2/M2E"}, {5, 30, "Security &Fuse setzen"},
        {5, 31, "&TREVA/ZIRKO L2/M2/M2E Status zeigen"},
        {6, 33, "&Schriftarten"}, {6, 34, "Schnittstelle &konfigurieren"},
        {7, 36, "&Inhalt"}, {7, 37, "Inde&x"}, {7, 38, "&Suchen"}, {7, 39, "\xDC&" "ber ..."},
    };
    const char* popups[] = {"&Datei", "&Editieren", "&Anzeigen", "&SPS-Typ", "&Compilieren", "&Programmieren",
                            "&Optionen", "&Hilfe"};
    CHECK(GetMenuItemCount(menu) == 8, "eight popups");
    for (int i = 0; i < 8; ++i) {
        char t[128] = {0};
        GetMenuStringA(menu, static_cast<UINT>(i), t, sizeof t, MF_BYPOSITION);
        CHECK(std::strcmp(t, popups[i]) == 0, popups[i]);
    }
    for (const Item& it : items) {
        HMENU sub = GetSubMenu(menu, it.popup);
        char t[128] = {0};
        GetMenuStringA(sub, static_cast<UINT>(it.id), t, sizeof t, MF_BYCOMMAND);
        if (std::strcmp(t, it.text) != 0) {
            Note("menu item", t);
            Note("expected", it.text);
        }
        CHECK(std::strcmp(t, it.text) == 0, "menu item text");
    }
    HMENU types = GetSubMenu(menu, 3);
    CHECK((GetMenuState(types, 51, MF_BYCOMMAND) & MF_CHECKED) != 0, "ZIRKO L2 checked in the resource");
    CHECK((GetMenuState(types, 52, MF_BYCOMMAND) & MF_CHECKED) == 0, "TREVA unchecked in the resource");
    DestroyMenu(menu);
    FreeLibrary(m);
    return ok;
}

// Open the example through the open dialog and compile it with "&Nur
// Compilieren"; log lines, ZW and ERR equal what talmirc writes. A second
// compile appends to the same log; a closed log comes back empty.
bool CaseCompileExample() {
    bool ok = true;
    std::string dir = CaseDir("compile");
    CHECK(CopyIn(Root + "\\src\\ampel.sqx", dir + "\\ampel.sqx"), "example copied");
    App app;
    CHECK(Start(&app, dir, ""), "main window appears");
    if (!app.main) return false;
    Command(app, 3);
    HWND dlg = WaitTopLevel(app, "#32770", TitleIs("Datei \xF6" "ffnen"), 10000);
    CHECK(dlg != nullptr, "open dialog titled Datei \xF6" "ffnen");
    std::string path = dir + "\\ampel.sqx";
    if (dlg) {
        HWND name = GetDlgItem(dlg, 0x47C);  // file name combo box
        if (!name) name = GetDlgItem(dlg, 0x480);
        CHECK(name != nullptr, "file name field");
        SetText(name, path);
        Press(dlg, IDOK);
        CHECK(WaitGone(dlg), "open dialog closes");
    }
    for (int t = 0; t < 5000 && Text(app.main) != "TALMIR - " + path; t += 50) Pause(50);
    CHECK(Text(app.main) == "TALMIR - " + path, "title names the opened file");
    std::string source;
    Slurp(path, &source);
    CHECK(Text(EditorOf(app)) == source, "editor shows the file");

    Command(app, 18);
    std::vector<std::string> lines;
    HWND box = WaitLogDone(app, &lines);
    CHECK(box != nullptr, "log window LOG with its list box");
    std::string expectedLog;
    CHECK(Slurp(Root + "\\expected\\ampel.log", &expectedLog), "talmirc log present");
    std::vector<std::string> want = SplitLines(expectedLog);
    CHECK(lines == want, "log lines equal talmirc's");
    if (lines != want) {
        for (const std::string& l : lines) Note("log", l);
        for (const std::string& l : want) Note("talmirc", l);
    }
    HWND frame = box ? GetParent(box) : nullptr;
    if (frame) {
        RECT rc;
        GetWindowRect(frame, &rc);
        CHECK(rc.left == 0 && rc.top == 400 && rc.right - rc.left == 600 && rc.bottom - rc.top == 80,
              "log at (0, 400), 600 x 80");
    }
    std::string zw, err, wantZw, wantErr;
    CHECK(Slurp(dir + "\\ampel.ZW", &zw), "ZW written");
    CHECK(Slurp(dir + "\\ampel.ERR", &err), "ERR written");
    Slurp(Root + "\\expected\\ampel.ZW", &wantZw);
    Slurp(Root + "\\expected\\ampel.ERR", &wantErr);
    CHECK(!wantZw.empty() && zw == wantZw, "ZW equals talmirc's");
    CHECK(err == wantErr, "ERR equals talmirc's");
    bool clean = !want.empty() && want.back().find("Fehler: 0.") != std::string::npos;
    CHECK(clean == (WaitTopLevel(app, "anzeigen", AnyTitle(), 1000) == nullptr),
          "the errors view opens exactly when there were errors");

    // Second compile: same list box, lines appended.
    size_t first = lines.size();
    Command(app, 18);
    for (int t = 0; t < 60000; t += 100) {
        lines = ListLines(box);
        if (CountResults(lines) >= 2) break;
        Pause(100);
    }
    CHECK(CountResults(lines) == 2, "second result line in the same log");
    CHECK(lines.size() == 2 * first, "second compile appends the same lines");

    // The log closed by the user; the next compile opens a fresh one.
    PostMessageA(frame, WM_CLOSE, 0, 0);
    CHECK(WaitGone(frame), "log window closes");
    Pause(300);
    Command(app, 18);
    box = WaitLogDone(app, &lines);
    CHECK(box != nullptr && lines == want, "fresh log holds one compile's lines");
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    return ok;
}

// Save writes the editor text and one NUL byte, after renaming the previous
// version to ".bak".
bool CaseSaveBackup() {
    bool ok = true;
    std::string dir = CaseDir("save");
    std::string path = dir + "\\prog.sqx";
    std::string old = "ALTE FASSUNG\r\n";
    WriteFileBytes(path, old);
    WriteFileBytes(dir + "\\prog.bak", "noch aelter");
    App app;
    CHECK(Start(&app, dir, "\"" + path + "\""), "starts with the file");
    if (!app.main) return false;
    CHECK(Text(app.main) == "TALMIR - " + path, "title names the file from the command line");
    HWND editor = EditorOf(app);
    CHECK(Text(editor) == old, "editor shows the file");
    SendMessageA(editor, EM_SETSEL, 0, -1);
    Type(editor, "PROGRAM neu\rEND_PROGRAM");
    std::string text = Text(editor);
    CHECK(text == "PROGRAM neu\r\nEND_PROGRAM", "typed text in the editor");
    Command(app, 4);
    std::string saved;
    for (int t = 0; t < 5000; t += 50) {
        if (Slurp(path, &saved) && saved.size() == text.size() + 1) break;
        Pause(50);
    }
    CHECK(saved == text + std::string(1, '\0'), "file holds the text and one NUL");
    std::string bak;
    CHECK(Slurp(dir + "\\prog.bak", &bak) && bak == old, "backup holds the previous version");
    CHECK(FindTopLevel(app.pi.dwProcessId, "#32770", TitleIs("TALMIR")) == nullptr, "no message box");
    // Nothing is modified any more: closing asks nothing.
    PostMessageA(app.main, WM_CLOSE, 0, 0);
    CHECK(WaitExit(&app, 5000) == 0, "closes without a question after the save");
    Kill(&app);
    return ok;
}

// New with a modified text asks to save; Cancel keeps the text, No discards it.
bool CaseNewQuestion() {
    bool ok = true;
    std::string dir = CaseDir("new_question");
    std::string path = dir + "\\frage.sqx";
    WriteFileBytes(path, "TEXT");
    App app;
    CHECK(Start(&app, dir, path), "starts with the file");
    if (!app.main) return false;
    HWND editor = EditorOf(app);
    SendMessageA(editor, EM_SETSEL, 4, 4);
    Type(editor, "X");
    Command(app, 2);
    HWND box = WaitBox(app);
    CHECK(box != nullptr, "save question");
    if (box) {
        std::string want = "Datei " + path + " wurde ver\xE4" "ndert. Speichern?";
        CHECK(BoxText(box) == want, "question names the file");
        Note("question", BoxText(box));
        Press(box, IDCANCEL);
        CHECK(WaitGone(box), "question closes");
    }
    Pause(200);
    CHECK(Text(editor) == "TEXTX", "Cancel keeps the text");
    CHECK(Text(app.main) == "TALMIR - " + path, "Cancel keeps the title");
    Command(app, 2);
    box = WaitBox(app);
    CHECK(box != nullptr, "question again");
    if (box) {
        Press(box, IDNO);
        CHECK(WaitGone(box), "question closes");
    }
    for (int t = 0; t < 3000 && !Text(editor).empty(); t += 50) Pause(50);
    CHECK(Text(editor).empty(), "No empties the editor");
    CHECK(Text(app.main) == "TALMIR - (ohne Namen)", "No leaves an unnamed document");
    std::string disk;
    Slurp(path, &disk);
    CHECK(disk == "TEXT", "file on disk unchanged");
    PostMessageA(app.main, WM_CLOSE, 0, 0);
    CHECK(WaitExit(&app, 5000) == 0, "closes without a question");
    Kill(&app);
    return ok;
}

// PLC type and minimization level survive a restart.
bool CaseSettingsSurvive() {
    bool ok = true;
    std::string dir = CaseDir("settings");
    App app;
    CHECK(Start(&app, dir, ""), "first start");
    if (!app.main) return false;
    Command(app, 53);  // ZIRKO M2
    Command(app, 21);  // minimization dialog
    HWND dlg = WaitTopLevel(app, "#32770", AnyTitle());
    CHECK(dlg != nullptr, "MinBox opens");
    if (dlg) {
        CHECK(IsDlgButtonChecked(dlg, 223) == BST_CHECKED, "Espresso checked at first");
        Press(dlg, 221);
        Pause(200);
        CHECK(IsDlgButtonChecked(dlg, 221) == BST_CHECKED, "Keine checked after the click");
        Press(dlg, IDOK);
        CHECK(WaitGone(dlg), "MinBox closes");
    }
    CHECK(CloseApp(&app) == 0, "first exit");
    Kill(&app);
    std::string ini;
    Slurp(dir + "\\TALMIR.ini", &ini);
    std::vector<std::string> lines = SplitLines(ini);
    CHECK(lines.size() == 5 && lines[1] == "TREVASPS_Type=ZIRKO_M2", "ZIRKO_M2 stored");
    CHECK(lines.size() == 5 && lines[2] == "TREVAMinLevel=NOMIN", "NOMIN stored");

    // Second run: what it read is what it shows in the dialog and writes back.
    App again;
    CHECK(Start(&again, dir, ""), "second start");
    if (!again.main) return false;
    Command(again, 21);
    dlg = WaitTopLevel(again, "#32770", AnyTitle());
    CHECK(dlg != nullptr, "MinBox opens again");
    if (dlg) {
        CHECK(IsDlgButtonChecked(dlg, 221) == BST_CHECKED, "Keine checked after the restart");
        Press(dlg, 222);  // Komplett, then Abbruch: the level stays
        Pause(100);
        Press(dlg, IDCANCEL);
        CHECK(WaitGone(dlg), "MinBox closes");
    }
    Command(again, 58);  // E-Typ off: M2 is stored as M2 all the same
    CHECK(CloseApp(&again) == 0, "second exit");
    Kill(&again);
    std::string ini2;
    Slurp(dir + "\\TALMIR.ini", &ini2);
    CHECK(ini2 == ini, "the second run writes the same settings");
    return ok;
}

// A second start ends at once with 255; the first runs on.
bool CaseSecondInstance() {
    bool ok = true;
    std::string dir = CaseDir("second");
    App first;
    CHECK(Start(&first, dir, ""), "first instance");
    if (!first.main) return false;
    App second;
    second.dir = dir;
    STARTUPINFOA si;
    std::memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    std::string cmd = "\"" + Exe + "\"";
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    CHECK(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                         &second.pi) != 0,
          "second process starts");
    CHECK(WaitExit(&second, 10000) == 255, "second instance exits with 255");
    Kill(&second);
    CHECK(IsWindow(first.main) && WaitForSingleObject(first.pi.hProcess, 0) == WAIT_TIMEOUT,
          "first instance runs on");
    CHECK(CloseApp(&first) == 0, "first exits");
    Kill(&first);
    return ok;
}

// After a compile with errors the errors view opens with the ERR file's text.
bool CaseErrorsView() {
    bool ok = true;
    std::string dir = CaseDir("errors_view");
    std::string path = dir + "\\fehler.sqx";
    CHECK(CopyIn(Root + "\\src\\fehler.sqx", path), "source copied");
    App app;
    CHECK(Start(&app, dir, path), "starts with the file");
    if (!app.main) return false;
    // Before any compile the errors view is refused.
    Command(app, 22);
    HWND box = WaitBox(app);
    CHECK(box != nullptr, "refusal box");
    if (box) {
        CHECK(BoxText(box) == "Datei mu\xDF zun\xE4" "chst compiliert werden", "refusal text");
        Press(box, IDOK);
        WaitGone(box);
    }
    // A missing JEDEC file names its path.
    Command(app, 25);
    box = WaitBox(app);
    CHECK(box != nullptr, "JEDEC open error");
    if (box) {
        std::string want = "Datei " + dir + "\\fehler.jed konnte nicht ge\xF6" "ffnet werden.";
        CHECK(BoxText(box) == want, "open error names the .jed path");
        Note("jed", BoxText(box));
        Press(box, IDOK);
        WaitGone(box);
    }
    CHECK(FindTopLevel(app.pi.dwProcessId, "anzeigen", AnyTitle()) == nullptr, "no view stays open");

    Command(app, 18);
    std::vector<std::string> lines;
    WaitLogDone(app, &lines);
    HWND view = WaitTopLevel(app, "anzeigen", TitleIs(dir + "\\fehler.err"), 10000);
    CHECK(view != nullptr, "errors view titled with the .err path");
    std::string err, want;
    Slurp(dir + "\\fehler.ERR", &err);
    Slurp(Root + "\\expected\\fehler.ERR", &want);
    CHECK(!err.empty() && err == want, "ERR equals talmirc's");
    if (view) {
        CHECK(WaitViewText(view, err) == err, "view shows the ERR file");
    }
    std::string wantLog;
    Slurp(Root + "\\expected\\fehler.log", &wantLog);
    CHECK(lines == SplitLines(wantLog), "log lines equal talmirc's");
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    return ok;
}

HWND FindDialogOf(const App& app) {
    return WaitTopLevel(app, "#32770", [](const std::string& t) { return t != "TALMIR"; });
}

LRESULT Selection(HWND editor) { return SendMessageA(editor, EM_GETSEL, 0, 0); }

// Find "abc" in "xabcabc": 1-4, then 4-7, then "Text nicht gefunden!".
bool CaseFind() {
    bool ok = true;
    std::string dir = CaseDir("find");
    App app;
    CHECK(Start(&app, dir, ""), "starts");
    if (!app.main) return false;
    HWND editor = EditorOf(app);
    Type(editor, "xabcabc");
    SendMessageA(editor, EM_SETSEL, 0, 0);
    Command(app, 14);
    HWND dlg = FindDialogOf(app);
    CHECK(dlg != nullptr, "find dialog");
    if (!dlg) return false;
    SetText(GetDlgItem(dlg, 0x480), "abc");
    Press(dlg, IDOK);
    Pause(300);
    CHECK(Selection(editor) == MAKELONG(1, 4), "first match 1-4");
    Press(dlg, IDOK);
    Pause(300);
    CHECK(Selection(editor) == MAKELONG(4, 7), "second match 4-7");
    Press(dlg, IDOK);
    HWND box = WaitBox(app);
    CHECK(box != nullptr && BoxText(box) == "Text nicht gefunden!", "then Text nicht gefunden!");
    if (box) {
        Press(box, IDOK);
        WaitGone(box);
    }
    CHECK(Selection(editor) == MAKELONG(4, 7), "selection stays");
    Press(dlg, IDCANCEL);
    CHECK(WaitGone(dlg), "find dialog closes");
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    return ok;
}

// Replace All of X by nothing in XX leaves X; X by YX ends.
bool CaseReplaceAll() {
    bool ok = true;
    std::string dir = CaseDir("replace");
    App app;
    CHECK(Start(&app, dir, ""), "starts");
    if (!app.main) return false;
    HWND editor = EditorOf(app);
    struct {
        const char* text;
        const char* with;
        const char* result;
    } cases[] = {{"XX", "", "X"}, {"X X", "YX", "YX YX"}};
    for (auto& c : cases) {
        SetText(editor, c.text);
        SendMessageA(editor, EM_SETSEL, 0, 0);
        Command(app, 16);
        HWND dlg = FindDialogOf(app);
        CHECK(dlg != nullptr, "replace dialog");
        if (!dlg) return false;
        SetText(GetDlgItem(dlg, 0x480), "X");
        SetText(GetDlgItem(dlg, 0x481), c.with);
        Press(dlg, 0x401);  // Replace All
        Pause(500);
        CHECK(FindTopLevel(app.pi.dwProcessId, "#32770", TitleIs("TALMIR")) == nullptr, "no box after Replace All");
        CHECK(Text(editor) == c.result, c.result);
        Note("after Replace All", Text(editor));
        Press(dlg, IDCANCEL);
        CHECK(WaitGone(dlg), "replace dialog closes");
        Pause(200);
    }
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    return ok;
}

// Go to line 95 of 100 puts the caret on line 95.
bool CaseGotoLine() {
    bool ok = true;
    std::string dir = CaseDir("goto");
    std::string text;
    for (int i = 1; i <= 100; ++i) text += "Zeile " + std::to_string(i) + (i < 100 ? "\r\n" : "");
    std::string path = dir + "\\lang.sqx";
    WriteFileBytes(path, text);
    App app;
    CHECK(Start(&app, dir, path), "starts with 100 lines");
    if (!app.main) return false;
    HWND editor = EditorOf(app);
    struct {
        const char* field;
        int line;
    } cases[] = {{"95", 94}, {"1", 0}, {"500", 99}};
    for (auto& c : cases) {
        Command(app, 17);
        HWND dlg = WaitTopLevel(app, "#32770", TitleIs("Neue Zeilennummer"));
        CHECK(dlg != nullptr, "NewLineBox");
        if (!dlg) return false;
        SetText(GetDlgItem(dlg, 230), c.field);
        Press(dlg, IDOK);
        CHECK(WaitGone(dlg), "NewLineBox closes");
        Pause(300);
        LRESULT line = SendMessageA(editor, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0);
        CHECK(line == c.line, c.field);
        std::printf("  go to %s: caret line %d\n", c.field, static_cast<int>(line) + 1);
    }
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    return ok;
}

// A chosen font survives a restart through the settings file.
bool CaseFontSurvives() {
    bool ok = true;
    std::string dir = CaseDir("font");
    App app;
    CHECK(Start(&app, dir, ""), "starts");
    if (!app.main) return false;
    Command(app, 33);
    HWND dlg = FindDialogOf(app);
    CHECK(dlg != nullptr, "font dialog");
    if (!dlg) return false;
    HWND face = GetDlgItem(dlg, 0x470);  // cmb1, the face names
    CHECK(face != nullptr, "face list");
    LRESULT i = SendMessageA(face, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>("Courier New"));
    if (i == CB_ERR)
        i = SendMessageA(face, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Liberation Mono"));
    CHECK(i != CB_ERR, "a face with a blank is offered");
    std::string chosen;
    if (i != CB_ERR) {
        SendMessageA(face, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), reinterpret_cast<LPARAM>(face));
        // Like list boxes, combo-box texts arrive whole only through the wide message.
        wchar_t w[64] = {0};
        SendMessageW(face, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(w));
        char buf[64] = {0};
        WideCharToMultiByte(CP_ACP, 0, w, -1, buf, sizeof buf - 1, nullptr, nullptr);
        chosen = buf;
    }
    Pause(300);
    Press(dlg, IDOK);
    CHECK(WaitGone(dlg), "font dialog closes");
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    std::string ini;
    Slurp(dir + "\\TALMIR.ini", &ini);
    std::vector<std::string> lines = SplitLines(ini);
    CHECK(lines.size() == 5 && !chosen.empty() &&
              lines[3].size() > chosen.size() && lines[3].substr(lines[3].size() - chosen.size()) == chosen,
          "chosen face stored");
    if (lines.size() == 5) Note("font", lines[3]);
    App again;
    CHECK(Start(&again, dir, ""), "restarts");
    if (!again.main) return false;
    CHECK(CloseApp(&again) == 0, "exits again");
    Kill(&again);
    std::string ini2;
    Slurp(dir + "\\TALMIR.ini", &ini2);
    CHECK(ini2 == ini, "the font read back is written back unchanged");
    return ok;
}

// Fitting and programming say that their tools are missing and change nothing.
bool CaseNoFitter() {
    bool ok = true;
    std::string dir = CaseDir("no_fitter");
    App app;
    CHECK(Start(&app, dir, ""), "starts");
    if (!app.main) return false;
    const int commands[] = {20, 27, 28, 29, 30, 31};
    for (int c : commands) {
        Command(app, c);
        HWND box = WaitBox(app);
        CHECK(box != nullptr, "message box");
        if (box) {
            std::string t = BoxText(box);
            CHECK(t.find("kein") != std::string::npos && t.find("installiert") != std::string::npos,
                  "says nothing is installed");
            Press(box, IDOK);
            WaitGone(box);
        }
    }
    Command(app, 6);  // no printer on the test machine
    HWND pbox = WaitBox(app);
    if (pbox) {
        Note("print", BoxText(pbox));
        Press(pbox, IDOK);
        WaitGone(pbox);
    } else {
        HWND pd = FindDialogOf(app);
        if (pd) Press(pd, IDCANCEL);
    }
    CHECK(Text(app.main) == "TALMIR - (ohne Namen)", "state unchanged");
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    return ok;
}

std::string ClipboardText() {
    std::string text;
    for (int t = 0; t < 2000; t += 50) {
        if (OpenClipboard(nullptr)) break;
        Pause(50);
    }
    HANDLE h = GetClipboardData(CF_TEXT);
    if (h) {
        const char* p = static_cast<const char*>(GlobalLock(h));
        if (p) text = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

// Accelerators work for every window of the loop and always reach the main
// window: Ctrl+C in a result view copies the main editor's selection.
bool CaseAccelerators() {
    bool ok = true;
    std::string dir = CaseDir("accelerators");
    std::string path = dir + "\\kopie.sqx";
    WriteFileBytes(path, "abcdef");
    WriteFileBytes(dir + "\\kopie.log", "VIEWTEXT");
    App app;
    CHECK(Start(&app, dir, path), "starts with the file");
    if (!app.main) return false;
    HWND editor = EditorOf(app);
    SendMessageA(editor, EM_SETSEL, 1, 3);
    Command(app, 23);  // the fitter log view, no compile needed
    HWND view = WaitTopLevel(app, "anzeigen", TitleIs(dir + "\\kopie.log"));
    CHECK(view != nullptr, "log view titled with the .log path");
    if (!view) return false;
    CHECK(WaitViewText(view, "VIEWTEXT") == "VIEWTEXT", "view shows the file");
    HWND viewEdit = GetDlgItem(view, 200);
    SendMessageA(viewEdit, EM_SETSEL, 0, -1);
    PostMessageA(viewEdit, WM_CHAR, 3, 1);  // Ctrl+C
    Pause(500);
    CHECK(ClipboardText() == "bc", "Ctrl+C copied the editor's selection");
    Note("clipboard", ClipboardText());
    PostMessageA(viewEdit, WM_CHAR, 24, 1);  // Ctrl+X cuts in the editor
    Pause(500);
    CHECK(Text(editor) == "adef", "Ctrl+X cut from the editor");
    CHECK(Text(viewEdit) == "VIEWTEXT", "the view's text stays");
    // Choosing the view again reloads it; one view per kind.
    WriteFileBytes(dir + "\\kopie.log", "NEU");
    Command(app, 23);
    Pause(500);
    HWND again = WaitTopLevel(app, "anzeigen", TitleIs(dir + "\\kopie.log"));
    CHECK(again != nullptr && Text(GetDlgItem(again, 200)) == "NEU", "reopened view shows the new text");
    int views = 0;
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            char cls[32] = {0};
            GetClassNameA(w, cls, sizeof cls);
            if (std::strcmp(cls, "anzeigen") == 0 && IsWindowVisible(w)) ++*reinterpret_cast<int*>(lp);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&views));
    CHECK(views == 1, "one view of the kind");
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    return ok;
}

// Help opens the HTML Help window on the help file in the working folder.
bool CaseHelp() {
    bool ok = true;
    std::string chm = Root + "\\src\\tlm_hilfe_V44.chm";
    if (!Exists(chm)) {
        std::printf("  (no help file built; skipped)\n");
        return true;
    }
    std::string dir = CaseDir("help");
    CopyIn(chm, dir + "\\tlm_hilfe_V44.chm");
    App app;
    CHECK(Start(&app, dir, ""), "starts");
    if (!app.main) return false;
    // F1 (a virtual-key accelerator) asks for the index, 36 for the contents.
    PostMessageA(EditorOf(app), WM_KEYDOWN, VK_F1, 0x003B0001);
    HWND help = WaitTopLevel(app, "HH Parent", AnyTitle(), 15000);
    CHECK(help != nullptr, "F1 opens the help window");
    if (help) {
        Note("help title", Text(help));
        PostMessageA(help, WM_CLOSE, 0, 0);
        WaitGone(help);
    }
    Command(app, 36);
    help = WaitTopLevel(app, "HH Parent", AnyTitle(), 15000);
    CHECK(help != nullptr, "contents open the help window");
    // The help control's first start in a new wine prefix is slow to end.
    Pause(1000);
    DWORD t0 = GetTickCount();
    int code = CloseApp(&app, 40000);
    std::printf("  exit after %lu ms\n", static_cast<unsigned long>(GetTickCount() - t0));
    if (code != 0) std::printf("  exit code %d\n", code);
    CHECK(code == 0, "exits with the help open");
    Kill(&app);
    CHECK(Exists(dir + "\\TALMIR.ini"), "settings written at that exit too");
    return ok;
}

// A settings file that cannot be written is reported and the program ends;
// a document that cannot be created is reported and stays modified.
bool CaseWriteFailures() {
    bool ok = true;
    std::string dir = CaseDir("write_failures");
    CreateDirectoryA((dir + "\\TALMIR.ini").c_str(), nullptr);  // a folder in the file's place
    std::string path = dir + "\\fehlt\\neu.sqx";                 // its folder does not exist
    App app;
    CHECK(Start(&app, dir, path), "starts with a path that cannot be loaded");
    if (!app.main) return false;
    CHECK(Text(app.main) == "TALMIR - (ohne Namen)", "failed command-line load leaves (ohne Namen)");
    CHECK(FindTopLevel(app.pi.dwProcessId, "#32770", TitleIs("TALMIR")) == nullptr,
          "failed command-line load is not reported");
    HWND editor = EditorOf(app);
    Type(editor, "abc");
    Command(app, 4);  // saves to the command-line path without a dialog
    HWND box = WaitBox(app);
    CHECK(box != nullptr, "save failure box");
    if (box) {
        CHECK(BoxText(box) == "Kann " + path + " nicht speichern", "names the path");
        Press(box, IDOK);
        WaitGone(box);
    }
    PostMessageA(app.main, WM_CLOSE, 0, 0);
    box = WaitBox(app);
    CHECK(box != nullptr && BoxText(box).find("wurde ver\xE4" "ndert") != std::string::npos,
          "still modified: the close asks to save");
    if (box) {
        Press(box, IDNO);
        WaitGone(box);
    }
    box = WaitBox(app);
    CHECK(box != nullptr && BoxText(box) == "Ini-File konnte nicht gespeichert werden!", "settings write failure");
    if (box) Press(box, IDOK);
    CHECK(WaitExit(&app, 8000) == 0, "the program still ends");
    Kill(&app);
    return ok;
}

bool NoLogWindow(const App& app, int ms = 1500) {
    return WaitTopLevel(app, "rahmen", AnyTitle(), ms) == nullptr;
}

// The compile command's checks: a modified unnamed document gets the save
// question and is then not compiled; STRONGMIN asks before every compile.
bool CaseCompileChecks() {
    bool ok = true;
    std::string dir = CaseDir("compile_checks");
    App app;
    CHECK(Start(&app, dir, ""), "starts");
    if (!app.main) return false;
    HWND editor = EditorOf(app);
    Type(editor, "PROGRAM x");
    Command(app, 18);
    HWND box = WaitBox(app);
    CHECK(box != nullptr && BoxText(box) == "Datei (ohne Namen) wurde ver\xE4" "ndert. Speichern?",
          "save question names (ohne Namen)");
    if (box) {
        Press(box, IDNO);
        WaitGone(box);
    }
    CHECK(NoLogWindow(app), "after No nothing is compiled");
    // Yes opens the save dialog; cancelling it ends the command too.
    Command(app, 18);
    box = WaitBox(app);
    if (box) {
        Press(box, IDYES);
        WaitGone(box);
    }
    HWND dlg = WaitTopLevel(app, "#32770", TitleIs("Datei speichern unter..."), 8000);
    CHECK(dlg != nullptr, "save dialog titled Datei speichern unter...");
    if (dlg) {
        Press(dlg, IDCANCEL);
        WaitGone(dlg);
    }
    CHECK(NoLogWindow(app), "after a cancelled save dialog nothing is compiled");
    CHECK(Text(app.main) == "TALMIR - (ohne Namen)", "still unnamed");

    // A named document with STRONGMIN: the warning, Cancel stops the compile.
    std::string path = dir + "\\stark.sqx";
    CopyIn(Root + "\\src\\ampel.sqx", path);
    SendMessageA(editor, EM_SETSEL, 0, -1);
    SendMessageA(editor, WM_CLEAR, 0, 0);
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    App strong;
    WriteFileBytes(dir + "\\TALMIR.ini", "TREVAMinLevel=STRONGMIN\r\n");
    CHECK(Start(&strong, dir, path), "starts with STRONGMIN");
    if (!strong.main) return false;
    for (int round = 0; round < 2; ++round) {
        Command(strong, 18);
        box = WaitBox(strong);
        CHECK(box != nullptr &&
                  BoxText(box) == "Komplette Minimierung kann Stunden in Anspruch nehmen! Fortfahren?",
              "STRONGMIN warning before every compile");
        if (box) {
            Press(box, IDCANCEL);
            WaitGone(box);
        }
        CHECK(NoLogWindow(strong), "Cancel stops the compile");
    }
    CHECK(CloseApp(&strong) == 0, "exits");
    Kill(&strong);
    return ok;
}

// Open: a cancelled dialog keeps the text under no name; an empty file is
// refused with its message but names the document; views close on save.
bool CaseOpenAndViews() {
    bool ok = true;
    std::string dir = CaseDir("open_views");
    std::string path = dir + "\\doku.sqx";
    WriteFileBytes(path, "INHALT");
    WriteFileBytes(dir + "\\doku.laf", "PINS");
    WriteFileBytes(dir + "\\leer.sqx", "");
    App app;
    CHECK(Start(&app, dir, path), "starts with the file");
    if (!app.main) return false;
    HWND editor = EditorOf(app);
    Command(app, 26);
    HWND view = WaitTopLevel(app, "anzeigen", TitleIs(dir + "\\doku.laf"));
    CHECK(view != nullptr, "pin view opens without a compile");
    Command(app, 4);  // Save closes every view
    CHECK(view && WaitGone(view), "save closes the view");
    std::string disk;
    Slurp(path, &disk);
    CHECK(disk == std::string("INHALT") + '\0', "saved with one NUL");

    Command(app, 3);
    HWND dlg = WaitTopLevel(app, "#32770", TitleIs("Datei \xF6" "ffnen"), 10000);
    CHECK(dlg != nullptr, "open dialog");
    if (dlg) {
        Press(dlg, IDCANCEL);
        WaitGone(dlg);
    }
    for (int t = 0; t < 3000 && Text(app.main) != "TALMIR - (ohne Namen)"; t += 50) Pause(50);
    CHECK(Text(app.main) == "TALMIR - (ohne Namen)", "cancelled open leaves no name");
    CHECK(Text(editor) == "INHALT", "cancelled open keeps the text");

    Command(app, 3);
    dlg = WaitTopLevel(app, "#32770", TitleIs("Datei \xF6" "ffnen"), 10000);
    if (dlg) {
        HWND name = GetDlgItem(dlg, 0x47C);
        if (!name) name = GetDlgItem(dlg, 0x480);
        SetText(name, dir + "\\leer.sqx");
        Press(dlg, IDOK);
    }
    HWND box = WaitBox(app, 8000);
    CHECK(box != nullptr && BoxText(box) == "Datei " + dir + "\\leer.sqx ist leer", "empty file message");
    if (box) {
        Press(box, IDOK);
        WaitGone(box);
    }
    Pause(300);
    CHECK(Text(editor) == "INHALT", "editor keeps the old text");
    CHECK(Text(app.main) == "TALMIR - " + dir + "\\leer.sqx", "title shows the empty file's path");
    // The About dialog ends on any command.
    Command(app, 39);
    dlg = WaitTopLevel(app, "#32770", AnyTitle());
    CHECK(dlg != nullptr && Text(GetDlgItem(dlg, 201)) == "\xDC" "ber TALMIR", "About dialog 50");
    if (dlg) {
        CHECK(Text(GetDlgItem(dlg, 202)) == "Strukturierter Text Compiler f\xFC" "r TREVA, Zirko L2/M2/M2E",
              "About text");
        Press(dlg, 200);
        CHECK(WaitGone(dlg), "About closes");
    }
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    std::string ini;
    Slurp(dir + "\\TALMIR.ini", &ini);
    CHECK(ini.find("LoadSaveUsed=1\r\n") != std::string::npos, "LoadSaveUsed stored after a load");
    return ok;
}

// Type marks and the port: M2 switches the E-type on, ZIRKO L2 keeps it;
// the port dialog's choice is stored.
bool CaseTypesAndPort() {
    bool ok = true;
    std::string dir = CaseDir("types_port");
    App app;
    CHECK(Start(&app, dir, ""), "starts");
    if (!app.main) return false;
    Command(app, 53);
    Command(app, 51);
    Command(app, 34);
    HWND dlg = WaitTopLevel(app, "#32770", AnyTitle());
    CHECK(dlg != nullptr, "port dialog");
    if (dlg) {
        CHECK(IsDlgButtonChecked(dlg, 215) == BST_CHECKED, "Kein Port checked at first");
        SendMessageA(GetDlgItem(dlg, 212), BM_CLICK, 0, 0);
        Pause(200);
        Press(dlg, IDOK);
        CHECK(WaitGone(dlg), "port dialog closes");
    }
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    std::string ini;
    Slurp(dir + "\\TALMIR.ini", &ini);
    std::vector<std::string> lines = SplitLines(ini);
    CHECK(lines.size() == 5 && lines[0] == "TREVA_Port=LPT2", "LPT2 stored");
    CHECK(lines.size() == 5 && lines[1] == "TREVASPS_Type=ZIRKO_E", "ZIRKO L2 after M2 keeps the E-type");

    WriteFileBytes(dir + "\\TALMIR.ini", "TREVASPS_Type=TREVA_E\r\nTREVA_Port=COM1\r\n");
    App again;
    CHECK(Start(&again, dir, ""), "restarts");
    if (!again.main) return false;
    Command(again, 58);  // E-type off
    CHECK(CloseApp(&again) == 0, "exits");
    Kill(&again);
    Slurp(dir + "\\TALMIR.ini", &ini);
    lines = SplitLines(ini);
    CHECK(lines.size() == 5 && lines[0] == "TREVA_Port=NoLPT", "unknown port stays NoLPT");
    CHECK(lines.size() == 5 && lines[1] == "TREVASPS_Type=TREVA", "E-type switched off by hand");
    return ok;
}

// A source path without a dot in its last four characters gains one: the
// equation file is that path followed by ZW.
bool CaseNoExtension() {
    bool ok = true;
    std::string dir = CaseDir("no_extension");
    std::string path = dir + "\\ampel";
    CHECK(CopyIn(Root + "\\src\\ampel.sqx", path), "source copied");
    App app;
    CHECK(Start(&app, dir, path), "starts with the file");
    if (!app.main) return false;
    Command(app, 19);  // compile and fit: the fitting step says it has no fitter
    std::vector<std::string> lines;
    HWND box = WaitLogDone(app, &lines);
    CHECK(box != nullptr && CountResults(lines) == 1, "compiled");
    if (CountResults(lines) != 1)
        for (const std::string& l : lines) Note("log", l);
    for (int t = 0; box && t < 3000 && lines.back().find("Fitter") == std::string::npos; t += 100) {
        Pause(100);
        lines = ListLines(box);
    }
    CHECK(lines.size() >= 2 && lines[lines.size() - 2].rfind("Compilevorgang", 0) == 0 &&
              lines.back().find("kein Fitter installiert") != std::string::npos,
          "the fitter line follows the result line");
    std::string zw, want;
    CHECK(Slurp(dir + "\\ampel.ZW", &zw), "ampel.ZW written");
    CHECK(Exists(dir + "\\ampel.ERR"), "ampel.ERR written");
    Slurp(Root + "\\expected\\ampel.ZW", &want);
    CHECK(zw == want, "same equations as talmirc's");
    CHECK(CloseApp(&app) == 0, "exits");
    Kill(&app);
    return ok;
}

// Poses the windows for the screenshots; the script takes one whenever a
// "shotN.ready" file appears and answers with "shotN.done".
void Shot(const std::string& name) {
    WriteFileBytes(Root + "\\" + name + ".ready", "");
    for (int t = 0; t < 20000 && !Exists(Root + "\\" + name + ".done"); t += 100) Pause(100);
}

bool CaseShots() {
    bool ok = true;
    // A plain folder on C: gives the titles in the pictures a plain path.
    std::string dir = "C:\\Projekte";
    CreateDirectoryA(dir.c_str(), nullptr);
    CopyIn(Root + "\\src\\ampel.sqx", dir + "\\ampel.sqx");
    CopyIn(Root + "\\src\\fehler.sqx", dir + "\\fehler.sqx");
    App app;
    CHECK(Start(&app, dir, dir + "\\ampel.sqx"), "starts");
    if (!app.main) return false;
    Command(app, 18);
    std::vector<std::string> lines;
    WaitLogDone(app, &lines);
    SetForegroundWindow(app.main);
    Pause(500);
    Shot("main-and-log");
    Command(app, 3);
    HWND dlg = WaitTopLevel(app, "#32770", TitleIs("Datei \xF6" "ffnen"), 10000);
    if (dlg) {
        HWND name = GetDlgItem(dlg, 0x47C);
        if (!name) name = GetDlgItem(dlg, 0x480);
        SetText(name, dir + "\\fehler.sqx");
        Press(dlg, IDOK);
        WaitGone(dlg);
    }
    Pause(300);
    Command(app, 18);
    HWND view = WaitTopLevel(app, "anzeigen", AnyTitle(), 30000);
    if (view) MoveWindow(view, 320, 120, 500, 300, TRUE);
    Pause(500);
    Shot("errors-view");
    if (view) PostMessageA(view, WM_CLOSE, 0, 0);
    SendMessageA(EditorOf(app), EM_SETSEL, 0, 0);
    Command(app, 14);
    HWND find = FindDialogOf(app);
    if (find) {
        SetText(GetDlgItem(find, 0x480), "VAR_OUTPUT");
        Press(find, IDOK);
    }
    Pause(500);
    Shot("find-dialog");
    if (find) Press(find, IDCANCEL);
    CloseApp(&app);
    Kill(&app);
    return ok;
}

#include "tests/ui/help_test.h"

struct NamedCase {
    const char* name;
    bool (*run)();
};
const NamedCase kCases[] = {
    {"menu_resource", CaseMenuResource},   {"fresh_start", CaseFreshStart},
    {"second_instance", CaseSecondInstance}, {"settings_survive", CaseSettingsSurvive},
    {"save_backup", CaseSaveBackup},       {"new_question", CaseNewQuestion},
    {"compile_example", CaseCompileExample}, {"errors_view", CaseErrorsView},
    {"find", CaseFind},                    {"replace_all", CaseReplaceAll},
    {"goto_line", CaseGotoLine},           {"font_survives", CaseFontSurvives},
    {"no_fitter", CaseNoFitter},           {"accelerators", CaseAccelerators},
    {"help", CaseHelp},                    {"write_failures", CaseWriteFailures},
    {"compile_checks", CaseCompileChecks}, {"open_views", CaseOpenAndViews},
    {"types_port", CaseTypesAndPort},      {"no_extension", CaseNoExtension},
    {"help_window", CaseHelpWindow},       {"help_missing", CaseHelpMissing},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: talmir_ui_driver TALMIR.exe ROOT [CASE...]\n");
        return 2;
    }
    Exe = argv[1];
    Root = argv[2];
    std::vector<std::string> wanted(argv + 3, argv + argc);
    if (wanted.size() == 1 && wanted[0] == "shots") {
        CurrentCase = "shots";
        return CaseShots() ? 0 : 1;
    }
    int run = 0;
    for (const NamedCase& c : kCases) {
        if (!wanted.empty()) {
            bool found = false;
            for (const std::string& w : wanted) found = found || w == c.name;
            if (!found) continue;
        }
        CurrentCase = c.name;
        DWORD t0 = GetTickCount();
        bool ok = c.run();
        std::printf("%s %s (%lu ms)\n", ok ? "PASS" : "FAIL", c.name,
                    static_cast<unsigned long>(GetTickCount() - t0));
        std::fflush(stdout);
        ++run;
    }
    std::printf(Failures == 0 && run > 0 ? "UI tests passed\n" : "UI tests FAILED\n");
    return Failures == 0 && run > 0 ? 0 : 1;
}
