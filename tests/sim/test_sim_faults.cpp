// Injected faults: each one visible to the program's codec, all of them reproducible.
#include "sim/sim_options.h"
#include "tests/sim/sim_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

sim_config with_fault(sim_fault f, double p, uint64_t seed = 1) {
    sim_config cfg;
    cfg.seed = seed;
    cfg.fault_p[f] = p;
    return cfg;
}

// Polls n times and notes for each poll whether a complete, valid answer came.
std::string answer_pattern(const sim_config& cfg, int n) {
    sim_harness h(cfg);
    std::string pattern;
    for (int i = 0; i < n; i++) {
        h.advance_ms(5);
        frame_in a;
        pattern += h.ask(ORDER_POLL, POLL_RECORD, {}, &a) == FRAME_COMPLETE ? '+' : '-';
    }
    return pattern;
}

} // namespace

// ---- each fault ----

TEST(SimFaults, DropSendsNothing) {
    sim_harness h(with_fault(SIM_FAULT_DROP, 1.0));
    frame_in a;
    EXPECT_EQ(h.ask(ORDER_POLL, POLL_RECORD, {}, &a), FRAME_INCOMPLETE);
    EXPECT_TRUE(h.last_chunks.empty());
}

TEST(SimFaults, NoiseBytesAreCountedAndEveryFaultIsLogged) {
    sim_config cfg = with_fault(SIM_FAULT_NOISE, 0.5, 3);
    cfg.fault_p[SIM_FAULT_DROP] = 0.2;
    sim_harness h(cfg);
    std::vector<std::string> log;
    h.p->log = [&log](const char* line) { log.push_back(line); };
    long seen_noise = 0;
    for (int i = 0; i < 200; i++) {
        frame_in a;
        const std::vector<uint8_t> req = sim_harness::request(ORDER_POLL, POLL_RECORD);
        sim_proto_feed(h.p.get(), req.data(), static_cast<int>(req.size()), h.t, 0);
        const std::vector<uint8_t> out = h.take_output();
        // The program's receiver skips exactly the stray bytes before the frame.
        frame_rx rx;
        frame_rx_clear(&rx);
        frame_rx_append(&rx, out.data(), static_cast<int>(out.size()));
        if (!out.empty()) {
            EXPECT_EQ(frame_find(&rx, &a, &seen_noise), FRAME_COMPLETE);
        }
    }
    EXPECT_GT(h.p->faults.count[SIM_FAULT_NOISE], 0);
    EXPECT_EQ(h.p->faults.noise_bytes, seen_noise);
    long logged_noise = 0, logged_drops = 0;
    for (const std::string& line : log) {
        if (line.find("fault:") == std::string::npos) continue;
        const size_t at = line.find("noise (");
        if (at != std::string::npos) logged_noise += std::stol(line.substr(at + 7));
        if (line.find(" drop") != std::string::npos) logged_drops++;
    }
    EXPECT_EQ(logged_noise, seen_noise);
    EXPECT_EQ(logged_drops, h.p->faults.count[SIM_FAULT_DROP]);
    EXPECT_EQ(h.p->stats.by_order[ORDER_POLL], 200);
}

TEST(SimFaults, IgnoredWritesAreAcknowledgedButNotTaken) {
    sim_config cfg;
    cfg.ignore_writes = true;
    sim_harness h(cfg);
    std::vector<uint16_t> before;
    ASSERT_EQ(h.ask_words(ORDER_READ_RAM, 0, {}, &before, SIM_PARA_WORDS), 0);
    std::vector<uint16_t> changed = before;
    changed[0] = static_cast<uint16_t>(changed[0] + 1);
    std::vector<uint16_t> none;
    frame_in ack;
    ASSERT_EQ(h.ask_words(ORDER_WRITE_RAM, 0, changed, &none, 0, &ack), 0);
    EXPECT_EQ(ack.header.value, 0) << "no field reported refused";
    std::vector<uint16_t> after;
    ASSERT_EQ(h.ask_words(ORDER_READ_RAM, 0, {}, &after, SIM_PARA_WORDS), 0);
    EXPECT_EQ(after, before);
}

