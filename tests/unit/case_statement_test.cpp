// CASE statements: label conditions, ELSE, keywords and recovery.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
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

// E(k) of the group K [A, B]: A is the high bit.
std::string K(int k) {
    std::string a = k & 2 ? "A" : "NOT(A)";
    std::string b = k & 1 ? "B" : "NOT(B)";
    return "AND(" + a + "," + b + ")";
}

struct CaseCase {
    const char* src;  // after the word CASE
    int result;
    std::vector<std::tuple<const char*, std::string, std::string>> terms;  // output, set, clear
    std::vector<std::pair<MessageId, int>> msgs;
    const char* rest;
};

class CaseStatementTest : public StatementFixture {
protected:
    void SetUp() override {
        StatementFixture::SetUp();
        Declare();
    }
    void Run(const std::vector<CaseCase>& cases) {
        for (const CaseCase& c : cases) {
            TearDown();
            SetUp();
            Source(c.src);
            EXPECT_EQ(CompileCase(), c.result) << c.src;
            std::vector<std::string> expect;
            for (auto& m : c.msgs) expect.push_back(Msg(m.first, m.second));
            EXPECT_EQ(diags, expect) << c.src;
            int records = 0;
            for (const OutputEquation* r = CS.EquationList; r; r = r->next) ++records;
            EXPECT_EQ(records, static_cast<int>(c.terms.size())) << c.src;
            for (auto& t : c.terms) {
                EXPECT_EQ(SetTerm(std::get<0>(t)), std::get<1>(t)) << c.src << " " << std::get<0>(t);
                EXPECT_EQ(ClearTerm(std::get<0>(t)), std::get<2>(t)) << c.src << " " << std::get<0>(t);
            }
            if (c.rest) {
                EXPECT_EQ(Rest(), c.rest) << c.src;
            }
            if (c.result == 1) {
                EXPECT_EQ(CS.CaseLabelList, nullptr) << c.src;
            }
        }
    }
    int Definition(const char* name) { return CS.DefinitionState[Sym(name) - CS.FirstUserSymbol]; }
};

TEST_F(CaseStatementTest, LabelAndElseConditions) {
    Run({
        {"K OF 0: Y := 1; 3: Y := 0; ELSE Z := 1; END_CASE;", 1,
         {{"Y", K(0), "NOT(" + K(3) + ")"}, {"Z", "NOT(OR(" + K(0) + "," + K(3) + "))", "-"}}, {}, ""},
        {"K OF 1, 2: Y := 1; END_CASE;", 1, {{"Y", "OR(" + K(1) + "," + K(2) + ")", "-"}}, {}, ""},
        {"K OF 1; 2: Y := 1; END_CASE;", 1, {{"Y", "OR(" + K(1) + "," + K(2) + ")", "-"}},
         {{MSG_TRENNZEICHEN_KOMMA, 1}}, ""},
        {"K OF 0, 1, 2: Y := 1; ELSE Y := 0; END_CASE;", 1,
         {{"Y", "OR(OR(" + K(0) + "," + K(1) + ")," + K(2) + ")",
           "NOT(NOT(OR(OR(" + K(0) + "," + K(1) + ")," + K(2) + ")))"}},
         {}, ""},
        {"K OF 2#10: Y := a; Z := b; 1: Y := c; END_CASE;", 1,
         {{"Y", "OR(AND(" + K(2) + ",a),AND(" + K(1) + ",c))", "-"}, {"Z", "AND(" + K(2) + ",b)", "-"}}, {}, ""},
        {"G OF 5: Y := 1; END_CASE;", 1, {{"Y", "AND(A,AND(NOT(B),C3))", "-"}}, {}, ""},
        {"a AND b OF 1: Y := 1; 0: Y := 0; END_CASE;", 1, {{"Y", "AND(a,b)", "NOT(NOT(AND(a,b)))"}}, {}, ""},
        {"x OF 1: Y := 1; ELSE Y := 0; END_CASE;", 1, {{"Y", "x", "NOT(NOT(x))"}}, {}, ""},
        {"K OF 1:\n Y := 1;\n 2: Z := 1;\nEND_CASE;", 1, {{"Y", K(1), "-"}, {"Z", K(2), "-"}}, {}, ""},
        // a label given twice: both branches, counted once for ELSE
        {"K OF 1: Y := 1; 1: Z := 1; ELSE Q := 1; END_CASE;", 1,
         {{"Y", K(1), "-"}, {"Z", K(1), "-"}, {"Q", "NOT(" + K(1) + ")", "-"}}, {{MSG_BEDINGUNG_BEREITS, 1}}, ""},
        {"K OF 1, 1: Y := 1; END_CASE;", 1, {{"Y", "OR(" + K(1) + "," + K(1) + ")", "-"}},
         {{MSG_BEDINGUNG_BEREITS, 1}}, ""},
    });
}

