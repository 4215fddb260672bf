#include "refdata/fixed_data.h"

#include "data/statements.h"
#include "data/store.h"

using namespace Qt::StringLiterals;

namespace trelok {

DbResult<std::optional<CompanyRow>> readCompanyRow(Store &store)
{
    using Out = DbResult<std::optional<CompanyRow>>;
    auto config = store.first(sql::cnf::configRow);
    if (!config)
        return Out::failure(config);
    if (!config.value())
        return std::optional<CompanyRow>();
    const Row &row = *config.value();
    CompanyRow company;
    company.fixed.nal1 = row.text(u"nalog1"_s);
    company.fixed.nal2 = row.text(u"nalog2"_s);
    company.fixed.b_nal = row.text(u"bnk_nal"_s);
    company.fixed.s_nal = row.text(u"sm_nal"_s);
    company.fixed.d_nal = row.text(u"dan_br"_s);
    company.fixed.mes = row.text(u"mesto"_s);
    company.fixed.us2 = row.text(u"up_smet2"_s);
    company.povik = row.text(u"povik"_s);
    company.mkd_cel = row.text(u"mkd_cel"_s);
    company.mkd_dec = row.text(u"mkd_dec"_s);
    company.nacin = row.text(u"nacin"_s);
    return std::optional<CompanyRow>(company);
}

DbResult<std::optional<FixedData>> readFixedData(Store &store)
{
    using Out = DbResult<std::optional<FixedData>>;
    auto company = readCompanyRow(store);
    if (!company)
        return Out::failure(company);
    if (!company.value())
        return std::optional<FixedData>();
    return std::optional<FixedData>(company.value()->fixed);
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
