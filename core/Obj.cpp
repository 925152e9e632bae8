#include "Obj.h"

#include <algorithm>

#include "Fld.h"
#include "Formula.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"
#include "NestedSet.h"
#include "ObjLink.h"
#include "ObjValue.h"
#include "Filter.h"
#include "FilterTree.h"
#include "Sql.h"

TObj::TObj()
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("OBJ")));
    SetUp();
}

TObj::TObj(const TIBSQL &AIBSQL)
{
    AddAllFld(AIBSQL);
    SetUp();
}

void TObj::SetUp()
{
    IBSQLS = DB->CreateIBSQLS();
    IBSQLS2 = DB->CreateIBSQLS();
    FldList = std::make_unique<TFldList>(true);
    ChildList = std::make_unique<TObjLinkList>(this, true);
    ParentList = std::make_unique<TObjLinkList>(this, false);
    TemplFldList = std::make_unique<TTemplFldList>();
}

TObj::~TObj()
{
    ParentList.reset();
    ChildList.reset();
    FldList.reset();
    TemplFldList.reset();
    IBSQLS.reset();
    IBSQLS2.reset();
}

void TObj::LoadFields()
{
    FldList->Clear();
    PKFld = nullptr;
    IBSQLS->ClearSQL();
    IBSQLS->AddLine(QStringLiteral("select *"));
    IBSQLS->AddLine(QStringLiteral("from FLD"));
    IBSQLS->AddLine(QStringLiteral("where OBJ_ID = ") + QString::number(Id()));
    TCloseGuard closer(*IBSQLS);
    for (IBSQLS->ExecQuery(); !IBSQLS->Eof(); IBSQLS->Next()) {
        auto fld = std::make_unique<TFld>(*IBSQLS);
        fld->CopyDataFrom(*IBSQLS);
        fld->SetObj(this);
        if (fld->FldType() == TFldType::ftPK)
            PKFld = fld.get();
        FldList->Add(std::move(fld));
    }
}

void TObj::LoadFormuls()
{
    IBSQLS->SetSQL(QStringLiteral("select * from FRMLTREE where FLD_ID = :FLD_ID order by FRMLTREE_LFT"));
    IBSQLS2->SetSQL(QStringLiteral("select FLD_ID from FRMLTRPT where FRMLTREE_ID = :FRMLTREE_ID order by FRMLTRPT_ID"));
    for (TFld *fld : *FldList)
        if (fld->FormulaHave())
            LoadFormula(*fld);
}

void TObj::LoadFormula(TFld &AFld)
{
    IBSQLS->ParamByName(QStringLiteral("FLD_ID")) = AFld.Id();
    TCloseGuard closer(*IBSQLS);
    IBSQLS->ExecQuery();
    AFld.Formula->Clear();
    for (; !IBSQLS->Eof(); IBSQLS->Next()) {
        std::unique_ptr<TFormulaTree> node = LoadFormulaNode();
        TFormulaTree *root = AFld.Formula->FormulaTreeRoot.get();
        if (!root) {
            AFld.Formula->FormulaTreeRoot = std::move(node);
            continue;
        }
        if (!PlaceByDescent(root, node.get()))
            throw ExceptionPos(Format(QStringLiteral("TObj.LoadFormuls: Нарушение структуры дерева формулы для поля \"%s\"."),
                                      {AFld.Capt()}));
        node.release();   // the parent's child list owns it now
    }
}

std::unique_ptr<TFormulaTree> TObj::LoadFormulaNode()
{
    auto node = std::make_unique<TFormulaTree>();
    node->CopyDataFrom(*IBSQLS);
    if (node->FldValueId().isNull())
        return node;
    node->SetFldValue(DB->ObjList->GetFldById(VarAsInteger(node->FldValueId())));
    if (node->PathHave()) {
        IBSQLS2->ParamByName(QStringLiteral("FRMLTREE_ID")) = node->Id();
        TCloseGuard closer(*IBSQLS2);
        for (IBSQLS2->ExecQuery(); !IBSQLS2->Eof(); IBSQLS2->Next())
            node->Path->Add(DB->ObjList->GetFldById(VarAsInteger(IBSQLS2->FieldByName(QStringLiteral("FLD_ID")))));
    }
    return node;
}

void TObj::LoadTempl()
{
    IBSQLS->SetSQL(QStringLiteral("select * from OBJVALUE where OBJ_ID = :OBJ_ID order by OBJVALUE_ID"));
    IBSQLS2->SetSQL(QStringLiteral("select * from OBJVALPT where OBJVALUE_ID = :OBJVALUE_ID order by OBJVALPT_ID"));
    IBSQLS->ParamByName(QStringLiteral("OBJ_ID")) = Id();
    TCloseGuard closer(*IBSQLS);
    for (IBSQLS->ExecQuery(); !IBSQLS->Eof(); IBSQLS->Next())
        TemplFldList->Add(LoadTemplField());
}

