// The link transaction against a scripted line and clock: every branch of exchange_frame
// and receive_frame, the user interrupts, the failures that drop the link, and the texts.
#include "link/link.h"
#include "link/transport_fake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Panel and control numbers of the interrupt table, as the application would hand them.
enum { MPANEL = 1, TAB5 = 5, TAB7 = 7 };
enum {
    STOP_BTN = 10,
    SEND_BTN = 11,
    READ_BTN = 12,
    REC_STORE = 20,
    REC_START = 21,
    REC_STOP = 22,
    NORM = 30
};

const link_interrupt INTERRUPTS[] = {
    {MPANEL, STOP_BTN, LINK_STOP, 1},         {MPANEL, SEND_BTN, LINK_SEND_PRESSED, 1},
    {MPANEL, READ_BTN, LINK_READ_PRESSED, 1}, {TAB5, REC_STORE, LINK_REC_STORE, 0},
    {TAB5, REC_START, LINK_REC_START, 0},     {TAB5, REC_STOP, LINK_REC_STOP, 0},
    {TAB7, NORM, LINK_NORM_NOW, 0},
};

Bytes make_frame(int order, uint16_t value, int nwords, bool bad_crc = false) {
    Bytes payload(2 * nwords);
    for (int i = 0; i < nwords; i++) frame_put_word(&payload[2 * i], static_cast<uint16_t>(1000 + i));
    Bytes f(FRAME_HEADER_SIZE);
    uint8_t crc = crc8_update_stream(CRC8_START, payload.data(), payload.size());
    frame_write_header(f.data(), order, value, static_cast<uint16_t>(payload.size()),
                       bad_crc ? crc ^ 1 : crc);
    f.insert(f.end(), payload.begin(), payload.end());
    return f;
}

struct event {
    int panel, control, code;
};

class Link : public ::testing::Test {
  protected:
    fake_clock clk;
    fake_link* line = nullptr;
    std::string opened_device;
    int open_error = 0;
    std::deque<event> events;
    std::vector<std::string> log;
    std::string status_line;
    std::vector<int> dims;

    void SetUp() override {
        link_set_clock([this] { return clk.t; });
        link_ui_hooks h;
        h.get_user_event = [this](int* p, int* c) {
            if (events.empty()) return 0;
            const event e = events.front();
            events.pop_front();
            *p = e.panel;
            *c = e.control;
            return e.code;
        };
        h.log_append = [this](const char* s) { log.emplace_back(s); };
        h.set_status = [this](const char* s) { status_line = s; };
        h.dim_link_buttons = [this](int d) { dims.push_back(d); };
        link_set_ui_hooks(h);
        link_set_interrupt_table(INTERRUPTS, static_cast<int>(std::size(INTERRUPTS)));
        link_set_openers(
            [this](const char* device, int, int* error) -> std::unique_ptr<link_transport> {
                opened_device = device;
                *error = open_error;
                if (open_error) return nullptr;
                auto f = std::make_unique<fake_link>(&clk);
                line = f.get();
                return f;
            },
            [this](const char* host, int, int, std::string* error) -> std::unique_ptr<link_transport> {
                if (std::string(host) == "nowhere") {
                    *error = "Host not found";
                    return nullptr;
                }
                auto f = std::make_unique<fake_link>(&clk);
                line = f.get();
                return f;
            });
        ASSERT_EQ(init_rs232(&com.connect, 3, 2, 1), 1);
    }

    void TearDown() override {
        init_rs232(&com.connect, 0, 0, 0);
        link_clear_serial_devices();
        link_set_openers(nullptr, nullptr);
        link_set_ui_hooks(link_ui_hooks{});
        link_set_clock(nullptr);
        com.exch_active = 0;
    }

    // The unit answers every request after `delay` seconds with `frame`.
    void answer_with(Bytes frame, double delay = 0.05) {
        line->respond = [this, frame, delay](fake_link& l, const Bytes&) {
            l.deliver_at(clk.t + delay, frame);
        };
    }
    void press_at(double t, int panel, int control, int code = LINK_EVENT_COMMIT) {
        line->at(t, [this, panel, control, code] { events.push_back({panel, control, code}); });
    }
    int poll(uint16_t* answer, int* n) {
        return exchange_frame(&com.connect, ORDER_POLL, POLL_RECORD, nullptr, 0, answer, answer ? 36 : 0, n);
    }
};

} // namespace

