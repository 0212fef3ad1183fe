// The equation writer: has one equation minimized and appends its text to
// the ZW file: the header, then a constant line or one line per product term
// and the count line.
#include "compiler/logic/equation_writer.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/symbols.h"
#include "compiler/logic/minimize.h"

int WriteEquation(ExprNode* tree, const char* name) {
    if (!name) name = "";
    char text[128];
    std::snprintf(text, sizeof text, "Minimierung von %s", name);
    LogMessage(text, 0);
    Cover cover = nullptr;
    int last = -1;
    if (MinimizeEquation(tree, &cover, &last) < 0) return -1;
    bool zero = cover[0] && GetCode(cover, 0, 0) == MARK_ZERO;
    if (Polarity == CODE_NEG && !zero)
        CS.Zw.Printf("NOT %s = ", name);
    else
        CS.Zw.Printf("%s = ", name);
    WriteCover(cover, last);
    return 1;
}

void WriteCover(Cover cover, int last) {
    const int n = CountVariables();
    const int live = LiveCubeCount(cover, last, n);
    if (cover[0]) {
        int mark = GetCode(cover, 0, 0);
        if (mark == MARK_ZERO || mark == MARK_ONE) {
            CS.Zw.Write(mark == MARK_ZERO ? "__GND\t\t; 1\n" : "__VCC\t\t; 1\n");
            FreeCover(cover);
            return;
        }
    }
    // Names and their lengths looked up once: an unminimized equation has
    // hundreds of thousands of terms.
    std::vector<const char*> names(static_cast<size_t>(n));
    std::vector<size_t> lengths(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        names[size_t(i)] = SymbolTable[CS.FirstUserSymbol + i].Name;
        lengths[size_t(i)] = std::strlen(names[size_t(i)]);
    }
    int written = 0;
    for (int k = 0; k <= last; ++k) {
        if (!SlotLive(cover, k, n)) continue;
        int m = LiteralCount(cover, k, n);
        int w = 0;
        for (int i = 0; i < n; ++i) {
            int code = GetCode(cover, k, i);
            if (code == CODE_NEG) {
                CS.Zw.Put(" NOT ", 5);
                CS.Zw.Put(names[size_t(i)], lengths[size_t(i)]);
                ++w;
            } else if (code == CODE_POS) {
                CS.Zw.Put(names[size_t(i)], lengths[size_t(i)]);
                ++w;
            }
            if (code != CODE_ABSENT && w > 0 && w < m) CS.Zw.Put(" & ", 3);
        }
        ++written;
        CS.Zw.Write(written < live ? " OR\n\t\t" : "\n\t\t");
    }
    CS.Zw.Printf("\t\t; %d \n", live);
    FreeCover(cover);
}
