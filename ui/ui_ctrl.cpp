// Control values, tooltips and the active control.
#include "ui/ui_internal.h"
#include "ui/ui_widgets.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSpinBox>
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
        static_cast<QAbstractSlider*>(w)->setValue(static_cast<int>(std::lround(d * ui_slider_scale(c))));
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
            *out = static_cast<QAbstractSlider*>(w)->value() / ui_slider_scale(c);
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

// A control's value as a number, for the integer and the floating getters: 0,
// or the error (no such control, no place for the value, not a number).
int get_number(int panel, int ctrl, bool has_out, double* d) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!has_out) return UI_ERR_ARG;
    QVariant v;
    if ((rc = get_value(c, &v)) < 0) return rc;
    bool ok = true;
    *d = as_double(v, &ok);
    return ok ? 0 : UI_ERR_TYPE;
}

} // namespace

double ui_slider_scale(const UiCtrl* c) {
    return std::pow(10.0, c->precision);
}

int ui_precision_of(UiCtrl* c) {
    if (auto* ds = qobject_cast<QDoubleSpinBox*>(c->w)) return ds->decimals();
    return c->precision;
}

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
    double d = 0;
    const int rc = get_number(panel, ctrl, value != nullptr, &d);
    if (rc) return rc;
    *value = static_cast<int>(std::lround(d));
    return 0;
}

int GetCtrlValDouble(int panel, int ctrl, double* value) {
    double d = 0;
    const int rc = get_number(panel, ctrl, value != nullptr, &d);
    if (rc) return rc;
    *value = d;
    return 0;
}

int GetCtrlValString(int panel, int ctrl, char* buf, int size) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    QVariant v;
    if ((rc = get_value(c, &v)) < 0) return rc;
    return ui_copy_string(as_text(v, ui_precision_of(c)), buf, size);
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
