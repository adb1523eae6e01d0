// The text side of the connection procedure: reading what the user typed into
// the connect panel, comparing firmware and PC versions, and building the texts
// the procedure shows. Plain C++ without Qt, so every rule can be tested alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The COM-port and address lists keep this many entries, most recent first.
constexpr int CONNECT_LIST_MAX = 8;
// Ports above this number are refused as they are typed.
constexpr int CONNECT_MAX_COM = 255;

// Reads a COM-port entry: a decimal number, else "COM" or "com" followed by one.
// Writes the number and returns 1, or returns 0 when the text is none of these
// or the number exceeds CONNECT_MAX_COM. There is no lower bound here: opening
// the port refuses what no port can be.
int parse_com_port(const char* text, int* port);

// Reads "COM" and a number, as the first list entry is read when connecting.
// Returns 1 with the number, else 0.
int read_com_entry(const char* text, int* port);

// Reads a TCP port typed as a decimal number. Returns 1 with the number, else 0.
int parse_tcp_port(const char* text, int* port);

// Puts `entry` at the top of a most-recent-first list: an equal entry further
// down is removed, and entries beyond CONNECT_LIST_MAX are dropped.
void recent_list_push(std::vector<std::string>* list, const std::string& entry);

// 1 when the unit's firmware and the PC program may work together: either text
// has no capital V, or the five characters from the first capital V of each
// (the version number, "V4.04") are equal.
int versions_match(const char* unit_text, const char* pc_text);

// Takes a zero-terminated text out of answer words (low byte first) into `dst`
// of `size` bytes: at most size - 1 characters, always terminated, whatever the
// answer's length. Returns the length written.
int answer_text(const uint16_t* words, int nwords, char* dst, int size);

// The log line of a paired unit: the unit number as five digits, the unit text
// (split at its braces when it has them) and where the unit was found, on the
// COM port or at the server.
void format_sensor_line(char* out, int size, int unit_number, const char* unit_text, int protocol,
                        int com_port, const char* server);

// Status line after the unit took a new baud-rate index ("Failure!" for an
// index it cannot have).
const char* baud_reset_text(int index);

// The procedures of the connect panel that report failed transactions.
enum { CONNECT_TRY = 0, CONNECT_ACCEPT = 1, CONNECT_BAUD = 2 };

// The status line and log texts a procedure gives for a failed transaction.
// Returns 1 with both texts when the procedure reports the code, 0 when the
// code only counts as failure.
int connect_failure_texts(int procedure, int code, const char** status, const char** log);

// The hardware block as the export writes it: every word as four hexadecimal
// digits, separated by blanks.
std::string hardware_hex(const uint16_t* words, int nwords);

// The text typed into the panel-ID field that reveals the password field.
int is_access_word(const char* text);
// 1 when `typed` (read as at most 20 characters) opens the hidden settings.
int password_accepted(const char* typed, const char* user_password);
extern const char master_password[];
extern char user_password[32];
