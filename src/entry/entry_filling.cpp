#include "entry/entry_filling.h"

#include "context/messages.h"
#include "data/order_columns.h"
#include "data/statements.h"
#include "data/store.h"
#include "entry/kinds.h"
#include "platform/clock.h"
#include "platform/dates.h"
#include "platform/prompter.h"
#include "refdata/fixed_data.h"

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

using Filled = DbResult<EntryFilling>;

QString fixedDataMessage()
{
    return u"Odete na Menito 'Servis'/'Vasi Fiksni Podatoci' "_s + QChar(10) +
           u" za da gi postavite Parametrite  na Vasata Firma,"_s + QChar(10) +
           u" za da ne gi pisuvate na sekoj trelok !"_s;
}

Filled fillNew(const EntrySources &sources, const EntrySession &session, EntryFilling out)
{
    EntryFields &f = out.fields;
    out.caption = u"Vnes na nov Trelok "_s;
    out.command1Caption = u" OK - Snimi "_s;
    for (QString *box :
         {&f.nal1, &f.nal2, &f.b_nal, &f.s_nal, &f.d_nal, &f.p_nal, &f.c_nal1, &f.c_nal2, &f.s_pri,
          &f.mkd1, &f.mkd2, &f.us1, &f.us2, &f.us3, &f.nac, &f.mes, &f.valu})
        box->clear();
    const QDate today = sources.clock.today();
    f.dat = formatDate(today);

    auto row = readCompanyRow(sources.store);
    if (!row)
        return Filled::failure(row);
    if (!row.value())
        return Filled::failure(QString::fromLatin1(msg::configMissing));
    const CompanyRow &company = *row.value();
    if (fixedDataMissing(company.fixed.nal1)) {
        sources.prompter.inform(fixedDataMessage());
    } else {
        f.nal1 = company.fixed.nal1;
        f.nal2 = company.fixed.nal2;
        f.b_nal = company.fixed.b_nal;
        f.s_nal = company.fixed.s_nal;
        f.d_nal = company.fixed.d_nal;
        f.p_nal = company.povik;
        f.c_nal1 = f.d_nal;
        f.c_nal2 = session.description;
        f.s_pri = u"100000000063095"_s;
        f.mkd1 = company.mkd_cel;
        f.mkd2 = company.mkd_dec;
        f.us1 = u"845"_s;
        f.us2 = company.fixed.us2;
        f.us3 = u"00960"_s;
        f.nac = company.nacin;
        f.dat = formatDate(today);
        f.mes = company.fixed.mes;
    }
    const PaymentKind *kind = paymentKind(session.kind);
    f.p_nal1 = kind ? QString::fromLatin1(kind->referenceCode) : session.kind;
    f.p_nal2 = today.toString(u"yyyyMMdd"_s).left(4);
    f.p_nal3.clear();
    f.p_nal4.clear();
    f.p_nal5 = kind ? QString::fromLatin1(kind->newMark) : QString();
    f.valu.clear();
    if (kind && kind->guarantee) {
        f.p_nal3 = QString::fromLatin1(kind->code);
        f.c_nal1.clear();
    }
    return out;
}

Filled fillChange(const EntrySources &sources, EntrySession &session, EntryFilling out)
{
    EntryFields &f = out.fields;
    out.caption = u"Promena na Trelok "_s + session.orderNumber;
    out.command1Caption = u" OK - Promeni "_s;
    auto order = sources.store.first(sql::trel::byNumber, {session.orderNumber});
    if (!order)
        return Filled::failure(order);
    if (!order.value()) {
        sources.prompter.inform(u"Trelokot Ne POSTOI,Izbrisani se Podatocite !"_s);
        return out;
    }
    // Every column with a box of the entry window comes back into it.
    const Row &row = *order.value();
    for (const ColumnDescriptor &column : orderColumnTable)
        if (column.box)
            f.*EntryFields::member(QLatin1StringView(column.box)) =
                row.text(QString::fromLatin1(column.name));

    session.kind = row.text(u"vid"_s);
    auto kind = kindDescription(sources.store, session.kind);
    if (!kind)
        return Filled::failure(kind);
    if (!kind.value()) {
        session.kind = u"000"_s;
        sources.prompter.inform(u"Nepostoecki Vid na Uplata !"_s);
        return out;
    }
    session.description = *kind.value();
    out.label3Caption = session.kind + u"-"_s + session.description;
    splitReference(session.kind, f);
    return out;
}

} // namespace

std::optional<ReferenceSegments> splitReference(const QString &kind, const QString &p_nal)
{
    if (const PaymentKind *described = paymentKind(kind))
        return splitReference(*described, p_nal);
    return std::nullopt;
}

void splitReference(const QString &kind, EntryFields &fields)
{
    if (const auto segments = splitReference(kind, fields.p_nal))
        fields.setSegments(*segments);
}

bool fixedDataMissing(const QString &nalog1)
{
    return nalog1.trimmed().left(8).toUpper() == u"NAZIV NA"_s;
}

DbResult<EntryFilling> fillEntry(const EntrySources &sources, EntrySession &session)
{
    EntryFilling out;
    if (session.mode == EntryMode::New) {
        auto filled = fillNew(sources, session, out);
        if (!filled)
            return filled;
        out = filled.value();
    }
    // Neither mode carries a budget user's account, revenue code or programme
    // from here; a changed order gets its own back below.
    for (QString *box :
         {&out.fields.sb1, &out.fields.sb2, &out.fields.sb3, &out.fields.ps1, &out.fields.ps2})
        box->clear();
    if (session.mode == EntryMode::Change)
        return fillChange(sources, session, out);
    return out;
}

void p_nal3_LostFocus(const EntrySession &session, EntryFields &fields)
{
    const PaymentKind *kind = paymentKind(session.kind);
    if (kind && kind->guarantee && fields.c_nal1.trimmed().isEmpty())
        fields.c_nal1 = fields.p_nal3;
}

} // namespace trelok
