// The simulated unit answers every order of the protocol, decoded with the program's codec.
#include "sim/sim_params.h"
#include "tests/sim/sim_harness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string text_of(const frame_in& a) {
    return std::string(reinterpret_cast<const char*>(a.payload), static_cast<size_t>(a.payload_kept));
}

std::vector<uint16_t> read_ram(sim_harness& h, frame_in* a = nullptr) {
    std::vector<uint16_t> w;
    EXPECT_EQ(h.ask_words(ORDER_READ_RAM, 0, {}, &w, SIM_PARA_WORDS, a), 0);
    return w;
}

} // namespace

// ---- identification ----

TEST(SimOrders, SearchAnswersWithTheUnitNumber) {
    sim_config cfg;
    cfg.unit_number = 1234;
    sim_harness h(cfg);
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_SEARCH, 0, std::vector<uint16_t>(16, 0), &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_SEARCH);
    EXPECT_EQ(a.header.value, 1234);
    EXPECT_EQ(frame_check_answer(&a, ORDER_SEARCH, nullptr, 0, nullptr), 0);
}

TEST(SimOrders, DefaultVersionTextIsZeroTerminatedWithVersionAndBraces) {
    sim_harness h;
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_VERSION, 0, {}, &a), FRAME_COMPLETE);
    const std::string t = text_of(a);
    ASSERT_FALSE(t.empty());
    const std::string s = t.substr(0, t.find('\0'));
    EXPECT_NE(t.find('\0'), std::string::npos);
    EXPECT_EQ(s, SIM_DEFAULT_VERSION);
    EXPECT_NE(s.find("V4.04"), std::string::npos);
    EXPECT_LT(s.find('{'), s.find('}'));
}

TEST(SimOrders, VersionTextOfEvenLengthStillCarriesItsTerminator) {
    sim_config cfg;
    cfg.version_text = "AB"; // 2 characters + terminator = 3 bytes, padded to 4
    sim_harness h(cfg);
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_VERSION, 0, {}, &a), FRAME_COMPLETE);
    ASSERT_EQ(a.payload_kept, 4);
    EXPECT_EQ(text_of(a), std::string("AB\0\0", 4));
}

TEST(SimOrders, HardwareBlockHas256WordsAndNamesTheBoard) {
    sim_harness h;
    std::vector<uint16_t> w;
    ASSERT_EQ(h.ask_words(ORDER_HARDWARE, 0, {}, &w, 256), 0);
    ASSERT_EQ(w.size(), 256u);
    EXPECT_EQ(w[0], 0x4B33);
    EXPECT_EQ(w[3], 1); // unit number
}

TEST(SimOrders, UnknownOrdersAreAnsweredWithOrderZero) {
    sim_harness h;
    for (int order : {6, 10, 99, 255}) {
        frame_in a;
        ASSERT_EQ(h.ask(order, 0, {}, &a), FRAME_COMPLETE) << order;
        EXPECT_EQ(a.header.order, ORDER_REJECTED) << order;
        EXPECT_EQ(frame_check_answer(&a, order, nullptr, 0, nullptr), FRAME_ERR_ORDER) << order;
    }
}

TEST(SimOrders, BadArgumentsAreRejectedLikeUnknownOrders) {
    sim_harness h;
    const struct {
        int order;
        uint16_t value;
    } bad[] = {{ORDER_LIMITS, 0},        {ORDER_LIMITS, 3},
               {ORDER_RESET, 0},         {ORDER_RESET, 4},
               {ORDER_AUTOSEND, 2},      {ORDER_BAUD, 5},
               {ORDER_OSCI_BLOCK, 12},   {ORDER_LIN_ANNOUNCE, 0x1200},
               {ORDER_LIN_READ, 0x1C00}, {ORDER_LIN_ANNOUNCE, 0x1401}};
    for (const auto& b : bad) {
        frame_in a;
        ASSERT_EQ(h.ask(b.order, b.value, {}, &a), FRAME_COMPLETE);
        EXPECT_EQ(a.header.order, ORDER_REJECTED) << b.order << " value " << b.value;
    }
    EXPECT_EQ(h.p->stats.rejected, 10);
}

// ---- parameters ----

