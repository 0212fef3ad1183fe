// The fitter section at the end of the ZW file. Its text is the interface to
// the fitter and is kept to the character: device, pins, internal nodes,
// fixed pin assignments (groups too, with their member count) and the
// critical signals, each list in table order.
#include "compiler/front/fitter_section.h"

#include "compiler/front/driver.h"
#include "compiler/front/pin_maps.h"
#include "compiler/front/symbols.h"

static bool IsPinKind(int kind) {
    return kind == KIND_INPUT || kind == KIND_OUTPUT || kind == KIND_INOUT || kind == KIND_INPUT_P11 ||
           kind == KIND_INPUT_P35;
}

void WriteFitterSection() {
    OutFile& zw = CS.Zw;
    const int first = CS.FirstUserSymbol;
    const int last = CS.LastSymbol < kSymbolTableSize ? CS.LastSymbol : kSymbolTableSize - 1;

    zw.Write("\n\nDEVICE:\n");
    zw.Printf("\t\t%s\n\n", DeviceName(PlcType));

    zw.Write("\n\nPINS:\n");
    int pins = 0;
    for (int i = first; i <= last; ++i) {
        if (!IsPinKind(SymbolTable[i].Kind)) continue;
        zw.Printf("\t\t%s\n", SymbolTable[i].Name);
        ++pins;
    }
    zw.Printf("Summe: %d Pins\n", pins);

    zw.Write("\nNODES:\n");
    int nodes = 0;
    for (int i = first; i <= last; ++i) {
        if (SymbolTable[i].Kind != KIND_INTERN) continue;
        zw.Printf("\t\t%s\n", SymbolTable[i].Name);
        ++nodes;
    }
    zw.Printf("Summe: %d Nodes\n", nodes);

    zw.Write("\nFest_zugeordnete_Pins:\n");
    for (int i = first; i <= last; ++i)
        if (SymbolTable[i].Pin != 0) zw.Printf("\t\t%s_AT_%d\n", SymbolTable[i].Name, SymbolTable[i].Pin);

    zw.Write("\nKritische_Pfade:\n");
    for (int i = first; i <= last; ++i)
        if (SymbolTable[i].Critical == 1) zw.Printf("\t\t%s", SymbolTable[i].Name);
}
