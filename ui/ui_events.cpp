// Events: how Qt's events and signals become callbacks, the user-event queue
// that long loops read, waiting without spinning, and timers.
#include "ui/ui_internal.h"
#include "ui/ui_widgets.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <deque>

namespace {

const int queue_limit = 64;

struct UserEvent {
    int event;
    int panel;
    int ctrl;
};

// A key press posted by FakeKeystroke; it travels through the event queue like
// a real one, so it is served when the program next handles events.
class FakeKeyEvent : public QEvent {
  public:
    static QEvent::Type type_id() {
        static const int id = QEvent::registerEventType();
        return static_cast<QEvent::Type>(id);
    }
    FakeKeyEvent(int panel, int ctrl, int key) : QEvent(type_id()), panel(panel), ctrl(ctrl), key(key) {}
    int panel, ctrl, key;
};

// Qt hands an unaccepted mouse or key event on to the parent widget; both the
// child of a composite control and the control itself carry our filter, so the
// same user action would arrive twice. The last one handled is remembered.
struct SeenEvent {
    QEvent::Type type = QEvent::None;
    quint64 timestamp = 0;
    QPointF global;
    int key = 0;
    const void* object = nullptr;
};

class Hub : public QObject {
  public:
    bool eventFilter(QObject* obj, QEvent* e) override;
    void customEvent(QEvent* e) override;
    SeenEvent seen;
};

struct EventState {
    std::deque<UserEvent> queue;
    int dispatch_depth = 0; // callbacks on the stack
    bool quitting = false;
    int quit_code = 0;
    bool timers_suspended = false;
    Hub* hub = nullptr;
};

EventState& es() {
    static EventState s;
    return s;
}

Hub* hub() {
    if (!es().hub) es().hub = new Hub;
    return es().hub;
}

int key_code(QKeyEvent* k) {
    QString t = k->text();
    if (t.size() == 1 && t[0].isPrint()) return t[0].unicode();
    if (k->key() == Qt::Key_Space) return ' ';
    return k->key();
}

int modifier_bits(Qt::KeyboardModifiers m) {
    return ((m & Qt::ShiftModifier) ? UI_SHIFT_MOD : 0) | ((m & Qt::ControlModifier) ? UI_CTRL_MOD : 0) |
           ((m & Qt::AltModifier) ? UI_ALT_MOD : 0);
}

bool already_seen(const SeenEvent& now) {
    SeenEvent& last = hub()->seen;
    bool same = last.type == now.type && last.timestamp == now.timestamp && last.global == now.global &&
                last.key == now.key && (now.object == nullptr || last.object == now.object);
    last = now;
    return same;
}

// Mouse position relative to the panel's top widget.
QPoint panel_pos(int panel, QWidget* w, QPointF local) {
    UiPanel* p = ui_panel(panel);
    if (!p || !p->w) return local.toPoint();
    return w->mapTo(p->w, local.toPoint());
}

void push_event(int event, int panel, int ctrl) {
    auto& q = es().queue;
    if (static_cast<int>(q.size()) >= queue_limit) q.pop_front();
    q.push_back({event, panel, ctrl});
}

bool Hub::eventFilter(QObject* obj, QEvent* e) {
    QEvent::Type type = e->type();
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Close:
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::ContextMenu:
    case QEvent::ToolTip:
        break;
    default:
        return false;
    }
    auto* w = qobject_cast<QWidget*>(obj);
    int panel = 0, ctrl = 0;
    if (!w || !ui_owner(w, &panel, &ctrl)) return false;
    // The right button belongs to the callbacks (context help), never to menus.
    if (type == QEvent::ContextMenu) return true;
    if (type == QEvent::ToolTip) {
        // A dimmed control, or one on a dimmed panel, shows no tooltip.
        return !w->isEnabled();
    }
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        auto* m = static_cast<QMouseEvent*>(e);
        // A dimmed control, like Qt's disabled widget, takes no clicks.
        if (!w->isEnabled()) return false;
        if (already_seen({type, m->timestamp(), m->globalPosition(), static_cast<int>(m->button()), nullptr}))
            return false;
        // CTRL clicks on a zoomable graph are its zoom and pan gestures.
        if (auto* g = qobject_cast<UiGraph*>(w);
            g && g->zoom_enabled && (m->modifiers() & Qt::ControlModifier))
            return false;
        QPoint pos = panel_pos(panel, w, m->position());
        int event = 0;
        if (m->button() == Qt::LeftButton)
            event = type == QEvent::MouseButtonPress ? EVENT_LEFT_CLICK : EVENT_LEFT_DOUBLE_CLICK;
        else if (m->button() == Qt::RightButton)
            event = type == QEvent::MouseButtonPress ? EVENT_RIGHT_CLICK : EVENT_RIGHT_DOUBLE_CLICK;
        if (!event) return false;
        return ui_dispatch(panel, ctrl, event, pos.y(), pos.x()) != 0;
    }
    if (type == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (!w->isEnabled()) return false;
        if (already_seen({type, k->timestamp(), QPointF(), k->key(), e})) return false;
        return ui_dispatch(panel, ctrl, EVENT_KEYPRESS, key_code(k), modifier_bits(k->modifiers())) != 0;
    }
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        // Composite controls move focus among their parts; only the control counts.
        UiCtrl* c = ctrl ? ui_ctrl(panel, ctrl) : nullptr;
        if (!c || c->w != w) return false;
        ui_dispatch(panel, ctrl, type == QEvent::FocusIn ? EVENT_GOT_FOCUS : EVENT_LOST_FOCUS, 0, 0);
        return false;
    }
    // The rest are window events of a panel's own widget.
    UiPanel* p = ctrl == 0 ? ui_panel(panel) : nullptr;
    if (!p || p->w != w) return false;
    if (type == QEvent::Close) {
        // Closing is the program's decision: the callback is told, the window stays.
        e->ignore();
        ui_dispatch(panel, 0, EVENT_CLOSE, 0, 0);
        return true;
    }
    if (e->spontaneous() && w->isWindow())
        ui_dispatch(panel, 0, type == QEvent::Resize ? EVENT_PANEL_SIZE : EVENT_PANEL_MOVE, 0, 0);
    return false;
}

