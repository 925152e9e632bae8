-- Helper procedures for writing the initial repository rows.
--
-- The repository rows are linked by ids (a field names its object, a link its
-- field, a column node its view ...). Writing them with literal ids would make
-- every later file depend on the exact order of the earlier ones; these
-- procedures look rows up by the names a developer reads (table, column, link
-- name, code name) and draw every key from the sequence named like the key
-- column, as the program does. They also lay out the default table views and
-- cards the same way for every object, so that the several hundred tree rows
-- follow one rule (nested sets numbered 1 .. 2n in pre-order) instead of
-- being typed out by hand.
--
-- They exist only while the database is being built: 13-repo-tools-drop.sql
-- removes them again, so the program never sees them.
--
-- A lookup that finds nothing raises KVX_REPO_ERROR with the name it was
-- given, which stops create-db.sh at the offending line.

create exception KVX_REPO_ERROR 'Initial repository: inconsistent row';

set term ^ ;

-------------------------------------------------------------------------------
-- Lookups

-- Id of the object of a table.
create procedure KVX_OBJ (ATABLE varchar(31))
returns (ID integer)
as
begin
  ID = null;
  select OBJ_ID from OBJ where OBJ_TABLE = :ATABLE into :ID;
  if (ID is null) then
    exception KVX_REPO_ERROR 'No object with the table ' || ATABLE;
end^

-- Id of a field of an object, by column name.
create procedure KVX_FLD_OF (AOBJ_ID integer, AFIELD varchar(31))
returns (ID integer)
as
begin
  ID = null;
  select FLD_ID from FLD where OBJ_ID = :AOBJ_ID and FLD_FIELD = :AFIELD into :ID;
  if (ID is null) then
    exception KVX_REPO_ERROR 'No field ' || AFIELD || ' in the object ' || AOBJ_ID;
end^

create procedure KVX_FLD (ATABLE varchar(31), AFIELD varchar(31))
returns (ID integer)
as
  declare O integer;
begin
  execute procedure KVX_OBJ(:ATABLE) returning_values :O;
  execute procedure KVX_FLD_OF(:O, :AFIELD) returning_values :ID;
end^

-- Id of a code-table row by its code name (the names the program knows).
create procedure KVX_CODE (ATABLE varchar(31), ANAME varchar(31))
returns (ID integer)
as
begin
  ID = null;
  if (ATABLE = 'FLDTYPE') then
    select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = :ANAME into :ID;
  else if (ATABLE = 'FKRULE') then
    select FKRULE_ID from FKRULE where FKRULE_NAME = :ANAME into :ID;
  else if (ATABLE = 'FRMLFUNC') then
    select FRMLFUNC_ID from FRMLFUNC where FRMLFUNC_NAME = :ANAME into :ID;
  else if (ATABLE = 'FLTRTRTP') then
    select FLTRTRTP_ID from FLTRTRTP where FLTRTRTP_NAME = :ANAME into :ID;
  else if (ATABLE = 'CTRLTRTP') then
    select CTRLTRTP_ID from CTRLTRTP where CTRLTRTP_NAME = :ANAME into :ID;
  if (ID is null) then
    exception KVX_REPO_ERROR 'No row ' || ANAME || ' in the code table ' || ATABLE;
end^

-- Code name of a field's type.
create procedure KVX_FLD_TYPE (AFLD_ID integer)
returns (NAME varchar(31))
as
begin
  NAME = null;
  select T.FLDTYPE_NAME from FLD F join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID
    where F.FLD_ID = :AFLD_ID into :NAME;
end^

-- The object a stored link field of an object points to, through its link
-- row. Virtual link fields have no link row and cannot be followed.
create procedure KVX_FOLLOW (AOBJ_ID integer, AFIELD varchar(31))
returns (FLD_ID integer, MASTER_ID integer)
as
  declare T varchar(31);
begin
  execute procedure KVX_FLD_OF(:AOBJ_ID, :AFIELD) returning_values :FLD_ID;
  execute procedure KVX_FLD_TYPE(:FLD_ID) returning_values :T;
  MASTER_ID = null;
  select D.OBJ_ID from DEP D join FLD F on F.FLD_ID = D.FLD_ID
    where D.FLD_ID = :FLD_ID and F.FLD_VIRT = 0 into :MASTER_ID;
  if (T is distinct from 'FK' or MASTER_ID is null) then
    exception KVX_REPO_ERROR 'Not a stored link field: ' || AFIELD;
end^

-- Splits a path "A_ID, B_ID" (link fields, first link first): returns the
-- first element and the rest.
create procedure KVX_PATH_HEAD (APATH varchar(250))
returns (HEAD varchar(31), REST varchar(250))
as
  declare K integer;
