// Window-free rules of the Windows program: command line, working folder,
// type marks, titles and messages, backup names, view paths, result lines,
// the fitter log's last word, the minimization dialog, search positions and
// go to line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/portable/shell_rules.h"

namespace {

TEST(ShellCommandLine, Paths) {
    struct Case {
        const char* line;
        bool taken;
        const char* path;
    } cases[] = {
        {"", false, ""},
        {"   ", false, ""},
        {"C:\\work\\ampel.sqx", true, "C:\\work\\ampel.sqx"},
        {"  C:\\work\\ampel.sqx", true, "C:\\work\\ampel.sqx"},
        {"\"C:\\my work\\ampel.sqx\"", true, "C:\\my work\\ampel.sqx"},
        // Starts with a quote but does not end with one: the last character goes.
        {"\"C:\\work\\ampel.sqx", true, "C:\\work\\ampel.sq"},
        {"C:\\a b.sqx", true, "C:\\a b.sqx"},
        {"\"", false, ""},
        {"\"\"", false, ""},
        {"\"x\"", true, "x"},
    };
    for (const Case& c : cases) {
        char out[kPathBuffer];
        std::memset(out, 'Q', sizeof out);
        EXPECT_EQ(CommandLineDocumentPath(c.line, out, sizeof out), c.taken) << c.line;
        EXPECT_STREQ(out, c.path) << c.line;
    }
}

TEST(ShellCommandLine, PathLongerThanTheBufferIsNotTaken) {
    char out[kPathBuffer];
    std::string fits = "C:\\" + std::string(kMaxPath - 3, 'a');
    ASSERT_EQ(fits.size(), kMaxPath);
    EXPECT_TRUE(CommandLineDocumentPath(fits.c_str(), out, sizeof out));
    EXPECT_EQ(std::string(out), fits);
    std::string tooLong = fits + "b";
    EXPECT_FALSE(CommandLineDocumentPath(tooLong.c_str(), out, sizeof out));
    EXPECT_STREQ(out, "");
    // In quotes the quotes do not count.
    std::string quoted = "\"" + fits + "\"";
    EXPECT_TRUE(CommandLineDocumentPath(quoted.c_str(), out, sizeof out));
    EXPECT_EQ(std::string(out), fits);
}

TEST(ShellWorkingDir, EndsInBackslashAndFits) {
    char out[261];
    MakeWorkingDir("C:\\work", out, sizeof out);
    EXPECT_STREQ(out, "C:\\work\\");
    MakeWorkingDir("C:\\", out, sizeof out);
    EXPECT_STREQ(out, "C:\\");
    std::string d259 = "C:\\" + std::string(256, 'd');  // 259 + "\\" = 260 characters
    MakeWorkingDir(d259.c_str(), out, sizeof out);
    EXPECT_EQ(std::string(out), d259 + "\\");
    std::string d260 = d259 + "e";  // the backslash would not fit
    MakeWorkingDir(d260.c_str(), out, sizeof out);
    EXPECT_STREQ(out, "");
}

TEST(ShellTypeMarks, ItemsAndEType) {
    struct Case {
        int plcType, item, eTypIn, eTypOut;
    } cases[] = {
        {0, 52, 1, 1}, {1, 51, 1, 1},  {4, 53, 1, 11}, {5, 54, 1, 11},
        {1, 51, 11, 11}, {2, 0, 1, 1}, {3, 0, 11, 11}, {9, 0, 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlcTypeMenuItem(c.plcType), c.item) << c.plcType;
        EXPECT_EQ(ETypAfterTypeMarks(c.plcType, c.eTypIn), c.eTypOut) << c.plcType;
        if (c.item) {
            EXPECT_EQ(PlcTypeOfCommand(c.item), c.plcType);
        }
    }
    EXPECT_EQ(PlcTypeOfCommand(58), -1);
    EXPECT_EQ(PlcTypeOfCommand(50), -1);
}

TEST(ShellDocuments, TitleAndSaveQuestion) {
    EXPECT_EQ(DocumentTitle(""), "TALMIR - (ohne Namen)");
    EXPECT_EQ(DocumentTitle("C:\\work\\ampel.sqx"), "TALMIR - C:\\work\\ampel.sqx");
    EXPECT_EQ(SaveQuestionText(""), "Datei (ohne Namen) wurde ver\xE4" "ndert. Speichern?");
    EXPECT_EQ(SaveQuestionText("C:\\a.sqx"), "Datei C:\\a.sqx wurde ver\xE4" "ndert. Speichern?");
}

TEST(ShellDocuments, Messages) {
    EXPECT_EQ(OpenFailedText("C:\\x.jed"), "Datei C:\\x.jed konnte nicht ge\xF6" "ffnet werden.");
    EXPECT_EQ(EmptyFileText("C:\\x.sqx"), "Datei C:\\x.sqx ist leer");
    EXPECT_EQ(CannotSaveText("C:\\x.sqx"), "Kann C:\\x.sqx nicht speichern");
    EXPECT_EQ(WriteFailedText("C:\\x.sqx"), "Fehler beim Schreiben von C:\\x.sqx");
}

TEST(ShellDocuments, BackupNames) {
    struct Case {
        const char* path;
        const char* backup;
    } cases[] = {
        {"C:\\work\\ampel.sqx", "C:\\work\\ampel.bak"},
        {"C:\\work\\ampel", ""},                       // no dot in the name
        {"C:\\work.d\\ampel", ""},                     // backslash comes first
        {"C:\\work\\ampel.text", "C:\\work\\ampel.bak"},
        {"C:\\work\\a.1234567890", "C:\\work\\a.bak"},   // dot 11 from the end
        {"C:\\work\\a.12345678901", ""},               // dot 12 from the end
        {"C:\\w\\x.y.sqx", "C:\\w\\x.y.bak"},
        {"ampel.sqx", "ampel.bak"},
        {".sqx", ".bak"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(BackupName(c.path), c.backup) << c.path;
}

TEST(ShellViews, PathsKindsAndRefusal) {
    struct Case {
        int command, kind;
        const char* ext;
        bool needsCompile;
    } cases[] = {
        {24, 0, "zw", true}, {22, 1, "err", true}, {25, 2, "jed", false},
        {23, 3, "log", false}, {26, 4, "laf", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ViewKindOfCommand(c.command), c.kind);
        EXPECT_STREQ(ViewExtension(c.kind), c.ext);
        EXPECT_EQ(ViewNeedsCompile(c.kind), c.needsCompile);
        EXPECT_EQ(ViewPath("C:\\work\\ampel.sqx", c.kind), std::string("C:\\work\\ampel.") + c.ext);
        EXPECT_EQ(ViewPath("C:\\work\\ampel", c.kind), std::string("C:\\work\\ampel.") + c.ext);
        EXPECT_EQ(ViewPath("C:\\w\\ampel.text", c.kind), std::string("C:\\w\\ampel.text.") + c.ext);
    }
    EXPECT_EQ(ViewPath("C:\\work\\ampel.ERR", 1), "C:\\work\\ampel.err");
    EXPECT_EQ(ViewKindOfCommand(21), -1);
    EXPECT_EQ(ViewKindOfCommand(27), -1);
}

TEST(ShellCompileLog, ResultAndStatusLines) {
    EXPECT_EQ(CompileResultLine(3, 0), "Compilevorgang beendet, Warnungen: 3, Fehler: 0.");
    EXPECT_EQ(CompileResultLine(0, 1), "Compilevorgang beendet, Warnungen: 0, Fehler: 1.");
    EXPECT_EQ(CompileResultLine(2, 9), "Compilevorgang beendet, Warnungen: 2, Fehler: 9.");
    EXPECT_EQ(CompileResultLine(0, 10), "Compilevorgang abgebrochen, zu viele oder zu schwere Fehler.");
    EXPECT_EQ(CompileResultLine(5, 11), "Compilevorgang abgebrochen, zu viele oder zu schwere Fehler.");
    EXPECT_EQ(StatusStripText(1), "Zeile: 1");
    EXPECT_EQ(StatusStripText(95), "Zeile: 95");
}

TEST(ShellFitterLog, LastWord) {
    struct Case {
        const char* log;
        const char* word;
        bool success;
    } cases[] = {
        {"Fitting completed successfully", "successfully", true},
        {"Fitting completed successfully.\r\n\r\n", "successfully", true},
        {"successfully", "successfully", true},
        {"  successfully   ", "successfully", true},
        {"Fitting completed Successfully", "Successfully", false},
        {"successfully failed", "failed", false},
        {"ended unsuccessfully", "unsuccessfully", false},
        {"x successfully2", "successfully", true},  // digits end a word
        {"", "", false},
        {"123 456 ...", "", false},
        {"Design fits: successfully_done", "done", false},
        {"gr\xFC\xDF" "e successfully \xE4", "successfully", true},  // only A-Z, a-z are letters
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LastWord(c.log), c.word) << c.log;
        EXPECT_EQ(FitterLogSucceeded(c.log), c.success) << c.log;
    }
}

TEST(ShellFitterLog, VeryLongLastWordIsReadWhole) {
    std::string word(500, 'a');
    EXPECT_EQ(LastWord("log: " + word + "\n"), word);
    EXPECT_FALSE(FitterLogSucceeded(std::string(200, 'x') + "successfully"));
    EXPECT_TRUE(FitterLogSucceeded(std::string(200, 'x') + " successfully"));
}

TEST(ShellMinBox, SelectionToLevel) {
    struct Case {
        int selected, level, selectedAfter;
    } cases[] = {{221, 0, 221}, {222, 1, 222}, {223, 2, 223}, {0, 2, 223}, {224, 2, 223}, {220, 2, 223}};
    for (const Case& c : cases) {
        int id = c.selected;
        EXPECT_EQ(MinLevelFromSelection(&id), c.level) << c.selected;
        EXPECT_EQ(id, c.selectedAfter) << c.selected;
    }
}

TEST(ShellSearch, FindFromPositions) {
    const char* t = "xabcabc";
    size_t n = std::strlen(t);
    EXPECT_EQ(FindFrom(t, n, "abc", 0), 1);
    EXPECT_EQ(FindFrom(t, n, "abc", 1), 1);
    EXPECT_EQ(FindFrom(t, n, "abc", 2), 4);
    EXPECT_EQ(FindFrom(t, n, "abc", 4), 4);
    EXPECT_EQ(FindFrom(t, n, "abc", 5), -1);  // no wrap-around
    EXPECT_EQ(FindFrom(t, n, "abc", 7), -1);
    EXPECT_EQ(FindFrom(t, n, "abc", 100), -1);
    EXPECT_EQ(FindFrom(t, n, "ABC", 0), -1);  // case-sensitive
    EXPECT_EQ(FindFrom(t, n, "", 0), -1);
    EXPECT_EQ(FindFrom(t, n, "xabcabcx", 0), -1);
}

TEST(ShellSearch, FindNextSequenceSelectsOneToFourThenFourToSeven) {
    // SearchEditor: the match is selected from start to start + length, and
    // the next search starts there.
    const char* t = "xabcabc";
    long pos = 0;
    long starts[3];
    for (long& s : starts) {
        s = FindFrom(t, std::strlen(t), "abc", pos);
        if (s >= 0) pos = s + 3;
    }
    EXPECT_EQ(starts[0], 1);
    EXPECT_EQ(starts[1], 4);
    EXPECT_EQ(starts[2], -1);
    EXPECT_EQ(pos, 7);
}

TEST(ShellSearch, ReplaceAllCases) {
    struct Case {
        const char* text;
        const char* search;
        const char* replacement;
        long pos;
        const char* result;
        int count;
    } cases[] = {
        // The next search starts one character after the removed match,
        // past the end of the shortened text.
        {"XX", "X", "", 0, "X", 1},
        {"XXXX", "X", "", 0, "XX", 2},
        {"a-b-c", "-", "+", 0, "a+b+c", 2},
        // Only occurrences after the position are replaced.
        {"ab ab ab", "ab", "cd", 3, "ab cd cd", 2},
        // The next search starts at match + 3 in the shortened text, which
        // passes the second occurrence.
        {"xabcabc", "abc", "Q", 0, "xQabc", 1},
        {"xabcabc", "abc", "QQQ", 0, "xQQQQQQ", 2},
        // A replacement that holds the search text: each original occurrence
        // is replaced once, and the loop ends.
        {"X", "X", "YX", 0, "YX", 1},
        {"X X", "X", "YX", 0, "YX YX", 2},
        {"X", "X", "XX", 0, "XX", 1},
        {"none", "X", "Y", 0, "none", 0},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        long pos = c.pos;
        EXPECT_EQ(ReplaceAllInText(&text, c.search, c.replacement, &pos), c.count) << c.text;
        EXPECT_EQ(text, c.result) << c.text << " " << c.search << "->" << c.replacement;
    }
}

TEST(ShellSearch, ReplaceAllResumeRule) {
    EXPECT_EQ(ReplaceAllResume(-1, 5, 3), 3);  // first search: where it was
    EXPECT_EQ(ReplaceAllResume(0, 2, 1), 2);   // past the inserted "YX"
    EXPECT_EQ(ReplaceAllResume(0, 2, 5), 5);
    EXPECT_EQ(ReplaceAllResume(4, 0, 5), 5);   // a shorter replacement changes nothing
}

TEST(ShellGotoLine, FieldValues) {
    struct Case {
        const char* field;
        int target;
    } cases[] = {
        {"1", 0}, {"95", 94}, {"0", -1}, {"-3", -1}, {"", -1}, {"abc", -1},
        {"12345", 1233},  // only four characters are read
        {"9999", 9998},   {" 7", 6},
    };
    for (const Case& c : cases) EXPECT_EQ(GotoTargetFromField(c.field), c.target) << c.field;
}

TEST(ShellGotoLine, SecondClick) {
    // 100 lines, 20 visible: after scrolling to line 94 (0-based) the view
    // starts at line 80, the first click lands there; the second click goes
    // 14 lines further down.
    EXPECT_EQ(SecondClickY(0, 94, 80, 16), 14 * 16);
    EXPECT_EQ(SecondClickY(3, 10, 7, 13), 3 + 3 * 13);
    EXPECT_EQ(SecondClickY(0, 5, 5, 16), -1);
    EXPECT_EQ(SecondClickY(0, 5, 9, 16), -1);
}

}  // namespace
