// Covers written and read as text for the minimizer tests: '1' a positive
// literal, '0' a negative one, '-' absent; and a test base that checks every
// work-memory block is given back.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/front/driver.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/cubes.h"
#include "compiler/statements/expr_tree.h"

// A compile context for trees and covers (tree_to_cover_test.cpp).
namespace logic_test {
// A fresh compile context: the node pool, the reserved words and the given
// variables in declaration order.
void SetUpCompile(const std::vector<std::string>& vars);
void TearDownCompile();
// A tree from an expression text over the variables.
ExprNode* Tree(const char* text);
std::string CubeText(Cover c, int row, int width);
std::vector<std::string> CoverText(Cover c, int last, int width);
}  // namespace logic_test

namespace cover_test {

using Cubes = std::vector<std::string>;

inline int Code(char ch) { return ch == '1' ? CODE_POS : ch == '0' ? CODE_NEG : CODE_ABSENT; }

// The cubes in slots 0..m-1 of a cover of m + spare slots with `extra`
// columns after the n = text width variable positions.
inline Cover FromText(const Cubes& cubes, int spare = 0, int extra = 0) {
    const int n = int(cubes[0].size());
    const int m = int(cubes.size());
    const int slots = m + spare;
    Cover c = AllocCover(slots, extra, n);
    for (int r = 0; r < m; ++r) {
        c[r] = CubeAddress(c, slots, r, extra, n);
        for (int p = 0; p < n; ++p) SetCode(c, r, p, Code(cubes[size_t(r)][size_t(p)]));
    }
    return c;
}

// One cube's codes ('?' for a code 2 or a constant marker).
inline std::string CubeCodes(Cover c, int r, int n) {
    std::string s;
    for (int p = 0; p < n; ++p) {
        int k = GetCode(c, r, p);
        s += k == CODE_POS ? '1' : k == CODE_NEG ? '0' : k == CODE_ABSENT ? '-' : '?';
    }
    return s;
}

// Every slot 0..last: "x" for a dropped pointer, else the codes.
inline Cubes Dump(Cover c, int last, int n) {
    Cubes out;
    for (int r = 0; r <= last; ++r) out.push_back(c[r] ? CubeCodes(c, r, n) : "x");
    return out;
}

// The live cubes in slot order (slot 0 only with a literal).
inline Cubes Live(Cover c, int last, int n) {
    Cubes out;
    for (int r = 0; r <= last; ++r)
        if (SlotLive(c, r, n)) out.push_back(CubeCodes(c, r, n));
    return out;
}

// Fails a test that leaves a work-memory block behind.
class BlocksTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorkMemoryResetCounters();
        blocks_ = WorkMemoryOutstandingBlocks();
    }
    void TearDown() override {
        WorkMemoryResetCounters();
        EXPECT_EQ(WorkMemoryOutstandingBlocks(), blocks_);
    }
    long blocks_ = 0;
};

// The same around a compile context with the variables of Variables() (a,
// b, c and the output y); the minimization level and flag are restored
// afterwards.
class CompileBlocksTest : public BlocksTest {
protected:
    virtual std::vector<std::string> Variables() const { return {"a", "b", "c", "y"}; }
    void SetUp() override {
        BlocksTest::SetUp();
        savedLevel_ = MinLevel;
        logic_test::SetUpCompile(Variables());
    }
    void TearDown() override {
        MinLevel = savedLevel_;
        CS.MinimizeFlag = 1;
        logic_test::TearDownCompile();
        BlocksTest::TearDown();
    }
    int savedLevel_ = 0;
};

}  // namespace cover_test
