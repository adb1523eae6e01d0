// The RUN loop. It lives inside the RUN button's callback: each pass fetches
// one record (a poll, or the wait for an autosend frame) while the link
// handles events, so the buttons pressed meanwhile come back as result codes
// and are served here without leaving RUN. The loop is also the recorder's
// clock.
#include "link/link.h"
#include "link/orders.h"
#include "recorder/record_file.h"
#include "recorder/recorder_panel.h"
#include "run/run_mode.h"
#include "support/program.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>

namespace {

const int idle_color = 0xE0E0E0;
const int active_color = 0xFF0000;
const double rate_period = 2.0; // seconds between two frame-rate texts

// The recorder's state while a recording runs.
struct recording {
    int interval; // seconds between two stored records
    int count;    // remaining (AUTO LIMITED) or recorded
    int limit;    // records at most
    int index;    // number of the next record in the file
    rec_time total;
    rec_time left; // remaining (AUTO LIMITED) or elapsed time
    double record_clock;
    double display_clock;
};
recording rec;
int autosend_count = 0;

} // namespace

run_state runs = {0, 0, {}, 1.0, 0};

namespace {

// The status line of the main display.
void show_status(const char* text) {
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, text);
}

void rec_buttons(int on) {
    if (run_hook.set_rec_buttons) run_hook.set_rec_buttons(on);
}

void activity(int percent) {
    SetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY1, static_cast<double>(percent));
}

// The header block's facts about the link and the sensor.
rec_header_info header_info(char* panel_text, int size) {
    panel_text[0] = 0;
    GetCtrlValString(tab1, TAB1_TEXT_PANELID, panel_text, size);
    rec_header_info info = {};
    info.com_port = com.connect.com_port;
    info.baud = com.connect.baud;
    info.software = pc_version_str;
    info.unit_version = com.connect.unit_text;
    info.panel_id = panel_text;
    return info;
}

int write_header(int mode, int max_values, int interval) {
    char panel_text[64];
    rec_header_info info = header_info(panel_text, sizeof panel_text);
    return print_file_header(recs.file_pathname, mode, max_values, interval, &info);
}

void end_recording(const char* text, double bars) {
    runs.record_to_file = 0;
    rec_show_end(text, bars);
    rec_buttons(0);
}

void write_failed() {
    runs.record_to_file = 0;
    MessagePopup("File error!", "Record aborted.");
}

// Writes the current record as the next one of the recording. Returns 0, or
// -1 after the failure was shown.
int store_record() {
    if (print_file_dataset(recs.file_pathname, rec.index, runs.rawdata) < 0) {
        write_failed();
        return -1;
    }
    rec.index++;
    return 0;
}

// The timed modes: AUTO LIMITED counts down, AUTO UNLIMITED up.
void timed_step(int limited) {
    const int mode = limited ? REC_AUTO_LIMITED : REC_AUTO_UNLIMITED;
    if (limited ? rec.count <= 0 : rec.count >= REC_MAX_VALUES) {
        end_recording(limited ? "All data recorded." : "Max. nunber of data.", 100.0);
        return;
    }
    const double now = Timer();
    if (rec.interval == 0 || now - rec.record_clock > rec.interval) {
        if (store_record() < 0) return;
        rec.count += limited ? -1 : 1;
        set_rec_info(mode, &rec.left, &rec.total, rec.count, rec.limit);
        rec.record_clock = now;
    }
    if (now - rec.display_clock > 1.0) {
        if (limited) {
            if (rec.interval != 0) dec_sec_on_struct(&rec.left);
        } else {
            inc_sec_on_struct(&rec.left);
        }
        set_rec_info(mode, &rec.left, &rec.total, rec.count, rec.limit);
        rec.display_clock = now;
    }
}

// Every rate_period seconds the frame rate replaces the status text and the
// count starts again; in between the activity bar moves.
// The status line is rewritten for every record but changes every two
// seconds; an unchanged text is not set again, which would repaint the line.
void show_if_changed(const char* status) {
    char shown[LINK_TEXT_SIZE] = "";
    GetCtrlValString(graph1, GRAPH1_STRING_STATUS, shown, sizeof shown);
    if (std::strcmp(shown, status) != 0) show_status(status);
}

void show_rate(int* frames, double* rate_clock, int* activity_count, char* status) {
    const double now = Timer();
    if (now - *rate_clock > rate_period) {
        std::snprintf(status, LINK_TEXT_SIZE, "Reading %.1f frames per second.", *frames / rate_period);
        *frames = 0;
        *rate_clock = now;
    } else {
        *activity_count = (*activity_count + 1) % 100;
    }
}

} // namespace

