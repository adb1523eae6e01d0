// The layer's style: the platform's own, with one change to what it is handed.
//
// The style keeps a picture of every button, spin box and ring it draws and finds it
// again by the control's state, size and palette. A palette is known by its identity,
// not by its colours, and every colour the program sets on a control gives it a new
// palette. RUN and VIDEO are recoloured at each start and stop, so each start and stop
// left pictures under palettes that never came back: about 14 KB a time, kept until the
// cache's limit. Handing the style one shared palette for each set of colours lets a
// recoloured control find its earlier pictures.
#include "ui/ui_internal.h"

#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleOption>

#include <vector>

namespace {

// The controls a program recolours by far outnumber their sets of colours; a table
// beyond this size means colours that do not repeat, and it starts again.
constexpr size_t max_palettes = 64;

class UiStyle final : public QProxyStyle {
  public:
    explicit UiStyle(const QString& base) : QProxyStyle(base) {}

    void drawPrimitive(PrimitiveElement e, const QStyleOption* o, QPainter* p,
                       const QWidget* w) const override {
        with_shared_palette(o, [&](const QStyleOption* s) { QProxyStyle::drawPrimitive(e, s, p, w); });
    }
    void drawControl(ControlElement e, const QStyleOption* o, QPainter* p, const QWidget* w) const override {
        with_shared_palette(o, [&](const QStyleOption* s) { QProxyStyle::drawControl(e, s, p, w); });
    }
    void drawComplexControl(ComplexControl c, const QStyleOptionComplex* o, QPainter* p,
                            const QWidget* w) const override {
        with_shared_palette(o, [&](const QStyleOption* s) {
            QProxyStyle::drawComplexControl(c, static_cast<const QStyleOptionComplex*>(s), p, w);
        });
    }

  private:
    // The shared palette with the colours of `p`.
    const QPalette& shared(const QPalette& p) const {
        for (const QPalette& known : palettes_)
            if (known == p) return known;
        if (palettes_.size() >= max_palettes) palettes_.clear();
        palettes_.push_back(p);
        return palettes_.back();
    }

    template <class Option, class Draw>
    bool draw_as(const QStyleOption* o, const Draw& draw) const {
        const auto* typed = qstyleoption_cast<const Option*>(o);
        if (!typed) return false;
        Option copy(*typed);
        copy.palette = shared(typed->palette);
        // Equal palettes may differ in the group they draw from (an inactive window).
        copy.palette.setCurrentColorGroup(typed->palette.currentColorGroup());
        draw(&copy);
        return true;
    }

    // Draws with the shared palette the options of the controls whose pictures are
    // kept; anything else goes through as it came.
    template <class Draw>
    void with_shared_palette(const QStyleOption* o, const Draw& draw) const {
        if (!o || draw_as<QStyleOptionButton>(o, draw) || draw_as<QStyleOptionSpinBox>(o, draw) ||
            draw_as<QStyleOptionComboBox>(o, draw))
            return;
        draw(o);
    }

    mutable std::vector<QPalette> palettes_;
};

} // namespace

void ui_use_layer_style() {
    if (!QApplication::instance() || dynamic_cast<UiStyle*>(QApplication::style())) return;
    QApplication::setStyle(new UiStyle(QApplication::style()->name()));
}
