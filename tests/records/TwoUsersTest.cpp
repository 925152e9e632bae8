#include "AtrFixture.h"
#include "IBError.h"
#include "IBTransaction.h"

namespace {

using namespace korvenix_test;

const QString Changed = "Запись объекта \"%1\" изменил или удалил другой пользователь после того, как вы её открыли. "
                        "Ваши изменения не сохранены: закройте карточку и откройте запись снова.";

// What an error box would show: the text handed to it.
class BoxText : public TUserHooks
{
public:
    BoxText() { SetUserHooks(this); }
    ~BoxText() override { SetUserHooks(nullptr); }
    int MsgDlg(const QString &msg, TMsgDlgType, TMsgDlgButtons, QObject *) override
    {
        Text = msg;
        return mrOk;
    }

    QString Text;
};

// Two users of one database: this test's connection and a second attachment with a repository
// of its own. Record editors reach their connection through the global DB, which a scope of
// the other user switches over.
class TwoUsersTest : public AtrFixture
{
protected:
    class Other
    {
    public:
        explicit Other(TDB &AOther) : FSaved(DB) { DB = &AOther; }
        ~Other() { DB = FSaved; }
        Other(const Other &) = delete;
        Other &operator=(const Other &) = delete;

    private:
        TDB *FSaved;
    };

    void SetUp() override
    {
        AtrFixture::SetUp();
        const Other other(second);
        second.Connect();
        second.Init();
        second.Login("admin", "");
    }
    void TearDown() override
    {
        {
            const Other other(second);
            second.RollbackChanges();
            second.Deinit();
            second.Disconnect();
        }
        AtrFixture::TearDown();
    }

    // The other user's editor of a stored record, with items for these fields.
    std::unique_ptr<TAtr> OtherLoads(const QString &table, const Variant &id, const QStringList &fields)
    {
        const Other other(second);
        auto atr = std::make_unique<TAtr>();
        atr->SetObj(second.ObjList->GetObjByTable(table));
        for (const QString &field : fields)
            atr->GetAddByFldName(field);
        atr->SetRecId(id);
        return atr;
    }
    // What the other user's card does with these values: post them and commit.
    void OtherSaves(const QString &table, const Variant &id, const Values &values)
    {
        QStringList fields;
        for (const auto &[field, value] : values)
            fields << field;
        auto atr = OtherLoads(table, id, fields);
        const Other other(second);
        for (const auto &[field, value] : values)
            I(*atr, field)->SetValue(value);
        second.StartTransaction();
        atr->Post();
        atr->Commit();
    }
    void OtherExec(const QString &text, const Values &params)
    {
        const Other other(second);
        RepoBuilder(second).Exec(text, params);
    }

