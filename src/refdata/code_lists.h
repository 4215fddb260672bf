#pragma once

#include "data/table_file.h"

namespace trelok {

// The longest name the pickers show whole: the name line of the
// municipality and office pickers (6500 twips of 12 pt bold) and the kind
// caption of the entry window (5535 twips of 11.25 pt bold).
inline constexpr int longestCodeName = 50;
// The longest kind code: what the kind chooser's code column shows.
inline constexpr int longestKindCode = 10;

// The code lists an office replaces with the official ones, each as a
// table file: tbl_opst ("sifra,opstina", 3-digit codes), tbl_cuo
// ("key_cuo,cuo_desc", 4-digit codes) and tbl_vid ("vid,opis", a code that is
// not empty, not "000" and at most longestKindCode characters). Names are
// not empty and at most longestCodeName characters. Stored orders keep the
// code texts they were saved with.
const TableFile &municipalityList();
const TableFile &customsOfficeList();
const TableFile &kindList();

} // namespace trelok
