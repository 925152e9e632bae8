#include "AtrFld.h"

#include "AtrDep.h"
#include "Fld.h"
#include "Formula.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"
#include "NewRow.h"
#include "Obj.h"
#include "ObjLink.h"
#include "RecordSize.h"
#include "SchemaCheck.h"
#include "TreeSave.h"
#include "WriteGuard.h"

#include <utility>

namespace {

using enum TFldType;

const QString cFldId = QStringLiteral("FLD_ID");
const QString cObjId = QStringLiteral("OBJ_ID");
const QString cFldField = QStringLiteral("FLD_FIELD");
const QString cFldCapt = QStringLiteral("FLD_CAPT");
const QString cFldTypeId = QStringLiteral("FLDTYPE_ID");
const QString cFldSize = QStringLiteral("FLD_SIZE");
const QString cFldVirt = QStringLiteral("FLD_VIRT");
const QString cFldNotNull = QStringLiteral("FLD_NOTNULL");
const QString cFldDef0 = QStringLiteral("FLD_DEF0");
const QString cDepIdAgr = QStringLiteral("DEP_ID_AGR");
const QString cFldIdAgr = QStringLiteral("FLD_ID_AGR");
const QString cFldFrmlHave = QStringLiteral("FLD_FRMLHAVE");
const QString cObjIdV = QStringLiteral("OBJ_ID_V");
const QString cFKRuleIdV = QStringLiteral("FKRULE_ID_V");
const QString cFldFrmlV = QStringLiteral("FLD_FRML_V");

// The longest string column of the database: a UTF8 varchar holds at most 32765 bytes, and a
// character may take 4 of them.
constexpr int MaxStringSize = 32765 / 4;

// The names a summing field's triggers and recompute are written with: M the table of the
// field's object, P its key column, F the summing column, D the detail table, L the link column
// in D, A the summed column in D.
struct TAgrNames {
    QString M, P, F, D, L, A;
};

TAgrNames AgrNames(const TObj &AObj, const QString &AField, const TObjLink &ALink, const TFld &AAgrFld)
{
    return {AObj.Table(), AObj.PKFld->Field(), AField, ALink.ChildFld()->Obj()->Table(), ALink.ChildFld()->Field(),
            AAgrFld.Field()};
}

// A statement of several lines, run as the database gets it.
void ExecLines(TIBSQL &AIBSQL, const QStringList &ALines)
{
    AIBSQL.ClearSQL();
    for (const QString &line : ALines)
        AIBSQL.AddLine(line);
    AIBSQL.ExecImmediate();
}

QString Line(const char *APattern, const QList<Variant> &AArgs = {})
{
    return Format(QString::fromUtf8(APattern), AArgs);
}

// The lines of a summing trigger that add one detail row's value to its master's total (ASign
// "+") or take it away ("-"). An empty value counts as 0, and so does an empty total: adding to
// Null would leave it Null for ever.
QStringList ApplyRow(const TAgrNames &n, const QString &AIndent, const QString &ARow, const QString &ASign)
{
    return {AIndent + Line("if (coalesce(%s.%s, 0) <> 0) then", {ARow, n.A}),
            AIndent + Line("  update %s T", {n.M}),
            AIndent + Line("  set T.%s = coalesce(T.%s, 0) %s %s.%s", {n.F, n.F, ASign, ARow, n.A}),
            AIndent + Line("  where T.%s = %s.%s;", {n.P, ARow, n.L})};
}

QStringList TriggerHead(const TAgrNames &n, const char *ASuffix, const char *AEvent)
{
    return {Line("CREATE trigger %s_%s for %s", {n.F, ASuffix, n.D}), Line("active after %s position 0", {AEvent}),
            QStringLiteral("AS"), QStringLiteral("begin")};
}

// The update trigger compares with "is distinct from" and empty values as 0: a comparison with
// Null is unknown, and a change from or to an empty value or link would be skipped.
QStringList UpdateTrigger(const TAgrNames &n)
{
    return TriggerHead(n, "AU", "update")
           + QStringList{Line("  if (NEW.%s is not distinct from OLD.%s) then", {n.L, n.L}),
                         Line("    if (coalesce(NEW.%s, 0) <> coalesce(OLD.%s, 0)) then", {n.A, n.A}),
                         Line("      update %s T", {n.M}),
                         Line("      set T.%s = coalesce(T.%s, 0) + coalesce(NEW.%s, 0) - coalesce(OLD.%s, 0)",
                              {n.F, n.F, n.A, n.A}),
                         Line("      where T.%s = NEW.%s;", {n.P, n.L}),
                         QStringLiteral("    else"), QStringLiteral("    begin"), QStringLiteral("    end"),
                         QStringLiteral("  else"), QStringLiteral("    begin")}
           + ApplyRow(n, QStringLiteral("      "), QStringLiteral("OLD"), QStringLiteral("-"))
           + ApplyRow(n, QStringLiteral("      "), QStringLiteral("NEW"), QStringLiteral("+"))
           + QStringList{QStringLiteral("    end"), QStringLiteral("end")};
}

// The domain a column of the type is made on; empty for a type without a column of its own.
QString DomainOf(TFldType AType)
{
    switch (AType) {
    case ftFK: return QStringLiteral("FK");
    case ftInt: return QStringLiteral("INTEG");
    case ftBoolean: return QStringLiteral("BOOL");
    case ftNum182: return QStringLiteral("NUM182");
    case ftNum183: return QStringLiteral("NUM183");
    case ftNum184: return QStringLiteral("NUM184");
    case ftDate: return QStringLiteral("DATEONLY");
    default: return QString();
    }
}

[[noreturn]] void RaiseUnknownType(TFldType AType)
{
    throw ExceptionPos(Format(QStringLiteral("TAtrFld.Post:CreateField: Неизвестный тип поля \"%s\"."),
                              {DB->FldTypeToCapt(AType)}));
}

QString ColumnStatement(const QString &ATable, const QString &AField, TFldType AType, int ASize, bool ANotNull,
                        bool ADef0)
{
    const QString notNull = ANotNull ? QStringLiteral("not null") : QString();
    const QString def0 = ADef0 ? QStringLiteral("default 0") : QString();
    if (FldTypesSize.Contains(AType))
        return Format(QStringLiteral("alter table %s add %s varchar(%d) character set UTF8 %s collate UNICODE_CI"),
                      {ATable, AField, ASize, notNull});
    const QString domain = DomainOf(AType);
    if (domain.isEmpty())
        RaiseUnknownType(AType);
    // Link and date columns take no default.
    if (AType == ftFK || AType == ftDate)
        return Format(QStringLiteral("alter table %s add %s %s %s"), {ATable, AField, domain, notNull});
    return Format(QStringLiteral("alter table %s add %s %s %s %s"), {ATable, AField, domain, def0, notNull});
}

} // namespace