begin
  K = position(',' in APATH);
  if (K = 0) then
  begin
    HEAD = trim(APATH);
    REST = '';
  end
  else
  begin
    HEAD = trim(substring(APATH from 1 for K - 1));
    REST = trim(substring(APATH from K + 1));
  end
end^

-- The object a path of link fields leads to, starting at an object.
create procedure KVX_PATH_END (AOBJ_ID integer, APATH varchar(250))
returns (OBJ_ID integer)
as
  declare P varchar(250);
  declare E varchar(31);
  declare F integer;
begin
  OBJ_ID = AOBJ_ID;
  P = trim(coalesce(APATH, ''));
  while (P <> '') do
  begin
    execute procedure KVX_PATH_HEAD(:P) returning_values :E, :P;
    execute procedure KVX_FOLLOW(:OBJ_ID, :E) returning_values :F, :OBJ_ID;
  end
end^

-------------------------------------------------------------------------------
-- Objects, fields, links

create procedure KVX_ADD_OBJ (ATABLE varchar(31), ACAPT varchar(100), ACAPT2 varchar(100),
  AMETA smallint, AREF smallint, ASYS smallint)
as
begin
  insert into OBJ (OBJ_ID, OBJ_TABLE, OBJ_CAPT, OBJ_CAPT2, OBJ_META, OBJ_REF, OBJ_SYS)
    values (next value for OBJ_ID, :ATABLE, :ACAPT, :ACAPT2, :AMETA, :AREF, :ASYS);
end^

-- A field row. AFLAGS: N = not null, 0 = default 0, V = virtual (no column).
-- The rest follows what the field editor stores: a size only for string and
-- template fields (0 for every other type), the system flag of a key field
-- always set, of any other field taken from its object's system flag.
create procedure KVX_ADD_FLD (ATABLE varchar(31), AFIELD varchar(31), ATYPE varchar(31),
  ACAPT varchar(100), ASIZE integer, AFLAGS varchar(8))
as
  declare O integer;
  declare T integer;
  declare S smallint;
begin
  execute procedure KVX_OBJ(:ATABLE) returning_values :O;
  execute procedure KVX_CODE('FLDTYPE', :ATYPE) returning_values :T;
  select OBJ_SYS from OBJ where OBJ_ID = :O into :S;
  if (ATYPE = 'PK') then
    S = 1;
  if (ATYPE not in ('String', 'ObjTempl')) then
    ASIZE = 0;
  else if (coalesce(ASIZE, 0) = 0) then
    exception KVX_REPO_ERROR 'No size for the string field ' || AFIELD;
  AFLAGS = coalesce(AFLAGS, '');
  insert into FLD (FLD_ID, OBJ_ID, FLD_FIELD, FLDTYPE_ID, FLD_SIZE, FLD_NOTNULL, FLD_CAPT,
      FLD_VIRT, FLD_SYS, FLD_DEF0)
    values (next value for FLD_ID, :O, :AFIELD, :T, :ASIZE,
      iif(position('N' in :AFLAGS) > 0, 1, 0), :ACAPT,
      iif(position('V' in :AFLAGS) > 0, 1, 0), :S,
      iif(position('0' in :AFLAGS) > 0, 1, 0));
end^

-- A link from a master object to a stored link field of a detail object.
-- The link inherits the system flag of its field, as the field editor does.
create procedure KVX_ADD_DEP (AMASTER varchar(31), ADETAIL varchar(31), AFIELD varchar(31),
  ARULE varchar(31), ANAME varchar(50), ACAPT varchar(100), AMAIN smallint, ADET smallint)
as
  declare M integer;
  declare F integer;
  declare R integer;
  declare S smallint;
  declare T varchar(31);
  declare V smallint;
begin
  execute procedure KVX_OBJ(:AMASTER) returning_values :M;
  execute procedure KVX_FLD(:ADETAIL, :AFIELD) returning_values :F;
  execute procedure KVX_CODE('FKRULE', :ARULE) returning_values :R;
  execute procedure KVX_FLD_TYPE(:F) returning_values :T;
  select FLD_SYS, FLD_VIRT from FLD where FLD_ID = :F into :S, :V;
  if (T is distinct from 'FK' or V = 1) then
    exception KVX_REPO_ERROR 'A link needs a stored link field: ' || ADETAIL || '.' || AFIELD;
  insert into DEP (DEP_ID, OBJ_ID, FLD_ID, FKRULE_ID, DEP_MAIN, DEP_DET, DEP_CAPT, DEP_SYS, DEP_NAME)
    values (next value for DEP_ID, :M, :F, :R, :AMAIN, :ADET, :ACAPT, :S, :ANAME);
end^

-- Makes a field a summing field: the link (by name) from the field's own
-- object to the detail object, and the detail field it sums.
create procedure KVX_SET_AGR (ATABLE varchar(31), AFIELD varchar(31), ADEP_NAME varchar(50),
  AAGR_FIELD varchar(31))
