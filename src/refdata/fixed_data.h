#pragma once

#include "data/result.h"

#include <QString>

#include <optional>

namespace trelok {

class Store;

// The company's own data in the configuration row, by the boxes of the
// fixed data window that show them.
struct FixedData {
    QString nal1;  // nalog1, the company's name
    QString nal2;  // nalog2, its address
    QString b_nal; // bnk_nal, its bank
    QString s_nal; // sm_nal, its account
    QString d_nal; // dan_br, its taxpayer number
    QString mes;   // mesto, its place
    QString us2;   // up_smet2, its municipality code
};

// The company's row of the configuration table: its fixed data and the
// other boxes a new order starts with, every value trimmed (Null as empty).
struct CompanyRow {
    FixedData fixed;
    QString povik;   // the reference number
    QString mkd_cel; // the amount, whole denars
    QString mkd_dec; // and its decimals
    QString nacin;   // the payment method
};

// The stored configuration row; nothing when the row is missing.
DbResult<std::optional<CompanyRow>> readCompanyRow(Store &store);

// The fixed data of the stored configuration row (readCompanyRow).
DbResult<std::optional<FixedData>> readFixedData(Store &store);

// Stores the boxes as typed into the configuration row: every value trimmed
// except the municipality code, which is stored exactly as its box holds it.
// The print offsets and the other columns are left as they are.
DbStatus storeFixedData(Store &store, const FixedData &typed);

// The help text of the fixed data window.
QString fixedDataHelp();

} // namespace trelok
