#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

// An icon from the program's SVG drawings (":/icons/<name>.svg"), painted anew
// for every size and pixel ratio, so it stays sharp at any scale. Drawings that
// use "currentColor" take the colour of the icon's mode: color normally,
// activeColor under the pointer, a faded color when disabled. Invalid colours
// leave the drawing's own colours.
QIcon SvgIcon(const QString& name, const QColor& color = QColor(),
              const QColor& activeColor = QColor());

// The drawing rendered into a pixmap of size (device-independent pixels) for a
// pixel ratio; for pictures that are not icons.
QPixmap SvgPixmap(const QString& name, const QSize& size, qreal devicePixelRatio,
                  const QColor& color = QColor());