as
  declare F integer;
  declare O integer;
  declare D integer;
  declare M integer;
  declare DET integer;
  declare A integer;
begin
  execute procedure KVX_FLD(:ATABLE, :AFIELD) returning_values :F;
  select OBJ_ID from FLD where FLD_ID = :F into :O;
  D = null;
  select D.DEP_ID, D.OBJ_ID, L.OBJ_ID from DEP D join FLD L on L.FLD_ID = D.FLD_ID
    where D.DEP_NAME = :ADEP_NAME into :D, :M, :DET;
  if (D is null or M <> O) then
    exception KVX_REPO_ERROR 'The link ' || ADEP_NAME || ' is no child link of ' || ATABLE;
  execute procedure KVX_FLD_OF(:DET, :AAGR_FIELD) returning_values :A;
  update FLD set DEP_ID_AGR = :D, FLD_ID_AGR = :A where FLD_ID = :F;
end^

-------------------------------------------------------------------------------
-- Value templates

create procedure KVX_TEMPL (ATABLE varchar(31), ATEMPL varchar(250))
as
begin
  update OBJ set OBJ_TEMPL = :ATEMPL where OBJ_TABLE = :ATABLE;
  if (row_count = 0) then
    exception KVX_REPO_ERROR 'No object with the table ' || ATABLE;
end^

-- One template field: the field AFIELD of the object that the path of link
-- fields APATH leads to from the template's object ('' for its own field).
-- Template fields are read in key order, so they are added in the order of
-- the "%s" they fill; path rows likewise in path order.
create procedure KVX_TEMPL_FLD (ATABLE varchar(31), APATH varchar(250), AFIELD varchar(31))
as
  declare O integer;
  declare E_OBJ integer;
  declare F integer;
  declare V integer;
  declare P varchar(250);
  declare E varchar(31);
  declare L integer;
begin
  execute procedure KVX_OBJ(:ATABLE) returning_values :O;
  execute procedure KVX_PATH_END(:O, :APATH) returning_values :E_OBJ;
  execute procedure KVX_FLD_OF(:E_OBJ, :AFIELD) returning_values :F;
  P = trim(coalesce(APATH, ''));
  insert into OBJVALUE (OBJVALUE_ID, OBJ_ID, FLD_ID, OBJVALUE_PATHHAVE)
    values (next value for OBJVALUE_ID, :O, :F, iif(:P = '', 0, 1))
    returning OBJVALUE_ID into :V;
  E_OBJ = O;
  while (P <> '') do
  begin
    execute procedure KVX_PATH_HEAD(:P) returning_values :E, :P;
    execute procedure KVX_FOLLOW(:E_OBJ, :E) returning_values :L, :E_OBJ;
    insert into OBJVALPT (OBJVALPT_ID, OBJVALUE_ID, FLD_ID)
      values (next value for OBJVALPT_ID, :V, :L);
  end
end^

-------------------------------------------------------------------------------
-- Formulas

-- One node of a computed field's formula, with the bounds given (the caller
-- writes the nodes of one formula in pre-order). A function node names its
-- function; a field node its field, reached from the formula field's object
-- through the path APATH; a constant node its value. The formula field gets
-- its "has a formula" flag.
create procedure KVX_FRML (ATABLE varchar(31), AFIELD varchar(31), ALFT integer, ARGT integer,
  AFUNC varchar(31), APATH varchar(250), AVALUE_FIELD varchar(31), ACONST varchar(250))
as
  declare O integer;
  declare F integer;
  declare FN integer;
  declare E_OBJ integer;
  declare VF integer;
  declare N integer;
  declare P varchar(250);
  declare E varchar(31);
  declare L integer;
begin
  execute procedure KVX_OBJ(:ATABLE) returning_values :O;
  execute procedure KVX_FLD_OF(:O, :AFIELD) returning_values :F;
  FN = null;
  if (AFUNC is not null) then
    execute procedure KVX_CODE('FRMLFUNC', :AFUNC) returning_values :FN;
  VF = null;
  P = trim(coalesce(APATH, ''));
  if (AVALUE_FIELD is not null) then
  begin
    execute procedure KVX_PATH_END(:O, :P) returning_values :E_OBJ;
    execute procedure KVX_FLD_OF(:E_OBJ, :AVALUE_FIELD) returning_values :VF;
  end
  insert into FRMLTREE (FRMLTREE_ID, FLD_ID, FRMLTREE_LFT, FRMLTREE_RGT, FRMLFUNC_ID,
      FLD_ID_VALUE, FRMLTREE_VALUE, FRMLTREE_PATHHAVE)
    values (next value for FRMLTREE_ID, :F, :ALFT, :ARGT, :FN, :VF, :ACONST,
      iif(:P = '', 0, 1))
    returning FRMLTREE_ID into :N;
  E_OBJ = O;
  while (P <> '') do
  begin
    execute procedure KVX_PATH_HEAD(:P) returning_values :E, :P;
    execute procedure KVX_FOLLOW(:E_OBJ, :E) returning_values :L, :E_OBJ;
    insert into FRMLTRPT (FRMLTRPT_ID, FRMLTREE_ID, FLD_ID)
      values (next value for FRMLTRPT_ID, :N, :L);
  end
  update FLD set FLD_FRMLHAVE = 1 where FLD_ID = :F;
