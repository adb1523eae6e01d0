// Ini store: the in-memory sections and tagged items behind every settings file.
//
// A store is an ordered list of sections, each an ordered list of items. Items are
// kept as text; the typed put and get functions convert on the way in and out.
// Names of sections and tags are compared without regard to letter case and to
// surrounding white space, and a lookup finds the first match, because files
// written by hand may repeat a section or a tag and the program must then behave
// the same way every time. Bytes are bytes: a name or value may hold any byte
// except the tokens and line ends; nothing is converted between encodings.
//
// Every function returns an int status: 0 or positive for success, negative for
// failure (the INI_ERR_ codes below). Text results stay valid only as documented.
#pragma once

#include <cstddef>
#include <string>

constexpr int INI_ERR_NULL_ARG = -65;      // a required argument is null
constexpr int INI_ERR_NO_MEMORY = -12;     // out of memory
constexpr int INI_ERR_OPEN = -5001;        // the file cannot be opened for reading
constexpr int INI_ERR_READ = -5002;        // a read error on the file
constexpr int INI_ERR_NOT_INTEGER = -5021; // the item is not an integer
constexpr int INI_ERR_NOT_BOOLEAN = -5024; // the item is not "True" or "False"
constexpr int INI_ERR_NOT_WRITABLE = -95;  // file or directory not writable, access denied
constexpr int INI_ERR_DISK_FULL = -97;     // the disk is full while writing
constexpr int INI_ERR_IO = -93;            // any other input/output error while writing

// Values longer than this are written as numbered continuation lines.
constexpr int INI_MAX_VALUE_PER_LINE = 80;
// Characters of a file line beyond this are dropped on reading.
constexpr int INI_MAX_LINE = 255;
// Largest ini text read. A parameter file is about 20 KB and the program's
// settings file less, but the store keeps everything it reads, at several times
// the text's size, so a larger text is refused with INI_ERR_READ before it is
// read (a 100 MB text took about 750 MB and 2 s).
constexpr long long INI_MAX_FILE_BYTES = 8LL << 20;

typedef struct IniStore* IniText;

// ---- Store ----

// A new empty store; sorting 1 keeps sections and items ordered by name, 0 keeps
// them in the order they were put or read. Null when memory runs out.
IniText Ini_New(int automatic_sorting);
// Frees the store and everything in it; null is allowed.
void Ini_Dispose(IniText store);

// Tokens: section start and end characters, value separator and comment marker
// texts (cut to 7 characters). A zero character or a null or empty text keeps the
// current token. Defaults: '[', ']', "=", ";".
int Ini_SetTokens(IniText store, char section_start, char section_end, const char* value_separator,
                  const char* comment_marker);
// Duplicate checking (on by default) makes a put replace an item of the same tag
// in place. Returns the previous flag (0/1).
int Ini_SetDuplicateChecking(IniText store, int check);

// ---- Files ----

// Adds the file's sections to the store. 0, INI_ERR_OPEN (also for anything but
// a regular file), INI_ERR_READ (also for a file above INI_MAX_FILE_BYTES) or
// INI_ERR_NO_MEMORY; on failure the store is unchanged.
int Ini_ReadFromFile(IniText store, const char* path);
// Replaces the file with the store's text through a temporary file in the same
// directory, synced to the disk before it is renamed onto the file, and syncs
// the directory after the rename. On any failure up to the rename the old file
// stays as it was and no temporary file is left; a directory that cannot be
// synced is reported as INI_ERR_IO with the new text in place. Temporary files
// of this kind older than a minute, left there by a save that was killed, are
// removed. 0, INI_ERR_NOT_WRITABLE (also when the directory does not exist or
// the path names something other than a regular file), INI_ERR_DISK_FULL,
// INI_ERR_IO or INI_ERR_NO_MEMORY.
int Ini_WriteToFile(IniText store, const char* path);

// The same two operations on memory: the reading shares the file reader's code
// and its cap, the text is byte for byte what Ini_WriteToFile writes.
int Ini_ReadFromText(IniText store, const char* bytes, size_t size);
int Ini_WriteToText(IniText store, std::string* text);

// ---- Sections ----

// 1 if the section exists, else 0.
int Ini_SectionExists(IniText store, const char* section);
// Items of the (first) section of that name, 0 if there is none.
int Ini_NumberOfItems(IniText store, const char* section);
// Number of sections in the store.
int Ini_NumberOfSections(IniText store);
// Name of section `index` (from 1, in the store's order) and tag of item `index`
// of the (first) section of that name, as put or read. 1 found (`*name` points into
// the store, valid until it changes), 0 not found (`*name` untouched).
int Ini_NthSectionName(IniText store, int index, const char** name);
int Ini_NthItemName(IniText store, const char* section, int index, const char** tag);

// Appends to `dst` a copy of every section of `src` whose name `dst` does not
// have, items and all, in the order of `src` (a name `src` repeats is copied
// each time). For a file that holds sections of other writers besides the
// caller's own. Returns the number of sections copied, INI_ERR_NULL_ARG, or
// INI_ERR_NO_MEMORY (`dst` then holds the sections copied so far).
int Ini_CopyMissingSections(IniText dst, IniText src);

// ---- Putting items ----
// 0 or an error. With duplicate checking on, the item replaces every item of the
// same tag in the section, at the position of the first; otherwise it is appended.
// A missing section is created at the end of the store.

int Ini_PutInt(IniText store, const char* section, const char* tag, long value);
// "True" for non-zero, "False" for 0.
int Ini_PutBoolean(IniText store, const char* section, const char* tag, int value);
// Escaped and quoted; a null text counts as empty.
int Ini_PutString(IniText store, const char* section, const char* tag, const char* text);
// Quoted without escaping: the caller vouches that the text has no quote that
// would end the value early and no line end.
int Ini_PutRawString(IniText store, const char* section, const char* tag, const char* text);

// ---- Getting items ----
// A blank item (only white space) reads as not found. On an error the output is
// left untouched.

// 1 found and converted, 0 not found or blank, INI_ERR_NOT_INTEGER.
int Ini_GetInt(IniText store, const char* section, const char* tag, int* value);
// 1 found (1 for "True", 0 for "False", any case), 0 not found or blank,
// INI_ERR_NOT_BOOLEAN.
int Ini_GetBoolean(IniText store, const char* section, const char* tag, int* value);
// Empties the buffer, then copies the item's text, unescaped if it was quoted,
// cut to buffer_size - 1 bytes. 1 found, 0 not found.
int Ini_GetStringIntoBuffer(IniText store, const char* section, const char* tag, char* buffer,
                            int buffer_size);
// Points `*text` at the item's text (unescaped if it was quoted) in the store's
// own buffer, valid until the next get of a string or the store's disposal.
// 1 found, 0 not found (`*text` untouched).
int Ini_GetPointerToString(IniText store, const char* section, const char* tag, const char** text);

// Line of the file on which the item of the last successful get was read
// (0 for an item that was put, not read).
int Ini_LineOfLastAccess(IniText store);

// Short text for every code this module returns ("" for 0 and positive codes,
// null for codes it never returns).
const char* Ini_ErrorText(int code);
