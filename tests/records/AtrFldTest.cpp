#include "SchemaFixture.h"

#include "IBTransaction.h"

namespace {

using namespace korvenix_test;
using enum TFldType;
using Values = QList<std::pair<QString, Variant>>;

class AtrFldTest : public SchemaFixture
{
protected:
    Values Summing(const QString &name, const QString &summed = "DEALPROD_SHIP")
    {
        return {{"FLDTYPE_ID", Type(ftNum183)}, {"FLD_FIELD", name}, {"DEP_ID_AGR", Link("DEAL", "DealProd")->Id()},
                {"FLD_ID_AGR", F("DEALPROD", summed)->Id()}};
    }
    static std::unique_ptr<TFormulaTree> Node(TFormulaFunc func, TFld *fld, int lft, int rgt)
    {
        auto node = std::make_unique<TFormulaTree>();
        node->SetFunc(func);
        if (fld)
            node->SetFldValue(fld);
        node->SetLft(lft);
        node->SetRgt(rgt);
        return node;
    }
};

TEST_F(AtrFldTest, ANewFieldAddsItsColumnByType)
{
    const struct {
        TFldType type;
        QString name;
        Values more;
        QString statement, schema;
    } cases[] = {
        {ftNum182, "price2", {}, "alter table PRODUCT add PRICE2 NUM182 default 0 not null", "NUM182 not null default 0"},
        {ftString, "name2", {{"FLD_SIZE", 50}},
         "alter table PRODUCT add NAME2 varchar(50) character set UTF8  collate UNICODE_CI", "varchar(50) UTF8 UNICODE_CI"},
        {ftObjTempl, "TPL", {{"FLD_SIZE", 20}}, "", "varchar(20) UTF8 UNICODE_CI"},   // its formula is cleared last
        {ftInt, "QTY", {{"FLD_NOTNULL", false}, {"FLD_DEF0", false}}, "alter table PRODUCT add QTY INTEG  ", "INTEG"},
        {ftBoolean, "FLAG2", {}, "alter table PRODUCT add FLAG2 BOOL default 0 not null", "BOOL not null default 0"},
        {ftNum183, "W3", {{"FLD_NOTNULL", false}}, "alter table PRODUCT add W3 NUM183 default 0 ", "NUM183 default 0"},
        {ftNum184, "R4", {}, "alter table PRODUCT add R4 NUM184 default 0 not null", "NUM184 not null default 0"},
        {ftDate, "SINCE", {}, "alter table PRODUCT add SINCE DATEONLY ", "DATEONLY"},
        {ftFK, "UNIT2", {{"OBJ_ID_V", O("UNIT")->Id()}}, "alter table PRODUCT add UNIT2 FK ", "FK"},
    };
    for (const auto &c : cases) {
        Values values = {{"FLDTYPE_ID", Type(c.type)}, {"FLD_FIELD", c.name}};
        auto atr = NewFld("PRODUCT", values + c.more);
        Save(*atr);
        const QString column = c.name.toUpper();
        if (!c.statement.isEmpty()) {
            EXPECT_EQ(atr->IBSQLC->SQLText(), c.statement);
        }
        EXPECT_EQ(Schema("PRODUCT", column), Variant(c.schema)) << column.toStdString();
        EXPECT_EQ(F("PRODUCT", column)->FldType(), c.type);
    }
    // A stored link field also gets its link row and foreign key, and both reach the repository.
    TFld *unit2 = F("PRODUCT", "UNIT2");
    EXPECT_EQ(Constraint("FK_PRODUCT_UNIT2"), Variant("FOREIGN KEY PRODUCT NO ACTION/CASCADE"));
    TObjLink *link = O("UNIT")->ChildList->GetByFld(unit2);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(unit2->FKObj(), O("UNIT"));
    EXPECT_GE(O("PRODUCT")->ParentList->IndexOf(link), 0);
    EXPECT_EQ(Count("select count(*) from DEP where FLD_ID = :F", {{"F", unit2->Id()}}), 1);

    auto virt = NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftFormula)}, {"FLD_FIELD", "CALC_V"}, {"FLD_VIRT", true}});
    Save(*virt);
    EXPECT_EQ(Schema("PRODUCT", "CALC_V"), Variant::Null());
    EXPECT_TRUE(F("PRODUCT", "CALC_V")->Virt());
    auto stored = NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftFormula)}, {"FLD_FIELD", "CALC"}});
    EXPECT_EQ(SaveError(*stored), "TAtrFld.Post:CreateField: Неизвестный тип поля \"" + db.FldTypeToCapt(ftFormula) + "\".");
    EXPECT_EQ(FldRows("CALC"), 0);
}