end^

-------------------------------------------------------------------------------
-- Table views

-- A view with its root node, the key field of the view's object (bounds 1
-- and 2), as the view editor writes a new view. AOBJ_ID is the object whose
-- records the view shows; ASTORE_OBJ says whether it goes into TBL.OBJ_ID;
-- ADEP_ID, when given, makes it a view of that link's detail records.
create procedure KVX_TBL_NEW (AOBJ_ID integer, ASTORE_OBJ smallint, ADEP_ID integer,
  ANAME varchar(50), ACAPT varchar(100), ADEFAULT smallint, ADEV smallint)
returns (TBL_ID integer)
as
  declare K integer;
begin
  K = null;
  select F.FLD_ID from FLD F join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID
    where F.OBJ_ID = :AOBJ_ID and T.FLDTYPE_NAME = 'PK' into :K;
  if (K is null) then
    exception KVX_REPO_ERROR 'No key field in the object ' || AOBJ_ID;
  insert into TBL (TBL_ID, OBJ_ID, DEP_ID, TBL_NAME, TBL_CAPT, TBL_DEFAULT, TBL_DEV)
    values (next value for TBL_ID, iif(:ASTORE_OBJ = 1, :AOBJ_ID, null), :ADEP_ID, :ANAME,
      :ACAPT, :ADEFAULT, :ADEV)
    returning TBL_ID into :TBL_ID;
  insert into TBLTREE (TBLTREE_ID, TBL_ID, FLD_ID, TBLTREE_LFT, TBLTREE_RGT)
    values (next value for TBLTREE_ID, :TBL_ID, :K, 1, 2);
end^

-- Appends a node as the last child of a node: everything from the parent's
-- right bound on moves two places to the right, so the tree stays numbered
-- 1 .. 2n in pre-order after every step.
create procedure KVX_TBL_NODE (ATBL_ID integer, APARENT_ID integer, AFLD_ID integer)
returns (NODE_ID integer)
as
  declare R integer;
begin
  select TBLTREE_RGT from TBLTREE where TBLTREE_ID = :APARENT_ID into :R;
  update TBLTREE set TBLTREE_RGT = TBLTREE_RGT + 2
    where TBL_ID = :ATBL_ID and TBLTREE_RGT >= :R;
  update TBLTREE set TBLTREE_LFT = TBLTREE_LFT + 2
    where TBL_ID = :ATBL_ID and TBLTREE_LFT > :R;
  insert into TBLTREE (TBLTREE_ID, TBL_ID, FLD_ID, TBLTREE_LFT, TBLTREE_RGT)
    values (next value for TBLTREE_ID, :ATBL_ID, :AFLD_ID, :R, :R + 1)
    returning TBLTREE_ID into :NODE_ID;
end^

-- The direct child of a node that names a field, created when missing
-- (link nodes are shared by every column reached through them).
create procedure KVX_TBL_CHILD (ATBL_ID integer, APARENT_ID integer, AFLD_ID integer)
returns (NODE_ID integer)
as
  declare PL integer;
  declare PR integer;
begin
  select TBLTREE_LFT, TBLTREE_RGT from TBLTREE where TBLTREE_ID = :APARENT_ID into :PL, :PR;
  NODE_ID = null;
  select N.TBLTREE_ID from TBLTREE N
    where N.TBL_ID = :ATBL_ID and N.FLD_ID = :AFLD_ID
      and N.TBLTREE_LFT > :PL and N.TBLTREE_RGT < :PR
      and not exists (select 1 from TBLTREE M
        where M.TBL_ID = :ATBL_ID and M.TBLTREE_LFT > :PL and M.TBLTREE_RGT < :PR
          and M.TBLTREE_LFT < N.TBLTREE_LFT and M.TBLTREE_RGT > N.TBLTREE_RGT)
    into :NODE_ID;
  if (NODE_ID is null) then
    execute procedure KVX_TBL_NODE(:ATBL_ID, :APARENT_ID, :AFLD_ID) returning_values :NODE_ID;
end^

-- Under the node of a link field: the master's template fields, each under
-- the link nodes of its template path. A link column thus shows the master
-- record as its value template shows it.
create procedure KVX_TBL_MASTER (ATBL_ID integer, ANODE_ID integer, AMASTER_ID integer)
as
  declare V integer;
  declare F integer;
  declare P integer;
  declare N integer;
