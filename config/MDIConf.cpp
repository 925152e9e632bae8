#include "MDIConf.h"

#include "Align.h"
#include "Fld.h"
#include "IBTransaction.h"
#include "MDITbl.h"
#include "Main.h"
#include "MainFo.h"
#include "ObjLink.h"
#include "Tbl.h"
#include "WinCardConf.h"
#include "WinDetCheckList.h"
#include "WinTblCard.h"
#include "WinTblDep.h"
#include "WinTblDetBook.h"
#include "WinTblFld.h"
#include "WinTblObj.h"
#include "WinTblTbl.h"
#include "WinTree.h"

#include <QSplitter>
#include <QTabWidget>
#include <algorithm>

namespace {

// Heights of the lists stacked above an editor.
constexpr int ChildLinksHeight = 150;
constexpr int ListHeight = 100;
constexpr int ObjListWidth = 200;

TObj *ObjOf(const QString &ATable)
{
    return DB->ObjList->GetObjByTable(ATable);
}

// The link of AObj to the object of table ATable, among the links in which AObj is the master.
TObjLink *LinkTo(const TObj *AObj, const QString &ATable)
{
    TObjLink *link = AObj->ChildList->GetByChiObjTable(ATable);
    if (!link)
        throw ExceptionPos(Format(QStringLiteral("Конфигуратор: не найдена связь объекта \"%s\" с объектом таблицы \"%s\"."),
                                  {AObj->Capt(), ATable}));
    return link;
}

// The link whose link field is AObj's field AField.
TObjLink *LinkOfField(const TObj *AObj, const QString &AField)
{
    TObjLink *link = AObj->ParentList->GetByFld(AObj->GetFldByName(AField));
    if (!link)
        throw ExceptionPos(Format(QStringLiteral("Конфигуратор: не найдена связь поля \"%s\" объекта \"%s\"."),
                                  {AField, AObj->Capt()}));
    return link;
}

QString LinkCaption(const TObjLink *ALink, const TObj *AObj)
{
    return ALink->Capt().isEmpty() ? AObj->Capt() : ALink->Capt();
}

// A page of lists stacked above an editor, each on a host of its own: docking gives a host a
// layout, which a splitter must not get.
QSplitter *AddStack(QTabWidget *APages, const QString &ACaption)
{
    auto *stack = new QSplitter(Qt::Vertical);
    stack->setChildrenCollapsible(false);
    APages->addTab(stack, ACaption);
    return stack;
}

QWidget *AddHost(QSplitter *AStack)
{
    auto *host = new QWidget;
    AStack->addWidget(host);
    AStack->setStretchFactor(AStack->count() - 1, 0);
    return host;
}

// The last host takes what the lists above it leave.
void SetHeights(QSplitter *AStack, QList<int> AHeights)
{
    AStack->setStretchFactor(AStack->count() - 1, 1);
    AHeights << QWIDGETSIZE_MAX / 2;
    AStack->setSizes(AHeights);
}

template <typename TList>
std::unique_ptr<TList> CreateList(QWidget *AOwner, QWidget *AHost, TObjLink *ALink, const QString &AView)
{
    auto list = std::make_unique<TList>(AOwner, AHost);
    list->InitByName(ALink->ChildFld()->Obj(), ALink, AView);
    list->SetAlign(TAlign::alClient);
    return list;
}

// The read transaction ended and started again: the database forgets which tables it read.
void RestartReadTransaction()
{
    TIBTransaction &read = DB->ReadTransaction();
    read.Commit();
    read.StartTransaction();
}

} // namespace

TMDIConfig::TMDIConfig(QMdiArea *AOwner) : TMDI(AOwner)
{
    Form->setWindowTitle(QStringLiteral("Конфигуратор"));
    auto *split = new QSplitter(Qt::Horizontal, Client());
    split->setChildrenCollapsible(false);
    ::SetAlign(split, TAlign::alClient);
    auto *left = new QTabWidget(split);
    auto *right = new QTabWidget(split);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({ObjListWidth, QWIDGETSIZE_MAX / 2});

    CreateObjPage(left);
    CreateFldPage(right);
    CreateChildLinkPage(right);
    CreateParentLinkPage(right);
    CreateCardPage(right);
    CreateTblPage(right);
    CreateDetBookPage(right);

    WinTblObj->Open();
    WinTblObj->SetFocus();
}

TMDIConfig::~TMDIConfig()
{
    // Losing the selection closes what depends on it while every part still exists.
    WinTblObj->Close();
    WinDetCheckList.reset();
    WinTblDetBook.reset();
    TblTreeChild.reset();
    WinTblChildTbl.reset();
    WinTblParent.reset();
    WinTblDepChildObj.reset();
    WinCardConf.reset();
    WinTblCard.reset();
    TblTree.reset();
    WinTblTbl.reset();
    WinTblFld.reset();
    WinTblObj.reset();
}

