#include "refdata/fix_firm.h"

#include "context/app_context.h"
#include "context/messages.h"
#include "platform/controls.h"
#include "platform/prompter.h"
#include "refdata/fixed_data.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace trelok {

fix_firm::fix_firm(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(u"fix_firm"_s);
    setWindowTitle(u"Fiksni Podatoci za Firmata"_s);
    setClientSize(this, 7560, 6120);
    const QFont form = formFont(10);
    const QFont heading = formFont(12, true);

    auto *command1 = button(this, u"Command1"_s, u"POMO[ (help)"_s, QRect(5520, 120, 1920, 375),
                            QColor(192, 255, 255), form);
    label(this, u"Label1"_s, u"Vnes na Fiksni Podatoci za Firmata"_s, QRect(120, 600, 7320, 375),
          heading);

    auto *payer = label(this, u"Label2"_s, u"Nalogodava~"_s, QRect(120, 1080, 7320, 285), form);
    m_nal1 = textBox(this, u"nal1"_s, QRect(120, 1380, 7320, 330), form, payer->accessibleName());
    m_nal2 = textBox(this, u"nal2"_s, QRect(120, 1740, 7320, 330), form,
                     spoken(u"Nalogodava~ - adresa"_s, form));
    payer->setBuddy(m_nal1);

    auto *bank =
        label(this, u"Label3"_s, u"Banka na nalogodava~ot"_s, QRect(120, 2160, 7320, 285), form);
    m_b_nal = textBox(this, u"b_nal"_s, QRect(120, 2460, 7320, 330), form, bank->accessibleName());
    bank->setBuddy(m_b_nal);

    auto *account = label(this, u"Label4"_s, u"Smetka"_s, QRect(120, 2880, 7320, 285), form);
    m_s_nal =
        textBox(this, u"s_nal"_s, QRect(120, 3180, 3600, 330), form, account->accessibleName());
    account->setBuddy(m_s_nal);

    auto *number =
        label(this, u"Label5"_s, u"Dano~en Broj ili EMBG"_s, QRect(120, 3600, 7320, 285), form);
    m_d_nal =
        textBox(this, u"d_nal"_s, QRect(120, 3900, 3600, 330), form, number->accessibleName());
    number->setBuddy(m_d_nal);

    auto *place =
        label(this, u"Label6"_s, u"Mesto                                      [ifra na Op{tina"_s,
              QRect(120, 4320, 7320, 285), form);
    m_mes = textBox(this, u"mes"_s, QRect(120, 4620, 3600, 330), form, spoken(u"Mesto"_s, form));
    m_us2 = textBox(this, u"us2"_s, QRect(3840, 4620, 1440, 330), form,
                    spoken(u"[ifra na Op{tina"_s, form));
    place->setBuddy(m_mes);

    auto *command3 = button(this, u"Command3"_s, u"OK - Snimi"_s, QRect(120, 5400, 2400, 495),
                            QColor(192, 255, 192), form);
    auto *command2 = button(this, u"Command2"_s, u"Izlez / Otkaz"_s, QRect(5040, 5400, 2400, 495),
                            QColor(255, 0, 0), form);
    connect(command1, &QPushButton::clicked, this, &fix_firm::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &fix_firm::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &fix_firm::Command3_Click);
    chainTabOrder(
        {m_nal1, m_nal2, m_b_nal, m_s_nal, m_d_nal, m_mes, m_us2, command3, command2, command1});
    m_nal1->setFocus();
}

bool fix_firm::Form_Load()
{
    auto stored = readFixedData(m_context.store);
    if (!stored) {
        m_context.fail(stored);
        return false;
    }
    if (!stored.value()) {
        m_context.fail(QString::fromLatin1(msg::configMissing));
        return false;
    }
    const FixedData &d = *stored.value();
    m_nal1->setText(d.nal1);
    m_nal2->setText(d.nal2);
    m_b_nal->setText(d.b_nal);
    m_s_nal->setText(d.s_nal);
    m_d_nal->setText(d.d_nal);
    m_mes->setText(d.mes);
    m_us2->setText(d.us2);
    return true;
}

void fix_firm::Command1_Click()
{
    m_context.prompter.inform(fixedDataHelp());
}

void fix_firm::Command2_Click()
{
    reject();
}

void fix_firm::Command3_Click()
{
    const FixedData typed{m_nal1->text(),  m_nal2->text(), m_b_nal->text(), m_s_nal->text(),
                          m_d_nal->text(), m_mes->text(),  m_us2->text()};
    if (auto stored = storeFixedData(m_context.store, typed); !stored) {
        m_context.fail(stored);
        return;
    }
    m_context.prompter.inform(u"Uspesno Snimeni Fiksni Podatoci !"_s);
    accept();
}

} // namespace trelok
