// The initial database: the repository's description of its own tables and of the demo
// business must agree with the schema Firebird holds, and everything it describes must load
// through the program's own loaders.
//
// Each schema check lists the problems it finds. The fresh database must give none; the
// *Fails* tests break one row or schema object in their copy and expect the check to name it,
// so a check that cannot fail is caught too.

#include "Card.h"
#include "DetBook.h"
#include "FilterList.h"
#include "Fld.h"
#include "Formula.h"
#include "IBSQL.h"
#include "Obj.h"
#include "ObjLink.h"
#include "Sql.h"
#include "Tbl.h"

#include "DBFixture.h"

#include <QHash>
#include <QMultiMap>
#include <QSet>
#include <gtest/gtest.h>
#include <algorithm>

namespace {

using Row = QList<Variant>;
using Rows = QList<Row>;
using Params = QList<std::pair<QString, Variant>>;

QString Str(const Variant &v)
{
    return v.isEmptyOrNull() ? QString() : v.toString();
}

int Int(const Variant &v)
{
    return v.isEmptyOrNull() ? 0 : v.toInt();
}

::testing::AssertionResult NoProblems(const QStringList &problems)
{
    if (problems.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problems.join('\n').toStdString();
}

// Passes when some problem holds `part`, fails listing them all.
::testing::AssertionResult Names(const QStringList &problems, const QString &part)
{
    if (std::any_of(problems.begin(), problems.end(), [&](const QString &p) { return p.contains(part); }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no \"" << part.toStdString() << "\" among:\n" << problems.join('\n').toStdString();
}

class InitialRepositoryTest : public korvenix_test::DBFixture
{
protected:
    Rows Select(const QString &text, const Params &params = {})
    {
        auto sql = db.CreateIBSQLS();
        sql->SetSQL(text);
        for (const auto &[name, value] : params)
            sql->ParamByName(name) = value;
        Rows rows;
        for (sql->ExecQuery(); !sql->Eof(); sql->Next()) {
            Row row;
            for (int i = 0; i < sql->FieldCount(); ++i)
                row << sql->Field(i);
            rows << row;
        }
        sql->Close();
        return rows;
    }

    // The first column of a select's rows.
    QSet<QString> Strings(const QString &text)
    {
        QSet<QString> strings;
        for (const Row &r : Select(text))
            strings << Str(r[0]);
        return strings;
    }

    // The fields of the repository: 0 FLD_ID, 1 OBJ_TABLE, 2 FLD_FIELD, 3 type name, 4 FLD_SIZE,
    // 5 FLD_NOTNULL, 6 FLD_DEF0, 7 FLD_VIRT.
    Rows Fields()
    {
        return Select(QStringLiteral(
            "select F.FLD_ID, O.OBJ_TABLE, F.FLD_FIELD, T.FLDTYPE_NAME, F.FLD_SIZE, F.FLD_NOTNULL, F.FLD_DEF0, F.FLD_VIRT "
            "from FLD F join OBJ O on O.OBJ_ID = F.OBJ_ID left join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID"));
    }

    // Every object has its table, and every user table is an object.
    QStringList CheckTables()
    {
        QStringList problems;
        const QSet<QString> tables = Strings("select trim(RDB$RELATION_NAME) from RDB$RELATIONS "
                                             "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$VIEW_BLR is null");
        const QSet<QString> described = Strings("select OBJ_TABLE from OBJ");
        for (const QString &table : described - tables)
            problems << QStringLiteral("object of table %1: no such table").arg(table);
        for (const QString &table : tables - described)
            problems << QStringLiteral("table %1 is not described by an object").arg(table);
        return problems;
    }

    // Every field has a type; every stored field its column on the domain of its type (a
    // varchar of FLD_SIZE for strings), not null and default 0 exactly as the row says; no
    // virtual field a column; every column of a described table its field.
    QStringList CheckColumns()
    {
        QHash<QString, Row> columns;   // table.column -> domain, type, length, not null, default
        for (const Row &r : Select(QStringLiteral(
                 "select trim(RF.RDB$RELATION_NAME), trim(RF.RDB$FIELD_NAME), trim(RF.RDB$FIELD_SOURCE), "
                 "F.RDB$FIELD_TYPE, F.RDB$CHARACTER_LENGTH, "
                 "iif(coalesce(RF.RDB$NULL_FLAG, 0) = 1 or coalesce(F.RDB$NULL_FLAG, 0) = 1, 1, 0), "
                 "cast(RF.RDB$DEFAULT_SOURCE as varchar(200)) "
                 "from RDB$RELATION_FIELDS RF join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE")))
            columns.insert(Str(r[0]) + '.' + Str(r[1]), r.mid(2));
        static const QHash<QString, QString> domains{
            {"PK", "PK"},         {"FK", "FK"},         {"Integ", "INTEG"},   {"Boolean", "BOOL"},
            {"Num182", "NUM182"}, {"Num183", "NUM183"}, {"Num184", "NUM184"}, {"Date", "DATEONLY"}};
        QStringList problems;
        QSet<QString> described;
        for (const Row &f : Fields()) {
            const QString name = Str(f[1]) + '.' + Str(f[2]);
            const QString type = Str(f[3]);
            if (type.isEmpty()) {
                problems << name + ": no field type";
                continue;
            }
            if (Int(f[7]) == 1) {
                if (columns.contains(name))
                    problems << name + ": virtual, yet the table has the column";
                continue;
            }
            described << name;
            if (!columns.contains(name)) {
                problems << name + ": no such column";
                continue;
            }
            const Row &c = columns[name];
            const bool sized = type == "String" || type == "ObjTempl";
            if (sized ? (Int(c[1]) != 37 || Int(c[2]) != Int(f[4])) : (Str(c[0]) != domains.value(type) || Int(f[4]) != 0))
                problems << name + QStringLiteral(": %1 of size %2, the column is on %3 (type %4, length %5)")
                                       .arg(type).arg(Int(f[4])).arg(Str(c[0])).arg(Int(c[1])).arg(Int(c[2]));
            if (Int(f[5]) != Int(c[3]))
                problems << name + QStringLiteral(": FLD_NOTNULL %1, the column's not null %2").arg(Int(f[5])).arg(Int(c[3]));
            if ((Int(f[6]) == 1) != (Str(c[4]).simplified().compare("default 0", Qt::CaseInsensitive) == 0))
                problems << name + QStringLiteral(": FLD_DEF0 %1, the column's default is \"%2\"").arg(Int(f[6])).arg(Str(c[4]));
        }
        const QSet<QString> tables = Strings("select OBJ_TABLE from OBJ");
        for (auto it = columns.begin(); it != columns.end(); ++it)
            if (tables.contains(it.key().section('.', 0, 0)) && !described.contains(it.key()))
                problems << it.key() + ": column without a field row";
        return problems;
    }

    // Every object has one key field, the primary key PK_<key> on that column alone, and the
    // sequence named like the key column standing at or past the highest key in the table.
    QStringList CheckKeys()
    {
        QHash<QString, QString> primaryKeys;   // table -> "constraint(column)"
        for (const Row &r : Select(QStringLiteral(
                 "select trim(C.RDB$RELATION_NAME), trim(C.RDB$CONSTRAINT_NAME), min(trim(S.RDB$FIELD_NAME)), count(*) "
                 "from RDB$RELATION_CONSTRAINTS C join RDB$INDEX_SEGMENTS S on S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                 "where C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' group by 1, 2")))
            primaryKeys.insert(Str(r[0]), QStringLiteral("%1(%2 and %3 more)").arg(Str(r[1]), Str(r[2])).arg(Int(r[3]) - 1));
        const QSet<QString> sequences = Strings("select trim(RDB$GENERATOR_NAME) from RDB$GENERATORS where coalesce(RDB$SYSTEM_FLAG, 0) = 0");
        QStringList problems;
        for (const Row &r : Select(QStringLiteral(
                 "select O.OBJ_TABLE, count(F.FLD_ID), max(F.FLD_FIELD) from OBJ O left join FLD F on F.OBJ_ID = O.OBJ_ID "
                 "and F.FLDTYPE_ID = (select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = 'PK') group by O.OBJ_TABLE"))) {
            const QString table = Str(r[0]), key = Str(r[2]);
            if (Int(r[1]) != 1) {
                problems << table + QStringLiteral(": %1 key fields").arg(Int(r[1]));
                continue;
            }
            if (primaryKeys.value(table) != QStringLiteral("PK_%1(%1 and 0 more)").arg(key))
                problems << table + QStringLiteral(": primary key %1, key field %2").arg(primaryKeys.value(table), key);
            if (!sequences.contains(key)) {
                problems << table + QStringLiteral(": no sequence %1").arg(key);
                continue;
            }
            const int maxId = Int(repo.Scalar(QStringLiteral("select max(%1) from %2").arg(key, table)));
            const int current = Int(repo.Scalar(QStringLiteral("select gen_id(%1, 0) from RDB$DATABASE").arg(key)));
            if (current < maxId)
                problems << table + QStringLiteral(": sequence %1 at %2, below the key %3").arg(key).arg(current).arg(maxId);
        }
        return problems;
    }

    // Every stored link field has one link row, and its table the foreign key
    // FK_<table>_<column> on that column alone to the key of the link's master, deleting by
    // the link's rule, updating in cascade. Every link names a stored link field; every foreign
    // key of a described table belongs to one.
    QStringList CheckLinks()
    {
        QHash<QString, Row> fks;   // table.column -> name, master.column, delete rule, update rule, columns
        for (const Row &r : Select(QStringLiteral(
                 "select trim(C.RDB$RELATION_NAME), trim(S.RDB$FIELD_NAME), trim(C.RDB$CONSTRAINT_NAME), "
                 "trim(M.RDB$RELATION_NAME) || '.' || trim(MS.RDB$FIELD_NAME), trim(R.RDB$DELETE_RULE), "
                 "trim(R.RDB$UPDATE_RULE), "
                 "(select count(*) from RDB$INDEX_SEGMENTS X where X.RDB$INDEX_NAME = C.RDB$INDEX_NAME) "
                 "from RDB$RELATION_CONSTRAINTS C "
                 "join RDB$REF_CONSTRAINTS R on R.RDB$CONSTRAINT_NAME = C.RDB$CONSTRAINT_NAME "
                 "join RDB$INDEX_SEGMENTS S on S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                 "join RDB$RELATION_CONSTRAINTS M on M.RDB$CONSTRAINT_NAME = R.RDB$CONST_NAME_UQ "
                 "join RDB$INDEX_SEGMENTS MS on MS.RDB$INDEX_NAME = M.RDB$INDEX_NAME "
                 "where C.RDB$CONSTRAINT_TYPE = 'FOREIGN KEY'")))
            fks.insert(Str(r[0]) + '.' + Str(r[1]), r.mid(2));
        static const QHash<QString, QStringList> rules{
            {"NoAction", {"RESTRICT", "NO ACTION"}}, {"Cascade", {"CASCADE"}}, {"SetNull", {"SET NULL"}}};
        QStringList problems;
        QSet<QString> linkFields;
        for (const Row &f : Fields()) {
            if (Str(f[3]) != "FK" || Int(f[7]) == 1)
                continue;
            const QString name = Str(f[1]) + '.' + Str(f[2]);
            linkFields << name;
            const Rows links = Select(QStringLiteral(
                "select M.OBJ_TABLE || '.' || K.FLD_FIELD, R.FKRULE_NAME from DEP D join OBJ M on M.OBJ_ID = D.OBJ_ID "
                "join FLD K on K.OBJ_ID = M.OBJ_ID join FLDTYPE T on T.FLDTYPE_ID = K.FLDTYPE_ID and T.FLDTYPE_NAME = 'PK' "
                "left join FKRULE R on R.FKRULE_ID = D.FKRULE_ID where D.FLD_ID = :F"),
                {{"F", f[0]}});
            if (links.size() != 1) {
                problems << name + QStringLiteral(": %1 link rows").arg(links.size());
                continue;
            }
            if (!fks.contains(name)) {
                problems << name + ": no foreign key";
                continue;
            }
            const Row &fk = fks[name];
            const QString master = Str(links[0][0]), rule = Str(links[0][1]);
            if (Str(fk[0]) != "FK_" + QString(name).replace('.', '_') || Int(fk[4]) != 1)
                problems << name + QStringLiteral(": foreign key %1 on %2 columns").arg(Str(fk[0])).arg(Int(fk[4]));
            if (Str(fk[1]) != master)
                problems << name + QStringLiteral(": foreign key to %1, the link's master is %2").arg(Str(fk[1]), master);
            if (!rules.value(rule).contains(Str(fk[2])))
                problems << name + QStringLiteral(": link rule %1, the foreign key deletes %2").arg(rule, Str(fk[2]));
            if (Str(fk[3]) != "CASCADE")
                problems << name + QStringLiteral(": foreign key updates %1").arg(Str(fk[3]));
        }
        for (const Row &r : Select(QStringLiteral(
                 "select D.DEP_NAME from DEP D join FLD F on F.FLD_ID = D.FLD_ID left join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID "
                 "where T.FLDTYPE_NAME is distinct from 'FK' or F.FLD_VIRT = 1")))
            problems << QStringLiteral("link %1: its field is no stored link field").arg(Str(r[0]));
        const QSet<QString> tables = Strings("select OBJ_TABLE from OBJ");
        for (auto it = fks.begin(); it != fks.end(); ++it)
            if (tables.contains(it.key().section('.', 0, 0)) && !linkFields.contains(it.key()))
                problems << it.key() + QStringLiteral(": foreign key %1 without a stored link field").arg(Str(it.value()[0]));
        return problems;
    }

    // The text of one of the three triggers of a summing field, as the field editor writes it:
    // master M with key P and sum F, detail link column L, summed column A.
    static QString SummingTrigger(const QString &kind, const QString &M, const QString &P, const QString &F,
                                  const QString &L, const QString &A)
    {
        const auto change = [&](const QString &indent, const QString &rec, const QString &op) {
            return QStringList{indent + QStringLiteral("if (%1.%2 <> 0) then").arg(rec, A),
                               indent + QStringLiteral("  update %1 T").arg(M),
                               indent + QStringLiteral("  set T.%1 = T.%1 %2 %3.%4").arg(F, op, rec, A),
                               indent + QStringLiteral("  where T.%1 = %2.%3;").arg(P, rec, L)};
        };
        QStringList lines{"AS", "begin"};
        if (kind == "AI")
            lines << change("  ", "NEW", "+");
        else if (kind == "AD")
            lines << change("  ", "OLD", "-");
        else
            lines << QStringLiteral("  if (NEW.%1 = OLD.%1) then").arg(L) << QStringLiteral("    if (NEW.%1 <> OLD.%1) then").arg(A)
                  << QStringLiteral("      update %1 T").arg(M)
                  << QStringLiteral("      set T.%1 = T.%1 + NEW.%2 - OLD.%2").arg(F, A)
                  << QStringLiteral("      where T.%1 = NEW.%2;").arg(P, L) << "    else" << "    begin" << "    end"
                  << "  else" << "    begin" << change("      ", "OLD", "-") << change("      ", "NEW", "+") << "    end";
        lines << "end";
        return lines.join('\n');
    }

    // Every stored summing field sums a field of its own type in the detail of one of its own
    // object's links, has its three triggers F_AI, F_AD, F_AU on the detail table with the field
    // editor's text, and holds the sum of its detail rows.
    QStringList CheckSummingFields()
    {
        QStringList problems;
        const Rows rows = Select(QStringLiteral(
            "select O.OBJ_TABLE, F.FLD_FIELD, K.FLD_FIELD, DO.OBJ_TABLE, L.FLD_FIELD, A.FLD_FIELD, "
            "iif(D.OBJ_ID = F.OBJ_ID and A.OBJ_ID = L.OBJ_ID and A.FLDTYPE_ID = F.FLDTYPE_ID, 1, 0) "
            "from FLD F join OBJ O on O.OBJ_ID = F.OBJ_ID "
            "join FLD K on K.OBJ_ID = O.OBJ_ID and K.FLDTYPE_ID = (select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = 'PK') "
            "join DEP D on D.DEP_ID = F.DEP_ID_AGR join FLD L on L.FLD_ID = D.FLD_ID join OBJ DO on DO.OBJ_ID = L.OBJ_ID "
            "left join FLD A on A.FLD_ID = F.FLD_ID_AGR where F.FLD_VIRT = 0"));
        static const QHash<QString, int> triggerTypes{{"AI", 2}, {"AU", 4}, {"AD", 6}};
        for (const Row &r : rows) {
            const QString M = Str(r[0]), F = Str(r[1]), P = Str(r[2]), D = Str(r[3]), L = Str(r[4]), A = Str(r[5]);
            const QString name = M + '.' + F;
            if (Int(r[6]) != 1) {
                problems << name + QStringLiteral(": sums %1.%2, no field of its type in a detail of its own").arg(D, A);
                continue;
            }
            for (const QString kind : {"AI", "AD", "AU"}) {
                const Rows trigger = Select(QStringLiteral(
                    "select trim(RDB$RELATION_NAME), RDB$TRIGGER_TYPE, coalesce(RDB$TRIGGER_INACTIVE, 0), "
                    "RDB$TRIGGER_SEQUENCE, cast(RDB$TRIGGER_SOURCE as varchar(8000)) from RDB$TRIGGERS "
                    "where RDB$TRIGGER_NAME = :N"),
                    {{"N", F + '_' + kind}});
                if (trigger.isEmpty())
                    problems << name + QStringLiteral(": no trigger %1_%2").arg(F, kind);
                else if (Str(trigger[0][0]) != D || Int(trigger[0][1]) != triggerTypes[kind] || Int(trigger[0][2]) != 0 ||
                         Int(trigger[0][3]) != 0 ||
                         Str(trigger[0][4]).replace("\r\n", "\n").trimmed() != SummingTrigger(kind, M, P, F, L, A))
                    problems << name + QStringLiteral(": trigger %1_%2 differs from the field editor's").arg(F, kind);
            }
            const int wrong = Int(repo.Scalar(QStringLiteral(
                "select count(*) from %1 T1 where T1.%2 <> coalesce((select sum(T2.%3) from %4 T2 where T2.%5 = T1.%6), 0)")
                                          .arg(M, F, A, D, L, P)));
            if (wrong != 0)
                problems << name + QStringLiteral(": %1 rows do not hold the sum of their details").arg(wrong);
        }
        if (rows.size() != Int(repo.Scalar("select count(*) from FLD where DEP_ID_AGR is not null and FLD_VIRT = 0")))
            problems << "a summing field whose link, detail or key cannot be read";
        return problems;
    }

    // Links are found by name, and two "Данные" items with one caption cannot be told apart.
    QStringList CheckUniqueNames()
    {
        QStringList problems;
        for (const auto &[what, select] :
             {std::pair{"link name", "select DEP_NAME, count(*) from DEP group by DEP_NAME having count(*) > 1"},
              {"short caption", "select OBJ_CAPT2, count(*) from OBJ group by OBJ_CAPT2 having count(*) > 1"}})
            for (const Row &r : Select(QString::fromUtf8(select)))
                problems << QStringLiteral("%1 %2 used %3 times").arg(what, Str(r[0])).arg(Int(r[1]));
        return problems;
    }
};

// The fresh database passes every check; then each check names what is broken in its copy.
TEST_F(InitialRepositoryTest, TheSchemaAgreesWithTheRepositoryAndEachCheckNamesABreak)
{
    EXPECT_TRUE(NoProblems(CheckTables()));
    EXPECT_TRUE(NoProblems(CheckColumns()));
    EXPECT_TRUE(NoProblems(CheckKeys()));
    EXPECT_TRUE(NoProblems(CheckLinks()));
    EXPECT_TRUE(NoProblems(CheckSummingFields()));
    EXPECT_TRUE(NoProblems(CheckUniqueNames()));
    EXPECT_GE(Int(repo.Scalar("select count(*) from FLD where DEP_ID_AGR is not null")), 5);

    for (const char *text :
         {"update FLD set FLD_SIZE = FLD_SIZE + 1 where FLD_FIELD = 'OBJ_TABLE'",
          "update FLD set FLDTYPE_ID = (select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = 'Integ') where FLD_FIELD = 'PRODUCT_PRICE'",
          "update FLD set FLD_NOTNULL = 0 where FLD_FIELD = 'PRODUCT_NAME'", "update FLD set FLD_DEF0 = 0 where FLD_FIELD = 'CONTRAG_BUYER'",
          "delete from FLD where FLD_FIELD = 'UNIT_FULL'", "update FLD set FLDTYPE_ID = null where FLD_FIELD = 'DEAL_NOTE'",
          "drop sequence UNIT_ID", "alter sequence CONTRAG_ID restart with 2",
          "update DEP set FKRULE_ID = (select FKRULE_ID from FKRULE where FKRULE_NAME = 'Cascade') where DEP_NAME = 'Contrag-Deal'",
          "alter table DEALSHIP drop constraint FK_DEALSHIP_DEAL_ID",
          "update DEP set OBJ_ID = (select OBJ_ID from OBJ where OBJ_TABLE = 'UNIT') where DEP_NAME = 'Curr-Product'",
          "drop trigger DEAL_SUM_AU", "alter trigger DEALPROD_PAID_AI as begin end",
          "update DEALSHIP set DEALSHIP_CNT = DEALSHIP_CNT + 1 where DEALSHIP_ID = (select min(DEALSHIP_ID) from DEALSHIP)",
          "update OBJ set OBJ_CAPT2 = (select OBJ_CAPT2 from OBJ where OBJ_TABLE = 'PRODUCT') where OBJ_TABLE = 'DEALPROD'"})
        repo.Exec(text);
    const QStringList columns = CheckColumns();
    EXPECT_TRUE(Names(columns, "OBJ.OBJ_TABLE: String of size 32"));
    EXPECT_TRUE(Names(columns, "PRODUCT.PRODUCT_PRICE: Integ of size 0, the column is on NUM182"));
    EXPECT_TRUE(Names(columns, "PRODUCT.PRODUCT_NAME: FLD_NOTNULL 0"));
    EXPECT_TRUE(Names(columns, "CONTRAG.CONTRAG_BUYER: FLD_DEF0 0"));
    EXPECT_TRUE(Names(columns, "UNIT.UNIT_FULL: column without a field row"));
    EXPECT_TRUE(Names(columns, "DEAL.DEAL_NOTE: no field type"));
    const QStringList keys = CheckKeys();
    EXPECT_TRUE(Names(keys, "UNIT: no sequence UNIT_ID"));
    EXPECT_TRUE(Names(keys, "CONTRAG: sequence CONTRAG_ID at 2"));
    const QStringList links = CheckLinks();
    EXPECT_TRUE(Names(links, "DEAL.CONTRAG_ID: link rule Cascade, the foreign key deletes NO ACTION"));
    EXPECT_TRUE(Names(links, "DEALSHIP.DEAL_ID: no foreign key"));
    EXPECT_TRUE(Names(links, "PRODUCT.CURR_ID: foreign key to CURR.CURR_ID, the link's master is UNIT.UNIT_ID"));
    const QStringList sums = CheckSummingFields();
    EXPECT_TRUE(Names(sums, "DEAL.DEAL_SUM: no trigger DEAL_SUM_AU"));
    EXPECT_TRUE(Names(sums, "DEALPROD.DEALPROD_PAID: trigger DEALPROD_PAID_AI differs"));
    EXPECT_TRUE(Names(sums, "DEALSHIP.DEALSHIP_CNT: 1 rows do not hold the sum"));
    EXPECT_TRUE(Names(CheckUniqueNames(), "used 2 times"));
}

TEST_F(InitialRepositoryTest, TableCheckNamesATableWithoutObjectAndAnObjectWithoutTable)
{
    repo.Exec("create table STRAY (STRAY_ID integer)");
    repo.Exec("update OBJ set OBJ_TABLE = 'GONE' where OBJ_TABLE = 'UNIT'");
    const QStringList problems = CheckTables();
    EXPECT_TRUE(Names(problems, "table STRAY is not described"));
    EXPECT_TRUE(Names(problems, "table UNIT is not described"));
    EXPECT_TRUE(Names(problems, "object of table GONE: no such table"));
}

// The load joins fields, links, formulas and templates read table by table in memory: every row
// ends up once, with its own object, and every formula and template can be used.
TEST_F(InitialRepositoryTest, TheRepositoryLoadsWholeAndAdminLogsIn)
{
    db.Init();
    db.Login("admin", "");
    EXPECT_EQ(db.CurrentUserName, "Администратор");
    EXPECT_EQ(db.ObjList->Count(), Int(repo.Scalar("select count(*) from OBJ")));
    const auto idsOf = [&](const QString &text) {
        QMultiMap<int, int> ids;   // owner -> row
        for (const Row &row : Select(text))
            ids.insert(Int(row[0]), Int(row[1]));
        return ids;
    };
    const QMultiMap<int, int> fields = idsOf("select OBJ_ID, FLD_ID from FLD");
    const QMultiMap<int, int> links = idsOf("select OBJ_ID, DEP_ID from DEP");
    const QMultiMap<int, int> linksAsDetail = idsOf("select F.OBJ_ID, D.DEP_ID from DEP D join FLD F on F.FLD_ID = D.FLD_ID");
    const auto sorted = [](QList<int> ids) {
        std::sort(ids.begin(), ids.end());
        return ids;
    };
    for (TObj *obj : *db.ObjList) {
        SCOPED_TRACE(obj->Table().toStdString());
        QList<int> own, children, parents;
        for (TFld *fld : *obj->FldList) {
            own << fld->Id();
            SCOPED_TRACE(fld->Field().toStdString());
            if (fld->FldType() == TFldType::ftFK) {
                EXPECT_EQ(fld->FKObj() == nullptr, fld->Virt());
            }
            if (!fld->DepIdAgr().isNull()) {
                EXPECT_NE(fld->AgrFld(), nullptr);
            }
            ASSERT_EQ(fld->FormulaHave(), fld->Formula->FormulaTreeRoot != nullptr);
            if (fld->FormulaHave()) {
                EXPECT_NO_THROW(fld->Formula->Text());
            }
        }
        for (TObjLink *link : *obj->ChildList)
            children << link->Id();
        for (TObjLink *link : *obj->ParentList)
            parents << link->Id();
        ASSERT_NE(obj->PKFld, nullptr);
        EXPECT_EQ(sorted(own), sorted(fields.values(obj->Id())));
        EXPECT_EQ(sorted(children), sorted(links.values(obj->Id())));
        EXPECT_EQ(sorted(parents), sorted(linksAsDetail.values(obj->Id())));
        const Variant last = repo.Scalar(QStringLiteral("select max(%1) from %2").arg(obj->PKFld->Field(), obj->Table()));
        EXPECT_NO_THROW(obj->GetValueById(Int(last)));
    }
}

// Every object opens with its current view and card, every detail link with its view, every
// object with details with its book; every view, card and book loads, and the select the
// builder makes of each view with its always-on filters runs. A default view returns every row
// of its table: a required link is joined inner, so a wrong not-null flag would lose rows.
TEST_F(InitialRepositoryTest, EveryViewCardAndBookLoadsAndEveryViewsSelectRuns)
{
    db.Init();
    db.Login("admin", "");
    TTbl tbl;
    TCard card;
    TDetBook book;
    tbl.RaiseLoad = card.RaiseLoad = book.RaiseLoad = true;
    for (TObj *obj : *db.ObjList) {
        SCOPED_TRACE(obj->Table().toStdString());
        EXPECT_NO_THROW(tbl.LoadCurrent(obj, nullptr, db.CurrentUserId));
        EXPECT_NO_THROW(card.LoadCurrent(obj, db.CurrentUserId));
        for (TObjLink *link : *obj->ChildList)
            if (link->Det()) {
                EXPECT_NO_THROW(tbl.LoadCurrent(nullptr, link, db.CurrentUserId));
                EXPECT_NO_THROW(book.LoadCurrent(obj, db.CurrentUserId));
            }
    }
    for (const Row &r : Select("select T.TBL_ID, O.OBJ_TABLE, iif(T.TBL_DEFAULT = 1 and T.DEP_ID is null, 1, 0) from TBL T "
                               "left join OBJ O on O.OBJ_ID = T.OBJ_ID")) {
        SCOPED_TRACE(QStringLiteral("view %1").arg(Int(r[0])).toStdString());
        EXPECT_NO_THROW({
            TTbl view;
            view.RaiseLoad = true;
            view.LoadById(Int(r[0]));
            TSQL sql;
            sql.SetObj(view.GetObj());
            sql.AddTbl(view);
            TFilterList filters(true);
            filters.Load(view);
            for (TFilter *filter : filters)
                sql.AddFilter(filter);
            auto select = db.CreateIBSQLS();
            select->SetSQL(sql.GetSelectSQL());
            sql.SetParams(*select);
            int rows = 0;
            for (select->ExecQuery(); !select->Eof(); select->Next())
                ++rows;
            if (Int(r[2]) == 1) {
                EXPECT_EQ(rows, Int(repo.Scalar(QStringLiteral("select count(*) from %1").arg(Str(r[1])))));
            }
        });
    }
    for (const Row &r : Select("select CARD_ID from CARD")) {
        EXPECT_NO_THROW(card.LoadById(Int(r[0]))) << "card " << Int(r[0]);
        EXPECT_NE(card.RootCtrlTree, nullptr) << "card " << Int(r[0]);
    }
    for (const Row &r : Select("select B.DETBOOK_ID, count(D.DETDEP_ID) from DETBOOK B left join DETDEP D "
                               "on D.DETBOOK_ID = B.DETBOOK_ID group by B.DETBOOK_ID")) {
        EXPECT_NO_THROW(book.LoadById(Int(r[0]))) << "detail book " << Int(r[0]);
        EXPECT_EQ(book.ObjLinkList.Count(), Int(r[1])) << "detail book " << Int(r[0]);
    }
}

// Deleting a deal takes its products, payments, shipments and their parts along, and the
// triggers lower the counterparty's turnover.
TEST_F(InitialRepositoryTest, DeletingADealCascadesAndKeepsTheSums)
{
    const Rows deal = Select("select first 1 DEAL_ID, CONTRAG_ID, DEAL_SUM from DEAL D where DEAL_SUM > 0 "
                             "and exists (select 1 from DEALSHIP S where S.DEAL_ID = D.DEAL_ID)");
    ASSERT_EQ(deal.size(), 1);
    const Params contrag{{"C", deal[0][1]}};
    const Variant turnover = repo.Scalar("select CONTRAG_TURN from CONTRAG where CONTRAG_ID = :C", contrag);
    repo.Exec("delete from DEAL where DEAL_ID = :D", {{"D", deal[0][0]}});
    EXPECT_EQ(Int(repo.Scalar("select count(*) from DEALPROD where DEAL_ID = :D", {{"D", deal[0][0]}})), 0);
    EXPECT_EQ(repo.Scalar("select CONTRAG_TURN from CONTRAG where CONTRAG_ID = :C", contrag).toCurrencyScaled(),
              turnover.toCurrencyScaled() - deal[0][2].toCurrencyScaled());
    EXPECT_TRUE(NoProblems(CheckSummingFields()));
}

} // namespace
