// Tree to cover conversion: the sum-of-products test, symbolic terms, truth
// tables and their row order. Also defines the small helpers that the other
// tests of the equation pipeline share (declared where they are used).
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "compiler/front/driver.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/tree_to_cover.h"
#include "compiler/statements/expr_tree.h"
#include "cover_fixture.h"

namespace logic_test {

// A fresh compile context: the node pool, the reserved words and the given
// variables in declaration order.
void SetUpCompile(const std::vector<std::string>& vars) {
    if (!NodePool) {
        ASSERT_EQ(ReserveNodePool(), 1);
    }
    ASSERT_EQ(InitSymbolTable(), 1);
    for (const auto& v : vars) ASSERT_EQ(InsertSymbol(v.c_str(), KIND_INPUT, 0, nullptr), 1);
    CS.MinimizeFlag = 1;
}

void TearDownCompile() { ReleaseNodePool(); }

namespace {
// Trees from a small text: '|' OR, '^' XOR, '&' AND, '!' NOT, 1 and 0 the
// constants, parentheses; binary operators bind to the left.
struct TreeText {
    const char* p;
    void Skip() {
        while (*p == ' ') ++p;
    }
    ExprNode* Leaf(int kind) {
        ExprNode* n = AllocNode();
        n->is_leaf = 1;
        n->op.kind = kind;
        n->op.left = n->op.right = 0;
        return n;
    }
    ExprNode* Unary() {
        Skip();
        if (*p == '!') {
            ++p;
            return MakeOperator(Unary(), nullptr, EXPR_NOT);
        }
        if (*p == '(') {
            ++p;
            ExprNode* e = Or();
            Skip();
            ++p;  // ')'
            return e;
        }
        if (*p == '1' || *p == '0') return Leaf(*p++ == '1' ? EXPR_ONE : EXPR_ZERO);
        std::string name;
        while (std::isalnum(static_cast<unsigned char>(*p)) || *p == '_') name += *p++;
        return AttachSon(nullptr, "wurzel", nullptr, name.c_str());
    }
    ExprNode* Binary(int level) {
        static const char ops[3] = {'|', '^', '&'};
        static const int kinds[3] = {EXPR_OR, EXPR_XOR, EXPR_AND};
        ExprNode* left = level == 3 ? Unary() : Binary(level + 1);
        if (level == 3) return left;
        for (;;) {
            Skip();
            if (*p != ops[level]) return left;
            ++p;
            left = MakeOperator(left, Binary(level + 1), kinds[level]);
        }
    }
    ExprNode* Or() { return Binary(0); }
};
}  // namespace

ExprNode* Tree(const char* text) {
    TreeText t{text};
    return t.Or();
}

// The codes of positions 0..width-1 of one slot: '1', '0', '-', or the
// marker digits '7' and '5'; "x" for a slot without pointer.
std::string CubeText(Cover c, int row, int width) {
    if (!c[row]) return "x";
    std::string s;
    for (int p = 0; p < width; ++p) {
        int k = GetCode(c, row, p);
        s += k == CODE_POS ? '1' : k == CODE_NEG ? '0' : k == CODE_ABSENT ? '-' : char('0' + k);
    }
    return s;
}

std::vector<std::string> CoverText(Cover c, int last, int width) {
    std::vector<std::string> out;
    for (int r = 0; r <= last; ++r) out.push_back(CubeText(c, r, width));
    return out;
}

}  // namespace logic_test

