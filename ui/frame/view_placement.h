#pragma once

#include <QRect>
#include <array>

#include "settings/frame_placement.h"

class QMdiArea;
class QMdiSubWindow;

// Where the four view frames stand in the MDI area, kept across runs as
// four FramePlacement records (index 0 monitor, 1 bus load, 2 statistics,
// 3 message info). Rectangles are relative to the top-left-most frame.
namespace view_placement {

inline constexpr int kFrameCount = 4;
inline constexpr int kShowMaximized = 3;
inline constexpr int kShowNormal = 5;
inline constexpr int kShowMinimized = 6;

using Placements = std::array<FramePlacement, kFrameCount>;
using Frames = std::array<QMdiSubWindow*, kFrameCount>;

// order[z] = the frame whose record has order z (0 = the frame that was
// active). Orders out of range or taken twice, as a damaged settings file
// may hold, give those frames the free ranks in index order.
std::array<int, kFrameCount> StackOrder(const Placements& placements);

// The record's rectangle, or an empty rectangle when the record holds no
// usable one (all zero, or damaged: no width or height, or far outside any
// screen).
QRect StoredRect(const FramePlacement& placement);

// Places the frames as the records say: the frame with order 0 ends on top
// and active. Returns false when no frame had a placement, in which case
// the caller tiles the frames (the MDI area may not have its size yet).
bool Restore(QMdiArea* area, const Frames& frames, const Placements& placements);

// Records the frames' places: order by activation (the active frame first),
// show command, and the normal rectangle (a maximised or minimised frame is
// restored to read it), all relative to the top-left-most frame. Frames that
// are null keep their old record.
Placements Record(QMdiArea* area, const Frames& frames, const Placements& old);

}  // namespace view_placement