TEST(SimOrders, ParameterSetAndLimitsHave228WordsAndTheSetLiesWithinThem) {
    sim_harness h;
    frame_in a;
    const std::vector<uint16_t> ram = read_ram(h, &a);
    ASSERT_EQ(ram.size(), 228u);
    EXPECT_EQ(a.header.value, 0); // no plausibility errors in the unit's own set
    std::vector<uint16_t> lo, hi;
    ASSERT_EQ(h.ask_words(ORDER_LIMITS, LIMITS_MIN, {}, &lo, 228), 0);
    ASSERT_EQ(h.ask_words(ORDER_LIMITS, LIMITS_MAX, {}, &hi, 228), 0);
    ASSERT_EQ(lo.size(), 228u);
    ASSERT_EQ(hi.size(), 228u);
    EXPECT_EQ(sim_params_count_errors(ram.data(), &h.p->unit.limits), 0);
    // The limits on the wire are the ones the unit checks against.
    EXPECT_EQ(0, std::memcmp(lo.data(), h.p->unit.limits.min, sizeof h.p->unit.limits.min));
    EXPECT_EQ(0, std::memcmp(hi.data(), h.p->unit.limits.max, sizeof h.p->unit.limits.max));
}

TEST(SimOrders, WriteCountsFieldsOutsideTheLimitsAndKeepsTheirOldValues) {
    sim_harness h;
    std::vector<uint16_t> set = read_ram(h);
    const std::vector<uint16_t> before = set;
    set[sim_chan_a.eval_mode] = 22;                    // modes run 0..21
    set[sim_chan_b.osci_pretrig] = 1024;               // 0..1023
    sim_put_s32(set.data(), sim_chan_a.teach, -65536); // negative reference
    set[sim_chan_a.trigger1] = 1500;                   // valid, taken
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_WRITE_RAM, 0, set, &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_WRITE_RAM);
    EXPECT_EQ(a.header.value, 3);
    const std::vector<uint16_t> now = read_ram(h);
    EXPECT_EQ(now[sim_chan_a.eval_mode], before[sim_chan_a.eval_mode]);
    EXPECT_EQ(now[sim_chan_b.osci_pretrig], before[sim_chan_b.osci_pretrig]);
    EXPECT_EQ(sim_s32(now.data(), sim_chan_a.teach), sim_s32(before.data(), sim_chan_a.teach));
    EXPECT_EQ(now[sim_chan_a.trigger1], 1500);
}

TEST(SimOrders, ReservedWordsTravelUnchanged) {
    sim_harness h;
    std::vector<uint16_t> set = read_ram(h);
    for (int w : {32, 106, 224, 227}) set[static_cast<size_t>(w)] = static_cast<uint16_t>(0xA500 + w);
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_WRITE_RAM, 0, set, &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.value, 0);
    EXPECT_EQ(read_ram(h), set);
}

TEST(SimOrders, ShortParameterWriteIsRejected) {
    sim_harness h;
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_WRITE_RAM, 0, std::vector<uint16_t>(100, 0), &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_REJECTED);
}

TEST(SimOrders, RomKeepsTheStoredSetUntilLoaded) {
    sim_harness h;
    std::vector<uint16_t> set = read_ram(h);
    set[sim_chan_a.power] = 500;
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_WRITE_RAM, 0, set, &a), FRAME_COMPLETE);
    ASSERT_EQ(h.ask(ORDER_STORE_ROM, 0, {}, &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_STORE_ROM);
    set[sim_chan_a.power] = 600;
    ASSERT_EQ(h.ask(ORDER_WRITE_RAM, 0, set, &a), FRAME_COMPLETE);
    EXPECT_EQ(read_ram(h)[sim_chan_a.power], 600);
    ASSERT_EQ(h.ask(ORDER_LOAD_ROM, 0, {}, &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_LOAD_ROM);
    EXPECT_EQ(a.header.value, 0);
    EXPECT_EQ(read_ram(h)[sim_chan_a.power], 500);
}

// ---- linearisation ----

TEST(SimOrders, InformationBlockHoldsTwoZeroTerminatedDescriptions) {
    sim_harness h;
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_LIN_READ, LIN_INFO_BLOCK, {256}, &a), FRAME_COMPLETE);
    ASSERT_EQ(a.payload_kept, 512);
    const char* p = reinterpret_cast<const char*>(a.payload);
    EXPECT_NE(std::string(p).find("CH A"), std::string::npos);
    EXPECT_NE(std::string(p + 256).find("CH B"), std::string::npos);
    EXPECT_EQ(p[255], '\0');
    EXPECT_EQ(p[511], '\0');
}

