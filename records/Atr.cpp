#include "Atr.h"

#include "Filter.h"
#include "FilterTree.h"
#include "Fld.h"
#include "Formula.h"
#include "Func.h"
#include "IBSQL.h"
#include "IBTransaction.h"
#include "Main.h"
#include "Obj.h"
#include "ObjLink.h"
#include "Rate.h"
#include "Sql.h"

#include <QDate>
#include <QStringList>
#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

// A field node reads its value through the item of its first link field when it has a path,
// else through the item of the field itself.
bool HasPath(const TFormulaTree *ANode)
{
    return ANode->PathHave() && ANode->Path->Count() > 0;
}

TFld *ArgFld(const TFormulaTree *ANode)
{
    return HasPath(ANode) ? ANode->Path->First() : ANode->FldValue();
}

// Pre-order walk over a formula tree.
template <typename Visit>
void Walk(TFormulaTree *ANode, const Visit &AVisit)
{
    AVisit(ANode);
    for (TFormulaTree *child : ANode->FormulaTreeList)
        Walk(child, AVisit);
}

// Quotients are real quotients: a fixed-point operand would round the intermediate result to
// four decimals and (1 / 3) * 3 would not give 1 back.
Variant AsReal(const Variant &AValue)
{
    return AValue.type() == Variant::Type::Currency || AValue.type() == Variant::Type::Integer
               ? Variant(AValue.toDouble())
               : AValue;
}

} // namespace

ECheckFldException ECheckFldException::CreateFmtAtrItem(const QString &Msg, TAtrItem *AAtrItem,
                                                        const QList<Variant> &Args)
{
    return ECheckFldException(Format(Msg, Args), AAtrItem);
}

TAtr::TAtr()
    : TObjectList<TAtrItem>(true),
      SelectSQL(std::make_unique<TSQL>()),
      InsertSQL(std::make_unique<TSQL>()),
      UpdateSQL(std::make_unique<TSQL>()),
      CurrRateTable(std::make_unique<TCurrRateTable>()),
      PKFilter(std::make_unique<TFilter>()),
      IBSQLS(DB->CreateIBSQLS()),
      IBSQLC(DB->CreateIBSQLC())
{
    PKFilter->CreateRoot(TFilterTreeType::fttEqual, nullptr);
}

TAtr::~TAtr()
{
    IBSQLS.reset();
    IBSQLC.reset();
    CurrRateTable.reset();
    SelectSQL.reset();
    InsertSQL.reset();
    UpdateSQL.reset();
    PKFilter.reset();
    // The list base frees the items.
}

QString TAtr::ObjCapt() const
{
    return FObj ? FObj->Capt() : QString();
}

void TAtr::SetObj(TObj *AObj)
{
    if (AObj && !AObj->PKFld)
        throw ExceptionPos(Format(QStringLiteral("TAtr.SetObj: У объекта \"%s\" нет ключевого поля."), {AObj->Capt()}));
    // Items belong to the fields of one object; another object's fields would never match them.
    if (AObj != FObj)
        Clear();
    SelectSQL->SetObj(AObj);
    InsertSQL->SetObj(AObj);
    UpdateSQL->SetObj(AObj);
    PKFilter->FilterTreeRoot->SetFld(AObj ? AObj->PKFld : nullptr);
    FObj = AObj;
    if (AObj) {
        SelectSQL->AddFilter(PKFilter.get());
        UpdateSQL->AddFilter(PKFilter.get());
    }
}

// --- Items ---------------------------------------------------------------------------------

TAtrItem *TAtr::GetByFld(TFld *AFld) const
{
    if (!FObj || !AFld || FObj->FldList->IndexOf(AFld) < 0)
        throw ExceptionPos(Format(QStringLiteral("TAtr.GetByFld: Поле \"%s\" не принадлежит объекту \"%s\"."),
                                  {AFld ? AFld->Capt() : QString(), ObjCapt()}));
    for (TAtrItem *item : *this)
        if (item->Fld == AFld)
            return item;
    return nullptr;
}

namespace {

TFld *FindFldByName(const TObj *AObj, const QString &AFldName)
{
    return AObj ? AObj->FldList->FindByName(AFldName) : nullptr;
}

} // namespace

