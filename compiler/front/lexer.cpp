// Source reader and lexer primitives. The reader keeps one buffer of the
// file (or a copy of a memory block), one character of push-back and the C
// end-of-file indicator; the primitives below count every newline they read
// into CS.LineNumber.
#include "compiler/front/lexer.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"

// ---------------------------------------------------------------------------
// SourceReader

bool SourceReader::Open(const char* path) {
    Close();
    f_ = std::fopen(path, "rb");
    if (!f_) return false;
    bufLen_ = bufPos_ = 0;
    bufStart_ = 0;
    eof_ = false;
    pushed_ = -1;
    pushedPos_ = lastPos_ = 0;
    return true;
}

void SourceReader::OpenBuffer(const char* data, size_t n) {
    Close();
    unsigned char* copy = new unsigned char[n ? n : 1];
    if (n) std::memcpy(copy, data, n);
    mem_ = copy;
    memLen_ = n;
    bufLen_ = n;
    bufPos_ = 0;
    bufStart_ = 0;
    eof_ = false;
    pushed_ = -1;
    pushedPos_ = lastPos_ = 0;
}

void SourceReader::Close() {
    if (f_) {
        std::fclose(f_);
        f_ = nullptr;
    }
    if (mem_) {
        delete[] mem_;
        mem_ = nullptr;
    }
    memLen_ = 0;
    bufLen_ = bufPos_ = 0;
    bufStart_ = 0;
    eof_ = false;
    pushed_ = -1;
}

bool SourceReader::IsOpen() const { return f_ != nullptr || mem_ != nullptr; }

bool SourceReader::Fill() {
    if (!f_) return false;
    bufStart_ += static_cast<long>(bufLen_);
    bufPos_ = 0;
    bufLen_ = std::fread(buf_, 1, sizeof buf_, f_);
    return bufLen_ > 0;
}

int SourceReader::RawByte() {
    if (bufPos_ < bufLen_) return mem_ ? mem_[bufPos_++] : buf_[bufPos_++];
    if (mem_ || !Fill()) return EOF;
    return buf_[bufPos_++];
}

int SourceReader::Get() {
    if (pushed_ >= 0) {
        int c = pushed_;
        pushed_ = -1;
        lastPos_ = pushedPos_;
        return c;
    }
    if (!IsOpen()) {
        eof_ = true;
        return EOF;
    }
    lastPos_ = bufStart_ + static_cast<long>(bufPos_);
    int c = RawByte();
    if (c == EOF) {
        eof_ = true;
        return EOF;
    }
    if (c == '\r') {
        // A CR right before an LF is dropped; any other CR is a character.
        int next = RawByte();
        if (next == '\n') return '\n';
        if (next != EOF) --bufPos_;  // the byte just read is still in the buffer
    }
    return c;
}

void SourceReader::Unget(int c) {
    if (c == EOF) return;
    pushed_ = c & 0xFF;
    pushedPos_ = lastPos_;
    eof_ = false;
}

long SourceReader::Tell() const {
    if (pushed_ >= 0) return pushedPos_;
    return bufStart_ + static_cast<long>(bufPos_);
}

void SourceReader::Seek(long pos) {
    pushed_ = -1;
    eof_ = false;
    if (pos < 0) pos = 0;
    lastPos_ = pos;
    if (mem_) {
        size_t p = static_cast<size_t>(pos);
        bufPos_ = p < memLen_ ? p : memLen_;
        return;
    }
    if (!f_) return;
    if (pos >= bufStart_ && pos <= bufStart_ + static_cast<long>(bufLen_)) {
        bufPos_ = static_cast<size_t>(pos - bufStart_);
        return;
    }
    if (std::fseek(f_, pos, SEEK_SET) != 0) {
        // Not reachable for positions from Tell(); leave the reader at its end.
        std::fseek(f_, 0, SEEK_END);
        pos = std::ftell(f_);
        if (pos < 0) pos = 0;
    }
    bufStart_ = pos;
    bufLen_ = bufPos_ = 0;
}

// ---------------------------------------------------------------------------
// Helpers on CS.Source

SourceMark MarkSource() { return {CS.Source.Tell(), CS.LineNumber}; }

void ResetSource(const SourceMark& m) {
    CS.Source.Seek(m.pos);
    CS.LineNumber = m.line;
}

int ReadChar() { return CS.Source.Get(); }
void PushBack(int c) { CS.Source.Unget(c); }

int PeekChar() {
    int c = CS.Source.Get();
    CS.Source.Unget(c);
    return c;
}

bool SourceAtEnd() { return CS.Source.AtEnd(); }

bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsBlank(int c) { return c == ' ' || c == '\t'; }

