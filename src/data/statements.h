#pragma once

// Every statement the program runs, by table. Each "?" is a bound value.

#include "data/order_columns.h"

namespace trelok::sql {

namespace trel {
inline constexpr auto all = "SELECT * FROM tbl_trel ";
// Every column in the INSERT's order (data/order_columns.h).
inline constexpr const char *everyColumn = orderStatement::select.chars;
// The chooser's line: its columns, in the order of OrderLine (data/orders.h).
#define TRELOK_LINE_COLUMNS "trelok_br,povik,cel1,cel2,datum,nacin,vid"
inline constexpr auto lineColumns = TRELOK_LINE_COLUMNS;
inline constexpr auto chooser = "SELECT " TRELOK_LINE_COLUMNS " FROM tbl_trel ";
inline constexpr auto byNumber = "SELECT * FROM tbl_trel where trelok_br=?";
inline constexpr const char *insert = orderStatement::insert.chars;
inline constexpr auto remove = "DELETE FROM tbl_trel where trelok_br=?";
// Through the unique index on the number.
inline constexpr auto numberTaken = "SELECT 1 FROM tbl_trel where trelok_br=?";
// The numbers of one year: the pattern is "%/" and the year.
inline constexpr auto numbersOfYear = "SELECT trelok_br FROM tbl_trel where trim(trelok_br) LIKE ?";
inline constexpr auto count = "SELECT count(*) FROM tbl_trel";
} // namespace trel

// The chooser's order, newest first, as keys both engines compute the same
// way (an index can hold them): the year is the text after the number's
// last "/", the sequence the digits before it without leading zeros, longer
// first; the number's own text breaks ties. T is the trimmed number, P the
// place of its last "/" (0 when there is none).
#define TRELOK_T "trim(trelok_br)"
#define TRELOK_P "length(rtrim(" TRELOK_T ",replace(" TRELOK_T ",'/','')))"
#define TRELOK_YEAR "(CASE WHEN " TRELOK_P ">0 THEN substr(" TRELOK_T "," TRELOK_P "+1) ELSE '' END)"
#define TRELOK_SEQ                                                                                 \
    "(ltrim(CASE WHEN " TRELOK_P ">0 THEN substr(" TRELOK_T ",1," TRELOK_P "-1) ELSE " TRELOK_T   \
    " END,'0'))"
#define TRELOK_LINE "SELECT " TRELOK_LINE_COLUMNS " FROM tbl_trel "

namespace newest {
// SQLite compares texts by their bytes.
namespace file {
inline constexpr auto index = "CREATE INDEX idx_trel_newest ON tbl_Trel (" TRELOK_YEAR
                              ",length" TRELOK_SEQ "," TRELOK_SEQ ",TRELOK_BR)";
// The lines from the ?-th (counted from 0), at most ? of them.
inline constexpr auto page = TRELOK_LINE "ORDER BY " TRELOK_YEAR " DESC,length" TRELOK_SEQ
                                         " DESC," TRELOK_SEQ " DESC,trelok_br DESC LIMIT ? OFFSET ?";
// The same keys one by one, for reading on from a line (the second is a
// number).
inline constexpr const char *keys[] = {TRELOK_YEAR, "length" TRELOK_SEQ, TRELOK_SEQ, "trelok_br"};
} // namespace file
// The server compares them by code point only under the collation "C".
namespace server {
inline constexpr auto index = "CREATE INDEX idx_trel_newest ON tbl_Trel (" TRELOK_YEAR
                              " COLLATE \"C\",(length" TRELOK_SEQ ")," TRELOK_SEQ
                              " COLLATE \"C\",TRELOK_BR COLLATE \"C\")";
inline constexpr auto page =
    TRELOK_LINE "ORDER BY " TRELOK_YEAR " COLLATE \"C\" DESC,length" TRELOK_SEQ " DESC," TRELOK_SEQ
                " COLLATE \"C\" DESC,trelok_br COLLATE \"C\" DESC LIMIT ? OFFSET ?";
inline constexpr const char *keys[] = {TRELOK_YEAR " COLLATE \"C\"", "length" TRELOK_SEQ,
                                       TRELOK_SEQ " COLLATE \"C\"", "trelok_br COLLATE \"C\""};
} // namespace server
// The key that is a number, and the table and columns of the line.
inline constexpr int numberKey = 1;
inline constexpr auto table = "tbl_trel";
} // namespace newest

#undef TRELOK_T
#undef TRELOK_P
#undef TRELOK_YEAR
#undef TRELOK_SEQ
#undef TRELOK_LINE
#undef TRELOK_LINE_COLUMNS
// The list of a period (print/period_list), in the order of its lines, by
// keys both engines compute alike and the index idx_trel_period holds, so
// the rows come in order without a sort of whole rows:
// - the payment day: DATUM as the key YYYYMMDD when, without the blanks
//   QString::trimmed takes off, it is a day of the calendar written
//   DD.MM.YYYY; Null for any other text;
// - the year of a number "N/YYYY" (1 to 15 digits, "/", 4 digits, nothing
//   else once trimmed), 10000 for a number of any other form, so those come
//   after;
// - its sequence N (0 for another form);
// - the trimmed number's text, by code point.
// Each engine defines: TRELOK_PL_TRIM(x), x without those blanks;
// TRELOK_PL_IS_DATE(t), t is two digits, ".", two digits, ".", four
// digits; TRELOK_PL_IS_PLAIN(n), n has the form of a number "N/YYYY";
// TRELOK_PL_TEXT(x), x compared by code point.
namespace period {
#define TRELOK_PL_COLUMNS                                                                          \
    "SELECT trelok_br,datum,vid,nalog1,povik,cel1,cel2,mkd_cel,mkd_dec FROM tbl_trel "
#define TRELOK_PL_T TRELOK_PL_TRIM("datum")
#define TRELOK_PL_YEAR_OF_DATE "CAST(substr(" TRELOK_PL_T ",7,4) AS INTEGER)"
#define TRELOK_PL_MONTH "CAST(substr(" TRELOK_PL_T ",4,2) AS INTEGER)"
#define TRELOK_PL_DAY                                                                              \
    "(CASE WHEN " TRELOK_PL_IS_DATE(TRELOK_PL_T) " THEN CASE WHEN " TRELOK_PL_YEAR_OF_DATE         \
    ">0 AND CAST(substr(" TRELOK_PL_T ",1,2) AS INTEGER) BETWEEN 1 AND CASE WHEN "                 \
    TRELOK_PL_MONTH " IN (4,6,9,11) THEN 30 WHEN " TRELOK_PL_MONTH "=2 THEN CASE WHEN "           \
    TRELOK_PL_YEAR_OF_DATE "%4=0 AND (" TRELOK_PL_YEAR_OF_DATE "%100<>0 OR "                     \
    TRELOK_PL_YEAR_OF_DATE "%400=0) THEN 29 ELSE 28 END WHEN " TRELOK_PL_MONTH                    \
    " BETWEEN 1 AND 12 THEN 31 ELSE 0 END THEN substr(" TRELOK_PL_T ",7,4)||substr(" TRELOK_PL_T  \
    ",4,2)||substr(" TRELOK_PL_T ",1,2) END END)"
#define TRELOK_PL_N "coalesce(" TRELOK_PL_TRIM("trelok_br") ",'')"
#define TRELOK_PL_KEYS                                                                             \
    TRELOK_PL_TEXT(TRELOK_PL_DAY) ",(CASE WHEN " TRELOK_PL_IS_PLAIN(TRELOK_PL_N)                   \
    " THEN CAST(substr(" TRELOK_PL_N ",length(" TRELOK_PL_N ")-3) AS INTEGER) ELSE 10000 END),"   \
    "(CASE WHEN " TRELOK_PL_IS_PLAIN(TRELOK_PL_N) " THEN CAST(substr(" TRELOK_PL_N                 \
    ",1,length(" TRELOK_PL_N ")-5) AS BIGINT) ELSE 0 END)," TRELOK_PL_TEXT(TRELOK_PL_N)
#define TRELOK_PL_IN_PERIOD "WHERE " TRELOK_PL_TEXT(TRELOK_PL_DAY) " BETWEEN ? AND ? "
#define TRELOK_PL_OF_KIND "AND trim(vid) = ? "
#define TRELOK_PL_ORDER "ORDER BY " TRELOK_PL_KEYS
// The orders whose payment date is not a day DD.MM.YYYY, among those whose
// key, read from the date as it stands, lies between the two keys or that
// have no date of the form: the orders the list names apart.
#define TRELOK_PL_TRIMMED "trim(datum)"
#define TRELOK_PL_APART                                                                            \
    TRELOK_PL_COLUMNS "WHERE " TRELOK_PL_TEXT(TRELOK_PL_DAY) " IS NULL AND (substr("               \
    TRELOK_PL_TRIMMED ",7,4)||substr(" TRELOK_PL_TRIMMED ",4,2)||substr(" TRELOK_PL_TRIMMED        \
    ",1,2) BETWEEN ? AND ? OR datum IS NULL OR length(" TRELOK_PL_TRIMMED ") <> 10 OR substr("     \
    TRELOK_PL_TRIMMED ",3,1) <> '.' OR substr(" TRELOK_PL_TRIMMED ",6,1) <> '.') "
// The statements of one engine: the lines of the period (its first and
// last keys YYYYMMDD, then a kind), how many, a page of them (at most ?
// lines from the ?-th, counted from 0), and the orders named apart.
#define TRELOK_PL_STATEMENTS                                                                       \
    inline constexpr auto index = "CREATE INDEX idx_trel_period ON tbl_Trel (" TRELOK_PL_KEYS ")"; \
    inline constexpr auto lines = TRELOK_PL_COLUMNS TRELOK_PL_IN_PERIOD TRELOK_PL_ORDER;          \
    inline constexpr auto linesOfKind =                                                            \
        TRELOK_PL_COLUMNS TRELOK_PL_IN_PERIOD TRELOK_PL_OF_KIND TRELOK_PL_ORDER;                   \
    inline constexpr auto count = "SELECT count(*) FROM tbl_trel " TRELOK_PL_IN_PERIOD;           \
    inline constexpr auto countOfKind =                                                            \
        "SELECT count(*) FROM tbl_trel " TRELOK_PL_IN_PERIOD TRELOK_PL_OF_KIND;                    \
    inline constexpr auto page =                                                                   \
        TRELOK_PL_COLUMNS TRELOK_PL_IN_PERIOD TRELOK_PL_ORDER " LIMIT ? OFFSET ?";                 \
    inline constexpr auto pageOfKind = TRELOK_PL_COLUMNS TRELOK_PL_IN_PERIOD TRELOK_PL_OF_KIND     \
        TRELOK_PL_ORDER " LIMIT ? OFFSET ?";                                                       \
    inline constexpr auto apart = TRELOK_PL_APART;                                                 \
    inline constexpr auto apartOfKind = TRELOK_PL_APART TRELOK_PL_OF_KIND;
// SQLite: the blanks by their code points, compared by bytes (UTF-8, so by
// code point).
namespace file {
#define TRELOK_PL_TRIM(x)                                                                          \
    "trim(" x ",char(9,10,11,12,13,32,133,160,5760,8192,8193,8194,8195,8196,8197,8198,8199,8200,"  \
    "8201,8202,8232,8233,8239,8287,12288))"
#define TRELOK_PL_IS_DATE(t) t " GLOB '[0-9][0-9].[0-9][0-9].[0-9][0-9][0-9][0-9]'"
#define TRELOK_PL_IS_PLAIN(n)                                                                      \
    "length(" n ") BETWEEN 6 AND 20 AND " n " GLOB '*/[0-9][0-9][0-9][0-9]' AND substr(" n        \
    ",1,length(" n ")-5) NOT GLOB '*[^0-9]*'"
#define TRELOK_PL_TEXT(x) x
TRELOK_PL_STATEMENTS
#undef TRELOK_PL_TRIM
#undef TRELOK_PL_IS_DATE
#undef TRELOK_PL_IS_PLAIN
#undef TRELOK_PL_TEXT
} // namespace file
// The server: the same blanks (a database in UTF-8), texts under the
// collation "C".
namespace server {
#define TRELOK_PL_TRIM(x)                                                                          \
    "btrim(" x ",E'\\t\\n\\013\\f\\r \\u0085\\u00a0\\u1680\\u2000\\u2001\\u2002\\u2003\\u2004"     \
    "\\u2005\\u2006\\u2007\\u2008\\u2009\\u200a\\u2028\\u2029\\u202f\\u205f\\u3000')"
#define TRELOK_PL_IS_DATE(t) t " ~ '^[0-9]{2}[.][0-9]{2}[.][0-9]{4}$'"
#define TRELOK_PL_IS_PLAIN(n) n " ~ '^[0-9]{1,15}/[0-9]{4}$'"
#define TRELOK_PL_TEXT(x) "(" x ") COLLATE \"C\""
TRELOK_PL_STATEMENTS
#undef TRELOK_PL_TRIM
#undef TRELOK_PL_IS_DATE
#undef TRELOK_PL_IS_PLAIN
#undef TRELOK_PL_TEXT
} // namespace server
#undef TRELOK_PL_STATEMENTS
// Whether the database holds the index named ?.
namespace file {
inline constexpr auto hasIndex = "SELECT 1 FROM sqlite_master WHERE type='index' AND name=?";
} // namespace file
namespace server {
inline constexpr auto hasIndex =
    "SELECT 1 FROM pg_indexes WHERE schemaname=current_schema() AND indexname=?";
} // namespace server
#undef TRELOK_PL_APART
#undef TRELOK_PL_TRIMMED
#undef TRELOK_PL_ORDER
#undef TRELOK_PL_OF_KIND
#undef TRELOK_PL_IN_PERIOD
#undef TRELOK_PL_KEYS
#undef TRELOK_PL_N
#undef TRELOK_PL_DAY
#undef TRELOK_PL_MONTH
#undef TRELOK_PL_YEAR_OF_DATE
#undef TRELOK_PL_T
#undef TRELOK_PL_COLUMNS
} // namespace period

namespace cnf {
inline constexpr auto configRow = "SELECT * FROM tbl_cnf where trelok_br='0000000000'";
inline constexpr auto updateFixed =
    "UPDATE tbl_cnf set nalog1=?,nalog2=?, bnk_nal=?,sm_nal=?,dan_br=?,up_smet2=?,mesto=? "
    "where trelok_br='0000000000'";
inline constexpr auto updateOffsets =
    "UPDATE tbl_cnf set up_smet3=?,bu_smet1=? where trelok_br='0000000000'";
} // namespace cnf

namespace vid {
inline constexpr auto all = "SELECT * FROM tbl_vid";
inline constexpr auto byCode = "SELECT * FROM tbl_vid where vid =?";
inline constexpr auto byTrimmedCode = "SELECT * FROM tbl_vid where trim(vid) =?";
inline constexpr auto list = "SELECT vid,opis FROM tbl_vid";
inline constexpr auto removeAll = "DELETE FROM tbl_vid";
inline constexpr auto insert = "INSERT INTO tbl_vid (vid,opis) VALUES (?,?)";
} // namespace vid

namespace obvr {
inline constexpr auto byCode = "SELECT * FROM tbl_obvr where dec_cod =?";
// The register window's list: the four columns it shows, by tax number.
inline constexpr auto listing =
    "SELECT dec_cod, dec_nam, dec_ad3, dec_tlx FROM tbl_obvr order by 1";
inline constexpr auto lookup = "select * from tbl_obvr  where dec_cod = ?";
inline constexpr auto update =
    "update tbl_obvr set dec_nam = ?, dec_ad3 = ?, dec_tlx = ?  where dec_cod = ?";
inline constexpr auto insert = "insert into tbl_obvr values(?,?,'','',?,'','','',?,'','','')";
inline constexpr auto codes = "SELECT dec_cod FROM tbl_obvr";
// A tax number stored more than once (a register from before the unique index).
inline constexpr auto twice = "SELECT dec_cod FROM tbl_obvr GROUP BY dec_cod HAVING count(*) > 1";
// Such a register is copied under the plain index it had.
inline constexpr auto dropIndex = "DROP INDEX idx_obvr_dec_cod";
inline constexpr auto plainIndex = "CREATE INDEX idx_obvr_dec_cod ON tbl_obvr (dec_cod)";
// The register window a page at a time: the columns as it shows them (a
// Null name or address as the empty text, a Null city as "0"), then the
// keys of its order and LIMIT ? OFFSET ?.
#define TRELOK_OBVR_NAM "coalesce(dec_nam,'')"
#define TRELOK_OBVR_AD3 "coalesce(dec_ad3,'')"
#define TRELOK_OBVR_TLX "coalesce(dec_tlx,'0')"
inline constexpr const char *shown[] = {"coalesce(dec_cod,'')", TRELOK_OBVR_NAM, TRELOK_OBVR_AD3,
                                        TRELOK_OBVR_TLX};
#define TRELOK_OBVR_LINE                                                                           \
    "coalesce(dec_cod,''), " TRELOK_OBVR_NAM ", " TRELOK_OBVR_AD3 ", " TRELOK_OBVR_TLX
inline constexpr auto lineColumns = TRELOK_OBVR_LINE;
inline constexpr auto table = "tbl_obvr";
inline constexpr auto pageColumns = "SELECT " TRELOK_OBVR_LINE " FROM tbl_obvr ORDER BY ";
#undef TRELOK_OBVR_LINE
inline constexpr auto page = " LIMIT ? OFFSET ?";
inline constexpr auto count = "SELECT count(*) FROM tbl_obvr";
// The lines before a line: those before its first key (counted in the
// index), then those alike in it before it by the other keys and tax number.
inline constexpr auto before = "SELECT (SELECT count(*) FROM tbl_obvr WHERE ";
inline constexpr auto beforeAlike = " < ?)+(SELECT count(*) FROM tbl_obvr WHERE ";
// A column's texts sort without regard to case. SQLite: NOCASE folds the
// letters A to Z, the same as full case folding for ASCII texts; a column
// holding other letters is compared by the collation the store registers
// (exactCollation); rows alike keep the order of the rows' tax numbers, then
// of their storing. An index on each column's order (new installations).
namespace file {
inline constexpr auto caseless = " COLLATE NOCASE";
inline constexpr auto exactCollation = "trelok_fold";
inline constexpr auto exact = " COLLATE trelok_fold";
inline constexpr auto code = "dec_cod";
inline constexpr const char *ties[] = {"dec_cod", "rowid"};
inline constexpr int numberTie = 1;
// A text of the column longer in bytes than in characters.
inline constexpr const char *beyondAscii[] = {
    "SELECT 1 FROM tbl_obvr WHERE length(dec_cod)<>length(CAST(dec_cod AS BLOB)) LIMIT 1",
    "SELECT 1 FROM tbl_obvr WHERE length(dec_nam)<>length(CAST(dec_nam AS BLOB)) LIMIT 1",
    "SELECT 1 FROM tbl_obvr WHERE length(dec_ad3)<>length(CAST(dec_ad3 AS BLOB)) LIMIT 1",
    "SELECT 1 FROM tbl_obvr WHERE length(dec_tlx)<>length(CAST(dec_tlx AS BLOB)) LIMIT 1"};
inline constexpr const char *index[] = {
    "CREATE INDEX idx_obvr_by_cod ON tbl_obvr (coalesce(dec_cod,'') COLLATE NOCASE,dec_cod)",
    "CREATE INDEX idx_obvr_by_nam ON tbl_obvr (" TRELOK_OBVR_NAM " COLLATE NOCASE,dec_cod)",
    "CREATE INDEX idx_obvr_by_ad3 ON tbl_obvr (" TRELOK_OBVR_AD3 " COLLATE NOCASE,dec_cod)",
    "CREATE INDEX idx_obvr_by_tlx ON tbl_obvr (" TRELOK_OBVR_TLX " COLLATE NOCASE,dec_cod)"};
} // namespace file
// The server: lower() and the collation "C" (code points).
namespace server {
inline constexpr auto lower = "lower(";
inline constexpr auto caseless = ") COLLATE \"C\"";
inline constexpr auto code = "dec_cod COLLATE \"C\"";
inline constexpr const char *ties[] = {"dec_cod COLLATE \"C\"", "dec_nam COLLATE \"C\"",
                                       "dec_ad3 COLLATE \"C\"", "dec_tlx COLLATE \"C\""};
// The ties in their order, the register's own order when it opens.
inline constexpr auto tiesIndex =
    "CREATE INDEX idx_obvr_ties ON tbl_obvr (dec_cod COLLATE \"C\",dec_nam COLLATE \"C\","
    "dec_ad3 COLLATE \"C\",dec_tlx COLLATE \"C\")";
inline constexpr const char *index[] = {
    "CREATE INDEX idx_obvr_by_cod ON tbl_obvr ((lower(coalesce(dec_cod,''))) COLLATE \"C\","
    "dec_cod COLLATE \"C\")",
    "CREATE INDEX idx_obvr_by_nam ON tbl_obvr ((lower(" TRELOK_OBVR_NAM ")) COLLATE \"C\","
    "dec_cod COLLATE \"C\")",
    "CREATE INDEX idx_obvr_by_ad3 ON tbl_obvr ((lower(" TRELOK_OBVR_AD3 ")) COLLATE \"C\","
    "dec_cod COLLATE \"C\")",
    "CREATE INDEX idx_obvr_by_tlx ON tbl_obvr ((lower(" TRELOK_OBVR_TLX ")) COLLATE \"C\","
    "dec_cod COLLATE \"C\")"};
} // namespace server
#undef TRELOK_OBVR_NAM
#undef TRELOK_OBVR_AD3
#undef TRELOK_OBVR_TLX
} // namespace obvr

namespace opst {
inline constexpr auto byCode = "SELECT * FROM tbl_opst where sifra =?";
inline constexpr auto byTrimmedCode = "SELECT * FROM tbl_opst  where trim(sifra)=?";
inline constexpr auto all = "SELECT * FROM tbl_opst";
// The code list as a whole (--import-municipalities, --export-municipalities).
inline constexpr auto list = "SELECT sifra,opstina FROM tbl_opst";
inline constexpr auto removeAll = "DELETE FROM tbl_opst";
inline constexpr auto insert = "INSERT INTO tbl_opst (sifra,opstina) VALUES (?,?)";
} // namespace opst

namespace cuo {
inline constexpr auto byTrimmedCode = "SELECT * FROM tbl_cuo  where trim(key_cuo)=?";
inline constexpr auto all = "SELECT * FROM tbl_cuo";
inline constexpr auto list = "SELECT key_cuo,cuo_desc FROM tbl_cuo";
inline constexpr auto removeAll = "DELETE FROM tbl_cuo";
inline constexpr auto insert = "INSERT INTO tbl_cuo (key_cuo,cuo_desc) VALUES (?,?)";
} // namespace cuo

namespace prnt {
inline constexpr auto all = "SELECT * FROM tbl_prnt";
inline constexpr auto setPrinter = "UPDATE tbl_prnt set def_print=?";
} // namespace prnt

// The calibrations of the printers that are not the application's printer,
// kept in the workstation's file (SQLite) beside tbl_prnt. The table is
// made when a printer is first chosen instead of another.
namespace ofset {
inline constexpr auto create = "CREATE TABLE IF NOT EXISTS tbl_ofset (pecatar TEXT PRIMARY KEY "
                               "NOT NULL, up_smet3 TEXT, bu_smet1 TEXT)";
inline constexpr auto ofPrinter = "SELECT up_smet3, bu_smet1 FROM tbl_ofset WHERE pecatar=?";
inline constexpr auto keep =
    "INSERT OR REPLACE INTO tbl_ofset (pecatar, up_smet3, bu_smet1) VALUES (?,?,?)";
inline constexpr auto remove = "DELETE FROM tbl_ofset WHERE pecatar=?";
} // namespace ofset

namespace koor {
inline constexpr auto ordered = "SELECT * FROM tbl_koor order by z_y,z_x";
// The layout as a whole (layout window, --import-layout, --export-layout).
inline constexpr auto list = "SELECT box,z_x,z_y,z_len FROM tbl_koor";
inline constexpr auto removeAll = "DELETE FROM tbl_koor";
inline constexpr auto insert = "INSERT INTO tbl_koor (box,z_x,z_y,z_len) VALUES (?,?,?,?)";
} // namespace koor

namespace broj {
inline constexpr auto byYearAndType = "SELECT * FROM tbl_Broj WHERE godina = ? AND tip_dokum = ?";
inline constexpr auto insert = "INSERT INTO tbl_Broj (godina,tip_dokum,tekoven_br) VALUES(?,?,?)";
inline constexpr auto update =
    "UPDATE tbl_Broj SET tekoven_br =? WHERE godina = ? AND tip_dokum = ?";
} // namespace broj

namespace backup {
// A consistent copy of the whole database into a new (or empty) file.
inline constexpr auto copyInto = "VACUUM INTO ?";
inline constexpr auto integrityCheck = "PRAGMA integrity_check";
} // namespace backup

// Statements of the shared server database that SQLite has no form of.
namespace server {
// Tables of the database's schema: none means an empty database.
inline constexpr auto tableCount =
    "SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema()";
// Held to the end of the transaction by the one workstation installing.
inline constexpr auto installLock = "SELECT pg_advisory_xact_lock(128034676698987)";
// Taken before the counter is read: every writer of numbers waits for the
// one before it, also for the first number of a year, whose row does not
// exist yet (a row lock would lock nothing). Readers are not held up.
inline constexpr auto counterLock = "LOCK TABLE tbl_Broj IN EXCLUSIVE MODE";
// Held by a workstation saving the layout: a second one reads the table
// only after the first one's layout is complete.
inline constexpr auto layoutLock = "LOCK TABLE tbl_koor IN EXCLUSIVE MODE";
inline constexpr auto lockTimeout = "SET lock_timeout = '30s'";
// Every statement of the transaction sees the database as its first one did.
inline constexpr auto oneSnapshot = "SET TRANSACTION ISOLATION LEVEL REPEATABLE READ";
inline constexpr auto ping = "SELECT 1";
// The transaction's own number, and later whether it committed: a COMMIT
// whose answer was lost with the session is settled by asking.
inline constexpr auto transactionId = "SELECT txid_current() AS txid";
inline constexpr auto transactionStatus = "SELECT txid_status(CAST(? AS bigint)) AS status";
// The planner's figures of a table, after many of its rows were written at
// once (the server gathers them by itself only a while later).
inline constexpr auto analyzeOrders = "ANALYZE tbl_trel";
inline constexpr auto analyzeRegister = "ANALYZE tbl_obvr";
inline constexpr auto analyzeAll = "ANALYZE";
} // namespace server

// A transaction inside another one, on either engine: its work is undone
// alone when it fails, and the outer transaction goes on.
namespace nested {
inline constexpr auto savepoint = "SAVEPOINT trelok_part";
inline constexpr auto release = "RELEASE SAVEPOINT trelok_part";
inline constexpr auto rollback = "ROLLBACK TO SAVEPOINT trelok_part";
} // namespace nested

// The same for the SQLite file.
namespace file {
// The write lock is taken at the start, so two programs that save at the
// same moment wait for each other instead of both reading the counter.
inline constexpr auto beginWrite = "BEGIN IMMEDIATE";
inline constexpr auto begin = "BEGIN";
inline constexpr auto commit = "COMMIT";
inline constexpr auto rollback = "ROLLBACK";
// Long reads go through memory instead of one system call per page.
inline constexpr auto mapIntoMemory = "PRAGMA mmap_size=268435456";
// Reads through the page cache only: a run over the whole file (a backup)
// does not keep every page it read in the program's memory.
inline constexpr auto noMapping = "PRAGMA mmap_size=0";
// Every column of every table, read from the schema SQLite keeps in the
// file: the check at opening in one statement.
inline constexpr auto tableColumns =
    "SELECT lower(m.name),lower(c.name) FROM sqlite_schema AS m "
    "JOIN pragma_table_info(m.name) AS c WHERE m.type='table'";
} // namespace file

// The export: every column, oldest order first, sorted by the database on
// keys it computes once a row: the year after the number's "/", the number
// before it, then the number's text (and, in the file, the row's place).
// The program checks each row against the one before it by its own rule
// (data/orders.h) and sorts itself only where the two disagree.
namespace exported {
#define TRELOK_EXPORT_KEYS                                                                         \
    "CASE instr(trelok_br,'/') WHEN 0 THEN '' ELSE "                                               \
    "rtrim(substr(trelok_br,instr(trelok_br,'/')+1)) END,CAST(trelok_br AS REAL),trelok_br"
inline constexpr orderStatement::Shape fileShape{
    "SELECT ", " FROM tbl_trel", " ORDER BY " TRELOK_EXPORT_KEYS ",rowid", false};
// The same keys as an index (the row's place comes with every entry): the
// file hands the rows over in its order without sorting them. A database
// from before it is sorted on every export instead.
inline constexpr auto fileIndex = "CREATE INDEX idx_trel_export ON tbl_Trel (" TRELOK_EXPORT_KEYS ")";
#undef TRELOK_EXPORT_KEYS
// The server compares texts by code point only under the collation "C".
#define TRELOK_EXPORT_YEAR                                                                         \
    "(CASE strpos(coalesce(trelok_br,''),'/') WHEN 0 THEN '' ELSE "                                \
    "rtrim(substr(trelok_br,strpos(trelok_br,'/')+1)) END) COLLATE \"C\""
#define TRELOK_EXPORT_SEQUENCE                                                                     \
    "(coalesce(CAST(substring(trelok_br from '^ *([0-9]+)') AS double precision),0))"
#define TRELOK_EXPORT_TEXT "(coalesce(trelok_br,'')) COLLATE \"C\""
inline constexpr orderStatement::Shape serverShape{
    "SELECT ", " FROM tbl_trel",
    " ORDER BY " TRELOK_EXPORT_YEAR "," TRELOK_EXPORT_SEQUENCE "," TRELOK_EXPORT_TEXT, false};
// The same keys as an index on the server: it reads the rows in their
// order instead of sorting them on every export. A server installed before
// it sorts, only slower.
inline constexpr auto serverIndex = "CREATE INDEX idx_trel_export ON tbl_Trel (" TRELOK_EXPORT_YEAR
                                    "," TRELOK_EXPORT_SEQUENCE "," TRELOK_EXPORT_TEXT ")";
#undef TRELOK_EXPORT_YEAR
#undef TRELOK_EXPORT_SEQUENCE
#undef TRELOK_EXPORT_TEXT
inline constexpr auto fileText = orderStatement::build<orderStatement::size(fileShape)>(fileShape);
inline constexpr auto serverText =
    orderStatement::build<orderStatement::size(serverShape)>(serverShape);
inline constexpr const char *file = fileText.chars;
inline constexpr const char *server = serverText.chars;
} // namespace exported

} // namespace trelok::sql
