#pragma once

#include <QMainWindow>

// The program's one window. Its creation runs the whole start-up; it starts
// hidden, and closing it never ends the program.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // A later start of the program has announced itself (message 32769).
    void WMInstanceNotify(quint32 wParam, quint32 lParam);

signals:
    // A balloon for the notification-area icon.
    void BalloonRequested(const QString& title, const QString& text, int milliseconds);

private:
    void FormCreate();
};
