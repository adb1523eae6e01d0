// Strip charts, canvases, LEDs and timers.
#include "ui/ui_internal.h"
#include "ui/ui_widgets.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

// ---- strip chart ----------------------------------------------------------------------------

UiStripChart::UiStripChart(QWidget* parent) : UiCoalescedWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    y.mode = UI_MANUAL;
    y.min = 0.0;
    y.max = 100.0;
    setTraceCount(1);
}

void UiStripChart::setTraceCount(int n) {
    if (n < 1) n = 1;
    if (n == traceCount()) return;
    traces_.resize(static_cast<size_t>(n));
    clear();
}

void UiStripChart::setPointsPerScreen(int n) {
    if (n < 2) n = 2;
    if (n == pps_) return;
    // Keep the newest points that still fit.
    int keep = std::min(count_, n);
    int tn = traceCount();
    std::vector<double> ring(static_cast<size_t>(n) * static_cast<size_t>(tn));
    for (int k = 0; k < keep; k++) {
        int from = (head_ + count_ - keep + k) % pps_;
        std::memcpy(&ring[static_cast<size_t>(k * tn)], &ring_[static_cast<size_t>(from * tn)],
                    sizeof(double) * static_cast<size_t>(tn));
    }
    ring_.swap(ring);
    pps_ = n;
    head_ = 0;
    count_ = keep;
    markDirty();
}

void UiStripChart::append(const double* values, int steps) {
    int tn = traceCount();
    // Only the last screenful of a long block can be seen.
    if (steps > pps_) {
        values += static_cast<size_t>(steps - pps_) * static_cast<size_t>(tn);
        steps = pps_;
    }
    for (int s = 0; s < steps; s++) {
        int slot;
        if (count_ < pps_) {
            slot = (head_ + count_) % pps_;
            count_++;
        } else {
            slot = head_;
            head_ = (head_ + 1) % pps_;
        }
        std::memcpy(&ring_[static_cast<size_t>(slot * tn)], values + static_cast<size_t>(s * tn),
                    sizeof(double) * static_cast<size_t>(tn));
    }
    markDirty();
}

void UiStripChart::clear() {
    ring_.assign(static_cast<size_t>(pps_) * static_cast<size_t>(traceCount()), 0.0);
    head_ = 0;
    count_ = 0;
    markDirty();
}

int UiStripChart::points(int trace, double* out, int max) const {
    int tn = traceCount();
    int n = std::min(count_, max);
    for (int k = 0; k < n; k++) out[k] = ring_[static_cast<size_t>(((head_ + k) % pps_) * tn + trace)];
    return n;
}

void UiStripChart::paintContent(QPainter& p) {
    p.fillRect(rect(), ui_qcolor(bg_color));
    int tn = traceCount();
    double y0 = y.min, y1 = y.max;
    if (y.mode == UI_AUTOSCALE && count_ > 0) {
        y0 = INFINITY, y1 = -INFINITY;
        for (int k = 0; k < count_; k++)
            for (int t = 0; t < tn; t++) {
                if (!traces_[static_cast<size_t>(t)].visible) continue;
                double v = ring_[static_cast<size_t>(((head_ + k) % pps_) * tn + t)];
                y0 = std::min(y0, v), y1 = std::max(y1, v);
            }
        if (!(y0 <= y1)) y0 = y.min, y1 = y.max;
    }
    if (y0 == y1) y1 = y0 + 1.0;
    double top = title.isEmpty() ? 6 : 18;
    QRectF area(44, top, std::max(1, width() - 62), std::max(1.0, height() - top - 16));
    ui_paint_axes(p, area, 0, pps_ - 1, y0, y1, 1.0, grid_color, text_color);
    if (!title.isEmpty()) p.drawText(QRectF(0, 0, width(), 16), Qt::AlignCenter, title);
    p.save();
    p.setClipRect(area);
    QPolygonF poly;
    poly.reserve(count_);
    for (int t = 0; t < tn; t++) {
        const UiTrace& tr = traces_[static_cast<size_t>(t)];
        if (!tr.visible || (tr.color & UI_TRANSPARENT)) continue;
        poly.clear();
        for (int k = 0; k < count_; k++) {
            double v = ring_[static_cast<size_t>(((head_ + k) % pps_) * tn + t)];
            poly << QPointF(area.left() + area.width() * k / (pps_ - 1),
                            area.bottom() - (v - y0) / (y1 - y0) * area.height());
        }
        ui_draw_polyline(p, poly, ui_plot_pen(tr));
    }
    p.restore();
}

