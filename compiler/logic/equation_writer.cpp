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
    // Every literal's text, with the " & " that follows all but a term's last
    // literal, built once: an unminimized equation has hundreds of thousands
    // of terms. Names have at most 15 characters, so a text fits its block.
    constexpr size_t kBlock = OutFile::kPadded;
    std::vector<char> texts(size_t(n) * 2 * kBlock, ' ');
    std::vector<size_t> lengths(size_t(n) * 2);
    for (int i = 0; i < n; ++i) {
        const char* name = SymbolTable[CS.FirstUserSymbol + i].Name;
        const void* end = std::memchr(name, 0, sizeof SymbolTable[0].Name);
        size_t len = end ? size_t(static_cast<const char*>(end) - name) : sizeof SymbolTable[0].Name;
        char* pos = &texts[size_t(i) * 2 * kBlock];
        char* neg = pos + kBlock;
        std::memcpy(pos, name, len);
        std::memcpy(pos + len, " & ", 3);
        std::memcpy(neg, " NOT ", 5);
        std::memcpy(neg + 5, name, len);
        std::memcpy(neg + 5 + len, " & ", 3);
        lengths[size_t(i) * 2] = len;
        lengths[size_t(i) * 2 + 1] = len + 5;
    }
    int written = 0;
    for (int k = 0; k <= last; ++k) {
        if (!SlotLive(cover, k, n)) continue;
        int m = LiteralCount(cover, k, n);
        int w = 0;
        const CubeWord* cube = cover[k];
        // A cube without a marker is read straight from its words.
        const bool marked = n > 0 && (cube[0] & 3u) == CODE_TWO;
        for (int i = 0; i < n; ++i) {
            int code = marked ? GetCode(cover, k, i) : int((cube[i / 16] >> (2 * (i % 16))) & 3u);
            if (code != CODE_NEG && code != CODE_POS) {
                // A code 2 is no literal but stands between two.
                if (code != CODE_ABSENT && w > 0 && w < m) CS.Zw.Put(" & ", 3);
                continue;
            }
            size_t t = size_t(i) * 2 + (code == CODE_NEG ? 1 : 0);
            ++w;
            CS.Zw.PutPadded(&texts[t * kBlock], lengths[t] + (w < m ? 3 : 0));
        }
        ++written;
        CS.Zw.Write(written < live ? " OR\n\t\t" : "\n\t\t");
    }
    CS.Zw.Printf("\t\t; %d \n", live);
    FreeCover(cover);
}
