#include "RepoBuilder.h"

#include "IBSQL.h"

#include <stdexcept>

void RepoBuilder::Exec(const QString &text, const QList<std::pair<QString, Variant>> &params)
{
    FDB.StartTransaction();
    try {
        auto sql = FDB.CreateIBSQLC();
        sql->SetSQL(text);
        for (const auto &[name, value] : params)
            sql->ParamByName(name) = value;
        sql->ExecQuery();
        FDB.CommitTransaction();
    } catch (const Exception &e) {
        FDB.RollbackChanges();
        // Stops the calling test with the database's message and the statement.
        throw std::runtime_error((e.Message() + "\n" + text).toStdString());
    }
}

int RepoBuilder::AddObj(const QString &table, const QString &capt, bool ref, bool meta)
{
    const int id = FDB.GetGenId(QStringLiteral("OBJ_ID"));
    Exec(QStringLiteral("insert into OBJ (OBJ_ID, OBJ_TABLE, OBJ_CAPT, OBJ_REF, OBJ_META) "
                        "values (:ID, :TBL, :CAPT, :REF, :META)"),
         {{"ID", id}, {"TBL", table}, {"CAPT", capt}, {"REF", ref ? 1 : 0}, {"META", meta ? 1 : 0}});
    return id;
}

int RepoBuilder::AddFld(int objId, const QString &field, const QString &type, const QString &capt, bool virt)
{
    const int id = FDB.GetGenId(QStringLiteral("FLD_ID"));
    Exec(QStringLiteral("insert into FLD (FLD_ID, OBJ_ID, FLD_FIELD, FLD_CAPT, FLD_VIRT, FLDTYPE_ID) "
                        "values (:ID, :OBJ, :FIELD, :CAPT, :VIRT, "
                        "(select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = :TYPE))"),
         {{"ID", id}, {"OBJ", objId}, {"FIELD", field}, {"CAPT", capt.isEmpty() ? field : capt},
          {"VIRT", virt ? 1 : 0}, {"TYPE", type}});
    return id;
}

int RepoBuilder::AddDep(int parentObjId, int childFldId, const QString &rule, const QString &name)
{
    const int id = FDB.GetGenId(QStringLiteral("DEP_ID"));
    Exec(QStringLiteral("insert into DEP (DEP_ID, OBJ_ID, FLD_ID, DEP_NAME, DEP_CAPT, FKRULE_ID) "
                        "values (:ID, :OBJ, :FLD, :NAME, :NAME, "
                        "(select FKRULE_ID from FKRULE where FKRULE_NAME = :RULE))"),
         {{"ID", id}, {"OBJ", parentObjId}, {"FLD", childFldId}, {"NAME", name}, {"RULE", rule}});
    return id;
}

int RepoBuilder::EnsureDescribed(const QString &table)
{
    const Variant known = Scalar(QStringLiteral("select OBJ_ID from OBJ where OBJ_TABLE = :T"), {{"T", table}});
    if (!known.isNull())
        return known.toInt();
    const int objId = AddObj(table, table, false, true);
    auto find = FDB.CreateIBSQLS();
    find->SetSQL(QStringLiteral(
        "select trim(RF.RDB$FIELD_NAME), case when trim(RF.RDB$FIELD_NAME) = trim(RF.RDB$RELATION_NAME) || '_ID' "
        "then 'PK' when RF.RDB$FIELD_SOURCE = 'BOOL' then 'Boolean' when F.RDB$FIELD_TYPE in (14, 37) then 'String' "
        "when F.RDB$FIELD_TYPE = 12 then 'Date' else 'Integ' end "
        "from RDB$RELATION_FIELDS RF join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
        "where RF.RDB$RELATION_NAME = :T order by RF.RDB$FIELD_POSITION"));
    find->ParamByName(QStringLiteral("T")) = table;
    TCloseGuard closer(*find);
    for (find->ExecQuery(); !find->Eof(); find->Next())
        AddFld(objId, find->Field(0).toString(), find->Field(1).toString());
    return objId;
}

int RepoBuilder::AddUser(const QString &login)
{
    const int id = FDB.GetGenId(QStringLiteral("USR_ID"));
    Exec(QStringLiteral("insert into USR (USR_ID, USR_LOGIN) values (:ID, :L)"), {{"ID", id}, {"L", login}});
    return id;
}

Variant RepoBuilder::Scalar(const QString &text, const QList<std::pair<QString, Variant>> &params)
{
    auto sql = FDB.CreateIBSQLS();
    sql->SetSQL(text);
    for (const auto &[name, value] : params)
        sql->ParamByName(name) = value;
    TCloseGuard closer(*sql);
    sql->ExecQuery();
    return sql->Eof() ? Variant::Null() : sql->Field(0);
}
