#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "front_fixture.h"

using front_test::FrontTest;

namespace {

const char* const kNichtKorrekt = "Bezeichner nicht korrekt";
const char* const kZuLang = "Bezeichner zu lang";

class LexerTest : public FrontTest {};

// ---------------------------------------------------------------------------
// SourceReader

TEST_F(LexerTest, ReaderDropsCrOnlyBeforeLf) {
    struct Case { std::string in, out; } cases[] = {
        {"a\r\nb", "a\nb"},
        {"a\rb", "a\rb"},
        {"a\r", "a\r"},
        {"\r\r\n", "\r\n"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SourceReader r;
        r.OpenBuffer(c.in.data(), c.in.size());
        std::string got;
        for (int ch; (ch = r.Get()) != EOF;) got += static_cast<char>(ch);
        EXPECT_EQ(got, c.out);
        EXPECT_TRUE(r.AtEnd());
    }
}

TEST_F(LexerTest, ReaderEndIndicatorPushBackAndSeek) {
    SourceReader r;
    r.OpenBuffer("xy", 2);
    EXPECT_FALSE(r.AtEnd());
    EXPECT_EQ(r.Get(), 'x');
    long afterX = r.Tell();
    EXPECT_EQ(r.Get(), 'y');
    EXPECT_FALSE(r.AtEnd());  // reading the last character does not set it
    EXPECT_EQ(r.Get(), EOF);
    EXPECT_TRUE(r.AtEnd());
    r.Unget(EOF);             // does nothing
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.Get(), EOF);
    r.Unget('y');             // a real character clears the indicator
    EXPECT_FALSE(r.AtEnd());
    EXPECT_EQ(r.Get(), 'y');
    EXPECT_EQ(r.Get(), EOF);
    r.Seek(afterX);
    EXPECT_FALSE(r.AtEnd());
    EXPECT_EQ(r.Get(), 'y');
}

TEST_F(LexerTest, ReaderTellOfPushedBackCharacterAndCrLf) {
    SourceReader r;
    std::string s = "a\r\nb";
    r.OpenBuffer(s.data(), s.size());
    r.Get();
    long beforeNl = r.Tell();
    EXPECT_EQ(r.Get(), '\n');
    r.Unget('\n');
    EXPECT_EQ(r.Tell(), beforeNl);
    EXPECT_EQ(r.Get(), '\n');
    EXPECT_EQ(r.Get(), 'b');
    r.Seek(beforeNl);
    EXPECT_EQ(r.Get(), '\n');
}

TEST_F(LexerTest, ReaderFileAcrossBufferBoundaries) {
    // Larger than one buffer, with a CR LF split over the boundary.
    std::string text(65535, 'a');
    text += "\r\n";
    text += std::string(70000, 'b');
    std::string path = front_test::ScratchDir() + "lexer_big.sqx";
    front_test::WriteFileBytes(path, text);
    SourceReader r;
    ASSERT_TRUE(r.Open(path.c_str()));
    std::vector<long> marks;
    long n = 0, newlines = 0;
    for (int c; (c = r.Get()) != EOF; ++n) {
        if (c == '\n') ++newlines;
        if (n == 10 || n == 65535 || n == 100000) marks.push_back(r.Tell());
    }
    EXPECT_EQ(n, 65535 + 1 + 70000);
    EXPECT_EQ(newlines, 1);
    r.Seek(marks[0]);
    EXPECT_EQ(r.Get(), 'a');
    r.Seek(marks[2]);
    EXPECT_EQ(r.Get(), 'b');
    r.Seek(marks[1]);  // right after the newline
    EXPECT_EQ(r.Get(), 'b');
    std::remove(path.c_str());
    SourceReader missing;
    EXPECT_FALSE(missing.Open((path + ".none").c_str()));
    EXPECT_FALSE(missing.IsOpen());
}

// ---------------------------------------------------------------------------
// ReadIdentifier

struct IdCase {
    const char* src;
    int result;
    const char* token;   // buffer after the call when result is 1
    const char* rest;    // unread rest of the source
    const char* diag;    // expected diagnostic or nullptr
};

TEST_F(LexerTest, ReadIdentifierStates) {
    const IdCase cases[] = {
        {"_x1;", 1, "_x1", ";", nullptr},
        {"#NOMIN ", 1, "#NOMIN", "", nullptr},
        {"a_b,", 1, "a_b", ",", nullptr},
        {"x12", 1, "x12", "", nullptr},
        {"x:=y", 1, "x", ":=y", nullptr},
        {"x := y", 1, "x", ":= y", nullptr},
        {"x\ny", 1, "x", "y", nullptr},
        {"   \t x.OE", 1, "x", ".OE", nullptr},
        {"a__b", 0, nullptr, "b", kNichtKorrekt},
        {"a_;", 0, nullptr, "", kNichtKorrekt},
        {"a#b", 0, nullptr, "b", kNichtKorrekt},
        {"1x", 0, nullptr, "x", kNichtKorrekt},
        {"W\xE4rme", 0, nullptr, "rme", kNichtKorrekt},
        {"a&b", 0, nullptr, "b", kNichtKorrekt},
        {"_ ", 0, nullptr, "", kNichtKorrekt},
        {"#1a ", 1, "#1a", "", nullptr},
        {"(x", 0, nullptr, "(x", kNichtKorrekt},
        {"(* c *) y;", 1, "y", ";", nullptr},
        {"", 0, nullptr, "", kNichtKorrekt},
        {"  ", 0, nullptr, "", kNichtKorrekt},
        {"(* open", 0, nullptr, "", kNichtKorrekt},
    };
    for (const IdCase& c : cases) {
        SCOPED_TRACE(c.src);
        host.diags.clear();
        Source(c.src);
        char buf[kTokenBufferSize];
        EXPECT_EQ(ReadIdentifier(buf), c.result);
        if (c.result == 1) {
            EXPECT_STREQ(buf, c.token);
        }
        EXPECT_EQ(Rest(), c.rest);
        if (c.diag) {
            ASSERT_EQ(host.diags.size(), 1u);
            EXPECT_EQ(host.diags[0].text, c.diag);
            EXPECT_EQ(host.diags[0].severity, 1);
            EXPECT_EQ(host.diags[0].line, 1);
        } else {
            EXPECT_TRUE(host.diags.empty());
        }
    }
}

TEST_F(LexerTest, IdentifierLengthLimit) {
    // 12 characters are read; the 13th is taken into the count and the error
    // comes with the next character, which is dropped before SkipText(1).
    std::string twelve = "abcdefghijkl";
    std::string thirteen = twelve + "m";
    struct Case { std::string src; int result; std::string rest; } cases[] = {
        {twelve + ";", 1, ";"},
        {twelve, 1, ""},
        {thirteen + ";x;", 0, ";"},       // the ";" after the 13th is dropped
        {thirteen + " rest, z", 0, ", z"},
        {thirteen, 0, ""},
        {"abcdefghijk_m;", 0, ""},        // 13 counted with the joiner
        {"abcdefghijkl_;", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.src);
        host.diags.clear();
        Source(c.src);
        char buf[kTokenBufferSize];
        std::memset(buf, 'Z', sizeof buf);
        EXPECT_EQ(ReadIdentifier(buf), c.result);
        EXPECT_LT(std::strlen(buf), sizeof buf);
        if (c.result == 1) {
            EXPECT_EQ(std::string(buf), twelve);
            EXPECT_TRUE(host.diags.empty());
        } else {
            ASSERT_EQ(host.diags.size(), 1u);
            EXPECT_EQ(host.diags[0].text, kZuLang);
        }
        EXPECT_EQ(Rest(), c.rest);
    }
}

TEST_F(LexerTest, LongRunsNeverOverrunTheBuffer) {
    std::string src(5000, 'a');
    src += ";b";
    Source(src);
    struct Guarded { char buf[kTokenBufferSize]; char guard[16]; } g;
    std::memset(g.guard, 0x5A, sizeof g.guard);
    EXPECT_EQ(ReadIdentifier(g.buf), 0);
    for (char ch : g.guard) EXPECT_EQ(ch, 0x5A);
    EXPECT_EQ(Rest(), ";b");
}

TEST_F(LexerTest, SourceEndingRightAfterIdentifier) {
    Source("abc");
    char buf[kTokenBufferSize];
    EXPECT_EQ(ReadIdentifier(buf), 1);
    EXPECT_STREQ(buf, "abc");
    EXPECT_TRUE(SourceAtEnd());
}

// ---------------------------------------------------------------------------
// Comments and line counting

TEST_F(LexerTest, CommentsAndLineNumbers) {
    // A comment over three lines advances the line by two; the diagnostic on
    // the line after it carries the right number.
    Source("(* one\ntwo\nthree *)\n1");
    char buf[kTokenBufferSize];
    EXPECT_EQ(ReadIdentifier(buf), 0);
    ASSERT_EQ(host.diags.size(), 1u);
    EXPECT_EQ(host.diags[0].line, 4);
    EXPECT_EQ(host.diags[0].text, kNichtKorrekt);
    EXPECT_NE(ErrText().find("Zeile 4: Bezeichner nicht korrekt\r\n"), std::string::npos);
}

TEST_F(LexerTest, SkipCommentCases) {
    struct Case { const char* src; int result; const char* rest; int lines; } cases[] = {
        {"(* a **)x", 1, "x", 0},
        {"(* a (* b *) c *)", 1, " c *)", 0},
        {"(**)y", 1, "y", 0},
        {"(*)*)z", 1, "z", 0},
        {"(x", 0, "(x", 0},
        {"(\n", 0, "(\n", 0},
        {"x", 0, "x", 0},
        {"(* \n\n open", 0, "", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.src);
        Source(c.src);
        EXPECT_EQ(SkipComment(), c.result);
        EXPECT_EQ(CS.LineNumber, 1 + c.lines);
        EXPECT_EQ(Rest(), c.rest);
    }
}

// ---------------------------------------------------------------------------
// SkipText and ExpectSemicolon

TEST_F(LexerTest, SkipTextModes) {
    struct Case { int mode; const char* src; const char* rest; int newlines; } cases[] = {
        {0, " \t\n (* c\n *) x", "x", 2},
        {0, "  (x", "(x", 0},
        {0, "", "", 0},
        {0, " ;", ";", 0},
        {1, "a b (* ; *) c; d", "; d", 0},
        {1, "a (x, y", ", y", 0},
        {1, "a\nb\n,", ",", 2},
        {1, "no separator", "", 0},
        {1, "(* open ;", "", 0},
        {2, "a b; c", " c", 0},
        {2, "a, c", " c", 0},
        {2, "(x;y", "y", 0},
        {2, "\n\n", "", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("mode ") + std::to_string(c.mode) + ": " + c.src);
        Source(c.src);
        EXPECT_EQ(SkipText(c.mode), c.newlines);
        EXPECT_EQ(CS.LineNumber, 1 + c.newlines);
        EXPECT_EQ(Rest(), c.rest);
    }
}

TEST_F(LexerTest, ExpectSemicolon) {
    struct Case { const char* src; const char* rest; bool missing; } cases[] = {
        {" ;x", "x", false},
        {"(* c *);", "", false},
        {" x;", "x;", true},
        {"", "", true},
        {"(;", "(;", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.src);
        host.diags.clear();
        Source(c.src);
        ExpectSemicolon();
        EXPECT_EQ(Rest(), c.rest);
        if (c.missing) {
            ASSERT_EQ(host.diags.size(), 1u);
            EXPECT_EQ(host.diags[0].text, "; fehlt");
        } else {
            EXPECT_TRUE(host.diags.empty());
        }
    }
}

// ---------------------------------------------------------------------------
// FindProgramKeyword

TEST_F(LexerTest, FindProgramKeyword) {
    struct Case { const char* src; int result; const char* rest; int line; } cases[] = {
        {"PROGRAM p", 1, " p", 1},
        {"(* PROGRAM *) PROGRAM q", 1, " *) PROGRAM q", 1},
        {"MYPROGRAM x", 1, " x", 1},
        {"PPROGRAM x", 1, " x", 1},
        {"PROGRAPROGRAM y", 1, " y", 1},
        {"\n\nPROG\nRAM PROGRAM z", 1, " z", 4},
        {"PROGRA\nM", 0, "", 2},
        {"program", 0, "", 1},
        {"", 0, "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.src);
        Source(c.src);
        EXPECT_EQ(FindProgramKeyword(), c.result);
        EXPECT_EQ(CS.LineNumber, c.line);
        EXPECT_EQ(Rest(), c.rest);
    }
}

// ---------------------------------------------------------------------------
// Helpers on CS.Source

TEST_F(LexerTest, MarkAndResetRestoreLineNumber) {
    Source("a\nb\nc");
    SourceMark m = MarkSource();
    char buf[kTokenBufferSize];
    ReadIdentifier(buf);
    ReadIdentifier(buf);
    EXPECT_EQ(CS.LineNumber, 3);
    ResetSource(m);
    EXPECT_EQ(CS.LineNumber, 1);
    EXPECT_EQ(PeekChar(), 'a');
    EXPECT_EQ(ReadChar(), 'a');
    PushBack('a');
    EXPECT_EQ(ReadChar(), 'a');
    EXPECT_FALSE(SourceAtEnd());
}

TEST_F(LexerTest, CharacterClasses) {
    for (int c = -1; c < 256; ++c) {
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        EXPECT_EQ(IsLetter(c), letter) << c;
        EXPECT_EQ(IsDigit(c), c >= '0' && c <= '9') << c;
        EXPECT_EQ(IsBlank(c), c == ' ' || c == '\t') << c;
    }
}

}  // namespace