// --- Items -----------------------------------------------------------------------------------

Variant TAtrFld::ValueOf(const QString &AFldName) const
{
    const TAtrItem *item = GetByFldName(AFldName);
    return item ? item->Value() : Variant::Null();
}

bool TAtrFld::FlagOf(const QString &AFldName) const
{
    const Variant value = ValueOf(AFldName);
    return !value.isEmptyOrNull() && value.toBool();
}

void TAtrFld::Set(const QString &AFldName, const Variant &AValue)
{
    GetAddByFldName(AFldName)->SetValue(AValue);
}

TFldType TAtrFld::FldType() const
{
    const Variant code = ValueOf(cFldTypeId);
    return IsBlank(code) ? ftNone : DB->CodeToFldType(code);
}

void TAtrFld::ClearFormula()
{
    TAtrItem *formula = GetAddByFldName(cFldFrmlV);
    formula->Formula->Clear();
    formula->SetValue(QString());
}

// --- Keeping the field card consistent -------------------------------------------------------

void TAtrFld::AtrItemChange(TAtrItem *AAtrItem)
{
    TAtr::AtrItemChange(AAtrItem);
    // Each assignment below raises its own change, so the rules chain.
    const QString field = AAtrItem->Fld->Field();
    const Variant value = AAtrItem->Value();
    if (field == cFldTypeId) {
        FldTypeChanged(FldType());
    } else if (field == cObjIdV) {
        FKObjChanged(value);
    } else if (field == cDepIdAgr) {
        Set(cFldIdAgr, Variant::Null());
        if (!IsBlank(value))
            ClearFormula();   // a summing field has no formula
    } else if (field == cFldIdAgr) {
        AgrFldChanged(value);
    } else if (field == cFldFrmlV) {
        Set(cFldFrmlHave, bool(AAtrItem->Formula->FormulaTreeRoot));
    }
}

