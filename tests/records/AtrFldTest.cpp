#include "SchemaFixture.h"

#include "IBTransaction.h"

namespace {

using namespace korvenix_test;
using enum TFldType;

class AtrFldTest : public SchemaFixture
{
protected:
    Values Summing(const QString &name, const QString &summed = "DEALPROD_SHIP")
    {
        return {{"FLDTYPE_ID", Type(ftNum183)}, {"FLD_FIELD", name}, {"DEP_ID_AGR", Link("DEAL", "DealProd")->Id()},
                {"FLD_ID_AGR", F("DEALPROD", summed)->Id()}};
    }
    static TFormulaTree *Node(TObjectList<TFormulaTree> &AList, TFormulaFunc func, TFld *fld, int lft, int rgt)
    {
        TFormulaTree *node = AList.Add(std::make_unique<TFormulaTree>());
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
        {ftInt, "QTY", {{"FLD_NOTNULL", false}, {"FLD_DEF0", false}}, "alter table PRODUCT add QTY INTEG  ", "INTEG"},
        {ftBoolean, "FLAG2", {}, "alter table PRODUCT add FLAG2 BOOL default 0 not null", "BOOL not null default 0"},
        {ftNum183, "W3", {{"FLD_NOTNULL", false}}, "alter table PRODUCT add W3 NUM183 default 0 ", "NUM183 default 0"},
        {ftNum184, "R4", {}, "alter table PRODUCT add R4 NUM184 default 0 not null", "NUM184 not null default 0"},
        {ftDate, "SINCE", {}, "alter table PRODUCT add SINCE DATEONLY ", "DATEONLY"},
        {ftFK, "UNIT2", {{"OBJ_ID_V", O("UNIT")->Id()}}, "alter table PRODUCT add UNIT2 FK ", "FK"},
    };
    for (const auto &c : cases) {
        auto atr = NewFld("PRODUCT", Values{{"FLDTYPE_ID", Type(c.type)}, {"FLD_FIELD", c.name}} + c.more);
        Save(*atr);
        const QString column = c.name.toUpper();
        EXPECT_EQ(atr->IBSQLC->SQLText(), c.statement);
        EXPECT_EQ(Schema("PRODUCT", column), Variant(c.schema)) << column.toStdString();
        EXPECT_EQ(F("PRODUCT", column)->FldType(), c.type);
    }
    // A stored link field also gets its link row and foreign key; both reach the repository.
    EXPECT_EQ(Constraint("FK_PRODUCT_UNIT2"), Variant("FOREIGN KEY PRODUCT NO ACTION/CASCADE"));
    const TObjLink *link = O("UNIT")->ChildList->GetByFld(F("PRODUCT", "UNIT2"));
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(F("PRODUCT", "UNIT2")->FKObj() == O("UNIT") && O("PRODUCT")->ParentList->IndexOf(link) >= 0);

    Save(*NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftFormula)}, {"FLD_FIELD", "CALC_V"}, {"FLD_VIRT", true}}));
    EXPECT_TRUE(Schema("PRODUCT", "CALC_V").isNull() && F("PRODUCT", "CALC_V")->Virt());
    auto stored = NewFld("PRODUCT", {{"FLDTYPE_ID", Type(ftFormula)}, {"FLD_FIELD", "CALC"}});
    EXPECT_EQ(SaveError(*stored), "TAtrFld.Post:CreateField: Неизвестный тип поля \"" + db.FldTypeToCapt(ftFormula) + "\".");
    EXPECT_EQ(FldRows("CALC"), 0);
}

TEST_F(AtrFldTest, TheFieldCardsValuesFollowEachOther)
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

    auto sum = NewFld("DEAL", {{"FLDTYPE_ID", Type(ftNum183)}, {"FLD_ID_AGR", F("DEALPROD", "DEALPROD_PAY")->Id()}});
    TAtrItem *formula = I(*sum, "FLD_FRML_V");
    formula->Formula->FormulaTreeRoot = std::make_unique<TFormulaTree>();
    formula->SetValue("0");
    EXPECT_EQ(V(*sum, "FLD_FRMLHAVE"), Variant(true));
    I(*sum, "DEP_ID_AGR")->SetValue(Link("DEAL", "DealProd")->Id());   // a summing field has no formula
    EXPECT_EQ(values(*sum, {"FLD_ID_AGR", "FLD_FRMLHAVE"}), (QList<Variant>{Variant::Null(), false}));
    EXPECT_EQ(formula->Formula->FormulaTreeRoot, nullptr);
    I(*sum, "FLD_ID_AGR")->SetValue(F("DEALPROD", "DEALPROD_SHIP")->Id());
    EXPECT_EQ(V(*sum, "FLD_CAPT"), Variant(F("DEALPROD", "DEALPROD_SHIP")->Capt()));
}

