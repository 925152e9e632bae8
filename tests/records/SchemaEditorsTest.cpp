#include "AtrDep.h"
#include "AtrFixture.h"
#include "AtrFld.h"
#include "AtrObj.h"
#include "AtrTbl.h"

namespace {

using namespace korvenix_test;
using enum TFldType;

// Fields, objects, links, table views and cards saved as the configurator's cards save them, and
// the schema read back through Firebird's system tables.
class SchemaEditorsTest : public AtrFixture
{
protected:
    const QString badName = "Недопустимое имя для поля \"Поле таблицы\": ";
    Variant Type(TFldType type) { return db.FldTypeToCode(type); }
    Variant Rule(TFKRule rule) { return db.FKRuleToCode(rule); }
    std::unique_ptr<TAtrFld> NewFld(const QString &table, const Values &values)
    {
        return New<TAtrFld>("FLD", Values{{"OBJ_ID", O(table)->Id()}} + values);
    }
    Values Summing(const QString &name, const QString &summed = "DEALPROD_SHIP")
    {
        return {{"FLDTYPE_ID", Type(ftNum183)}, {"FLD_FIELD", name}, {"DEP_ID_AGR", Link("DEAL", "DealProd")->Id()},
                {"FLD_ID_AGR", F("DEALPROD", summed)->Id()}};
    }
    // A new link from the counterparties to the products, made in the list of the objects' links.
    std::unique_ptr<TAtrDep> NewDep(const Values &values)
    {
        return New<TAtrDep>("DEP", Values{{"OBJ_ID_V", O("PRODUCT")->Id()}} + values, Link("OBJ", "Obj-Dep"),
                            O("CONTRAG")->Id());
    }

    // A column's domain (or varchar length), "not null" and default.
    Variant Schema(const QString &table, const QString &column)
    {
        return Scalar("select trim(iif(RF.RDB$FIELD_SOURCE starting with 'RDB$', 'varchar(' || F.RDB$CHARACTER_LENGTH "
                      "|| ')', RF.RDB$FIELD_SOURCE)) || trim(trailing from iif(RF.RDB$NULL_FLAG = 1, ' not null', '')) "
                      "|| coalesce(' ' || cast(RF.RDB$DEFAULT_SOURCE as varchar(50)), '') from RDB$RELATION_FIELDS RF "
                      "join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                      "where RF.RDB$RELATION_NAME = :T and RF.RDB$FIELD_NAME = :C", {{"T", table}, {"C", column}});
    }
    // A constraint's type and table, and a foreign key's "delete/update" rules.
    Variant Constraint(const QString &name)
    {
        return Scalar("select trim(C.RDB$CONSTRAINT_TYPE) || ' ' || trim(C.RDB$RELATION_NAME) || coalesce(' ' || "
                      "trim(R.RDB$DELETE_RULE) || '/' || trim(R.RDB$UPDATE_RULE), '') from RDB$RELATION_CONSTRAINTS C "
                      "left join RDB$REF_CONSTRAINTS R on R.RDB$CONSTRAINT_NAME = C.RDB$CONSTRAINT_NAME "
                      "where C.RDB$CONSTRAINT_NAME = :N", {{"N", name}});
    }
    int Triggers(const QString &column)
    {
        return Count("select count(*) from RDB$TRIGGERS where RDB$TRIGGER_NAME in (:A || '_AI', :A || '_AD', "
                     ":A || '_AU')", {{"A", column}});
    }
    // All a refused save could have left: metadata rows; tables, columns, triggers and sequences
    // of the database; the loaded repository.
    QString Everything()
    {
        return repo.Scalar("select (select count(*) from OBJ) || '/' || (select count(*) from FLD) || '/' || "
                           "(select count(*) from DEP) || '/' || (select count(*) from RDB$RELATION_FIELDS) || '/' || "
                           "(select count(*) from RDB$TRIGGERS) || '/' || (select count(*) from RDB$GENERATORS) "
                           "from RDB$DATABASE").toString() + ' ' + Shape();
    }
    // Every object with the number of its fields, child links and parent links.
    QString Shape() const
    {
        QStringList parts;
        for (const TObj *obj : *db.ObjList)
            parts << QString("%1:%2/%3/%4").arg(obj->Table()).arg(obj->FldList->Count()).arg(obj->ChildList->Count())
                         .arg(obj->ParentList->Count());
        return parts.join(' ');
    }
};

TEST_F(SchemaEditorsTest, ANewFieldAddsItsColumnByType)
{
    const struct { TFldType type; QString name; Values more; QString statement, schema; } cases[] = {
        {ftNum182, "price2", {}, "PRICE2 NUM182 default 0 not null", "NUM182 not null default 0"},
        {ftString, "NAME2", {{"FLD_SIZE", 50}}, "NAME2 varchar(50) character set UTF8  collate UNICODE_CI", "varchar(50)"},
        {ftInt, "QTY", {{"FLD_NOTNULL", false}, {"FLD_DEF0", false}}, "QTY INTEG  ", "INTEG"},
        {ftBoolean, "FLAG2", {}, "FLAG2 BOOL default 0 not null", "BOOL not null default 0"},
        {ftNum183, "W3", {{"FLD_NOTNULL", false}}, "W3 NUM183 default 0 ", "NUM183 default 0"},
        {ftNum184, "R4", {}, "R4 NUM184 default 0 not null", "NUM184 not null default 0"},
        {ftDate, "SINCE", {}, "SINCE DATEONLY ", "DATEONLY"},
        {ftFK, "UNIT2", {{"OBJ_ID_V", O("UNIT")->Id()}}, "UNIT2 FK ", "FK"},
    };
    for (const auto &c : cases) {
        auto atr = NewFld("PRODUCT", Values{{"FLDTYPE_ID", Type(c.type)}, {"FLD_FIELD", c.name}} + c.more);
        Save(*atr);
        EXPECT_EQ(atr->IBSQLC->SQLText(), "alter table PRODUCT add " + c.statement);
        EXPECT_EQ(Schema("PRODUCT", c.name.toUpper()), Variant(c.schema)) << c.name.toStdString();
    }
    // A stored link field also gets its link row and foreign key; a virtual one gets no column.
    EXPECT_EQ(Constraint("FK_PRODUCT_UNIT2"), Variant("FOREIGN KEY PRODUCT NO ACTION/CASCADE"));
    EXPECT_EQ(O("UNIT")->ChildList->GetByFld(F("PRODUCT", "UNIT2"))->ParentObj(), O("UNIT"));
    Save(*NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftFormula)}, {"FLD_FIELD", "CALC_V"}, {"FLD_VIRT", true}}));
    EXPECT_TRUE(Schema("PRODUCT", "CALC_V").isNull() && F("PRODUCT", "CALC_V")->Virt());
}