    TDB second;
};

TEST_F(TwoUsersTest, AColumnAnotherUserChangedAfterTheReadIsNotOverwrittenAndOtherColumnsStay)
{
    const Variant id = Scalar("select min(CONTRAG_ID) from CONTRAG");
    const QStringList fields{"CONTRAG_NAME", "CONTRAG_PHONE", "CONTRAG_INN", "CONTRAG_ADDR"};
    auto mine = Load("CONTRAG", id, fields);
    OtherSaves("CONTRAG", id, {{"CONTRAG_PHONE", "+7 000 000-00-00"}});
    I(*mine, "CONTRAG_PHONE")->SetValue("+7 111 111-11-11");
    EXPECT_EQ(Refusal(*mine).first, Changed.arg("Контрагенты"));
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_PHONE", id), Variant("+7 000 000-00-00"));
    // The editor keeps what the user typed; opened again, the record shows the other value.
    EXPECT_EQ(V(*mine, "CONTRAG_PHONE"), Variant("+7 111 111-11-11"));
    EXPECT_TRUE(I(*mine, "CONTRAG_PHONE")->Modified);
    EXPECT_FALSE(db.WriteTransaction().InTransaction());
    EXPECT_EQ(V(*Load("CONTRAG", id, fields), "CONTRAG_PHONE"), Variant("+7 000 000-00-00"));

    // Each changes a column of their own: both stay.
    mine = Load("CONTRAG", id, fields);
    OtherSaves("CONTRAG", id, {{"CONTRAG_INN", "7701234567"}});
    I(*mine, "CONTRAG_NAME")->SetValue("ООО «Своё»");
    Save(*mine);
    EXPECT_EQ(QList<Variant>({Column("CONTRAG", "CONTRAG_NAME", id), Column("CONTRAG", "CONTRAG_INN", id)}),
              QList<Variant>({"ООО «Своё»", "7701234567"}));

    // A change of letter case alone is a change, though the column compares ignoring it; an
    // empty column filled meanwhile is one too.
    mine = Load("CONTRAG", id, fields);
    OtherSaves("CONTRAG", id, {{"CONTRAG_NAME", "ООО «СВОЁ»"}, {"CONTRAG_ADDR", Variant::Null()}});
    I(*mine, "CONTRAG_NAME")->SetValue("ООО «Третье»");
    EXPECT_EQ(Refusal(*mine).first, Changed.arg("Контрагенты"));
    mine = Load("CONTRAG", id, fields);
    OtherSaves("CONTRAG", id, {{"CONTRAG_ADDR", "Москва"}});
    I(*mine, "CONTRAG_ADDR")->SetValue("Тверь");
    EXPECT_EQ(Refusal(*mine).first, Changed.arg("Контрагенты"));
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_ADDR", id), Variant("Москва"));

    // A record another user deleted meanwhile is not silently left unwritten.
    const Variant rate = Scalar("select max(CURRATE_ID) from CURRATE");
    auto gone = Load("CURRATE", rate, {"CURRATE_VALUE"});
    OtherExec("delete from CURRATE where CURRATE_ID = :ID", {{"ID", rate}});
    I(*gone, "CURRATE_VALUE")->SetValue(77);
    EXPECT_EQ(Refusal(*gone).first, Changed.arg("Курсы валют"));
}

TEST_F(TwoUsersTest, OnlyTheColumnsTheEditorChangesCountNotSumsNorTheOtherUsersFormulas)
{
    // Another user's product line changes the deal's sum through the triggers: a note on the
    // deal's card is saved all the same.
    const Variant deal = 22;
    auto card = Load("DEAL", deal, {"DEAL_NUM", "DEAL_NOTE", "DEAL_SUM"});
    const double sum = V(*card, "DEAL_SUM").toDouble();
    {
        const Other other(second);
        TAtr line;
        line.SetObj(second.ObjList->GetObjByTable("DEALPROD"));
        line.SetDefaultValues(second.ObjList->GetObjByTable("DEAL")->ChildList->GetByName("DealProd"), deal);
        I(line, "PRODUCT_ID")->SetValue(Scalar("select min(PRODUCT_ID) from PRODUCT"));
        I(line, "DEALPROD_SHIP")->SetValue(3);
        I(line, "DEALPROD_PRICE")->SetValue(10);
        second.StartTransaction();
        line.Post();
        line.Commit();
    }
    EXPECT_DOUBLE_EQ(Column("DEAL", "DEAL_SUM", deal).toDouble(), sum + 30);
    I(*card, "DEAL_NOTE")->SetValue("Позвонить в пятницу");
    Save(*card);
    EXPECT_EQ(Column("DEAL", "DEAL_NOTE", deal), Variant("Позвонить в пятницу"));

    // A price with its computed price with VAT, changed by another user, does not stop a new
    // name; a price of one's own does stop, since the other's would be lost.
    const Variant product = Scalar("select min(PRODUCT_ID) from PRODUCT");
    const QStringList fields{"PRODUCT_NAME", "PRODUCT_PRICE", "PRODUCT_PRICEVAT"};
    auto mine = Load("PRODUCT", product, fields);
    auto mineToo = Load("PRODUCT", product, fields);
    OtherSaves("PRODUCT", product, {{"PRODUCT_PRICE", 200}});
    I(*mine, "PRODUCT_NAME")->SetValue("Своё имя");
    Save(*mine);
    EXPECT_EQ(Scalar("select PRODUCT_NAME || '|' || PRODUCT_PRICE || '|' || PRODUCT_PRICEVAT from PRODUCT "
                     "where PRODUCT_ID = :ID", {{"ID", product}}),
              Variant("Своё имя|200.00|240.00"));
    I(*mineToo, "PRODUCT_PRICE")->SetValue(300);
    EXPECT_EQ(Refusal(*mineToo).first, Changed.arg("Товары"));
    EXPECT_EQ(Column("PRODUCT", "PRODUCT_PRICEVAT", product), Variant(240.0));
}

TEST_F(TwoUsersTest, AnUntouchedRecordCostsOneStatementAndItsEditorPostsAgainAfterACommitOrARollback)
{
    const Variant id = Scalar("select min(CONTRAG_ID) from CONTRAG");
    auto mine = Load("CONTRAG", id, {"CONTRAG_PHONE", "CONTRAG_EMAIL"});
    I(*mine, "CONTRAG_PHONE")->SetValue("1");
    const qint64 before = TIBSQL::ExecutedCount();
    Save(*mine);
    EXPECT_EQ(TIBSQL::ExecutedCount() - before, 1) << "the update alone";

    // Its own committed change is no one else's: the card saves again, also twice in one
    // transaction, and after a rollback as if the first post had not been.
    I(*mine, "CONTRAG_PHONE")->SetValue("2");
    Save(*mine);
    db.StartTransaction();
    I(*mine, "CONTRAG_PHONE")->SetValue("3");
    mine->Post();
    I(*mine, "CONTRAG_PHONE")->SetValue("4");
    I(*mine, "CONTRAG_EMAIL")->SetValue("a@b.ru");
    mine->Post();
    db.RollbackChanges();
    I(*mine, "CONTRAG_PHONE")->SetValue("5");
    Save(*mine);
    EXPECT_EQ(QList<Variant>({Column("CONTRAG", "CONTRAG_PHONE", id), Column("CONTRAG", "CONTRAG_EMAIL", id)}),
              QList<Variant>({"5", "a@b.ru"}));
    // Numbers and dates it wrote compare equal to what the row holds: no refusal of its own.
    auto product = Load("PRODUCT", Scalar("select min(PRODUCT_ID) from PRODUCT"), {"PRODUCT_PRICE", "PRODUCT_PRICEVAT"});
    auto deal = Load("DEAL", 22, {"DEAL_DATE", "DEAL_RATE"});
    for (const double price : {123.45, 0.1, 2.675}) {
        I(*product, "PRODUCT_PRICE")->SetValue(price);
        I(*deal, "DEAL_RATE")->SetValue(price / 3);
        I(*deal, "DEAL_DATE")->SetValue(QDate(2025, 2, int(price * 10) % 28 + 1));
        EXPECT_EQ(Refusal(*product).first, "no error") << price;
        EXPECT_EQ(Refusal(*deal).first, "no error") << price;
    }
    // A new record's own inserted values count as read once committed.
    auto added = New("CONTRAG", {{"CONTRAG_NAME", "Новый"}, {"CONTRAG_PHONE", "6"}});
    Save(*added);
    OtherSaves("CONTRAG", added->RecId(), {{"CONTRAG_PHONE", "7"}});
    I(*added, "CONTRAG_PHONE")->SetValue("8");
    EXPECT_EQ(Refusal(*added).first, Changed.arg("Контрагенты"));
}

TEST_F(TwoUsersTest, ARecordOrTotalAnotherUserIsWritingRightNowIsToldInTheUsersWords)
{
    const QString busy = "Эту запись или итог по ней сейчас изменяет другой пользователь. "
                         "Повторите сохранение чуть позже.";
    // The other user's product line is posted, not yet committed: it holds the deal's total.
    std::unique_ptr<TAtr> line;
    {
        const Other other(second);
        line = std::make_unique<TAtr>();
        line->SetObj(second.ObjList->GetObjByTable("DEALPROD"));
        line->SetDefaultValues(second.ObjList->GetObjByTable("DEAL")->ChildList->GetByName("DealProd"), 22);
        I(*line, "PRODUCT_ID")->SetValue(Scalar("select min(PRODUCT_ID) from PRODUCT"));
        I(*line, "DEALPROD_SHIP")->SetValue(1);
        I(*line, "DEALPROD_PRICE")->SetValue(5);
        second.StartTransaction();
        line->Post();
    }
    // The first line of the error box that the application's handler shows for the refusal.
    const auto refusal = [&](TAtr &atr) {
        try {
            Save(atr);
        } catch (const EIBError &e) {
            BoxText box;
            HandleApplicationException(e);
            EXPECT_EQ(box.Text.section('\n', 1), e.Message()) << "the engine's own text follows unchanged";
            return box.Text.section('\n', 0, 0);
        }
        return QString("no database error");
    };
    auto mine = New("DEALPROD", {{"PRODUCT_ID", Scalar("select max(PRODUCT_ID) from PRODUCT")}, {"DEALPROD_SHIP", 2},
                                 {"DEALPROD_PRICE", 7}},
                    Link("DEAL", "DealProd"), 22);
    EXPECT_EQ(refusal(*mine), busy);
    // And the same record.
    auto deal = Load("DEAL", 22, {"DEAL_NOTE"});
    {
        const Other other(second);
        auto sql = second.CreateIBSQLC();
        sql->SetSQL("update DEAL set DEAL_NOTE = 'чужое' where DEAL_ID = 22");
        sql->ExecQuery();
    }
    I(*deal, "DEAL_NOTE")->SetValue("своё");
    EXPECT_EQ(refusal(*deal), busy);
    // Once the other user is done, the save goes through.
    {
        const Other other(second);
        second.RollbackChanges();
    }
    Save(*mine);
    Save(*deal);
    EXPECT_EQ(Column("DEAL", "DEAL_NOTE", 22), Variant("своё"));
}

} // namespace
