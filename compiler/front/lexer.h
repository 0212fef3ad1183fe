// Source reader and lexer: the source is read character by character from a
// buffered binary reader with one character of push-back, position query and
// seek; a CR right before an LF never reaches the lexer. Every newline that the
// primitives below read advances CS.LineNumber.
#pragma once
#include <cstddef>
#include <cstdio>

class SourceReader {
public:
    SourceReader() = default;
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;
    ~SourceReader() { Close(); }

    bool Open(const char* path);                 // false when it cannot be opened
    void OpenBuffer(const char* data, size_t n);  // reads a copy of data (tests)
    void Close();
    bool IsOpen() const;

    int Get();            // next character 0..255, or EOF (-1) which sets AtEnd()
    void Unget(int c);    // one character of push-back; Unget(EOF) does nothing
    long Tell() const;    // position of the next character Get() returns
    void Seek(long pos);  // back to a position from Tell(); clears AtEnd()
    bool AtEnd() const { return eof_; } // a read has run past the end

private:
    int RawByte();  // next raw byte or EOF
    bool Fill();

    FILE* f_ = nullptr;
    const unsigned char* mem_ = nullptr;  // OpenBuffer copy
    size_t memLen_ = 0;
    unsigned char buf_[65536];
    size_t bufLen_ = 0, bufPos_ = 0;
    long bufStart_ = 0;                   // file offset of buf_[0]
    bool eof_ = false;
    int pushed_ = -1;                     // pushed-back character, or -1
    long pushedPos_ = 0;                  // position of the pushed-back character
    long lastPos_ = 0;                    // position of the character Get() returned last
};

// A remembered place in the source: the stream position and LineNumber.
struct SourceMark {
    long pos;
    int line;
};
SourceMark MarkSource();
void ResetSource(const SourceMark& m);   // seeks back and restores LineNumber

// Single characters for the parsers (no line counting of their own).
int ReadChar();
void PushBack(int c);
int PeekChar();          // the next character, left unread
bool SourceAtEnd();      // the end-of-file indicator of the source

bool IsLetter(int c);    // ASCII letters only
bool IsDigit(int c);
bool IsBlank(int c);     // space or tab

// Primitives of the language (all diagnostics are errors with line prefix).
int ReadIdentifier(char* buffer);  // 16-byte buffer; 1 read, 0 failed (reported)
int SkipText(int mode);            // 0 blanks/comments, 1 up to ; or , , 2 past it
int SkipComment();                 // 1 when a comment was skipped
void ExpectSemicolon();            // consumes ";" or reports "; fehlt"
int FindProgramKeyword();          // 1 found, 0 at the end of the source

constexpr int kTokenBufferSize = 16;
constexpr int kMaxIdentifier = 12;