TEST_F(AtrFldTest, TheFieldCardsValuesFollowEachOther)
{
    DevMode = true;
    auto atr = NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", O("UNIT")->Id()}});
    EXPECT_EQ(V(*atr, "FLD_CAPT"), Variant(O("UNIT")->Capt()));
    EXPECT_EQ(V(*atr, "FLD_FIELD"), Variant("UNIT_ID"));
    EXPECT_EQ(V(*atr, "FKRULE_ID_V"), Rule(TFKRule::fkNoAction));   // a reference book
    I(*atr, "OBJ_ID_V")->SetValue(O("DEAL")->Id());
    EXPECT_EQ(V(*atr, "FKRULE_ID_V"), Rule(TFKRule::fkSetNull));
    I(*atr, "FLDTYPE_ID")->SetValue(Type(ftInt));
    const Values afterInt = {{"OBJ_ID_V", Variant::Null()}, {"FKRULE_ID_V", Variant::Null()}, {"FLD_FIELD", "PRODUCT_"},
                             {"FLD_SIZE", 0}, {"FLD_NOTNULL", true}, {"FLD_DEF0", true}};
    for (const auto &[field, value] : afterInt)
        EXPECT_EQ(V(*atr, field), value) << field.toStdString();
    I(*atr, "FLDTYPE_ID")->SetValue(Type(ftString));
    EXPECT_EQ(V(*atr, "FLD_SIZE"), Variant::Null());
    EXPECT_EQ(V(*atr, "FLD_NOTNULL"), Variant(false));

    auto sum = NewFld("DEAL", {{"FLDTYPE_ID", Type(ftNum183)}, {"FLD_ID_AGR", F("DEALPROD", "DEALPROD_PAY")->Id()}});
    TAtrItem *formula = I(*sum, "FLD_FRML_V");
    formula->Formula->FormulaTreeRoot = std::make_unique<TFormulaTree>();
    formula->SetValue("0");
    EXPECT_EQ(V(*sum, "FLD_FRMLHAVE"), Variant(true));
    I(*sum, "DEP_ID_AGR")->SetValue(Link("DEAL", "DealProd")->Id());
    EXPECT_EQ(V(*sum, "FLD_ID_AGR"), Variant::Null());
    EXPECT_EQ(formula->Formula->FormulaTreeRoot, nullptr);
    EXPECT_EQ(V(*sum, "FLD_FRMLHAVE"), Variant(false));
    I(*sum, "FLD_ID_AGR")->SetValue(F("DEALPROD", "DEALPROD_SHIP")->Id());
    EXPECT_EQ(V(*sum, "FLD_CAPT"), Variant(F("DEALPROD", "DEALPROD_SHIP")->Capt()));
}

