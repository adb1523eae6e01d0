// Control values, attributes, tooltips and the active control.
#include "ui/ui_internal.h"
#include "ui/ui_widgets.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<std::pair<int, int>> pending_list;

// Numbers that change with every record are read, not watched: ten new values a
// second are as many as anybody can read, and writing them costs more than painting
// a curve, so the refresh tick shows them only every 100 ms.
constexpr double value_refresh_s = 0.1;
double values_shown_at = -1.0;

// Puts a control on the list the next refresh shows.
void mark_pending(UiCtrl* c, int panel) {
    if (c->pending) return;
    c->pending = true;
    pending_list.emplace_back(panel, c->id);
    ui_request_refresh();
}

// Keeps a value written by the program until the next flush, so that a burst of
// records repaints each numeric and bar at most once per refresh; an unchanged
// value costs nothing more.
void defer_value(UiCtrl* c, int panel, double d, double current) {
    if (c->pending) current = c->pending_value;
    if (d == current) return;
    c->pending_value = d;
    mark_pending(c, panel);
}

// The same for the text of a string control: the recorder rewrites its
// information texts with every record.
void defer_text(UiCtrl* c, int panel, const QString& text) {
    if (text == (c->pending ? c->pending_text : static_cast<QLineEdit*>(c->w.data())->text())) return;
    c->pending_text = text;
    mark_pending(c, panel);
}

// Stores a numeric value as the spin box would hold it (limited and rounded).
void set_numeric_deferred(UiCtrl* c, QDoubleSpinBox* ds, int panel, double d) {
    d = std::clamp(d, ds->minimum(), ds->maximum());
    double scale = std::pow(10.0, ds->decimals());
    double r = std::nearbyint(d * scale) / scale;
    if (std::isfinite(r)) d = r;
    defer_value(c, panel, d, ds->value());
}

double slider_scale(const UiCtrl* c) {
    return std::pow(10.0, c->precision);
}

bool is_string(const QVariant& v) {
    return v.typeId() == QMetaType::QString;
}

double as_double(const QVariant& v, bool* ok) {
    if (is_string(v)) {
        double d = 0.0;
        *ok = ui_parse_double(v.toString(), &d);
        return d;
    }
    *ok = true;
    return v.toDouble();
}

QString as_text(const QVariant& v, int precision) {
    if (v.typeId() == QMetaType::Double) return ui_format_double(v.toDouble(), precision);
    return v.toString();
}

bool is_on(const UiCtrl* c, const QVariant& v, bool* ok) {
    double d = as_double(v, ok);
    if (!*ok) return false;
    int i = static_cast<int>(std::lround(d));
    if (i == c->on_value) return true;
    if (i == c->off_value) return false;
    return i != 0;
}

// Writes a value into the widget. Qt's change signals stay blocked: program
// writes are not user actions.
int set_value(int panel, UiCtrl* c, const QVariant& v) {
    QWidget* w = c->w;
    const QSignalBlocker block(w);
    bool ok = true;
    switch (c->kind) {
    case UI_KIND_NUMERIC: {
        double d = as_double(v, &ok);
        if (!ok) return UI_ERR_TYPE;
        if (auto* ds = qobject_cast<QDoubleSpinBox*>(w)) {
            set_numeric_deferred(c, ds, panel, d);
        } else if (auto* is = qobject_cast<QSpinBox*>(w)) {
            is->setValue(static_cast<int>(std::lround(d)));
        }
        return 0;
    }
    case UI_KIND_RING:
    case UI_KIND_LIST_BOX: {
        int index = ui_find_value(c, v);
        if (index < 0) return UI_ERR_NOT_FOUND;
        ui_set_current_index(c, index);
        return 0;
    }
    case UI_KIND_COMBO_TEXT:
        static_cast<QComboBox*>(w)->setEditText(as_text(v, -1));
        return 0;
    case UI_KIND_STRING:
        defer_text(c, panel, as_text(v, -1));
        return 0;
    case UI_KIND_TEXT_BOX: {
        auto* te = static_cast<QPlainTextEdit*>(w);
        c->empty_line = false;
        QTextCursor cur(te->document());
        cur.movePosition(QTextCursor::End);
        cur.insertText(as_text(v, -1));
        return 0;
    }
    case UI_KIND_TEXT_MSG:
        static_cast<QLabel*>(w)->setText(as_text(v, -1));
        return 0;
    case UI_KIND_SWITCH:
    case UI_KIND_TOGGLE_BUTTON: {
        bool on = is_on(c, v, &ok);
        if (!ok) return UI_ERR_TYPE;
        static_cast<QAbstractButton*>(w)->setChecked(on);
        return 0;
    }
    case UI_KIND_LED: {
        double d = as_double(v, &ok);
        if (!ok) return UI_ERR_TYPE;
        static_cast<UiLed*>(w)->setOn(d != 0.0);
        return 0;
    }
    case UI_KIND_SLIDER: {
        double d = as_double(v, &ok);
        if (!ok) return UI_ERR_TYPE;
        static_cast<QAbstractSlider*>(w)->setValue(static_cast<int>(std::lround(d * slider_scale(c))));
        return 0;
    }
    case UI_KIND_PROGRESS: {
        double d = as_double(v, &ok);
        if (!ok) return UI_ERR_TYPE;
        auto* pb = static_cast<QProgressBar*>(w);
        defer_value(c, panel,
                    static_cast<double>(std::clamp<long>(std::lround(d), pb->minimum(), pb->maximum())),
                    pb->value());
        return 0;
    }
    default:
        return UI_ERR_TYPE;
    }
}