begin
  for select OBJVALUE_ID, FLD_ID from OBJVALUE where OBJ_ID = :AMASTER_ID
      order by OBJVALUE_ID into :V, :F do
  begin
    N = ANODE_ID;
    for select FLD_ID from OBJVALPT where OBJVALUE_ID = :V order by OBJVALPT_ID into :P do
      execute procedure KVX_TBL_CHILD(:ATBL_ID, :N, :P) returning_values :N;
    execute procedure KVX_TBL_CHILD(:ATBL_ID, :N, :F) returning_values :N;
  end
end^

-- A column of a view: the field AFIELD of the object that the path of link
-- fields APATH leads to from the view's object. A stored link field as the
-- column gets the master's template fields below it.
create procedure KVX_TBL_COL (ATBL_ID integer, APATH varchar(250), AFIELD varchar(31))
as
  declare O integer;
  declare N integer;
  declare P varchar(250);
  declare E varchar(31);
  declare L integer;
  declare F integer;
  declare M integer;
  declare T varchar(31);
begin
  -- Columns start at the object whose key the root node holds: the view's
  -- own object, or the detail object of its link.
  select R.TBLTREE_ID, F.OBJ_ID from TBLTREE R join FLD F on F.FLD_ID = R.FLD_ID
    where R.TBL_ID = :ATBL_ID and R.TBLTREE_LFT = 1 into :N, :O;
  P = trim(coalesce(APATH, ''));
  while (P <> '') do
  begin
    execute procedure KVX_PATH_HEAD(:P) returning_values :E, :P;
    execute procedure KVX_FOLLOW(:O, :E) returning_values :L, :O;
    execute procedure KVX_TBL_CHILD(:ATBL_ID, :N, :L) returning_values :N;
  end
  execute procedure KVX_FLD_OF(:O, :AFIELD) returning_values :F;
  execute procedure KVX_FLD_TYPE(:F) returning_values :T;
  if (T = 'FK') then
  begin
    execute procedure KVX_FOLLOW(:O, :AFIELD) returning_values :F, :M;
    execute procedure KVX_TBL_CHILD(:ATBL_ID, :N, :F) returning_values :N;
    execute procedure KVX_TBL_MASTER(:ATBL_ID, :N, :M);
  end
  else
    execute procedure KVX_TBL_CHILD(:ATBL_ID, :N, :F) returning_values :N;
end^

-- The standard view of an object: every stored field but the key in field
-- order, link fields through their masters' templates. AEXCL_FLD_ID leaves
-- out one field (the link field of a link's view: every row holds the same
-- master there).
create procedure KVX_TBL_DEFAULT (AOBJ_ID integer, ASTORE_OBJ smallint, ADEP_ID integer,
  AEXCL_FLD_ID integer, ANAME varchar(50), ACAPT varchar(100), ADEFAULT smallint)
returns (TBL_ID integer)
as
  declare F varchar(31);
begin
  execute procedure KVX_TBL_NEW(:AOBJ_ID, :ASTORE_OBJ, :ADEP_ID, :ANAME, :ACAPT, :ADEFAULT, 0)
    returning_values :TBL_ID;
  for select F.FLD_FIELD from FLD F join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID
      where F.OBJ_ID = :AOBJ_ID and F.FLD_VIRT = 0 and T.FLDTYPE_NAME <> 'PK'
        and F.FLD_ID <> coalesce(:AEXCL_FLD_ID, -1)
      order by F.FLD_ID into :F do
    execute procedure KVX_TBL_COL(:TBL_ID, '', :F);
end^

-- A view of the detail records of a link (by link name). Without
-- AKEEP_LINK_FIELD the link field is left out: every row of such a view has
-- the same master. ASTORE_OBJ also stores the detail object in OBJ_ID (see
-- 11-repo-views.sql for which views do).
create procedure KVX_TBL_LINK (ADEP_NAME varchar(50), ANAME varchar(50), ACAPT varchar(100),
  AKEEP_LINK_FIELD smallint, ADEFAULT smallint, ASTORE_OBJ smallint)
returns (TBL_ID integer)
as
  declare D integer;
  declare O integer;
  declare F integer;
begin
  D = null;
  select D.DEP_ID, L.OBJ_ID, D.FLD_ID from DEP D join FLD L on L.FLD_ID = D.FLD_ID
    where D.DEP_NAME = :ADEP_NAME into :D, :O, :F;
  if (D is null) then
    exception KVX_REPO_ERROR 'No link named ' || ADEP_NAME;
  execute procedure KVX_TBL_DEFAULT(:O, :ASTORE_OBJ, :D, iif(:AKEEP_LINK_FIELD = 1, null, :F),
      :ANAME, :ACAPT, :ADEFAULT)
    returning_values :TBL_ID;
