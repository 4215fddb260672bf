#include "refdata/taxpayers.h"

#include "data/statements.h"
#include "data/store.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace trelok {

DbResult<QList<Taxpayer>> loadTaxpayers(Store &store)
{
    QList<Taxpayer> list;
    const auto read = store.each(sql::obvr::listing, {}, [&list](const QSqlQuery &row) {
        const QVariant city = row.value(3);
        list.append(Taxpayer{row.value(0).toString(), row.value(1).toString(),
                             row.value(2).toString(), city.isNull() ? u"0"_s : city.toString()});
    });
    if (!read)
        return DbResult<QList<Taxpayer>>::failure(read);
    return list;
}

Taxpayer trimmedTaxpayer(const Taxpayer &typed)
{
    return {typed.code.trimmed(), typed.name.trimmed(), typed.address.trimmed(),
            typed.city.trimmed()};
}

bool isTaxNumber(const QString &code)
{
    if (code.size() != 13)
        return false;
    for (const QChar c : code)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

std::optional<TaxpayerRefusal> checkTaxpayer(const Taxpayer &t, TaxpayerMode mode)
{
    const auto refuse = [](const char *message, TaxpayerBox box) {
        return std::optional<TaxpayerRefusal>(TaxpayerRefusal{QString::fromLatin1(message), box});
    };
    if (t.code.size() != 13)
        return refuse(taxpayerMsg::wrongLength, TaxpayerBox::Text1);
    // The message promises digits only: a sign, a decimal point or an
    // exponent would make a "number" of 13 characters, but no tax number.
    if (!isTaxNumber(t.code))
        return refuse(taxpayerMsg::notDigits, TaxpayerBox::Text1);
    if (t.name.isEmpty())
        return refuse(taxpayerMsg::noName, TaxpayerBox::Text2);
    if (t.address.isEmpty())
        return refuse(taxpayerMsg::noAddress, TaxpayerBox::Text3);
    if (mode == TaxpayerMode::Change && t.city.isEmpty())
        return refuse(taxpayerMsg::noCity, TaxpayerBox::Text4);
    return std::nullopt;
}

DbResult<bool> taxpayerExists(Store &store, const QString &code)
{
    auto row = store.first(sql::obvr::lookup, {code});
    if (!row)
        return DbResult<bool>::failure(row);
    return row.value().has_value();
}

DbStatus addTaxpayer(Store &store, const Taxpayer &t)
{
    return store.exec(sql::obvr::insert, {t.code, t.name, t.address, t.city});
}

DbStatus changeTaxpayer(Store &store, const Taxpayer &t)
{
    return store.exec(sql::obvr::update, {t.name, t.address, t.city, t.code});
}

} // namespace trelok
