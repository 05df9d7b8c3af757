#include "ui/frame/view_placement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <climits>

namespace view_placement {

namespace {

// Coordinates beyond this are no place on any screen: such a record is
// damaged and the frame is left where it is.
constexpr int32_t kCoordinateLimit = 100000;

bool AllZero(const FramePlacement& p) {
    return p.left == 0 && p.top == 0 && p.right == 0 && p.bottom == 0;
}

}  // namespace

std::array<int, kFrameCount> StackOrder(const Placements& placements) {
    std::array<int, kFrameCount> order;
    order.fill(-1);
    std::array<bool, kFrameCount> ranked{};
    for (int index = 0; index < kFrameCount; ++index) {
        const int32_t z = placements[index].order;
        if (z >= 0 && z < kFrameCount && order[z] < 0) {
            order[z] = index;
            ranked[index] = true;
        }
    }
    for (int index = 0; index < kFrameCount; ++index) {
        if (ranked[index]) {
            continue;
        }
        auto free = std::find(order.begin(), order.end(), -1);
        *free = index;
    }
    return order;
}

QRect StoredRect(const FramePlacement& p) {
    const auto inRange = [](int32_t v) { return v > -kCoordinateLimit && v < kCoordinateLimit; };
    if (AllZero(p) || !inRange(p.left) || !inRange(p.top) || !inRange(p.right) ||
        !inRange(p.bottom) || p.right <= p.left || p.bottom <= p.top) {
        return QRect();
    }
    return QRect(p.left, p.top, p.right - p.left, p.bottom - p.top);
}

bool Restore(QMdiArea* area, const Frames& frames, const Placements& placements) {
    const std::array<int, kFrameCount> order = StackOrder(placements);
    bool placed = false;
    // From the last rank to the first, each raised above the ones before,
    // so that rank 0 ends on top.
    for (int z = kFrameCount - 1; z >= 0; --z) {
        QMdiSubWindow* frame = frames[order[z]];
        if (frame == nullptr) {
            continue;
        }
        const FramePlacement& p = placements[order[z]];
        const QRect rect = StoredRect(p);
        const bool special = p.showCmd == kShowMaximized || p.showCmd == kShowMinimized;
        if (rect.isValid()) {
            frame->showNormal();
            frame->setGeometry(rect);
            placed = true;
        } else if (special) {
            // No rectangle worth keeping, but the state is restored.
            placed = true;
        }
        frame->show();
        frame->raise();
        if (p.showCmd == kShowMaximized) {
            frame->showMaximized();
        } else if (p.showCmd == kShowMinimized) {
            frame->showMinimized();
        }
    }
    if (QMdiSubWindow* first = frames[order[0]]) {
        area->setActiveSubWindow(first);
    }
    return placed;
}

Placements Record(QMdiArea* area, const Frames& frames, const Placements& old) {
    Placements result = old;
    // The active frame first, then the others by how recently they were
    // active; frames never activated follow in index order.
    QList<QMdiSubWindow*> visit = area->subWindowList(QMdiArea::ActivationHistoryOrder);
    std::reverse(visit.begin(), visit.end());
    if (QMdiSubWindow* active = area->currentSubWindow()) {
        visit.removeAll(active);
        visit.prepend(active);
    }
    for (QMdiSubWindow* frame : frames) {
        if (frame != nullptr && !visit.contains(frame)) {
            visit.append(frame);
        }
    }

    int visited = 0;
    int minLeft = INT_MAX;
    int minTop = INT_MAX;
    std::array<bool, kFrameCount> seen{};
    for (QMdiSubWindow* frame : visit) {
        const auto it = std::find(frames.begin(), frames.end(), frame);
        if (it == frames.end() || frame == nullptr) {
            continue;  // not one of the view frames
        }
        const auto index = static_cast<size_t>(it - frames.begin());
        FramePlacement& p = result[index];
        p.order = visited++;
        if (frame->isMaximized()) {
            frame->showNormal();
            p.showCmd = kShowMaximized;
        } else if (frame->isMinimized()) {
            frame->showNormal();
            p.showCmd = kShowMinimized;
        } else {
            p.showCmd = kShowNormal;
        }
        const QRect g = frame->geometry();
        p.left = g.left();
        p.top = g.top();
        p.right = g.left() + g.width();
        p.bottom = g.top() + g.height();
        minLeft = std::min(minLeft, p.left);
        minTop = std::min(minTop, p.top);
        seen[index] = true;
    }
    if (visited == 0) {
        return result;
    }
    for (size_t i = 0; i < result.size(); ++i) {
        if (!seen[i]) {
            continue;
        }
        result[i].left -= minLeft;
        result[i].right -= minLeft;
        result[i].top -= minTop;
        result[i].bottom -= minTop;
    }
    return result;
}

}  // namespace view_placement
