// Graphs: the retained plot list, axes, cursors, zoom and pan, and painting.
#include "ui/ui_internal.h"
#include "ui/ui_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {
long paint_count = 0;
const int repaint_ms = 40; // the refresh tick: 25 repaints a second are plenty to read

Qt::PenStyle pen_style(int line_style) {
    switch (line_style) {
    case UI_DASH:
        return Qt::DashLine;
    case UI_DOT:
        return Qt::DotLine;
    case UI_DASH_DOT:
        return Qt::DashDotLine;
    default:
        return Qt::SolidLine;
    }
}
} // namespace

long GetPaintCount() {
    return paint_count;
}

QPen ui_plot_pen(const UiTrace& t) {
    QPen pen(ui_qcolor(t.color));
    pen.setWidth(t.plot_style == UI_FAT_LINE ? 3 : 1);
    pen.setStyle(pen_style(t.line_style));
    return pen;
}

int ui_set_trace_attr(UiTrace* t, int attr, int value) {
    switch (attr) {
    case ATTR_TRACE_COLOR:
        t->color = value;
        return 0;
    case ATTR_LINE_STYLE:
        t->line_style = value;
        return 0;
    case ATTR_PLOT_STYLE:
        t->plot_style = value;
        return 0;
    case ATTR_TRACE_VISIBLE:
        t->visible = value != 0;
        return 0;
    default:
        return UI_ERR_ATTR;
    }
}

int ui_get_trace_attr(const UiTrace& t, int attr, int* value) {
    switch (attr) {
    case ATTR_TRACE_COLOR:
        *value = t.color;
        return 0;
    case ATTR_LINE_STYLE:
        *value = t.line_style;
        return 0;
    case ATTR_PLOT_STYLE:
        *value = t.plot_style;
        return 0;
    case ATTR_TRACE_VISIBLE:
        *value = t.visible ? 1 : 0;
        return 0;
    default:
        return UI_ERR_ATTR;
    }
}

// A thick pen goes through the raster engine's general stroker, several times
// slower than its one-pixel line drawing, and a full strip chart repaints up to 25
// times a second; so a thick line without antialiasing is drawn as five one-pixel
// lines, one on the curve and one a pixel off it in each direction, with its dash
// pattern scaled to match.
void ui_draw_polyline(QPainter& p, const QPolygonF& poly, const QPen& pen) {
    const int width = pen.width();
    if (width <= 1 || p.testRenderHint(QPainter::Antialiasing)) {
        p.setPen(pen);
        p.drawPolyline(poly);
        return;
    }
    QPen thin(pen);
    thin.setWidth(1);
    if (pen.style() != Qt::SolidLine) {
        QList<qreal> dashes = pen.dashPattern();
        for (qreal& d : dashes) d *= width;
        thin.setDashPattern(dashes);
    }
    p.setPen(thin);
    const int r = width / 2;
    const QPoint offsets[5] = {{0, 0}, {0, -r}, {0, r}, {-r, 0}, {r, 0}};
    for (const QPoint& o : offsets) {
        p.translate(o);
        p.drawPolyline(poly);
        p.translate(-o);
    }
}

