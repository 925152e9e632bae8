-- Tables of the demo business: a small trading firm that sells goods under
-- deals, takes payments and ships goods against them.
--
-- Every statement below is the one the configurator itself sends when a
-- developer creates these objects, fields and links (object editor, field
-- editor, link editor), text for text. A table made here and a table made
-- through the configurator must be indistinguishable: the configurator later
-- drops columns, triggers and sequences by the names it would have given them
-- ("drop trigger DEAL_SUM_AI", "drop sequence DEAL_ID", ...), and the schema
-- test compares every repository row with what these statements made.
--
-- For each object: the table with its key column on the domain PK, the
-- primary key PK_<key column> and the sequence named like the key column.
-- For each field: "alter table ... add ..." on the domain of its type, with
-- "default 0" and "not null" exactly when the field row says so (an empty
-- part leaves its blanks in place, as the editor's format does).
-- For each stored link field: the column on the domain FK and the foreign key
-- FK_<detail table>_<column>, "on delete" by the link's rule, always
-- "on update CASCADE".
-- For each summing field: its three triggers on the detail table (the
-- configurator creates them with the column; here they follow once every
-- detail column they read exists). The sums start at 0, and the demo rows
-- written later are kept summed by these triggers alone.
--
-- The repository rows that describe these tables are in 10-repo-demo.sql.

-------------------------------------------------------------------------------
-- Objects: table, primary key, sequence

create table UNIT (UNIT_ID PK NOT NULL);
alter table UNIT add constraint PK_UNIT_ID primary key (UNIT_ID);
create sequence UNIT_ID;

create table PRODGRP (PRODGRP_ID PK NOT NULL);
alter table PRODGRP add constraint PK_PRODGRP_ID primary key (PRODGRP_ID);
create sequence PRODGRP_ID;

create table PRODUCT (PRODUCT_ID PK NOT NULL);
alter table PRODUCT add constraint PK_PRODUCT_ID primary key (PRODUCT_ID);
create sequence PRODUCT_ID;

create table CONTRAG (CONTRAG_ID PK NOT NULL);
alter table CONTRAG add constraint PK_CONTRAG_ID primary key (CONTRAG_ID);
create sequence CONTRAG_ID;

create table DEAL (DEAL_ID PK NOT NULL);
alter table DEAL add constraint PK_DEAL_ID primary key (DEAL_ID);
create sequence DEAL_ID;

create table DEALPROD (DEALPROD_ID PK NOT NULL);
alter table DEALPROD add constraint PK_DEALPROD_ID primary key (DEALPROD_ID);
create sequence DEALPROD_ID;

create table DEALPAYM (DEALPAYM_ID PK NOT NULL);
alter table DEALPAYM add constraint PK_DEALPAYM_ID primary key (DEALPAYM_ID);
create sequence DEALPAYM_ID;

create table DEALSHIP (DEALSHIP_ID PK NOT NULL);
alter table DEALSHIP add constraint PK_DEALSHIP_ID primary key (DEALSHIP_ID);
create sequence DEALSHIP_ID;

create table PRODPAYM (PRODPAYM_ID PK NOT NULL);
alter table PRODPAYM add constraint PK_PRODPAYM_ID primary key (PRODPAYM_ID);
create sequence PRODPAYM_ID;

create table PRODSHIP (PRODSHIP_ID PK NOT NULL);
alter table PRODSHIP add constraint PK_PRODSHIP_ID primary key (PRODSHIP_ID);
create sequence PRODSHIP_ID;

commit;

-------------------------------------------------------------------------------
-- Units of measure (reference book)

alter table UNIT add UNIT_NAME varchar(20) character set UTF8 not null collate UNICODE_CI;
alter table UNIT add UNIT_FULL varchar(100) character set UTF8  collate UNICODE_CI;

-------------------------------------------------------------------------------
-- Product groups (reference book); a group may sit inside another one.
-- Links to reference books are created "no action": a group, unit,
-- currency or counterparty in use cannot be deleted.

alter table PRODGRP add PRODGRP_NAME varchar(100) character set UTF8 not null collate UNICODE_CI;
alter table PRODGRP add PRODGRP_PRN FK ;
alter table PRODGRP add constraint FK_PRODGRP_PRODGRP_PRN
foreign key (PRODGRP_PRN) references PRODGRP(PRODGRP_ID)
on delete NO ACTION on update CASCADE;

-------------------------------------------------------------------------------
-- Products (reference book)

alter table PRODUCT add PRODUCT_NAME varchar(100) character set UTF8 not null collate UNICODE_CI;
alter table PRODUCT add PRODUCT_CODE varchar(20) character set UTF8  collate UNICODE_CI;
alter table PRODUCT add PRODGRP_ID FK ;
alter table PRODUCT add constraint FK_PRODUCT_PRODGRP_ID
foreign key (PRODGRP_ID) references PRODGRP(PRODGRP_ID)
on delete NO ACTION on update CASCADE;
alter table PRODUCT add UNIT_ID FK not null;
alter table PRODUCT add constraint FK_PRODUCT_UNIT_ID
foreign key (UNIT_ID) references UNIT(UNIT_ID)
on delete NO ACTION on update CASCADE;
alter table PRODUCT add PRODUCT_PRICE NUM182 default 0 not null;
alter table PRODUCT add CURR_ID FK not null;
alter table PRODUCT add constraint FK_PRODUCT_CURR_ID
foreign key (CURR_ID) references CURR(CURR_ID)
on delete NO ACTION on update CASCADE;
alter table PRODUCT add PRODUCT_PRICEVAT NUM182 default 0 not null;
alter table PRODUCT add PRODUCT_WEIGHT NUM183 default 0 not null;
alter table PRODUCT add PRODUCT_ACTIVE BOOL default 0 not null;

-------------------------------------------------------------------------------
-- Counterparties (reference book)

alter table CONTRAG add CONTRAG_NAME varchar(100) character set UTF8 not null collate UNICODE_CI;
alter table CONTRAG add CONTRAG_INN varchar(12) character set UTF8  collate UNICODE_CI;
alter table CONTRAG add CONTRAG_PHONE varchar(20) character set UTF8  collate UNICODE_CI;
alter table CONTRAG add CONTRAG_EMAIL varchar(50) character set UTF8  collate UNICODE_CI;
alter table CONTRAG add CONTRAG_ADDR varchar(250) character set UTF8  collate UNICODE_CI;
alter table CONTRAG add CONTRAG_BUYER BOOL default 0 not null;
alter table CONTRAG add CONTRAG_SUPPL BOOL default 0 not null;
-- Summing field over the deals (its triggers are below, with the others).
alter table CONTRAG add CONTRAG_TURN NUM182 default 0 not null;

-------------------------------------------------------------------------------
-- Deals. The user of a deal is its manager: deleting a user empties the
-- field (set null), since USR is not a reference book.

alter table DEAL add DEAL_NUM varchar(20) character set UTF8 not null collate UNICODE_CI;
alter table DEAL add DEAL_DATE DATEONLY not null;
alter table DEAL add CONTRAG_ID FK not null;
alter table DEAL add constraint FK_DEAL_CONTRAG_ID
foreign key (CONTRAG_ID) references CONTRAG(CONTRAG_ID)
on delete NO ACTION on update CASCADE;
alter table DEAL add CURR_ID FK not null;
alter table DEAL add constraint FK_DEAL_CURR_ID
foreign key (CURR_ID) references CURR(CURR_ID)
on delete NO ACTION on update CASCADE;
-- The rate is computed on the card and may stay empty (no rate known yet).
alter table DEAL add DEAL_RATE NUM184  ;
alter table DEAL add USR_ID FK ;
alter table DEAL add constraint FK_DEAL_USR_ID
foreign key (USR_ID) references USR(USR_ID)
on delete SET NULL on update CASCADE;
alter table DEAL add DEAL_SUM NUM182 default 0 not null;
alter table DEAL add DEAL_PAID NUM182 default 0 not null;
alter table DEAL add DEAL_CLOSED BOOL default 0 not null;
alter table DEAL add DEAL_NOTE varchar(250) character set UTF8  collate UNICODE_CI;

-------------------------------------------------------------------------------
-- Products of a deal (link "DealProd"). What is to be paid and shipped per
-- product, and what has been paid and shipped so far (summing fields over
-- the payment and shipment rows of the product).

alter table DEALPROD add DEAL_ID FK not null;
alter table DEALPROD add constraint FK_DEALPROD_DEAL_ID
foreign key (DEAL_ID) references DEAL(DEAL_ID)
on delete CASCADE on update CASCADE;
alter table DEALPROD add PRODUCT_ID FK not null;
alter table DEALPROD add constraint FK_DEALPROD_PRODUCT_ID
foreign key (PRODUCT_ID) references PRODUCT(PRODUCT_ID)
on delete NO ACTION on update CASCADE;
alter table DEALPROD add DEALPROD_SHIP NUM183 default 0 not null;
alter table DEALPROD add DEALPROD_PRICE NUM182 default 0 not null;
alter table DEALPROD add DEALPROD_DLV NUM182 default 0 not null;
alter table DEALPROD add DEALPROD_PAY NUM182 default 0 not null;
alter table DEALPROD add DEALPROD_PAID NUM182 default 0 not null;
alter table DEALPROD add DEALPROD_SHPD NUM183 default 0 not null;

-------------------------------------------------------------------------------
-- Payments of a deal (link "DealPaym"). The payer defaults to the deal's
-- counterparty (formula "key of the master record").

alter table DEALPAYM add DEAL_ID FK not null;
alter table DEALPAYM add constraint FK_DEALPAYM_DEAL_ID
foreign key (DEAL_ID) references DEAL(DEAL_ID)
on delete CASCADE on update CASCADE;
alter table DEALPAYM add DEALPAYM_DATE DATEONLY not null;
alter table DEALPAYM add DEALPAYM_DOC varchar(50) character set UTF8  collate UNICODE_CI;
alter table DEALPAYM add CONTRAG_ID FK ;
alter table DEALPAYM add constraint FK_DEALPAYM_CONTRAG_ID
foreign key (CONTRAG_ID) references CONTRAG(CONTRAG_ID)
on delete NO ACTION on update CASCADE;
alter table DEALPAYM add DEALPAYM_SUM NUM182 default 0 not null;

-------------------------------------------------------------------------------
-- Shipments of a deal (link "DealShip").

alter table DEALSHIP add DEAL_ID FK not null;
alter table DEALSHIP add constraint FK_DEALSHIP_DEAL_ID
foreign key (DEAL_ID) references DEAL(DEAL_ID)
on delete CASCADE on update CASCADE;
alter table DEALSHIP add DEALSHIP_DATE DATEONLY not null;
alter table DEALSHIP add DEALSHIP_DOC varchar(50) character set UTF8  collate UNICODE_CI;
alter table DEALSHIP add DEALSHIP_CNT NUM183 default 0 not null;

-------------------------------------------------------------------------------
-- Parts of a payment per product (link "Paym-ProdPaym") and quantities of a
-- shipment per product (link "Ship-ProdShip"). A part goes with its payment
-- or shipment and with its deal product (cascade), so the summing fields
-- above always add up to the rows that exist.

alter table PRODPAYM add DEALPAYM_ID FK not null;
alter table PRODPAYM add constraint FK_PRODPAYM_DEALPAYM_ID
foreign key (DEALPAYM_ID) references DEALPAYM(DEALPAYM_ID)
on delete CASCADE on update CASCADE;
alter table PRODPAYM add DEALPROD_ID FK not null;
alter table PRODPAYM add constraint FK_PRODPAYM_DEALPROD_ID
foreign key (DEALPROD_ID) references DEALPROD(DEALPROD_ID)
on delete CASCADE on update CASCADE;
alter table PRODPAYM add PRODPAYM_SUM NUM182 default 0 not null;

alter table PRODSHIP add DEALSHIP_ID FK not null;
alter table PRODSHIP add constraint FK_PRODSHIP_DEALSHIP_ID
foreign key (DEALSHIP_ID) references DEALSHIP(DEALSHIP_ID)
on delete CASCADE on update CASCADE;
alter table PRODSHIP add DEALPROD_ID FK not null;
alter table PRODSHIP add constraint FK_PRODSHIP_DEALPROD_ID
foreign key (DEALPROD_ID) references DEALPROD(DEALPROD_ID)
on delete CASCADE on update CASCADE;
alter table PRODSHIP add PRODSHIP_CNT NUM183 default 0 not null;

commit;

-------------------------------------------------------------------------------
-- Summing triggers, named after the summing column, on the detail table,
-- in the order after insert, after delete, after update.

set term ^ ;

-- DEAL.DEAL_SUM = sum of DEALPROD.DEALPROD_PAY over the link "DealProd".
CREATE trigger DEAL_SUM_AI for DEALPROD
active after insert position 0
AS
begin
  if (coalesce(NEW.DEALPROD_PAY, 0) <> 0) then
    update DEAL T
    set T.DEAL_SUM = coalesce(T.DEAL_SUM, 0) + NEW.DEALPROD_PAY
    where T.DEAL_ID = NEW.DEAL_ID;
end^

CREATE trigger DEAL_SUM_AD for DEALPROD
active after delete position 0
AS
begin
  if (coalesce(OLD.DEALPROD_PAY, 0) <> 0) then
    update DEAL T
    set T.DEAL_SUM = coalesce(T.DEAL_SUM, 0) - OLD.DEALPROD_PAY
    where T.DEAL_ID = OLD.DEAL_ID;
end^

CREATE trigger DEAL_SUM_AU for DEALPROD
active after update position 0
AS
begin
  if (NEW.DEAL_ID is not distinct from OLD.DEAL_ID) then
    if (coalesce(NEW.DEALPROD_PAY, 0) <> coalesce(OLD.DEALPROD_PAY, 0)) then
      update DEAL T
      set T.DEAL_SUM = coalesce(T.DEAL_SUM, 0) + coalesce(NEW.DEALPROD_PAY, 0) - coalesce(OLD.DEALPROD_PAY, 0)
      where T.DEAL_ID = NEW.DEAL_ID;
    else
    begin
    end
  else
    begin
      if (coalesce(OLD.DEALPROD_PAY, 0) <> 0) then
        update DEAL T
        set T.DEAL_SUM = coalesce(T.DEAL_SUM, 0) - OLD.DEALPROD_PAY
        where T.DEAL_ID = OLD.DEAL_ID;
      if (coalesce(NEW.DEALPROD_PAY, 0) <> 0) then
        update DEAL T
        set T.DEAL_SUM = coalesce(T.DEAL_SUM, 0) + NEW.DEALPROD_PAY
        where T.DEAL_ID = NEW.DEAL_ID;
    end
end^

-- DEAL.DEAL_PAID = sum of DEALPAYM.DEALPAYM_SUM over the link "DealPaym".
CREATE trigger DEAL_PAID_AI for DEALPAYM
active after insert position 0
AS
begin
  if (coalesce(NEW.DEALPAYM_SUM, 0) <> 0) then
    update DEAL T
    set T.DEAL_PAID = coalesce(T.DEAL_PAID, 0) + NEW.DEALPAYM_SUM
    where T.DEAL_ID = NEW.DEAL_ID;
end^

CREATE trigger DEAL_PAID_AD for DEALPAYM
active after delete position 0
AS
begin
  if (coalesce(OLD.DEALPAYM_SUM, 0) <> 0) then
    update DEAL T
    set T.DEAL_PAID = coalesce(T.DEAL_PAID, 0) - OLD.DEALPAYM_SUM
    where T.DEAL_ID = OLD.DEAL_ID;
end^

CREATE trigger DEAL_PAID_AU for DEALPAYM
active after update position 0
AS
begin
  if (NEW.DEAL_ID is not distinct from OLD.DEAL_ID) then
    if (coalesce(NEW.DEALPAYM_SUM, 0) <> coalesce(OLD.DEALPAYM_SUM, 0)) then
      update DEAL T
      set T.DEAL_PAID = coalesce(T.DEAL_PAID, 0) + coalesce(NEW.DEALPAYM_SUM, 0) - coalesce(OLD.DEALPAYM_SUM, 0)
      where T.DEAL_ID = NEW.DEAL_ID;
    else
    begin
    end
  else
    begin
      if (coalesce(OLD.DEALPAYM_SUM, 0) <> 0) then
        update DEAL T
        set T.DEAL_PAID = coalesce(T.DEAL_PAID, 0) - OLD.DEALPAYM_SUM
        where T.DEAL_ID = OLD.DEAL_ID;
      if (coalesce(NEW.DEALPAYM_SUM, 0) <> 0) then
        update DEAL T
        set T.DEAL_PAID = coalesce(T.DEAL_PAID, 0) + NEW.DEALPAYM_SUM
        where T.DEAL_ID = NEW.DEAL_ID;
    end
end^

-- CONTRAG.CONTRAG_TURN = sum of DEAL.DEAL_SUM over the link "Contrag-Deal".
CREATE trigger CONTRAG_TURN_AI for DEAL
active after insert position 0
AS
begin
  if (coalesce(NEW.DEAL_SUM, 0) <> 0) then
    update CONTRAG T
    set T.CONTRAG_TURN = coalesce(T.CONTRAG_TURN, 0) + NEW.DEAL_SUM
    where T.CONTRAG_ID = NEW.CONTRAG_ID;
end^

CREATE trigger CONTRAG_TURN_AD for DEAL
active after delete position 0
AS
begin
  if (coalesce(OLD.DEAL_SUM, 0) <> 0) then
    update CONTRAG T
    set T.CONTRAG_TURN = coalesce(T.CONTRAG_TURN, 0) - OLD.DEAL_SUM
    where T.CONTRAG_ID = OLD.CONTRAG_ID;
end^

CREATE trigger CONTRAG_TURN_AU for DEAL
active after update position 0
AS
begin
  if (NEW.CONTRAG_ID is not distinct from OLD.CONTRAG_ID) then
    if (coalesce(NEW.DEAL_SUM, 0) <> coalesce(OLD.DEAL_SUM, 0)) then
      update CONTRAG T
      set T.CONTRAG_TURN = coalesce(T.CONTRAG_TURN, 0) + coalesce(NEW.DEAL_SUM, 0) - coalesce(OLD.DEAL_SUM, 0)
      where T.CONTRAG_ID = NEW.CONTRAG_ID;
    else
    begin
    end
  else
    begin
      if (coalesce(OLD.DEAL_SUM, 0) <> 0) then
        update CONTRAG T
        set T.CONTRAG_TURN = coalesce(T.CONTRAG_TURN, 0) - OLD.DEAL_SUM
        where T.CONTRAG_ID = OLD.CONTRAG_ID;
      if (coalesce(NEW.DEAL_SUM, 0) <> 0) then
        update CONTRAG T
        set T.CONTRAG_TURN = coalesce(T.CONTRAG_TURN, 0) + NEW.DEAL_SUM
        where T.CONTRAG_ID = NEW.CONTRAG_ID;
    end
end^

-- DEALPROD.DEALPROD_PAID = sum of PRODPAYM.PRODPAYM_SUM over "Prod-ProdPaym".
CREATE trigger DEALPROD_PAID_AI for PRODPAYM
active after insert position 0
AS
begin
  if (coalesce(NEW.PRODPAYM_SUM, 0) <> 0) then
    update DEALPROD T
    set T.DEALPROD_PAID = coalesce(T.DEALPROD_PAID, 0) + NEW.PRODPAYM_SUM
    where T.DEALPROD_ID = NEW.DEALPROD_ID;
end^

CREATE trigger DEALPROD_PAID_AD for PRODPAYM
active after delete position 0
AS
begin
  if (coalesce(OLD.PRODPAYM_SUM, 0) <> 0) then
    update DEALPROD T
    set T.DEALPROD_PAID = coalesce(T.DEALPROD_PAID, 0) - OLD.PRODPAYM_SUM
    where T.DEALPROD_ID = OLD.DEALPROD_ID;
end^

CREATE trigger DEALPROD_PAID_AU for PRODPAYM
active after update position 0
AS
begin
  if (NEW.DEALPROD_ID is not distinct from OLD.DEALPROD_ID) then
    if (coalesce(NEW.PRODPAYM_SUM, 0) <> coalesce(OLD.PRODPAYM_SUM, 0)) then
      update DEALPROD T
      set T.DEALPROD_PAID = coalesce(T.DEALPROD_PAID, 0) + coalesce(NEW.PRODPAYM_SUM, 0) - coalesce(OLD.PRODPAYM_SUM, 0)
      where T.DEALPROD_ID = NEW.DEALPROD_ID;
    else
    begin
    end
  else
    begin
      if (coalesce(OLD.PRODPAYM_SUM, 0) <> 0) then
        update DEALPROD T
        set T.DEALPROD_PAID = coalesce(T.DEALPROD_PAID, 0) - OLD.PRODPAYM_SUM
        where T.DEALPROD_ID = OLD.DEALPROD_ID;
      if (coalesce(NEW.PRODPAYM_SUM, 0) <> 0) then
        update DEALPROD T
        set T.DEALPROD_PAID = coalesce(T.DEALPROD_PAID, 0) + NEW.PRODPAYM_SUM
        where T.DEALPROD_ID = NEW.DEALPROD_ID;
    end
end^

-- DEALPROD.DEALPROD_SHPD = sum of PRODSHIP.PRODSHIP_CNT over "Prod-ProdShip".
CREATE trigger DEALPROD_SHPD_AI for PRODSHIP
active after insert position 0
AS
begin
  if (coalesce(NEW.PRODSHIP_CNT, 0) <> 0) then
    update DEALPROD T
    set T.DEALPROD_SHPD = coalesce(T.DEALPROD_SHPD, 0) + NEW.PRODSHIP_CNT
    where T.DEALPROD_ID = NEW.DEALPROD_ID;
end^

CREATE trigger DEALPROD_SHPD_AD for PRODSHIP
active after delete position 0
AS
begin
  if (coalesce(OLD.PRODSHIP_CNT, 0) <> 0) then
    update DEALPROD T
    set T.DEALPROD_SHPD = coalesce(T.DEALPROD_SHPD, 0) - OLD.PRODSHIP_CNT
    where T.DEALPROD_ID = OLD.DEALPROD_ID;
end^

CREATE trigger DEALPROD_SHPD_AU for PRODSHIP
active after update position 0
AS
begin
  if (NEW.DEALPROD_ID is not distinct from OLD.DEALPROD_ID) then
    if (coalesce(NEW.PRODSHIP_CNT, 0) <> coalesce(OLD.PRODSHIP_CNT, 0)) then
      update DEALPROD T
      set T.DEALPROD_SHPD = coalesce(T.DEALPROD_SHPD, 0) + coalesce(NEW.PRODSHIP_CNT, 0) - coalesce(OLD.PRODSHIP_CNT, 0)
      where T.DEALPROD_ID = NEW.DEALPROD_ID;
    else
    begin
    end
  else
    begin
      if (coalesce(OLD.PRODSHIP_CNT, 0) <> 0) then
        update DEALPROD T
        set T.DEALPROD_SHPD = coalesce(T.DEALPROD_SHPD, 0) - OLD.PRODSHIP_CNT
        where T.DEALPROD_ID = OLD.DEALPROD_ID;
      if (coalesce(NEW.PRODSHIP_CNT, 0) <> 0) then
        update DEALPROD T
        set T.DEALPROD_SHPD = coalesce(T.DEALPROD_SHPD, 0) + NEW.PRODSHIP_CNT
        where T.DEALPROD_ID = NEW.DEALPROD_ID;
    end
end^

-- DEALPAYM.DEALPAYM_SUM = sum of PRODPAYM.PRODPAYM_SUM over "Paym-ProdPaym".
-- A new payment is posted with 0 and reaches its sum as its product rows
-- are written in the same transaction.
CREATE trigger DEALPAYM_SUM_AI for PRODPAYM
active after insert position 0
AS
begin
  if (coalesce(NEW.PRODPAYM_SUM, 0) <> 0) then
    update DEALPAYM T
    set T.DEALPAYM_SUM = coalesce(T.DEALPAYM_SUM, 0) + NEW.PRODPAYM_SUM
    where T.DEALPAYM_ID = NEW.DEALPAYM_ID;
end^

CREATE trigger DEALPAYM_SUM_AD for PRODPAYM
active after delete position 0
AS
begin
  if (coalesce(OLD.PRODPAYM_SUM, 0) <> 0) then
    update DEALPAYM T
    set T.DEALPAYM_SUM = coalesce(T.DEALPAYM_SUM, 0) - OLD.PRODPAYM_SUM
    where T.DEALPAYM_ID = OLD.DEALPAYM_ID;
end^

CREATE trigger DEALPAYM_SUM_AU for PRODPAYM
active after update position 0
AS
begin
  if (NEW.DEALPAYM_ID is not distinct from OLD.DEALPAYM_ID) then
    if (coalesce(NEW.PRODPAYM_SUM, 0) <> coalesce(OLD.PRODPAYM_SUM, 0)) then
      update DEALPAYM T
      set T.DEALPAYM_SUM = coalesce(T.DEALPAYM_SUM, 0) + coalesce(NEW.PRODPAYM_SUM, 0) - coalesce(OLD.PRODPAYM_SUM, 0)
      where T.DEALPAYM_ID = NEW.DEALPAYM_ID;
    else
    begin
    end
  else
    begin
      if (coalesce(OLD.PRODPAYM_SUM, 0) <> 0) then
        update DEALPAYM T
        set T.DEALPAYM_SUM = coalesce(T.DEALPAYM_SUM, 0) - OLD.PRODPAYM_SUM
        where T.DEALPAYM_ID = OLD.DEALPAYM_ID;
      if (coalesce(NEW.PRODPAYM_SUM, 0) <> 0) then
        update DEALPAYM T
        set T.DEALPAYM_SUM = coalesce(T.DEALPAYM_SUM, 0) + NEW.PRODPAYM_SUM
        where T.DEALPAYM_ID = NEW.DEALPAYM_ID;
    end
end^

-- DEALSHIP.DEALSHIP_CNT = sum of PRODSHIP.PRODSHIP_CNT over "Ship-ProdShip".
CREATE trigger DEALSHIP_CNT_AI for PRODSHIP
active after insert position 0
AS
begin
  if (coalesce(NEW.PRODSHIP_CNT, 0) <> 0) then
    update DEALSHIP T
    set T.DEALSHIP_CNT = coalesce(T.DEALSHIP_CNT, 0) + NEW.PRODSHIP_CNT
    where T.DEALSHIP_ID = NEW.DEALSHIP_ID;
end^

CREATE trigger DEALSHIP_CNT_AD for PRODSHIP
active after delete position 0
AS
begin
  if (coalesce(OLD.PRODSHIP_CNT, 0) <> 0) then
    update DEALSHIP T
    set T.DEALSHIP_CNT = coalesce(T.DEALSHIP_CNT, 0) - OLD.PRODSHIP_CNT
    where T.DEALSHIP_ID = OLD.DEALSHIP_ID;
end^

CREATE trigger DEALSHIP_CNT_AU for PRODSHIP
active after update position 0
AS
begin
  if (NEW.DEALSHIP_ID is not distinct from OLD.DEALSHIP_ID) then
    if (coalesce(NEW.PRODSHIP_CNT, 0) <> coalesce(OLD.PRODSHIP_CNT, 0)) then
      update DEALSHIP T
      set T.DEALSHIP_CNT = coalesce(T.DEALSHIP_CNT, 0) + coalesce(NEW.PRODSHIP_CNT, 0) - coalesce(OLD.PRODSHIP_CNT, 0)
      where T.DEALSHIP_ID = NEW.DEALSHIP_ID;
    else
    begin
    end
  else
    begin
      if (coalesce(OLD.PRODSHIP_CNT, 0) <> 0) then
        update DEALSHIP T
        set T.DEALSHIP_CNT = coalesce(T.DEALSHIP_CNT, 0) - OLD.PRODSHIP_CNT
        where T.DEALSHIP_ID = OLD.DEALSHIP_ID;
      if (coalesce(NEW.PRODSHIP_CNT, 0) <> 0) then
        update DEALSHIP T
        set T.DEALSHIP_CNT = coalesce(T.DEALSHIP_CNT, 0) + NEW.PRODSHIP_CNT
        where T.DEALSHIP_ID = NEW.DEALSHIP_ID;
    end
end^

set term ; ^

commit;
