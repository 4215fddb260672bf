#include "entry/izbor_vid.h"

#include "context/app_context.h"
#include "entry/kinds.h"
#include "platform/controls.h"
#include "platform/makscii.h"
#include "platform/pointer.h"
#include "platform/prompter.h"
#include "platform/twips.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace trelok {

izbor_vid::izbor_vid(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(u"izbor_vid"_s);
    setWindowTitle(u"Izbor na Vid na Uplata"_s);
    setClientSize(this, 9675, 5580);
    const QFont captions = formFont(10);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"ListView1"_s);
    m_list->setGeometry(twips::rect(240, 240, 9255, 4335));
    m_list->setFont(captions);
    m_list->setColumnCount(2);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setColumnWidth(0, twips::px(1440));
    m_list->setColumnWidth(1, twips::px(5440));
    m_list->setAccessibleName(u"Vidovi na uplata"_s);
    auto *command1 = button(this, u"Command1"_s, u" Izbor na Vid na Uplata"_s,
                            QRect(240, 4800, 3255, 495), QColor(0, 192, 0), captions);
    auto *command2 = button(this, u"Command2"_s, u"IZLEZ / Otkaz"_s, QRect(5280, 4800, 2295, 495),
                            QColor(255, 0, 0), captions);
    connect(command1, &QPushButton::clicked, this, &izbor_vid::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &izbor_vid::Command2_Click);
    chooseOnEnter(m_list, [this] { Command1_Click(); });
    chainTabOrder({m_list, command1, command2});
    m_list->setFocus();
}

bool izbor_vid::Form_Load()
{
    auto kinds = [this] {
        Hourglass wait;
        return listKinds(m_context.store);
    }();
    if (!kinds) {
        m_context.fail(kinds);
        return false;
    }
    m_list->clear();
    if (kinds.value().isEmpty()) {
        m_context.prompter.inform(
            u"Nepostoi Nitu eden Vid na Uplata !, Vnesete gi vidovite na ulpata vo tbl_Vid !"_s);
        return true;
    }
    for (const CodeLine &kind : kinds.value()) {
        auto *line = new QTreeWidgetItem(QStringList{kind.code, kind.name});
        // A screen reader is given the letters the font shows.
        for (int column = 0; column < 2; ++column)
            line->setData(column, Qt::AccessibleTextRole, makscii(line->text(column)));
        m_list->addTopLevelItem(line);
    }
    m_list->setCurrentItem(m_list->topLevelItem(0));
    return true;
}

void izbor_vid::Command1_Click()
{
    QTreeWidgetItem *item = m_list->currentItem();
    m_context.state.vid_tre = item ? item->text(0) : QString();
    auto description = kindDescription(m_context.store, m_context.state.vid_tre);
    if (!description) {
        m_context.fail(description);
        return;
    }
    if (!item || !description.value()) {
        m_context.state.vid_tre = u"000"_s;
        m_context.prompter.inform(u"Izberete Vid na Uplata !"_s);
        return;
    }
    m_context.state.opi_tre = *description.value();
    accept();
}

void izbor_vid::Command2_Click()
{
    m_context.state.vid_tre = u"000"_s;
    QDialog::reject();
}

void izbor_vid::reject()
{
    Command2_Click();
}

} // namespace trelok
