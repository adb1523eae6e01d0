// Panel table, layout loading and the panel operations.
#include "ui/ui_internal.h"
#include "ui/ui_widgets.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFrame>
#include <QHash>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QUiLoader>

#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>

namespace {

struct PanelResource {
    std::string path;
    std::string name;
    std::vector<std::pair<int, std::string>> controls; // id, objectName
};

struct State {
    std::map<int, PanelResource> resources;
    std::unordered_map<std::string, ui_callback> callbacks;
    std::vector<std::unique_ptr<UiPanel>> panels; // index = handle - 1; discarded panels leave null
    QHash<QWidget*, QPair<int, int>> owners;      // widget -> (panel, ctrl); ctrl 0 for a panel
    std::unique_ptr<QApplication> own_app;
    int argc = 1;
    char arg0[8] = "zazed";
    char* argv[2] = {arg0, nullptr};
};

State& st() {
    static State s;
    return s;
}

// Creates the layer's own widget classes by name; everything else is Qt's.
class Loader : public QUiLoader {
  public:
    QWidget* createWidget(const QString& cls, QWidget* parent, const QString& name) override {
        QWidget* w = nullptr;
        if (cls == QLatin1String("UiLed"))
            w = new UiLed(parent);
        else if (cls == QLatin1String("UiGraph"))
            w = new UiGraph(parent);
        else if (cls == QLatin1String("UiStripChart"))
            w = new UiStripChart(parent);
        else if (cls == QLatin1String("UiCanvas"))
            w = new UiCanvas(parent);
        else if (cls == QLatin1String("UiTimer"))
            w = new UiTimer(parent);
        else if (cls == QLatin1String("QProgressBar"))
            w = new UiProgressBar(parent);
        if (!w) return QUiLoader::createWidget(cls, parent, name);
        w->setObjectName(name);
        return w;
    }
};

QString resource_path(const std::string& path) {
    QString p = QString::fromStdString(path);
    if (p.startsWith(':') || p.startsWith('/')) return p;
    return QStringLiteral(":/userif/") + p;
}

double prop_double(QWidget* w, const char* name, double fallback) {
    QVariant v = w->property(name);
    bool ok = false;
    double d = v.toDouble(&ok);
    return v.isValid() && ok ? d : fallback;
}

// A ring whose items carry values other than their index lists them in the
// layout as the string list "itemValues"; the values are integers when every
// one reads as an integer, numbers when every one reads as a number, else texts.
void apply_item_values(UiCtrl* c, QComboBox* cb) {
    QStringList values = cb->property("itemValues").toStringList();
    if (values.isEmpty()) return;
    bool ints = true, numbers = true;
    for (const QString& v : values) {
        bool ok = false;
        v.trimmed().toInt(&ok);
        ints = ints && ok;
        v.trimmed().toDouble(&ok);
        numbers = numbers && ok;
    }
    c->data_type = ints ? UI_INTEGER : numbers ? UI_DOUBLE : UI_STRING;
    for (int i = 0; i < cb->count() && i < values.size(); i++) {
        const QString v = values[i].trimmed();
        cb->setItemData(i, ints      ? QVariant(v.toInt())
                           : numbers ? QVariant(v.toDouble())
                                     : QVariant(values[i]));
    }
}

// Reads the dynamic properties the layout sets on the layer's widgets.
void configure_from_properties(UiCtrl* c) {
    QWidget* w = c->w;
    if (auto* led = qobject_cast<UiLed*>(w)) {
        QVariant on = w->property("onColor");
        if (on.isValid()) led->setColors(ui_rgb(on.value<QColor>()), led->offColor());
    } else if (auto* g = qobject_cast<UiGraph*>(w)) {
        QVariant x0 = w->property("xMin"), x1 = w->property("xMax");
        if (x0.isValid() && x1.isValid()) g->setAxis(UI_XAXIS, UI_MANUAL, x0.toDouble(), x1.toDouble());
        QVariant y0 = w->property("yMin"), y1 = w->property("yMax");
        if (y0.isValid() && y1.isValid()) g->setAxis(UI_LEFT_YAXIS, UI_MANUAL, y0.toDouble(), y1.toDouble());
        g->xname = w->property("xLabel").toString();
        g->yname = w->property("yLabel").toString();
        QVariant bg = w->property("bgColor");
        if (bg.isValid()) g->bg_color = ui_rgb(bg.value<QColor>());
    } else if (auto* s = qobject_cast<UiStripChart*>(w)) {
        s->setTraceCount(w->property("traces").isValid() ? w->property("traces").toInt() : 1);
        if (w->property("pointsPerScreen").isValid())
            s->setPointsPerScreen(w->property("pointsPerScreen").toInt());
        s->y.mode = UI_MANUAL;
        s->y.min = prop_double(w, "yMin", 0.0);
        s->y.max = prop_double(w, "yMax", 100.0);
        QVariant bg = w->property("bgColor");
        if (bg.isValid()) s->bg_color = ui_rgb(bg.value<QColor>());
    } else if (auto* t = qobject_cast<UiTimer*>(w)) {
        t->setInterval(prop_double(w, "interval", 1.0));
        // "enabled" is also QWidget's own property; the timer reads it and keeps
        // the (invisible) widget itself enabled.
        t->setTimerEnabled(w->property("enabled").toBool());
        w->setEnabled(true);
    } else if (qobject_cast<QAbstractSlider*>(w)) {
        c->precision = w->property("precision").toInt();
    } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
        apply_item_values(c, cb);
    }
    if (w->property("onValue").isValid()) c->on_value = w->property("onValue").toInt();
    if (w->property("offValue").isValid()) c->off_value = w->property("offValue").toInt();
}