void TAtrFld::FldTypeChanged(TFldType AFldType)
{
    if (AFldType != ftFK) {
        Set(cObjIdV, Variant::Null());
        Set(cFKRuleIdV, Variant::Null());
        if (DevMode && AFldType != ftPK && IsBlank(ValueOf(cFldField)) && !IsBlank(ValueOf(cObjId)))
            Set(cFldField, DB->ObjList->GetObjById(VarAsInteger(ValueOf(cObjId)))->Table() + QLatin1Char('_'));
    }
    if (!FldTypesAgr.Contains(AFldType))
        Set(cDepIdAgr, Variant::Null());
    Set(cFldSize, FldTypesSize.Contains(AFldType) ? Variant::Null() : Variant(0));
    if (!FldTypesFormula.Contains(AFldType))
        ClearFormula();
    Set(cFldNotNull, FldTypesNotNull.Contains(AFldType));
    Set(cFldDef0, FldTypesDef0.Contains(AFldType));
}

void TAtrFld::FKObjChanged(const Variant &AObjId)
{
    if (IsBlank(AObjId)) {
        Set(cFKRuleIdV, Variant::Null());
        if (DevMode)
            Set(cFldField, Variant::Null());
        return;
    }
    const TObj *obj = DB->ObjList->GetObjById(VarAsInteger(AObjId));
    Set(cFldCapt, obj->Capt());
    if (DevMode && obj->PKFld)
        Set(cFldField, obj->PKFld->Field());
    // A reference book in use must not vanish; other masters take their details' links with them.
    Set(cFKRuleIdV, DB->FKRuleToCode(obj->Ref() ? TFKRule::fkNoAction : TFKRule::fkSetNull));
}

void TAtrFld::AgrFldChanged(const Variant &AFldId)
{
    const Variant linkId = ValueOf(cDepIdAgr);
    if (IsBlank(AFldId) || IsBlank(linkId))
        return;
    const TObj *detail = DB->ObjList->GetObjLinkById(VarAsInteger(linkId))->ChildFld()->Obj();
    Set(cFldCapt, detail->GetFldById(VarAsInteger(AFldId))->Capt());
}

// --- Loading and defaults ------------------------------------------------------------------

void TAtrFld::SetDefaultValues(TObjLink *AObjLink, const Variant &AParentId)
{
    GetAddByFldName(cFldVirt);
    TAtr::SetDefaultValues(AObjLink, AParentId);
}

void TAtrFld::SetRecId(const Variant &ARecId)
{
    TAtr::SetRecId(ARecId);
    const TFld *stored = DB->ObjList->GetFldById(VarAsInteger(ARecId));
    TAtrItem *formula = GetAddByFldName(cFldFrmlV);
    formula->Formula->Assign(*stored->Formula);
    formula->InitValue(formula->Formula->Text(), false);
    if (stored->FldType() == ftFK && !stored->Virt()) {
        GetAddByFldName(cObjIdV)->InitValue(stored->FKObj() ? Variant(stored->FKObj()->Id()) : Variant::Null(), false);
        GetAddByFldName(cFKRuleIdV)->InitValue(stored->FKRuleId(), false);
    }
}

// --- Checks ----------------------------------------------------------------------------------

void TAtrFld::BeforeInsert()
{
    TAtr::BeforeInsert();
    TAtrItem *name = GetAddByFldName(cFldField);
    if (IsBlank(name->Value()))
        name->SetValue(QStringLiteral("FLD") + ValueOf(cFldId).toString());
    else
        name->SetValue(UpperAscii(name->AsString()));
}

