-- Metadata tables: the repository that the program reads at login and that
-- the configurator writes.
--
-- Conventions of this file:
-- * every table has one integer key, drawn from a sequence named exactly like
--   the key column (gen_id(OBJ_ID, 1) and so on);
-- * flags are BOOL NOT NULL DEFAULT 0: the program compares them with 1
--   ("where TBL_DEFAULT = 1", "F.FLTR_DEV <> 1"), so a NULL flag would silently
--   fall out of both branches of such a test; the record editor leaves a flag it
--   did not touch out of its insert, so the default applies;
-- * constraint names follow what the configurator itself uses for business
--   tables: PK_<key column>, FK_<table>_<column>;
-- * a row that only makes sense with its owner is deleted with it (cascade),
--   references to code tables are plain (a used code row cannot be deleted),
--   and every key change is carried along (on update cascade).
--
-- The configurator deletes an object, a field or a link by deleting that one
-- row after dropping the schema objects; everything hanging from the row
-- (fields, links, views, cards, detail books, filters, formulas, template
-- rows) has to go by the foreign keys below.

-------------------------------------------------------------------------------
-- Objects, fields, links

-- One row per business object, that is per table of the database.
-- OBJ_TEMPL is the value template text ("%s, %s"), shown wherever a link
-- field points to a record of the object; its fields are in OBJVALUE.
create table OBJ (
  OBJ_ID     PK,
  OBJ_TABLE  varchar(31)  character set UTF8 not null collate UNICODE_CI,
  OBJ_CAPT   varchar(100) character set UTF8 collate UNICODE_CI,
  OBJ_CAPT2  varchar(100) character set UTF8 collate UNICODE_CI,
  OBJ_META   BOOL default 0 not null,
  OBJ_REF    BOOL default 0 not null,
  OBJ_SYS    BOOL default 0 not null,
  OBJ_TEMPL  varchar(250) character set UTF8 collate UNICODE_CI,
  constraint PK_OBJ_ID primary key (OBJ_ID)
);
create sequence OBJ_ID;

-- One row per field of an object. A virtual field (FLD_VIRT) has no column.
-- FLDTYPE_ID stays nullable on purpose: a field without a type is a state the
-- repository load reports with its own message, not one the database hides.
-- DEP_ID_AGR / FLD_ID_AGR make a summing field: the link to the detail
-- object and the detail field it sums.
create table FLD (
  FLD_ID        PK,
  OBJ_ID        FK not null,
  FLD_FIELD     varchar(31)  character set UTF8 not null collate UNICODE_CI,
  FLDTYPE_ID    FK,
  FLD_SIZE      INTEG,
  FLD_NOTNULL   BOOL default 0 not null,
  FLD_CAPT      varchar(100) character set UTF8 collate UNICODE_CI,
  FLD_MAIN2     BOOL default 0 not null,
  DEP_ID_AGR    FK,
  FLD_ID_AGR    FK,
  FLD_VIRT      BOOL default 0 not null,
  FLD_SYS       BOOL default 0 not null,
  FLD_FRMLHAVE  BOOL default 0 not null,
  FLD_DEF0      BOOL default 0 not null,
  constraint PK_FLD_ID primary key (FLD_ID)
);
create sequence FLD_ID;

