#include "FreedEntries.h"

#include "Filter.h"
#include "FilterList.h"
#include "FilterTree.h"
#include "Fld.h"
#include "Formula.h"
#include "Func.h"
#include "Main.h"
#include "ObjLink.h"
#include "ObjValue.h"
#include "Tbl.h"
#include "TblTree.h"
#include "WinTbl.h"

#include <algorithm>

namespace {

bool PathHas(const TFldList &APath, const TFreedEntries &AEntries)
{
    return std::any_of(APath.begin(), APath.end(), [&](const TFld *fld) { return AEntries.Has(fld); });
}

bool FormulaReads(const TFormulaTree &ANode, const TFreedEntries &AEntries)
{
    if (AEntries.Has(ANode.FldValue()) || (ANode.Path && PathHas(*ANode.Path, AEntries)))
        return true;
    return std::any_of(ANode.FormulaTreeList.begin(), ANode.FormulaTreeList.end(),
                       [&](const TFormulaTree *child) { return FormulaReads(*child, AEntries); });
}

bool TemplateReads(const TTemplFldList &ATempl, const TFreedEntries &AEntries)
{
    return std::any_of(ATempl.begin(), ATempl.end(), [&](const TObjValue *value) {
        return AEntries.Has(value->Fld()) || (value->Path && PathHas(*value->Path, AEntries));
    });
}

bool ColumnsUse(const TTblTree &ANode, const TFreedEntries &AEntries)
{
    if (AEntries.Has(ANode.Fld()))
        return true;
    return std::any_of(ANode.TblTreeList.begin(), ANode.TblTreeList.end(),
                       [&](const TTblTree *child) { return ColumnsUse(*child, AEntries); });
}

bool ConditionUses(const TFilterTree &ANode, const TFreedEntries &AEntries)
{
    if (AEntries.Has(ANode.Fld()) || AEntries.Has(ANode.ObjLink()) || PathHas(ANode.Path, AEntries))
        return true;
    return std::any_of(ANode.FilterTreeList.begin(), ANode.FilterTreeList.end(),
                       [&](const TFilterTree *child) { return ConditionUses(*child, AEntries); });
}

QString Quoted(const QString &AText)
{
    return QStringLiteral("\"") + AText + QStringLiteral("\"");
}

} // namespace

TFreedEntries TFreedEntries::OfObj(TObj *AObj)
{
    TFreedEntries entries;
    entries.AddObj(AObj);
    return entries;
}

TFreedEntries TFreedEntries::OfFld(TFld *AFld)
{
    TFreedEntries entries;
    entries.AddFld(AFld);
    return entries;
}

TFreedEntries TFreedEntries::OfLink(TObjLink *ALink)
{
    TFreedEntries entries;
    entries.AddFld(ALink->ChildFld());
    entries.Links.insert(ALink);
    return entries;
}

void TFreedEntries::AddObj(TObj *AObj)
{
    Objs.insert(AObj);
    for (TFld *fld : *AObj->FldList)
        Flds.insert(fld);
    for (TObjLink *link : *AObj->ChildList)
        Links.insert(link);
    for (TObjLink *link : *AObj->ParentList)
        Links.insert(link);
}

void TFreedEntries::AddFld(TFld *AFld)
{
    Flds.insert(AFld);
    if (AFld->FldType() == TFldType::ftFK)
        if (TObjLink *link = AFld->Obj()->ParentList->GetByFld(AFld))
            Links.insert(link);
}

QStringList TFreedEntries::Readers() const
{
    QStringList readers;
    for (const TObj *obj : *DB->ObjList) {
        if (Has(obj))
            continue;
        for (const TFld *fld : *obj->FldList) {
            if (Has(fld))
                continue;
            if (fld->Formula && fld->Formula->FormulaTreeRoot && FormulaReads(*fld->Formula->FormulaTreeRoot, *this))
                readers << Format(QStringLiteral("формула поля %s объекта %s"), {Quoted(fld->Capt()), Quoted(obj->Capt())});
            if (Has(fld->FKObj()))
                readers << Format(QStringLiteral("поле-ссылка %s объекта %s"), {Quoted(fld->Capt()), Quoted(obj->Capt())});
        }
        if (TemplateReads(*obj->TemplFldList, *this))
            readers << Format(QStringLiteral("шаблон значений объекта %s"), {Quoted(obj->Capt())});
    }
    return readers;
}

void TFreedEntries::CheckReaders(QObject *AParent) const
{
    const QStringList readers = Readers();
    if (!readers.isEmpty())
        throw ExceptionPos(Format(QStringLiteral("Удалить нельзя, удаляемое используют: %s."),
                                  {readers.join(QStringLiteral(", "))}),
                           AParent);
}

bool TFreedEntries::UsedBy(const TWinTbl &AWinTbl) const
{
    const TTbl &tbl = *AWinTbl.Tbl;
    if (Has(tbl.Obj()) || Has(tbl.GetObj()) || Has(tbl.ObjLink()))
        return true;
    if (tbl.TblTree && ColumnsUse(*tbl.TblTree, *this))
        return true;
    return std::any_of(AWinTbl.FilterList->begin(), AWinTbl.FilterList->end(), [&](const TFilter *filter) {
        return filter->FilterTreeRoot && ConditionUses(*filter->FilterTreeRoot, *this);
    });
}

void TFreedEntries::FreeFld(TFld *AFld, TObjLink *ALink) const
{
    TObj *obj = AFld->Obj();
    if (ALink)
        obj->ParentList->Extract(ALink);
    ReleaseSumming();
    obj->FldList->Remove(AFld);
    if (ALink)
        ALink->ParentObj()->ChildList->Remove(ALink);
}

void TFreedEntries::ReleaseSumming() const
{
    for (TObj *obj : *DB->ObjList) {
        if (Has(obj))
            continue;
        for (TFld *fld : *obj->FldList) {
            if (Has(fld))
                continue;
            if (Has(fld->AgrObjLink()))
                fld->SetAgrObjLink(nullptr);
            if (Has(fld->AgrFld()))
                fld->SetAgrFld(nullptr);
        }
    }
}
