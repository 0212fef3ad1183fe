// The per-output equation list.
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

class EquationListTest : public StatementFixture {
protected:
    void SetUp() override {
        StatementFixture::SetUp();
        Declare();
    }
    ExprNode* L(const char* n) { return AttachSon(nullptr, "wurzel", nullptr, n); }
    std::vector<std::string> Names() {
        std::vector<std::string> v;
        for (const OutputEquation* r = CS.EquationList; r; r = r->next) v.push_back(r->name);
        return v;
    }
};

TEST_F(EquationListTest, ContributionsNestToTheLeft) {
    EXPECT_EQ(AddContribution(L("t1"), "Y", SLOT_SET), 1);
    EXPECT_EQ(SetTerm("Y"), "t1");
    EXPECT_EQ(ClearTerm("Y"), "-");
    EXPECT_EQ(AddContribution(L("t2"), "Y", SLOT_SET), 1);
    EXPECT_EQ(AddContribution(L("t3"), "Y", SLOT_SET), 1);
    EXPECT_EQ(SetTerm("Y"), "OR(OR(t1,t2),t3)");
    EXPECT_EQ(AddContribution(L("p"), "Y", SLOT_CLEAR), 1);
    EXPECT_EQ(AddContribution(L("q"), "Y", SLOT_CLEAR), 1);
    EXPECT_EQ(ClearTerm("Y"), "AND(p,q)");
    // Any slot other than 1 is the clear slot.
    EXPECT_EQ(AddContribution(L("r"), "Z", 2), 1);
    EXPECT_EQ(SetTerm("Z"), "-");
    EXPECT_EQ(ClearTerm("Z"), "r");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Y", "Z"}));
}

TEST_F(EquationListTest, OneRecordPerNameInOrderOfFirstContribution) {
    struct Step {
        const char* name;
        int slot;
    } steps[] = {{"Z", SLOT_SET}, {"Y", SLOT_CLEAR}, {"Z", SLOT_CLEAR}, {"y", SLOT_SET}, {"Q", SLOT_SET}, {"Y", SLOT_SET}};
    for (const Step& s : steps) EXPECT_EQ(AddContribution(L("t"), s.name, s.slot), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Z", "Y", "y", "Q"}));
    EXPECT_EQ(SetTerm("Z"), "t");
    EXPECT_EQ(ClearTerm("Z"), "t");
    EXPECT_EQ(SetTerm("y"), "t");
    EXPECT_EQ(ClearTerm("y"), "-");
}

TEST_F(EquationListTest, NoMemoryForARecord) {
    ASSERT_EQ(AddContribution(L("t"), "Y", SLOT_SET), 1);
    long before = WorkMemoryOutstandingBlocks();
    WorkMemoryResetCounters();
    WorkMemoryFailAt(1);
    EXPECT_EQ(AddContribution(L("u"), "Z", SLOT_SET), -1);
    WorkMemoryResetCounters();
    EXPECT_EQ(diags, (std::vector<std::string>{Msg(MSG_SPEICHER_VOLL, 0), Msg(MSG_SPEICHER_VOLL, 0)}));
    EXPECT_EQ(Names(), std::vector<std::string>{"Y"});
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before);
}

TEST_F(EquationListTest, NoNodeToJoinLosesTheTerm) {
    ASSERT_EQ(AddContribution(L("t"), "Y", SLOT_SET), 1);
    ExprNode* u = L("u");
    int saved = NodePoolCapacity;
    NodePoolCapacity = 0;
    int r = AddContribution(u, "Y", SLOT_SET);
    NodePoolCapacity = saved;
    EXPECT_EQ(r, -1);
    EXPECT_EQ(diags, std::vector<std::string>{Msg(MSG_SPEICHER_VOLL, 0)});
    EXPECT_EQ(SetTerm("Y"), "-");
}

TEST_F(EquationListTest, ReleaseGivesEveryRecordBack) {
    long before = WorkMemoryOutstandingBlocks();
    for (const char* n : {"Y", "Z", "Q"}) AddContribution(L("t"), n, SLOT_SET);
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before + 3);
    ReleaseEquationList();
    EXPECT_EQ(CS.EquationList, nullptr);
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before);
    ReleaseEquationList();  // an empty list
}

TEST_F(EquationListTest, IfStatementsFileTheirContributions) {
    struct Case {
        const char* src;  // after the word IF
        const char* set;
        const char* clear;
    } cases[] = {
        {"c THEN Y := e; END_IF;", "AND(c,e)", "-"},
        {"c THEN Y := 0; END_IF;", "-", "NOT(c)"},
        {"c THEN Y := 1; ELSE Y := 0; END_IF;", "c", "NOT(NOT(c))"},
    };
    for (const Case& cs : cases) {
        TearDown();
        SetUp();
        Var("e", KIND_INPUT);
        Source(cs.src);
        ASSERT_EQ(CompileIf(nullptr), 1) << cs.src;
        EXPECT_EQ(SetTerm("Y"), cs.set) << cs.src;
        EXPECT_EQ(ClearTerm("Y"), cs.clear) << cs.src;
        EXPECT_EQ(Names(), std::vector<std::string>{"Y"});
        EXPECT_TRUE(diags.empty()) << cs.src;
    }
    // Two IF statements assigning Y: one record, the OR of both.
    TearDown();
    SetUp();
    Source("a THEN Y := b; END_IF; IF c THEN Y := x; END_IF;");
    ASSERT_EQ(CompileIf(nullptr), 1);
    char w[kTokenBufferSize];
    ASSERT_TRUE(ReadIdentifier(w));
    ASSERT_EQ(CompileIf(nullptr), 1);
    EXPECT_EQ(SetTerm("Y"), "OR(AND(a,b),AND(c,x))");
}

}  // namespace
