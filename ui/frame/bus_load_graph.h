#pragma once

#include <QFont>
#include <QImage>
#include <QPen>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "can/can_frame_record.h"
#include "ui/frame/bus_load_layout.h"

struct AppSettings;

// The bus-load graph: the load of CAN1..CAN5 over the last 30, 60 or 120
// seconds on a 0..100 % scale, with a dotted grid, the threshold line, axis
// labels and a legend. It keeps no samples: each paint draws the channel
// layer's histories, newest at the right edge.
class CBusLoadGraph : public QWidget {
    Q_OBJECT

public:
    // What a paint reads; set by the owning frame before the first paint.
    struct Inputs {
        std::function<const AppSettings&()> settings;
        // Enabled and, while communicating, on the bus.
        std::function<bool(int index)> active;
        // Newest first.
        std::function<std::vector<uint32_t>(int index)> history;
    };

    // A text of the axes: where it stands and how it is aligned there.
    struct AxisLabel {
        QString text;
        QRect rect;
        int flags = 0;
    };

    explicit CBusLoadGraph(QWidget* parent = nullptr);

    void SetInputs(Inputs inputs);
    // The line, grid and threshold pens from the settings' colours.
    void CreatePens();
    // The layout for the current size and history time.
    void Relayout();

    const BusLoadLayout& Layout() const { return layout_; }
    int CharWidth() const { return charW_; }
    int LineHeight() const { return lineH_; }
    bool LineVisible(int index) const;
    void SetLineVisible(int index, bool visible);
    // Active and its line shown: the line is drawn, the legend entry is not grey.
    bool LineShown(int index) const;
    // The time labels under the plot, then the percent labels left of it.
    std::vector<AxisLabel> AxisLabels() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What the still part of the picture depends on.
    struct BackdropKey {
        QSize size;
        qreal ratio = 0;
        qint64 palette = 0;
        uint32_t background = 0;
        uint32_t scaleText = 0;
        int serial = 0;
        std::array<bool, kChannelCount> shown{};
        bool operator==(const BackdropKey&) const = default;
    };
    BackdropKey CurrentBackdropKey() const;
    const AppSettings& Settings() const;
    void DrawLegend(QPainter& painter) const;
    void DrawAxisLabels(QPainter& painter) const;
    void DrawGrid(QPainter& painter) const;
    void DrawLines(QPainter& painter) const;
    void DrawThreshold(QPainter& painter) const;
    void DrawBorder(QPainter& painter) const;

    Inputs inputs_;
    BusLoadLayout layout_;
    int charW_ = 0;
    int lineH_ = 0;
    QFont smallFont_;
    std::array<QPen, kChannelCount> linePens_;
    QPen gridPen_;
    QPen thresholdPen_;
    std::array<bool, kChannelCount> visible_{true, true, true, true, true};
    // Layout and pens: counted up at each change.
    int serial_ = 0;
    QImage backdrop_;
    BackdropKey backdropKey_;
};
