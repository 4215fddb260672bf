#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace trelok {

// The texts of the entry window's boxes, by control name. The rules work on
// this value; the window copies its boxes into it and back.
struct EntryFields {
    QString nal1, nal2, b_nal, s_nal, d_nal;
    QString p_nal1, p_nal2, p_nal3, p_nal4, p_nal5;
    QString c_nal1, c_nal2, p_nal;
    QString s_pri, mkd1, mkd2;
    QString us1, us2, us3;
    QString sb1, sb2, sb3, ps1, ps2;
    QString nac, dat, mes, valu;

    // The boxes as the window is designed: all empty but the recipient's account.
    static EntryFields design();

    using Member = QString EntryFields::*;
    // Every box: its control name and its member.
    static const QList<std::pair<QString, Member>> &boxes();
};

} // namespace trelok
