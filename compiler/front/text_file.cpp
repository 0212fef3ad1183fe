#include "compiler/front/text_file.h"

#include <cstdarg>
#include <cstring>
#include <string>

bool OutFile::Open(const char* path) {
    Close();
    failed_ = false;
    used_ = 0;
    f_ = std::fopen(path, "wb");
    return f_ != nullptr;
}

void OutFile::Flush() {
    if (used_ && std::fwrite(buf_, 1, used_, f_) != used_) failed_ = true;
    used_ = 0;
}

void OutFile::Close() {
    if (f_) {
        Flush();
        if (std::fclose(f_) != 0) failed_ = true;
        f_ = nullptr;
    }
}

void OutFile::PutLong(const char* text, size_t len) {
    if (!f_) return;
    while (len) {
        if (used_ == sizeof buf_) Flush();
        size_t take = len < sizeof buf_ - used_ ? len : sizeof buf_ - used_;
        std::memcpy(buf_ + used_, text, take);
        used_ += take;
        text += take;
        len -= take;
    }
}

void OutFile::Write(const char* text) {
    if (!f_) return;
    const char* p = text;
    while (*p) {
        const char* nl = std::strchr(p, '\n');
        size_t len = nl ? static_cast<size_t>(nl - p) : std::strlen(p);
        Put(p, len);
        p += len;
        if (!nl) break;
        if (used_ + 2 > sizeof buf_) Flush();
        buf_[used_++] = '\r';
        buf_[used_++] = '\n';
        ++p;
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
