#include "test_db.h"

#include "platform/fonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRawFont>

using namespace Qt::StringLiterals;
using namespace trelok;

namespace {
// The glyph a font file draws for one character.
quint32 glyphOf(const QRawFont &font, QChar c)
{
    const QList<quint32> glyphs = font.glyphIndexesForString(QString(c));
    return glyphs.isEmpty() ? 0 : glyphs.first();
}
} // namespace

class TestFonts : public QObject {
    Q_OBJECT
private slots:
    // Each Latin code point must draw the very glyph the source font draws
    // for its Cyrillic letter (the glyph order of the source is kept).
    void latinShowsCyrillic_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString &file : fontFileNames())
            QTest::newRow(qPrintable(file)) << file;
    }
    void latinShowsCyrillic()
    {
        QFETCH(QString, file);
        TestDb db;
        const QRawFont font(QDir(db.dir.path()).filePath(file), 20);
        QVERIFY(font.isValid());
        QCOMPARE(font.familyName(), u"MAC C Times"_s);
        const QString latin = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz@[\\]^`{|}~"_s;
        const QString cyrillic =
            u"АБЦДЕФГХИЈКЛМНОПЉРСТУВЊЏЅЗабцдефгхијклмнопљрстувњџѕзЖШЃЌЧжшѓќч"_s;
        QCOMPARE(latin.size(), cyrillic.size());
        for (qsizetype i = 0; i < latin.size(); ++i) {
            // The Cyrillic code points still draw their own letters too.
            QCOMPARE(glyphOf(font, latin[i]), glyphOf(font, cyrillic[i]));
            QVERIFY(glyphOf(font, latin[i]) != 0);
        }
        // Digits and other punctuation are left alone.
        QVERIFY(glyphOf(font, u'1') != glyphOf(font, u'A'));
    }

    void namesCarryNoReservedFontName()
    {
        TestDb db;
        for (const QString &file : fontFileNames()) {
            QFile f(QDir(db.dir.path()).filePath(file));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray data = f.readAll();
            // Name records are stored as UTF-16BE on Windows and as ASCII on Mac.
            for (const QString &reserved : {u"Tinos"_s, u"Liberation Serif"_s}) {
                QVERIFY(!data.contains(reserved.toLatin1()));
                QByteArray wide;
                for (QChar c : reserved)
                    wide.append('\0').append(char(c.unicode()));
                QVERIFY(!data.contains(wide));
            }
        }
    }

    void registeredFamilyRendersOpstina()
    {
        TestDb db;
        QCOMPARE(registerApplicationFonts(db.dir.path()), 4);
        QVERIFY(QFontDatabase::families().contains(u"MAC C Times"_s));
        QFont font(u"MAC C Times"_s, 14, QFont::Bold);
        QCOMPARE(QFontInfo(font).family(), u"MAC C Times"_s);
        // The same words typed in Cyrillic in the source face look the same.
        auto render = [](const QFont &f, const QString &text) {
            QImage image(400, 40, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            p.setFont(f);
            p.setPen(Qt::black);
            p.drawText(QPoint(5, 30), text);
            return image;
        };
        QFontDatabase::addApplicationFont(
            u"/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf"_s);
        QFont source(u"Liberation Serif"_s, 14, QFont::Bold);
        QCOMPARE(render(font, u"Op{tina Dano~en Broj"_s),
                 render(source, u"Општина Даночен Број"_s));
    }
};

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
