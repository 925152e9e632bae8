// Users of one Firebird server on loopback: the card of one and the change of another on the
// same record, and a connection the server cuts off. scripts/test.sh starts the server.
#include "CardHelpers.h"
#include "WinCard.h"

#include <QMdiSubWindow>
#include <QToolButton>

namespace {

// The main window over the test's database on the server, its settings file pointing there, and
// another program's connection to it, made before the program's own so that the error boxes are
// the program's.
class ServerUsersTest : public MainFormFixture
{
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        if (server.Host.isEmpty())
            GTEST_SKIP() << "no Firebird server: scripts/test.sh starts one";
        onServer = std::make_unique<TestDatabase>(server.Dir);
        ini = std::make_unique<TestDatabase>();
        ini->WriteIni(QString("[DataBase]\nDataBaseName=%1\nuser_name=%2\npassword=%3\n")
                          .arg(server.Host + ":" + onServer->Path(), server.User, server.Password));
        other.Connect();
    }
    // The logged-in user's card of the counterparty, open on the record.
    static std::unique_ptr<TWinCard> Card(const Variant &id)
    {
        auto card = std::make_unique<TWinCard>(nullptr, nullptr, nullptr);
        card->InitByUser(O("CONTRAG"), DB->CurrentUserId);
        card->SetRecId(id);
        return card;
    }
    // Cuts the program's connection off, as an administrator (or a server restart) does.
    void CutOff()
    {
        const Variant attachment = RepoBuilder(*DB).Scalar("select current_connection from RDB$DATABASE");
        otherSQL.Exec("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID = :ID", {{"ID", attachment}});
    }
    // The text of the error box that opening the object's table brings.
    QString BoxOnOpening(const QString &table)
    {
        BoxSeen box;
        ModalScript script{AnswerBox(box, "OK")};
        OpenData(table);
        EXPECT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
        return box.Text;
    }

    TestServer server = TestServer::FromEnvironment();
    std::unique_ptr<TestDatabase> onServer, ini;
    TDB other;
    RepoBuilder otherSQL{other};
};

// Another user's change committed after the card read the record: the card's OK is refused,
// the card stays open with the user's text, and opened again it shows the other user's value.
TEST_F(ServerUsersTest, AFieldAnotherUserSavedMeanwhileIsNotOverwrittenAndShowsOnTheNextOpening)
{
    Show(EnterLogin("admin"));
    const Variant id = otherSQL.Scalar("select min(CONTRAG_ID) from CONTRAG");
    auto card = Card(id);
    otherSQL.Exec("update CONTRAG set CONTRAG_PHONE = '+7 495 000-00-01' where CONTRAG_ID = :ID", {{"ID", id}});
    BoxSeen refused, drop;
    {
        ModalScript script{[](QWidget *w) {
                               Type(w, "Телефон", "+7 495 000-00-02");
                               ClickButton(w, "ОК");
                           },
                           AnswerBox(refused, "OK"),
                           [&](QWidget *w) {
                               EXPECT_EQ(w, card->Form) << "the card stays open";
                               EXPECT_EQ(Labelled(w, "Телефон")->text(), "+7 495 000-00-02");
                               ClickButton(w, "Отмена");
                           },
                           AnswerBox(drop, "&Да")};
        EXPECT_NE(card->ShowModalCard(), mrOk);
    }
    EXPECT_EQ(QStringList({refused.Title, refused.Text}),
              QStringList({"Ошибка", "Запись объекта \"Контрагенты\" изменил или удалил другой пользователь после того, "
                                     "как вы её открыли. Ваши изменения не сохранены: закройте карточку и откройте "
                                     "запись снова."}));
    EXPECT_EQ(otherSQL.Scalar("select CONTRAG_PHONE from CONTRAG where CONTRAG_ID = :ID", {{"ID", id}}),
              Variant("+7 495 000-00-01"));
    EXPECT_EQ(FieldControl<QLineEdit>(*Card(id)->WinAtr, "CONTRAG_PHONE")->text(), "+7 495 000-00-01");
}

