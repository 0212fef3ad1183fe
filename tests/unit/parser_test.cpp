// The expression parser: full grammar and extension conditions.
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

// E(k) of the group G [A, B, C3].
std::string E(int k) {
    const char* names[] = {"A", "B", "C3"};
    std::string lit[3];
    for (int i = 0; i < 3; ++i) lit[i] = (k >> (2 - i)) & 1 ? names[i] : std::string("NOT(") + names[i] + ")";
    return "AND(" + lit[0] + ",AND(" + lit[1] + "," + lit[2] + "))";
}

struct ParseCase {
    const char* src;
    std::string tree;
    std::vector<MessageId> msgs;  // all with the prefix of line 1
    const char* rest;
};

class ParserTest : public StatementFixture {
protected:
    void SetUp() override {
        StatementFixture::SetUp();
        Declare();
    }
    void Run(const std::vector<ParseCase>& cases, ExprNode* (*parse)()) {
        for (const ParseCase& c : cases) {
            diags.clear();
            Source(c.src);
            ExprNode* t = parse();
            EXPECT_EQ(Tree(t), c.tree) << c.src;
            std::vector<std::string> expect;
            for (MessageId m : c.msgs) expect.push_back(Msg(m, 1));
            EXPECT_EQ(diags, expect) << c.src;
            EXPECT_EQ(Rest(), c.rest) << c.src;
        }
    }
};

TEST_F(ParserTest, PrecedenceAndGrouping) {
    Run({
            {"a OR b OR c;", "OR(a,OR(b,c))", {}, ";"},
            {"a & b AND c;", "AND(a,AND(b,c))", {}, ";"},
            {"a XOR b XOR c;", "XOR(a,XOR(b,c))", {}, ";"},
            {"a OR b AND c;", "OR(a,AND(b,c))", {}, ";"},
            {"a AND b OR c;", "OR(AND(a,b),c)", {}, ";"},
            {"a OR b XOR c AND NOT x;", "OR(a,XOR(b,AND(c,NOT(x))))", {}, ";"},
            {"NOT a AND b;", "AND(NOT(a),b)", {}, ";"},
            {"-a;", "NOT(a)", {}, ";"},
            {"- a OR -b;", "OR(NOT(a),NOT(b))", {}, ";"},
            {"a & (b OR c);", "AND(a,OR(b,c))", {}, ";"},
            {"NOT (a OR b);", "NOT(OR(a,b))", {}, ";"},
            {"a ORb;", "OR(a,b)", {}, ";"},
            {"a OR(* note *)b;", "OR(a,b)", {}, ";"},
            {"a AND 0;", "AND(a,0)", {}, ";"},
            {"1;", "1", {}, ";"},
            {"2#TRUE;", "1", {}, ";"},
            {"N1 AND a;", "AND(N1,a)", {}, ";"},
            {"a OF 1:", "a", {}, "OF 1:"},
            {"a AND b OF", "AND(a,b)", {}, "OF"},
        },
        ParseExpression);
}

TEST_F(ParserTest, ComparisonsArePartOfThePrimary) {
    Run({
            {"G = 5 AND a;", "AND(" + E(5) + ",a)", {}, ";"},
            {"NOT G = 3;", "NOT(" + E(3) + ")", {}, ";"},
            {"G>=6;", "OR(" + E(6) + "," + E(7) + ")", {}, ";"},
            {"G <> 2 OR a;", "OR(NOT(" + E(2) + "),a)", {}, ";"},
            {"x<1;", "NOT(x)", {}, ";"},
            {"x <> 0;", "NOT(NOT(x))", {}, ";"},
            {"x > 0 & a;", "AND(x,a)", {}, ";"},
            {"(a OR b) = 0;", "NOT(OR(a,b))", {}, ";"},
            {"(a) = 1;", "a", {}, ";"},
            {"(a OR b) <= 0 AND c;", "AND(NOT(OR(a,b)),c)", {}, ";"},
            {"x <= 1;", "-", {MSG_KLEINER_GLEICH_MAX}, ";"},
            {"G = 9;", "-", {MSG_KONSTANTE_WERTEBEREICH}, ";"},
        },
        ParseExpression);
}

TEST_F(ParserTest, Diagnostics) {
    Run({
            {"a OUT;", "-", {MSG_OR_ERWARTET}, "OUT;"},
            {"a XY;", "-", {MSG_XOR_ERWARTET}, "XY;"},
            {"a ANY;", "-", {MSG_AND_ERWARTET}, "ANY;"},
            {"a OR b ANY;", "-", {MSG_AND_ERWARTET}, "ANY;"},
            {"(a OR b;", "OR(a,b)", {MSG_KLAMMER_FEHLT}, ""},
            {"(a OR b c", "OR(a,b)", {MSG_KLAMMER_FEHLT}, ""},
            {"TRUE;", "-", {MSG_BEZEICHNER_UNBEKANNT}, ";"},
            {"u;", "-", {MSG_BEZEICHNER_UNBEKANNT}, ";"},
            {"and;", "-", {MSG_BEZEICHNER_UNBEKANNT}, ";"},
            {"NOT NOT a;", "-", {MSG_BEZEICHNER_UNBEKANNT}, "a;"},
            {"G;", "-", {MSG_GRUPPE_VERGLEICH}, ";"},
            {"G AND a, b;", "-", {MSG_GRUPPE_VERGLEICH}, ", b;"},
            {"a AND;", "-", {MSG_BEZEICHNER_NICHT_KORREKT, MSG_BEZEICHNER_UNBEKANNT}, ""},
            // what was read before the incorrect character is looked up
            {"a&b;", "a", {MSG_BEZEICHNER_NICHT_KORREKT}, "b;"},
            {"u&b;", "-", {MSG_BEZEICHNER_NICHT_KORREKT, MSG_BEZEICHNER_UNBEKANNT}, "b;"},
            {";", "-", {MSG_BEZEICHNER_NICHT_KORREKT, MSG_BEZEICHNER_UNBEKANNT}, ""},
            {"", "-", {MSG_BEZEICHNER_NICHT_KORREKT, MSG_BEZEICHNER_UNBEKANNT}, ""},
            {"a OR 2;", "-", {MSG_KONSTANTE_ZU_LANG}, ";"},
        },
        ParseExpression);
}

