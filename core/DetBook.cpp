#include "DetBook.h"

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

void TDetBook::AddWhereLine(const QString &AFunc, TObj *AObj)
{
    if (!AObj)
        throw ExceptionPos(AFunc + QStringLiteral(": Не указан объект."));
    IBSQLS->AddLine(QStringLiteral("where D.OBJ_ID = ") + QString::number(AObj->Id()));
}

void TDetBook::AddDevOrderLine()
{
    // A developer sees the books made for developers first; anyone else the ordinary ones.
    IBSQLS->AddLine(DevMode ? QStringLiteral("order by D.DETBOOK_DEV desc")
                            : QStringLiteral("order by D.DETBOOK_DEV"));
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
    IBSQLS->ClearSQL();
    IBSQLS->AddLine(QStringLiteral("select D.*"));
    IBSQLS->AddLine(QStringLiteral("from DETBOOK D"));
    IBSQLS->AddLine(QStringLiteral("where D.DETBOOK_ID = ") + QString::number(AId));
    const bool found = LoadRow();
    MissCheck(found, nullptr);
    return found;
}

bool TDetBook::LoadByName(TObj *AObj, const QString &AName)
{
    IBSQLS->ClearSQL();
    IBSQLS->AddLine(QStringLiteral("select D.*"));
    IBSQLS->AddLine(QStringLiteral("from DETBOOK D"));
    AddWhereLine(QStringLiteral("TDetBook.LoadByName"), AObj);
    IBSQLS->AddLine(QStringLiteral("and D.DETBOOK_NAME = :DETBOOK_NAME"));
    AddDevOrderLine();
    IBSQLS->ParamByName(QStringLiteral("DETBOOK_NAME")) = AName;
    const bool found = LoadRow();
    MissCheck(found, AObj);
    return found;
}

bool TDetBook::LoadCurrent(TObj *AObj, int AUserId)
{
    const QString func = QStringLiteral("TDetBook.LoadCurrent");
    IBSQLS->ClearSQL();
    IBSQLS->AddLine(QStringLiteral("select D.*"));
    IBSQLS->AddLine(QStringLiteral("from USRDET U"));
    IBSQLS->AddLine(QStringLiteral("join DETBOOK D on D.DETBOOK_ID = U.DETBOOK_ID"));
    AddWhereLine(func, AObj);
    IBSQLS->AddLine(QStringLiteral("and U.USR_ID = ") + QString::number(AUserId));
    bool found = LoadRow();
    if (!found) {
        IBSQLS->ClearSQL();
        IBSQLS->AddLine(QStringLiteral("select D.*"));
        IBSQLS->AddLine(QStringLiteral("from DETBOOK D"));
        AddWhereLine(func, AObj);
        IBSQLS->AddLine(QStringLiteral("and D.DETBOOK_DEFAULT = 1"));
        AddDevOrderLine();
        found = LoadRow();
    }
    MissCheck(found, AObj);
    return found;
}
