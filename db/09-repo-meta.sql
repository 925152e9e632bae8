-- The repository's description of its own tables.
--
-- The program reads and writes metadata rows through this description: a
-- new field, link, view node, control or formula node is a row made from the
-- FLD rows of its table's object, posted by the generic record editor; the
-- formula nodes and template fields read at login are made the same way, so
-- FRMLTREE and OBJVALUE must be described with every column their
-- "select *" returns. The configurator shows and edits the metadata through
-- table views and cards of these objects. So every table of 02-04 is an
-- object here, with one field per column (and the virtual fields that only
-- the editors hold), and one link per foreign key, with the delete rule the
-- key was created with.
--
-- All of them are meta objects (listed under "Данные" only in developer
-- mode) and system objects (not deletable outside developer mode); the code
-- tables are reference books besides. The currency tables are described
-- with the demo business (10-repo-demo.sql): users of the firm keep the
-- rates, so they are ordinary reference books there.
--
-- Field flags: N = not null, 0 = default 0, V = virtual (no column).

-------------------------------------------------------------------------------
-- Objects

execute procedure KVX_ADD_OBJ('OBJ', 'Объекты', 'Объекты', 1, 0, 1);
execute procedure KVX_ADD_OBJ('FLD', 'Поля', 'Поля', 1, 0, 1);
execute procedure KVX_ADD_OBJ('DEP', 'Связи', 'Связи', 1, 0, 1);
execute procedure KVX_ADD_OBJ('TBL', 'Табличные представления', 'Таблицы', 1, 0, 1);
execute procedure KVX_ADD_OBJ('TBLTREE', 'Столбцы табличных представлений', 'Столбцы', 1, 0, 1);
execute procedure KVX_ADD_OBJ('CARD', 'Карточки', 'Карточки', 1, 0, 1);
execute procedure KVX_ADD_OBJ('CTRLTREE', 'Контролы карточек', 'Контролы', 1, 0, 1);
execute procedure KVX_ADD_OBJ('DETBOOK', 'Наборы деталей', 'Наборы деталей', 1, 0, 1);
execute procedure KVX_ADD_OBJ('DETDEP', 'Детали наборов', 'Детали', 1, 0, 1);
execute procedure KVX_ADD_OBJ('FRMLTREE', 'Узлы формул', 'Формулы', 1, 0, 1);
execute procedure KVX_ADD_OBJ('FRMLTRPT', 'Пути узлов формул', 'Пути формул', 1, 0, 1);
execute procedure KVX_ADD_OBJ('OBJVALUE', 'Поля шаблонов значений', 'Шаблоны', 1, 0, 1);
execute procedure KVX_ADD_OBJ('OBJVALPT', 'Пути полей шаблонов', 'Пути шаблонов', 1, 0, 1);
execute procedure KVX_ADD_OBJ('FLTR', 'Фильтры', 'Фильтры', 1, 0, 1);
execute procedure KVX_ADD_OBJ('FLTRTREE', 'Узлы фильтров', 'Узлы фильтров', 1, 0, 1);
execute procedure KVX_ADD_OBJ('FLTRTRPT', 'Пути узлов фильтров', 'Пути фильтров', 1, 0, 1);
execute procedure KVX_ADD_OBJ('USR', 'Пользователи', 'Пользователи', 1, 0, 1);
execute procedure KVX_ADD_OBJ('USRTBL', 'Табличные представления пользователей', 'Таблицы пользователей', 1, 0, 1);
execute procedure KVX_ADD_OBJ('USRCARD', 'Карточки пользователей', 'Карточки пользователей', 1, 0, 1);
execute procedure KVX_ADD_OBJ('USRDET', 'Наборы деталей пользователей', 'Наборы пользователей', 1, 0, 1);
execute procedure KVX_ADD_OBJ('FLDTYPE', 'Типы полей', 'Типы полей', 1, 1, 1);
execute procedure KVX_ADD_OBJ('FKRULE', 'Правила удаления', 'Правила', 1, 1, 1);
execute procedure KVX_ADD_OBJ('FRMLFUNC', 'Функции формул', 'Функции', 1, 1, 1);
execute procedure KVX_ADD_OBJ('FLTRTRTP', 'Типы узлов фильтров', 'Типы узлов', 1, 1, 1);
execute procedure KVX_ADD_OBJ('CTRLTRTP', 'Типы контролов', 'Типы контролов', 1, 1, 1);

-------------------------------------------------------------------------------
-- Fields

