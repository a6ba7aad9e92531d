#include "TestHome.h"
#include "app/lnGlobalVar.h"
#include "platform/SharedObjects.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QUuid>
#include <QtTest>

class TestGlobalVar : public QObject
{
    Q_OBJECT

    TTestHome home; // a private runtime folder of the test's own

    static QString UniqueName()
    {
        return QStringLiteral("Test.") + QUuid::createUuid().toString(QUuid::Id128);
    }

private slots:
    void sizeRule_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("stringBytes");
        QTest::addColumn<int>("size");
        QTest::newRow("signed 8-bit") << 16 << 0 << 1;
        QTest::newRow("unsigned 8-bit") << 17 << 0 << 1;
        QTest::newRow("signed 16-bit") << 2 << 0 << 2;
        QTest::newRow("boolean") << 11 << 0 << 2;
        QTest::newRow("unsigned 16-bit") << 18 << 0 << 2;
        QTest::newRow("double") << 5 << 0 << 8;
        QTest::newRow("currency") << 6 << 0 << 8;
        QTest::newRow("date") << 7 << 0 << 8;
        QTest::newRow("signed 64-bit") << 20 << 0 << 8;
        QTest::newRow("wide string") << 8 << 10 << 10;
        QTest::newRow("nested value") << 12 << 0 << 16;
        QTest::newRow("single-byte string") << 256 << 7 << 7;
        QTest::newRow("empty") << 0 << 0 << 4;
        QTest::newRow("null") << 1 << 0 << 4;
        QTest::newRow("signed 32-bit") << 3 << 0 << 4;
        QTest::newRow("single") << 4 << 0 << 4;
        QTest::newRow("unsigned 32-bit") << 19 << 0 << 4;
    }
    void sizeRule()
    {
        QFETCH(int, type);
        QFETCH(int, stringBytes);
        QFETCH(int, size);
        QCOMPARE(TGlobalVar::SizeOf(quint16(type), quint32(stringBytes)), quint32(size));
    }

    // A value goes in, and the size, the type code and the value come back out.
    void storesTaggedValues_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::newRow("unsigned 32-bit") << QVariant::fromValue(quint32(4000000000u)) << 19 << 4;
        QTest::newRow("signed 32-bit") << QVariant::fromValue(qint32(-7)) << 3 << 4;
        QTest::newRow("boolean") << QVariant(true) << 11 << 2;
        QTest::newRow("signed 16-bit") << QVariant::fromValue(qint16(-300)) << 2 << 2;
        QTest::newRow("unsigned 8-bit") << QVariant::fromValue(quint8(200)) << 17 << 1;
        QTest::newRow("double") << QVariant(2.5) << 5 << 8;
        QTest::newRow("signed 64-bit") << QVariant::fromValue(qint64(-1) << 40) << 20 << 8;
        QTest::newRow("date") << QVariant(QDateTime(QDate(2009, 6, 8), QTime(12, 30))) << 7 << 8;
        QTest::newRow("wide string") << QVariant(QStringLiteral("Črn")) << 8 << 6;
        QTest::newRow("single-byte string") << QVariant(QByteArray("Ab\xC8")) << 256 << 3;
        QTest::newRow("null") << QVariant::fromValue(nullptr) << 1 << 4;
    }
    void storesTaggedValues()
    {
        QFETCH(QVariant, value);
        QFETCH(int, type);
        QFETCH(int, size);
        TGlobalVar var(UniqueName(), 16);
        var.SetValue(value);
        QCOMPARE(var.GetValueType(), quint16(type));
        QCOMPARE(var.GetSize(), quint32(size));
        QCOMPARE(var.GetVarData().VType, quint16(type));
        const QVariant back = var.GetValue();
        if (type == VarType::Null)
            QCOMPARE(back.typeId(), int(QMetaType::Nullptr));
        else
            QCOMPARE(back, value);
    }

    void freshBlockReadsNull()
    {
        bool existed = true;
        TGlobalVar var(UniqueName(), 4, &existed);
        QVERIFY(!existed);
        QCOMPARE(var.GetSize(), 0u);
        QCOMPARE(var.GetValueType(), quint16(VarType::Empty));
        QCOMPARE(var.GetVarData().VType, quint16(VarType::Null));
        QCOMPARE(var.GetValue().typeId(), int(QMetaType::Nullptr));
    }

    void valueTooLargeChangesNothing()
    {
        TGlobalVar var(UniqueName(), 4);
        var.SetValue(QVariant::fromValue(quint32(42)));
        try {
            var.SetValue(QVariant(2.5));
            QFAIL("a value of 8 bytes was accepted by a block of 4");
        } catch (const pas_lib::Exception& error) {
            QCOMPARE(error.Message(),
                     QStringLiteral(
                         "Error setting value\r\n  Max value size: 4\r\n  Your value size: 8"));
        }
        QCOMPARE(var.GetValue(), QVariant::fromValue(quint32(42)));
        QCOMPARE(var.GetValueType(), quint16(VarType::LongWord));
    }

    void openingExistingBlockKeepsHeader()
    {
        const QString name = UniqueName();
        bool existed = true;
        TGlobalVar first(name, 4, &existed);
        QVERIFY(!existed);
        first.SetValue(QVariant::fromValue(quint32(1234)));
        TGlobalVar second(name, 4, &existed);
        QVERIFY(existed);
        QCOMPARE(second.GetValue(), QVariant::fromValue(quint32(1234)));
        QCOMPARE(second.GetSize(), 4u);
        second.SetValue(QVariant::fromValue(quint32(99)));
        QCOMPARE(first.GetValue(), QVariant::fromValue(quint32(99)));
    }

    void lastUserGoneMakesBlockNew()
    {
        const QString name = UniqueName();
        {
            TGlobalVar first(name, 4);
            first.SetValue(QVariant::fromValue(quint32(7)));
        }
        // Nothing of it is left in the system.
        const QFileInfo block(TGlobalVar::SystemName(QString(), name));
        QStringList leftovers;
        for (const QString& entry : block.dir().entryList(QDir::Files | QDir::System))
            if (entry.endsWith(block.fileName()))
                leftovers.append(entry);
        QCOMPARE(leftovers, QStringList());
        bool existed = true;
        TGlobalVar again(name, 4, &existed);
        QVERIFY(!existed);
        QCOMPARE(again.GetValue().typeId(), int(QMetaType::Nullptr));
    }

    void eventsFollowTheProtocol()
    {
        const QString name = UniqueName();
        auto first = std::make_unique<TGlobalVar>(name, 4);
        TNamedEvent change(TGlobalVar::SystemName(QStringLiteral("evtCL"), name), false);
        TNamedEvent reader(TGlobalVar::SystemName(QStringLiteral("evtRL"), name), true);
        TNamedEvent writer(TGlobalVar::SystemName(QStringLiteral("evtWL"), name), true);
        QVERIFY(!change.IsSignalled());
        QVERIFY(reader.IsSignalled());
        QVERIFY(writer.IsSignalled());

        // Each write pulses the change event: signalled once, then reset at once.
        const quint32 pulses = change.SignalCount();
        first->SetValue(QVariant::fromValue(quint32(5)));
        first->SetValue(QVariant::fromValue(quint32(6)));
        QCOMPARE(change.SignalCount(), pulses + 2);
        QVERIFY(!change.IsSignalled());
        QVERIFY(reader.IsSignalled());
        QVERIFY(writer.IsSignalled());

        TGlobalVar second(name, 4);
        first.reset();
        QVERIFY2(change.IsSignalled(), "destroying a variable leaves the change event signalled");
        QCOMPARE(second.GetValue(), QVariant::fromValue(quint32(6)));
    }

    void valuesThatReferToMemoryAreRefused()
    {
        TGlobalVar var(UniqueName(), 16);
        QVERIFY_THROWS_EXCEPTION(pas_lib::Exception, var.SetValue(QVariant(QStringList{})));
    }
};

QTEST_GUILESS_MAIN(TestGlobalVar)
#include "tst_globalvar.moc"
