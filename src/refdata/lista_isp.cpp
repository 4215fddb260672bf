#include "refdata/lista_isp.h"

#include "platform/controls.h"
#include "platform/makscii.h"
#include "platform/twips.h"
#include "refdata/code_picker.h"
#include "refdata/picker_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace trelok {

lista_isp::lista_isp(CodePickerDialog *picker) : QDialog(picker), m_picker(picker)
{
    setObjectName(u"lista_isp"_s);
    setWindowTitle(u"Lista na Ispostavi"_s);
    setClientSize(this, 12600, 7485);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"ListView1"_s);
    m_list->setGeometry(twips::rect(0, 0, 12495, 6615));
    m_list->setFont(formFont(10));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({u"Sifra"_s, u"ISPOSTAVA"_s});
    m_list->setColumnWidth(0, twips::px(1840));
    m_list->setColumnWidth(1, twips::px(5440));
    m_list->setAccessibleName(u"Lista"_s);
    auto *ok = button(this, u"Command3"_s, u"OK - IZBERI"_s, QRect(480, 6960, 2655, 375),
                      QColor(0, 192, 0), formFont(10));
    auto *cancel = button(this, u"Command1"_s, u"OTKAZ"_s, QRect(5400, 6960, 2655, 375),
                          QColor(255, 128, 0), formFont(10));
    connect(ok, &QPushButton::clicked, this, &lista_isp::Command3_Click);
    connect(cancel, &QPushButton::clicked, this, &lista_isp::Command1_Click);
    chooseOnEnter(m_list, [this] { Command3_Click(); });
    chainTabOrder({ok, cancel, m_list});
    ok->setFocus();
}

void lista_isp::fill(const QList<CodeLine> &lines)
{
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(lines.size());
    for (const CodeLine &line : lines) {
        auto *item = new QTreeWidgetItem(QStringList{line.code, line.name});
        // Read out as the form's font shows it.
        item->setData(1, Qt::AccessibleTextRole, makscii(line.name));
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    if (!items.isEmpty())
        m_list->setCurrentItem(items.first());
}

void lista_isp::Command3_Click()
{
    QTreeWidgetItem *item = m_list->currentItem();
    // The caption tells which picker the list serves; an empty list confirms
    // like "OTKAZ".
    if (item && windowTitle() == QString::fromLatin1(m_picker->kind().listCaption)) {
        m_picker->text1()->setText(item->text(0).trimmed());
        m_picker->label4()->setText(item->text(1).trimmed());
        m_picker->repaint();
    }
    accept();
}

void lista_isp::Command1_Click()
{
    reject();
}

} // namespace trelok