void Hub::customEvent(QEvent* e) {
    if (e->type() != FakeKeyEvent::type_id()) return;
    auto* k = static_cast<FakeKeyEvent*>(e);
    ui_dispatch(k->panel, k->ctrl, EVENT_KEYPRESS, k->key, 0);
}

// Value change and commit from one user action.
void changed_and_committed(int panel, int id) {
    ui_dispatch(panel, id, EVENT_VAL_CHANGED, 0, 0);
    ui_dispatch(panel, id, EVENT_COMMIT, 0, 0);
}

} // namespace

bool ui_timers_suspended() {
    return es().timers_suspended;
}

int ui_dispatch(int panel, int ctrl, int event, int data1, int data2) {
    // A callback reads what the program wrote, as the user saw it.
    ui_flush_values();
    ui_callback cb = nullptr;
    void* data = nullptr;
    if (ctrl == 0) {
        UiPanel* p = ui_panel(panel);
        if (!p) return 0;
        cb = p->cb;
        data = p->data;
    } else {
        UiCtrl* c = ui_ctrl(panel, ctrl);
        if (!c) return 0;
        cb = c->cb;
        data = c->data;
    }
    ++es().dispatch_depth;
    int result = cb ? cb(panel, ctrl, event, data, data1, data2) : 0;
    if (event == EVENT_COMMIT) push_event(EVENT_COMMIT, panel, ctrl);
    // Only a loop inside a callback reads the queue. Once the outermost callback has
    // returned nobody waits any more, and a button pressed now (or left over from a
    // loop that ended) must not stop the next transaction as a stale interrupt.
    if (--es().dispatch_depth == 0) es().queue.clear();
    return result;
}

void ui_watch(QWidget* w) {
    w->installEventFilter(hub());
    w->setContextMenuPolicy(Qt::PreventContextMenu);
}

