-- Demo rows of the trading firm: reference books, currency rates, deals with
-- their products, payments and shipments.
--
-- Keys come from the sequences, as the program draws them, so every sequence
-- stands past the last demo key and the next record entered gets a fresh
-- one. Values the program computes are stored as its formulas would compute
-- them (price in the deal's currency, amount to pay, price with VAT, the
-- deal's rate); summing fields are left at 0 and filled by their triggers as
-- the detail rows go in.

-------------------------------------------------------------------------------
-- Users: managers besides the administrator

insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (next value for USR_ID, 'ivanov', 'Иванов Сергей Петрович');
insert into USR (USR_ID, USR_LOGIN, USR_NAME) values (next value for USR_ID, 'petrova', 'Петрова Анна Викторовна');

-------------------------------------------------------------------------------
-- Currencies (the base currency RUB is a starting row) and their rates,
-- every fifteen days through the year

insert into CURR (CURR_ID, CURR_CODE, CURR_NAME, CURR_BASE) values (next value for CURR_ID, 'USD', 'Доллар США', 0);
insert into CURR (CURR_ID, CURR_CODE, CURR_NAME, CURR_BASE) values (next value for CURR_ID, 'EUR', 'Евро', 0);
insert into CURR (CURR_ID, CURR_CODE, CURR_NAME, CURR_BASE) values (next value for CURR_ID, 'CNY', 'Китайский юань', 0);

set term ^ ;

execute block
as
  declare K integer;
  declare D date;
  declare USD integer;
  declare EUR integer;
  declare CNY integer;
begin
  select CURR_ID from CURR where CURR_CODE = 'USD' into :USD;
  select CURR_ID from CURR where CURR_CODE = 'EUR' into :EUR;
  select CURR_ID from CURR where CURR_CODE = 'CNY' into :CNY;
  K = 0;
  while (K < 25) do
  begin
    D = dateadd(15 * K day to date '2025-01-01');
    insert into CURRATE (CURRATE_ID, CURR_ID, CURRATE_DATE, CURRATE_VALUE)
      values (next value for CURRATE_ID, :USD, :D, 98.4500 - 0.6125 * :K + 0.4300 * mod(:K * 7, 5));
    insert into CURRATE (CURRATE_ID, CURR_ID, CURRATE_DATE, CURRATE_VALUE)
      values (next value for CURRATE_ID, :EUR, :D, 104.2000 - 0.3875 * :K + 0.5100 * mod(:K * 3, 4));
    insert into CURRATE (CURRATE_ID, CURR_ID, CURRATE_DATE, CURRATE_VALUE)
      values (next value for CURRATE_ID, :CNY, :D, 13.5600 - 0.0650 * :K + 0.0700 * mod(:K * 5, 3));
    K = K + 1;
  end
end^

set term ; ^

-------------------------------------------------------------------------------
-- Units of measure

insert into UNIT (UNIT_ID, UNIT_NAME, UNIT_FULL) values (next value for UNIT_ID, 'шт', 'Штука');
insert into UNIT (UNIT_ID, UNIT_NAME, UNIT_FULL) values (next value for UNIT_ID, 'кг', 'Килограмм');
insert into UNIT (UNIT_ID, UNIT_NAME, UNIT_FULL) values (next value for UNIT_ID, 'м', 'Метр');
insert into UNIT (UNIT_ID, UNIT_NAME, UNIT_FULL) values (next value for UNIT_ID, 'л', 'Литр');
insert into UNIT (UNIT_ID, UNIT_NAME, UNIT_FULL) values (next value for UNIT_ID, 'упак', 'Упаковка');
insert into UNIT (UNIT_ID, UNIT_NAME, UNIT_FULL) values (next value for UNIT_ID, 'компл', 'Комплект');

-------------------------------------------------------------------------------
-- Product groups, two levels

insert into PRODGRP (PRODGRP_ID, PRODGRP_NAME, PRODGRP_PRN) values (next value for PRODGRP_ID, 'Электроника', null);
insert into PRODGRP (PRODGRP_ID, PRODGRP_NAME, PRODGRP_PRN) values (next value for PRODGRP_ID, 'Канцелярия', null);
insert into PRODGRP (PRODGRP_ID, PRODGRP_NAME, PRODGRP_PRN) values (next value for PRODGRP_ID, 'Хозяйственные товары', null);
insert into PRODGRP (PRODGRP_ID, PRODGRP_NAME, PRODGRP_PRN)
  values (next value for PRODGRP_ID, 'Компьютеры', (select PRODGRP_ID from PRODGRP where PRODGRP_NAME = 'Электроника'));
insert into PRODGRP (PRODGRP_ID, PRODGRP_NAME, PRODGRP_PRN)
  values (next value for PRODGRP_ID, 'Периферия', (select PRODGRP_ID from PRODGRP where PRODGRP_NAME = 'Электроника'));
insert into PRODGRP (PRODGRP_ID, PRODGRP_NAME, PRODGRP_PRN)
  values (next value for PRODGRP_ID, 'Бумага', (select PRODGRP_ID from PRODGRP where PRODGRP_NAME = 'Канцелярия'));
insert into PRODGRP (PRODGRP_ID, PRODGRP_NAME, PRODGRP_PRN)
  values (next value for PRODGRP_ID, 'Письменные принадлежности', (select PRODGRP_ID from PRODGRP where PRODGRP_NAME = 'Канцелярия'));
insert into PRODGRP (PRODGRP_ID, PRODGRP_NAME, PRODGRP_PRN)
  values (next value for PRODGRP_ID, 'Бытовая химия', (select PRODGRP_ID from PRODGRP where PRODGRP_NAME = 'Хозяйственные товары'));

-------------------------------------------------------------------------------
-- Products: name, article, group, unit, price, price currency, weight,
-- active. The price with VAT is the price * 120 / 100 of its formula.

set term ^ ;

create procedure KVX_DEMO_PRODUCT (ANAME varchar(100), ACODE varchar(20), AGROUP varchar(100),
  AUNIT varchar(20), APRICE numeric(18, 2), ACURR varchar(10), AWEIGHT numeric(18, 3),
  AACTIVE smallint)
as
begin
  insert into PRODUCT (PRODUCT_ID, PRODUCT_NAME, PRODUCT_CODE, PRODGRP_ID, UNIT_ID, PRODUCT_PRICE,
      CURR_ID, PRODUCT_PRICEVAT, PRODUCT_WEIGHT, PRODUCT_ACTIVE)
    values (next value for PRODUCT_ID, :ANAME, :ACODE,
      (select PRODGRP_ID from PRODGRP where PRODGRP_NAME = :AGROUP),
      (select UNIT_ID from UNIT where UNIT_NAME = :AUNIT),
      :APRICE,
      (select CURR_ID from CURR where CURR_CODE = :ACURR),
      round(:APRICE * 120 / 100, 2), :AWEIGHT, :AACTIVE);
end^

set term ; ^

execute procedure KVX_DEMO_PRODUCT('Ноутбук 15,6" офисный', 'NB-1501', 'Компьютеры', 'шт', 540.00, 'USD', 1.900, 1);
execute procedure KVX_DEMO_PRODUCT('Ноутбук 14" лёгкий', 'NB-1402', 'Компьютеры', 'шт', 760.00, 'USD', 1.250, 1);
execute procedure KVX_DEMO_PRODUCT('Системный блок базовый', 'PC-2001', 'Компьютеры', 'шт', 48500.00, 'RUB', 6.500, 1);
execute procedure KVX_DEMO_PRODUCT('Системный блок игровой', 'PC-2002', 'Компьютеры', 'шт', 1180.00, 'EUR', 9.800, 1);
execute procedure KVX_DEMO_PRODUCT('Моноблок 24"', 'AIO-2401', 'Компьютеры', 'шт', 4650.00, 'CNY', 5.200, 1);
execute procedure KVX_DEMO_PRODUCT('Планшет 10"', 'TB-1001', 'Компьютеры', 'шт', 1890.00, 'CNY', 0.480, 0);
execute procedure KVX_DEMO_PRODUCT('Монитор 24" IPS', 'MN-2401', 'Периферия', 'шт', 13900.00, 'RUB', 3.600, 1);
execute procedure KVX_DEMO_PRODUCT('Монитор 27" 2K', 'MN-2702', 'Периферия', 'шт', 245.00, 'USD', 5.100, 1);
execute procedure KVX_DEMO_PRODUCT('Клавиатура проводная', 'KB-0101', 'Периферия', 'шт', 890.00, 'RUB', 0.550, 1);
execute procedure KVX_DEMO_PRODUCT('Клавиатура беспроводная', 'KB-0202', 'Периферия', 'шт', 2150.00, 'RUB', 0.480, 1);
execute procedure KVX_DEMO_PRODUCT('Мышь оптическая', 'MS-0101', 'Периферия', 'шт', 450.00, 'RUB', 0.090, 1);
execute procedure KVX_DEMO_PRODUCT('Мышь беспроводная', 'MS-0202', 'Периферия', 'шт', 79.00, 'CNY', 0.070, 1);
execute procedure KVX_DEMO_PRODUCT('Принтер лазерный', 'PR-1001', 'Периферия', 'шт', 185.00, 'EUR', 7.400, 1);
execute procedure KVX_DEMO_PRODUCT('МФУ лазерное', 'PR-2002', 'Периферия', 'шт', 26400.00, 'RUB', 11.200, 1);
execute procedure KVX_DEMO_PRODUCT('Кабель HDMI 2 м', 'CB-0020', 'Периферия', 'шт', 390.00, 'RUB', 0.120, 1);
execute procedure KVX_DEMO_PRODUCT('Кабель витая пара', 'CB-5E00', 'Периферия', 'м', 24.50, 'RUB', 0.030, 1);
execute procedure KVX_DEMO_PRODUCT('Веб-камера', 'WC-0101', 'Периферия', 'шт', 165.00, 'CNY', 0.150, 0);
execute procedure KVX_DEMO_PRODUCT('Бумага офисная А4', 'PP-A401', 'Бумага', 'упак', 389.00, 'RUB', 2.500, 1);
execute procedure KVX_DEMO_PRODUCT('Бумага офисная А3', 'PP-A301', 'Бумага', 'упак', 895.00, 'RUB', 5.000, 1);
execute procedure KVX_DEMO_PRODUCT('Бумага для заметок', 'PP-NT01', 'Бумага', 'упак', 120.00, 'RUB', 0.250, 1);
execute procedure KVX_DEMO_PRODUCT('Ручка шариковая синяя', 'PN-0101', 'Письменные принадлежности', 'шт', 25.00, 'RUB', 0.010, 1);
execute procedure KVX_DEMO_PRODUCT('Ручка гелевая чёрная', 'PN-0202', 'Письменные принадлежности', 'шт', 48.00, 'RUB', 0.012, 1);
execute procedure KVX_DEMO_PRODUCT('Карандаш чернографитный', 'PN-0303', 'Письменные принадлежности', 'шт', 14.00, 'RUB', 0.006, 1);
execute procedure KVX_DEMO_PRODUCT('Маркер текстовый', 'PN-0404', 'Письменные принадлежности', 'шт', 65.00, 'RUB', 0.015, 1);
execute procedure KVX_DEMO_PRODUCT('Набор маркеров для доски', 'PN-0505', 'Письменные принадлежности', 'компл', 2.90, 'EUR', 0.080, 1);
execute procedure KVX_DEMO_PRODUCT('Степлер', 'ST-0101', 'Канцелярия', 'шт', 310.00, 'RUB', 0.220, 1);
execute procedure KVX_DEMO_PRODUCT('Скобы для степлера', 'ST-0202', 'Канцелярия', 'упак', 35.00, 'RUB', 0.030, 1);
execute procedure KVX_DEMO_PRODUCT('Папка-регистратор', 'FD-0101', 'Канцелярия', 'шт', 185.00, 'RUB', 0.450, 1);
execute procedure KVX_DEMO_PRODUCT('Средство для мытья полов', 'CH-0101', 'Бытовая химия', 'л', 160.00, 'RUB', 1.050, 1);
execute procedure KVX_DEMO_PRODUCT('Средство для стёкол', 'CH-0202', 'Бытовая химия', 'л', 140.00, 'RUB', 1.020, 1);
execute procedure KVX_DEMO_PRODUCT('Мыло жидкое', 'CH-0303', 'Бытовая химия', 'л', 95.00, 'RUB', 1.000, 1);
execute procedure KVX_DEMO_PRODUCT('Пакеты для мусора 60 л', 'HH-0101', 'Хозяйственные товары', 'упак', 110.00, 'RUB', 0.400, 1);
execute procedure KVX_DEMO_PRODUCT('Перчатки хозяйственные', 'HH-0202', 'Хозяйственные товары', 'компл', 75.00, 'RUB', 0.060, 1);
execute procedure KVX_DEMO_PRODUCT('Кофе в зёрнах', 'FD-1001', null, 'кг', 14.50, 'EUR', 1.000, 1);
execute procedure KVX_DEMO_PRODUCT('Чай листовой', 'FD-1002', null, 'кг', 1150.00, 'RUB', 1.000, 1);
execute procedure KVX_DEMO_PRODUCT('Вода питьевая 19 л', 'FD-1003', null, 'шт', 320.00, 'RUB', 19.000, 0);

drop procedure KVX_DEMO_PRODUCT;

-------------------------------------------------------------------------------
-- Counterparties

insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Альфа-Офис»', '7701234567', '+7 495 123-45-67', 'zakaz@alfa-office.ru', 'г. Москва, ул. Тверская, д. 12', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'АО «Балтийская логистика»', '7812345678', '+7 812 234-56-78', 'office@baltlog.ru', 'г. Санкт-Петербург, Невский пр., д. 88', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Вектор»', '5401234560', '+7 383 345-67-89', 'info@vector-nsk.ru', 'г. Новосибирск, Красный пр., д. 25', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ИП Гончаров А. В.', '660123456789', '+7 343 456-78-90', 'goncharov@mail.ru', 'г. Екатеринбург, ул. Малышева, д. 5', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Дельта Строй»', '1651234567', '+7 843 567-89-01', 'snab@deltastroy.ru', 'г. Казань, ул. Баумана, д. 40', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ГБОУ «Школа № 1520»', '7702345678', '+7 495 678-90-12', 'school1520@edu.ru', 'г. Москва, ул. Садовая, д. 3', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Евразия Трейд»', '2310123456', '+7 861 789-01-23', 'trade@evrazia.ru', 'г. Краснодар, ул. Красная, д. 77', 1, 1);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Жемчужина»', '2320123456', '+7 862 890-12-34', 'hotel@zhemchug.ru', 'г. Сочи, Курортный пр., д. 50', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'АО «Зенит Банк Сервис»', '7703456789', '+7 495 901-23-45', 'ahd@zenitbs.ru', 'г. Москва, Пресненская наб., д. 10', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Импульс»', '6311234567', '+7 846 012-34-56', 'impuls@samara.ru', 'г. Самара, ул. Ленинградская, д. 14', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Кристалл»', '5260123456', '+7 831 123-45-60', 'buh@kristall-nn.ru', 'г. Нижний Новгород, ул. Большая Покровская, д. 9', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ФГБУ «Лаборатория Север»', '2901234567', '+7 818 234-56-70', 'lab@sever.gov.ru', 'г. Архангельск, наб. Северной Двины, д. 30', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Медиа Плюс»', '7804567890', '+7 812 345-67-80', 'media@mplus.ru', 'г. Санкт-Петербург, ул. Рубинштейна, д. 7', 1, 0);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «ТехноИмпорт»', '7705678901', '+7 495 456-78-01', 'sales@technoimport.ru', 'г. Москва, Варшавское ш., д. 118', 0, 1);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Бумажный двор»', '4025123456', '+7 484 567-80-12', 'opt@bumdvor.ru', 'г. Обнинск, ул. Энгельса, д. 2', 0, 1);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'Shenzhen Bright Electronics Co., Ltd.', null, '+86 755 8888 1234', 'export@bright-sz.cn', 'Shenzhen, Futian District', 0, 1);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Чистый дом»', '3661234567', '+7 473 678-90-23', 'zakaz@chdom.ru', 'г. Воронеж, пр. Революции, д. 21', 0, 1);
insert into CONTRAG (CONTRAG_ID, CONTRAG_NAME, CONTRAG_INN, CONTRAG_PHONE, CONTRAG_EMAIL, CONTRAG_ADDR, CONTRAG_BUYER, CONTRAG_SUPPL)
  values (next value for CONTRAG_ID, 'ООО «Северный ветер»', '1001234567', null, null, 'г. Петрозаводск, пр. Ленина, д. 1', 0, 0);

