#pragma once

#include <QObject>
#include <QString>

// The text of the main window's title panel: the view's name, then three blanks
// and the time of the data shown. The panel shows it and follows its changes.
class TViewTitle : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString text READ Text WRITE SetText NOTIFY textChanged)
public:
    using QObject::QObject;

    const QString& Text() const { return FText; }
    void SetText(const QString& text);

signals:
    void textChanged(const QString& text);

private:
    QString FText;
};
