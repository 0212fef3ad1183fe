// Expression trees and the node pool.
#include <gtest/gtest.h>

#include <algorithm>
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

class ExprTreeTest : public StatementFixture {
protected:
    ExprNode* Leaf(const char* name) { return AttachSon(nullptr, "wurzel", nullptr, name); }
    ExprNode* Const(int kind) {
        ExprNode* n = AllocNode();
        n->is_leaf = 1;
        n->op.kind = kind;
        n->op.left = n->op.right = 0;
        return n;
    }
    ExprNode* Op(int op, ExprNode* a, ExprNode* b = nullptr) { return MakeOperator(a, b, op); }
    // Shrinks the usable pool for a test (the block stays as reserved).
    struct Shrink {
        int saved;
        explicit Shrink(int cap) : saved(NodePoolCapacity) { NodePoolCapacity = cap; }
        ~Shrink() { NodePoolCapacity = saved; }
    };
};

TEST_F(ExprTreeTest, NodeKeepsItsLayout) {
    EXPECT_EQ(sizeof(ExprNode), 24u);
    ExprNode* n = Leaf("A1");
    // The name occupies the place of kind through right.
    EXPECT_EQ(static_cast<void*>(n->name), static_cast<void*>(&n->op.kind));
    EXPECT_TRUE(IsVariableLeaf(n));
    EXPECT_FALSE(IsConstantLeaf(n));
    EXPECT_TRUE(IsConstantLeaf(Const(EXPR_ONE)));
    EXPECT_TRUE(IsConstantLeaf(Const(EXPR_ZERO)));
}

TEST_F(ExprTreeTest, ReservePoolFallsBackToTheSmallBlockThenFails) {
    ReleaseNodePool();
    EXPECT_EQ(NodePoolCapacity, 0);
    WorkMemoryResetCounters();
    WorkMemoryFailAt(1);
    int errorsBefore = CS.ErrorCount;
    ASSERT_EQ(ReserveNodePool(), 1);
    EXPECT_EQ(NodePoolCapacity, kNodePoolSmall);
    EXPECT_EQ(CS.ErrorCount, errorsBefore + 1);
    EXPECT_EQ(WorkMemoryRequestCount(), 2);
    ReleaseNodePool();

    WorkMemoryResetCounters();
    WorkMemoryFailAt(1, true);
    EXPECT_EQ(ReserveNodePool(), -1);
    EXPECT_EQ(CS.ErrorCount, errorsBefore + 3);
    EXPECT_EQ(NodePoolCapacity, 0);
    EXPECT_EQ(AllocNode(), nullptr);
    WorkMemoryResetCounters();
    ASSERT_EQ(ReserveNodePool(), 1);
    EXPECT_EQ(NodePoolCapacity, kNodePoolLarge);
    EXPECT_EQ(std::count(diags.begin(), diags.end(), Msg(MSG_SPEICHER_VOLL, 0)), 3);
}

TEST_F(ExprTreeTest, FirstFitReusesTheLowestFreeNodeWithItsOldContents) {
    ExprNode* a = Leaf("a");
    ExprNode* b = Leaf("b");
    ExprNode* n = Op(EXPR_AND, a, b);
    ExprNode* c = Leaf("c");
    EXPECT_EQ(a->mark, 'T');
    ReleaseNode(n);
    EXPECT_EQ(n->mark, 'F');
    ExprNode* again = AllocNode();
    EXPECT_EQ(again, n);
    EXPECT_EQ(again->mark, 'T');
    EXPECT_EQ(again->is_leaf, 0);
    // kind and sons are still those of the released node.
    EXPECT_EQ(again->op.kind, EXPR_AND);
    EXPECT_EQ(Left(again), a);
    EXPECT_EQ(Right(again), b);
    // Released below others: the lowest free index wins.
    ReleaseNode(b);
    ReleaseNode(a);
    EXPECT_EQ(AllocNode(), a);
    EXPECT_EQ(AllocNode(), b);
    EXPECT_GT(AllocNode(), c);
}

