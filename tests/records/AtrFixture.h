#pragma once

#include "Atr.h"
#include "Fld.h"
#include "Formula.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "DBFixture.h"
#include "ObjLink.h"
#include "RepoBuilder.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace korvenix_test {

// A formula node for FRMLTREE: a function by code name over operands, a field "TABLE.FIELD"
// of the formula's own record, or a constant.
struct FNode {
    QString Func, Fld, Value;
    QList<FNode> Kids;
};
inline FNode Fn(const QString &func, const QList<FNode> &kids) { return {func, {}, {}, kids}; }
inline FNode Fv(const QString &fld) { return {{}, fld, {}, {}}; }
inline FNode Cn(const QString &value) { return {{}, {}, value, {}}; }

// A fresh copy of the template database as it ships (repository, demo deals, products, rates,
// summing triggers), logged in as "admin".
class AtrFixture : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        db.Init();
        db.Login("admin", "");
    }
    void TearDown() override
    {
        db.RollbackChanges();
        DBFixture::TearDown();
    }

    Variant Scalar(const QString &text, const QList<std::pair<QString, Variant>> &params = {})
    {
        return repo.Scalar(text, params);
    }
    Variant Column(const QString &table, const QString &column, const Variant &id)
    {
        return Scalar("select " + column + " from " + table + " where " + table + "_ID = :ID", {{"ID", id}});
    }
    // The key of the row of TABLE whose COLUMN holds the value.
    Variant Key(const QString &table, const QString &column, const Variant &value)
    {
        return Scalar("select " + table + "_ID from " + table + " where " + column + " = :V", {{"V", value}});
    }
    // Replaces the formula of "TABLE.FIELD"; the next db.Init() reads it.
    void SetFormula(const QString &fld, const FNode &root)
    {
        repo.Exec("delete from FRMLTREE where FLD_ID = (" + FldIdSql + ")", {{"F", fld}});
        repo.Exec("update FLD set FLD_FRMLHAVE = 1 where FLD_ID = (" + FldIdSql + ")", {{"F", fld}});
        int counter = 0;
        InsertNode(fld, root, counter);
    }

    TObj *O(const QString &table) const { return db.ObjList->GetObjByTable(table); }
    TFld *F(const QString &table, const QString &field) const { return O(table)->GetFldByName(field); }
    TObjLink *Link(const QString &master, const QString &name) const { return O(master)->ChildList->GetByName(name); }
    // An editor on the object with items for the fields a card would show.
    std::unique_ptr<TAtr> Editor(const QString &table, const QStringList &fields = {})
    {
        auto atr = std::make_unique<TAtr>();
        atr->SetObj(O(table));
        for (const QString &field : fields)
            atr->GetAddByFldName(field);
        return atr;
    }
    static TAtrItem *I(TAtr &atr, const QString &field) { return atr.GetAddByFldName(field); }
    static Variant V(TAtr &atr, const QString &field) { return atr.GetAddByFldName(field)->Value(); }
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


private:
    inline static const QString FldIdSql = "select F.FLD_ID from FLD F join OBJ O on O.OBJ_ID = F.OBJ_ID "
                                           "where O.OBJ_TABLE || '.' || F.FLD_FIELD = :F";
    void InsertNode(const QString &owner, const FNode &node, int &counter)
    {
        const int lft = ++counter;
        for (const FNode &kid : node.Kids)
            InsertNode(owner, kid, counter);
        repo.Exec("insert into FRMLTREE (FRMLTREE_ID, FLD_ID, FRMLTREE_LFT, FRMLTREE_RGT, FRMLFUNC_ID, FLD_ID_VALUE, "
                  "FRMLTREE_VALUE) values (next value for FRMLTREE_ID, (" + FldIdSql + "), :L, :R, "
                  "(select FRMLFUNC_ID from FRMLFUNC where FRMLFUNC_NAME = :FUNC), (" +
                      QString(FldIdSql).replace(":F", ":V") + "), :VAL)",
                  {{"F", owner}, {"L", lft}, {"R", ++counter}, {"FUNC", node.Func}, {"V", node.Fld},
                   {"VAL", node.Value.isEmpty() ? Variant::Null() : Variant(node.Value)}});
    }
};

} // namespace korvenix_test
