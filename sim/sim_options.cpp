// Command line of kormelan3-sim (see sim_options.h).
#include "sim/sim_options.h"

#include "support/arg_number.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

const char help_text[] =
    "Usage: kormelan3-sim (--tcp PORT | --pty [LINK]) [options]\n"
    "\n"
    "Simulates a KORMELAN-3 control unit on a TCP port or a pseudo-terminal, so that\n"
    "the PC program can connect to it instead of real hardware. Two synthetic sensors\n"
    "see objects passing; the unit evaluates them as its parameter set says and\n"
    "answers every order of the frame protocol. One client is served at a time; when\n"
    "it goes away, the next one is served.\n"
    "\n"
    "Transport (exactly one):\n"
    "  --tcp PORT          listen on TCP PORT; 0 picks a free port. The port in use is\n"
    "                      printed as \"tcp PORT\".\n"
    "  --bind ADDR         address to listen on (default 127.0.0.1).\n"
    "  --pty [LINK]        create a pseudo-terminal and print \"pty PATH\" with its device\n"
    "                      path; open that path as the COM port. With LINK, LINK becomes\n"
    "                      a symbolic link to the device (replaced if it exists).\n"
    "\n"
    "Line:\n"
    "  --baud N            the unit's line rate: 9600, 19200, 38400, 57600 or 115200.\n"
    "                      Paces the pseudo-terminal like an RS-232 line (10 bits per\n"
    "                      byte for the request and for the answer) and makes the unit\n"
    "                      deaf to clients whose line is set to another rate. Without\n"
    "                      --baud the line is unpaced and any rate is understood.\n"
    "                      Order 190 switches the rate, as on a real unit: the\n"
    "                      acknowledgement goes out at the old rate, later frames are\n"
    "                      understood only at the new one. Over TCP the client's rate\n"
    "                      cannot be seen, so there order 190 is acknowledged and\n"
    "                      changes nothing.\n"
    "  --pace-tcp          pace TCP at the --baud rate as well.\n"
    "\n"
    "Unit:\n"
    "  --unit N            unit number answered to the search order 5 (default 1).\n"
    "  --version-text TEXT identification answered to order 7 (default\n"
    "                      \"KORMELAN-3 V4.04 {SN 00042 CH A/B}\"; at most 127 characters).\n"
    "  --seed N            seed of the sensor model and of the fault injection (default\n"
    "                      1); the same seed and the same requests give the same run.\n"
    "  --ignore-writes     acknowledge parameter writes (order 1) without refused\n"
    "                      fields but keep the set: a write that silently fails.\n"
    "\n"
    "Faults (P is a probability from 0 to 1, drawn per frame the unit sends):\n"
    "  --drop P            send no answer.\n"
    "  --corrupt-crc P     send the frame with a wrong payload CRC.\n"
    "  --noise P           send 1 to 16 stray bytes before the frame.\n"
    "  --delay P           send the answer 2.5 s late, after the PC's 2.0 s time-out.\n"
    "  --short P           send half the payload words.\n"
    "  --reject P          answer with order 0 (\"unknown order\"); answers only.\n"
    "  --cut P             send part of the frame, then close the connection. Over a\n"
    "                      pseudo-terminal the device is closed and a new one created\n"
    "                      (LINK follows it; the new path is printed).\n"
    "  --vanish-after N    answer N requests, then cut the connection and fall silent\n"
    "                      for good, as a unit switched off in the middle of a run.\n"
    "\n"
    "Other:\n"
    "  --verbose           log every request and answer on standard error, and after\n"
    "                      it every fault injected into the answer (the fault log).\n"
    "  --help              show this text.\n";

bool read_probability(const char* s, double* out) {
    double v = 0;
    if (!arg_double(s, &v) || v < 0.0 || v > 1.0) return false;
    *out = v;
    return true;
}

struct fault_option {
    const char* name;
    sim_fault fault;
};

