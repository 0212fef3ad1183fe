// Per-output equation list: the contributions of IF and CASE branches,
// written by the driver after the last statement.
#pragma once

struct ExprNode;

struct OutputEquation {
    ExprNode* set_term;
    ExprNode* clear_term;
    char name[20];
    OutputEquation* next;
};

enum { SLOT_SET = 1, SLOT_CLEAR = 3 };

// Hands the tree over to the record of name; 1, or -1 when memory ran out.
int AddContribution(ExprNode* tree, const char* name, int slot);
// Gives every record still in the list back (end of a compile).
void ReleaseEquationList();