TEST_F(SchemaEditorsTest, TheFieldCardsValuesFollowEachOtherAndTheSchemaDefiningControlsAreReadOnly)
{
    DevMode = true;
    const auto values = [](TAtr &atr, const QStringList &fields) {
        QList<Variant> list;
        for (const QString &field : fields)
            list << V(atr, field);
        return list;
    };
    auto atr = NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", O("UNIT")->Id()}});
    const QStringList linkFields = {"FLD_CAPT", "FLD_FIELD", "FKRULE_ID_V"};
    EXPECT_EQ(values(*atr, linkFields), (QList<Variant>{O("UNIT")->Capt(), "UNIT_ID", Rule(TFKRule::fkNoAction)}));
    I(*atr, "OBJ_ID_V")->SetValue(O("DEAL")->Id());   // not a reference book
    EXPECT_EQ(values(*atr, linkFields), (QList<Variant>{O("DEAL")->Capt(), "DEAL_ID", Rule(TFKRule::fkSetNull)}));
    const QStringList typeFields = {"OBJ_ID_V", "FKRULE_ID_V", "FLD_FIELD", "FLD_SIZE", "FLD_NOTNULL", "FLD_DEF0"};
    I(*atr, "FLDTYPE_ID")->SetValue(Type(ftInt));
    EXPECT_EQ(values(*atr, typeFields), (QList<Variant>{Variant::Null(), Variant::Null(), "PRODUCT_", 0, true, true}));

    // The configurator's cards keep the controls that define the schema read-only when changing.
    const QString readOnly = "select sum(T.CTRLTREE_ROEDT) || '/' || count(*) from CTRLTREE T join CARD C on C.CARD_ID = "
                             "T.CARD_ID join FLD F on F.FLD_ID = T.FLD_ID where C.CARD_NAME in ('Fld', 'Obj', 'ChildObj') "
                             "and F.FLD_FIELD in (%1)";
    EXPECT_EQ(Scalar(readOnly.arg("'FLD_FIELD', 'FLDTYPE_ID', 'FLD_SIZE', 'OBJ_ID_V', 'FKRULE_ID_V', 'FLD_NOTNULL', 'FLD_DEF0', "
                                  "'FLD_VIRT', 'DEP_ID_AGR', 'FLD_ID_AGR', 'OBJ_TABLE', 'FLD_FIELD_V', 'FLD_NOTNULL_V', 'FKRULE_ID'")),
              Variant("15/15"));
    EXPECT_EQ(Scalar(readOnly.arg("'FLD_CAPT', 'OBJ_CAPT', 'DEP_CAPT'")), Variant("0/3"));
}

