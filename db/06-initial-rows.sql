-- Starting rows that a fresh database needs before anyone can work in it.
--
-- A user to log in as (no password is kept or checked), and a base currency:
-- the rate function of formulas refuses to work until one currency is marked
-- as the base.

insert into USR (USR_ID, USR_LOGIN, USR_NAME)
  values (next value for USR_ID, 'admin', 'Администратор');

insert into CURR (CURR_ID, CURR_CODE, CURR_NAME, CURR_BASE)
  values (next value for CURR_ID, 'RUB', 'Российский рубль', 1);

commit;