TEST_F(AtrFldTest, RefusalsComeBeforeAnyStatementRuns)
{
    const QString badName = "Недопустимое имя для поля \"Поле таблицы\": ";
    const Variant unit = O("UNIT")->Id(), otherLink = Link("PRODUCT", "Product-DealProd")->Id();
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
        {"PRODUCT", {{"FLDTYPE_ID", Type(ftInt)}, {"FLD_FIELD", "X integer); drop table DEAL; --"}}, badName, "FLD_FIELD"},
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

TEST_F(AtrFldTest, ASummingFieldIsSummedOnceAndThenKeptByItsTriggers)
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

    // Saving the field again changes no trigger and sums nothing.
    repo.Exec(QString("update DEAL set SHIPPED = 999 where DEAL_ID = %1").arg(a));
    auto again = Load<TAtrFld>("FLD", shipped->Id(), {"FLD_CAPT"});
    I(*again, "FLD_CAPT")->SetValue("Отгружено всего");
    Save(*again);
    EXPECT_TRUE(Column("DEAL", "SHIPPED", a) == Variant(999) && Triggers("SHIPPED") == 3);
    EXPECT_EQ(shipped->Capt(), "Отгружено всего");

    // A failed first sum: the field is saved, the editor knows it, the user is told.
    repo.Exec("create exception KVX_TEST_FAULT 'injected'");
    repo.Exec("create trigger KVX_TEST_FAULT for DEAL before update as begin exception KVX_TEST_FAULT; end");
    auto failing = NewFld("DEAL", Summing("paid2", "DEALPROD_PAY"));
    const QString error = SaveError(*failing);
    EXPECT_TRUE(error.startsWith("Поле \"" + F("DEALPROD", "DEALPROD_PAY")->Capt() +
                                 "\" сохранено, но его значения не пересчитаны: ") && error.contains("injected"))
        << error.toStdString();
    EXPECT_FALSE(failing->New() || db.WriteTransaction().InTransaction());
    EXPECT_TRUE(Triggers("PAID2") == 3 && F("DEAL", "PAID2")->AgrObjLink());
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
        // the column fails after the row; the first trigger after the column; the last after two
        {{"alter table DEAL add STRAY INTEG"}, "DEAL", {{"FLDTYPE_ID", Type(ftNum182)}, {"FLD_FIELD", "STRAY"}}, "INTEG", 0},
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
        const int links = Rows("DEP");
        auto atr = NewFld(c.table, c.values);
        const std::string column = V(*atr, "FLD_FIELD").toString().toStdString();
        EXPECT_NE(SaveError(*atr), "no error") << column;
        EXPECT_FALSE(db.WriteTransaction().InTransaction());
        EXPECT_EQ(FldRows(column.c_str()), 0) << column;
        EXPECT_EQ(Schema(c.table, column.c_str()), c.schemaAfter) << column;
        EXPECT_EQ(Triggers(column.c_str()), c.triggersAfter) << column;
        EXPECT_TRUE(Rows("DEP") == links && Shape() == shape) << column;
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
    TObjectList<TFormulaTree> top;
    TFormulaTree *root = Node(top, TFormulaFunc::ffAdd, nullptr, 1, 10);
    TFormulaTree *mul = Node(root->FormulaTreeList, TFormulaFunc::ffMul, nullptr, 2, 7);
    Node(mul->FormulaTreeList, TFormulaFunc::ffNone, F("DEALPROD", "DEALPROD_SHIP"), 3, 4);
    Node(mul->FormulaTreeList, TFormulaFunc::ffNone, F("DEALPROD", "DEALPROD_PRICE"), 5, 6);
    TFormulaTree *turn = Node(root->FormulaTreeList, TFormulaFunc::ffNone, F("CONTRAG", "CONTRAG_TURN"), 8, 9);
    turn->SetPathHave(true);
    turn->Path->Add(F("DEALPROD", "DEAL_ID"));
    turn->Path->Add(F("DEAL", "CONTRAG_ID"));
    TAtrItem *formula = I(*atr, "FLD_FRML_V");
    formula->Formula->FormulaTreeRoot.reset(top.Extract(root));
    formula->SetValue(formula->Formula->Text());
    const QString rows = "select count(distinct T.FRMLTREE_ID) || '/' || count(P.FRMLTRPT_ID) from FRMLTREE T left join "
                         "FRMLTRPT P on P.FRMLTREE_ID = T.FRMLTREE_ID where T.FLD_ID = :F";
    Save(*atr);
    EXPECT_EQ(Scalar(rows, {{"F", dlv->Id()}}), Variant("5/2"));
    const QString text = formula->Formula->Text();
    O("DEALPROD")->LoadFormuls();   // read back from the rows, the path in its order
    EXPECT_EQ(dlv->Formula->Text(), text);

    formula->Formula->Clear();
    formula->SetValue(QString());
    Save(*atr);
    EXPECT_EQ(Scalar(rows, {{"F", dlv->Id()}}), Variant("0/0"));
    EXPECT_TRUE(Column("FLD", "FLD_FRMLHAVE", dlv->Id()) == Variant(0) && !dlv->Formula->FormulaTreeRoot);
}

