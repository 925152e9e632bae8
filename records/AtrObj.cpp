#include "AtrObj.h"

#include "AtrFld.h"
#include "AtrItemObjTempl.h"
#include "Fld.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"
#include "NewRow.h"
#include "Obj.h"
#include "ObjValue.h"
#include "SchemaCheck.h"

namespace {

const QString cObjTable = QStringLiteral("OBJ_TABLE");
const QString cObjTempl = QStringLiteral("OBJ_TEMPL");
const QString cObjCapt = QStringLiteral("OBJ_CAPT");

} // namespace

std::unique_ptr<TAtrItem> TAtrObj::CreateAtrItem(TFld *AFld)
{
    if (AFld->Field() == cObjTempl)
        return std::make_unique<TAtrItemObjTempl>();
    return TAtr::CreateAtrItem(AFld);
}

TAtrItemObjTempl *TAtrObj::TemplItem() const
{
    return FObj ? dynamic_cast<TAtrItemObjTempl *>(GetByFldName(cObjTempl)) : nullptr;
}

bool TAtrObj::Modified() const
{
    const TAtrItemObjTempl *templ = TemplItem();
    return TAtr::Modified() || (templ && templ->TemplFldList->Modified);
}

void TAtrObj::SetRecId(const Variant &ARecId)
{
    GetAddByFldName(cObjTempl);   // before the load, which reads the text of the items it has
    TAtr::SetRecId(ARecId);
    const TObj *stored = DB->ObjList->GetObjById(VarAsInteger(ARecId));
    TTemplFldList &templ = *TemplItem()->TemplFldList;
    templ.Assign(*stored->TemplFldList);
    templ.Modified = false;
}

void TAtrObj::BeforeInsert()
{
    TAtr::BeforeInsert();
    TAtrItem *table = GetAddByFldName(cObjTable);
    if (IsBlank(table->Value()))
        table->SetValue(QStringLiteral("TBL") + GetAddByFld(FObj->PKFld)->Value().toString());
    else
        table->SetValue(table->AsString().toUpper());
}

void TAtrObj::CheckInsert()
{
    TAtr::CheckInsert();
    TAtrItem *table = GetAddByFldName(cObjTable);
    CheckIdentifier(table, table->AsString());
    // In developer mode the key column is named after the table, and the primary key after it.
    if (DevMode)
        CheckIdentifier(table, QStringLiteral("PK_") + table->AsString() + QStringLiteral("_ID"));
    CheckTemplate();
    // Last, being the one check that asks the database.
    CheckTableFree(*IBSQLC, table, table->AsString());
}

void TAtrObj::CheckUpdate()
{
    TAtr::CheckUpdate();
    CheckUnchanged(*this, cObjTable, DB->ObjList->GetObjById(VarAsInteger(FRecId))->Table());
    CheckTemplate();
}

// A template whose text and fields disagree would fail wherever a record of the object is shown.
void TAtrObj::CheckTemplate()
{
    TAtrItemObjTempl *templ = TemplItem();
    if (!templ)
        return;
    const QString fault = TemplateMismatch(Capt(), templ->AsString(), templ->TemplFldList->Count());
    if (!fault.isEmpty())
        throw ECheckFldException::CreateAtrItem(fault, templ);
}

QString TAtrObj::Capt() const
{
    if (const TAtrItem *capt = GetByFldName(cObjCapt))
        return capt->AsString();
    return FNew ? QString() : DB->ObjList->GetObjById(VarAsInteger(FRecId))->Capt();
}

void TAtrObj::Post()
{
    TAtr::Post();
    const TAtrItemObjTempl *templ = TemplItem();
    if (FNew)
        CreateTable();
    else if (templ && templ->TemplFldList->Modified)
        SaveTemplate();
}

void TAtrObj::CreateTable()
{
    TAtrFld key;
    key.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("FLD")));
    key.SetDefaultValues(nullptr, Variant::Null());
    const QString table = GetAddByFldName(cObjTable)->AsString();
    const auto set = [&key](const QString &AFldName, const Variant &AValue) {
        key.GetAddByFldName(AFldName)->SetValue(AValue);
    };
    set(QStringLiteral("OBJ_ID"), FRecId);
    set(QStringLiteral("FLDTYPE_ID"), DB->FldTypeToCode(TFldType::ftPK));
    set(QStringLiteral("FLD_NOTNULL"), true);
    set(QStringLiteral("FLD_CAPT"), QStringLiteral("Код"));
    set(QStringLiteral("FLD_SYS"), true);
    if (DevMode)
        set(QStringLiteral("FLD_FIELD"), table + QStringLiteral("_ID"));
    key.Post();
    const QString keyField = key.GetAddByFldName(QStringLiteral("FLD_FIELD"))->AsString();
    // Known only now that the key field is named; a table dropped past the program leaves its
    // sequence behind.
    CheckSequenceFree(*IBSQLC, GetAddByFldName(cObjTable), keyField, table);
    for (const QString &statement :
         {Format(QStringLiteral("create table %s (%s PK NOT NULL)"), {table, keyField}),
          Format(QStringLiteral("alter table %s add constraint PK_%s primary key (%1:s)"), {table, keyField}),
          Format(QStringLiteral("create sequence %s"), {keyField})}) {
        IBSQLC->SetSQL(statement);
        IBSQLC->ExecImmediate();
    }
}

void TAtrObj::SaveTemplate()
{
    // The path rows of the deleted template rows go with them (the database cascades).
    IBSQLC->SetSQL(QStringLiteral("delete from OBJVALUE where OBJ_ID = :OBJ_ID"));
    IBSQLC->ParamByName(QStringLiteral("OBJ_ID")) = FRecId;
    IBSQLC->ExecQuery();
    TAtr valueAtr;
    valueAtr.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("OBJVALUE")));
    TAtr pathAtr;
    pathAtr.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("OBJVALPT")));
    for (const TObjValue *entry : *TemplItem()->TemplFldList) {
        const Variant valueId = PostNewRow(valueAtr, {{QStringLiteral("OBJ_ID"), entry->ObjId()},
                                                      {QStringLiteral("FLD_ID"), entry->FldId()},
                                                      {QStringLiteral("OBJVALUE_PATHHAVE"), entry->PathHave()}});
        for (const TFld *fld : *entry->Path)
            PostNewRow(pathAtr, {{QStringLiteral("OBJVALUE_ID"), valueId}, {QStringLiteral("FLD_ID"), fld->Id()}});
    }
}

void TAtrObj::DoAfterCommit()
{
    if (FNew) {
        auto obj = std::make_unique<TObj>();
        CopyDataTo(*obj);
        obj->LoadFields();
        DB->ObjList->Add(std::move(obj));
    } else {
        TObj *stored = DB->ObjList->GetObjById(VarAsInteger(FRecId));
        // The copy is made first: a failure leaves the repository object as it was.
        std::unique_ptr<TTemplFldList> templ;
        if (const TAtrItemObjTempl *item = TemplItem()) {
            templ = std::make_unique<TTemplFldList>();
            templ->Assign(*item->TemplFldList);
        }
        CopyDataTo(*stored);
        if (templ)
            stored->TemplFldList = std::move(templ);
    }
    TAtr::DoAfterCommit();
}