TEST_F(ServerUsersTest, AReadThatFindsTheConnectionGoneSaysSoAndOneLoginGoesOn)
{
    Show(EnterLogin("admin"));
    ASSERT_EQ(form->StatusText(), "Пользователь: Администратор");
    CutOff();
    const QStringList lines = BoxOnOpening("CONTRAG").split('\n');
    EXPECT_EQ(lines.value(0), "Соединение с сервером базы данных потеряно. Войдите в программу заново: "
                              "\"Файл\" → \"Авторизация\".");
    EXPECT_EQ(lines.value(1), "connection shutdown") << "the engine's own text follows";
    EXPECT_FALSE(DB->Connected);
    // Whatever is tried before the login finds the connection closed, and says the same.
    EXPECT_EQ(BoxOnOpening("CONTRAG"), lines.value(0) + "\nБаза данных не подключена.");

    // One login and the program goes on.
    LogIn();
    EXPECT_EQ(form->StatusText(), "Пользователь: Администратор");
    EXPECT_TRUE(DB->Connected);
    OpenData("CONTRAG");
    EXPECT_GT(Count("select count(*) from CONTRAG"), 0);
    EXPECT_EQ(form->mdi->subWindowList().size(), 1);
}

// A table window open when the connection is cut off: each re-read (F5) says that the connection
// is gone, the re-read stays at hand, and after one login a window reads its rows again.
TEST_F(ServerUsersTest, ReReadingAnOpenTableAfterTheConnectionWasCutOffSaysSoEachTime)
{
    Show(EnterLogin("admin"));
    OpenData("CONTRAG");
    ASSERT_EQ(form->mdi->subWindowList().size(), 1);
    auto *grid = form->mdi->subWindowList().first()->findChild<QTableView *>();
    ASSERT_GT(grid->model()->rowCount(), 0);
    CutOff();
    QStringList boxes;
    for (int press = 1; press <= 2; ++press) {
        BoxSeen box;
        ModalScript script{AnswerBox(box, "OK")};
        QTest::keyClick(grid, Qt::Key_F5);
        EXPECT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); })) << "F5 no. " << press;
        boxes << box.Text.section('\n', 0, 0);
    }
    EXPECT_EQ(boxes, QStringList(2, "Соединение с сервером базы данных потеряно. Войдите в программу заново: "
                                    "\"Файл\" → \"Авторизация\"."));
    EXPECT_FALSE(DB->Connected);

    LogIn();
    EXPECT_EQ(form->StatusText(), "Пользователь: Администратор");
    OpenData("CONTRAG");
    ASSERT_EQ(form->mdi->subWindowList().size(), 1);
    EXPECT_GT(form->mdi->subWindowList().first()->findChild<QTableView *>()->model()->rowCount(), 0);
}

// A table whose rows were still being read when another window found the connection gone: its
// last rows are not taken for the end of the table. Going to its end says that the connection is
// gone, once, and its re-read stays at hand.
TEST_F(ServerUsersTest, ATableCutOffBeforeItsLastRowSaysSoRatherThanEndingThere)
{
    Show(EnterLogin("admin"));
    OpenData("DEAL");
    OpenData("UNIT");
    ASSERT_EQ(form->MDIList->Count(), 2);
    auto *deals = dynamic_cast<TMDITbl *>(form->MDIList->Items(0))->GetWinTbl();
    const int all = Count("select count(*) from DEAL");
    ASSERT_LT(deals->Count(), all) << "the deals are read to their end at once";
    auto *units = form->mdi->subWindowList().at(1)->findChild<QTableView *>();
    CutOff();
    {
        BoxSeen box;
        ModalScript script{AnswerBox(box, "OK")};
        QTest::keyClick(units, Qt::Key_F5);
        ASSERT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
    }
    ASSERT_FALSE(DB->Connected);

    QMdiSubWindow *window = form->mdi->subWindowList().at(0);
    auto *grid = window->findChild<QTableView *>();
    const int shown = deals->Count();
    BoxSeen box;
    {
        ModalScript script{AnswerBox(box, "OK")};
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        EXPECT_TRUE(WaitFor([&] { return script.Done() && !QApplication::activeModalWidget(); }));
    }
    EXPECT_EQ(box.Text.section('\n', 0, 0), "Соединение с сервером базы данных потеряно. Войдите в программу "
                                             "заново: \"Файл\" → \"Авторизация\".");
    {
        ModalScript none{};   // said once: the end again is where the rows stop, without a box
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QTest::qWait(100);
    }
    EXPECT_EQ(deals->Count(), shown);
    QToolButton *reread = nullptr;
    for (QToolButton *button : window->findChildren<QToolButton *>())
        if (button->text() == "Обновить")
            reread = button;
    ASSERT_NE(reread, nullptr);
    EXPECT_TRUE(reread->isEnabled());
}

TEST_F(ServerUsersTest, ConnectOnAConnectionTheServerCutOffConnectsAfresh)
{
    DB->Connect();
    CutOff();
    DB->Connect();
    EXPECT_TRUE(DB->Connected);
    EXPECT_NO_THROW(DB->Login("admin", ""));
}

} // namespace