void ui_paint_axes(QPainter& p, const QRectF& area, double x0, double x1, double y0, double y1, double xgain,
                   int grid_color, int text_color) {
    QFont f = p.font();
    f.setPointSize(7);
    p.setFont(f);
    QFontMetrics fm(f);
    // Up to five divisions, fewer where labels would run into each other.
    int xdiv = std::clamp(static_cast<int>(area.width() / 60), 1, 5);
    int ydiv = std::clamp(static_cast<int>(area.height() / (2 * fm.height())), 1, 5);
    for (int i = 0; i <= xdiv; i++) {
        double fx = area.left() + area.width() * i / xdiv;
        p.setPen(QPen(ui_qcolor(grid_color), 1, Qt::DotLine));
        p.drawLine(QPointF(fx, area.top()), QPointF(fx, area.bottom()));
        p.setPen(ui_qcolor(text_color));
        QString xl = QString::number((x0 + (x1 - x0) * i / xdiv) * xgain, 'g', 5);
        p.drawText(QPointF(fx - fm.horizontalAdvance(xl) / 2.0, area.bottom() + fm.ascent() + 2), xl);
    }
    for (int i = 0; i <= ydiv; i++) {
        double fy = area.bottom() - area.height() * i / ydiv;
        p.setPen(QPen(ui_qcolor(grid_color), 1, Qt::DotLine));
        p.drawLine(QPointF(area.left(), fy), QPointF(area.right(), fy));
        p.setPen(ui_qcolor(text_color));
        QString yl = QString::number(y0 + (y1 - y0) * i / ydiv, 'g', 5);
        p.drawText(QPointF(area.left() - fm.horizontalAdvance(yl) - 3, fy + fm.ascent() / 2.0 - 1), yl);
    }
    p.setPen(ui_qcolor(text_color));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area);
}

bool ui_to_doubles(const void* data, int count, int type, std::vector<double>* out) {
    if (!data || count < 0) return false;
    out->resize(static_cast<size_t>(count));
    for (int i = 0; i < count; i++) {
        double v = 0.0;
        switch (type) {
        case UI_DOUBLE:
            v = static_cast<const double*>(data)[i];
            break;
        case UI_FLOAT:
            v = static_cast<const float*>(data)[i];
            break;
        case UI_INTEGER:
            v = static_cast<const int32_t*>(data)[i];
            break;
        case UI_UNSIGNED_INTEGER:
            v = static_cast<const uint32_t*>(data)[i];
            break;
        case UI_SHORT_INTEGER:
            v = static_cast<const int16_t*>(data)[i];
            break;
        case UI_UNSIGNED_SHORT_INTEGER:
            v = static_cast<const uint16_t*>(data)[i];
            break;
        case UI_CHAR:
            v = static_cast<const signed char*>(data)[i];
            break;
        case UI_UNSIGNED_CHAR:
            v = static_cast<const unsigned char*>(data)[i];
            break;
        default:
            return false;
        }
        (*out)[static_cast<size_t>(i)] = v;
    }
    return true;
}

// ---- coalesced painting ---------------------------------------------------------------------

namespace {
std::vector<UiCoalescedWidget*> coalesced; // every live one
QTimer* refresh_timer = nullptr;

void refresh_now() {
    ui_flush_values_at_tick();
    for (UiCoalescedWidget* w : coalesced)
        if (w->dirty()) w->flush();
}
} // namespace

void ui_request_refresh() {
    if (!refresh_timer) {
        refresh_timer = new QTimer;
        refresh_timer->setSingleShot(true);
        refresh_timer->setInterval(repaint_ms);
        QObject::connect(refresh_timer, &QTimer::timeout, [] { refresh_now(); });
    }
    if (!refresh_timer->isActive()) refresh_timer->start();
}

UiCoalescedWidget::UiCoalescedWidget(QWidget* parent) : QWidget(parent) {
    coalesced.push_back(this);
}

UiCoalescedWidget::~UiCoalescedWidget() {
    coalesced.erase(std::find(coalesced.begin(), coalesced.end(), this));
}

void UiCoalescedWidget::markDirty() {
    if (pending_) return;
    pending_ = true;
    dirty_since_ = Timer();
    ui_request_refresh();
}

void UiCoalescedWidget::flush() {
    pending_ = false;
    update();
}

void UiCoalescedWidget::flushOverdue() {
    double now = Timer();
    for (UiCoalescedWidget* w : coalesced)
        if (w->pending_ && now - w->dirty_since_ >= repaint_ms / 1000.0) w->flush();
}

void UiCoalescedWidget::paintEvent(QPaintEvent*) {
    paint_count++;
    QPainter p(this);
    paintContent(p);
}

