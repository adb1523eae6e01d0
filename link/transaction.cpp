// The request/answer transaction, autosend reception and user interrupts.
#include "link/link.h"

#include "link/link_internal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

link_state com = {{0, LINK_PROTOCOL_RS232, 0, 1, 19200, 1, "", 0, "", 0, ""}, {}, {}, {}, 0};
link_counters link_count = {0};

namespace {

std::vector<link_interrupt> interrupt_table;

// Sets the busy flag for one transaction and clears it on every way out.
struct busy_guard {
    busy_guard() { com.exch_active = 1; }
    ~busy_guard() { com.exch_active = 0; }
    busy_guard(const busy_guard&) = delete;
    busy_guard& operator=(const busy_guard&) = delete;
};

double steady_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Moves waiting serial bytes into the receive buffer, never beyond 1024.
void read_serial(link_transport* t, frame_rx* rx) {
    const int n = std::min(t->bytes_waiting(), frame_rx_room(rx));
    if (n <= 0) return;
    uint8_t buf[FRAME_MAX_TOTAL];
    const int got = t->read(buf, n);
    if (got > 0) frame_rx_append(rx, buf, got);
}

// Takes the bytes of the current line into `exch`. Over TCP the data callback does this
// as events are handled; it is also called here because the socket only announces new
// data once, and bytes left behind while `exch` was full must not wait for the next
// arrival. Returns true when more bytes wait than fitted.
bool take_input(connect_info* c, link_transport* t) {
    if (c->protocol == LINK_PROTOCOL_TCP)
        tcp_callback(c->tcp_handle, LINK_TCP_DATA_READY, 0, &com.exch);
    else
        read_serial(t, &com.exch);
    return t->bytes_waiting() > 0;
}

// A failed RS-232 write: the link is unusable until the user connects again.
int fail_rs232_write(connect_info* c, int io_error) {
    link_private& g = link_globals();
    const char* fmt = io_error == LINK_IO_NO_PORT    ? "NO SERIAL PORT FOUND ON: COM%i%s"
                      : io_error == LINK_IO_NOT_OPEN ? "PORT: COM%i IS NOT OPEN%s"
                      : io_error == LINK_IO_INVALID  ? "INVALID NUMBER: COM%i%s"
                                                     : "UNKNOWN ERROR ON: COM%i%s";
    char device[140] = "";
    if (g.device[0]) std::snprintf(device, sizeof device, " (%s)", g.device);
    link_format(c->message, fmt, c->com_port, device);
    c->status = 0;
    c->open = 1;
    c->baud = 19200;
    c->com_port = 1;
    link_clear_unit(c);
    connect_update_gui(c, 0);
    return LINK_ERR_SEND;
}

int fail_tcp_write(connect_info* c, link_transport* t) {
    c->status = 0;
    c->open = 1;
    link_clear_unit(c);
    const std::string text = t ? t->error_text() : std::string("Socket not open");
    link_format(c->message, "%s", text.c_str());
    connect_update_gui(c, 0);
    return LINK_ERR_SEND;
}

// Time left until `deadline`, never so small that a wait would return at once.
double left_until(double deadline) {
    return std::max(0.001, deadline - link_now());
}

} // namespace

link_private& link_globals() {
    static link_private state;
    return state;
}

void link_set_ui_hooks(const link_ui_hooks& hooks) {
    link_globals().hooks = hooks;
}

void link_set_interrupt_table(const link_interrupt* table, int count) {
    interrupt_table.assign(table, table + std::max(0, count));
}

void link_set_clock(std::function<double()> clock) {
    link_globals().clock = std::move(clock);
}

double link_now() {
    const link_private& g = link_globals();
    return g.clock ? g.clock() : steady_seconds();
}

void link_wait(double seconds) {
    link_private& g = link_globals();
    if (g.hooks.wait_for_activity)
        g.hooks.wait_for_activity(seconds);
    else if (g.transport)
        g.transport->wait_for_activity(seconds);
}

void link_clear_unit(connect_info* c) {
    c->unit_number = 0;
    c->unit_text[0] = '\0';
}

namespace {

// test_buttons; `queued_only` leaves event handling to the caller's next wait.
int check_buttons(int* panel, int* control, int* event, bool queued_only) {
    const link_private& g = link_globals();
    int p = 0;
    int ctl = 0;
    const auto& fetch =
        queued_only && g.hooks.take_user_event ? g.hooks.take_user_event : g.hooks.get_user_event;
    const int ev = fetch ? fetch(&p, &ctl) : 0;
    if (panel) *panel = p;
    if (control) *control = ctl;
    if (event) *event = ev;
    if (ev != LINK_EVENT_COMMIT && ev != LINK_EVENT_PROGRAM) return 0;
    for (const link_interrupt& i : interrupt_table) {
        if (i.panel != p || i.control != ctl) continue;
        if (ev == LINK_EVENT_COMMIT || i.program_event) return i.code;
    }
    return 0;
}

// A transaction's own check for interrupting buttons.
int queued_buttons() {
    return check_buttons(nullptr, nullptr, nullptr, true);
}

} // namespace

