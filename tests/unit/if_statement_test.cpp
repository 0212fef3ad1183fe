// IF statements: branch conditions, contributions, keywords and recovery.
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

struct IfCase {
    const char* src;  // after the word IF
    std::vector<std::tuple<const char*, const char*, const char*>> terms;  // output, set, clear
    std::vector<std::pair<MessageId, int>> msgs;
    const char* rest;
};

class IfStatementTest : public StatementFixture {
protected:
    void SetUp() override {
        StatementFixture::SetUp();
        Declare();
    }
    void Run(const std::vector<IfCase>& cases, const char* outer = nullptr) {
        for (const IfCase& c : cases) {
            TearDown();
            SetUp();
            Source(c.src);
            ExprNode* o = outer ? AttachSon(nullptr, "wurzel", nullptr, outer) : nullptr;
            EXPECT_EQ(CompileIf(o), 1) << c.src;
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
            EXPECT_EQ(Rest(), c.rest) << c.src;
            EXPECT_EQ(CS.IfConditionList, nullptr) << c.src;
            if (o) {
                EXPECT_EQ(o->mark, 'F') << c.src;
            }
        }
    }
    int Definition(const char* name) { return CS.DefinitionState[Sym(name) - CS.FirstUserSymbol]; }
};

TEST_F(IfStatementTest, BranchConditions) {
    Run({
        {"a THEN Y := 1; END_IF;", {{"Y", "a", "-"}}, {}, ""},
        {"a THEN Y := x; END_IF; Z", {{"Y", "AND(a,x)", "-"}}, {}, " Z"},
        {"a THEN Y := 0; END_IF;", {{"Y", "-", "NOT(a)"}}, {}, ""},
        {"a THEN Y := 1; ELSIF b THEN Y := 1; ELSE Y := 0; END_IF;",
         {{"Y", "OR(a,AND(NOT(a),b))", "NOT(AND(NOT(a),NOT(b)))"}}, {}, ""},
        {"a THEN Y := 1; ELSIF b THEN Y := 1; ELSIF c THEN Z := 1; ELSE Z := 0; END_IF;",
         {{"Y", "OR(a,AND(NOT(a),b))", "-"},
          {"Z", "AND(AND(NOT(a),NOT(b)),c)", "NOT(AND(AND(NOT(a),NOT(b)),NOT(c)))"}},
         {}, ""},
        {"a OR b THEN Y := c; ELSE Z := c; END_IF;",
         {{"Y", "AND(OR(a,b),c)", "-"}, {"Z", "AND(NOT(OR(a,b)),c)", "-"}}, {}, ""},
        {"a THEN Y := 1; Z := b; ELSE Y := 0; Z := NOT b; END_IF;",
         {{"Y", "a", "NOT(NOT(a))"}, {"Z", "OR(AND(a,b),AND(NOT(a),NOT(b)))", "-"}}, {}, ""},
        // repeated conditions are not compared
        {"a THEN Y := 1; ELSIF a THEN Z := 1; END_IF;", {{"Y", "a", "-"}, {"Z", "AND(NOT(a),a)", "-"}}, {}, ""},
        {"G = 5 THEN Y := 1; END_IF;",
         {{"Y", "AND(A,AND(NOT(B),C3))", "-"}}, {}, ""},
    });
}

TEST_F(IfStatementTest, InsideACaseBranchTheOuterConditionIsIncluded) {
    Run(
        {
            {"a THEN Y := 1; ELSE Y := 0; END_IF;", {{"Y", "AND(L,a)", "NOT(AND(NOT(a),L))"}}, {}, ""},
            {"a THEN Y := 1; ELSIF b THEN Z := x; END_IF;",
             {{"Y", "AND(L,a)", "-"}, {"Z", "AND(AND(L,AND(NOT(a),b)),x)", "-"}}, {}, ""},
        },
        "L");
    // ... and the assignments use statement kind 3.
    EXPECT_EQ(Definition("Z"), 3);
    EXPECT_EQ(Definition("Y"), 3);
    TearDown();
    SetUp();
    Source("a THEN Y := 1; END_IF;");
    EXPECT_EQ(CompileIf(nullptr), 1);
    EXPECT_EQ(Definition("Y"), 2);
}