TEST(SimOrders, AnnouncedBlocksAreStoredAndReadBack) {
    sim_harness h;
    std::vector<uint16_t> data(256);
    for (int i = 0; i < 256; i++) data[static_cast<size_t>(i)] = static_cast<uint16_t>(1000 + 3 * i);
    for (uint16_t value : {0x1300, 0x1500, 0x1B00}) {
        frame_in a;
        ASSERT_EQ(h.ask(ORDER_LIN_ANNOUNCE, value, {}, &a), FRAME_COMPLETE);
        EXPECT_EQ(a.header.order, ORDER_LIN_ANNOUNCE);
        ASSERT_EQ(h.ask(ORDER_LIN_WRITE, value, data, &a), FRAME_COMPLETE);
        EXPECT_EQ(a.header.order, ORDER_LIN_WRITE);
        std::vector<uint16_t> back;
        ASSERT_EQ(h.ask_words(ORDER_LIN_READ, value, {256}, &back, 256), 0);
        EXPECT_EQ(back, data) << std::hex << value;
    }
}

TEST(SimOrders, BlockWriteWithoutItsAnnouncementIsRejected) {
    sim_harness h;
    const std::vector<uint16_t> data(256, 7);
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_LIN_WRITE, 0x1400, data, &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_REJECTED);
    ASSERT_EQ(h.ask(ORDER_LIN_ANNOUNCE, 0x1400, {}, &a), FRAME_COMPLETE);
    ASSERT_EQ(h.ask(ORDER_LIN_WRITE, 0x1500, data, &a), FRAME_COMPLETE); // announced another block
    EXPECT_EQ(a.header.order, ORDER_REJECTED);
    ASSERT_EQ(h.ask(ORDER_LIN_ANNOUNCE, 0x1400, {}, &a), FRAME_COMPLETE);
    ASSERT_EQ(h.ask(ORDER_LIN_WRITE, 0x1400, std::vector<uint16_t>(100, 7), &a), FRAME_COMPLETE); // not whole
    EXPECT_EQ(a.header.order, ORDER_REJECTED);
}

// ---- channel orders ----

TEST(SimOrders, ResetClearsTheChosenChannelsCounters) {
    sim_harness h;
    h.advance_ms(3000);
    std::vector<uint16_t> r = h.record();
    ASSERT_GT(rec_s32(r, SR_COUNTER), 5);
    ASSERT_GT(rec_s32(r, SR_CHANNEL_B + SR_COUNTER), 5);
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_RESET, RESET_A, {}, &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_RESET);
    r = h.record();
    EXPECT_EQ(rec_s32(r, SR_COUNTER), 0);
    EXPECT_GT(rec_s32(r, SR_CHANNEL_B + SR_COUNTER), 5);
    ASSERT_EQ(h.ask(ORDER_RESET, RESET_BOTH, {}, &a), FRAME_COMPLETE);
    EXPECT_EQ(rec_s32(h.record(), SR_CHANNEL_B + SR_COUNTER), 0);
}

// ---- framing ----

TEST(SimOrders, TwoRequestsInOneWriteGetTwoAnswersInOrder) {
    sim_harness h;
    std::vector<uint8_t> both = sim_harness::request(ORDER_SEARCH, 0, std::vector<uint16_t>(16, 0));
    const std::vector<uint8_t> second = sim_harness::request(ORDER_VERSION, 0);
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(sim_proto_feed(h.p.get(), both.data(), static_cast<int>(both.size()), h.t, 0), 2);
    const std::vector<uint8_t> out = h.take_output();
    frame_rx rx;
    frame_rx_clear(&rx);
    frame_rx_append(&rx, out.data(), static_cast<int>(out.size()));
    frame_in a;
    ASSERT_EQ(frame_find(&rx, &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_SEARCH);
    ASSERT_EQ(frame_find(&rx, &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_VERSION);
}

TEST(SimOrders, RequestSplitByteByByteIsAnsweredOnce) {
    sim_harness h;
    const std::vector<uint8_t> req = sim_harness::request(ORDER_POLL, POLL_RECORD);
    int served = 0;
    for (uint8_t b : req) served += sim_proto_feed(h.p.get(), &b, 1, h.t, 0);
    EXPECT_EQ(served, 1);
    frame_in a;
    EXPECT_EQ(sim_harness::decode(h.take_output(), &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_POLL);
}

TEST(SimOrders, CorruptRequestIsIgnoredAndTheNextOneServed) {
    sim_harness h;
    std::vector<uint8_t> bad = sim_harness::request(ORDER_WRITE_RAM, 0, std::vector<uint16_t>(228, 0));
    bad[20] ^= 0xFF; // payload no longer matches its CRC
    std::vector<uint8_t> noise = {0x55, 0x00, 0x13, 0x55};
    const std::vector<uint8_t> good = sim_harness::request(ORDER_SEARCH, 0, std::vector<uint16_t>(16, 0));
    std::vector<uint8_t> all = noise;
    all.insert(all.end(), bad.begin(), bad.end());
    all.insert(all.end(), good.begin(), good.end());
    EXPECT_EQ(sim_proto_feed(h.p.get(), all.data(), static_cast<int>(all.size()), h.t, 0), 1);
    EXPECT_EQ(h.p->stats.bad_frames, 1);
    frame_in a;
    ASSERT_EQ(sim_harness::decode(h.take_output(), &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_SEARCH);
}

// ---- line rate ----

TEST(SimOrders, RateChangeIsAcknowledgedAtTheOldRateThenOnlyTheNewOneIsUnderstood) {
    sim_config cfg;
    cfg.baud = 9600;
    sim_harness h(cfg);
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_BAUD, 4, {}, &a, 9600), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_BAUD);
    ASSERT_EQ(h.last_chunks.size(), 1u);
    EXPECT_EQ(h.last_chunks[0].baud, 9600);
    EXPECT_EQ(h.ask(ORDER_POLL, POLL_RECORD, {}, &a, 9600), FRAME_INCOMPLETE);
    EXPECT_EQ(h.p->stats.not_understood, 1);
    ASSERT_EQ(h.ask(ORDER_POLL, POLL_RECORD, {}, &a, 115200), FRAME_COMPLETE);
    EXPECT_EQ(h.last_chunks[0].baud, 115200);
}

TEST(SimOrders, AClientOfUnknownRateIsAlwaysUnderstood) {
    sim_config cfg;
    cfg.baud = 19200;
    sim_harness h(cfg);
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_BAUD, 0, {}, &a, 0), FRAME_COMPLETE);
    EXPECT_EQ(h.ask(ORDER_POLL, POLL_RECORD, {}, &a, 0), FRAME_COMPLETE);
}