// --- Building --------------------------------------------------------------------------------

void TMDIConfig::CreateObjPage(QTabWidget *APages)
{
    TObj *obj = ObjOf(QStringLiteral("OBJ"));
    auto *host = new QWidget;
    APages->addTab(host, obj->Capt2());
    WinTblObj = std::make_unique<TWinTblObj>(Client(), host);
    WinTblObj->InitByName(obj, nullptr, QStringLiteral("Obj"));
    WinTblObj->SetAlign(TAlign::alClient);
    WinTblObj->EntryUsers = this;
    WinTblObj->OnChangeFocus = [this](TWinTbl *) { WinTblObjChangeFocus(); };
    WinTblObj->OnChangeData = [this](TWinTbl *) { WinTblObjChangeData(); };
}

void TMDIConfig::CreateFldPage(QTabWidget *APages)
{
    TObjLink *link = LinkTo(ObjOf(QStringLiteral("OBJ")), QStringLiteral("FLD"));
    auto *host = new QWidget;
    APages->addTab(host, ObjOf(QStringLiteral("FLD"))->Capt2());
    WinTblFld = CreateList<TWinTblFld>(Client(), host, link, QStringLiteral("Fld"));
    WinTblFld->EntryUsers = this;
    WinTblFld->OnChangeData = [this](TWinTbl *) { WinTblFldChangeData(); };
}

void TMDIConfig::CreateChildLinkPage(QTabWidget *APages)
{
    TObj *dep = ObjOf(QStringLiteral("DEP"));
    TObjLink *link = LinkOfField(dep, QStringLiteral("OBJ_ID"));
    QSplitter *stack = AddStack(APages, LinkCaption(link, dep));
    WinTblDepChildObj = CreateList<TWinTblDepChildObj>(Client(), AddHost(stack), link, QStringLiteral("ChildLink"));
    WinTblDepChildObj->EntryUsers = this;
    WinTblDepChildObj->OnChangeFocus = [this](TWinTbl *) { WinTblDepChildObjChangeFocus(); };
    WinTblDepChildObj->OnChangeData = [this](TWinTbl *) { WinTblDepChildObjChangeData(); };
    WinTblChildTbl = CreateList<TWinTblTbl>(Client(), AddHost(stack), LinkTo(dep, QStringLiteral("TBL")), QStringLiteral("Tbl"));
    WinTblChildTbl->OnChangeFocus = [this](TWinTbl *) { WinTblChildTblChangeFocus(); };
    TblTreeChild = std::make_unique<TWinTree>(AddHost(stack));
    TblTreeChild->SetAlign(TAlign::alClient);
    SetHeights(stack, {ChildLinksHeight, ListHeight});
}

void TMDIConfig::CreateParentLinkPage(QTabWidget *APages)
{
    TObj *dep = ObjOf(QStringLiteral("DEP"));
    TObjLink *link = LinkOfField(dep, QStringLiteral("FLD_ID"));
    auto *host = new QWidget;
    APages->addTab(host, LinkCaption(link, dep));
    WinTblParent = CreateList<TWinTblDepParentObj>(Client(), host, link, QStringLiteral("ParentLink"));
    // The list only shows the links: they are added, changed and deleted on their masters' pages.
    for (TBtnType type : {TBtnType::btAdd, TBtnType::btEdit, TBtnType::btDel})
        WinTblParent->WinToolBar->GetByBtnType(type)->AlwaysDisable = true;
}

void TMDIConfig::CreateCardPage(QTabWidget *APages)
{
    QSplitter *stack = AddStack(APages, ObjOf(QStringLiteral("CARD"))->Capt2());
    WinTblCard = CreateList<TWinTblCard>(Client(), AddHost(stack), LinkTo(ObjOf(QStringLiteral("OBJ")), QStringLiteral("CARD")),
                                         QStringLiteral("Card"));
    WinTblCard->OnChangeFocus = [this](TWinTbl *) { WinTblCardChangeFocus(); };
    WinCardConf = std::make_unique<TWinCardConf>(AddHost(stack));
    WinCardConf->SetAlign(TAlign::alClient);
    WinCardConf->OnSave = [this](const Variant &ACardId) { WinTblCard->Reread(ACardId); };
    SetHeights(stack, {ListHeight});
}