// ---- graph widget ------------------------------------------------------------------------------

UiGraph::UiGraph(QWidget* parent) : UiCoalescedWidget(parent) {
    // A graph fills its whole rectangle, so its repaint leaves the panel behind alone.
    setAttribute(Qt::WA_OpaquePaintEvent);
    x_.mode = UI_AUTOSCALE;
    y_.mode = UI_AUTOSCALE;
    for (auto& c : cursors) c.color = 0xFFFF00;
    zoom_repeat_.setInterval(150);
    connect(&zoom_repeat_, &QTimer::timeout, this, [this]() { zoomAt(zoom_point_, zoom_factor_); });
}

int UiGraph::addPlot(UiPlot plot) {
    plot.handle = next_handle_++;
    plots_.push_back(std::move(plot));
    markDirty();
    return plots_.back().handle;
}

int UiGraph::removePlot(int handle) {
    size_t before = plots_.size();
    if (handle == -1)
        plots_.clear();
    else
        plots_.erase(std::remove_if(plots_.begin(), plots_.end(),
                                    [handle](const UiPlot& p) { return p.handle == handle; }),
                     plots_.end());
    int removed = static_cast<int>(before - plots_.size());
    if (removed) markDirty();
    return removed;
}

UiPlot* UiGraph::plot(int handle) {
    for (auto& p : plots_)
        if (p.handle == handle) return &p;
    return nullptr;
}

void UiGraph::setAxis(int axis, int mode, double min, double max) {
    UiAxis& a = axis == UI_XAXIS ? x_ : y_;
    a.mode = mode;
    if (mode == UI_MANUAL) {
        a.min = std::min(min, max);
        a.max = std::max(min, max);
    }
    // A range set by the program replaces what the user zoomed to.
    zoomed_ = false;
    markDirty();
}

void UiGraph::autoRange(int axis, double* min, double* max) const {
    double lo = INFINITY, hi = -INFINITY;
    for (const auto& p : plots_) {
        if (!p.visible) continue;
        const std::vector<double>& v = axis == UI_XAXIS ? p.x : p.y;
        if (axis == UI_XAXIS && p.x.empty() && !p.y.empty()) {
            lo = std::min(lo, 0.0);
            hi = std::max(hi, static_cast<double>(p.y.size() - 1));
        }
        for (double d : v) {
            if (!std::isfinite(d)) continue;
            lo = std::min(lo, d);
            hi = std::max(hi, d);
        }
    }
    if (!(lo <= hi)) lo = 0.0, hi = 10.0;
    if (lo == hi) lo -= 1.0, hi += 1.0;
    *min = lo;
    *max = hi;
}

void UiGraph::axisRange(int axis, double* min, double* max) const {
    const UiAxis& a = axis == UI_XAXIS ? x_ : y_;
    if (a.mode == UI_MANUAL)
        *min = a.min, *max = a.max;
    else
        autoRange(axis, min, max);
    if (*min == *max) *max = *min + 1.0;
}

void UiGraph::viewRange(double* xmin, double* xmax, double* ymin, double* ymax) const {
    if (zoomed_) {
        *xmin = vx0_, *xmax = vx1_, *ymin = vy0_, *ymax = vy1_;
        return;
    }
    axisRange(UI_XAXIS, xmin, xmax);
    axisRange(UI_LEFT_YAXIS, ymin, ymax);
}

void UiGraph::restoreView() {
    zoomed_ = false;
    markDirty();
}

QRectF UiGraph::plotArea() const {
    double top = title.isEmpty() ? 6 : 18;
    double bottom = xname.isEmpty() ? 16 : 28;
    double left = yname.isEmpty() ? 44 : 56;
    return QRectF(left, top, std::max(1.0, width() - left - 18), std::max(1.0, height() - top - bottom));
}