TEST_F(AtrFldTest, RefusalsComeBeforeAnyStatementRuns)
{
    const QString badName = "Недопустимое имя для поля \"Поле таблицы\": ";
    const Variant unit = O("UNIT")->Id();
    const struct {
        QString table;
        Values values;
        QString message, item;
    } cases[] = {
        {"PRODUCT", {{"FLD_FIELD", "X"}}, "Не указан тип поля.", "FLDTYPE_ID"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftString)}, {"FLD_FIELD", "X"}, {"FLD_SIZE", 0}}, "Размер поля не указан.", "FLD_SIZE"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"FLD_FIELD", "X"}}, "Внешний объект не указан.", "OBJ_ID_V"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "цена"}},
         badName + "имя \"цена\" должно начинаться с латинской буквы и состоять из латинских букв, цифр и знаков \"_\" и \"$\".",
         "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftDate)}, {"FLD_FIELD", "date"}},
         badName + "\"DATE\" - зарезервированное слово базы данных.", "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "my price"}}, badName, "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "\"PRICE\""}}, badName, "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "X integer); drop table DEAL; --"}}, badName, "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "A234567890123456789012345678901X"}},
         badName + "длина имени \"A234567890123456789012345678901X\" - 32, а допускается не больше 31.", "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", unit}, {"FLD_FIELD", "UNIT_OF_MEASURE_FOR_PRICE"}},
         badName + "длина имени \"FK_PRODUCT_UNIT_OF_MEASURE_FOR_PRICE\" - 36, а допускается не больше 31.", "FLD_FIELD"},
        {"DEAL", Summing("A2345678901234567890123456789"),
         badName + "длина имени \"A2345678901234567890123456789_AI\" - 32, а допускается не больше 31.", "FLD_FIELD"},
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", unit}, {"FLD_FIELD", "UNIT2"}, {"FKRULE_ID_V", Variant::Null()}},
         "Невозможно добавить запись для объекта \"Поля\", т.к. для поля \"Правило удаления\" не указано значение.",
         "FKRULE_ID_V"},
        {"DEAL", Summing("S1") + Values{{"DEP_ID_AGR", Link("PRODUCT", "Product-DealProd")->Id()},
                                        {"FLD_ID_AGR", F("DEALPROD", "DEALPROD_SHIP")->Id()}},
         QString("Объект \"%1\", поле \"S1\": суммирующее поле ссылается на связь с кодом %2, которой нет среди связей "
                 "объекта.").arg(O("DEAL")->Capt()).arg(Link("PRODUCT", "Product-DealProd")->Id()),
         "DEP_ID_AGR"},
        {"DEAL", Summing("S2", "PRODUCT_ID"),
         "Суммируемое поле должно быть хранимым числовым полем подчинённого объекта связи.", "FLD_ID_AGR"},
        {"DEAL", Summing("S3") + Values{{"FLD_NOTNULL", false}},
         "Суммирующее поле должно быть числовым, обязательным и со значением по умолчанию 0.", "FLD_NOTNULL"},
    };
    int key = 990000;
    for (const auto &c : cases) {
        auto atr = NewFld(c.table, c.values);
        I(*atr, "FLD_ID")->SetValue(++key);   // no generator read either
        const qint64 executed = TIBSQL::ExecutedCount();
        const auto [message, item] = Refusal(*atr);
        EXPECT_TRUE(message.startsWith(c.message)) << message.toStdString();
        EXPECT_EQ(item, c.item) << c.message.toStdString();
        EXPECT_EQ(TIBSQL::ExecutedCount(), executed) << message.toStdString();
    }
}

