// The equation writer: minimizes one equation and appends its text to ZW.
#pragma once
#include "compiler/logic/cubes.h"

struct ExprNode;

// 1 written, -1 minimization failed (nothing written). Owns the tree.
int WriteEquation(ExprNode* tree, const char* name);
void WriteCover(Cover cover, int last);
