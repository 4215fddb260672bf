#pragma once

#include <QString>

namespace trelok {

// What the entry window does: enter a new order or change a stored one.
enum class EntryMode { New, Change };

// The state the windows share. Owned by the main window and handed by
// reference to the windows it opens; "000" in vid_tre and "0" in p_tre_br
// mean that nothing was chosen.
struct SharedState {
    EntryMode f_ja = EntryMode::New;      // entry mode: a new order or a change of a stored one
    double desno = 0;                     // horizontal print offset, twips
    double dole = 0;                      // vertical print offset, twips
    QString td;                           // document type under which orders are counted
    QString p_tre_br;                     // order chosen in the order chooser
    QString vid_tre;                      // current payment kind code
    QString opi_tre;                      // its description
    QString tek_isp;                      // customs office code last taken in its picker
    QString tek_opst;                     // municipality code last taken in its picker
    QString pub_tre_br;                   // order last sent to the print engine
    QString pub_ek_pr;                    // output mode of the last print request
    QString def_prn;                      // the application's printer, empty when none
    QString m_base;                       // data store kind: "a" the database file
};

} // namespace trelok
