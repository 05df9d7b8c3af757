#pragma once

// A scroll request as a scroll bar sends it, and where it moves a position.
enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, Track, Top, Bottom };

// The position the request asks for from pos, with the control's line and page
// steps; last is the position Bottom goes to. The caller clamps.
inline int ScrollTarget(ScrollCode code, int pos, int line, int page, int trackPos, int last) {
    switch (code) {
        case ScrollCode::LineUp:
            return pos - line;
        case ScrollCode::LineDown:
            return pos + line;
        case ScrollCode::PageUp:
            return pos - page;
        case ScrollCode::PageDown:
            return pos + page;
        case ScrollCode::Track:
            return trackPos;
        case ScrollCode::Top:
            return 0;
        case ScrollCode::Bottom:
            return last;
    }
    return pos;
}