TEST_F(SchemaEditorsTest, RefusalsComeBeforeAnyStatementRuns)
{
    const Variant unit = O("UNIT")->Id(), otherLink = Link("PRODUCT", "Product-DealProd")->Id();
    const struct { QString table; Values values; QString message, item; } cases[] = {
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "цена"}},
         badName + "имя \"цена\" должно начинаться с латинской буквы и состоять из латинских букв, цифр и знаков \"_\" и \"$\".",
         "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftDate)}, {"FLD_FIELD", "date"}},
         badName + "\"DATE\" - зарезервированное слово базы данных.", "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", unit}, {"FLD_FIELD", "UNIT_OF_MEASURE_FOR_PRICE"}},
         badName + "длина имени \"FK_PRODUCT_UNIT_OF_MEASURE_FOR_PRICE\" - 36, а допускается не больше 31.", "FLD_FIELD"},
        {"DEAL", Summing("A2345678901234567890123456789"),
         badName + "длина имени \"A2345678901234567890123456789_AI\" - 32, а допускается не больше 31.", "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", unit}, {"FLD_FIELD", "U2"}, {"FKRULE_ID_V", Variant::Null()}},
         "Невозможно добавить запись для объекта \"Поля\", т.к. для поля \"Правило удаления\" не указано значение.",
         "FKRULE_ID_V"},
        {"DEAL", Summing("S1") + Values{{"DEP_ID_AGR", otherLink}, {"FLD_ID_AGR", F("DEALPROD", "DEALPROD_SHIP")->Id()}},
         QString("Объект \"%1\", поле \"S1\": суммирующее поле ссылается на связь с кодом %2, которой нет среди связей "
                 "объекта.").arg(O("DEAL")->Capt()).arg(otherLink.toInt()),
         "DEP_ID_AGR"},
        {"DEAL", Summing("S2", "PRODUCT_ID"), "Суммируемое поле должно быть хранимым числовым полем подчинённого объекта связи.",
         "FLD_ID_AGR"},
        {"DEAL", Summing("S3") + Values{{"FLD_NOTNULL", false}},
         "Суммирующее поле должно быть числовым, обязательным и со значением по умолчанию 0.", "FLD_NOTNULL"},
    };
    int key = 990000;
    for (const auto &c : cases) {
        auto atr = NewFld(c.table, c.values);
        I(*atr, "FLD_ID")->SetValue(++key);   // no generator read either
        const qint64 executed = TIBSQL::ExecutedCount();
        const auto [message, item] = Refusal(*atr);
        EXPECT_TRUE(message.startsWith(c.message) && item == c.item) << message.toStdString();
        EXPECT_EQ(TIBSQL::ExecutedCount(), executed) << message.toStdString();
    }
}

TEST_F(SchemaEditorsTest, ASummingFieldIsSummedOnceAndThenKeptByItsTriggers)
{
    Save(*NewFld("DEAL", Summing("shipped")));
    const TFld *shipped = F("DEAL", "SHIPPED");
    EXPECT_TRUE(Triggers("SHIPPED") == 3 && shipped->AgrObjLink() == Link("DEAL", "DealProd") &&
                shipped->AgrFld() == F("DEALPROD", "DEALPROD_SHIP"));
    EXPECT_GT(Count("select count(*) from DEAL where SHIPPED <> 0"), 0);
    const QString wrong = "select count(*) from DEAL D where D.SHIPPED <> coalesce((select sum(P.DEALPROD_SHIP) "
                          "from DEALPROD P where P.DEAL_ID = D.DEAL_ID), 0)";
    EXPECT_EQ(Count(wrong), 0);
    const int a = Count("select min(DEAL_ID) from DEAL"), b = Count("select max(DEAL_ID) from DEAL");
    const QString insert = "insert into DEALPROD (DEALPROD_ID, DEAL_ID, PRODUCT_ID, DEALPROD_SHIP) "
                           "values (%1, %2, (select min(PRODUCT_ID) from PRODUCT), %3)";
    const QString update = "update DEALPROD set DEAL_ID = %1, DEALPROD_SHIP = %2 where DEALPROD_ID = 900001";
    for (const QString &change : {insert.arg(900001).arg(a).arg(5), insert.arg(900002).arg(b).arg(0),
                                  update.arg(a).arg(7), update.arg(b).arg(7), update.arg(a).arg(2),
                                  QString("delete from DEALPROD where DEALPROD_ID = 900001")}) {
        repo.Exec(change);
        EXPECT_EQ(Count(wrong), 0) << change.toStdString();
    }

    // A failed first sum: the field is saved, the editor knows it, the user is told.
    repo.Exec("create exception KVX_TEST_FAULT 'injected'");
    repo.Exec("create trigger KVX_TEST_FAULT for DEAL before update as begin exception KVX_TEST_FAULT; end");
    auto failing = NewFld("DEAL", Summing("paid2", "DEALPROD_PAY"));
    const QString error = ErrorOf([&] { Save(*failing); });
    EXPECT_TRUE(error.startsWith("Поле \"" + F("DEALPROD", "DEALPROD_PAY")->Capt() +
                                 "\" сохранено, но его значения не пересчитаны: ") && error.contains("injected"))
        << error.toStdString();
    EXPECT_FALSE(failing->New());
    EXPECT_TRUE(Triggers("PAID2") == 3 && F("DEAL", "PAID2")->AgrObjLink());
}

