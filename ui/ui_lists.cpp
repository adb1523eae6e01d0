// Rings and list boxes, text boxes and tables.
#include "ui/ui_internal.h"

#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextBlock>

#include <cmath>

namespace {

QComboBox* combo(UiCtrl* c) {
    return qobject_cast<QComboBox*>(c->w);
}
QListWidget* listw(UiCtrl* c) {
    return qobject_cast<QListWidget*>(c->w);
}

UiCtrl* list_ctrl(int panel, int ctrl, int* rc) {
    UiCtrl* c = ui_ctrl(panel, ctrl, rc);
    if (c && !combo(c) && !listw(c)) {
        *rc = UI_ERR_ATTR;
        return nullptr;
    }
    return c;
}

// Values are kept as the ring's type, so lookups compare like with like.
QVariant as_type(const QVariant& v, int type) {
    if (type == UI_STRING) {
        if (v.typeId() == QMetaType::Double) return ui_format_double(v.toDouble(), -1);
        return v.toString();
    }
    bool ok = true;
    double d = 0.0;
    if (v.typeId() == QMetaType::QString)
        ok = ui_parse_double(v.toString(), &d);
    else
        d = v.toDouble();
    if (!ok) return QVariant();
    if (type == UI_DOUBLE) return d;
    return static_cast<int>(std::lround(d));
}

int insert_item(int panel, int ctrl, int index, const char* label, const QVariant& value, int type) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!label) return UI_ERR_ARG;
    int n = ui_item_count(c);
    if (n == 0) c->data_type = type;
    if (index < 0 || index > n) index = n;
    QVariant v = as_type(value, c->data_type);
    if (!v.isValid()) return UI_ERR_TYPE;
    QString text = QString::fromUtf8(label);
    const QSignalBlocker block(c->w);
    if (QComboBox* cb = combo(c)) {
        cb->insertItem(index, text, v);
    } else {
        auto* item = new QListWidgetItem(text);
        item->setData(Qt::UserRole, v);
        listw(c)->insertItem(index, item);
    }
    return index;
}

QPlainTextEdit* textbox(int panel, int ctrl, int* rc, UiCtrl** out = nullptr) {
    UiCtrl* c = ui_ctrl(panel, ctrl, rc);
    if (!c) return nullptr;
    auto* te = qobject_cast<QPlainTextEdit*>(c->w);
    if (!te) *rc = UI_ERR_ATTR;
    if (out) *out = c;
    return te;
}

// An empty document still has one block; a text box that shows nothing has no
// lines unless an empty line was put there.
int line_count(UiCtrl* c, QPlainTextEdit* te) {
    QTextDocument* d = te->document();
    if (d->isEmpty()) return c->empty_line ? 1 : 0;
    return d->blockCount();
}

QTableWidget* table(int panel, int ctrl, int row, int col, int* rc) {
    UiCtrl* c = ui_ctrl(panel, ctrl, rc);
    if (!c) return nullptr;
    auto* tw = qobject_cast<QTableWidget*>(c->w);
    if (!tw) {
        *rc = UI_ERR_ATTR;
        return nullptr;
    }
    if (row < 1 || col < 1 || row > tw->rowCount() || col > tw->columnCount()) {
        *rc = UI_ERR_INDEX;
        return nullptr;
    }
    return tw;
}

int set_cell(int panel, int ctrl, int row, int col, const QVariant& v) {
    int rc = 0;
    QTableWidget* tw = table(panel, ctrl, row, col, &rc);
    if (!tw) return rc;
    const QSignalBlocker block(tw);
    QTableWidgetItem* item = tw->item(row - 1, col - 1);
    if (!item) {
        item = new QTableWidgetItem;
        tw->setItem(row - 1, col - 1, item);
    }
    item->setData(Qt::DisplayRole, v);
    return 0;
}

int get_cell(int panel, int ctrl, int row, int col, QVariant* v) {
    int rc = 0;
    QTableWidget* tw = table(panel, ctrl, row, col, &rc);
    if (!tw) return rc;
    QTableWidgetItem* item = tw->item(row - 1, col - 1);
    *v = item ? item->data(Qt::DisplayRole) : QVariant(QString());
    return 0;
}

} // namespace

// ---- item access shared with the value calls ----------------------------------------------------

int ui_item_count(UiCtrl* c) {
    if (QComboBox* cb = combo(c)) return cb->count();
    if (QListWidget* lw = listw(c)) return lw->count();
    return 0;
}

int ui_current_index(UiCtrl* c) {
    if (QComboBox* cb = combo(c)) return cb->currentIndex();
    if (QListWidget* lw = listw(c)) return lw->currentRow();
    return -1;
}

void ui_set_current_index(UiCtrl* c, int index) {
    const QSignalBlocker block(c->w);
    if (QComboBox* cb = combo(c))
        cb->setCurrentIndex(index);
    else if (QListWidget* lw = listw(c))
        lw->setCurrentRow(index);
}