end^

-------------------------------------------------------------------------------
-- Filters

-- One condition node of a filter, with the bounds given (pre-order). A node
-- that tests a field names it by the object the filter's table shows and
-- the path of link fields from there (first link first).
create procedure KVX_FLTR_NODE (AFLTR_ID integer, ALFT integer, ARGT integer, ATYPE varchar(31),
  AOBJ_TABLE varchar(31), APATH varchar(250), AFIELD varchar(31), ANAME varchar(50),
  ANOT smallint, AVALUE varchar(250))
as
  declare T integer;
  declare O integer;
  declare E_OBJ integer;
  declare F integer;
  declare N integer;
  declare P varchar(250);
  declare E varchar(31);
  declare L integer;
begin
  execute procedure KVX_CODE('FLTRTRTP', :ATYPE) returning_values :T;
  F = null;
  P = trim(coalesce(APATH, ''));
  if (AFIELD is not null) then
  begin
    execute procedure KVX_OBJ(:AOBJ_TABLE) returning_values :O;
    execute procedure KVX_PATH_END(:O, :P) returning_values :E_OBJ;
    execute procedure KVX_FLD_OF(:E_OBJ, :AFIELD) returning_values :F;
  end
  insert into FLTRTREE (FLTRTREE_ID, FLTR_ID, FLTRTRTP_ID, FLD_ID, FLTRTREE_LFT, FLTRTREE_RGT,
      FLTRTREE_NAME, FLTRTREE_NOT, FLTRTREE_PATHHAVE, FLTRTREE_VALUE)
    values (next value for FLTRTREE_ID, :AFLTR_ID, :T, :F, :ALFT, :ARGT,
      :ANAME, :ANOT, iif(:P = '', 0, 1), :AVALUE)
    returning FLTRTREE_ID into :N;
  E_OBJ = O;
  while (P <> '') do
  begin
    execute procedure KVX_PATH_HEAD(:P) returning_values :E, :P;
    execute procedure KVX_FOLLOW(:E_OBJ, :E) returning_values :L, :E_OBJ;
    insert into FLTRTRPT (FLTRTRPT_ID, FLTRTREE_ID, FLD_ID)
      values (next value for FLTRTRPT_ID, :N, :L);
  end
end^

-------------------------------------------------------------------------------
-- Cards

-- Card geometry, in pixels, on the designer's grid (8 across, 22 down):
-- labels at the left (8), field controls from the left 160, one row per 22
-- pixels from the top 8, the label two pixels lower than its control. Wide
-- controls (texts, links, formulas, templates) are 240 wide, numbers, dates
-- and short texts 120, check boxes 16 x 17, date pickers 21 high.
-- Up to ten controls stand on the card itself; more go onto tab sheets of
-- eight rows each in a page control.

create procedure KVX_CARD_NEW (AOBJ_ID integer, ANAME varchar(50), ACAPT varchar(100),
  ADEFAULT smallint, ADEV smallint, AWIDTH integer, AHEIGHTATR integer, AHEIGHTDET integer)
returns (CARD_ID integer, ROOT_ID integer)
as
  declare R integer;
begin
  insert into CARD (CARD_ID, OBJ_ID, CARD_NAME, CARD_CAPT, CARD_DEFAULT, CARD_DEV,
      CARD_HEIGHTATR, CARD_HEIGHTDET, CARD_WIDTH)
    values (next value for CARD_ID, :AOBJ_ID, :ANAME, :ACAPT, :ADEFAULT, :ADEV,
      :AHEIGHTATR, :AHEIGHTDET, :AWIDTH)
    returning CARD_ID into :CARD_ID;
  execute procedure KVX_CODE('CTRLTRTP', 'Root') returning_values :R;
  insert into CTRLTREE (CTRLTREE_ID, CARD_ID, CTRLTRTP_ID, CTRLTREE_LFT, CTRLTREE_RGT)
    values (next value for CTRLTREE_ID, :CARD_ID, :R, 1, 2)
    returning CTRLTREE_ID into :ROOT_ID;
end^

-- Appends a control as the last child of a node (bounds kept 1 .. 2n).
create procedure KVX_CTRL_NODE (ACARD_ID integer, APARENT_ID integer, ATYPE varchar(31),
  AFLD_ID integer, ACAPT varchar(100),
  ACLEFT integer, ACTOP integer, ACWIDTH integer, ACHEIGHT integer,
  ALLEFT integer, ALTOP integer, ALWIDTH integer, ALHEIGHT integer,
  AROADD smallint, AROEDT smallint)
returns (NODE_ID integer)
as
  declare R integer;
  declare T integer;
