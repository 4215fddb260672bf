#include "data/schema.h"

using namespace Qt::StringLiterals;

namespace trelok {

QStringList tableNames()
{
    return {u"tbl_Trel"_s, u"tbl_cnf"_s,  u"tbl_vid"_s,  u"tbl_obvr"_s, u"tbl_opst"_s,
            u"tbl_cuo"_s,  u"tbl_prnt"_s, u"tbl_koor"_s, u"tbl_Broj"_s};
}

} // namespace trelok
