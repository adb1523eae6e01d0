// Control attributes. One table holds every attribute a control has: the type of its
// value, the kinds of control it applies to, and the functions that write and read it.
// The six public calls only convert values and walk the table.
#include "ui/ui_internal.h"
#include "ui/ui_widgets.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace {

// ---- writing and reading one attribute -----------------------------------------------------------
// Each function is called only for the kinds its table entry names, with a value of
// the entry's type.

void set_palette_color(QWidget* w, std::initializer_list<QPalette::ColorRole> roles, int rgb, bool fill) {
    QPalette pal = w->palette();
    for (auto role : roles) pal.setColor(role, ui_qcolor(rgb));
    w->setPalette(pal);
    if (fill) w->setAutoFillBackground(true);
}

QLineEdit* line_edit_of(QWidget* w) {
    if (auto* le = qobject_cast<QLineEdit*>(w)) return le;
    return static_cast<QComboBox*>(w)->lineEdit();
}

int set_dimmed(UiCtrl* c, int, const QVariant& v) {
    c->w->setEnabled(v.toInt() == 0);
    if (c->buddy) c->buddy->setEnabled(v.toInt() == 0);
    return 0;
}

QVariant get_dimmed(UiCtrl* c, int) {
    return c->w->isEnabled() ? 0 : 1;
}

int set_visible(UiCtrl* c, int, const QVariant& v) {
    // Timers stay invisible whatever is asked: they have nothing to show.
    if (c->kind != UI_KIND_TIMER) c->w->setVisible(v.toInt() != 0);
    if (c->buddy) c->buddy->setVisible(v.toInt() != 0);
    return 0;
}

// Visible means "set visible", so a control on a hidden panel still reports 1.
QVariant get_visible(UiCtrl* c, int) {
    return c->w->isHidden() ? 0 : 1;
}

int set_geometry(UiCtrl* c, int attr, const QVariant& v) {
    ui_set_geometry_attr(c->w, attr, v.toInt());
    return 0;
}

QVariant get_geometry(UiCtrl* c, int attr) {
    const QWidget* w = c->w;
    return attr == ATTR_TOP     ? w->y()
           : attr == ATTR_LEFT  ? w->x()
           : attr == ATTR_WIDTH ? w->width()
                                : w->height();
}

int set_text_color(UiCtrl* c, int, const QVariant& v) {
    if (auto* g = qobject_cast<UiGraph*>(c->w))
        g->text_color = v.toInt(), g->markDirty();
    else if (auto* s = qobject_cast<UiStripChart*>(c->w))
        s->text_color = v.toInt(), s->markDirty();
    else
        set_palette_color(c->w, {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}, v.toInt(),
                          false);
    return 0;
}

QVariant get_text_color(UiCtrl* c, int) {
    if (auto* g = qobject_cast<UiGraph*>(c->w)) return g->text_color;
    if (auto* s = qobject_cast<UiStripChart*>(c->w)) return s->text_color;
    return ui_rgb(c->w->palette().color(QPalette::WindowText));
}

int set_text_bgcolor(UiCtrl* c, int, const QVariant& v) {
    set_palette_color(c->w, {QPalette::Base, QPalette::Window}, v.toInt(), c->kind == UI_KIND_TEXT_MSG);
    return 0;
}

QVariant get_text_bgcolor(UiCtrl* c, int) {
    return ui_rgb(c->w->palette().color(QPalette::Base));
}

int set_backcolor(UiCtrl* c, int, const QVariant& v) {
    if (auto* g = qobject_cast<UiGraph*>(c->w))
        g->bg_color = v.toInt(), g->markDirty();
    else if (auto* s = qobject_cast<UiStripChart*>(c->w))
        s->bg_color = v.toInt(), s->markDirty();
    else if (auto* cv = qobject_cast<UiCanvas*>(c->w))
        cv->bg_color = v.toInt(), cv->markDirty();
    else
        set_palette_color(c->w, {QPalette::Window, QPalette::Base}, v.toInt(), true);
    return 0;
}

