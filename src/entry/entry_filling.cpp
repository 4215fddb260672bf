#include "entry/entry_filling.h"

#include "context/app_context.h"
#include "context/messages.h"
#include "data/statements.h"
#include "data/store.h"
#include "entry/kinds.h"
#include "platform/clock.h"
#include "platform/dates.h"
#include "platform/prompter.h"
#include "print/dash_ops.h"
#include "refdata/fixed_data.h"

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

QString fixedDataMessage()
{
    return u"Odete na Menito 'Servis'/'Vasi Fiksni Podatoci' "_s + QChar(10) +
           u" za da gi postavite Parametrite  na Vasata Firma,"_s + QChar(10) +
           u" za da ne gi pisuvate na sekoj trelok !"_s;
}

void fillNew(AppContext &context, EntrySession &session, EntryFilling &out)
{
    EntryFields &f = out.fields;
    out.caption = u"Vnes na nov Trelok "_s;
    out.command1Caption = u" OK - Snimi "_s;
    for (QString *box :
         {&f.nal1, &f.nal2, &f.b_nal, &f.s_nal, &f.d_nal, &f.p_nal, &f.c_nal1, &f.c_nal2, &f.s_pri,
          &f.mkd1, &f.mkd2, &f.us1, &f.us2, &f.us3, &f.nac, &f.mes, &f.valu})
        box->clear();
    const QDate today = context.clock.today();
    f.dat = formatDate(today);

    auto config = context.store.first(sql::cnf::configRow);
    if (!config) {
        context.fail(config);
        out.ended = true;
        return;
    }
    if (!config.value()) {
        context.fail(QString::fromLatin1(msg::configMissing));
        out.ended = true;
        return;
    }
    const Row &row = *config.value();
    const FixedData company = fixedDataOf(row);
    if (fixedDataMissing(company.nal1)) {
        context.prompter.inform(fixedDataMessage());
    } else {
        f.nal1 = company.nal1;
        f.nal2 = company.nal2;
        f.b_nal = company.b_nal;
        f.s_nal = company.s_nal;
        f.d_nal = company.d_nal;
        f.p_nal = row.text(u"povik"_s);
        f.c_nal1 = f.d_nal;
        f.c_nal2 = context.state.opi_tre;
        f.s_pri = u"100000000063095"_s;
        f.mkd1 = row.text(u"mkd_cel"_s);
        f.mkd2 = row.text(u"mkd_dec"_s);
        f.us1 = u"845"_s;
        f.us2 = company.us2;
        f.us3 = u"00960"_s;
        f.nac = row.text(u"nacin"_s);
        f.dat = formatDate(today);
        f.mes = company.mes;
    }
    f.p_nal1 = session.kind == u"GAR"_s ? u"900"_s : session.kind;
    f.p_nal2 = today.toString(u"yyyyMMdd"_s).left(4);
    f.p_nal3.clear();
    f.p_nal4.clear();
    f.p_nal5.clear();
    f.valu.clear();
    if (session.kind == u"900"_s) {
        f.p_nal3 = u"900"_s;
        f.c_nal1.clear();
    }
    if (session.kind == u"GAR"_s)
        f.p_nal5 = u"1"_s;
}

} // namespace

void splitReference(SharedState &state, const QString &kind, EntryFields &f)
{
    const bool four = kind == u"108"_s;
    const bool five = kind == u"205"_s || kind == u"GAR"_s || kind == u"701"_s || kind == u"900"_s;
    if (!four && !five)
        return;
    state.prm1.clear();
    state.prm2.clear();
    state.prm3.clear();
    state.prm4.clear();
    if (five)
        state.prm5.clear();
    dvoi_crtka(state, f.p_nal);
    if (four || kind == u"205"_s || kind == u"GAR"_s) {
        f.p_nal1 = state.prm1;
        f.p_nal2 = state.prm2;
        f.p_nal3 = state.prm3;
        f.p_nal4 = state.prm4;
        if (!four)
            f.p_nal5 = state.prm5;
    } else if (kind == u"701"_s) {
        f.p_nal1 = state.prm1;
        f.p_nal2.clear();
        f.p_nal3 = state.prm2;
        f.p_nal4 = state.prm3;
        f.p_nal5 = state.prm4;
    } else {
        f.p_nal3 = state.prm1;
        f.p_nal1.clear();
        f.p_nal2.clear();
        f.p_nal4.clear();
        f.p_nal5.clear();
    }
}

