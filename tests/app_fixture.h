#pragma once

#include "test_db.h"

#include "context/app_context.h"
#include "data/statements.h"
#include "platform/clock.h"
#include "platform/printers.h"
#include "platform/recording_prompter.h"

// An application context on a fresh database, with scripted answers, a
// fixed date and a record of every request to end the application.
struct AppFixture {
    TestDb db;
    trelok::RecordingPrompter prompter;
    trelok::ListedPrinters printers;
    trelok::FixedClock clock{QDate(2026, 12, 8)};
    trelok::AppContext context{db.store, prompter, printers, clock, db.dir.path(), {}, {}};
    QList<int> ended;

    AppFixture()
    {
        context.endApplication = [this](int code) { ended.append(code); };
    }

    // The company's fixed data, as the fixed data window stores them.
    void enterFixedData(const QString &name = QStringLiteral("Primer DOOEL"))
    {
        db.exec("UPDATE tbl_cnf set nalog1=?,nalog2=?, bnk_nal=?,sm_nal=?,dan_br=?,up_smet2=?,"
                "mesto=?, povik=?, mkd_cel=? where trelok_br='0000000000'",
                {name, QStringLiteral("ul. Partizanska 12"), QStringLiteral("Komercijalna banka"),
                 QStringLiteral("300000000123456"), QStringLiteral("4030999123456"),
                 QStringLiteral("004"), QStringLiteral("Skopje"), QStringLiteral(" 108-2026 "),
                 QStringLiteral("100")});
    }

    // A stored order with the given number, kind and reference.
    void storeOrder(const QString &number, const QString &kind, const QString &povik)
    {
        QVariantList values;
        for (int i = 0; i < 28; ++i)
            values.append(QStringLiteral("v%1").arg(i + 1));
        values[0] = number;
        values[6] = povik;
        values[26] = kind;
        db.exec(trelok::sql::trel::insert, values);
    }
};
