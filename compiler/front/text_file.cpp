#include "compiler/front/text_file.h"

#include <cstdarg>
#include <cstring>
#include <string>

bool OutFile::Open(const char* path) {
    Close();
    failed_ = false;
    f_ = std::fopen(path, "wb");
    return f_ != nullptr;
}

void OutFile::Close() {
    if (f_) {
        if (std::fclose(f_) != 0) failed_ = true;
        f_ = nullptr;
    }
}

void OutFile::Write(const char* text) {
    if (!f_) return;
    const char* p = text;
    while (*p) {
        const char* nl = std::strchr(p, '\n');
        size_t len = nl ? static_cast<size_t>(nl - p) : std::strlen(p);
        if (len && std::fwrite(p, 1, len, f_) != len) failed_ = true;
        if (!nl) break;
        if (std::fwrite("\r\n", 1, 2, f_) != 2) failed_ = true;
        p = nl + 1;
    }
}

void OutFile::Printf(const char* format, ...) {
    if (!f_) return;
    char small[512];
    va_list ap;
    va_start(ap, format);
    int n = std::vsnprintf(small, sizeof small, format, ap);
    va_end(ap);
    if (n < 0) return;
    if (static_cast<size_t>(n) < sizeof small) {
        Write(small);
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    va_start(ap, format);
    std::vsnprintf(&big[0], big.size(), format, ap);
    va_end(ap);
    Write(big.c_str());
}