int test_buttons(int* panel, int* control, int* event) {
    return check_buttons(panel, control, event, false);
}

void connect_update_gui(connect_info* c, int error) {
    const link_ui_hooks& h = link_globals().hooks;
    const int state = c->status == 0 ? 0 : (error ? -1 : 1);
    auto log = [&h](const char* line) {
        if (h.log_append) h.log_append(line);
    };
    auto status = [&h](const char* text) {
        if (h.set_status) h.set_status(text);
    };
    log("");
    if (state == -1) {
        c->status = 0;
        c->unit_text[0] = '\0';
        log("CONNECT PROTOCOL ERROR:");
        log(c->message);
        status("No connection");
    } else if (state == 1) {
        log(c->message);
        if (c->unit_text[0]) status(c->unit_text);
    } else {
        log(c->message);
        status("No connection");
    }
    if (h.dim_link_buttons) h.dim_link_buttons(state == 1 ? 0 : 1);
}

int tcp_callback(int handle, int event, int /*error*/, void* callback_data) {
    link_private& g = link_globals();
    if (event != LINK_TCP_DATA_READY || !callback_data || !g.transport) return 0;
    if (!g.owner || g.owner->tcp_handle != handle) return 0;
    auto* rx = static_cast<frame_rx*>(callback_data);
    const int n = std::min(g.transport->bytes_waiting(), frame_rx_room(rx));
    if (n <= 0) return 0;
    uint8_t buf[FRAME_MAX_TOTAL];
    const int got = g.transport->read(buf, n);
    return got > 0 ? frame_rx_append(rx, buf, got) : 0;
}

int exchange_frame(connect_info* c, int order, int value, const uint16_t* words, int nwords, uint16_t* answer,
                   int max_answer, int* nanswer) {
    if (com.exch_active) return LINK_BUSY;
    if (!c || c->status <= 0) return LINK_ERR_NO_CONNECTION;
    if (nwords < 0 || nwords > FRAME_MAX_REQUEST_WORDS || max_answer < 0 ||
        max_answer > FRAME_MAX_REQUEST_WORDS || (nwords > 0 && !words) || (max_answer > 0 && !answer))
        return LINK_ERR_ARGS;

    busy_guard busy;
    frame_build(&com.data_out, order, static_cast<uint16_t>(value), words, nwords);
    link_private& g = link_globals();
    link_transport* t = g.transport.get();
    int code = 0;

    // The answer to the last request, which timed out, may still be on its way.
    while (t && link_now() < g.late_until) {
        if (!code) code = queued_buttons();
        if (t->failed() || c->status <= 0) return LINK_ERR_NO_CONNECTION;
        take_input(c, t);
        frame_rx_clear(&com.exch);
        link_wait(left_until(g.late_until));
    }
    g.late_until = 0.0;

    if (c->protocol == LINK_PROTOCOL_RS232) {
        int rc = LINK_IO_NOT_OPEN;
        if (t && !t->failed()) {
            t->flush();
            rc = t->write(com.data_out.bytes, com.data_out.size);
        }
        if (rc < 0) return fail_rs232_write(c, rc);

        const double start = link_now();
        for (;;) {
            if (!code) code = queued_buttons();
            if (t->failed()) return LINK_ERR_NO_CONNECTION;
            if (t->output_pending() == 0) break;
            if (link_now() - start > LINK_SEND_TIMEOUT) return LINK_ERR_SEND_TIMEOUT;
            link_wait(left_until(start + LINK_SEND_TIMEOUT));
        }
        if (link_now() - start > LINK_SEND_TIMEOUT) return LINK_ERR_SEND_TIMEOUT;
    } else if (c->protocol == LINK_PROTOCOL_TCP) {
        // Unlike the serial line, nothing clears a socket's input before a request; a late
        // answer to an earlier, timed-out request would otherwise pass for this one.
        if (t) t->flush();
        const int rc = t && !t->failed() ? t->write(com.data_out.bytes, com.data_out.size) : LINK_IO_NOT_OPEN;
        // A connection found closed while writing has been reported by the transport.
        if (t && t->failed()) return LINK_ERR_NO_CONNECTION;
        if (rc < 0) return fail_tcp_write(c, t);
    } else {
        return LINK_ERR_ARGS;
    }

    frame_rx_clear(&com.exch);
    const double start = link_now();
    while (link_now() - start < LINK_RECEIVE_TIMEOUT) {
        if (!code) code = queued_buttons();
        // The port died while we waited; its failure has already been reported.
        if (t->failed() || c->status <= 0) return LINK_ERR_NO_CONNECTION;
        if (c->protocol == LINK_PROTOCOL_RS232 &&
            (t->line_errors() & (LINK_LINE_FRAMING | LINK_LINE_OVERRUN | LINK_LINE_PARITY)))
            return LINK_ERR_LINE;
        const bool more = take_input(c, t);

        const int found = frame_find(&com.exch, &com.data_in, &link_count.noise_bytes);
        if (found == FRAME_ERR_OVERSIZE || found == FRAME_ERR_CRC) return found;
        if (found == FRAME_COMPLETE) {
            const int rc = frame_check_answer(&com.data_in, order, answer, max_answer, nanswer);
            if (rc < 0) return rc;
            return code ? code : rc;
        }
        if (!more) {
            t->expect_bytes(frame_rx_missing(&com.exch));
            link_wait(left_until(start + LINK_RECEIVE_TIMEOUT));
        }
    }
    g.late_until = link_now() + LINK_LATE_ANSWER_WAIT;
    return LINK_ERR_RECV_TIMEOUT;
}

