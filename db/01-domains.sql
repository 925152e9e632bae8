-- Column domains.
--
-- The configurator adds business columns by naming one of these domains
-- ("alter table T add PRICE NUM182 default 0 not null"), so their names are
-- fixed. Defaults and NOT NULL are left to each column: whether a field gets
-- "default 0" or "not null" is chosen per field by its metadata row, so the
-- domains must not impose either (except PK, a key is never null).

create domain PK as integer not null;

create domain FK as integer;

create domain INTEG as integer;

-- Flags are 0/1. NULL passes the check, so a nullable business flag stays
-- possible; metadata flags are declared NOT NULL DEFAULT 0 at the column.
create domain BOOL as smallint
  check (value is null or value in (0, 1));

create domain NUM182 as numeric(18, 2);

create domain NUM183 as numeric(18, 3);

create domain NUM184 as numeric(18, 4);

create domain DATEONLY as date;

commit;
