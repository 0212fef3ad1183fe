#include "compiler/front/work_memory.h"

#include <cstdint>
#include <cstring>

#include "compiler/front/diagnostics.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

// Every block carries a small header in front of the caller's bytes: its
// mapped size, so that the block can be given back whole.
namespace {
constexpr size_t kHeader = 16;

long g_requests = 0;
long g_failAt = 0;
bool g_failAfter = false;
long g_outstanding = 0;
size_t g_bytesOut = 0;
size_t g_peakBytes = 0;
size_t g_limit = size_t(8) << 30;

size_t PageSize() {
#if defined(_WIN32)
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    return si.dwPageSize;
#else
    long p = sysconf(_SC_PAGESIZE);
    return p > 0 ? static_cast<size_t>(p) : 4096;
#endif
}

void* MapPages(size_t bytes) {
#if defined(_WIN32)
    return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
#else
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
#endif
}

void UnmapPages(void* p, size_t bytes) {
#if defined(_WIN32)
    (void)bytes;
    VirtualFree(p, 0, MEM_RELEASE);
#else
    munmap(p, bytes);
#endif
}
}  // namespace

void* AllocWork(size_t count, size_t size) {
    ++g_requests;
    bool refuse = g_failAt > 0 && (g_requests == g_failAt || (g_failAfter && g_requests > g_failAt));
    size_t bytes = 0;
    if (!refuse) {
        if (size != 0 && count > (SIZE_MAX - kHeader - 65536) / size) {
            refuse = true;
        } else {
            size_t page = PageSize();
            bytes = (count * size + kHeader + page - 1) / page * page;
            if (bytes > g_limit || g_bytesOut > g_limit - bytes) refuse = true;
        }
    }
    void* p = refuse ? nullptr : MapPages(bytes);
    if (!p) {
        Report(MSG_SPEICHER_VOLL, 0);
        return nullptr;
    }
    std::memcpy(p, &bytes, sizeof bytes);
    ++g_outstanding;
    g_bytesOut += bytes;
    if (g_bytesOut > g_peakBytes) g_peakBytes = g_bytesOut;
    return static_cast<unsigned char*>(p) + kHeader;
}

void FreeWork(void* block) {
    if (!block) return;
    unsigned char* base = static_cast<unsigned char*>(block) - kHeader;
    size_t bytes;
    std::memcpy(&bytes, base, sizeof bytes);
    --g_outstanding;
    g_bytesOut -= bytes;
    UnmapPages(base, bytes);
}

void WorkMemoryFailAt(long k, bool failAfter) {
    g_failAt = k;
    g_failAfter = failAfter;
}

void WorkMemoryResetCounters() {
    g_requests = 0;
    g_failAt = 0;
    g_failAfter = false;
}

long WorkMemoryRequestCount() { return g_requests; }
long WorkMemoryOutstandingBlocks() { return g_outstanding; }
void WorkMemorySetLimit(size_t bytes) { g_limit = bytes; }
size_t WorkMemoryPeakBytes() { return g_peakBytes; }
void WorkMemoryResetPeak() { g_peakBytes = g_bytesOut; }
