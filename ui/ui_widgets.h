// The layer's own widget classes, named in the layout files' <customwidgets>
// section and created by the layer's loader by class name. Graphs, strip
// charts and canvases keep their content as data and paint it themselves, so
// the program can change data without caring about repaints.
#pragma once

#include <QImage>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QProgressBar>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

// Data changes mark the widget dirty; a short single-shot timer turns a burst
// of changes into one repaint per screen refresh.
class UiCoalescedWidget : public QWidget {
    Q_OBJECT
  public:
    explicit UiCoalescedWidget(QWidget* parent = nullptr);
    ~UiCoalescedWidget() override;
    void markDirty();
    bool dirty() const { return pending_; }
    // Repaints now every widget whose change has waited a whole refresh, for
    // loops that draw without running timers.
    static void flushOverdue();

  protected:
    // Counts paints for the diagnostics counter, then paints.
    void paintEvent(QPaintEvent* event) override;
    virtual void paintContent(class QPainter& p) = 0;

  public:
    // Shows the change now (the refresh tick calls it).
    void flush();

  private:
    bool pending_ = false;
    double dirty_since_ = 0.0;
};

class UiLed : public UiCoalescedWidget {
    Q_OBJECT
  public:
    explicit UiLed(QWidget* parent = nullptr);
    void setOn(bool on);
    bool isOn() const { return on_; }
    void setColors(int on_color, int off_color);
    int onColor() const { return on_color_; }
    int offColor() const { return off_color_; }

  protected:
    void paintContent(QPainter& p) override;

  private:
    bool on_ = false;
    int on_color_ = 0xFF0000;
    int off_color_ = 0x400000;
};

// How a curve looks: a strip-chart trace, and the look part of a graph's plot.
struct UiTrace {
    int color = 0xFFFF00;
    int line_style = 0;
    int plot_style = 0;
    bool visible = true;
};

// The trace attributes (ATTR_TRACE_COLOR, ATTR_LINE_STYLE, ATTR_PLOT_STYLE,
// ATTR_TRACE_VISIBLE) of graph plots and strip-chart traces alike.
int ui_set_trace_attr(UiTrace* t, int attr, int value);
int ui_get_trace_attr(const UiTrace& t, int attr, int* value);

// Painting shared by graphs and strip charts: the pen of a trace, a curve drawn
// with it, and the grid and tick labels of a plot area (x labels times xgain).
QPen ui_plot_pen(const UiTrace& t);
void ui_draw_polyline(QPainter& p, const QPolygonF& poly, const QPen& pen);
void ui_paint_axes(QPainter& p, const QRectF& area, double x0, double x1, double y0, double y1, double xgain,
                   int grid_color, int text_color);
// Converts `count` elements of an array of UI_ data type `type` to doubles.
bool ui_to_doubles(const void* data, int count, int type, std::vector<double>* out);

struct UiPlot : UiTrace {
    enum Kind { Curve, Line, Point, Text };
    int handle = 0;
    Kind kind = Curve;
    std::vector<double> x; // empty for PlotY: x is the index
    std::vector<double> y;
    QString text;
    int bg_color = 0x1000000;
};

struct UiCursor {
    double x = 0.0;
    double y = 0.0;
    int color = 0xFFFF00;
    bool enabled = false;
};

struct UiAxis {
    int mode = 1; // UI_AUTOSCALE
    double min = 0.0;
    double max = 10.0;
};

class UiGraph : public UiCoalescedWidget {
    Q_OBJECT
  public:
    explicit UiGraph(QWidget* parent = nullptr);

    int addPlot(UiPlot plot);
    // handle -1 removes all; returns the number removed.
    int removePlot(int handle);
    UiPlot* plot(int handle);
    int plotCount() const { return static_cast<int>(plots_.size()); }
    const std::vector<UiPlot>& plots() const { return plots_; }

    void setAxis(int axis, int mode, double min, double max);
    UiAxis axis(int axis) const { return axis == 0 ? x_ : y_; }
    // The range of an axis as scaled, ignoring any zoom.
    void axisRange(int axis, double* min, double* max) const;
    // The range drawn now: zoomed view, else manual range or the data's extent.
    void viewRange(double* xmin, double* xmax, double* ymin, double* ymax) const;
    void restoreView();