begin
  execute procedure KVX_CODE('CTRLTRTP', :ATYPE) returning_values :T;
  select CTRLTREE_RGT from CTRLTREE where CTRLTREE_ID = :APARENT_ID into :R;
  update CTRLTREE set CTRLTREE_RGT = CTRLTREE_RGT + 2
    where CARD_ID = :ACARD_ID and CTRLTREE_RGT >= :R;
  update CTRLTREE set CTRLTREE_LFT = CTRLTREE_LFT + 2
    where CARD_ID = :ACARD_ID and CTRLTREE_LFT > :R;
  insert into CTRLTREE (CTRLTREE_ID, CARD_ID, CTRLTRTP_ID, FLD_ID, CTRLTREE_LFT, CTRLTREE_RGT,
      CTRLTREE_CAPT, CTRLTREE_CLEFT, CTRLTREE_CTOP, CTRLTREE_CWIDTH, CTRLTREE_CHEIGHT,
      CTRLTREE_LLEFT, CTRLTREE_LTOP, CTRLTREE_LWIDTH, CTRLTREE_LHEIGHT,
      CTRLTREE_ROADD, CTRLTREE_ROEDT)
    values (next value for CTRLTREE_ID, :ACARD_ID, :T, :AFLD_ID, :R, :R + 1,
      :ACAPT, :ACLEFT, :ACTOP, :ACWIDTH, :ACHEIGHT,
      :ALLEFT, :ALTOP, :ALWIDTH, :ALHEIGHT,
      :AROADD, :AROEDT)
    returning CTRLTREE_ID into :NODE_ID;
end^