execute procedure KVX_ADD_FLD('OBJ', 'OBJ_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('OBJ', 'OBJ_TABLE', 'String', 'Таблица', 31, 'N');
execute procedure KVX_ADD_FLD('OBJ', 'OBJ_CAPT', 'String', 'Наименование', 100, '');
execute procedure KVX_ADD_FLD('OBJ', 'OBJ_CAPT2', 'String', 'Краткое наименование', 100, '');
execute procedure KVX_ADD_FLD('OBJ', 'OBJ_META', 'Boolean', 'Метаданные', null, 'N0');
execute procedure KVX_ADD_FLD('OBJ', 'OBJ_REF', 'Boolean', 'Справочник', null, 'N0');
execute procedure KVX_ADD_FLD('OBJ', 'OBJ_SYS', 'Boolean', 'Системный', null, 'N0');
execute procedure KVX_ADD_FLD('OBJ', 'OBJ_TEMPL', 'ObjTempl', 'Шаблон значения', 250, '');

-- Field order is the order of the standard card's controls: what a new
-- field needs first (with the editor's virtual fields for a new link field
-- on the first page), flags and summing on the next.
execute procedure KVX_ADD_FLD('FLD', 'FLD_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('FLD', 'OBJ_ID', 'FK', 'Объект', null, 'N');
execute procedure KVX_ADD_FLD('FLD', 'FLD_FIELD', 'String', 'Поле таблицы', 31, 'N');
execute procedure KVX_ADD_FLD('FLD', 'FLD_CAPT', 'String', 'Наименование', 100, '');
execute procedure KVX_ADD_FLD('FLD', 'FLDTYPE_ID', 'FK', 'Тип поля', null, '');
execute procedure KVX_ADD_FLD('FLD', 'FLD_SIZE', 'Integ', 'Размер', null, '');
-- Virtual fields of the field editor: the linked object and the delete
-- rule of a new link field (stored by the link row it creates) and the
-- formula's text (the formula itself lives in FRMLTREE).
execute procedure KVX_ADD_FLD('FLD', 'OBJ_ID_V', 'FK', 'Внешний объект', null, 'V');
execute procedure KVX_ADD_FLD('FLD', 'FKRULE_ID_V', 'FK', 'Правило удаления', null, 'V');
execute procedure KVX_ADD_FLD('FLD', 'FLD_NOTNULL', 'Boolean', 'Обязательное', null, 'N0');
execute procedure KVX_ADD_FLD('FLD', 'FLD_DEF0', 'Boolean', 'По умолчанию 0', null, 'N0');
execute procedure KVX_ADD_FLD('FLD', 'FLD_VIRT', 'Boolean', 'Виртуальное', null, 'N0');
execute procedure KVX_ADD_FLD('FLD', 'FLD_SYS', 'Boolean', 'Системное', null, 'N0');
execute procedure KVX_ADD_FLD('FLD', 'FLD_FRML_V', 'String', 'Формула', 250, 'V');
execute procedure KVX_ADD_FLD('FLD', 'DEP_ID_AGR', 'FK', 'Суммируемая связь', null, '');
execute procedure KVX_ADD_FLD('FLD', 'FLD_ID_AGR', 'FK', 'Суммируемое поле', null, '');
execute procedure KVX_ADD_FLD('FLD', 'FLD_FRMLHAVE', 'Boolean', 'Есть формула', null, 'N0');
execute procedure KVX_ADD_FLD('FLD', 'FLD_MAIN2', 'Boolean', 'Главное поле 2', null, 'N0');

-- Virtual fields of the link editor: the detail object and the link column
-- it creates there (name, caption, not-null flag), on the card's first page.
execute procedure KVX_ADD_FLD('DEP', 'DEP_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('DEP', 'OBJ_ID', 'FK', 'Главный объект', null, 'N');
execute procedure KVX_ADD_FLD('DEP', 'DEP_NAME', 'String', 'Имя связи', 50, '');
execute procedure KVX_ADD_FLD('DEP', 'DEP_CAPT', 'String', 'Наименование', 100, '');
execute procedure KVX_ADD_FLD('DEP', 'OBJ_ID_V', 'FK', 'Подчинённый объект', null, 'V');
execute procedure KVX_ADD_FLD('DEP', 'FLD_FIELD_V', 'String', 'Поле таблицы', 31, 'V');
execute procedure KVX_ADD_FLD('DEP', 'FLD_CAPT_V', 'String', 'Наименование поля', 100, 'V');
execute procedure KVX_ADD_FLD('DEP', 'FLD_NOTNULL_V', 'Boolean', 'Обязательное поле', null, 'V0');
execute procedure KVX_ADD_FLD('DEP', 'FKRULE_ID', 'FK', 'Правило удаления', null, '');
execute procedure KVX_ADD_FLD('DEP', 'FLD_ID', 'FK', 'Поле связи', null, 'N');
execute procedure KVX_ADD_FLD('DEP', 'DEP_MAIN', 'Boolean', 'Главная связь', null, 'N0');
execute procedure KVX_ADD_FLD('DEP', 'DEP_DET', 'Boolean', 'Деталь', null, 'N0');
execute procedure KVX_ADD_FLD('DEP', 'DEP_SYS', 'Boolean', 'Системная', null, 'N0');

execute procedure KVX_ADD_FLD('TBL', 'TBL_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('TBL', 'OBJ_ID', 'FK', 'Объект', null, '');
execute procedure KVX_ADD_FLD('TBL', 'DEP_ID', 'FK', 'Связь', null, '');
execute procedure KVX_ADD_FLD('TBL', 'TBL_NAME', 'String', 'Имя', 50, '');
execute procedure KVX_ADD_FLD('TBL', 'TBL_CAPT', 'String', 'Наименование', 100, '');
execute procedure KVX_ADD_FLD('TBL', 'TBL_DEFAULT', 'Boolean', 'По умолчанию', null, 'N0');
execute procedure KVX_ADD_FLD('TBL', 'TBL_DEV', 'Boolean', 'Для разработчика', null, 'N0');

execute procedure KVX_ADD_FLD('TBLTREE', 'TBLTREE_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('TBLTREE', 'TBL_ID', 'FK', 'Табличное представление', null, 'N');
execute procedure KVX_ADD_FLD('TBLTREE', 'FLD_ID', 'FK', 'Поле', null, 'N');
execute procedure KVX_ADD_FLD('TBLTREE', 'TBLTREE_LFT', 'Integ', 'Левая граница', null, 'N');
execute procedure KVX_ADD_FLD('TBLTREE', 'TBLTREE_RGT', 'Integ', 'Правая граница', null, 'N');

execute procedure KVX_ADD_FLD('CARD', 'CARD_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('CARD', 'OBJ_ID', 'FK', 'Объект', null, 'N');
execute procedure KVX_ADD_FLD('CARD', 'CARD_NAME', 'String', 'Имя', 50, '');
execute procedure KVX_ADD_FLD('CARD', 'CARD_CAPT', 'String', 'Наименование', 100, '');
execute procedure KVX_ADD_FLD('CARD', 'CARD_DEFAULT', 'Boolean', 'По умолчанию', null, 'N0');
execute procedure KVX_ADD_FLD('CARD', 'CARD_DEV', 'Boolean', 'Для разработчика', null, 'N0');
execute procedure KVX_ADD_FLD('CARD', 'CARD_WIDTH', 'Integ', 'Ширина', null, '');
execute procedure KVX_ADD_FLD('CARD', 'CARD_HEIGHTATR', 'Integ', 'Высота атрибутов', null, '');
execute procedure KVX_ADD_FLD('CARD', 'CARD_HEIGHTDET', 'Integ', 'Высота деталей', null, '');

execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CARD_ID', 'FK', 'Карточка', null, 'N');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTRTP_ID', 'FK', 'Тип контрола', null, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'FLD_ID', 'FK', 'Поле', null, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_CAPT', 'String', 'Заголовок', 100, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_LFT', 'Integ', 'Левая граница', null, 'N');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_RGT', 'Integ', 'Правая граница', null, 'N');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_CLEFT', 'Integ', 'Контрол: слева', null, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_CTOP', 'Integ', 'Контрол: сверху', null, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_CWIDTH', 'Integ', 'Контрол: ширина', null, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_CHEIGHT', 'Integ', 'Контрол: высота', null, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_LLEFT', 'Integ', 'Метка: слева', null, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_LTOP', 'Integ', 'Метка: сверху', null, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_LWIDTH', 'Integ', 'Метка: ширина', null, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_LHEIGHT', 'Integ', 'Метка: высота', null, '');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_ROADD', 'Boolean', 'Только чтение при добавлении', null, 'N0');
execute procedure KVX_ADD_FLD('CTRLTREE', 'CTRLTREE_ROEDT', 'Boolean', 'Только чтение при изменении', null, 'N0');

execute procedure KVX_ADD_FLD('DETBOOK', 'DETBOOK_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('DETBOOK', 'OBJ_ID', 'FK', 'Объект', null, 'N');
execute procedure KVX_ADD_FLD('DETBOOK', 'DETBOOK_NAME', 'String', 'Имя', 50, '');
execute procedure KVX_ADD_FLD('DETBOOK', 'DETBOOK_CAPT', 'String', 'Наименование', 100, '');
execute procedure KVX_ADD_FLD('DETBOOK', 'DETBOOK_DEFAULT', 'Boolean', 'По умолчанию', null, 'N0');
execute procedure KVX_ADD_FLD('DETBOOK', 'DETBOOK_DEV', 'Boolean', 'Для разработчика', null, 'N0');

execute procedure KVX_ADD_FLD('DETDEP', 'DETDEP_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('DETDEP', 'DETBOOK_ID', 'FK', 'Набор деталей', null, 'N');
execute procedure KVX_ADD_FLD('DETDEP', 'DEP_ID', 'FK', 'Связь', null, 'N');

-- The formula editor names its "add" menu items after the captions of
-- FRMLFUNC_ID, FLD_ID_VALUE and FRMLTREE_VALUE.
execute procedure KVX_ADD_FLD('FRMLTREE', 'FRMLTREE_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('FRMLTREE', 'FLD_ID', 'FK', 'Вычисляемое поле', null, 'N');
execute procedure KVX_ADD_FLD('FRMLTREE', 'FRMLTREE_LFT', 'Integ', 'Левая граница', null, 'N');
execute procedure KVX_ADD_FLD('FRMLTREE', 'FRMLTREE_RGT', 'Integ', 'Правая граница', null, 'N');
execute procedure KVX_ADD_FLD('FRMLTREE', 'FRMLFUNC_ID', 'FK', 'Функция', null, '');
execute procedure KVX_ADD_FLD('FRMLTREE', 'FLD_ID_VALUE', 'FK', 'Поле', null, '');
execute procedure KVX_ADD_FLD('FRMLTREE', 'FRMLTREE_VALUE', 'String', 'Значение', 250, '');
execute procedure KVX_ADD_FLD('FRMLTREE', 'FRMLTREE_PATHHAVE', 'Boolean', 'Есть путь', null, 'N0');

execute procedure KVX_ADD_FLD('FRMLTRPT', 'FRMLTRPT_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('FRMLTRPT', 'FRMLTREE_ID', 'FK', 'Узел формулы', null, 'N');
execute procedure KVX_ADD_FLD('FRMLTRPT', 'FLD_ID', 'FK', 'Поле связи', null, 'N');

execute procedure KVX_ADD_FLD('OBJVALUE', 'OBJVALUE_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('OBJVALUE', 'OBJ_ID', 'FK', 'Объект', null, 'N');
execute procedure KVX_ADD_FLD('OBJVALUE', 'FLD_ID', 'FK', 'Поле', null, 'N');
execute procedure KVX_ADD_FLD('OBJVALUE', 'OBJVALUE_PATHHAVE', 'Boolean', 'Есть путь', null, 'N0');

execute procedure KVX_ADD_FLD('OBJVALPT', 'OBJVALPT_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('OBJVALPT', 'OBJVALUE_ID', 'FK', 'Поле шаблона', null, 'N');
execute procedure KVX_ADD_FLD('OBJVALPT', 'FLD_ID', 'FK', 'Поле связи', null, 'N');

execute procedure KVX_ADD_FLD('FLTR', 'FLTR_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('FLTR', 'FLTR_NAME', 'String', 'Имя', 50, '');
execute procedure KVX_ADD_FLD('FLTR', 'FLTR_ALWAYS', 'Boolean', 'Применяется всегда', null, 'N0');
execute procedure KVX_ADD_FLD('FLTR', 'FLTR_DEV', 'Boolean', 'Только вне режима разработчика', null, 'N0');
execute procedure KVX_ADD_FLD('FLTR', 'TBL_ID', 'FK', 'Табличное представление', null, '');
execute procedure KVX_ADD_FLD('FLTR', 'DEP_ID', 'FK', 'Связь', null, '');
execute procedure KVX_ADD_FLD('FLTR', 'OBJ_ID', 'FK', 'Объект', null, '');

execute procedure KVX_ADD_FLD('FLTRTREE', 'FLTRTREE_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('FLTRTREE', 'FLTR_ID', 'FK', 'Фильтр', null, 'N');
execute procedure KVX_ADD_FLD('FLTRTREE', 'FLTRTRTP_ID', 'FK', 'Тип узла', null, '');
execute procedure KVX_ADD_FLD('FLTRTREE', 'FLD_ID', 'FK', 'Поле', null, '');
execute procedure KVX_ADD_FLD('FLTRTREE', 'DEP_ID', 'FK', 'Связь', null, '');
execute procedure KVX_ADD_FLD('FLTRTREE', 'FLTRTREE_LFT', 'Integ', 'Левая граница', null, 'N');
execute procedure KVX_ADD_FLD('FLTRTREE', 'FLTRTREE_RGT', 'Integ', 'Правая граница', null, 'N');
execute procedure KVX_ADD_FLD('FLTRTREE', 'FLTRTREE_NAME', 'String', 'Имя', 50, '');
execute procedure KVX_ADD_FLD('FLTRTREE', 'FLTRTREE_NOT', 'Boolean', 'Отрицание', null, 'N0');
execute procedure KVX_ADD_FLD('FLTRTREE', 'FLTRTREE_PATHHAVE', 'Boolean', 'Есть путь', null, 'N0');
execute procedure KVX_ADD_FLD('FLTRTREE', 'FLTRTREE_VALUE', 'String', 'Значение', 250, '');

execute procedure KVX_ADD_FLD('FLTRTRPT', 'FLTRTRPT_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('FLTRTRPT', 'FLTRTREE_ID', 'FK', 'Узел фильтра', null, 'N');
execute procedure KVX_ADD_FLD('FLTRTRPT', 'FLD_ID', 'FK', 'Поле связи', null, 'N');

execute procedure KVX_ADD_FLD('USR', 'USR_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('USR', 'USR_LOGIN', 'String', 'Логин', 50, 'N');
execute procedure KVX_ADD_FLD('USR', 'USR_NAME', 'String', 'Имя', 100, '');

execute procedure KVX_ADD_FLD('USRTBL', 'USRTBL_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('USRTBL', 'USR_ID', 'FK', 'Пользователь', null, 'N');
execute procedure KVX_ADD_FLD('USRTBL', 'TBL_ID', 'FK', 'Табличное представление', null, 'N');

execute procedure KVX_ADD_FLD('USRCARD', 'USRCARD_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('USRCARD', 'USR_ID', 'FK', 'Пользователь', null, 'N');
execute procedure KVX_ADD_FLD('USRCARD', 'CARD_ID', 'FK', 'Карточка', null, 'N');

execute procedure KVX_ADD_FLD('USRDET', 'USRDET_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('USRDET', 'USR_ID', 'FK', 'Пользователь', null, 'N');
execute procedure KVX_ADD_FLD('USRDET', 'DETBOOK_ID', 'FK', 'Набор деталей', null, 'N');

execute procedure KVX_ADD_FLD('FLDTYPE', 'FLDTYPE_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('FLDTYPE', 'FLDTYPE_NAME', 'String', 'Имя', 31, 'N');
execute procedure KVX_ADD_FLD('FLDTYPE', 'FLDTYPE_CAPT', 'String', 'Наименование', 100, '');

execute procedure KVX_ADD_FLD('FKRULE', 'FKRULE_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('FKRULE', 'FKRULE_NAME', 'String', 'Имя', 31, 'N');
execute procedure KVX_ADD_FLD('FKRULE', 'FKRULE_CAPT', 'String', 'Наименование', 100, '');

execute procedure KVX_ADD_FLD('FRMLFUNC', 'FRMLFUNC_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('FRMLFUNC', 'FRMLFUNC_NAME', 'String', 'Имя', 31, 'N');
execute procedure KVX_ADD_FLD('FRMLFUNC', 'FRMLFUNC_CAPT', 'String', 'Наименование', 100, '');

execute procedure KVX_ADD_FLD('FLTRTRTP', 'FLTRTRTP_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('FLTRTRTP', 'FLTRTRTP_NAME', 'String', 'Имя', 31, 'N');
execute procedure KVX_ADD_FLD('FLTRTRTP', 'FLTRTRTP_CAPT', 'String', 'Наименование', 100, '');

execute procedure KVX_ADD_FLD('CTRLTRTP', 'CTRLTRTP_ID', 'PK', 'Код', null, 'N');
execute procedure KVX_ADD_FLD('CTRLTRTP', 'CTRLTRTP_NAME', 'String', 'Имя', 31, 'N');
execute procedure KVX_ADD_FLD('CTRLTRTP', 'CTRLTRTP_CAPT', 'String', 'Наименование', 100, '');

-------------------------------------------------------------------------------
-- Links: one per foreign key of 03 and 04, with the rule it was created
-- with (cascade for rows that live with their owner, set null for summing
-- references, no action for code tables).
--
-- "Main" marks the link to a row's owner: under its owner such a record is
-- made with the owner's key filled in, so its cards keep that field read
-- only. "Detail" marks the links whose records a master's card shows in its
-- detail book; for metadata that is limited to rows the generic card can
-- write without the configurator's schema work (user choices, the links of a
-- detail book). Fields, links, views and cards are edited in the
-- configurator, whose editors also change the schema and the trees.
--
-- The configurator finds its own lists through some of these: the links of
-- OBJ to FLD, DEP, TBL, CARD and DETBOOK, of DEP to TBL, and DEP's links by
-- its fields OBJ_ID and FLD_ID; the captions of the last two title its
-- child-link and parent-link pages.

execute procedure KVX_ADD_DEP('OBJ', 'FLD', 'OBJ_ID', 'Cascade', 'Obj-Fld', 'Поля объекта', 1, 0);
execute procedure KVX_ADD_DEP('FLDTYPE', 'FLD', 'FLDTYPE_ID', 'NoAction', 'FldType-Fld', 'Поля этого типа', 0, 0);
execute procedure KVX_ADD_DEP('DEP', 'FLD', 'DEP_ID_AGR', 'SetNull', 'Dep-FldAgr', 'Суммирующие поля по связи', 0, 0);
execute procedure KVX_ADD_DEP('FLD', 'FLD', 'FLD_ID_AGR', 'SetNull', 'Fld-FldAgr', 'Суммирующие поля', 0, 0);

execute procedure KVX_ADD_DEP('OBJ', 'DEP', 'OBJ_ID', 'Cascade', 'Obj-Dep', 'Подчинённые связи', 1, 0);
execute procedure KVX_ADD_DEP('FLD', 'DEP', 'FLD_ID', 'Cascade', 'Fld-Dep', 'Связи с главными объектами', 1, 0);
execute procedure KVX_ADD_DEP('FKRULE', 'DEP', 'FKRULE_ID', 'NoAction', 'FKRule-Dep', 'Связи с этим правилом', 0, 0);

execute procedure KVX_ADD_DEP('FLD', 'FRMLTREE', 'FLD_ID', 'Cascade', 'Fld-FrmlTree', 'Формула поля', 1, 0);
execute procedure KVX_ADD_DEP('FRMLFUNC', 'FRMLTREE', 'FRMLFUNC_ID', 'NoAction', 'FrmlFunc-FrmlTree', 'Узлы формул с функцией', 0, 0);
execute procedure KVX_ADD_DEP('FLD', 'FRMLTREE', 'FLD_ID_VALUE', 'Cascade', 'FldValue-FrmlTree', 'Узлы формул, читающие поле', 0, 0);
execute procedure KVX_ADD_DEP('FRMLTREE', 'FRMLTRPT', 'FRMLTREE_ID', 'Cascade', 'FrmlTree-FrmlTrPt', 'Путь узла формулы', 1, 0);
execute procedure KVX_ADD_DEP('FLD', 'FRMLTRPT', 'FLD_ID', 'Cascade', 'Fld-FrmlTrPt', 'Пути формул через поле', 0, 0);

execute procedure KVX_ADD_DEP('OBJ', 'OBJVALUE', 'OBJ_ID', 'Cascade', 'Obj-ObjValue', 'Поля шаблона значения', 1, 0);
execute procedure KVX_ADD_DEP('FLD', 'OBJVALUE', 'FLD_ID', 'Cascade', 'Fld-ObjValue', 'Шаблоны с полем', 0, 0);
execute procedure KVX_ADD_DEP('OBJVALUE', 'OBJVALPT', 'OBJVALUE_ID', 'Cascade', 'ObjValue-ObjValPt', 'Путь поля шаблона', 1, 0);
execute procedure KVX_ADD_DEP('FLD', 'OBJVALPT', 'FLD_ID', 'Cascade', 'Fld-ObjValPt', 'Пути шаблонов через поле', 0, 0);

execute procedure KVX_ADD_DEP('OBJ', 'TBL', 'OBJ_ID', 'Cascade', 'Obj-Tbl', 'Табличные представления объекта', 1, 0);
execute procedure KVX_ADD_DEP('DEP', 'TBL', 'DEP_ID', 'Cascade', 'Dep-Tbl', 'Табличные представления связи', 1, 0);
execute procedure KVX_ADD_DEP('TBL', 'TBLTREE', 'TBL_ID', 'Cascade', 'Tbl-TblTree', 'Столбцы', 1, 0);
execute procedure KVX_ADD_DEP('FLD', 'TBLTREE', 'FLD_ID', 'Cascade', 'Fld-TblTree', 'Столбцы с полем', 0, 0);

execute procedure KVX_ADD_DEP('TBL', 'FLTR', 'TBL_ID', 'Cascade', 'Tbl-Fltr', 'Фильтры представления', 1, 0);
execute procedure KVX_ADD_DEP('DEP', 'FLTR', 'DEP_ID', 'Cascade', 'Dep-Fltr', 'Фильтры связи', 1, 0);
execute procedure KVX_ADD_DEP('OBJ', 'FLTR', 'OBJ_ID', 'Cascade', 'Obj-Fltr', 'Фильтры объекта', 1, 0);
execute procedure KVX_ADD_DEP('FLTR', 'FLTRTREE', 'FLTR_ID', 'Cascade', 'Fltr-FltrTree', 'Узлы фильтра', 1, 0);
execute procedure KVX_ADD_DEP('FLTRTRTP', 'FLTRTREE', 'FLTRTRTP_ID', 'NoAction', 'FltrTrTp-FltrTree', 'Узлы этого типа', 0, 0);
execute procedure KVX_ADD_DEP('FLD', 'FLTRTREE', 'FLD_ID', 'Cascade', 'Fld-FltrTree', 'Узлы фильтров с полем', 0, 0);
execute procedure KVX_ADD_DEP('DEP', 'FLTRTREE', 'DEP_ID', 'Cascade', 'Dep-FltrTree', 'Узлы фильтров со связью', 0, 0);
execute procedure KVX_ADD_DEP('FLTRTREE', 'FLTRTRPT', 'FLTRTREE_ID', 'Cascade', 'FltrTree-FltrTrPt', 'Путь узла фильтра', 1, 0);
execute procedure KVX_ADD_DEP('FLD', 'FLTRTRPT', 'FLD_ID', 'Cascade', 'Fld-FltrTrPt', 'Пути фильтров через поле', 0, 0);

execute procedure KVX_ADD_DEP('OBJ', 'CARD', 'OBJ_ID', 'Cascade', 'Obj-Card', 'Карточки объекта', 1, 0);
execute procedure KVX_ADD_DEP('CARD', 'CTRLTREE', 'CARD_ID', 'Cascade', 'Card-CtrlTree', 'Контролы', 1, 0);
execute procedure KVX_ADD_DEP('CTRLTRTP', 'CTRLTREE', 'CTRLTRTP_ID', 'NoAction', 'CtrlTrTp-CtrlTree', 'Контролы этого типа', 0, 0);
execute procedure KVX_ADD_DEP('FLD', 'CTRLTREE', 'FLD_ID', 'Cascade', 'Fld-CtrlTree', 'Контролы поля', 0, 0);

execute procedure KVX_ADD_DEP('OBJ', 'DETBOOK', 'OBJ_ID', 'Cascade', 'Obj-DetBook', 'Наборы деталей объекта', 1, 0);
execute procedure KVX_ADD_DEP('DETBOOK', 'DETDEP', 'DETBOOK_ID', 'Cascade', 'DetBook-DetDep', 'Детали набора', 1, 1);
execute procedure KVX_ADD_DEP('DEP', 'DETDEP', 'DEP_ID', 'Cascade', 'Dep-DetDep', 'Наборы деталей со связью', 0, 0);

execute procedure KVX_ADD_DEP('USR', 'USRTBL', 'USR_ID', 'Cascade', 'Usr-UsrTbl', 'Выбранные таблицы', 1, 1);
execute procedure KVX_ADD_DEP('TBL', 'USRTBL', 'TBL_ID', 'Cascade', 'Tbl-UsrTbl', 'Пользователи представления', 0, 0);
execute procedure KVX_ADD_DEP('USR', 'USRCARD', 'USR_ID', 'Cascade', 'Usr-UsrCard', 'Выбранные карточки', 1, 1);
execute procedure KVX_ADD_DEP('CARD', 'USRCARD', 'CARD_ID', 'Cascade', 'Card-UsrCard', 'Пользователи карточки', 0, 0);
execute procedure KVX_ADD_DEP('USR', 'USRDET', 'USR_ID', 'Cascade', 'Usr-UsrDet', 'Выбранные наборы деталей', 1, 1);
execute procedure KVX_ADD_DEP('DETBOOK', 'USRDET', 'DETBOOK_ID', 'Cascade', 'DetBook-UsrDet', 'Пользователи набора', 0, 0);

-------------------------------------------------------------------------------
-- Value templates: how a record shows where a link field points to it (link
-- controls, pickers, link columns of the standard views).

execute procedure KVX_TEMPL('OBJ', '%s');
execute procedure KVX_TEMPL_FLD('OBJ', '', 'OBJ_CAPT');

execute procedure KVX_TEMPL('FLD', '%s (%s)');
execute procedure KVX_TEMPL_FLD('FLD', '', 'FLD_CAPT');
execute procedure KVX_TEMPL_FLD('FLD', 'OBJ_ID', 'OBJ_CAPT');

execute procedure KVX_TEMPL('DEP', '%s (%s)');
execute procedure KVX_TEMPL_FLD('DEP', '', 'DEP_CAPT');
execute procedure KVX_TEMPL_FLD('DEP', '', 'DEP_NAME');

execute procedure KVX_TEMPL('TBL', '%s');
execute procedure KVX_TEMPL_FLD('TBL', '', 'TBL_CAPT');

execute procedure KVX_TEMPL('TBLTREE', '%s [%s]');
execute procedure KVX_TEMPL_FLD('TBLTREE', 'FLD_ID', 'FLD_CAPT');
execute procedure KVX_TEMPL_FLD('TBLTREE', 'TBL_ID', 'TBL_CAPT');

execute procedure KVX_TEMPL('CARD', '%s');
execute procedure KVX_TEMPL_FLD('CARD', '', 'CARD_CAPT');

execute procedure KVX_TEMPL('CTRLTREE', '%s: %s');
execute procedure KVX_TEMPL_FLD('CTRLTREE', 'CTRLTRTP_ID', 'CTRLTRTP_CAPT');
execute procedure KVX_TEMPL_FLD('CTRLTREE', 'FLD_ID', 'FLD_CAPT');

execute procedure KVX_TEMPL('DETBOOK', '%s');
execute procedure KVX_TEMPL_FLD('DETBOOK', '', 'DETBOOK_CAPT');

execute procedure KVX_TEMPL('DETDEP', '%s');
execute procedure KVX_TEMPL_FLD('DETDEP', 'DEP_ID', 'DEP_CAPT');

execute procedure KVX_TEMPL('FRMLTREE', '%s [%s-%s]');
execute procedure KVX_TEMPL_FLD('FRMLTREE', 'FLD_ID', 'FLD_CAPT');
execute procedure KVX_TEMPL_FLD('FRMLTREE', '', 'FRMLTREE_LFT');
execute procedure KVX_TEMPL_FLD('FRMLTREE', '', 'FRMLTREE_RGT');

execute procedure KVX_TEMPL('FRMLTRPT', '%s');
execute procedure KVX_TEMPL_FLD('FRMLTRPT', 'FLD_ID', 'FLD_CAPT');

execute procedure KVX_TEMPL('OBJVALUE', '%s: %s');
execute procedure KVX_TEMPL_FLD('OBJVALUE', 'OBJ_ID', 'OBJ_CAPT');
execute procedure KVX_TEMPL_FLD('OBJVALUE', 'FLD_ID', 'FLD_CAPT');

execute procedure KVX_TEMPL('OBJVALPT', '%s');
execute procedure KVX_TEMPL_FLD('OBJVALPT', 'FLD_ID', 'FLD_CAPT');

execute procedure KVX_TEMPL('FLTR', '%s');
execute procedure KVX_TEMPL_FLD('FLTR', '', 'FLTR_NAME');

execute procedure KVX_TEMPL('FLTRTREE', '%s: %s');
execute procedure KVX_TEMPL_FLD('FLTRTREE', 'FLTR_ID', 'FLTR_NAME');
execute procedure KVX_TEMPL_FLD('FLTRTREE', 'FLTRTRTP_ID', 'FLTRTRTP_CAPT');

execute procedure KVX_TEMPL('FLTRTRPT', '%s');
execute procedure KVX_TEMPL_FLD('FLTRTRPT', 'FLD_ID', 'FLD_CAPT');

execute procedure KVX_TEMPL('USR', '%s');
execute procedure KVX_TEMPL_FLD('USR', '', 'USR_NAME');

execute procedure KVX_TEMPL('USRTBL', '%s: %s');
execute procedure KVX_TEMPL_FLD('USRTBL', 'USR_ID', 'USR_NAME');
execute procedure KVX_TEMPL_FLD('USRTBL', 'TBL_ID', 'TBL_CAPT');

execute procedure KVX_TEMPL('USRCARD', '%s: %s');
execute procedure KVX_TEMPL_FLD('USRCARD', 'USR_ID', 'USR_NAME');
execute procedure KVX_TEMPL_FLD('USRCARD', 'CARD_ID', 'CARD_CAPT');

execute procedure KVX_TEMPL('USRDET', '%s: %s');
execute procedure KVX_TEMPL_FLD('USRDET', 'USR_ID', 'USR_NAME');
execute procedure KVX_TEMPL_FLD('USRDET', 'DETBOOK_ID', 'DETBOOK_CAPT');

execute procedure KVX_TEMPL('FLDTYPE', '%s');
execute procedure KVX_TEMPL_FLD('FLDTYPE', '', 'FLDTYPE_CAPT');

execute procedure KVX_TEMPL('FKRULE', '%s');
execute procedure KVX_TEMPL_FLD('FKRULE', '', 'FKRULE_CAPT');

execute procedure KVX_TEMPL('FRMLFUNC', '%s');
execute procedure KVX_TEMPL_FLD('FRMLFUNC', '', 'FRMLFUNC_CAPT');

execute procedure KVX_TEMPL('FLTRTRTP', '%s');
execute procedure KVX_TEMPL_FLD('FLTRTRTP', '', 'FLTRTRTP_CAPT');

execute procedure KVX_TEMPL('CTRLTRTP', '%s');
execute procedure KVX_TEMPL_FLD('CTRLTRTP', '', 'CTRLTRTP_CAPT');

commit;