    UiCursor cursors[4];
    double xgain = 1.0;
    bool zoom_enabled = false;
    int bg_color = 0x000000;
    int grid_color = 0x404040;
    int text_color = 0xFFFFFF;
    QString title, xname, yname;
    // Raised with EVENT_VAL_CHANGED while a cursor is dragged and EVENT_COMMIT
    // when it is let go, with the number (1..4) of the cursor that moved.
    std::function<void(int event, int cursor)> on_cursor_event;

    // Mapping between data and widget coordinates of the plot area.
    QPointF toPixel(double x, double y) const;
    QPointF toData(QPointF pixel) const;
    QRectF plotArea() const;

  protected:
    void paintContent(QPainter& p) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void autoRange(int axis, double* min, double* max) const;
    void zoomAt(QPointF pixel, double factor);

    std::vector<UiPlot> plots_;
    int next_handle_ = 1;
    UiAxis x_, y_;
    bool zoomed_ = false;
    double vx0_ = 0, vx1_ = 1, vy0_ = 0, vy1_ = 1;
    int drag_cursor_ = -1;
    bool panning_ = false;
    QPointF pan_from_;
    QTimer zoom_repeat_;
    QPointF zoom_point_;
    double zoom_factor_ = 1.0;
};

class UiStripChart : public UiCoalescedWidget {
    Q_OBJECT
  public:
    explicit UiStripChart(QWidget* parent = nullptr);

    void setTraceCount(int n);
    int traceCount() const { return static_cast<int>(traces_.size()); }
    void setPointsPerScreen(int n);
    int pointsPerScreen() const { return pps_; }
    // Appends steps of one point per trace, trace-interleaved.
    void append(const double* values, int steps);
    void clear();
    // Points of one trace, oldest first.
    int points(int trace, double* out, int max) const;
    int stored() const { return count_; }
    UiTrace& trace(int i) { return traces_[static_cast<size_t>(i)]; }

    UiAxis y;
    int bg_color = 0x000000;
    int grid_color = 0x404040;
    int text_color = 0xFFFFFF;
    QString title;

  protected:
    void paintContent(QPainter& p) override;

  private:
    std::vector<UiTrace> traces_;
    // A ring of pps_ steps, each traceCount() values wide.
    std::vector<double> ring_;
    int pps_ = 100;
    int head_ = 0; // slot of the oldest step
    int count_ = 0;
};

class UiCanvas : public UiCoalescedWidget {
    Q_OBJECT
  public:
    explicit UiCanvas(QWidget* parent = nullptr);
    void drawLine(int x1, int y1, int x2, int y2);
    void drawPoint(int x, int y);
    void drawOval(int left, int top, int width, int height, int mode);
    void drawText(const QString& text, int x, int y, int alignment);
    void clear();
    const QImage& image() const { return image_; }

    int pen_color = 0x000000;
    int fill_color = 0xFFFFFF;
    int pen_width = 1;
    int bg_color = 0xFFFFFF;

  protected:
    void paintContent(QPainter& p) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ensureImage();
    QImage image_;
};

// An invisible control that ticks; the layer turns ticks into EVENT_TIMER_TICK.
// Every progress bar of the layouts. The platform style draws a bar with
// gradients whose fill the raster engine hands to worker threads; the activity
// bars change at every refresh in RUN, so a plain frame and fill is drawn instead.
class UiProgressBar : public QProgressBar {
    Q_OBJECT
  public:
    explicit UiProgressBar(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class UiTimer : public QWidget {
    Q_OBJECT
  public:
    explicit UiTimer(QWidget* parent = nullptr);
    void setInterval(double seconds);
    double interval() const { return interval_; }
    void setTimerEnabled(bool on);
    bool timerEnabled() const { return enabled_; }
    void restart();
    std::function<void()> on_tick;

  private:
    QTimer timer_;
    double interval_ = 1.0;
    bool enabled_ = true;
};