TAtrItem *TAtr::GetByFldName(const QString &AFldName) const
{
    TFld *fld = FindFldByName(FObj, AFldName);
    if (!fld)
        throw ExceptionPos(Format(QStringLiteral("TAtr.GetByFldName: Поле \"%s\" не принадлежит объекту \"%s\"."),
                                  {AFldName, ObjCapt()}));
    return GetByFld(fld);
}

TAtrItem *TAtr::GetAddByFld(TFld *AFld)
{
    if (TAtrItem *item = GetByFld(AFld))
        return item;
    std::unique_ptr<TAtrItem> item = CreateAtrItem(AFld);
    item->Fld = AFld;
    item->Formula->Assign(*AFld->Formula);
    // Through the virtual call, so a subclass's reaction is the one installed.
    item->OnChange = [this](TAtrItem *AAtrItem) { AtrItemChange(AAtrItem); };
    return Add(std::move(item));
}

TAtrItem *TAtr::GetAddByFldName(const QString &AFldName)
{
    TFld *fld = FindFldByName(FObj, AFldName);
    if (!fld)
        throw ExceptionPos(Format(QStringLiteral("TAtr.GetAddByFldName: Поле \"%s\" не принадлежит объекту \"%s\"."),
                                  {AFldName, ObjCapt()}));
    return GetAddByFld(fld);
}

std::unique_ptr<TAtrItem> TAtr::CreateAtrItem(TFld * /*AFld: subclasses choose the item class by it*/)
{
    return std::make_unique<TAtrItem>();
}

void TAtr::CopyDataFrom(const TSObj &ASObj)
{
    for (const TObjFld *value : ASObj)
        GetAddByFldName(value->Name)->SetValue(value->Value);
}

void TAtr::CopyDataTo(TSObj &ASObj) const
{
    for (const TAtrItem *item : *this)
        ASObj.FldByName(item->Fld->Field()).Value = item->Value();
}

bool TAtr::Modified() const
{
    for (const TAtrItem *item : *this)
        if (item->Modified)
            return true;
    return false;
}

// --- Formulas ------------------------------------------------------------------------------

bool TAtr::HasFormula(const TAtrItem *AAtrItem) const
{
    // Computed fields are those with a formula in the repository. An item of another field may
    // carry a formula as its value (the field editor's formula being edited); it is not run.
    return AAtrItem->Formula->FormulaTreeRoot && AAtrItem->Fld->Formula && AAtrItem->Fld->Formula->FormulaTreeRoot;
}

TAtrItem *TAtr::ArgAtrItem(const TFormulaTree *ANode)
{
    return GetAddByFld(ArgFld(ANode));
}

void TAtr::CopyFormulas()
{
    // Each set-up starts from the repository's formulas, so loading a record after a new one
    // (or a new record under another master) does not inherit an earlier master-key rewrite.
    for (TFld *fld : *FObj->FldList) {
        if (!fld->Formula->FormulaTreeRoot)
            continue;
        TAtrItem *item = GetByFld(fld);
        if (item)
            item->Formula->Assign(*fld->Formula);
        else
            item = GetAddByFld(fld);
        Walk(item->Formula->FormulaTreeRoot.get(), [this](TFormulaTree *node) {
            if (node->FldValue())
                ArgAtrItem(node);
        });
    }
}

void TAtr::RewriteParId(TObjLink *AObjLink)
{
    for (int i = 0; i < Count(); ++i) {
        TAtrItem *item = Items(i);
        if (!HasFormula(item))
            continue;
        TFormulaTree *root = item->Formula->FormulaTreeRoot.get();
        if (root->Func() != TFormulaFunc::ffParId)
            continue;
        TObjLink *found = nullptr;
        if (AObjLink) {
            for (TObjLink *link : *AObjLink->ParentObj()->ParentList) {
                if (link->ParentObj() == item->Fld->FKObj() && link->Det() && link->MainDep()) {
                    found = link;
                    break;
                }
            }
        }
        if (!found) {
            // No master to take it from: the field is left to the user.
            item->Formula->Clear();
            continue;
        }
        // The field reads the master record's own main link to the same object.
        root->SetFunc(TFormulaFunc::ffNone);
        root->SetFldValue(found->ChildFld());
        root->SetPathHave(true);
        root->Path->Add(AObjLink->ChildFld());
    }
}