// A detail column that is Null for some master sums to 0 there, not to Null, which the not-null
// summing column would refuse for every master at once: the deal whose products have no value
// gets 0, the deal with a value its sum, the deal without products keeps its 0.
TEST_F(SchemaEditorsTest, FirstSumsCountEmptyDetailValuesAsZeroAndAFailureNamesAFieldWithoutCaptionByItsColumn)
{
    Save(*NewFld("DEALPROD", {{"FLDTYPE_ID", Type(ftNum182)}, {"FLD_FIELD", "BONUS"}, {"FLD_NOTNULL", false},
                              {"FLD_DEF0", false}}));
    const Variant nulls = Scalar("select min(DEAL_ID) from DEALPROD"), valued = Scalar("select max(DEAL_ID) from DEALPROD");
    ASSERT_NE(nulls, valued);
    repo.Exec("update DEALPROD set BONUS = 400 where DEALPROD_ID = (select min(DEALPROD_ID) from DEALPROD where DEAL_ID = :D)",
              {{"D", valued}});
    repo.Exec("insert into DEAL (DEAL_ID, DEAL_NUM, DEAL_DATE, CONTRAG_ID, CURR_ID) select 900001, 'empty', DEAL_DATE, "
              "CONTRAG_ID, CURR_ID from DEAL where DEAL_ID = :D", {{"D", nulls}});
    Save(*NewFld("DEAL", Summing("bonuses", "BONUS")));
    const auto bonuses = [&](const Variant &deal) { return Column("DEAL", "BONUSES", deal).toString(); };
    EXPECT_EQ(QStringList({bonuses(nulls), bonuses(valued), bonuses(900001)}), QStringList({"0", "400", "0"}));

    repo.Exec("create exception KVX_TEST_FAULT 'injected'");
    repo.Exec("create trigger KVX_TEST_FAULT for DEAL before update as begin exception KVX_TEST_FAULT; end");
    auto untitled = NewFld("DEAL", Summing("paid3", "DEALPROD_PAY") + Values{{"FLD_CAPT", Variant::Null()}});
    const QString error = ErrorOf([&] { Save(*untitled); });
    EXPECT_TRUE(error.startsWith("Поле \"PAID3\" сохранено, но его значения не пересчитаны: ")) << error.toStdString();
}

// A name the object has already, stored or virtual, in any letter case, is refused on the name's
// control, naming name and object, before any statement; a column or table the database has
// without the repository knowing it, after the one select that finds it; names the database keeps
// for itself as any other impossible name. Nothing is left of the refused rows.
TEST_F(SchemaEditorsTest, TakenAndSystemNamesAreRefusedOnTheirControlBeforeAnyStatement)
{
    repo.Exec("alter table PRODUCT add STRAY_COL integer");   // made past the repository
    const QString product = O("PRODUCT")->Capt();
    const QString taken = "У объекта \"%1\" уже есть поле \"%2\".";
    const QString inTable = "В таблице \"PRODUCT\" базы данных уже есть столбец \"STRAY_COL\".";
    const QString system = badName + "имя \"%1\" начинается с \"%2\", как системные имена базы данных.";
    const Values stringOf20 = {{"FLDTYPE_ID", Type(ftString)}, {"FLD_SIZE", 20}};
    const struct { QString table; Values values; QString message; int statements; } fields[] = {
        {"PRODUCT", stringOf20 + Values{{"FLD_FIELD", "product_code"}, {"FLD_VIRT", true}},
         taken.arg(product, "PRODUCT_CODE"), 0},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftNum182)}, {"FLD_FIELD", "Product_Price"}}, taken.arg(product, "PRODUCT_PRICE"), 0},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", O("UNIT")->Id()}, {"FLD_FIELD", "unit_id"}},
         taken.arg(product, "UNIT_ID"), 0},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "stray_col"}}, inTable, 1},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "rdb$x"}}, system.arg("RDB$X", "RDB$"), 0},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "Mon$Y"}}, system.arg("MON$Y", "MON$"), 0},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "SEC$Z"}}, system.arg("SEC$Z", "SEC$"), 0},
    };
    const QString shape = Shape();
    const int rows = Rows("FLD"), links = Rows("DEP"), objects = Rows("OBJ");
    const auto refused = [&](TAtr &atr, const QString &message, const QString &item, int statements) {
        const qint64 executed = TIBSQL::ExecutedCount();
        const auto [seen, on] = Refusal(atr);
        EXPECT_EQ(seen, message);
        EXPECT_EQ(on, item) << message.toStdString();
        EXPECT_EQ(TIBSQL::ExecutedCount() - executed, statements) << message.toStdString();
    };
    int key = 990000;
    for (const auto &c : fields) {
        auto atr = NewFld(c.table, c.values);
        I(*atr, "FLD_ID")->SetValue(++key);   // no generator read either
        refused(*atr, c.message, "FLD_FIELD", c.statements);
    }
    // A link's column, on the link's own control, before the field editor takes a key for it.
    refused(*NewDep({{"FLD_FIELD_V", "product_name"}}), taken.arg(product, "PRODUCT_NAME"), "FLD_FIELD_V", 0);
    refused(*NewDep({{"FLD_FIELD_V", "Stray_Col"}}), inTable, "FLD_FIELD_V", 1);
    // A new object's table.
    for (const auto &[name, message, statements] :
         {std::tuple{"product", QString("В базе данных уже есть таблица \"PRODUCT\"."), 1},
          std::tuple{"DEAL", QString("В базе данных уже есть таблица \"DEAL\"."), 1},
          std::tuple{"rdb$relations", "Недопустимое имя для поля \"" + F("OBJ", "OBJ_TABLE")->Capt() +
                                          "\": имя \"RDB$RELATIONS\" начинается с \"RDB$\", как системные имена базы данных.", 0}}) {
        auto obj = New<TAtrObj>("OBJ", {{"OBJ_ID", ++key}, {"OBJ_TABLE", name}, {"OBJ_CAPT", name}});
        refused(*obj, message, "OBJ_TABLE", statements);
    }
    EXPECT_TRUE(Rows("FLD") == rows && Rows("DEP") == links && Rows("OBJ") == objects && Shape() == shape);
}