void TAtrFld::CheckInsert()
{
    if (IsBlank(ValueOf(cFldTypeId)))
        throw ECheckFldException::CreateAtrItem(QStringLiteral("Не указан тип поля."), GetAddByFldName(cFldTypeId));
    TAtr::CheckInsert();
    if (!IsBlank(ValueOf(cDepIdAgr)) && IsBlank(ValueOf(cFldIdAgr)))
        throw ECheckFldException::CreateAtrItem(QStringLiteral("Суммирующее поле не указано."),
                                                GetAddByFldName(cFldIdAgr));
    const TFldType type = FldType();
    if (type == ftFK && IsBlank(ValueOf(cObjIdV)))
        throw ECheckFldException::CreateAtrItem(QStringLiteral("Внешний объект не указан."), GetAddByFldName(cObjIdV));
    if (FldTypesSize.Contains(type))
        CheckSize();
    // The key field's object is being created by the object editor and has no fields yet.
    TObj *obj = type == ftPK ? nullptr : DB->ObjList->GetObjById(VarAsInteger(ValueOf(cObjId)));
    if (obj)
        CheckFieldNameFree(GetAddByFldName(cFldField), *obj, ValueOf(cFldField).toString());
    if (FlagOf(cFldVirt))
        return;   // no column: nothing reaches the schema
    CheckNames(obj, type);
    if (type == ftFK && !SkipCreateDep)
        CheckFKRule();
    if (!IsBlank(ValueOf(cDepIdAgr)))
        CheckAgr(obj, type);
    // Last, being the checks that ask the database.
    if (obj)
        CheckSchemaTakes(*obj, type);
}

// A field without a caption is named by its column.
QString TAtrFld::NameForUser() const
{
    const QString capt = ValueOf(cFldCapt).isEmptyOrNull() ? QString() : ValueOf(cFldCapt).toString();
    return capt.isEmpty() ? ValueOf(cFldField).toString() : capt;
}

// What the engine would refuse in its own words, or only when the transaction commits.
void TAtrFld::CheckSchemaTakes(const TObj &AObj, TFldType AFldType)
{
    const QString field = ValueOf(cFldField).toString();
    CheckColumnFree(*IBSQLC, GetAddByFldName(cFldField), AObj.Table(), field);
    if (!IsBlank(ValueOf(cDepIdAgr)))
        CheckSummingTriggersFree(*IBSQLC, GetAddByFldName(cFldField), field);
    const bool sized = FldTypesSize.Contains(AFldType);
    if (!sized && DomainOf(AFldType).isEmpty())
        return;   // no column: the post refuses the type
    const int chars = sized ? ValueOf(cFldSize).toInt() : 0;
    // A UTF8 character may take four bytes.
    const TStoredColumn column = sized ? TStoredColumn{0, tpVarchar, 4 * chars}
                                       : TSchemaNames(*IBSQLC).DomainColumn(DomainOf(AFldType));
    CheckRecordSize(*IBSQLC, GetAddByFldName(sized ? cFldSize : cFldTypeId), AObj.Table(), column, chars);
    // The engine gives the rows a table has already the default of a new column, and has none
    // to give without one.
    const bool defaulted = FlagOf(cFldDef0) && FldTypesDef0.Contains(AFldType);
    if (FlagOf(cFldNotNull) && !defaulted)
        CheckRequiredOnEmptyTable(*IBSQLC, GetAddByFldName(cFldNotNull), NameForUser(), AObj.Table());
}

void TAtrFld::CheckSize()
{
    TAtrItem *size = GetAddByFldName(cFldSize);
    const int chars = IsBlank(size->Value()) ? 0 : size->Value().toInt();
    if (chars == 0)
        throw ECheckFldException::CreateAtrItem(QStringLiteral("Размер поля не указан."), size);
    if (chars < 1 || chars > MaxStringSize)
        throw ECheckFldException::CreateFmtAtrItem(
            QStringLiteral("Размер строкового поля - %d, а допускается от 1 до %d символов."), size,
            {chars, MaxStringSize});
}

void TAtrFld::CheckNames(const TObj *AObj, TFldType AFldType)
{
    TAtrItem *name = GetAddByFldName(cFldField);
    const QString field = name->AsString();
    CheckIdentifier(name, field);
    if (AFldType == ftPK)
        CheckIdentifier(name, QStringLiteral("PK_") + field);
    if (AFldType == ftFK)
        CheckIdentifier(name, QStringLiteral("FK_") + AObj->Table() + QLatin1Char('_') + field);
    if (!IsBlank(ValueOf(cDepIdAgr)))
        CheckIdentifier(name, field + QStringLiteral("_AI"));
}

void TAtrFld::CheckFKRule()
{
    TAtrItem *rule = GetAddByFldName(cFKRuleIdV);
    if (IsBlank(rule->Value()) || DB->CodeToFKRule(rule->Value()) == TFKRule::fkNone)
        RaiseRequired(*this, rule);
}

