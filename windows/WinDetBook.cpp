#include "WinDetBook.h"

#include "Align.h"
#include "DetBook.h"
#include "Fld.h"
#include "Obj.h"
#include "ObjLink.h"
#include "WinDetTbl.h"

namespace {

// The page control stands this far inside the detail panel on every side.
constexpr int Margin = 8;

} // namespace

TWinDetBook::TWinDetBook(QWidget *AOwner, QWidget *AParent)
    : TObjectList<TWinDet>(true), DetBook(std::make_unique<TDetBook>()), Parent(AParent), Owner(AOwner)
{
}

TWinDetBook::~TWinDetBook()
{
    // The panes before the book whose links they show; the controls stay with their form.
    Clear();
    DetBook.reset();
}

void TWinDetBook::LoadDetBook(int AUserId, TObj *AObj)
{
    DetBook->RaiseLoad = false;
    DetBook->LoadCurrent(AObj, AUserId);
}

void TWinDetBook::Init(TObj *AObj, int AUserId)
{
    LoadDetBook(AUserId, AObj);
    UserId = AUserId;
    if (DetBook->ObjLinkList.Count() == 0)
        return;
    pc = new QTabWidget(Parent);
    pc->setGeometry(Margin, Margin, Parent->width() - 2 * Margin, Parent->height() - 2 * Margin);
    SetAnchors(pc, akLeft | akTop | akRight | akBottom);
    pc->show();
    for (TObjLink *link : DetBook->ObjLinkList) {
        auto *sheet = new QWidget(pc);
        pc->addTab(sheet, link->ChildFld()->Obj()->Capt2());
        auto pane = std::make_unique<TWinDetTbl>(Owner, sheet);
        pane->Init(link, UserId);
        pane->OnNewRecord = [this](TWinDet *Sender) { DetNewRecord(Sender); };
        pane->OnAfterChange = [this](TWinDet *Sender) { DetAfterChange(Sender); };
        Add(std::move(pane));
    }
}

void TWinDetBook::SetParentId(int Value)
{
    for (TWinDet *pane : *this)
        pane->SetParentId(Value);
}

void TWinDetBook::SetEnabled(bool AEnabled)
{
    if (pc)
        pc->setEnabled(AEnabled);
}

int TWinDetBook::Top() const
{
    return pc ? pc->y() : 0;
}

int TWinDetBook::Height() const
{
    return pc ? pc->height() : 0;
}

void TWinDetBook::Open()
{
    for (TWinDet *pane : *this)
        pane->Open();
}

void TWinDetBook::Close()
{
    for (TWinDet *pane : *this)
        pane->Close();
}

void TWinDetBook::EnableAddBtn()
{
    for (TWinDet *pane : *this)
        pane->EnableAddBtn();
}

void TWinDetBook::DetNewRecord(TWinDet *Sender)
{
    if (OnNewRecord)
        OnNewRecord(Sender);
}

void TWinDetBook::DetAfterChange(TWinDet *Sender)
{
    // The triggers that keep the record's totals may change the rows of its other details too:
    // a deal's payment changes what its products show as paid.
    for (TWinDet *pane : *this)
        if (pane != Sender)
            pane->Refresh();
    if (OnAfterChange)
        OnAfterChange(Sender);
}
