#include "MainFo.h"

#include "Application.h"
#include "LoginFo.h"
#include "Main.h"
#include "MenuKeys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStatusBar>
#include <QTimer>

namespace {

// A menu taller than the screen scrolls instead of spreading into columns: with a repository of
// a few thousand objects the columns of "Данные" would run far beyond the screen's edge, out of
// sight and out of reach of the mouse.
class TScrollingMenuStyle : public QProxyStyle
{
public:
    TScrollingMenuStyle() : QProxyStyle(QApplication::style()->name()) {}
    int styleHint(StyleHint AHint, const QStyleOption *AOption, const QWidget *AWidget,
                  QStyleHintReturn *AReturn) const override
    {
        if (AHint == SH_Menu_Scrollable)
            return 1;
        return QProxyStyle::styleHint(AHint, AOption, AWidget, AReturn);
    }
};

void ScrollWhenTallerThanTheScreen(QMenu *AMenu)
{
    auto *style = new TScrollingMenuStyle;
    style->setParent(AMenu);
    AMenu->setStyle(style);
}

} // namespace

TMainForm *MainForm = nullptr;

std::function<void(const QUrl &)> TMainForm::OpenUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };

TMainForm::TMainForm()
{
    MainForm = this;
    FDB = std::make_unique<TDB>();
    DB = FDB.get();

    SetFormFont(this);
    setWindowTitle(QStringLiteral("Платформа Korvenix"));

    mdi = new QMdiArea(this);
    setCentralWidget(mdi);

    mm = menuBar();
    miFile = mm->addMenu(QStringLiteral("Файл"));
    miLogin = miFile->addAction(QStringLiteral("Авторизация"));
    miExit = miFile->addAction(QStringLiteral("Выход"));
    miData = mm->addMenu(QStringLiteral("Данные"));
    ScrollWhenTallerThanTheScreen(miData);
    miSetup = mm->addMenu(QStringLiteral("Настройки"));
    miConf = miSetup->addAction(QStringLiteral("Конфигуратор"));
    // The two switches stay hidden: they are for the developer, who knows they are there.
    miDevMode = miSetup->addAction(QStringLiteral("Режим разработчика"));
    miDevMode->setCheckable(true);
    miDevMode->setVisible(false);
    miShowDebMsg = miSetup->addAction(QStringLiteral("Выводить отладочные сообщения"));
    miShowDebMsg->setCheckable(true);
    miShowDebMsg->setVisible(false);
    miHelp = mm->addMenu(QStringLiteral("Справка"));
    miHomePage = miHelp->addAction(QStringLiteral("Домашняя страница"));

    connect(miLogin, &QAction::triggered, this, Guard([this] { miLoginClick(); }));
    connect(miExit, &QAction::triggered, this, Guard([this] { miExitClick(); }));
    connect(miConf, &QAction::triggered, this, Guard([this] { miConfClick(); }));
    connect(miDevMode, &QAction::triggered, this, Guard([this] { miDevModeClick(); }));
    connect(miShowDebMsg, &QAction::triggered, this, Guard([this] { miShowDebMsgClick(); }));
    connect(miHomePage, &QAction::triggered, this, Guard([this] { miHomePageClick(); }));
    EnableMenuBarKeys(mm);
    CloseActiveChildOnCtrlF4(mdi);

    // One text over the whole bar; a label keeps it when menu hints pass through the bar.
    sb = statusBar();
    sb->setFixedHeight(19);
    sbText = new QLabel(sb);
    sb->addWidget(sbText, 1);

    // The inner area, below the menu bar, is 426 × 286.
    resize(426, mm->sizeHint().height() + 286);

    CreateImages();
    DeinitMainForm();
}

TMainForm::~TMainForm()
{
    // The windows go before the repository and the connection they read from.
    MDIList.reset();
    FDB.reset();
    DB = nullptr;
    if (MainForm == this)
        MainForm = nullptr;
}