void bind_callback_property(QWidget* w, std::string* name, ui_callback* cb) {
    QVariant v = w->property("callback");
    if (!v.isValid()) return;
    *name = v.toString().toStdString();
    *cb = ui_callback_by_name(*name);
}

void forget_tree(QWidget* w) {
    st().owners.remove(w);
    for (QWidget* child : w->findChildren<QWidget*>()) st().owners.remove(child);
}

} // namespace

// ---- shared helpers ---------------------------------------------------------------

UiPanel* ui_panel(int panel, int* rc) {
    State& s = st();
    if (panel < 1 || panel > static_cast<int>(s.panels.size()) || !s.panels[panel - 1] ||
        !s.panels[panel - 1]->w) {
        if (rc) *rc = UI_ERR_PANEL;
        return nullptr;
    }
    return s.panels[panel - 1].get();
}

UiCtrl* ui_ctrl(int panel, int ctrl, int* rc) {
    UiPanel* p = ui_panel(panel, rc);
    if (!p) return nullptr;
    if (ctrl < 1 || ctrl >= static_cast<int>(p->ctrls.size()) || !p->ctrls[ctrl] || !p->ctrls[ctrl]->w) {
        if (rc) *rc = UI_ERR_CTRL;
        return nullptr;
    }
    return p->ctrls[ctrl].get();
}

bool ui_owner(QWidget* w, int* panel, int* ctrl) {
    const auto& owners = st().owners;
    for (; w; w = w->parentWidget()) {
        auto it = owners.constFind(w);
        if (it != owners.constEnd()) {
            *panel = it->first;
            *ctrl = it->second;
            return true;
        }
    }
    return false;
}

void ui_forget_widget(QWidget* w) {
    st().owners.remove(w);
}

