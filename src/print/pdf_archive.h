#pragma once

#include <QString>

namespace trelok {

struct PrintJob;

// Where the archive keeps the page of an order: DIR/YEAR/NUMBER.pdf, the
// number padded with zeros to six digits so the files sort in order
// ("12/2026" -> DIR/2026/000012.pdf). Empty for a number not of the form
// number/year.
QString archivePath(const QString &archiveDir, const QString &number);

// When trelok.conf names an archive, writes the page just printed on paper
// there, checked and all or nothing, as --pdf writes a file. Returns the
// error text; empty on success and when there is no archive.
QString archivePrintedPage(const QString &appDir, const PrintJob &job);

} // namespace trelok
