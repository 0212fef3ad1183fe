// Expression trees and their node pool. All nodes of one compile live in one
// block from AllocWork; releasing a node only marks it free. Sons are kept as
// pool indexes, so a tree never points outside its pool.
#include "compiler/statements/expr_tree.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/statements/node_index.h"

ExprNode* NodePool = nullptr;
int NodePoolCapacity = 0;
int NodePoolHighWater = 0;
int NodeProbeCount = 0;

int ReserveNodePool() {
    if (NodePool) ReleaseNodePool();
    void* block = AllocWork(kNodePoolLarge, sizeof(ExprNode));
    int capacity = kNodePoolLarge;
    if (!block) {
        block = AllocWork(kNodePoolSmall, sizeof(ExprNode));
        capacity = kNodePoolSmall;
    }
    if (!block) return -1;
    NodePool = static_cast<ExprNode*>(block);
    NodePoolCapacity = capacity;
    NodeIndexReset();
    return 1;
}

void ReleaseNodePool() {
    FreeWork(NodePool);
    NodePool = nullptr;
    NodePoolCapacity = 0;
    NodeIndexReset();
}

// First fit from the start of the pool; the part at and above the high-water
// mark has never been handed out (in this pool) and counts as free unseen.
ExprNode* AllocNode() {
    if (!UseReferenceAlgorithms) return FastAllocNode();
    if (NodePoolCapacity <= 0 || !NodePool) return nullptr;
    for (int i = 0; i < NodePoolCapacity; ++i) {
        ExprNode* n = NodePool + i;
        if (i >= NodePoolHighWater || n->mark != 'T' || NodePoolHighWater == 0) {
            if (i + 1 > NodePoolHighWater) NodePoolHighWater = i + 1;
            n->mark = 'T';
            n->is_leaf = 0;
            NodeIndexNoteTaken(n);
            return n;
        }
        NodeProbeCount = (NodeProbeCount + 1) % 65536;
        if (NodeProbeCount == 0) StepProgress();
    }
    return nullptr;
}

void ReleaseNode(ExprNode* n) {
    if (!n) return;
    n->mark = 'F';
    NodeIndexNoteFree(n);
}

static bool InPool(const ExprNode* n) {
    return NodePool && n >= NodePool && n < NodePool + NodePoolCapacity;
}

// Iterative, so that long operator chains cannot exhaust the stack. Pending
// operator nodes are chained through their left_value scratch field, which is
// free once the node is being released; a node is marked free when it is put
// on the chain, so a node reached twice is not pushed twice.
void ReleaseTree(ExprNode* t) {
    if (!t || !InPool(t)) return;  // the nodes vanished with their pool
    if (t->is_leaf) {
        ReleaseNode(t);
        return;
    }
    uint32_t stack = 0;
    ReleaseNode(t);
    t->op.left_value = 0;
    stack = NodeRef(t);
    while (stack) {
        ExprNode* n = NodeAt(stack);
        stack = static_cast<uint32_t>(n->op.left_value);
        ExprNode* sons[2] = {Left(n), n->op.kind == EXPR_NOT ? nullptr : Right(n)};
        for (ExprNode* s : sons) {
            if (!s || !InPool(s) || s->mark != 'T') continue;
            ReleaseNode(s);
            if (!s->is_leaf) {
                s->op.left_value = static_cast<int32_t>(stack);
                stack = NodeRef(s);
            }
        }
    }
}

// Copies the left son recursively and walks down the right sons in a loop
// (operator chains from the parser nest to the right).
ExprNode* CopyTree(const ExprNode* t) {
    if (!t) return nullptr;
    ExprNode* root = nullptr;
    ExprNode* hole = nullptr;  // copy whose right son is still to be made
    for (;;) {
        ExprNode* c = AllocNode();
        if (!c) {
            Report(MSG_SPEICHER_VOLL, 0);
            return nullptr;
        }
        if (hole)
            SetRight(hole, c);
        else
            root = c;
        c->is_leaf = t->is_leaf;
        if (t->is_leaf) {
            if (IsConstantLeaf(t)) {
                c->op.kind = t->op.kind;
                c->op.left = 0;
                c->op.right = 0;
            } else {
                std::memcpy(c->name, t->name, sizeof c->name);
                c->name[sizeof c->name - 1] = '\0';
            }
            return root;
        }
        c->op.kind = t->op.kind;
        c->op.left = 0;
        c->op.right = 0;
        const ExprNode* l = Left(t);
        ExprNode* lc = CopyTree(l);
        if (l && !lc) return nullptr;
        SetLeft(c, lc);
        if (t->op.kind == EXPR_NOT) return root;
        t = Right(t);
        if (!t) return root;
        hole = c;
    }
}

ExprNode* MakeOperator(ExprNode* a, ExprNode* b, int op) {
    ExprNode* n = AllocNode();
    if (!n) {
        Report(MSG_SPEICHER_VOLL, 0);
        return nullptr;
    }
    n->is_leaf = 0;
    n->op.kind = op;
    SetLeft(n, a);
    SetRight(n, op == EXPR_NOT ? nullptr : b);
    return n;
}

ExprNode* AttachSon(ExprNode* node, const char* role, ExprNode* son, const char* name) {
    if (son) {
        if (!node) return node;
        if (std::strcmp(role, "lsohn") == 0) {
            SetLeft(node, son);
        } else if (std::strcmp(role, "rsohn") == 0) {
            SetRight(node, son);
        } else if (std::strcmp(role, "sohn") == 0) {
            SetLeft(node, son);
            SetRight(node, nullptr);
        }
        return node;
    }
    if (node) return node;
    ExprNode* leaf = AllocNode();
    if (!leaf) {
        Report(MSG_SPEICHER_VOLL, 0);
        return nullptr;
    }
    leaf->is_leaf = 1;
    size_t len = name ? std::strlen(name) : 0;
    if (len > sizeof leaf->name - 1) len = sizeof leaf->name - 1;
    if (len) std::memcpy(leaf->name, name, len);
    leaf->name[len] = '\0';
    return leaf;
}

static bool IsOperatorNode(const ExprNode* n) {
    return !n->is_leaf && n->op.kind >= EXPR_OR && n->op.kind <= EXPR_NOT;
}

// Left sons recursively, right sons in a loop.
int TreesEqual(const ExprNode* a, const ExprNode* b) {
    for (;;) {
        if (!a || !b) return a == b ? 1 : 0;
        if (IsOperatorNode(a) && IsOperatorNode(b)) {
            if (a->op.kind != b->op.kind) return 0;
            if (!TreesEqual(Left(a), Left(b))) return 0;
            if (a->op.kind == EXPR_NOT) return 1;
            a = Right(a);
            b = Right(b);
            continue;
        }
        // Leaf contents as zero-terminated strings: a variable's name, or a
        // constant's code (a single byte 4 or 5).
        if (a->is_leaf != b->is_leaf) return 0;
        return std::strncmp(a->name, b->name, sizeof a->name) == 0 ? 1 : 0;
    }
}
