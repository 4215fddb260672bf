#pragma once

#include <QString>

// The messages several windows show, written out as the user reads them, so
// that a typing error in the program's shared constants fails the tests.
namespace literal {

inline QString configMissing()
{
    return QStringLiteral("Izbrisani se Konfiguraciskite Fajlovi, Preinstaliraj go Proektot !");
}
inline QString choosePrinterInMenu()
{
    return QStringLiteral(
        "Izberete Default Pecatar za Proektot vo menito Servis/Podesuvanje na Pecatar!");
}
inline QString printerMissing(const QString &name)
{
    return QStringLiteral("Definiraniot Pecatar ") + name +
           QStringLiteral(" Nepostoi, Izberete nov Printer (Servis/Podesuvanje na Pecatar)");
}
inline QString decimalSymbol()
{
    return QStringLiteral("Vo Control Panel vo regional options/Customize  Postavete tocka (.) za "
                          "decimal symbol i zapirka (,) za Digit grouping !");
}
inline QString cannotContinue()
{
    return QStringLiteral("Nemozete da prodolzite so Programata dodeka ne postavite ");
}

} // namespace literal