// ---- the recorder's side ---------------------------------------------------------------------

int run_rec_index() {
    return rec.index;
}

void run_rec_start() {
    int mode = 0, interval = 0, number = 0;
    rec_read_panel(&mode, &interval, &number);
    rec_plan plan;
    if (rec_plan_start(mode, interval, number, &plan) < 0) {
        runs.record_to_file = 0;
        return;
    }
    runs.run = plan.run;
    if (write_header(plan.header_mode, plan.header_max, interval) < 0) {
        rec_file_unusable();
        runs.record_to_file = 0;
        // Nothing tells the unit to send by itself: keep polling.
        runs.run = 1;
        return;
    }
    runs.record_to_file = plan.record_to_file;
    rec.interval = interval & 0xFFFF;
    rec.count = plan.count;
    rec.limit = plan.limit;
    rec.index = 0;
    rec.total = plan.total;
    rec.left = plan.remaining;
    rec.record_clock = rec.display_clock = Timer();
    if (mode == REC_AUTOTRIGGERED) {
        recs.trem = rec_time{};
        autosend_count = 0;
        if (exchange_frame(&com.connect, ORDER_AUTOSEND, AUTOSEND_ON, nullptr, 0, nullptr, 0, nullptr) !=
            LINK_OK) {
            MessagePopup("Communication error!", "Starting autosend failed.");
            runs.record_to_file = 0;
            runs.run = 0;
            return;
        }
    }
    set_rec_info(mode, &rec.left, &rec.total, rec.count, rec.limit);
    rec_buttons(1);
}

void run_rec_step(int autosend) {
    if (autosend) {
        if (runs.record_to_file != 5) return;
        if (rec.count >= REC_MAX_VALUES) {
            end_recording("Max. nunber of data.", 100.0);
            return;
        }
        if (store_record() < 0) return;
        rec.count++;
        char text[64];
        std::snprintf(text, sizeof text, "%d data recorded ...", rec.count);
        SetCtrlVal(tab5, TAB5_STRING_COUNT, text);
        return;
    }
    if (runs.record_to_file == 2) timed_step(1);
    if (runs.record_to_file == 3) timed_step(0);
}

int run_rec_manual(int first, char* status) {
    if (first) {
        if (write_header(REC_MANUAL, REC_MAX_VALUES, 0) < 0) {
            rec_file_unusable();
            return -1;
        }
        rec.index = 0;
    }
    std::snprintf(status, LINK_TEXT_SIZE, "Storing data ... ");
    show_status(status);
    if (print_file_dataset(recs.file_pathname, rec.index, runs.rawdata) < 0) {
        std::snprintf(status, LINK_TEXT_SIZE, "Failure! No file selected.");
        return 0;
    }
    rec.index++;
    std::strncat(status, "Success.", LINK_TEXT_SIZE - std::strlen(status) - 1);
    return 0;
}

void run_rec_stop() {
    runs.record_to_file = 0;
    rec_show_end("Stopped by user.", 0.0);
    rec_buttons(0);
}

// ---- buttons served inside a loop ------------------------------------------------------------

int run_serve_button(int rc, char* status) {
    switch (rc) {
    case LINK_SEND_PRESSED:
    case LINK_READ_PRESSED:
        if (run_hook.exchange_pressed)
            run_hook.exchange_pressed(rc == LINK_SEND_PRESSED ? MPANEL_CBTN_SEND : MPANEL_CBTN_READ);
        // Its result stays in the status line until the loop writes its next text.
        GetCtrlValString(graph1, GRAPH1_STRING_STATUS, status, LINK_TEXT_SIZE);
        return 1;
    case LINK_NORM_NOW:
    case LINK_RESET_PRESSED: {
        const int norm = rc == LINK_NORM_NOW;
        std::snprintf(status, LINK_TEXT_SIZE,
                      norm ? "Ordering unit to acquire norm factor ... "
                           : "Ordering unit to reset channels A and B ... ");
        show_status(status);
        switch_status(exchange_frame(&com.connect, norm ? ORDER_NORM_NOW : ORDER_RESET, norm ? 0 : RESET_BOTH,
                                     nullptr, 0, nullptr, 0, nullptr),
                      status);
        show_status(status);
        return 1;
    }
    default:
        return 0;
    }
}

void waiting_for_auto_frame() {
    inc_sec_on_struct(&recs.trem);
    char text[63];
    rem_time_to_str(&recs.trem, text, sizeof text);
    rec_show_time(text);
    show_status(text);
}

// ---- the loop ------------------------------------------------------------------------------------

