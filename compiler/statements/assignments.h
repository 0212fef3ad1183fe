// Assignments and the extension statements OE, RE, CLK and CRIT.
#pragma once

struct ExprNode;

int CompilePlainAssignment(int symbol);
ExprNode* ParseAssignment(char* target, ExprNode* condition);
int CompileExtension(int symbol);
int CompileBranchAssignments(ExprNode* condition, int statementKind);
int AssignConstantInBranch(ExprNode* condition, int symbol, int statementKind);