// A UTF8 varchar holds at most 32765 bytes, 4 to a character: 1 to 8191 characters, which the
// engine takes, while anything else is refused on the size control before any statement.
TEST_F(SchemaEditorsTest, AStringSizeIsRefusedOutsideWhatTheEngineStores)
{
    int key = 990000;
    for (const int size : {-5, 100000, 8192}) {
        auto atr = NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftString)}, {"FLD_FIELD", "NOTE"}, {"FLD_SIZE", size}});
        I(*atr, "FLD_ID")->SetValue(++key);
        const qint64 executed = TIBSQL::ExecutedCount();
        EXPECT_EQ(Refusal(*atr), std::make_pair(QString("Размер строкового поля - %1, а допускается от 1 до 8191 символов.")
                                                    .arg(size), QString("FLD_SIZE")));
        EXPECT_EQ(TIBSQL::ExecutedCount(), executed) << size;
    }
    for (const auto &[table, size] : {std::pair{"PRODUCT", 8191}, std::pair{"UNIT", 1}}) {
        Save(*NewFld(table, {{"FLDTYPE_ID", Type(ftString)}, {"FLD_FIELD", "NOTE"}, {"FLD_SIZE", size}}));
        EXPECT_EQ(Schema(table, "NOTE"), Variant(QString("varchar(%1)").arg(size))) << table;
    }
}

TEST_F(SchemaEditorsTest, AFailureAtAnyStepLeavesNeitherRowsNorSchemaNorRepositoryChanges)
{
    // A failed update of the repository after the commit changes nothing in it.
    auto linked = NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", O("UNIT")->Id()}, {"FLD_FIELD", "UNIT3"}});
    db.StartTransaction();
    linked->Post();
    std::unique_ptr<TObj> unit(db.ObjList->Extract(O("UNIT")));   // the linked object is gone meanwhile
    const QString before = Shape();
    EXPECT_EQ(ErrorOf([&] { linked->Commit(); }), QString("Объект с кодом \"%1\" не найден.").arg(unit->Id()));
    EXPECT_EQ(Shape(), before);
    db.ObjList->Add(std::move(unit));
    EXPECT_EQ(Count("select count(*) from FLD where FLD_FIELD = 'UNIT3'"), 1);   // committed all the same
    const struct { QStringList faults; QString table; Values values; Variant schema; int triggers; } cases[] = {
        // the column fails after the row; the first trigger after the column; the last after two
        {{"alter table DEAL add STRAY INTEG"}, "DEAL", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "STRAY"}}, "INTEG", 0},
        {{"create trigger SUMA_AI for UNIT after insert as begin end"}, "DEAL", Summing("SUMA"), Variant::Null(), 1},
        {{"create trigger SUMB_AU for UNIT after insert as begin end"}, "DEAL", Summing("SUMB"), Variant::Null(), 1},
        // the link row fails after the column
        {{"create exception KVX_TEST_FAULT 'injected'",
          "create trigger KVX_TEST_FAULT for DEP before insert as begin exception KVX_TEST_FAULT; end"},
         "PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", O("UNIT")->Id()}, {"FLD_FIELD", "UNIT2"}}, Variant::Null(), 0},
        // a required column without a default on a table with rows
        {{}, "DEAL", {{"FLDTYPE_ID", Type(ftString)}, {"FLD_FIELD", "NOTE2"}, {"FLD_SIZE", 20}, {"FLD_NOTNULL", true}},
         Variant::Null(), 0},
        // a stored formula field has no column type: refused after its row
        {{}, "PRODUCT", {{"FLDTYPE_ID", Type(ftFormula)}, {"FLD_FIELD", "CALC"}}, Variant::Null(), 0},
    };
    for (const auto &c : cases) {
        for (const QString &fault : c.faults)
            repo.Exec(fault);
        const QString shape = Shape();
        const int links = Rows("DEP");
        auto atr = NewFld(c.table, c.values);
        const std::string column = V(*atr, "FLD_FIELD").toString().toStdString();
        EXPECT_NE(ErrorOf([&] { Save(*atr); }), "no error") << column;
        EXPECT_EQ(Count("select count(*) from FLD where FLD_FIELD = :F", {{"F", column.c_str()}}), 0) << column;
        EXPECT_EQ(Schema(c.table, column.c_str()), c.schema) << column;
        EXPECT_EQ(Triggers(column.c_str()), c.triggers) << column;
        EXPECT_TRUE(Rows("DEP") == links && Shape() == shape) << column;
    }
}

