-- The repository's description of the demo business (tables of
-- 07-demo-schema.sql) and of the currency tables: objects, fields, links,
-- summing fields, formulas and value templates, as the configurator would
-- have written them while creating that schema.
--
-- The deal module finds its parts by name: the object of table DEAL with its
-- child links "DealProd" (products), "DealPaym" (payments) and "DealShip"
-- (shipments), the payment object's child link "Paym-ProdPaym" to PRODPAYM
-- and the shipment object's child link "Ship-ProdShip" to PRODSHIP, and the
-- columns DEALPROD_ID, DEALPROD_PAY (to be paid), DEALPROD_PAID (paid so
-- far), DEALPROD_SHIP (to be shipped), DEALPROD_SHPD (shipped so far),
-- DEALPAYM_SUM, PRODPAYM_SUM and PRODSHIP_CNT.
--
-- Field flags: N = not null, 0 = default 0, V = virtual (no column).

-------------------------------------------------------------------------------
-- Objects, in the order of the "Данные" menu

execute procedure KVX_ADD_OBJ('DEAL', 'Сделки', 'Сделки', 0, 0, 0);
execute procedure KVX_ADD_OBJ('DEALPROD', 'Товары сделок', 'Товары сделок', 0, 0, 0);
execute procedure KVX_ADD_OBJ('DEALPAYM', 'Платежи по сделкам', 'Платежи', 0, 0, 0);
execute procedure KVX_ADD_OBJ('DEALSHIP', 'Отгрузки по сделкам', 'Отгрузки', 0, 0, 0);
execute procedure KVX_ADD_OBJ('PRODPAYM', 'Оплата товаров сделок', 'Оплата товаров', 0, 0, 0);
execute procedure KVX_ADD_OBJ('PRODSHIP', 'Отгрузка товаров сделок', 'Отгрузка товаров', 0, 0, 0);
execute procedure KVX_ADD_OBJ('CONTRAG', 'Контрагенты', 'Контрагенты', 0, 1, 0);
execute procedure KVX_ADD_OBJ('PRODUCT', 'Товары', 'Товары', 0, 1, 0);
execute procedure KVX_ADD_OBJ('PRODGRP', 'Группы товаров', 'Группы', 0, 1, 0);
execute procedure KVX_ADD_OBJ('UNIT', 'Единицы измерения', 'Ед. изм.', 0, 1, 0);
-- The rate function of formulas reads these two tables: system objects, so
-- that nobody deletes them outside developer mode.
execute procedure KVX_ADD_OBJ('CURR', 'Валюты', 'Валюты', 0, 1, 1);
execute procedure KVX_ADD_OBJ('CURRATE', 'Курсы валют', 'Курсы', 0, 1, 1);

-------------------------------------------------------------------------------
-- Fields