-- A link: OBJ_ID is the master object, FLD_ID the link field of the detail
-- object (the detail object is that field's object). FKRULE_ID is the delete
-- rule the foreign key was created with; like FLDTYPE_ID it may be missing
-- and the program says so itself.
create table DEP (
  DEP_ID     PK,
  OBJ_ID     FK not null,
  FLD_ID     FK not null,
  FKRULE_ID  FK,
  DEP_MAIN   BOOL default 0 not null,
  DEP_DET    BOOL default 0 not null,
  DEP_CAPT   varchar(100) character set UTF8 collate UNICODE_CI,
  DEP_SYS    BOOL default 0 not null,
  DEP_NAME   varchar(50)  character set UTF8 collate UNICODE_CI,
  constraint PK_DEP_ID primary key (DEP_ID)
);
create sequence DEP_ID;

alter table FLD add constraint FK_FLD_OBJ_ID
  foreign key (OBJ_ID) references OBJ (OBJ_ID)
  on delete cascade on update cascade;
alter table FLD add constraint FK_FLD_FLDTYPE_ID
  foreign key (FLDTYPE_ID) references FLDTYPE (FLDTYPE_ID)
  on update cascade;
-- A summing field outlives the link or detail field it summed: it becomes a
-- plain field rather than blocking the delete of the detail side.
alter table FLD add constraint FK_FLD_DEP_ID_AGR
  foreign key (DEP_ID_AGR) references DEP (DEP_ID)
  on delete set null on update cascade;
alter table FLD add constraint FK_FLD_FLD_ID_AGR
  foreign key (FLD_ID_AGR) references FLD (FLD_ID)
  on delete set null on update cascade;

-- Deleting the master object removes the links to its details; deleting the
-- link field (or its whole object) removes the link.
alter table DEP add constraint FK_DEP_OBJ_ID
  foreign key (OBJ_ID) references OBJ (OBJ_ID)
  on delete cascade on update cascade;
alter table DEP add constraint FK_DEP_FLD_ID
  foreign key (FLD_ID) references FLD (FLD_ID)
  on delete cascade on update cascade;
alter table DEP add constraint FK_DEP_FKRULE_ID
  foreign key (FKRULE_ID) references FKRULE (FKRULE_ID)
  on update cascade;

-------------------------------------------------------------------------------
-- Formulas of computed fields

-- Nested set per computed field (FLD_ID): function nodes (FRMLFUNC_ID),
-- field nodes (FLD_ID_VALUE, with an optional path in FRMLTRPT) and constant
-- nodes (FRMLTREE_VALUE, kept as text).
create table FRMLTREE (
  FRMLTREE_ID        PK,
  FLD_ID             FK not null,
  FRMLTREE_LFT       INTEG not null,
  FRMLTREE_RGT       INTEG not null,
  FRMLFUNC_ID        FK,
  FLD_ID_VALUE       FK,
  FRMLTREE_VALUE     varchar(250) character set UTF8 collate UNICODE_CI,
  FRMLTREE_PATHHAVE  BOOL default 0 not null,
  constraint PK_FRMLTREE_ID primary key (FRMLTREE_ID)
);
create sequence FRMLTREE_ID;

alter table FRMLTREE add constraint FK_FRMLTREE_FLD_ID
  foreign key (FLD_ID) references FLD (FLD_ID)
  on delete cascade on update cascade;
alter table FRMLTREE add constraint FK_FRMLTREE_FRMLFUNC_ID
  foreign key (FRMLFUNC_ID) references FRMLFUNC (FRMLFUNC_ID)
  on update cascade;
alter table FRMLTREE add constraint FK_FRMLTREE_FLD_ID_VALUE
  foreign key (FLD_ID_VALUE) references FLD (FLD_ID)
  on delete cascade on update cascade;

-- Path of link fields of a field node; the order of the path is the order of
-- the keys (rows are inserted first link first).
create table FRMLTRPT (
  FRMLTRPT_ID  PK,
  FRMLTREE_ID  FK not null,
  FLD_ID       FK not null,
  constraint PK_FRMLTRPT_ID primary key (FRMLTRPT_ID)
);
create sequence FRMLTRPT_ID;

alter table FRMLTRPT add constraint FK_FRMLTRPT_FRMLTREE_ID
  foreign key (FRMLTREE_ID) references FRMLTREE (FRMLTREE_ID)
  on delete cascade on update cascade;
alter table FRMLTRPT add constraint FK_FRMLTRPT_FLD_ID
  foreign key (FLD_ID) references FLD (FLD_ID)
  on delete cascade on update cascade;

-------------------------------------------------------------------------------
-- Value templates

-- Template fields of an object, in key order; the path to a field of a
-- master object is in OBJVALPT. The program deletes OBJVALUE rows only and
-- relies on the cascade to remove their path rows.
create table OBJVALUE (
  OBJVALUE_ID        PK,
  OBJ_ID             FK not null,
  FLD_ID             FK not null,
  OBJVALUE_PATHHAVE  BOOL default 0 not null,
  constraint PK_OBJVALUE_ID primary key (OBJVALUE_ID)
);
create sequence OBJVALUE_ID;

alter table OBJVALUE add constraint FK_OBJVALUE_OBJ_ID
  foreign key (OBJ_ID) references OBJ (OBJ_ID)
  on delete cascade on update cascade;
alter table OBJVALUE add constraint FK_OBJVALUE_FLD_ID
  foreign key (FLD_ID) references FLD (FLD_ID)
  on delete cascade on update cascade;

create table OBJVALPT (
  OBJVALPT_ID  PK,
  OBJVALUE_ID  FK not null,
  FLD_ID       FK not null,
  constraint PK_OBJVALPT_ID primary key (OBJVALPT_ID)
);
create sequence OBJVALPT_ID;

alter table OBJVALPT add constraint FK_OBJVALPT_OBJVALUE_ID
  foreign key (OBJVALUE_ID) references OBJVALUE (OBJVALUE_ID)
  on delete cascade on update cascade;
alter table OBJVALPT add constraint FK_OBJVALPT_FLD_ID
  foreign key (FLD_ID) references FLD (FLD_ID)
  on delete cascade on update cascade;

-------------------------------------------------------------------------------
-- Table views

-- A view belongs either to an object (OBJ_ID) or to a link (DEP_ID: the
-- detail table shown under a master record).
create table TBL (
  TBL_ID       PK,
  OBJ_ID       FK,
  DEP_ID       FK,
  TBL_NAME     varchar(50)  character set UTF8 collate UNICODE_CI,
  TBL_CAPT     varchar(100) character set UTF8 collate UNICODE_CI,
  TBL_DEFAULT  BOOL default 0 not null,
  TBL_DEV      BOOL default 0 not null,
  constraint PK_TBL_ID primary key (TBL_ID)
);
create sequence TBL_ID;

alter table TBL add constraint FK_TBL_OBJ_ID
  foreign key (OBJ_ID) references OBJ (OBJ_ID)
  on delete cascade on update cascade;
alter table TBL add constraint FK_TBL_DEP_ID
  foreign key (DEP_ID) references DEP (DEP_ID)
  on delete cascade on update cascade;

-- Column tree of a view (nested set per TBL_ID); every node names a field.
create table TBLTREE (
  TBLTREE_ID   PK,
  TBL_ID       FK not null,
  FLD_ID       FK not null,
  TBLTREE_LFT  INTEG not null,
  TBLTREE_RGT  INTEG not null,
  constraint PK_TBLTREE_ID primary key (TBLTREE_ID)
);
create sequence TBLTREE_ID;

alter table TBLTREE add constraint FK_TBLTREE_TBL_ID
  foreign key (TBL_ID) references TBL (TBL_ID)
  on delete cascade on update cascade;
alter table TBLTREE add constraint FK_TBLTREE_FLD_ID
  foreign key (FLD_ID) references FLD (FLD_ID)
  on delete cascade on update cascade;

-------------------------------------------------------------------------------
-- Filters (read only for the program; written with the initial data)

-- An always-on filter (FLTR_ALWAYS) applies to a view (TBL_ID), to every view
-- of a link (DEP_ID) or to every view of an object (OBJ_ID).
create table FLTR (
  FLTR_ID      PK,
  FLTR_NAME    varchar(50) character set UTF8 collate UNICODE_CI,
  FLTR_ALWAYS  BOOL default 0 not null,
  FLTR_DEV     BOOL default 0 not null,
  TBL_ID       FK,
  DEP_ID       FK,
  OBJ_ID       FK,
  constraint PK_FLTR_ID primary key (FLTR_ID)
);
create sequence FLTR_ID;

alter table FLTR add constraint FK_FLTR_TBL_ID
  foreign key (TBL_ID) references TBL (TBL_ID)
  on delete cascade on update cascade;
alter table FLTR add constraint FK_FLTR_DEP_ID
  foreign key (DEP_ID) references DEP (DEP_ID)
  on delete cascade on update cascade;
alter table FLTR add constraint FK_FLTR_OBJ_ID
  foreign key (OBJ_ID) references OBJ (OBJ_ID)
  on delete cascade on update cascade;

-- Condition tree of a filter (nested set per FLTR_ID). FLTRTREE_VALUE is the
-- compared value, kept as text; the program may also set it in memory.
create table FLTRTREE (
  FLTRTREE_ID        PK,
  FLTR_ID            FK not null,
  FLTRTRTP_ID        FK,
  FLD_ID             FK,
  DEP_ID             FK,
  FLTRTREE_LFT       INTEG not null,
  FLTRTREE_RGT       INTEG not null,
  FLTRTREE_NAME      varchar(50)  character set UTF8 collate UNICODE_CI,
  FLTRTREE_NOT       BOOL default 0 not null,
  FLTRTREE_PATHHAVE  BOOL default 0 not null,
  FLTRTREE_VALUE     varchar(250) character set UTF8 collate UNICODE_CI,
  constraint PK_FLTRTREE_ID primary key (FLTRTREE_ID)
);
create sequence FLTRTREE_ID;

alter table FLTRTREE add constraint FK_FLTRTREE_FLTR_ID
  foreign key (FLTR_ID) references FLTR (FLTR_ID)
  on delete cascade on update cascade;
alter table FLTRTREE add constraint FK_FLTRTREE_FLTRTRTP_ID
  foreign key (FLTRTRTP_ID) references FLTRTRTP (FLTRTRTP_ID)
  on update cascade;
alter table FLTRTREE add constraint FK_FLTRTREE_FLD_ID
  foreign key (FLD_ID) references FLD (FLD_ID)
  on delete cascade on update cascade;
alter table FLTRTREE add constraint FK_FLTRTREE_DEP_ID
  foreign key (DEP_ID) references DEP (DEP_ID)
  on delete cascade on update cascade;

create table FLTRTRPT (
  FLTRTRPT_ID  PK,
  FLTRTREE_ID  FK not null,
  FLD_ID       FK not null,
  constraint PK_FLTRTRPT_ID primary key (FLTRTRPT_ID)
);
create sequence FLTRTRPT_ID;

alter table FLTRTRPT add constraint FK_FLTRTRPT_FLTRTREE_ID
  foreign key (FLTRTREE_ID) references FLTRTREE (FLTRTREE_ID)
  on delete cascade on update cascade;
alter table FLTRTRPT add constraint FK_FLTRTRPT_FLD_ID
  foreign key (FLD_ID) references FLD (FLD_ID)
  on delete cascade on update cascade;

-------------------------------------------------------------------------------
-- Cards and detail books

-- Sizes of the card's attribute and detail areas and its width, in pixels.
create table CARD (
  CARD_ID         PK,
  OBJ_ID          FK not null,
  CARD_NAME       varchar(50)  character set UTF8 collate UNICODE_CI,
  CARD_CAPT       varchar(100) character set UTF8 collate UNICODE_CI,
  CARD_DEFAULT    BOOL default 0 not null,
  CARD_DEV        BOOL default 0 not null,
  CARD_HEIGHTATR  INTEG,
  CARD_HEIGHTDET  INTEG,
  CARD_WIDTH      INTEG,
  constraint PK_CARD_ID primary key (CARD_ID)
);
create sequence CARD_ID;

alter table CARD add constraint FK_CARD_OBJ_ID
  foreign key (OBJ_ID) references OBJ (OBJ_ID)
  on delete cascade on update cascade;

-- Control tree of a card (nested set per CARD_ID). Positions and sizes are
-- nullable: NULL means "not set" and the control falls back to its default.
-- FLD_ID is NULL for the root, page controls and tab sheets.
create table CTRLTREE (
  CTRLTREE_ID       PK,
  CARD_ID           FK not null,
  CTRLTRTP_ID       FK,
  FLD_ID            FK,
  CTRLTREE_LFT      INTEG not null,
  CTRLTREE_RGT      INTEG not null,
  CTRLTREE_CAPT     varchar(100) character set UTF8 collate UNICODE_CI,
  CTRLTREE_CLEFT    INTEG,
  CTRLTREE_CTOP     INTEG,
  CTRLTREE_CWIDTH   INTEG,
  CTRLTREE_CHEIGHT  INTEG,
  CTRLTREE_LLEFT    INTEG,
  CTRLTREE_LTOP     INTEG,
  CTRLTREE_LWIDTH   INTEG,
  CTRLTREE_LHEIGHT  INTEG,
  CTRLTREE_ROADD    BOOL default 0 not null,
  CTRLTREE_ROEDT    BOOL default 0 not null,
  constraint PK_CTRLTREE_ID primary key (CTRLTREE_ID)
);
create sequence CTRLTREE_ID;

alter table CTRLTREE add constraint FK_CTRLTREE_CARD_ID
  foreign key (CARD_ID) references CARD (CARD_ID)
  on delete cascade on update cascade;
alter table CTRLTREE add constraint FK_CTRLTREE_CTRLTRTP_ID
  foreign key (CTRLTRTP_ID) references CTRLTRTP (CTRLTRTP_ID)
  on update cascade;
alter table CTRLTREE add constraint FK_CTRLTREE_FLD_ID
  foreign key (FLD_ID) references FLD (FLD_ID)
  on delete cascade on update cascade;

create table DETBOOK (
  DETBOOK_ID       PK,
  OBJ_ID           FK not null,
  DETBOOK_NAME     varchar(50)  character set UTF8 collate UNICODE_CI,
  DETBOOK_CAPT     varchar(100) character set UTF8 collate UNICODE_CI,
  DETBOOK_DEFAULT  BOOL default 0 not null,
  DETBOOK_DEV      BOOL default 0 not null,
  constraint PK_DETBOOK_ID primary key (DETBOOK_ID)
);
create sequence DETBOOK_ID;

alter table DETBOOK add constraint FK_DETBOOK_OBJ_ID
  foreign key (OBJ_ID) references OBJ (OBJ_ID)
  on delete cascade on update cascade;

-- Links of a detail book. The detail check list writes these rows through
-- the generic record editor, which gives every new row a key from the
-- sequence of the table's key column, hence DETDEP_ID. A link appears at most
-- once per book (the check list writes one row per ticked link).
create table DETDEP (
  DETDEP_ID   PK,
  DETBOOK_ID  FK not null,
  DEP_ID      FK not null,
  constraint PK_DETDEP_ID primary key (DETDEP_ID),
  constraint UQ_DETDEP_DETBOOK_DEP unique (DETBOOK_ID, DEP_ID)
);
create sequence DETDEP_ID;

alter table DETDEP add constraint FK_DETDEP_DETBOOK_ID
  foreign key (DETBOOK_ID) references DETBOOK (DETBOOK_ID)
  on delete cascade on update cascade;
alter table DETDEP add constraint FK_DETDEP_DEP_ID
  foreign key (DEP_ID) references DEP (DEP_ID)
  on delete cascade on update cascade;

commit;

-------------------------------------------------------------------------------
-- Keeping the trees whole when a node goes by a cascade
--
-- The four trees above are nested sets, and their readers place each row by
-- its bounds: a row whose neighbour has vanished finds no place and the load
-- stops ("tree damaged"). For a formula that stops the whole repository load,
-- that is every login. Nodes do vanish one by one: deleting a field or a link
-- in the configurator cascades to every node that names it. So after a node is
-- deleted, its subtree goes with it (a master's fields shown under a deleted
-- link field mean nothing without it) and the bounds after it are closed up,
-- which keeps every remaining node placeable.
--
-- The subtree delete fires this same trigger for each descendant; a
-- transaction context variable makes those nested calls do nothing, since the
-- outer call shifts by the width of the whole subtree.
--
-- A whole-tree rewrite (every row of one tree deleted, then fresh inserts)
-- needs no repair, and the repair would cost a pass over the rest of the tree
-- for every row the delete visits first: the program sets the same guard
-- around such a delete and clears it in the same block.

set term ^ ;

-- Nodes of a computed field's formula (FLD_ID).
create trigger SYS_FRMLTREE_AD for FRMLTREE
active after delete position 0
as
  declare w integer;
  declare dummy integer;
begin
  if (rdb$get_context('USER_TRANSACTION', 'KVX_FRMLTREE_AD') is null) then
  begin
    dummy = rdb$set_context('USER_TRANSACTION', 'KVX_FRMLTREE_AD', '1');
    w = old.FRMLTREE_RGT - old.FRMLTREE_LFT + 1;
    delete from FRMLTREE
      where FLD_ID = old.FLD_ID
        and FRMLTREE_LFT > old.FRMLTREE_LFT and FRMLTREE_RGT < old.FRMLTREE_RGT;
    update FRMLTREE set FRMLTREE_LFT = FRMLTREE_LFT - :w
      where FLD_ID = old.FLD_ID and FRMLTREE_LFT > old.FRMLTREE_RGT;
    update FRMLTREE set FRMLTREE_RGT = FRMLTREE_RGT - :w
      where FLD_ID = old.FLD_ID and FRMLTREE_RGT > old.FRMLTREE_RGT;
    dummy = rdb$set_context('USER_TRANSACTION', 'KVX_FRMLTREE_AD', null);
    when any do
    begin
      -- never leave the guard set: later deletes in this transaction
      -- would skip the repair
      dummy = rdb$set_context('USER_TRANSACTION', 'KVX_FRMLTREE_AD', null);
      exception;
    end
  end
end^

-- Nodes of a filter (FLTR_ID).
create trigger SYS_FLTRTREE_AD for FLTRTREE
active after delete position 0
as
  declare w integer;
  declare dummy integer;
begin
  if (rdb$get_context('USER_TRANSACTION', 'KVX_FLTRTREE_AD') is null) then
  begin
    dummy = rdb$set_context('USER_TRANSACTION', 'KVX_FLTRTREE_AD', '1');
    w = old.FLTRTREE_RGT - old.FLTRTREE_LFT + 1;
    delete from FLTRTREE
      where FLTR_ID = old.FLTR_ID
        and FLTRTREE_LFT > old.FLTRTREE_LFT and FLTRTREE_RGT < old.FLTRTREE_RGT;
    update FLTRTREE set FLTRTREE_LFT = FLTRTREE_LFT - :w
      where FLTR_ID = old.FLTR_ID and FLTRTREE_LFT > old.FLTRTREE_RGT;
    update FLTRTREE set FLTRTREE_RGT = FLTRTREE_RGT - :w
      where FLTR_ID = old.FLTR_ID and FLTRTREE_RGT > old.FLTRTREE_RGT;
    dummy = rdb$set_context('USER_TRANSACTION', 'KVX_FLTRTREE_AD', null);
    when any do
    begin
      -- never leave the guard set: later deletes in this transaction
      -- would skip the repair
      dummy = rdb$set_context('USER_TRANSACTION', 'KVX_FLTRTREE_AD', null);
      exception;
    end
  end
end^

-- Nodes of a table view (TBL_ID).
create trigger SYS_TBLTREE_AD for TBLTREE
active after delete position 0
as
  declare w integer;
  declare dummy integer;
begin
  if (rdb$get_context('USER_TRANSACTION', 'KVX_TBLTREE_AD') is null) then
  begin
    dummy = rdb$set_context('USER_TRANSACTION', 'KVX_TBLTREE_AD', '1');
    w = old.TBLTREE_RGT - old.TBLTREE_LFT + 1;
    delete from TBLTREE
      where TBL_ID = old.TBL_ID
        and TBLTREE_LFT > old.TBLTREE_LFT and TBLTREE_RGT < old.TBLTREE_RGT;
    update TBLTREE set TBLTREE_LFT = TBLTREE_LFT - :w
      where TBL_ID = old.TBL_ID and TBLTREE_LFT > old.TBLTREE_RGT;
    update TBLTREE set TBLTREE_RGT = TBLTREE_RGT - :w
      where TBL_ID = old.TBL_ID and TBLTREE_RGT > old.TBLTREE_RGT;
    dummy = rdb$set_context('USER_TRANSACTION', 'KVX_TBLTREE_AD', null);
    when any do
    begin
      -- never leave the guard set: later deletes in this transaction
      -- would skip the repair
      dummy = rdb$set_context('USER_TRANSACTION', 'KVX_TBLTREE_AD', null);
      exception;
    end
  end
end^

-- Nodes of a card (CARD_ID).
create trigger SYS_CTRLTREE_AD for CTRLTREE
active after delete position 0
as
  declare w integer;
  declare dummy integer;
begin
  if (rdb$get_context('USER_TRANSACTION', 'KVX_CTRLTREE_AD') is null) then
  begin
    dummy = rdb$set_context('USER_TRANSACTION', 'KVX_CTRLTREE_AD', '1');
    w = old.CTRLTREE_RGT - old.CTRLTREE_LFT + 1;
    delete from CTRLTREE
      where CARD_ID = old.CARD_ID
        and CTRLTREE_LFT > old.CTRLTREE_LFT and CTRLTREE_RGT < old.CTRLTREE_RGT;
    update CTRLTREE set CTRLTREE_LFT = CTRLTREE_LFT - :w
      where CARD_ID = old.CARD_ID and CTRLTREE_LFT > old.CTRLTREE_RGT;
    update CTRLTREE set CTRLTREE_RGT = CTRLTREE_RGT - :w
      where CARD_ID = old.CARD_ID and CTRLTREE_RGT > old.CTRLTREE_RGT;
    dummy = rdb$set_context('USER_TRANSACTION', 'KVX_CTRLTREE_AD', null);
    when any do
    begin
      -- never leave the guard set: later deletes in this transaction
      -- would skip the repair
      dummy = rdb$set_context('USER_TRANSACTION', 'KVX_CTRLTREE_AD', null);
      exception;
    end
  end
end^

-- Path rows. A path whose link field was deleted would lead through a link
-- that no longer exists: the value template loader then fails on the next
-- field and stops the login, and a formula or filter node would silently read
-- another field. So when a path row goes while its node is still there, the
-- node goes too (and the tree triggers above close the gap). When the node
-- itself is being deleted, the cascade that removes its path rows finds it
-- already gone and this does nothing.

create trigger SYS_FRMLTRPT_AD for FRMLTRPT
active after delete position 0
as
begin
  delete from FRMLTREE where FRMLTREE_ID = old.FRMLTREE_ID;
end^

create trigger SYS_OBJVALPT_AD for OBJVALPT
active after delete position 0
as
begin
  delete from OBJVALUE where OBJVALUE_ID = old.OBJVALUE_ID;
end^

create trigger SYS_FLTRTRPT_AD for FLTRTRPT
active after delete position 0
as
begin
  delete from FLTRTREE where FLTRTREE_ID = old.FLTRTREE_ID;
end^

set term ; ^

commit;
