#include "DetBook.h"

#include "ChoiceSql.h"
#include "IBSQL.h"
#include "Main.h"
#include "ObjLink.h"

namespace {

const TChoiceSql &DetbookChoice()
{
    static const TChoiceSql choice(QStringLiteral("DETBOOK"), QStringLiteral("D"), QStringLiteral("USRDET"));
    return choice;
}

} // namespace

TDetBook::TDetBook()
    : TChoiceRow(DetbookChoice(), QStringLiteral("Набор деталей не найден."),
                 QStringLiteral("Для объекта \"%s\" набор деталей не создан."))
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("DETBOOK")));
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
    return Choice.WhereLine(QStringLiteral("OBJ_ID"), AObj->Id());
}

void TDetBook::RowLoaded()
{
    if (!ObjId().isNull())
        SetObj(DB->ObjList->GetObjById(VarAsInteger(ObjId())));
    LoadLinks();
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

bool TDetBook::LoadById(int AId)
{
    return LoadRowById(AId);
}

bool TDetBook::LoadByName(TObj *AObj, const QString &AName)
{
    return LoadRowByName(AObj, WhereLine(QStringLiteral("TDetBook.LoadByName"), AObj), AName);
}

bool TDetBook::LoadCurrent(TObj *AObj, int AUserId)
{
    return LoadRowCurrent(AObj, WhereLine(QStringLiteral("TDetBook.LoadCurrent"), AObj), AUserId);
}
