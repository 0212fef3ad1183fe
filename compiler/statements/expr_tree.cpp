// Placeholder until this piece is built; replaced whole by its implementation.
#include "compiler/statements/expr_tree.h"
ExprNode* NodePool = nullptr;
int NodePoolCapacity = 0;
int NodePoolHighWater = 0;
int NodeProbeCount = 0;
int ReserveNodePool() { return -1; }
void ReleaseNodePool() {}
ExprNode* AllocNode() { return nullptr; }
void ReleaseNode(ExprNode*) {}
void ReleaseTree(ExprNode*) {}
ExprNode* CopyTree(const ExprNode*) { return nullptr; }
ExprNode* MakeOperator(ExprNode*, ExprNode*, int) { return nullptr; }
ExprNode* AttachSon(ExprNode*, const char*, ExprNode*, const char*) { return nullptr; }
int TreesEqual(const ExprNode*, const ExprNode*) { return 0; }
