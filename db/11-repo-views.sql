-- Table views, cards, detail books and filters of the initial repository.
--
-- Every object, meta objects included, gets one default table view, one
-- default card and, when it has detail links, one default detail book: the
-- data windows open the user's choice or else the default, the value picker
-- of a link field opens the default view of the linked object, and the
-- configurator's lists and cards are windows of the meta objects. Every
-- detail link gets a default view of its detail records (the detail tables
-- of a card open the link's view). They are laid out by the procedures of
-- 08-repo-tools.sql, one rule for all.
--
-- Then the rows the configurator loads by name, a second view and a second
-- card chosen by the user admin, and an always-on filter.

set term ^ ;

-------------------------------------------------------------------------------
-- Defaults for every object and every detail link. The configurator opens
-- the objects list by the view "Obj" and the cards of its six metadata
-- lists by name; those are the default view and cards of their objects.

execute block
as
  declare O integer;
  declare T varchar(31);
  declare C varchar(100);
  declare N varchar(50);
  declare ID integer;
begin
  for select OBJ_ID, OBJ_TABLE, OBJ_CAPT from OBJ order by OBJ_ID into :O, :T, :C do
  begin
    N = null;
    if (T = 'OBJ') then
      N = 'Obj';
    execute procedure KVX_TBL_DEFAULT(:O, 1, null, null, :N, :C, 1) returning_values :ID;
    N = case :T
      when 'OBJ' then 'Obj'
      when 'FLD' then 'Fld'
      when 'DEP' then 'ChildObj'
      when 'TBL' then 'Tbl'
      when 'CARD' then 'Card'
      when 'DETBOOK' then 'DetBook'
    end;
    execute procedure KVX_CARD_DEFAULT(:O, :N, :C, 1) returning_values :ID;
    execute procedure KVX_DETBOOK_DEFAULT(:O, :C) returning_values :ID;
  end

  -- A link's default view holds the link only (no OBJ_ID): the detail
  -- object's own default view is then the only default found through its
  -- object.
  for select DEP_NAME, DEP_CAPT from DEP where DEP_DET = 1 order by DEP_ID into :N, :C do
    execute procedure KVX_TBL_LINK(:N, null, :C, 0, 1, 0) returning_values :ID;
end^

-------------------------------------------------------------------------------
-- The configurator's lists: views of links opened by name. They also keep
-- their detail object in OBJ_ID, since the configurator's lists open their
-- named cards for the object of the view they show. Not defaults, so the
-- objects' own default views stay the only ones found through the objects.
--   "Fld"        fields of the selected object (link OBJ - FLD)
--   "ChildLink"  links whose master is the selected object (DEP.OBJ_ID)
--   "ParentLink" links into the selected object; the list re-points its
--                filter to the link field's object, so the view keeps the
--                link field (DEP.FLD_ID) as a column
--   "Tbl"        views of the selected object, and views of the selected link
--   "Card"       cards of the selected object
--   "DetBook"    detail books of the selected object

execute block
as
  declare ID integer;
begin
  execute procedure KVX_TBL_LINK('Obj-Fld', 'Fld', 'Поля', 0, 0, 1) returning_values :ID;
  execute procedure KVX_TBL_LINK('Obj-Dep', 'ChildLink', 'Подчинённые связи', 0, 0, 1) returning_values :ID;
  execute procedure KVX_TBL_LINK('Fld-Dep', 'ParentLink', 'Связи с главными объектами', 1, 0, 1) returning_values :ID;
  execute procedure KVX_TBL_LINK('Obj-Tbl', 'Tbl', 'Табличные представления', 0, 0, 1) returning_values :ID;
  execute procedure KVX_TBL_LINK('Dep-Tbl', 'Tbl', 'Табличные представления связи', 0, 0, 1) returning_values :ID;
  execute procedure KVX_TBL_LINK('Obj-Card', 'Card', 'Карточки', 0, 0, 1) returning_values :ID;
  execute procedure KVX_TBL_LINK('Obj-DetBook', 'DetBook', 'Наборы деталей', 0, 0, 1) returning_values :ID;
end^

-------------------------------------------------------------------------------
-- Pickers of the field card's summing controls: the view and always-on
-- filter "AgrLink" (links whose master is the edited field's object; the
-- picker sets the root node's value) and "AgrFld" (fields of the link's
-- detail object of the summing field's type; the picker sets the nodes
-- "Obj" and "Type").

execute block
as
  declare O integer;
  declare T integer;
  declare F integer;
begin
  execute procedure KVX_OBJ('DEP') returning_values :O;
  execute procedure KVX_TBL_NEW(:O, 1, null, 'AgrLink', 'Связи для суммирования', 0, 0)
    returning_values :T;
  execute procedure KVX_TBL_COL(:T, '', 'DEP_CAPT');
  execute procedure KVX_TBL_COL(:T, '', 'DEP_NAME');
  execute procedure KVX_TBL_COL(:T, '', 'FLD_ID');
  insert into FLTR (FLTR_ID, FLTR_NAME, FLTR_ALWAYS, FLTR_DEV, TBL_ID)
    values (next value for FLTR_ID, 'AgrLink', 1, 0, :T)
    returning FLTR_ID into :F;
  execute procedure KVX_FLTR_NODE(:F, 1, 2, 'Equal', 'DEP', '', 'OBJ_ID', 'Obj', 0, null);

  execute procedure KVX_OBJ('FLD') returning_values :O;
  execute procedure KVX_TBL_NEW(:O, 1, null, 'AgrFld', 'Поля для суммирования', 0, 0)
    returning_values :T;
  execute procedure KVX_TBL_COL(:T, '', 'FLD_CAPT');
  execute procedure KVX_TBL_COL(:T, '', 'FLD_FIELD');
  execute procedure KVX_TBL_COL(:T, '', 'FLDTYPE_ID');
  insert into FLTR (FLTR_ID, FLTR_NAME, FLTR_ALWAYS, FLTR_DEV, TBL_ID)
    values (next value for FLTR_ID, 'AgrFld', 1, 0, :T)
    returning FLTR_ID into :F;
  execute procedure KVX_FLTR_NODE(:F, 1, 6, 'And', null, null, null, null, 0, null);
  execute procedure KVX_FLTR_NODE(:F, 2, 3, 'Equal', 'FLD', '', 'OBJ_ID', 'Obj', 0, null);
  execute procedure KVX_FLTR_NODE(:F, 4, 5, 'Equal', 'FLD', '', 'FLDTYPE_ID', 'Type', 0, null);
end^

-------------------------------------------------------------------------------
-- The formula editor's card "Value": the constant of a new constant node.

execute block
as
  declare O integer;
  declare C integer;
  declare R integer;
  declare F integer;
  declare N integer;
begin
  execute procedure KVX_OBJ('FRMLTREE') returning_values :O;
  execute procedure KVX_CARD_NEW(:O, 'Value', 'Значение', 0, 0, 416, 40, 200)
    returning_values :C, :R;
  execute procedure KVX_FLD_OF(:O, 'FRMLTREE_VALUE') returning_values :F;
  execute procedure KVX_CTRL_FLD(:C, :R, :F, 0, 240) returning_values :N;
end^

-------------------------------------------------------------------------------
-- A second view of the products: the price list, only active products that
-- belong to a group (an always-on filter, with a condition through the
-- group link). The filter is left out in developer mode, where the whole
-- list shows. The user admin has chosen this view, so admin's product
-- window and product pickers show the price list.

execute block
as
  declare O integer;
  declare T integer;
  declare F integer;
  declare U integer;
begin
  execute procedure KVX_OBJ('PRODUCT') returning_values :O;
  execute procedure KVX_TBL_NEW(:O, 1, null, 'PriceList', 'Прайс-лист', 0, 0)
    returning_values :T;
  execute procedure KVX_TBL_COL(:T, '', 'PRODUCT_CODE');
  execute procedure KVX_TBL_COL(:T, '', 'PRODUCT_NAME');
  execute procedure KVX_TBL_COL(:T, '', 'PRODGRP_ID');
  execute procedure KVX_TBL_COL(:T, '', 'UNIT_ID');
  execute procedure KVX_TBL_COL(:T, '', 'PRODUCT_PRICE');
  execute procedure KVX_TBL_COL(:T, 'CURR_ID', 'CURR_CODE');
  execute procedure KVX_TBL_COL(:T, 'CURR_ID', 'CURR_NAME');
  execute procedure KVX_TBL_COL(:T, '', 'PRODUCT_PRICEVAT');
  insert into FLTR (FLTR_ID, FLTR_NAME, FLTR_ALWAYS, FLTR_DEV, TBL_ID)
    values (next value for FLTR_ID, 'ActiveProducts', 1, 1, :T)
    returning FLTR_ID into :F;
  execute procedure KVX_FLTR_NODE(:F, 1, 6, 'And', null, null, null, null, 0, null);
  execute procedure KVX_FLTR_NODE(:F, 2, 3, 'Equal', 'PRODUCT', '', 'PRODUCT_ACTIVE', 'Active', 0, '1');
  execute procedure KVX_FLTR_NODE(:F, 4, 5, 'Empty', 'PRODUCT', 'PRODGRP_ID', 'PRODGRP_NAME', 'Group', 1, null);

  select USR_ID from USR where USR_LOGIN = 'admin' into :U;
  insert into USRTBL (USRTBL_ID, USR_ID, TBL_ID) values (next value for USRTBL_ID, :U, :T);
end^

-------------------------------------------------------------------------------
-- A second card of the counterparties, with the contacts on a page of
-- their own; the user admin has chosen it.

execute block
as
  declare O integer;
  declare C integer;
  declare R integer;
  declare PC integer;
  declare TS integer;
  declare F integer;
  declare N integer;
  declare U integer;
begin
  execute procedure KVX_OBJ('CONTRAG') returning_values :O;
  execute procedure KVX_CARD_NEW(:O, 'Requisites', 'Реквизиты контрагента', 0, 0, 432, 184, 200)
    returning_values :C, :R;
  execute procedure KVX_CTRL_NODE(:C, :R, 'PageControl', null, null,
      8, 8, 416, 168, null, null, null, null, 0, 0)
    returning_values :PC;

  execute procedure KVX_CTRL_NODE(:C, :PC, 'TabSheet', null, 'Основное',
      null, null, null, null, null, null, null, null, 0, 0)
    returning_values :TS;
  execute procedure KVX_FLD_OF(:O, 'CONTRAG_NAME') returning_values :F;
  execute procedure KVX_CTRL_FLD(:C, :TS, :F, 0, 240) returning_values :N;
  execute procedure KVX_FLD_OF(:O, 'CONTRAG_INN') returning_values :F;
  execute procedure KVX_CTRL_FLD(:C, :TS, :F, 1, 240) returning_values :N;
  execute procedure KVX_FLD_OF(:O, 'CONTRAG_BUYER') returning_values :F;
  execute procedure KVX_CTRL_FLD(:C, :TS, :F, 2, 240) returning_values :N;
  execute procedure KVX_FLD_OF(:O, 'CONTRAG_SUPPL') returning_values :F;
  execute procedure KVX_CTRL_FLD(:C, :TS, :F, 3, 240) returning_values :N;
  execute procedure KVX_FLD_OF(:O, 'CONTRAG_TURN') returning_values :F;
  execute procedure KVX_CTRL_FLD(:C, :TS, :F, 4, 240) returning_values :N;

  execute procedure KVX_CTRL_NODE(:C, :PC, 'TabSheet', null, 'Контакты',
      null, null, null, null, null, null, null, null, 0, 0)
    returning_values :TS;
  execute procedure KVX_FLD_OF(:O, 'CONTRAG_PHONE') returning_values :F;
  execute procedure KVX_CTRL_FLD(:C, :TS, :F, 0, 240) returning_values :N;
  execute procedure KVX_FLD_OF(:O, 'CONTRAG_EMAIL') returning_values :F;
  execute procedure KVX_CTRL_FLD(:C, :TS, :F, 1, 240) returning_values :N;
  execute procedure KVX_FLD_OF(:O, 'CONTRAG_ADDR') returning_values :F;
  execute procedure KVX_CTRL_FLD(:C, :TS, :F, 2, 240) returning_values :N;

  select USR_ID from USR where USR_LOGIN = 'admin' into :U;
  insert into USRCARD (USRCARD_ID, USR_ID, CARD_ID) values (next value for USRCARD_ID, :U, :C);
end^

-------------------------------------------------------------------------------
-- The configurator's cards of fields, objects and links: the values a table,
-- column, trigger or foreign key was made from stay read only when a row is
-- changed. Saving an existing row changes no schema, so a changed column name,
-- type, size, link, rule or flag would leave metadata and schema disagreeing.

execute block
as
begin
  update CTRLTREE T set T.CTRLTREE_ROEDT = 1
    where exists (
      select 1 from CARD C
        join OBJ O on O.OBJ_ID = C.OBJ_ID
        join FLD F on F.OBJ_ID = O.OBJ_ID
      where C.CARD_ID = T.CARD_ID and F.FLD_ID = T.FLD_ID
        and ((C.CARD_NAME = 'Fld' and O.OBJ_TABLE = 'FLD' and F.FLD_FIELD in ('OBJ_ID', 'FLD_FIELD',
                'FLDTYPE_ID', 'FLD_SIZE', 'OBJ_ID_V', 'FKRULE_ID_V', 'FLD_NOTNULL', 'FLD_DEF0',
                'FLD_VIRT', 'DEP_ID_AGR', 'FLD_ID_AGR'))
          or (C.CARD_NAME = 'Obj' and O.OBJ_TABLE = 'OBJ' and F.FLD_FIELD = 'OBJ_TABLE')
          or (C.CARD_NAME = 'ChildObj' and O.OBJ_TABLE = 'DEP' and F.FLD_FIELD in ('OBJ_ID',
                'FLD_ID', 'OBJ_ID_V', 'FLD_FIELD_V', 'FLD_NOTNULL_V', 'FKRULE_ID'))));
end^

set term ; ^

commit;