// ---- Refusals -----------------------------------------------------------------------------

TEST_F(Link, BusyReturnsOneAndLeavesTheFlag) {
    com.exch_active = 1;
    EXPECT_EQ(poll(nullptr, nullptr), LINK_BUSY);
    EXPECT_EQ(com.exch_active, 1);
    EXPECT_TRUE(line->writes.empty());
}

TEST_F(Link, NotConnected) {
    com.connect.status = 0;
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_NO_CONNECTION);
    EXPECT_EQ(com.exch_active, 0);
    EXPECT_TRUE(line->writes.empty());
}

TEST_F(Link, BadArguments) {
    uint16_t buf[4] = {};
    int n = 0;
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_WRITE_RAM, 0, buf, 257, nullptr, 0, nullptr), LINK_ERR_ARGS);
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_WRITE_RAM, 0, buf, -1, nullptr, 0, nullptr), LINK_ERR_ARGS);
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_READ_RAM, 0, nullptr, 0, buf, 257, &n), LINK_ERR_ARGS);
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_WRITE_RAM, 0, nullptr, 3, nullptr, 0, nullptr),
              LINK_ERR_ARGS);
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_READ_RAM, 0, nullptr, 0, nullptr, 4, &n), LINK_ERR_ARGS);
    EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, nullptr, 36, &n), LINK_ERR_ARGS);
    EXPECT_TRUE(line->writes.empty());
    com.connect.protocol = 7;
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_ARGS);
    EXPECT_EQ(com.exch_active, 0);
}

// ---- One transaction ----------------------------------------------------------------------------

TEST_F(Link, RunPollWritesRequestAndCopiesAnswer) {
    answer_with(make_frame(ORDER_POLL, POLL_RECORD, 36));
    uint16_t rec[36] = {};
    int n = 0;
    EXPECT_EQ(poll(rec, &n), LINK_OK);
    ASSERT_EQ(line->writes.size(), 1u);
    EXPECT_EQ(line->writes[0], (Bytes{0x55, 0x08, 0xFC, 0x00, 0x00, 0x00, 0xAA, 0xF1}));
    EXPECT_GE(line->flushes, 2); // on opening and before the request
    EXPECT_EQ(n, 36);
    EXPECT_EQ(rec[35], 1035);
    EXPECT_EQ(com.exch_active, 0);
}

TEST_F(Link, AnswerTricklingInBehindNoise) {
    Bytes f = make_frame(ORDER_READ_RAM, 0, 228);
    line->deliver_at(0.01, {0x00, 0x55, 0x13});
    for (size_t i = 0; i < f.size(); i += 50)
        line->deliver_at(0.02 + 0.01 * static_cast<double>(i / 50),
                         Bytes(f.begin() + static_cast<long>(i),
                               f.begin() + static_cast<long>(std::min(i + 50, f.size()))));
    std::vector<uint16_t> para(228);
    int n = 0;
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_READ_RAM, 0, nullptr, 0, para.data(), 228, &n), LINK_OK);
    EXPECT_EQ(n, 228);
    EXPECT_EQ(para[227], 1227);
}

TEST_F(Link, StatusAnswers) {
    for (int v = 1; v <= 3; v++) {
        answer_with(make_frame(ORDER_POLL, static_cast<uint16_t>(v), 0));
        EXPECT_EQ(exchange_frame(&com.connect, ORDER_POLL, POLL_OSCI_STATUS, nullptr, 0, nullptr, 0, nullptr),
                  v + 2);
    }
}

TEST_F(Link, SendTimeout) {
    line->drain_seconds = 1.5;
    answer_with(make_frame(ORDER_POLL, POLL_RECORD, 36));
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_SEND_TIMEOUT);
    EXPECT_NEAR(clk.t, 1.0, 0.01);
    EXPECT_EQ(com.exch_active, 0);
}