QVariant get_backcolor(UiCtrl* c, int) {
    if (auto* g = qobject_cast<UiGraph*>(c->w)) return g->bg_color;
    if (auto* s = qobject_cast<UiStripChart*>(c->w)) return s->bg_color;
    if (auto* cv = qobject_cast<UiCanvas*>(c->w)) return cv->bg_color;
    return ui_rgb(c->w->palette().color(QPalette::Window));
}

int set_button_color(UiCtrl* c, int, const QVariant& v) {
    set_palette_color(c->w, {QPalette::Button, QPalette::Base}, v.toInt(), false);
    return 0;
}

QVariant get_button_color(UiCtrl* c, int) {
    return ui_rgb(c->w->palette().color(QPalette::Button));
}

int set_label_text(UiCtrl* c, int, const QVariant& v) {
    QWidget* w = c->w;
    QString text = v.toString();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* g = qobject_cast<UiGraph*>(w))
        g->title = text, g->markDirty();
    else if (auto* s = qobject_cast<UiStripChart*>(w))
        s->title = text, s->markDirty();
    else if (c->buddy)
        c->buddy->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else
        w->setProperty("labelText", text);
    return 0;
}

QVariant get_label_text(UiCtrl* c, int) {
    QWidget* w = c->w;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<UiGraph*>(w)) return g->title;
    if (auto* s = qobject_cast<UiStripChart*>(w)) return s->title;
    if (c->buddy) return c->buddy->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return w->property("labelText").toString();
}

int set_label_visible(UiCtrl* c, int, const QVariant& v) {
    if (!c->buddy) return UI_ERR_ATTR;
    c->buddy->setVisible(v.toInt() != 0);
    return 0;
}

QVariant get_label_visible(UiCtrl* c, int) {
    if (!c->buddy) return {};
    return c->buddy->isHidden() ? 0 : 1;
}

int set_text(UiCtrl* c, int, const QVariant& v) {
    QWidget* w = c->w;
    if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(v.toString());
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(v.toString());
    else if (auto* te = qobject_cast<QPlainTextEdit*>(w))
        te->setPlainText(v.toString());
    else
        line_edit_of(w)->setText(v.toString());
    return 0;
}

QVariant get_text(UiCtrl* c, int) {
    QWidget* w = c->w;
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* te = qobject_cast<QPlainTextEdit*>(w)) return te->toPlainText();
    return line_edit_of(w)->text();
}

int set_font(UiCtrl* c, int attr, const QVariant& v) {
    QFont f = c->w->font();
    if (attr == ATTR_TEXT_BOLD)
        f.setBold(v.toInt() != 0);
    else if (v.toInt() > 0)
        f.setPointSize(v.toInt());
    c->w->setFont(f);
    return 0;
}

QVariant get_font(UiCtrl* c, int attr) {
    return attr == ATTR_TEXT_BOLD ? (c->w->font().bold() ? 1 : 0) : c->w->font().pointSize();
}

int set_ctrl_mode(UiCtrl* c, int, const QVariant& v) {
    QWidget* w = c->w;
    bool indicator = v.toInt() == UI_INDICATOR;
    if (auto* sb = qobject_cast<QAbstractSpinBox*>(w)) {
        sb->setReadOnly(indicator);
        sb->setButtonSymbols(indicator ? QAbstractSpinBox::NoButtons : QAbstractSpinBox::UpDownArrows);
    } else if (auto* le = qobject_cast<QLineEdit*>(w)) {
        le->setReadOnly(indicator);
    } else if (auto* te = qobject_cast<QPlainTextEdit*>(w)) {
        te->setReadOnly(indicator);
    } else {
        w->setAttribute(Qt::WA_TransparentForMouseEvents, indicator);
    }
    return 0;
}

QVariant get_ctrl_mode(UiCtrl* c, int) {
    QWidget* w = c->w;
    bool indicator = false;
    if (auto* sb = qobject_cast<QAbstractSpinBox*>(w))
        indicator = sb->isReadOnly();
    else if (auto* le = qobject_cast<QLineEdit*>(w))
        indicator = le->isReadOnly();
    else if (auto* te = qobject_cast<QPlainTextEdit*>(w))
        indicator = te->isReadOnly();
    else
        indicator = w->testAttribute(Qt::WA_TransparentForMouseEvents);
    return indicator ? UI_INDICATOR : UI_HOT;
}