TEST_F(AtrFldTest, ASummingFieldIsSummedOnceAndThenKeptByItsTriggers)
{
    auto atr = NewFld("DEAL", Summing("shipped"));
    Save(*atr);
    EXPECT_FALSE(atr->New());
    EXPECT_EQ(Triggers("SHIPPED"), 3);
    EXPECT_EQ(F("DEAL", "SHIPPED")->AgrObjLink(), Link("DEAL", "DealProd"));
    EXPECT_EQ(F("DEAL", "SHIPPED")->AgrFld(), F("DEALPROD", "DEALPROD_SHIP"));
    const QString wrong = "select count(*) from DEAL D where D.SHIPPED <> coalesce((select sum(P.DEALPROD_SHIP) "
                          "from DEALPROD P where P.DEAL_ID = D.DEAL_ID), 0)";
    EXPECT_GT(Count("select count(*) from DEAL where SHIPPED <> 0"), 0);
    EXPECT_EQ(Count(wrong), 0);
    const int a = Count("select min(DEAL_ID) from DEAL"), b = Count("select max(DEAL_ID) from DEAL");
    const int product = Count("select min(PRODUCT_ID) from PRODUCT");
    const QString changes[] = {
        QString("insert into DEALPROD (DEALPROD_ID, DEAL_ID, PRODUCT_ID, DEALPROD_SHIP) values (900001, %1, %2, 5)").arg(a).arg(product),
        QString("insert into DEALPROD (DEALPROD_ID, DEAL_ID, PRODUCT_ID, DEALPROD_SHIP) values (900002, %1, %2, 0)").arg(b).arg(product),
        "update DEALPROD set DEALPROD_SHIP = 7 where DEALPROD_ID = 900001",
        QString("update DEALPROD set DEAL_ID = %1 where DEALPROD_ID = 900001").arg(b),
        QString("update DEALPROD set DEAL_ID = %1, DEALPROD_SHIP = 2 where DEALPROD_ID = 900001").arg(a),
        "update DEALPROD set DEALPROD_SHIP = 4 where DEALPROD_ID = 900002",
        "delete from DEALPROD where DEALPROD_ID = 900001",
    };
    for (const QString &change : changes) {
        repo.Exec(change);
        EXPECT_EQ(Count(wrong), 0) << change.toStdString();
    }

    // Saving the field again changes no trigger and sums nothing.
    repo.Exec(QString("update DEAL set SHIPPED = 999 where DEAL_ID = %1").arg(a));
    auto again = Load<TAtrFld>("FLD", F("DEAL", "SHIPPED")->Id(), {"FLD_CAPT"});
    I(*again, "FLD_CAPT")->SetValue("Отгружено всего");
    Save(*again);
    EXPECT_EQ(Column("DEAL", "SHIPPED", a), Variant(999.0));
    EXPECT_EQ(Triggers("SHIPPED"), 3);
    EXPECT_EQ(F("DEAL", "SHIPPED")->Capt(), "Отгружено всего");
}

TEST_F(AtrFldTest, AFailedFirstSumKeepsTheSavedFieldAndSaysSo)
{
    repo.Exec("create exception KVX_TEST_FAULT 'injected'");
    repo.Exec("create trigger KVX_TEST_FAULT for DEAL before update as begin exception KVX_TEST_FAULT; end");
    auto atr = NewFld("DEAL", Summing("shipped"));
    const QString error = SaveError(*atr);
    EXPECT_TRUE(error.startsWith("Поле \"" + F("DEALPROD", "DEALPROD_SHIP")->Capt() +
                                 "\" сохранено, но его значения не пересчитаны: "))
        << error.toStdString();
    EXPECT_TRUE(error.contains("injected"));
    EXPECT_FALSE(atr->New());   // a second OK changes the row instead of inserting it again
    EXPECT_FALSE(db.WriteTransaction().InTransaction());
    EXPECT_EQ(FldRows("SHIPPED"), 1);
    EXPECT_EQ(Triggers("SHIPPED"), 3);
    EXPECT_EQ(F("DEAL", "SHIPPED")->AgrObjLink(), Link("DEAL", "DealProd"));
}

