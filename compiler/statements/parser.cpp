// Placeholder until this piece is built; replaced whole by its implementation.
#include "compiler/statements/parser.h"
ExprNode* ParseExpression() { return nullptr; }
ExprNode* ParseRestrictedExpression() { return nullptr; }