TEST_F(SchemaEditorsTest, ANewObjectGetsItsTableKeyAndSequenceAndANewViewItsKeyColumn)
{
    auto obj = New<TAtrObj>("OBJ", {});   // outside developer mode table and key are named after their rows
    Save(*obj);
    const QString table = "TBL" + obj->RecId().toString();
    const TFld *key = O(table)->PKFld;
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->Field() == "FLD" + QString::number(key->Id()) && key->Capt() == "Код" && key->Sys() && key->NotNull());
    EXPECT_EQ(Schema(table, key->Field()), Variant("PK not null"));
    EXPECT_EQ(Constraint("PK_" + key->Field()), Variant("PRIMARY KEY " + table));
    EXPECT_EQ(O(table)->GetNewId(), 1);   // its sequence
    DevMode = true;
    const int objects = Rows("OBJ");
    for (const QString name : {"склад", "order", "A2345678901234567890123456"})   // the last: PK_..._ID too long
        EXPECT_EQ(Refusal(*New<TAtrObj>("OBJ", {{"OBJ_TABLE", name}})).second, "OBJ_TABLE") << name.toStdString();
    EXPECT_EQ(Rows("OBJ"), objects);

    // A new view starts with the key of what it shows.
    auto ofLink = New<TAtrTbl>("TBL", {{"DEP_ID", Link("DEAL", "DealProd")->Id()}});
    Save(*ofLink);
    EXPECT_EQ(Scalar("select count(*) || ':' || min(FLD_ID) || ':' || min(TBLTREE_LFT) || '-' || min(TBLTREE_RGT) from "
                     "TBLTREE where TBL_ID = :K", {{"K", ofLink->RecId()}}),
              Variant(QString("1:%1:1-2").arg(O("DEALPROD")->PKFld->Id())));   // the root: the detail's key
    const int views = Rows("TBL");
    EXPECT_EQ(Refusal(*New<TAtrTbl>("TBL", {{"TBL_NAME", "Nothing"}})).second, "OBJ_ID");   // neither object nor link
    EXPECT_EQ(Rows("TBL"), views);
}

TEST_F(SchemaEditorsTest, ALinkIsRefusedLeavingNothingOrAddsItsColumnAndForeignKey)
{
    const QString missing = "Невозможно добавить запись для объекта \"Связи\", т.к. для поля \"%1\" не указано значение.";
    const struct { Values values; QString message, item; } cases[] = {
        {{{"OBJ_ID_V", Variant::Null()}, {"FLD_FIELD_V", "S1"}}, missing.arg("Подчинённый объект"), "OBJ_ID_V"},
        {{{"FLD_FIELD_V", "S1"}, {"FKRULE_ID", Variant::Null()}}, missing.arg("Правило удаления"), "FKRULE_ID"},
        {{{"FLD_FIELD_V", "SUPPLIER_OF_THE_PRODUCT"}}, badName + "длина имени \"FK_PRODUCT_SUPPLIER_OF_THE_PRODUCT\"",
         "FLD_FIELD_V"},
        // products exist, which a required column without a default would leave empty
        {{{"FLD_FIELD_V", "SUPPLIER"}, {"FLD_NOTNULL_V", true}},
         "Поле \"" + O("CONTRAG")->Capt() + "\" без значения по умолчанию нельзя сделать обязательным: в таблице "
         "\"PRODUCT\" уже есть записи", "FLD_NOTNULL_V"},
    };
    const QString shape = Shape();
    const int fields = Rows("FLD"), links = Rows("DEP");
    for (const auto &c : cases) {
        auto dep = NewDep(c.values);
        const auto [message, item] = Refusal(*dep);
        EXPECT_TRUE(message.startsWith(c.message) && item == c.item) << message.toStdString();
    }
    EXPECT_TRUE(Schema("PRODUCT", "SUPPLIER").isNull() && Constraint("FK_PRODUCT_SUPPLIER").isNull());
    EXPECT_TRUE(Rows("FLD") == fields && Rows("DEP") == links && Shape() == shape);
    for (const auto &[rule, column, onDelete] : {std::tuple{TFKRule::fkCascade, "SUPPLIER", "CASCADE"},
                                                 std::tuple{TFKRule::fkSetNull, "BUYER", "SET NULL"}}) {
        auto dep = NewDep({{"FLD_FIELD_V", QString(column).toLower()}, {"FKRULE_ID", Rule(rule)}, {"DEP_NAME", column}});
        const int before = Rows("FLD");
        Save(*dep);
        EXPECT_EQ(dep->IBSQLC->SQLText(), QString("alter table PRODUCT add constraint FK_PRODUCT_%1\rforeign key (%1) "
                                                  "references CONTRAG(CONTRAG_ID)\ron delete %2 on update CASCADE")
                                              .arg(column, onDelete));
        EXPECT_EQ(Constraint(QString("FK_PRODUCT_") + column), Variant(QString("FOREIGN KEY PRODUCT %1/CASCADE").arg(onDelete)));
        EXPECT_EQ(Rows("FLD"), before + 1);   // the link column's row, once
        const TObjLink *link = Link("CONTRAG", column);
        ASSERT_NE(link, nullptr);
        EXPECT_TRUE(link->ChildFld() == F("PRODUCT", column) && link->ChildFld()->FKObj() == O("CONTRAG"));
        EXPECT_TRUE(O("PRODUCT")->ParentList->IndexOf(link) >= 0 && link->Det() && link->MainDep());
    }
}

