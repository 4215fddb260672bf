#pragma once

#include "data/columns.h"

#include <array>
#include <cstddef>

namespace trelok {

// The columns of a stored order (tbl_Trel) in the INSERT's order: the
// entry window's box that fills each one and what that box takes. The
// INSERT, the export's header and the import's checks are read from here.
// The recipient's captions are stored trimmed, the typed boxes as typed.
inline constexpr ColumnDescriptor orderColumnTable[] = {
    {"TRELOK_BR", nullptr, 10, true, true},
    {"NALOG1", "nal1", unlimitedBox, true, false},
    {"NALOG2", "nal2", unlimitedBox, true, false},
    {"BNK_NAL", "b_nal", unlimitedBox, true, false},
    {"SM_NAL", "s_nal", unlimitedBox, true, false},
    {"DAN_BR", "d_nal", unlimitedBox, true, false},
    {"POVIK", "p_nal", unlimitedBox, true, false},
    {"CEL1", "c_nal1", unlimitedBox, true, false},
    {"CEL2", "c_nal2", unlimitedBox, true, false},
    {"PRIMAC1", nullptr, unlimitedBox, true, true},
    {"PRIMAC2", nullptr, unlimitedBox, true, true},
    {"BNK_PRIM", nullptr, unlimitedBox, true, true},
    {"SMET_PRI", "s_pri", unlimitedBox, true, false},
    {"MKD_CEL", "mkd1", unlimitedBox, true, false},
    {"MKD_DEC", "mkd2", unlimitedBox, true, false},
    {"UP_SMET1", "us1", unlimitedBox, true, false},
    {"UP_SMET2", "us2", unlimitedBox, true, false},
    {"UP_SMET3", "us3", unlimitedBox, true, false},
    {"BU_SMET1", "sb1", unlimitedBox, true, false},
    {"BU_SMET2", "sb2", unlimitedBox, true, false},
    {"BU_SMET3", "sb3", unlimitedBox, true, false},
    {"PR_SIF1", "ps1", unlimitedBox, true, false},
    {"PR_SIF2", "ps2", unlimitedBox, true, false},
    {"NACIN", "nac", 1, true, false},
    {"DATUM", "dat", 10, true, false},
    {"MESTO", "mes", unlimitedBox, true, false},
    {"VID", nullptr, unlimitedBox, true, true},
    {"VALUTA", "valu", 10, true, false},
};

namespace orderStatement {

// A statement text built from the table while compiling.
template <std::size_t N> struct Text {
    char chars[N]{};
};

constexpr std::size_t length(const char *s)
{
    std::size_t n = 0;
    while (s[n] != '\0')
        ++n;
    return n;
}

// head, the column names joined by ",", middle, then for an INSERT one "?"
// per column joined by ",", then tail.
struct Shape {
    const char *head, *middle, *tail;
    bool marks;
};

constexpr std::size_t size(Shape shape)
{
    std::size_t n = length(shape.head) + length(shape.middle) + length(shape.tail) + 1;
    for (const ColumnDescriptor &column : orderColumnTable)
        n += length(column.name) + 1 + (shape.marks ? 2 : 0);
    return n - 1 - (shape.marks ? 1 : 0);
}

template <std::size_t N> constexpr Text<N> build(Shape shape)
{
    Text<N> text;
    std::size_t at = 0;
    const auto put = [&](const char *s) {
        for (std::size_t i = 0; s[i] != '\0'; ++i)
            text.chars[at++] = s[i];
    };
    put(shape.head);
    for (std::size_t i = 0; i < std::size(orderColumnTable); ++i) {
        if (i > 0)
            put(",");
        put(orderColumnTable[i].name);
    }
    put(shape.middle);
    for (std::size_t i = 0; shape.marks && i < std::size(orderColumnTable); ++i)
        put(i > 0 ? ",?" : "?");
    put(shape.tail);
    return text;
}

inline constexpr Shape insertShape{"INSERT INTO tbl_Trel (", ") VALUES (", ")", true};
inline constexpr Shape selectShape{"SELECT ", " FROM tbl_trel", "", false};
inline constexpr auto insert = build<size(insertShape)>(insertShape);
inline constexpr auto select = build<size(selectShape)>(selectShape);

} // namespace orderStatement

} // namespace trelok