int ui_kind_of(QWidget* w) {
    if (qobject_cast<UiLed*>(w)) return UI_KIND_LED;
    if (qobject_cast<UiGraph*>(w)) return UI_KIND_GRAPH;
    if (qobject_cast<UiStripChart*>(w)) return UI_KIND_STRIP_CHART;
    if (qobject_cast<UiCanvas*>(w)) return UI_KIND_CANVAS;
    if (qobject_cast<UiTimer*>(w)) return UI_KIND_TIMER;
    if (auto* b = qobject_cast<QPushButton*>(w))
        return b->isCheckable() ? UI_KIND_TOGGLE_BUTTON : UI_KIND_COMMAND_BUTTON;
    if (qobject_cast<QCheckBox*>(w)) return UI_KIND_SWITCH;
    if (qobject_cast<QAbstractButton*>(w)) return UI_KIND_COMMAND_BUTTON;
    if (qobject_cast<QAbstractSpinBox*>(w)) return UI_KIND_NUMERIC;
    if (auto* cb = qobject_cast<QComboBox*>(w)) return cb->isEditable() ? UI_KIND_COMBO_TEXT : UI_KIND_RING;
    if (qobject_cast<QLineEdit*>(w)) return UI_KIND_STRING;
    if (qobject_cast<QPlainTextEdit*>(w)) return UI_KIND_TEXT_BOX;
    if (qobject_cast<QLabel*>(w)) return UI_KIND_TEXT_MSG;
    if (qobject_cast<QAbstractSlider*>(w)) return UI_KIND_SLIDER;
    if (qobject_cast<QProgressBar*>(w)) return UI_KIND_PROGRESS;
    if (qobject_cast<QTableWidget*>(w)) return UI_KIND_TABLE;
    if (qobject_cast<QListWidget*>(w)) return UI_KIND_LIST_BOX;
    if (qobject_cast<QFrame*>(w)) return UI_KIND_DECORATION;
    return UI_KIND_NONE;
}

ui_callback ui_callback_by_name(const std::string& name) {
    auto it = st().callbacks.find(name);
    return it == st().callbacks.end() ? nullptr : it->second;
}

UiCtrl* ui_add_ctrl(UiPanel* p, int id, QWidget* w) {
    if (id >= static_cast<int>(p->ctrls.size())) p->ctrls.resize(static_cast<size_t>(id) + 1);
    auto c = std::make_unique<UiCtrl>();
    c->id = id;
    c->w = w;
    c->kind = ui_kind_of(w);
    configure_from_properties(c.get());
    bind_callback_property(w, &c->cb_name, &c->cb);
    UiCtrl* raw = c.get();
    p->ctrls[static_cast<size_t>(id)] = std::move(c);
    p->order.push_back(id);
    st().owners.insert(w, qMakePair(p->handle, id));
    ui_wire(p->handle, raw);
    return raw;
}

QString ui_format_double(double v, int precision) {
    if (precision < 0) return QString::number(v, 'g', 15);
    return QString::number(v, 'f', precision);
}

bool ui_parse_double(const QString& s, double* v) {
    bool ok = false;
    double d = s.trimmed().toDouble(&ok);
    if (ok) *v = d;
    return ok;
}

int ui_copy_string(const QString& s, char* buf, int size) {
    if (!buf || size < 1) return UI_ERR_ARG;
    QByteArray b = s.toUtf8();
    int n = std::min(static_cast<int>(b.size()), size - 1);
    memcpy(buf, b.constData(), static_cast<size_t>(n));
    buf[n] = 0;
    return 0;
}