TEST_F(SchemaEditorsTest, AStoredRowKeepsTheValuesItsSchemaWasMadeFromAndAClearedFormulaItsRows)
{
    const Variant price = F("PRODUCT", "PRODUCT_PRICE")->Id(), dealProd = Link("DEAL", "DealProd")->Id();
    const struct { QString table; Variant id; QString field; Variant value; } cases[] = {
        {"FLD", price, "FLD_FIELD", "PRICE"}, {"FLD", price, "FLDTYPE_ID", Type(TFldType::ftInt)},
        {"FLD", price, "FLD_VIRT", true}, {"FLD", price, "FLD_NOTNULL", false}, {"FLD", price, "FLD_SIZE", 9},
        {"OBJ", O("PRODPAYM")->Id(), "OBJ_TABLE", "PAYMENTS"}, {"DEP", dealProd, "FKRULE_ID", Rule(TFKRule::fkSetNull)}};
    // Each in the editor its card saves through.
    const auto load = [&](const QString &table, const Variant &id, const QStringList &fields) -> std::unique_ptr<TAtr> {
        if (table == "FLD")
            return Load<TAtrFld>(table, id, fields);
        if (table == "OBJ")
            return Load<TAtrObj>(table, id, fields);
        return Load<TAtrDep>(table, id, fields);
    };
    for (const auto &c : cases) {
        auto atr = load(c.table, c.id, {c.field});
        I(*atr, c.field)->SetValue(c.value);
        EXPECT_EQ(Refusal(*atr), std::make_pair("Невозможно изменить запись для объекта \"" + O(c.table)->Capt() +
                                                    "\", т.к. поле \"" + I(*atr, c.field)->Fld->Capt() +
                                                    "\" задаёт структуру базы данных и после создания не меняется.",
                                                c.field));
    }
    // Typed again as it was, a value passes, and the rest of the row reaches the repository.
    auto dep = load("DEP", dealProd, {"FKRULE_ID", "DEP_CAPT"});
    EXPECT_TRUE(V(*dep, "FLD_FIELD_V") == Variant("DEAL_ID") && V(*dep, "OBJ_ID_V") == Variant(O("DEALPROD")->Id()));
    I(*dep, "FKRULE_ID")->SetValue(Rule(TFKRule::fkCascade));
    I(*dep, "DEP_CAPT")->SetValue("Продукты");
    Save(*dep);
    EXPECT_EQ(Link("DEAL", "DealProd")->Capt(), "Продукты");

    // A cleared formula takes its rows along.
    TFld *pay = F("DEALPROD", "DEALPROD_PAY");
    const QString rows = "select count(*) from FRMLTREE where FLD_ID = :F";
    ASSERT_GT(Count(rows, {{"F", pay->Id()}}), 0);
    auto atr = Load<TAtrFld>("FLD", pay->Id(), {"FLD_FRMLHAVE"});
    I(*atr, "FLD_FRML_V")->Formula->Clear();
    I(*atr, "FLD_FRML_V")->SetValue(QString());
    Save(*atr);
    EXPECT_EQ(Count(rows, {{"F", pay->Id()}}), 0);
    EXPECT_TRUE(Column("FLD", "FLD_FRMLHAVE", pay->Id()) == Variant(0) && !pay->Formula->FormulaTreeRoot);
}

} // namespace

namespace {

// A nullable number of the products summed on their groups, whose link is nullable too: after
// each change of a product's value (from and to empty) or group (from and to none), and after
// its delete, every group's total is the sum of its products' values that are not empty.
TEST_F(SchemaEditorsTest, TotalsOverAnOptionalValueStayTheSumOfTheValuesGivenThroughEmptyOnesAndMoves)
{
    Save(*NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftNum182)}, {"FLD_FIELD", "BONUS"}, {"FLD_NOTNULL", false},
                             {"FLD_DEF0", false}}));
    Save(*NewFld("PRODGRP", {{"FLDTYPE_ID", Type(ftNum182)}, {"FLD_FIELD", "BONUSES"},
                             {"DEP_ID_AGR", Link("PRODGRP", "ProdGrp-Product")->Id()},
                             {"FLD_ID_AGR", F("PRODUCT", "BONUS")->Id()}}));
    const Variant a = Scalar("select min(PRODGRP_ID) from PRODUCT"), b = Scalar("select max(PRODGRP_ID) from PRODUCT");
    ASSERT_NE(a, b);
    const QString wrong = "select list(G.PRODGRP_ID || ':' || G.BONUSES || '<>' || coalesce((select sum(P.BONUS) from "
                          "PRODUCT P where P.PRODGRP_ID = G.PRODGRP_ID), 0)) from PRODGRP G where G.BONUSES <> "
                          "coalesce((select sum(P.BONUS) from PRODUCT P where P.PRODGRP_ID = G.PRODGRP_ID), 0)";
    const QString set = "update PRODUCT set PRODGRP_ID = %1, BONUS = %2 where PRODUCT_ID = 900001";
    const QString A = a.toString(), B = b.toString();
    for (const QString &change :
         {QString("insert into PRODUCT (PRODUCT_ID, PRODUCT_NAME, PRODGRP_ID, UNIT_ID, CURR_ID, PRODUCT_PRICE, "
                  "PRODUCT_PRICEVAT, PRODUCT_WEIGHT, PRODUCT_ACTIVE, BONUS) select 900001, 'Бонусный', %1, UNIT_ID, "
                  "CURR_ID, 1, 1, 1, 1, null from PRODUCT where PRODUCT_ID = (select min(PRODUCT_ID) from PRODUCT)")
              .arg(A),
          set.arg(A, "400"), set.arg(A, "250"), set.arg(A, "null"), set.arg(A, "300"), set.arg(B, "300"),
          set.arg("null", "300"), set.arg(A, "120"), set.arg(B, "null"), set.arg("null", "null"), set.arg(B, "75"),
          QString("delete from PRODUCT where PRODUCT_ID = 900001")}) {
        repo.Exec(change);
        EXPECT_EQ(Scalar(wrong), Variant::Null()) << change.toStdString();
    }
    EXPECT_EQ(Column("PRODGRP", "BONUSES", a), Variant(0));
}