// ---------------------------------------------------------------------------
// Primitives of the language

static bool IsTokenDelimiter(int c) {
    switch (c) {
    case ';': case ',': case '[': case ']': case '(': case ')':
    case ':': case '=': case '.': case '<': case '>':
        return true;
    default:
        return false;
    }
}

int SkipComment() {
    long start = CS.Source.Tell();
    int c = CS.Source.Get();
    if (c != '(') {
        CS.Source.Unget(c);
        return 0;
    }
    c = CS.Source.Get();
    if (c != '*') {
        CS.Source.Seek(start);  // the "(" is read again by the caller
        return 0;
    }
    bool star = false;
    for (;;) {
        c = CS.Source.Get();
        if (c == EOF) return 0;
        if (c == '\n') ++CS.LineNumber;
        if (star && c == ')') return 1;
        star = (c == '*');
    }
}

int SkipText(int mode) {
    int startLine = CS.LineNumber;
    for (;;) {
        int c = CS.Source.Get();
        if (mode == 0) {
            if (c == '\n') {
                ++CS.LineNumber;
            } else if (IsBlank(c)) {
                // go on
            } else if (c == '(') {
                CS.Source.Unget(c);
                if (!SkipComment()) break;  // the "(" remains to be read
            } else {
                CS.Source.Unget(c);
                break;
            }
        } else {
            if (c == ';' || c == ',') {
                if (mode == 1) CS.Source.Unget(c);
                break;
            }
            if (c == EOF) break;
            if (c == '\n') {
                ++CS.LineNumber;
            } else if (c == '(') {
                CS.Source.Unget(c);
                if (!SkipComment()) CS.Source.Get();  // read the "(" again
            }
        }
    }
    return CS.LineNumber - startLine;
}

int ReadIdentifier(char* buffer) {
    buffer[0] = '\0';
    int count = 0;

    // Start state: blanks, newlines and comments before the identifier.
    for (;;) {
        int c = CS.Source.Get();
        if (IsBlank(c)) continue;
        if (c == '\n') {
            ++CS.LineNumber;
            continue;
        }
        if (IsLetter(c) || c == '_' || c == '#') {
            CS.Source.Unget(c);
            break;
        }
        if (c == '(') {
            CS.Source.Unget(c);
            if (SkipComment()) continue;
            Report(MSG_BEZEICHNER_NICHT_KORREKT, 1);
            return 0;
        }
        Report(MSG_BEZEICHNER_NICHT_KORREKT, 1);
        return 0;
    }

    enum { FIRST, JOINER, BODY } state = FIRST;
    for (;;) {
        int c = CS.Source.Get();
        if (count == kMaxIdentifier + 1) {
            // The character after the 13th is dropped.
            Report(MSG_BEZEICHNER_ZU_LANG, 1);
            SkipText(1);
            return 0;
        }
        switch (state) {
        case FIRST:
            if (c == '_' || c == '#') {
                state = JOINER;
            } else if (IsLetter(c)) {
                state = BODY;
            } else {
                Report(MSG_BEZEICHNER_NICHT_KORREKT, 1);
                return 0;
            }
            break;
        case JOINER:
            if (IsLetter(c) || IsDigit(c)) {
                state = BODY;
            } else {
                Report(MSG_BEZEICHNER_NICHT_KORREKT, 1);
                return 0;
            }
            break;
        case BODY:
            if (IsBlank(c) || c == EOF) return 1;
            if (c == '\n') {
                ++CS.LineNumber;
                return 1;
            }
            if (IsTokenDelimiter(c)) {
                CS.Source.Unget(c);
                return 1;
            }
            if (c == '_') {
                state = JOINER;
            } else if (!(IsLetter(c) || IsDigit(c))) {
                Report(MSG_BEZEICHNER_NICHT_KORREKT, 1);
                return 0;
            }
            break;
        }
        // count is at most 13 here, so the 16-byte buffer always has room.
        buffer[count++] = static_cast<char>(c);
        buffer[count] = '\0';
    }
}

void ExpectSemicolon() {
    SkipText(0);
    int c = CS.Source.Get();
    if (c == ';') return;
    Report(MSG_SEMIKOLON_FEHLT, 1);
    CS.Source.Unget(c);
}

int FindProgramKeyword() {
    static const char kWord[] = "PROGRAM";
    int i = 0;
    for (;;) {
        int c = CS.Source.Get();
        if (c == EOF) return 0;
        if (c == kWord[i]) {
            if (++i == 7) return 1;
        } else if (i > 0) {
            CS.Source.Unget(c);
            i = 0;
        } else if (c == '\n') {
            ++CS.LineNumber;
        }
    }
}
