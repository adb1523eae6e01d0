// Line reader: chunked input, line-end pairs, cutting of long lines.
#include "support/linefile.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

struct LineFileRec {
    FILE* fp = nullptr; // null when reading from memory
    const unsigned char* mem = nullptr;
    size_t mem_size = 0;
    size_t mem_pos = 0;
    unsigned char chunk[LINEFILE_CHUNK];
    int chunk_len = 0;
    int chunk_pos = 0;
    // The partner of the last line end seen (LF after CR, CR after LF). When it
    // comes next it belongs to that end, also across a chunk boundary or a call.
    unsigned char pair = 0;
    int line_number = 0;
    long long max_bytes = 0; // cap of a file; memory has none
    long long taken = 0;     // bytes read from the file so far

    ~LineFileRec() {
        if (fp) fclose(fp);
    }
};

int LineFile_New(const char* path, LineFile* out) {
    return LineFile_NewCapped(path, LINEFILE_MAX_BYTES, out);
}

int LineFile_NewCapped(const char* path, long long max_bytes, LineFile* out) {
    if (!path || !out) return LINEFILE_ERR_NULL_ARG;
    // Opened without blocking: a named pipe without a writer (or a device such as
    // a modem line) would keep a plain open waiting for good. Only a regular file
    // is a text file to read; a directory, a pipe or a device such as /dev/zero,
    // which never ends, is refused before anything is read. The file is then read
    // as usual, with blocking reads.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return LINEFILE_ERR_OPEN;
    struct stat st;
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return LINEFILE_ERR_OPEN;
    }
    if (st.st_size > max_bytes) {
        ::close(fd);
        return LINEFILE_ERR_READ;
    }
    FILE* fp = fdopen(fd, "rb");
    if (!fp) {
        ::close(fd);
        return LINEFILE_ERR_OPEN;
    }
    LineFileRec* lf = new (std::nothrow) LineFileRec;
    if (!lf) {
        fclose(fp);
        return LINEFILE_ERR_NO_MEMORY;
    }
    lf->fp = fp;
    lf->max_bytes = max_bytes;
    *out = lf;
    return 0;
}

int LineFile_NewFromMemory(const char* bytes, size_t size, LineFile* out) {
    if ((!bytes && size > 0) || !out) return LINEFILE_ERR_NULL_ARG;
    LineFileRec* lf = new (std::nothrow) LineFileRec;
    if (!lf) return LINEFILE_ERR_NO_MEMORY;
    lf->mem = reinterpret_cast<const unsigned char*>(bytes);
    lf->mem_size = size;
    *out = lf;
    return 0;
}

void LineFile_Dispose(LineFile lf) {
    delete lf;
}

// Refills the chunk. Returns the number of bytes now available, 0 at the end,
// or LINEFILE_ERR_READ.
static int fill_chunk(LineFileRec* lf) {
    lf->chunk_pos = 0;
    if (lf->fp) {
        const size_t n = fread(lf->chunk, 1, LINEFILE_CHUNK, lf->fp);
        lf->chunk_len = static_cast<int>(n);
        if (n == 0 && ferror(lf->fp)) return LINEFILE_ERR_READ;
        // The size seen at opening may be stale: a file still being written, or
        // one of the system's files that report no size at all.
        lf->taken += static_cast<long long>(n);
        if (lf->taken > lf->max_bytes) {
            lf->chunk_len = 0;
            return LINEFILE_ERR_READ;
        }
        return lf->chunk_len;
    }
    size_t n = lf->mem_size - lf->mem_pos;
    if (n > LINEFILE_CHUNK) n = LINEFILE_CHUNK;
    if (n > 0) memcpy(lf->chunk, lf->mem + lf->mem_pos, n);
    lf->mem_pos += n;
    lf->chunk_len = static_cast<int>(n);
    return lf->chunk_len;
}

int LineFile_Read(LineFile lf, char* line, int size, int* length) {
    if (!lf || !line || size < 1) return LINEFILE_ERR_NULL_ARG;
    int len = 0;
    bool started = false;
    for (;;) {
        if (lf->chunk_pos == lf->chunk_len) {
            const int got = fill_chunk(lf);
            if (got < 0) return got;
            if (got == 0) {
                if (!started) return 0;
                break; // the last line needs no line end
            }
        }
        const unsigned char c = lf->chunk[lf->chunk_pos++];
        if (lf->pair) {
            const unsigned char partner = lf->pair;
            lf->pair = 0;
            if (c == partner) continue;
        }
        started = true;
        if (c == '\n' || c == '\r') {
            lf->pair = c == '\n' ? '\r' : '\n';
            break;
        }
        if (c == 0) break;
        if (len < size - 1) line[len++] = static_cast<char>(c);
    }
    line[len] = 0;
    lf->line_number++;
    if (length) *length = len;
    return 1;
}

int LineFile_ReadNonEmpty(LineFile lf, char* line, int size, int* length) {
    for (;;) {
        int len = 0;
        const int r = LineFile_Read(lf, line, size, &len);
        if (r <= 0) return r;
        for (int i = 0; i < len; i++) {
            if (!linefile_is_blank(line[i])) {
                if (length) *length = len;
                return 1;
            }
        }
    }
}

int LineFile_LineNumber(LineFile lf) {
    return lf ? lf->line_number : 0;
}
