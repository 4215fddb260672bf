#pragma once

#include <QString>

#include <optional>

namespace trelok {

// What the print engine does with an order: show it on the preview ("E"),
// or show it and print it on the application's printer ("P").
enum class PrintMode { Preview, Print };

// The mode of its letter, without regard to case; nothing for another text.
inline std::optional<PrintMode> printModeOf(const QString &letter)
{
    const QString upper = letter.toUpper();
    if (upper == QLatin1StringView("E"))
        return PrintMode::Preview;
    if (upper == QLatin1StringView("P"))
        return PrintMode::Print;
    return std::nullopt;
}

// The letter of a mode, as the shared state keeps it.
inline QString printModeLetter(PrintMode mode)
{
    return mode == PrintMode::Print ? QStringLiteral("P") : QStringLiteral("E");
}

} // namespace trelok