void TAtr::RegisterFormulaTree(TAtrItem *AFormulaItem, TFormulaTree *ANode)
{
    if (ANode->FldValue()) {
        TAtrItem *arg = ArgAtrItem(ANode);
        if (arg->FormulaAtrItemList.IndexOf(AFormulaItem) < 0)
            arg->FormulaAtrItemList.Add(AFormulaItem);
        if (HasPath(ANode))
            arg->AddFormulaTree(ANode);
    }
    for (TFormulaTree *child : ANode->FormulaTreeList)
        RegisterFormulaTree(AFormulaItem, child);
}

void TAtr::CheckFormulaCycles()
{
    // A change ripples from an item to the items that read it; a loop in that graph would
    // recompute forever, so such formulas are refused here.
    std::unordered_map<const TAtrItem *, int> state;   // 0 unseen, 1 on the path, 2 done
    std::vector<TAtrItem *> path;
    QStringList cycle;
    const std::function<bool(TAtrItem *)> visit = [&](TAtrItem *item) {
        state[item] = 1;
        path.push_back(item);
        for (TAtrItem *dependant : item->FormulaAtrItemList) {
            if (state[dependant] == 1) {
                auto it = std::find(path.begin(), path.end(), dependant);
                for (; it != path.end(); ++it)
                    cycle << QLatin1Char('"') + (*it)->Fld->Capt() + QLatin1Char('"');
                cycle << QLatin1Char('"') + dependant->Fld->Capt() + QLatin1Char('"');
                return true;
            }
            if (state[dependant] == 0 && visit(dependant))
                return true;
        }
        path.pop_back();
        state[item] = 2;
        return false;
    };
    for (TAtrItem *item : *this) {
        if (state[item] != 0 || !visit(item))
            continue;
        // Without its readers lists the editor cannot loop if the caller carries on anyway.
        for (TAtrItem *any : *this)
            any->FormulaAtrItemList.Clear();
        throw ExceptionPos(Format(QStringLiteral("Формулы полей объекта \"%s\" зависят друг от друга по кругу: %s."),
                                  {ObjCapt(), cycle.join(QStringLiteral(" -> "))}));
    }
}

void TAtr::InitFormulas(TObjLink *AObjLink)
{
    // The readers lists and the nodes registered for reference values point into the items'
    // formula copies, which are renewed below; the entries and columns themselves stay.
    for (TAtrItem *item : *this) {
        item->FormulaAtrItemList.Clear();
        for (TFldValue *fldValue : item->FldValueList)
            fldValue->FormulaTreeList.Clear();
    }
    CopyFormulas();
    RewriteParId(AObjLink);
    for (int i = 0; i < Count(); ++i) {
        TAtrItem *item = Items(i);
        if (HasFormula(item))
            RegisterFormulaTree(item, item->Formula->FormulaTreeRoot.get());
    }
    CheckFormulaCycles();
}

Variant TAtr::CalcFormulaTree(const TFormulaTree *ANode)
{
    const TFormulaFunc func = ANode->Func();
    const TObjectList<TFormulaTree> &children = ANode->FormulaTreeList;
    switch (func) {
    case TFormulaFunc::ffAdd:
    case TFormulaFunc::ffDed:
    case TFormulaFunc::ffMul:
    case TFormulaFunc::ffDiv: {
        if (children.Count() == 0)
            return Variant::Null();
        Variant result = CalcFormulaTree(children.Items(0));
        for (int i = 1; i < children.Count(); ++i) {
            const Variant operand = CalcFormulaTree(children.Items(i));
            if (func == TFormulaFunc::ffAdd)
                result = result + operand;
            else if (func == TFormulaFunc::ffDed)
                result = result - operand;
            else if (func == TFormulaFunc::ffMul)
                result = result * operand;
            else
                result = AsReal(result) / operand;
        }
        return result;
    }
    case TFormulaFunc::ffRate: {
        const Variant date = children.Count() > 1 ? CalcFormulaTree(children.Items(1)) : Variant::Null();
        const Variant curr = children.Count() > 0 ? CalcFormulaTree(children.Items(0)) : Variant::Null();
        return CurrRateTable->GetRate(curr, date);
    }
    case TFormulaFunc::ffCurD:
        return QDate::currentDate();
    case TFormulaFunc::ffCurU:
        return DB->CurrentUserId;
    case TFormulaFunc::ffNone: {
        if (!ANode->FldValue())
            return ANode->Value();
        TAtrItem *arg = ArgAtrItem(ANode);
        if (arg->NeedCalc)
            CalcAtrItem(arg);
        return HasPath(ANode) ? arg->GetFldValue(ANode) : arg->Value();
    }
    default:
        throw ExceptionPos(Format(QStringLiteral("TAtr.CalcAtrItem: Функция \"%s\" неизвестна системе."),
                                  {DB->FormulaFuncToCapt(func)}));
    }
}

