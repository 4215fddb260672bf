#pragma once

#include "data/columns.h"

#include <array>
#include <cstddef>

namespace trelok {

// The columns of a stored order (tbl_Trel) in the INSERT's order: the
// entry window's box that fills each one, what that box takes and where it
// sits. The INSERT, the export's header, the import's checks, the change
// fill and the entry window's boxes are read from here; the chooser's columns
// (sql::trel::lineColumns) are checked against it when compiled.
// The recipient's captions are stored trimmed, the typed boxes as typed.
// A column without a box keeps only the caption the layout editor shows.
inline constexpr ColumnDescriptor orderColumnTable[] = {
    {"TRELOK_BR", nullptr, 10, true, true},
    {"NALOG1", "nal1", unlimitedBox, true, false,
     {120, 840, 4215, 285, 15, "Nalogodava~"}},
    {"NALOG2", "nal2", unlimitedBox, true, false,
     {120, 1080, 4215, 285, 14, "Nalogodava~ - vtor red"}},
    {"BNK_NAL", "b_nal", unlimitedBox, true, false,
     {120, 1800, 4215, 285, 13, "Banka na nalogodava~ot"}},
    {"SM_NAL", "s_nal", unlimitedBox, true, false,
     {120, 2520, 4215, 285, 23, "Smetka"}},
    {"DAN_BR", "d_nal", unlimitedBox, true, false,
     {120, 3240, 4215, 285, 12, "Dano~en Broj ili EMBG"}},
    {"POVIK", "p_nal", unlimitedBox, true, false,
     {120, 5520, 4215, 285, 25, "Povikuvawe na broj"}},
    {"CEL1", "c_nal1", unlimitedBox, true, false,
     {120, 4680, 4215, 285, 27, "Cel na doznaka"}},
    {"CEL2", "c_nal2", unlimitedBox, true, false,
     {120, 4920, 4215, 285, 28, "Cel na doznaka - vtor red"}},
    {"PRIMAC1", nullptr, unlimitedBox, true, true, {0, 0, 0, 0, 0, "Prima~"}},
    {"PRIMAC2", nullptr, unlimitedBox, true, true, {0, 0, 0, 0, 0, "Prima~ - vtor red"}},
    {"BNK_PRIM", nullptr, unlimitedBox, true, true, {0, 0, 0, 0, 0, "Banka na prima~ot"}},
    {"SMET_PRI", "s_pri", unlimitedBox, true, false,
     {4800, 2280, 4335, 285, 16, "Smetka na prima~ot"}},
    {"MKD_CEL", "mkd1", unlimitedBox, true, false,
     {5250, 2790, 3165, 330, 11, "Iznos"}},
    {"MKD_DEC", "mkd2", unlimitedBox, true, false,
     {8640, 2790, 525, 330, 22, "Iznos - deni"}},
    {"UP_SMET1", "us1", unlimitedBox, true, false,
     {4800, 3480, 735, 285, 10, "Uplatna smetka - prv del"}},
    {"UP_SMET2", "us2", unlimitedBox, true, false,
     {5640, 3480, 735, 285, 9, "Uplatna smetka - op{tina"}},
    {"UP_SMET3", "us3", unlimitedBox, true, false,
     {6480, 3480, 1815, 285, 8, "Uplatna smetka - posleden del"}},
    {"BU_SMET1", "sb1", unlimitedBox, true, false,
     {4800, 4080, 2775, 285, 7, "Smetka na buxetski korisnik"}},
    {"BU_SMET2", "sb2", unlimitedBox, true, false,
     {7680, 4080, 735, 285, 6, "Smetka na buxetski korisnik - vtor del"}},
    {"BU_SMET3", "sb3", unlimitedBox, true, false,
     {8640, 4080, 375, 285, 5, "Potkorisnik"}},
    {"PR_SIF1", "ps1", unlimitedBox, true, false,
     {4800, 4680, 1335, 285, 4, "[ifra na prihod"}},
    {"PR_SIF2", "ps2", unlimitedBox, true, false,
     {6360, 4680, 495, 285, 3, "Programa"}},
    {"NACIN", "nac", 1, true, false,
     {8640, 4680, 375, 285, 2, "Na~in"}},
    {"DATUM", "dat", 10, true, false,
     {4680, 5280, 1695, 285, 1, "Datum"}},
    {"MESTO", "mes", unlimitedBox, true, false,
     {7080, 5280, 1935, 285, 0, "Mesto na podnesuvawe"}},
    {"VID", nullptr, unlimitedBox, true, true, {0, 0, 0, 0, 0, "Vid na uplata"}},
    {"VALUTA", "valu", 10, true, false,
     {4680, 600, 1695, 285, 46, "Datum na Valuta"}},
};

// The boxes of the entry window that fill no column of their own (no
// name): the segments the reference number (POVIK) is composed of.
inline constexpr ColumnDescriptor referenceSegmentBoxes[] = {
    {nullptr, "p_nal1", unlimitedBox, true, false,
     {120, 3960, 495, 285, 36, "Povikuvawe na broj - vid"}},
    {nullptr, "p_nal2", unlimitedBox, true, false,
     {960, 3960, 495, 285, 37, "Povikuvawe na broj - godina"}},
    {nullptr, "p_nal3", unlimitedBox, true, false,
     {1800, 3960, 615, 285, 38, "Povikuvawe na broj - ispostava"}},
    {nullptr, "p_nal4", unlimitedBox, true, false,
     {2760, 3960, 1215, 285, 39, "Povikuvawe na broj - referenten broj"}},
    {nullptr, "p_nal5", unlimitedBox, true, false,
     {4080, 3960, 255, 285, 44, "Povikuvawe na broj - oznaka"}},
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