TEST_F(ParserTest, LineEndsReadDuringLookAheadAreCountedOnce) {
    struct Case {
        const char* src;
        int line;
        const char* rest;
    } cases[] = {
        {"a\n OR\n b\n;", 4, ";"},
        {"N1\n;", 2, ";"},
        {"NOT\na\n;", 3, ";"},
        {"a\nXOR\nb;", 3, ";"},
        {"a\n AND\n(* x\n *) b;", 4, ";"},
        {"a\nOF", 2, "OF"},
    };
    for (const Case& c : cases) {
        Source(c.src);
        EXPECT_NE(ParseExpression(), nullptr) << c.src;
        EXPECT_EQ(CS.LineNumber, c.line) << c.src;
        EXPECT_EQ(Rest(), c.rest) << c.src;
    }
    // A diagnostic after a look-ahead carries the line of its word.
    diags.clear();
    Source("a\n\nANY");
    EXPECT_EQ(ParseExpression(), nullptr);
    EXPECT_EQ(diags, std::vector<std::string>{Msg(MSG_AND_ERWARTET, 3)});
}

TEST_F(ParserTest, LongChainsOfOperands) {
    std::string src = "a";
    for (int i = 0; i < 3000; ++i) src += i % 2 ? " OR b" : " OR c";
    src += ";";
    Source(src);
    ExprNode* t = ParseExpression();
    ASSERT_NE(t, nullptr);
    int depth = 0;
    for (const ExprNode* n = t; !n->is_leaf; n = Right(n)) ++depth;
    EXPECT_EQ(depth, 3000);
    EXPECT_EQ(Rest(), ";");
}

TEST_F(ParserTest, BracketNestingIsBounded) {
    auto nested = [](int depth) { return std::string(depth, '(') + "a OR b" + std::string(depth, ')') + ";"; };
    Source(nested(256));
    EXPECT_EQ(Tree(ParseExpression()), "OR(a,b)");
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(Rest(), ";");
    // One more level is refused, without exhausting the stack; a deep
    // source after it still parses (the depth count is back to zero).
    for (int depth : {257, 100000}) {
        diags.clear();
        Source(nested(depth));
        EXPECT_EQ(ParseExpression(), nullptr) << depth;
        ASSERT_FALSE(diags.empty());
        EXPECT_EQ(diags.front(), Msg(MSG_BAUMSPEICHER_UEBERLAUF, 0)) << depth;
    }
    diags.clear();
    Source(nested(256));
    EXPECT_EQ(Tree(ParseExpression()), "OR(a,b)");
    EXPECT_TRUE(diags.empty());
}

TEST_F(ParserTest, RestrictedGrammar) {
    Run({
            {"a AND NOT b;", "AND(a,NOT(b))", {}, ";"},
            {"E1 & -E2 AND x;", "AND(E1,AND(NOT(E2),x))", {}, ";"},
            {"NOT (a AND b);", "NOT(AND(a,b))", {}, ";"},
            {"-(a & b);", "NOT(AND(a,b))", {}, ";"},
            {"NOT a = 1;", "NOT(a)", {}, ";"},
            {"NOT x;", "NOT(x)", {}, ";"},
            {"x = 0 & a;", "AND(NOT(x),a)", {}, ";"},
            {"G = 5;", E(5), {}, ";"},
            {"NOT G = 5;", "NOT(" + E(5) + ")", {}, ";"},
            {"a b;", "a", {}, "b;"},
            {"NOT (a AND b;", "NOT(AND(a,b))", {MSG_KLAMMER_FEHLT}, ";"},
            {"a OR b;", "-", {MSG_EXTRA_KEIN_OR}, "OR b;"},
            {"a AND b XOR c;", "-", {MSG_EXTRA_KEIN_OR}, "XOR c;"},
            {"(a AND b);", "-", {MSG_BEZEICHNER_NICHT_KORREKT, MSG_BEZEICHNER_UNBEKANNT}, "(a AND b);"},
            {"G;", "-", {MSG_GRUPPE_VERGLEICH}, ";"},
            {"a ANY;", "-", {MSG_AND_ERWARTET}, "ANY;"},
            {"a AND u;", "-", {MSG_BEZEICHNER_UNBEKANNT}, ";"},
            {"x = 2;", "-", {MSG_KONSTANTE_ZU_LANG}, ";"},
        },
        ParseRestrictedExpression);
}

}  // namespace