int get_value(UiCtrl* c, QVariant* out) {
    QWidget* w = c->w;
    switch (c->kind) {
    case UI_KIND_NUMERIC:
        if (c->pending)
            *out = c->pending_value;
        else if (auto* ds = qobject_cast<QDoubleSpinBox*>(w))
            *out = ds->value();
        else
            *out = static_cast<QSpinBox*>(w)->value();
        return 0;
    case UI_KIND_RING:
    case UI_KIND_LIST_BOX: {
        int index = ui_current_index(c);
        if (index < 0) return UI_ERR_INDEX;
        *out = ui_item_value(c, index);
        return 0;
    }
    case UI_KIND_COMBO_TEXT:
        *out = static_cast<QComboBox*>(w)->currentText();
        return 0;
    case UI_KIND_STRING:
        *out = c->pending ? c->pending_text : static_cast<QLineEdit*>(w)->text();
        return 0;
    case UI_KIND_TEXT_BOX:
        *out = static_cast<QPlainTextEdit*>(w)->toPlainText();
        return 0;
    case UI_KIND_TEXT_MSG:
        *out = static_cast<QLabel*>(w)->text();
        return 0;
    case UI_KIND_SWITCH:
    case UI_KIND_TOGGLE_BUTTON:
        *out = static_cast<QAbstractButton*>(w)->isChecked() ? c->on_value : c->off_value;
        return 0;
    case UI_KIND_LED:
        *out = static_cast<UiLed*>(w)->isOn() ? 1 : 0;
        return 0;
    case UI_KIND_SLIDER:
        if (c->precision > 0)
            *out = static_cast<QAbstractSlider*>(w)->value() / slider_scale(c);
        else
            *out = static_cast<QAbstractSlider*>(w)->value();
        return 0;
    case UI_KIND_PROGRESS:
        *out = c->pending ? c->pending_value : static_cast<double>(static_cast<QProgressBar*>(w)->value());
        return 0;
    default:
        return UI_ERR_TYPE;
    }
}

void set_palette_color(QWidget* w, std::initializer_list<QPalette::ColorRole> roles, int rgb, bool fill) {
    QPalette pal = w->palette();
    for (auto role : roles) pal.setColor(role, ui_qcolor(rgb));
    w->setPalette(pal);
    if (fill) w->setAutoFillBackground(true);
}

int precision_of(UiCtrl* c) {
    if (auto* ds = qobject_cast<QDoubleSpinBox*>(c->w)) return ds->decimals();
    return c->precision;
}

