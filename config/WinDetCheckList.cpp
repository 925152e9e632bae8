#include "WinDetCheckList.h"

#include "Atr.h"
#include "AtrItem.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "ObjLink.h"
#include "TreeWidget.h"
#include "WinToolBar.h"
#include "WriteGuard.h"

TWinDetCheckList::TWinDetCheckList(QWidget *AParent) : TObjectList<TCheckItem>(true)
{
    Panel = new QFrame(AParent);
    Panel->setFrameShape(QFrame::NoFrame);
    Panel->show();
    WinToolBar = std::make_unique<TWinToolBar>(Panel);
    WinToolBar->AddBtn(TBtnType::btSave, QStringLiteral("Сохранить"), [this] { Save(); });
    vt = CreateTreeWidget(Panel);
    vt->setRootIsDecorated(false);
    ::SetAlign(vt, TAlign::alClient);
    UpdateSaveBtn();
}

TWinDetCheckList::~TWinDetCheckList()
{
    // The panel stays with its owner.
    delete vt.data();
    WinToolBar.reset();
}

void TWinDetCheckList::SetObj(TObj *AObj)
{
    FObj = AObj;
    vt->clear();
    Clear();
    if (!AObj)
        return;
    for (TObjLink *link : *AObj->ChildList) {
        if (!link->Det())
            continue;
        Add(std::make_unique<TCheckItem>(link));
        auto *node = new QTreeWidgetItem(vt);
        SetNodeText(node, link->ChildFld()->Obj()->Capt2());
        SetCheckable(node, !FDetBookId.isNull());
    }
}

void TWinDetCheckList::SetDetBookId(const Variant &AValue)
{
    FDetBookId = AValue;
    SetCheckSupport(false);   // the ticks go with the boxes
    SetCheckSupport(!AValue.isNull());
    if (!AValue.isNull())
        TickStoredLinks();
    UpdateSaveBtn();
}

void TWinDetCheckList::Save()
{
    if (FDetBookId.isNull())
        return;
    TWriteGuard guard(*DB);
    const auto sql = DB->CreateIBSQLC();
    sql->SetSQL(QStringLiteral("delete from DETDEP where DETBOOK_ID = :DETBOOK_ID"));
    sql->ParamByName(QStringLiteral("DETBOOK_ID")) = FDetBookId;
    sql->ExecQuery();
    TAtr atr;
    atr.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("DETDEP")));
    for (int i = 0; i < Count(); ++i) {
        if (!IsTicked(vt->topLevelItem(i)))
            continue;
        atr.SetDefaultValues(nullptr, Variant::Null());
        atr.GetAddByFldName(QStringLiteral("DETBOOK_ID"))->SetValue(FDetBookId);
        atr.GetAddByFldName(QStringLiteral("DEP_ID"))->SetValue(Items(i)->ObjLink->Id());
        atr.Post();
    }
    guard.Commit();
}

void TWinDetCheckList::SetAlign(TAlign AAlign)
{
    ::SetAlign(Panel, AAlign);
}

void TWinDetCheckList::SetCheckSupport(bool ACheckSupport)
{
    for (int i = 0; i < vt->topLevelItemCount(); ++i)
        SetCheckable(vt->topLevelItem(i), ACheckSupport);
}

void TWinDetCheckList::TickStoredLinks()
{
    const auto sql = DB->CreateIBSQLS();
    TCloseGuard closer(*sql);
    sql->SetSQL(QStringLiteral("select DEP_ID from DETDEP where DETBOOK_ID = :DETBOOK_ID"));
    sql->ParamByName(QStringLiteral("DETBOOK_ID")) = FDetBookId;
    for (sql->ExecQuery(); !sql->Eof(); sql->Next()) {
        const Variant depId = sql->FieldByName(QStringLiteral("DEP_ID"));
        for (int i = 0; i < Count(); ++i) {
            if (Items(i)->ObjLink->Id() == VarAsInteger(depId)) {
                vt->topLevelItem(i)->setCheckState(0, Qt::Checked);
                break;
            }
        }
    }
}

void TWinDetCheckList::UpdateSaveBtn()
{
    WinToolBar->GetByBtnType(TBtnType::btSave)->SetEnabled(!FDetBookId.isNull());
}
