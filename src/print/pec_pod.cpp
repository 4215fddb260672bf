#include "print/pec_pod.h"

#include "context/app_context.h"
#include "context/messages.h"
#include "data/settings.h"
#include "entry/form_picture.h"
#include "platform/controls.h"
#include "platform/numbers.h"
#include "platform/printers.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "print/calibration_sheet.h"
#include "print/print_engine.h"
#include "print/printer_output.h"
#include "print/sheet_for_printer.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
constexpr int twipsPerTenthMm = 6;
// The picture's frame, twips.
constexpr int frameLeft = 120, frameTop = 540, frameWidth = 9210, frameHeight = 5940;
} // namespace

pec_pod::pec_pod(AppContext &context, std::function<void(const QString &)> printerChosen,
                 QWidget *parent)
    : QDialog(parent), m_context(context), m_printerChosen(std::move(printerChosen)),
      m_printSheet([&context](const QString &printer, const CalibrationSheet &sheet) {
          return printCalibrationSheet(context.printers, printer, sheet);
      })
{
    setObjectName(u"pec_pod"_s);
    setWindowTitle(u"Podesuvanje na Pecatar"_s);
    setClientSize(this, 9900, 9840);
    const QFont form = formFont(10, true);
    const QFont plain = font();
    // Offsets are numbers: an optional minus, digits and one decimal point.
    const QRegularExpression number(u"-?\\d*\\.?\\d*"_s);

    auto *label1 =
        label(this, u"Label1"_s, u"TEKOVEN Ofset (desno) :"_s, QRect(120, 120, 2900, 315), form);
    m_text1 =
        textBox(this, u"Text1"_s, QRect(3100, 100, 1000, 330), plain, label1->accessibleName());
    m_text1->setValidator(new QRegularExpressionValidator(number, m_text1));
    label1->setBuddy(m_text1);
    label(this, u"Label4"_s, u"0,1 (mm)"_s, QRect(4200, 120, 900, 315), plain);
    auto *label2 =
        label(this, u"Label2"_s, u"TEKOVEN Ofset (dole) :"_s, QRect(5160, 120, 2700, 315), form);
    m_text2 =
        textBox(this, u"Text2"_s, QRect(7860, 100, 1000, 330), plain, label2->accessibleName());
    m_text2->setValidator(new QRegularExpressionValidator(number, m_text2));
    label2->setBuddy(m_text2);
    label(this, u"Label3"_s, u"0,1 (mm)"_s, QRect(8960, 120, 900, 315), plain);

    auto *frame = new QWidget(this);
    frame->setObjectName(u"frame"_s);
    frame->setGeometry(twips::rect(frameLeft, frameTop, frameWidth, frameHeight));
    frame->setAutoFillBackground(true);
    QPalette dark = frame->palette();
    dark.setColor(QPalette::Window, QColor(90, 90, 90));
    frame->setPalette(dark);
    m_image1 = new QLabel(frame);
    m_image1->setObjectName(u"Image1"_s);
    m_image1->setPixmap(QPixmap::fromImage(blankForm()));
    m_image1->setGeometry(0, 0, 614, 396);
    m_image1->setAccessibleName(u"Obrazec"_s);

    m_hscroll1 = new QScrollBar(Qt::Horizontal, this);
    m_hscroll1->setObjectName(u"HScroll1"_s);
    m_hscroll1->setGeometry(twips::rect(frameLeft, frameTop + frameHeight, frameWidth, 255));
    m_vscroll1 = new QScrollBar(Qt::Vertical, this);
    m_vscroll1->setObjectName(u"VScroll1"_s);
    m_vscroll1->setGeometry(twips::rect(frameLeft + frameWidth, frameTop, 255, frameHeight));
    for (QScrollBar *bar : {m_hscroll1, m_vscroll1}) {
        bar->setRange(-32767, 32767);
        bar->setSingleStep(twipsPerTenthMm);
        bar->setPageStep(twipsPerTenthMm);
        bar->setValue(0);
        bar->setTracking(false);
    }
    m_hscroll1->setAccessibleName(u"Ofset desno"_s);
    m_vscroll1->setAccessibleName(u"Ofset dole"_s);
    connect(m_hscroll1, &QScrollBar::valueChanged, this, &pec_pod::HScroll1_Change);
    connect(m_vscroll1, &QScrollBar::valueChanged, this, &pec_pod::VScroll1_Change);

    auto *command3 = button(this, u"Command3"_s, u"OK - Snimi"_s, QRect(120, 6840, 1900, 420),
                            QColor(192, 255, 192), plain);
    auto *command4 = button(this, u"Command4"_s, u"RESET - Pocetna 0,0, Sostojba"_s,
                            QRect(2140, 6840, 3300, 420), QColor(255, 255, 160), plain);
    auto *command1 = button(this, u"Command1"_s, u"POMOS (help)"_s, QRect(5560, 6840, 1800, 420),
                            QColor(192, 255, 255), plain);
    auto *command2 = button(this, u"Command2"_s, u"Izlez / Otkaz"_s, QRect(7480, 6840, 1850, 420),
                            QColor(255, 0, 0), plain);
    label(this, u"Label6"_s, u"IZBRAN PRINTER (Default)(Samo za ovaa Aplikacija Trelok)"_s,
          QRect(120, 7440, 9300, 300), form);
    m_label5 = label(this, u"Label5"_s, QString(), QRect(120, 7800, 6000, 300), plain);
    QFont bold = plain;
    bold.setBold(true);
    m_label5->setFont(bold);
    m_label5->setAccessibleName(u"Izbran pecatar"_s);
    m_command5 = button(this, u"Command5"_s, u"Lista na  Pecatari"_s, QRect(6300, 7740, 3000, 420),
                        QColor(255, 255, 0), plain);
    m_list1 = new QListWidget(this);
    m_list1->setObjectName(u"List1"_s);
    m_list1->setGeometry(twips::rect(120, 8220, 6000, 1500));
    m_list1->setAccessibleName(u"Lista na pecatari"_s);
    m_list1->hide();
    m_command6 = button(this, u"Command6"_s, u"Izberi go  Pecatarot"_s,
                        QRect(6300, 8220, 3000, 420), QColor(0, 192, 0), plain);
    m_command6->hide();
    // Under the printer choice, beside the list.
    auto *command7 = button(this, u"Command7"_s, u"Pe~ati kalibraciski list"_s,
                            QRect(6300, 9240, 3000, 420), QColor(255, 224, 160), formFont(9, true));
    connect(command1, &QPushButton::clicked, this, &pec_pod::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &pec_pod::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &pec_pod::Command3_Click);
    connect(command4, &QPushButton::clicked, this, &pec_pod::Command4_Click);
    connect(m_command5, &QPushButton::clicked, this, &pec_pod::Command5_Click);
    connect(m_command6, &QPushButton::clicked, this, &pec_pod::Command6_Click);
    connect(command7, &QPushButton::clicked, this, &pec_pod::Command7_Click);
    chainTabOrder({m_text1, m_text2, m_hscroll1, m_vscroll1, command3, command4, command1, command2,
                   m_command5, m_list1, m_command6, command7});
    m_text1->setFocus();
}

