#include "common/WindowsColor.h"

QColor ColorFromWindows(qint64 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

int WindowsColorValue(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}