// Signals from Qt come only from the user: the layer blocks them while the
// program sets values.
void ui_wire(int panel, UiCtrl* c) {
    QWidget* w = c->w;
    int id = c->id;
    if (auto* t = qobject_cast<UiTimer*>(w)) {
        t->on_tick = [panel, id]() {
            UiCtrl* tc = ui_ctrl(panel, id);
            if (!tc || es().timers_suspended || tc->in_tick) return;
            // A tick whose callback handles events must not nest into itself.
            tc->in_tick = true;
            ui_dispatch(panel, id, EVENT_TIMER_TICK, 0, 0);
            if (UiCtrl* again = ui_ctrl(panel, id)) again->in_tick = false;
        };
    } else if (auto* g = qobject_cast<UiGraph*>(w)) {
        // The callback must know which cursor moved: the others keep what they show.
        g->on_cursor_event = [panel, id](int event, int cursor) { ui_dispatch(panel, id, event, cursor, 0); };
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        QObject::connect(b, &QAbstractButton::clicked, w, [panel, id, b]() {
            if (b->isCheckable()) ui_dispatch(panel, id, EVENT_VAL_CHANGED, 0, 0);
            ui_dispatch(panel, id, EVENT_COMMIT, 0, 0);
        });
    } else if (auto* ds = qobject_cast<QDoubleSpinBox*>(w)) {
        // Typing commits when finished (Enter or leaving); arrows commit per step.
        ds->setKeyboardTracking(false);
        QObject::connect(ds, &QDoubleSpinBox::valueChanged, w, [panel, id]() {
            ui_drop_pending(panel, id);
            changed_and_committed(panel, id);
        });
    } else if (auto* is = qobject_cast<QSpinBox*>(w)) {
        is->setKeyboardTracking(false);
        QObject::connect(is, &QSpinBox::valueChanged, w, [panel, id]() { changed_and_committed(panel, id); });
    } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
        QObject::connect(cb, &QComboBox::activated, w, [panel, id]() { changed_and_committed(panel, id); });
        if (QLineEdit* le = cb->lineEdit()) {
            QObject::connect(le, &QLineEdit::textEdited, w,
                             [panel, id]() { ui_dispatch(panel, id, EVENT_VAL_CHANGED, 0, 0); });
            QObject::connect(le, &QLineEdit::editingFinished, w, [panel, id, le]() {
                if (!le->isModified()) return;
                le->setModified(false);
                ui_dispatch(panel, id, EVENT_COMMIT, 0, 0);
            });
        }
    } else if (auto* le = qobject_cast<QLineEdit*>(w)) {
        // What the user typed replaces a program write not yet shown.
        QObject::connect(le, &QLineEdit::textEdited, w, [panel, id]() {
            ui_drop_pending(panel, id);
            ui_dispatch(panel, id, EVENT_VAL_CHANGED, 0, 0);
        });
        QObject::connect(le, &QLineEdit::editingFinished, w, [panel, id, le]() {
            if (!le->isModified()) return;
            le->setModified(false);
            ui_dispatch(panel, id, EVENT_COMMIT, 0, 0);
        });
    } else if (auto* te = qobject_cast<QPlainTextEdit*>(w)) {
        QObject::connect(te, &QPlainTextEdit::textChanged, w,
                         [panel, id]() { ui_dispatch(panel, id, EVENT_VAL_CHANGED, 0, 0); });
    } else if (auto* sl = qobject_cast<QAbstractSlider*>(w)) {
        QObject::connect(sl, &QAbstractSlider::valueChanged, w, [panel, id, sl]() {
            ui_dispatch(panel, id, EVENT_VAL_CHANGED, 0, 0);
            if (!sl->isSliderDown()) ui_dispatch(panel, id, EVENT_COMMIT, 0, 0);
        });
        QObject::connect(sl, &QAbstractSlider::sliderReleased, w,
                         [panel, id]() { ui_dispatch(panel, id, EVENT_COMMIT, 0, 0); });
    } else if (auto* lw = qobject_cast<QListWidget*>(w)) {
        QObject::connect(lw, &QListWidget::currentRowChanged, w,
                         [panel, id]() { changed_and_committed(panel, id); });
    } else if (auto* tw = qobject_cast<QTableWidget*>(w)) {
        QObject::connect(tw, &QTableWidget::cellChanged, w, [panel, id](int row, int col) {
            ui_dispatch(panel, id, EVENT_COMMIT, row + 1, col + 1);
        });
    }
}

// ---- loop and processing -----------------------------------------------------------------

