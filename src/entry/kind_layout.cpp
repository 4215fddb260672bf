#include "entry/kind_layout.h"

using namespace Qt::StringLiterals;

namespace trelok {

KindLayout kindLayout(const QString &vid_tre, const QString &opi_tre)
{
    KindLayout layout; // the base, for every kind
    layout.label3Caption = vid_tre + u"-"_s + opi_tre;
    if (vid_tre == u"108"_s) {
        layout.p_nal5Visible = false;
        layout.label11Visible = false;
        layout.command5Caption = u"(Referenten br)"_s;
    }
    if (vid_tre == u"205"_s || vid_tre == u"GAR"_s) {
        layout.p_nal5Visible = true;
        layout.label11Visible = true;
        layout.command5Caption = u"(Y-Broj.ecd.)"_s;
    }
    if (vid_tre == u"701"_s) {
        layout.p_nal2Visible = false;
        layout.p_nal5Visible = false;
        layout.label4Visible = false;
        layout.label11Visible = false;
        layout.command5Caption = u"(Dan.br/prazno)"_s;
    }
    if (vid_tre == u"900"_s) {
        layout.p_nal3Left = 120;
        layout.p_nal3Width = 1200;
        layout.p_nal3MaxLength = 10;
        layout.p_nal1Visible = false;
        layout.p_nal2Visible = false;
        layout.p_nal4Visible = false;
        layout.p_nal5Visible = false;
        layout.label4Visible = false;
        layout.label5Visible = false;
        layout.label10Visible = false;
        layout.label11Visible = false;
        layout.command3Visible = false;
        layout.command5Caption = u"(Garancija br)"_s;
        layout.command5Left = 120;
    }
    return layout;
}

} // namespace trelok
