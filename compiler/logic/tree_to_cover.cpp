// Conversion of an expression tree into a cover: a tree of sum-of-products
// shape term by term, any other tree (and every tree that will be minimized
// completely) as a truth table over the variables it uses.
#include "compiler/logic/tree_to_cover.h"

#include <cstdint>
#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/logic/truth_table_fast.h"
#include "compiler/statements/expr_tree.h"

namespace {

// n while a truth table is being filled, so that evaluating a leaf does not
// count the symbol table again; -1 otherwise.
int g_tableWidth = -1;

// The variable position of a leaf, or -1 for a name outside 0..n-1.
int LeafPosition(const ExprNode* leaf, int n) {
    int p = LookupSymbol(leaf->name) - CS.FirstUserSymbol;
    return p >= 0 && p < n ? p : -1;
}

// Trees can be as deep as the node pool is large (a long chain of one
// operator, or the contributions of many statements to one output), deeper
// than a worker thread's stack allows for recursion; the walks below keep
// their own stack of node references. A tree holds each node once, so the
// stack never needs more entries than the pool has nodes.
uint32_t g_walk[kNodePoolLarge + 1];

void Collect(const ExprNode* root, int* marks, int n) {
    if (!root) return;
    int top = 0;
    g_walk[top++] = NodeRef(root);
    while (top > 0) {
        const ExprNode* t = NodeAt(g_walk[--top]);
        if (t->is_leaf) {
            if (IsVariableLeaf(t)) {
                int p = LeafPosition(t, n);
                if (p >= 0) marks[p] = 1;
            }
            continue;
        }
        if (t->op.kind != EXPR_NOT && t->op.right) g_walk[top++] = t->op.right;
        if (t->op.left) g_walk[top++] = t->op.left;
    }
}

bool IsOr(const ExprNode* t) { return t && !t->is_leaf && t->op.kind == EXPR_OR; }

// One product term being built into a slot.
struct TermState {
    Cover cover;
    int n;
    int row;
    bool isVoid;
};

void SetLiteral(TermState& s, int p, int code) {
    if (p < 0) return;
    int opposite = code == CODE_POS ? CODE_NEG : CODE_POS;
    if (GetCode(s.cover, s.row, p) == opposite)
        s.isVoid = true;
    else
        SetCode(s.cover, s.row, p, code);
}

// The factors of one product term: an AND chain of literals and constants.
// Their order does not change the result (a void term stays void).
void Factors(TermState& s, const ExprNode* root, int base) {
    if (!root) return;
    int top = base;
    g_walk[top++] = NodeRef(root);
    while (top > base) {
        const ExprNode* t = NodeAt(g_walk[--top]);
        if (t->is_leaf) {
            if (IsConstantLeaf(t)) {
                if (t->op.kind == EXPR_ZERO) s.isVoid = true;
            } else {
                SetLiteral(s, LeafPosition(t, s.n), CODE_POS);
            }
            continue;
        }
        if (t->op.kind == EXPR_NOT) {
            const ExprNode* son = Left(t);
            if (!son || !son->is_leaf) continue;
            if (IsConstantLeaf(son)) {
                if (son->op.kind == EXPR_ONE) s.isVoid = true;
            } else {
                SetLiteral(s, LeafPosition(son, s.n), CODE_NEG);
            }
            continue;
        }
        if (t->op.right) g_walk[top++] = t->op.right;
        if (t->op.left) g_walk[top++] = t->op.left;
    }
}

struct BuildState {
    Cover cover;
    int slots;
    int n;
    int next;    // slot of the term being built
    bool one;    // some term was the constant one
};

void ClearSlot(BuildState& b, int row) {
    std::memset(CubeAddress(b.cover, b.slots, row, 0, b.n), 0,
                size_t(CubeWords(b.n) > 0 ? CubeWords(b.n) : 1) * sizeof(CubeWord));
}

void Term(BuildState& b, const ExprNode* t, int base) {
    if (b.next >= b.slots) return;   // cannot happen: one slot per term
    int row = b.next;
    b.cover[row] = CubeAddress(b.cover, b.slots, row, 0, b.n);
    ClearSlot(b, row);
    TermState s{b.cover, b.n, row, false};
    Factors(s, t, base);
    if (s.isVoid) {
        ClearSlot(b, row);
        b.cover[row] = nullptr;   // the next term takes this slot
        return;
    }
    if (LiteralCount(b.cover, row, b.n) == 0) b.one = true;
    ++b.next;
}

// The operands of the top-level OR chain, left to right, each a term. The
// stack holds the OR nodes whose right operand is still to come; the factor
// walk of a term uses the stack above them.
void Terms(BuildState& b, const ExprNode* root) {
    int top = 0;
    const ExprNode* t = root;
    for (;;) {
        while (IsOr(t)) {
            g_walk[top++] = NodeRef(t);
            t = Left(t);
        }
        Term(b, t, top);
        if (top == 0) return;
        t = Right(NodeAt(g_walk[--top]));
    }
}

}  // namespace

void CollectVariables(const ExprNode* tree, int* marks) { Collect(tree, marks, CountVariables()); }

