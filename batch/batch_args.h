// The command line of zazed-batch, read without Qt so that its rules are tested
// alone: the units, the command and its arguments, the options.
#pragma once

#include <string>
#include <vector>

enum { BATCH_INFO, BATCH_READ, BATCH_SEND, BATCH_DIFF, BATCH_RECORD, BATCH_STATS };
enum { BATCH_RAM = 1, BATCH_ROM = 2 };

// Exit status of the tool.
constexpr int BATCH_EXIT_OK = 0;     // every unit OK
constexpr int BATCH_EXIT_FAILED = 1; // a verification failed, a difference was found, a unit was refused
constexpr int BATCH_EXIT_USAGE = 2;  // the command line (or a file it names) cannot be used
constexpr int BATCH_EXIT_LINK = 3;   // a link failure

// One unit as the command line names it.
struct batch_unit_arg {
    int protocol = 0;   // LINK_PROTOCOL_RS232 or LINK_PROTOCOL_TCP
    std::string host;   // TCP
    int port = 0;       // TCP
    std::string device; // RS-232 by device path ("" for a COM number)
    int com_port = 0;   // RS-232 by COM number (0 for a device path)
    int baud = 19200;   // RS-232
    std::string label;  // how reports name it: HOST:PORT, COMn or the device
};

// Where a side of a comparison comes from: a parameter file or the unit.
struct batch_source {
    int target = 0;   // BATCH_RAM, BATCH_ROM, or 0 for a file
    std::string file; // the file, for 0
};

struct batch_args {
    bool json = false;
    bool has_expect = false;
    std::string expect_version;
    std::string panel_id;
    int interval = 1; // record: seconds between stored records, 0 for every one polled
    std::vector<batch_unit_arg> units;
    int command = -1;
    int target = 0;   // read, send: BATCH_RAM or BATCH_ROM
    std::string file; // read, send, record
    batch_source src[2];
    double seconds = 0; // record, stats
};

constexpr int BATCH_PARSE_RUN = 0;
constexpr int BATCH_PARSE_HELP = 1;
constexpr int BATCH_PARSE_ERROR = -1;

// Returns BATCH_PARSE_RUN, BATCH_PARSE_HELP or BATCH_PARSE_ERROR (with a message).
int batch_parse(int argc, const char* const* argv, batch_args* a, std::string* error);

const char* batch_help();

// The file of one of several units: the unit number, five digits with leading
// zeros, before the extension ("p.ini" -> "p-00012.ini"; "p" -> "p-00012").
std::string batch_unit_path(const std::string& path, int unit_number);
