#include "tray/CaptionWriter.h"

#include "tray/TrayTexts.h"

#include <QLoggingCategory>
#include <QTimer>

Q_DECLARE_LOGGING_CATEGORY(lcTray)

namespace {

// A title bar has one line: line breaks become blanks, other control
// characters go.
QString OneLine(const QString& text)
{
    QString line = text;
    line.replace(pas_lib::TrayLineBreak, QStringLiteral(" "));
    QString result;
    result.reserve(line.size());
    for (const QChar ch : std::as_const(line)) {
        if (ch == u'\n' || ch == u'\r' || ch == u'\t' || ch == QChar::LineSeparator ||
            ch == QChar::ParagraphSeparator)
            result += u' ';
        else if (ch.category() != QChar::Other_Control)
            result += ch;
    }
    return result;
}

QString WindowName(TWindowId window)
{
    return QStringLiteral("0x") + QString::number(window, 16);
}

} // namespace

TCaptionWriter::TCaptionWriter(std::unique_ptr<TWindowTitles> titles)
    : FTitles(std::move(titles)), FTimer(new QTimer(this))
{
    FTimer->setObjectName(QStringLiteral("FTimer"));
    FTimer->setSingleShot(true);
    connect(FTimer, &QTimer::timeout, this, &TCaptionWriter::UpdateCaption);
    if (!FTitles->Available()) {
        static bool told = false;
        if (!told) {
            told = true;
            qCInfo(lcTray) << "Caption writer: this desktop lets no program rename the windows "
                              "of others; it writes no titles here";
        }
        return;
    }
    connect(FTitles.get(), &TWindowTitles::Changed, this, &TCaptionWriter::UpdateCaption);
    connect(FTitles.get(), &TWindowTitles::Closed, this, [this](TWindowId window) {
        if (window != FWindow)
            return;
        qCDebug(lcTray).noquote() << "Caption writer: window" << WindowName(window) << "closed";
        FWritten.clear();
        TakeWindow(0);
    });
    TWindowId active = FTitles->ActiveWindow();
    TakeWindow(active && FTitles->Writable(active) ? active : 0);
    qCDebug(lcTray) << "Caption writer starts";
}

TCaptionWriter::~TCaptionWriter()
{
    FTimer->stop();
    Restore();
    FTitles->Watch(0);
    qCDebug(lcTray) << "Caption writer ends";
}

QString TCaptionWriter::Decorated() const
{
    return FSavedCaption + QStringLiteral(" - ") + FText;
}

void TCaptionWriter::TakeWindow(TWindowId window)
{
    FWindow = window;
    FWritten.clear();
    FSavedCaption.clear();
    if (FWindow) {
        const std::optional<QString> title = FTitles->Title(FWindow);
        if (title)
            FSavedCaption = pas_lib::CutText(*title, TitleLimit);
        else
            FWindow = 0;
    }
    FTitles->Watch(FWindow);
}

void TCaptionWriter::Decorate()
{
    // At most one title every 50 ms, whatever the window's program does.
    if (FLastWrite.isValid() && FLastWrite.elapsed() < PaceMs) {
        if (!FTimer->isActive())
            FTimer->start(int(PaceMs - FLastWrite.elapsed()));
        return;
    }
    const QString title = Decorated();
    FTitles->SetTitle(FWindow, title);
    FWritten = title;
    FLastWrite.start();
    qCDebug(lcTray).noquote() << "Caption writer: window" << WindowName(FWindow) << "reads"
                              << title;
}

void TCaptionWriter::Restore()
{
    if (FWindow && !FWritten.isEmpty()) {
        FTitles->RestoreTitle(FWindow);
        qCDebug(lcTray).noquote() << "Caption writer: window" << WindowName(FWindow)
                                  << "has its title back:" << FSavedCaption;
    }
    FWritten.clear();
}

void TCaptionWriter::SetText(const QString& text)
{
    FText = pas_lib::CutText(OneLine(text), TextLimit);
    UpdateCaption();
}

void TCaptionWriter::UpdateCaption()
{
    if (!FTitles->Available())
        return;
    TWindowId active = FTitles->ActiveWindow();
    if (active && !FTitles->Writable(active))
        active = 0;
    if (active != FWindow) {
        Restore();
        TakeWindow(active);
        // Without a summary there is nothing to append.
        if (FWindow && !FText.isEmpty())
            Decorate();
        return;
    }
    if (!FWindow)
        return;
    const std::optional<QString> title = FTitles->Title(FWindow);
    if (!title) {
        FWritten.clear();
        TakeWindow(0);
        return;
    }
    if (!FWritten.isEmpty() && *title == FWritten) {
        // The decoration stands, perhaps with an older summary.
        if (FText.isEmpty())
            Restore();
        else if (FWritten != Decorated())
            Decorate();
        return;
    }
    // The window's program renamed it (or it is not decorated yet): that is
    // its own title now.
    FSavedCaption = pas_lib::CutText(*title, TitleLimit);
    if (FText.isEmpty())
        FWritten.clear();
    else
        Decorate();
}
