#pragma once

#include <QEvent>

// The user messages of the main frame to its view frames, posted as events
// whose type keeps the message's number (all lie in Qt's user range).
inline constexpr QEvent::Type kEventCommStart = static_cast<QEvent::Type>(0x04C8);
inline constexpr QEvent::Type kEventCommStop = static_cast<QEvent::Type>(0x04C9);
inline constexpr QEvent::Type kEventRefreshList = static_cast<QEvent::Type>(0x04CC);
inline constexpr QEvent::Type kEventDataBitApply = static_cast<QEvent::Type>(0x04CD);
inline constexpr QEvent::Type kEventSettingsChanged = static_cast<QEvent::Type>(0x04CE);
inline constexpr QEvent::Type kEventSaveProgress = static_cast<QEvent::Type>(0x04CF);