QVariant get_callback_name(UiCtrl* c, int) {
    return QString::fromStdString(c->cb_name);
}

QVariant get_constant_name(UiCtrl* c, int) {
    return c->w->objectName();
}

int set_data_type(UiCtrl* c, int, const QVariant& v) {
    int type = v.toInt();
    if (type != UI_INTEGER && type != UI_DOUBLE && type != UI_STRING) return UI_ERR_ARG;
    c->data_type = type;
    return 0;
}

QVariant get_data_type(UiCtrl* c, int) {
    return c->data_type;
}

int set_max_length(UiCtrl* c, int, const QVariant& v) {
    line_edit_of(c->w)->setMaxLength(v.toInt() > 0 ? v.toInt() : 32767);
    return 0;
}

QVariant get_max_length(UiCtrl* c, int) {
    return line_edit_of(c->w)->maxLength();
}

int set_mask(UiCtrl* c, int, const QVariant& v) {
    auto* le = static_cast<QLineEdit*>(c->w.data());
    int mask = v.toInt();
    le->setProperty("maskCharacter", mask);
    le->setEchoMode(mask ? QLineEdit::Password : QLineEdit::Normal);
    if (mask) le->setStyleSheet(QStringLiteral("lineedit-password-character: %1").arg(mask));
    return 0;
}

QVariant get_mask(UiCtrl* c, int) {
    return c->w->property("maskCharacter").toInt();
}

// Numeric limits and step of spin boxes, sliders and progress bars (which have no step).
int set_range(UiCtrl* c, int attr, const QVariant& value) {
    ui_flush_values(); // the new limits apply to the value already written
    QWidget* w = c->w;
    const QSignalBlocker block(w);
    double v = value.toDouble();
    if (auto* ds = qobject_cast<QDoubleSpinBox*>(w)) {
        if (attr == ATTR_MIN_VALUE)
            ds->setMinimum(v);
        else if (attr == ATTR_MAX_VALUE)
            ds->setMaximum(v);
        else
            ds->setSingleStep(v);
        return 0;
    }
    int i = static_cast<int>(std::lround(c->kind == UI_KIND_SLIDER ? v * ui_slider_scale(c) : v));
    if (auto* is = qobject_cast<QSpinBox*>(w)) {
        if (attr == ATTR_MIN_VALUE)
            is->setMinimum(i);
        else if (attr == ATTR_MAX_VALUE)
            is->setMaximum(i);
        else
            is->setSingleStep(i);
        return 0;
    }
    if (auto* sl = qobject_cast<QAbstractSlider*>(w)) {
        if (attr == ATTR_MIN_VALUE)
            sl->setMinimum(i);
        else if (attr == ATTR_MAX_VALUE)
            sl->setMaximum(i);
        else
            sl->setSingleStep(i);
        return 0;
    }
    if (auto* pb = qobject_cast<QProgressBar*>(w)) {
        if (attr == ATTR_MIN_VALUE)
            pb->setMinimum(i);
        else
            pb->setMaximum(i);
        return 0;
    }
    return UI_ERR_ATTR; // a spin box for neither integers nor decimals
}

QVariant get_range(UiCtrl* c, int attr) {
    QWidget* w = c->w;
    if (auto* ds = qobject_cast<QDoubleSpinBox*>(w))
        return attr == ATTR_MIN_VALUE   ? ds->minimum()
               : attr == ATTR_MAX_VALUE ? ds->maximum()
                                        : ds->singleStep();
    if (auto* is = qobject_cast<QSpinBox*>(w))
        return attr == ATTR_MIN_VALUE   ? is->minimum()
               : attr == ATTR_MAX_VALUE ? is->maximum()
                                        : is->singleStep();
    if (auto* sl = qobject_cast<QAbstractSlider*>(w)) {
        int i = attr == ATTR_MIN_VALUE   ? sl->minimum()
                : attr == ATTR_MAX_VALUE ? sl->maximum()
                                         : sl->singleStep();
        return i / ui_slider_scale(c);
    }
    if (auto* pb = qobject_cast<QProgressBar*>(w))
        return attr == ATTR_MIN_VALUE ? pb->minimum() : pb->maximum();
    return {}; // a spin box for neither integers nor decimals
}