QPointF UiGraph::toPixel(double x, double y) const {
    double x0, x1, y0, y1;
    viewRange(&x0, &x1, &y0, &y1);
    QRectF a = plotArea();
    return QPointF(a.left() + (x - x0) / (x1 - x0) * a.width(),
                   a.bottom() - (y - y0) / (y1 - y0) * a.height());
}

QPointF UiGraph::toData(QPointF pixel) const {
    double x0, x1, y0, y1;
    viewRange(&x0, &x1, &y0, &y1);
    QRectF a = plotArea();
    return QPointF(x0 + (pixel.x() - a.left()) / a.width() * (x1 - x0),
                   y0 + (a.bottom() - pixel.y()) / a.height() * (y1 - y0));
}

void UiGraph::zoomAt(QPointF pixel, double factor) {
    double x0, x1, y0, y1;
    viewRange(&x0, &x1, &y0, &y1);
    QPointF c = toData(pixel);
    vx0_ = c.x() - (c.x() - x0) * factor;
    vx1_ = c.x() + (x1 - c.x()) * factor;
    vy0_ = c.y() - (c.y() - y0) * factor;
    vy1_ = c.y() + (y1 - c.y()) * factor;
    zoomed_ = true;
    markDirty();
}

void UiGraph::mousePressEvent(QMouseEvent* e) {
    bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (zoom_enabled && ctrl) {
        if (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier)) {
            viewRange(&vx0_, &vx1_, &vy0_, &vy1_);
            zoomed_ = true;
            panning_ = true;
            pan_from_ = e->position();
        } else if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton) {
            // Holding the button keeps zooming, one step per repeat.
            zoom_point_ = e->position();
            zoom_factor_ = e->button() == Qt::LeftButton ? 0.5 : 2.0;
            zoomAt(zoom_point_, zoom_factor_);
            zoom_repeat_.start();
        }
        return;
    }
    if (e->button() != Qt::LeftButton) return;
    double best = 6.0;
    drag_cursor_ = -1;
    for (int i = 0; i < 4; i++) {
        if (!cursors[i].enabled) continue;
        double d = std::fabs(toPixel(cursors[i].x, cursors[i].y).x() - e->position().x());
        if (d <= best) best = d, drag_cursor_ = i;
    }
}

void UiGraph::mouseMoveEvent(QMouseEvent* e) {
    if (panning_) {
        QPointF a = toData(pan_from_), b = toData(e->position());
        double dx = a.x() - b.x(), dy = a.y() - b.y();
        vx0_ += dx, vx1_ += dx, vy0_ += dy, vy1_ += dy;
        pan_from_ = e->position();
        markDirty();
        return;
    }
    if (drag_cursor_ < 0) return;
    double x0, x1, y0, y1;
    viewRange(&x0, &x1, &y0, &y1);
    QPointF d = toData(e->position());
    cursors[drag_cursor_].x = std::clamp(d.x(), x0, x1);
    cursors[drag_cursor_].y = std::clamp(d.y(), y0, y1);
    markDirty();
    if (on_cursor_event) on_cursor_event(EVENT_VAL_CHANGED, drag_cursor_ + 1);
}

void UiGraph::mouseReleaseEvent(QMouseEvent*) {
    zoom_repeat_.stop();
    panning_ = false;
    if (drag_cursor_ < 0) return;
    const int moved = drag_cursor_ + 1;
    drag_cursor_ = -1;
    if (on_cursor_event) on_cursor_event(EVENT_COMMIT, moved);
}

void UiGraph::mouseDoubleClickEvent(QMouseEvent* e) {
    if (zoom_enabled && e->button() == Qt::LeftButton) restoreView();
}