QVariant ui_item_value(UiCtrl* c, int index) {
    QVariant v;
    if (QComboBox* cb = combo(c))
        v = cb->itemData(index);
    else if (QListWidget* lw = listw(c))
        v = lw->item(index) ? lw->item(index)->data(Qt::UserRole) : QVariant();
    // Items that came with the layout carry no value: their index stands in.
    if (!v.isValid()) return as_type(QVariant(index), c->data_type);
    return v;
}

int ui_find_value(UiCtrl* c, const QVariant& value) {
    QVariant want = as_type(value, c->data_type);
    if (!want.isValid()) return -1;
    int n = ui_item_count(c);
    for (int i = 0; i < n; i++) {
        QVariant have = as_type(ui_item_value(c, i), c->data_type);
        if (c->data_type == UI_STRING ? have.toString() == want.toString()
                                      : have.toDouble() == want.toDouble())
            return i;
    }
    return -1;
}

// ---- rings and list boxes ---------------------------------------------------------------------------

int InsertListItemInt(int panel, int ctrl, int index, const char* label, int value) {
    return insert_item(panel, ctrl, index, label, QVariant(value), UI_INTEGER);
}

int InsertListItemDouble(int panel, int ctrl, int index, const char* label, double value) {
    return insert_item(panel, ctrl, index, label, QVariant(value), UI_DOUBLE);
}

int InsertListItemString(int panel, int ctrl, int index, const char* label, const char* value) {
    if (!value) return UI_ERR_ARG;
    return insert_item(panel, ctrl, index, label, QVariant(QString::fromUtf8(value)), UI_STRING);
}

int DeleteListItem(int panel, int ctrl, int index, int count) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    int n = ui_item_count(c);
    if (index < 0 || index >= n) return UI_ERR_INDEX;
    if (count < 0 || index + count > n) count = n - index;
    const QSignalBlocker block(c->w);
    for (int i = 0; i < count; i++) {
        if (QComboBox* cb = combo(c))
            cb->removeItem(index);
        else
            delete listw(c)->takeItem(index);
    }
    return 0;
}

int ClearListCtrl(int panel, int ctrl) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    const QSignalBlocker block(c->w);
    if (QComboBox* cb = combo(c))
        cb->clear();
    else
        listw(c)->clear();
    return 0;
}

int GetNumListItems(int panel, int ctrl, int* count) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!count) return UI_ERR_ARG;
    *count = ui_item_count(c);
    return 0;
}

int SetCtrlIndex(int panel, int ctrl, int index) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (index < 0 || index >= ui_item_count(c)) return UI_ERR_INDEX;
    ui_set_current_index(c, index);
    return 0;
}

int GetCtrlIndex(int panel, int ctrl, int* index) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!index) return UI_ERR_ARG;
    *index = ui_current_index(c);
    return 0;
}

int GetValueFromIndexInt(int panel, int ctrl, int index, int* value) {
    double d = 0.0;
    int rc = GetValueFromIndexDouble(panel, ctrl, index, &d);
    if (rc < 0) return rc;
    if (!value) return UI_ERR_ARG;
    *value = static_cast<int>(std::lround(d));
    return 0;
}

int GetValueFromIndexDouble(int panel, int ctrl, int index, double* value) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    if (index < 0 || index >= ui_item_count(c)) return UI_ERR_INDEX;
    QVariant v = as_type(ui_item_value(c, index), UI_DOUBLE);
    if (!v.isValid()) return UI_ERR_TYPE;
    *value = v.toDouble();
    return 0;
}

int GetValueFromIndexString(int panel, int ctrl, int index, char* buf, int size) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (index < 0 || index >= ui_item_count(c)) return UI_ERR_INDEX;
    return ui_copy_string(as_type(ui_item_value(c, index), UI_STRING).toString(), buf, size);
}

int GetLabelFromIndex(int panel, int ctrl, int index, char* buf, int size) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (index < 0 || index >= ui_item_count(c)) return UI_ERR_INDEX;
    QString label = combo(c) ? combo(c)->itemText(index) : listw(c)->item(index)->text();
    return ui_copy_string(label, buf, size);
}

namespace {
int index_from_value(int panel, int ctrl, int* index, const QVariant& v) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!index) return UI_ERR_ARG;
    int i = ui_find_value(c, v);
    if (i < 0) return UI_ERR_NOT_FOUND;
    *index = i;
    return 0;
}
} // namespace

int GetIndexFromValueInt(int panel, int ctrl, int* index, int value) {
    return index_from_value(panel, ctrl, index, QVariant(value));
}

int GetIndexFromValueDouble(int panel, int ctrl, int* index, double value) {
    return index_from_value(panel, ctrl, index, QVariant(value));
}

int GetIndexFromValueString(int panel, int ctrl, int* index, const char* value) {
    if (!value) return UI_ERR_ARG;
    return index_from_value(panel, ctrl, index, QVariant(QString::fromUtf8(value)));
}

int ReplaceListItemLabel(int panel, int ctrl, int index, const char* label) {
    int rc = 0;
    UiCtrl* c = list_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (!label) return UI_ERR_ARG;
    if (index < 0 || index >= ui_item_count(c)) return UI_ERR_INDEX;
    if (QComboBox* cb = combo(c))
        cb->setItemText(index, QString::fromUtf8(label));
    else
        listw(c)->item(index)->setText(QString::fromUtf8(label));
    return 0;
}

