#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QToolButton;

// The panel above the content area: the view's title, the age of old data and
// the About page's close button at its right, and the refreshing indicator,
// which covers the whole panel while a refresh runs with the window shown.
class TTitlePanel : public QWidget
{
    Q_OBJECT
public:
    explicit TTitlePanel(QWidget* parent = nullptr);

    QString Title() const;
    void SetTitle(const QString& title);
    // "podatki od 9.12. 22:00" at the right, in sight however long the title
    // is; empty hides it.
    QString DataAge() const;
    void SetDataAge(const QString& age);
    QToolButton* CloseButton() const { return FClose; }
    QWidget* RefreshIndicator() const { return FIndicator; }

    void ShowRefreshing();
    void HideRefreshing();
    bool Refreshing() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateAccessibleName();

    QLabel* FTitle;
    QLabel* FAge;
    QToolButton* FClose;
    QWidget* FIndicator;
};
