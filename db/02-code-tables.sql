-- Code tables.
--
-- Each enumeration of the program (field types, link rules, formula
-- functions, filter node types, card control types) is mapped to database ids
-- through the NAME column of one of these tables: the program looks the row up
-- by its exact code name and takes the id and the caption. Ids are therefore
-- free, names are not. The rows themselves are in 05-code-rows.sql.
--
-- Names are not declared unique: the loader tolerates a repeated name (the
-- last row wins), and a test of that rule must be able to insert one.
--
-- Every key column has a sequence of the same name: the program draws new
-- keys with gen_id(<key column>, 1).

create table FLDTYPE (
  FLDTYPE_ID    PK,
  FLDTYPE_NAME  varchar(31)  character set UTF8 not null collate UNICODE_CI,
  FLDTYPE_CAPT  varchar(100) character set UTF8 collate UNICODE_CI,
  constraint PK_FLDTYPE_ID primary key (FLDTYPE_ID)
);
create sequence FLDTYPE_ID;

-- FKRULE_CAPT is not read by the program (rules are shown through their
-- value template); it is there so a human reading the table knows the rule.
create table FKRULE (
  FKRULE_ID     PK,
  FKRULE_NAME   varchar(31)  character set UTF8 not null collate UNICODE_CI,
  FKRULE_CAPT   varchar(100) character set UTF8 collate UNICODE_CI,
  constraint PK_FKRULE_ID primary key (FKRULE_ID)
);
create sequence FKRULE_ID;

create table FRMLFUNC (
  FRMLFUNC_ID   PK,
  FRMLFUNC_NAME varchar(31)  character set UTF8 not null collate UNICODE_CI,
  FRMLFUNC_CAPT varchar(100) character set UTF8 collate UNICODE_CI,
  constraint PK_FRMLFUNC_ID primary key (FRMLFUNC_ID)
);
create sequence FRMLFUNC_ID;

-- The filter loader ignores unknown names and never reads the caption; the
-- caption column is kept for people and for pickers.
create table FLTRTRTP (
  FLTRTRTP_ID   PK,
  FLTRTRTP_NAME varchar(31)  character set UTF8 not null collate UNICODE_CI,
  FLTRTRTP_CAPT varchar(100) character set UTF8 collate UNICODE_CI,
  constraint PK_FLTRTRTP_ID primary key (FLTRTRTP_ID)
);
create sequence FLTRTRTP_ID;

create table CTRLTRTP (
  CTRLTRTP_ID   PK,
  CTRLTRTP_NAME varchar(31)  character set UTF8 not null collate UNICODE_CI,
  CTRLTRTP_CAPT varchar(100) character set UTF8 collate UNICODE_CI,
  constraint PK_CTRLTRTP_ID primary key (CTRLTRTP_ID)
);
create sequence CTRLTRTP_ID;

commit;
