// Constants and comparisons with constants.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
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

class ConstantsTest : public StatementFixture {
protected:
    void SetUp() override {
        StatementFixture::SetUp();
        Declare();
    }
};

TEST_F(ConstantsTest, ValueBitText) {
    struct Case {
        int k;
        const char* text;
    } cases[] = {{0, "#"}, {1, "#1"}, {2, "#10"}, {5, "#101"}, {128, "#10000000"}, {255, "#11111111"}};
    for (const Case& c : cases) {
        char text[kConstantTextSize];
        ValueBitText(text, c.k);
        EXPECT_STREQ(text, c.text) << c.k;
        EXPECT_EQ(ConstantValue(text), c.k);
    }
}

TEST_F(ConstantsTest, ReadConstantTable) {
    const char* kNone = nullptr;
    struct Case {
        const char* src;
        const char* group;  // nullptr: single operand
        int bits;
        const char* text;   // checked when accepted
        MessageId msg;      // MSG_COUNT: none
        const char* rest;
    } cases[] = {
        {"255;", "W", 8, "#11111111", MSG_COUNT, ";"},
        {"256;", "W", 9, kNone, MSG_INTEGER_MAX_255, ";"},
        {"1000;", "W", 9, kNone, MSG_INTEGER_MAX_255, ";"},
        {"000000000000000000007;", "W", 3, "#111", MSG_COUNT, ";"},
        {"0012;", "W", 4, "#1100", MSG_COUNT, ";"},
        {"0;", "W", 0, "#", MSG_COUNT, ";"},
        {"2;", "W", 2, "#10", MSG_COUNT, ";"},
        {"29)", "W", 5, "#11101", MSG_COUNT, ")"},
        {"2#1_0_1;", "W", 3, "#101", MSG_COUNT, ";"},
        {"2#0101;", "W", 4, "#0101", MSG_COUNT, ";"},
        {"2#_1;", "W", 1, "#1", MSG_COUNT, ";"},
        {"2#1__1;", "W", 2, "#11", MSG_COUNT, ";"},
        {"2#1_;", "W", 9, kNone, MSG_KONSTANTE_NICHT_KORREKT, ""},
        {"2#__1;", "W", 9, kNone, MSG_KONSTANTE_NICHT_KORREKT, "1;"},
        {"2#1___1;", "W", 9, kNone, MSG_KONSTANTE_NICHT_KORREKT, "1;"},
        {"2#2;", "W", 9, kNone, MSG_KONSTANTE_NICHT_KORREKT, ";"},
        {"2#;", "W", 9, kNone, MSG_KONSTANTE_NICHT_KORREKT, ""},
        {"12a;", "W", 9, kNone, MSG_KONSTANTE_NICHT_KORREKT, ";"},
        {"x;", "W", 9, kNone, MSG_KONSTANTE_NICHT_KORREKT, ";"},
        {"2x;", "W", 9, kNone, MSG_KONSTANTE_NICHT_KORREKT, ";"},
        {"2#TRUE FALSE;", "W", 2, "#10", MSG_COUNT, ";"},
        {"2#1TRUE;", "W", 2, "#11", MSG_COUNT, ";"},
        {"2#TRUX;", "W", 9, kNone, MSG_KONSTANTE_NICHT_KORREKT, ";"},
        {"  \t5,", "W", 3, "#101", MSG_COUNT, ","},
        {"1:", "W", 1, "#1", MSG_COUNT, ":"},
        {"6\t", "W", 3, "#110", MSG_COUNT, "\t"},
        {"2#1", "W", 9, kNone, MSG_KONSTANTE_NICHT_KORREKT, ""},  // the end of the source delimits nothing
        {"1;", nullptr, 1, "#1", MSG_COUNT, ";"},
        {"0 ", nullptr, 0, "#", MSG_COUNT, " "},
        {"2#0)", nullptr, 1, "#0", MSG_COUNT, ")"},
        {"2#TRUE;", nullptr, 1, "#1", MSG_COUNT, ";"},
        {"2#FALSE;", nullptr, 1, "#0", MSG_COUNT, ";"},
        {"2;", nullptr, 9, kNone, MSG_KONSTANTE_ZU_LANG, ";"},
        {"2#01;", nullptr, 9, kNone, MSG_KONSTANTE_ZU_LANG, ";"},
        {"2#01;", "G", 2, "#01", MSG_COUNT, ";"},
        {"7;", "G", 3, "#111", MSG_COUNT, ";"},
        {"8;", "G", 9, kNone, MSG_KONSTANTE_WERTEBEREICH, ";"},
        {"2#0101;", "G", 9, kNone, MSG_KONSTANTE_WERTEBEREICH, ";"},
        {"2;", "H", 9, kNone, MSG_KONSTANTE_WERTEBEREICH, ";"},
        // far more bits than the text has room for: counted, never stored
        {"2#0101010101010101010101010101;", "W", 9, kNone, MSG_KONSTANTE_WERTEBEREICH, ";"},
        {"2#1111111111111111111111111111;", nullptr, 9, kNone, MSG_KONSTANTE_ZU_LANG, ";"},
    };
    for (const Case& c : cases) {
        diags.clear();
        Source(c.src);
        char text[kConstantTextSize + 4];
        std::memset(text, 'Z', sizeof text);
        int bits = ReadConstant(text, c.group ? Sym(c.group) : 0);
        EXPECT_EQ(bits, c.bits) << c.src;
        for (size_t i = kConstantTextSize; i < sizeof text; ++i) EXPECT_EQ(text[i], 'Z') << c.src;
        if (c.bits != kConstantRefused) {
            EXPECT_STREQ(text, c.text) << c.src;
        }
        std::vector<std::string> expect;
        if (c.msg != MSG_COUNT) expect.push_back(Msg(c.msg, 1));
        EXPECT_EQ(diags, expect) << c.src;
        EXPECT_EQ(Rest(), c.rest) << c.src;
    }
}