TEST(SimFaults, AUnitThatVanishesHangsUpAndFallsSilent) {
    sim_config cfg;
    cfg.vanish_after = 3;
    sim_harness h(cfg);
    frame_in a;
    for (int i = 0; i < 3; i++) ASSERT_EQ(h.ask(ORDER_POLL, POLL_RECORD, {}, &a), FRAME_COMPLETE);
    EXPECT_EQ(h.ask(ORDER_POLL, POLL_RECORD, {}, &a), FRAME_INCOMPLETE);
    ASSERT_EQ(h.last_chunks.size(), 1u);
    EXPECT_TRUE(h.last_chunks[0].hangup);
    EXPECT_TRUE(h.last_chunks[0].bytes.empty());
    EXPECT_EQ(h.ask(ORDER_SEARCH, 0, std::vector<uint16_t>(SEARCH_WORDS, 0), &a), FRAME_INCOMPLETE);
    EXPECT_TRUE(h.last_chunks.empty()) << "a new client hears nothing either";
}

TEST(SimFaults, CorruptCrcFailsThePayloadCheckButKeepsTheHeader) {
    sim_harness h(with_fault(SIM_FAULT_CORRUPT, 1.0));
    frame_in a;
    EXPECT_EQ(h.ask(ORDER_POLL, POLL_RECORD, {}, &a), FRAME_ERR_CRC);
    // Even an answer without payload carries a wrong payload CRC.
    EXPECT_EQ(h.ask(ORDER_NORM_NOW, 0, {}, &a), FRAME_ERR_CRC);
}

TEST(SimFaults, NoisePrecedesAFrameThatIsStillFound) {
    sim_harness h(with_fault(SIM_FAULT_NOISE, 1.0));
    for (int i = 0; i < 20; i++) {
        frame_in a;
        ASSERT_EQ(h.ask(ORDER_POLL, POLL_RECORD, {}, &a), FRAME_COMPLETE);
        const size_t size = h.last_chunks.at(0).bytes.size();
        EXPECT_GE(size, 80u + 1);
        EXPECT_LE(size, 80u + 16);
        EXPECT_NE(h.last_chunks[0].bytes[0], FRAME_START_BYTE);
    }
}

TEST(SimFaults, DelayHoldsTheAnswerPastTheTimeOut) {
    sim_harness h(with_fault(SIM_FAULT_DELAY, 1.0));
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_POLL, POLL_RECORD, {}, &a), FRAME_COMPLETE);
    EXPECT_GT(h.last_chunks.at(0).due_us - h.t, 2000000);
}

TEST(SimFaults, ShortAnswerHasTooFewWords) {
    sim_harness h(with_fault(SIM_FAULT_SHORT, 1.0));
    std::vector<uint16_t> r;
    EXPECT_EQ(h.ask_words(ORDER_POLL, POLL_RECORD, {}, &r, 36), FRAME_ERR_FEW_WORDS);
    EXPECT_EQ(r.size(), 18u);
    EXPECT_EQ(h.ask_words(ORDER_READ_RAM, 0, {}, &r, 228), FRAME_ERR_FEW_WORDS);
}

TEST(SimFaults, RejectAnswersWithOrderZero) {
    sim_harness h(with_fault(SIM_FAULT_REJECT, 1.0));
    std::vector<uint16_t> r;
    EXPECT_EQ(h.ask_words(ORDER_POLL, POLL_RECORD, {}, &r, 36), FRAME_ERR_ORDER);
    EXPECT_EQ(h.ask_words(ORDER_VERSION, 0, {}, &r, 0), FRAME_ERR_ORDER);
}