// Decimal spin boxes and sliders; an integer spin box has no digits to set.
int set_precision(UiCtrl* c, int, const QVariant& v) {
    if (auto* ds = qobject_cast<QDoubleSpinBox*>(c->w)) {
        ui_flush_values();
        const QSignalBlocker block(ds);
        ds->setDecimals(v.toInt());
        return 0;
    }
    if (c->kind == UI_KIND_SLIDER) {
        c->precision = v.toInt();
        return 0;
    }
    return UI_ERR_ATTR;
}

QVariant get_precision(UiCtrl* c, int) {
    return ui_precision_of(c);
}

int set_on_off_value(UiCtrl* c, int attr, const QVariant& v) {
    (attr == ATTR_ON_VALUE ? c->on_value : c->off_value) = v.toInt();
    return 0;
}

QVariant get_on_off_value(UiCtrl* c, int attr) {
    return attr == ATTR_ON_VALUE ? c->on_value : c->off_value;
}

int set_led_color(UiCtrl* c, int attr, const QVariant& v) {
    auto* led = static_cast<UiLed*>(c->w.data());
    if (attr == ATTR_ON_COLOR)
        led->setColors(v.toInt(), led->offColor());
    else
        led->setColors(led->onColor(), v.toInt());
    return 0;
}

QVariant get_led_color(UiCtrl* c, int attr) {
    auto* led = static_cast<UiLed*>(c->w.data());
    return attr == ATTR_ON_COLOR ? led->onColor() : led->offColor();
}

int set_first_line(UiCtrl* c, int, const QVariant& v) {
    static_cast<QPlainTextEdit*>(c->w.data())->verticalScrollBar()->setValue(std::max(v.toInt(), 0));
    return 0;
}

QVariant get_first_line(UiCtrl* c, int) {
    return static_cast<QPlainTextEdit*>(c->w.data())->verticalScrollBar()->value();
}

QVariant get_visible_lines(UiCtrl* c, int) {
    auto* te = static_cast<QPlainTextEdit*>(c->w.data());
    int line = te->fontMetrics().lineSpacing();
    return line > 0 ? te->viewport()->height() / line : 0;
}

int set_table_size(UiCtrl* c, int attr, const QVariant& v) {
    auto* tw = static_cast<QTableWidget*>(c->w.data());
    if (v.toInt() < 0) return UI_ERR_ATTR;
    const QSignalBlocker block(tw);
    if (attr == ATTR_NUM_ROWS)
        tw->setRowCount(v.toInt());
    else
        tw->setColumnCount(v.toInt());
    return 0;
}

QVariant get_table_size(UiCtrl* c, int attr) {
    auto* tw = static_cast<QTableWidget*>(c->w.data());
    return attr == ATTR_NUM_ROWS ? tw->rowCount() : tw->columnCount();
}

QHeaderView* header_of(UiCtrl* c, int attr) {
    auto* tw = static_cast<QTableWidget*>(c->w.data());
    return attr == ATTR_ROW_LABELS_VISIBLE ? tw->verticalHeader() : tw->horizontalHeader();
}

int set_header_visible(UiCtrl* c, int attr, const QVariant& v) {
    header_of(c, attr)->setVisible(v.toInt() != 0);
    return 0;
}

QVariant get_header_visible(UiCtrl* c, int attr) {
    return header_of(c, attr)->isHidden() ? 0 : 1;
}

int set_interval(UiCtrl* c, int, const QVariant& v) {
    if (v.toDouble() <= 0.0) return UI_ERR_ARG;
    static_cast<UiTimer*>(c->w.data())->setInterval(v.toDouble());
    return 0;
}

QVariant get_interval(UiCtrl* c, int) {
    return static_cast<UiTimer*>(c->w.data())->interval();
}

int set_timer_enabled(UiCtrl* c, int, const QVariant& v) {
    static_cast<UiTimer*>(c->w.data())->setTimerEnabled(v.toInt() != 0);
    return 0;
}

