// How a fuzz input is read: the first byte chooses the controller, the
// minimization level and whether one work-memory request is refused; the
// rest is the source. Shared by the fuzz target and the replay test so that a
// kept input means the same compile in both.
//
//   byte 0, bits 0-1: controller  0 TREVA, 1 ZIRKO L2, 2 ZIRKO M2, 3 ZIRKO M2E
//   byte 0, bits 2-3: level       0 NOMIN, 1 STRONGMIN, 2 and 3 ESPRESSO
//   byte 0, bit 4:    refusal     byte 1 + 1 is the AllocWork request refused
//   byte 0, bits 5-6: both set: differential, compiled with the fast and the
//                     reference algorithms, which must write the same files
//                     (without a refusal only: the two differ in requests)
//
// Complete minimization is exponential in the number of variables of an
// equation, so a source longer than kStrongMinLimit bytes is compiled with
// ESPRESSO instead of STRONGMIN: the per-input time limit then finds real
// hangs instead of legitimately slow minimizations.
#pragma once
#include <cstddef>
#include <cstdint>

namespace talmir_fuzz {

constexpr size_t kStrongMinLimit = 512;

struct FuzzCase {
    int plcType;          // 0, 1, 4 or 5
    int minLevel;         // 0 NOMIN, 1 STRONGMIN, 2 ESPRESSO
    long failAt;          // AllocWork request refused (1-based), 0 none
    bool differential;    // compare fast and reference algorithms
    const uint8_t* source;
    size_t sourceSize;
};

inline FuzzCase DecodeFuzzInput(const uint8_t* data, size_t size) {
    static const int kPlc[4] = {0, 1, 4, 5};
    FuzzCase c{1, 2, 0, false, data, size};
    if (size == 0) return c;
    uint8_t head = data[0];
    c.plcType = kPlc[head & 3];
    int level = (head >> 2) & 3;
    c.minLevel = level > 2 ? 2 : level;
    size_t skip = 1;
    if ((head & 0x10) && size >= 2) {
        c.failAt = long(data[1]) + 1;
        skip = 2;
    }
    c.differential = (head & 0x60) == 0x60 && c.failAt == 0;
    c.source = data + skip;
    c.sourceSize = size - skip;
    if (c.minLevel == 1 && c.sourceSize > kStrongMinLimit) c.minLevel = 2;
    return c;
}

}  // namespace talmir_fuzz