std::unique_ptr<TObjValue> TObj::LoadTemplField()
{
    // Lookup errors name the object whose template is being loaded before their own lines.
    const auto templateError = [this](const QString &message) {
        return ExceptionPos(Format(QStringLiteral("Объект \"%s\": Загрузка шаблона.\r"), {Capt()}) + message);
    };
    const auto fieldOf = [&](const TObj *obj, int fldId) {
        try {
            return obj->GetFldById(fldId);
        } catch (const ExceptionPos &e) {
            throw templateError(e.Message());
        }
    };
    auto value = std::make_unique<TObjValue>();
    value->CopyDataFrom(*IBSQLS);
    value->SetObj(this);
    const TObj *current = this;
    if (value->PathHave()) {
        IBSQLS2->ParamByName(QStringLiteral("OBJVALUE_ID")) = value->Id();
        TCloseGuard closer(*IBSQLS2);
        for (IBSQLS2->ExecQuery(); !IBSQLS2->Eof(); IBSQLS2->Next()) {
            TFld *link = fieldOf(current, VarAsInteger(IBSQLS2->FieldByName(QStringLiteral("FLD_ID"))));
            value->Path->Add(link);
            // A path runs through stored link fields only; anything else leads nowhere.
            if (!link->FKObj())
                throw templateError(Format(QStringLiteral("Поле \"%s\" в пути шаблона не ссылается на объект."),
                                           {link->Capt()}));
            current = link->FKObj();
        }
    }
    value->SetFld(fieldOf(current, value->FldId()));
    return value;
}

TFld *TObj::GetFldById(int AFldId) const
{
    try {
        return FldList->GetById(AFldId);
    } catch (const Exception &e) {
        throw ExceptionPos(Format(QStringLiteral("Объект \"%s\": Получение поля по коду.\r"), {Capt()}) + e.Message());
    }
}

TFld *TObj::GetFldByName(const QString &AFldName) const
{
    try {
        return FldList->GetByName(AFldName);
    } catch (const Exception &e) {
        throw ExceptionPos(Format(QStringLiteral("Объект \"%s\": Получение поля по имени.\r"), {Capt()}) + e.Message());
    }
}

int TObj::GetNewId() const
{
    if (!PKFld)
        throw ExceptionPos(Format(QStringLiteral("Объект \"%s\": нет ключевого поля, новый код взять неоткуда."), {Capt()}));
    return DB->GetGenId(PKFld->Field());
}

void TObj::CheckTemplate() const
{
    if (TemplFldList->Count() == 0)
        throw ExceptionPos(Format(QStringLiteral("У объекта \"%s\" не указаны поля для шаблона значения."), {Capt()}));
    if (Templ().isEmpty())
        throw ExceptionPos(Format(QStringLiteral("У объекта \"%s\" не указан шаблон значения."), {Capt()}));
    if (CountSubStr(QStringLiteral("%s"), Templ()) != TemplFldList->Count())
        throw ExceptionPos(Format(QStringLiteral("У объекта \"%s\" количество значений \"%%s\" в шаблоне не "
                                                 "соответствует количеству полей шаблона."),
                                  {Capt()}));
}

QString TObj::GetValueById(int AId)
{
    CheckTemplate();
    TSQL sql;
    sql.SetObj(this);
    // Each template field remembers its output column: the builder shares one column between
    // two template fields that read the same field along the same path.
    QList<const TSelFld *> columnOfField;
    for (TObjValue *value : *TemplFldList) {
        TJoin *join = sql.AddFldPath(value->Fld(), *value->Path, true, false);
        const auto found = std::find_if(sql.SelFldList.begin(), sql.SelFldList.end(), [&](const TSelFld *f) {
            return f->Fld == value->Fld() && f->Join == join;
        });
        columnOfField << *found;   // AddFldPath has just made or reused it
    }
    TFilter filter;
    filter.CreateRoot(TFilterTreeType::fttEqual, PKFld)->SetValue(AId);
    sql.AddFilter(&filter);
    IBSQLS->SetSQL(sql.GetSelectSQL());
    DebugMsgFmt(QStringLiteral("Запрос получения значений шаблона для объекта \"%s\"\r\r%s"), {Capt(), IBSQLS->SQLText()});
    sql.SetParams(*IBSQLS);
    TCloseGuard closer(*IBSQLS);
    IBSQLS->ExecQuery();
    // Only the template's own "%s" places are filled, so a value that itself holds "%s"
    // stays as it is instead of taking the next value.
    const QStringList pieces = Templ().split(QStringLiteral("%s"));
    QString text = pieces.first();
    for (int i = 0; i < columnOfField.size(); ++i) {
        const int column = sql.SelFldList.IndexOf(columnOfField[i]);
        if (!IBSQLS->Eof())
            text += IBSQLS->Field(column).isNull() ? QString() : IBSQLS->Field(column).toString();
        text += pieces[i + 1];
    }
    return text;
}

