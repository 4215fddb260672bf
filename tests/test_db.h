#pragma once

#include "data/installer.h"
#include "data/store.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The SHA-256 of a file, to tell whether anything wrote to it.
inline QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

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
