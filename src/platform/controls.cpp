#include "platform/controls.h"

#include "platform/fonts.h"
#include "platform/makscii.h"
#include "platform/twips.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
QRect pixels(QRect t)
{
    return twips::rect(t.x(), t.y(), t.width(), t.height());
}

class SearchBox : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            clear();
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

// Only what the user typed or pasted: textEdited is not sent for setText.
void takeCyrillicAsShown(QLineEdit *box)
{
    QObject::connect(box, &QLineEdit::textEdited, box, [box](const QString &text) {
        const QString shown = fromCyrillic(text);
        if (shown == text)
            return;
        const int cursor = box->cursorPosition();
        box->setText(shown);
        box->setCursorPosition(cursor);
        box->setModified(true);
    });
}

QLineEdit *setUpBox(QLineEdit *box, const QString &name, QRect twipRect, const QFont &font,
                    const QString &accessibleName)
{
    box->setObjectName(name);
    box->setGeometry(pixels(twipRect));
    box->setFont(font);
    box->setAccessibleName(accessibleName);
    box->setTextMargins(1, 0, 1, 0);
    if (font.family() == QString::fromLatin1(formFontFamily))
        takeCyrillicAsShown(box);
    return box;
}
} // namespace

QString spoken(const QString &caption, const QFont &font)
{
    QString text = caption.trimmed();
    text.remove(u'&');
    return font.family() == QString::fromLatin1(formFontFamily) ? makscii(text) : text;
}

QFont formFont(double points, bool bold)
{
    QFont font(QString::fromLatin1(formFontFamily));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont sansFont(double points)
{
    QFont font(u"MS Sans Serif"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setFamilies({u"MS Sans Serif"_s, u"DejaVu Sans"_s});
    font.setPointSizeF(points);
    return font;
}

QLineEdit *textBox(QWidget *parent, const QString &name, QRect twipRect, const QFont &font,
                   const QString &accessibleName)
{
    return setUpBox(new QLineEdit(parent), name, twipRect, font, accessibleName);
}

QLineEdit *searchBox(QWidget *parent, const QString &name, QRect twipRect, const QFont &font,
                     const QString &accessibleName)
{
    return setUpBox(new SearchBox(parent), name, twipRect, font, accessibleName);
}

namespace {
// Hands the key presses of one object to take, which says whether it took
// the key (the object then never sees it).
class KeyTaker : public QObject {
public:
    using Take = std::function<bool(const QKeyEvent &)>;
    KeyTaker(QObject *watched, Take take) : QObject(watched), m_take(std::move(take))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return watched == parent() && event->type() == QEvent::KeyPress &&
               m_take(*static_cast<QKeyEvent *>(event));
    }

private:
    Take m_take;
};

bool isEnter(const QKeyEvent &key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}
} // namespace


QPushButton *button(QWidget *parent, const QString &name, const QString &caption, QRect twipRect,
                    QColor back, const QFont &font)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(pixels(twipRect));
    b->setFont(font);
    b->setAccessibleName(spoken(caption, font));
    if (back.isValid())
        b->setStyleSheet(u"QPushButton { background-color: %1; border: 1px solid #404040; "
                         "padding: 0px; }"
                         "QPushButton:focus { border: 2px solid #000000; }"
                         "QPushButton:pressed { border-style: inset; }"_s.arg(back.name()));
    b->setAutoDefault(false);
    // Return or Enter on a focused button presses it, as Space does (as on
    // Windows), in a dialog and in a plain window alike.
    new KeyTaker(b, [b](const QKeyEvent &key) {
        if (!isEnter(key) || (key.modifiers() & ~Qt::KeypadModifier))
            return false;
        b->click();
        return true;
    });
    return b;
}

QLabel *label(QWidget *parent, const QString &name, const QString &caption, QRect twipRect,
              const QFont &font, QColor text, QColor back)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setGeometry(pixels(twipRect));
    l->setFont(font);
    l->setAccessibleName(spoken(caption, font));
    QPalette palette = l->palette();
    if (text.isValid())
        palette.setColor(QPalette::WindowText, text);
    if (back.isValid()) {
        palette.setColor(QPalette::Window, back);
        l->setAutoFillBackground(true);
    }
    l->setPalette(palette);
    return l;
}

void exitOnEscape(QWidget *window, const std::function<void()> &exit)
{
    // Escape reaches the window when the control with the focus leaves it.
    new KeyTaker(window, [exit](const QKeyEvent &key) {
        if (key.key() != Qt::Key_Escape)
            return false;
        exit();
        return true;
    });
}

namespace {
QSet<QString> &announcedWindows()
{
    static QSet<QString> names;
    return names;
}

QAccessibleInterface *windowInterface(const QString &className, QObject *object)
{
    if (object && object->isWidgetType() && announcedWindows().contains(className))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}
} // namespace

void announceAsWindow(const QMetaObject &windowClass)
{
    static const bool installed = (QAccessible::installFactory(windowInterface), true);
    Q_UNUSED(installed);
    announcedWindows().insert(QString::fromLatin1(windowClass.className()));
}

void chooseOnEnter(QAbstractItemView *list, const std::function<void()> &choose)
{
    new KeyTaker(list, [list, choose](const QKeyEvent &key) {
        if (!isEnter(key) || !list->currentIndex().isValid())
            return false;
        choose();
        return true;
    });
    QObject::connect(list, &QAbstractItemView::doubleClicked, list,
                     [choose](const QModelIndex &index) {
                         if (index.isValid())
                             choose();
                     });
}

void chainTabOrder(const QList<QWidget *> &widgets)
{
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void setClientSize(QWidget *window, int widthTwips, int heightTwips)
{
    window->setFixedSize(twips::size(widthTwips, heightTwips));
}

} // namespace trelok
