// The floor of a start: a minimal Qt program that shows a main window of the
// program's size with a menu and a label, and ends as soon as it is shown
// (as the program does with TRELOK_EXIT_WHEN_SHOWN).
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("PP 50"));
    window.menuBar()->addMenu(QStringLiteral("&Vnes"))->addAction(QStringLiteral("Nov &Trelok"));
    // The client area of the program's main window (9285 x 5730 twips): a
    // window's pixels cost the same in both.
    auto *label = new QLabel(QStringLiteral("PP 50"));
    label->setFixedSize(619, 382);
    window.setCentralWidget(label);
    window.show();
    QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}