// ---- canvas -----------------------------------------------------------------------------------

UiCanvas::UiCanvas(QWidget* parent) : UiCoalescedWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void UiCanvas::ensureImage() {
    QSize want = size().expandedTo(QSize(1, 1));
    if (image_.size() == want) return;
    QImage next(want, QImage::Format_ARGB32_Premultiplied);
    next.fill(ui_qcolor(bg_color));
    if (!image_.isNull()) {
        QPainter p(&next);
        p.drawImage(0, 0, image_);
    }
    image_.swap(next);
}

void UiCanvas::resizeEvent(QResizeEvent*) {
    ensureImage();
}

void UiCanvas::drawLine(int x1, int y1, int x2, int y2) {
    ensureImage();
    QPainter p(&image_);
    p.setPen(QPen(ui_qcolor(pen_color), pen_width, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(x1, y1, x2, y2);
    markDirty();
}

void UiCanvas::drawPoint(int x, int y) {
    ensureImage();
    QPainter p(&image_);
    p.setPen(QPen(ui_qcolor(pen_color), pen_width));
    p.drawPoint(x, y);
    markDirty();
}

void UiCanvas::drawOval(int left, int top, int width, int height, int mode) {
    ensureImage();
    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(mode == UI_DRAW_INTERIOR ? QPen(Qt::NoPen) : QPen(ui_qcolor(pen_color), pen_width));
    p.setBrush(mode == UI_DRAW_FRAME ? QBrush(Qt::NoBrush) : QBrush(ui_qcolor(fill_color)));
    p.drawEllipse(QRect(left, top, width, height));
    markDirty();
}

void UiCanvas::drawText(const QString& text, int x, int y, int alignment) {
    ensureImage();
    QPainter p(&image_);
    p.setFont(font());
    p.setPen(ui_qcolor(pen_color));
    QFontMetrics fm(font());
    int w = fm.horizontalAdvance(text), h = fm.height();
    QRect box(x, y, w + 1, h);
    if (alignment == UI_TEXT_CENTER_LEFT)
        box.moveTop(y - h / 2);
    else if (alignment == UI_TEXT_CENTER)
        box.moveTopLeft(QPoint(x - w / 2, y - h / 2));
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
    markDirty();
}

void UiCanvas::clear() {
    ensureImage();
    image_.fill(ui_qcolor(bg_color));
    markDirty();
}

void UiCanvas::paintContent(QPainter& p) {
    ensureImage();
    p.drawImage(0, 0, image_);
}

// ---- LED ----------------------------------------------------------------------------------------

UiLed::UiLed(QWidget* parent) : UiCoalescedWidget(parent) {}

void UiLed::setOn(bool on) {
    // Records arrive in bursts; only a change is worth a repaint.
    if (on == on_) return;
    on_ = on;
    markDirty();
}

void UiLed::setColors(int on_color, int off_color) {
    on_color_ = on_color;
    off_color_ = off_color;
    update();
}

void UiLed::paintContent(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    int d = std::min(width(), height()) - 2;
    QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(ui_qcolor(on_ ? on_color_ : off_color_));
    p.drawEllipse(r);
}

// ---- progress bar -------------------------------------------------------------------------------

UiProgressBar::UiProgressBar(QWidget* parent) : QProgressBar(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void UiProgressBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.setPen(palette().color(QPalette::Mid));
    p.setBrush(palette().color(isEnabled() ? QPalette::Base : QPalette::Window));
    p.drawRect(frame);
    const long span = static_cast<long>(maximum()) - minimum();
    if (span <= 0 || value() <= minimum()) return;
    const QRect inside = frame.adjusted(1, 1, 0, 0);
    const int w = static_cast<int>(inside.width() * (static_cast<long>(value()) - minimum()) / span);
    p.fillRect(QRect(inside.left(), inside.top(), w, inside.height()), palette().color(QPalette::Highlight));
}

// ---- timer -------------------------------------------------------------------------------------

UiTimer::UiTimer(QWidget* parent) : QWidget(parent) {
    hide();
    connect(&timer_, &QTimer::timeout, this, [this]() {
        if (on_tick) on_tick();
    });
    setInterval(interval_);
    timer_.start();
}

void UiTimer::setInterval(double seconds) {
    interval_ = seconds;
    timer_.setInterval(std::max(1, static_cast<int>(std::lround(seconds * 1000.0))));
}

void UiTimer::setTimerEnabled(bool on) {
    enabled_ = on;
    if (on && !timer_.isActive()) timer_.start();
    if (!on) timer_.stop();
}

void UiTimer::restart() {
    if (enabled_) timer_.start();
}

// ---- strip chart and canvas calls --------------------------------------------------------------

namespace {
template <class W>
W* widget_of(int panel, int ctrl, int* rc) {
    UiCtrl* c = ui_ctrl(panel, ctrl, rc);
    if (!c) return nullptr;
    auto* w = qobject_cast<W*>(c->w);
    if (!w) *rc = UI_ERR_ATTR;
    return w;
}
} // namespace

int PlotStripChart(int panel, int ctrl, const void* data, int count, int data_type) {
    int rc = 0;
    auto* s = widget_of<UiStripChart>(panel, ctrl, &rc);
    if (!s) return rc;
    if (!data || count < 0 || count % s->traceCount() != 0) return UI_ERR_ARG;
    if (data_type == UI_DOUBLE) {
        s->append(static_cast<const double*>(data), count / s->traceCount());
        return 0;
    }
    static std::vector<double> scratch;
    if (!ui_to_doubles(data, count, data_type, &scratch)) return UI_ERR_ARG;
    s->append(scratch.data(), count / s->traceCount());
    return 0;
}

int ClearStripChart(int panel, int ctrl) {
    int rc = 0;
    auto* s = widget_of<UiStripChart>(panel, ctrl, &rc);
    if (!s) return rc;
    s->clear();
    return 0;
}

int SetTraceAttribute(int panel, int ctrl, int trace, int attr, int value) {
    int rc = 0;
    auto* s = widget_of<UiStripChart>(panel, ctrl, &rc);
    if (!s) return rc;
    if (trace < 1 || trace > s->traceCount()) return UI_ERR_INDEX;
    if ((rc = ui_set_trace_attr(&s->trace(trace - 1), attr, value)) < 0) return rc;
    s->markDirty();
    return 0;
}

int GetTraceAttribute(int panel, int ctrl, int trace, int attr, int* value) {
    int rc = 0;
    auto* s = widget_of<UiStripChart>(panel, ctrl, &rc);
    if (!s) return rc;
    if (trace < 1 || trace > s->traceCount()) return UI_ERR_INDEX;
    if (!value) return UI_ERR_ARG;
    return ui_get_trace_attr(s->trace(trace - 1), attr, value);
}

int GetStripChartPoints(int panel, int ctrl, int trace, double* values, int max) {
    int rc = 0;
    auto* s = widget_of<UiStripChart>(panel, ctrl, &rc);
    if (!s) return rc;
    if (trace < 1 || trace > s->traceCount()) return UI_ERR_INDEX;
    if (!values || max < 0) return UI_ERR_ARG;
    return s->points(trace - 1, values, max);
}

int CanvasDrawLine(int panel, int ctrl, int x1, int y1, int x2, int y2) {
    int rc = 0;
    auto* c = widget_of<UiCanvas>(panel, ctrl, &rc);
    if (!c) return rc;
    c->drawLine(x1, y1, x2, y2);
    return 0;
}

int CanvasDrawPoint(int panel, int ctrl, int x, int y) {
    int rc = 0;
    auto* c = widget_of<UiCanvas>(panel, ctrl, &rc);
    if (!c) return rc;
    c->drawPoint(x, y);
    return 0;
}

int CanvasDrawOval(int panel, int ctrl, int left, int top, int width, int height, int draw_mode) {
    int rc = 0;
    auto* c = widget_of<UiCanvas>(panel, ctrl, &rc);
    if (!c) return rc;
    c->drawOval(left, top, width, height, draw_mode);
    return 0;
}

int CanvasDrawTextAtPoint(int panel, int ctrl, const char* text, int x, int y, int alignment) {
    int rc = 0;
    auto* c = widget_of<UiCanvas>(panel, ctrl, &rc);
    if (!c) return rc;
    if (!text) return UI_ERR_ARG;
    c->drawText(QString::fromUtf8(text), x, y, alignment);
    return 0;
}

int CanvasClear(int panel, int ctrl) {
    int rc = 0;
    auto* c = widget_of<UiCanvas>(panel, ctrl, &rc);
    if (!c) return rc;
    c->clear();
    return 0;
}