-------------------------------------------------------------------------------
-- Deals. Thirty-six deals through the year, each with two to four products.
-- The older deals are paid in two payments and shipped in full, and closed;
-- later ones are paid in part or not at all, shipped in part or not yet.
-- A payment is spread over its deal's products, each part a row of
-- PRODPAYM; a shipment carries one PRODSHIP row per product shipped.

set term ^ ;

execute block
as
  declare I integer;
  declare J integer;
  declare NLINES integer;
  declare NBUYERS integer;
  declare NPROD integer;
  declare NUSR integer;
  declare BASE integer;
  declare DEAL integer;
  declare DDATE date;
  declare CONTRAG integer;
  declare CURR integer;
  declare RATE numeric(18, 4);
  declare PROD integer;
  declare PCURR integer;
  declare PPRICE numeric(18, 2);
  declare PRATE numeric(18, 4);
  declare QTY numeric(18, 3);
  declare PRICE numeric(18, 2);
  declare DLV numeric(18, 2);
  declare PAYM integer;
  declare SHIP integer;
  declare LINE integer;
  declare PAY numeric(18, 2);
  declare PAID numeric(18, 2);
  declare CNT numeric(18, 3);
  declare MANAGER integer;
begin
  select CURR_ID from CURR where CURR_BASE = 1 into :BASE;
  select count(*) from CONTRAG where CONTRAG_BUYER = 1 into :NBUYERS;
  select count(*) from PRODUCT where PRODUCT_ACTIVE = 1 into :NPROD;
  select count(*) from USR into :NUSR;
  I = 1;
  while (I <= 36) do
  begin
    DDATE = dateadd(8 * I day to date '2025-01-05');
    select CONTRAG_ID from CONTRAG where CONTRAG_BUYER = 1 order by CONTRAG_ID
      rows (mod(:I * 5, :NBUYERS) + 1) to (mod(:I * 5, :NBUYERS) + 1) into :CONTRAG;
    if (mod(I, 5) = 0) then
      select CURR_ID from CURR where CURR_CODE = 'USD' into :CURR;
    else if (mod(I, 7) = 0) then
      select CURR_ID from CURR where CURR_CODE = 'EUR' into :CURR;
    else
      CURR = BASE;
    if (CURR = BASE) then
      RATE = 1;
    else
      select first 1 CURRATE_VALUE from CURRATE where CURR_ID = :CURR and CURRATE_DATE <= :DDATE
        order by CURRATE_DATE desc into :RATE;
    select USR_ID from USR order by USR_ID rows (mod(:I, :NUSR) + 1) to (mod(:I, :NUSR) + 1)
      into :MANAGER;
    insert into DEAL (DEAL_ID, DEAL_NUM, DEAL_DATE, CONTRAG_ID, CURR_ID, DEAL_RATE, USR_ID,
        DEAL_CLOSED, DEAL_NOTE)
      values (next value for DEAL_ID, 'С-25/' || lpad(:I, 3, '0'), :DDATE, :CONTRAG, :CURR, :RATE,
        :MANAGER, iif(:I <= 20, 1, 0),
        iif(mod(:I, 6) = 0, 'Доставка силами покупателя', null))
      returning DEAL_ID into :DEAL;

    -- Products: price in the deal's currency at the rates of the deal's
    -- date, amount to pay = quantity * price + delivery.
    NLINES = 2 + mod(I, 3);
    J = 1;
    while (J <= NLINES) do
    begin
      select PRODUCT_ID, CURR_ID, PRODUCT_PRICE from PRODUCT where PRODUCT_ACTIVE = 1
        order by PRODUCT_ID rows (mod(:I * 7 + :J * 11, :NPROD) + 1) to (mod(:I * 7 + :J * 11, :NPROD) + 1)
        into :PROD, :PCURR, :PPRICE;
      if (PCURR = BASE) then
        PRATE = 1;
      else
        select first 1 CURRATE_VALUE from CURRATE where CURR_ID = :PCURR and CURRATE_DATE <= :DDATE
          order by CURRATE_DATE desc into :PRATE;
      PRICE = round(PPRICE * PRATE / RATE, 2);
      QTY = 1 + mod(I * J * 3, 12);
      DLV = iif(mod(I + J, 4) = 0, round(1500 / RATE, 2), 0);
      insert into DEALPROD (DEALPROD_ID, DEAL_ID, PRODUCT_ID, DEALPROD_SHIP, DEALPROD_PRICE,
          DEALPROD_DLV, DEALPROD_PAY)
        values (next value for DEALPROD_ID, :DEAL, :PROD, :QTY, :PRICE, :DLV,
          round(:QTY * :PRICE + :DLV, 2));
      J = J + 1;
    end

    -- Payments: the first one pays half of every product, the second one
    -- the rest (closed deals only). The payer is the deal's counterparty.
    if (I <= 28) then
    begin
      insert into DEALPAYM (DEALPAYM_ID, DEAL_ID, DEALPAYM_DATE, DEALPAYM_DOC, CONTRAG_ID)
        values (next value for DEALPAYM_ID, :DEAL, dateadd(3 day to :DDATE),
          'п/п № ' || (1000 + 2 * :I), :CONTRAG)
        returning DEALPAYM_ID into :PAYM;
      for select DEALPROD_ID, DEALPROD_PAY from DEALPROD where DEAL_ID = :DEAL order by DEALPROD_ID
          into :LINE, :PAY do
        insert into PRODPAYM (PRODPAYM_ID, DEALPAYM_ID, DEALPROD_ID, PRODPAYM_SUM)
          values (next value for PRODPAYM_ID, :PAYM, :LINE, round(:PAY / 2, 2));
    end
    if (I <= 20) then
    begin
      insert into DEALPAYM (DEALPAYM_ID, DEAL_ID, DEALPAYM_DATE, DEALPAYM_DOC, CONTRAG_ID)
        values (next value for DEALPAYM_ID, :DEAL, dateadd(12 day to :DDATE),
          'п/п № ' || (1001 + 2 * :I), :CONTRAG)
        returning DEALPAYM_ID into :PAYM;
      for select DEALPROD_ID, DEALPROD_PAY, DEALPROD_PAID from DEALPROD where DEAL_ID = :DEAL
          order by DEALPROD_ID into :LINE, :PAY, :PAID do
        insert into PRODPAYM (PRODPAYM_ID, DEALPAYM_ID, DEALPROD_ID, PRODPAYM_SUM)
          values (next value for PRODPAYM_ID, :PAYM, :LINE, :PAY - :PAID);
    end

    -- Shipments: in full for closed deals, half of each quantity for a few
    -- open ones.
    if (I <= 24) then
    begin
      insert into DEALSHIP (DEALSHIP_ID, DEAL_ID, DEALSHIP_DATE, DEALSHIP_DOC)
        values (next value for DEALSHIP_ID, :DEAL, dateadd(10 day to :DDATE),
          'ТН-' || (500 + :I))
        returning DEALSHIP_ID into :SHIP;
      for select DEALPROD_ID, DEALPROD_SHIP from DEALPROD where DEAL_ID = :DEAL
          order by DEALPROD_ID into :LINE, :CNT do
        insert into PRODSHIP (PRODSHIP_ID, DEALSHIP_ID, DEALPROD_ID, PRODSHIP_CNT)
          values (next value for PRODSHIP_ID, :SHIP, :LINE,
            iif(:I <= 20, :CNT, round(:CNT / 2, 0)));
    end
    I = I + 1;
  end
end^

set term ; ^

commit;