TEST_F(Link, ReceiveTimeoutWithoutSpinning) {
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_RECV_TIMEOUT);
    EXPECT_GE(clk.t, 2.0);
    EXPECT_LT(clk.t, 2.01);
    EXPECT_LE(line->waits, 3);
    EXPECT_EQ(com.exch_active, 0);
}

TEST_F(Link, PayloadCrc) {
    answer_with(make_frame(ORDER_POLL, POLL_RECORD, 36, true));
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_CRC);
    EXPECT_EQ(com.exch_active, 0);
}

TEST_F(Link, RejectedOrder) {
    answer_with(make_frame(ORDER_REJECTED, 0, 0));
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_LIMITS, LIMITS_MIN, nullptr, 0, nullptr, 0, nullptr),
              LINK_ERR_ORDER);
}

TEST_F(Link, TooFewWords) {
    answer_with(make_frame(ORDER_POLL, POLL_RECORD, 30));
    uint16_t rec[36] = {};
    int n = 0;
    EXPECT_EQ(poll(rec, &n), LINK_ERR_FEW_WORDS);
    EXPECT_EQ(n, 30);
}

TEST_F(Link, Oversize) {
    uint8_t h[8];
    frame_write_header(h, ORDER_OSCI_BLOCK, 0, 1020, 0);
    answer_with(Bytes(h, h + 8));
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_OVERSIZE);
}

TEST_F(Link, LineErrorReportedAsWrongBaud) {
    line->at(0.1, [this] { line->line_error_bits = LINK_LINE_FRAMING; });
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_LINE);
    EXPECT_EQ(com.exch_active, 0);
}

TEST_F(Link, CountWithoutBufferIsZero) {
    answer_with(make_frame(ORDER_VERSION, 0, 12));
    int n = 5;
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_VERSION, 0, nullptr, 0, nullptr, 0, &n), LINK_OK);
    EXPECT_EQ(n, 0);
}

// ---- User interrupts while waiting -----------------------------------------------------------

TEST_F(Link, StopWhileWaitingConsumesAnswer) {
    press_at(0.01, MPANEL, STOP_BTN);
    answer_with(make_frame(ORDER_POLL, POLL_RECORD, 36), 0.5);
    uint16_t rec[36] = {};
    int n = 0;
    EXPECT_EQ(poll(rec, &n), LINK_STOP);
    EXPECT_EQ(n, 36);
    EXPECT_EQ(rec[0], 1000);
    EXPECT_EQ(com.exch.count, 0);
}

TEST_F(Link, StopWithoutAnswerTimesOut) {
    press_at(0.01, MPANEL, STOP_BTN);
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_RECV_TIMEOUT);
    EXPECT_GE(clk.t, 2.0);
}

TEST_F(Link, FirstLatchedCodeStays) {
    press_at(0.01, MPANEL, SEND_BTN);
    press_at(0.02, MPANEL, STOP_BTN);
    answer_with(make_frame(ORDER_POLL, POLL_RECORD, 36), 0.1);
    EXPECT_EQ(poll(nullptr, nullptr), LINK_SEND_PRESSED);
}

TEST_F(Link, ProgramEventOnlyOnMainPanelButtons) {
    press_at(0.01, TAB7, NORM, LINK_EVENT_PROGRAM); // not a main-panel button: ignored
    press_at(0.02, MPANEL, READ_BTN, 3);            // a left click is no commit
    answer_with(make_frame(ORDER_POLL, POLL_RECORD, 36), 0.1);
    EXPECT_EQ(poll(nullptr, nullptr), LINK_OK);
    press_at(clk.t + 0.01, MPANEL, STOP_BTN, LINK_EVENT_PROGRAM);
    EXPECT_EQ(poll(nullptr, nullptr), LINK_STOP);
}

TEST_F(Link, FailureWinsOverLatchedCode) {
    press_at(0.01, MPANEL, STOP_BTN);
    answer_with(make_frame(ORDER_POLL, POLL_RECORD, 36, true), 0.1);
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_CRC);
}

