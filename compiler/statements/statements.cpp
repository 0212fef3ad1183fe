// Statement entry: recognises a statement by its first word and the
// character after it, and keeps the #NOMIN blocks (MinimizeFlag).
#include "compiler/statements/statements.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/lexer.h"
#include "compiler/front/symbols.h"
#include "compiler/statements/assignments.h"
#include "compiler/statements/case_statement.h"
#include "compiler/statements/if_statement.h"

int CompileStatement() {
    char w[kTokenBufferSize];
    SkipText(0);
    SourceMark p = MarkSource();
    ReadIdentifier(w);

    if (std::strcmp(w, "#NOMIN") == 0) {
        CS.MinimizeFlag = 0;
        SkipText(0);
        p = MarkSource();
        ReadIdentifier(w);
    }

    if (std::strcmp(w, "IF") == 0) {
        if (CompileIf(nullptr) == -1) return -1;
    } else if (std::strcmp(w, "CASE") == 0) {
        if (CompileCase() == -1) return -1;
    } else {
        int idx = LookupSymbol(w);
        if (idx >= CS.FirstUserSymbol) {
            SkipText(0);
            int c = ReadChar();
            if (c == ':' || c == '=') {
                ResetSource(p);
                int r = CompilePlainAssignment(idx);
                if (r == -1) return -1;
                if (r == 0) return 0;
            } else if (c == '.') {
                if (CompileExtension(idx) == -1) return -1;
            } else {
                Report(MSG_ANWEISUNG_UNBEKANNT, 1);
                // The character is left to the skip, so that a ";" right
                // after the name ends this statement and not the next one.
                PushBack(c);
                SkipText(1);
            }
        }
        // Any other word begins no statement: it stays consumed.
    }

    SkipText(0);
    SourceMark q = MarkSource();
    ReadIdentifier(w);
    if (std::strcmp(w, "#ENDNOMIN") == 0) {
        CS.MinimizeFlag = 1;
    } else {
        ResetSource(q);
    }
    return 1;
}
