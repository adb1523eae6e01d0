// zazed-batch against simulated units over TCP, in-process: each unit on a
// thread of its own, the tool run as its main function with its output caught.
#include "batch/batch_run.h"
#include "link/orders.h"
#include "params/para_file.h"
#include "params/para_record.h"
#include "recorder/record_file.h"
#include "recorder/record_view.h"
#include "sim/sim_faults.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"
#include "support/program.h"
#include "tests/qt_core_env.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const auto* const env = ::testing::AddGlobalTestEnvironment(new qt_core_environment);

// A unit for the length of a test, started from simulator options.
struct unit {
    sim_server* server = nullptr;
    explicit unit(std::vector<const char*> args) {
        args.insert(args.begin(), "kormelan3-sim");
        args.insert(args.begin() + 1, {"--tcp", "0"});
        sim_options o;
        std::string err;
        EXPECT_EQ(sim_options_parse(static_cast<int>(args.size()), args.data(), &o, &err), SIM_OPT_RUN)
            << err;
        EXPECT_EQ(sim_server_start(o, &server, &err), 0) << err;
    }
    ~unit() { sim_server_stop(server); }
    unit(const unit&) = delete;
    unit& operator=(const unit&) = delete;
    std::string address() const { return "127.0.0.1:" + std::to_string(sim_server_tcp_port(server)); }
    template <class F>
    void with(F f) {
        sim_server_call(server, [&](sim_service* s) { f(s->wire()->proto()); });
    }
    para_record ram() {
        para_record r{};
        with([&](sim_proto* p) { para_from_words(&r, p->unit.ram); });
        return r;
    }
    para_record rom() {
        para_record r{};
        with([&](sim_proto* p) { para_from_words(&r, p->unit.rom); });
        return r;
    }
    void limits(para_record* min, para_record* max) {
        with([&](sim_proto* p) {
            para_from_words(min, p->unit.limits.min);
            para_from_words(max, p->unit.limits.max);
        });
    }
    long asked(int order) {
        long n = 0;
        with([&](sim_proto* p) { n = p->stats.by_order[order]; });
        return n;
    }
};

struct result {
    int status;
    std::string out;
    std::string err;
    // The JSON objects, one a line.
    std::vector<QJsonObject> units() const {
        std::vector<QJsonObject> v;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            v.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
        return v;
    }
};

