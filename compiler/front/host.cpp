#include "compiler/front/host.h"

namespace {
CompileHost g_silent = {nullptr, nullptr, nullptr, nullptr, nullptr};
CompileHost g_host = g_silent;
}  // namespace

void SetCompileHost(const CompileHost* host) { g_host = host ? *host : g_silent; }
const CompileHost& CurrentCompileHost() { return g_host; }

void ShowOutOfMemoryBox(void* window) {
    if (g_host.out_of_memory_box) g_host.out_of_memory_box(g_host.ctx, window);
}