TEST_F(ConstantsTest, LineEndAfterAConstantIsConsumedAndCounted) {
    Source("5\nY");
    EXPECT_EQ(ReadConstant(std::vector<char>(kConstantTextSize).data(), Sym("W")), 3);
    EXPECT_EQ(CS.LineNumber, 2);
    EXPECT_EQ(Rest(), "Y");
    // TRUE read as a word takes its line end with it.
    Source("2#TRUE\nFALSE\n;");
    char text[kConstantTextSize];
    EXPECT_EQ(ReadConstant(text, Sym("W")), 2);
    EXPECT_STREQ(text, "#10");
    EXPECT_EQ(CS.LineNumber, 3);
}

TEST_F(ConstantsTest, ParseConstantLeaf) {
    struct Case {
        const char* src;
        const char* tree;
        MessageId msg;
        const char* rest;
    } cases[] = {
        {"1;", "1", MSG_COUNT, ";"},
        {"0;", "0", MSG_COUNT, ";"},
        {"2#TRUE;", "1", MSG_COUNT, ";"},
        {"2#0 AND a;", "0", MSG_COUNT, " AND a;"},
        {"2;", "-", MSG_KONSTANTE_ZU_LANG, ";"},
        {"256 OR b, c;", "-", MSG_INTEGER_MAX_255, ", c;"},
        {"1x OR b; c", "-", MSG_KONSTANTE_NICHT_KORREKT, "; c"},
    };
    for (const Case& c : cases) {
        diags.clear();
        Source(c.src);
        ExprNode* n = ParseConstantLeaf();
        EXPECT_EQ(Tree(n), c.tree) << c.src;
        if (n) {
            EXPECT_EQ(n->op.left, 0u);
            EXPECT_EQ(n->op.right, 0u);
        }
        std::vector<std::string> expect;
        if (c.msg != MSG_COUNT) expect.push_back(Msg(c.msg, 1));
        EXPECT_EQ(diags, expect) << c.src;
        EXPECT_EQ(Rest(), c.rest) << c.src;
    }
    // No node for the leaf.
    diags.clear();
    Source("1;");
    int saved = NodePoolCapacity;
    NodePoolCapacity = 0;
    EXPECT_EQ(ParseConstantLeaf(), nullptr);
    NodePoolCapacity = saved;
    EXPECT_EQ(diags, std::vector<std::string>{Msg(MSG_BAUMSPEICHER_UEBERLAUF, 0)});
}

