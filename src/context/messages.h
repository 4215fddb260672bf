#pragma once

#include <QString>

// Messages that more than one window shows.

namespace trelok::msg {

inline constexpr auto configMissing =
    "Izbrisani se Konfiguraciskite Fajlovi, Preinstaliraj go Proektot !";
inline constexpr auto choosePrinterInMenu =
    "Izberete Default Pecatar za Proektot vo menito Servis/Podesuvanje na Pecatar!";
// "Definiraniot Pecatar " + name + printerMissingTail
inline constexpr auto printerMissingHead = "Definiraniot Pecatar ";
inline constexpr auto printerMissingTail =
    " Nepostoi, Izberete nov Printer (Servis/Podesuvanje na Pecatar)";
inline QString printerMissing(const QString &name)
{
    return QString::fromLatin1(printerMissingHead) + name + QString::fromLatin1(printerMissingTail);
}
inline constexpr auto decimalSymbol =
    "Vo Control Panel vo regional options/Customize  Postavete tocka (.) za decimal symbol "
    "i zapirka (,) za Digit grouping !";
// The database was held by another program for longer than the wait.
inline constexpr auto databaseBusy =
    "Bazata na podatoci ja koristi druga programa. Nisto ne e zapisano, obidete se povtorno !";
inline constexpr auto cannotContinue = "Nemozete da prodolzite so Programata dodeka ne postavite ";

} // namespace trelok::msg
