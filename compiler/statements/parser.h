// The expression parser (full grammar) and the restricted grammar of the
// extension conditions.
#pragma once

struct ExprNode;

ExprNode* ParseExpression();
ExprNode* ParseRestrictedExpression();