// Numeric limits and step of spin boxes, sliders and progress bars.
int set_range_attr(UiCtrl* c, int attr, double v) {
    ui_flush_values(); // the new limits apply to the value already written
    QWidget* w = c->w;
    const QSignalBlocker block(w);
    if (auto* ds = qobject_cast<QDoubleSpinBox*>(w)) {
        if (attr == ATTR_MIN_VALUE)
            ds->setMinimum(v);
        else if (attr == ATTR_MAX_VALUE)
            ds->setMaximum(v);
        else
            ds->setSingleStep(v);
        return 0;
    }
    int i = static_cast<int>(std::lround(c->kind == UI_KIND_SLIDER ? v * slider_scale(c) : v));
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
        else if (attr == ATTR_MAX_VALUE)
            pb->setMaximum(i);
        else
            return UI_ERR_ATTR;
        return 0;
    }
    return UI_ERR_ATTR;
}

int get_range_attr(UiCtrl* c, int attr, double* v) {
    QWidget* w = c->w;
    if (auto* ds = qobject_cast<QDoubleSpinBox*>(w)) {
        *v = attr == ATTR_MIN_VALUE   ? ds->minimum()
             : attr == ATTR_MAX_VALUE ? ds->maximum()
                                      : ds->singleStep();
        return 0;
    }
    if (auto* is = qobject_cast<QSpinBox*>(w)) {
        *v = attr == ATTR_MIN_VALUE   ? is->minimum()
             : attr == ATTR_MAX_VALUE ? is->maximum()
                                      : is->singleStep();
        return 0;
    }
    if (auto* sl = qobject_cast<QAbstractSlider*>(w)) {
        int i = attr == ATTR_MIN_VALUE   ? sl->minimum()
                : attr == ATTR_MAX_VALUE ? sl->maximum()
                                         : sl->singleStep();
        *v = i / slider_scale(c);
        return 0;
    }
    if (auto* pb = qobject_cast<QProgressBar*>(w)) {
        if (attr == ATTR_INCR_VALUE) return UI_ERR_ATTR;
        *v = attr == ATTR_MIN_VALUE ? pb->minimum() : pb->maximum();
        return 0;
    }
    return UI_ERR_ATTR;
}

QLineEdit* line_edit_of(QWidget* w) {
    if (auto* le = qobject_cast<QLineEdit*>(w)) return le;
    if (auto* cb = qobject_cast<QComboBox*>(w)) return cb->lineEdit();
    return nullptr;
}

} // namespace

void ui_flush_values_at_tick() {
    if (pending_list.empty()) return;
    if (Timer() - values_shown_at < value_refresh_s) {
        ui_request_refresh(); // they come with a later tick
        return;
    }
    ui_flush_values();
}

void ui_flush_values() {
    if (pending_list.empty()) return;
    values_shown_at = Timer();
    std::vector<std::pair<int, int>> list;
    list.swap(pending_list);
    for (const auto& [panel, id] : list) {
        UiCtrl* c = ui_ctrl(panel, id);
        if (!c || !c->pending) continue;
        c->pending = false;
        if (auto* ds = qobject_cast<QDoubleSpinBox*>(c->w)) {
            const QSignalBlocker block(ds);
            ds->setValue(c->pending_value);
        } else if (c->kind == UI_KIND_STRING) {
            const QSignalBlocker block(c->w);
            static_cast<QLineEdit*>(c->w.data())->setText(c->pending_text);
        } else if (auto* pb = qobject_cast<QProgressBar*>(c->w);
                   pb && pb->value() != static_cast<int>(c->pending_value)) {
            // A progress bar repaints at once when its value changes, which would paint
            // everything marked so far and leave the rest of this refresh to a second
            // pass; with updates off it only marks itself, like every other control.
            pb->setUpdatesEnabled(false);
            pb->setValue(static_cast<int>(c->pending_value));
            pb->setUpdatesEnabled(true);
        }
    }
}

void ui_drop_pending(int panel, int ctrl) {
    if (UiCtrl* c = ui_ctrl(panel, ctrl)) c->pending = false;
}

// ---- values ---------------------------------------------------------------------------------

int SetCtrlValInt(int panel, int ctrl, int value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    return c ? set_value(panel, c, QVariant(value)) : rc;
}

int SetCtrlValDouble(int panel, int ctrl, double value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    return c ? set_value(panel, c, QVariant(value)) : rc;
}

int SetCtrlValString(int panel, int ctrl, const char* value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    return set_value(panel, c, QVariant(QString::fromUtf8(value)));
}

