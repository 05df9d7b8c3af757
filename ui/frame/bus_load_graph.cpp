#include "ui/frame/bus_load_graph.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>

#include "controls/item_list.h"
#include "res/ids.h"
#include "res/resources.h"
#include "settings/app_settings.h"

namespace {

// The legend: five rows from y 6, the text from x 8, the box to 12 chars.
constexpr int kLegendTop = 6;
constexpr int kLegendTextLeft = 8;
constexpr int kLegendChars = 12;
constexpr int kSampleStrokeChars = 4;
constexpr int kThresholdWidth = 2;

QRect ToRect(const BusLoadBox& b) {
    return QRect(b.left, b.top, b.right - b.left, b.bottom - b.top);
}

QColor FromRef(uint32_t colorRef) {
    return CItemList::ColorFromRef(colorRef);
}

}  // namespace

CBusLoadGraph::CBusLoadGraph(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CLASS_BUSLOAD_GRAPH"));
    setFocusPolicy(Qt::StrongFocus);
    // Every paint covers the whole area.
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QFont font = QApplication::font();
    const QSize xy = QFontMetrics(font).size(Qt::TextSingleLine, QStringLiteral("Xy"));
    charW_ = xy.width() / 2;
    lineH_ = xy.height() + 4;
    smallFont_ = font;
    if (font.pixelSize() > 0) {
        smallFont_.setPixelSize(qMax(6, font.pixelSize() - 1));
    } else if (font.pointSizeF() > 0) {
        smallFont_.setPointSizeF(qMax(6.0, font.pointSizeF() - 1));
    }
}

void CBusLoadGraph::SetInputs(Inputs inputs) {
    inputs_ = std::move(inputs);
    CreatePens();
    Relayout();
}

const AppSettings& CBusLoadGraph::Settings() const {
    static const AppSettings defaults;
    return inputs_.settings ? inputs_.settings() : defaults;
}

void CBusLoadGraph::CreatePens() {
    const AppSettings& s = Settings();
    for (int c = 0; c < kChannelCount; ++c) {
        linePens_[static_cast<size_t>(c)] =
            QPen(FromRef(s.busLoadColorLine[c]), 1, Qt::SolidLine, Qt::FlatCap);
    }
    gridPen_ = QPen(FromRef(s.busLoadColorScaleLine), 1, Qt::DotLine, Qt::FlatCap);
    thresholdPen_ =
        QPen(FromRef(s.busLoadColorThreshold), kThresholdWidth, Qt::SolidLine, Qt::FlatCap);
    ++serial_;
}

void CBusLoadGraph::Relayout() {
    if (charW_ <= 0 || lineH_ <= 0) {
        return;
    }
    layout_ = ComputeBusLoadLayout(width(), height(), charW_, lineH_, Settings().busLoadHistTime);
    ++serial_;
    update();
}

void CBusLoadGraph::resizeEvent(QResizeEvent* /*event*/) {
    Relayout();
}

bool CBusLoadGraph::LineVisible(int index) const {
    return index >= 0 && index < kChannelCount && visible_[static_cast<size_t>(index)];
}

void CBusLoadGraph::SetLineVisible(int index, bool visible) {
    if (index >= 0 && index < kChannelCount) {
        visible_[static_cast<size_t>(index)] = visible;
    }
}

bool CBusLoadGraph::LineShown(int index) const {
    return LineVisible(index) && inputs_.active && inputs_.active(index);
}

CBusLoadGraph::BackdropKey CBusLoadGraph::CurrentBackdropKey() const {
    const AppSettings& s = Settings();
    BackdropKey key;
    key.size = size();
    key.ratio = devicePixelRatioF();
    key.palette = palette().cacheKey();
    key.background = s.busLoadColorBkgnd;
    key.scaleText = s.busLoadColorScaleText;
    key.serial = serial_;
    for (int c = 0; c < kChannelCount; ++c) {
        key.shown[static_cast<size_t>(c)] = LineShown(c);
    }
    return key;
}

void CBusLoadGraph::paintEvent(QPaintEvent* /*event*/) {
    // Everything below the lines changes only with the size, the settings or
    // a channel's state: drawn once into a picture, then copied per paint.
    const BackdropKey key = CurrentBackdropKey();
    if (backdrop_.isNull() || !(key == backdropKey_)) {
        backdrop_ = QImage(key.size * key.ratio, QImage::Format_RGB32);
        backdrop_.setDevicePixelRatio(key.ratio);
        QPainter still(&backdrop_);
        still.fillRect(rect(), palette().color(QPalette::Button));
        DrawLegend(still);
        DrawAxisLabels(still);
        still.fillRect(ToRect(layout_.plot), FromRef(key.background));
        DrawGrid(still);
        backdropKey_ = key;
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), backdrop_);
    DrawLines(painter);
    DrawThreshold(painter);
    DrawBorder(painter);
}

