// IF statements: every branch becomes a branch condition for its assignments.
#pragma once

struct ExprNode;
struct ConditionElement;

int CompileIf(ExprNode* outer);
// list is &CS.IfConditionList or &CS.CaseLabelList (the latter refuses repeats).
int RememberCondition(ExprNode* tree, ConditionElement** list);
// Gives every element of a condition list back with its tree.
void ReleaseConditionList(ConditionElement** list);