link_exchanger link_exchanger_of(connect_info* c) {
    link_exchanger x;
    x.exchange = [c](int order, int value, const uint16_t* words, int nwords, uint16_t* answer,
                     int max_answer, int* nanswer) {
        return exchange_frame(c, order, value, words, nwords, answer, max_answer, nanswer);
    };
    x.answer_value = [] { return com.data_in.header.value; };
    return x;
}

int receive_frame(connect_info* c, const std::function<void()>& tick, double tick_interval, uint16_t* answer,
                  int max_answer, int* nanswer) {
    if (com.exch_active) return LINK_BUSY;
    if (!c || c->status <= 0) return LINK_ERR_NO_CONNECTION;
    if (max_answer < 0 || max_answer > FRAME_MAX_REQUEST_WORDS || (max_answer > 0 && !answer))
        return LINK_ERR_ARGS;
    if (c->protocol != LINK_PROTOCOL_RS232 && c->protocol != LINK_PROTOCOL_TCP) return LINK_ERR_ARGS;

    busy_guard busy;
    link_transport* t = link_globals().transport.get();
    if (!t) return LINK_ERR_NO_CONNECTION;
    frame_rx_clear(&com.exch);
    double last_tick = link_now();
    int code = 0;
    for (;;) {
        if (tick_interval != 0.0 && link_now() - last_tick >= tick_interval) {
            last_tick = link_now();
            if (tick) tick();
        }
        // The first code latched is what a frame returns with, but events are still
        // fetched after one that does not end the wait (SEND, READ, a manual store):
        // otherwise a STOP after them would go unseen while no frame comes.
        if (code == 0 || (code != LINK_STOP && code != LINK_REC_START && code != LINK_REC_STOP)) {
            const int now_code = queued_buttons();
            if (now_code == LINK_STOP || now_code == LINK_REC_START || now_code == LINK_REC_STOP)
                return LINK_STOP;
            if (!code) code = now_code;
        }
        if (t->failed() || c->status <= 0) return LINK_ERR_NO_CONNECTION;
        if (c->protocol == LINK_PROTOCOL_RS232 &&
            (t->line_errors() & (LINK_LINE_BREAK | LINK_LINE_FRAMING | LINK_LINE_OVERRUN | LINK_LINE_PARITY)))
            return LINK_ERR_LINE;
        // Over TCP the autosend frames come through the data callback; taking them from
        // there makes triggered recording work over TCP as well as over RS-232.
        const bool more = take_input(c, t);

        const int found = frame_find(&com.exch, &com.data_in, &link_count.noise_bytes);
        if (found == FRAME_ERR_OVERSIZE || found == FRAME_ERR_CRC) return found;
        if (found == FRAME_COMPLETE) {
            const int rc = frame_check_autosend(&com.data_in, answer, max_answer, nanswer);
            if (rc < 0) return rc;
            return (code == 0 || code == LINK_SEND_PRESSED || code == LINK_READ_PRESSED) ? LINK_AUTOSEND
                                                                                         : code;
        }
        if (!more) {
            t->expect_bytes(frame_rx_missing(&com.exch));
            link_wait(tick_interval != 0.0 ? left_until(last_tick + tick_interval) : 1.0);
        }
    }
}
