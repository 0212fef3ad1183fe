// The compile driver. CompileSource runs one whole compile: it resets
// CompileState, reserves the node pool, opens ERR and the source, reads the
// declarations, feeds the statements one by one to the statement compiler,
// writes the collected equations, the end marker and the fitter section,
// checks the I/O pins and releases everything it took.
#include "compiler/front/driver.h"

#include <cstring>
#include <string>

#include "compiler/front/declarations.h"
#include "compiler/front/diagnostics.h"
#include "compiler/front/fitter_section.h"
#include "compiler/front/host.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/equation_writer.h"
#include "compiler/statements/equation_list.h"
#include "compiler/statements/expr_tree.h"
#include "compiler/statements/if_statement.h"
#include "compiler/statements/statements.h"

CompileState CS;
int PlcType = 1;
int MinLevel = 2;

namespace {

std::string CannotCreate(const char* path) {
    return std::string("Datei ") + path + " kann nicht angelegt werden";
}

void ResetCompileState() {
    CS.Source.Close();
    CS.Err.Close();
    CS.Zw.Close();
    CS.LineNumber = 1;
    CS.MinimizeFlag = 1;
    CS.WarningCount = 0;
    CS.ErrorCount = 0;
    CS.LastSymbol = 0;
    CS.FirstUserSymbol = kFirstUserSymbol;
    CS.PinUsed = nullptr;
    CS.DefinitionState = nullptr;
    CS.IfConditionList = nullptr;
    CS.CaseLabelList = nullptr;
    CS.EquationList = nullptr;
}

bool IsEndProgram(const char* t) { return std::strcmp(t, "END_PROGRAM") == 0 || std::strcmp(t, "ENDPROGRAM") == 0; }

// The statements and the emission (steps 7 to 14). Returns 1 when they ran
// to their end, -1 when memory ran out (the caller shows the box).
int CompileBody(const char* zwPath) {
    if (!CS.Zw.Open(zwPath)) {
        ReportMessage(CannotCreate(zwPath).c_str(), 1, 0);
        return 1;
    }

    CS.DefinitionState = static_cast<int*>(AllocWork(static_cast<size_t>(CountVariables()), 4));
    if (!CS.DefinitionState) {
        Report(MSG_SPEICHER_VOLL, 0);
        return -1;
    }

    // Statement loop. The first token of each statement is read only to see
    // END_PROGRAM; the statement compiler reads it again after the seek back.
    char token[kTokenBufferSize];
    SourceMark p = MarkSource();
    SkipText(0);
    long statementStart = CS.Source.Tell();
    ReadIdentifier(token);
    int ended = 0;
    int statements = 0;
    for (;;) {
        if (IsEndProgram(token)) {
            ended = 1;
            break;
        }
        if (SourceAtEnd()) break;
        ResetSource(p);
        if (CompileStatement() == -1) return -1;
        SkipText(0);
        if (CS.Source.Tell() == statementStart) {
            // Nothing of the statement was consumed: without this the same
            // token would be handed over for ever.
            SkipText(2);
            SkipText(0);
        }
        p = MarkSource();
        statementStart = p.pos;
        ++statements;
        LogMessage(statements % 2 == 1 ? "." : "..", 0);
        StepProgress();
        if (!ReadIdentifier(token)) break;
    }
    ExpectSemicolon();

    // Emission of the collected equations, each record given back once written.
    while (OutputEquation* rec = CS.EquationList) {
        int index = LookupSymbol(rec->name);
        if (index > 0) SymbolTable[index].Emitted = 1;
        ExprNode* tree;
        if (!rec->clear_term)
            tree = rec->set_term;
        else if (!rec->set_term)
            tree = rec->clear_term;
        else
            tree = MakeOperator(rec->set_term, rec->clear_term, EXPR_AND);
        if (!tree) return -1;
        rec->set_term = rec->clear_term = nullptr;  // the writer owns the tree now
        if (WriteEquation(tree, rec->name) == -1) return -1;
        CS.EquationList = rec->next;
        FreeWork(rec);
    }

    CS.Zw.Write("\n\n__END");
    WriteFitterSection();

    for (int i = CS.FirstUserSymbol; i <= CS.LastSymbol; ++i) {
        if (SymbolTable[i].Emitted == 1 && SymbolTable[i].Kind == KIND_INOUT)
            RecordDefinition(SymbolTable[i].Name, 0, 5);
    }

    CS.Zw.Close();
    if (!ended) Report(MSG_END_PROGRAM_FEHLT, 1);
    return 1;
}

}  // namespace

int CompileSource(const char* sourcePath, const char* zwPath, const char* errPath, void* window) {
    ResetCompileState();

    if (ReserveNodePool() == -1) {
        ShowOutOfMemoryBox(window);
        return 0;
    }

    StepProgress();
    if (!CS.Err.Open(errPath)) {
        // Nothing could be recorded: say so through the host and touch no file.
        ++CS.ErrorCount;
        const CompileHost& h = CurrentCompileHost();
        if (h.diagnostic) h.diagnostic(h.ctx, 0, 1, CannotCreate(errPath).c_str());
        ReleaseNodePool();
        return 0;
    }

    bool outOfMemory = false;
    if (!CS.Source.Open(sourcePath)) {
        Report(MSG_FEHLER_OEFFNEN, 0);
    } else if (InitSymbolTable() == -1 || ParseDeclarations(window) == -1) {
        outOfMemory = true;
    } else if (CS.ErrorCount >= 10) {
        // Written although the error limit has been reached.
        WriteErrEntry(kMessages[MSG_DEKLARATION_ABBRUCH].text, 1);
        CS.ErrorCount = 10;
    } else {
        CS.ErrorCount = 0;  // the statements get a fresh limit of ten
        outOfMemory = CompileBody(zwPath) == -1;
    }

    if (outOfMemory) {
        ShowOutOfMemoryBox(window);
        CS.Zw.Close();
    }
    if (CS.DefinitionState) {
        FreeWork(CS.DefinitionState);
        CS.DefinitionState = nullptr;
    }
    if (CS.PinUsed) {
        FreeWork(CS.PinUsed);
        CS.PinUsed = nullptr;
    }

    CS.Source.Close();
    CS.Err.Close();
    CS.Zw.Close();
    ReleaseSymbolTexts();
    ReleaseEquationList();
    ReleaseConditionList(&CS.IfConditionList);
    ReleaseConditionList(&CS.CaseLabelList);
    StepProgress();
    ReleaseNodePool();
    return CS.ErrorCount <= 0 ? 1 : 0;
}
