#pragma once

#include "MDILst.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QUrl>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMenuBar;
class QStatusBar;
class TDB;

// The main window: the MDI frame that owns the connection object for the life of the process,
// logs the user in, lists the business objects in "Данные" and hosts every data window.
class TMainForm : public QMainWindow
{
public:
    TMainForm();
    ~TMainForm() override;

    QMenuBar *mm;
    QMenu *miFile;
    QAction *miLogin;
    QAction *miExit;
    QMenu *miData;
    QMenu *miSetup;
    QMenu *miHelp;
    QAction *miConf;
    QStatusBar *sb;
    QAction *miHomePage;
    QAction *miShowDebMsg;
    // Shared with the windows that need them: 0 left, 1 right, 2 up, 3 down arrow, 4 ellipsis.
    QList<QIcon> il;
    QAction *miDevMode;
    QMdiArea *mdi;

    std::unique_ptr<TMDIList> MDIList;

    // Opens the home page in the default browser; replaceable where no browser may start.
    static std::function<void(const QUrl &)> OpenUrl;
    // The home page shipped with the program.
    static QUrl HomePageUrl();

    QString StatusText() const;

    void miLoginClick();
    void miExitClick();
    void miConfClick();
    void miDevModeClick();
    void miShowDebMsgClick();
    void miHomePageClick();
    void miDataItemClick(QAction *Sender);
    // The configurator reports that the list of objects has changed.
    void ConfObjChange();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void InitMainForm();
    void DeinitMainForm();
    void TearDownLogin();
    void FillDataMenu();
    void CreateImages();

    std::unique_ptr<TDB> FDB;
    QLabel *sbText;
    bool InitedMainForm = false;
    bool FShown = false;
};

extern TMainForm *MainForm;

// Image AIndex of the main form's shared list (0 left, 1 right, 2 up, 3 down arrow, 4 ellipsis);
// drawn afresh where no main form stands.
QIcon ImageListIcon(int AIndex);
