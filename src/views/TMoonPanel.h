#pragma once

#include <QDate>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <QWidget>

// The moon-phase panel at the top of the side channel (164 x 71): the four
// principal phases side by side on a dark striped ground (new moon, first
// quarter, full moon, last quarter), and under each moon a day name and a
// date once the phases have been computed.
class TMoonPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int PanelWidth = 164;
    static constexpr int PanelHeight = 71;

    struct TLabel
    {
        QString DayName; // "Pon"
        QString Date;    // "22.06"
        bool Today = false;
    };

    explicit TMoonPanel(QWidget* parent = nullptr);

    // One label per phase in the order of the moons; fewer leave the rest empty.
    void SetLabels(const QList<TLabel>& labels);
    const QList<TLabel>& Labels() const { return FLabels; }

    // Labels each moon with its phase's next occurrence as seen on today's
    // date (or on the date given), highlighting a phase that falls on it.
    void DrawMoonPhases();
    void DrawMoonPhases(const QDate& today);

    // The ink of the labels' texts as drawn: day name and date of each label.
    QList<QRectF> TextRects() const;
    static QFont LabelFont();

    QSize sizeHint() const override { return {PanelWidth, PanelHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<TLabel> FLabels;
};