result run(std::vector<std::string> args) {
    args.insert(args.begin(), "zazed-batch");
    std::vector<const char*> argv;
    for (const std::string& s : args) argv.push_back(s.c_str());
    std::ostringstream out, err;
    const int status = batch_main(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

std::string temp_path(const std::string& name) {
    return ::testing::TempDir() + "zazed_batch_" + std::to_string(getpid()) + "_" + name;
}

std::vector<std::string> keys_of(const QJsonObject& o) {
    std::vector<std::string> v;
    for (const QJsonValue& d : o["differences"].toArray())
        v.push_back(d["section"].toString().toStdString() + "/" + d["key"].toString().toStdString());
    return v;
}

// The unit's set with three fields moved inside their limits, as a file.
std::string changed_file(unit& u, const std::string& name, para_record* sent = nullptr) {
    para_record r = u.ram(), min{}, max{};
    u.limits(&min, &max);
    r.powerA = static_cast<int16_t>(r.powerA == min.powerA ? min.powerA + 1 : min.powerA);
    r.trigger1B = static_cast<int16_t>(r.trigger1B == max.trigger1B ? max.trigger1B - 1 : max.trigger1B);
    r.averagingA = static_cast<int16_t>(r.averagingA == min.averagingA ? min.averagingA + 1 : min.averagingA);
    const std::string path = temp_path(name);
    EXPECT_EQ(parameter_save2path(path.c_str(), &r, nullptr, nullptr), 0);
    if (sent) *sent = r;
    return path;
}

} // namespace

TEST(BatchSim, SendThenDiffShowsNoDifferenceAndRomHoldsTheSet) {
    unit u({"--unit", "12"});
    para_record sent{};
    const std::string file = changed_file(u, "send.ini", &sent);
    result r = run({"--tcp", u.address(), "send", file, "ram"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("FOUND SENSOR #00012"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Sending data ... Done."), std::string::npos);
    EXPECT_NE(r.out.find("Reading data ... Done."), std::string::npos);
    EXPECT_EQ(u.ram().powerA, sent.powerA);
    EXPECT_EQ(u.asked(ORDER_STORE_ROM), 0);

    r = run({"--tcp", u.address(), "diff", file, "ram"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.find("] "), std::string::npos) << "no difference line: " << r.out;

    // The file's fields against what the unit held before: the three changes.
    r = run({"--json", "--tcp", u.address(), "diff", file, "rom"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(
        keys_of(r.units().at(0)),
        (std::vector<std::string>{"ChanA Power/Value", "ChanA averaging/Value", "ChanB Trigger 1/Value"}));
    EXPECT_EQ(u.ram().powerA, sent.powerA) << "reading ROM leaves the RAM set as it was";

    r = run({"--tcp", u.address(), "send", file, "rom"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Sending data ... Done.  Store to ROM ... Done."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Load from ROM ... Done. Reading data ... Done."), std::string::npos) << r.out;
    const para_record rom = u.rom(), ram = u.ram();
    EXPECT_EQ(std::memcmp(&rom, &ram, sizeof(para_record)), 0);
    std::remove(file.c_str());
}

TEST(BatchSim, AUnitThatIgnoresWritesFailsAndEveryChangedFieldIsNamed) {
    unit u({"--ignore-writes"});
    const para_record before = u.ram();
    const std::string file = changed_file(u, "ignored.ini");
    const result r = run({"--json", "--tcp", u.address(), "send", file, "rom"});
    EXPECT_EQ(r.status, 1) << r.out;
    const QJsonObject o = r.units().at(0);
    EXPECT_EQ(o["outcome"].toString(), "different");
    EXPECT_EQ(keys_of(o), (std::vector<std::string>{"ChanA Power/Value", "ChanA averaging/Value",
                                                    "ChanB Trigger 1/Value"}));
    const QJsonObject first = o["differences"].toArray().at(0).toObject();
    EXPECT_EQ(first["right"].toString().toInt(), before.powerA) << "the value that came back";
    EXPECT_EQ(u.asked(ORDER_STORE_ROM), 0) << "ROM is stored only after the read-back matched";
    std::remove(file.c_str());

    const result human = run({"--tcp", u.address(), "send", file, "ram"});
    EXPECT_EQ(human.status, 2) << "the file is gone: " << human.err;
}

TEST(BatchSim, RefusedFieldsFailTheSendAndRomIsNotStored) {
    unit u({});
    para_record r = u.ram(), min{}, max{};
    u.limits(&min, &max);
    ASSERT_LT(max.powerB, 32767);
    r.powerB = static_cast<int16_t>(max.powerB + 1);
    const std::string file = temp_path("refused.ini");
    ASSERT_EQ(parameter_save2path(file.c_str(), &r, nullptr, nullptr), 0);
    const result out = run({"--json", "--tcp", u.address(), "send", file, "rom"});
    EXPECT_EQ(out.status, 1) << out.out;
    const QJsonObject o = out.units().at(0);
    EXPECT_EQ(o["outcome"].toString(), "failed");
    EXPECT_EQ(o["reason"].toString(), "1 plausibility check errors!");
    EXPECT_EQ(keys_of(o), std::vector<std::string>{"ChanB Power/Value"});
    EXPECT_EQ(u.asked(ORDER_STORE_ROM), 0);
    std::remove(file.c_str());
}

TEST(BatchSim, AUnitOfAnotherVersionIsRefusedAndNothingIsWrittenToIt) {
    unit a({"--unit", "1"});
    unit b({"--unit", "2", "--version-text", "KORMELAN-3 V4.10 {SN 00077 CH A/B}"});
    unit c({"--unit", "3"});
    const para_record b_before = b.ram();
    const std::string file = changed_file(a, "three.ini");
    const result r = run({"--json", "--expect-version", "KORMELAN-3 V4.04", "--tcp", a.address(), "--tcp",
                          b.address(), "--tcp", c.address(), "send", file, "ram"});
    EXPECT_EQ(r.status, 1) << r.out;
    const std::vector<QJsonObject> units = r.units();
    ASSERT_EQ(units.size(), 3u) << r.out;
    EXPECT_EQ(units[0]["outcome"].toString(), "ok");
    EXPECT_EQ(units[1]["outcome"].toString(), "refused");
    EXPECT_EQ(units[1]["version"].toString(), "KORMELAN-3 V4.10 {SN 00077 CH A/B}");
    EXPECT_EQ(units[2]["outcome"].toString(), "ok");
    EXPECT_EQ(units[2]["unit_number"].toInt(), 3);
    EXPECT_EQ(b.asked(ORDER_WRITE_RAM), 0);
    EXPECT_EQ(b.asked(ORDER_STORE_ROM), 0);
    const para_record b_after = b.ram();
    EXPECT_EQ(std::memcmp(&b_before, &b_after, sizeof(para_record)), 0);
    EXPECT_EQ(a.asked(ORDER_WRITE_RAM), 1);
    EXPECT_EQ(c.asked(ORDER_WRITE_RAM), 1);

    // Without --expect-version the program's own check refuses it too.
    const result plain = run({"--tcp", b.address(), "info"});
    EXPECT_EQ(plain.status, 1);
    EXPECT_NE(plain.out.find("REFUSED: Mismatch of versions"), std::string::npos) << plain.out;
    std::remove(file.c_str());
}

TEST(BatchSim, StatsCountTheInjectedFaultsExactly) {
    // A seed whose first answers (the pairing) come through whole, so every
    // fault the unit injects falls on a poll.
    double p[SIM_FAULTS] = {};
    p[SIM_FAULT_CORRUPT] = 0.02;
    p[SIM_FAULT_DROP] = 0.002;
    p[SIM_FAULT_NOISE] = 0.05;
    uint64_t seed = 1;
    for (;; seed++) {
        sim_faults f;
        sim_faults_init(&f, p, seed);
        bool clean = true;
        for (int i = 0; i < 6; i++) {
            sim_fault_draw d;
            sim_faults_draw(&f, true, &d);
            for (bool hit : d.hit) clean = clean && !hit;
        }
        if (clean) break;
    }
    const std::string s = std::to_string(seed);
    unit u({"--seed", s.c_str(), "--corrupt-crc", "0.02", "--drop", "0.002", "--noise", "0.05"});
    const result r = run({"--json", "--tcp", u.address(), "stats", "2.5"});
    EXPECT_EQ(r.status, 0) << r.out;
    const QJsonObject c = r.units().at(0)["counters"].toObject();
    long corrupt = 0, drop = 0, noise_bytes = 0, requests = 0;
    u.with([&](sim_proto* pr) {
        corrupt = pr->faults.count[SIM_FAULT_CORRUPT];
        drop = pr->faults.count[SIM_FAULT_DROP];
        noise_bytes = pr->faults.noise_bytes;
        requests = pr->stats.by_order[ORDER_POLL];
    });
    EXPECT_GT(corrupt, 0);
    EXPECT_EQ(c["crc_errors"].toInt(), corrupt);
    EXPECT_EQ(c["timeouts"].toInt(), drop);
    EXPECT_EQ(c["noise_bytes"].toInt(), noise_bytes);
    EXPECT_EQ(c["polls"].toInt(), requests);
    EXPECT_EQ(c["answers"].toInt(), requests - corrupt - drop);
    EXPECT_GT(c["rtt_max_ms"].toDouble(), 0.0);
    EXPECT_LE(c["rtt_median_ms"].toDouble(), c["rtt_p95_ms"].toDouble());
    EXPECT_EQ(c["codes"].toObject()["-5"].toInt(), corrupt);
}

TEST(BatchSim, AUnitThatVanishesIsALinkFailureAndTheOthersAreStillServed) {
    unit a({"--unit", "1"});
    unit b({"--unit", "2", "--vanish-after", "40"});
    unit c({"--unit", "3"});
    const result r =
        run({"--json", "--tcp", a.address(), "--tcp", b.address(), "--tcp", c.address(), "stats", "0.5"});
    EXPECT_EQ(r.status, 3) << r.out;
    const std::vector<QJsonObject> units = r.units();
    ASSERT_EQ(units.size(), 3u) << r.out;
    EXPECT_EQ(units[0]["outcome"].toString(), "ok");
    EXPECT_EQ(units[1]["outcome"].toString(), "link failure");
    EXPECT_EQ(units[1]["reason"].toString(), "No connection established with control unit.");
    EXPECT_EQ(units[1]["counters"].toObject()["answers"].toInt(), 40 - 6) << "polls after the pairing";
    EXPECT_EQ(units[2]["outcome"].toString(), "ok");
    EXPECT_GT(units[2]["counters"].toObject()["polls"].toInt(), 0);
}

TEST(BatchSim, RecordWritesTheProgramsRecordFileAndItsViewerReadsIt) {
    unit a({"--unit", "4"});
    unit b({"--unit", "5"});
    const std::string file = temp_path("rec.csv");
    const result r = run({"--interval", "0", "--panel-id", "line 3", "--tcp", a.address(), "--tcp",
                          b.address(), "record", "0.4", file});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    for (int n : {4, 5}) {
        const std::string path = batch_unit_path(file, n);
        EXPECT_NE(r.out.find("file " + path), std::string::npos) << r.out;
        std::ifstream in(path, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        ASSERT_GT(lines.size(), 12u);

        // The title and header block as the program's own writers make them,
        // apart from the date and time of the "File created" line.
        const std::string ref = temp_path("ref.csv");
        rec_header_info info{"01-01-2000", "00:00:00",     1,
                             19200,        pc_version_str, "KORMELAN-3 V4.04 {SN 00042 CH A/B}",
                             "line 3"};
        ASSERT_EQ(print_file_start(ref.c_str()), 0);
        ASSERT_EQ(print_file_header(ref.c_str(), REC_AUTO_UNLIMITED, REC_MAX_VALUES, 0, &info), 0);
        std::ifstream rin(ref, std::ios::binary);
        std::vector<std::string> want;
        for (std::string line; std::getline(rin, line);) want.push_back(line);
        std::remove(ref.c_str());
        ASSERT_LE(want.size(), lines.size());
        for (size_t i = 0; i < want.size(); i++) {
            if (want[i].rfind("File created:", 0) == 0)
                EXPECT_TRUE(std::regex_match(
                    lines[i], std::regex(R"(File created:; \d\d-\d\d-\d{4}; \d\d:\d\d:\d\d;)")))
                    << lines[i];
            else
                EXPECT_EQ(lines[i], want[i]) << "line " << i;
        }
        // Every data line: 25 fields, running index, as print_file_dataset writes them.
        const std::regex data(R"(\*;(\d+);\d\d:\d\d:\d\d;;-?\d+\.\d+;(-?\d+;){9};-?\d+\.\d+;(-?\d+;){9})");
        const size_t nrec = lines.size() - want.size();
        for (size_t i = want.size(); i < lines.size(); i++) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(lines[i], m, data)) << lines[i];
            EXPECT_EQ(std::stoul(m[1]), i - want.size());
        }
        std::vector<std::string> names;
        ASSERT_EQ(rec_view_columns(path.c_str(), &names), REC_VIEW_OK);
        EXPECT_EQ(names.size(), 20u);
        for (int col = 0; col < 20; col++) {
            std::vector<rec_point> points;
            int skipped = -1;
            ASSERT_EQ(rec_view_read(path.c_str(), col, &points, nullptr, &skipped), REC_VIEW_OK);
            EXPECT_EQ(points.size(), nrec);
            EXPECT_EQ(skipped, 0);
        }
        std::remove(path.c_str());
    }
}

TEST(BatchSim, InfoAndReadThenDiffAgree) {
    unit u({"--unit", "9"});
    result r = run({"--tcp", u.address(), "info"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.rfind(u.address() + ": FOUND SENSOR #00009 ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("{SN 00042 CH A/B}"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("linearisation A:"), std::string::npos);
    EXPECT_NE(r.out.find("linearisation B:"), std::string::npos);

    const std::string file = temp_path("read.ini");
    r = run({"--tcp", u.address(), "read", "ram", file});
    EXPECT_EQ(r.status, 0) << r.out;
    IniText st = Ini_New(0);
    ASSERT_EQ(Ini_ReadFromFile(st, file.c_str()), 0);
    int v = 0;
    EXPECT_EQ(Ini_GetInt(st, "ChanA Power", "Max. value", &v), 1) << "the limits are in the file";
    Ini_Dispose(st);
    r = run({"--tcp", u.address(), "diff", "ram", file});
    EXPECT_EQ(r.status, 0) << r.out;
    r = run({"diff", file, file});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "OK\n");
    std::remove(file.c_str());

    // A server that is not there.
    r = run({"--tcp", "127.0.0.1:1", "info"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("LINK FAILURE: COULD NOT CONNECT TO SERVER"), std::string::npos) << r.out;
}