int GetCtrlValInt(int panel, int ctrl, int* value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    QVariant v;
    if ((rc = get_value(c, &v)) < 0) return rc;
    bool ok = true;
    double d = as_double(v, &ok);
    if (!ok) return UI_ERR_TYPE;
    *value = static_cast<int>(std::lround(d));
    return 0;
}

int GetCtrlValDouble(int panel, int ctrl, double* value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    QVariant v;
    if ((rc = get_value(c, &v)) < 0) return rc;
    bool ok = true;
    double d = as_double(v, &ok);
    if (!ok) return UI_ERR_TYPE;
    *value = d;
    return 0;
}

int GetCtrlValString(int panel, int ctrl, char* buf, int size) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    QVariant v;
    if ((rc = get_value(c, &v)) < 0) return rc;
    return ui_copy_string(as_text(v, precision_of(c)), buf, size);
}

// ---- attributes ---------------------------------------------------------------------------------

int SetCtrlAttribute(int panel, int ctrl, int attr, int value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    QWidget* w = c->w;
    if (ui_set_geometry_attr(w, attr, value)) return 0;
    switch (attr) {
    case ATTR_DIMMED:
        w->setEnabled(value == 0);
        if (c->buddy) c->buddy->setEnabled(value == 0);
        return 0;
    case ATTR_VISIBLE:
        // Timers stay invisible whatever is asked: they have nothing to show.
        if (c->kind != UI_KIND_TIMER) w->setVisible(value != 0);
        if (c->buddy) c->buddy->setVisible(value != 0);
        return 0;
    case ATTR_LABEL_VISIBLE:
        if (!c->buddy) return UI_ERR_ATTR;
        c->buddy->setVisible(value != 0);
        return 0;
    case ATTR_TEXT_COLOR:
        if (auto* g = qobject_cast<UiGraph*>(w))
            g->text_color = value, g->markDirty();
        else if (auto* s = qobject_cast<UiStripChart*>(w))
            s->text_color = value, s->markDirty();
        else
            set_palette_color(w, {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}, value, false);
        return 0;
    case ATTR_TEXT_BGCOLOR:
        set_palette_color(w, {QPalette::Base, QPalette::Window}, value, c->kind == UI_KIND_TEXT_MSG);
        return 0;
    case ATTR_BACKCOLOR:
        if (auto* g = qobject_cast<UiGraph*>(w))
            g->bg_color = value, g->markDirty();
        else if (auto* s = qobject_cast<UiStripChart*>(w))
            s->bg_color = value, s->markDirty();
        else if (auto* cv = qobject_cast<UiCanvas*>(w))
            cv->bg_color = value, cv->markDirty();
        else
            set_palette_color(w, {QPalette::Window, QPalette::Base}, value, true);
        return 0;
    case ATTR_CMD_BUTTON_COLOR:
        set_palette_color(w, {QPalette::Button, QPalette::Base}, value, false);
        return 0;
    case ATTR_TEXT_BOLD:
    case ATTR_TEXT_POINT_SIZE: {
        QFont f = w->font();
        if (attr == ATTR_TEXT_BOLD)
            f.setBold(value != 0);
        else if (value > 0)
            f.setPointSize(value);
        w->setFont(f);
        return 0;
    }
    case ATTR_CTRL_MODE: {
        bool indicator = value == UI_INDICATOR;
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
    case ATTR_DATA_TYPE:
        if (c->kind != UI_KIND_RING && c->kind != UI_KIND_LIST_BOX && c->kind != UI_KIND_COMBO_TEXT)
            return UI_ERR_ATTR;
        if (value != UI_INTEGER && value != UI_DOUBLE && value != UI_STRING) return UI_ERR_ARG;
        c->data_type = value;
        return 0;
    case ATTR_MAX_ENTRY_LENGTH:
        if (QLineEdit* le = line_edit_of(w)) {
            le->setMaxLength(value > 0 ? value : 32767);
            return 0;
        }
        return UI_ERR_ATTR;
    case ATTR_MASK_CHARACTER: {
        auto* le = qobject_cast<QLineEdit*>(w);
        if (!le) return UI_ERR_ATTR;
        le->setProperty("maskCharacter", value);
        le->setEchoMode(value ? QLineEdit::Password : QLineEdit::Normal);
        if (value) le->setStyleSheet(QStringLiteral("lineedit-password-character: %1").arg(value));
        return 0;
    }
    case ATTR_MIN_VALUE:
    case ATTR_MAX_VALUE:
    case ATTR_INCR_VALUE:
        return set_range_attr(c, attr, value);
    case ATTR_PRECISION:
        if (auto* ds = qobject_cast<QDoubleSpinBox*>(w)) {
            ui_flush_values();
            const QSignalBlocker block(w);
            ds->setDecimals(value);
            return 0;
        }
        if (c->kind == UI_KIND_SLIDER) {
            c->precision = value;
            return 0;
        }
        return UI_ERR_ATTR;
    case ATTR_ON_VALUE:
        c->on_value = value;
        return 0;
    case ATTR_OFF_VALUE:
        c->off_value = value;
        return 0;
    case ATTR_ON_COLOR:
    case ATTR_OFF_COLOR: {
        auto* led = qobject_cast<UiLed*>(w);
        if (!led) return UI_ERR_ATTR;
        if (attr == ATTR_ON_COLOR)
            led->setColors(value, led->offColor());
        else
            led->setColors(led->onColor(), value);
        return 0;
    }
    case ATTR_FIRST_VISIBLE_LINE: {
        auto* te = qobject_cast<QPlainTextEdit*>(w);
        if (!te) return UI_ERR_ATTR;
        te->verticalScrollBar()->setValue(value < 0 ? 0 : value);
        return 0;
    }
    case ATTR_NUM_ROWS:
    case ATTR_NUM_COLUMNS: {
        auto* tw = qobject_cast<QTableWidget*>(w);
        if (!tw || value < 0) return UI_ERR_ATTR;
        const QSignalBlocker block(w);
        if (attr == ATTR_NUM_ROWS)
            tw->setRowCount(value);
        else
            tw->setColumnCount(value);
        return 0;
    }
    case ATTR_ROW_LABELS_VISIBLE:
    case ATTR_COLUMN_LABELS_VISIBLE: {
        auto* tw = qobject_cast<QTableWidget*>(w);
        if (!tw) return UI_ERR_ATTR;
        (attr == ATTR_ROW_LABELS_VISIBLE ? tw->verticalHeader() : tw->horizontalHeader())
            ->setVisible(value != 0);
        return 0;
    }
    case ATTR_ENABLED: {
        auto* t = qobject_cast<UiTimer*>(w);
        if (!t) return UI_ERR_ATTR;
        t->setTimerEnabled(value != 0);
        return 0;
    }
    case ATTR_ENABLE_ZOOM_AND_PAN: {
        auto* g = qobject_cast<UiGraph*>(w);
        if (!g) return UI_ERR_ATTR;
        g->zoom_enabled = value != 0;
        return 0;
    }
    case ATTR_NUM_TRACES:
    case ATTR_POINTS_PER_SCREEN: {
        auto* s = qobject_cast<UiStripChart*>(w);
        if (!s || value < 1) return s ? UI_ERR_ARG : UI_ERR_ATTR;
        if (attr == ATTR_NUM_TRACES)
            s->setTraceCount(value > 64 ? 64 : value);
        else
            s->setPointsPerScreen(value);
        return 0;
    }
    case ATTR_PEN_COLOR:
    case ATTR_PEN_FILL_COLOR:
    case ATTR_PEN_WIDTH: {
        auto* cv = qobject_cast<UiCanvas*>(w);
        if (!cv) return UI_ERR_ATTR;
        if (attr == ATTR_PEN_COLOR)
            cv->pen_color = value;
        else if (attr == ATTR_PEN_FILL_COLOR)
            cv->fill_color = value;
        else
            cv->pen_width = value < 1 ? 1 : value;
        return 0;
    }
    case ATTR_INTERVAL:
    case ATTR_XAXIS_GAIN:
        return SetCtrlAttribute(panel, ctrl, attr, static_cast<double>(value));
    default:
        return UI_ERR_ATTR;
    }
}

int SetCtrlAttribute(int panel, int ctrl, int attr, double value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    switch (attr) {
    case ATTR_MIN_VALUE:
    case ATTR_MAX_VALUE:
    case ATTR_INCR_VALUE:
        return set_range_attr(c, attr, value);
    case ATTR_INTERVAL: {
        auto* t = qobject_cast<UiTimer*>(c->w);
        if (!t) return UI_ERR_ATTR;
        if (value <= 0.0) return UI_ERR_ARG;
        t->setInterval(value);
        return 0;
    }
    case ATTR_XAXIS_GAIN: {
        auto* g = qobject_cast<UiGraph*>(c->w);
        if (!g) return UI_ERR_ATTR;
        g->xgain = value;
        g->markDirty();
        return 0;
    }
    default:
        return SetCtrlAttribute(panel, ctrl, attr, static_cast<int>(std::lround(value)));
    }
}

int SetCtrlAttribute(int panel, int ctrl, int attr, const char* value) {
    ui_flush_values(); // texts written by the program come first
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    QString text = QString::fromUtf8(value);
    QWidget* w = c->w;
    auto* g = qobject_cast<UiGraph*>(w);
    auto* s = qobject_cast<UiStripChart*>(w);
    switch (attr) {
    case ATTR_LABEL_TEXT:
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->setText(text);
        else if (g)
            g->title = text, g->markDirty();
        else if (s)
            s->title = text, s->markDirty();
        else if (c->buddy)
            c->buddy->setText(text);
        else if (auto* l = qobject_cast<QLabel*>(w))
            l->setText(text);
        else
            w->setProperty("labelText", text);
        return 0;
    case ATTR_TEXT:
        if (auto* l = qobject_cast<QLabel*>(w))
            l->setText(text);
        else if (auto* le = line_edit_of(w))
            le->setText(text);
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->setText(text);
        else if (auto* te = qobject_cast<QPlainTextEdit*>(w))
            te->setPlainText(text);
        else
            return UI_ERR_ATTR;
        return 0;
    case ATTR_XNAME:
    case ATTR_YNAME:
        if (!g) return UI_ERR_ATTR;
        (attr == ATTR_XNAME ? g->xname : g->yname) = text;
        g->markDirty();
        return 0;
    default:
        return UI_ERR_ATTR;
    }
}

int GetCtrlAttribute(int panel, int ctrl, int attr, int* value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    QWidget* w = c->w;
    switch (attr) {
    case ATTR_DIMMED:
        *value = w->isEnabled() ? 0 : 1;
        return 0;
    // Visible means "set visible", so a control on a hidden panel still reports 1.
    case ATTR_VISIBLE:
        *value = w->isHidden() ? 0 : 1;
        return 0;
    case ATTR_LABEL_VISIBLE:
        if (!c->buddy) return UI_ERR_ATTR;
        *value = c->buddy->isHidden() ? 0 : 1;
        return 0;
    case ATTR_TOP:
        *value = w->y();
        return 0;
    case ATTR_LEFT:
        *value = w->x();
        return 0;
    case ATTR_WIDTH:
        *value = w->width();
        return 0;
    case ATTR_HEIGHT:
        *value = w->height();
        return 0;
    case ATTR_TEXT_COLOR:
        if (auto* g = qobject_cast<UiGraph*>(w))
            *value = g->text_color;
        else
            *value = ui_rgb(w->palette().color(QPalette::WindowText));
        return 0;
    case ATTR_TEXT_BGCOLOR:
        *value = ui_rgb(w->palette().color(QPalette::Base));
        return 0;
    case ATTR_BACKCOLOR:
        if (auto* g = qobject_cast<UiGraph*>(w))
            *value = g->bg_color;
        else if (auto* s = qobject_cast<UiStripChart*>(w))
            *value = s->bg_color;
        else if (auto* cv = qobject_cast<UiCanvas*>(w))
            *value = cv->bg_color;
        else
            *value = ui_rgb(w->palette().color(QPalette::Window));
        return 0;
    case ATTR_CMD_BUTTON_COLOR:
        *value = ui_rgb(w->palette().color(QPalette::Button));
        return 0;
    case ATTR_TEXT_BOLD:
        *value = w->font().bold() ? 1 : 0;
        return 0;
    case ATTR_TEXT_POINT_SIZE:
        *value = w->font().pointSize();
        return 0;
    case ATTR_CTRL_MODE:
        if (auto* sb = qobject_cast<QAbstractSpinBox*>(w))
            *value = sb->isReadOnly() ? UI_INDICATOR : UI_HOT;
        else if (auto* le = qobject_cast<QLineEdit*>(w))
            *value = le->isReadOnly() ? UI_INDICATOR : UI_HOT;
        else if (auto* te = qobject_cast<QPlainTextEdit*>(w))
            *value = te->isReadOnly() ? UI_INDICATOR : UI_HOT;
        else
            *value = w->testAttribute(Qt::WA_TransparentForMouseEvents) ? UI_INDICATOR : UI_HOT;
        return 0;
    case ATTR_DATA_TYPE:
        *value = c->data_type;
        return 0;
    case ATTR_MAX_ENTRY_LENGTH:
        if (QLineEdit* le = line_edit_of(w)) {
            *value = le->maxLength();
            return 0;
        }
        return UI_ERR_ATTR;
    case ATTR_MASK_CHARACTER:
        if (!qobject_cast<QLineEdit*>(w)) return UI_ERR_ATTR;
        *value = w->property("maskCharacter").toInt();
        return 0;
    case ATTR_PRECISION:
        *value = precision_of(c);
        return 0;
    case ATTR_ON_VALUE:
        *value = c->on_value;
        return 0;
    case ATTR_OFF_VALUE:
        *value = c->off_value;
        return 0;
    case ATTR_ON_COLOR:
    case ATTR_OFF_COLOR: {
        auto* led = qobject_cast<UiLed*>(w);
        if (!led) return UI_ERR_ATTR;
        *value = attr == ATTR_ON_COLOR ? led->onColor() : led->offColor();
        return 0;
    }
    case ATTR_FIRST_VISIBLE_LINE:
    case ATTR_VISIBLE_LINES: {
        auto* te = qobject_cast<QPlainTextEdit*>(w);
        if (!te) return UI_ERR_ATTR;
        if (attr == ATTR_FIRST_VISIBLE_LINE) {
            *value = te->verticalScrollBar()->value();
        } else {
            int line = te->fontMetrics().lineSpacing();
            *value = line > 0 ? te->viewport()->height() / line : 0;
        }
        return 0;
    }
    case ATTR_NUM_ROWS:
    case ATTR_NUM_COLUMNS: {
        auto* tw = qobject_cast<QTableWidget*>(w);
        if (!tw) return UI_ERR_ATTR;
        *value = attr == ATTR_NUM_ROWS ? tw->rowCount() : tw->columnCount();
        return 0;
    }
    case ATTR_ROW_LABELS_VISIBLE:
    case ATTR_COLUMN_LABELS_VISIBLE: {
        auto* tw = qobject_cast<QTableWidget*>(w);
        if (!tw) return UI_ERR_ATTR;
        *value = (attr == ATTR_ROW_LABELS_VISIBLE ? tw->verticalHeader() : tw->horizontalHeader())->isHidden()
                     ? 0
                     : 1;
        return 0;
    }
    case ATTR_ENABLED: {
        auto* t = qobject_cast<UiTimer*>(w);
        if (!t) return UI_ERR_ATTR;
        *value = t->timerEnabled() ? 1 : 0;
        return 0;
    }
    case ATTR_ENABLE_ZOOM_AND_PAN: {
        auto* g = qobject_cast<UiGraph*>(w);
        if (!g) return UI_ERR_ATTR;
        *value = g->zoom_enabled ? 1 : 0;
        return 0;
    }
    case ATTR_NUM_PLOTS: {
        auto* g = qobject_cast<UiGraph*>(w);
        if (!g) return UI_ERR_ATTR;
        *value = g->plotCount();
        return 0;
    }
    case ATTR_NUM_TRACES:
    case ATTR_POINTS_PER_SCREEN: {
        auto* s = qobject_cast<UiStripChart*>(w);
        if (!s) return UI_ERR_ATTR;
        *value = attr == ATTR_NUM_TRACES ? s->traceCount() : s->pointsPerScreen();
        return 0;
    }
    case ATTR_PEN_COLOR:
    case ATTR_PEN_FILL_COLOR:
    case ATTR_PEN_WIDTH: {
        auto* cv = qobject_cast<UiCanvas*>(w);
        if (!cv) return UI_ERR_ATTR;
        *value = attr == ATTR_PEN_COLOR        ? cv->pen_color
                 : attr == ATTR_PEN_FILL_COLOR ? cv->fill_color
                                               : cv->pen_width;
        return 0;
    }
    default:
        return UI_ERR_ATTR;
    }
}

int GetCtrlAttribute(int panel, int ctrl, int attr, double* value) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    switch (attr) {
    case ATTR_MIN_VALUE:
    case ATTR_MAX_VALUE:
    case ATTR_INCR_VALUE:
        return get_range_attr(c, attr, value);
    case ATTR_INTERVAL: {
        auto* t = qobject_cast<UiTimer*>(c->w);
        if (!t) return UI_ERR_ATTR;
        *value = t->interval();
        return 0;
    }
    case ATTR_XAXIS_GAIN: {
        auto* g = qobject_cast<UiGraph*>(c->w);
        if (!g) return UI_ERR_ATTR;
        *value = g->xgain;
        return 0;
    }
    default: {
        int i = 0;
        if ((rc = GetCtrlAttribute(panel, ctrl, attr, &i)) < 0) return rc;
        *value = i;
        return 0;
    }
    }
}

