#include "common/colors.h"

#include <QApplication>
#include <QPalette>

namespace tvx {

QColor vbColor(quint32 bgr)
{
    if (bgr & 0x80000000u) {
        switch (bgr & 0xFF) {
        case 0x05: return QApplication::palette().color(QPalette::Base);    // window background
        case 0x08: return QApplication::palette().color(QPalette::Text);    // window text
        case 0x0F: return QApplication::palette().color(QPalette::Button);  // button face
        default: return QApplication::palette().color(QPalette::Window);
        }
    }
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

}  // namespace tvx