void TMDIConfig::CreateTblPage(QTabWidget *APages)
{
    QSplitter *stack = AddStack(APages, ObjOf(QStringLiteral("TBL"))->Capt2());
    WinTblTbl = CreateList<TWinTblTbl>(Client(), AddHost(stack), LinkTo(ObjOf(QStringLiteral("OBJ")), QStringLiteral("TBL")),
                                       QStringLiteral("Tbl"));
    WinTblTbl->OnChangeFocus = [this](TWinTbl *) { WinTblTblChangeFocus(); };
    TblTree = std::make_unique<TWinTree>(AddHost(stack));
    TblTree->SetAlign(TAlign::alClient);
    SetHeights(stack, {ListHeight});
}

void TMDIConfig::CreateDetBookPage(QTabWidget *APages)
{
    QSplitter *stack = AddStack(APages, ObjOf(QStringLiteral("DETBOOK"))->Capt2());
    WinTblDetBook = CreateList<TWinTblDetBook>(Client(), AddHost(stack),
                                               LinkTo(ObjOf(QStringLiteral("OBJ")), QStringLiteral("DETBOOK")),
                                               QStringLiteral("DetBook"));
    WinTblDetBook->OnChangeFocus = [this](TWinTbl *) { WinTblDetBookChangeFocus(); };
    WinDetCheckList = std::make_unique<TWinDetCheckList>(AddHost(stack));
    WinDetCheckList->SetAlign(TAlign::alClient);
    SetHeights(stack, {ListHeight});
}

// --- Master and details ----------------------------------------------------------------------

void TMDIConfig::WinTblObjChangeFocus()
{
    const Variant id = WinTblObj->FocusedRecId();
    TObj *obj = WinTblObj->CurrentObj;
    if (id.isNull() || !obj) {
        CloseObjLists();
        return;
    }
    WinTblFld->SetParentId(id);
    WinTblFld->Open();
    WinTblDepChildObj->SetParentId(obj->Id());
    WinTblDepChildObj->Open();
    WinTblParent->SetParentId(obj->Id());
    WinTblParent->Open();
    WinTblCard->SetParentId(id);
    WinTblCard->Open();
    WinTblTbl->SetParentId(id);
    WinTblTbl->Open();
    TblTree->Init(obj);
    WinTblDetBook->SetParentId(id);
    WinTblDetBook->Open();
    WinDetCheckList->SetObj(obj);
}

void TMDIConfig::CloseObjLists()
{
    WinTblFld->Close();
    WinTblDepChildObj->Close();
    WinTblParent->Close();
    WinTblCard->Close();
    WinTblTbl->Close();
    TblTree->Init(nullptr);
    WinTblDetBook->Close();
    WinDetCheckList->SetObj(nullptr);
}

void TMDIConfig::WinTblObjChangeData()
{
    if (OnObjChangeData)
        OnObjChangeData(WinTblObj.get());
}

void TMDIConfig::WinTblFldChangeData()
{
    RebuildEditors();
}

void TMDIConfig::WinTblDepChildObjChangeFocus()
{
    const TObjLink *link = WinTblDepChildObj->CurrentObjLink;
    if (!WinTblDepChildObj->FocusedRecId().isNull() && link) {
        TblTreeChild->Init(link->ChildFld()->Obj());
        WinTblChildTbl->SetParentId(link->Id());
        WinTblChildTbl->Open();
    } else {
        TblTreeChild->Init(nullptr);
        WinTblChildTbl->Close();
    }
    TblTreeChild->SetTblId(Variant::Null());
}

void TMDIConfig::WinTblDepChildObjChangeData()
{
    RebuildEditors();
}

void TMDIConfig::WinTblChildTblChangeFocus()
{
    TblTreeChild->SetTblId(WinTblChildTbl->FocusedRecId());
}

void TMDIConfig::WinTblCardChangeFocus()
{
    SetDesignedCard(WinTblCard->FocusedRecId());
}

void TMDIConfig::WinTblTblChangeFocus()
{
    TblTree->SetTblId(WinTblTbl->FocusedRecId());
}

void TMDIConfig::WinTblDetBookChangeFocus()
{
    WinDetCheckList->SetDetBookId(WinTblDetBook->FocusedRecId());
}

void TMDIConfig::SetDesignedCard(const Variant &ACardId)
{
    WinCardConf->SetCardId(ACardId);
}

// --- Editors after data changes --------------------------------------------------------------

void TMDIConfig::ClearEditors()
{
    TblTree->Init(nullptr);
    TblTree->SetTblId(Variant::Null());
    TblTreeChild->Init(nullptr);
    TblTreeChild->SetTblId(Variant::Null());
    WinDetCheckList->SetObj(nullptr);
    WinDetCheckList->SetDetBookId(Variant::Null());
    SetDesignedCard(Variant::Null());
}