TEST_F(Link, NestedTransactionFromButtonIsBusy) {
    int nested = 99;
    line->at(0.01, [&nested] {
        nested = exchange_frame(&com.connect, ORDER_RESET, RESET_A, nullptr, 0, nullptr, 0, nullptr);
    });
    answer_with(make_frame(ORDER_POLL, POLL_RECORD, 36), 0.1);
    uint16_t rec[36] = {};
    int n = 0;
    EXPECT_EQ(poll(rec, &n), LINK_OK);
    EXPECT_EQ(nested, LINK_BUSY);
    EXPECT_EQ(line->writes.size(), 1u);
    EXPECT_EQ(n, 36);
}

TEST_F(Link, TestButtonsReportsTheEvent) {
    events.push_back({TAB5, REC_START, LINK_EVENT_COMMIT});
    int p = 0, c = 0, e = 0;
    EXPECT_EQ(test_buttons(&p, &c, &e), LINK_REC_START);
    EXPECT_EQ(p, TAB5);
    EXPECT_EQ(c, REC_START);
    EXPECT_EQ(e, LINK_EVENT_COMMIT);
    EXPECT_EQ(test_buttons(&p, &c, &e), 0);
    EXPECT_EQ(e, 0);
}

// ---- Failures that drop the link ---------------------------------------------------------------

TEST_F(Link, Rs232WriteFailureResetsRecordAndDims) {
    EXPECT_EQ(com.connect.baud, 38400);
    com.connect.unit_number = 12;
    std::strcpy(com.connect.unit_text, "unit 12");
    line->write_error = LINK_IO_NOT_OPEN;
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_SEND);
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(com.connect.open, 1);
    EXPECT_EQ(com.connect.com_port, 1);
    EXPECT_EQ(com.connect.baud, 19200);
    EXPECT_EQ(com.connect.unit_number, 0);
    EXPECT_STREQ(com.connect.unit_text, "");
    EXPECT_STREQ(com.connect.message, "PORT: COM3 IS NOT OPEN (/dev/ttyS2)");
    ASSERT_FALSE(dims.empty());
    EXPECT_EQ(dims.back(), 1);
    EXPECT_EQ(status_line, "No connection");
    EXPECT_EQ(log.back(), com.connect.message);
    EXPECT_EQ(com.exch_active, 0);
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_NO_CONNECTION);
}

TEST_F(Link, Rs232WriteFailureMessages) {
    const struct {
        int io;
        const char* text;
    } cases[] = {{LINK_IO_NO_PORT, "NO SERIAL PORT FOUND ON: COM3 (/dev/ttyS2)"},
                 {LINK_IO_INVALID, "INVALID NUMBER: COM3 (/dev/ttyS2)"},
                 {LINK_IO_UNKNOWN, "UNKNOWN ERROR ON: COM3 (/dev/ttyS2)"}};
    for (const auto& c : cases) {
        ASSERT_EQ(init_rs232(&com.connect, 3, 2, 1), 1);
        line->write_error = c.io;
        EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_SEND);
        EXPECT_STREQ(com.connect.message, c.text);
    }
}

TEST_F(Link, VanishedPeerIsReportedOnce) {
    line->fail_at(0.3);
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_NO_CONNECTION);
    EXPECT_LT(clk.t, 0.31);
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(com.connect.com_port, 1);
    EXPECT_STREQ(com.connect.message, "CONNECTION LOST ON: COM3 (/dev/ttyS2)");
    EXPECT_EQ(dims, std::vector<int>{1});
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_NO_CONNECTION);
    EXPECT_EQ(dims.size(), 1u);
}

// ---- Autosend frames ------------------------------------------------------------------------------

TEST_F(Link, AutosendFrameArrives) {
    line->deliver_at(3.0, make_frame(ORDER_POLL, POLL_RECORD, 36));
    uint16_t rec[36] = {};
    int n = 0;
    EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, rec, 36, &n), LINK_AUTOSEND);
    EXPECT_EQ(n, 36);
    EXPECT_EQ(rec[35], 1035);
    EXPECT_LE(line->waits, 5); // waiting for seconds is a handful of waits, not a spin
    EXPECT_EQ(com.exch_active, 0);
}

TEST_F(Link, SendDuringAutosendWaitStillReturnsFrame) {
    press_at(0.1, MPANEL, SEND_BTN);
    line->deliver_at(0.5, make_frame(ORDER_POLL, POLL_RECORD, 36));
    EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, nullptr, 0, nullptr), LINK_AUTOSEND);
}

