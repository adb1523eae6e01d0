// The batch tool's command line, its file names for several units, and the
// link-health arithmetic.
#include "batch/batch_args.h"
#include "batch/batch_health.h"
#include "batch/batch_report.h"
#include "link/link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int parse(std::vector<const char*> args, batch_args* a, std::string* err = nullptr) {
    args.insert(args.begin(), "zazed-batch");
    return batch_parse(static_cast<int>(args.size()), args.data(), a, err);
}

} // namespace

TEST(BatchArgs, UnitsCommandsAndOptions) {
    batch_args a;
    ASSERT_EQ(parse({"--json", "--expect-version", "KORMELAN-3 V4.04", "--tcp", "10.0.0.5:4001", "--serial",
                     "COM3", "--baud", "115200", "--serial", "/dev/ttyUSB0", "send", "p.ini", "rom"},
                    &a),
              BATCH_PARSE_RUN);
    EXPECT_TRUE(a.json);
    EXPECT_TRUE(a.has_expect);
    EXPECT_EQ(a.expect_version, "KORMELAN-3 V4.04");
    ASSERT_EQ(a.units.size(), 3u);
    EXPECT_EQ(a.units[0].protocol, LINK_PROTOCOL_TCP);
    EXPECT_EQ(a.units[0].host, "10.0.0.5");
    EXPECT_EQ(a.units[0].port, 4001);
    EXPECT_EQ(a.units[1].com_port, 3);
    EXPECT_EQ(a.units[1].baud, 115200);
    EXPECT_EQ(a.units[1].label, "COM3");
    EXPECT_EQ(a.units[2].device, "/dev/ttyUSB0");
    EXPECT_EQ(a.units[2].baud, 19200);
    EXPECT_EQ(a.command, BATCH_SEND);
    EXPECT_EQ(a.file, "p.ini");
    EXPECT_EQ(a.target, BATCH_ROM);

    ASSERT_EQ(parse({"--tcp", "h:1", "diff", "p.ini", "ram"}, &a), BATCH_PARSE_RUN);
    EXPECT_EQ(a.src[0].target, 0);
    EXPECT_EQ(a.src[0].file, "p.ini");
    EXPECT_EQ(a.src[1].target, BATCH_RAM);
    // Two files need no unit.
    ASSERT_EQ(parse({"diff", "a.ini", "b.ini"}, &a), BATCH_PARSE_RUN);
    ASSERT_EQ(parse({"--interval", "0", "--tcp", "h:1", "record", "2.5", "r.csv"}, &a), BATCH_PARSE_RUN);
    EXPECT_EQ(a.interval, 0);
    EXPECT_DOUBLE_EQ(a.seconds, 2.5);
    EXPECT_EQ(parse({"--tcp", "h:1", "--help"}, &a), BATCH_PARSE_HELP);
}