// ---- text boxes ----------------------------------------------------------------------------------------

int ResetTextBox(int panel, int ctrl, const char* text) {
    int rc = 0;
    UiCtrl* c = nullptr;
    QPlainTextEdit* te = textbox(panel, ctrl, &rc, &c);
    if (!te) return rc;
    c->empty_line = false;
    const QSignalBlocker block(te);
    te->setPlainText(text ? QString::fromUtf8(text) : QString());
    return 0;
}

int InsertTextBoxLine(int panel, int ctrl, int index, const char* text) {
    int rc = 0;
    UiCtrl* c = nullptr;
    QPlainTextEdit* te = textbox(panel, ctrl, &rc, &c);
    if (!te) return rc;
    if (!text) return UI_ERR_ARG;
    const QSignalBlocker block(te);
    int n = line_count(c, te);
    c->empty_line = false;
    QString line = QString::fromUtf8(text);
    QTextCursor cur(te->document());
    if (n == 0) {
        cur.insertText(line);
        c->empty_line = line.isEmpty();
        return 0;
    }
    if (index < 0 || index >= n) {
        cur.movePosition(QTextCursor::End);
        cur.insertText(QStringLiteral("\n") + line);
        return n;
    }
    cur.setPosition(te->document()->findBlockByNumber(index).position());
    cur.insertText(line + QStringLiteral("\n"));
    return index;
}

int DeleteTextBoxLine(int panel, int ctrl, int index) {
    int rc = 0;
    UiCtrl* c = nullptr;
    QPlainTextEdit* te = textbox(panel, ctrl, &rc, &c);
    if (!te) return rc;
    int n = line_count(c, te);
    if (index < 0 || index >= n) return UI_ERR_INDEX;
    c->empty_line = false;
    const QSignalBlocker block(te);
    QTextBlock b = te->document()->findBlockByNumber(index);
    QTextCursor cur(b);
    cur.select(QTextCursor::BlockUnderCursor);
    // The first block has no line break before it: take the one after instead.
    if (index == 0) {
        cur.setPosition(b.position());
        cur.setPosition(b.position() + b.length() - (n == 1 ? 1 : 0), QTextCursor::KeepAnchor);
    }
    cur.removeSelectedText();
    return 0;
}

int GetNumTextBoxLines(int panel, int ctrl, int* count) {
    int rc = 0;
    UiCtrl* c = nullptr;
    QPlainTextEdit* te = textbox(panel, ctrl, &rc, &c);
    if (!te) return rc;
    if (!count) return UI_ERR_ARG;
    *count = line_count(c, te);
    return 0;
}

int GetTextBoxLine(int panel, int ctrl, int index, char* buf, int size) {
    int rc = 0;
    UiCtrl* c = nullptr;
    QPlainTextEdit* te = textbox(panel, ctrl, &rc, &c);
    if (!te) return rc;
    if (index < 0 || index >= line_count(c, te)) return UI_ERR_INDEX;
    return ui_copy_string(te->document()->findBlockByNumber(index).text(), buf, size);
}

// ---- tables ---------------------------------------------------------------------------------------------

int SetTableCellValInt(int panel, int ctrl, int row, int col, int value) {
    return set_cell(panel, ctrl, row, col, QVariant(value));
}

int SetTableCellValDouble(int panel, int ctrl, int row, int col, double value) {
    return set_cell(panel, ctrl, row, col, QVariant(value));
}

int SetTableCellValString(int panel, int ctrl, int row, int col, const char* value) {
    if (!value) return UI_ERR_ARG;
    return set_cell(panel, ctrl, row, col, QVariant(QString::fromUtf8(value)));
}

int GetTableCellValInt(int panel, int ctrl, int row, int col, int* value) {
    double d = 0.0;
    int rc = GetTableCellValDouble(panel, ctrl, row, col, &d);
    if (rc < 0) return rc;
    *value = static_cast<int>(std::lround(d));
    return 0;
}

int GetTableCellValDouble(int panel, int ctrl, int row, int col, double* value) {
    if (!value) return UI_ERR_ARG;
    QVariant v;
    int rc = get_cell(panel, ctrl, row, col, &v);
    if (rc < 0) return rc;
    if (v.typeId() == QMetaType::QString) {
        // A cell the user typed into holds text.
        double d = 0.0;
        if (!ui_parse_double(v.toString(), &d)) return UI_ERR_TYPE;
        *value = d;
        return 0;
    }
    *value = v.toDouble();
    return 0;
}

int GetTableCellValString(int panel, int ctrl, int row, int col, char* buf, int size) {
    QVariant v;
    int rc = get_cell(panel, ctrl, row, col, &v);
    if (rc < 0) return rc;
    QString s = v.typeId() == QMetaType::Double ? ui_format_double(v.toDouble(), -1) : v.toString();
    return ui_copy_string(s, buf, size);
}