int GetCtrlAttribute(int panel, int ctrl, int attr, char* buf, int size) {
    ui_flush_values(); // texts written by the program come first
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    QWidget* w = c->w;
    auto* g = qobject_cast<UiGraph*>(w);
    switch (attr) {
    case ATTR_LABEL_TEXT:
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return ui_copy_string(b->text(), buf, size);
        if (g) return ui_copy_string(g->title, buf, size);
        if (auto* s = qobject_cast<UiStripChart*>(w)) return ui_copy_string(s->title, buf, size);
        if (c->buddy) return ui_copy_string(c->buddy->text(), buf, size);
        if (auto* l = qobject_cast<QLabel*>(w)) return ui_copy_string(l->text(), buf, size);
        return ui_copy_string(w->property("labelText").toString(), buf, size);
    case ATTR_TEXT:
        if (auto* l = qobject_cast<QLabel*>(w)) return ui_copy_string(l->text(), buf, size);
        if (auto* le = line_edit_of(w)) return ui_copy_string(le->text(), buf, size);
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return ui_copy_string(b->text(), buf, size);
        if (auto* te = qobject_cast<QPlainTextEdit*>(w)) return ui_copy_string(te->toPlainText(), buf, size);
        return UI_ERR_ATTR;
    case ATTR_XNAME:
    case ATTR_YNAME:
        if (!g) return UI_ERR_ATTR;
        return ui_copy_string(attr == ATTR_XNAME ? g->xname : g->yname, buf, size);
    case ATTR_CALLBACK_NAME:
        return ui_copy_string(QString::fromStdString(c->cb_name), buf, size);
    case ATTR_CONSTANT_NAME:
        return ui_copy_string(w->objectName(), buf, size);
    default:
        return UI_ERR_ATTR;
    }
}

// ---- tooltips and focus ------------------------------------------------------------------------

int SetCtrlToolTipAttribute(int panel, int ctrl, int attr, const char* text) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (attr != UI_TOOLTIP_TEXT) return UI_ERR_TOOLTIP_ATTR;
    QString t = text ? QString::fromUtf8(text) : QString();
    // Qt shows no tooltip for an empty text, which is how one is switched off.
    if (c->w->toolTip() != t) c->w->setToolTip(t);
    return 0;
}

int GetCtrlToolTipAttribute(int panel, int ctrl, char* buf, int size) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    return c ? ui_copy_string(c->w->toolTip(), buf, size) : rc;
}

int SetActiveCtrl(int panel, int ctrl) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    c->w->setFocus(Qt::OtherFocusReason);
    return 0;
}

int GetActiveCtrl(int panel) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    int owner_panel = 0, ctrl = 0;
    QWidget* f = p->w->focusWidget();
    if (!f || !ui_owner(f, &owner_panel, &ctrl) || owner_panel != panel) return 0;
    return ctrl;
}

int SetActivePanel(int panel) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    p->w->window()->activateWindow();
    p->w->setFocus(Qt::OtherFocusReason);
    return 0;
}