TEST_F(AtrFldTest, AFailureAtAnyStepLeavesNeitherRowsNorSchemaNorRepositoryChanges)
{
    const struct {
        QStringList faults;
        QString table;
        Values values;
        Variant schemaAfter;
        int triggersAfter;
    } cases[] = {
        // the column fails after the row
        {{"alter table DEAL add STRAY INTEG"}, "DEAL", {{"FLDTYPE_ID", Type(ftNum182)}, {"FLD_FIELD", "STRAY"}}, "INTEG", 0},
        // the first trigger fails after the column, the last one after two triggers
        {{"create trigger SUMA_AI for UNIT after insert as begin end"}, "DEAL", Summing("SUMA"), Variant::Null(), 1},
        {{"create trigger SUMB_AU for UNIT after insert as begin end"}, "DEAL", Summing("SUMB"), Variant::Null(), 1},
        // the link row fails after the column
        {{"create exception KVX_TEST_FAULT 'injected'",
          "create trigger KVX_TEST_FAULT for DEP before insert as begin exception KVX_TEST_FAULT; end"},
         "PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", O("UNIT")->Id()}, {"FLD_FIELD", "UNIT2"}}, Variant::Null(), 0},
        // only the commit finds the rows of a table that cannot take a new not-null column
        {{}, "DEAL", {{"FLDTYPE_ID", Type(ftString)}, {"FLD_FIELD", "NOTE2"}, {"FLD_SIZE", 20}, {"FLD_NOTNULL", true}},
         Variant::Null(), 0},
    };
    for (const auto &c : cases) {
        for (const QString &fault : c.faults)
            repo.Exec(fault);
        const QString shape = Shape();
        const int links = Count("select count(*) from DEP");
        auto atr = NewFld(c.table, c.values);
        const QString column = V(*atr, "FLD_FIELD").toString();
        EXPECT_NE(SaveError(*atr), "no error") << column.toStdString();
        EXPECT_FALSE(db.WriteTransaction().InTransaction());
        EXPECT_EQ(FldRows(column), 0) << column.toStdString();
        EXPECT_EQ(Schema(c.table, column), c.schemaAfter) << column.toStdString();
        EXPECT_EQ(Triggers(column), c.triggersAfter) << column.toStdString();
        EXPECT_EQ(Count("select count(*) from DEP"), links);
        EXPECT_EQ(Shape(), shape) << column.toStdString();
    }
}

TEST_F(AtrFldTest, AFailedRepositoryUpdateAfterTheCommitChangesNothingInIt)
{
    auto atr = NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftFK)}, {"OBJ_ID_V", O("UNIT")->Id()}, {"FLD_FIELD", "UNIT2"}});
    db.StartTransaction();
    atr->Post();
    std::unique_ptr<TObj> unit(db.ObjList->Extract(O("UNIT")));   // the linked object is gone meanwhile
    const QString shape = Shape();
    EXPECT_EQ(ErrorOf([&] { atr->Commit(); }), QString("Объект с кодом \"%1\" не найден.").arg(unit->Id()));
    EXPECT_EQ(Shape(), shape);
    db.ObjList->Add(std::move(unit));
    EXPECT_EQ(FldRows("UNIT2"), 1);   // committed all the same
}

TEST_F(AtrFldTest, AChangedFormulaIsWrittenAsTreeAndPathRows)
{
    TFld *dlv = F("DEALPROD", "DEALPROD_DLV");
    auto atr = Load<TAtrFld>("FLD", dlv->Id(), {"FLD_FRMLHAVE"});
    auto root = Node(TFormulaFunc::ffAdd, nullptr, 1, 10);
    TFormulaTree *mul = root->FormulaTreeList.Add(Node(TFormulaFunc::ffMul, nullptr, 2, 7));
    mul->FormulaTreeList.Add(Node(TFormulaFunc::ffNone, F("DEALPROD", "DEALPROD_SHIP"), 3, 4));
    mul->FormulaTreeList.Add(Node(TFormulaFunc::ffNone, F("DEALPROD", "DEALPROD_PRICE"), 5, 6));
    TFormulaTree *turn = root->FormulaTreeList.Add(Node(TFormulaFunc::ffNone, F("CONTRAG", "CONTRAG_TURN"), 8, 9));
    turn->SetPathHave(true);
    turn->Path->Add(F("DEALPROD", "DEAL_ID"));
    turn->Path->Add(F("DEAL", "CONTRAG_ID"));
    TAtrItem *formula = I(*atr, "FLD_FRML_V");
    formula->Formula->FormulaTreeRoot = std::move(root);
    formula->SetValue(formula->Formula->Text());
    Save(*atr);
    const QString nodes = "select count(*) from FRMLTREE where FLD_ID = :F";
    const QString paths = "select count(*) from FRMLTRPT P join FRMLTREE T on T.FRMLTREE_ID = P.FRMLTREE_ID where T.FLD_ID = :F";
    EXPECT_EQ(Count(nodes, {{"F", dlv->Id()}}), 5);
    EXPECT_EQ(Count(paths, {{"F", dlv->Id()}}), 2);
    const QString text = dlv->Formula->Text();
    EXPECT_EQ(text, formula->Formula->Text());
    O("DEALPROD")->LoadFormuls();   // read back from the rows, the path in its order
    EXPECT_EQ(dlv->Formula->Text(), text);

    formula->Formula->Clear();
    formula->SetValue(QString());
    Save(*atr);
    EXPECT_EQ(Count(nodes, {{"F", dlv->Id()}}), 0);
    EXPECT_EQ(Count(paths, {{"F", dlv->Id()}}), 0);
    EXPECT_EQ(Column("FLD", "FLD_FRMLHAVE", dlv->Id()), Variant(0));
    EXPECT_EQ(dlv->Formula->FormulaTreeRoot, nullptr);
}

