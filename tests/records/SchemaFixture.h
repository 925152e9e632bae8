#pragma once

#include "AtrFixture.h"
#include "AtrFld.h"

namespace korvenix_test {

using Values = QList<std::pair<QString, Variant>>;

// The template database, read back through Firebird's system tables, and the repository in one line.
class SchemaFixture : public AtrFixture
{
protected:
    Variant Type(TFldType type) { return db.FldTypeToCode(type); }
    Variant Rule(TFKRule rule) { return db.FKRuleToCode(rule); }

    // A new row's editor, its values set one by one as a card sets them.
    template <typename TEditor = TAtrFld>
    std::unique_ptr<TEditor> New(const QString &table, const Values &values, TObjLink *under = nullptr,
                                 const Variant &master = Variant::Null())
    {
        auto atr = std::make_unique<TEditor>();
        atr->SetObj(O(table));
        atr->SetDefaultValues(under, master);
        for (const auto &[field, value] : values)
            I(*atr, field)->SetValue(value);
        return atr;
    }
    std::unique_ptr<TAtrFld> NewFld(const QString &table, const Values &values)
    {
        return New("FLD", Values{{"OBJ_ID", O(table)->Id()}} + values);
    }
    // An existing row's editor, with items for the fields its card shows.
    template <typename TEditor>
    std::unique_ptr<TEditor> Load(const QString &table, const Variant &id, const QStringList &fields)
    {
        auto atr = std::make_unique<TEditor>();
        atr->SetObj(O(table));
        for (const QString &field : fields)
            atr->GetAddByFldName(field);
        atr->SetRecId(id);
        return atr;
    }

    // A column's domain (or varchar length, character set and collation), "not null" and default.
    Variant Schema(const QString &table, const QString &column)
    {
        return Scalar("select trim(iif(RF.RDB$FIELD_SOURCE starting with 'RDB$', 'varchar(' || F.RDB$CHARACTER_LENGTH "
                      "|| ') ' || trim(CS.RDB$CHARACTER_SET_NAME) || ' ' || trim(CO.RDB$COLLATION_NAME), "
                      "RF.RDB$FIELD_SOURCE)) || trim(trailing from iif(RF.RDB$NULL_FLAG = 1, ' not null', '')) "
                      "|| coalesce(' ' || cast(RF.RDB$DEFAULT_SOURCE as varchar(50)), '') "
                      "from RDB$RELATION_FIELDS RF join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                      "left join RDB$CHARACTER_SETS CS on CS.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
                      "left join RDB$COLLATIONS CO on CO.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
                      "and CO.RDB$COLLATION_ID = coalesce(RF.RDB$COLLATION_ID, F.RDB$COLLATION_ID) "
                      "where RF.RDB$RELATION_NAME = :T and RF.RDB$FIELD_NAME = :C",
                      {{"T", table}, {"C", column}});
    }
    // A constraint's type and table, and a foreign key's "delete/update" rules.
    Variant Constraint(const QString &name)
    {
        return Scalar("select trim(C.RDB$CONSTRAINT_TYPE) || ' ' || trim(C.RDB$RELATION_NAME) || coalesce(' ' || "
                      "trim(R.RDB$DELETE_RULE) || '/' || trim(R.RDB$UPDATE_RULE), '') from RDB$RELATION_CONSTRAINTS C "
                      "left join RDB$REF_CONSTRAINTS R on R.RDB$CONSTRAINT_NAME = C.RDB$CONSTRAINT_NAME "
                      "where C.RDB$CONSTRAINT_NAME = :N", {{"N", name}});
    }
    int Count(const QString &text, const Values &params = {}) { return Scalar(text, params).toInt(); }
    int Rows(const QString &table) { return Count("select count(*) from " + table); }
    int FldRows(const QString &field) { return Count("select count(*) from FLD where FLD_FIELD = :F", {{"F", field}}); }
    int Triggers(const QString &column)
    {
        return Count("select count(*) from RDB$TRIGGERS where RDB$TRIGGER_NAME in (:A || '_AI', :A || '_AD', "
                     ":A || '_AU')", {{"A", column}});
    }
    // Every object with the number of its fields, child links and parent links.
    QString Shape() const
    {
        QStringList parts;
        for (const TObj *obj : *db.ObjList)
            parts << QString("%1:%2/%3/%4").arg(obj->Table()).arg(obj->FldList->Count()).arg(obj->ChildList->Count())
                         .arg(obj->ParentList->Count());
        return parts.join(' ');
    }
    QString SaveError(TAtr &atr) { return ErrorOf([&] { Save(atr); }); }
    // What a card's OK reports: the message and the field whose control gets the focus.
    std::pair<QString, QString> Refusal(TAtr &atr)
    {
        try {
            Save(atr);
        } catch (const ECheckFldException &e) {
            return {e.Message(), e.AtrItem->Fld->Field()};
        } catch (const Exception &e) {
            return {e.Message(), QString()};
        }
        return {"no error", QString()};
    }
};

} // namespace korvenix_test
