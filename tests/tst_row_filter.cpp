#include "platform/row_filter.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {

// A cell holding bytes that UTF-8 never holds.
const QByteArray oddCell("\xFE\x01\x02 a\xFF"
                         "b\xFD"
                         "c");

// Rows of four cells: a number, a kind the rows repeat (held once), and two
// texts of their own (looked up no more after the first few thousand), each
// sharing its start with the row before, but row 7's is oddCell.
void fill(RowFilter &filter, int from = 0, int to = 6000)
{
    static const QByteArray kinds[] = {"Dava~ki", "Akcizi", "108"};
    for (int row = from; row < to; ++row) {
        const QByteArray number = QByteArray::number(row) + "/2026";
        const QByteArray text = row == 7 ? oddCell : "faktura " + QByteArray::number(row);
        const QByteArray street = u"ul. Илинденска %1"_s.arg(row).toUtf8();
        const QByteArrayView cells[] = {number, kinds[row % 3], text, street};
        filter.addRow(cells, 4);
    }
}

} // namespace

class TestRowFilter : public QObject {
    Q_OBJECT
private slots:
    // Every row gives back its cells as added, and a search finds the rows
    // whose cells hold the text, whether a cell is held with its row or once
    // for its column, also when it narrows the search before it.
    void rowsGiveBackTheirCellsAndAreFound_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("found");
        QTest::newRow("a repeated text") << u"akcizi"_s << 2000;
        QTest::newRow("a repeated text, other case") << u"DAVA~KI"_s << 2000;
        QTest::newRow("own text, early row") << u"faktura 12"_s << 111;
        QTest::newRow("own text, late row") << u"faktura 5999"_s << 1;
        QTest::newRow("own text, in the start shared") << u"faktura 59"_s << 111;
        QTest::newRow("shared start and the rest") << u"ra 4999"_s << 1;
        QTest::newRow("Cyrillic after a shared start") << u"СКА 59"_s << 111;
        QTest::newRow("every number") << u"/2026"_s << 6000;
        QTest::newRow("not across cells") << u"2026akc"_s << 0;
        // The two bytes naming a held text are never searched.
        QTest::newRow("bytes naming a held text") << (QString(QChar(0)) + QChar(1)) << 0;
        QTest::newRow("odd bytes shown replaced") << u"\uFFFD\u0001\u0002 a\uFFFDb\uFFFDc"_s << 1;
    }
    void rowsGiveBackTheirCellsAndAreFound()
    {
        QFETCH(QString, typed);
        QFETCH(int, found);
        RowFilter filter;
        fill(filter);
        QCOMPARE(filter.rowCount(), 6000);
        QCOMPARE(filter.cell(4999, 0), u"4999/2026"_s);
        QCOMPARE(filter.cell(4999, 1), u"Akcizi"_s);
        QCOMPARE(filter.cell(5999, 2), u"faktura 5999"_s);
        QCOMPARE(filter.cell(7, 1), u"Akcizi"_s);
        QCOMPARE(filter.cell(7, 2), u"\uFFFD\u0001\u0002 a\uFFFDb\uFFFDc"_s);
        QCOMPARE(filter.cell(8, 0), u"8/2026"_s);
        // Rows read back to front and in order, across rows held whole.
        for (int row = 5999; row > 4000; row -= 5)
            QCOMPARE(filter.cell(row, 2), u"faktura %1"_s.arg(row));
        for (int row = 0; row < 6000; ++row)
            QCOMPARE(filter.cell(row, 3), u"ul. Илинденска %1"_s.arg(row));
        filter.search(typed.left(2));
        QVERIFY(filter.search(typed) || typed.size() <= 2);
        QCOMPARE(int(filter.matches().size()), found);
        for (int row : filter.matches())
            QVERIFY(RowFilter::fold(filter.cell(row, 0) + u'|' + filter.cell(row, 1) + u'|' +
                                    filter.cell(row, 2) + u'|' + filter.cell(row, 3))
                        .contains(RowFilter::fold(typed)));
        // A shorter search (Backspace) looks at every row again.
        filter.search(typed + u"\u00a7"_s);
        QCOMPARE(int(filter.matches().size()), 0);
        QVERIFY(filter.search(typed));
        QCOMPARE(int(filter.matches().size()), found);
        // Rows added later are searched on their own, as a fresh search
        // finds them.
        fill(filter, 6000, 6600);
        filter.addMatches(filter.matchesFrom(6000));
        const std::vector<int> added = filter.matches();
        filter.searchAgain();
        QCOMPARE(added, filter.matches());
    }
};

QTEST_GUILESS_MAIN(TestRowFilter)
#include "tst_row_filter.moc"