QColor ui_qcolor(int rgb) {
    if (rgb & UI_TRANSPARENT) return QColor(Qt::transparent);
    return QColor((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255);
}

int ui_rgb(const QColor& c) {
    if (c.alpha() == 0) return UI_TRANSPARENT;
    return (c.red() << 16) | (c.green() << 8) | c.blue();
}

const char* UiErrorText(int code) {
    switch (code) {
    case UI_OK:
        return "Success.";
    case UI_ERR_NO_APP:
        return "The user interface is not initialised.";
    case UI_ERR_PANEL:
        return "Invalid panel handle.";
    case UI_ERR_CTRL:
        return "Invalid control id.";
    case UI_ERR_RESOURCE:
        return "Panel resource not found or not loadable.";
    case UI_ERR_ATTR:
        return "Attribute does not apply to this control.";
    case UI_ERR_TYPE:
        return "Value type does not fit the control.";
    case UI_ERR_INDEX:
        return "Index out of range.";
    case UI_ERR_NOT_FOUND:
        return "Item or name not found.";
    case UI_ERR_PLOT:
        return "Invalid plot handle.";
    case UI_ERR_ARG:
        return "Invalid argument.";
    case UI_ERR_LONG_PATH:
        return "The path is too long.";
    case UI_ERR_MEMORY:
        return "Out of memory.";
    case UI_ERR_TOOLTIP_ATTR:
        return "Invalid tooltip attribute.";
    default:
        return "Unknown user-interface error.";
    }
}

// ---- start -------------------------------------------------------------------------------

int InitUserInterface(int* argc, char** argv) {
    if (QApplication::instance()) return 0;
    State& s = st();
    if (argc && argv)
        s.own_app = std::make_unique<QApplication>(*argc, argv);
    else
        s.own_app = std::make_unique<QApplication>(s.argc, s.argv);
    return QApplication::instance() ? 0 : UI_ERR_NO_APP;
}

int CloseUserInterface() {
    st().own_app.reset();
    return 0;
}

// ---- tables ---------------------------------------------------------------------------------

int RegisterPanelResource(int resource, const char* ui_path, const char* panel_name) {
    if (!ui_path || !panel_name) return UI_ERR_ARG;
    PanelResource& r = st().resources[resource];
    r.path = ui_path;
    r.name = panel_name;
    return 0;
}

int RegisterControlName(int resource, int control_id, const char* object_name) {
    if (!object_name || control_id < 1) return UI_ERR_ARG;
    auto& list = st().resources[resource].controls;
    for (auto& entry : list) {
        if (entry.first == control_id) {
            entry.second = object_name;
            return 0;
        }
    }
    list.emplace_back(control_id, object_name);
    return 0;
}

int RegisterCallbackName(const char* name, ui_callback function) {
    if (!name) return UI_ERR_ARG;
    st().callbacks[name] = function;
    return 0;
}

// ---- panels -----------------------------------------------------------------------------------

int LoadPanel(int parent, const char* file, int resource) {
    (void)file;
    if (!QApplication::instance()) return UI_ERR_NO_APP;
    State& s = st();
    UiPanel* parent_panel = nullptr;
    if (parent != 0) {
        int rc = 0;
        parent_panel = ui_panel(parent, &rc);
        if (!parent_panel) return rc;
    }
    auto rit = s.resources.find(resource);
    if (rit == s.resources.end()) return UI_ERR_RESOURCE;
    QFile f(resource_path(rit->second.path));
    if (!f.open(QIODevice::ReadOnly)) return UI_ERR_RESOURCE;
    ui_use_layer_style();
    Loader loader;
    QWidget* w = loader.load(&f, parent_panel ? parent_panel->w.data() : nullptr);
    if (!w) return UI_ERR_RESOURCE;
    if (parent_panel) {
        w->setWindowFlags(Qt::Widget);
        w->setAutoFillBackground(true);
    }
    w->hide();

    auto p = std::make_unique<UiPanel>();
    p->handle = static_cast<int>(s.panels.size()) + 1;
    p->resource = resource;
    p->parent = parent;
    p->name = rit->second.name;
    p->w = w;
    p->ctrls.resize(1);
    UiPanel* raw = p.get();
    s.panels.push_back(std::move(p));
    s.owners.insert(w, qMakePair(raw->handle, 0));
    bind_callback_property(w, &raw->cb_name, &raw->cb);

    for (const auto& entry : rit->second.controls) {
        QWidget* cw = w->findChild<QWidget*>(QString::fromStdString(entry.second));
        // A control of a nested panel belongs to that panel, not to this one.
        if (!cw || cw == w) continue;
        UiCtrl* c = ui_add_ctrl(raw, entry.first, cw);
        for (QLabel* label : w->findChildren<QLabel*>())
            if (label->buddy() == cw) c->buddy = label;
    }
    ui_watch(w);
    for (QWidget* child : w->findChildren<QWidget*>()) ui_watch(child);
    return raw->handle;
}

int DiscardPanel(int panel) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    ui_dispatch(panel, 0, EVENT_DISCARD, 0, 0);
    State& s = st();
    // Child panels go with their parent's widget, so their records go too.
    for (auto& other : s.panels)
        if (other && other->parent == panel) DiscardPanel(other->handle);
    QWidget* w = p->w;
    if (w) {
        forget_tree(w);
        w->hide();
        w->deleteLater();
    }
    s.panels[static_cast<size_t>(panel - 1)].reset();
    return 0;
}

