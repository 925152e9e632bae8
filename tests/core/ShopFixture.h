#pragma once

#include "Fld.h"
#include "Main.h"
#include "ObjLink.h"

#include "DBFixture.h"

#include <QHash>

// A small shop described in an otherwise empty repository: cities; customers with a city and a
// delivery city; orders of a customer (a required link) and their payments. The repository
// tables that views, cards, books, filters, formulas and templates are read into are described
// too. Tests whose statements run make the shop's tables with CreateTables.
class ShopFixture : public korvenix_test::DBFixture
{
protected:
    using Params = QList<std::pair<QString, Variant>>;

    void SetUp() override
    {
        DBFixture::SetUp();
        repo.Clear();
        for (const char *table :
             {"TBL", "TBLTREE", "CARD", "CTRLTREE", "DETBOOK", "FLTR", "FLTRTREE", "FRMLTREE", "OBJVALUE"})
            repo.EnsureDescribed(table);
        Describe("CITY", "Города", {{"CITY_ID", "PK", "Код города"}, {"CITY_NAME", "String", "Город"}});
        Describe("CUST", "Клиенты",
                 {{"CUST_ID", "PK", "Код клиента"}, {"CUST_NAME", "String", "Клиент"}, {"CUST_VIP", "Boolean", "Важный"},
                  {"CITY_ID", "FK", "Город клиента"}, {"CITY2_ID", "FK", "Город доставки"}});
        Describe("ORD", "Заказы",
                 {{"ORD_ID", "PK", "Код заказа"}, {"ORD_NO", "Integ", "Номер"}, {"ORD_SUM", "Num182", "Сумма"},
                  {"ORD_TAX", "Num182", "Налог"}, {"ORD_DATE", "Date", "Дата"}, {"ORD_DONE", "Boolean", "Выполнен"},
                  {"ORD_TOTAL", "Num182", "Итого"}, {"CUST_ID", "FK", "Клиент заказа"}});
        Describe("PAY", "Платежи",
                 {{"PAY_ID", "PK", "Код платежа"}, {"ORD_ID", "FK", "Заказ"}, {"PAY_SUM", "Num182", "Оплачено"}});
        for (const auto &[master, field] : {std::pair{"CITY", "CUST.CITY_ID"}, {"CITY", "CUST.CITY2_ID"},
                                            {"CUST", "ORD.CUST_ID"}, {"ORD", "PAY.ORD_ID"}})
            links[field] = repo.AddDep(Id(master), Id(field), "NoAction", field);
        repo.Exec("update FLD set FLD_NOTNULL = 1 where FLD_ID = :ID", {{"ID", Id("ORD.CUST_ID")}});
        ids["ORD.ORD_CALC"] = repo.AddFld(Id("ORD"), "ORD_CALC", "Formula", "Расчёт", true);
        db.Init();
    }

    void CreateTables()
    {
        for (const char *text :
             {"create table CITY (CITY_ID integer not null primary key, CITY_NAME varchar(50))",
              "create table CUST (CUST_ID integer not null primary key, CUST_NAME varchar(50), CUST_VIP smallint, "
              "CITY_ID integer references CITY, CITY2_ID integer references CITY)",
              "create table ORD (ORD_ID integer not null primary key, ORD_NO integer, ORD_SUM numeric(18,2), "
              "ORD_DONE smallint, CUST_ID integer not null references CUST)",
              "create table PAY (PAY_ID integer not null primary key, ORD_ID integer references ORD, PAY_SUM numeric(18,2))",
              "insert into CITY values (1, 'Осло')", "insert into CITY values (2, 'Берген')",
              "insert into CUST values (10, 'Смит', 1, 1, 2)", "insert into CUST values (11, 'Йенсен', 0, null, null)",
              "insert into ORD values (100, 5, 12.50, 1, 10)",
              "insert into ORD values (101, 7, null, 0, 11)", "insert into PAY values (1000, 100, 5)",
              "insert into PAY values (1001, null, 7)"})
            repo.Exec(text);
    }

    // Reads the repository again after a test changed what the load reads.
    void Reload()
    {
        db.Deinit();
        db.Init();
    }

    // An object ("ORD") or a field ("ORD.CUST_ID") of the shop, by key.
    int Id(const QString &key) const { return ids.value(key); }
    TObj *O(const QString &table) const { return db.ObjList->GetObjById(Id(table)); }
    TFld *F(const QString &field) const { return db.ObjList->GetFldById(Id(field)); }
    // The link whose detail field is `field`.
    TObjLink *L(const QString &field) const { return db.ObjList->GetObjLinkById(links.value(field)); }
    int LinkId(const QString &field) const { return links.value(field); }

    // A row of a repository table with a new key from the table's sequence.
    int Insert(const QString &table, Params columns)
    {
        const int id = db.GetGenId(table + "_ID");
        columns.prepend({table + "_ID", id});
        QStringList names, values;
        for (const auto &[name, value] : columns) {
            names << name;
            values << ':' + name;
        }
        repo.Exec(QString("insert into %1 (%2) values (%3)").arg(table, names.join(", "), values.join(", ")), columns);
        return id;
    }
    // A table view (owner column OBJ_ID or DEP_ID), card or detail book, its caption its name.
    int AddChoice(const QString &table, const QString &ownerColumn, int owner, const QString &name, bool def = false,
                  bool dev = false)
    {
        return Insert(table, {{ownerColumn, owner}, {table + "_NAME", name}, {table + "_CAPT", name},
                              {table + "_DEFAULT", def ? 1 : 0}, {table + "_DEV", dev ? 1 : 0}});
    }
    // A node of a tree table (TBLTREE, CTRLTREE, FLTRTREE, FRMLTREE) with its owner and bounds,
    // and further columns.
    int AddNode(const QString &table, const QString &ownerColumn, int owner, int lft, int rgt, const Params &columns = {})
    {
        return Insert(table, columns + Params{{ownerColumn, owner}, {table + "_LFT", lft}, {table + "_RGT", rgt}});
    }
    // The path of link fields of a node of `nodeTable` (FLTRTREE, FRMLTREE, OBJVALUE), first link first.
    void AddPath(const QString &nodeTable, const QString &pathTable, int node, const QStringList &path)
    {
        repo.Exec(QString("update %1 set %1_PATHHAVE = 1 where %1_ID = :ID").arg(nodeTable), {{"ID", node}});
        for (const QString &field : path)
            Insert(pathTable, {{nodeTable + "_ID", node}, {"FLD_ID", Id(field)}});
    }

private:
    void Describe(const QString &table, const QString &capt, const QList<std::tuple<QString, QString, QString>> &fields)
    {
        ids[table] = repo.AddObj(table, capt);
        for (const auto &[field, type, fieldCapt] : fields)
            ids[table + '.' + field] = repo.AddFld(ids[table], field, type, fieldCapt);
    }

    QHash<QString, int> ids;
    QHash<QString, int> links;
};
