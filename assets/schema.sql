-- The tables of trelok. Every column holds text; the program writes no
-- numbers, dates or Nulls of its own. Statements are separated by ";".
CREATE TABLE tbl_Trel (
  TRELOK_BR TEXT, NALOG1 TEXT, NALOG2 TEXT, BNK_NAL TEXT, SM_NAL TEXT, DAN_BR TEXT,
  POVIK TEXT, CEL1 TEXT, CEL2 TEXT, PRIMAC1 TEXT, PRIMAC2 TEXT, BNK_PRIM TEXT,
  SMET_PRI TEXT, MKD_CEL TEXT, MKD_DEC TEXT, UP_SMET1 TEXT, UP_SMET2 TEXT, UP_SMET3 TEXT,
  BU_SMET1 TEXT, BU_SMET2 TEXT, BU_SMET3 TEXT, PR_SIF1 TEXT, PR_SIF2 TEXT, NACIN TEXT,
  DATUM TEXT, MESTO TEXT, VID TEXT, VALUTA TEXT
);
CREATE UNIQUE INDEX idx_trel_trelok_br ON tbl_Trel (TRELOK_BR);
CREATE TABLE tbl_cnf (
  trelok_br TEXT, nalog1 TEXT, nalog2 TEXT, bnk_nal TEXT, sm_nal TEXT, dan_br TEXT,
  povik TEXT, cel1 TEXT, cel2 TEXT, primac1 TEXT, primac2 TEXT, bnk_prim TEXT,
  smet_pri TEXT, mkd_cel TEXT, mkd_dec TEXT, up_smet1 TEXT, up_smet2 TEXT, up_smet3 TEXT,
  bu_smet1 TEXT, bu_smet2 TEXT, bu_smet3 TEXT, pr_sif1 TEXT, pr_sif2 TEXT, nacin TEXT,
  datum TEXT, mesto TEXT, vid TEXT, valuta TEXT
);
CREATE TABLE tbl_vid (vid TEXT, opis TEXT);
CREATE TABLE tbl_obvr (
  dec_cod TEXT, dec_nam TEXT, dec_adr TEXT, dec_ad2 TEXT, dec_ad3 TEXT, dec_ad4 TEXT,
  dec_tel TEXT, dec_fax TEXT, dec_tlx TEXT, dec_pos TEXT, dec_zem TEXT, dec_emb TEXT
);
-- One row per tax number; a database from before this index keeps working
-- without it.
CREATE UNIQUE INDEX idx_obvr_dec_cod ON tbl_obvr (dec_cod);
CREATE TABLE tbl_opst (sifra TEXT, opstina TEXT);
CREATE INDEX idx_opst_sifra ON tbl_opst (sifra);
CREATE TABLE tbl_cuo (key_cuo TEXT, cuo_desc TEXT);
CREATE INDEX idx_cuo_key_cuo ON tbl_cuo (key_cuo);
CREATE TABLE tbl_prnt (def_print TEXT);
CREATE TABLE tbl_koor (box TEXT, z_x TEXT, z_y TEXT, z_len TEXT);
CREATE TABLE tbl_Broj (godina TEXT, tip_dokum TEXT, tekoven_br TEXT);
CREATE INDEX idx_broj_godina_tip ON tbl_Broj (godina, tip_dokum);
