#include "refdata/code_picker.h"

#include "data/statements.h"
#include "data/store.h"

using namespace Qt::StringLiterals;

namespace trelok {

const PickerKind &municipalityPicker()
{
    static const PickerKind kind{3,
                                 "Opstinata mora da e 3 Brojki",
                                 sql::opst::byTrimmedCode,
                                 sql::opst::all,
                                 "sifra",
                                 "opstina",
                                 "Nepostoi Opstina: ",
                                 "Kodot na Opstinata e Uspesno Izbran : ",
                                 "Nepostoi Nitu edna Opstina !, Vnesete gi Opstinite !",
                                 "Izbor na OPSTINA"};
    return kind;
}

const PickerKind &customsOfficePicker()
{
    static const PickerKind kind{4,
                                 "Ispostavata mora da e 4 Brojki",
                                 sql::cuo::byTrimmedCode,
                                 sql::cuo::all,
                                 "key_cuo",
                                 "cuo_desc",
                                 "Nepostoi Ispostava: ",
                                 "Kodot na ispostava e Uspesno Izbran : ",
                                 "Nepostoi Nitu edna ispostava !, Vnesete gi Ispostavite !",
                                 "Izbor na Ispostava"};
    return kind;
}

DbResult<PickerCheck> checkCode(Store &store, const PickerKind &kind, const QString &typed)
{
    PickerCheck check{PickerCheck::WrongLength, typed.trimmed(), {}, {}};
    if (check.code.size() != kind.length) {
        check.message = QString::fromLatin1(kind.lengthMessage);
        return check;
    }
    auto row = store.first(kind.lookup, {check.code});
    if (!row)
        return DbResult<PickerCheck>::failure(row);
    if (!row.value()) {
        check.result = PickerCheck::NotFound;
        check.message =
            QString::fromLatin1(kind.notFoundHead) + check.code + u" , Izberi ja od lista !"_s;
        return check;
    }
    check.result = PickerCheck::Accepted;
    check.name = row.value()->text(QString::fromLatin1(kind.nameColumn));
    check.message = QString::fromLatin1(kind.successHead) + typed + u" - "_s + check.name;
    return check;
}

DbResult<QList<CodeLine>> listCodes(Store &store, const PickerKind &kind)
{
    auto rows = store.select(kind.listing);
    if (!rows)
        return DbResult<QList<CodeLine>>::failure(rows);
    const QString code = QString::fromLatin1(kind.codeColumn);
    const QString name = QString::fromLatin1(kind.nameColumn);
    QList<CodeLine> lines;
    lines.reserve(rows.value().size());
    for (const Row &row : rows.value()) {
        if (row.isNull(code))
            continue;
        lines.append({row.text(code), row.text(name)});
    }
    return lines;
}

} // namespace trelok