TEST(SimFaults, CutSendsPartOfTheFrameAndHangsUp) {
    sim_harness h(with_fault(SIM_FAULT_CUT, 1.0));
    for (int i = 0; i < 20; i++) {
        frame_in a;
        EXPECT_EQ(h.ask(ORDER_POLL, POLL_RECORD, {}, &a), FRAME_INCOMPLETE);
        ASSERT_EQ(h.last_chunks.size(), 1u);
        EXPECT_TRUE(h.last_chunks[0].hangup);
        EXPECT_GE(h.last_chunks[0].bytes.size(), 1u);
        EXPECT_LT(h.last_chunks[0].bytes.size(), 80u);
    }
}

TEST(SimFaults, AutosendFramesAreHitToo) {
    sim_config cfg = with_fault(SIM_FAULT_CORRUPT, 1.0);
    sim_harness h(cfg);
    std::vector<uint8_t> on = sim_harness::request(ORDER_AUTOSEND, AUTOSEND_ON);
    sim_proto_feed(h.p.get(), on.data(), static_cast<int>(on.size()), h.t, 0);
    h.take_output();
    h.advance_ms(1000);
    const std::vector<uint8_t> out = h.take_output();
    ASSERT_FALSE(h.last_chunks.empty());
    frame_in a;
    EXPECT_EQ(sim_harness::decode(out, &a), FRAME_ERR_CRC);
}

// ---- reproducibility ----

TEST(SimFaults, SameSeedSamePatternOtherSeedOtherPattern) {
    const std::string a = answer_pattern(with_fault(SIM_FAULT_DROP, 0.3, 7), 400);
    const std::string b = answer_pattern(with_fault(SIM_FAULT_DROP, 0.3, 7), 400);
    const std::string c = answer_pattern(with_fault(SIM_FAULT_DROP, 0.3, 8), 400);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    const long dropped = std::count(a.begin(), a.end(), '-');
    EXPECT_GT(dropped, 400 * 0.3 - 40);
    EXPECT_LT(dropped, 400 * 0.3 + 40);
}

TEST(SimFaults, FramesHitByOneFaultDoNotDependOnTheOthers) {
    sim_config only_drop = with_fault(SIM_FAULT_DROP, 0.2, 3);
    sim_config drop_and_noise = only_drop;
    drop_and_noise.fault_p[SIM_FAULT_NOISE] = 0.5; // noise keeps the frame valid
    EXPECT_EQ(answer_pattern(only_drop, 300), answer_pattern(drop_and_noise, 300));
}

TEST(SimFaults, NoFaultsNoLosses) {
    const std::string a = answer_pattern(sim_config(), 300);
    EXPECT_EQ(a, std::string(300, '+'));
}

// ---- options ----

namespace {

int parse(std::vector<const char*> args, sim_options* o, std::string* err = nullptr) {
    args.insert(args.begin(), "kormelan3-sim");
    return sim_options_parse(static_cast<int>(args.size()), args.data(), o, err);
}

} // namespace

TEST(SimOptions, TransportsAndTheirArguments) {
    sim_options o;
    ASSERT_EQ(parse({"--tcp", "0"}, &o), SIM_OPT_RUN);
    EXPECT_EQ(o.tcp_port, 0);
    EXPECT_EQ(o.bind, "127.0.0.1");
    ASSERT_EQ(parse({"--pty", "/tmp/ttyK3", "--baud", "9600"}, &o), SIM_OPT_RUN);
    EXPECT_TRUE(o.pty);
    EXPECT_EQ(o.pty_link, "/tmp/ttyK3");
    EXPECT_EQ(o.baud, 9600);
    ASSERT_EQ(parse({"--pty", "--unit", "12"}, &o), SIM_OPT_RUN); // LINK is optional
    EXPECT_TRUE(o.pty_link.empty());
    EXPECT_EQ(o.unit, 12);
    ASSERT_EQ(parse({"--pty"}, &o), SIM_OPT_RUN);
}