QVariant get_timer_enabled(UiCtrl* c, int) {
    return static_cast<UiTimer*>(c->w.data())->timerEnabled() ? 1 : 0;
}

UiGraph* graph_of(UiCtrl* c) {
    return static_cast<UiGraph*>(c->w.data());
}

int set_xgain(UiCtrl* c, int, const QVariant& v) {
    graph_of(c)->xgain = v.toDouble();
    graph_of(c)->markDirty();
    return 0;
}

QVariant get_xgain(UiCtrl* c, int) {
    return graph_of(c)->xgain;
}

int set_axis_name(UiCtrl* c, int attr, const QVariant& v) {
    (attr == ATTR_XNAME ? graph_of(c)->xname : graph_of(c)->yname) = v.toString();
    graph_of(c)->markDirty();
    return 0;
}

QVariant get_axis_name(UiCtrl* c, int attr) {
    return attr == ATTR_XNAME ? graph_of(c)->xname : graph_of(c)->yname;
}

int set_zoom(UiCtrl* c, int, const QVariant& v) {
    graph_of(c)->zoom_enabled = v.toInt() != 0;
    return 0;
}

QVariant get_zoom(UiCtrl* c, int) {
    return graph_of(c)->zoom_enabled ? 1 : 0;
}

QVariant get_plot_count(UiCtrl* c, int) {
    return graph_of(c)->plotCount();
}

int set_strip_size(UiCtrl* c, int attr, const QVariant& v) {
    auto* s = static_cast<UiStripChart*>(c->w.data());
    int n = v.toInt();
    if (n < 1) return UI_ERR_ARG;
    if (attr == ATTR_NUM_TRACES)
        s->setTraceCount(std::min(n, 64));
    else
        s->setPointsPerScreen(n);
    return 0;
}

QVariant get_strip_size(UiCtrl* c, int attr) {
    auto* s = static_cast<UiStripChart*>(c->w.data());
    return attr == ATTR_NUM_TRACES ? s->traceCount() : s->pointsPerScreen();
}

int set_pen(UiCtrl* c, int attr, const QVariant& v) {
    auto* cv = static_cast<UiCanvas*>(c->w.data());
    if (attr == ATTR_PEN_COLOR)
        cv->pen_color = v.toInt();
    else if (attr == ATTR_PEN_FILL_COLOR)
        cv->fill_color = v.toInt();
    else
        cv->pen_width = std::max(v.toInt(), 1);
    return 0;
}

QVariant get_pen(UiCtrl* c, int attr) {
    auto* cv = static_cast<UiCanvas*>(c->w.data());
    return attr == ATTR_PEN_COLOR        ? cv->pen_color
           : attr == ATTR_PEN_FILL_COLOR ? cv->fill_color
                                         : cv->pen_width;
}

// ---- the table ---------------------------------------------------------------------------------

enum class Type { Int, Double, Text };

// Kinds of control as a bit set.
using Kinds = unsigned;
static_assert(UI_KIND_TIMER < 32);
constexpr Kinds kind(int k) {
    return 1u << k;
}
constexpr Kinds any_kind = ~0u;
constexpr Kinds no_kind = 0;
constexpr Kinds buttons = kind(UI_KIND_COMMAND_BUTTON) | kind(UI_KIND_TOGGLE_BUTTON) | kind(UI_KIND_SWITCH);
constexpr Kinds items = kind(UI_KIND_RING) | kind(UI_KIND_LIST_BOX) | kind(UI_KIND_COMBO_TEXT);
constexpr Kinds entries = kind(UI_KIND_STRING) | kind(UI_KIND_COMBO_TEXT);
constexpr Kinds texts = buttons | entries | kind(UI_KIND_TEXT_MSG) | kind(UI_KIND_TEXT_BOX);
constexpr Kinds steps = kind(UI_KIND_NUMERIC) | kind(UI_KIND_SLIDER);
constexpr Kinds limits = steps | kind(UI_KIND_PROGRESS);

struct CtrlAttr {
    int attr;
    Type type;
    Kinds set_kinds; // the other kinds answer UI_ERR_ATTR
    Kinds get_kinds;
    int (*set)(UiCtrl* c, int attr, const QVariant& v);
    QVariant (*get)(UiCtrl* c, int attr); // an invalid value: does not apply
};

