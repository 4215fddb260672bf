#include "entry/validation.h"

#include "data/statements.h"
#include "data/store.h"
#include "refdata/payment_kinds.h"

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// Digits, with an optional sign and at most one decimal point, blanks
// around them allowed.
bool isNumeric(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= u'0' && t[i] <= u'9')
            digits = true;
        else if (t[i] == u'.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

// The whole denars: digits, blanks between groups of them allowed ("1 234"),
// blanks around them too, and a value above 0. A bank reads nothing else.
bool isWholeAmount(const QString &text)
{
    const QString t = text.trimmed();
    bool above0 = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] >= u'1' && t[i] <= u'9')
            above0 = true;
        else if (t[i] != u'0' && t[i] != u' ')
            return false;
    }
    return above0;
}

DbResult<bool> exists(Store &store, const char *statement, const QString &key)
{
    auto row = store.first(statement, {key});
    if (!row)
        return DbResult<bool>::failure(row);
    return row.value().has_value();
}

// One run of the checks over the fields of one order.
class Checks {
public:
    Checks(Store &store, EntryDialog &dialog, const QString &kind, const QString &year,
           EntryFields &fields)
        : m_store(store), m_dialog(dialog), m_kind(paymentKind(kind)), m_year(year), f(fields)
    {}

    DbResult<Validation> run();

private:
    enum class Step { Next, Stop, Error };

    Step stop(const QString &message, const QString &focusBefore = {},
              const QString &focusAfter = {})
    {
        if (!focusBefore.isEmpty())
            m_dialog.focus(focusBefore, f);
        m_dialog.inform(message);
        if (!focusAfter.isEmpty())
            m_dialog.focus(focusAfter, f);
        m_stopMessage = message;
        return Step::Stop;
    }

    Step lookup(DbResult<bool> (*look)(Store &, const QString &), const QString &key, bool &found)
    {
        m_dialog.busy(true);
        auto result = look(m_store, key);
        m_dialog.busy(false);
        if (!result) {
            m_error = result.error();
            m_busy = result.busy();
            return Step::Error;
        }
        found = result.value();
        return Step::Next;
    }

    Step taxpayer(const QString &box, QString EntryFields::*member, qsizetype cut)
    {
        const QString key = cut > 0 ? (f.*member).trimmed().left(cut) : (f.*member).trimmed();
        bool found = false;
        if (lookup(prov_dan, key, found) == Step::Error)
            return Step::Error;
        if (found)
            return Step::Next;
        m_dialog.focus(box, f);
        const Answer answer = m_dialog.ask(EntryQuestion::UnknownTaxpayer,
                                           u"Danocniot broj: "_s + f.*member +
                                               u" Nepostoi ! , Dali Da go Prifatam ? "_s,
                                           Buttons::YesNoCancel);
        if (answer != Answer::Yes)
            return stop(u"Trelokot ne e Snimen,Vnesete tocen danocniot broj !"_s);
        m_dialog.inform(u"Trelokot moze da bide i NEVALIDEN, Ako danocniot broj e tocen, mozete "
                        u"da go vnesete vo Servis/Danocni_broevi !"_s);
        return Step::Next;
    }

    Step municipality()
    {
        bool found = false;
        if (lookup(prov_opst, f.us2.trimmed(), found) == Step::Error)
            return Step::Error;
        if (found)
            return Step::Next;
        m_dialog.focus(u"us2"_s, f);
        const Answer answer = m_dialog.ask(EntryQuestion::UnknownMunicipality,
                                           u"Sifra na Opstina : "_s + f.us2 +
                                               u" Nepostoi ! , Dali Da ja Prifatam ? "_s,
                                           Buttons::YesNoCancel);
        if (answer != Answer::Yes)
            return stop(u"Trelokot ne e Snimen,Vnesete tocna Sifra na Opstina !"_s);
        m_dialog.inform(u"Trelokot moze da bide i NEVALIDEN !"_s);
        return Step::Next;
    }

    void year()
    {
        if (f.p_nal2 == m_year)
            return;
        const Answer answer =
            m_dialog.ask(EntryQuestion::CurrentYear,
                         u"Pogresna Godina, Dali da ja stavam tekovnata ?"_s, Buttons::YesNo);
        if (answer == Answer::Yes)
            f.p_nal2 = m_year;
        else
            m_dialog.focus(u"p_nal2"_s, f);
    }

    void office()
    {
        if (f.p_nal3.trimmed().isEmpty())
            m_dialog.pickCustomsOffice(f);
    }

    // The office fill of the kinds whose reference names the office: a
    // reference without it cannot be matched to a payment, so an office box
    // still empty after the picker stops the run.
    Step requiredOffice()
    {
        office();
        if (!f.p_nal3.trimmed().isEmpty())
            return Step::Next;
        return stop(u"Trelokot ne e Snimen,Vnesete ja Ispostavata !"_s, u"p_nal3"_s);
    }

    Step general();
    Step byKind();

    Store &m_store;
    EntryDialog &m_dialog;
    const PaymentKind *m_kind; // nullptr: a kind with the general checks only
    const QString &m_year;
    EntryFields &f;
    QString m_stopMessage;
    QString m_error;
    bool m_busy = false;
};

