// The compile driver: CompileSource runs one whole compile and owns
// CompileState, the per-compile globals that every compiler piece reads.
#pragma once
#include "compiler/front/lexer.h"
#include "compiler/front/text_file.h"

struct ExprNode;
struct OutputEquation;

// One remembered condition of an IF or CASE statement (own AllocWork block).
struct ConditionElement {
    ExprNode* tree;
    ConditionElement* next;
};

struct CompileState {
    int LineNumber = 1;
    SourceReader Source;   // SourceStream
    OutFile Err;           // ErrStream
    OutFile Zw;            // ZwStream
    int WarningCount = 0;
    int ErrorCount = 0;
    int MinimizeFlag = 1;
    ConditionElement* IfConditionList = nullptr;
    ConditionElement* CaseLabelList = nullptr;
    OutputEquation* EquationList = nullptr;
    int LastSymbol = 0;
    int FirstUserSymbol = 26;
    int* PinUsed = nullptr;          // 44 entries during the declarations
    int* DefinitionState = nullptr;  // one entry per declared variable
};

extern CompileState CS;

// Selections of the host, read by the compiler.
// PlcType: 0 TREVA, 1 ZIRKO L2, 4 ZIRKO M2, 5 ZIRKO M2E. MinLevel: 0 NOMIN,
// 1 STRONGMIN, 2 ESPRESSO.
extern int PlcType;
extern int MinLevel;
enum { NOMIN = 0, STRONGMIN = 1, ESPRESSO = 2 };

// Runs one compile. window only owns the out-of-memory box. Returns 1 when
// ErrorCount is 0 or less at the end, else 0.
int CompileSource(const char* sourcePath, const char* zwPath, const char* errPath, void* window);
