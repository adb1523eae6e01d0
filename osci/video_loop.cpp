// The VIDEO loop. Like RUN it lives inside its button's callback and polls the
// unit, but with the poll that also reports finished oscillograph sequences;
// when one is reported it reads that channel's blocks, puts them into time
// order and draws them. Between sequences every answer is an ordinary
// measurement record, so the numbers and LEDs stay live.
#include "link/link.h"
#include "link/orders.h"
#include "osci/osci_gui.h"
#include "recorder/rec_modes.h"
#include "recorder/recorder_panel.h"
#include "run/run_mode.h"
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

void show_status(const char* text) {
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, text);
}

// The status line is shown on every record but changes every two seconds; an
// unchanged text is not set again, which would repaint the line.
void show_if_changed(const char* text) {
    char shown[LINK_TEXT_SIZE] = "";
    GetCtrlValString(graph1, GRAPH1_STRING_STATUS, shown, sizeof shown);
    if (std::strcmp(shown, text) != 0) show_status(text);
}

void bars_at_rest() {
    SetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY1, 0.0);
    SetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY2, 100.0);
}

void append(char* text, const char* more) {
    const size_t used = strnlen(text, LINK_TEXT_SIZE - 1);
    std::snprintf(text + used, LINK_TEXT_SIZE - used, "%s", more);
}

struct channel_io {
    const char* title; // status text while its blocks are read
    int video_graph;   // on the main display
    int color;
    uint16_t* data;
    int* handles; // on the oscillograph window
};

const channel_io channels[2] = {
    {"Get new video data (CHAN A) ", GRAPH1_GRAPH_VIDEOA, OSCI_COLOR_A, oscis.video_dataA, oscis.osci1_gphA},
    {"Get new video data  (CHAN B) ", GRAPH1_GRAPH_VIDEOB, OSCI_COLOR_B, oscis.video_dataB, oscis.osci1_gphB},
};

int trace_on(int channel) {
    return channel == 0 ? traces.video_on_A : traces.video_on_B;
}

// Reads and draws the reported sequence of `channel`. Returns the result: 0
// when read (the closing poll's record is then in rawdata), else the failure.
int read_channel(int channel, int* mode, char* status) {
    const channel_io& c = channels[channel];
    std::snprintf(status, LINK_TEXT_SIZE, "%s", c.title);
    show_status(status);
    const int factor = video_factor(traces.zoom_span_x);
    const int rc = videodata_exchange(graph1, GRAPH1_STRING_STATUS, channel, factor, status, runs.rawdata,
                                      c.data, VIDEO_SAMPLES);
    show_status(status);
    // The trace may have been switched off while the blocks came in.
    if (rc == 0 && trace_on(channel)) {
        update_GRPH(c.data, VIDEO_SAMPLES, c.color, graph1, c.video_graph, nullptr);
        if (oscis.osci_vis) {
            // Only channel A's skip count sets the millisecond scale.
            if (channel == 0) SetCtrlAttribute(osci1, OSCI1_GRAPH_OSCI, ATTR_XAXIS_GAIN, runs.osci_gain);
            update_GRPH(c.data, VIDEO_SAMPLES, c.color, osci1, OSCI1_GRAPH_OSCI, c.handles);
        }
    }
    // Once means one sequence in this loop; the ring keeps its value.
    if (*mode > 0) *mode = -1;
    return rc;
}

void set_mode_buttons(int running) {
    SetCtrlAttribute(mpanel, MPANEL_CBTN_RUN, ATTR_CMD_BUTTON_COLOR, idle_color);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_VIDEO, ATTR_CMD_BUTTON_COLOR, running ? active_color : idle_color);
    // A link that closed meanwhile has dimmed every button that needs it; RUN and
    // VIDEO stay dimmed with them until the user connects again.
    const int dimmed = running || com.connect.status <= 0;
    SetCtrlAttribute(mpanel, MPANEL_CBTN_RUN, ATTR_DIMMED, dimmed);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_VIDEO, ATTR_DIMMED, dimmed);
}

} // namespace