TEST_F(ExprTreeTest, ProbeCountCountsOccupiedNodesAndHighWaterGrows) {
    int hw = NodePoolHighWater;
    ExprNode* first = AllocNode();
    int index = static_cast<int>(first - NodePool);
    EXPECT_GE(NodePoolHighWater, index + 1);
    EXPECT_GE(NodePoolHighWater, hw);
    AllocNode();
    AllocNode();
    // A fresh pool reads as free below an old high-water mark, so the first
    // nodes are 0, 1, 2 and the next search passes three occupied ones.
    EXPECT_EQ(index, 0);
    int probes = NodeProbeCount;
    AllocNode();
    EXPECT_EQ((NodeProbeCount - probes + 65536) % 65536, 3);
}

TEST_F(ExprTreeTest, FullPoolMakeOperatorReportsOnceAllocNodeNever) {
    Shrink s(3);
    ExprNode* a = AllocNode();
    ExprNode* b = AllocNode();
    ExprNode* c = AllocNode();
    ASSERT_TRUE(a && b && c);
    size_t before = diags.size();
    EXPECT_EQ(AllocNode(), nullptr);
    EXPECT_EQ(diags.size(), before);
    EXPECT_EQ(MakeOperator(a, b, EXPR_OR), nullptr);
    ASSERT_EQ(diags.size(), before + 1);
    EXPECT_EQ(diags.back(), Msg(MSG_SPEICHER_VOLL, 0));
    EXPECT_EQ(AttachSon(nullptr, "wurzel", nullptr, "q"), nullptr);
    EXPECT_EQ(diags.size(), before + 2);
    EXPECT_EQ(CopyTree(a), nullptr);
    EXPECT_EQ(diags.size(), before + 3);
}

TEST_F(ExprTreeTest, ReleaseTree) {
    ReleaseTree(nullptr);  // nothing happens
    ExprNode* x = Leaf("x");
    ExprNode* y = Leaf("y");
    ExprNode* other = Leaf("other");
    ExprNode* n = Op(EXPR_NOT, x);
    SetRight(n, other);  // a NOT node's right is never looked at
    ExprNode* t = Op(EXPR_OR, n, Op(EXPR_AND, y, Const(EXPR_ONE)));
    ReleaseTree(t);
    for (ExprNode* p : {t, n, x, y}) EXPECT_EQ(p->mark, 'F');
    EXPECT_EQ(other->mark, 'T');
    // Contents stay in place after the release.
    EXPECT_EQ(Left(n), x);
    EXPECT_STREQ(x->name, "x");
}

TEST_F(ExprTreeTest, CopyTreeMakesAnIndependentEqualTree) {
    struct Case {
        ExprNode* tree;
        const char* text;
    } cases[] = {
        {Op(EXPR_NOT, Leaf("x")), "NOT(x)"},
        {Const(EXPR_ONE), "1"},
        {Const(EXPR_ZERO), "0"},
        {Op(EXPR_OR, Op(EXPR_AND, Leaf("a"), Op(EXPR_NOT, Leaf("b"))), Op(EXPR_XOR, Leaf("c"), Const(EXPR_ZERO))),
         "OR(AND(a,NOT(b)),XOR(c,0))"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Tree(c.tree), c.text);
        ExprNode* copy = CopyTree(c.tree);
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy, c.tree);
        EXPECT_EQ(Tree(copy), c.text);
        EXPECT_EQ(TreesEqual(copy, c.tree), 1) << c.text;
        ReleaseTree(c.tree);  // the copy does not share a node
        EXPECT_EQ(copy->mark, 'T');
        EXPECT_EQ(Tree(copy), c.text);
    }
    ExprNode* n = CopyTree(Op(EXPR_NOT, Leaf("x")));
    EXPECT_EQ(n->op.right, 0u);
    EXPECT_EQ(CopyTree(nullptr), nullptr);
    ExprNode* one = CopyTree(Const(EXPR_ONE));
    EXPECT_EQ(one->op.left, 0u);
    EXPECT_EQ(one->op.right, 0u);
}