namespace {

using logic_test::CoverText;
using logic_test::Tree;
using Cubes = std::vector<std::string>;

class TreeToCoverTest : public cover_test::CompileBlocksTest {
protected:
    // Converts like the driver: collect, then convert. Width 4 shows the
    // variables, 5 also the value column of a truth table.
    ConversionResult Convert(const char* text, int* nUsedOut = nullptr) {
        ExprNode* t = Tree(text);
        int marks[4] = {0, 0, 0, 0};
        CollectVariables(t, marks);
        int nUsed = marks[0] + marks[1] + marks[2] + marks[3];
        if (nUsedOut) *nUsedOut = nUsed;
        ConversionResult r;
        EXPECT_EQ(ConvertTree(t, marks, nUsed, 4, &r), 1) << text;
        ReleaseTree(t);
        return r;
    }
};

TEST_F(TreeToCoverTest, SumOfProductsShape) {
    struct Case { const char* text; int sop; int terms; } cases[] = {
        {"a & !b | c", 1, 2},
        {"(a | b) & c", 0, 1},
        {"a ^ b", 0, 1},
        {"!(a & b)", 0, 1},
        {"!a", 1, 1},
        {"a | (b | c) | a & b", 1, 4},
        {"(a & b) & (c & !a)", 1, 1},
        {"1", 1, 1},
        {"a & (b & (c | a))", 0, 1},
    };
    for (auto& c : cases) {
        ExprNode* t = Tree(c.text);
        EXPECT_EQ(IsSumOfProducts(t), c.sop) << c.text;
        if (c.sop) {
            EXPECT_EQ(CountProductTerms(t), c.terms) << c.text;
        }
        ReleaseTree(t);
    }
    EXPECT_EQ(IsSumOfProducts(nullptr), 1);
}

// Symbolic conversion under NOMIN: one cube per term in source order, void
// terms take no slot, constants become markers.
TEST_F(TreeToCoverTest, SymbolicTerms) {
    MinLevel = NOMIN;
    struct Case { const char* text; Cubes cubes; } cases[] = {
        {"a & !b | c", {"10--", "--1-"}},
        {"a | b & 0", {"1---"}},
        {"a & a", {"1---"}},
        {"a & !a", {"5555"}},
        {"a | !a", {"1---", "0---"}},
        {"1", {"7777"}},
        {"a | 1", {"7777"}},
        {"1 | a", {"7777"}},
        {"0", {"5555"}},
        {"0 | 0", {"5555"}},
        {"a & !0 | !1 | b & 1", {"1---", "-1--"}},
        {"c & b & a | !c & b", {"111-", "-10-"}},
    };
    for (auto& c : cases) {
        ConversionResult r = Convert(c.text);
        EXPECT_EQ(r.symbolic, 1) << c.text;
        EXPECT_EQ(r.off, 0) << c.text;
        EXPECT_EQ(r.on, int(c.cubes.size())) << c.text;
        EXPECT_EQ(CoverText(r.cover, r.on - 1, 4), c.cubes) << c.text;
        FreeCover(r.cover);
    }
}

// Truth tables: the used variable of lowest position is the most significant
// bit; unused positions stay absent; the value sits at position n (code 1
// for true, 0 shown as '-' for false).
TEST_F(TreeToCoverTest, TruthTables) {
    struct Case { int level; int flag; const char* text; Cubes rows; int on; } cases[] = {
        {NOMIN, 1, "(a | b) & c",
         {"000--", "001--", "010--", "011-1", "100--", "101-1", "110--", "111-1"}, 3},
        {ESPRESSO, 1, "a ^ b", {"00---", "01--1", "10--1", "11---"}, 2},
        {STRONGMIN, 1, "a & b", {"00---", "01---", "10---", "11--1"}, 1},
        {STRONGMIN, 1, "a | !a", {"0---1", "1---1"}, 2},
        {STRONGMIN, 1, "b ^ c", {"-00--", "-01-1", "-10-1", "-11--"}, 2},
        {STRONGMIN, 1, "1", {"----1"}, 1},
        {STRONGMIN, 1, "!(a & 0)", {"0---1", "1---1"}, 2},
    };
    for (auto& c : cases) {
        MinLevel = c.level;
        CS.MinimizeFlag = c.flag;
        ConversionResult r = Convert(c.text);
        EXPECT_EQ(r.symbolic, 0) << c.text;
        EXPECT_EQ(r.slots, int(c.rows.size())) << c.text;
        EXPECT_EQ(r.on, c.on) << c.text;
        EXPECT_EQ(r.off, int(c.rows.size()) - c.on) << c.text;
        EXPECT_EQ(CoverText(r.cover, r.slots - 1, 5), c.rows) << c.text;
        FreeCover(r.cover);
    }
}

TEST_F(TreeToCoverTest, NominBlockConvertsSymbolicallyAtEveryLevel) {
    for (int level : {NOMIN, STRONGMIN, ESPRESSO}) {
        MinLevel = level;
        CS.MinimizeFlag = 0;
        ConversionResult r = Convert("a & b");
        EXPECT_EQ(r.symbolic, 1) << level;
        EXPECT_EQ(CoverText(r.cover, 0, 4), (Cubes{"11--"}));
        FreeCover(r.cover);
    }
    CS.MinimizeFlag = 1;
    MinLevel = STRONGMIN;
    ConversionResult r = Convert("a & b");
    EXPECT_EQ(r.symbolic, 0);
    FreeCover(r.cover);
}

TEST_F(TreeToCoverTest, RowLiteralsMostSignificantFirst) {
    int lits[4] = {9, 9, 9, 9};
    RowLiterals(lits, 3, 5);
    EXPECT_EQ(lits[0], CODE_POS);
    EXPECT_EQ(lits[1], CODE_NEG);
    EXPECT_EQ(lits[2], CODE_POS);
    EXPECT_EQ(lits[3], 9);
    RowLiterals(lits, 0, 7);
    EXPECT_EQ(lits[0], CODE_POS);
}

TEST_F(TreeToCoverTest, CollectVariablesVisitsBothSonsButNotRightOfNot) {
    ExprNode* t = Tree("!c | (a ^ 1)");
    int marks[4] = {0, 0, 0, 0};
    CollectVariables(t, marks);
    EXPECT_EQ(marks[0], 1);
    EXPECT_EQ(marks[1], 0);
    EXPECT_EQ(marks[2], 1);
    EXPECT_EQ(marks[3], 0);
    ReleaseTree(t);
}

TEST_F(TreeToCoverTest, EvaluationKeepsSonValuesInTheNodes) {
    MinLevel = NOMIN;
    ExprNode* t = Tree("a ^ !b");
    int marks[4] = {1, 1, 0, 0};
    ConversionResult r;
    ASSERT_EQ(ConvertTree(t, marks, 2, 4, &r), 1);
    // the last row evaluated is a·b: a = 1, NOT b = 0
    EXPECT_EQ(t->op.left_value, 1);
    EXPECT_EQ(t->op.right_value, 0);
    EXPECT_EQ(EvaluateTree(t, r.cover, 1), 0);   // NOT a · b: 0 XOR 0
    EXPECT_EQ(EvaluateTree(t, r.cover, 0), 1);   // NOT a · NOT b
    FreeCover(r.cover);
    ReleaseTree(t);
}

TEST_F(TreeToCoverTest, RefusedMemoryFailsTheConversion) {
    MinLevel = NOMIN;
    for (const char* text : {"a & b | c", "a ^ b"}) {
        for (long k = 1; k <= 2; ++k) {
            ExprNode* t = Tree(text);
            int marks[4] = {1, 1, 0, 0};
            int errors = CS.ErrorCount;
            WorkMemoryResetCounters();
            WorkMemoryFailAt(k);
            ConversionResult r;
            int got = ConvertTree(t, marks, 2, 4, &r);
            long requests = WorkMemoryRequestCount();
            WorkMemoryResetCounters();
            ReleaseTree(t);
            if (k > requests) {
                EXPECT_EQ(got, 1);
                FreeCover(r.cover);
                continue;
            }
            EXPECT_EQ(got, -1) << text << " " << k;
            EXPECT_EQ(CS.ErrorCount, errors + 2) << "Speicher voll twice: " << text << " " << k;
        }
    }
}

}  // namespace
