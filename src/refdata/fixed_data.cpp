#include "refdata/fixed_data.h"

#include "data/statements.h"
#include "data/store.h"

using namespace Qt::StringLiterals;

namespace trelok {

FixedData fixedDataOf(const Row &row)
{
    FixedData data;
    data.nal1 = row.text(u"nalog1"_s);
    data.nal2 = row.text(u"nalog2"_s);
    data.b_nal = row.text(u"bnk_nal"_s);
    data.s_nal = row.text(u"sm_nal"_s);
    data.d_nal = row.text(u"dan_br"_s);
    data.mes = row.text(u"mesto"_s);
    data.us2 = row.text(u"up_smet2"_s);
    return data;
}

DbResult<std::optional<FixedData>> readFixedData(Store &store)
{
    using Out = DbResult<std::optional<FixedData>>;
    auto config = store.first(sql::cnf::configRow);
    if (!config)
        return Out::failure(config);
    if (!config.value())
        return std::optional<FixedData>();
    return std::optional<FixedData>(fixedDataOf(*config.value()));
}

DbStatus storeFixedData(Store &store, const FixedData &typed)
{
    return store.exec(sql::cnf::updateFixed,
                      {typed.nal1.trimmed(), typed.nal2.trimmed(), typed.b_nal.trimmed(),
                       typed.s_nal.trimmed(), typed.d_nal.trimmed(), typed.us2,
                       typed.mes.trimmed()});
}

QString fixedDataHelp()
{
    return u"Vnesete gi Nazivot , Adresata, Vasata Smetka,Danocen Broj i Mesto"_s + QChar(10) +
           u"Za da vi se pojavuvaat potpolneti pri sekoj NOV Trelok !"_s;
}

} // namespace trelok
