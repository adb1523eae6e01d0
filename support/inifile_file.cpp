// Ini store: reading ini text, writing it, and replacing a file safely.
#include "support/inifile.h"
#include "support/inifile_store.h"
#include "support/linefile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

// ---- Reading ----

// A tag that ends in " Line" and digits is one piece of a value that was too long
// for one line. Returns the length of the tag in front of " Line", or 0 for any
// other tag; `first` tells whether the digits read 1 (the piece that starts a run).
static size_t continuation_piece(const std::string& tag, bool* first) {
    static const std::string_view marker = " Line";
    const size_t at = tag.rfind(marker);
    if (at == std::string::npos || at == 0) return 0;
    const size_t digits = at + marker.size();
    if (digits == tag.size()) return 0;
    size_t i = digits;
    while (i < tag.size() && tag[i] == '0') i++;
    for (size_t k = digits; k < tag.size(); k++) {
        if (tag[k] < '0' || tag[k] > '9') return 0;
    }
    *first = tag.size() - i == 1 && tag[i] == '1';
    return at;
}

// Joins every run of continuation pieces into its first piece, which takes the
// plain tag. A run starts at piece 1 and takes the directly following pieces with
// any other number; their base tags are not compared, as the writer never mixes
// them.
static void join_continuations(IniSection* s) {
    std::vector<IniItem>& items = s->items;
    size_t kept = 0;
    for (size_t i = 0; i < items.size();) {
        bool first = false;
        const size_t base = continuation_piece(items[i].tag, &first);
        size_t next = i + 1;
        if (base > 0 && first) {
            IniItem& head = items[i];
            bool next_first = false;
            while (next < items.size() && continuation_piece(items[next].tag, &next_first) > 0 &&
                   !next_first) {
                head.value += items[next].value;
                next++;
            }
            head.tag.assign(ini_trim(std::string_view(head.tag).substr(0, base)));
            head.key = ini_key(head.tag);
        }
        if (kept != i) items[kept] = std::move(items[i]);
        kept++;
        i = next;
    }
    items.resize(kept);
}

// Classifies one non-blank line and adds what it holds to `fresh`.
static void read_line(const IniStore* store, std::string_view s, int line_number,
                      std::vector<std::unique_ptr<IniSection>>& fresh) {
    while (!s.empty() && linefile_is_blank(s.front())) s.remove_prefix(1);
    if (s.empty() || s.substr(0, store->comment.size()) == store->comment) return;
    if (s.front() == store->section_start) {
        // The name runs to the last section end, so a name may itself hold one.
        const std::string_view inner = s.substr(1);
        const size_t end = inner.rfind(store->section_end);
        if (end == std::string_view::npos || !ini_trim(inner.substr(end + 1)).empty()) return;
        std::string_view name = inner.substr(0, end);
        while (!name.empty() && linefile_is_blank(name.back())) name.remove_suffix(1);
        auto section = std::make_unique<IniSection>();
        section->name = name;
        section->key = ini_key(name);
        section->sorted = store->auto_sort;
        section->line = line_number;
        fresh.push_back(std::move(section));
        return;
    }
    const size_t at = s.find(store->separator);
    if (at == std::string_view::npos || fresh.empty()) return;
    const std::string_view tag = ini_trim(s.substr(0, at));
    std::string_view value = ini_trim(s.substr(at + store->separator.size()));
    if (tag.empty() || value.empty()) return;
    IniItem item;
    if (value.size() > 1 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
        item.quoted = true;
    }
    item.tag = tag;
    item.key = ini_key(tag);
    item.value = value;
    item.line = line_number;
    fresh.back()->items.push_back(std::move(item));
}

// Reads everything first and adds it to the store only when all went well, so a
// failed read leaves the store as it was.
static int read_all(IniStore* store, LineFile lf) {
    try {
        std::vector<std::unique_ptr<IniSection>> fresh;
        char line[INI_MAX_LINE + 1];
        for (;;) {
            int length = 0;
            const int r = LineFile_ReadNonEmpty(lf, line, sizeof line, &length);
            if (r < 0) return r;
            if (r == 0) break;
            read_line(store, std::string_view(line, length), LineFile_LineNumber(lf), fresh);
        }
        for (auto& s : fresh) {
            join_continuations(s.get());
            if (s->sorted) ini_sort_items(s.get());
        }
        auto& sections = store->sections;
        sections.reserve(sections.size() + fresh.size());
        for (auto& s : fresh) sections.push_back(std::move(s));
        if (store->auto_sort) ini_sort_sections(sections);
        if (!fresh.empty()) {
            store->indexed = false;
            store->index.clear();
        }
    } catch (const std::bad_alloc&) {
        return INI_ERR_NO_MEMORY;
    } catch (const std::length_error&) {
        return INI_ERR_NO_MEMORY;
    }
    return 0;
}

