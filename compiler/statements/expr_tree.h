// Expression trees: binary trees of 24-byte nodes in one pool per compile.
// Sons are kept as pool indexes (index + 1, 0 = none) so that the node keeps
// its fixed 24-byte layout; use the accessors below.
#pragma once
#include <cstdint>

enum ExprKind { EXPR_OR = 0, EXPR_XOR = 1, EXPR_AND = 2, EXPR_NOT = 3, EXPR_ONE = 4, EXPR_ZERO = 5 };

struct ExprNode {
    char mark;               // 'T' handed out, 'F' released, 0 never used
    unsigned char is_leaf;   // 0 operator, 1 leaf
    char pad_[2];
    union {
        struct {
            int32_t kind;        // operator code, or 4/5 for a constant leaf
            int32_t left_value;  // evaluation scratch
            int32_t right_value;
            uint32_t left;       // pool index + 1 of the first son, 0 none
            uint32_t right;      // pool index + 1 of the second son, 0 none
        } op;
        char name[20];           // variable leaves: the identifier
    };
};
static_assert(sizeof(ExprNode) == 24, "ExprNode keeps its 24-byte layout");

extern ExprNode* NodePool;
extern int NodePoolCapacity;
extern int NodePoolHighWater;   // never reset while the program runs
extern int NodeProbeCount;      // modulo 65536, never reset

constexpr int kNodePoolLarge = 393216;
constexpr int kNodePoolSmall = 196608;

int ReserveNodePool();          // 1, or -1 when not even the small pool was had
void ReleaseNodePool();         // gives the pool back (end of a compile)

ExprNode* AllocNode();          // mark 'T', is_leaf 0; nullptr when full (no report)
void ReleaseNode(ExprNode* n);
void ReleaseTree(ExprNode* t);
ExprNode* CopyTree(const ExprNode* t);
ExprNode* MakeOperator(ExprNode* a, ExprNode* b, int op);
ExprNode* AttachSon(ExprNode* node, const char* role, ExprNode* son, const char* name);
int TreesEqual(const ExprNode* a, const ExprNode* b);

inline ExprNode* NodeAt(uint32_t ref) { return ref ? NodePool + (ref - 1) : nullptr; }
inline uint32_t NodeRef(const ExprNode* n) { return n ? static_cast<uint32_t>(n - NodePool) + 1 : 0; }
inline ExprNode* Left(const ExprNode* n) { return NodeAt(n->op.left); }
inline ExprNode* Right(const ExprNode* n) { return NodeAt(n->op.right); }
inline void SetLeft(ExprNode* n, ExprNode* son) { n->op.left = NodeRef(son); }
inline void SetRight(ExprNode* n, ExprNode* son) { n->op.right = NodeRef(son); }
// A leaf is a constant leaf exactly when its kind reads 4 or 5.
inline bool IsConstantLeaf(const ExprNode* n) {
    return n->is_leaf && (n->op.kind == EXPR_ONE || n->op.kind == EXPR_ZERO);
}
inline bool IsVariableLeaf(const ExprNode* n) { return n->is_leaf && !IsConstantLeaf(n); }
