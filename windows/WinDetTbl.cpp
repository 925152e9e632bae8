#include "WinDetTbl.h"

#include "Fld.h"
#include "Obj.h"
#include "ObjLink.h"
#include "WinTbl.h"
#include "WinTblPay.h"
#include "WinTblProd.h"
#include "WinTblShip.h"

#include <QFrame>

TWinDetTbl::TWinDetTbl(QWidget *AOwner, QWidget *AParent) : Owner(AOwner), Parent(AParent)
{
}

TWinDetTbl::~TWinDetTbl() = default;

void TWinDetTbl::Init(TObjLink *AObjLink, int AUserId)
{
    ObjLink = AObjLink;
    UserId = AUserId;
    WinTbl = CreateWinTbl(Owner, Parent, AObjLink);
    if (!WinTbl->InitByUser(AObjLink->ChildFld()->Obj(), AObjLink, AUserId, false)) {
        // No view: the tab stays, empty, without the bar and grid of a table it cannot show.
        const QPointer<QFrame> panel = WinTbl->GetPanel();
        WinTbl.reset();
        delete panel.data();
        return;
    }
    WinTbl->SetAlign(TAlign::alClient);
    WinTbl->OnAddClick = [this](TWinTbl *) {
        if (OnNewRecord)
            OnNewRecord(this);
    };
    WinTbl->OnChangeData = [this](TWinTbl *) {
        if (OnAfterChange)
            OnAfterChange(this);
    };
}

void TWinDetTbl::SetParentId(int Value)
{
    if (WinTbl)
        WinTbl->SetParentId(Value);
}

void TWinDetTbl::Open()
{
    if (WinTbl)
        WinTbl->Open();
}

void TWinDetTbl::Close()
{
    if (WinTbl)
        WinTbl->Close();
}

void TWinDetTbl::EnableAddBtn()
{
    if (WinTbl)
        WinTbl->EnableAddBtn();
}

void TWinDetTbl::Refresh()
{
    if (WinTbl && WinTbl->Active())
        WinTbl->Reopen();
}

std::unique_ptr<TWinTbl> CreateWinTbl(QWidget *AOwner, QWidget *AParent, TObjLink *AObjLink)
{
    const QString name = AObjLink ? AObjLink->Name() : QString();
    if (name == QLatin1String("DealProd"))
        return std::make_unique<TWinTblProd>(AOwner, AParent);
    if (name == QLatin1String("DealPaym"))
        return std::make_unique<TWinTblPay>(AOwner, AParent);
    if (name == QLatin1String("DealShip"))
        return std::make_unique<TWinTblShip>(AOwner, AParent);
    return std::make_unique<TWinTbl>(AOwner, AParent);
}

std::unique_ptr<TWinTbl> CreateObjWinTbl(QWidget *AOwner, QWidget *AParent, TObj *AObj)
{
    for (TObjLink *link : *AObj->ParentList) {
        const QString name = link->Name();
        if (name == QLatin1String("DealPaym") || name == QLatin1String("DealShip"))
            return CreateWinTbl(AOwner, AParent, link);
    }
    return std::make_unique<TWinTbl>(AOwner, AParent);
}