void CBusLoadGraph::DrawLegend(QPainter& painter) const {
    const QPalette& pal = palette();
    const BusLoadBox& box = layout_.legend;
    painter.setPen(pal.color(QPalette::Dark));
    painter.setBrush(pal.color(QPalette::Base));
    painter.drawRect(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(smallFont_);
    const res::Resources& resources = res::Resources::Instance();
    const QColor hidden = pal.color(QPalette::Button);
    for (int c = 0; c < kChannelCount; ++c) {
        const int top = kLegendTop + c * lineH_;
        const bool shown = LineShown(c);
        painter.setPen(shown ? pal.color(QPalette::WindowText) : hidden);
        const QRect text(kLegendTextLeft, top, kLegendChars * charW_ - kLegendTextLeft, lineH_);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         resources.Format(IDS_FMT_BUSLOAD_LEGEND, c + 1));
        // A two-pixel sample of the line, drawn leftwards from one char
        // inside the box.
        painter.setPen(shown ? linePens_[static_cast<size_t>(c)] : QPen(hidden, 1));
        const int from = kLegendChars * charW_ - charW_;
        const int to = from - kSampleStrokeChars * charW_ + 1;
        const int mid = top + lineH_ / 2;
        painter.drawLine(from, mid, to, mid);
        painter.drawLine(from, mid + 1, to, mid + 1);
    }
}

std::vector<CBusLoadGraph::AxisLabel> CBusLoadGraph::AxisLabels() const {
    const res::Resources& resources = res::Resources::Instance();
    std::vector<AxisLabel> labels;
    const int single = Qt::TextSingleLine;
    const int divisions = static_cast<int>(layout_.xLabels.size());
    for (int i = 0; i < divisions; ++i) {
        labels.push_back({resources.Format(IDS_FMT_BUSLOAD_XAXIS, 10 * i),
                          ToRect(layout_.xLabels[static_cast<size_t>(i)]),
                          Qt::AlignRight | Qt::AlignVCenter | single});
    }
    if (divisions > 0) {
        // The span's far end stands at the plot's left edge.
        labels.push_back({resources.Format(IDS_FMT_BUSLOAD_XAXIS, 10 * divisions),
                          ToRect(layout_.xLabels.back()),
                          Qt::AlignLeft | Qt::AlignVCenter | single});
    }
    for (int k = 0; k <= 10; ++k) {
        labels.push_back({resources.Format(IDS_FMT_BUSLOAD_YAXIS, 10 * k),
                          ToRect(layout_.yLabels[static_cast<size_t>(k)]),
                          Qt::AlignRight | Qt::AlignBottom | single});
    }
    return labels;
}

void CBusLoadGraph::DrawAxisLabels(QPainter& painter) const {
    painter.setPen(FromRef(Settings().busLoadColorScaleText));
    for (const AxisLabel& label : AxisLabels()) {
        painter.drawText(label.rect, label.flags, label.text);
    }
}

void CBusLoadGraph::DrawGrid(QPainter& painter) const {
    const BusLoadBox& p = layout_.plot;
    painter.setPen(gridPen_);
    if (layout_.tenPercent > 0) {
        for (int y = p.bottom - layout_.tenPercent; y > p.top; y -= layout_.tenPercent) {
            painter.drawLine(p.left + 1, y, p.right - 2, y);
        }
    }
    if (layout_.divWidth > 0) {
        for (int x = p.right - layout_.divWidth; x > p.left; x -= layout_.divWidth) {
            painter.drawLine(x, p.top + 1, x, p.bottom - 2);
        }
    }
}

void CBusLoadGraph::DrawLines(QPainter& painter) const {
    if (!inputs_.history) {
        return;
    }
    QPolygon points;
    for (int c = 0; c < kChannelCount; ++c) {
        if (!LineShown(c)) {
            continue;
        }
        const std::vector<uint32_t> history = inputs_.history(c);
        const int n = BusLoadSamplesDrawn(layout_, static_cast<int>(history.size()));
        if (n < 2) {
            continue;
        }
        points.resize(n);
        for (int j = 0; j < n; ++j) {
            points.setPoint(j, BusLoadSampleX(layout_, j),
                            BusLoadSampleY(layout_, history[static_cast<size_t>(j)]));
        }
        painter.setPen(linePens_[static_cast<size_t>(c)]);
        painter.drawPolyline(points);
    }
}

void CBusLoadGraph::DrawThreshold(QPainter& painter) const {
    // Inverted against what lies below, so the line stays visible where it
    // crosses a load line of the same colour.
    const BusLoadBox& p = layout_.plot;
    const int y = BusLoadThresholdY(layout_, Settings().busLoadThreshold);
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    painter.setPen(thresholdPen_);
    painter.drawLine(p.left, y, p.right - 1, y);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void CBusLoadGraph::DrawBorder(QPainter& painter) const {
    const BusLoadBox& p = layout_.plot;
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    painter.drawLine(p.left, p.top, p.right, p.top);
    painter.drawLine(p.right, p.top, p.right, p.bottom);
    painter.drawLine(p.right, p.bottom, p.left, p.bottom);
    painter.drawLine(p.left, p.bottom, p.left, p.top);
}
