// The compiler's only ways out to its host program: the compile-log lines,
// one copy of every diagnostic as it is written, and the out-of-memory box.
// Each host (talmirc, TALMIR.exe) installs its callbacks before a compile.
#pragma once

struct CompileHost {
    // Remove the last line of the compile log (a transient line being replaced).
    void (*log_delete_last)(void* ctx);
    // Append a line to the compile log; transient is 1 for a progress frame.
    void (*log_append)(void* ctx, const char* text, int transient);
    // A diagnostic entry as it goes to the ERR file: line 0 means no line prefix.
    // severity 0 warning, 1 error. Text is Windows-1252 and may contain "\n".
    void (*diagnostic)(void* ctx, int line, int severity, const char* text);
    // "Nicht genügend Speicher für Compilierung", owned by window.
    void (*out_of_memory_box)(void* ctx, void* window);
    void* ctx;
};

// Installs the host; nullptr installs a host that discards everything.
void SetCompileHost(const CompileHost* host);
const CompileHost& CurrentCompileHost();

// Shows the compiler's out-of-memory message box through the host.
void ShowOutOfMemoryBox(void* window);