TEST_F(AtrFldTest, AnExistingRowKeepsTheValuesItsSchemaWasMadeFrom)
{
    TFld *price = F("PRODUCT", "PRODUCT_PRICE");
    const Values changes = {{"FLD_FIELD", "PRICE"}, {"FLDTYPE_ID", Type(ftInt)}, {"FLD_VIRT", true},
                            {"FLD_NOTNULL", false}, {"FLD_SIZE", 9}};
    for (const auto &[field, value] : changes) {
        auto atr = Load<TAtrFld>("FLD", price->Id(), {field});
        I(*atr, field)->SetValue(value);
        const auto [message, item] = Refusal(*atr);
        EXPECT_EQ(item, field);
        EXPECT_EQ(message, "Невозможно изменить запись для объекта \"Поля\", т.к. поле \"" + I(*atr, field)->Fld->Capt() +
                               "\" задаёт структуру базы данных и после создания не меняется.");
    }
    auto same = Load<TAtrFld>("FLD", price->Id(), {"FLD_FIELD", "FLD_CAPT"});
    I(*same, "FLD_FIELD")->SetValue("PRODUCT_PRICE");   // typed again as it was
    I(*same, "FLD_CAPT")->SetValue("Цена продажи");
    Save(*same);
    EXPECT_EQ(price->Capt(), "Цена продажи");
    EXPECT_EQ(Column("FLD", "FLD_FIELD", price->Id()), Variant("PRODUCT_PRICE"));
}

TEST_F(AtrFldTest, TheConfiguratorCardsKeepSchemaDefiningControlsReadOnlyWhenChanging)
{
    const QString controls = "select count(*) from CTRLTREE T join CARD C on C.CARD_ID = T.CARD_ID "
                             "join FLD F on F.FLD_ID = T.FLD_ID where T.CTRLTREE_ROEDT = :RO and C.CARD_NAME || '.' || "
                             "F.FLD_FIELD in ('Fld.FLD_FIELD', 'Fld.FLDTYPE_ID', 'Fld.FLD_SIZE', 'Fld.OBJ_ID_V', "
                             "'Fld.FKRULE_ID_V', 'Fld.FLD_NOTNULL', 'Fld.FLD_DEF0', 'Fld.FLD_VIRT', 'Fld.DEP_ID_AGR', "
                             "'Fld.FLD_ID_AGR', 'Obj.OBJ_TABLE', 'ChildObj.OBJ_ID_V', 'ChildObj.FLD_FIELD_V', "
                             "'ChildObj.FLD_NOTNULL_V', 'ChildObj.FKRULE_ID')";
    EXPECT_EQ(Count(controls, {{"RO", 1}}), 15);
    EXPECT_EQ(Count(controls, {{"RO", 0}}), 0);
    EXPECT_EQ(Count("select count(*) from CTRLTREE T join CARD C on C.CARD_ID = T.CARD_ID join FLD F on "
                    "F.FLD_ID = T.FLD_ID where C.CARD_NAME = 'Fld' and F.FLD_FIELD = 'FLD_CAPT' and T.CTRLTREE_ROEDT = 0"),
              1);
}

} // namespace