constexpr Type I = Type::Int, D = Type::Double, T = Type::Text;
constexpr Kinds string_field = kind(UI_KIND_STRING), text_box = kind(UI_KIND_TEXT_BOX),
                led = kind(UI_KIND_LED), table = kind(UI_KIND_TABLE), timer = kind(UI_KIND_TIMER),
                graph = kind(UI_KIND_GRAPH), strip = kind(UI_KIND_STRIP_CHART), canvas = kind(UI_KIND_CANVAS);

// Attribute, value type (I int, D double, T text), kinds it is written on, kinds it is
// read from, writer, reader.
const CtrlAttr attrs[] = {
    {ATTR_DIMMED, I, any_kind, any_kind, set_dimmed, get_dimmed},
    {ATTR_VISIBLE, I, any_kind, any_kind, set_visible, get_visible},
    {ATTR_TOP, I, any_kind, any_kind, set_geometry, get_geometry},
    {ATTR_LEFT, I, any_kind, any_kind, set_geometry, get_geometry},
    {ATTR_WIDTH, I, any_kind, any_kind, set_geometry, get_geometry},
    {ATTR_HEIGHT, I, any_kind, any_kind, set_geometry, get_geometry},
    {ATTR_TEXT_COLOR, I, any_kind, any_kind, set_text_color, get_text_color},
    {ATTR_TEXT_BGCOLOR, I, any_kind, any_kind, set_text_bgcolor, get_text_bgcolor},
    {ATTR_BACKCOLOR, I, any_kind, any_kind, set_backcolor, get_backcolor},
    {ATTR_CMD_BUTTON_COLOR, I, any_kind, any_kind, set_button_color, get_button_color},
    {ATTR_LABEL_TEXT, T, any_kind, any_kind, set_label_text, get_label_text},
    {ATTR_LABEL_VISIBLE, I, any_kind, any_kind, set_label_visible, get_label_visible},
    {ATTR_TEXT, T, texts, texts, set_text, get_text},
    {ATTR_TEXT_BOLD, I, any_kind, any_kind, set_font, get_font},
    {ATTR_TEXT_POINT_SIZE, I, any_kind, any_kind, set_font, get_font},
    {ATTR_CTRL_MODE, I, any_kind, any_kind, set_ctrl_mode, get_ctrl_mode},
    {ATTR_CALLBACK_NAME, T, no_kind, any_kind, nullptr, get_callback_name},
    {ATTR_CONSTANT_NAME, T, no_kind, any_kind, nullptr, get_constant_name},
    {ATTR_DATA_TYPE, I, items, any_kind, set_data_type, get_data_type},
    {ATTR_MAX_ENTRY_LENGTH, I, entries, entries, set_max_length, get_max_length},
    {ATTR_MASK_CHARACTER, I, string_field, string_field, set_mask, get_mask},
    {ATTR_MIN_VALUE, D, limits, limits, set_range, get_range},
    {ATTR_MAX_VALUE, D, limits, limits, set_range, get_range},
    {ATTR_INCR_VALUE, D, steps, steps, set_range, get_range},
    {ATTR_PRECISION, I, steps, any_kind, set_precision, get_precision},
    {ATTR_ON_VALUE, I, any_kind, any_kind, set_on_off_value, get_on_off_value},
    {ATTR_OFF_VALUE, I, any_kind, any_kind, set_on_off_value, get_on_off_value},
    {ATTR_ON_COLOR, I, led, led, set_led_color, get_led_color},
    {ATTR_OFF_COLOR, I, led, led, set_led_color, get_led_color},
    {ATTR_FIRST_VISIBLE_LINE, I, text_box, text_box, set_first_line, get_first_line},
    {ATTR_VISIBLE_LINES, I, no_kind, text_box, nullptr, get_visible_lines},
    {ATTR_NUM_ROWS, I, table, table, set_table_size, get_table_size},
    {ATTR_NUM_COLUMNS, I, table, table, set_table_size, get_table_size},
    {ATTR_ROW_LABELS_VISIBLE, I, table, table, set_header_visible, get_header_visible},
    {ATTR_COLUMN_LABELS_VISIBLE, I, table, table, set_header_visible, get_header_visible},
    {ATTR_INTERVAL, D, timer, timer, set_interval, get_interval},
    {ATTR_ENABLED, I, timer, timer, set_timer_enabled, get_timer_enabled},
    {ATTR_XAXIS_GAIN, D, graph, graph, set_xgain, get_xgain},
    {ATTR_XNAME, T, graph, graph, set_axis_name, get_axis_name},
    {ATTR_YNAME, T, graph, graph, set_axis_name, get_axis_name},
    {ATTR_ENABLE_ZOOM_AND_PAN, I, graph, graph, set_zoom, get_zoom},
    {ATTR_NUM_PLOTS, I, no_kind, graph, nullptr, get_plot_count},
    {ATTR_NUM_TRACES, I, strip, strip, set_strip_size, get_strip_size},
    {ATTR_POINTS_PER_SCREEN, I, strip, strip, set_strip_size, get_strip_size},
    {ATTR_PEN_COLOR, I, canvas, canvas, set_pen, get_pen},
    {ATTR_PEN_FILL_COLOR, I, canvas, canvas, set_pen, get_pen},
    {ATTR_PEN_WIDTH, I, canvas, canvas, set_pen, get_pen},
};

