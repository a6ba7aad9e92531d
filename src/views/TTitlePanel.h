#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QToolButton;

// The panel above the content area: the view's title, the About page's close
// button at its right, and the refreshing indicator, which covers the whole
// panel while a refresh runs with the window shown.
class TTitlePanel : public QWidget
{
    Q_OBJECT
public:
    explicit TTitlePanel(QWidget* parent = nullptr);

    QString Title() const;
    void SetTitle(const QString& title);
    QToolButton* CloseButton() const { return FClose; }
    QWidget* RefreshIndicator() const { return FIndicator; }

    void ShowRefreshing();
    void HideRefreshing();
    bool Refreshing() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* FTitle;
    QToolButton* FClose;
    QWidget* FIndicator;
};