namespace {

constexpr int ImageCount = 5;

// Image AIndex of the shared list, drawn in the colour AInk.
QIcon DrawImage(int AIndex, const QColor &AInk)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(AInk);
    auto triangle = [&p](QPointF a, QPointF b, QPointF c) { p.drawPolygon(QPolygonF({a, b, c})); };
    switch (AIndex) {
    case 0: triangle({3.5, 8}, {11.5, 3}, {11.5, 13}); break;
    case 1: triangle({12.5, 8}, {4.5, 3}, {4.5, 13}); break;
    case 2: triangle({8, 3.5}, {3, 11.5}, {13, 11.5}); break;
    case 3: triangle({8, 12.5}, {3, 4.5}, {13, 4.5}); break;
    default:
        for (int x : {3, 7, 11})
            p.drawRect(x, 10, 2, 2);
        break;
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace

void TMainForm::CreateImages()
{
    const QColor ink = palette().color(QPalette::WindowText);
    for (int i = 0; i < ImageCount; ++i)
        il.append(DrawImage(i, ink));
}

QIcon ImageListIcon(int AIndex)
{
    if (MainForm && AIndex >= 0 && AIndex < MainForm->il.size())
        return MainForm->il[AIndex];
    // Windows built without the main form (a card under test, a tool) draw their own.
    return DrawImage(AIndex, QApplication::palette().color(QPalette::WindowText));
}

QString TMainForm::StatusText() const
{
    return sbText->text();
}

QUrl TMainForm::HomePageUrl()
{
    // The build puts the page beside the program.
    return QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("docs/index.html")));
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    // The login dialog runs once the main window stands on the screen, so it can centre over it;
    // after the exposure has been handled, since the dialog runs a loop of its own.
    OnFirstExposure(this, [this] { QTimer::singleShot(0, this, Guard([this] { miLoginClick(); })); });
}

// Undoes a login in its order: the windows, the repository, the connection.
void TMainForm::TearDownLogin()
{
    if (InitedMainForm)
        DeinitMainForm();
    if (DB->Inited)
        DB->Deinit();
    if (DB->Connected)
        DB->Disconnect();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    Guarded([this] { TearDownLogin(); });
    QMainWindow::closeEvent(event);
}

void TMainForm::miLoginClick()
{
    TearDownLogin();

    const auto form = std::make_unique<TLoginForm>(this);
    LoginForm = form.get();
    struct TForget {
        ~TForget() { LoginForm = nullptr; }
    } forget;
    if (form->exec() == QDialog::Accepted)
        InitMainForm();
}

void TMainForm::miExitClick()
{
    close();
}

void TMainForm::miConfClick()
{
    if (TMDI *config = MDIList->Show(TMDIType::mtConfig, nullptr))
        config->OnObjChangeData = [this](TWinTbl *) { ConfObjChange(); };
}

void TMainForm::ConfObjChange()
{
    FillDataMenu();
}

void TMainForm::miDevModeClick()
{
    DevMode = miDevMode->isChecked();
    FillDataMenu();
}

void TMainForm::miShowDebMsgClick()
{
    ShowDebMsg = miShowDebMsg->isChecked();
}

void TMainForm::miHomePageClick()
{
    if (OpenUrl)
        OpenUrl(HomePageUrl());
}

void TMainForm::miDataItemClick(QAction *Sender)
{
    MDIList->Show(TMDIType::mtObj, Sender->data().value<TObj *>());
}

void TMainForm::InitMainForm()
{
    MDIList = std::make_unique<TMDIList>(mdi);
    miData->menuAction()->setVisible(true);
    FillDataMenu();
    miSetup->menuAction()->setVisible(true);
    sbText->setText(QStringLiteral("Пользователь: ") + DB->CurrentUserName);
    InitedMainForm = true;
}

void TMainForm::DeinitMainForm()
{
    // Freeing the list closes every MDI window with the objects behind it.
    MDIList.reset();
    miData->menuAction()->setVisible(false);
    miData->clear();
    miSetup->menuAction()->setVisible(false);
    sbText->clear();
    InitedMainForm = false;
}

void TMainForm::FillDataMenu()
{
    miData->clear();
    for (TObj *obj : *DB->ObjList) {
        if (obj->Meta() && !DevMode)
            continue;
        QString caption = obj->Capt2();
        if (obj->Ref())
            caption += QStringLiteral(" (Спр.)");
        QAction *item = miData->addAction(caption);
        item->setData(QVariant::fromValue(obj));
        connect(item, &QAction::triggered, this, Guard([this, item] { miDataItemClick(item); }));
    }
}
