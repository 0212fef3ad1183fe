// Minimization driver: the level and #NOMIN decision, the polarity choice,
// constants, the variable limit, and the failure path of every allocation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/logic/minimize.h"
#include "compiler/statements/expr_tree.h"
#include "cover_fixture.h"

namespace {

using Cubes = std::vector<std::string>;

// The live cubes of the result in slot order (markers read '7' or '5').
Cubes LiveText(Cover c, int last, int n) {
    Cubes out;
    for (int r = 0; r <= last; ++r)
        if (SlotLive(c, r, n)) out.push_back(logic_test::CubeText(c, r, n));
    return out;
}

class MinimizeTest : public cover_test::CompileBlocksTest {
protected:
    // Minimizes one tree; the result's live cubes, Polarity in *polarity.
    Cubes Run(int level, int flag, const char* text, int* polarity) {
        MinLevel = level;
        CS.MinimizeFlag = flag;
        Polarity = 0;
        Cover c = nullptr;
        int last = -1;
        EXPECT_EQ(MinimizeEquation(logic_test::Tree(text), &c, &last), 1) << text;
        *polarity = Polarity;
        Cubes out = c ? LiveText(c, last, 4) : Cubes{};
        FreeCover(c);
        return out;
    }
};

TEST_F(MinimizeTest, LevelsAndPolarity) {
    struct Case { int level; int flag; const char* text; Cubes cubes; int polarity; } cases[] = {
        {NOMIN, 1, "a ^ b", {"01--", "10--"}, 1},
        {NOMIN, 1, "!((a | b) & c)", {"011-", "101-", "111-"}, 3},
        {NOMIN, 1, "a | b", {"1---", "-1--"}, 1},                  // symbolic, never complemented
        {NOMIN, 1, "!(a | b | c)", {"000-"}, 1},                   // on 1 < off 7
        {STRONGMIN, 1, "a | b", {"00--"}, 3},
        {ESPRESSO, 1, "a | b", {"1---", "-1--"}, 1},
        {STRONGMIN, 1, "(a | b) & c", {"-11-", "1-1-"}, 1},
        {ESPRESSO, 1, "(a | b) & c", {"-11-", "1-1-"}, 1},
        {STRONGMIN, 1, "a & b | c", {"11--", "--1-"}, 1},
        {ESPRESSO, 1, "a & b | c", {"11--", "--1-"}, 1},          // symbolic and unate: unchanged
        {ESPRESSO, 1, "(a & b | c) & 1", {"--1-", "11--"}, 1},    // truth table
        {ESPRESSO, 1, "a & b | a", {"1---"}, 1},
        {ESPRESSO, 1, "a ^ b", {"10--", "01--"}, 1},
        // true except on 000 and 111: three on-set terms, two off-set terms
        {STRONGMIN, 1, "(a | b | c) & !(a & b & c)", {"000-", "111-"}, 3},
        // inside #NOMIN every level behaves like NOMIN
        {STRONGMIN, 0, "a ^ b", {"01--", "10--"}, 1},
        {STRONGMIN, 0, "!((a | b) & c)", {"011-", "101-", "111-"}, 3},
        {ESPRESSO, 0, "a & b | a", {"11--", "1---"}, 1},
    };
    for (auto& c : cases) {
        int polarity = 0;
        EXPECT_EQ(Run(c.level, c.flag, c.text, &polarity), c.cubes) << c.level << " " << c.text;
        EXPECT_EQ(polarity, c.polarity) << c.level << " " << c.text;
    }
}

TEST_F(MinimizeTest, ConstantsAtEveryLevel) {
    struct Case { int level; const char* text; Cubes cubes; } cases[] = {
        {STRONGMIN, "a | !a", {"7777"}},
        {ESPRESSO, "a | !a", {"7777"}},          // symbolic a, NOT a simplifies to the empty cube
        {NOMIN, "a | !a", {"1---", "0---"}},
        {NOMIN, "(a | !a) & 1", {"7777"}},       // not a sum of products: truth table
        {NOMIN, "!(a & !a)", {"7777"}},           // truth table without off-set
        {STRONGMIN, "1", {"7777"}},
        {STRONGMIN, "0", {"5555"}},
        {ESPRESSO, "0", {"5555"}},
        {NOMIN, "0", {"5555"}},
        {STRONGMIN, "a & !a", {"5555"}},
        {ESPRESSO, "a ^ a", {"5555"}},
    };
    for (auto& c : cases) {
        int polarity = 0;
        EXPECT_EQ(Run(c.level, 1, c.text, &polarity), c.cubes) << c.level << " " << c.text;
        EXPECT_EQ(polarity, 1) << c.level << " " << c.text;
    }
}

class MinimizeWideTest : public MinimizeTest {
protected:
    std::vector<std::string> Variables() const override {
        std::vector<std::string> vars;
        for (int i = 0; i < 20; ++i) vars.push_back("v" + std::to_string(i));
        return vars;
    }
    void SetUp() override {
        MinimizeTest::SetUp();
        CS.ErrorCount = 0;
    }
};

// 19 variables give the constant zero with the message and leave Polarity
// alone; 18 are converted.
TEST_F(MinimizeWideTest, VariableLimit) {
    std::string text18 = "!(v0";
    for (int i = 1; i < 18; ++i) text18 += " | v" + std::to_string(i);
    text18 += ")";
    std::string text19 = text18.substr(0, text18.size() - 1) + " | v18)";
    for (int level : {NOMIN, STRONGMIN, ESPRESSO}) {
        MinLevel = level;
        Polarity = 3;
        int errors = CS.ErrorCount;
        Cover c = nullptr;
        int last = -1;
        ASSERT_EQ(MinimizeEquation(logic_test::Tree(text19.c_str()), &c, &last), 1);
        EXPECT_EQ(last, 0);
        EXPECT_EQ(GetCode(c, 0, 0), MARK_ZERO);
        EXPECT_EQ(Polarity, 3);
        EXPECT_EQ(CS.ErrorCount, errors + 1);
        FreeCover(c);
    }
    MinLevel = NOMIN;
    Cover c = nullptr;
    int last = -1;
    int errors = CS.ErrorCount;
    ASSERT_EQ(MinimizeEquation(logic_test::Tree(text18.c_str()), &c, &last), 1);
    EXPECT_EQ(CS.ErrorCount, errors);
    ASSERT_EQ(last, 0);   // the on-set: one row of 18 negative literals
    EXPECT_EQ(Polarity, 1);
    EXPECT_EQ(logic_test::CubeText(c, 0, 20), "000000000000000000--");
    FreeCover(c);
}

// Parity over 18 variables under STRONGMIN: every one of the 2^17 rows of
// each side is a prime. The written layout would need covers far beyond any
// memory, so the reference fails as out of memory and nothing overflows; the
// packed version gets the whole sum of minterms.
TEST_F(MinimizeWideTest, HugeCompleteMinimization) {
    std::string text = "v0";
    for (int i = 1; i < 18; ++i) text += " ^ v" + std::to_string(i);
    MinLevel = STRONGMIN;
    {
        UseReferenceAlgorithms = 1;
        int errors = CS.ErrorCount;
        Cover c = nullptr;
        int last = -1;
        EXPECT_EQ(MinimizeEquation(logic_test::Tree(text.c_str()), &c, &last), -1);
        UseReferenceAlgorithms = 0;
        EXPECT_EQ(c, nullptr);
        EXPECT_EQ(CS.ErrorCount, errors + 3);   // AllocWork, AllocCover, the driver
    }
    int errors = CS.ErrorCount;
    Cover c = nullptr;
    int last = -1;
    ASSERT_EQ(MinimizeEquation(logic_test::Tree(text.c_str()), &c, &last), 1);
    EXPECT_EQ(CS.ErrorCount, errors);
    ASSERT_EQ(LiveCubeCount(c, last, 20), 1 << 17);
    // Rows in ascending order, each with all 18 literals, an odd number of them positive.
    int previous = -1;
    for (int r = 0; r <= last; ++r) {
        int value = 0, ones = 0;
        for (int p = 0; p < 18; ++p) {
            int code = GetCode(c, r, p);
            ASSERT_TRUE(code == CODE_POS || code == CODE_NEG) << r << " " << p;
            value = value * 2 + (code == CODE_POS);
            ones += code == CODE_POS;
        }
        EXPECT_EQ(ones % 2, 1) << r;
        EXPECT_GT(value, previous);
        previous = value;
    }
    FreeCover(c);
}

// Every allocation refused in turn, at each level: the equation fails with
// everything given back, or succeeds with the ordinary result.
TEST_F(MinimizeTest, EveryRefusedAllocationFailsCleanly) {
    const long pool = WorkMemoryOutstandingBlocks();
    struct Case { int level; const char* text; Cubes cubes; } cases[] = {
        {STRONGMIN, "a & b | c", {"11--", "--1-"}},
        {ESPRESSO, "(a & b | c) & 1", {"--1-", "11--"}},
        {ESPRESSO, "(a | b) & c", {"-11-", "1-1-"}},
        {NOMIN, "a ^ b", {"01--", "10--"}},
        {ESPRESSO, "a & b | a", {"1---"}},
    };
    for (auto& cs : cases) {
        MinLevel = cs.level;
        for (long k = 1;; ++k) {
            ExprNode* t = logic_test::Tree(cs.text);
            int errors = CS.ErrorCount;
            WorkMemoryResetCounters();
            WorkMemoryFailAt(k);
            Cover c = nullptr;
            int last = -1;
            int got = MinimizeEquation(t, &c, &last);
            long requests = WorkMemoryRequestCount();
            WorkMemoryResetCounters();
            if (k > requests) {
                ASSERT_EQ(got, 1);
                EXPECT_EQ(LiveText(c, last, 4), cs.cubes) << cs.text;
                FreeCover(c);
                break;
            }
            EXPECT_EQ(got, -1) << cs.level << " " << cs.text << " " << k;
            EXPECT_EQ(c, nullptr);
            EXPECT_GT(CS.ErrorCount, errors);
            EXPECT_EQ(WorkMemoryOutstandingBlocks(), pool) << cs.level << " " << cs.text << " " << k;
        }
        // the tree was released every time: the pool holds no handed-out node
        int handedOut = 0;
        for (int i = 0; i < NodePoolHighWater; ++i) handedOut += NodePool[i].mark == 'T';
        EXPECT_EQ(handedOut, 0) << cs.text;
    }
}

}  // namespace