void TAtr::CalcAtrItem(TAtrItem *AAtrItem)
{
    AAtrItem->NeedCalc = false;
    if (!AAtrItem->Formula->FormulaTreeRoot)
        return;
    Variant value;
    try {
        value = CalcFormulaTree(AAtrItem->Formula->FormulaTreeRoot.get());
    } catch (const EZeroDivide &e) {
        // The bare runtime text would not tell the user which field failed.
        throw ExceptionPos(Format(QStringLiteral("Ошибка вычисления поля \"%s\" объекта \"%s\": %s"),
                                  {AAtrItem->Fld->Capt(), ObjCapt(), e.Message()}));
    }
    AAtrItem->SetValue(value);
}

void TAtr::AtrItemChange(TAtrItem *AAtrItem)
{
    // A copy: a reaction may set up formulas again and renew the list under the loop.
    const std::vector<TAtrItem *> dependants(AAtrItem->FormulaAtrItemList.begin(),
                                             AAtrItem->FormulaAtrItemList.end());
    for (TAtrItem *item : dependants)
        item->NeedCalc = true;
    for (TAtrItem *item : dependants)
        CalcAtrItem(item);
}

// --- Loading and defaults ------------------------------------------------------------------

void TAtr::SetDefaultValues(TObjLink *AObjLink, const Variant &AParentId)
{
    InitFormulas(AObjLink);
    for (TAtrItem *item : *this)
        if (HasFormula(item))
            item->NeedCalc = true;
    for (int i = 0; i < Count(); ++i) {
        TAtrItem *item = Items(i);
        item->InitValue(item->Fld->Def0() ? Variant(0) : Variant::Null(), false);
    }
    for (int i = 0; i < Count(); ++i) {
        TAtrItem *item = Items(i);
        if (HasFormula(item) && item->NeedCalc)
            CalcAtrItem(item);
    }
    if (AObjLink)
        GetAddByFld(AObjLink->ChildFld())->SetValue(AParentId);
    SettlePosted(false);
    for (TAtrItem *item : *this) {
        item->Modified = false;
        item->StoredValue = Variant();
    }
    FNew = true;
}

bool TAtr::ExecSelect(const std::function<bool(const TAtrItem *)> &AWhich, const QString &ACaption)
{
    SelectSQL->SelFldList.Clear();
    for (const TAtrItem *item : *this)
        if (AWhich(item))
            SelectSQL->AddFld(item->Fld);
    IBSQLS->SetSQL(SelectSQL->GetSelectSQL());
    DebugMsgFmt(ACaption, {ObjCapt(), IBSQLS->SQLText()});
    if (SelectSQL->SelFldList.Count() == 0)
        return false;
    SelectSQL->SetParams(*IBSQLS);
    IBSQLS->ExecQuery();
    return true;
}

void TAtr::SetRecId(const Variant &ARecId)
{
    InitFormulas(nullptr);
    const Variant oldKey = PKFilter->FilterTreeRoot->Value();
    PKFilter->FilterTreeRoot->SetValue(ARecId);
    try {
        const auto forSelect = [](const TAtrItem *item) { return item->ForSelect(); };
        if (ExecSelect(forSelect, QStringLiteral("Запрос получения карточки объекта \"%s\"\r\r%s"))) {
            TCloseGuard closer(*IBSQLS);
            // A missing row would otherwise be taken as a record of empty values and, once
            // posted, update nothing without a word.
            if (IBSQLS->Eof())
                throw ExceptionPos(Format(QStringLiteral("Запись объекта \"%s\" с ключом \"%s\" не найдена."),
                                          {ObjCapt(), ARecId}));
            SettlePosted(false);
            for (int i = 0; i < Count(); ++i) {
                TAtrItem *item = Items(i);
                item->StoredValue = Variant();
                if (item->Fld->Virt())
                    continue;
                const Variant stored = IBSQLS->FieldByName(item->Fld->Field());
                item->InitValue(stored, false);
                item->StoredValue = stored;
            }
        }
    } catch (...) {
        // The key filter keeps addressing the record the editor still holds.
        PKFilter->FilterTreeRoot->SetValue(oldKey);
        throw;
    }
    FRecId = ARecId;
    FNew = false;
}

