// Property test of the whole equation pipeline: for many random functions of
// 1 to 10 variables at every level, the written cover computes exactly the
// function (its complement when Polarity is 3), and it never has more product
// terms than the unminimized on-set or off-set (or the source's terms) it
// came from.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "compiler/front/driver.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/minimize.h"
#include "compiler/logic/tree_to_cover.h"
#include "compiler/statements/expr_tree.h"
#include "cover_fixture.h"

namespace {

constexpr int kVars = 10;   // v0..v9 at positions 0..9, the output y at 10
constexpr int kN = kVars + 1;

// A random expression: rendered as text for the tree builder and evaluated
// here independently of the code under test.
struct Expr {
    enum Kind { VAR, ONE, ZERO, NOT, AND, OR, XOR } kind = ZERO;
    int var = 0;
    std::unique_ptr<Expr> a, b;

    // The operands of the top-level OR chain: the terms of a sum of products.
    int TopTerms() const { return kind == OR ? a->TopTerms() + b->TopTerms() : 1; }

    int Eval(unsigned assignment) const {
        switch (kind) {
        case VAR: return (assignment >> var) & 1;
        case ONE: return 1;
        case ZERO: return 0;
        case NOT: return !a->Eval(assignment);
        case AND: return a->Eval(assignment) & b->Eval(assignment);
        case OR: return a->Eval(assignment) | b->Eval(assignment);
        case XOR: return a->Eval(assignment) ^ b->Eval(assignment);
        }
        return 0;
    }
    std::string Text() const {
        switch (kind) {
        case VAR: return "v" + std::to_string(var);
        case ONE: return "1";
        case ZERO: return "0";
        case NOT: return "!(" + a->Text() + ")";
        case AND: return "(" + a->Text() + " & " + b->Text() + ")";
        case OR: return "(" + a->Text() + " | " + b->Text() + ")";
        case XOR: return "(" + a->Text() + " ^ " + b->Text() + ")";
        }
        return "";
    }
};

using Ptr = std::unique_ptr<Expr>;

Ptr Leaf(Expr::Kind k, int var = 0) {
    Ptr e(new Expr());
    e->kind = k;
    e->var = var;
    return e;
}
Ptr Node(Expr::Kind k, Ptr a, Ptr b = nullptr) {
    Ptr e(new Expr());
    e->kind = k;
    e->a = std::move(a);
    e->b = std::move(b);
    return e;
}

struct Generator {
    std::mt19937 rng{20261211};
    int Pick(int n) { return int(rng() % unsigned(n)); }

