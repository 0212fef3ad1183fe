// Constants and comparisons with constants. A constant is held as "#"
// followed by its bits, most significant first (at most ten bits kept).
#pragma once

struct ExprNode;

constexpr int kConstantTextSize = 12;   // "#", ten bits, the terminating zero
constexpr int kConstantRefused = 9;

enum CompareCode { CMP_EQ = 0, CMP_LT = 1, CMP_GT = 2, CMP_NE = 3, CMP_GE = 4, CMP_LE = 5 };

ExprNode* ParseConstantLeaf();
int ReadConstant(char* text, int group);     // number of bits, or 9 refused
ExprNode* CompareWithConstant(int group, ExprNode* operand, int code);
ExprNode* ExpandValue(ExprNode* operand, int group, const char* text, int bits);
void ValueBitText(char* text, int k);