TEST_F(CaseStatementTest, IfInsideABranchIncludesTheLabelCondition) {
    Run({
        {"K OF 1: IF a THEN Y := 1; ELSE Y := 0; END_IF; Z := 1; END_CASE;", 1,
         {{"Y", "AND(" + K(1) + ",a)", "NOT(AND(NOT(a)," + K(1) + "))"}, {"Z", K(1), "-"}}, {}, ""},
        {"K OF 1: Y := 0; ELSE IF a THEN Z := 1; END_IF; END_CASE;", 1,
         {{"Y", "-", "NOT(" + K(1) + ")"}, {"Z", "AND(NOT(" + K(1) + "),a)", "-"}}, {}, ""},
    });
    EXPECT_EQ(Definition("Z"), 3);
    EXPECT_EQ(Definition("Y"), 3);
}

TEST_F(CaseStatementTest, ElseAfterEveryValue) {
    Run({
        {"K OF 0: Y := 1; 1: Y := 1; 2: Z := 1; 3: Z := 1; ELSE Q := 1; END_CASE;", 1,
         {{"Y", "OR(" + K(0) + "," + K(1) + ")", "-"}, {"Z", "OR(" + K(2) + "," + K(3) + ")", "-"}},
         {{MSG_ALLE_FAELLE, 1}}, ""},
        {"K OF 0, 1, 2, 3: Y := 1; ELSE Q := 1; END_CASE;", 1, {{"Y", "OR(OR(OR(" + K(0) + "," + K(1) + ")," +
                                                                     K(2) + ")," + K(3) + ")", "-"}},
         {{MSG_ALLE_FAELLE, 1}}, ""},
        {"x OF 0: Y := 1; 1: Z := 1; ELSE Q := 1; END_CASE;", 1, {{"Y", "NOT(x)", "-"}, {"Z", "x", "-"}},
         {{MSG_ALLE_FAELLE, 1}}, ""},
    });
}

TEST_F(CaseStatementTest, KeywordsAndRecovery) {
    Run({
        {"u OF 1: Y := 1; END_CASE; Z", 1, {}, {{MSG_UNBEKANNTE_VARIABLE, 1}}, " Z"},
        // the word END_CASE read as the selector is not seen by the skip
        {"END_CASE; Z", 1, {}, {{MSG_UNBEKANNTE_VARIABLE, 1}, {MSG_SEMIKOLON_FEHLT, 1}}, ""},
        {"a OR OF 1: Y := 1; END_CASE; Z", 1, {}, {{MSG_BEZEICHNER_UNBEKANNT, 1}}, " Z"},
        {"K 1: Y := 1; END_CASE;", 1, {}, {{MSG_BEZEICHNER_NICHT_KORREKT, 1}, {MSG_OF_FEHLT, 1}}, "; END_CASE;"},
        {"K OF 1 Y := 1; END_CASE;", 1, {}, {{MSG_DOPPELPUNKT_FEHLT, 1}}, "; END_CASE;"},
        {"a AND b OF 1, 0: Y := 1; END_CASE;", 1, {},
         {{MSG_BOOL_NUR_KONSTANTE, 1}, {MSG_DOPPELPUNKT_FEHLT, 1}}, ";"},
        {"K OF 1: Y := 1; ENDCASE; Z", 1, {{"Y", K(1), "-"}}, {{MSG_KW_END_CASE, 1}}, " Z"},
        {"K OF 1: Y := 1; END_IF;", 1, {{"Y", K(1), "-"}}, {{MSG_END_CASE_FEHLT, 1}, {MSG_SEMIKOLON_FEHLT, 1}},
         "END_IF;"},
        {"K OF 1: Y := 1; ELSE Z := 1; END_CASE", 1, {{"Y", K(1), "-"}, {"Z", "NOT(" + K(1) + ")", "-"}},
         {{MSG_SEMIKOLON_FEHLT, 1}}, ""},
        {"K OF 1: #NOMIN Y := 1; END_CASE;", 1, {}, {{MSG_END_CASE_FEHLT, 1}, {MSG_SEMIKOLON_FEHLT, 1}},
         "#NOMIN Y := 1; END_CASE;"},
        // labels that cannot be read end the compile like a lack of memory
        {"K OF ELSE Y := 1; END_CASE;", -1, {}, {{MSG_KONSTANTE_NICHT_KORREKT, 1}}, nullptr},
        {"K OF 4: Y := 1; END_CASE;", -1, {}, {{MSG_KONSTANTE_WERTEBEREICH, 1}}, nullptr},
        {"x OF 2: Y := 1; END_CASE;", -1, {}, {{MSG_KONSTANTE_ZU_LANG, 1}}, nullptr},
        {"K OF 1: Y := 1; 2x: Z := 1; END_CASE;", -1, {{"Y", K(1), "-"}}, {{MSG_KONSTANTE_NICHT_KORREKT, 1}},
         nullptr},
    });
}

TEST_F(CaseStatementTest, SourceEndingInsideTheStatement) {
    const char* sources[] = {"K", "K OF", "K OF 1:", "K OF 1: Y", "K OF 1: Y :=", "K OF 1: Y := 1;",
                             "K OF 1: Y := 1; ELSE", "K OF 1: IF", "a AND", "K OF 1: Y := 1; ELSE IF a THEN"};
    for (const char* s : sources) {
        TearDown();
        SetUp();
        Source(s);
        int r = CompileCase();
        EXPECT_TRUE(r == 1 || r == -1) << s;
        EXPECT_TRUE(SourceAtEnd() || Rest().empty()) << s;
        EXPECT_FALSE(diags.empty()) << s;
    }
}

}  // namespace
