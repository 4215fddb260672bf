#include "platform/controls.h"

#include "platform/fonts.h"
#include "platform/makscii.h"
#include "platform/twips.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QAbstractButton>
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
// Return or Enter on a focused button presses it, as Space does (as on
// Windows), in a dialog and in a plain window alike.
class EnterPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *b = qobject_cast<QAbstractButton *>(watched);
        if (!b || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        b->click();
        return true;
    }
};
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
    b->installEventFilter(new EnterPresses(b));
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

namespace {
class EnterChooses : public QObject {
public:
    EnterChooses(QAbstractItemView *list, std::function<void()> choose)
        : QObject(list), m_list(list), m_choose(std::move(choose))
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_list && event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                m_list->currentIndex().isValid()) {
                m_choose();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractItemView *m_list;
    std::function<void()> m_choose;
};
} // namespace

namespace {
// Escape reaches the window when the control with the focus leaves it.
class EscapeExits : public QObject {
public:
    EscapeExits(QWidget *window, std::function<void()> exit)
        : QObject(window), m_window(window), m_exit(std::move(exit))
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::KeyPress ||
            static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
            return false;
        m_exit();
        return true;
    }

private:
    QWidget *m_window;
    std::function<void()> m_exit;
};
} // namespace

void exitOnEscape(QWidget *window, const std::function<void()> &exit)
{
    window->installEventFilter(new EscapeExits(window, exit));
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
    list->installEventFilter(new EnterChooses(list, choose));
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
