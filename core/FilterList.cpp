#include "FilterList.h"

#include "IBSQL.h"
#include "Main.h"
#include "ObjLink.h"
#include "Tbl.h"

TFilterList::TFilterList(bool AOwnsObjects) : TObjectList<TFilter>(AOwnsObjects) {}

TFilterList::~TFilterList() = default;

TIBSQL &TFilterList::IBSQLS()
{
    if (!FIBSQLS)
        FIBSQLS = DB->CreateIBSQLS();
    return *FIBSQLS;
}

void TFilterList::Load(const TTbl &ATbl)
{
    TIBSQL &sql = IBSQLS();
    TCloseGuard closer(sql);
    sql.ClearSQL();
    sql.AddLine(QStringLiteral("select FLTR_ID"));
    sql.AddLine(QStringLiteral("from FLTR F"));
    sql.AddLine(QStringLiteral("where F.FLTR_ALWAYS = 1"));
    // Filters meant for developers hide rows a developer must see, so they apply outside
    // developer mode only.
    if (DevMode)
        sql.AddLine(QStringLiteral("and F.FLTR_DEV <> 1"));
    sql.AddLine(QStringLiteral("and ((F.TBL_ID = :TBL_ID)"));
    if (ATbl.ObjLink())
        sql.AddLine(QStringLiteral("or (F.DEP_ID = :DEP_ID)"));
    sql.AddLine(QStringLiteral("or (F.OBJ_ID = :OBJ_ID)"));
    sql.AddLine(QStringLiteral(")"));
    sql.ParamByName(QStringLiteral("TBL_ID")) = ATbl.FldByName(QStringLiteral("TBL_ID")).Value;
    if (ATbl.ObjLink())
        sql.ParamByName(QStringLiteral("DEP_ID")) = ATbl.ObjLink()->Id();
    const TObj *obj = ATbl.GetObj();
    sql.ParamByName(QStringLiteral("OBJ_ID")) = obj ? Variant(obj->Id()) : Variant::Null();
    for (sql.ExecQuery(); !sql.Eof(); sql.Next()) {
        auto filter = std::make_unique<TFilter>();
        filter->RaiseLoad = true;
        filter->LoadById(VarAsInteger(sql.Field(0)));
        Add(std::move(filter));
    }
}

TFilter *TFilterList::GetByName(const QString &AName) const
{
    for (TFilter *filter : *this)
        if (filter->Name() == AName)
            return filter;
    return nullptr;
}
