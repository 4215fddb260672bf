// The floor of --print --pdf: a minimal Qt program that writes one A4 PDF
// page of 26 texts in the form font.
// Usage: floor_pdf FONT_FILE OUT.pdf
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const int id = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(argv[1]));
    if (id < 0)
        return 1;
    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&pdf);
    painter.setFont(QFont(QFontDatabase::applicationFontFamilies(id).value(0), 10));
    for (int i = 0; i < 26; ++i)
        painter.drawText(QPoint(400, 300 + i * 400), QStringLiteral("Tekst %1 na trelokot").arg(i));
    return painter.end() ? 0 : 1;
}
