#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
Prompter *g_redirect = nullptr;
}

void MessageBoxPrompter::redirect(Prompter *scripted)
{
    g_redirect = scripted;
}

Prompter *MessageBoxPrompter::redirected()
{
    return g_redirect;
}

Answer MessageBoxPrompter::ask(const QString &text, Buttons buttons)
{
    if (g_redirect)
        return g_redirect->ask(text, buttons);
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(u"trelok"_s);
    box.setTextFormat(Qt::PlainText);
    // A carriage return inside a message breaks the line too.
    QString shown = text;
    shown.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    box.setText(shown);
    box.setAccessibleName(u"trelok"_s);
    box.setAccessibleDescription(shown);
    switch (buttons) {
    case Buttons::Ok:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

MessageBoxPrompter &messageBoxes()
{
    static MessageBoxPrompter instance;
    return instance;
}

} // namespace trelok
