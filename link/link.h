// The link to the control unit: opening RS-232 and TCP, the request/answer transaction,
// autosend reception, user interrupts while waiting, and the result codes and texts.
//
// Everything runs on the user-interface thread. A waiting transaction handles events, so
// button callbacks (and the TCP data callback) run meanwhile; a commit on one of the
// buttons of the interrupt table comes back to the caller as a result code, and the busy
// flag `exch_active` makes any nested transaction return LINK_BUSY at once.
//
// The link's state is one record, `com`: the connection record, the last request and
// answer, the receive buffer and the busy flag. As a field, `com.connect` stays apart
// from the POSIX socket function and from QObject::connect.
//
// User-interface effects go through link_ui_hooks, which the application fills from its
// user-interface layer and tests fill with fakes; the link itself links no Qt Widgets.
#pragma once

#include "link/exchanger.h"
#include "link/frame.h"
#include "link/transport.h"

#include <functional>

// ---- Link result codes -----------------------------------------------------------------
constexpr int LINK_OK = 0;
constexpr int LINK_BUSY = 1;
constexpr int LINK_AUTOSEND = 2;
constexpr int LINK_STATUS_1 = 3; // order-8 status answers with value 1, 2, 3
constexpr int LINK_STATUS_2 = 4;
constexpr int LINK_STATUS_3 = 5;
constexpr int LINK_ERR_ARGS = -1;
constexpr int LINK_ERR_SEND = -2;
constexpr int LINK_ERR_SEND_TIMEOUT = -3;
constexpr int LINK_ERR_RECV_TIMEOUT = -4;
constexpr int LINK_ERR_CRC = -5;
constexpr int LINK_STOP = -6;
constexpr int LINK_ERR_LINE = -7; // shown as a wrong baud rate, its usual cause
constexpr int LINK_SEND_PRESSED = -8;
constexpr int LINK_READ_PRESSED = -9;
constexpr int LINK_REC_STORE = -10;
constexpr int LINK_REC_START = -11;
constexpr int LINK_REC_STOP = -12;
constexpr int LINK_ERR_FEW_WORDS = -13;
constexpr int LINK_ERR_PLAUSIBILITY = -14;
constexpr int LINK_ERR_ORDER = -15;
constexpr int LINK_NORM_NOW = -16;
constexpr int LINK_ERR_NO_CONNECTION = -17;
constexpr int LINK_RESET_PRESSED = -18;
constexpr int LINK_ERR_OVERSIZE = -1000;

constexpr int LINK_PROTOCOL_RS232 = 0;
constexpr int LINK_PROTOCOL_TCP = 1;

constexpr double LINK_SEND_TIMEOUT = 1.0;
constexpr double LINK_RECEIVE_TIMEOUT = 2.0;
// After a receive time-out the answer may still come: whatever arrives this
// long after the time-out is dropped before the next request goes out, so a
// late answer never passes for the next request's (answers carry no number of
// the request they belong to).
constexpr double LINK_LATE_ANSWER_WAIT = 1.0;
constexpr int LINK_TCP_CONNECT_TIMEOUT_MS = 2000;

// Size of the text buffers switch_status writes into (the shared status text).
constexpr int LINK_TEXT_SIZE = 256;

// ---- Connection record -------------------------------------------------------------------
struct connect_info {
    int status;   // 1 = link open and usable, 0 = not connected
    int protocol; // LINK_PROTOCOL_RS232 or LINK_PROTOCOL_TCP
    int open;     // 1 when a port or socket may be held and must be closed first
    int com_port; // 1 after a failure
    int baud;     // bit/s, 19200 after a failure
    int tcp_port; // 1 after a failed connect
    char server[128];
    int tcp_handle;
    char message[256]; // last link message, shown in the log window
    int unit_number;   // of the paired unit, 0 when not paired
    char unit_text[128];
};

// The state of the one link the program keeps to its unit.
struct link_state {
    connect_info connect; // the connection record the transactions take
    frame_out data_out;   // last request
    frame_rx exch;        // receive buffer, filled to at most 1024 bytes
    frame_in data_in;     // last received frame
    int exch_active;      // 1 while a transaction is in flight
};
extern link_state com;

