#pragma once

#include <QImage>
#include <QObject>
#include <QString>

// The four-day outlook picture that the side panel shows; the panel follows
// its changes.
class TFourDayPicture : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    const QImage& Picture() const { return FPicture; }
    // Decodes a picture file and shows it; a file that does not decode leaves
    // the previous picture and returns false.
    bool LoadFromFile(const QString& fileName);

signals:
    void pictureChanged(const QImage& picture);

private:
    QImage FPicture;
};
