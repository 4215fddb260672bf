#pragma once

#include "data/installer.h"
#include "data/store.h"

#include <QTemporaryDir>
#include <QTest>

// A freshly installed application directory with its database opened.
class TestDb {
public:
    TestDb()
    {
        auto installed = trelok::installIfMissing(dir.path());
        if (!installed)
            qFatal("installation failed: %s", qPrintable(installed.error()));
        auto opened = store.open(trelok::databasePath(dir.path()));
        if (!opened)
            qFatal("open failed: %s", qPrintable(opened.error()));
    }
    void exec(const char *statement, const QVariantList &values = {})
    {
        auto done = store.exec(statement, values);
        if (!done)
            qFatal("%s: %s", statement, qPrintable(done.error()));
    }

    QTemporaryDir dir;
    trelok::Store store;
};
