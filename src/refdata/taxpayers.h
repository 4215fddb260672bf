#pragma once

#include "data/columns.h"
#include "data/forward_read.h"
#include "data/result.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace trelok {

class Store;

// One line of the taxpayer register: tax number, name, address, city.
struct Taxpayer {
    QString code;    // dec_cod
    QString name;    // dec_nam
    QString address; // dec_ad3
    QString city;    // dec_tlx
};

// The register's columns the window edits, in the order of Taxpayer and of
// the import's header, with the edit panel's boxes (Text1 to Text4) and
// what they take. Stored trimmed.
inline constexpr ColumnDescriptor taxpayerColumns[] = {
    {"dec_cod", "Text1", 13, true, true},
    {"dec_nam", "Text2", 35, true, true},
    {"dec_ad3", "Text3", 35, true, true},
    {"dec_tlx", "Text4", 17, true, true},
};

// The whole register in tax number order, read once: a Null name or address
// as the empty text, a Null city as "0"; values as stored.
DbResult<QList<Taxpayer>> loadTaxpayers(Store &store);

// The register window's order, asked of the database a page at a time: by
// the column clicked last (none: by tax number), ascending by text without
// regard to case; rows alike in it keep the tax number order loadTaxpayers
// gives, so an index on each column serves every order. exact[c]: column c
// holds letters beyond ASCII, so its texts are compared by full case
// folding (only the file needs to know).
struct TaxpayerOrder {
    int column = -1;
    bool exact[4] = {};
    // Clicking a column's header: the list is in its order.
    void sortBy(int clicked);
};

DbResult<int> taxpayerCount(Store &store);
// The lines from the first-th (counted from 0), at most count of them,
// handed to visit one at a time as the UTF-8 texts of their four cells
// (valid during the call).
DbStatus eachTaxpayerLine(Store &store, const TaxpayerOrder &order, int first, int count,
                          const std::function<void(const QByteArrayView *cells)> &visit);
// The same read on from place (data/forward_read), each line's keys after
// its cells.
DbResult<int> readTaxpayerLines(Store &store, const TaxpayerOrder &order, ListPlace &place,
                                int count,
                                const std::function<void(const QByteArrayView *cells)> &visit);
// How many lines come before the first line of the taxpayer t (as shown)
// in the order.
DbResult<int> taxpayersBefore(Store &store, const TaxpayerOrder &order, const Taxpayer &t);
// Whether a column (0 to 3) of the register holds a character beyond ASCII.
DbResult<bool> taxpayerTextsBeyondAscii(Store &store, int column);

// Which of the edit panel's modes a store is made in.
enum class TaxpayerMode { Change, Add };

// The box a refusal puts the focus on.
enum class TaxpayerBox { Text1, Text2, Text3, Text4 };

struct TaxpayerRefusal {
    QString message;
    TaxpayerBox focus;
};

// The value with every field trimmed.
Taxpayer trimmedTaxpayer(const Taxpayer &typed);

// A tax number: exactly 13 characters, every one a digit 0-9.
bool isTaxNumber(const QString &code);

// The tests of the edit panel, in order, on trimmed values; the first one
// that fails, or nothing. Adding accepts an empty city, changing does not.
std::optional<TaxpayerRefusal> checkTaxpayer(const Taxpayer &trimmed, TaxpayerMode mode);

// True when the register already holds the tax number (the duplicate test
// before adding).
DbResult<bool> taxpayerExists(Store &store, const QString &code);

// Stores a new taxpayer; the eight columns not edited here get the empty text.
DbStatus addTaxpayer(Store &store, const Taxpayer &taxpayer);
// Changes name, address and city of every row with the tax number.
DbStatus changeTaxpayer(Store &store, const Taxpayer &taxpayer);

namespace taxpayerMsg {
inline constexpr auto loading =
    "Vnimanie !, Otvaranjeto na Listata na Danocni Obvrznici ke Potrae okolu 20 sekundi !";
inline constexpr auto wrongLength = "Pogresen Danocen Broj";
inline constexpr auto notDigits = "Pogresen Danocen Broj - dozvoleni se samo broevi !";
inline constexpr auto noName = "Vnesete naziv na Komitentot!";
inline constexpr auto noAddress = "Vnesete adresa na Komitentot!";
inline constexpr auto noCity = "Vnesete grad na Komitentot!";
inline constexpr auto confirmChange = "Dali navistina ja prifakate promenata ? ";
inline constexpr auto confirmAdd = "Dali navistina da go vnesam komitentot ? ";
inline constexpr auto duplicate = "Komitentot veke postoel, odi na Promena !";
} // namespace taxpayerMsg

} // namespace trelok