void UiGraph::paintContent(QPainter& p) {
    p.fillRect(rect(), ui_qcolor(bg_color));
    double x0, x1, y0, y1;
    viewRange(&x0, &x1, &y0, &y1);
    QRectF area = plotArea();
    ui_paint_axes(p, area, x0, x1, y0, y1, xgain, grid_color, text_color);
    QFontMetrics fm(p.font());
    if (!title.isEmpty()) p.drawText(QRectF(0, 0, width(), 16), Qt::AlignCenter, title);
    if (!xname.isEmpty())
        p.drawText(QRectF(area.left(), height() - 14, area.width(), 14), Qt::AlignCenter, xname);
    if (!yname.isEmpty()) {
        p.save();
        p.translate(10, area.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-area.height() / 2, -8, area.height(), 16), Qt::AlignCenter, yname);
        p.restore();
    }

    p.save();
    p.setClipRect(area);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const auto& pl : plots_) {
        if (!pl.visible) continue;
        const QPen pen = ui_plot_pen(pl);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        switch (pl.kind) {
        case UiPlot::Curve: {
            QPolygonF poly;
            poly.reserve(static_cast<qsizetype>(pl.y.size()));
            for (size_t i = 0; i < pl.y.size(); i++)
                poly << toPixel(pl.x.empty() ? static_cast<double>(i) : pl.x[i], pl.y[i]);
            if (pl.plot_style == UI_SCATTER)
                p.drawPoints(poly);
            else
                ui_draw_polyline(p, poly, pen);
            break;
        }
        case UiPlot::Line:
            p.drawLine(toPixel(pl.x[0], pl.y[0]), toPixel(pl.x[1], pl.y[1]));
            break;
        case UiPlot::Point: {
            QPointF c = toPixel(pl.x[0], pl.y[0]);
            p.drawLine(c - QPointF(2, 0), c + QPointF(2, 0));
            p.drawLine(c - QPointF(0, 2), c + QPointF(0, 2));
            break;
        }
        case UiPlot::Text: {
            QPointF at = toPixel(pl.x[0], pl.y[0]);
            QRectF box(at.x(), at.y() - fm.height() / 2.0, fm.horizontalAdvance(pl.text) + 2, fm.height());
            // A text placed in the view but running over its edge (a corner's
            // verdict) is moved inside as far as it fits; one placed outside
            // the view stays there.
            if (area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(at)) {
                if (box.right() > area.right()) box.moveRight(area.right());
                if (box.left() < area.left()) box.moveLeft(area.left());
                if (box.bottom() > area.bottom()) box.moveBottom(area.bottom());
                if (box.top() < area.top()) box.moveTop(area.top());
            }
            if (!(pl.bg_color & UI_TRANSPARENT)) p.fillRect(box, ui_qcolor(pl.bg_color));
            p.setPen(ui_qcolor(pl.color));
            p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, pl.text);
            break;
        }
        }
    }
    for (const auto& c : cursors) {
        if (c.color & UI_TRANSPARENT) continue;
        if (!c.enabled) continue;
        QPointF at = toPixel(c.x, c.y);
        p.setPen(QPen(ui_qcolor(c.color), 1));
        p.drawLine(QPointF(at.x(), area.top()), QPointF(at.x(), area.bottom()));
        p.drawLine(QPointF(area.left(), at.y()), QPointF(area.right(), at.y()));
    }
    p.restore();
}

// ---- graph calls --------------------------------------------------------------------------------

namespace {
UiGraph* graph(int panel, int ctrl, int* rc) {
    UiCtrl* c = ui_ctrl(panel, ctrl, rc);
    if (!c) return nullptr;
    auto* g = qobject_cast<UiGraph*>(c->w);
    if (!g) *rc = UI_ERR_ATTR;
    return g;
}

int add_plot(int panel, int ctrl, UiPlot plot) {
    int rc = 0;
    UiGraph* g = graph(panel, ctrl, &rc);
    return g ? g->addPlot(std::move(plot)) : rc;
}

UiCursor* cursor(int panel, int ctrl, int index, int* rc, UiGraph** g) {
    *g = graph(panel, ctrl, rc);
    if (!*g) return nullptr;
    if (index < 1 || index > 4) {
        *rc = UI_ERR_INDEX;
        return nullptr;
    }
    return &(*g)->cursors[index - 1];
}
} // namespace

