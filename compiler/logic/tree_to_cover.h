// Conversion of an expression tree into a cover: symbolically for a sum of
// products, else by truth table (the used variable of lowest position is the
// most significant bit of the row number).
#pragma once
#include "compiler/logic/cubes.h"

struct ExprNode;

constexpr int kMaxEquationVariables = 18;

struct ConversionResult {
    Cover cover;
    int slots;
    int on;
    int off;
    int symbolic;  // 1 symbolic, 0 truth table
};

void CollectVariables(const ExprNode* tree, int* marks);
int IsSumOfProducts(const ExprNode* tree);
int CountProductTerms(const ExprNode* tree);
void BuildProductTerms(const ExprNode* tree, Cover cover, int n, int* on);
void RowLiterals(int* literals, int nUsed, int row);
int EvaluateTree(ExprNode* tree, Cover cover, int row);
// 1 converted, -1 failed (reported).
int ConvertTree(ExprNode* tree, const int* marks, int nUsed, int n, ConversionResult* out);