// ---- Hooks the application fills ------------------------------------------------------------
struct link_ui_hooks {
    // Fetches the pending user event without blocking: event code (0 when none) and its
    // panel and control. The user-interface layer's GetUserEvent(0, ...) fits.
    std::function<int(int* panel, int* control)> get_user_event;
    // The same without handling pending events first (the layer's TakeUserEvent). The
    // transaction's own checks use it, since its waits handle events anyway; when empty
    // they use get_user_event.
    std::function<int(int* panel, int* control)> take_user_event;
    // Handles events until some event was handled or `seconds` passed, without spinning.
    // When empty, the open transport waits itself.
    std::function<void(double seconds)> wait_for_activity;
    // Appends one line (possibly with embedded line breaks) to the connect panel's log
    // window and keeps its last line visible.
    std::function<void(const char* line)> log_append;
    // Shows a text in the status line of the main display.
    std::function<void(const char* text)> set_status;
    // Dims (1) or enables (0) the link-dependent buttons: three on the connect panel and
    // SEND, READ, RUN, VIDEO and STOP on the main panel.
    std::function<void(int dimmed)> dim_link_buttons;
};
void link_set_ui_hooks(const link_ui_hooks& hooks);

// A control whose commit interrupts a waiting transaction with `code`. With
// `program_event` set, the program event 1000 on it does too (the main panel's buttons).
struct link_interrupt {
    int panel;
    int control;
    int code;
    int program_event;
};
constexpr int LINK_EVENT_COMMIT = 1;
constexpr int LINK_EVENT_PROGRAM = 1000;
void link_set_interrupt_table(const link_interrupt* table, int count);

// Monotonic seconds used for every time-out; tests install a fake clock. An empty
// function restores the steady clock.
void link_set_clock(std::function<double()> clock);
double link_now();

// Where init_rs232 and init_tcp get their ports from; empty functions restore the real
// transports.
void link_set_openers(link_serial_opener serial, link_tcp_opener tcp);

// ---- COM port numbers -------------------------------------------------------------------------
// On Linux "COMn" is the device named for it in the program settings file's section
// "Serial devices" (key "COMn"), which the application passes in here, else /dev/ttyS(n-1).
// On Windows it is the port of that name.
void link_set_serial_device(int com_port, const char* device);
void link_clear_serial_devices();
// Writes the device path for a COM number; 0, LINK_IO_INVALID when there is none, or
// LINK_IO_NO_PORT when the named device's path does not fit `size` (`device` empty).
int link_com_device(int com_port, char* device, int size);

// ---- The link ------------------------------------------------------------------------------
// Mode 1 opens COM `com_port` at baud index 0..4 (9600 .. 115200); any other mode closes
// everything. Returns the record's status field.
int init_rs232(connect_info* c, int com_port, int baud_index, int mode);
// Returns 1 when connected, 0 otherwise.
int init_tcp(connect_info* c, int tcp_port, const char* server);

// Data callback of the TCP connection: on LINK_TCP_DATA_READY appends what waits to the
// receive buffer `callback_data` (a frame_rx), up to 1024 bytes; other events are ignored.
constexpr int LINK_TCP_DATA_READY = 1;
constexpr int LINK_TCP_DISCONNECT = 2;
int tcp_callback(int handle, int event, int error, void* callback_data);

// One request and its answer. `words`/`answer` may be null when their count is 0;
// `nanswer` may be null. Returns a link result code.
int exchange_frame(connect_info* c, int order, int value, const uint16_t* words, int nwords, uint16_t* answer,
                   int max_answer, int* nanswer);

// Waits, without an overall time-out, for one autosend frame (order 8); calls `tick`
// every `tick_interval` seconds when that is not 0.0. Frames are taken from the serial
// port and, over TCP, from the data the TCP callback delivers. Returns a link result code.
int receive_frame(connect_info* c, const std::function<void()>& tick, double tick_interval, uint16_t* answer,
                  int max_answer, int* nanswer);

// Fetches one pending user event and maps it through the interrupt table; returns the
// interrupt code or 0. The out-parameters may be null.
int test_buttons(int* panel, int* control, int* event);

// Shows the link state: log window, status line, dimming of the link-dependent buttons.
void connect_update_gui(connect_info* c, int error);

// The transaction on `c` as the procedures above the link take it; the answer value
// is that of the last frame received (`com.data_in`).
link_exchanger link_exchanger_of(connect_info* c);

// What the receiver met over the life of the program, for a report on the link's
// health: bytes skipped while looking for a frame header (line noise, stray bytes,
// the rest of a frame whose start was lost). Only ever counts up.
struct link_counters {
    long noise_bytes;
};
extern link_counters link_count;

// ---- Result texts ---------------------------------------------------------------------------
// Writes the status text of `code` into `text` (LINK_TEXT_SIZE bytes), replacing it,
// except that success appends "Done. ". Returns the normalised code.
int switch_status(int code, char* text);
// The status text switch_status gives for a code ("Done. " for success).
const char* link_status_text(int code);
// Text shown by the connection procedure, the RUN loop and the linearisation transfer;
// null where the caller handles the code itself. The connection procedure and the
// linearisation transfer say "Stopped by user." for LINK_STOP instead.
const char* link_loop_text(int code);
// Line written to the connection procedure's log, or null when it writes none.
const char* link_log_text(int code);
