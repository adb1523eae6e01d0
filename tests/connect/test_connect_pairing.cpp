// The pairing's transactions against a scripted unit: what is asked in which
// order, what is kept of the answers, and where a failure stops it.
#include "connect/connect_pairing.h"
#include "link/link.h"
#include "link/orders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct request {
    int order;
    int value;
    std::vector<uint16_t> words;
};

// Answers every order like a unit; `fail_order` fails with `fail_code` instead.
struct scripted_unit {
    std::vector<request> asked;
    int fail_order = -1;
    int fail_code = 0;
    uint16_t last_value = 0;
    std::string version = "KORMELAN-3 V4.04 {SN 7}";

    link_exchanger link() {
        link_exchanger x;
        x.exchange = [this](int order, int value, const uint16_t* words, int nwords, uint16_t* answer,
                            int max_answer, int* n) {
            asked.push_back({order, value, std::vector<uint16_t>(words, words + nwords)});
            if (order == fail_order) return fail_code;
            int count = 0;
            last_value = 0;
            if (order == ORDER_SEARCH) last_value = 12;
            if (order == ORDER_VERSION) {
                const size_t len = version.size() + 1; // with its zero
                for (size_t i = 0; i < len; i += 2)
                    answer[count++] =
                        static_cast<uint16_t>(static_cast<uint8_t>(version[i]) |
                                              (i + 1 < len ? static_cast<uint8_t>(version[i + 1]) << 8 : 0));
            }
            if (order == ORDER_LIMITS || order == ORDER_READ_RAM) {
                // Word 0 tells the records apart: 1 lower, 2 upper limits, 3 the RAM set.
                for (count = 0; count < max_answer; count++) answer[count] = 0;
                answer[0] = static_cast<uint16_t>(order == ORDER_READ_RAM ? 3 : value);
            }
            if (order == ORDER_LIN_READ) {
                for (count = 0; count < 256; count++) answer[count] = 0;
                std::memcpy(answer, "A\nline\0", 8);
                std::memcpy(reinterpret_cast<char*>(answer) + 256, "B", 2);
            }
            if (n) *n = count;
            return 0;
        };
        x.answer_value = [this] { return last_value; };
        return x;
    }
};

} // namespace

TEST(Pairing, IdentifyThenAcceptAsTheConnectPanelDoes) {
    scripted_unit s;
    paired_unit u{};
    int step = -1;
    std::vector<std::string> status;
    ASSERT_EQ(pair_identify(s.link(), &u, &step, [&](const char* t) { status.push_back(t); }), 0);
    EXPECT_EQ(u.unit_number, 12);
    EXPECT_STREQ(u.version, "KORMELAN-3 V4.04 {SN 7}");
    EXPECT_EQ(status, (std::vector<std::string>{"Searching for control unit ... ",
                                                "Searching for control unit ... Success.",
                                                "Requesting version info ... ", "KORMELAN-3 V4.04 {SN 7}"}));
    ASSERT_EQ(pair_accept(s.link(), &u, &step), 0);
    EXPECT_EQ(u.min.powerA, 1);
    EXPECT_EQ(u.max.powerA, 2);
    EXPECT_EQ(u.ram.powerA, 3);
    EXPECT_STREQ(reinterpret_cast<const char*>(u.lin_info), "A\nline");
    EXPECT_STREQ(reinterpret_cast<const char*>(u.lin_info) + 256, "B");

    ASSERT_EQ(s.asked.size(), 6u);
    EXPECT_EQ(s.asked[0].order, ORDER_SEARCH);
    EXPECT_EQ(s.asked[0].words, std::vector<uint16_t>(SEARCH_WORDS, 0));
    EXPECT_EQ(s.asked[1].order, ORDER_VERSION);
    EXPECT_EQ(s.asked[2].order, ORDER_LIMITS);
    EXPECT_EQ(s.asked[2].value, LIMITS_MIN);
    EXPECT_EQ(s.asked[3].value, LIMITS_MAX);
    EXPECT_EQ(s.asked[4].order, ORDER_READ_RAM);
    EXPECT_EQ(s.asked[5].order, ORDER_LIN_READ);
    EXPECT_EQ(s.asked[5].value, LIN_INFO_BLOCK);
    EXPECT_EQ(s.asked[5].words, std::vector<uint16_t>{256});
}

TEST(Pairing, AFailureStopsAtItsStepAndKeepsWhatCameBefore) {
    const int orders[] = {ORDER_SEARCH, ORDER_VERSION, ORDER_LIMITS, ORDER_READ_RAM, ORDER_LIN_READ};
    const int steps[] = {PAIR_STEP_SEARCH, PAIR_STEP_VERSION, PAIR_STEP_LIMITS_MIN, PAIR_STEP_RAM,
                         PAIR_STEP_LIN_INFO};
    for (int k = 0; k < 5; k++) {
        scripted_unit s;
        s.fail_order = orders[k];
        s.fail_code = LINK_ERR_RECV_TIMEOUT;
        paired_unit u{};
        u.ram.powerA = -1;
        int step = -1;
        int rc = pair_identify(s.link(), &u, &step, nullptr);
        if (rc == 0) rc = pair_accept(s.link(), &u, &step);
        EXPECT_EQ(rc, LINK_ERR_RECV_TIMEOUT) << k;
        EXPECT_EQ(step, steps[k]) << k;
        EXPECT_EQ(s.asked.back().order, orders[k]) << "nothing is asked after the failure";
        if (orders[k] == ORDER_READ_RAM) {
            EXPECT_EQ(u.ram.powerA, -1) << "a failed read leaves the set";
        }
    }
    // A version text longer than the buffer is cut, never overrun.
    scripted_unit s;
    s.version = std::string(300, 'x');
    char text[16];
    EXPECT_EQ(pair_version(s.link(), text, sizeof text), 0);
    EXPECT_EQ(std::string(text), std::string(15, 'x'));
}
