#pragma once

#include <QColor>

namespace tvx {

// Colours are written as &H00BBGGRR: blue, green and red bytes. The high byte
// 0x80 marks a system colour; 0x80000005 is the window background.
constexpr quint32 kFocusColor = 0x00FFFF80;       // light cyan behind the focused field
constexpr quint32 kWindowBackground = 0x80000005;  // the system window colour

QColor vbColor(quint32 bgr);

}  // namespace tvx