void run_mode(int with_recorder) {
    char status[LINK_TEXT_SIZE];
    prep_for_stripchart();
    runs.record_to_file = 0;
    runs.run = 1;
    if (with_recorder) run_rec_start();
    SetCtrlAttribute(mpanel, MPANEL_CBTN_RUN, ATTR_DIMMED, 1);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_RUN, ATTR_CMD_BUTTON_COLOR, active_color);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_VIDEO, ATTR_DIMMED, 1);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_VIDEO, ATTR_CMD_BUTTON_COLOR, idle_color);
    double rate_clock = Timer();
    int frames = 0, activity_count = 0;
    // The file choice the last MANUAL header went into; a file chosen since
    // (SELECT FILE stays usable in MANUAL mode) needs a header of its own.
    int manual_file = -1;
    std::snprintf(status, sizeof status, "Reading 0 frames per second.");
    show_status(status);

    while (runs.run > 0) {
        const int waiting = runs.run == 2;
        int n = 0;
        int rc = waiting
                     ? receive_frame(&com.connect, waiting_for_auto_frame, 1.0, runs.rawdata, MEAS_WORDS, &n)
                     : exchange_frame(&com.connect, ORDER_POLL, POLL_RECORD, nullptr, 0, runs.rawdata,
                                      MEAS_WORDS, &n);
        // STOP pressed while the transaction waited has set run to 0 already.
        const int stopped = runs.run == 0;
        runs.run = 0;
        switch (rc) {
        case LINK_OK:
        case LINK_STATUS_1:
        case LINK_STATUS_2:
        case LINK_STATUS_3:
            update_DATA(runs.rawdata, &traces);
            runs.run_records++;
            frames++;
            show_rate(&frames, &rate_clock, &activity_count, status);
            show_if_changed(status);
            activity(100 - activity_count);
            runs.run = 1;
            run_rec_step(0);
            break;
        case LINK_AUTOSEND:
            update_DATA(runs.rawdata, &traces);
            runs.run_records++;
            autosend_count++;
            std::snprintf(status, sizeof status, "%d autosend frames received.", autosend_count);
            show_status(status);
            activity(100 - activity_count);
            runs.run = 2;
            run_rec_step(1);
            break;
        case LINK_SEND_PRESSED:
        case LINK_READ_PRESSED:
            if (waiting) {
                runs.run = 2;
                break;
            }
            run_serve_button(rc, status);
            frames = 0;
            rate_clock = Timer();
            runs.run = 1;
            break;
        case LINK_REC_STORE:
            if (run_rec_manual(manual_file != recs.file_choice, status) < 0) break;
            manual_file = recs.file_choice;
            show_status(status);
            frames = 0;
            rate_clock = Timer();
            runs.run = 1;
            break;
        case LINK_REC_START:
            runs.run = 1;
            run_rec_start();
            break;
        case LINK_REC_STOP:
            run_rec_stop();
            runs.run = 1;
            break;
        case LINK_NORM_NOW:
        case LINK_RESET_PRESSED:
            run_serve_button(rc, status);
            runs.run = 1;
            break;
        default: {
            const char* text = link_loop_text(rc);
            show_status(text ? text : "Unknown error.");
            // Link failures reset the activity bars; codes it does not know leave them.
            if (text && std::strcmp(text, "Unknown error.") != 0) {
                activity(0);
                SetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY2, 100.0);
            }
            break;
        }
        }
        if (stopped) runs.run = 0;
    }

    rec_buttons(0);
    // A link that closed during the loop has dimmed every button that needs it; RUN
    // and VIDEO stay dimmed with them until the user connects again.
    const int link_up = com.connect.status > 0;
    const int modes[2] = {MPANEL_CBTN_RUN, MPANEL_CBTN_VIDEO};
    for (int button : modes) {
        SetCtrlAttribute(mpanel, button, ATTR_CMD_BUTTON_COLOR, idle_color);
        SetCtrlAttribute(mpanel, button, ATTR_DIMMED, link_up ? 0 : 1);
    }
}

int CC_CBTN_RUN(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || com.exch_active || runs.run) return 0;
    run_mode(panel == tab5 && control == TAB5_CBTN_START);
    return 0;
}

void run_register_callbacks() {
    struct entry {
        const char* name;
        ui_callback function;
    };
    const entry table[] = {
        {"CC_CBTN_RUN", CC_CBTN_RUN},
        {"CC_TRACE_SELECT", CC_TRACE_SELECT},
        {"CC_STRIPCHART", CC_STRIPCHART},
        {"CC_CONTROLER_IF", CC_CONTROLER_IF},
    };
    for (const entry& e : table) RegisterCallbackName(e.name, e.function);
}
