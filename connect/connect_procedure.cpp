// The pairing procedure of the connect panel: open, search, version check
// (TRY TO CONNECT), then limits, RAM set and linearisation descriptions
// (ACCEPT), and the baud-rate change that ends by connecting again.
#include "connect/connect_panel.h"
#include "linear/linear_info.h"
#include "link/link.h"
#include "link/orders.h"
#include "params/para_gui.h"
#include "support/program.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>

char str_data[256];

namespace {

void status(const char* text) {
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, text);
}

// The failure report of a procedure: its status text and, for the log, its
// upper-case message. Codes the procedure does not name leave both alone.
void report(int procedure, int code) {
    const char* line = nullptr;
    const char* log = nullptr;
    if (!connect_failure_texts(procedure, code, &line, &log)) return;
    status(line);
    std::snprintf(com.connect.message, sizeof com.connect.message, "%s", log);
}

bool succeeded(int code) {
    return switch_status(code, nullptr) == 0;
}

// Any failure here means the unit is not in a known state: the link is
// marked unusable until the user connects again.
int fail(int procedure, int code, int flag) {
    report(procedure, code);
    connect_update_gui(&com.connect, flag);
    return 0;
}

// Opens what the panel shows. Returns what the open call returned, or 0 when
// the panel's text names no port.
int open_chosen_link() {
    int protocol = 0;
    GetCtrlIndex(tab1, TAB1_RING_COMMODE, &protocol);
    if (protocol == LINK_PROTOCOL_TCP) {
        char port_text[32] = "";
        char server[64] = "";
        int port = 0;
        GetCtrlVal(tab1, TAB1_STRING_TCPPORT, port_text);
        GetLabelFromIndex(tab1, TAB1_COMB_IPADDRESS, 0, server, sizeof server);
        if (!parse_tcp_port(port_text, &port)) return 0;
        return init_tcp(&com.connect, port, server);
    }
    int baud_index = 0;
    int port = 0;
    char entry[16] = "";
    GetCtrlIndex(tab1, TAB1_RING_BAUDRATE, &baud_index);
    GetLabelFromIndex(tab1, TAB1_COMB_SELPORT, 0, entry, sizeof entry);
    if (!read_com_entry(entry, &port)) return 0;
    return init_rs232(&com.connect, port, baud_index, 1);
}

// Parameter record from a limits or RAM order; 0 or the link result code.
int read_record(int order, int value, para_record* rec) {
    uint16_t words[PARA_WORDS] = {};
    int n = 0;
    const int rc = exchange_frame(&com.connect, order, value, nullptr, 0, words, PARA_WORDS, &n);
    if (succeeded(rc)) para_from_words(rec, words);
    return rc;
}

// Opening a link closes the one a running transaction waits on; a click
// that arrives meanwhile (events are handled while waiting) must not do that.
bool transaction_waiting() {
    if (!com.exch_active) return false;
    status("Transmit busy.");
    return true;
}

} // namespace

int connect_try() {
    if (transaction_waiting()) return 0;
    const int opened = open_chosen_link();
    connect_update_gui(&com.connect, 0);
    if (opened != 1) return 0;

    status("Searching for control unit ... ");
    const uint16_t zeros[SEARCH_WORDS] = {};
    int rc = exchange_frame(&com.connect, ORDER_SEARCH, 0, zeros, SEARCH_WORDS, nullptr, 0, nullptr);
    if (!succeeded(rc)) return fail(CONNECT_TRY, rc, 1);
    status("Searching for control unit ... Success.");
    com.connect.unit_number = com.data_in.header.value;

    status("Requesting version info ... ");
    // The unit sets no length on its text; the whole answer is taken and cut.
    uint16_t answer[FRAME_MAX_REQUEST_WORDS] = {};
    int n = 0;
    rc = exchange_frame(&com.connect, ORDER_VERSION, 0, nullptr, 0, answer, 0, &n);
    if (!succeeded(rc)) return fail(CONNECT_TRY, rc, 1);
    answer_text(answer, n, str_data, sizeof str_data);
    status(str_data);

    if (!versions_match(str_data, pc_version_str) &&
        !ConfirmPopup("Mismatch of versions",
                      "Different versions of controller\nfirmware and PC software. There "
                      "\nmay occur problems due to incon-\nsistencies in the parameter "
                      "layout\nDo you want to continue anyway?")) {
        connect_update_gui(&com.connect, 1);
        return 0;
    }
    std::snprintf(com.connect.unit_text, sizeof com.connect.unit_text, "%.127s", str_data);
    SetCtrlAttribute(tab1, TAB1_CMDB_COMACCEPT, ATTR_DIMMED, 0);
    return 1;
}

int connect_accept() {
    if (transaction_waiting()) return 0;
    int rc = read_record(ORDER_LIMITS, LIMITS_MIN, &paras.para_rd);
    if (!succeeded(rc)) return fail(CONNECT_ACCEPT, rc, 1);
    paras.para_min = paras.para_rd;
    paras.pt_para_min = &paras.para_min;

    rc = read_record(ORDER_LIMITS, LIMITS_MAX, &paras.para_rd);
    if (!succeeded(rc)) return fail(CONNECT_ACCEPT, rc, 1);
    paras.para_max = paras.para_rd;
    paras.pt_para_max = &paras.para_max;

    rc = read_record(ORDER_READ_RAM, 0, &paras.para_rd);
    if (!succeeded(rc)) return fail(CONNECT_ACCEPT, rc, 1);
    if (ConfirmPopup("Load parameter from RAM",
                     "Do you want to synchronize with\nthe sensor and load RAM parameter?")) {
        paras.para_pc = paras.para_rd;
        update_PARA(&paras.para_pc);
    }

    const uint16_t wanted = 256;
    uint16_t block[FRAME_MAX_REQUEST_WORDS] = {};
    int n = 0;
    rc = exchange_frame(&com.connect, ORDER_LIN_READ, LIN_INFO_BLOCK, &wanted, 1, block,
                        FRAME_MAX_REQUEST_WORDS, &n);
    if (!succeeded(rc)) return fail(CONNECT_ACCEPT, rc, -1);
    status("Success.");
    char bytes[2 * FRAME_MAX_REQUEST_WORDS];
    for (int i = 0; i < FRAME_MAX_REQUEST_WORDS; i++) {
        bytes[2 * i] = static_cast<char>(block[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(block[i] >> 8);
    }
    refresh_linear_info(0, bytes);
    refresh_linear_info(1, bytes + LINEAR_DESCR_BYTES);

    format_sensor_line(com.connect.message, sizeof com.connect.message, com.connect.unit_number,
                       com.connect.unit_text, com.connect.protocol, com.connect.com_port, com.connect.server);
    connect_update_gui(&com.connect, 0);
    return 1;
}

int connect_change_baud() {
    if (transaction_waiting()) return 0;
    int index = 0;
    GetCtrlIndex(tab1, TAB1_RING_BAUDRATE, &index);
    const int rc = exchange_frame(&com.connect, ORDER_BAUD, index, nullptr, 0, nullptr, 0, nullptr);
    if (succeeded(rc))
        status(baud_reset_text(index));
    else
        report(CONNECT_BAUD, rc);
    // The unit listens at the new rate now: connecting again reopens the
    // port at the rate the ring shows.
    SetActiveCtrl(tab1, TAB1_CMDB_TRYCONNECT);
    FakeKeystroke(tab1, TAB1_CMDB_TRYCONNECT, UI_KEY_ENTER);
    return succeeded(rc) ? 1 : 0;
}
