// The Espresso option: splitting, cofactors, merging, unate clean-up, and the
// failure path of every allocation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/front/driver.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/espresso.h"
#include "cover_fixture.h"

namespace {

using cover_test::Cubes;
using cover_test::Dump;

using cover_test::FromText;

class EspressoTest : public cover_test::BlocksTest {
protected:
    Cubes Run(const Cubes& in, int* lastOut = nullptr) {
        int n = int(in[0].size());
        Cover c = FromText(in);
        int last = Simplify(int(in.size()) - 1, n, &c);
        if (lastOut) *lastOut = last;
        Cubes out = last >= 0 ? Dump(c, last, n) : Cubes{};
        FreeCover(c);
        return out;
    }
};

// The worked examples: on-set and off-set of y := a AND b OR c (position 3 is
// y, absent everywhere), and the on-set of a XOR b.
TEST_F(EspressoTest, WorkedExamples) {
    struct Case { Cubes in, out; } cases[] = {
        {{"001-", "011-", "101-", "110-", "111-"}, {"--1-", "11--"}},
        {{"000-", "010-", "100-"}, {"-00-", "0-0-"}},
        {{"01-", "10-"}, {"10-", "01-"}},
    };
    for (auto& c : cases) EXPECT_EQ(Run(c.in), c.out) << c.in[0];
}

TEST_F(EspressoTest, EdgeCasesOfTheMethod) {
    struct Case { Cubes in, out; } cases[] = {
        {{"11", "1-"}, {"x", "1-"}},              // unate: only contained cubes go
        {{"11", "10"}, {"1-"}},                   // a·b + a·NOT b = a
        {{"1", "0"}, {"-"}},                      // a + NOT a: the empty cube
        // a wins a three-way tie; the merge would need four cubes: unchanged
        {{"01-", "-01", "1-0"}, {"01-", "-01", "1-0"}},
        {{"1-", "1-"}, {"1-", "x"}},              // an equal later cube is dropped
        {{"-1", "1-", "11"}, {"-1", "1-", "x"}},
    };
    for (auto& c : cases) EXPECT_EQ(Run(c.in), c.out) << c.in[0] << " " << c.in.size();
}

TEST_F(EspressoTest, EmptyCoverFails) {
    Cover c = FromText({"1"});
    EXPECT_EQ(Simplify(-1, 1, &c), -1);
    FreeCover(c);
}

TEST_F(EspressoTest, MostBinateVariablePrefersLargestSumThenLowestPosition) {
    struct Case { Cubes in; int v; } cases[] = {
        {{"11-", "1-1"}, -1},                     // unate
        {{"1-1", "0-0", "--1"}, 2},               // c: 3 occurrences, a: 2
        {{"10", "01"}, 0},                        // tie
        {{"-10", "-01", "1--", "0--"}, 0},        // three-way tie: a
        {{"-10", "-01", "-1-", "1--", "0--"}, 1}, // b: 3, a and c: 2
    };
    for (auto& c : cases) {
        int n = int(c.in[0].size());
        Cover cv = FromText(c.in);
        EXPECT_EQ(MostBinateVariable(cv, int(c.in.size()) - 1, n), c.v) << c.in[0];
        FreeCover(cv);
    }
    // deleted slots do not count
    Cover cv = FromText({"1-", "0-", "-1", "-0", "-1"});
    cv[1] = nullptr;
    EXPECT_EQ(MostBinateVariable(cv, 4, 2), 1);
    FreeCover(cv);
}

TEST_F(EspressoTest, CofactorsKeepOrderAndDropTheVariable) {
    Cover c = FromText({"1-0", "-11", "0-1", "111"});
    c[3] = nullptr;
    int last = 0;
    Cover pos = Cofactor(CODE_POS, c, 3, 3, 0, &last);
    EXPECT_EQ(Dump(pos, last, 3), (Cubes{"--0", "-11"}));
    Cover neg = Cofactor(CODE_NEG, c, 3, 3, 0, &last);
    EXPECT_EQ(Dump(neg, last, 3), (Cubes{"-11", "--1"}));
    Cover none = Cofactor(CODE_NEG, c, 0, 3, 0, &last);
    EXPECT_EQ(last, -1);
    FreeCover(pos);
    FreeCover(neg);
    FreeCover(none);
    FreeCover(c);
}

TEST_F(EspressoTest, MergeLiftsInScanOrder) {
    // c1 = {b, c, b·c}, c0 = {b, b·c}, split variable a (position 0):
    // b equals b (lifted once, both dropped), c contains c0's b·c (that one is
    // lifted and dropped, c stays), so c and b·c of c1 get a.
    Cover c1 = FromText({"-1-", "--1", "-11"});
    Cover c0 = FromText({"-1-", "-11"});
    int lastG = 0;
    Cover g = MergeCofactors(c1, 2, c0, 1, 0, 3, &lastG);
    EXPECT_EQ(Dump(g, lastG, 3), (Cubes{"-1-", "-11", "1-1", "111"}));
    FreeCover(g);
    FreeCover(c1);
    FreeCover(c0);
}

// Every allocation refused in turn: the call fails with the cover untouched
// and holds nothing, or it succeeds with the ordinary result.
TEST_F(EspressoTest, EveryRefusedAllocationFailsCleanly) {
    const Cubes in = {"001-", "011-", "101-", "110-", "111-"};
    const Cubes want = {"--1-", "11--"};
    for (long k = 1;; ++k) {
        Cover c = FromText(in);
        long held = WorkMemoryOutstandingBlocks();
        WorkMemoryResetCounters();
        WorkMemoryFailAt(k);
        int last = Simplify(4, 4, &c);
        long requests = WorkMemoryRequestCount();
        WorkMemoryResetCounters();
        EXPECT_EQ(WorkMemoryOutstandingBlocks(), held) << k;
        if (k > requests) {
            EXPECT_EQ(Dump(c, last, 4), want);
            FreeCover(c);
            break;
        }
        EXPECT_EQ(last, -1) << k;
        EXPECT_EQ(Dump(c, 4, 4), in) << k;
        FreeCover(c);
    }
}

}  // namespace
