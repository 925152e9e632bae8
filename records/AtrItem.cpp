#include "AtrItem.h"

#include "Filter.h"
#include "FilterTree.h"
#include "Fld.h"
#include "Formula.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "Sql.h"

#include <cmath>

namespace {

// Decimals kept by the fixed-point field types; -1 for every other type.
int DecimalsOf(TFldType AFldType)
{
    switch (AFldType) {
    case TFldType::ftNum182: return 2;
    case TFldType::ftNum183: return 3;
    case TFldType::ftNum184: return 4;
    default: return -1;
    }
}

// Half away from zero, in extended precision so that a value like 2.345 typed by the user is
// not pushed across the half by the binary error of the double.
double RoundTo(double x, int ADecimals)
{
    long double scale = 1;
    for (int i = 0; i < ADecimals; ++i)
        scale *= 10;
    const long double y = static_cast<long double>(x) * scale;
    const long double r = x >= 0 ? std::trunc(y + 0.5L) : std::trunc(y - 0.5L);
    return static_cast<double>(r / scale);
}

} // namespace

TAtrItem::TAtrItem() : SQL(std::make_unique<TSQL>()), Formula(std::make_unique<TFormula>()) {}

TAtrItem::~TAtrItem()
{
    FormulaAtrItemList.Clear();
    Formula.reset();
    SQL.reset();
    FldValueList.Clear();
    PKFilter.reset();
}

void TAtrItem::SetValue(const Variant &AValue)
{
    const int decimals = AValue.isEmptyOrNull() ? -1 : DecimalsOf(Fld->FldType());
    FValue = decimals >= 0 ? Variant(RoundTo(AValue.toDouble(), decimals)) : AValue;
    if (FldValueList.Count() > 0)
        ReadFldValues();
    if (ChangeType != TChangeType::ctInit) {
        Modified = true;
        // Virtual fields have no column and summing fields are kept by triggers.
        if (!Fld->Virt() && !Fld->AgrObjLink())
            ForInsert = true;
        if (OnChange)
            OnChange(this);
    }
    if (OnChangeForWinCtrlTree && ChangeType != TChangeType::ctWinCtrlTree)
        OnChangeForWinCtrlTree(this);
}

void TAtrItem::InitValue(const Variant &AValue, bool AForInsert)
{
    // A failed reference read must not leave the item believing every later change is a load.
    struct Restore {
        TChangeType &type;
        ~Restore() { type = TChangeType::ctNone; }
    } restore{ChangeType};
    ChangeType = TChangeType::ctInit;
    ForInsert = AForInsert;
    SetValue(AValue);
}

QString TAtrItem::AsString() const
{
    return FValue.isEmptyOrNull() ? QString() : FValue.toString();
}

int TAtrItem::AsInteger() const
{
    return VarAsInteger(FValue);
}

bool TAtrItem::AsBoolean() const
{
    return VarAsBoolean(FValue);
}

bool TAtrItem::ForSelect() const
{
    return !Fld->Virt();
}

bool TAtrItem::ForUpdate() const
{
    return Modified && !Fld->Virt() && !Fld->AgrObjLink();
}

void TAtrItem::AddFormulaTree(TFormulaTree *AFormulaTree)
{
    TFld *link = AFormulaTree->Path->First();
    if (!PKFilter) {
        if (!link || !link->FKObj() || !link->FKObj()->PKFld)
            throw ExceptionPos(Format(QStringLiteral("TAtrItem.AddFormulaTree: Поле \"%s\" не ссылается на объект."),
                                      {link ? link->Capt() : Fld->Capt()}));
        // Made only now: most items never read through a link, and a filter costs a metadata row.
        auto keyFilter = std::make_unique<TFilter>();
        keyFilter->CreateRoot(TFilterTreeType::fttEqual, link->FKObj()->PKFld);
        SQL->SetObj(link->FKObj());
        SQL->AddFilter(keyFilter.get());
        PKFilter = std::move(keyFilter);   // only now: a refused filter leaves the item to start over
    }
    TJoin *join = SQL->AddFldPath(AFormulaTree->FldValue(), *AFormulaTree->Path, true, true);
    for (TFldValue *fldValue : FldValueList) {
        if (fldValue->Fld == AFormulaTree->FldValue() && fldValue->JoinIndex == Variant(join->Index)) {
            if (fldValue->FormulaTreeList.IndexOf(AFormulaTree) < 0)
                fldValue->FormulaTreeList.Add(AFormulaTree);
            return;
        }
    }
    auto fldValue = std::make_unique<TFldValue>();
    fldValue->Fld = AFormulaTree->FldValue();
    fldValue->JoinIndex = join->Index;
    fldValue->FormulaTreeList.Add(AFormulaTree);
    FldValueList.Add(std::move(fldValue));
}

Variant TAtrItem::GetFldValue(const TFormulaTree *AFormulaTree) const
{
    for (const TFldValue *fldValue : FldValueList)
        if (fldValue->FormulaTreeList.IndexOf(AFormulaTree) >= 0)
            return fldValue->Value;
    throw ExceptionPos(QStringLiteral("Ошибка при получении значения поля-ссылки - не найден элемент формулы."));
}

void TAtrItem::ReadFldValues()
{
    const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLS();
    PKFilter->FilterTreeRoot->SetValue(FValue);
    sql->SetSQL(SQL->GetSelectSQL());
    DebugMsgFmt(QStringLiteral("Запрос получения значений поля-ссылки \"%s\"\r\r%s"), {Fld->Capt(), sql->SQLText()});
    SQL->SetParams(*sql);
    TCloseGuard closer(*sql);
    sql->ExecQuery();
    // Entries and columns were made together, so entry i reads column i.
    for (int i = 0; i < FldValueList.Count(); ++i)
        FldValueList.Items(i)->Value = sql->Eof() ? Variant::Null() : sql->Field(i);
}