    Ptr RandomTree(const std::vector<int>& vars, int depth) {
        if (depth == 0 || Pick(4) == 0) {
            int r = Pick(20);
            if (r == 0) return Leaf(Expr::ONE);
            if (r == 1) return Leaf(Expr::ZERO);
            return Leaf(Expr::VAR, vars[Pick(int(vars.size()))]);
        }
        switch (Pick(6)) {
        case 0: return Node(Expr::NOT, RandomTree(vars, depth - 1));
        case 1: return Node(Expr::XOR, RandomTree(vars, depth - 1), RandomTree(vars, depth - 1));
        case 2:
        case 3: return Node(Expr::AND, RandomTree(vars, depth - 1), RandomTree(vars, depth - 1));
        default: return Node(Expr::OR, RandomTree(vars, depth - 1), RandomTree(vars, depth - 1));
        }
    }
    // A sum of products: random terms of random literals (a constant now and
    // then).
    Ptr RandomSop(const std::vector<int>& vars, int maxTerms) {
        int t = 1 + Pick(maxTerms);
        Ptr sum;
        for (int i = 0; i < t; ++i) {
            Ptr term;
            int lits = 1 + Pick(int(vars.size()));
            for (int l = 0; l < lits; ++l) {
                Ptr f;
                int r = Pick(40);
                if (r == 0) f = Leaf(Expr::ONE);
                else if (r == 1) f = Leaf(Expr::ZERO);
                else f = Leaf(Expr::VAR, vars[Pick(int(vars.size()))]);
                if (Pick(2)) f = Node(Expr::NOT, std::move(f));
                term = term ? Node(Expr::AND, std::move(term), std::move(f)) : std::move(f);
            }
            sum = sum ? Node(Expr::OR, std::move(sum), std::move(term)) : std::move(term);
        }
        return sum;
    }
    // The sum of the minterms of a random function over all of vars.
    Ptr RandomMinterms(const std::vector<int>& vars) {
        Ptr sum;
        unsigned rows = 1u << vars.size();
        for (unsigned r = 0; r < rows; ++r) {
            if (Pick(2)) continue;
            Ptr term;
            for (size_t i = 0; i < vars.size(); ++i) {
                Ptr f = Leaf(Expr::VAR, vars[i]);
                if (!((r >> i) & 1)) f = Node(Expr::NOT, std::move(f));
                term = term ? Node(Expr::AND, std::move(term), std::move(f)) : std::move(f);
            }
            sum = sum ? Node(Expr::OR, std::move(sum), std::move(term)) : std::move(term);
        }
        if (!sum) sum = Leaf(Expr::ZERO);
        return sum;
    }
};

class MinimizerPropertyTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorkMemoryResetCounters();
        savedLevel_ = MinLevel;
        std::vector<std::string> names;
        for (int i = 0; i < kVars; ++i) names.push_back("v" + std::to_string(i));
        names.push_back("y");
        logic_test::SetUpCompile(names);
        pool_ = WorkMemoryOutstandingBlocks();
    }
    void TearDown() override {
        MinLevel = savedLevel_;
        CS.MinimizeFlag = 1;
        EXPECT_EQ(WorkMemoryOutstandingBlocks(), pool_);
        logic_test::TearDownCompile();
    }

    // Checks one expression at one level.
    void Check(const Expr& e, int level, int flag) {
        const std::string text = e.Text();
        SCOPED_TRACE("level " + std::to_string(level) + " flag " + std::to_string(flag) + ": " + text);
        MinLevel = level;
        CS.MinimizeFlag = flag;
        ExprNode* tree = logic_test::Tree(text.c_str());
        const bool symbolic = IsSumOfProducts(tree) && !(flag == 1 && level == STRONGMIN);

        // The used variables and the on-set and off-set sizes over them.
        unsigned usedMask = 0;
        {
            int marks[kN] = {};
            CollectVariables(tree, marks);
            for (int p = 0; p < kVars; ++p)
                if (marks[p]) usedMask |= 1u << p;
        }
        int on = 0, off = 0;
        for (unsigned x = 0; x < (1u << kVars); ++x) {
            if (x & ~usedMask) continue;
            (e.Eval(x) ? on : off) += 1;
        }

        Cover cover = nullptr;
        int last = -1;
        ASSERT_EQ(MinimizeEquation(tree, &cover, &last), 1);
        const int polarity = Polarity;
        ASSERT_NE(cover, nullptr);

        int mark = cover[0] ? GetCode(cover, 0, 0) : 0;
        int terms = (mark == MARK_ONE || mark == MARK_ZERO) ? 1 : LiveCubeCount(cover, last, kN);
        for (unsigned x = 0; x < (1u << kVars); ++x) {
            int value;
            if (mark == MARK_ONE) {
                value = 1;
            } else if (mark == MARK_ZERO) {
                value = 0;
            } else {
                value = 0;
                for (int r = 0; r <= last && !value; ++r) {
                    if (!SlotLive(cover, r, kN)) continue;
                    bool holds = true;
                    for (int p = 0; p < kN && holds; ++p) {
                        int c = GetCode(cover, r, p);
                        ASSERT_TRUE(c == CODE_ABSENT || c == CODE_POS || c == CODE_NEG) << r << " " << p;
                        if (p == kVars) {
                            EXPECT_EQ(c, CODE_ABSENT) << "the output never occurs";
                            continue;
                        }
                        if (c == CODE_ABSENT) continue;
                        ASSERT_TRUE(usedMask & (1u << p)) << "literal of an unused variable";
                        holds = ((x >> p) & 1) == (c == CODE_POS ? 1u : 0u);
                    }
                    if (holds) value = 1;
                }
            }
            // the constant zero is always the function itself
            int function = (polarity == 3 && mark != MARK_ZERO) ? !value : value;
            ASSERT_EQ(function, e.Eval(x)) << "assignment " << x;
        }
        if (symbolic) {
            EXPECT_EQ(polarity, 1);
            EXPECT_LE(terms, e.TopTerms());
        } else {
            EXPECT_LE(terms, polarity == 3 ? off : (on > 0 ? on : 1));
            if (level == NOMIN || flag == 0) {
                if (on > 0 && off > 0) {
                    EXPECT_EQ(terms, on <= off ? on : off);
                }
            }
        }
        FreeCover(cover);
    }

    int savedLevel_ = 0;
    long pool_ = 0;
};

