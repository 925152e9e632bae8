#include "AtrDealRow.h"

#include "Fld.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"

namespace {

const QString ProductField = QStringLiteral("DEALPROD_ID");
const QString DealField = QStringLiteral("DEAL_ID");

const TDealRowKind DealRowKinds[] = {
    {QStringLiteral("PRODPAYM"), QStringLiteral("DEALPAYM_ID"), QStringLiteral("DEALPAYM"), QStringLiteral("платёж"),
     QString()},
    {QStringLiteral("PRODSHIP"), QStringLiteral("DEALSHIP_ID"), QStringLiteral("DEALSHIP"), QStringLiteral("отгрузка"),
     QStringLiteral("PRODSHIP_CNT")},
};

// The template text of a record, for a message; the bare key when there is no template.
QString RecordText(const QString &ATable, const Variant &AKey)
{
    TObj *obj = DB->ObjList->GetObjByTable(ATable);
    const QString text = obj->GetValueById(VarAsInteger(AKey));
    return text.isEmpty() ? AKey.toString() : text;
}

} // namespace

TAtrDealRow::TAtrDealRow(const TDealRowKind &AKind) : FKind(AKind)
{
}

const TDealRowKind *TAtrDealRow::KindOf(const TObj *AObj)
{
    for (const TDealRowKind &kind : DealRowKinds)
        if (AObj && AObj->Table().compare(kind.Table, Qt::CaseInsensitive) == 0)
            return &kind;
    return nullptr;
}

bool TAtrDealRow::IsProduct(const TFld *AFld) const
{
    return AFld && AFld->Obj() == Obj() && AFld->Field().compare(ProductField, Qt::CaseInsensitive) == 0;
}

void TAtrDealRow::AddCheckedItems()
{
    GetAddByFldName(FKind.MasterKey);
    GetAddByFldName(ProductField);
    if (!FKind.CountField.isEmpty())
        GetAddByFldName(FKind.CountField);
}

void TAtrDealRow::SetRecId(const Variant &ARecId)
{
    AddCheckedItems();
    TAtr::SetRecId(ARecId);
}

void TAtrDealRow::SetDefaultValues(TObjLink *AObjLink, const Variant &AParentId)
{
    AddCheckedItems();
    TAtr::SetDefaultValues(AObjLink, AParentId);
}

void TAtrDealRow::CheckInsert()
{
    TAtr::CheckInsert();
    CheckCountNotNegative();
    CheckProductOfDeal();
}

void TAtrDealRow::CheckUpdate()
{
    TAtr::CheckUpdate();
    CheckCountNotNegative();
    if (GetAddByFldName(FKind.MasterKey)->Modified || GetAddByFldName(ProductField)->Modified)
        CheckProductOfDeal();
}

void TAtrDealRow::CheckCountNotNegative()
{
    if (FKind.CountField.isEmpty())
        return;
    TAtrItem *count = GetAddByFldName(FKind.CountField);
    if (!count->Value().isEmptyOrNull() && count->Value().toCurrencyScaled() < 0)
        throw ECheckFldException::CreateAtrItem(QStringLiteral("Отгруженное количество товара не может быть отрицательным."),
                                                count);
}

void TAtrDealRow::CheckProductOfDeal()
{
    TAtrItem *master = GetAddByFldName(FKind.MasterKey);
    TAtrItem *product = GetAddByFldName(ProductField);
    if (master->Value().isEmptyOrNull() || product->Value().isEmptyOrNull())
        return;
    // On the write transaction: the payment or shipment may have been written in it just now.
    IBSQLC->SetSQL(Format(QStringLiteral("select P.%s, M.%s from DEALPROD P, %s M where P.%s = :PRODUCT and M.%s = :MASTER"),
                          {DealField, DealField, FKind.MasterTable, ProductField, FKind.MasterKey}));
    IBSQLC->ParamByName(QStringLiteral("PRODUCT")) = product->Value();
    IBSQLC->ParamByName(QStringLiteral("MASTER")) = master->Value();
    TCloseGuard closer(*IBSQLC);
    IBSQLC->ExecQuery();
    // A product or master that does not exist is the foreign key's to refuse.
    if (IBSQLC->Eof() || IBSQLC->Field(0) == IBSQLC->Field(1))
        return;
    const Variant masterDeal = IBSQLC->Field(1);
    throw ECheckFldException::CreateFmtAtrItem(
        QStringLiteral("Товар сделки \"%s\" не входит в сделку \"%s\", к которой относится %s."), product,
        {RecordText(QStringLiteral("DEALPROD"), product->Value()), RecordText(QStringLiteral("DEAL"), masterDeal),
         FKind.MasterWord});
}

Variant TAtrDealRow::MasterDeal()
{
    const Variant master = GetAddByFldName(FKind.MasterKey)->Value();
    if (master.isEmptyOrNull())
        return Variant::Null();
    IBSQLS->SetSQL(Format(QStringLiteral("select %s from %s where %s = :MASTER"),
                          {DealField, FKind.MasterTable, FKind.MasterKey}));
    IBSQLS->ParamByName(QStringLiteral("MASTER")) = master;
    TCloseGuard closer(*IBSQLS);
    IBSQLS->ExecQuery();
    return IBSQLS->Eof() ? Variant::Null() : IBSQLS->Field(0);
}

std::unique_ptr<TAtr> CreateRecordEditor(const TObj *AObj)
{
    if (const TDealRowKind *kind = TAtrDealRow::KindOf(AObj))
        return std::make_unique<TAtrDealRow>(*kind);
    return std::make_unique<TAtr>();
}