int DisplayPanel(int panel) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    p->w->show();
    // The offscreen platform used by tests and scripts cannot raise windows.
    if (!p->w->isWindow() || QGuiApplication::platformName() != QLatin1String("offscreen")) p->w->raise();
    return 0;
}

int HidePanel(int panel) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    p->w->hide();
    return 0;
}

int SetPanelPos(int panel, int top, int left) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    p->w->move(left, top);
    return 0;
}

int SetPanelSize(int panel, int height, int width) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    if (height < 0 || width < 0) return UI_ERR_ARG;
    p->w->resize(width, height);
    return 0;
}

bool ui_set_geometry_attr(QWidget* w, int attr, int value) {
    switch (attr) {
    case ATTR_TOP:
        w->move(w->x(), value);
        return true;
    case ATTR_LEFT:
        w->move(value, w->y());
        return true;
    case ATTR_WIDTH:
        w->resize(value, w->height());
        return true;
    case ATTR_HEIGHT:
        w->resize(w->width(), value);
        return true;
    default:
        return false;
    }
}

int SetPanelAttribute(int panel, int attr, int value) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    QWidget* w = p->w;
    if (ui_set_geometry_attr(w, attr, value)) return 0;
    switch (attr) {
    case ATTR_DIMMED:
        w->setEnabled(value == 0);
        return 0;
    case ATTR_VISIBLE:
        w->setVisible(value != 0);
        return 0;
    case ATTR_BACKCOLOR: {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, ui_qcolor(value));
        w->setPalette(pal);
        w->setAutoFillBackground(true);
        return 0;
    }
    case ATTR_WINDOW_ZOOM: {
        Qt::WindowStates ws = w->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
        if (value == UI_MAXIMIZE) ws |= Qt::WindowMaximized;
        if (value == UI_MINIMIZE) ws |= Qt::WindowMinimized;
        w->setWindowState(ws);
        return 0;
    }
    default:
        return UI_ERR_ATTR;
    }
}

int SetPanelAttribute(int panel, int attr, const char* value) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    if (!value) return UI_ERR_ARG;
    switch (attr) {
    case ATTR_TITLE:
        p->w->setWindowTitle(QString::fromUtf8(value));
        return 0;
    case ATTR_PANEL_NAME:
        p->name = value;
        return 0;
    default:
        return UI_ERR_ATTR;
    }
}

int GetPanelAttribute(int panel, int attr, int* value) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    if (!value) return UI_ERR_ARG;
    QWidget* w = p->w;
    // Position is where SetPanelPos put it (the frame of a window), size the
    // inside. A maximised window reports the geometry it returns to, which is
    // what the settings file keeps beside the maximised flag.
    QRect g(w->pos(), w->size());
    if (w->isWindow() && (w->windowState() & Qt::WindowMaximized) && w->normalGeometry().isValid())
        g = QRect(w->normalGeometry().topLeft() + (w->pos() - w->geometry().topLeft()),
                  w->normalGeometry().size());
    switch (attr) {
    case ATTR_DIMMED:
        *value = w->isEnabled() ? 0 : 1;
        return 0;
    case ATTR_VISIBLE:
        *value = w->isVisible() ? 1 : 0;
        return 0;
    case ATTR_TOP:
        *value = g.y();
        return 0;
    case ATTR_LEFT:
        *value = g.x();
        return 0;
    case ATTR_WIDTH:
        *value = g.width();
        return 0;
    case ATTR_HEIGHT:
        *value = g.height();
        return 0;
    case ATTR_BACKCOLOR:
        *value = ui_rgb(w->palette().color(QPalette::Window));
        return 0;
    case ATTR_WINDOW_ZOOM:
        *value = (w->windowState() & Qt::WindowMaximized)   ? UI_MAXIMIZE
                 : (w->windowState() & Qt::WindowMinimized) ? UI_MINIMIZE
                                                            : UI_NO_ZOOM;
        return 0;
    case ATTR_RESOURCE:
        *value = p->resource;
        return 0;
    case ATTR_PANEL_PARENT:
        *value = p->parent;
        return 0;
    default:
        return UI_ERR_ATTR;
    }
}

