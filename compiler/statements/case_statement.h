// CASE statements over a group or a boolean selector.
#pragma once

struct ExprNode;

int CompileCase();
ExprNode* CaseLabelCondition(ExprNode* selector, int symbol);
int CompileCaseElse(int symbol);
