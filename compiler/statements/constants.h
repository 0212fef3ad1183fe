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

// The value of a constant text ("#101" is 5, "#" is 0).
int ConstantValue(const char* text);

// The member names of a group symbol in list order (its Text "a,b,c;"), each
// zero-terminated in a 16-byte slot; returns how many were stored (at most max).
constexpr int kMaxGroupMembers = 8;
int GroupMemberNames(int group, char (*names)[16], int max);
