// Line reader for text files of any origin.
//
// Settings files are edited by hand on several systems, so a line may end in
// CR LF, LF, CR, LF CR or a zero byte, and the last line may have no end at all.
// The reader takes the file in chunks of 2048 bytes and hands out one line at a
// time as a C string, never longer than the caller's buffer: the rest of an
// over-long line is dropped, not carried into the next line. The same reader
// works on a block of memory, which lets the fuzzer and the tests reach exactly
// the code that reads files.
#pragma once

#include <cstddef>

// Status codes; they match the ini store's codes for the same failures.
constexpr int LINEFILE_ERR_NULL_ARG = -65;
constexpr int LINEFILE_ERR_NO_MEMORY = -12;
constexpr int LINEFILE_ERR_OPEN = -5001;
constexpr int LINEFILE_ERR_READ = -5002;

constexpr int LINEFILE_CHUNK = 2048;

// Size cap of every file read line by line, far above any real one: a record
// file of forty full recordings of 32767 records each stays below it, the other
// text files are kilobytes. A larger file is refused with LINEFILE_ERR_READ
// before anything is read, so a wrong choice in a file dialog (a disk image, a
// video) costs neither time nor memory; a file that grows past the cap while it
// is read fails at that point. Readers that keep a file in memory, as the ini
// store does, set a lower cap of their own.
constexpr long long LINEFILE_MAX_BYTES = 256LL << 20;

typedef struct LineFileRec* LineFile;

// Opens the regular file `path` for reading. Anything else (a directory, a named
// pipe, a device) is refused with LINEFILE_ERR_OPEN at once, without waiting for
// a writer; a file above LINEFILE_MAX_BYTES with LINEFILE_ERR_READ. Returns 0 and
// the reader in `*out`, or an error (`*out` untouched).
int LineFile_New(const char* path, LineFile* out);

// The same with a cap of `max_bytes` (at most LINEFILE_MAX_BYTES is sensible).
int LineFile_NewCapped(const char* path, long long max_bytes, LineFile* out);

// Reads from `size` bytes at `bytes`, which must stay valid until the reader is
// disposed; memory is already taken, so no cap applies. Returns 0 or an error,
// like LineFile_New.
int LineFile_NewFromMemory(const char* bytes, size_t size, LineFile* out);

// Closes the file and frees the reader; null is allowed.
void LineFile_Dispose(LineFile lf);

// Reads the next line into `line` (capacity `size` bytes including the closing
// zero, at least 1), without its line end. `length` (may be null) receives the
// number of bytes stored. Returns 1 for a line, 0 at the end of the input, or
// LINEFILE_ERR_READ (also once the file has grown past its cap) /
// LINEFILE_ERR_NULL_ARG.
int LineFile_Read(LineFile lf, char* line, int size, int* length);

// As LineFile_Read, but skips lines that are empty or hold only white space.
int LineFile_ReadNonEmpty(LineFile lf, char* line, int size, int* length);

// Number of the line last returned, counting from 1 and including skipped lines;
// 0 before the first line.
int LineFile_LineNumber(LineFile lf);

// White space inside a line: blank, tab, vertical tab, form feed (and the line
// end characters, for text that did not come through the reader).
inline bool linefile_is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}