execute procedure KVX_ADD_FLD('DEAL', 'DEAL_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('DEAL', 'DEAL_NUM', 'String', 'Номер', 20, 'N');
execute procedure KVX_ADD_FLD('DEAL', 'DEAL_DATE', 'Date', 'Дата', null, 'N');
execute procedure KVX_ADD_FLD('DEAL', 'CONTRAG_ID', 'FK', 'Контрагент', null, 'N');
execute procedure KVX_ADD_FLD('DEAL', 'CURR_ID', 'FK', 'Валюта', null, 'N');
execute procedure KVX_ADD_FLD('DEAL', 'DEAL_RATE', 'Num184', 'Курс', null, '');
execute procedure KVX_ADD_FLD('DEAL', 'USR_ID', 'FK', 'Менеджер', null, '');
execute procedure KVX_ADD_FLD('DEAL', 'DEAL_SUM', 'Num182', 'Сумма', null, 'N0');
execute procedure KVX_ADD_FLD('DEAL', 'DEAL_PAID', 'Num182', 'Оплачено', null, 'N0');
execute procedure KVX_ADD_FLD('DEAL', 'DEAL_CLOSED', 'Boolean', 'Закрыта', null, 'N0');
execute procedure KVX_ADD_FLD('DEAL', 'DEAL_NOTE', 'String', 'Примечание', 250, '');

execute procedure KVX_ADD_FLD('DEALPROD', 'DEALPROD_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('DEALPROD', 'DEAL_ID', 'FK', 'Сделка', null, 'N');
execute procedure KVX_ADD_FLD('DEALPROD', 'PRODUCT_ID', 'FK', 'Товар', null, 'N');
execute procedure KVX_ADD_FLD('DEALPROD', 'DEALPROD_SHIP', 'Num183', 'Количество', null, 'N0');
execute procedure KVX_ADD_FLD('DEALPROD', 'DEALPROD_PRICE', 'Num182', 'Цена', null, 'N0');
execute procedure KVX_ADD_FLD('DEALPROD', 'DEALPROD_DLV', 'Num182', 'Доставка', null, 'N0');
execute procedure KVX_ADD_FLD('DEALPROD', 'DEALPROD_PAY', 'Num182', 'К оплате', null, 'N0');
execute procedure KVX_ADD_FLD('DEALPROD', 'DEALPROD_PAID', 'Num182', 'Оплачено', null, 'N0');
execute procedure KVX_ADD_FLD('DEALPROD', 'DEALPROD_SHPD', 'Num183', 'Отгружено', null, 'N0');

execute procedure KVX_ADD_FLD('DEALPAYM', 'DEALPAYM_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('DEALPAYM', 'DEAL_ID', 'FK', 'Сделка', null, 'N');
execute procedure KVX_ADD_FLD('DEALPAYM', 'DEALPAYM_DATE', 'Date', 'Дата', null, 'N');
execute procedure KVX_ADD_FLD('DEALPAYM', 'DEALPAYM_DOC', 'String', 'Платёжный документ', 50, '');
execute procedure KVX_ADD_FLD('DEALPAYM', 'CONTRAG_ID', 'FK', 'Плательщик', null, '');
execute procedure KVX_ADD_FLD('DEALPAYM', 'DEALPAYM_SUM', 'Num182', 'Сумма платежа', null, 'N0');

execute procedure KVX_ADD_FLD('DEALSHIP', 'DEALSHIP_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('DEALSHIP', 'DEAL_ID', 'FK', 'Сделка', null, 'N');
execute procedure KVX_ADD_FLD('DEALSHIP', 'DEALSHIP_DATE', 'Date', 'Дата', null, 'N');
execute procedure KVX_ADD_FLD('DEALSHIP', 'DEALSHIP_DOC', 'String', 'Накладная', 50, '');
execute procedure KVX_ADD_FLD('DEALSHIP', 'DEALSHIP_CNT', 'Num183', 'Количество', null, 'N0');

execute procedure KVX_ADD_FLD('PRODPAYM', 'PRODPAYM_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('PRODPAYM', 'DEALPAYM_ID', 'FK', 'Платёж', null, 'N');
execute procedure KVX_ADD_FLD('PRODPAYM', 'DEALPROD_ID', 'FK', 'Товар сделки', null, 'N');
execute procedure KVX_ADD_FLD('PRODPAYM', 'PRODPAYM_SUM', 'Num182', 'Сумма', null, 'N0');

execute procedure KVX_ADD_FLD('PRODSHIP', 'PRODSHIP_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('PRODSHIP', 'DEALSHIP_ID', 'FK', 'Отгрузка', null, 'N');
execute procedure KVX_ADD_FLD('PRODSHIP', 'DEALPROD_ID', 'FK', 'Товар сделки', null, 'N');
execute procedure KVX_ADD_FLD('PRODSHIP', 'PRODSHIP_CNT', 'Num183', 'Количество', null, 'N0');

execute procedure KVX_ADD_FLD('CONTRAG', 'CONTRAG_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('CONTRAG', 'CONTRAG_NAME', 'String', 'Наименование', 100, 'N');
execute procedure KVX_ADD_FLD('CONTRAG', 'CONTRAG_INN', 'String', 'ИНН', 12, '');
execute procedure KVX_ADD_FLD('CONTRAG', 'CONTRAG_PHONE', 'String', 'Телефон', 20, '');
execute procedure KVX_ADD_FLD('CONTRAG', 'CONTRAG_EMAIL', 'String', 'Эл. почта', 50, '');
execute procedure KVX_ADD_FLD('CONTRAG', 'CONTRAG_ADDR', 'String', 'Адрес', 250, '');
execute procedure KVX_ADD_FLD('CONTRAG', 'CONTRAG_BUYER', 'Boolean', 'Покупатель', null, 'N0');
execute procedure KVX_ADD_FLD('CONTRAG', 'CONTRAG_SUPPL', 'Boolean', 'Поставщик', null, 'N0');
execute procedure KVX_ADD_FLD('CONTRAG', 'CONTRAG_TURN', 'Num182', 'Оборот', null, 'N0');

execute procedure KVX_ADD_FLD('PRODUCT', 'PRODUCT_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('PRODUCT', 'PRODUCT_NAME', 'String', 'Наименование', 100, 'N');
execute procedure KVX_ADD_FLD('PRODUCT', 'PRODUCT_CODE', 'String', 'Артикул', 20, '');
execute procedure KVX_ADD_FLD('PRODUCT', 'PRODGRP_ID', 'FK', 'Группа', null, '');
execute procedure KVX_ADD_FLD('PRODUCT', 'UNIT_ID', 'FK', 'Единица измерения', null, 'N');
execute procedure KVX_ADD_FLD('PRODUCT', 'PRODUCT_PRICE', 'Num182', 'Цена', null, 'N0');
execute procedure KVX_ADD_FLD('PRODUCT', 'CURR_ID', 'FK', 'Валюта цены', null, 'N');
execute procedure KVX_ADD_FLD('PRODUCT', 'PRODUCT_PRICEVAT', 'Num182', 'Цена с НДС', null, 'N0');
execute procedure KVX_ADD_FLD('PRODUCT', 'PRODUCT_WEIGHT', 'Num183', 'Вес, кг', null, 'N0');
execute procedure KVX_ADD_FLD('PRODUCT', 'PRODUCT_ACTIVE', 'Boolean', 'Активен', null, 'N0');

execute procedure KVX_ADD_FLD('PRODGRP', 'PRODGRP_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('PRODGRP', 'PRODGRP_NAME', 'String', 'Наименование', 100, 'N');
execute procedure KVX_ADD_FLD('PRODGRP', 'PRODGRP_PRN', 'FK', 'Входит в группу', null, '');

execute procedure KVX_ADD_FLD('UNIT', 'UNIT_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('UNIT', 'UNIT_NAME', 'String', 'Обозначение', 20, 'N');
execute procedure KVX_ADD_FLD('UNIT', 'UNIT_FULL', 'String', 'Наименование', 100, '');

execute procedure KVX_ADD_FLD('CURR', 'CURR_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('CURR', 'CURR_CODE', 'String', 'Код валюты', 10, '');
execute procedure KVX_ADD_FLD('CURR', 'CURR_NAME', 'String', 'Наименование', 100, '');
execute procedure KVX_ADD_FLD('CURR', 'CURR_BASE', 'Boolean', 'Базовая', null, 'N0');

execute procedure KVX_ADD_FLD('CURRATE', 'CURRATE_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('CURRATE', 'CURR_ID', 'FK', 'Валюта', null, 'N');
execute procedure KVX_ADD_FLD('CURRATE', 'CURRATE_DATE', 'Date', 'Дата', null, 'N');
execute procedure KVX_ADD_FLD('CURRATE', 'CURRATE_VALUE', 'Num184', 'Курс', null, 'N');

-------------------------------------------------------------------------------
-- Links. Reference books are referred to "no action" (what the field editor
-- proposes for a reference book), owners "cascade", the manager of a deal
-- "set null".
--
-- A counterparty's deals are its main detail: a deal made on the
-- counterparty's card gets the counterparty, and a payment made under a deal
-- takes the deal's counterparty as payer ("key of the master record" follows
-- the master's main links). Detail links that a card could not fill in
-- (a deal product made under a product would lack its deal) are not shown
-- as details.

execute procedure KVX_ADD_DEP('CONTRAG', 'DEAL', 'CONTRAG_ID', 'NoAction', 'Contrag-Deal', 'Сделки контрагента', 1, 1);
execute procedure KVX_ADD_DEP('CURR', 'DEAL', 'CURR_ID', 'NoAction', 'Curr-Deal', 'Сделки в валюте', 0, 0);
execute procedure KVX_ADD_DEP('USR', 'DEAL', 'USR_ID', 'SetNull', 'Usr-Deal', 'Сделки менеджера', 0, 0);

execute procedure KVX_ADD_DEP('DEAL', 'DEALPROD', 'DEAL_ID', 'Cascade', 'DealProd', 'Товары сделки', 1, 1);
execute procedure KVX_ADD_DEP('PRODUCT', 'DEALPROD', 'PRODUCT_ID', 'NoAction', 'Product-DealProd', 'Продажи товара', 0, 0);

execute procedure KVX_ADD_DEP('DEAL', 'DEALPAYM', 'DEAL_ID', 'Cascade', 'DealPaym', 'Платежи по сделке', 1, 1);
execute procedure KVX_ADD_DEP('CONTRAG', 'DEALPAYM', 'CONTRAG_ID', 'NoAction', 'Contrag-DealPaym', 'Платежи контрагента', 0, 0);

execute procedure KVX_ADD_DEP('DEAL', 'DEALSHIP', 'DEAL_ID', 'Cascade', 'DealShip', 'Отгрузки по сделке', 1, 1);

execute procedure KVX_ADD_DEP('DEALPAYM', 'PRODPAYM', 'DEALPAYM_ID', 'Cascade', 'Paym-ProdPaym', 'Оплата товаров', 1, 1);
execute procedure KVX_ADD_DEP('DEALPROD', 'PRODPAYM', 'DEALPROD_ID', 'Cascade', 'Prod-ProdPaym', 'Оплаты товара', 0, 0);

execute procedure KVX_ADD_DEP('DEALSHIP', 'PRODSHIP', 'DEALSHIP_ID', 'Cascade', 'Ship-ProdShip', 'Отгрузка товаров', 1, 1);
execute procedure KVX_ADD_DEP('DEALPROD', 'PRODSHIP', 'DEALPROD_ID', 'Cascade', 'Prod-ProdShip', 'Отгрузки товара', 0, 0);

execute procedure KVX_ADD_DEP('PRODGRP', 'PRODUCT', 'PRODGRP_ID', 'NoAction', 'ProdGrp-Product', 'Товары группы', 0, 1);
execute procedure KVX_ADD_DEP('UNIT', 'PRODUCT', 'UNIT_ID', 'NoAction', 'Unit-Product', 'Товары с единицей', 0, 0);
execute procedure KVX_ADD_DEP('CURR', 'PRODUCT', 'CURR_ID', 'NoAction', 'Curr-Product', 'Товары с ценой в валюте', 0, 0);
execute procedure KVX_ADD_DEP('PRODGRP', 'PRODGRP', 'PRODGRP_PRN', 'NoAction', 'ProdGrp-ProdGrp', 'Вложенные группы', 0, 1);

execute procedure KVX_ADD_DEP('CURR', 'CURRATE', 'CURR_ID', 'Cascade', 'Curr-CurRate', 'Курсы валюты', 1, 1);

-------------------------------------------------------------------------------
-- Summing fields: the link from the field's own object to the detail object
-- and the detail field summed. Their triggers are in 07-demo-schema.sql.
-- A payment's sum is the sum of its parts per product, which the payment
-- card writes in the same transaction as the payment; the deal's paid
-- amount and the counterparty's turnover sum summing fields in turn.

execute procedure KVX_SET_AGR('DEAL', 'DEAL_SUM', 'DealProd', 'DEALPROD_PAY');
execute procedure KVX_SET_AGR('DEAL', 'DEAL_PAID', 'DealPaym', 'DEALPAYM_SUM');
execute procedure KVX_SET_AGR('CONTRAG', 'CONTRAG_TURN', 'Contrag-Deal', 'DEAL_SUM');
execute procedure KVX_SET_AGR('DEALPROD', 'DEALPROD_PAID', 'Prod-ProdPaym', 'PRODPAYM_SUM');
execute procedure KVX_SET_AGR('DEALPROD', 'DEALPROD_SHPD', 'Prod-ProdShip', 'PRODSHIP_CNT');
execute procedure KVX_SET_AGR('DEALPAYM', 'DEALPAYM_SUM', 'Paym-ProdPaym', 'PRODPAYM_SUM');
execute procedure KVX_SET_AGR('DEALSHIP', 'DEALSHIP_CNT', 'Ship-ProdShip', 'PRODSHIP_CNT');

-------------------------------------------------------------------------------
-- Formulas of computed fields. Each formula is written in pre-order with its
-- nested-set bounds (root 1 .. 2n). A field node names a field of the
-- formula's own record, or, through a path of link fields (first link first),
-- a field of a master record. Sums, products and quotients take two or more
-- operands, a rate exactly two (the currency, then the date); today, the
-- current user and the master's key take none, and the master's key stands
-- only as the root. Summing fields are never operands.

-- A deal is dated today and belongs to whoever enters it.
execute procedure KVX_FRML('DEAL', 'DEAL_DATE', 1, 2, 'CurD', null, null, null);
execute procedure KVX_FRML('DEAL', 'USR_ID', 1, 2, 'CurU', null, null, null);

-- Rate of the deal's currency on the deal's date:
-- Курс валюты(Валюта;Дата)
execute procedure KVX_FRML('DEAL', 'DEAL_RATE', 1, 6, 'Rate', null, null, null);
execute procedure KVX_FRML('DEAL', 'DEAL_RATE', 2, 3, null, '', 'CURR_ID', null);
execute procedure KVX_FRML('DEAL', 'DEAL_RATE', 4, 5, null, '', 'DEAL_DATE', null);

-- Price of a deal product: the product's price, converted from the price's
-- currency into the deal's currency at the rates of the deal's date:
-- Товар>Цена * Курс валюты(Товар>Валюта цены;Сделка>Дата)
--   / Курс валюты(Сделка>Валюта;Сделка>Дата)
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PRICE', 1, 18, 'Div', null, null, null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PRICE', 2, 11, 'Mul', null, null, null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PRICE', 3, 4, null, 'PRODUCT_ID', 'PRODUCT_PRICE', null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PRICE', 5, 10, 'Rate', null, null, null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PRICE', 6, 7, null, 'PRODUCT_ID', 'CURR_ID', null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PRICE', 8, 9, null, 'DEAL_ID', 'DEAL_DATE', null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PRICE', 12, 17, 'Rate', null, null, null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PRICE', 13, 14, null, 'DEAL_ID', 'CURR_ID', null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PRICE', 15, 16, null, 'DEAL_ID', 'DEAL_DATE', null);

-- Amount to be paid for a deal product: Количество * Цена + Доставка
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PAY', 1, 10, 'Add', null, null, null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PAY', 2, 7, 'Mul', null, null, null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PAY', 3, 4, null, '', 'DEALPROD_SHIP', null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PAY', 5, 6, null, '', 'DEALPROD_PRICE', null);
execute procedure KVX_FRML('DEALPROD', 'DEALPROD_PAY', 8, 9, null, '', 'DEALPROD_DLV', null);

-- A payment made under a deal is paid by the deal's counterparty (the
-- master's key, rewritten on the card to the deal's own counterparty link),
-- and dated today; so is a shipment.
execute procedure KVX_FRML('DEALPAYM', 'CONTRAG_ID', 1, 2, 'ParId', null, null, null);
execute procedure KVX_FRML('DEALPAYM', 'DEALPAYM_DATE', 1, 2, 'CurD', null, null, null);
execute procedure KVX_FRML('DEALSHIP', 'DEALSHIP_DATE', 1, 2, 'CurD', null, null, null);

-- Price with 20% VAT: Цена * 120 / 100 (whole-number constants read the
-- same whatever the decimal separator).
execute procedure KVX_FRML('PRODUCT', 'PRODUCT_PRICEVAT', 1, 10, 'Div', null, null, null);
execute procedure KVX_FRML('PRODUCT', 'PRODUCT_PRICEVAT', 2, 7, 'Mul', null, null, null);
execute procedure KVX_FRML('PRODUCT', 'PRODUCT_PRICEVAT', 3, 4, null, '', 'PRODUCT_PRICE', null);
execute procedure KVX_FRML('PRODUCT', 'PRODUCT_PRICEVAT', 5, 6, null, null, null, '120');
execute procedure KVX_FRML('PRODUCT', 'PRODUCT_PRICEVAT', 8, 9, null, null, null, '100');

-------------------------------------------------------------------------------
-- Value templates

execute procedure KVX_TEMPL('DEAL', '%s, %s');
execute procedure KVX_TEMPL_FLD('DEAL', '', 'DEAL_NUM');
execute procedure KVX_TEMPL_FLD('DEAL', 'CONTRAG_ID', 'CONTRAG_NAME');

execute procedure KVX_TEMPL('DEALPROD', '%s (%s)');
execute procedure KVX_TEMPL_FLD('DEALPROD', 'PRODUCT_ID', 'PRODUCT_NAME');
execute procedure KVX_TEMPL_FLD('DEALPROD', 'DEAL_ID', 'DEAL_NUM');

execute procedure KVX_TEMPL('DEALPAYM', '%s: %s');
execute procedure KVX_TEMPL_FLD('DEALPAYM', 'DEAL_ID', 'DEAL_NUM');
execute procedure KVX_TEMPL_FLD('DEALPAYM', '', 'DEALPAYM_DOC');

execute procedure KVX_TEMPL('DEALSHIP', '%s: %s');
execute procedure KVX_TEMPL_FLD('DEALSHIP', 'DEAL_ID', 'DEAL_NUM');
execute procedure KVX_TEMPL_FLD('DEALSHIP', '', 'DEALSHIP_DOC');

-- A payment part shows its payment document and the product, two links away.
execute procedure KVX_TEMPL('PRODPAYM', '%s: %s');
execute procedure KVX_TEMPL_FLD('PRODPAYM', 'DEALPAYM_ID', 'DEALPAYM_DOC');
execute procedure KVX_TEMPL_FLD('PRODPAYM', 'DEALPROD_ID, PRODUCT_ID', 'PRODUCT_NAME');

execute procedure KVX_TEMPL('PRODSHIP', '%s: %s');
execute procedure KVX_TEMPL_FLD('PRODSHIP', 'DEALSHIP_ID', 'DEALSHIP_DOC');
execute procedure KVX_TEMPL_FLD('PRODSHIP', 'DEALPROD_ID, PRODUCT_ID', 'PRODUCT_NAME');

execute procedure KVX_TEMPL('CONTRAG', '%s');
execute procedure KVX_TEMPL_FLD('CONTRAG', '', 'CONTRAG_NAME');

execute procedure KVX_TEMPL('PRODUCT', '%s (%s)');
execute procedure KVX_TEMPL_FLD('PRODUCT', '', 'PRODUCT_NAME');
execute procedure KVX_TEMPL_FLD('PRODUCT', 'UNIT_ID', 'UNIT_NAME');

execute procedure KVX_TEMPL('PRODGRP', '%s');
execute procedure KVX_TEMPL_FLD('PRODGRP', '', 'PRODGRP_NAME');

execute procedure KVX_TEMPL('UNIT', '%s');
execute procedure KVX_TEMPL_FLD('UNIT', '', 'UNIT_NAME');

execute procedure KVX_TEMPL('CURR', '%s');
execute procedure KVX_TEMPL_FLD('CURR', '', 'CURR_CODE');

execute procedure KVX_TEMPL('CURRATE', '%s: %s');
execute procedure KVX_TEMPL_FLD('CURRATE', 'CURR_ID', 'CURR_CODE');
execute procedure KVX_TEMPL_FLD('CURRATE', '', 'CURRATE_DATE');

commit;
