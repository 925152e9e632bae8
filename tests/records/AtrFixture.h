#pragma once

#include "Atr.h"
#include "DBFixture.h"
#include "Fld.h"
#include "Formula.h"
#include "IBSQL.h"
#include "Obj.h"
#include "ObjLink.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace korvenix_test {

using Values = QList<std::pair<QString, Variant>>;

// A formula node: a function over its operands, or a field read along a path of link fields.
template <typename... Operands>
std::unique_ptr<TFormulaTree> Fn(TFormulaFunc func, Operands... operands)
{
    auto node = std::make_unique<TFormulaTree>();
    node->SetFunc(func);
    (node->FormulaTreeList.Add(std::move(operands)), ...);
    return node;
}
inline std::unique_ptr<TFormulaTree> Of(TFld *fld, const QList<TFld *> &path = {})
{
    auto node = std::make_unique<TFormulaTree>();
    node->SetFldValue(fld);
    node->SetPathHave(!path.isEmpty());
    for (TFld *link : path)
        node->Path->Add(link);
    return node;
}

// A fresh copy of the template database as it ships (repository, demo deals, products, rates,
// summing triggers), logged in as "admin"; records are written through the editors the cards use.
class AtrFixture : public AdminFixture
{
protected:
    Variant Scalar(const QString &text, const Values &params = {}) { return repo.Scalar(text, params); }
    int Count(const QString &text, const Values &params = {}) { return Scalar(text, params).toInt(); }
    int Rows(const QString &table) { return Count("select count(*) from " + table); }
    Variant Column(const QString &table, const QString &column, const Variant &id)
    {
        return Scalar("select " + column + " from " + table + " where " + table + "_ID = :ID", {{"ID", id}});
    }
    // The key of the row of TABLE whose COLUMN holds the value.
    Variant Key(const QString &table, const QString &column, const Variant &value)
    {
        return Scalar("select " + table + "_ID from " + table + " where " + column + " = :V", {{"V", value}});
    }
    TObj *O(const QString &table) const { return db.ObjList->GetObjByTable(table); }
    TFld *F(const QString &table, const QString &field) const { return O(table)->GetFldByName(field); }
    TObjLink *Link(const QString &master, const QString &name) const { return O(master)->ChildList->GetByName(name); }
    static TAtrItem *I(TAtr &atr, const QString &field) { return atr.GetAddByFldName(field); }
    static Variant V(TAtr &atr, const QString &field) { return atr.GetAddByFldName(field)->Value(); }

    // A new record's editor, its values set one by one as a card sets them.
    template <typename TEditor = TAtr>
    std::unique_ptr<TEditor> New(const QString &table, const Values &values = {}, TObjLink *under = nullptr,
                                 const Variant &master = Variant::Null())
    {
        auto atr = std::make_unique<TEditor>();
        atr->SetObj(O(table));
        atr->SetDefaultValues(under, master);
        for (const auto &[field, value] : values)
            I(*atr, field)->SetValue(value);
        return atr;
    }
    // A stored record's editor, with items for the fields its card shows.
    template <typename TEditor = TAtr>
    std::unique_ptr<TEditor> Load(const QString &table, const Variant &id, const QStringList &fields = {})
    {
        auto atr = std::make_unique<TEditor>();
        atr->SetObj(O(table));
        for (const QString &field : fields)
            atr->GetAddByFldName(field);
        atr->SetRecId(id);
        return atr;
    }
    // What a card's OK does: the caller's transaction around Post and Commit.
    void Save(TAtr &atr)
    {
        db.StartTransaction();
        try {
            atr.Post();
            atr.Commit();
        } catch (...) {
            db.RollbackChanges();
            throw;
        }
    }
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
