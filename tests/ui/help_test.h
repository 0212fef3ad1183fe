// UI cases of the help commands, for the UI test driver (tests/ui/driver.cpp).
// Included inside the driver's anonymous namespace after its helpers (App,
// Start, Command, WaitTopLevel, CHECK, CaseDir, CopyIn, CloseApp, Kill, Pause,
// Exe); the driver lists CaseHelpWindow and CaseHelpMissing in its case table.
//
// The help file tlm_hilfe_V44.chm lies next to TALMIR.exe (the Windows build
// puts it there). The viewer is HTML Help: a top-level window of class
// "HH Parent" in the program's own process, titled with the help file's
// title, whose navigation pane holds a tab control and one pane per tab: the
// contents (a tree view), the index (a list view) and the search (a pane with
// an edit field for the query). All checks use messages that need no memory
// of the other process: class names, visibility, counts and the current tab.
#pragma once
#include <commctrl.h>

namespace help_test {

const char kHelpFile[] = "tlm_hilfe_V44.chm";
const char kHelpTitle[] = "TALMIR Hilfe";

std::string ExeFolder() {
    std::string::size_type slash = Exe.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : Exe.substr(0, slash);
}

std::string ClassOf(HWND w) {
    char cls[64] = {0};
    GetClassNameA(w, cls, sizeof cls);
    return cls;
}

// All descendants of a window, in the order EnumChildWindows gives them.
std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> all;
    EnumChildWindows(
        top,
        [](HWND w, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

// Visible on screen: the window and all its ancestors up to the top level.
bool ReallyVisible(HWND w) { return IsWindowVisible(w) != FALSE; }

HWND FirstOfClass(HWND top, const char* cls, bool visibleOnly) {
    for (HWND w : Descendants(top))
        if (ClassOf(w) == cls && (!visibleOnly || ReallyVisible(w))) return w;
    return nullptr;
}

// What the navigation pane shows at the moment.
struct Panes {
    HWND tabs = nullptr;       // the tab control
    int tabCount = 0;
    int currentTab = -1;
    HWND tree = nullptr;       // contents: a visible tree view
    int treeItems = 0;
    HWND indexList = nullptr;  // index: a visible list view outside the search pane
    int indexItems = 0;
    HWND searchEdit = nullptr; // search: a visible edit field in a pane with a list view
};

Panes ReadPanes(HWND viewer) {
    Panes p;
    p.tabs = FirstOfClass(viewer, WC_TABCONTROLA, false);
    if (p.tabs) {
        p.tabCount = static_cast<int>(SendMessageA(p.tabs, TCM_GETITEMCOUNT, 0, 0));
        p.currentTab = static_cast<int>(SendMessageA(p.tabs, TCM_GETCURSEL, 0, 0));
    }
    p.tree = FirstOfClass(viewer, WC_TREEVIEWA, true);
    if (p.tree) p.treeItems = static_cast<int>(SendMessageA(p.tree, TVM_GETCOUNT, 0, 0));
    for (HWND w : Descendants(viewer)) {
        if (!ReallyVisible(w)) continue;
        std::string cls = ClassOf(w);
        HWND parent = GetParent(w);
        bool inSearchPane = false;
        for (HWND s = GetWindow(parent, GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT))
            if (s != w && _stricmp(ClassOf(s).c_str(), "Edit") == 0) inSearchPane = true;
        if (cls == WC_LISTVIEWA && !inSearchPane && !p.indexList) {
            p.indexList = w;
            p.indexItems = static_cast<int>(SendMessageA(w, LVM_GETITEMCOUNT, 0, 0));
        }
        if (_stricmp(cls.c_str(), "Edit") == 0 && !p.searchEdit) {
            for (HWND s = GetWindow(parent, GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT))
                if (ClassOf(s) == WC_LISTVIEWA) p.searchEdit = w;
        }
    }
    return p;
}

HWND WaitViewer(const App& app, int ms = 15000) { return WaitTopLevel(app, "HH Parent", AnyTitle(), ms); }

// Waits until the viewer shows the pane that ready() accepts.
Panes WaitPanes(HWND viewer, const std::function<bool(const Panes&)>& ready, int ms = 8000) {
    Panes p;
    for (int t = 0; t < ms; t += 100) {
        p = ReadPanes(viewer);
        if (ready(p)) return p;
        Pause(100);
    }
    return p;
}

int CountTopLevel(const App& app, const char* cls) {
    struct Ctx {
        DWORD pid;
        const char* cls;
        int n;
    } ctx{app.pi.dwProcessId, cls, 0};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            Ctx* c = reinterpret_cast<Ctx*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == c->pid && IsWindowVisible(w) && ClassOf(w) == c->cls) ++c->n;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.n;
}

bool Responds(HWND w) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &result) != 0;
}

}  // namespace help_test