TEST_F(AtrFldTest, AnExistingRowKeepsTheValuesItsSchemaWasMadeFrom)
{
    TFld *price = F("PRODUCT", "PRODUCT_PRICE");
    for (const auto &[field, value] : Values{{"FLD_FIELD", "PRICE"}, {"FLDTYPE_ID", Type(ftInt)}, {"FLD_VIRT", true},
                                             {"FLD_NOTNULL", false}, {"FLD_SIZE", 9}}) {
        auto atr = Load<TAtrFld>("FLD", price->Id(), {field});
        I(*atr, field)->SetValue(value);
        EXPECT_EQ(Refusal(*atr), std::make_pair("Невозможно изменить запись для объекта \"Поля\", т.к. поле \"" +
                                                    I(*atr, field)->Fld->Capt() + "\" задаёт структуру базы данных и "
                                                    "после создания не меняется.", field));
    }
    auto same = Load<TAtrFld>("FLD", price->Id(), {"FLD_FIELD", "FLD_CAPT"});
    I(*same, "FLD_FIELD")->SetValue("PRODUCT_PRICE");   // typed again as it was
    I(*same, "FLD_CAPT")->SetValue("Цена продажи");
    Save(*same);
    EXPECT_EQ(price->Capt(), "Цена продажи");
}

TEST_F(AtrFldTest, TheConfiguratorCardsKeepSchemaDefiningControlsReadOnlyWhenChanging)
{
    const QString readOnly = "select sum(T.CTRLTREE_ROEDT) || '/' || count(*) from CTRLTREE T join CARD C on "
                             "C.CARD_ID = T.CARD_ID join FLD F on F.FLD_ID = T.FLD_ID where C.CARD_NAME || '.' || "
                             "F.FLD_FIELD in (%1)";
    const QString fld = "'Fld.FLD_FIELD', 'Fld.FLDTYPE_ID', 'Fld.FLD_SIZE', 'Fld.OBJ_ID_V', 'Fld.FKRULE_ID_V', 'Fld.FLD_NOTNULL', "
                        "'Fld.FLD_DEF0', 'Fld.FLD_VIRT', 'Fld.DEP_ID_AGR', 'Fld.FLD_ID_AGR'";
    const QString link = "'ChildObj.OBJ_ID_V', 'ChildObj.FLD_FIELD_V', 'ChildObj.FLD_NOTNULL_V', 'ChildObj.FKRULE_ID'";
    EXPECT_EQ(Scalar(readOnly.arg(fld + ", 'Obj.OBJ_TABLE', " + link)), Variant("15/15"));
    EXPECT_EQ(Scalar(readOnly.arg("'Fld.FLD_CAPT', 'Obj.OBJ_CAPT', 'ChildObj.DEP_CAPT'")), Variant("0/3"));
}

} // namespace
