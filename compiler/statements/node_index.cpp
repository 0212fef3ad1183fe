// The node pool's occupancy index. The first-fit scan of AllocNode probes
// exactly the occupied nodes below the lowest free one, so once that node is
// known the probes can be counted arithmetically.
#include "compiler/statements/node_index.h"

#include <cstdint>

#include "compiler/front/diagnostics.h"
#include "compiler/statements/expr_tree.h"

namespace {

constexpr int kWords = (kNodePoolLarge + 63) / 64;
constexpr int kSummaryWords = (kWords + 63) / 64;

uint64_t g_taken[kWords];          // bit i % 64 of word i / 64: node i is 'T'
uint64_t g_full[kSummaryWords];    // bit w % 64 of word w / 64: word w is all ones
const ExprNode* g_pool = nullptr;  // the pool the bits describe
int g_nodes = 0;                   // nodes the bits describe

void SetTaken(int i) {
    int w = i >> 6;
    g_taken[w] |= uint64_t(1) << (i & 63);
    if (g_taken[w] == ~uint64_t(0)) g_full[w >> 6] |= uint64_t(1) << (w & 63);
}

void SetFree(int i) {
    int w = i >> 6;
    g_taken[w] &= ~(uint64_t(1) << (i & 63));
    g_full[w >> 6] &= ~(uint64_t(1) << (w & 63));
}

// Rebuilds the bits from the marks of the current pool.
void Rebuild() {
    for (uint64_t& w : g_taken) w = 0;
    for (uint64_t& w : g_full) w = 0;
    g_pool = NodePool;
    g_nodes = NodePool ? NodePoolCapacity : 0;
    if (g_nodes > kNodePoolLarge) g_nodes = kNodePoolLarge;
    int limit = g_nodes < NodePoolHighWater ? g_nodes : NodePoolHighWater;
    for (int i = 0; i < limit; ++i)
        if (NodePool[i].mark == 'T') SetTaken(i);
}

bool Tracked(const ExprNode* n, int* index) {
    if (!g_pool || g_pool != NodePool || !n) return false;
    long i = long(n - g_pool);
    if (i < 0 || i >= g_nodes) return false;
    *index = int(i);
    return true;
}

// The lowest node that is not taken, or g_nodes when all are.
int LowestFree() {
    for (int s = 0; s < kSummaryWords; ++s) {
        if (g_full[s] == ~uint64_t(0)) continue;
        int w = s * 64 + __builtin_ctzll(~g_full[s]);
        if (w >= kWords) break;
        int i = w * 64 + __builtin_ctzll(~g_taken[w]);
        return i < g_nodes ? i : g_nodes;
    }
    return g_nodes;
}

// Adds `probes` occupied nodes to NodeProbeCount, with one progress frame
// each time the count comes round to 0, as the scan does one by one.
void CountProbes(long probes) {
    long total = long(NodeProbeCount) + probes;
    long frames = total / 65536;
    NodeProbeCount = int(total % 65536);
    for (long f = 0; f < frames; ++f) StepProgress();
}

}  // namespace

void NodeIndexReset() { Rebuild(); }

void NodeIndexNoteTaken(const ExprNode* n) {
    int i;
    if (Tracked(n, &i)) SetTaken(i);
}

void NodeIndexNoteFree(const ExprNode* n) {
    int i;
    if (Tracked(n, &i)) SetFree(i);
}

ExprNode* FastAllocNode() {
    if (NodePoolCapacity <= 0 || !NodePool) return nullptr;
    if (g_pool != NodePool || NodePoolCapacity > g_nodes) Rebuild();
    int limit = NodePoolCapacity;  // tests may narrow the pool
    // Free is: at or above the high-water mark, or not marked 'T'.
    int i = LowestFree();
    if (NodePoolHighWater < i) i = NodePoolHighWater;
    if (i >= limit) {
        CountProbes(limit);
        return nullptr;
    }
    CountProbes(i);
    ExprNode* n = NodePool + i;
    if (i + 1 > NodePoolHighWater) NodePoolHighWater = i + 1;
    n->mark = 'T';
    n->is_leaf = 0;
    SetTaken(i);
    return n;
}