int PlotY(int panel, int ctrl, const void* y, int count, int y_type, int plot_style, int line_style,
          int color) {
    UiPlot p;
    if (!ui_to_doubles(y, count, y_type, &p.y)) return UI_ERR_ARG;
    p.plot_style = plot_style, p.line_style = line_style, p.color = color;
    return add_plot(panel, ctrl, std::move(p));
}

int PlotXY(int panel, int ctrl, const void* x, const void* y, int count, int x_type, int y_type,
           int plot_style, int line_style, int color) {
    UiPlot p;
    if (!ui_to_doubles(x, count, x_type, &p.x) || !ui_to_doubles(y, count, y_type, &p.y)) return UI_ERR_ARG;
    p.plot_style = plot_style, p.line_style = line_style, p.color = color;
    return add_plot(panel, ctrl, std::move(p));
}

int PlotLine(int panel, int ctrl, double x1, double y1, double x2, double y2, int color) {
    UiPlot p;
    p.kind = UiPlot::Line;
    p.x = {x1, x2};
    p.y = {y1, y2};
    p.color = color;
    return add_plot(panel, ctrl, std::move(p));
}

int PlotPoint(int panel, int ctrl, double x, double y, int color) {
    UiPlot p;
    p.kind = UiPlot::Point;
    p.x = {x};
    p.y = {y};
    p.color = color;
    return add_plot(panel, ctrl, std::move(p));
}

int PlotText(int panel, int ctrl, double x, double y, const char* text, int text_color, int bg_color) {
    if (!text) return UI_ERR_ARG;
    UiPlot p;
    p.kind = UiPlot::Text;
    p.x = {x};
    p.y = {y};
    p.text = QString::fromUtf8(text);
    p.color = text_color;
    p.bg_color = bg_color;
    return add_plot(panel, ctrl, std::move(p));
}

int GetGraphText(int panel, int ctrl, int index, char* buf, int size, double* x, double* y, int* color) {
    int rc = 0;
    UiGraph* g = graph(panel, ctrl, &rc);
    if (!g) return rc;
    int k = 0;
    for (const UiPlot& p : g->plots()) {
        if (p.kind != UiPlot::Text || k++ != index) continue;
        if (x) *x = p.x[0];
        if (y) *y = p.y[0];
        if (color) *color = p.color;
        return buf ? ui_copy_string(p.text, buf, size) : 0;
    }
    return UI_ERR_INDEX;
}

int DeleteGraphPlot(int panel, int ctrl, int handle, int draw_mode) {
    (void)draw_mode; // every change is drawn at the next screen refresh
    int rc = 0;
    UiGraph* g = graph(panel, ctrl, &rc);
    if (!g) return rc;
    if (handle != -1 && !g->plot(handle)) return UI_ERR_PLOT;
    g->removePlot(handle);
    return 0;
}

int SetPlotAttribute(int panel, int ctrl, int handle, int attr, int value) {
    int rc = 0;
    UiGraph* g = graph(panel, ctrl, &rc);
    if (!g) return rc;
    UiPlot* p = g->plot(handle);
    if (!p) return UI_ERR_PLOT;
    if ((rc = ui_set_trace_attr(p, attr, value)) < 0) return rc;
    g->markDirty();
    return 0;
}

int GetPlotAttribute(int panel, int ctrl, int handle, int attr, int* value) {
    int rc = 0;
    UiGraph* g = graph(panel, ctrl, &rc);
    if (!g) return rc;
    UiPlot* p = g->plot(handle);
    if (!p) return UI_ERR_PLOT;
    if (!value) return UI_ERR_ARG;
    return ui_get_trace_attr(*p, attr, value);
}

