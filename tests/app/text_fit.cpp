#include "tests/app/text_fit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace {

// QLineEdit keeps this much room on either side of its text, inside the frame.
constexpr int line_edit_margin = 2;

std::string name_of(const std::string& panel_name, const QWidget* panel, const QWidget* w) {
    std::string name = panel_name;
    for (const QWidget* p = w; p && p != panel; p = p->parentWidget())
        if (!p->objectName().isEmpty() && !p->objectName().startsWith("qt_")) {
            return name + "/" + p->objectName().toStdString();
        }
    // A control made at run time has no name in the layout.
    return name + "/(" + w->metaObject()->className() + ")";
}

struct checker {
    const QWidget* panel;
    std::string panel_name;
    std::vector<std::string> out;

    // `text` laid out in `font` with `flags` must fit `room`. A text of several lines
    // needs the height of all its lines; a single line is centred in its room (as
    // labels, buttons and fields draw it) and needs room for its ink only, so that
    // digits in a low field pass where the font's descent would not.
    void fit(const QWidget* w, const QString& text, const QFont& font, int flags, QSize room,
             Qt::Alignment valign = Qt::AlignVCenter) {
        if (text.trimmed().isEmpty()) return;
        const QFontMetrics fm(font);
        QSize need = fm.boundingRect(QRect(0, 0, 100000, 100000), flags, text).size();
        bool fits = need.width() <= room.width() && need.height() <= room.height();
        if (!fits && need.width() <= room.width() && !text.contains('\n') && !(flags & Qt::TextWordWrap)) {
            const int top = valign == Qt::AlignTop      ? 0
                            : valign == Qt::AlignBottom ? room.height() - fm.height()
                                                        : (room.height() - fm.height() + 1) / 2;
            const QRect ink = fm.tightBoundingRect(text).translated(0, top + fm.ascent());
            fits = ink.top() >= 0 && ink.bottom() < room.height();
            if (!fits) need.setHeight(ink.bottom() + 1 - std::min(ink.top(), 0));
        }
        if (fits) return;
        out.push_back(name_of(panel_name, panel, w) + ": \"" + text.toStdString() + "\" needs " +
                      std::to_string(need.width()) + " x " + std::to_string(need.height()) + " px, has " +
                      std::to_string(room.width()) + " x " + std::to_string(room.height()));
    }