// --- The repository ------------------------------------------------------------------------

void TObjList::Report(int APos, int AMax) const
{
    if (NotifyPosition)
        NotifyPosition(APos, AMax);
}

void TObjList::Load()
{
    Clear();
    LoadObjectsAndFields();
    LoadLinksAndSummingFields();
    LinkFieldTargets();
    LoadFormulasAndTemplates();
}

void TObjList::LoadObjectsAndFields()
{
    const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLS();
    sql->SetSQL(QStringLiteral("select count(*) from OBJ"));
    sql->ExecQuery();
    const int expected = VarAsInteger(sql->Field(0));
    sql->Close();
    sql->SetSQL(QStringLiteral("select * from OBJ"));
    TCloseGuard closer(*sql);
    int fetched = 0;
    for (sql->ExecQuery(); !sql->Eof(); sql->Next()) {
        auto obj = std::make_unique<TObj>(*sql);
        obj->CopyDataFrom(*sql);
        obj->LoadFields();
        Add(std::move(obj));
        ++fetched;
        Report(fetched / 2, expected);
    }
}

void TObjList::LoadLinksAndSummingFields()
{
    for (TObj *obj : *this) {
        obj->ChildList->Load();
        for (TFld *fld : *obj->FldList) {
            if (fld->DepIdAgr().isNull())
                continue;
            const int linkId = VarAsInteger(fld->DepIdAgr());
            TObjLink *link = obj->ChildList->GetById(linkId);
            if (!link)
                throw ExceptionPos(Format(QStringLiteral("Объект \"%s\", поле \"%s\": суммирующее поле ссылается на "
                                                         "связь с кодом %d, которой нет среди связей объекта."),
                                          {obj->Capt(), fld->Field(), linkId}));
            fld->SetAgrObjLink(link);
            fld->SetAgrFld(link->ChildFld()->Obj()->FldList->GetById(VarAsInteger(fld->FldIdAgr())));
        }
    }
}

void TObjList::LinkFieldTargets()
{
    for (TObj *obj : *this) {
        for (TFld *fld : *obj->FldList) {
            if (fld->FldType() != TFldType::ftFK || fld->Virt())
                continue;
            TObjLink *link = obj->ParentList->GetByFld(fld);
            if (!link)
                throw ExceptionPos(Format(QStringLiteral("Объект \"%s\", поле \"%s\": у поля-ссылки нет связи "
                                                         "с главным объектом."),
                                          {obj->Capt(), fld->Field()}));
            fld->SetFKObj(link->ParentObj());
            fld->SetFKRule(link->FKRule());
        }
    }
}

void TObjList::LoadFormulasAndTemplates()
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        Items(i)->LoadFormuls();
        Items(i)->LoadTempl();
        Report(i / 2 + count / 2, count);
    }
}

TObj *TObjList::GetObjById(int AObjId) const
{
    for (TObj *obj : *this)
        if (obj->Id() == AObjId)
            return obj;
    throw ExceptionPos(Format(QStringLiteral("Объект с кодом \"%d\" не найден."), {AObjId}));
}

TObj *TObjList::GetObjByTable(const QString &AObjTable) const
{
    for (TObj *obj : *this)
        if (obj->Table() == AObjTable)
            return obj;
    throw ExceptionPos(Format(QStringLiteral("Объект с таблицей \"%s\" не найден."), {AObjTable}));
}

TFld *TObjList::GetFldById(int AFldId) const
{
    for (TObj *obj : *this)
        for (TFld *fld : *obj->FldList)
            if (fld->Id() == AFldId)
                return fld;
    throw ExceptionPos(Format(QStringLiteral("Поле с кодом \"%d\" среди объектов не найдено."), {AFldId}));
}

TObjLink *TObjList::GetObjLinkById(int AObjLinkId) const
{
    for (TObj *obj : *this)
        if (TObjLink *link = obj->ChildList->GetById(AObjLinkId))
            return link;
    throw ExceptionPos(Format(QStringLiteral("Связь с кодом %d среди объектов не найдена."), {AObjLinkId}));
}
