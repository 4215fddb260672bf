#include "shell/form1.h"

#include "context/app_context.h"
#include "context/daily_backup.h"
#include "context/pictures.h"
#include "entry/izbor_trelok.h"
#include "entry/izbor_vid.h"
#include "entry/trelok_window.h"
#include "platform/fonts.h"
#include "platform/guides.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "print/lista_period.h"
#include "print/pec_pod.h"
#include "print/raspored_polinja.h"
#include "refdata/dan_ref.h"
#include "refdata/fix_firm.h"
#include "version.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace trelok {

QString aboutText()
{
    return u"Priprema / Pecatenje na Treloki za uplata prema Carinska Uprava na RM"_s + QChar(10) +
           QString(45, u' ') + QStringLiteral("Verzija " TRELOK_VERSION);
}

Form1::Form1(AppContext &context, QWidget *parent) : QMainWindow(parent), m_context(context)
{
    setObjectName(u"Form1"_s);
    m_print = std::make_unique<PrintService>(context, this);
    setWindowTitle(u"PP 50"_s);
    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    client->setFixedSize(mainBackgroundSize);
    setCentralWidget(client);

    auto *background = new QLabel(client);
    background->setObjectName(u"background"_s);
    background->setGeometry(0, 0, client->width(), client->height());
    background->setPixmap(QPixmap::fromImage(mainBackground(background->size())));
    background->setScaledContents(true);
    background->setAccessibleName(u"PP 50"_s);

    auto *image1 = new QLabel(client);
    image1->setObjectName(u"Image1"_s);
    image1->setGeometry(mainEmblemPlace);
    image1->setPixmap(QPixmap::fromImage(emblem(image1->size())));
    image1->setScaledContents(true);
    image1->setAccessibleName(u"Grb"_s);

    m_label1 = new QLabel(client);
    m_label1->setObjectName(u"Label1"_s);
    m_label1->setGeometry(twips::rect(120, 5400, 4455, 255));
    m_label1->setAccessibleName(u"Pecatar"_s);

    buildMenu();
    adjustSize();
    setFixedSize(sizeHint());
    m_backup = new DailyBackupRun(context, this);
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A window shown but not drawn (covered, or minimized from the start)
    // still gets the day's copy, a moment later.
    QTimer::singleShot(3000, m_backup, &DailyBackupRun::start);
}

void Form1::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    // The day's copy begins once the window is first drawn: it does not
    // compete with the start for the processor before the clerk sees the
    // window. Starting it again does nothing.
    if (!m_drawn)
        QTimer::singleShot(0, m_backup, &DailyBackupRun::start);
    m_drawn = true;
}

void Form1::setPrinterLabel(const QString &name)
{
    m_label1->setText(name);
    m_label1->setAccessibleDescription(name);
}

QAction *Form1::addItem(QMenu *menu, const QString &name, const QString &caption,
                        void (Form1::*handler)())
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, handler);
    if (menu)
        menu->addAction(action);
    else
        menuBar()->addAction(action);
    return action;
}

void Form1::buildMenu()
{
    QFont font(QString::fromLatin1(formFontFamily), 10);
    menuBar()->setFont(font);
    auto menu = [this, &font](const QString &name, const QString &caption) {
        QMenu *m = menuBar()->addMenu(caption);
        m->setObjectName(name);
        m->setFont(font);
        return m;
    };
    addItem(menu(u"vns"_s, u"&Vnes"_s), u"ntrel"_s, u"Nov &Trelok"_s, &Form1::ntrel_Click);
    addItem(menu(u"promm"_s, u"P&romeni"_s), u"azur_tre"_s, u"&Postoecki Trelok"_s,
            &Form1::azur_tre_Click);
    addItem(menu(u"apct"_s, u"&Pecati"_s), u"pct"_s, u"&Pecatenje na Postoecki Snimen Trelok"_s,
            &Form1::pct_Click);
    addItem(menuBar()->findChild<QMenu *>(u"apct"_s), u"lista_per"_s,
            u"&Lista na Treloci za Period"_s, &Form1::lista_per_Click);
    QMenu *service = menu(u"srvs"_s, u"&Servis"_s);
    addItem(service, u"pec_podes"_s, u"&Podesuvanje na Pecatar"_s, &Form1::pec_podes_Click);
    addItem(service, u"vfpd"_s, u"&Vasi Fiksni Podatoci"_s, &Form1::vfpd_Click);
    addItem(service, u"sdb"_s, u"&Sifrarnik na Danocni Broevi"_s, &Form1::sdb_Click);
    addItem(service, u"rasp_pol"_s, u"&Raspored na Polinjata"_s, &Form1::rasp_pol_Click);
    QMenu *help = menu(u"pomosss"_s, u"Po&mos"_s);
    addItem(help, u"uinstall"_s, u"Upatstvo za &Instalacija"_s, &Form1::uinstall_Click);
    addItem(help, u"upkor"_s, u"Upatstvo za &Koristenje"_s, &Form1::upkor_Click);
    addItem(help, u"abbo"_s, u"&About"_s, &Form1::abbo_Click);
    addItem(nullptr, u"izl"_s, u"&Izlez"_s, &Form1::izl_Click);
}