    void label(const QLabel* l) {
        if (l->text().isEmpty() || !l->pixmap().isNull()) return;
        const QRect r = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        if (l->textFormat() == Qt::RichText ||
            (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()))) {
            QTextDocument doc;
            doc.setDefaultFont(l->font());
            doc.setDocumentMargin(0);
            doc.setHtml(l->text());
            if (l->wordWrap()) doc.setTextWidth(r.width());
            const QSize need(static_cast<int>(std::ceil(doc.idealWidth())),
                             static_cast<int>(std::ceil(doc.size().height())));
            if (need.width() > r.width() || need.height() > r.height())
                out.push_back(name_of(panel_name, panel, l) + ": rich text needs " +
                              std::to_string(need.width()) + " x " + std::to_string(need.height()) +
                              " px, has " + std::to_string(r.width()) + " x " + std::to_string(r.height()));
            return;
        }
        const int flags = Qt::TextExpandTabs | Qt::TextShowMnemonic | (l->wordWrap() ? Qt::TextWordWrap : 0);
        if (l->wordWrap()) {
            const QRect need =
                l->fontMetrics().boundingRect(QRect(0, 0, r.width(), 100000), flags, l->text());
            if (need.height() > r.height()) fit(l, l->text(), l->font(), flags, r.size());
            return;
        }
        fit(l, l->text(), l->font(), flags, r.size(), l->alignment() & Qt::AlignVertical_Mask);
    }

    void button(QAbstractButton* b) {
        if (b->text().isEmpty()) return;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.icon = b->icon();
        opt.iconSize = b->iconSize();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox*>(b)) contents = QStyle::SE_CheckBoxContents;
        if (qobject_cast<QRadioButton*>(b)) contents = QStyle::SE_RadioButtonContents;
        QSize room = b->style()->subElementRect(contents, &opt, b).size();
        if (!b->icon().isNull()) room.rwidth() -= b->iconSize().width() + 4;
        fit(b, b->text(), b->font(), Qt::TextShowMnemonic, room);
    }

    // The text area of a line edit, also of the one inside a spin box or combo box.
    static QSize line_room(const QLineEdit* e) {
        QStyleOptionFrame opt;
        opt.initFrom(e);
        opt.rect = e->rect();
        opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
        const QRect field = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
        const QMargins m = e->textMargins();
        return {field.width() - m.left() - m.right() - 2 * line_edit_margin,
                field.height() - m.top() - m.bottom()};
    }

    void line(const QLineEdit* e) {
        if (e->parentWidget() && (qobject_cast<QAbstractSpinBox*>(e->parentWidget()) ||
                                  qobject_cast<QComboBox*>(e->parentWidget())))
            return; // checked with its owner
        fit(e, e->text(), e->font(), 0, line_room(e));
    }

    void spin(QAbstractSpinBox* s) {
        const QLineEdit* e = s->findChild<QLineEdit*>();
        if (!e) return;
        const QSize room = line_room(e);
        fit(s, s->text(), s->font(), 0, room);
        // A value the user may type anywhere in the range fits as well. What an
        // indicator shows is the program's to choose: its text is checked as shown.
        if (s->isReadOnly()) return;
        QLocale locale = s->locale();
        if (!s->isGroupSeparatorShown())
            locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
        if (const auto* d = qobject_cast<QDoubleSpinBox*>(s)) {
            for (double v : {d->minimum(), d->maximum()})
                fit(s, d->prefix() + locale.toString(v, 'f', d->decimals()) + d->suffix(), s->font(), 0,
                    room);
        } else if (const auto* i = qobject_cast<QSpinBox*>(s)) {
            for (int v : {i->minimum(), i->maximum()})
                fit(s, i->prefix() + locale.toString(v) + i->suffix(), s->font(), 0, room);
        }
    }

    void combo(QComboBox* c) {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        opt.frame = c->hasFrame();
        opt.subControls = QStyle::SC_All;
        const QRect field =
            c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
        const QSize room = c->lineEdit() ? line_room(c->lineEdit()) : field.size();
        for (int i = 0; i < c->count(); i++) fit(c, c->itemText(i), c->font(), 0, room);
        if (c->isEditable()) fit(c, c->currentText(), c->font(), 0, room);
    }

    void group(const QGroupBox* g) {
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.subControls = QStyle::SC_GroupBoxLabel;
        const QRect label =
            g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
        fit(g, g->title(), g->font(), Qt::TextShowMnemonic, QSize(g->width() - label.left(), label.height()));
    }

    void widget(QWidget* w) {
        w->ensurePolished();
        if (auto* l = qobject_cast<QLabel*>(w))
            label(l);
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            button(b);
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            line(e);
        else if (auto* s = qobject_cast<QAbstractSpinBox*>(w))
            spin(s);
        else if (auto* c = qobject_cast<QComboBox*>(w))
            combo(c);
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            group(g);
    }
};

bool text_control(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QComboBox*>(w);
}

} // namespace

std::vector<std::string> clipped_texts(QWidget* panel, const std::string& name,
                                       const std::vector<QWidget*>& panels) {
    checker c{panel, name, {}};
    for (QWidget* w : panel->findChildren<QWidget*>()) {
        if (std::find(panels.begin(), panels.end(), w) != panels.end()) continue;
        const QWidget* owner = w->parentWidget();
        while (owner && std::find(panels.begin(), panels.end(), owner) == panels.end())
            owner = owner->parentWidget();
        if (owner == panel) c.widget(w);
    }
    return c.out;
}

std::vector<std::string> overlapping_controls(QWidget* panel, const std::string& name) {
    std::vector<QWidget*> shown;
    for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (text_control(w) && w->isVisibleTo(panel)) shown.push_back(w);
    std::vector<std::string> out;
    for (size_t i = 0; i < shown.size(); i++)
        for (size_t j = i + 1; j < shown.size(); j++)
            if (shown[i]->geometry().intersects(shown[j]->geometry()))
                out.push_back(name_of(name, panel, shown[i]) + " overlaps " +
                              shown[j]->objectName().toStdString());
    return out;
}