constexpr fault_option fault_options[] = {
    {"--drop", SIM_FAULT_DROP},   {"--corrupt-crc", SIM_FAULT_CORRUPT}, {"--noise", SIM_FAULT_NOISE},
    {"--delay", SIM_FAULT_DELAY}, {"--short", SIM_FAULT_SHORT},         {"--reject", SIM_FAULT_REJECT},
    {"--cut", SIM_FAULT_CUT},
};

bool valid_baud(long b) {
    for (int r : SIM_BAUD_RATES)
        if (r == b) return true;
    return false;
}

} // namespace

int sim_options_parse(int argc, const char* const* argv, sim_options* o, std::string* error) {
    *o = sim_options();
    auto fail = [error](const std::string& msg) {
        if (error) *error = msg;
        return SIM_OPT_ERROR;
    };
    for (int i = 1; i < argc; i++) {
        const std::string opt = argv[i];
        const char* arg = i + 1 < argc ? argv[i + 1] : nullptr;
        long n = 0;
        if (opt == "--help" || opt == "-h") return SIM_OPT_HELP;
        if (opt == "--verbose") {
            o->verbose = true;
        } else if (opt == "--ignore-writes") {
            o->ignore_writes = true;
        } else if (opt == "--vanish-after") {
            if (!arg_long(arg, 0, 1000000000L, &n)) return fail("--vanish-after needs a number of requests");
            o->vanish_after = n;
            i++;
        } else if (opt == "--pace-tcp") {
            o->pace_tcp = true;
        } else if (opt == "--pty") {
            o->pty = true;
            if (arg && std::strncmp(arg, "--", 2) != 0) {
                o->pty_link = arg;
                i++;
            }
        } else if (opt == "--tcp") {
            if (!arg_long(arg, 0, 65535, &n)) return fail("--tcp needs a port number from 0 to 65535");
            o->tcp_port = static_cast<int>(n);
            i++;
        } else if (opt == "--bind") {
            if (!arg) return fail("--bind needs an address");
            o->bind = arg;
            i++;
        } else if (opt == "--baud") {
            if (!arg_long(arg, 1, 115200, &n) || !valid_baud(n))
                return fail("--baud needs one of 9600, 19200, 38400, 57600, 115200");
            o->baud = static_cast<int>(n);
            i++;
        } else if (opt == "--unit") {
            if (!arg_long(arg, 0, 65535, &n)) return fail("--unit needs a number from 0 to 65535");
            o->unit = static_cast<int>(n);
            i++;
        } else if (opt == "--version-text") {
            if (!arg || std::strlen(arg) > SIM_VERSION_LEN - 1)
                return fail("--version-text needs a text of at most 127 characters");
            o->version_text = arg;
            i++;
        } else if (opt == "--seed") {
            char* end = nullptr;
            errno = 0;
            const unsigned long long s = arg ? std::strtoull(arg, &end, 10) : 0;
            if (!arg || !*arg || errno || *end || *arg == '-')
                return fail("--seed needs a non-negative number");
            o->seed = s;
            i++;
        } else {
            bool found = false;
            for (const fault_option& f : fault_options) {
                if (opt != f.name) continue;
                if (!read_probability(arg, &o->fault_p[f.fault]))
                    return fail(opt + " needs a probability from 0 to 1");
                found = true;
                i++;
            }
            if (!found) return fail("unknown option " + opt + " (see --help)");
        }
    }
    if ((o->tcp_port >= 0) == o->pty) return fail("give exactly one of --tcp PORT and --pty [LINK]");
    if (o->pace_tcp && o->baud == 0) return fail("--pace-tcp needs --baud");
    return SIM_OPT_RUN;
}

const char* sim_options_help() {
    return help_text;
}

void sim_options_config(const sim_options* o, sim_config* cfg) {
    *cfg = sim_config();
    cfg->seed = o->seed;
    cfg->unit_number = o->unit;
    cfg->version_text = o->version_text.empty() ? nullptr : o->version_text.c_str();
    cfg->baud = o->baud;
    cfg->ignore_writes = o->ignore_writes;
    cfg->vanish_after = o->vanish_after;
    for (int i = 0; i < SIM_FAULTS; i++) cfg->fault_p[i] = o->fault_p[i];
}
