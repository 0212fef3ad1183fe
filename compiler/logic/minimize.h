// Minimization driver: converts, minimizes at the chosen level and picks the
// polarity with fewer product terms.
#pragma once
#include "compiler/logic/cubes.h"

struct ExprNode;

extern int Polarity;   // 1 the function itself, 3 its complement

// 1 with the final cover and its last index, or -1 on failure. Releases the tree.
int MinimizeEquation(ExprNode* tree, Cover* cover, int* last);