namespace {

void fillChange(AppContext &context, EntrySession &session, EntryFilling &out)
{
    EntryFields &f = out.fields;
    SharedState &state = context.state;
    out.caption = u"Promena na Trelok "_s + session.orderNumber;
    out.command1Caption = u" OK - Promeni "_s;
    auto order = context.store.first(sql::trel::byNumber, {session.orderNumber});
    if (!order) {
        context.fail(order);
        out.ended = true;
        return;
    }
    if (!order.value()) {
        context.prompter.inform(u"Trelokot Ne POSTOI,Izbrisani se Podatocite !"_s);
        return;
    }
    const Row &row = *order.value();
    const QList<std::pair<QString EntryFields::*, QString>> columns{
        {&EntryFields::nal1, u"nalog1"_s},    {&EntryFields::nal2, u"nalog2"_s},
        {&EntryFields::b_nal, u"bnk_nal"_s},  {&EntryFields::s_nal, u"sm_nal"_s},
        {&EntryFields::d_nal, u"dan_br"_s},   {&EntryFields::p_nal, u"povik"_s},
        {&EntryFields::c_nal1, u"cel1"_s},    {&EntryFields::c_nal2, u"cel2"_s},
        {&EntryFields::s_pri, u"smet_pri"_s}, {&EntryFields::mkd1, u"mkd_cel"_s},
        {&EntryFields::mkd2, u"mkd_dec"_s},   {&EntryFields::us1, u"up_smet1"_s},
        {&EntryFields::us2, u"up_smet2"_s},   {&EntryFields::us3, u"up_smet3"_s},
        {&EntryFields::sb1, u"bu_smet1"_s},   {&EntryFields::sb2, u"bu_smet2"_s},
        {&EntryFields::sb3, u"bu_smet3"_s},   {&EntryFields::ps1, u"pr_sif1"_s},
        {&EntryFields::ps2, u"pr_sif2"_s},    {&EntryFields::nac, u"nacin"_s},
        {&EntryFields::dat, u"datum"_s},      {&EntryFields::mes, u"mesto"_s},
        {&EntryFields::valu, u"valuta"_s}};
    for (const auto &[member, column] : columns)
        f.*member = row.text(column);

    session.kind = row.text(u"vid"_s);
    state.vid_tre = session.kind;
    auto kind = kindDescription(context.store, session.kind);
    if (!kind) {
        context.fail(kind);
        out.ended = true;
        return;
    }
    if (!kind.value()) {
        session.kind = u"000"_s;
        state.vid_tre = session.kind;
        context.prompter.inform(u"Nepostoecki Vid na Uplata !"_s);
        return;
    }
    state.opi_tre = *kind.value();
    out.label3Caption = session.kind + u"-"_s + state.opi_tre;
    splitReference(state, session.kind, f);
}

} // namespace

bool fixedDataMissing(const QString &nalog1)
{
    return nalog1.trimmed().left(8).toUpper() == u"NAZIV NA"_s;
}

EntryFilling fillEntry(AppContext &context, EntrySession &session)
{
    EntryFilling out;
    if (session.mode == u"V"_s)
        fillNew(context, session, out);
    if (out.ended)
        return out;
    // Neither mode carries a budget user's account, revenue code or programme
    // from here; a changed order gets its own back below.
    for (QString *box :
         {&out.fields.sb1, &out.fields.sb2, &out.fields.sb3, &out.fields.ps1, &out.fields.ps2})
        box->clear();
    if (session.mode == u"A"_s)
        fillChange(context, session, out);
    return out;
}

void p_nal3_LostFocus(const EntrySession &session, EntryFields &fields)
{
    if (session.kind == u"900"_s && fields.c_nal1.trimmed().isEmpty())
        fields.c_nal1 = fields.p_nal3;
}

} // namespace trelok
