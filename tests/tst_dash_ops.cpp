#include "platform/dash_ops.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace trelok;

class TestDashOps : public QObject {
    Q_OBJECT
private slots:
    void dvoi_crtka_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("pieces"); // the five pieces after the call
        const QString kept = u"old"_s;
        QTest::newRow("three pieces")
            << u"210-123-67"_s << QStringList{u"210"_s, u"123"_s, u"67"_s, kept, kept};
        QTest::newRow("outer blanks")
            << u"  12-34  "_s << QStringList{u"12"_s, u"34"_s, kept, kept, kept};
        QTest::newRow("six pieces, last dropped")
            << u"a-b-c-d-e-f"_s << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};
        QTest::newRow("empty piece")
            << u"a--b"_s << QStringList{u"a"_s, QString(), u"b"_s, kept, kept};
        QTest::newRow("dash at the end")
            << u"a-"_s << QStringList{u"a"_s, QString(), kept, kept, kept};
        QTest::newRow("blanks inside kept")
            << u"a b-c"_s << QStringList{u"a b"_s, u"c"_s, kept, kept, kept};
        QTest::newRow("empty") << QString() << QStringList{kept, kept, kept, kept, kept};
        QTest::newRow("blanks only") << u"   "_s << QStringList{kept, kept, kept, kept, kept};
    }
    void dvoi_crtka()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, pieces);
        DashPieces kept;
        kept.fill(u"old"_s);
        QCOMPARE(trelok::dvoi_crtka(kept, text), QString());
        QCOMPARE(QStringList(kept.begin(), kept.end()), pieces);
    }

    void crtka_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QString>("result");
        QTest::newRow("after first dash")
            << u"12-34"_s << u"ADD"_s << 1 << u"ova"_s << u"12-ova34"_s;
        QTest::newRow("in front, small word")
            << u"12-34"_s << u"add"_s << 0 << u"x"_s << u"x12-34"_s;
        QTest::newRow("too few dashes") << u"12-34"_s << u"ADD"_s << 2 << u"x"_s << u"12-34"_s;
        QTest::newRow("too few dashes, untrimmed")
            << u" 12-34 "_s << u"ADD"_s << 2 << u"x"_s << u" 12-34 "_s;
        QTest::newRow("other word keeps blanks")
            << u" 12-34 "_s << u"DEL"_s << 1 << u"x"_s << u" 12-34 "_s;
        QTest::newRow("second dash") << u"1-2-3"_s << u"ADD"_s << 2 << u"x"_s << u"1-2-x3"_s;
        QTest::newRow("trimmed before inserting")
            << u" 1-2 "_s << u"ADD"_s << 1 << u"x"_s << u"1-x2"_s;
        QTest::newRow("empty") << u"  "_s << u"ADD"_s << 0 << u"x"_s << QString();
    }
    void crtka()
    {
        QFETCH(QString, text);
        QFETCH(QString, word);
        QFETCH(int, after);
        QFETCH(QString, insert);
        QFETCH(QString, result);
        QCOMPARE(trelok::crtka(text, word, after, insert), result);
    }

    void zasy2mk() { QCOMPARE(trelok::zasy2mk(u"Op{tina"_s), u"Op{tina"_s); }
};

QTEST_GUILESS_MAIN(TestDashOps)
#include "tst_dash_ops.moc"
