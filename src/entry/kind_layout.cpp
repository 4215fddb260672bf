#include "entry/kind_layout.h"

#include "refdata/payment_kinds.h"

using namespace Qt::StringLiterals;

namespace trelok {

KindLayout kindLayout(const QString &vid_tre, const QString &opi_tre)
{
    KindLayout layout; // the base, for every kind
    layout.label3Caption = vid_tre + u"-"_s + opi_tre;
    const PaymentKind *kind = paymentKind(vid_tre);
    if (!kind)
        return layout;
    // The segments the kind composes are shown; a dash stands before each
    // shown segment that follows another shown one.
    bool shown[5];
    for (int segment = 1; segment <= 5; ++segment)
        shown[segment - 1] = showsSegment(*kind, segment);
    layout.p_nal1Visible = shown[0];
    layout.p_nal2Visible = shown[1];
    layout.p_nal4Visible = shown[3];
    layout.p_nal5Visible = shown[4];
    bool before = shown[0];
    bool *dashes[] = {&layout.label4Visible, &layout.label5Visible, &layout.label10Visible,
                      &layout.label11Visible};
    for (int dash = 0; dash < 4; ++dash) {
        *dashes[dash] = before && shown[dash + 1];
        before = before || shown[dash + 1];
    }
    layout.command5Caption = QString::fromLatin1(kind->hint);
    if (kind->guarantee) {
        layout.p_nal3Left = 120;
        layout.p_nal3Width = 1200;
        layout.p_nal3MaxLength = 10;
        layout.command3Visible = false;
        layout.command5Left = 120;
    }
    return layout;
}

} // namespace trelok