// E(k) of the group G [A, B, C3] from the rule: member i stands for bit 2 - i,
// the literals joined by AND nested to the right.
std::string E(int k) {
    const char* names[] = {"A", "B", "C3"};
    std::string lit[3];
    for (int i = 0; i < 3; ++i) lit[i] = (k >> (2 - i)) & 1 ? names[i] : std::string("NOT(") + names[i] + ")";
    return "AND(" + lit[0] + ",AND(" + lit[1] + "," + lit[2] + "))";
}

TEST_F(ConstantsTest, ExpandValueWorkedExamples) {
    struct Case {
        const char* text;
        const char* tree;
    } cases[] = {
        {"#101", "AND(A,AND(NOT(B),C3))"},
        {"#10", "AND(NOT(A),AND(B,NOT(C3)))"},
        {"#", "AND(NOT(A),AND(NOT(B),NOT(C3)))"},
        {"#01", "AND(NOT(A),AND(NOT(B),C3))"},
        {"#111", "AND(A,AND(B,C3))"},
    };
    for (const Case& c : cases) {
        ExprNode* t = ExpandValue(nullptr, Sym("G"), c.text, static_cast<int>(std::strlen(c.text)) - 1);
        EXPECT_EQ(Tree(t), c.tree) << c.text;
    }
    EXPECT_EQ(Tree(ExpandValue(nullptr, Sym("H"), "#1", 1)), "M");
    EXPECT_EQ(Tree(ExpandValue(nullptr, Sym("H"), "#0", 1)), "NOT(M)");
    EXPECT_EQ(Tree(ExpandValue(nullptr, Sym("K"), "#1", 1)), "AND(NOT(A),B)");
    ExprNode* x = AttachSon(nullptr, "wurzel", nullptr, "x");
    EXPECT_EQ(ExpandValue(x, 0, "#1", 1), x);
    EXPECT_EQ(Tree(ExpandValue(AttachSon(nullptr, "wurzel", nullptr, "x"), 0, "#", 0)), "NOT(x)");
    // Negated literals are NOT nodes over variable leaves.
    ExprNode* t = ExpandValue(nullptr, Sym("G"), "#", 0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(Left(t)->op.kind, EXPR_NOT);
    EXPECT_TRUE(IsVariableLeaf(Left(Left(t))));
}

TEST_F(ConstantsTest, CompareWithConstantTable) {
    struct Case {
        const char* operand;  // a group name, or a variable made into a leaf
        int code;
        const char* src;
        std::string tree;     // "-" when refused
        MessageId msg;
    } cases[] = {
        {"G", CMP_EQ, "5;", E(5), MSG_COUNT},
        {"G", CMP_EQ, "2#101;", E(5), MSG_COUNT},
        {"G", CMP_EQ, "2#01;", E(1), MSG_COUNT},
        {"G", CMP_EQ, "2#0101;", "-", MSG_KONSTANTE_WERTEBEREICH},
        {"G", CMP_LT, "3;", "OR(OR(" + E(0) + "," + E(1) + ")," + E(2) + ")", MSG_COUNT},
        {"G", CMP_LT, "1;", E(0), MSG_COUNT},
        {"G", CMP_LE, "1;", "OR(" + E(0) + "," + E(1) + ")", MSG_COUNT},
        {"G", CMP_GE, "6;", "OR(" + E(6) + "," + E(7) + ")", MSG_COUNT},
        {"G", CMP_GT, "6;", E(7), MSG_COUNT},
        {"G", CMP_GT, "4;", "OR(OR(" + E(5) + "," + E(6) + ")," + E(7) + ")", MSG_COUNT},
        {"G", CMP_LE, "7;", "-", MSG_KLEINER_GLEICH_MAX},
        {"G", CMP_GT, "7;", "-", MSG_GROESSER_MAX},
        {"G", CMP_GE, "0;", "-", MSG_GROESSER_GLEICH_NULL},
        {"G", CMP_LT, "0;", "-", MSG_KLEINER_NULL},
        {"G", CMP_NE, "2;", "NOT(" + E(2) + ")", MSG_COUNT},
        {"H", CMP_EQ, "1;", "M", MSG_COUNT},
        {"H", CMP_LT, "1;", "NOT(M)", MSG_COUNT},
        {"H", CMP_EQ, "2;", "-", MSG_KONSTANTE_WERTEBEREICH},
        {"x", CMP_EQ, "1;", "x", MSG_COUNT},
        {"x", CMP_EQ, "0;", "NOT(x)", MSG_COUNT},
        {"x", CMP_NE, "1;", "NOT(x)", MSG_COUNT},
        {"x", CMP_NE, "0;", "NOT(NOT(x))", MSG_COUNT},
        {"x", CMP_LT, "1;", "NOT(x)", MSG_COUNT},
        {"x", CMP_LE, "0;", "NOT(x)", MSG_COUNT},
        {"x", CMP_GT, "0;", "x", MSG_COUNT},
        {"x", CMP_GE, "1;", "x", MSG_COUNT},
        {"x", CMP_LT, "0;", "-", MSG_KLEINER_NULL},
        {"x", CMP_LE, "1;", "-", MSG_KLEINER_GLEICH_MAX},
        {"x", CMP_GT, "1;", "-", MSG_GROESSER_MAX},
        {"x", CMP_GE, "0;", "-", MSG_GROESSER_GLEICH_NULL},
        {"x", CMP_EQ, "2;", "-", MSG_KONSTANTE_ZU_LANG},
    };
    for (const Case& c : cases) {
        diags.clear();
        Source(c.src);
        int idx = Sym(c.operand);
        ExprNode* t = SymbolTable[idx].Kind == KIND_GROUP
                          ? CompareWithConstant(idx, nullptr, c.code)
                          : CompareWithConstant(0, AttachSon(nullptr, "wurzel", nullptr, c.operand), c.code);
        EXPECT_EQ(Tree(t), c.tree) << c.operand << " " << c.code << " " << c.src;
        std::vector<std::string> expect;
        if (c.msg != MSG_COUNT) expect.push_back(Msg(c.msg, 1));
        EXPECT_EQ(diags, expect) << c.operand << " " << c.code << " " << c.src;
        EXPECT_EQ(Rest(), ";");
    }
}

TEST_F(ConstantsTest, ComparisonOfAnEightMemberGroupHas255Terms) {
    Source("255;");
    ExprNode* t = CompareWithConstant(Sym("W"), nullptr, CMP_LT);
    ASSERT_NE(t, nullptr);
    int terms = 1;
    const ExprNode* n = t;
    while (!n->is_leaf && n->op.kind == EXPR_OR) {
        ++terms;
        n = Left(n);
    }
    EXPECT_EQ(terms, 255);
}

TEST_F(ConstantsTest, GroupMemberNames) {
    char names[kMaxGroupMembers][16];
    ASSERT_EQ(GroupMemberNames(Sym("G"), names, kMaxGroupMembers), 3);
    EXPECT_STREQ(names[0], "A");
    EXPECT_STREQ(names[1], "B");
    EXPECT_STREQ(names[2], "C3");
    EXPECT_EQ(GroupMemberNames(Sym("W"), names, kMaxGroupMembers), 8);
    EXPECT_EQ(GroupMemberNames(Sym("a"), names, kMaxGroupMembers), 0);
}

}  // namespace
