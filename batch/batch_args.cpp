// Command line of zazed-batch (see batch_args.h).
#include "batch/batch_args.h"

#include "link/link.h"
#include "support/arg_number.h"

#include <cstdio>
#include <cstring>

namespace {

const char help_text[] =
    "Usage: zazed-batch [--json] [--expect-version TEXT] UNIT... COMMAND [ARGS]\n"
    "\n"
    "Sets up and checks KORMELAN-3 control units without a display: writes parameter\n"
    "files and proves by reading them back that they arrived, compares what a unit\n"
    "holds with a file, records measurements and reports the health of the link.\n"
    "Each unit is paired as the program's connect panel does it (search, version,\n"
    "limits, RAM set, linearisation descriptions), then the command runs on it; the\n"
    "units are served one after the other.\n"
    "\n"
    "UNIT (repeat for several units):\n"
    "  --tcp HOST:PORT        a unit behind a TCP server.\n"
    "  --serial DEVICE|COMn   a unit on a serial line, by device path or COM number\n"
    "                         (COMn is /dev/ttyS(n-1)). A device path is reported as\n"
    "                         COM0 in record files.\n"
    "  --baud N               rate of the serial line before it: 9600, 19200 (the\n"
    "                         default), 38400, 57600 or 115200.\n"
    "\n"
    "COMMAND:\n"
    "  info                   unit number, version text, linearisation descriptions.\n"
    "  read ram|rom FILE      save the unit's parameter set, with its limits, as a\n"
    "                         parameter file. Reading ROM loads it into the RAM, as\n"
    "                         the program does; the RAM set is written back after.\n"
    "  send FILE ram|rom      write the fields FILE defines over the unit's RAM set,\n"
    "                         read the set back and compare every field FILE defines.\n"
    "                         The unit must report no plausibility errors. For rom,\n"
    "                         only once the RAM read-back matched: store to ROM, load\n"
    "                         it from ROM, read and compare again.\n"
    "  diff SRC SRC           SRC is FILE, ram or rom: one line for every field that\n"
    "                         differs (section, key, both values). Against a unit only\n"
    "                         the fields the file defines count. Two files need no unit.\n"
    "  record SECONDS FILE    poll records as RUN does for SECONDS and write a record\n"
    "                         file in the program's format, then the link health.\n"
    "  stats SECONDS          poll records for SECONDS and report the link's health:\n"
    "                         polls and polls per second, round trip (median, 95th\n"
    "                         percentile, maximum), and how often each link result\n"
    "                         came: time-outs, CRC errors, short answers, rejected\n"
    "                         orders, noise bytes skipped.\n"
    "With several units, read and record put the unit number before the file's\n"
    "extension (p.ini gives p-00012.ini); send writes the same file to each unit.\n"
    "\n"
    "Options:\n"
    "  --json                 one JSON object per unit and line: its outcome, the\n"
    "                         status texts, the differing fields and the counters.\n"
    "  --expect-version TEXT  refuse, and write nothing to, a unit whose version text\n"
    "                         does not start with TEXT. Without it a unit whose\n"
    "                         firmware version differs from the program's (the connect\n"
    "                         panel's \"Mismatch of versions\") is refused.\n"
    "  --interval N           record: seconds between stored records (default 1);\n"
    "                         0 stores every record polled.\n"
    "  --panel-id TEXT        record: the panel ID written into the record file.\n"
    "  --help                 show this text.\n"
    "\n"
    "Exit status: 0 every unit OK; 1 a verification failed, a difference was found\n"
    "or a unit was refused; 2 a usage error (also a FILE that is no parameter file);\n"
    "3 a link failure (the other units are still served).\n";

bool read_seconds(const char* s, double* out) {
    double v = 0;
    if (!arg_double(s, &v) || v <= 0.0 || v > 86400.0 * 366) return false;
    *out = v;
    return true;
}

int read_target(const std::string& s) {
    if (s == "ram") return BATCH_RAM;
    if (s == "rom") return BATCH_ROM;
    return 0;
}

bool read_tcp(const char* arg, batch_unit_arg* u) {
    if (!arg) return false;
    const std::string s = arg;
    const size_t colon = s.rfind(':');
    long port = 0;
    if (colon == std::string::npos || colon == 0 || !arg_long(s.c_str() + colon + 1, 1, 65535, &port))
        return false;
    u->protocol = LINK_PROTOCOL_TCP;
    u->host = s.substr(0, colon);
    u->port = static_cast<int>(port);
    u->label = s;
    return true;
}

bool read_serial(const char* arg, batch_unit_arg* u) {
    if (!arg || !*arg) return false;
    u->protocol = LINK_PROTOCOL_RS232;
    u->label = arg;
    long n = 0;
    if ((std::strncmp(arg, "COM", 3) == 0 || std::strncmp(arg, "com", 3) == 0) &&
        arg_long(arg + 3, 1, 255, &n)) {
        u->com_port = static_cast<int>(n);
        u->label = "COM" + std::to_string(n);
        return true;
    }
    u->device = arg;
    u->com_port = 0;
    return true;
}

} // namespace

