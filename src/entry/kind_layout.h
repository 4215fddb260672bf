#pragma once

#include <QString>

namespace trelok {

// How the reference line of the entry window is laid out for a payment kind.
struct KindLayout {
    bool p_nal1Visible = true; // always disabled: it shows the kind
    bool p_nal2Visible = true;
    bool p_nal4Visible = true;
    bool p_nal5Visible = false;
    bool label4Visible = true;  // dash between segments 1 and 2
    bool label5Visible = true;  // 2 and 3
    bool label10Visible = true; // 3 and 4
    bool label11Visible = true; // 4 and 5
    int p_nal3Left = 1800;      // twips
    int p_nal3Width = 615;
    int p_nal3MaxLength = 0; // 0: no limit
    bool command3Visible = true;
    QString command5Caption = QStringLiteral("(referenten br)");
    int command5Left = 2760;
    QString label3Caption;
};

// The layout for kind code vid_tre (compared exactly; the segments its
// description composes are shown, other codes keep the base), headed by its
// description opi_tre.
KindLayout kindLayout(const QString &vid_tre, const QString &opi_tre);

} // namespace trelok