TEST(SimOptions, RefusesWhatCannotWork) {
    sim_options o;
    std::string err;
    EXPECT_EQ(parse({}, &o, &err), SIM_OPT_ERROR);
    EXPECT_EQ(parse({"--tcp", "1", "--pty"}, &o, &err), SIM_OPT_ERROR);
    EXPECT_EQ(parse({"--tcp", "70000"}, &o, &err), SIM_OPT_ERROR);
    EXPECT_EQ(parse({"--tcp"}, &o, &err), SIM_OPT_ERROR);
    EXPECT_EQ(parse({"--pty", "--baud", "12345"}, &o, &err), SIM_OPT_ERROR);
    EXPECT_EQ(parse({"--pty", "--drop", "1.5"}, &o, &err), SIM_OPT_ERROR);
    EXPECT_EQ(parse({"--pty", "--drop", "x"}, &o, &err), SIM_OPT_ERROR);
    EXPECT_EQ(parse({"--pty", "--seed", "-3"}, &o, &err), SIM_OPT_ERROR);
    EXPECT_EQ(parse({"--tcp", "0", "--pace-tcp"}, &o, &err), SIM_OPT_ERROR);
    EXPECT_EQ(parse({"--pty", "--version-text", std::string(128, 'x').c_str()}, &o, &err), SIM_OPT_ERROR);
    EXPECT_EQ(parse({"--pty", "--frobnicate"}, &o, &err), SIM_OPT_ERROR);
    EXPECT_NE(err.find("--frobnicate"), std::string::npos);
}

TEST(SimOptions, FaultsSeedAndTextReachTheCoreConfiguration) {
    sim_options o;
    ASSERT_EQ(parse({"--tcp",          "0",           "--seed",   "77",  "--drop",  "0.1",
                     "--corrupt-crc",  "0.2",         "--noise",  "0.3", "--delay", "0.4",
                     "--short",        "0.5",         "--reject", "0.6", "--cut",   "0.7",
                     "--version-text", "X V4.04 {Y}", "--unit",   "5",   "--baud",  "57600",
                     "--pace-tcp"},
                    &o),
              SIM_OPT_RUN);
    sim_config cfg;
    sim_options_config(&o, &cfg);
    EXPECT_EQ(cfg.seed, 77u);
    EXPECT_EQ(cfg.unit_number, 5);
    EXPECT_EQ(cfg.baud, 57600);
    EXPECT_STREQ(cfg.version_text, "X V4.04 {Y}");
    for (int f = 0; f < SIM_FAULTS; f++)
        EXPECT_DOUBLE_EQ(cfg.fault_p[f], 0.1 * (f + 1)) << sim_fault_names[f];
    EXPECT_FALSE(cfg.ignore_writes);
    EXPECT_EQ(cfg.vanish_after, -1);
    ASSERT_EQ(parse({"--tcp", "0", "--ignore-writes", "--vanish-after", "40"}, &o), SIM_OPT_RUN);
    sim_options_config(&o, &cfg);
    EXPECT_TRUE(cfg.ignore_writes);
    EXPECT_EQ(cfg.vanish_after, 40);
    EXPECT_EQ(parse({"--tcp", "0", "--vanish-after", "-1"}, &o), SIM_OPT_ERROR);
}

TEST(SimOptions, HelpDocumentsEveryOption) {
    sim_options o;
    EXPECT_EQ(parse({"--tcp", "0", "--help"}, &o), SIM_OPT_HELP);
    const std::string help = sim_options_help();
    for (const char* opt : {"--tcp", "--bind", "--pty", "--baud", "--pace-tcp", "--unit", "--version-text",
                            "--seed", "--drop", "--corrupt-crc", "--noise", "--delay", "--short", "--reject",
                            "--cut", "--verbose", "--help", "--ignore-writes", "--vanish-after"})
        EXPECT_NE(help.find(opt), std::string::npos) << opt;
}