-- The control of a field in row AROW (from 0) of its page or card.
-- Control type by field type, as the card designer places a new field (the
-- formula text of a field row gets the formula control that edits it).
-- Read-only: the key; a summing field (the payment's sum excepted when a
-- payment is added, since the payment card spreads what is typed there);
-- the link field of a main link to a master that is not a reference book
-- (the card of a detail record opened under its master); a field computed
-- from other fields (defaults such as today, the current user or the
-- master's key stay editable).
create procedure KVX_CTRL_FLD (ACARD_ID integer, APARENT_ID integer, AFLD_ID integer,
  AROW integer, AWIDE integer)
returns (NODE_ID integer)
as
  declare T varchar(31);
  declare C varchar(31);
  declare FIELD varchar(31);
  declare SZ integer;
  declare W integer;
  declare H integer;
  declare RA smallint;
  declare RE smallint;
  declare AGR integer;
  declare FRML smallint;
  declare ROOTFUNC varchar(31);
  declare MAINLINK smallint;
begin
  execute procedure KVX_FLD_TYPE(:AFLD_ID) returning_values :T;
  select FLD_FIELD, FLD_SIZE, DEP_ID_AGR, FLD_FRMLHAVE from FLD where FLD_ID = :AFLD_ID
    into :FIELD, :SZ, :AGR, :FRML;
  C = case :T
    when 'PK' then 'EditInt'
    when 'String' then 'EditStr'
    when 'FK' then 'EditObj'
    when 'Integ' then 'EditInt'
    when 'Boolean' then 'CheckBox'
    when 'Num182' then 'EditNum182'
    when 'Num183' then 'EditNum183'
    when 'Num184' then 'EditNum184'
    when 'Date' then 'DateEdit'
    when 'Formula' then 'Formula'
    when 'ObjTempl' then 'ObjTempl'
  end;
  if (FIELD = 'FLD_FRML_V') then
    C = 'Formula';
  W = AWIDE;
  H = null;
  if (C = 'CheckBox') then
  begin
    W = 16;
    H = 17;
  end
  else if (C = 'DateEdit') then
  begin
    W = 120;
    H = 21;
  end
  else if (C in ('EditInt', 'EditNum182', 'EditNum183', 'EditNum184')) then
    W = 120;
  else if (C = 'EditStr' and SZ <= 20) then
    W = 120;

  RA = 0;
  RE = 0;
  ROOTFUNC = null;
  select N.FRMLFUNC_NAME from FRMLTREE R join FRMLFUNC N on N.FRMLFUNC_ID = R.FRMLFUNC_ID
    where R.FLD_ID = :AFLD_ID and R.FRMLTREE_LFT = 1 into :ROOTFUNC;
  MAINLINK = 0;
  select 1 from DEP D join OBJ M on M.OBJ_ID = D.OBJ_ID
    where D.FLD_ID = :AFLD_ID and D.DEP_MAIN = 1 and M.OBJ_REF = 0 into :MAINLINK;
  if (T = 'PK') then
  begin
    RA = 1;
    RE = 1;
  end
  else if (AGR is not null) then
  begin
    RA = iif(FIELD = 'DEALPAYM_SUM', 0, 1);
    RE = 1;
  end
  else if (MAINLINK = 1) then
  begin
    RA = 1;
    RE = 1;
  end
  else if (FRML = 1 and ROOTFUNC is distinct from 'CurD' and ROOTFUNC is distinct from 'CurU'
      and ROOTFUNC is distinct from 'ParId') then
  begin
    RA = 1;
    RE = 1;
  end

  execute procedure KVX_CTRL_NODE(:ACARD_ID, :APARENT_ID, :C, :AFLD_ID, null,
      160, 8 + 22 * :AROW, :W, :H, 8, 10 + 22 * :AROW, 144, 16, :RA, :RE)
    returning_values :NODE_ID;
end^

-- The standard card of an object: every field, virtual ones included (the
-- editors read them), in field order.
create procedure KVX_CARD_DEFAULT (AOBJ_ID integer, ANAME varchar(50), ACAPT varchar(100),
  ADEFAULT smallint)
returns (CARD_ID integer)
as
  declare N integer;
  declare I integer;
  declare ROOT integer;
  declare PC integer;
  declare TS integer;
  declare NODE integer;
  declare F integer;
  declare ROWS_ON_PAGE integer;
  declare PAGE_H integer;
  declare ATR_H integer;
begin
  select count(*) from FLD where OBJ_ID = :AOBJ_ID into :N;
  if (N <= 10) then
  begin
    ATR_H = 16 + 22 * N;
    ATR_H = ((ATR_H + 7) / 8) * 8;
    execute procedure KVX_CARD_NEW(:AOBJ_ID, :ANAME, :ACAPT, :ADEFAULT, 0, 416, :ATR_H, 200)
      returning_values :CARD_ID, :ROOT;
    I = 0;
    for select FLD_ID from FLD where OBJ_ID = :AOBJ_ID order by FLD_ID into :F do
    begin
      execute procedure KVX_CTRL_FLD(:CARD_ID, :ROOT, :F, :I, 240) returning_values :NODE;
      I = I + 1;
    end
  end
  else
  begin
    -- tab bar (up to 32) + rows of the fullest page + margins, on the 8 grid
    ROWS_ON_PAGE = 8;
    PAGE_H = 32 + 16 + 22 * ROWS_ON_PAGE;
    PAGE_H = ((PAGE_H + 7) / 8) * 8;
    ATR_H = PAGE_H + 16;
    execute procedure KVX_CARD_NEW(:AOBJ_ID, :ANAME, :ACAPT, :ADEFAULT, 0, 432, :ATR_H, 200)
      returning_values :CARD_ID, :ROOT;
    execute procedure KVX_CTRL_NODE(:CARD_ID, :ROOT, 'PageControl', null, null,
        8, 8, 416, :PAGE_H, null, null, null, null, 0, 0)
      returning_values :PC;
    I = 0;
    for select FLD_ID from FLD where OBJ_ID = :AOBJ_ID order by FLD_ID into :F do
    begin
      if (mod(I, ROWS_ON_PAGE) = 0) then
        execute procedure KVX_CTRL_NODE(:CARD_ID, :PC, 'TabSheet', null,
            case I / ROWS_ON_PAGE when 0 then 'Основное' when 1 then 'Дополнительно'
              when 2 then 'Прочее' else 'Прочее ' || (I / ROWS_ON_PAGE - 1) end,
            null, null, null, null, null, null, null, null, 0, 0)
          returning_values :TS;
      execute procedure KVX_CTRL_FLD(:CARD_ID, :TS, :F, mod(:I, :ROWS_ON_PAGE), 240)
        returning_values :NODE;
      I = I + 1;
    end
  end
end^

-------------------------------------------------------------------------------
-- Detail books

-- The standard detail book of a master: every link of the object flagged as
-- a detail link, in link order. Objects without such links get none.
create procedure KVX_DETBOOK_DEFAULT (AOBJ_ID integer, ACAPT varchar(100))
returns (DETBOOK_ID integer)
as
  declare D integer;
begin
  DETBOOK_ID = null;
  if (exists (select 1 from DEP where OBJ_ID = :AOBJ_ID and DEP_DET = 1)) then
  begin
    insert into DETBOOK (DETBOOK_ID, OBJ_ID, DETBOOK_NAME, DETBOOK_CAPT, DETBOOK_DEFAULT, DETBOOK_DEV)
      values (next value for DETBOOK_ID, :AOBJ_ID, null, :ACAPT, 1, 0)
      returning DETBOOK_ID into :DETBOOK_ID;
    for select DEP_ID from DEP where OBJ_ID = :AOBJ_ID and DEP_DET = 1 order by DEP_ID into :D do
      insert into DETDEP (DETDEP_ID, DETBOOK_ID, DEP_ID)
        values (next value for DETDEP_ID, :DETBOOK_ID, :D);
  end
end^

set term ; ^

commit;
