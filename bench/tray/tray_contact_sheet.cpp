// Draws every picture of the notification-area icon (the 21 weather pictures
// and the 16 refresh frames) and sample temperature texts at the sizes trays
// ask for, on a light and a dark panel, into one PNG to look at; a second PNG
// shows the small sizes enlarged pixel for pixel.
// Usage: tray_contact_sheet [out.png]   (default tray-contact-sheet.png)
#include "tray/TrayPictures.h"
#include "tray/TrayRules.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

namespace {

const QColor LightPanel(0xEC, 0xEE, 0xF1);
const QColor DarkPanel(0x3F, 0x50, 0x6F);
constexpr int Gap = 6;
constexpr int LabelWidth = 120;

struct TRow
{
    QString Label;
    QList<QImage> Cells;
    QColor Panel;
};

QList<QImage> Pictures(TTrayList list, int size, const QColor& background)
{
    QList<QImage> cells;
    for (int i = 0; i < PictureCount(list); ++i)
        cells.append(RenderTrayPicture(list, i, background, size));
    return cells;
}

QList<QImage> Texts(int size, const TTrayTextStyle& style)
{
    QList<QImage> cells;
    for (const char* text : {"-12", "-12°", "NA", "2", "25°", "-3", "38", "0°", "-27"})
        cells.append(RenderTrayText(QString::fromUtf8(text), style, size));
    return cells;
}

QImage Sheet(const QList<TRow>& rows, int zoom)
{
    int width = 0;
    int height = Gap;
    for (const TRow& row : rows) {
        int rowWidth = LabelWidth + Gap;
        int rowHeight = 14;
        for (const QImage& cell : row.Cells) {
            rowWidth += cell.width() * zoom + Gap;
            rowHeight = std::max(rowHeight, cell.height() * zoom);
        }
        width = std::max(width, rowWidth);
        height += rowHeight + 2 * Gap;
    }
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    QFont font;
    font.setPixelSize(11);
    painter.setFont(font);
    int y = Gap;
    for (const TRow& row : rows) {
        int rowHeight = 14;
        for (const QImage& cell : row.Cells)
            rowHeight = std::max(rowHeight, cell.height() * zoom);
        painter.fillRect(LabelWidth, y - Gap / 2, width - LabelWidth, rowHeight + Gap, row.Panel);
        painter.setPen(Qt::black);
        painter.drawText(QRect(4, y, LabelWidth - 8, rowHeight), Qt::AlignVCenter, row.Label);
        int x = LabelWidth + Gap;
        for (const QImage& cell : row.Cells) {
            painter.drawImage(QRect(x, y, cell.width() * zoom, cell.height() * zoom), cell);
            x += cell.width() * zoom + Gap;
        }
        y += rowHeight + 2 * Gap;
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("out"), QStringLiteral("the PNG to write"));
    parser.process(app);
    const QString out =
        parser.positionalArguments().value(0, QStringLiteral("tray-contact-sheet.png"));

    // The default settings: the Windows font name, 9 points, bold, black, on
    // a transparent background; and white on the default silver.
    TTrayTextStyle transparent;
    transparent.Font = pas_lib::TrayTextFont(QStringLiteral("MS Sans Serif"), QStringLiteral("9"),
                                             QStringLiteral("B"));
    transparent.Color = Qt::black;
    transparent.Transparent = true;
    TTrayTextStyle white = transparent;
    white.Color = Qt::white;
    TTrayTextStyle opaque = transparent;
    opaque.Transparent = false;
    opaque.Background = *pas_lib::WindowsColor(12632256);

    QList<TRow> rows;
    QList<TRow> small;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        const QString px = QString::number(size);
        TRow light{px + QStringLiteral(" px, light"), Pictures(TTrayList::Transparent, size, {}),
                   LightPanel};
        TRow dark{px + QStringLiteral(" px, dark"), Pictures(TTrayList::Transparent, size, {}),
                  DarkPanel};
        TRow frames{px + QStringLiteral(" px, refresh"), Pictures(TTrayList::Animation, size, {}),
                    LightPanel};
        TRow texts{px + QStringLiteral(" px, text"), Texts(size, transparent), LightPanel};
        texts.Cells += Texts(size, opaque);
        TRow darkTexts{px + QStringLiteral(" px, white text"), Texts(size, white), DarkPanel};
        rows << light << dark << frames << texts << darkTexts;
        if (size <= 24)
            small << light << dark << frames << texts << darkTexts;
    }
    rows << TRow{QStringLiteral("16 px, opaque"),
                 Pictures(TTrayList::Opaque, 16, *pas_lib::WindowsColor(12632256)), LightPanel};
    rows << TRow{QStringLiteral("16 px @2, text"), Texts(32, transparent), LightPanel};

    const QImage sheet = Sheet(rows, 1);
    const QFileInfo file(out);
    const QString zoomed =
        file.path() + QStringLiteral("/") + file.completeBaseName() + QStringLiteral("-zoom.png");
    if (!sheet.save(out) || !Sheet(small, 4).save(zoomed)) {
        std::fprintf(stderr, "Could not write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n%s\nText font: %s\n", qPrintable(out), qPrintable(zoomed),
                qPrintable(transparent.Font.family()));
    return 0;
}