// The entry of an attribute that applies to this control, or null.
const CtrlAttr* writable(const UiCtrl* c, int attr) {
    for (const CtrlAttr& a : attrs)
        if (a.attr == attr) return a.set_kinds & kind(c->kind) ? &a : nullptr;
    return nullptr;
}

const CtrlAttr* readable(const UiCtrl* c, int attr) {
    for (const CtrlAttr& a : attrs)
        if (a.attr == attr) return a.get_kinds & kind(c->kind) ? &a : nullptr;
    return nullptr;
}

// Reads an attribute as `type`; an invalid value when it does not apply to the control
// or holds another type. Numbers are read as doubles whatever their type, but a
// double is not cut down to an integer.
QVariant get_attr(UiCtrl* c, int attr, Type type) {
    const CtrlAttr* a = readable(c, attr);
    bool fits = a && (a->type == type || (type == Type::Double && a->type == Type::Int));
    return fits ? a->get(c, attr) : QVariant();
}

// Writes a number: an integer attribute takes it rounded, a text attribute refuses it.
int set_number(UiCtrl* c, int attr, double value) {
    const CtrlAttr* a = writable(c, attr);
    if (!a || a->type == Type::Text) return UI_ERR_ATTR;
    if (a->type == Type::Int) return a->set(c, attr, QVariant(static_cast<int>(std::lround(value))));
    return a->set(c, attr, QVariant(value));
}

} // namespace

int SetCtrlAttribute(int panel, int ctrl, int attr, int value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    return c ? set_number(c, attr, value) : rc;
}

int SetCtrlAttribute(int panel, int ctrl, int attr, double value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    return c ? set_number(c, attr, value) : rc;
}

int SetCtrlAttribute(int panel, int ctrl, int attr, const char* value) {
    ui_flush_values(); // texts written by the program come first
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    const CtrlAttr* a = writable(c, attr);
    if (!a || a->type != Type::Text) return UI_ERR_ATTR;
    return a->set(c, attr, QVariant(QString::fromUtf8(value)));
}

int GetCtrlAttribute(int panel, int ctrl, int attr, int* value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    QVariant v = get_attr(c, attr, Type::Int);
    if (!v.isValid()) return UI_ERR_ATTR;
    *value = v.toInt();
    return 0;
}

int GetCtrlAttribute(int panel, int ctrl, int attr, double* value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    QVariant v = get_attr(c, attr, Type::Double);
    if (!v.isValid()) return UI_ERR_ATTR;
    *value = v.toDouble();
    return 0;
}

int GetCtrlAttribute(int panel, int ctrl, int attr, char* buf, int size) {
    ui_flush_values(); // texts written by the program come first
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    QVariant v = get_attr(c, attr, Type::Text);
    if (!v.isValid()) return UI_ERR_ATTR;
    return ui_copy_string(v.toString(), buf, size);
}