int Ini_ReadFromFile(IniText store, const char* path) {
    if (!store || !path) return INI_ERR_NULL_ARG;
    LineFile lf = nullptr;
    int r = LineFile_NewCapped(path, INI_MAX_FILE_BYTES, &lf);
    if (r < 0) return r;
    r = read_all(store, lf);
    LineFile_Dispose(lf);
    return r;
}

int Ini_ReadFromText(IniText store, const char* bytes, size_t size) {
    if (!store || (!bytes && size > 0)) return INI_ERR_NULL_ARG;
    if (size > static_cast<unsigned long long>(INI_MAX_FILE_BYTES)) return INI_ERR_READ;
    LineFile lf = nullptr;
    int r = LineFile_NewFromMemory(bytes, size, &lf);
    if (r < 0) return r;
    r = read_all(store, lf);
    LineFile_Dispose(lf);
    return r;
}

// ---- Writing ----

static void append_item_line(const IniStore* store, std::string& out, const std::string& tag,
                             std::string_view value, bool quoted) {
    out += tag;
    out += store->item_separator;
    if (quoted) out += '"';
    out += value;
    if (quoted) out += '"';
    out += "\r\n";
}

static void format_store(const IniStore* store, std::string& out) {
    for (const auto& s : store->sections) {
        out += store->section_start;
        out += s->name;
        out += store->section_end;
        out += "\r\n";
        for (const IniItem& item : s->items) {
            const std::string_view value = item.value;
            if (value.size() <= static_cast<size_t>(INI_MAX_VALUE_PER_LINE)) {
                append_item_line(store, out, item.tag, value, item.quoted);
                continue;
            }
            int piece = 1;
            for (size_t at = 0; at < value.size(); at += INI_MAX_VALUE_PER_LINE) {
                char number[16];
                snprintf(number, sizeof number, "%04d", piece++);
                append_item_line(store, out, item.tag + " Line" + number,
                                 value.substr(at, INI_MAX_VALUE_PER_LINE), item.quoted);
            }
        }
        out += "\r\n";
    }
}

int Ini_WriteToText(IniText store, std::string* text) {
    if (!store || !text) return INI_ERR_NULL_ARG;
    try {
        std::string out;
        format_store(store, out);
        text->swap(out);
    } catch (const std::bad_alloc&) {
        return INI_ERR_NO_MEMORY;
    } catch (const std::length_error&) {
        return INI_ERR_NO_MEMORY;
    }
    return 0;
}

static int write_error(int err) {
    switch (err) {
    case ENOMEM:
        return INI_ERR_NO_MEMORY;
    case EACCES:
    case EPERM:
    case EROFS:
        return INI_ERR_NOT_WRITABLE;
    case ENOSPC:
    case EDQUOT:
        return INI_ERR_DISK_FULL;
    default:
        return INI_ERR_IO;
    }
}

// Mode for the new file: the old file's, or what a plain create would give.
static mode_t new_file_mode(bool exists, const struct stat& old) {
    if (exists) return old.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// ---- Replacing a file ----

int (*ini_file_step)(const char* step) = nullptr;

// Every step of a replacement that can fail passes here first, so that a test
// can make any one of them fail as a full disk or a broken device would.
static bool step_fails(const char* step) {
    if (!ini_file_step) return false;
    const int err = ini_file_step(step);
    if (err == 0) return false;
    errno = err;
    return true;
}

static int write_all(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const size_t n = std::min<size_t>(text.size() - done, INI_WRITE_CHUNK);
        if (step_fails("write")) return errno;
        const ssize_t w = ::write(fd, text.data() + done, n);
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return errno;
        if (w == 0) return EIO;
        done += static_cast<size_t>(w);
    }
    return 0;
}

