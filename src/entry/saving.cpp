#include "entry/saving.h"

#include "data/orders.h"

using namespace Qt::StringLiterals;

namespace trelok {

QVariantList orderValues(const EntryFields &f, const Recipient &r, const QString &kind)
{
    return {f.nal1,
            f.nal2,
            f.b_nal,
            f.s_nal,
            f.d_nal,
            f.p_nal,
            f.c_nal1,
            f.c_nal2,
            r.pri1.trimmed(),
            r.pri2.trimmed(),
            r.b_pri.trimmed(),
            f.s_pri,
            f.mkd1,
            f.mkd2,
            f.us1,
            f.us2,
            f.us3,
            f.sb1,
            f.sb2,
            f.sb3,
            f.ps1,
            f.ps2,
            f.nac,
            f.dat,
            f.mes,
            kind,
            f.valu};
}

DbResult<Saved> saveEntry(Store &store, EntryDialog &dialog, const EntrySession &session,
                          const QString &documentType, const QString &year,
                          const EntryFields &fields, const Recipient &recipient)
{
    Saved saved;
    const bool isNew = session.mode == EntryMode::New;
    if (!isNew && session.mode != EntryMode::Change) // no mode the window knows
        return saved;
    const QString confirm = isNew ? u"Da go snimam Noviot Trelok ? "_s
                                  : u"Da go Promenam Trelokot "_s + session.orderNumber;
    if (dialog.ask(EntryQuestion::ConfirmSave, confirm, Buttons::YesNoCancel) != Answer::Yes)
        return saved;
    const QVariantList values = orderValues(fields, recipient, session.kind);
    if (isNew) {
        auto number = storeNewOrder(store, year, documentType, values, &saved.notice);
        if (!number)
            return DbResult<Saved>::failure(number);
        saved.number = number.value();
        if (!saved.notice.isEmpty())
            dialog.inform(saved.notice);
    } else {
        saved.number = session.orderNumber;
        if (auto replaced = replaceOrder(store, saved.number, values); !replaced)
            return DbResult<Saved>::failure(replaced);
    }
    saved.stored = true;
    const QString done =
        isNew ? u"Uspesno Vnesen Trelok broj: "_s : u"Uspesno Promenet Trelok broj: "_s;
    saved.print =
        dialog.ask(EntryQuestion::PrintSaved, done + saved.number + u", Da go PECATAM ? "_s,
                   Buttons::YesNoCancel) == Answer::Yes;
    return saved;
}

} // namespace trelok