void TAtrFld::CheckAgr(TObj *AObj, TFldType AFldType)
{
    // Triggers adding to a column that is Null, or not a number, would keep it Null for ever.
    const QString notSummable = QStringLiteral("Суммирующее поле должно быть числовым, обязательным и со значением "
                                               "по умолчанию 0.");
    if (!FldTypesAgr.Contains(AFldType))
        throw ECheckFldException::CreateAtrItem(notSummable, GetAddByFldName(cFldTypeId));
    for (const QString &flag : {cFldNotNull, cFldDef0})
        if (!FlagOf(flag))
            throw ECheckFldException::CreateAtrItem(notSummable, GetAddByFldName(flag));
    const TObjLink *link = AgrObjLinkOf(AObj);
    if (!link)
        throw ECheckFldException::CreateFmtAtrItem(
            QStringLiteral("Объект \"%s\", поле \"%s\": суммирующее поле ссылается на связь с кодом %d, которой нет "
                           "среди связей объекта."),
            GetAddByFldName(cDepIdAgr), {AObj->Capt(), ValueOf(cFldField), ValueOf(cDepIdAgr)});
    // A summed column that is not a number would break every later insert into the detail table.
    const TFld *agrFld = AgrFldOf(link);
    if (!agrFld || agrFld->Virt() || !FldTypesAgr.Contains(agrFld->FldType()))
        throw ECheckFldException::CreateAtrItem(
            QStringLiteral("Суммируемое поле должно быть хранимым числовым полем подчинённого объекта связи."),
            GetAddByFldName(cFldIdAgr));
}

TObjLink *TAtrFld::AgrObjLinkOf(const TObj *AObj) const
{
    return AObj ? AObj->ChildList->GetById(VarAsInteger(ValueOf(cDepIdAgr))) : nullptr;
}

TFld *TAtrFld::AgrFldOf(const TObjLink *ALink) const
{
    const Variant fldId = ValueOf(cFldIdAgr);
    for (TFld *fld : *ALink->ChildFld()->Obj()->FldList)
        if (!IsBlank(fldId) && Variant(fld->Id()) == fldId)
            return fld;
    return nullptr;
}

void TAtrFld::CheckUpdate()
{
    TAtr::CheckUpdate();
    const TFld *stored = DB->ObjList->GetFldById(VarAsInteger(FRecId));
    for (const QString &name : {cObjId, cFldTypeId, cFldField, cFldVirt, cFldSize, cFldNotNull, cFldDef0, cObjIdV,
                                cFKRuleIdV, cDepIdAgr, cFldIdAgr})
        CheckUnchanged(*this, name, stored->FldByName(name).Value);
}

// --- Posting ---------------------------------------------------------------------------------

void TAtrFld::Post()
{
    TAtr::Post();
    if (FNew) {
        const TNewField field = ReadNewField();
        CreateField(field);
        if (field.Type == ftFK && !field.Virt && !SkipCreateDep)
            CreateDep(field);
    }
    const TAtrItem *formula = GetByFldName(cFldFrmlV);
    if (formula && formula->Modified)
        SaveFormula();
}

TAtrFld::TNewField TAtrFld::ReadNewField() const
{
    TNewField field;
    field.Type = FldType();
    field.Field = ValueOf(cFldField).toString();
    const Variant size = ValueOf(cFldSize);
    field.Size = IsBlank(size) ? 0 : size.toInt();
    field.Virt = FlagOf(cFldVirt);
    field.NotNull = FlagOf(cFldNotNull);
    field.Def0 = FlagOf(cFldDef0);
    if (field.Type != ftPK)
        field.Obj = DB->ObjList->GetObjById(VarAsInteger(ValueOf(cObjId)));
    if (!IsBlank(ValueOf(cDepIdAgr))) {
        field.AgrObjLink = AgrObjLinkOf(field.Obj);
        field.AgrFld = field.AgrObjLink ? AgrFldOf(field.AgrObjLink) : nullptr;
    }
    return field;
}

void TAtrFld::CreateField(const TNewField &AField)
{
    // The key column comes with its table from the object editor.
    if (AField.Virt || AField.Type == ftPK)
        return;
    IBSQLC->SetSQL(ColumnStatement(AField.Obj->Table(), AField.Field, AField.Type, AField.Size, AField.NotNull,
                                   AField.Def0));
    IBSQLC->ExecImmediate();
    if (AField.AgrObjLink)
        CreateAgrTriggers(AField);
}