TEST_F(ExprTreeTest, AttachSonRoles) {
    ExprNode* s = Leaf("s");
    ExprNode* l = Leaf("l");
    ExprNode* r = Leaf("r");
    struct Case {
        const char* role;
        const char* expect;
    } cases[] = {
        {"lsohn", "AND(s,r)"},
        {"rsohn", "AND(l,s)"},
        {"sohn", "AND(s,-)"},
        {"wurzel", "AND(l,r)"},
        {"anders", "AND(l,r)"},
    };
    for (const Case& c : cases) {
        ExprNode* n = Op(EXPR_AND, l, r);
        EXPECT_EQ(AttachSon(n, c.role, s, nullptr), n);
        EXPECT_EQ(Tree(n), c.expect) << c.role;
    }
    ExprNode* n = Op(EXPR_AND, l, r);
    EXPECT_EQ(AttachSon(n, "rsohn", nullptr, "zz"), n);  // no son: unchanged
    EXPECT_EQ(Tree(n), "AND(l,r)");
    ExprNode* leaf = AttachSon(nullptr, "wurzel", nullptr, "A1");
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->is_leaf, 1);
    EXPECT_STREQ(leaf->name, "A1");
}

TEST_F(ExprTreeTest, MakeOperatorNeverSimplifiesAndNotIgnoresB) {
    ExprNode* a = Leaf("a");
    ExprNode* b = Leaf("b");
    ExprNode* n = MakeOperator(a, b, EXPR_NOT);
    EXPECT_EQ(Tree(n), "NOT(a)");
    EXPECT_EQ(n->op.right, 0u);
    ExprNode* o = MakeOperator(nullptr, nullptr, EXPR_OR);
    EXPECT_EQ(Tree(o), "OR(-,-)");
    EXPECT_NE(MakeOperator(a, a, EXPR_AND), MakeOperator(a, a, EXPR_AND));
}

TEST_F(ExprTreeTest, TreesEqualTable) {
    auto andANotB = [&] { return Op(EXPR_AND, Leaf("a"), Op(EXPR_NOT, Leaf("b"))); };
    struct Case {
        ExprNode* p;
        ExprNode* q;
        int equal;
    } cases[] = {
        {andANotB(), andANotB(), 1},
        {Op(EXPR_AND, Leaf("a"), Leaf("b")), Op(EXPR_AND, Leaf("b"), Leaf("a")), 0},
        {Const(EXPR_ONE), Const(EXPR_ONE), 1},
        {Const(EXPR_ONE), Const(EXPR_ZERO), 0},
        {Op(EXPR_OR, Leaf("a"), Leaf("b")), Op(EXPR_AND, Leaf("a"), Leaf("b")), 0},
        {Leaf("a"), Leaf("ab"), 0},
        {Leaf("a"), Op(EXPR_NOT, Leaf("a")), 0},
        {Const(EXPR_ONE), Leaf("a"), 0},
        {Op(EXPR_OR, Leaf("a"), Leaf("b")), Leaf("a"), 0},
        {Op(EXPR_NOT, Leaf("a")), Op(EXPR_NOT, Leaf("a")), 1},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        EXPECT_EQ(TreesEqual(cases[i].p, cases[i].q), cases[i].equal) << i;
        EXPECT_EQ(TreesEqual(cases[i].q, cases[i].p), cases[i].equal) << i;
    }
    // NOT compares its operand only, whatever right holds.
    ExprNode* n1 = Op(EXPR_NOT, Leaf("a"));
    ExprNode* n2 = Op(EXPR_NOT, Leaf("a"));
    SetRight(n1, Leaf("junk"));
    EXPECT_EQ(TreesEqual(n1, n2), 1);
}

TEST_F(ExprTreeTest, LongRightChainsAreCopiedComparedAndReleased) {
    // a OR (a OR (a OR ...)): the shape the parser builds for long sums.
    const int kDepth = 4000;
    ExprNode* root = nullptr;
    ExprNode* hole = nullptr;
    for (int i = 0; i < kDepth; ++i) {
        ExprNode* n = Op(EXPR_OR, Leaf("a"));
        if (hole) SetRight(hole, n); else root = n;
        hole = n;
    }
    SetRight(hole, Leaf("b"));
    ExprNode* copy = CopyTree(root);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(TreesEqual(root, copy), 1);
    ExprNode* last = copy;
    while (Right(last) && !Right(last)->is_leaf) last = Right(last);
    EXPECT_STREQ(Right(last)->name, "b");
    ReleaseTree(root);
    ReleaseTree(copy);
    EXPECT_EQ(root->mark, 'F');
    EXPECT_EQ(last->mark, 'F');
    EXPECT_EQ(Right(last)->mark, 'F');
}

}  // namespace
