#pragma once

#include "DBFixture.h"
#include "Fld.h"
#include "FldTreeItem.h"
#include "IBSQL.h"
#include "ModalScript.h"
#include "Obj.h"
#include "WinToolBar.h"

#include <QSet>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace korvenix_test {

// The initial repository, logged in as the administrator, and a shown window hosting the editors.
class ConfigFixture : public DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
        db.Init();
        db.Login("admin", "");
        host.resize(400, 500);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    TObj *O(const QString &table) const { return db.ObjList->GetObjByTable(table); }
    TFld *F(const QString &table, const QString &field) const { return O(table)->GetFldByName(field); }

public:
    // The node reached from the top level through the fields named (FLD_FIELD), or nil.
    static QTreeWidgetItem *Node(QTreeWidget *vt, const QStringList &fields)
    {
        QTreeWidgetItem *node = vt->invisibleRootItem();
        for (const QString &field : fields) {
            QTreeWidgetItem *parent = node;
            node = nullptr;
            for (int i = 0; i < parent->childCount() && !node; ++i)
                if (FldItem(parent->child(i))->Fld->Field() == field)
                    node = parent->child(i);
            if (!node)
                return nullptr;
        }
        return node;
    }
protected:
    static QStringList Texts(QTreeWidget *vt, QTreeWidgetItemIterator::IteratorFlags flags = QTreeWidgetItemIterator::All)
    {
        QStringList texts;
        for (QTreeWidgetItemIterator it(vt, flags); *it; ++it)
            texts << (*it)->text(0);
        return texts;
    }
    static int Boxes(QTreeWidget *vt)
    {
        int boxes = 0;
        for (QTreeWidgetItemIterator it(vt); *it; ++it)
            boxes += (*it)->data(0, Qt::CheckStateRole).isValid();
        return boxes;
    }
    // The first column of every row of a select, as a set: the select fixes no order.
    QSet<int> Ints(const QString &text)
    {
        auto sql = db.CreateIBSQLS();
        TCloseGuard closer(*sql);
        sql->SetSQL(text);
        QSet<int> values;
        for (sql->ExecQuery(); !sql->Eof(); sql->Next())
            values << sql->Field(0).toInt();
        return values;
    }
    static void Click(TWinToolBar &bar, TBtnType type) { QTest::mouseClick(bar.GetByBtnType(type)->Widget(), Qt::LeftButton); }

    QWidget host;
};

} // namespace korvenix_test