TEST(BatchArgs, UsageErrorsAreNamed) {
    batch_args a;
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"--tcp", "h:1"},
        {"info"},
        {"--tcp", "h", "info"},
        {"--tcp", "h:0", "info"},
        {"--tcp", "h:1", "--baud", "9600", "info"},
        {"--serial", "COM1", "--baud", "1234", "info"},
        {"--tcp", "h:1", "read", "flash", "p.ini"},
        {"--tcp", "h:1", "send", "p.ini"},
        {"--tcp", "h:1", "stats", "0"},
        {"--tcp", "h:1", "stats", "ten"},
        {"--tcp", "h:1", "record", "5"},
        {"--tcp", "h:1", "diff", "a.ini", "b.ini"},
        {"diff", "a.ini", "ram"},
        {"--tcp", "h:1", "frobnicate"},
        {"--frobnicate", "--tcp", "h:1", "info"},
        {"--tcp", "h:1", "info", "extra"},
    };
    for (const auto& args : bad) {
        std::string err;
        EXPECT_EQ(parse(args, &a, &err), BATCH_PARSE_ERROR) << (args.empty() ? "(none)" : args.back());
        EXPECT_FALSE(err.empty());
    }
    const std::string help = batch_help();
    for (const char* word : {"--tcp", "--serial", "--baud", "--json", "--expect-version", "--interval",
                             "--panel-id", "info", "read ram|rom FILE", "send FILE ram|rom", "diff SRC SRC",
                             "record SECONDS FILE", "stats SECONDS", "Exit status"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
}

TEST(BatchArgs, SeveralUnitsNumberTheirFilesBeforeTheExtension) {
    EXPECT_EQ(batch_unit_path("p.ini", 12), "p-00012.ini");
    EXPECT_EQ(batch_unit_path("out/run.1/p.csv", 7), "out/run.1/p-00007.csv");
    EXPECT_EQ(batch_unit_path("out/run.1/p", 7), "out/run.1/p-00007");
    EXPECT_EQ(batch_unit_path(".hidden", 1), ".hidden-00001");
    EXPECT_EQ(batch_unit_path("p.tar.gz", 65535), "p.tar-65535.gz");
}

TEST(BatchHealth, CountsEachResultAndSummarisesTheRoundTrips) {
    batch_health h;
    for (int i = 1; i <= 20; i++) health_count(&h, LINK_OK, i * 0.001); // 1 .. 20 ms
    health_count(&h, LINK_STATUS_2, 0.100);
    health_count(&h, LINK_ERR_RECV_TIMEOUT, 2.0);
    health_count(&h, LINK_ERR_CRC, 0.001);
    health_count(&h, LINK_ERR_CRC, 0.001);
    health_count(&h, LINK_ERR_FEW_WORDS, 0.001);
    health_count(&h, LINK_ERR_ORDER, 0.001);
    health_count(&h, LINK_ERR_OVERSIZE, 0.001);
    h.seconds = 2.0;
    EXPECT_EQ(h.polls, 27);
    EXPECT_EQ(h.answers, 21);
    EXPECT_EQ(h.timeouts, 1);
    EXPECT_EQ(h.crc_errors, 2);
    EXPECT_EQ(h.short_answers, 1);
    EXPECT_EQ(h.rejected, 1);
    EXPECT_EQ(h.codes.at(LINK_ERR_OVERSIZE), 1);
    const health_summary s = health_summarise(h);
    EXPECT_DOUBLE_EQ(s.per_second, 13.5);
    EXPECT_NEAR(s.median_ms, 11.0, 1e-9); // 21 answered polls: the 11th
    EXPECT_NEAR(s.p95_ms, 20.0, 1e-9);    // rank ceil(0.95 * 21) = 20
    EXPECT_NEAR(s.max_ms, 100.0, 1e-9);   // a time-out is no round trip
    batch_health none;
    EXPECT_DOUBLE_EQ(health_summarise(none).max_ms, 0.0);
    EXPECT_NE(health_line(h).find("time-outs 1, CRC errors 2, short answers 1, rejected orders 1"),
              std::string::npos);
}

TEST(BatchReport, ExitStatusOfTheWorstUnit) {
    EXPECT_EQ(outcome_exit(OUTCOME_OK), BATCH_EXIT_OK);
    EXPECT_EQ(outcome_exit(OUTCOME_DIFFERENT), BATCH_EXIT_FAILED);
    EXPECT_EQ(outcome_exit(OUTCOME_REFUSED), BATCH_EXIT_FAILED);
    EXPECT_EQ(outcome_exit(OUTCOME_FAILED), BATCH_EXIT_FAILED);
    EXPECT_EQ(outcome_exit(OUTCOME_LINK), BATCH_EXIT_LINK);
    EXPECT_EQ(worse_exit(BATCH_EXIT_LINK, BATCH_EXIT_FAILED), BATCH_EXIT_LINK);
    EXPECT_EQ(worse_exit(BATCH_EXIT_FAILED, BATCH_EXIT_LINK), BATCH_EXIT_LINK);
    EXPECT_EQ(worse_exit(BATCH_EXIT_OK, BATCH_EXIT_FAILED), BATCH_EXIT_FAILED);
}