int SetAxisScalingMode(int panel, int ctrl, int axis, int mode, double min, double max) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (axis != UI_XAXIS && axis != UI_LEFT_YAXIS) return UI_ERR_ARG;
    if (mode != UI_MANUAL && mode != UI_AUTOSCALE) return UI_ERR_ARG;
    if (auto* g = qobject_cast<UiGraph*>(c->w)) {
        g->setAxis(axis, mode, min, max);
        return 0;
    }
    auto* s = qobject_cast<UiStripChart*>(c->w);
    if (!s || axis != UI_LEFT_YAXIS) return UI_ERR_ATTR;
    s->y.mode = mode;
    if (mode == UI_MANUAL) s->y.min = std::min(min, max), s->y.max = std::max(min, max);
    s->markDirty();
    return 0;
}

int GetAxisScalingMode(int panel, int ctrl, int axis, int* mode, double* min, double* max) {
    int rc = 0;
    UiCtrl* c = ui_ctrl(panel, ctrl, &rc);
    if (!c) return rc;
    if (axis != UI_XAXIS && axis != UI_LEFT_YAXIS) return UI_ERR_ARG;
    double lo = 0.0, hi = 0.0;
    int m = UI_MANUAL;
    if (auto* g = qobject_cast<UiGraph*>(c->w)) {
        m = g->axis(axis).mode;
        g->axisRange(axis, &lo, &hi);
    } else if (auto* s = qobject_cast<UiStripChart*>(c->w); s && axis == UI_LEFT_YAXIS) {
        m = s->y.mode, lo = s->y.min, hi = s->y.max;
    } else {
        return UI_ERR_ATTR;
    }
    if (mode) *mode = m;
    if (min) *min = lo;
    if (max) *max = hi;
    return 0;
}

int GetGraphView(int panel, int ctrl, double* xmin, double* xmax, double* ymin, double* ymax) {
    int rc = 0;
    UiGraph* g = graph(panel, ctrl, &rc);
    if (!g) return rc;
    double x0, x1, y0, y1;
    g->viewRange(&x0, &x1, &y0, &y1);
    if (xmin) *xmin = x0;
    if (xmax) *xmax = x1;
    if (ymin) *ymin = y0;
    if (ymax) *ymax = y1;
    return 0;
}

int SetGraphCursor(int panel, int ctrl, int index, double x, double y) {
    int rc = 0;
    UiGraph* g = nullptr;
    UiCursor* c = cursor(panel, ctrl, index, &rc, &g);
    if (!c) return rc;
    c->x = x, c->y = y;
    g->markDirty();
    return 0;
}

int GetGraphCursor(int panel, int ctrl, int index, double* x, double* y) {
    int rc = 0;
    UiGraph* g = nullptr;
    UiCursor* c = cursor(panel, ctrl, index, &rc, &g);
    if (!c) return rc;
    if (x) *x = c->x;
    if (y) *y = c->y;
    return 0;
}

int SetCursorAttribute(int panel, int ctrl, int index, int attr, int value) {
    int rc = 0;
    UiGraph* g = nullptr;
    UiCursor* c = cursor(panel, ctrl, index, &rc, &g);
    if (!c) return rc;
    if (attr == ATTR_CURSOR_COLOR)
        c->color = value;
    else if (attr == ATTR_CURSOR_ENABLED)
        c->enabled = value != 0;
    else
        return UI_ERR_ATTR;
    g->markDirty();
    return 0;
}

int GetCursorAttribute(int panel, int ctrl, int index, int attr, int* value) {
    int rc = 0;
    UiGraph* g = nullptr;
    UiCursor* c = cursor(panel, ctrl, index, &rc, &g);
    if (!c) return rc;
    if (!value) return UI_ERR_ARG;
    if (attr == ATTR_CURSOR_COLOR)
        *value = c->color;
    else if (attr == ATTR_CURSOR_ENABLED)
        *value = c->enabled ? 1 : 0;
    else
        return UI_ERR_ATTR;
    return 0;
}
