#include "Await.h"
#include "app/MessageBoxPresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using pas_lib::TMessageAnswer;
using pas_lib::TMessageKind;

Q_DECLARE_METATYPE(TMessageKind)
Q_DECLARE_METATYPE(TMessageAnswer)

class TestMessageBox : public QObject
{
    Q_OBJECT
private slots:
    // Whatever the text holds, the box shows it as it is: markup is never read,
    // so a server's text cannot make the box load files.
    void plainTextEverywhere_data()
    {
        QTest::addColumn<TMessageKind>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QMessageBox::StandardButton>("click");
        QTest::addColumn<TMessageAnswer>("answer");
        QTest::addColumn<QMessageBox::Icon>("icon");
        const QString markup = QStringLiteral("<img src=\"/dev/zero\"><b>Nova</b> verzija");
        QTest::newRow("information") << TMessageKind::Information << markup << QMessageBox::Ok
                                     << TMessageAnswer::Ok << QMessageBox::Information;
        QTest::newRow("warning") << TMessageKind::Warning << QStringLiteral("<html>a\n\rb</html>")
                                 << QMessageBox::Ok << TMessageAnswer::Ok << QMessageBox::Warning;
        QTest::newRow("error") << TMessageKind::Error << QStringLiteral("a &lt; b")
                               << QMessageBox::Ok << TMessageAnswer::Ok << QMessageBox::Critical;
        QTest::newRow("question, yes") << TMessageKind::Question << markup << QMessageBox::Yes
                                       << TMessageAnswer::Yes << QMessageBox::Question;
        QTest::newRow("question, no") << TMessageKind::Question << markup << QMessageBox::No
                                      << TMessageAnswer::No << QMessageBox::Question;
    }
    void plainTextEverywhere()
    {
        QFETCH(TMessageKind, kind);
        QFETCH(QString, text);
        QFETCH(QMessageBox::StandardButton, click);
        QFETCH(TMessageAnswer, answer);
        QFETCH(QMessageBox::Icon, icon);
        QApplication::setApplicationName(QStringLiteral("Nimbulon"));
        Qt::TextFormat format = Qt::AutoText;
        QString shown;
        QString title;
        QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
        bool found = false;
        // The box is awaited: the test reads and answers it while it waits.
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QMessageBox* box = nullptr;
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->isVisible() && qobject_cast<QMessageBox*>(widget))
                    box = qobject_cast<QMessageBox*>(widget);
            if (!box)
                return;
            poll.stop();
            found = true;
            format = box->textFormat();
            shown = box->text();
            title = box->windowTitle();
            shownIcon = box->icon();
            box->button(click)->click();
        });
        poll.start(10);
        TMessageBoxPresenter presenter;
        QCOMPARE(Await(presenter.Present(kind, text)), answer);
        QVERIFY(found);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shown, text);
        QCOMPARE(title, QStringLiteral("Nimbulon"));
        QCOMPARE(shownIcon, icon);
    }

    // A box still open when its presenter goes is closed unanswered, and the
    // caller that awaits it goes on.
    void unansweredWhenThePresenterGoes()
    {
        auto presenter = std::make_unique<TMessageBoxPresenter>();
        QCoro::Task<TMessageAnswer> question =
            presenter->Present(TMessageKind::Question, QStringLiteral("?"));
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        presenter.reset();
        QVERIFY(question.isReady());
        QCOMPARE(Await(std::move(question)), TMessageAnswer::No);
        QTRY_COMPARE(QApplication::topLevelWidgets().size(), 0);
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
