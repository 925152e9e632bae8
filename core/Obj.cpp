#include "Obj.h"

#include "Fld.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"
#include "ObjLink.h"

namespace {

struct ClosedAtEnd {
    TIBSQL &sql;
    ~ClosedAtEnd() { sql.Close(); }
};

} // namespace

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
}

TObj::~TObj()
{
    ParentList.reset();
    ChildList.reset();
    FldList.reset();
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
    ClosedAtEnd closer{*IBSQLS};
    for (IBSQLS->ExecQuery(); !IBSQLS->Eof(); IBSQLS->Next()) {
        auto fld = std::make_unique<TFld>(*IBSQLS);
        fld->CopyDataFrom(*IBSQLS);
        fld->SetObj(this);
        if (fld->FldType() == TFldType::ftPK)
            PKFld = fld.get();
        FldList->Add(std::move(fld));
    }
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
    ClosedAtEnd closer{*sql};
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
    for (int i = 0; i < count; ++i)
        Report(i / 2 + count / 2, count);
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
