// Drawing a sequence: its curve and evaluation markers on a video graph, its
// input states on the oscillograph window's input graph; and the main
// display's side of VIDEO (its two video graphs and the button that opens the
// oscillograph window).
#include "osci/osci_gui.h"

#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <vector>

osci_state oscis = {};

namespace {

const int in0_color = 0x00FFFF;
const int in1_color = 0xFF00FF;

// Recorded in the list, when there is one; a full list stands for all plots.
void keep(int* list, int handle) {
    if (list && handle > 0) video_handle_add(list, handle);
}

void clear(int panel, int graph, int* list) {
    if (list) {
        for (int i = 1; i <= list[0] && i < VIDEO_HANDLES; i++)
            DeleteGraphPlot(panel, graph, list[i], UI_DELAYED_DRAW);
        list[0] = 0;
    } else {
        DeleteGraphPlot(panel, graph, -1, UI_DELAYED_DRAW);
    }
    DeleteGraphPlot(osci1, OSCI1_GRAPH_INPUTS, -1, UI_DELAYED_DRAW);
}

} // namespace

void update_GRPH(const uint16_t* samples, int n, int color, int panel, int graph, int* list) {
    clear(panel, graph, list);
    if (!samples || n <= 0) return;

    // Built once per drawing; the vectors keep their room between drawings.
    static std::vector<double> analog, in0, in1;
    static std::vector<video_mark> marks;
    analog.resize(static_cast<size_t>(n));
    in0.resize(static_cast<size_t>(n));
    in1.resize(static_cast<size_t>(n));
    video_curves(samples, n, analog.data(), in0.data(), in1.data());
    video_marks(samples, n, &marks);

    for (const video_mark& m : marks) {
        int h = 0;
        if (m.type == VIDEO_MARK_LINE) {
            h = PlotLine(panel, graph, m.x, 0.0, m.x, VIDEO_TOP, color);
            if (h > 0) SetPlotAttribute(panel, graph, h, ATTR_LINE_STYLE, UI_DASH);
        } else {
            h = PlotText(panel, graph, m.x, m.y, m.text, color, UI_TRANSPARENT);
        }
        keep(list, h);
    }
    keep(list, PlotY(panel, graph, analog.data(), n, UI_DOUBLE, UI_THIN_LINE, UI_SOLID, color));
    PlotY(osci1, OSCI1_GRAPH_INPUTS, in0.data(), n, UI_DOUBLE, UI_THIN_LINE, UI_SOLID, in0_color);
    PlotY(osci1, OSCI1_GRAPH_INPUTS, in1.data(), n, UI_DOUBLE, UI_THIN_LINE, UI_SOLID, in1_color);
}

void osci_clear_video(int channel) {
    const int b = channel == 1;
    update_GRPH(nullptr, 0, b ? OSCI_COLOR_B : OSCI_COLOR_A, graph1,
                b ? GRAPH1_GRAPH_VIDEOB : GRAPH1_GRAPH_VIDEOA, nullptr);
    update_GRPH(nullptr, 0, b ? OSCI_COLOR_B : OSCI_COLOR_A, osci1, OSCI1_GRAPH_OSCI,
                b ? oscis.osci1_gphB : oscis.osci1_gphA);
}

void prep_for_video_curve() {
    SetCtrlAttribute(graph1, GRAPH1_GRAPH_VIDEOA, ATTR_VISIBLE, 1);
    SetCtrlAttribute(graph1, GRAPH1_GRAPH_VIDEOB, ATTR_VISIBLE, 1);
    SetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_VISIBLE, 0);
    // The graphs the linearisation's curves were checked on now show sequences.
    SetCtrlAttribute(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED, 1);
    for (int g : {GRAPH1_GRAPH_VIDEOA, GRAPH1_GRAPH_VIDEOB}) {
        SetAxisScalingMode(graph1, g, UI_XAXIS, UI_MANUAL, 0.0, VIDEO_SAMPLES);
        SetAxisScalingMode(graph1, g, UI_LEFT_YAXIS, UI_MANUAL, 0.0, 4096.0);
    }
}

int CC_CMDB_ACVIDEO(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    SetPanelAttribute(osci1, ATTR_WINDOW_ZOOM, UI_NO_ZOOM);
    if (!oscis.osci_vis) {
        DisplayPanel(osci1);
        oscis.osci_vis = 1;
    }
    return 0;
}

int CC_OSCILLOGPH(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return 1;
    if (event != EVENT_LEFT_DOUBLE_CLICK) return 0;
    // Back from whatever the user zoomed or panned to.
    SetAxisScalingMode(panel, control, UI_XAXIS, UI_MANUAL, 0.0, VIDEO_SAMPLES);
    SetAxisScalingMode(panel, control, UI_LEFT_YAXIS, UI_MANUAL, 0.0, 4096.0);
    return 0;
}
