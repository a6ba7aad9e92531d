#pragma once

#include <QColor>

// Colours as the settings store them: Windows colour values, red in the lowest
// byte (0x00BBGGRR). Bits above the lowest 24 are ignored.
QColor ColorFromWindows(qint64 value);
int WindowsColorValue(const QColor& color);
