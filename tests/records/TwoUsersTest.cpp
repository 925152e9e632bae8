#include "AtrFixture.h"
#include "IBError.h"
#include "IBTransaction.h"

namespace {

using namespace korvenix_test;

const QString Changed = "Запись объекта \"%1\" изменил или удалил другой пользователь после того, как вы её открыли. "
                        "Ваши изменения не сохранены: закройте карточку и откройте запись снова.";

// Another user's line of deal 22 grows the deal's sum by 30 through the summing triggers.
const QString LineGrows = "update DEALPROD set DEALPROD_PAY = DEALPROD_PAY + 30 "
                          "where DEALPROD_ID = (select min(DEALPROD_ID) from DEALPROD where DEAL_ID = 22)";

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

// Two users of one database: this test's connection, whose record editors are the user's, and a
// second attachment, whose statements are another user's.
class TwoUsersTest : public AtrFixture
{
protected:
    void SetUp() override
    {
        AtrFixture::SetUp();
        second.Connect();
    }
    void TearDown() override
    {
        second.RollbackChanges();
        second.Disconnect();
        AtrFixture::TearDown();
    }
    // This user's editor takes the value and saves: the refusal, or "no error".
    QString Saving(TAtr &atr, const QString &field, const Variant &value)
    {
        I(atr, field)->SetValue(value);
        return Refusal(atr).first;
    }