void TAtr::RefreshArgFlieds()
{
    const auto summing = [](const TAtrItem *item) { return item->ForSelect() && item->Fld->AgrObjLink(); };
    if (!ExecSelect(summing, QStringLiteral("Запрос получения суммирующих полей карточки объекта \"%s\"\r\r%s")))
        return;
    TCloseGuard closer(*IBSQLS);
    // A row this connection cannot see (posted, not yet committed) has no sums to show yet.
    if (IBSQLS->Eof())
        return;
    for (int i = 0; i < Count(); ++i) {
        TAtrItem *item = Items(i);
        if (summing(item))
            item->InitValue(IBSQLS->FieldByName(item->Fld->Field()), false);
    }
}

// --- Posting -------------------------------------------------------------------------------

void TAtr::BeforeInsert()
{
    TAtrItem *key = GetAddByFld(FObj ? FObj->PKFld : nullptr);
    if (key->Value().isEmptyOrNull())
        key->InitValue(FObj->GetNewId(), true);
}

void TAtr::CheckInsert()
{
    for (TFld *fld : *FObj->FldList) {
        if (!fld->NotNull())
            continue;
        const QString message = QStringLiteral("Невозможно добавить запись для объекта \"%s\", т.к. для поля \"%s\" "
                                               "не указано значение.");
        TAtrItem *item = GetByFld(fld);
        if (item) {
            if (item->Value().isEmptyOrNull())
                throw ECheckFldException::CreateFmtAtrItem(message, item, {ObjCapt(), fld->Capt()});
        } else if (!fld->Def0()) {
            throw ExceptionPos(Format(message, {ObjCapt(), fld->Capt()}));
        }
    }
}

void TAtr::CheckUpdate()
{
    for (TAtrItem *item : *this)
        if (item->Modified && item->Fld->NotNull() && item->Value().isEmptyOrNull())
            throw ECheckFldException::CreateFmtAtrItem(
                QStringLiteral("Невозможно изменить запись для объекта \"%s\", т.к. для поля \"%s\" не указано значение."),
                item, {ObjCapt(), item->Fld->Capt()});
}

void TAtr::SetParam(TIBSQL &AIBSQL, TAtrItem *AAtrItem, TWritten &AWritten) const
{
    const TFld *fld = AAtrItem->Fld;
    Variant value = AAtrItem->Value();
    if (value.isEmptyOrNull()) {
        value = Variant::Null();
    } else {
        const TFldType type = fld->FldType();
        if (type == TFldType::ftString || type == TFldType::ftObjTempl) {
            QString text = value.toString();
            // The column's length counts characters, not UTF-16 units.
            const Variant size = fld->FldByName(QStringLiteral("FLD_SIZE")).Value;
            const int limit = size.isEmptyOrNull() ? 0 : size.toInt();
            if (limit > 0) {
                const QList<uint> chars = text.toUcs4();
                if (chars.size() > limit)
                    text = QString::fromUcs4(reinterpret_cast<const char32_t *>(chars.constData()), limit);
            }
            value = text.isEmpty() ? Variant::Null() : Variant(text);
        } else if (type == TFldType::ftDate) {
            value = value.toDate();
        }
    }
    AIBSQL.ParamByName(fld->Field()) = value;
    AWritten.emplace_back(AAtrItem, std::move(value));
}

bool TAtr::PostedStillOpen() const
{
    const TIBTransaction &transaction = DB->WriteTransaction();
    return FPostedIn != 0 && transaction.InTransaction() && transaction.Number() == FPostedIn;
}

void TAtr::SettlePosted(bool ACommitted)
{
    for (TAtrItem *item : *this) {
        if (ACommitted && !item->PostedValue.isEmpty())
            item->StoredValue = item->PostedValue;
        item->PostedValue = Variant();
    }
    FPostedIn = 0;
}

