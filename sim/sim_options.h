// Command line of kormelan3-sim, parsed without Qt so that tests can check it.
#pragma once

#include "sim/sim_faults.h"
#include "sim/sim_proto.h"

#include <cstdint>
#include <string>

struct sim_options {
    int tcp_port = -1; // -1: no TCP; 0: any free port
    std::string bind = "127.0.0.1";
    bool pty = false;
    std::string pty_link; // symlink to the slave device, empty for none
    int baud = 0;         // 0: unpaced, any rate understood
    bool pace_tcp = false;
    int unit = 1;
    std::string version_text; // empty: the default text
    uint64_t seed = 1;
    double fault_p[SIM_FAULTS] = {};
    bool ignore_writes = false;
    long vanish_after = -1;
    bool verbose = false;
};

constexpr int SIM_OPT_RUN = 0;
constexpr int SIM_OPT_HELP = 1;
constexpr int SIM_OPT_ERROR = -1;

// Returns SIM_OPT_RUN, SIM_OPT_HELP or SIM_OPT_ERROR (with a message in `error`).
int sim_options_parse(int argc, const char* const* argv, sim_options* o, std::string* error);

const char* sim_options_help();

// The core's configuration for these options (the texts stay owned by `o`).
void sim_options_config(const sim_options* o, sim_config* cfg);