int videodata_exchange(int panel, int control, int channel, int factor, char* msg, uint16_t* record,
                       uint16_t* dst, int count) {
    int values[VIDEO_MAX_BLOCKS];
    const int blocks = video_blocks(factor, channel, values);
    if (blocks < 0 || !dst || count != VIDEO_SAMPLES) return switch_status(LINK_ERR_ARGS, msg);
    uint16_t src[VIDEO_SAMPLES] = {};
    for (int i = 0; i < blocks; i++) {
        int n = 0;
        const int rc = exchange_frame(&com.connect, ORDER_OSCI_BLOCK, values[i], nullptr, 0,
                                      src + VIDEO_BLOCK_WORDS * i, VIDEO_BLOCK_WORDS, &n);
        if (rc != LINK_OK) return switch_status(rc, msg);
        append(msg, i == blocks - 1 ? ". " : ".");
        if (panel && control) SetCtrlVal(panel, control, msg);
    }
    // The last block's answer names the ring position of the oldest sample.
    const int start = com.data_in.header.value;
    int n = 0;
    const int rc = exchange_frame(&com.connect, ORDER_POLL, video_closing_value(channel), nullptr, 0, record,
                                  record ? MEAS_WORDS : 0, record ? &n : nullptr);
    const int r = switch_status(rc, msg);
    if (r != 0) return r;
    return interleave_data(factor, src, dst, count, start) == VIDEO_OK ? 0
                                                                       : switch_status(LINK_ERR_ARGS, msg);
}

const char* video_end_text(int rc, int* reset_bars) {
    *reset_bars = 1;
    switch (rc) {
    case LINK_AUTOSEND:
        return "Misplaced AUTO frame received.";
    case LINK_REC_STORE:
    case LINK_REC_START:
        return "Not allowed in VIDEO mode.";
    case LINK_REC_STOP:
        return "Stopped.";
    case LINK_ERR_FEW_WORDS:
    case LINK_ERR_PLAUSIBILITY:
        *reset_bars = 0;
        return "Unknown error.";
    default:
        break;
    }
    const char* text = rc >= LINK_RESET_PRESSED && rc <= LINK_STATUS_3 ? link_loop_text(rc) : nullptr;
    if (!text || std::strcmp(text, "Unknown error.") == 0) {
        *reset_bars = 0;
        return "Unknown error.";
    }
    return text;
}

void video_mode() {
    char status[LINK_TEXT_SIZE];
    prep_for_video_curve();
    runs.run = 1;
    set_mode_buttons(1);
    // The rings are read once: a change takes effect at the next start.
    int mode[2] = {-1, -1};
    GetCtrlVal(tab6, TAB6_RING_MODEA, &mode[0]);
    GetCtrlVal(tab6, TAB6_RING_MODEB, &mode[1]);
    double rate_clock = Timer();
    int frames = 0, spin = 0;
    std::snprintf(status, sizeof status, "Reading 0 frames per second.");
    show_status(status);

    while (runs.run > 0) {
        if (mode[0] < 0 && mode[1] < 0) {
            show_status("Data aquisiton stopped.");
            bars_at_rest();
            break;
        }
        int n = 0;
        int rc = exchange_frame(&com.connect, ORDER_POLL, POLL_OSCI_STATUS, nullptr, 0, runs.rawdata,
                                MEAS_WORDS, &n);
        // STOP pressed while the transaction waited has set run to 0 already.
        const int stopped = runs.run == 0;
        runs.run = 0;

        if (rc >= LINK_STATUS_1 && rc <= LINK_STATUS_3) {
            // When both channels report, A is read now and B on a later poll (the
            // unit keeps reporting it); a channel not read leaves a plain record.
            if (video_channel_due(0, mode[0], traces.video_on_A, rc)) rc = read_channel(0, &mode[0], status);
            if (rc >= 0 && video_channel_due(1, mode[1], traces.video_on_B, rc))
                rc = read_channel(1, &mode[1], status);
            if (rc < 0) break; // the failure text is in the status line
        }

        if (rc == LINK_OK || (rc >= LINK_STATUS_1 && rc <= LINK_STATUS_3)) {
            runs.run_records++;
            update_DATA(runs.rawdata, &traces);
            frames++;
            const double now = Timer();
            if (now - rate_clock > rate_period) {
                std::snprintf(status, sizeof status, "Reading %.1f frames per second.", frames / rate_period);
                frames = 0;
                rate_clock = now;
            } else {
                spin = (spin + 1) % 100;
            }
            show_if_changed(status);
            SetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY2, static_cast<double>(100 - spin));
            runs.run = 1;
        } else if (run_serve_button(rc, status)) {
            if (rc == LINK_SEND_PRESSED || rc == LINK_READ_PRESSED) {
                frames = 0;
                rate_clock = Timer();
            }
            runs.run = 1;
        } else {
            int reset_bars = 1;
            show_status(video_end_text(rc, &reset_bars));
            if (reset_bars) bars_at_rest();
        }
        if (stopped) runs.run = 0;
    }

    runs.run = 0;
    set_rec_buttons(0, recs.recorder);
    set_mode_buttons(0);
}

int CC_CBTN_VIDEO(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || com.exch_active || runs.run) return 0;
    video_mode();
    return 0;
}