TEST_F(Link, ManualStoreDuringAutosendWaitIsReturned) {
    press_at(0.1, TAB5, REC_STORE);
    line->deliver_at(0.5, make_frame(ORDER_POLL, POLL_RECORD, 36));
    EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, nullptr, 0, nullptr), LINK_REC_STORE);
}

TEST_F(Link, StoppingTheAutosendWait) {
    for (int ctl : {STOP_BTN, REC_START, REC_STOP}) {
        press_at(clk.t + 0.1, ctl == STOP_BTN ? MPANEL : TAB5, ctl);
        EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, nullptr, 0, nullptr), LINK_STOP) << ctl;
    }
}

TEST_F(Link, StopAfterSendStillEndsAutosendWait) {
    press_at(0.1, MPANEL, SEND_BTN);
    press_at(0.2, MPANEL, STOP_BTN);
    EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, nullptr, 0, nullptr), LINK_STOP);
}

TEST_F(Link, AutosendChecks) {
    line->deliver_at(0.1, make_frame(ORDER_OSCI_BLOCK, 0, 36));
    EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, nullptr, 0, nullptr), LINK_ERR_ORDER);
    line->deliver_at(clk.t + 0.1, make_frame(ORDER_POLL, POLL_RECORD, 20));
    uint16_t rec[36];
    int n = 0;
    EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, rec, 36, &n), LINK_ERR_FEW_WORDS);
    line->at(clk.t + 0.1, [this] { line->line_error_bits = LINK_LINE_BREAK; });
    EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, nullptr, 0, nullptr), LINK_ERR_LINE);
}

TEST_F(Link, AutosendTicks) {
    int ticks = 0;
    line->deliver_at(1.65, make_frame(ORDER_POLL, POLL_RECORD, 36));
    EXPECT_EQ(receive_frame(
                  &com.connect, [&ticks] { ticks++; }, 0.5, nullptr, 0, nullptr),
              LINK_AUTOSEND);
    EXPECT_EQ(ticks, 3);
}

// ---- TCP --------------------------------------------------------------------------------------------

TEST_F(Link, TcpConnectAndExchange) {
    ASSERT_EQ(init_tcp(&com.connect, 5025, "192.168.1.20"), 1);
    EXPECT_EQ(com.connect.protocol, LINK_PROTOCOL_TCP);
    EXPECT_STREQ(com.connect.server, "192.168.1.20");
    EXPECT_STREQ(com.connect.message, "ZAZED CONNECTED TO SERVER\n\"192.168.1.20\"\nvia PORT:5025");
    // Late answers to earlier requests: more than the receive buffer takes, so some are
    // still in the socket when the next request goes out. They must not pass for its answer.
    Bytes stale;
    for (int i = 0; i < 30; i++) {
        Bytes f = make_frame(ORDER_POLL, POLL_RECORD, 18);
        stale.insert(stale.end(), f.begin(), f.end());
    }
    line->deliver_at(0.0, stale);
    line->wait_for_activity(0.0);
    EXPECT_EQ(com.exch.count, FRAME_MAX_TOTAL);
    answer_with(make_frame(ORDER_READ_RAM, 0, 228));
    std::vector<uint16_t> para(228);
    int n = 0;
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_READ_RAM, 0, nullptr, 0, para.data(), 228, &n), LINK_OK);
    EXPECT_EQ(n, 228);
}

TEST_F(Link, TcpAutosendTakenFromSocket) {
    ASSERT_EQ(init_tcp(&com.connect, 5025, "host"), 1);
    line->deliver_at(0.4, make_frame(ORDER_POLL, POLL_RECORD, 36));
    EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, nullptr, 0, nullptr), LINK_AUTOSEND);
}

TEST_F(Link, TcpWriteFailureAndFailedConnect) {
    ASSERT_EQ(init_tcp(&com.connect, 5025, "host"), 1);
    line->write_error = LINK_IO_UNKNOWN;
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_SEND);
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_STREQ(com.connect.message, "fake write failed");
    EXPECT_EQ(dims.back(), 1);

    EXPECT_EQ(init_tcp(&com.connect, 5025, "nowhere"), 0);
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(com.connect.open, 0);
    EXPECT_EQ(com.connect.tcp_port, 1);
    EXPECT_STREQ(com.connect.server, "");
    EXPECT_STREQ(com.connect.message, "COULD NOT CONNECT TO SERVER");
}