struct Setting { int level, flag; };
const Setting kSettings[] = {{NOMIN, 1}, {STRONGMIN, 1}, {ESPRESSO, 1}, {STRONGMIN, 0}, {ESPRESSO, 0}};

// Complete minimization is exponential: fewer functions at the widest sizes.
int TrialsFor(int k) { return k <= 7 ? 12 : k == 8 ? 4 : 2; }

std::vector<int> RandomVars(Generator& g, int k) {
    std::vector<int> all;
    for (int i = 0; i < kVars; ++i) all.push_back(i);
    std::shuffle(all.begin(), all.end(), g.rng);
    all.resize(size_t(k));
    return all;
}

TEST_F(MinimizerPropertyTest, RandomTreesAtEveryLevel) {
    Generator g;
    for (int k = 1; k <= kVars; ++k) {
        for (int trial = 0; trial < TrialsFor(k); ++trial) {
            std::vector<int> vars = RandomVars(g, k);
            Ptr e = g.RandomTree(vars, 2 + g.Pick(5));
            for (const Setting& s : kSettings) Check(*e, s.level, s.flag);
            if (HasFatalFailure()) return;
        }
    }
}

TEST_F(MinimizerPropertyTest, RandomSumsOfProductsAtEveryLevel) {
    Generator g;
    for (int k = 1; k <= kVars; ++k) {
        for (int trial = 0; trial < TrialsFor(k); ++trial) {
            std::vector<int> vars = RandomVars(g, k);
            Ptr e = g.RandomSop(vars, 2 * k + 2);
            for (const Setting& s : kSettings) Check(*e, s.level, s.flag);
            if (HasFatalFailure()) return;
        }
    }
}

// Random functions given by their minterms: symbolic under ESPRESSO, and the
// same function forced through the truth table with "& 1" (which STRONGMIN
// converts the same way as the plain sum, so it is not run twice). The trees
// grow with the number of rows: up to 8 variables.
TEST_F(MinimizerPropertyTest, RandomTruthTablesAtEveryLevel) {
    Generator g;
    const Setting forcedSettings[] = {{NOMIN, 1}, {ESPRESSO, 1}, {ESPRESSO, 0}};
    for (int k = 1; k <= 8; ++k) {
        for (int trial = 0; trial < (k <= 6 ? 6 : 2); ++trial) {
            std::vector<int> vars = RandomVars(g, k);
            Ptr sop = g.RandomMinterms(vars);
            for (const Setting& s : kSettings) Check(*sop, s.level, s.flag);
            Ptr forced = Node(Expr::AND, std::move(sop), Leaf(Expr::ONE));
            for (const Setting& s : forcedSettings) Check(*forced, s.level, s.flag);
            if (HasFatalFailure()) return;
        }
    }
}

}  // namespace
