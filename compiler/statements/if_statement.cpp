// Placeholder until this piece is built; replaced whole by its implementation.
#include "compiler/statements/if_statement.h"
int CompileIf(ExprNode*) { return 1; }
int RememberCondition(ExprNode*, ConditionElement**) { return -1; }
void ReleaseConditionList(ConditionElement**) {}