// Fields, links and their columns may have come or gone: each editor is built again for what
// its lists show, its view's ticks and its book's links read again.
void TMDIConfig::RebuildEditors()
{
    TObj *obj = WinTblObj->CurrentObj;
    TblTree->Init(obj);
    TblTree->SetTblId(WinTblTbl->FocusedRecId());
    const TObjLink *link = WinTblDepChildObj->CurrentObjLink;
    TblTreeChild->Init(link ? link->ChildFld()->Obj() : nullptr);
    TblTreeChild->SetTblId(WinTblChildTbl->FocusedRecId());
    WinDetCheckList->SetObj(obj);
    WinDetCheckList->SetDetBookId(WinTblDetBook->FocusedRecId());
    SetDesignedCard(WinTblCard->FocusedRecId());
}

// --- Entries a delete frees ------------------------------------------------------------------

std::vector<TWinTbl *> TMDIConfig::Lists() const
{
    return {WinTblObj.get(), WinTblFld.get(), WinTblDepChildObj.get(), WinTblChildTbl.get(),
            WinTblParent.get(), WinTblCard.get(), WinTblTbl.get(), WinTblDetBook.get()};
}

void TMDIConfig::CheckRelease(const TFreedEntries &AEntries)
{
    for (TWinTbl *list : Lists())
        if (AEntries.UsedBy(*list))
            throw ExceptionPos(Format(QStringLiteral("Удалить нельзя: удаляемое показывает сам конфигуратор в таблице \"%s\"."),
                                      {list->Tbl->Capt()}),
                               list->GetPanel());
}

void TMDIConfig::CloseWindowsUsing(const TFreedEntries &AEntries)
{
    if (!MainForm || !MainForm->MDIList)
        return;
    TMDIList &windows = *MainForm->MDIList;
    for (int i = windows.Count() - 1; i >= 0; --i) {
        const auto *window = dynamic_cast<const TMDITbl *>(windows.Items(i));
        if (window && AEntries.UsedBy(*window->GetWinTbl()))
            windows.Delete(i);
    }
}

void TMDIConfig::ReleaseTable(const TFreedEntries &AEntries)
{
    CloseWindowsUsing(AEntries);
    std::vector<TWinTbl *> open;
    if (MainForm && MainForm->MDIList)
        for (TMDI *window : *MainForm->MDIList)
            if (const auto *data = dynamic_cast<const TMDITbl *>(window))
                if (data->GetWinTbl()->Active())
                    open.push_back(data->GetWinTbl());
    // Every cursor ends with the transaction: the open windows read their rows again.
    RestartReadTransaction();
    for (TWinTbl *list : open)
        list->Reopen();
    WinTblObj->ReopenKeepingFocus();
}

std::vector<TWinTbl *> TMDIConfig::ListsShowing(const TFreedEntries &AEntries) const
{
    const TObj *obj = WinTblObj->CurrentObj;
    const auto anyLink = [&](const auto &AShows) {
        return std::any_of(AEntries.Links.begin(), AEntries.Links.end(), AShows);
    };
    std::vector<TWinTbl *> lists;
    if (std::any_of(AEntries.Flds.begin(), AEntries.Flds.end(), [&](const TFld *fld) { return fld->Obj() == obj; }))
        lists.push_back(WinTblFld.get());
    if (anyLink([&](const TObjLink *link) { return link->ParentObj() == obj; }))
        lists.push_back(WinTblDepChildObj.get());
    if (anyLink([&](const TObjLink *link) { return link->ChildFld()->Obj() == obj; }))
        lists.push_back(WinTblParent.get());
    return lists;
}

void TMDIConfig::Release(const TFreedEntries &AEntries, const TWinTbl &ADeleter)
{
    CloseWindowsUsing(AEntries);
    if (!AEntries.Objs.empty()) {
        CloseObjLists();
        WinTblFld->SetParentId(Variant::Null());
        WinTblDepChildObj->SetParentId(Variant::Null());
    } else {
        // The rows are gone from the database by now; no row left shows a freed entry.
        ReadListsShowing(AEntries, ADeleter);
    }
    ClearEditors();
}

void TMDIConfig::Added(const TFreedEntries &AEntries, const TWinTbl &AAdder)
{
    ReadListsShowing(AEntries, AAdder);
}

void TMDIConfig::ReadListsShowing(const TFreedEntries &AEntries, const TWinTbl &AChanger)
{
    for (TWinTbl *list : ListsShowing(AEntries))
        if (list != &AChanger && list->Active())
            list->Reopen();
}
