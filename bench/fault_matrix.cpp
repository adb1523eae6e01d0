// The fault matrix at scale: the program's link against the simulated unit with
// every fault it injects, over TCP loopback at wire speed and over a 115200-baud
// pseudo-terminal, for as many transactions as asked (10^5 over TCP by default).
//
//   fault_matrix [--tcp N] [--pty N] [--seed S] [--fast P] [--slow P]
//
// --fast sets the share of frames hit by each fault that answers at once
// (corrupt CRC, noise, short, rejected; default 0.01), --slow that of dropped
// and delayed answers over TCP (default 0.0001; each costs a 2 s time-out).
//
// The requests cycle through answers the unit never changes (the RAM parameter
// set, the nine linearisation blocks) and the measurement
// record. Every answer the link accepts for a constant request must be exactly
// the one read without faults at the start: a different one is a corrupt answer
// accepted (a damaged frame, or the late answer of an earlier request taken as
// this one's). Every accepted record goes to a record file, which must hold them
// all, each line whole. A transaction that takes longer than the answer time-out
// and a second counts as a hang; a link the unit cut is opened again, as TRY TO
// CONNECT does. Prints the counts; exits 1 unless crashes, hangs and corrupt
// answers are all 0 (a crash ends the run with the signal, the only way to count
// it).
#include "bench/link_hooks.h"
#include "link/link.h"
#include "link/orders.h"
#include "recorder/record_file.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"
#include "tests/measure.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int COM = 7;
constexpr double HANG_S = 2.0 + 1.0; // the answer time-out and a second

struct request {
    int order, value, max_answer;
};

// What one run counted.
struct counts {
    long transactions = 0, ok = 0, records = 0, reopened = 0;
    long hangs = 0, corrupt = 0, file_errors = 0;
    std::map<int, long> codes;
    long faults[SIM_FAULTS] = {};
    double seconds = 0.0;
};


std::vector<request> cycle() {
    std::vector<request> r;
    r.push_back({ORDER_READ_RAM, 0, 228});
    for (int block = 0; block < 9; block++)
        r.push_back({ORDER_LIN_READ, LIN_INFO_BLOCK + block * 0x100, 256});
    for (int i = 0; i < 6; i++) r.push_back({ORDER_POLL, POLL_RECORD, 36});
    return r;
}

int exchange(const request& q, std::vector<uint16_t>* answer) {
    answer->assign(256, 0);
    int n = 0;
    // A block read names the words it wants.
    const uint16_t wanted = static_cast<uint16_t>(q.max_answer);
    const bool block = q.order == ORDER_LIN_READ;
    const int rc = exchange_frame(&com.connect, q.order, q.value, block ? &wanted : nullptr, block ? 1 : 0,
                                  answer->data(), q.max_answer, &n);
    answer->resize(static_cast<size_t>(n > 0 ? n : 0));
    return rc;
}

struct unit {
    sim_server* server = nullptr;
    bool pty = false;
    unit(bool over_pty, const std::string& seed) : pty(over_pty) {
        std::vector<const char*> args = {"kormelan3-sim", "--seed", seed.c_str()};
        if (pty) {
            args.insert(args.end(), {"--pty", "--baud", "115200"});
        } else {
            args.insert(args.end(), {"--tcp", "0"});
        }
        sim_options o;
        std::string err;
        if (sim_options_parse(static_cast<int>(args.size()), args.data(), &o, &err) != SIM_OPT_RUN ||
            sim_server_start(o, &server, &err) != 0) {
            std::fprintf(stderr, "cannot start the unit: %s\n", err.c_str());
            std::exit(2);
        }
    }
    ~unit() { sim_server_stop(server); }
    int open() {
        if (!pty) return init_tcp(&com.connect, sim_server_tcp_port(server), "127.0.0.1");
        link_set_serial_device(COM, sim_server_pty_path(server).c_str());
        return init_rs232(&com.connect, COM, 4, 1);
    }
    void set_faults(const double* p) {
        sim_server_call(server, [&](sim_service* s) {
            for (int f = 0; f < SIM_FAULTS; f++) s->wire()->proto()->faults.p[f] = p[f];
        });
    }
    void fault_counts(long* out) {
        sim_server_call(server, [&](sim_service* s) {
            for (int f = 0; f < SIM_FAULTS; f++) out[f] = s->wire()->proto()->faults.count[f];
        });
    }
};