// ---- Opening RS-232 ------------------------------------------------------------------------------

TEST_F(Link, OpenUsesConfiguredDevice) {
    EXPECT_EQ(opened_device, "/dev/ttyS2");
    EXPECT_STREQ(com.connect.message, "ZAZED CONNECTED TO COM3 (/dev/ttyS2)\nb:38400 d:8 s:1 p:none");
    link_set_serial_device(4, "/dev/ttyUSB0");
    EXPECT_EQ(init_rs232(&com.connect, 4, 4, 1), 1);
    EXPECT_EQ(opened_device, "/dev/ttyUSB0");
    EXPECT_EQ(com.connect.baud, 115200);
    EXPECT_EQ(line->flushes, 1); // leftovers from before the open are dropped
}

TEST_F(Link, OpenFailuresResetRecord) {
    const struct {
        int io;
        const char* text;
    } cases[] = {{LINK_IO_NO_PORT, "NO SERIAL PORT ON: COM6 (/dev/ttyS5)"},
                 {LINK_IO_NOT_OPEN, "PORT COM6 NOT OPEN (/dev/ttyS5)"},
                 {LINK_IO_PERMISSION, "PORT COM6 NOT OPEN (/dev/ttyS5)\n"
                                      "permission denied on /dev/ttyS5: add your user to the dialout group"},
                 {LINK_IO_UNKNOWN, "UNKNOWN ERROR ON: COM6 (/dev/ttyS5)"}};
    for (const auto& c : cases) {
        open_error = c.io;
        EXPECT_EQ(init_rs232(&com.connect, 6, 1, 1), 0);
        EXPECT_STREQ(com.connect.message, c.text);
        EXPECT_EQ(com.connect.com_port, 1);
        EXPECT_EQ(com.connect.baud, 19200);
        EXPECT_EQ(com.connect.open, 0);
    }
    open_error = 0;
    EXPECT_EQ(init_rs232(&com.connect, 0, 1, 1), 0);
    EXPECT_STREQ(com.connect.message, "INVALID NUMBER: COM0");
}

TEST_F(Link, PermissionHintKeepsBothPathsWhole) {
    // The longest path the message shows in full, twice, with the hint after it.
    const std::string dev = "/dev/serial/by-id/" + std::string(62, 'x');
    link_set_serial_device(255, dev.c_str());
    open_error = LINK_IO_PERMISSION;
    EXPECT_EQ(init_rs232(&com.connect, 255, 1, 1), 0);
    EXPECT_EQ(std::string(com.connect.message), "PORT COM255 NOT OPEN (" + dev + ")\npermission denied on " +
                                                    dev + ": add your user to the dialout group");
    open_error = 0;
}

TEST_F(Link, OutOfRangeArgumentsKeepStatus) {
    EXPECT_EQ(init_rs232(&com.connect, 256, 1, 1), 1);
    EXPECT_EQ(init_rs232(&com.connect, 2, 5, 1), 1);
    EXPECT_EQ(com.connect.com_port, 3);
}

TEST_F(Link, CloseAll) {
    com.connect.unit_number = 3;
    EXPECT_EQ(init_rs232(&com.connect, 3, 1, 0), 0);
    EXPECT_STREQ(com.connect.message, "ALL CONNECTIONS CLOSED");
    EXPECT_EQ(com.connect.unit_number, 0);
    EXPECT_EQ(com.connect.open, 0);
    EXPECT_EQ(poll(nullptr, nullptr), LINK_ERR_NO_CONNECTION);
}

TEST(LinkDevices, DefaultAndOverride) {
    char dev[64];
    EXPECT_EQ(link_com_device(1, dev, sizeof dev), 0);
    EXPECT_STREQ(dev, "/dev/ttyS0");
    EXPECT_EQ(link_com_device(0, dev, sizeof dev), LINK_IO_INVALID);
    link_set_serial_device(1, "/dev/ttyACM0");
    EXPECT_EQ(link_com_device(1, dev, sizeof dev), 0);
    EXPECT_STREQ(dev, "/dev/ttyACM0");
    link_set_serial_device(1, "");
    EXPECT_EQ(link_com_device(1, dev, sizeof dev), 0);
    EXPECT_STREQ(dev, "/dev/ttyS0");
}

