#pragma once

#include "refdata/payment_kinds.h"

#include <QAnyStringView>
#include <QList>
#include <QString>

#include <utility>

namespace trelok {

// The control names of the entry window's boxes, each the name of its
// member below.
// clang-format off
#define TRELOK_ENTRY_BOXES(BOX)                                                                    \
    BOX(nal1) BOX(nal2) BOX(b_nal) BOX(s_nal) BOX(d_nal)                                           \
    BOX(p_nal1) BOX(p_nal2) BOX(p_nal3) BOX(p_nal4) BOX(p_nal5)                                    \
    BOX(c_nal1) BOX(c_nal2) BOX(p_nal)                                                             \
    BOX(s_pri) BOX(mkd1) BOX(mkd2)                                                                 \
    BOX(us1) BOX(us2) BOX(us3)                                                                     \
    BOX(sb1) BOX(sb2) BOX(sb3) BOX(ps1) BOX(ps2)                                                   \
    BOX(nac) BOX(dat) BOX(mes) BOX(valu)
// clang-format on

// The texts of the entry window's boxes, by control name. The rules work on
// this value; the window copies its boxes into it and back.
struct EntryFields {
#define TRELOK_ENTRY_FIELD(name) QString name;
    TRELOK_ENTRY_BOXES(TRELOK_ENTRY_FIELD)
#undef TRELOK_ENTRY_FIELD

    // The boxes as the window is designed: all empty but the recipient's account.
    static EntryFields design();

    // The segments of the reference line, p_nal1 to p_nal5.
    ReferenceSegments segments() const
    {
        return {p_nal1, p_nal2, p_nal3, p_nal4, p_nal5};
    }
    void setSegments(const ReferenceSegments &s)
    {
        p_nal1 = s[0];
        p_nal2 = s[1];
        p_nal3 = s[2];
        p_nal4 = s[3];
        p_nal5 = s[4];
    }

    using Member = QString EntryFields::*;
    // The member of a box, or nullptr for a name that is no box.
    static Member member(QAnyStringView box);
    // Every box: its control name and its member, in the order of the
    // order's column table (orderColumnTable), then the reference segments.
    static const QList<std::pair<QString, Member>> &boxes();
};

} // namespace trelok