void TAtrFld::CreateAgrTriggers(const TNewField &AField)
{
    const TAgrNames n = AgrNames(*AField.Obj, AField.Field, *AField.AgrObjLink, *AField.AgrFld);
    ExecLines(*IBSQLC, TriggerHead(n, "AI", "insert") + ApplyRow(n, QStringLiteral("  "), QStringLiteral("NEW"),
                                                                  QStringLiteral("+")) + QStringList{QStringLiteral("end")});
    ExecLines(*IBSQLC, TriggerHead(n, "AD", "delete") + ApplyRow(n, QStringLiteral("  "), QStringLiteral("OLD"),
                                                                  QStringLiteral("-")) + QStringList{QStringLiteral("end")});
    ExecLines(*IBSQLC, UpdateTrigger(n));
}

void TAtrFld::CreateDep(const TNewField &AField)
{
    TAtrDep dep;
    dep.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("DEP")));
    dep.SetDefaultValues(nullptr, Variant::Null());
    dep.SkipCreateFld = true;
    dep.GetAddByFldName(QStringLiteral("FKRULE_ID"))->SetValue(ValueOf(cFKRuleIdV));
    dep.GetAddByFldName(cFldId)->SetValue(ValueOf(cFldId));
    dep.GetAddByFldName(cObjId)->SetValue(ValueOf(cObjIdV));   // the linked object is the link's master
    if (const TAtrItem *sys = GetByFldName(QStringLiteral("FLD_SYS")))
        dep.GetAddByFldName(QStringLiteral("DEP_SYS"))->SetValue(sys->Value());
    dep.GetAddByFldName(cObjIdV)->SetValue(AField.Obj->Id());
    dep.GetAddByFldName(QStringLiteral("FLD_FIELD_V"))->SetValue(AField.Field);
    dep.Post();
}

void TAtrFld::SaveFormula()
{
    DeleteTree(*IBSQLC, QStringLiteral("FRMLTREE"), cFldId, VarAsInteger(FRecId));
    TFormulaTree *root = GetByFldName(cFldFrmlV)->Formula->FormulaTreeRoot.get();
    if (!root)
        return;
    TAtr treeAtr;
    treeAtr.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("FRMLTREE")));
    TAtr pathAtr;
    pathAtr.SetObj(DB->ObjList->GetObjByTable(QStringLiteral("FRMLTRPT")));
    SaveFormulaTree(treeAtr, pathAtr, root);
}

void TAtrFld::SaveFormulaTree(TAtr &ATreeAtr, TAtr &APathAtr, TFormulaTree *ANode)
{
    ATreeAtr.SetDefaultValues(nullptr, Variant::Null());
    ATreeAtr.CopyDataFrom(*ANode);
    ATreeAtr.GetAddByFldName(QStringLiteral("FRMLTREE_ID"))->SetValue(Variant::Null());
    ATreeAtr.GetAddByFldName(cFldId)->SetValue(FRecId);
    ATreeAtr.Post();
    const Variant nodeId = ATreeAtr.RecId();
    // Path rows take ascending keys, the order in which the loader rebuilds the path.
    for (const TFld *fld : *ANode->Path)
        PostNewRow(APathAtr, {{QStringLiteral("FRMLTREE_ID"), nodeId}, {cFldId, fld->Id()}});
    for (TFormulaTree *child : ANode->FormulaTreeList)
        SaveFormulaTree(ATreeAtr, APathAtr, child);
}

// --- After the commit ----------------------------------------------------------------------

void TAtrFld::DoAfterCommit()
{
    if (!FNew) {
        UpdateStoredField();
        TAtr::DoAfterCommit();
        return;
    }
    const TFld *fld = RegisterNewField();
    if (fld->AgrObjLink() && !fld->Virt()) {
        // A column added in a transaction is unknown to that transaction's updates, so the first
        // sums need a transaction of their own; the field itself is saved already.
        try {
            TWriteGuard guard(*DB);
            UpdateAgrFld(*fld);
            guard.Commit();
        } catch (const Exception &e) {
            MarkSaved();
            TAtr::DoAfterCommit();
            // A field without a caption is named by its column.
            throw ExceptionPos(Format(QStringLiteral("Поле \"%s\" сохранено, но его значения не пересчитаны: %s"),
                                      {fld->Capt().isEmpty() ? fld->Field() : fld->Capt(), e.Message()}));
        }
    }
    TAtr::DoAfterCommit();
}

