#include "connect/connect_text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char master_password[] = "quorbil";
char user_password[32] = "";

namespace {

// A whole text as one decimal integer (blanks around it allowed). Trailing
// characters such as "3a" are refused: the field's help calls them an error.
int read_int(const char* text, long* value) {
    if (!text) return 0;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE) return 0;
    while (std::isspace(static_cast<unsigned char>(*end))) end++;
    if (*end) return 0;
    *value = v;
    return 1;
}

int read_prefixed(const char* text, const char* prefix, long* value) {
    const size_t n = std::strlen(prefix);
    if (!text || std::strncmp(text, prefix, n) != 0) return 0;
    // "COM 5" and "COM-5" would read through strtol; only digits follow the prefix.
    if (!std::isdigit(static_cast<unsigned char>(text[n]))) return 0;
    return read_int(text + n, value);
}

const char* const baud_texts[5] = {
    "Connection reset: b:9600, d:8, s:1, p:None",   "Connection reset: b:19200, d:8, s:1, p:None",
    "Connection reset: b:38400, d:8, s:1, p:None",  "Connection reset: b:57600, d:8, s:1, p:None",
    "Connection reset: b:115200, d:8, s:1, p:None",
};

struct failure_text {
    int code;
    const char* status;
    const char* log;
    bool reported[3]; // by TRY TO CONNECT, ACCEPT, CHANGE BAUD
};

const failure_text failures[] = {
    {1, "Transmit busy.", "TRANSMIT BUSY", {true, true, true}},
    {-1, "Function call error.", "FUNCTION CALL ERROR", {true, true, true}},
    {-2, "Error while sending.", "ERROR WHILE SENDING", {true, true, true}},
    {-3, "Timeout while sending.", "TIMEOUT WHILE SENDING", {true, true, true}},
    {-4, "Timeout while receiving.", "TIMEOUT WHILE RECEIVING", {true, true, true}},
    {-5, "CRC8 error on received frame.", "CRC8 ERROR ON FRAME", {true, true, true}},
    {-6, "Stopped by user.", "STOPPED BY USER", {true, true, true}},
    {-7, "Wrong baudrate.", "WRONG BAUDRATE", {true, true, true}},
    {-13, "Not enough bytes in received frame.", "FRAME SIZE ERROR", {false, true, true}},
    {-15, "Unknown order number.", "UNKNOWN ORDER NUMBER", {true, true, false}},
    {-17, "No connection established with control unit.", "NO CONNECTION", {true, true, true}},
};

} // namespace

int parse_com_port(const char* text, int* port) {
    long v = 0;
    if (!read_int(text, &v) && !read_prefixed(text, "COM", &v) && !read_prefixed(text, "com", &v)) return 0;
    if (v > CONNECT_MAX_COM || v < -1000000) return 0;
    *port = static_cast<int>(v);
    return 1;
}

int read_com_entry(const char* text, int* port) {
    long v = 0;
    if (!read_prefixed(text, "COM", &v) || v > 1000000) return 0;
    *port = static_cast<int>(v);
    return 1;
}

int parse_tcp_port(const char* text, int* port) {
    long v = 0;
    if (!read_int(text, &v) || v < -1000000 || v > 1000000) return 0;
    *port = static_cast<int>(v);
    return 1;
}

void recent_list_push(std::vector<std::string>* list, const std::string& entry) {
    list->erase(std::remove(list->begin(), list->end(), entry), list->end());
    list->insert(list->begin(), entry);
    if (static_cast<int>(list->size()) > CONNECT_LIST_MAX) list->resize(CONNECT_LIST_MAX);
}

int versions_match(const char* unit_text, const char* pc_text) {
    const char* u = unit_text ? std::strchr(unit_text, 'V') : nullptr;
    const char* p = pc_text ? std::strchr(pc_text, 'V') : nullptr;
    if (!u || !p) return 1;
    return std::strncmp(u, p, 5) == 0;
}

int answer_text(const uint16_t* words, int nwords, char* dst, int size) {
    if (!dst || size <= 0) return 0;
    int n = 0;
    for (int i = 0; words && i < nwords && n < size - 1; i++) {
        const char pair[2] = {static_cast<char>(words[i] & 0xFF), static_cast<char>(words[i] >> 8)};
        for (char ch : pair) {
            if (ch == '\0' || n >= size - 1) {
                dst[n] = '\0';
                return n;
            }
            dst[n++] = ch;
        }
    }
    dst[n] = '\0';
    return n;
}

void format_sensor_line(char* out, int size, int unit_number, const char* unit_text, int protocol,
                        int com_port, const char* server) {
    const std::string text = unit_text ? unit_text : "";
    const size_t open = text.find('{');
    std::string first, second;
    if (open != std::string::npos) {
        first = text.substr(0, open);
        const size_t close = text.find('}', open + 1);
        second = text.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    }
    const bool split = !first.empty() && !second.empty();
    const bool tcp = protocol == 1;
    const char* where = server ? server : "";
    if (split && !tcp)
        std::snprintf(out, size, "FOUND SENSOR #%05d\n\"%s\n{%s}\"\nON COM%d, LINKED TO SENSOR", unit_number,
                      first.c_str(), second.c_str(), com_port);
    else if (split)
        std::snprintf(out, size, "FOUND SENSOR #%05d\n\"%s\n{%s}\"\nON (AND LINKED TO) SERVER\n\"%s\"",
                      unit_number, first.c_str(), second.c_str(), where);
    else if (!tcp)
        std::snprintf(out, size, "FOUND SENSOR #%05d\n\"%s\"\nON COM%d, LINKED TO SENSOR", unit_number,
                      text.c_str(), com_port);
    else
        std::snprintf(out, size, "FOUND SENSOR #%05d\n\"%s\"\nON (AND LINKED TO) SERVER\n\"%s\"", unit_number,
                      text.c_str(), where);
}

const char* baud_reset_text(int index) {
    return index >= 0 && index < 5 ? baud_texts[index] : "Failure!";
}

int connect_failure_texts(int procedure, int code, const char** status, const char** log) {
    if (procedure < CONNECT_TRY || procedure > CONNECT_BAUD) return 0;
    for (const failure_text& f : failures) {
        if (f.code != code) continue;
        if (!f.reported[procedure]) return 0;
        *status = f.status;
        *log = f.log;
        return 1;
    }
    return 0;
}

std::string hardware_hex(const uint16_t* words, int nwords) {
    std::string out;
    char cell[8];
    for (int i = 0; words && i < nwords; i++) {
        std::snprintf(cell, sizeof cell, i ? " %04X" : "%04X", words[i]);
        out += cell;
    }
    return out;
}

int is_access_word(const char* text) {
    return text && std::strcmp(text, "tesmarol") == 0;
}

int password_accepted(const char* typed, const char* user) {
    char entry[21];
    std::snprintf(entry, sizeof entry, "%s", typed ? typed : "");
    return std::strcmp(entry, master_password) == 0 || std::strcmp(entry, user ? user : "") == 0;
}