TEST_F(IfStatementTest, KeywordsAndRecovery) {
    Run({
        // ELSEIF warns after its branch, on the line where the branch ended
        {"a THEN Y := 1; ELSEIF b THEN Z := 1;\nEND_IF;", {{"Y", "a", "-"}, {"Z", "AND(NOT(a),b)", "-"}},
         {{MSG_KW_ELSIF, 1}}, ""},
        {"a THEN Y := 1; ENDIF;", {{"Y", "a", "-"}}, {{MSG_KW_END_IF, 1}}, ""},
        {"a THEN Y := 1; end_if;", {{"Y", "a", "-"}}, {{MSG_END_IF_ERWARTET, 1}, {MSG_SEMIKOLON_FEHLT, 1}},
         "end_if;"},
        // no THEN: everything up to the next END_IF is skipped
        {"a Y := 1;\n Z := 1; END_IF; Q := 1;", {}, {{MSG_THEN_FEHLT, 1}}, " Q := 1;"},
        {"a then Y := 1; END_IF;", {}, {{MSG_THEN_FEHLT, 1}}, ""},
        // the skip does not know ENDIF
        {"a Y := 1; ENDIF; Q := 1; END_IF; Z", {}, {{MSG_THEN_FEHLT, 1}}, " Z"},
        {"a OR THEN Y := 1; END_IF; Z", {}, {{MSG_BEZEICHNER_UNBEKANNT, 1}}, " Z"},
        {"a THEN END_IF; Y := 1;", {},
         {{MSG_ZUWEISUNGSOPERATOR_NICHT_GEFUNDEN, 1}, {MSG_END_IF_ERWARTET, 1}, {MSG_SEMIKOLON_FEHLT, 1}},
         "Y := 1;"},
        // IF after an assignment ends the body; the outer IF misses its END_IF
        {"a THEN Y := 1; IF b THEN Z := 1; END_IF; END_IF;", {{"Y", "a", "-"}},
         {{MSG_END_IF_ERWARTET, 1}, {MSG_SEMIKOLON_FEHLT, 1}}, "IF b THEN Z := 1; END_IF; END_IF;"},
        {"a THEN IF b THEN Z := 1; END_IF;", {},
         {{MSG_ZUWEISUNGSOPERATOR_NICHT_GEFUNDEN, 1}, {MSG_END_IF_ERWARTET, 1}, {MSG_SEMIKOLON_FEHLT, 1}},
         "THEN Z := 1; END_IF;"},
        // the source ends after THEN
        {"a THEN", {}, {{MSG_END_IF_ERWARTET, 1}, {MSG_SEMIKOLON_FEHLT, 1}}, ""},
        // the end-of-body test and the word after the body both meet the end
        {"a THEN Y := 1;", {{"Y", "a", "-"}},
         {{MSG_BEZEICHNER_NICHT_KORREKT, 1}, {MSG_BEZEICHNER_NICHT_KORREKT, 1}, {MSG_END_IF_ERWARTET, 1},
          {MSG_SEMIKOLON_FEHLT, 1}},
         ""},
        // ELSIF without THEN: skipped past its next ";"
        {"a THEN Y := 1; ELSIF b Z := 1; END_IF;", {{"Y", "a", "-"}}, {{MSG_THEN_FEHLT, 1}}, ""},
        {"a THEN Y := 1; ELSIF", {{"Y", "a", "-"}}, {{MSG_END_IF_ERWARTET, 1}, {MSG_SEMIKOLON_FEHLT, 1}}, ""},
        {"a THEN Y := 1; ELSIF u THEN Z := 1; END_IF;", {{"Y", "a", "-"}},
         {{MSG_BEZEICHNER_UNBEKANNT, 1}, {MSG_END_IF_ERWARTET, 1}, {MSG_SEMIKOLON_FEHLT, 1}}, "THEN Z := 1; END_IF;"},
        // an error in an ELSIF body: the next variable word starts a further condition
        {"a THEN Y := 1; ELSIF b THEN Z a x c THEN Q := 1; END_IF;",
         {{"Y", "a", "-"}, {"Q", "AND(NOT(a),c)", "-"}},
         {{MSG_ZUWEISUNGSOPERATOR_NICHT_GEFUNDEN, 1}}, ""},
    });
}

TEST_F(IfStatementTest, LineNumbersFollowTheSource) {
    Source("a\nTHEN\n Y := 1;\nELSEIF b\nTHEN Z := 1;\nENDIF;\nQ");
    EXPECT_EQ(CompileIf(nullptr), 1);
    EXPECT_EQ(diags, (std::vector<std::string>{Msg(MSG_KW_ELSIF, 5), Msg(MSG_KW_END_IF, 6)}));
    EXPECT_EQ(CS.LineNumber, 6);
    EXPECT_EQ(Rest(), "\nQ");
}

TEST_F(IfStatementTest, RememberConditionAppendsAndCaseLabelsRefuseRepeats) {
    auto leaf = [](const char* n) { return AttachSon(nullptr, "wurzel", nullptr, n); };
    EXPECT_EQ(RememberCondition(leaf("a"), &CS.IfConditionList), 1);
    EXPECT_EQ(RememberCondition(leaf("a"), &CS.IfConditionList), 1);
    EXPECT_EQ(RememberCondition(leaf("b"), &CS.IfConditionList), 1);
    std::string order;
    for (ConditionElement* e = CS.IfConditionList; e; e = e->next) order += Tree(e->tree);
    EXPECT_EQ(order, "aab");
    EXPECT_TRUE(diags.empty());

    EXPECT_EQ(RememberCondition(leaf("a"), &CS.CaseLabelList), 1);
    ExprNode* again = leaf("a");
    EXPECT_EQ(RememberCondition(again, &CS.CaseLabelList), 0);
    EXPECT_EQ(again->mark, 'F');
    EXPECT_EQ(diags, std::vector<std::string>{Msg(MSG_BEDINGUNG_BEREITS, 1)});

    long before = WorkMemoryOutstandingBlocks();
    WorkMemoryResetCounters();
    WorkMemoryFailAt(1);
    EXPECT_EQ(RememberCondition(leaf("z"), &CS.IfConditionList), -1);
    WorkMemoryResetCounters();
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before);
    EXPECT_EQ(diags.back(), Msg(MSG_SPEICHER_VOLL, 0));
    ReleaseConditionList(&CS.IfConditionList);
    ReleaseConditionList(&CS.CaseLabelList);
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before - 4);
}

}  // namespace