// What the engine would refuse in its own words (a summing field's trigger names taken, a new
// table's sequence left behind, a record too large, a required column on rows without a value)
// is refused on its control in words that name the clash, before any statement changes the
// schema, and nothing is left of it.
TEST_F(SchemaEditorsTest, WhatTheEngineWouldRefuseIsRefusedOnItsControlNamingTheClashAndLeavesNothing)
{
    Save(*NewFld("DEAL", Summing("shipped")));
    repo.Exec("create trigger STRAY_AU for UNIT after insert as begin end");
    repo.Exec("create sequence ACCS_ID");   // of a table dropped past the program
    Save(*NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftString)}, {"FLD_FIELD", "NOTE1"}, {"FLD_SIZE", 8191}}));
    const QString triggers = "Триггеры суммирующего поля называются по его столбцу, а ";
    const Values summingOnProducts = {{"FLDTYPE_ID", Type(ftNum183)}, {"DEP_ID_AGR", Link("PRODUCT", "Product-DealProd")->Id()},
                                      {"FLD_ID_AGR", F("DEALPROD", "DEALPROD_SHIP")->Id()}};
    const struct { QString table; Values values; QString message, item; } cases[] = {
        {"PRODUCT", summingOnProducts + Values{{"FLD_FIELD", "Shipped"}},
         triggers + QString("триггер \"SHIPPED_AI\" уже есть у суммирующего поля \"%1\" объекта \"%2\". Дайте полю "
                            "другое имя.").arg(F("DEAL", "SHIPPED")->Capt(), O("DEAL")->Capt()),
         "FLD_FIELD"},
        {"PRODUCT", summingOnProducts + Values{{"FLD_FIELD", "STRAY"}},
         triggers + "в базе данных уже есть триггер \"STRAY_AU\" таблицы \"UNIT\". Дайте полю другое имя.", "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftString)}, {"FLD_FIELD", "NOTE2"}, {"FLD_SIZE", 8191}},
         "Запись таблицы \"PRODUCT\" заняла бы 66070 байт, а база данных допускает не больше 65535: поле размером 8191 "
         "символов занимает 32766 байт, остальные поля - 33304 байт.",
         "FLD_SIZE"},
        {"UNIT", {{"FLDTYPE_ID", Type(ftString)}, {"FLD_FIELD", "CODE2"}, {"FLD_CAPT", "Код 2"}, {"FLD_SIZE", 10},
                  {"FLD_NOTNULL", true}},
         "Поле \"Код 2\" без значения по умолчанию нельзя сделать обязательным: в таблице \"UNIT\" уже есть записи, и "
         "оно осталось бы в них пустым.",
         "FLD_NOTNULL"},
        {"UNIT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "CODE3"}, {"FLD_CAPT", "Код 3"}, {"FLD_DEF0", false}},
         "Поле \"Код 3\" без значения по умолчанию нельзя сделать обязательным", "FLD_NOTNULL"},
    };
    const QString before = Everything();
    for (const auto &c : cases) {
        const auto [message, item] = Refusal(*NewFld(c.table, c.values));
        EXPECT_TRUE(message.startsWith(c.message) && item == c.item) << message.toStdString();
        EXPECT_EQ(Everything(), before) << message.toStdString();
    }
    DevMode = true;
    const auto [message, item] = Refusal(*New<TAtrObj>("OBJ", {{"OBJ_TABLE", "accs"}, {"OBJ_CAPT", "Счета"}}));
    EXPECT_EQ(message, "В базе данных уже есть последовательность \"ACCS_ID\", которую получили бы ключи новой таблицы "
                       "\"ACCS\".");
    EXPECT_EQ(item, "OBJ_TABLE");
    EXPECT_EQ(Everything(), before);

    // What the engine takes passes: a record of 65534 bytes, a required number with its default
    // on rows; one byte more the engine refuses as the check does.
    Save(*NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftString)}, {"FLD_FIELD", "NOTE3"}, {"FLD_SIZE", 8057}}));
    Save(*NewFld("UNIT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "CODE4"}}));
    EXPECT_EQ(Count("select count(*) from UNIT where CODE4 = 0"), Rows("UNIT"));
    const auto [flag, on] = Refusal(*NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftBoolean)}, {"FLD_FIELD", "FLAG2"}}));
    EXPECT_TRUE(flag.startsWith("Запись таблицы \"PRODUCT\" заняла бы 65536 байт") && on == "FLDTYPE_ID")
        << flag.toStdString();
    try {
        repo.Exec("alter table PRODUCT add FLAG2 BOOL");
        ADD_FAILURE() << "the engine took the column";
    } catch (const std::runtime_error &e) {
        EXPECT_TRUE(QString(e.what()).contains("new record size of 65536 bytes is too big")) << e.what();
    }
}

} // namespace
