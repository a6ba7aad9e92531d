#pragma once

#include <QImage>
#include <QWidget>

// A panel that shows one picture scaled smoothly to its size (keeping the
// picture's proportions); without a picture it shows only its background.
class TImagePanel : public QWidget
{
    Q_OBJECT
public:
    explicit TImagePanel(QWidget* parent = nullptr);

    const QImage& Picture() const { return FPicture; }
    void SetPicture(const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage FPicture;
};
