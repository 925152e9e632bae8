-- Rows of the code tables.
--
-- The NAME values are the code names the program knows, compared exactly,
-- case included ("Integ", not "Int"; "CheckBox" for the check box control).
-- A FLDTYPE, FKRULE, FRMLFUNC or CTRLTRTP row with a name the program does
-- not know stops the loading of that table, so no other rows go here.
--
-- Keys come from the sequences, so in a fresh database they are 1, 2, ... in
-- the order below and each sequence already stands past its last key.
-- Captions are what the user sees in lists and in the formula editor.

insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'PK', 'Ключ');
insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'String', 'Строка');
insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'FK', 'Ссылка');
insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'Integ', 'Целое');
insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'Boolean', 'Логическое');
insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'Num182', 'Число (2 знака)');
insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'Num183', 'Число (3 знака)');
insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'Num184', 'Число (4 знака)');
insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'Date', 'Дата');
insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'Formula', 'Формула');
insert into FLDTYPE (FLDTYPE_ID, FLDTYPE_NAME, FLDTYPE_CAPT) values (next value for FLDTYPE_ID, 'ObjTempl', 'Шаблон значения');

-- The rule a link's foreign key is created with ("on delete ...").
insert into FKRULE (FKRULE_ID, FKRULE_NAME, FKRULE_CAPT) values (next value for FKRULE_ID, 'NoAction', 'Запрет удаления');
insert into FKRULE (FKRULE_ID, FKRULE_NAME, FKRULE_CAPT) values (next value for FKRULE_ID, 'Cascade', 'Каскадное удаление');
insert into FKRULE (FKRULE_ID, FKRULE_NAME, FKRULE_CAPT) values (next value for FKRULE_ID, 'SetNull', 'Очистка ссылки');

insert into FRMLFUNC (FRMLFUNC_ID, FRMLFUNC_NAME, FRMLFUNC_CAPT) values (next value for FRMLFUNC_ID, 'Add', 'Сумма');
insert into FRMLFUNC (FRMLFUNC_ID, FRMLFUNC_NAME, FRMLFUNC_CAPT) values (next value for FRMLFUNC_ID, 'Ded', 'Разность');
insert into FRMLFUNC (FRMLFUNC_ID, FRMLFUNC_NAME, FRMLFUNC_CAPT) values (next value for FRMLFUNC_ID, 'Mul', 'Произведение');
insert into FRMLFUNC (FRMLFUNC_ID, FRMLFUNC_NAME, FRMLFUNC_CAPT) values (next value for FRMLFUNC_ID, 'Div', 'Частное');
insert into FRMLFUNC (FRMLFUNC_ID, FRMLFUNC_NAME, FRMLFUNC_CAPT) values (next value for FRMLFUNC_ID, 'Rate', 'Курс валюты');
insert into FRMLFUNC (FRMLFUNC_ID, FRMLFUNC_NAME, FRMLFUNC_CAPT) values (next value for FRMLFUNC_ID, 'CurD', 'Текущая дата');
insert into FRMLFUNC (FRMLFUNC_ID, FRMLFUNC_NAME, FRMLFUNC_CAPT) values (next value for FRMLFUNC_ID, 'CurU', 'Текущий пользователь');
insert into FRMLFUNC (FRMLFUNC_ID, FRMLFUNC_NAME, FRMLFUNC_CAPT) values (next value for FRMLFUNC_ID, 'ParId', 'Ключ главной записи');

insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (next value for FLTRTRTP_ID, 'And', 'И');
insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (next value for FLTRTRTP_ID, 'Or', 'Или');
insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (next value for FLTRTRTP_ID, 'Equal', 'Равно');
insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (next value for FLTRTRTP_ID, 'Greater', 'Больше');
insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (next value for FLTRTRTP_ID, 'Less', 'Меньше');
insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (next value for FLTRTRTP_ID, 'Empty', 'Пусто');
insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (next value for FLTRTRTP_ID, 'Containing', 'Содержит');
insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (next value for FLTRTRTP_ID, 'Between', 'Между');
insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (next value for FLTRTRTP_ID, 'In', 'Входит в список');
insert into FLTRTRTP (FLTRTRTP_ID, FLTRTRTP_NAME, FLTRTRTP_CAPT) values (next value for FLTRTRTP_ID, 'Exist', 'Существует');

insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'Root', 'Корень');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'PageControl', 'Набор закладок');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'TabSheet', 'Закладка');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'EditStr', 'Поле строки');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'EditInt', 'Поле целого числа');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'EditNum182', 'Поле числа (2 знака)');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'EditNum183', 'Поле числа (3 знака)');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'EditNum184', 'Поле числа (4 знака)');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'EditObj', 'Поле ссылки');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'DateEdit', 'Поле даты');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'CheckBox', 'Флажок');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'Formula', 'Поле формулы');
insert into CTRLTRTP (CTRLTRTP_ID, CTRLTRTP_NAME, CTRLTRTP_CAPT) values (next value for CTRLTRTP_ID, 'ObjTempl', 'Поле шаблона значения');

commit;