const TFld *TAtrFld::RegisterNewField()
{
    // Every look-up that can fail comes before the first append, so a failure leaves the
    // repository as it was.
    TObj *obj = DB->ObjList->GetObjById(VarAsInteger(ValueOf(cObjId)));
    auto fld = std::make_unique<TFld>();
    CopyDataTo(*fld);
    fld->SetObj(obj);
    if (!IsBlank(ValueOf(cDepIdAgr))) {
        TObjLink *link = AgrObjLinkOf(obj);
        if (!link)
            throw ExceptionPos(Format(QStringLiteral("Связь с кодом %d среди связей объекта \"%s\" не найдена."),
                                      {ValueOf(cDepIdAgr), obj->Capt()}));
        fld->SetAgrObjLink(link);
        fld->SetAgrFld(link->ChildFld()->Obj()->GetFldById(VarAsInteger(ValueOf(cFldIdAgr))));
    }
    if (!IsBlank(ValueOf(cObjIdV))) {
        fld->SetFKObj(DB->ObjList->GetObjById(VarAsInteger(ValueOf(cObjIdV))));
        fld->SetFKRule(DB->CodeToFKRule(ValueOf(cFKRuleIdV)));
    }
    if (const TAtrItem *formula = GetByFldName(cFldFrmlV); formula && formula->Modified)
        fld->Formula->Assign(*formula->Formula);
    std::unique_ptr<TObjLink> link;
    if (fld->FldType() == ftFK && !fld->Virt() && !SkipCreateDep)
        link = ReadDep(*fld);
    TFld *added = obj->FldList->Add(std::move(fld));
    if (link) {
        TObjLink *addedLink = added->FKObj()->ChildList->Add(std::move(link));
        obj->ParentList->Add(addedLink);
    }
    return added;
}

std::unique_ptr<TObjLink> TAtrFld::ReadDep(TFld &AFld)
{
    if (!AFld.FKObj())
        throw ExceptionPos(Format(QStringLiteral("Внешний объект поля \"%s\" не указан."), {AFld.Capt()}));
    IBSQLS->SetSQL(QStringLiteral("select * from DEP where FLD_ID = :FLD_ID"));
    IBSQLS->ParamByName(cFldId) = AFld.Id();
    TCloseGuard closer(*IBSQLS);
    IBSQLS->ExecQuery();
    if (IBSQLS->Eof())
        throw ExceptionPos(Format(QStringLiteral("Связь поля \"%s\" с главным объектом не найдена."), {AFld.Capt()}));
    auto link = std::make_unique<TObjLink>(*IBSQLS);
    link->CopyDataFrom(*IBSQLS);
    link->SetParentObj(AFld.FKObj());
    link->SetChildFld(&AFld);
    return link;
}

void TAtrFld::UpdateStoredField()
{
    TFld *stored = DB->ObjList->GetFldById(VarAsInteger(FRecId));
    const TAtrItem *formula = GetByFldName(cFldFrmlV);
    const bool formulaChanged = formula && formula->Modified;
    TFormula copy;   // made first: a failure leaves the repository field as it was
    if (formulaChanged)
        copy.Assign(*formula->Formula);
    CopyDataTo(*stored);
    if (formulaChanged)
        stored->Formula->FormulaTreeRoot = std::move(copy.FormulaTreeRoot);
}

void TAtrFld::UpdateAgrFld(const TFld &AFld)
{
    const TAgrNames n = AgrNames(*AFld.Obj(), AFld.Field(), *AFld.AgrObjLink(), *AFld.AgrFld());
    IBSQLC->ClearSQL();
    for (const QString &line : {Line("update %s T1", {n.M}), Line("set T1.%s = (", {n.F}),
                                Line("  select coalesce(sum(T2.%s), 0)", {n.A}), Line("  from %s T2", {n.D}),
                                Line("  where T2.%s = T1.%s)", {n.L, n.P}), Line("where"), Line("exists ("),
                                Line("  select *"), Line("  from %s T2", {n.D}), Line("  where T2.%s = T1.%s)", {n.L, n.P})})
        IBSQLC->AddLine(line);
    DebugMsg(QStringLiteral("Запрос обновления агрегатного поля:\r") + IBSQLC->SQLText());
    IBSQLC->ExecQuery();
}

void TAtrFld::MarkSaved()
{
    FNew = false;
    for (TAtrItem *item : *this)
        item->Modified = false;
}