Checks::Step Checks::general()
{
    // 1, 2: the payer's taxpayer number and the one in the purpose line.
    if (Step s = taxpayer(u"d_nal"_s, &EntryFields::d_nal, 13); s != Step::Next)
        return s;
    if (!m_kind || !m_kind->guarantee)
        if (Step s = taxpayer(u"c_nal1"_s, &EntryFields::c_nal1, 13); s != Step::Next)
            return s;
    // 3, 4: the amount.
    if (!isWholeAmount(f.mkd1))
        return stop(u"Vnesi Iznos za Uplata (Cel del BEZ Decimali) !"_s, u"mkd1"_s);
    const QString decimals = f.mkd2.trimmed();
    if (decimals != u"00"_s && decimals != u"50"_s)
        return stop(u"Vnesi go Decimalniot del na Iznoz za Uplata ( 00 ili 50 ) !"_s, u"mkd2"_s);
    // 5: the municipality.
    if (Step s = municipality(); s != Step::Next)
        return s;
    // 6, 7: the payment method and, for method 1, the value date.
    const QString method = f.nac.trimmed();
    if (method != u"1"_s && method != u"2"_s)
        return stop(u"Vnesi go Nacinot na Uplata( 1 ili 2 ) !"_s, u"nac"_s);
    if (method == u"1"_s && f.dat.trimmed() != f.valu.trimmed()) {
        const Answer answer = m_dialog.ask(
            EntryQuestion::EqualDates,
            u"Pri nacin na Uplata 1, Datumot na VALUTA mora da e IST so Datumot na Uplata, Dali "
            u"da gi IZEDNACAM ?"_s,
            Buttons::YesNo);
        if (answer != Answer::Yes)
            return stop(u"Pogresni Datumi na UPLATA/VALUTA, Trelokot NE E Snimen !"_s);
        f.valu = f.dat;
    }
    return Step::Next;
}

Checks::Step Checks::byKind()
{
    if (!m_kind)
        return Step::Next;
    if (m_kind->year)
        year();
    if (m_kind->office == OfficeCheck::Picked)
        office();
    if (m_kind->office == OfficeCheck::Required)
        if (Step s = requiredOffice(); s != Step::Next)
            return s;
    const bool number = !f.p_nal4.trimmed().isEmpty() && isNumeric(f.p_nal4);
    switch (m_kind->number) {
    case NumberCheck::Declaration:
        if (!number)
            return stop(u"ZADOLZITELNO Vnesete REFERENTEN BROJ na Deklaracijata !"_s, {},
                        u"p_nal4"_s);
        break;
    case NumberCheck::Registration:
        if (!number)
            return stop(u"ZADOLZITELNO Vnesete BROJ na REGISTRACIJA na Deklaracijata !"_s, {},
                        u"p_nal4"_s);
        break;
    case NumberCheck::Taxpayer:
        if (!f.p_nal4.trimmed().isEmpty())
            if (Step s = taxpayer(u"p_nal4"_s, &EntryFields::p_nal4, 0); s != Step::Next)
                return s;
        break;
    case NumberCheck::None:
        break;
    }
    if (m_kind->mark == MarkCheck::ZeroOrOne && f.p_nal5 != u"1"_s && f.p_nal5 != u"0"_s)
        return stop(u"ZADOLZITELNO Vnesete BROJ 0 ili 1 "_s, {}, u"p_nal5"_s);
    if (m_kind->mark == MarkCheck::One && f.p_nal5 != u"1"_s)
        return stop(u"ZADOLZITELNO Vnesete BROJ 1 "_s, {}, u"p_nal5"_s);
    if (m_kind->guarantee) {
        if (f.p_nal3.trimmed().size() != 10)
            return stop(u"Garancija Broj mora da e 10 Mesta !"_s, u"p_nal3"_s);
        if (f.c_nal1.trimmed().size() != 10)
            return stop(u"Garancija Broj mora da e 10 Mesta !"_s, u"c_nal1"_s);
    }
    return Step::Next;
}

DbResult<Validation> Checks::run()
{
    Step s = general();
    if (s == Step::Next)
        s = byKind();
    if (s == Step::Error)
        return DbResult<Validation>::failure(m_error, m_busy);
    return Validation{s == Step::Next, m_stopMessage};
}

} // namespace

DbResult<bool> prov_dan(Store &store, const QString &dan_br_)
{
    return exists(store, sql::obvr::byCode, dan_br_);
}

DbResult<bool> prov_opst(Store &store, const QString &ops_br_)
{
    return exists(store, sql::opst::byCode, ops_br_);
}

DbResult<Validation> validateEntry(Store &store, EntryDialog &dialog, const QString &kind,
                                   const QString &currentYear, EntryFields &fields)
{
    return Checks(store, dialog, kind, currentYear, fields).run();
}

void composeReference(const QString &kind, EntryFields &f)
{
    if (const PaymentKind *described = paymentKind(kind))
        f.p_nal = composeReference(*described, f.segments());
}

} // namespace trelok
