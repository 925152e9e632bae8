-- Users, their choices of views, cards and detail books, currencies and
-- rates.

-- Login looks the user up by USR_LOGIN (compared by the column's collation,
-- so case-insensitively). No password is stored: none is checked. The login
-- is deliberately not unique: with two rows of one login the first row the
-- database returns wins, and that rule is part of the program's behaviour.
create table USR (
  USR_ID     PK,
  USR_LOGIN  varchar(50)  character set UTF8 not null collate UNICODE_CI,
  USR_NAME   varchar(100) character set UTF8 collate UNICODE_CI,
  constraint PK_USR_ID primary key (USR_ID)
);
create sequence USR_ID;

-- A user's own choice of table view, card and detail book. They carry a key
-- of their own like every other table, so that they can be described in the
-- repository and edited through the generic windows (the record editor
-- needs a single key column with its sequence). One row per user and
-- view/card/book; the choice per object is whichever row the database
-- returns first, as the readers say.
create table USRTBL (
  USRTBL_ID  PK,
  USR_ID     FK not null,
  TBL_ID     FK not null,
  constraint PK_USRTBL_ID primary key (USRTBL_ID),
  constraint UQ_USRTBL_USR_TBL unique (USR_ID, TBL_ID)
);
create sequence USRTBL_ID;

alter table USRTBL add constraint FK_USRTBL_USR_ID
  foreign key (USR_ID) references USR (USR_ID)
  on delete cascade on update cascade;
alter table USRTBL add constraint FK_USRTBL_TBL_ID
  foreign key (TBL_ID) references TBL (TBL_ID)
  on delete cascade on update cascade;

create table USRCARD (
  USRCARD_ID  PK,
  USR_ID      FK not null,
  CARD_ID     FK not null,
  constraint PK_USRCARD_ID primary key (USRCARD_ID),
  constraint UQ_USRCARD_USR_CARD unique (USR_ID, CARD_ID)
);
create sequence USRCARD_ID;

alter table USRCARD add constraint FK_USRCARD_USR_ID
  foreign key (USR_ID) references USR (USR_ID)
  on delete cascade on update cascade;
alter table USRCARD add constraint FK_USRCARD_CARD_ID
  foreign key (CARD_ID) references CARD (CARD_ID)
  on delete cascade on update cascade;

create table USRDET (
  USRDET_ID   PK,
  USR_ID      FK not null,
  DETBOOK_ID  FK not null,
  constraint PK_USRDET_ID primary key (USRDET_ID),
  constraint UQ_USRDET_USR_DETBOOK unique (USR_ID, DETBOOK_ID)
);
create sequence USRDET_ID;

alter table USRDET add constraint FK_USRDET_USR_ID
  foreign key (USR_ID) references USR (USR_ID)
  on delete cascade on update cascade;
alter table USRDET add constraint FK_USRDET_DETBOOK_ID
  foreign key (DETBOOK_ID) references DETBOOK (DETBOOK_ID)
  on delete cascade on update cascade;

-- Currencies. CURR_BASE = 1 marks the base currency, whose rate is 1 on
-- every date; the rate lookup takes the first such row.
create table CURR (
  CURR_ID    PK,
  CURR_CODE  varchar(10)  character set UTF8 collate UNICODE_CI,
  CURR_NAME  varchar(100) character set UTF8 collate UNICODE_CI,
  CURR_BASE  BOOL default 0 not null,
  constraint PK_CURR_ID primary key (CURR_ID)
);
create sequence CURR_ID;

-- Rates: the rate of a currency on a date is the latest row on or before
-- that date. One rate per currency and day, otherwise "the latest" would be
-- ambiguous; the unique index also serves that lookup.
create table CURRATE (
  CURRATE_ID     PK,
  CURR_ID        FK not null,
  CURRATE_DATE   DATEONLY not null,
  CURRATE_VALUE  NUM184 not null,
  constraint PK_CURRATE_ID primary key (CURRATE_ID),
  constraint UQ_CURRATE_CURR_DATE unique (CURR_ID, CURRATE_DATE)
);
create sequence CURRATE_ID;

alter table CURRATE add constraint FK_CURRATE_CURR_ID
  foreign key (CURR_ID) references CURR (CURR_ID)
  on delete cascade on update cascade;

commit;