int GetPanelAttribute(int panel, int attr, char* buf, int size) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    switch (attr) {
    case ATTR_TITLE:
        return ui_copy_string(p->w->windowTitle(), buf, size);
    case ATTR_PANEL_NAME:
        return ui_copy_string(QString::fromStdString(p->name), buf, size);
    case ATTR_CALLBACK_NAME:
        return ui_copy_string(QString::fromStdString(p->cb_name), buf, size);
    default:
        return UI_ERR_ATTR;
    }
}

int InstallPanelCallback(int panel, ui_callback function, void* callback_data) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    p->cb = function;
    p->data = callback_data;
    return 0;
}

int GetPanelHandleByName(const char* name) {
    if (!name) return UI_ERR_ARG;
    for (auto& p : st().panels)
        if (p && p->w && p->name == name) return p->handle;
    return UI_ERR_NOT_FOUND;
}

int EnumPanels(int* handles, int max) {
    int n = 0;
    for (auto& p : st().panels) {
        if (!p || !p->w) continue;
        if (handles && n < max) handles[n] = p->handle;
        n++;
    }
    return n;
}

int SavePanelImage(int panel, const char* png_path) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    if (!png_path) return UI_ERR_ARG;
    ui_flush_values();
    return p->w->grab().save(QString::fromUtf8(png_path), "PNG") ? 0 : UI_ERR_ARG;
}

// ---- controls -------------------------------------------------------------------------------------

int InstallCtrlCallback(int panel, int ctrl, ui_callback function, void* callback_data) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    c->cb = function;
    c->data = callback_data;
    return 0;
}

int GetCtrlKind(int panel, int ctrl) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    return c ? c->kind : rc;
}

int GetCtrlIdByName(int panel, const char* object_name) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    if (!object_name) return UI_ERR_ARG;
    QString name = QString::fromUtf8(object_name);
    for (int id : p->order) {
        UiCtrl* c = p->ctrls[static_cast<size_t>(id)].get();
        if (c && c->w && c->w->objectName() == name) return id;
    }
    return UI_ERR_NOT_FOUND;
}

int EnumCtrls(int panel, int* ids, int max) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    int n = 0;
    for (int id : p->order) {
        if (!p->ctrls[static_cast<size_t>(id)] || !p->ctrls[static_cast<size_t>(id)]->w) continue;
        if (ids && n < max) ids[n] = id;
        n++;
    }
    return n;
}

int NewCtrl(int panel, int kind, const char* label, int top, int left) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    QString text = label ? QString::fromUtf8(label) : QString();
    QWidget* w = nullptr;
    switch (kind) {
    case UI_KIND_TEXT_MSG:
        w = new QLabel(text, p->w);
        break;
    case UI_KIND_STRING:
        w = new QLineEdit(text, p->w);
        break;
    case UI_KIND_NUMERIC:
        w = new QDoubleSpinBox(p->w);
        break;
    case UI_KIND_COMMAND_BUTTON:
        w = new QPushButton(text, p->w);
        break;
    case UI_KIND_DECORATION:
        w = new QFrame(p->w);
        break;
    case UI_KIND_CANVAS:
        w = new UiCanvas(p->w);
        break;
    default:
        return UI_ERR_ARG;
    }
    w->move(left, top);
    w->adjustSize();
    w->show();
    int id = static_cast<int>(p->ctrls.size());
    UiCtrl* c = ui_add_ctrl(p, id, w);
    ui_watch(w);
    for (QWidget* child : w->findChildren<QWidget*>()) ui_watch(child);
    return c->id;
}

int DiscardCtrl(int panel, int ctrl) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    QWidget* w = c->w;
    forget_tree(w);
    w->hide();
    w->deleteLater();
    UiPanel* p = ui_panel(panel);
    p->ctrls[static_cast<size_t>(ctrl)].reset();
    return 0;
}
