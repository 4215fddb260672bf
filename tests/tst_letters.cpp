#include "app_fixture.h"

#include "platform/makscii.h"
#include "refdata/taxpayer_import.h"

#include <QFile>
#include <QTextStream>

using namespace Qt::StringLiterals;
using namespace trelok;

// One letter convention: Unicode Macedonian Cyrillic becomes the code points
// "MAC C Times" shows as those letters; everything else stays.
class TestLetters : public QObject {
    Q_OBJECT
private slots:
    void everyLetter_data()
    {
        QTest::addColumn<QChar>("cyrillic");
        QTest::addColumn<QChar>("stored");
        const QString upper = u"АБВГДЃЕЖЗЅИЈКЛЉМНЊОПРСТЌУФХЦЧЏШ"_s;
        const QString upperStored = u"ABVGD\\E@ZYIJKLQMNWOPRST]UFHC^X["_s;
        const QString lower = u"абвгдѓежзѕијклљмнњопрстќуфхцчџш"_s;
        const QString lowerStored = u"abvgd|e`zyijklqmnwoprst}ufhc~x{"_s;
        QCOMPARE(upper.size(), 31);
        QCOMPARE(lower.size(), 31);
        for (int i = 0; i < 31; ++i) {
            QTest::addRow("%s", qPrintable(upper.mid(i, 1))) << upper[i] << upperStored[i];
            QTest::addRow("%s", qPrintable(lower.mid(i, 1))) << lower[i] << lowerStored[i];
        }
    }
    void everyLetter()
    {
        QFETCH(QChar, cyrillic);
        QFETCH(QChar, stored);
        QCOMPARE(fromCyrillic(QString(cyrillic)), QString(stored));
        // What the font shows for the stored point is the typed letter.
        QCOMPARE(makscii(QString(stored)), QString(cyrillic));
    }

    void mixedTextKeepsEverythingElse()
    {
        // Latin, digits, punctuation, a Russian letter, a dash and the euro.
        QCOMPARE(fromCyrillic(u"Шtip 12, ул. Ѓорче Петров 5 – Щ ё € [x]"_s),
                 u"[tip 12, ul. \\or~e Petrov 5 – Щ ё € [x]"_s);
        QCOMPARE(fromCyrillic(u"Carina {tip"_s), u"Carina {tip"_s);
    }

    void importConvertsOnlyWhenAsked_data()
    {
        QTest::addColumn<bool>("makscii");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("city");
        QTest::newRow("--makscii") << true << u"@ito Luks"_s << u"[tip"_s;
        QTest::newRow("as typed") << false << u"Жито Лукс"_s << u"Штип"_s;
    }
    void importConvertsOnlyWhenAsked()
    {
        QFETCH(bool, makscii);
        QFETCH(QString, name);
        QFETCH(QString, city);
        TestDb db;
        const QString path = db.dir.filePath(u"register.csv"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            u"dec_cod,dec_nam,dec_ad3,dec_tlx\n4030999000011,Жито Лукс,ул. Ленинова 3,Штип\n"_s
                .toUtf8());
        file.close();
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        QCOMPARE(importTaxpayers(db.store, path, out, err, makscii), 0);
        const auto row =
            db.store.first("SELECT * FROM tbl_obvr WHERE dec_cod=?", {u"4030999000011"_s});
        QVERIFY(row && row.value());
        QCOMPARE(row.value()->raw(u"dec_nam"_s).toString(), name);
        QCOMPARE(row.value()->raw(u"dec_ad3"_s).toString(),
                 makscii ? u"ul. Leninova 3"_s : u"ул. Ленинова 3"_s);
        QCOMPARE(row.value()->raw(u"dec_tlx"_s).toString(), city);
    }
};

QTEST_GUILESS_MAIN(TestLetters)
#include "tst_letters.moc"
