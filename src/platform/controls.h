#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

#include <functional>

class QAbstractItemView;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace trelok {

// "MAC C Times" at the given size in points.
QFont formFont(double points, bool bold = false);
// The sans-serif face that stands in for "MS Sans Serif".
QFont sansFont(double points);

// The words a screen reader speaks for a caption drawn in the given font.
QString spoken(const QString &caption, const QFont &font);

// Controls placed by twips, named after their control name, with the
// accessible name a screen reader speaks. A text box in "MAC C Times" takes
// Macedonian Cyrillic typed or pasted into it as the code points the font
// shows as those letters (fromCyrillic); text the program sets is kept.
QLineEdit *textBox(QWidget *parent, const QString &name, QRect twipRect, const QFont &font,
                   const QString &accessibleName);
// A search box: a text box whose Escape empties it (and leaves the window
// open).
QLineEdit *searchBox(QWidget *parent, const QString &name, QRect twipRect, const QFont &font,
                     const QString &accessibleName);
QPushButton *button(QWidget *parent, const QString &name, const QString &caption, QRect twipRect,
                    QColor back, const QFont &font);
QLabel *label(QWidget *parent, const QString &name, const QString &caption, QRect twipRect,
              const QFont &font, QColor text = QColor(), QColor back = QColor());

// Escape in the window (a plain widget window; dialogs close on Escape
// themselves) runs exit, as the window's exit button does.
void exitOnEscape(QWidget *window, const std::function<void()> &exit);

// Windows of the class are announced to assistive technology as windows
// named by their caption (a plain widget window would be a filler).
void announceAsWindow(const QMetaObject &windowClass);

// Enter on a line of the list, and a double click on one, run choose (as
// the window's "OK" does).
void chooseOnEnter(QAbstractItemView *list, const std::function<void()> &choose);

// Tab order in the given sequence (hidden and disabled ones are passed over).
void chainTabOrder(const QList<QWidget *> &widgets);

// A window's client area in twips.
void setClientSize(QWidget *window, int widthTwips, int heightTwips);

} // namespace trelok