// Commands 36, 37 (and F1) and 38 open the help file of the working folder in
// the HTML Help viewer with the contents, the index and the search pane. Each
// command starts from a closed viewer: wine's viewer does not switch the tab
// of a viewer that is already open, so that part is left to Windows.
bool CaseHelpWindow() {
    using namespace help_test;
    bool ok = true;
    std::string dir = CaseDir("help_window");
    CHECK(CopyIn(ExeFolder() + "\\" + kHelpFile, dir + "\\" + kHelpFile),
          "tlm_hilfe_V44.chm lies next to TALMIR.exe");
    App app;
    CHECK(Start(&app, dir, ""), "main window appears");
    if (!app.main) return false;

    struct Step {
        const char* what;
        int command;  // 0: the F1 key in the editor
        int pane;     // 0 contents, 1 index, 2 search
    } steps[] = {{"command 36", 36, 0}, {"command 37", 37, 1}, {"command 38", 38, 2}, {"F1", 0, 1}};
    int tabOfPane[3] = {-1, -1, -1};
    for (const Step& step : steps) {
        std::string what = step.what;
        if (step.command) {
            Command(app, step.command);
        } else {
            PostMessageA(EditorOf(app), WM_KEYDOWN, VK_F1, 0x003B0001);
            PostMessageA(EditorOf(app), WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC03B0001u));
        }
        HWND viewer = WaitViewer(app);
        CHECK(viewer != nullptr, (what + " opens an HH Parent window").c_str());
        if (!viewer) continue;
        CHECK(Text(viewer) == kHelpTitle, (what + ": the viewer is titled TALMIR Hilfe").c_str());
        Panes p = WaitPanes(viewer, [&step](const Panes& q) {
            return step.pane == 0 ? q.tree != nullptr && q.treeItems > 0
                 : step.pane == 1 ? q.indexList != nullptr && q.indexItems > 0
                                  : q.searchEdit != nullptr;
        });
        CHECK(p.tabs != nullptr && p.tabCount >= 3, (what + ": contents, index and search tabs").c_str());
        if (step.pane == 0) {
            CHECK(p.tree != nullptr, (what + " shows the contents tree").c_str());
            CHECK(p.treeItems > 1, (what + ": the contents tree lists the pages").c_str());
            CHECK(p.indexList == nullptr && p.searchEdit == nullptr, (what + ": only the contents pane").c_str());
        } else if (step.pane == 1) {
            CHECK(p.indexList != nullptr, (what + " shows the index").c_str());
            CHECK(p.indexItems > 1, (what + ": the index lists the keywords").c_str());
            CHECK(p.tree == nullptr && p.searchEdit == nullptr, (what + ": only the index pane").c_str());
        } else {
            CHECK(p.searchEdit != nullptr, (what + " shows the search pane with its query field").c_str());
            CHECK(p.tree == nullptr && p.indexList == nullptr, (what + ": only the search pane").c_str());
        }
        if (tabOfPane[step.pane] < 0) tabOfPane[step.pane] = p.currentTab;
        CHECK(p.currentTab >= 0 && p.currentTab == tabOfPane[step.pane], (what + ": its tab is selected").c_str());
        CHECK(CountTopLevel(app, "HH Parent") == 1, (what + ": one viewer window").c_str());
        CHECK(Responds(app.main), (what + ": the main window still responds").c_str());
        PostMessageA(viewer, WM_CLOSE, 0, 0);
        CHECK(WaitGone(viewer), (what + ": the viewer closes").c_str());
    }
    CHECK(tabOfPane[0] != tabOfPane[1] && tabOfPane[1] != tabOfPane[2] && tabOfPane[0] != tabOfPane[2],
          "contents, index and search are three different tabs");
    // Leaving the program with the viewer open closes both.
    Command(app, 36);
    CHECK(WaitViewer(app) != nullptr, "command 36 opens the viewer again");
    CHECK(CloseApp(&app, 60000) == 0, "exits with 0 while the viewer is open");
    Kill(&app);
    return ok;
}

// Without the help file the three commands and F1 open nothing and leave the
// program working.
bool CaseHelpMissing() {
    using namespace help_test;
    bool ok = true;
    std::string dir = CaseDir("help_missing");
    DeleteFileA((dir + "\\" + kHelpFile).c_str());
    App app;
    CHECK(Start(&app, dir, ""), "main window appears");
    if (!app.main) return false;
    for (int id : {36, 37, 38}) {
        Command(app, id);
        Pause(700);
    }
    PostMessageA(EditorOf(app), WM_KEYDOWN, VK_F1, 0x003B0001);
    PostMessageA(EditorOf(app), WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC03B0001u));
    Pause(1500);
    CHECK(WaitViewer(app, 500) == nullptr, "no viewer window without the help file");
    CHECK(CountTopLevel(app, "#32770") == 0, "no message box either");
    CHECK(WaitForSingleObject(app.pi.hProcess, 0) == WAIT_TIMEOUT, "the program keeps running");
    CHECK(Responds(app.main), "the main window still responds");
    Type(EditorOf(app), "PROGRAM x");
    CHECK(Text(EditorOf(app)) == "PROGRAM x", "the editor still takes input");
    CHECK(CloseApp(&app) == 0, "exits with 0");
    Kill(&app);
    return ok;
}