Trelok *Form1::entryWindow() const
{
    return m_entry;
}

bool Form1::entryAlreadyOpen()
{
    if (!m_entry)
        return false;
    m_entry->showNormal();
    m_entry->raise();
    m_entry->activateWindow();
    return true;
}

bool Form1::openEntry()
{
    if (entryAlreadyOpen())
        return false;
    auto *entry = new Trelok(m_context, this);
    entry->setPrintOrder(
        [this](const QString &number) { m_print->print(number, PrintMode::Preview); });
    if (!entry->Form_Load()) {
        delete entry;
        return false;
    }
    m_entry = entry;
    entry->show();
    entry->raise();
    entry->activateWindow();
    return true;
}

void Form1::ntrel_Click()
{
    // One entry window at a time: a second request only brings it forward.
    if (entryAlreadyOpen())
        return;
    m_context.state.f_ja = EntryMode::New;
    m_context.state.vid_tre = u"000"_s;
    {
        izbor_vid chooser(m_context, this);
        if (chooser.Form_Load())
            chooser.exec();
    }
    if (m_context.state.vid_tre != u"000"_s)
        openEntry();
}

QStringList Form1::chooseOrder(bool several)
{
    izbor_trelok chooser(m_context, this);
    if (several)
        chooser.allowSeveral();
    if (chooser.Form_Load())
        chooser.exec();
    else // the list could not be read: nothing chosen
        m_context.state.p_tre_br = u"0"_s;
    if (m_context.state.p_tre_br == u"0"_s)
        return {};
    return several ? chooser.chosenNumbers() : QStringList{m_context.state.p_tre_br};
}

void Form1::azur_tre_Click()
{
    // One entry window at a time: a second request only brings it forward.
    if (entryAlreadyOpen())
        return;
    chooseOrder();
    if (m_context.state.p_tre_br != u"0"_s) {
        m_context.state.f_ja = EntryMode::Change;
        openEntry();
    }
}

void Form1::pct_Click()
{
    const QStringList chosen = chooseOrder(true);
    if (chosen.size() > 1)
        m_print->printSeveral(chosen, PrintMode::Preview);
    else if (!chosen.isEmpty())
        m_print->print(chosen.first(), PrintMode::Preview);
}

void Form1::lista_per_Click()
{
    lista_period window(m_context, this);
    if (window.Form_Load())
        window.exec();
}

void Form1::pec_podes_Click()
{
    pec_pod window(
        m_context, [this](const QString &name) { setPrinterLabel(name); }, this);
    if (window.Form_Load())
        window.exec();
}

void Form1::rasp_pol_Click()
{
    raspored_polinja window(m_context, this);
    if (window.Form_Load())
        window.exec();
}

void Form1::vfpd_Click()
{
    fix_firm window(m_context, this);
    if (window.Form_Load())
        window.exec();
}

void Form1::sdb_Click()
{
    dan_ref window(m_context, this);
    if (window.Form_Load())
        window.exec();
}

void Form1::openGuide(const char *name)
{
    const QString file = guideFile(QString::fromLatin1(name));
    if (file.isEmpty()) {
        m_context.prompter.inform(u"Upatstvoto %1 ne e najdeno, Preinstaliraj go Proektot !"_s.arg(
            QString::fromLatin1(name)));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        m_context.prompter.inform(u"Upatstvoto ne moze da se otvori: "_s + file);
}

void Form1::uinstall_Click()
{
    openGuide(installationGuide);
}

void Form1::upkor_Click()
{
    openGuide(usersGuide);
}

void Form1::abbo_Click()
{
    m_context.prompter.inform(aboutText());
}

void Form1::izl_Click()
{
    close();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the whole application.
    event->accept();
    if (m_context.endApplication)
        m_context.endApplication(0);
}

} // namespace trelok
