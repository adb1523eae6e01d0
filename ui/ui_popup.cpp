// Popups. Every popup goes through one replaceable handler so that tests and
// scripts can answer them; the default handler shows Qt dialogs.
#include "ui/ui_internal.h"
#include "ui/ui_widgets.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QVBoxLayout>

#include <cstring>
#include <vector>

namespace {

std::vector<int> popup_stack;

QString qs(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

void show_xy_graph(const ui_popup_request* r) {
    std::vector<double> x, y;
    if (!ui_to_doubles(r->x, r->count, r->x_type, &x) || !ui_to_doubles(r->y, r->count, r->y_type, &y))
        return;
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(qs(r->title));
    auto* layout = new QVBoxLayout(&dialog);
    auto* graph = new UiGraph(&dialog);
    graph->setMinimumSize(480, 320);
    graph->zoom_enabled = true;
    UiPlot plot;
    plot.x = x;
    plot.y = y;
    graph->addPlot(plot);
    layout->addWidget(graph);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}

// The patterns of a type list: the program separates them with ";" ("*.csv;*.txt").
QStringList type_patterns(const char* list) {
    QStringList out;
    for (const QString& p : qs(list).split(u';')) {
        const QString t = p.trimmed();
        if (!t.isEmpty() && !out.contains(t)) out << t;
    }
    return out;
}

// One filter as Qt reads it, "label (pattern pattern ...)": Qt splits the
// patterns on blanks, never on ";". The label names the extensions ("CSV, TXT
// files"), or repeats the patterns when they are not all "*.ext".
QString qt_filter(const QStringList& patterns) {
    QStringList names;
    for (const QString& p : patterns) {
        const QString ext = p.mid(2);
        if (!p.startsWith(QLatin1String("*.")) || ext.isEmpty() || ext.contains(u'*') || ext.contains(u'?')) {
            names.clear();
            break;
        }
        names << ext.toUpper();
    }
    const QString label = names.isEmpty() ? patterns.join(u' ') : names.join(QLatin1String(", "));
    return QStringLiteral("%1 files (%2)").arg(label, patterns.join(u' '));
}

// The dialog's filters: the filter of the default name's pattern first (the
// type list's own when the list holds the pattern), then the type list, then
// all files.
QStringList file_filters(const char* default_name, const char* type_list) {
    const QStringList types = type_patterns(type_list);
    QStringList filters;
    const QString def = qs(default_name).trimmed();
    if ((def.contains(u'*') || def.contains(u'?')) && !types.contains(def))
        filters << qt_filter(QStringList(def));
    if (!types.isEmpty() && types != QStringList(QStringLiteral("*"))) filters << qt_filter(types);
    filters << QStringLiteral("All files (*)");
    return filters;
}

int default_handler(const ui_popup_request* r, char* path_out, int path_size) {
    QWidget* parent = QApplication::activeWindow();
    switch (r->kind) {
    case UI_POPUP_MESSAGE:
        QMessageBox::information(parent, qs(r->title), qs(r->text));
        return 1;
    case UI_POPUP_CONFIRM:
        return QMessageBox::question(parent, qs(r->title), qs(r->text), QMessageBox::Yes | QMessageBox::No) ==
                       QMessageBox::Yes
                   ? 1
                   : 0;
    case UI_POPUP_FILE_LOAD:
    case UI_POPUP_FILE_SAVE: {
        // A default name with wildcards is the dialog's filter, not a name to
        // offer: accepted as it stands, it would create a file named "*.csv".
        QString start = qs(r->directory);
        const QString name = qs(r->default_name);
        if (!name.isEmpty() && !name.contains(u'*') && !name.contains(u'?'))
            start = QDir(start).filePath(name);
        const QString filter = file_filters(r->default_name, r->filter).join(QLatin1String(";;"));
        bool save = r->kind == UI_POPUP_FILE_SAVE;
        bool existed = false;
        QString path;
        if (save) {
            // The save dialog itself asks before an existing file is replaced.
            path = QFileDialog::getSaveFileName(parent, qs(r->title), start, filter);
            existed = !path.isEmpty() && QFileInfo::exists(path);
        } else {
            path = QFileDialog::getOpenFileName(parent, qs(r->title), start, filter);
            existed = true;
        }
        if (path.isEmpty()) return UI_NO_FILE_SELECTED;
        const QByteArray bytes = QFile::encodeName(path);
        if (!path_out || bytes.size() >= path_size) return UI_ERR_LONG_PATH;
        memcpy(path_out, bytes.constData(), static_cast<size_t>(bytes.size()));
        path_out[bytes.size()] = 0;
        return existed ? UI_EXISTING_FILE_SELECTED : UI_NEW_FILE_SELECTED;
    }
    case UI_POPUP_XY_GRAPH:
        show_xy_graph(r);
        return 0;
    default:
        return 0;
    }
}

ui_popup_handler current = default_handler;

// The handler is only told about modal panels; showing them is the layer's job.
void set_modal(UiPanel* p, bool install) {
    // Modality only takes effect when the window is shown again.
    p->w->hide();
    p->w->setWindowModality(install ? Qt::ApplicationModal : Qt::NonModal);
    if (!install) return;
    DisplayPanel(p->handle);
    p->w->activateWindow();
}

int ask(ui_popup_request r, char* path_out = nullptr, int path_size = 0) {
    if (!QApplication::instance()) return UI_ERR_NO_APP;
    return current(&r, path_out, path_size);
}

} // namespace

ui_popup_handler SetPopupHandler(ui_popup_handler handler) {
    ui_popup_handler old = current;
    current = handler ? handler : default_handler;
    return old == default_handler ? nullptr : old;
}

int MessagePopup(const char* title, const char* text) {
    ui_popup_request r{};
    r.kind = UI_POPUP_MESSAGE, r.title = title, r.text = text;
    int rc = ask(r);
    return rc < 0 ? rc : 0;
}

int ConfirmPopup(const char* title, const char* text) {
    ui_popup_request r{};
    r.kind = UI_POPUP_CONFIRM, r.title = title, r.text = text;
    int rc = ask(r);
    return rc < 0 ? rc : (rc ? 1 : 0);
}

int FileSelectPopup(const char* directory, const char* default_name, const char* filter, const char* title,
                    int button, char* path_out) {
    if (!path_out) return UI_ERR_ARG;
    ui_popup_request r{};
    r.kind = button == UI_SAVE_BUTTON ? UI_POPUP_FILE_SAVE : UI_POPUP_FILE_LOAD;
    r.title = title, r.directory = directory, r.default_name = default_name, r.filter = filter;
    path_out[0] = 0;
    // One byte more than a path may take: a handler that cuts an over-long
    // answer to the size it is given leaves a path that fills it, which is
    // refused here like one the handler itself refused.
    std::vector<char> chosen(UI_MAX_PATH + 1, 0);
    int rc = ask(r, chosen.data(), UI_MAX_PATH + 1);
    if (rc <= 0) return rc;
    const size_t n = strnlen(chosen.data(), chosen.size());
    if (n >= static_cast<size_t>(UI_MAX_PATH)) return UI_ERR_LONG_PATH;
    memcpy(path_out, chosen.data(), n + 1);
    return rc;
}

int XYGraphPopup(const char* title, const void* x, const void* y, int count, int x_type, int y_type) {
    if (!x || !y || count < 0) return UI_ERR_ARG;
    ui_popup_request r{};
    r.kind = UI_POPUP_XY_GRAPH, r.title = title, r.x = x, r.y = y, r.count = count, r.x_type = x_type,
    r.y_type = y_type;
    int rc = ask(r);
    return rc < 0 ? rc : 0;
}

int InstallPopup(int panel) {
    int rc = 0;
    UiPanel* p = ui_panel(panel, &rc);
    if (!p) return rc;
    popup_stack.push_back(panel);
    set_modal(p, true);
    ui_popup_request r{};
    r.kind = UI_POPUP_PANEL, r.panel = panel;
    rc = ask(r);
    return rc < 0 ? rc : 0;
}

int RemovePopup(int all) {
    while (!popup_stack.empty()) {
        int panel = popup_stack.back();
        popup_stack.pop_back();
        if (UiPanel* p = ui_panel(panel)) {
            set_modal(p, false);
            ui_popup_request r{};
            r.kind = UI_POPUP_PANEL_REMOVE, r.panel = panel;
            ask(r);
        }
        if (!all) break;
    }
    return 0;
}
