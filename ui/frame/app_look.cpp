#include "ui/frame/app_look.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include "res/ids.h"

namespace app_look {

namespace {

uint32_t current = 0;

// A palette from a face colour, a window colour, a highlight and the text.
QPalette Make(QColor button, QColor window, QColor base, QColor highlight, QColor text,
              QColor buttonText = Qt::black) {
    QPalette palette(button, window);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, base.darker(104));
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    // Lists and edits keep dark text on their light base in every look; the
    // frame's own texts take the look's colour.
    palette.setColor(QPalette::Text, base.lightness() > 128 ? QColor(Qt::black) : text);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, buttonText);
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    return palette;
}

}  // namespace

Look LookFor(uint32_t id) {
    const QString windows = QStringLiteral("Windows");
    const QString fusion = QStringLiteral("Fusion");
    switch (id) {
        case ID_VIEW_APPLOOK_WIN_2000:
            return {id, windows,
                    Make(QColor(212, 208, 200), QColor(212, 208, 200), Qt::white,
                         QColor(10, 36, 106), Qt::black)};
        case ID_VIEW_APPLOOK_OFF_XP:
            return {id, windows,
                    Make(QColor(219, 216, 209), QColor(246, 245, 244), Qt::white,
                         QColor(49, 106, 197), Qt::black)};
        case ID_VIEW_APPLOOK_WIN_XP:
            return {id, windows,
                    Make(QColor(236, 233, 216), QColor(236, 233, 216), Qt::white,
                         QColor(49, 106, 197), Qt::black)};
        case ID_VIEW_APPLOOK_OFF_2003:
            return {id, fusion,
                    Make(QColor(196, 218, 250), QColor(221, 236, 254), Qt::white,
                         QColor(255, 192, 111), Qt::black)};
        case ID_VIEW_APPLOOK_VS_2005:
            return {id, fusion,
                    Make(QColor(238, 237, 229), QColor(245, 244, 238), Qt::white,
                         QColor(193, 210, 238), Qt::black)};
        case ID_VIEW_APPLOOK_VS_2008:
            return {id, fusion,
                    Make(QColor(233, 236, 250), QColor(240, 242, 252), Qt::white,
                         QColor(51, 153, 255), Qt::black)};
        case ID_VIEW_APPLOOK_OFF_2007_BLACK:
            return {id, fusion,
                    Make(QColor(83, 83, 83), QColor(60, 60, 60), QColor(240, 240, 240),
                         QColor(255, 170, 60), QColor(235, 235, 235), QColor(240, 240, 240))};
        case ID_VIEW_APPLOOK_OFF_2007_SILVER:
            return {id, fusion,
                    Make(QColor(208, 212, 221), QColor(227, 230, 236), Qt::white,
                         QColor(120, 130, 150), Qt::black)};
        case ID_VIEW_APPLOOK_OFF_2007_AQUA:
            return {id, fusion,
                    Make(QColor(189, 220, 224), QColor(213, 235, 238), Qt::white,
                         QColor(40, 150, 170), Qt::black)};
        case ID_VIEW_APPLOOK_WINDOWS_7:
            return {id, fusion,
                    Make(QColor(240, 240, 240), QColor(233, 239, 248), Qt::white,
                         QColor(51, 153, 255), Qt::black)};
        case ID_VIEW_APPLOOK_OFF_2007_BLUE:
        default:
            return {id, fusion,
                    Make(QColor(191, 219, 255), QColor(214, 232, 255), Qt::white,
                         QColor(255, 213, 120), QColor(21, 66, 139))};
    }
}

void Apply(uint32_t id) {
    const Look look = LookFor(id);
    if (QApplication::style() == nullptr ||
        QApplication::style()->name().compare(look.styleName, Qt::CaseInsensitive) != 0) {
        if (QStyle* style = QStyleFactory::create(look.styleName)) {
            QApplication::setStyle(style);
        }
    }
    QApplication::setPalette(look.palette);
    current = id;
}

uint32_t Current() {
    return current;
}

}  // namespace app_look