int RunUserInterface() {
    if (!QApplication::instance()) return UI_ERR_NO_APP;
    es().quitting = false;
    QApplication::exec();
    // Loops that gave up because of the quit are over; later waits wait again.
    es().quitting = false;
    return es().quit_code;
}

int QuitUserInterface(int code) {
    es().quitting = true;
    es().quit_code = code;
    QCoreApplication::exit(code);
    return 0;
}

int UserInterfaceQuitting() {
    return es().quitting ? 1 : 0;
}

int ProcessSystemEvents() {
    if (!QCoreApplication::instance()) return UI_ERR_NO_APP;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return 0;
}

int ProcessDrawEvents() {
    if (!QCoreApplication::instance()) return UI_ERR_NO_APP;
    ui_flush_values();
    UiCoalescedWidget::flushOverdue();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    return 0;
}

int WaitForActivity(double max_seconds) {
    if (!QCoreApplication::instance()) return UI_ERR_NO_APP;
    if (max_seconds < 0.0) max_seconds = 0.0;
    // The deadline timer is itself an event, so the wait ends at the latest then.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(static_cast<int>(max_seconds * 1000.0 + 0.5));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return 0;
}

int Delay(double seconds) {
    double end = Timer() + seconds;
    if (!QCoreApplication::instance()) {
        while (Timer() < end) WaitForActivity(0.0);
        return 0;
    }
    for (double left = seconds; left > 0.0; left = end - Timer()) WaitForActivity(left);
    return 0;
}

// ---- user-event queue -------------------------------------------------------------------------

int QueueUserEvent(int event, int panel, int ctrl) {
    if (event <= 0) return UI_ERR_ARG;
    push_event(event, panel, ctrl);
    return 0;
}

int TakeUserEvent(int* panel, int* ctrl) {
    auto& q = es().queue;
    if (q.empty()) return 0;
    UserEvent ev = q.front();
    q.pop_front();
    if (panel) *panel = ev.panel;
    if (ctrl) *ctrl = ev.ctrl;
    return ev.event;
}

int GetUserEvent(int wait, int* panel, int* ctrl) {
    if (!QCoreApplication::instance()) return UI_ERR_NO_APP;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (const int ev = TakeUserEvent(panel, ctrl)) return ev;
        if (!wait || es().quitting) return 0;
        WaitForActivity(0.5);
    }
}

int FlushUserEvents() {
    es().queue.clear();
    return 0;
}

int FakeKeystroke(int panel, int ctrl, int key) {
    int rc = 0;
    if (ctrl ? !ui_ctrl(panel, ctrl, &rc) : !ui_panel(panel, &rc)) return rc;
    QCoreApplication::postEvent(hub(), new FakeKeyEvent(panel, ctrl, key));
    return 0;
}

int SimulateCtrlEvent(int panel, int ctrl, int event, int data1, int data2) {
    int rc = 0;
    if (ctrl ? !ui_ctrl(panel, ctrl, &rc) : !ui_panel(panel, &rc)) return rc;
    return ui_dispatch(panel, ctrl, event, data1, data2);
}

// ---- timers ---------------------------------------------------------------------------------------

int ResetTimer(int panel, int ctrl) {
    if (panel != 0 && ctrl != 0) {
        int rc = 0;
        UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
        if (!c) return rc;
        auto* t = qobject_cast<UiTimer*>(c->w);
        if (!t) return UI_ERR_ATTR;
        t->restart();
        return 0;
    }
    int handles[256];
    int n = EnumPanels(handles, 256);
    for (int i = 0; i < n && i < 256; i++) {
        if (panel != 0 && handles[i] != panel) continue;
        int ids[1024];
        int m = EnumCtrls(handles[i], ids, 1024);
        for (int j = 0; j < m && j < 1024; j++) {
            UiCtrl* c = ui_ctrl(handles[i], ids[j]);
            if (auto* t = c ? qobject_cast<UiTimer*>(c->w) : nullptr) t->restart();
        }
    }
    return 0;
}

int SuspendTimerCallbacks() {
    es().timers_suspended = true;
    return 0;
}

int ResumeTimerCallbacks() {
    es().timers_suspended = false;
    return 0;
}