// A temporary file of ours: the prefix, six characters from mkstemps and the
// extension, exactly.
static bool own_temp_name(const char* name) {
    static const char prefix[] = "ini$$";
    static const char suffix[] = ".TMP";
    const size_t p = sizeof prefix - 1, x = 6, e = sizeof suffix - 1;
    if (std::strlen(name) != p + x + e || std::strncmp(name, prefix, p) != 0 ||
        std::strcmp(name + p + x, suffix) != 0)
        return false;
    for (size_t i = p; i < p + x; i++)
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

// A save that was killed between creating its temporary file and the rename
// leaves the file behind, and the settings file is saved at every close. Ours
// that are older than a minute (no save takes that long) and belong to this
// user are removed; failures here change nothing about the save.
static void remove_stale_temps(const std::string& dir) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    const time_t now = time(nullptr);
    while (const dirent* e = readdir(d)) {
        if (!own_temp_name(e->d_name)) continue;
        struct stat st;
        if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != geteuid() || now - st.st_mtime <= INI_STALE_TEMP_SECONDS)
            continue;
        unlinkat(dirfd(d), e->d_name, 0);
    }
    closedir(d);
}

// Makes the rename itself durable. A file system that cannot sync a folder says
// EINVAL; it has nothing to make durable there.
static int sync_folder(const std::string& dir) {
    if (step_fails("sync folder")) return errno;
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = 0;
    if (fsync(fd) != 0 && errno != EINVAL) err = errno;
    ::close(fd);
    return err;
}

// Writes `text` to a fresh temporary file in `dir`, makes it durable and moves
// it onto `target`. Any failure up to the rename removes the temporary file and
// leaves the target alone. The temporary file is synced before the rename: on a
// crash the target then holds either all of the old text or all of the new one,
// never a file whose blocks had not reached the disk yet.
static int replace_file(const std::string& dir, const std::string& target, const std::string& text,
                        mode_t mode) {
    remove_stale_temps(dir);
    std::string temp = dir + "/ini$$XXXXXX.TMP";
    const int fd = mkstemps(temp.data(), 4);
    if (fd < 0) return write_error(errno);
    int err = fchmod(fd, mode) != 0 ? errno : 0;
    if (err == 0) err = write_all(fd, text);
    // A full disk or a failing device may show only when the data goes out.
    if (err == 0 && (step_fails("sync") || fsync(fd) != 0)) err = errno;
    int closed = ::close(fd) != 0 ? errno : 0;
    if (step_fails("close")) closed = errno;
    if (err == 0) err = closed;
    if (err == 0 && (step_fails("rename") || rename(temp.c_str(), target.c_str()) != 0)) err = errno;
    if (err != 0) {
        unlink(temp.c_str());
        return write_error(err);
    }
    // The new text is in place now; a folder that cannot be synced is still
    // reported, as the rename may not survive a power loss.
    err = sync_folder(dir);
    return err != 0 ? write_error(err) : 0;
}

int Ini_WriteToFile(IniText store, const char* path) {
    if (!store || !path) return INI_ERR_NULL_ARG;
    try {
        std::string text;
        format_store(store, text);
        // A link is followed, so that the file it names is replaced, not the link.
        std::string target = path;
        struct stat st;
        if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
            char* real = realpath(path, nullptr);
            if (!real) return INI_ERR_NOT_WRITABLE;
            target = real;
            free(real);
        }
        // Only a writable regular file is replaced: renaming onto a device or a
        // read-only file would destroy what the user asked to keep.
        const bool exists = stat(target.c_str(), &st) == 0;
        if (exists && (!S_ISREG(st.st_mode) || access(target.c_str(), W_OK) != 0))
            return INI_ERR_NOT_WRITABLE;
        const size_t slash = target.rfind('/');
        const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
        // A missing directory counts as one that cannot be written.
        if (access(dir.c_str(), W_OK | X_OK) != 0) return INI_ERR_NOT_WRITABLE;
        return replace_file(dir, target, text, new_file_mode(exists, st));
    } catch (const std::bad_alloc&) {
        return INI_ERR_NO_MEMORY;
    } catch (const std::length_error&) {
        return INI_ERR_NO_MEMORY;
    }
}
