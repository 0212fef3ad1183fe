// The statement entry, #NOMIN blocks, and whole programs that must end.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <random>
#include <vector>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/lexer.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"
#include "compiler/statements/assignments.h"
#include "compiler/statements/case_statement.h"
#include "compiler/statements/constants.h"
#include "compiler/statements/equation_list.h"
#include "compiler/statements/expr_tree.h"
#include "compiler/statements/if_statement.h"
#include "compiler/statements/parser.h"
#include "compiler/statements/statements.h"

#include "tests/unit/statement_fixture.h"

namespace {

class StatementsTest : public StatementFixture {
protected:
    void SetUp() override {
        StatementFixture::SetUp();
        Declare();
    }
};

TEST_F(StatementsTest, DispatchTable) {
    struct Case {
        const char* src;
        int result;
        std::vector<std::pair<MessageId, int>> msgs;
        const char* equation;  // written at once, or nullptr
        const char* record;    // an output with a contribution, or nullptr
        const char* rest;
    } cases[] = {
        // after a statement the blanks before the next word are consumed
        {"Y := a AND b; Z", 1, {}, "Y = a & b\r\n", nullptr, "Z"},
        {"Y = a; Z", 1, {{MSG_ZUWEISUNGSOPERATOR_IST, 1}}, "Y = a\r\n", nullptr, "Z"},
        {"Y.OE := a; Z", 1, {}, "Y .OE = a\r\n", nullptr, "Z"},
        {"Y .OE := a; Z", 1, {}, "Y .OE = a\r\n", nullptr, "Z"},
        {"Y.CRIT; Z", 1, {}, nullptr, nullptr, "Z"},
        {"IF a THEN Y := 1; END_IF; Z", 1, {}, nullptr, "Y", "Z"},
        {"CASE K OF 1: Y := 1; END_CASE; Z", 1, {}, nullptr, "Y", "Z"},
        {"CASE K OF ELSE Y := 1; END_CASE;", -1, {{MSG_KONSTANTE_NICHT_KORREKT, 1}}, nullptr, nullptr, nullptr},
        // a failed assignment returns 0 before its ";"
        {"Y : a; Z", 0, {{MSG_FALSCHER_ZUWEISUNGSOPERATOR, 1}}, nullptr, nullptr, "; Z"},
        // a variable followed by something else; the ";" stays for the next read
        {"Y b; Z", 1, {{MSG_ANWEISUNG_UNBEKANNT, 1}, {MSG_BEZEICHNER_NICHT_KORREKT, 1}}, nullptr, nullptr, "; Z"},
        {"Y; Z", 1, {{MSG_ANWEISUNG_UNBEKANNT, 1}, {MSG_BEZEICHNER_NICHT_KORREKT, 1}}, nullptr, nullptr, "; Z"},
        // an unknown or reserved first word compiles nothing and stays consumed
        {"u Z := a;", 1, {}, nullptr, nullptr, "Z := a;"},
        {"u := a;", 1, {{MSG_BEZEICHNER_NICHT_KORREKT, 1}}, nullptr, nullptr, ":= a;"},
        {"END_IF Z", 1, {}, nullptr, nullptr, "Z"},
        {"THEN Z", 1, {}, nullptr, nullptr, "Z"},
        {"if a THEN Y := 1; END_IF;", 1, {}, nullptr, nullptr, "a THEN Y := 1; END_IF;"},
        {"G := 3; Z", 1, {{MSG_ZUWEISUNG_GRUPPE, 1}, {MSG_BEZEICHNER_NICHT_KORREKT, 1}}, nullptr, nullptr, "; Z"},
        {"(* c *) Y := b; Z", 1, {}, "Y = b\r\n", nullptr, "Z"},
        // the name read before an incorrect character is the first word
        {"Y# := a; Z", 0,
         {{MSG_BEZEICHNER_NICHT_KORREKT, 1}, {MSG_BEZEICHNER_NICHT_KORREKT, 1}, {MSG_SEMIKOLON_FEHLT, 1}}, nullptr,
         nullptr, "; Z"},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        Source(c.src);
        EXPECT_EQ(CompileStatement(), c.result) << c.src;
        std::vector<std::string> expect;
        for (auto& m : c.msgs) expect.push_back(Msg(m.first, m.second));
        EXPECT_EQ(diags, expect) << c.src;
        if (c.rest) {
            EXPECT_EQ(Rest(), c.rest) << c.src;
        }
        std::string zw = Zw();
        if (c.equation) {
            EXPECT_EQ(zw.rfind(c.equation, 0), 0u) << c.src << "\n" << zw;
        } else {
            EXPECT_EQ(zw, "") << c.src;
        }
        if (c.record) {
            EXPECT_NE(Record(c.record), nullptr) << c.src;
        } else {
            EXPECT_EQ(CS.EquationList, nullptr) << c.src;
        }
    }
}

TEST_F(StatementsTest, NominBlocks) {
    struct Case {
        const char* src;
        int statements;  // calls of CompileStatement
        std::vector<int> flags;  // MinimizeFlag after each call
    } cases[] = {
        {"#NOMIN Y := a AND b; #ENDNOMIN Z := b;", 2, {1, 1}},
        {"#NOMIN Y := a; Z := b; #ENDNOMIN", 2, {0, 1}},
        {"#NOMIN IF c THEN Y := 1; END_IF; #ENDNOMIN", 1, {1}},
        {"#NOMIN Y := a; #END_NOMIN Z := b;", 3, {0, 0, 0}},
        {"#NOMIN #ENDNOMIN Y := a;", 2, {0, 0}},
        {"#NOMIN Y : a; #ENDNOMIN", 1, {0}},
        {"Y := a; #ENDNOMIN", 1, {1}},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        Source(c.src);
        std::vector<int> flags;
        for (int i = 0; i < c.statements; ++i) {
            CompileStatement();
            flags.push_back(CS.MinimizeFlag);
        }
        EXPECT_EQ(flags, c.flags) << c.src;
    }
}

TEST_F(StatementsTest, EquationsInsideABlockAreNotMinimized) {
    // a AND b OR a AND NOT b is the single term a once minimized; unminimized
    // it is its two on-set rows.
    Source("#NOMIN Y := a AND b OR a AND NOT b; #ENDNOMIN Z := a AND b OR a AND NOT b;");
    EXPECT_EQ(CompileStatement(), 1);
    EXPECT_EQ(CompileStatement(), 1);
    std::string zw = Zw();
    EXPECT_NE(zw.find("Y = a & b OR\r\n\t\ta &  NOT b\r\n\t\t\t\t; 2 \r\n"), std::string::npos) << zw;
    EXPECT_NE(zw.find("Z = a\r\n\t\t\t\t; 1 \r\n"), std::string::npos) << zw;
}

TEST_F(StatementsTest, TargetOnItsOwnLineKeepsTheLineNumber) {
    Source("Y\n= a;\nZ\n:= b;\nQ\n:x;");
    EXPECT_EQ(CompileStatement(), 1);
    EXPECT_EQ(CompileStatement(), 1);
    EXPECT_EQ(CompileStatement(), 0);
    EXPECT_EQ(diags, (std::vector<std::string>{Msg(MSG_ZUWEISUNGSOPERATOR_IST, 2),
                                                Msg(MSG_FALSCHER_ZUWEISUNGSOPERATOR, 6)}));
    EXPECT_EQ(CS.LineNumber, 6);
    std::string zw = Zw();
    EXPECT_NE(zw.find("Y = a"), std::string::npos);
    EXPECT_NE(zw.find("Z = b"), std::string::npos);
}

// Whole programs through the compile driver: whatever follows the
// declarations, the compile ends, and every statement loop moves on.
class StatementProgramTest : public ::testing::Test {
protected:
    std::string dir = ::testing::TempDir();
    int Compile(const std::string& statements) {
        std::string src = dir + "stmt_prog.sqx";
        std::ofstream f(src, std::ios::binary);
        f << "PROGRAM p\nVAR_INPUT a; b; c; END_VAR;\nVAR_OUTPUT Y; Z; Q; END_VAR;\n"
             "VAR_IN_OUT P; END_VAR;\nVAR_ARRAY K [Y, Z]; END_VAR;\n"
          << statements;
        f.close();
        SetCompileHost(nullptr);
        return CompileSource(src.c_str(), (dir + "stmt_prog.ZW").c_str(), (dir + "stmt_prog.ERR").c_str(), nullptr);
    }
    void TearDown() override {
        for (const char* e : {"sqx", "ZW", "ERR"}) std::remove((dir + "stmt_prog." + e).c_str());
    }
};

TEST_F(StatementProgramTest, KnownTrapsEnd) {
    const char* sources[] = {
        "(",
        "Y := (",
        "Y := a (",
        "IF a THEN Y := 1; (",
        "IF a THEN ( END_IF;",
        "IF a THEN Y := 1; ELSIF ( THEN",
        "CASE K OF 1: (",
        "CASE K OF 1: Y := 1; ELSE ( END_CASE;",
        "CASE a OF 1, (",
        "CASE K OF 1, 2, 3, 0: Y := 1; ELSE (",
        "IF a THEN IF IF IF",
        "Y.OE := (",
        "Y.OE := NOT (",
        "#NOMIN (",
        "IF a THEN Y := 1; ELSIF b THEN Z a b c d e f g",
        "CASE K OF 1: Y a b c 2: Z := 1;",
        "IF (* open comment",
        "Y := 2#1111111111111111111111111111111111111111;",
        "CASE K OF 2#0101010101010101010101010101: Y := 1; END_CASE;",
        "Y := 00000000000000000000000000000000000000000000000000001;",
    };
    for (const char* s : sources) {
        EXPECT_EQ(Compile(s), 0) << s;
        EXPECT_GT(CS.ErrorCount + CS.WarningCount, 0) << s;
    }
}

TEST_F(StatementProgramTest, RandomStatementsEnd) {
    static const char* const kTokens[] = {
        "Y", "Z", "Q", "P", "K", "a", "b", "c", "u", ":=", "=", ":", ".", "OE", "RE", "CLK", "CRIT", ";", ";",
        ",", "(", ")", "(*", "*)", "IF", "THEN", "ELSIF", "ELSEIF", "ELSE", "END_IF", "ENDIF", "CASE", "OF",
        "END_CASE", "ENDCASE", "#NOMIN", "#ENDNOMIN", "#END_NOMIN", "AND", "OR", "XOR", "NOT", "-", "&", "0",
        "1", "2", "3", "2#", "2#1_0", "2#TRUE", "255", "256", "<", ">", "<=", ">=", "<>", "\n", "?", "TRUE",
        "_", "#", "\xFC", "END_PROGRAM"};
    std::mt19937 rng(20261211);
    const int n = sizeof kTokens / sizeof kTokens[0];
    for (int round = 0; round < 300; ++round) {
        std::string s;
        int len = 1 + static_cast<int>(rng() % 40);
        for (int i = 0; i < len; ++i) {
            s += kTokens[rng() % n];
            if (rng() % 3) s += ' ';
        }
        int r = Compile(s);
        EXPECT_TRUE(r == 0 || r == 1) << s;
    }
}

}  // namespace