bool pec_pod::Form_Load()
{
    fix_left = m_image1->x() * twips::perPixel;
    fix_top = m_image1->y() * twips::perPixel;

    auto printer = readApplicationPrinter(m_context.store);
    if (!printer) {
        m_context.fail(printer);
        return false;
    }
    if (!printer.value()) {
        m_context.fail(QString::fromLatin1(msg::configMissing));
        return false;
    }
    m_context.state.def_prn = *printer.value();
    if (m_context.state.def_prn.isEmpty())
        m_context.prompter.inform(
            u"Izberete Default Pecatar za Proektot so kopceto Izberi Pecatar !"_s);
    else
        m_label5->setText(m_context.state.def_prn);

    return showStoredOffsets();
}

bool pec_pod::showStoredOffsets()
{
    auto offsets = readOffsets(m_context.store);
    if (!offsets) {
        m_context.fail(offsets);
        return false;
    }
    if (!offsets.value()) {
        m_context.fail(QString::fromLatin1(msg::configMissing));
        return false;
    }
    m_offsetsOf = m_context.state.def_prn;
    offset_left = offsets.value()->right;
    offset_top = offsets.value()->down;
    // The bars at 0 and the picture where it was designed, as at opening.
    m_hscroll1->setValue(0);
    m_vscroll1->setValue(0);
    m_image1->move(twips::px(fix_left), twips::px(fix_top));
    m_text1->setText(plainNumber(offset_left));
    m_text2->setText(plainNumber(offset_top));
    return true;
}