// ---- autosend ----

TEST(SimOrders, AutosendSendsARecordFrameOnEachConditionEvent) {
    sim_harness h;
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_AUTOSEND, AUTOSEND_ON, {}, &a), FRAME_COMPLETE);
    EXPECT_EQ(a.header.order, ORDER_AUTOSEND);
    const int32_t before = rec_s32(h.record(), SR_COUNTER);
    h.advance_ms(4000);
    const std::vector<uint8_t> out = h.take_output();
    const int32_t objects = rec_s32(h.record(), SR_COUNTER) - before;
    frame_rx rx;
    frame_rx_clear(&rx);
    size_t pos = 0;
    int frames = 0;
    int64_t last_due = 0;
    while (pos < out.size() || rx.count > 0) {
        if (pos < out.size()) {
            pos += static_cast<size_t>(
                frame_rx_append(&rx, out.data() + pos, static_cast<int>(out.size() - pos)));
        }
        const int rc = frame_find(&rx, &a);
        if (rc != FRAME_COMPLETE) break;
        uint16_t rec[36];
        int n = 0;
        EXPECT_EQ(frame_check_autosend(&a, rec, 36, &n), FRAME_AUTOSEND);
        EXPECT_EQ(n, 36);
        frames++;
    }
    for (const sim_chunk& c : h.last_chunks) {
        EXPECT_GE(c.due_us, last_due); // sent in time order, each when its event happened
        last_due = c.due_us;
    }
    // The default condition is an object leaving channel A, which it counted on arrival.
    EXPECT_GE(objects, 15);
    EXPECT_NEAR(frames, objects, 1);
    ASSERT_EQ(h.ask(ORDER_AUTOSEND, AUTOSEND_OFF, {}, &a), FRAME_COMPLETE);
    h.advance_ms(2000);
    EXPECT_TRUE(h.take_output().empty());
}

TEST(SimOrders, AutosendLeavesOutEventsWhileTheSlowLineIsBusy) {
    sim_config cfg;
    cfg.baud = 9600; // one record frame takes 83 ms
    sim_harness h(cfg);
    std::vector<uint16_t> set;
    ASSERT_EQ(h.ask_words(ORDER_READ_RAM, 0, {}, &set, 228), 0);
    // Both edges of all four thresholds: several events per object, closer than a frame.
    set[SW_AUTOSEND_COND + 1] = 0x00FF;
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_WRITE_RAM, 0, set, &a, 9600), FRAME_COMPLETE);
    ASSERT_EQ(h.ask(ORDER_AUTOSEND, AUTOSEND_ON, {}, &a, 9600), FRAME_COMPLETE);
    h.advance_ms(3000);
    h.take_output();
    int64_t prev = -1;
    for (const sim_chunk& c : h.last_chunks) {
        if (prev >= 0) {
            EXPECT_GE(c.due_us - prev, sim_wire_us(80, 9600));
        }
        prev = c.due_us;
    }
    EXPECT_GT(h.p->stats.autosend_skipped, 0);
}