// A sum of products: no XOR anywhere, NOT only over a leaf, no OR under an
// AND; checked node by node over the whole tree.
int IsSumOfProducts(const ExprNode* tree) {
    if (!tree) return 1;
    int top = 0;
    g_walk[top++] = NodeRef(tree);
    while (top > 0) {
        const ExprNode* t = NodeAt(g_walk[--top]);
        if (t->is_leaf) continue;
        switch (t->op.kind) {
        case EXPR_NOT: {
            const ExprNode* son = Left(t);
            if (!(son && son->is_leaf)) return 0;
            continue;
        }
        case EXPR_AND:
            if (IsOr(Left(t)) || IsOr(Right(t))) return 0;
            break;
        case EXPR_OR:
            break;
        default:
            return 0;
        }
        if (t->op.right) g_walk[top++] = t->op.right;
        if (t->op.left) g_walk[top++] = t->op.left;
    }
    return 1;
}

// 1 plus the OR nodes reachable from the root through OR nodes only.
int CountProductTerms(const ExprNode* tree) {
    if (!IsOr(tree)) return 1;
    int count = 1;
    int top = 0;
    g_walk[top++] = NodeRef(tree);
    while (top > 0) {
        const ExprNode* t = NodeAt(g_walk[--top]);
        ++count;
        if (IsOr(Right(t))) g_walk[top++] = t->op.right;
        if (IsOr(Left(t))) g_walk[top++] = t->op.left;
    }
    return count;
}

void BuildProductTerms(const ExprNode* tree, Cover cover, int n, int* on) {
    BuildState b{cover, CountProductTerms(tree), n, 0, false};
    Terms(b, tree);
    if (b.one || b.next == 0) {
        for (int r = 0; r < b.slots; ++r) cover[r] = nullptr;
        cover[0] = CubeAddress(cover, b.slots, 0, 0, n);
        ClearSlot(b, 0);
        SetCode(cover, 0, 0, b.one ? MARK_ONE : MARK_ZERO);
        *on = 1;
        return;
    }
    *on = b.next;
}

void RowLiterals(int* literals, int nUsed, int row) {
    for (int i = 0; i < nUsed; ++i) literals[i] = (row >> (nUsed - 1 - i)) & 1 ? CODE_POS : CODE_NEG;
}

int EvaluateTree(ExprNode* tree, Cover cover, int row) {
    if (!tree) return 0;
    if (tree->is_leaf) {
        if (IsConstantLeaf(tree)) return tree->op.kind == EXPR_ONE ? 1 : 0;
        int p = LeafPosition(tree, g_tableWidth >= 0 ? g_tableWidth : CountVariables());
        return p >= 0 && GetCode(cover, row, p) == CODE_NEG ? 0 : 1;
    }
    tree->op.left_value = EvaluateTree(Left(tree), cover, row);
    if (tree->op.kind == EXPR_NOT) return tree->op.left_value != 1 ? 1 : 0;
    tree->op.right_value = EvaluateTree(Right(tree), cover, row);
    int a = tree->op.left_value;
    int b = tree->op.right_value;
    switch (tree->op.kind) {
    case EXPR_OR: return a == 1 || b == 1 ? 1 : 0;
    case EXPR_AND: return a == 1 && b == 1 ? 1 : 0;
    case EXPR_XOR: return a != b ? 1 : 0;
    default: return 0;
    }
}

int ConvertTree(ExprNode* tree, const int* marks, int nUsed, int n, ConversionResult* out) {
    *out = ConversionResult{nullptr, 0, 0, 0, 0};
    bool symbolicAllowed = !(CS.MinimizeFlag == 1 && MinLevel != NOMIN && MinLevel != ESPRESSO);
    if (symbolicAllowed && IsSumOfProducts(tree)) {
        int terms = CountProductTerms(tree);
        Cover cover = AllocCover(terms, 0, n);
        if (!cover) return -1;
        int on = 0;
        BuildProductTerms(tree, cover, n, &on);
        *out = ConversionResult{cover, terms, on, 0, 1};
        return 1;
    }
    if (nUsed < 0 || nUsed > kMaxEquationVariables) return -1;
    int slots = 1 << nUsed;
    Cover cover = AllocCover(slots, 1, n);
    if (!cover) return -1;
    int* literals = static_cast<int*>(AllocWork(size_t(n > 0 ? n : 0), 4));
    if (!literals) {
        Report(MSG_SPEICHER_VOLL, 0);
        FreeCover(cover);
        return -1;
    }
    int on = 0;
    int off = 0;
    g_tableWidth = n;
    if (!UseReferenceAlgorithms) FillTruthTableFast(tree, cover, marks, nUsed, n, &on, &off);
    else for (int r = 0; r < slots; ++r) {
        cover[r] = CubeAddress(cover, slots, r, 1, n);
        RowLiterals(literals, nUsed, r);
        int k = 0;
        for (int p = 0; p < n && k < nUsed; ++p)
            if (marks[p]) SetCode(cover, r, p, literals[k++]);
        int v = EvaluateTree(tree, cover, r);
        SetCode(cover, r, n, v);
        if (v == 1) ++on; else ++off;
    }
    g_tableWidth = -1;
    FreeWork(literals);
    *out = ConversionResult{cover, slots, on, off, 0};
    return 1;
}