void pec_pod::HScroll1_Change()
{
    const int v = m_hscroll1->value();
    m_image1->move(twips::px(fix_left + v), m_image1->y());
    m_text1->setText(plainNumber(offset_left + v / double(twipsPerTenthMm)));
}

void pec_pod::VScroll1_Change()
{
    const int v = m_vscroll1->value();
    m_image1->move(m_image1->x(), twips::px(fix_top + v));
    m_text2->setText(plainNumber(offset_top + v / double(twipsPerTenthMm)));
}

void pec_pod::Command1_Click()
{
    m_context.prompter.inform(
        u"So pomos na strelkite LEVO/DESNO . GORE/DOLE podesete go PECATAROT "_s + QChar(10) +
        u" AKO NE PECATI TOCNO VO RUBRIKITE NA TRELOKOT"_s);
}

void pec_pod::Command2_Click()
{
    reject();
}

void pec_pod::saveOffsets(const QString &right, const QString &down, const QString &done)
{
    auto stored = storeOffsets(m_context.store, right, down);
    if (!stored) {
        m_context.fail(stored);
        return;
    }
    m_context.prompter.inform(done);
    accept();
}

void pec_pod::Command3_Click()
{
    saveOffsets(m_text1->text().trimmed(), m_text2->text().trimmed(),
                u"Uspesno Snimeno Podesuvanje za Pecatar !"_s);
}

void pec_pod::Command4_Click()
{
    const Answer answer = m_context.prompter.ask(
        u"Dali Navistina sakate da gi Vratam podesuvanjata za Pecatenje na pocetna (Fabricka) "
        "Sostojba ? "_s,
        Buttons::YesNoCancel);
    if (answer != Answer::Yes)
        return;
    saveOffsets(u"0"_s, u"0"_s, u"Uspesno Vrateni Podesuvanja za Pecatar na POCETNA sostojba !"_s);
}

void pec_pod::Command5_Click()
{
    m_command5->hide();
    m_list1->clear();
    m_list1->show();
    m_list1->addItems(m_context.printers.installedPrinters());
    m_command6->show();
    m_list1->setFocus();
}

void pec_pod::Command6_Click()
{
    QListWidgetItem *item = m_list1->currentItem();
    const QString selected = item && item->isSelected() ? item->text() : QString();
    if (selected.trimmed().isEmpty()) {
        m_context.prompter.inform(u"Izberi Pecatar od listata !"_s);
        return;
    }
    if (!SelectPrinter(m_context.printers, selected))
        m_context.prompter.inform(msg::printerMissing(selected));
    const QString name = selected.trimmed();
    m_context.state.def_prn = name;
    m_label5->setText(name);
    if (m_printerChosen)
        m_printerChosen(name);
    auto stored = storeApplicationPrinter(m_context.store, name);
    if (!stored) {
        m_context.fail(stored);
        return;
    }
    // Another printer brings its own offsets.
    if (name != m_offsetsOf && !showStoredOffsets())
        return;
    m_command5->show();
    m_list1->hide();
    m_command6->hide();
}

void pec_pod::Command7_Click()
{
    const auto loaded = loadSheetForPrinter(m_context);
    if (!loaded)
        return;
    if (const QString reason = unprintableSheetReason(*loaded); !reason.isEmpty()) {
        m_context.prompter.inform(reason);
        return;
    }
    // The offsets shown, saved or not yet: the sheet shows where they put
    // the fields before they are kept.
    CalibrationSheet sheet = loaded->sheet;
    sheet.desno = offsetTwips(m_text1->text());
    sheet.dole = offsetTwips(m_text2->text());
    if (const QString error = m_printSheet(m_context.printers.current(), sheet); !error.isEmpty())
        m_context.prompter.inform(error);
}

} // namespace trelok