int batch_parse(int argc, const char* const* argv, batch_args* a, std::string* error) {
    *a = batch_args();
    const auto fail = [error](const std::string& msg) {
        if (error) *error = msg;
        return BATCH_PARSE_ERROR;
    };
    std::vector<std::string> rest;
    int i = 1;
    for (; i < argc; i++) {
        const std::string opt = argv[i];
        const char* arg = i + 1 < argc ? argv[i + 1] : nullptr;
        long n = 0;
        if (opt == "--help" || opt == "-h") return BATCH_PARSE_HELP;
        if (opt == "--json") {
            a->json = true;
        } else if (opt == "--expect-version") {
            if (!arg) return fail("--expect-version needs a text");
            a->has_expect = true;
            a->expect_version = arg;
            i++;
        } else if (opt == "--panel-id") {
            if (!arg) return fail("--panel-id needs a text");
            a->panel_id = arg;
            i++;
        } else if (opt == "--interval") {
            if (!arg_long(arg, 0, 86400, &n))
                return fail("--interval needs a number of seconds from 0 to 86400");
            a->interval = static_cast<int>(n);
            i++;
        } else if (opt == "--tcp") {
            batch_unit_arg u;
            if (!read_tcp(arg, &u)) return fail("--tcp needs HOST:PORT with a port from 1 to 65535");
            a->units.push_back(u);
            i++;
        } else if (opt == "--serial") {
            batch_unit_arg u;
            if (!read_serial(arg, &u)) return fail("--serial needs a device or COMn");
            a->units.push_back(u);
            i++;
        } else if (opt == "--baud") {
            if (a->units.empty() || a->units.back().protocol != LINK_PROTOCOL_RS232)
                return fail("--baud belongs after a --serial unit");
            if (!arg_long(arg, 1, 115200, &n) ||
                (n != 9600 && n != 19200 && n != 38400 && n != 57600 && n != 115200))
                return fail("--baud needs one of 9600, 19200, 38400, 57600, 115200");
            a->units.back().baud = static_cast<int>(n);
            i++;
        } else if (opt.size() > 1 && opt[0] == '-') {
            return fail("unknown option " + opt + " (see --help)");
        } else {
            break;
        }
    }
    for (; i < argc; i++) rest.push_back(argv[i]);
    if (rest.empty()) return fail("no command given (see --help)");

    const std::string& cmd = rest[0];
    const size_t nargs = rest.size() - 1;
    const auto arity = [&](size_t want) {
        return nargs == want ? BATCH_PARSE_RUN
                             : fail(cmd + " takes " + std::to_string(want) + " argument(s)");
    };
    if (cmd == "info") {
        a->command = BATCH_INFO;
        if (arity(0)) return BATCH_PARSE_ERROR;
    } else if (cmd == "read") {
        a->command = BATCH_READ;
        if (arity(2)) return BATCH_PARSE_ERROR;
        a->target = read_target(rest[1]);
        if (!a->target) return fail("read needs ram or rom, then FILE");
        a->file = rest[2];
    } else if (cmd == "send") {
        a->command = BATCH_SEND;
        if (arity(2)) return BATCH_PARSE_ERROR;
        a->file = rest[1];
        a->target = read_target(rest[2]);
        if (!a->target) return fail("send needs FILE, then ram or rom");
    } else if (cmd == "diff") {
        a->command = BATCH_DIFF;
        if (arity(2)) return BATCH_PARSE_ERROR;
        for (int k = 0; k < 2; k++) {
            a->src[k].target = read_target(rest[1 + k]);
            if (!a->src[k].target) a->src[k].file = rest[1 + k];
        }
    } else if (cmd == "record" || cmd == "stats") {
        a->command = cmd == "record" ? BATCH_RECORD : BATCH_STATS;
        if (arity(cmd == "record" ? 2 : 1)) return BATCH_PARSE_ERROR;
        if (!read_seconds(rest[1].c_str(), &a->seconds))
            return fail(cmd + " needs a positive number of seconds");
        if (a->command == BATCH_RECORD) a->file = rest[2];
    } else {
        return fail("unknown command " + cmd + " (see --help)");
    }
    if (a->command == BATCH_READ || a->command == BATCH_SEND || a->command == BATCH_RECORD) {
        if (a->file.empty()) return fail(cmd + " needs a file name");
    }

    const bool files_only = a->command == BATCH_DIFF && !a->src[0].target && !a->src[1].target;
    if (files_only && !a->units.empty()) return fail("diff of two files takes no unit");
    if (!files_only && a->units.empty())
        return fail("no unit given: --tcp HOST:PORT or --serial DEVICE|COMn");
    return BATCH_PARSE_RUN;
}

const char* batch_help() {
    return help_text;
}

std::string batch_unit_path(const std::string& path, int unit_number) {
    char number[16];
    std::snprintf(number, sizeof number, "-%05d", unit_number);
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    // A dot in a directory name or at the start of a hidden file's name is no extension.
    const bool has_ext =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1) && dot > 0;
    if (!has_ext) return path + number;
    return path.substr(0, dot) + number + path.substr(dot);
}
