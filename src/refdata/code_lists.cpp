#include "refdata/code_lists.h"

#include "data/statements.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

QString nameRefusal(const QString &name)
{
    if (name.isEmpty())
        return u"imeto e prazno"_s;
    if (name.size() > longestCodeName)
        return u"imeto ima %1 znaci, najmnogu %2"_s.arg(name.size()).arg(longestCodeName);
    return {};
}

// A code of exactly `digits` digits 0-9, then a name.
std::function<QString(const QStringList &)> digitsAndName(int digits)
{
    return [digits](const QStringList &fields) {
        const QRegularExpression code(u"^[0-9]{%1}$"_s.arg(digits));
        if (!code.match(fields[0]).hasMatch())
            return u"sifrata \"%1\" mora da e %2 brojki"_s.arg(fields[0]).arg(digits);
        return nameRefusal(fields[1]);
    };
}

QString kindRefusal(const QStringList &fields)
{
    if (fields[0].isEmpty())
        return u"vidot na uplata e prazen"_s;
    if (fields[0].size() > longestKindCode)
        return u"vidot na uplata \"%1\" ima poveke od %2 znaci"_s.arg(fields[0]).arg(
            longestKindCode);
    // "000" is what the program holds while no kind is chosen.
    if (fields[0] == u"000"_s)
        return u"vidot na uplata 000 znaci \"ne e izbran vid\""_s;
    return nameRefusal(fields[1]);
}

} // namespace

const TableFile &municipalityList()
{
    static const TableFile list{{u"sifra"_s, u"opstina"_s}, sql::opst::list,
                                sql::opst::removeAll,       sql::opst::insert,
                                digitsAndName(3),           false,
                                u"opstini"_s};
    return list;
}

const TableFile &customsOfficeList()
{
    static const TableFile list{{u"key_cuo"_s, u"cuo_desc"_s}, sql::cuo::list,
                                sql::cuo::removeAll,           sql::cuo::insert,
                                digitsAndName(4),              false,
                                u"ispostavi"_s};
    return list;
}

const TableFile &kindList()
{
    static const TableFile list{{u"vid"_s, u"opis"_s}, sql::vid::list, sql::vid::removeAll,
                                sql::vid::insert,      kindRefusal,    false,
                                u"vidovi na uplata"_s};
    return list;
}

} // namespace trelok
