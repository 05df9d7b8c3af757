#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace res {

// The locale of Qt's own translation for a language id: "ja", "zh_CN",
// "zh_TW", "ko"; empty for English and unknown ids (Qt's texts are English).
QString QtLocaleName(uint32_t languageId);

// The CJK faces in the order that draws ideographs in the forms readers of
// the language expect: Simplified-Chinese forms first for 2052, Japanese
// forms first otherwise.
QStringList CjkFamilies(uint32_t languageId);

// Brings the texts Qt draws itself (standard buttons of message boxes, file
// dialogs, the edit menus of text fields, the window menus of the view
// frames) into the language of the resource set in use, and lets the
// application font draw ideographs in that language's forms. False when
// Qt's translation for the language is not installed: its texts stay
// English then. Call again to switch; the previous translation is removed.
bool ApplyQtLanguage(uint32_t languageId);

}  // namespace res
