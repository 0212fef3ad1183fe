// Truth tables evaluated 64 rows per machine word: the tree is flattened
// once, then every operator combines whole words of row values.
#pragma once
#include "compiler/logic/cubes.h"

struct ExprNode;

// Fills the 2^nUsed rows of a truth-table cover exactly as the row-by-row
// evaluation does (row literals of the used variables, the value in extra
// column n) and counts the on- and off-set. The cover's pointers are set,
// and the operator nodes keep the scratch values of the last row.
void FillTruthTableFast(ExprNode* tree, Cover cover, const int* marks, int nUsed, int n, int* on, int* off);
