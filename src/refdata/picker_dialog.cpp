#include "refdata/picker_dialog.h"

#include "context/app_context.h"
#include "platform/controls.h"
#include "platform/makscii.h"
#include "platform/pointer.h"
#include "platform/prompter.h"
#include "refdata/code_picker.h"
#include "refdata/lista_isp.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

const QColor darkRed(128, 0, 0);

const PickerLayout municipalityLayout{"prom_opst",
                                      "Izbor na Opstina",
                                      10410,
                                      2460,
                                      "Izbor na  Op{tina",
                                      "Vnesi Op{tina :",
                                      "- Vnesi {ifa na op{tina  ili odberi od Lista na Op{tini",
                                      "Prifati Op{tina",
                                      "Lista na Op{tini",
                                      480,
                                      1080,
                                      1680,
                                      {"Command3", "Command2", "Command1", "Text1"}};

const PickerLayout customsOfficeLayout{"prom_isp",
                                       "Promena na Ispostava",
                                       10410,
                                       2040,
                                       "Izbor na  Ispostava",
                                       "Vnesi Ispostava :",
                                       "- Vnesi ispostava ili odberi od Lista na ispostavi",
                                       "Prifati Ispostava",
                                       "Lista na Ispostavi",
                                       120,
                                       720,
                                       1320,
                                       {"Text1", "Command1", "Command2", "Command3"}};

} // namespace

CodePickerDialog::CodePickerDialog(AppContext &context, const PickerKind &kind,
                                   const PickerLayout &layout, QString &shared, QLineEdit *target,
                                   QWidget *parent)
    : QDialog(parent), m_context(context), m_kind(kind), m_shared(shared), m_target(target)
{
    setObjectName(QString::fromLatin1(layout.objectName));
    setWindowTitle(QString::fromLatin1(layout.caption));
    setClientSize(this, layout.width, layout.height);
    const QFont captions = formFont(12);
    const auto latin = [](const char *text) { return QString::fromLatin1(text); };
    label(this, u"Label1"_s, latin(layout.label1), QRect(120, layout.rowLabel1, 2295, 375),
          captions);
    label(this, u"Label2"_s, QString(), QRect(2640, layout.rowLabel1, 7335, 375), captions,
          darkRed);
    QLabel *label3 = label(this, u"Label3"_s, latin(layout.label3),
                           QRect(120, layout.rowText1, 2295, 375), captions);
    m_text1 = textBox(this, u"Text1"_s, QRect(2640, layout.rowText1, 855, 375), sansFont(10),
                      makscii(latin(layout.label3)).remove(u':').trimmed());
    m_text1->setMaxLength(4);
    label3->setBuddy(m_text1);
    m_label4 =
        label(this, u"Label4"_s, latin(layout.label4),
              QRect(3600, layout.rowText1, kind.length == 3 ? 6735 : 6500, 375), captions, darkRed);
    auto *command1 = button(this, u"Command1"_s, latin(layout.command1),
                            QRect(360, layout.rowButtons, 2535, 495), QColor(0, 192, 0), captions);
    auto *command3 =
        button(this, u"Command3"_s, latin(layout.command3),
               QRect(4080, layout.rowButtons, 2535, 495), QColor(255, 255, 0), captions);
    auto *command2 = button(this, u"Command2"_s, u"IZLEZ / Otkaz"_s,
                            QRect(7920, layout.rowButtons, 2295, 495), QColor(255, 0, 0), captions);
    connect(command1, &QPushButton::clicked, this, &CodePickerDialog::Command1_Click);
    // Return after a typed code accepts it, as the button does.
    connect(m_text1, &QLineEdit::returnPressed, this, &CodePickerDialog::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &CodePickerDialog::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &CodePickerDialog::Command3_Click);
    QList<QWidget *> chain;
    for (const char *name : layout.tabOrder)
        chain.append(findChild<QWidget *>(latin(name)));
    chainTabOrder(chain);
    chain.first()->setFocus();
}

void CodePickerDialog::Form_Load()
{
    m_text1->setText(m_target ? m_target->text() : QString());
    m_shared = m_text1->text().trimmed();
}

void CodePickerDialog::Command1_Click()
{
    DbResult<PickerCheck> check = PickerCheck{};
    {
        Hourglass wait;
        check = checkCode(m_context.store, m_kind, m_text1->text());
    }
    if (!check) {
        m_context.fail(check);
        return;
    }
    const PickerCheck &result = check.value();
    if (result.result == PickerCheck::Accepted) {
        m_label4->setText(result.name);
        if (m_target)
            m_target->setText(result.code);
        m_shared = result.code;
    }
    m_context.prompter.inform(result.message);
    if (result.result == PickerCheck::WrongLength)
        m_text1->setFocus();
    if (result.result == PickerCheck::Accepted)
        accept();
}

void CodePickerDialog::Command2_Click()
{
    reject();
}

void CodePickerDialog::Command3_Click()
{
    // The normal pointer is back before any message is shown.
    auto lines = [this] {
        Hourglass wait;
        return listCodes(m_context.store, m_kind);
    }();
    if (!lines) {
        m_context.fail(lines);
        return;
    }
    if (lines.value().isEmpty()) {
        m_context.prompter.inform(QString::fromLatin1(m_kind.emptyTable));
        return;
    }
    lista_isp list(this);
    list.setWindowTitle(QString::fromLatin1(m_kind.listCaption));
    {
        Hourglass wait;
        list.fill(lines.value());
    }
    list.exec();
    Command1_Click();
}

prom_opst::prom_opst(AppContext &context, QLineEdit *us2, QWidget *parent)
    : CodePickerDialog(context, municipalityPicker(), municipalityLayout, context.state.tek_opst,
                       us2, parent)
{}

prom_isp::prom_isp(AppContext &context, QLineEdit *p_nal3, QWidget *parent)
    : CodePickerDialog(context, customsOfficePicker(), customsOfficeLayout, context.state.tek_isp,
                       p_nal3, parent)
{}

} // namespace trelok