    TDB second;
    RepoBuilder other{second};   // each statement committed
};

// A column the editor changes that another user changed and committed after the read: nothing is
// written, the editor keeps the user's value and the record opened again shows the other's.
TEST_F(TwoUsersTest, AColumnAnotherUserChangedAfterTheReadIsNotOverwritten)
{
    const Variant id = Scalar("select min(CONTRAG_ID) from CONTRAG");
    const QStringList fields{"CONTRAG_NAME", "CONTRAG_PHONE", "CONTRAG_ADDR"};
    const QString update = "update CONTRAG set %1 = :V where CONTRAG_ID = :ID";
    auto mine = Load("CONTRAG", id, fields);
    other.Exec(update.arg("CONTRAG_PHONE"), {{"V", "+7 000 000-00-00"}, {"ID", id}});
    EXPECT_EQ(Saving(*mine, "CONTRAG_PHONE", "+7 111 111-11-11"), Changed.arg("Контрагенты"));
    EXPECT_EQ(Column("CONTRAG", "CONTRAG_PHONE", id), Variant("+7 000 000-00-00"));
    EXPECT_TRUE(V(*mine, "CONTRAG_PHONE") == Variant("+7 111 111-11-11") && I(*mine, "CONTRAG_PHONE")->Modified);
    EXPECT_FALSE(db.WriteTransaction().InTransaction());
    EXPECT_EQ(V(*Load("CONTRAG", id, fields), "CONTRAG_PHONE"), Variant("+7 000 000-00-00"));

    // A change of letter case alone is a change, though the column compares ignoring it; an
    // empty column filled meanwhile is one too.
    other.Exec("update CONTRAG set CONTRAG_NAME = 'ООО «Своё»', CONTRAG_ADDR = null where CONTRAG_ID = :ID", {{"ID", id}});
    const std::tuple<QString, Variant, Variant> changes[] = {{"CONTRAG_NAME", "ООО «СВОЁ»", "ООО «Третье»"},
                                                             {"CONTRAG_ADDR", "Москва", "Тверь"}};
    for (const auto &[field, theirs, ours] : changes) {
        mine = Load("CONTRAG", id, fields);
        other.Exec(update.arg(field), {{"V", theirs}, {"ID", id}});
        EXPECT_EQ(Saving(*mine, field, ours), Changed.arg("Контрагенты")) << field.toStdString();
        EXPECT_EQ(Column("CONTRAG", field, id), theirs) << field.toStdString();
    }
    // A record another user deleted meanwhile is not silently left unwritten.
    const Variant rate = Scalar("select max(CURRATE_ID) from CURRATE");
    auto gone = Load("CURRATE", rate, {"CURRATE_VALUE"});
    other.Exec("delete from CURRATE where CURRATE_ID = :ID", {{"ID", rate}});
    EXPECT_EQ(Saving(*gone, "CURRATE_VALUE", 77), Changed.arg("Курсы валют"));
}

// Columns the editor read but did not change may be changed by others meanwhile: they are neither
// refused nor overwritten, sums kept by triggers and what the editor computes among them.
TEST_F(TwoUsersTest, OnlyTheColumnsTheEditorChangesCountNotSumsNorTheOtherUsersFormulas)
{
    auto card = Load("DEAL", 22, {"DEAL_NOTE", "DEAL_SUM"});
    other.Exec(LineGrows);
    EXPECT_DOUBLE_EQ(Column("DEAL", "DEAL_SUM", 22).toDouble(), V(*card, "DEAL_SUM").toDouble() + 30);
    EXPECT_EQ(Saving(*card, "DEAL_NOTE", "Позвонить в пятницу"), "no error");
    EXPECT_EQ(Column("DEAL", "DEAL_NOTE", 22), Variant("Позвонить в пятницу"));

    // A price and the price with VAT the editor computes from it, changed by another user, do
    // not stop a new name; a price of one's own does stop, since the other's would be lost.
    const Variant product = Scalar("select min(PRODUCT_ID) from PRODUCT");
    const QStringList fields{"PRODUCT_NAME", "PRODUCT_PRICE", "PRODUCT_PRICEVAT"};
    auto mine = Load("PRODUCT", product, fields), mineToo = Load("PRODUCT", product, fields);
    other.Exec("update PRODUCT set PRODUCT_PRICE = 200, PRODUCT_PRICEVAT = 240 where PRODUCT_ID = :ID", {{"ID", product}});
    EXPECT_EQ(Saving(*mine, "PRODUCT_NAME", "Своё имя"), "no error");
    EXPECT_EQ(Scalar("select PRODUCT_NAME || '|' || PRODUCT_PRICE || '|' || PRODUCT_PRICEVAT from PRODUCT "
                     "where PRODUCT_ID = :ID", {{"ID", product}}),
              Variant("Своё имя|200.00|240.00"));
    EXPECT_EQ(Saving(*mineToo, "PRODUCT_PRICE", 300), Changed.arg("Товары"));
}

TEST_F(TwoUsersTest, AnUntouchedRecordCostsOneStatementAndItsEditorPostsAgainAfterACommitOrARollback)
{
    const Variant id = Scalar("select min(CONTRAG_ID) from CONTRAG");
    auto mine = Load("CONTRAG", id, {"CONTRAG_PHONE", "CONTRAG_EMAIL"});
    const qint64 before = TIBSQL::ExecutedCount();
    EXPECT_EQ(Saving(*mine, "CONTRAG_PHONE", "1"), "no error");
    EXPECT_EQ(TIBSQL::ExecutedCount() - before, 1) << "the update alone";

    // Its own committed change is no one else's: the card saves again, also twice in one
    // transaction, and after a rollback as if the first post had not been.
    EXPECT_EQ(Saving(*mine, "CONTRAG_PHONE", "2"), "no error");
    db.StartTransaction();
    I(*mine, "CONTRAG_PHONE")->SetValue("3");
    mine->Post();
    I(*mine, "CONTRAG_PHONE")->SetValue("4");
    I(*mine, "CONTRAG_EMAIL")->SetValue("a@b.ru");
    mine->Post();
    db.RollbackChanges();
    EXPECT_EQ(Saving(*mine, "CONTRAG_PHONE", "5"), "no error");
    EXPECT_EQ(QList<Variant>({Column("CONTRAG", "CONTRAG_PHONE", id), Column("CONTRAG", "CONTRAG_EMAIL", id)}),
              QList<Variant>({"5", "a@b.ru"}));
    // Numbers and dates it wrote compare equal to what the row holds: no refusal of its own.
    auto product = Load("PRODUCT", Scalar("select min(PRODUCT_ID) from PRODUCT"), {"PRODUCT_PRICE"});
    auto deal = Load("DEAL", 22, {"DEAL_DATE", "DEAL_RATE"});
    for (const double price : {123.45, 0.1, 2.675}) {
        I(*deal, "DEAL_RATE")->SetValue(price / 3);
        EXPECT_EQ(Saving(*product, "PRODUCT_PRICE", price), "no error") << price;
        EXPECT_EQ(Saving(*deal, "DEAL_DATE", QDate(2025, 2, int(price * 10) % 28 + 1)), "no error") << price;
    }
    // A new record's own inserted values count as read once committed.
    auto added = New("CONTRAG", {{"CONTRAG_NAME", "Новый"}, {"CONTRAG_PHONE", "6"}});
    Save(*added);
    other.Exec("update CONTRAG set CONTRAG_PHONE = '7' where CONTRAG_ID = :ID", {{"ID", added->RecId()}});
    EXPECT_EQ(Saving(*added, "CONTRAG_PHONE", "8"), Changed.arg("Контрагенты"));
}

// The other user's line is written, not yet committed: it holds the deal's row and total, which a
// line or a note of this user's would change. The error box's first line says so.
TEST_F(TwoUsersTest, ARecordOrTotalAnotherUserIsWritingRightNowIsToldInTheUsersWords)
{
    second.StartTransaction();
    const auto held = second.CreateIBSQLC();
    held->SetSQL(LineGrows);
    held->ExecQuery();
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
    const QString busy = "Эту запись или итог по ней сейчас изменяет другой пользователь. "
                         "Повторите сохранение чуть позже.";
    auto line = New("DEALPROD", {{"PRODUCT_ID", Scalar("select max(PRODUCT_ID) from PRODUCT")}, {"DEALPROD_SHIP", 2},
                                 {"DEALPROD_PRICE", 7}},
                    Link("DEAL", "DealProd"), 22);
    EXPECT_EQ(refusal(*line), busy);
    auto deal = Load("DEAL", 22, {"DEAL_NOTE"});
    I(*deal, "DEAL_NOTE")->SetValue("своё");
    EXPECT_EQ(refusal(*deal), busy);
    // Once the other user is done, the saves go through.
    second.RollbackChanges();
    Save(*line);
    Save(*deal);
    EXPECT_EQ(Column("DEAL", "DEAL_NOTE", 22), Variant("своё"));
}

} // namespace
