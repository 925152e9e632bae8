#include "DetBook.h"

#include "ChoiceSql.h"
#include "IBSQL.h"
#include "Main.h"
#include "ObjLink.h"

TDetBook::TDetBook()
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("DETBOOK")));
    IBSQLS = DB->CreateIBSQLS();
}

TDetBook::~TDetBook() = default;

void TDetBook::SetObj(TObj *AObj)
{
    FObj = AObj;
    SetValue(QStringLiteral("OBJ_ID"), AObj ? Variant(AObj->Id()) : Variant::Null());
}

QString TDetBook::WhereLine(const QString &AFunc, TObj *AObj) const
{
    if (!AObj)
        throw ExceptionPos(AFunc + QStringLiteral(": Не указан объект."));
    return Choice().WhereLine(QStringLiteral("OBJ_ID"), AObj->Id());
}

const TChoiceSql &TDetBook::Choice()
{
    static const TChoiceSql choice(QStringLiteral("DETBOOK"), QStringLiteral("D"), QStringLiteral("USRDET"));
    return choice;
}

bool TDetBook::LoadRow()
{
    TCloseGuard closer(*IBSQLS);
    IBSQLS->ExecQuery();
    if (IBSQLS->Eof())
        return false;
    CopyDataFrom(*IBSQLS);
    if (!ObjId().isNull())
        SetObj(DB->ObjList->GetObjById(VarAsInteger(ObjId())));
    IBSQLS->Close();
    LoadLinks();
    return true;
}

void TDetBook::LoadLinks()
{
    ObjLinkList.Clear();
    TCloseGuard closer(*IBSQLS);
    IBSQLS->ClearSQL();
    IBSQLS->AddLine(QStringLiteral("select *"));
    IBSQLS->AddLine(QStringLiteral("from DETDEP D"));
    IBSQLS->AddLine(QStringLiteral("where D.DETBOOK_ID = ") + QString::number(Id()));
    for (IBSQLS->ExecQuery(); !IBSQLS->Eof(); IBSQLS->Next()) {
        const int depId = VarAsInteger(IBSQLS->FieldByName(QStringLiteral("DEP_ID")));
        // Only links in which the book's object is the master: the detail tables are opened
        // on the key of the card's record.
        TObjLink *link = FObj ? FObj->ChildList->GetById(depId) : nullptr;
        if (!link)
            throw ExceptionPos::Fmt(
                QStringLiteral("TDetBook.Load: Для объекта \"%s\" в наборе деталей (%d) не найдена деталь с кодом %d."),
                {FObj ? FObj->Capt() : QString(), Id(), depId});
        ObjLinkList.Add(link);
    }
}

void TDetBook::MissCheck(bool AFound, const TObj *AObj) const
{
    if (AFound || !RaiseLoad)
        return;
    if (!AObj)
        throw ExceptionPos(QStringLiteral("Набор деталей не найден."));
    throw ExceptionPos::Fmt(QStringLiteral("Для объекта \"%s\" набор деталей не создан."), {AObj->Capt()});
}

bool TDetBook::LoadById(int AId)
{
    Choice().ById(*IBSQLS, AId);
    const bool found = LoadRow();
    MissCheck(found, nullptr);
    return found;
}

bool TDetBook::LoadByName(TObj *AObj, const QString &AName)
{
    Choice().ByName(*IBSQLS, WhereLine(QStringLiteral("TDetBook.LoadByName"), AObj), AName);
    const bool found = LoadRow();
    MissCheck(found, AObj);
    return found;
}

bool TDetBook::LoadCurrent(TObj *AObj, int AUserId)
{
    const QString where = WhereLine(QStringLiteral("TDetBook.LoadCurrent"), AObj);
    Choice().UserChoice(*IBSQLS, where, AUserId);
    bool found = LoadRow();
    if (!found) {
        Choice().Default(*IBSQLS, where);
        found = LoadRow();
    }
    MissCheck(found, AObj);
    return found;
}
