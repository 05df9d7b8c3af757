#pragma once

#include <QPalette>
#include <QString>
#include <cstdint>

class QApplication;

// The application looks: each look id (32813..32823) is a Qt style with a
// palette of its own; any other id takes the Office 2007 blue look.
namespace app_look {

struct Look {
    uint32_t id;
    QString styleName;
    QPalette palette;
};

Look LookFor(uint32_t id);
// Sets the look's style and palette on the application.
void Apply(uint32_t id);
// The id whose look is in use (0 before Apply).
uint32_t Current();

}  // namespace app_look
