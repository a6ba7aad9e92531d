#include "views/frm_about.h"

#include "common/Desktop.h"
#include "controls/SvgIcon.h"
#include "remote/RemoteSettings.h"
#include "remote/ServerAddresses.h"
#include "views/ViewTable.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString ProductName = QStringLiteral("Nimbulon");

// A label that opens an address when clicked, orange, slate under the pointer.
class TLinkLabel : public QLabel
{
public:
    TLinkLabel(const QString& text, std::function<void()> open, QWidget* parent)
        : QLabel(text, parent), FOpen(std::move(open))
    {
        setTextFormat(Qt::PlainText);
        setCursor(Qt::PointingHandCursor);
        setProperty("link", true);
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QLabel::mouseReleaseEvent(event);
        FOpen();
    }
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> FOpen;
};

void TLinkLabel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space)
        FOpen();
    else
        QLabel::keyPressEvent(event);
}

void OpenMail(const QString& address)
{
    QUrl url(QStringLiteral("mailto:") + address);
    url.setQuery(QStringLiteral("subject=") + ProductName);
    pas_lib::OpenWebAddress(url.toString(), true);
}

} // namespace

TFrameAbout::TFrameAbout(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrameAbout"));
    setProperty("panelTag", PanelTag::About);
    setAttribute(Qt::WA_StyledBackground);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 24);
    layout->setSpacing(8);

    auto* heading = new QHBoxLayout;
    heading->setSpacing(14);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("AboutIcon"));
    icon->setPixmap(SvgIcon(QStringLiteral("nimbulon")).pixmap(QSize(48, 48)));
    icon->setFixedSize(48, 48);
    heading->addWidget(icon);
    auto* name = new QLabel(ProductName, this);
    name->setObjectName(QStringLiteral("AboutLogo"));
    heading->addWidget(name);
    heading->addStretch();
    layout->addLayout(heading);
    layout->addSpacing(6);

    auto* versionRow = new QHBoxLayout;
    auto* versionCaption = new QLabel(QStringLiteral("Verzija programa:"), this);
    versionCaption->setProperty("aboutText", true);
    lblVerzija = new QLabel(this);
    lblVerzija->setObjectName(QStringLiteral("lblVerzija"));
    lblVerzija->setProperty("aboutText", true);
    versionRow->addWidget(versionCaption);
    versionRow->addWidget(lblVerzija);
    versionRow->addStretch();
    layout->addLayout(versionRow);

    auto* forum = new QLabel(
        QStringLiteral("Za prijavo napak in želje o dograditvi programa uporabite forum na naši "
                       "domači strani!"),
        this);
    forum->setObjectName(QStringLiteral("AboutForumText"));
    forum->setProperty("aboutText", true);
    forum->setWordWrap(true);
    layout->addWidget(forum);

    // It shows the home page, but takes the user to the forum.
    suiURLnimbulon = new TLinkLabel(
        QString(), [] { pas_lib::OpenWebAddress(ServerAddress(TServer::Forum)); }, this);
    suiURLnimbulon->setObjectName(QStringLiteral("suiURLnimbulon"));
    suiURLnimbulon->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(suiURLnimbulon);
    layout->addSpacing(10);

    auto* credits = new QGridLayout;
    credits->setHorizontalSpacing(12);
    credits->setVerticalSpacing(4);
    const QList<std::pair<QString, QString>> contributors{
        {QStringLiteral(":: Ikone ::"), QStringLiteral("ikone@korvalin.si")},
        {QStringLiteral(":: Program ::"), QStringLiteral("program@korvalin.si")},
        {QStringLiteral(":: Podatki ::"), QStringLiteral("podatki@korvalin.si")},
        {QStringLiteral(":: Testiranje ::"), QStringLiteral("testi@korvalin.si")},
    };
    int row = 0;
    for (const auto& [role, address] : contributors) {
        auto* roleLabel = new QLabel(role, this);
        roleLabel->setProperty("creditRole", true);
        credits->addWidget(roleLabel, row, 0);
        auto* link = new TLinkLabel(
            address, [mail = address] { OpenMail(mail); }, this);
        link->setObjectName(QStringLiteral("AboutCredit%1").arg(row + 1));
        credits->addWidget(link, row, 1);
        ++row;
    }
    credits->setColumnStretch(2, 1);
    layout->addLayout(credits);
    layout->addStretch();
}

void TFrameAbout::SetVersion(const QString& version)
{
    lblVerzija->setText(version);
}

QString TFrameAbout::Version() const
{
    return lblVerzija->text();
}

void TFrameAbout::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    suiURLnimbulon->setText(HomePageUrl);
}