counts run(bool pty, long transactions, const std::string& seed, const double* p) {
    counts c;
    unit u(pty, seed);
    if (u.open() != 1) {
        std::fprintf(stderr, "cannot open the link: %s\n", com.connect.message);
        std::exit(2);
    }
    // The answers without faults.
    const std::vector<request> requests = cycle();
    std::map<std::pair<int, int>, std::vector<uint16_t>> reference;
    for (const request& q : requests) {
        if (q.order == ORDER_POLL) continue;
        std::vector<uint16_t> a;
        if (exchange(q, &a) != LINK_OK) {
            std::fprintf(stderr, "order %d failed without faults\n", q.order);
            std::exit(2);
        }
        reference[{q.order, q.value}] = a;
    }

    char path[] = "/tmp/fault_matrix_XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0) close(fd);
    rec_header_info info{};
    if (print_file_start(path) < 0 || print_file_header(path, REC_AUTO_UNLIMITED, 0, 0, &info) < 0)
        c.file_errors++;
    std::vector<std::vector<uint16_t>> accepted;

    u.set_faults(p);
    const double t0 = now_s();
    std::vector<uint16_t> answer;
    for (long i = 0; i < transactions; i++) {
        const request& q = requests[static_cast<size_t>(i) % requests.size()];
        const double start = now_s();
        const int rc = exchange(q, &answer);
        if (now_s() - start > HANG_S) c.hangs++;
        c.transactions++;
        c.codes[rc]++;
        if (rc != LINK_OK && std::getenv("FAULT_MATRIX_VERBOSE"))
            std::fprintf(stderr, "#%ld order %d value 0x%x: %d\n", i, q.order, q.value, rc);
        if (rc == LINK_OK) {
            c.ok++;
            if (q.order == ORDER_POLL) {
                if (answer.size() != 36) {
                    c.corrupt++;
                } else {
                    if (print_file_dataset(path, static_cast<int>(accepted.size()), answer.data()) < 0)
                        c.file_errors++;
                    accepted.push_back(answer);
                }
            } else if (answer != reference[{q.order, q.value}]) {
                if (c.corrupt++ < 5 && std::getenv("FAULT_MATRIX_VERBOSE")) {
                    const std::vector<uint16_t>& want = reference[{q.order, q.value}];
                    size_t k = 0;
                    while (k < answer.size() && k < want.size() && answer[k] == want[k]) k++;
                    int same_as = -1;
                    for (const auto& [key, words] : reference)
                        if (words == answer) same_as = key.second;
                    std::fprintf(
                        stderr,
                        "#%ld order %d value 0x%x: %zu words, %zu expected, first difference at %zu, "
                        "the answer of 0x%x\n",
                        i, q.order, q.value, answer.size(), want.size(), k, same_as);
                }
            }
        }
        if (com.connect.status != 1) {
            // What TRY TO CONNECT does at the link: open it again.
            for (int tries = 0; tries < 50 && u.open() != 1; tries++) usleep(20000);
            if (com.connect.status != 1) {
                std::fprintf(stderr, "the link could not be opened again: %s\n", com.connect.message);
                c.hangs++;
                break;
            }
            c.reopened++;
        }
    }
    c.seconds = now_s() - t0;
    u.fault_counts(c.faults);
    c.records = static_cast<long>(accepted.size());

    // The file holds every accepted record, each line whole.
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    long rows = 0;
    for (size_t at = 0; (at = text.find("\n*;", at)) != std::string::npos; at++) rows++;
    if (rows != c.records || text.empty() || text.back() != '\n') c.file_errors++;
    std::remove(path);
    init_rs232(&com.connect, 0, 0, 0);
    return c;
}

void print(const char* name, const counts& c) {
    std::printf("%s: %ld transactions in %.1f s (%.0f/s), %ld ok, %ld records into the file\n", name,
                c.transactions, c.seconds, c.transactions / c.seconds, c.ok, c.records);
    long injected = 0;
    std::printf("  faults injected:");
    for (int f = 0; f < SIM_FAULTS; f++) {
        std::printf(" %s %ld", sim_fault_names[f], c.faults[f]);
        injected += c.faults[f];
    }
    std::printf(" (%ld in all)", injected);
    std::printf("\n  results:");
    for (const auto& [code, n] : c.codes) std::printf(" %d x%ld", code, n);
    std::printf("\n  link opened again %ld times\n", c.reopened);
    std::printf("  crashes 0, hangs %ld, corrupt answers accepted %ld, record file errors %ld\n", c.hangs,
                c.corrupt, c.file_errors);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench_install_link_hooks();
    long tcp = 100000, pty = 3000;
    std::string seed = "17";
    double fast = 0.01, slow = 0.0001;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--fast")) fast = std::atof(argv[i + 1]);
        if (!std::strcmp(argv[i], "--slow")) slow = std::atof(argv[i + 1]);
        if (!std::strcmp(argv[i], "--tcp")) tcp = std::atol(argv[i + 1]);
        if (!std::strcmp(argv[i], "--pty")) pty = std::atol(argv[i + 1]);
        if (!std::strcmp(argv[i], "--seed")) seed = argv[i + 1];
    }
    // Each fault that answers at once on 1 % of the frames; those that cost a
    // time-out (2 s each) and cuts rarer, so the run stays at wire speed.
    double p[SIM_FAULTS] = {};
    p[SIM_FAULT_CORRUPT] = p[SIM_FAULT_NOISE] = p[SIM_FAULT_SHORT] = p[SIM_FAULT_REJECT] = fast;
    p[SIM_FAULT_CUT] = fast / 20;
    p[SIM_FAULT_DROP] = p[SIM_FAULT_DELAY] = slow;
    bool bad = false;
    if (tcp > 0) {
        const counts c = run(false, tcp, seed, p);
        print("tcp", c);
        bad |= c.hangs || c.corrupt || c.file_errors;
    }
    if (pty > 0) {
        // At 115200 baud every fault may be as common: the line sets the pace.
        p[SIM_FAULT_DROP] = p[SIM_FAULT_DELAY] = 0.001;
        const counts c = run(true, pty, seed, p);
        print("pty 115200", c);
        bad |= c.hangs || c.corrupt || c.file_errors;
    }
    return bad ? 1 : 0;
}