// ---- Showing the link state -----------------------------------------------------------------------

TEST_F(Link, UpdateGuiStates) {
    std::strcpy(com.connect.unit_text, "KORMELAN-3 #7");
    connect_update_gui(&com.connect, 0);
    EXPECT_EQ(status_line, "KORMELAN-3 #7");
    EXPECT_EQ(dims.back(), 0);
    log.clear();
    connect_update_gui(&com.connect, 1);
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_STREQ(com.connect.unit_text, "");
    EXPECT_EQ(log, (std::vector<std::string>{"", "CONNECT PROTOCOL ERROR:", com.connect.message}));
    EXPECT_EQ(status_line, "No connection");
    EXPECT_EQ(dims.back(), 1);
}

// ---- Result texts ------------------------------------------------------------------------------------

TEST(SwitchStatus, EveryCode) {
    const struct {
        int code, normalised;
        const char* text;
    } cases[] = {
        {1, 1, "Transmit busy."},
        {2, -1000, "Unknown error."},
        {-1, -1, "Function call error."},
        {-2, -2, "Error while sending."},
        {-3, -3, "Timeout while sending."},
        {-4, -4, "Timeout while receiving."},
        {-5, -5, "CRC8 error on received frame."},
        {-6, -6, "Stopped."},
        {-7, -7, "Wrong baudrate."},
        {-8, -6, "Stopped."},
        {-9, -6, "Stopped."},
        {-10, -6, "Stopped."},
        {-11, -6, "Stopped."},
        {-12, -6, "Stopped."},
        {-13, -13, "Insufficient number of bytes."},
        {-14, -1000, "Unknown error."},
        {-15, -1000, "Unknown error."},
        {-16, -6, "Stopped."},
        {-17, -17, "No connection established with control unit."},
        {-18, -1000, "Unknown error."},
        {-1000, -1000, "Unknown error."},
        {-999, -1000, "Unknown error."},
        {42, -1000, "Unknown error."},
    };
    for (const auto& c : cases) {
        char text[LINK_TEXT_SIZE] = "Reading data ... ";
        EXPECT_EQ(switch_status(c.code, text), c.normalised) << c.code;
        EXPECT_STREQ(text, c.text) << c.code;
    }
    for (int code : {0, 3, 4, 5}) {
        char text[LINK_TEXT_SIZE] = "Reading data ... ";
        EXPECT_EQ(switch_status(code, text), 0);
        EXPECT_STREQ(text, "Reading data ... Done. ");
    }
}

TEST(SwitchStatus, AppendNeverOverruns) {
    char text[LINK_TEXT_SIZE + 8];
    std::memset(text, 'x', sizeof text);
    text[LINK_TEXT_SIZE - 3] = '\0';
    text[LINK_TEXT_SIZE] = '#';
    switch_status(0, text);
    EXPECT_EQ(std::strlen(text), static_cast<size_t>(LINK_TEXT_SIZE - 1));
    EXPECT_EQ(text[LINK_TEXT_SIZE], '#');
}

TEST(LinkTexts, LoopAndLogColumns) {
    EXPECT_STREQ(link_loop_text(LINK_ERR_ORDER), "Unknown order number.");
    EXPECT_STREQ(link_loop_text(LINK_ERR_FEW_WORDS), "Unknown error.");
    EXPECT_EQ(link_loop_text(LINK_SEND_PRESSED), nullptr);
    EXPECT_STREQ(link_log_text(LINK_STOP), "STOPPED BY USER");
    EXPECT_STREQ(link_log_text(LINK_ERR_NO_CONNECTION), "NO CONNECTION");
    EXPECT_STREQ(link_log_text(LINK_ERR_CRC), "CRC8 ERROR ON FRAME");
    EXPECT_EQ(link_log_text(LINK_ERR_OVERSIZE), nullptr);
    EXPECT_STREQ(link_status_text(LINK_ERR_LINE), "Wrong baudrate.");
}
