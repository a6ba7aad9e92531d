#pragma once

#include <QWidget>

class QLabel;

// The About page (FrameAbout): the program's icon and name, its version, a
// word on where to report faults, the home-page link and the credits.
class TFrameAbout : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameAbout(QWidget* parent = nullptr);

    // lblVerzija: the program version and its date.
    void SetVersion(const QString& version);
    QString Version() const;
    QLabel* HomePageLink() const { return suiURLnimbulon; }

protected:
    // The link shows the home page from the remote settings at every resize.
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* lblVerzija;
    QLabel* suiURLnimbulon;
};