void TAtr::RememberPosted(const TWritten &AWritten)
{
    // A second post in the same transaction finds the row as the first one left it.
    for (const auto &[item, value] : AWritten)
        item->PostedValue = value;
    FPostedIn = DB->WriteTransaction().Number();
}

Variant TAtr::RowValue(const TAtrItem *AAtrItem)
{
    // Post has let go of what a transaction that ended wrote: a posted value is still open.
    return AAtrItem->PostedValue.isEmpty() ? AAtrItem->StoredValue : AAtrItem->PostedValue;
}

void TAtr::Post()
{
    // Written by a post whose transaction ended without this editor's Commit: rolled back, as
    // far as anyone can tell (callers commit through Commit).
    if (FPostedIn != 0 && !PostedStillOpen())
        SettlePosted(false);
    if (FNew) {
        BeforeInsert();
        CheckInsert();
        const TAtrItem *key = GetAddByFld(FObj->PKFld);
        // A virtual field has no column; a summing field's column belongs to its triggers.
        const auto inserted = [](const TAtrItem *item) {
            return item->ForInsert && !item->Fld->Virt() && !item->Fld->AgrObjLink();
        };
        InsertSQL->SelFldList.Clear();
        for (const TAtrItem *item : *this)
            if (inserted(item))
                InsertSQL->AddFld(item->Fld);
        TIBSQL &insert = FObj->WriteSQL(InsertSQL->GetInsertSQL());
        DebugMsgFmt(QStringLiteral("Запрос добавления для объекта \"%s\"\r\r%s"), {ObjCapt(), insert.SQLText()});
        TWritten written;
        written.reserve(size_t(Count()));
        for (TAtrItem *item : *this)
            if (inserted(item))
                SetParam(insert, item, written);
        insert.ExecQuery();
        FRecId = key->Value();
        PKFilter->FilterTreeRoot->SetValue(FRecId);
        RememberPosted(written);
        return;
    }
    CheckUpdate();
    PostUpdate();
}

void TAtr::PostUpdate()
{
    UpdateSQL->SelFldList.Clear();
    QList<const TFld *> unchanged;
    for (const TAtrItem *item : *this) {
        if (!item->ForUpdate())
            continue;
        UpdateSQL->AddFld(item->Fld);
        if (!RowValue(item).isEmpty())
            unchanged << item->Fld;
    }
    if (UpdateSQL->SelFldList.Count() == 0) {
        DebugMsgFmt(QStringLiteral("Запрос обновления карточки объекта \"%s\"\r\r%s"),
                    {ObjCapt(), UpdateSQL->GetUpdateSQL()});
        return;
    }
    // Only the columns this editor changes are compared: one another user changed meanwhile
    // would be overwritten unseen, while changes to the other columns, and the sums the
    // triggers keep, stay as they are.
    TIBSQL &update = FObj->WriteSQL(UpdateSQL->GetUpdateSQL(unchanged));
    DebugMsgFmt(QStringLiteral("Запрос обновления карточки объекта \"%s\"\r\r%s"), {ObjCapt(), update.SQLText()});
    TWritten written;
    written.reserve(size_t(Count()));
    for (TAtrItem *item : *this) {
        if (!item->ForUpdate())
            continue;
        SetParam(update, item, written);
        if (unchanged.contains(item->Fld))
            update.ParamByName(TSQL::OldValueParam(item->Fld)) = RowValue(item);
    }
    UpdateSQL->SetParams(update);
    update.ExecQuery();
    // The update hands back the key of the row it changed: none when the row no longer holds
    // what this editor read.
    if (update.Field(0).isNull())
        throw ExceptionPos(Format(QStringLiteral("Запись объекта \"%s\" изменил или удалил другой пользователь после того, "
                                                 "как вы её открыли. Ваши изменения не сохранены: закройте карточку и "
                                                 "откройте запись снова."),
                                  {ObjCapt()}));
    RememberPosted(written);
}

void TAtr::Commit()
{
    const bool postedHere = PostedStillOpen();
    DB->CommitTransaction();
    if (postedHere)
        SettlePosted(true);
    DoAfterCommit();
    FNew = false;
    for (TAtrItem *item : *this)
        item->Modified = false;
}

void TAtr::DoAfterCommit()
{
    if (OnAfterCommit)
        OnAfterCommit(this);
}
