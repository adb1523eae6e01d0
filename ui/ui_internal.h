// Records shared by the layer's source files: the panel and control tables
// behind the integer handles, and the hooks between them.
#pragma once

#include "ui/ui.h"

#include <QLabel>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

struct UiCtrl {
    int id = 0;
    int kind = UI_KIND_NONE;
    QPointer<QWidget> w;
    QPointer<QLabel> buddy; // the label naming the control, when the layout has one
    ui_callback cb = nullptr;
    void* data = nullptr;
    std::string cb_name;
    int data_type = UI_INTEGER; // rings and lists
    int on_value = 1;           // switches and toggle buttons
    int off_value = 0;
    int precision = 0;    // sliders: the widget holds value * 10^precision
    bool in_tick = false; // timers: a tick callback is running
    // Text boxes: an empty document that holds one empty line (Qt cannot tell
    // "no lines" from "one empty line").
    bool empty_line = false;
    // Numerics, bars and string controls: a value written by the program and not
    // yet shown (see ui_flush_values).
    bool pending = false;
    double pending_value = 0.0;
    QString pending_text;
};

struct UiPanel {
    int handle = 0;
    int resource = 0;
    int parent = 0;
    std::string name;
    QPointer<QWidget> w;
    ui_callback cb = nullptr;
    void* data = nullptr;
    std::string cb_name;
    std::vector<std::unique_ptr<UiCtrl>> ctrls; // indexed by control id
    std::vector<int> order;                     // ids in creation order
};

// Lookups; null (and *rc set to the status) when the handle or id is invalid.
UiPanel* ui_panel(int panel, int* rc = nullptr);
UiCtrl* ui_ctrl(int panel, int ctrl, int* rc = nullptr);
// The control or panel a widget belongs to (walking up through the children
// of composite widgets); false when it belongs to none.
bool ui_owner(QWidget* w, int* panel, int* ctrl);
// Adds a control record for a widget and wires its events.
UiCtrl* ui_add_ctrl(UiPanel* p, int id, QWidget* w);
// Classifies a widget (UI_KIND_...).
int ui_kind_of(QWidget* w);
ui_callback ui_callback_by_name(const std::string& name);

// Runs the callback of a control (ctrl 0: of the panel); a commit is then put in
// the user-event queue. Returns the callback's result (0 without callback).
int ui_dispatch(int panel, int ctrl, int event, int data1, int data2);
// Event filter, context-menu policy and signal connections for one control.
void ui_watch(QWidget* w);
void ui_wire(int panel, UiCtrl* c);
void ui_forget_widget(QWidget* w);
bool ui_timers_suspended();
// Numeric values are written to their widgets once per screen refresh, since
// formatting a spin box costs more than a whole record may. Anything that reads
// widgets or hands control to the user flushes first.
void ui_flush_values();
// The refresh tick's flush: values are shown at most every 100 ms.
void ui_flush_values_at_tick();
// Top, left, width and height of a panel or a control; false for any other attribute.
bool ui_set_geometry_attr(QWidget* w, int attr, int value);
// Everything the program writes (numerics, bars, LEDs, graphs, strip charts) is shown
// at one shared refresh tick, so a burst of records costs one repaint of the window
// per tick instead of one per record and widget.
void ui_request_refresh();
// The user changed the control: a value the program wrote meanwhile is stale.
void ui_drop_pending(int panel, int ctrl);

// Puts the layer's style in place of the application's (once); the panels are drawn
// with it.
void ui_use_layer_style();

// Value conversions shared by controls, lists and tables.
QString ui_format_double(double v, int precision);
bool ui_parse_double(const QString& s, double* v);
int ui_copy_string(const QString& s, char* buf, int size);
QColor ui_qcolor(int rgb);
int ui_rgb(const QColor& c);

// Sliders hold value * 10^precision in their integer range.
double ui_slider_scale(const UiCtrl* c);
// Digits after the point a control shows its value with.
int ui_precision_of(UiCtrl* c);

// Ring and list-box items (QComboBox or QListWidget); defined with the list calls.
int ui_item_count(UiCtrl* c);
int ui_current_index(UiCtrl* c);
void ui_set_current_index(UiCtrl* c, int index);
QVariant ui_item_value(UiCtrl* c, int index);
// Index of the first item whose value equals v (compared as the ring's type), or -1.
int ui_find_value(UiCtrl* c, const QVariant& v);
