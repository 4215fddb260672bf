#include "platform/makscii.h"

#include <array>

namespace trelok {

namespace {

const QString &latinPoints()
{
    static const QString from =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz@[\\]^`{|}~");
    return from;
}

const QString &cyrillicLetters()
{
    static const QString to =
        QStringLiteral("АБЦДЕФГХИЈКЛМНОПЉРСТУВЊЏЅЗабцдефгхијклмнопљрстувњџѕзЖШЃЌЧжшѓќч");
    return to;
}

// The Cyrillic block U+0400..U+045F: the code point the font shows as each
// letter, or 0 where the letter is not Macedonian.
constexpr char16_t cyrillicFirst = 0x0400;
constexpr char16_t cyrillicLast = 0x045F;

const std::array<char16_t, cyrillicLast - cyrillicFirst + 1> &cyrillicTable()
{
    static const auto table = [] {
        std::array<char16_t, cyrillicLast - cyrillicFirst + 1> t{};
        for (qsizetype i = 0; i < cyrillicLetters().size(); ++i)
            t[cyrillicLetters()[i].unicode() - cyrillicFirst] = latinPoints()[i].unicode();
        return t;
    }();
    return table;
}

// The lower-case partner of each MAKSCII code point (ASCII only).
const std::array<char16_t, 128> &asciiFold()
{
    static const auto table = [] {
        std::array<char16_t, 128> t{};
        for (char16_t c = 0; c < 128; ++c)
            t[c] = QChar(c).toCaseFolded().unicode();
        const char16_t upper[] = u"@[\\]^";
        const char16_t lower[] = u"`{|}~";
        for (int i = 0; i < 5; ++i)
            t[upper[i]] = lower[i];
        return t;
    }();
    return table;
}

} // namespace

QString makscii(const QString &latin)
{
    QString out = latin;
    for (QChar &c : out) {
        const qsizetype i = latinPoints().indexOf(c);
        if (i >= 0)
            c = cyrillicLetters()[i];
    }
    return out;
}

QString fromCyrillic(const QString &text)
{
    QString out = text;
    const auto &table = cyrillicTable();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out.at(i).unicode();
        if (c >= cyrillicFirst && c <= cyrillicLast && table[c - cyrillicFirst] != 0)
            out[i] = QChar(table[c - cyrillicFirst]);
    }
    return out;
}

QChar foldShown(QChar c)
{
    char16_t u = c.unicode();
    if (u >= cyrillicFirst && u <= cyrillicLast && cyrillicTable()[u - cyrillicFirst] != 0)
        u = cyrillicTable()[u - cyrillicFirst];
    if (u < 128)
        return QChar(asciiFold()[u]);
    return c.toCaseFolded();
}

} // namespace trelok
