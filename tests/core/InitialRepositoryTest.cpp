// The initial database: the repository's description of its own tables and of the demo
// business must match the schema that Firebird holds, load, and lay out its views, cards,
// detail books, formulas, templates and filters as the program reads them.
//
// Every consistency check is a function that lists the problems it finds; the tests expect
// an empty list from the fresh database, and the *Fails* tests break one row or one schema
// object in their copy and expect the check to name it, so a check that cannot fail is
// caught too.

#include "Card.h"
#include "DetBook.h"
#include "Filter.h"
#include "FilterList.h"
#include "Fld.h"
#include "Formula.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "ObjLink.h"
#include "ObjValue.h"
#include "Sql.h"
#include "Tbl.h"
#include "TestDatabase.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include "DBFixture.h"

#include <QMultiMap>
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

bool IsNull(const Variant &v)
{
    return v.isEmptyOrNull();
}

QString Joined(const QStringList &problems)
{
    return problems.join(QLatin1Char('\n'));
}

// Passes on an empty list of problems, fails listing them.
::testing::AssertionResult NoProblems(const QStringList &problems)
{
    if (problems.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problems.size() << " problems:\n" << Joined(problems).toStdString();
}

bool AnyContains(const QStringList &problems, const QString &part)
{
    return std::any_of(problems.begin(), problems.end(), [&](const QString &p) { return p.contains(part); });
}

// Names that reach a statement text must be plain identifiers, as the program requires.
bool PlainIdent(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Z][A-Z0-9_$]*$"));
    return re.match(name).hasMatch();
}

// The field type's domain, or the empty text for varchar types and types without a column.
QString DomainOf(const QString &type)
{
    static const QHash<QString, QString> domains{
        {"PK", "PK"},         {"FK", "FK"},         {"Integ", "INTEG"},   {"Boolean", "BOOL"},
        {"Num182", "NUM182"}, {"Num183", "NUM183"}, {"Num184", "NUM184"}, {"Date", "DATEONLY"}};
    return domains.value(type);
}

// One node of a nested-set tree as stored: bounds and the id of its row.
struct Node
{
    int Id = 0;
    int Lft = 0;
    int Rgt = 0;
};

// Checks the storage rule of the metadata trees on one owner's rows ordered by the left
// bound: bounds 1 .. 2n, each used once, the first row the root (1, 2n), every further node
// inside the node before it that still encloses it. Gives each node's parent index (-1 for
// the root) or the empty list and the reason.
QList<int> Nest(const QList<Node> &nodes, QString &problem)
{
    problem.clear();
    const int n = int(nodes.size());
    QList<int> parents;
    if (n == 0)
        return parents;
    QSet<int> bounds;
    for (const Node &node : nodes) {
        if (node.Lft >= node.Rgt) {
            problem = QStringLiteral("node %1 has bounds %2, %3").arg(node.Id).arg(node.Lft).arg(node.Rgt);
            return {};
        }
        bounds << node.Lft << node.Rgt;
    }
    for (int b = 1; b <= 2 * n; ++b)
        if (!bounds.contains(b)) {
            problem = QStringLiteral("bounds are not 1..%1, each once (%2 missing)").arg(2 * n).arg(b);
            return {};
        }
    if (nodes[0].Lft != 1 || nodes[0].Rgt != 2 * n) {
        problem = QStringLiteral("the first node is not the root 1..%1").arg(2 * n);
        return {};
    }
    QList<int> stack{0};
    parents << -1;
    for (int i = 1; i < n; ++i) {
        while (!stack.isEmpty() && nodes[stack.last()].Rgt < nodes[i].Lft)
            stack.removeLast();
        if (stack.isEmpty() || nodes[i].Rgt > nodes[stack.last()].Rgt) {
            problem = QStringLiteral("node %1 (%2, %3) does not nest").arg(nodes[i].Id).arg(nodes[i].Lft).arg(nodes[i].Rgt);
            return {};
        }
        parents << stack.last();
        stack << i;
    }
    return parents;
}

class InitialRepositoryTest : public korvenix_test::DBFixture
{
protected:
    void SetUp() override
    {
        DBFixture::SetUp();
    }

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

    Variant One(const QString &text, const Params &params = {})
    {
        const Rows rows = Select(text, params);
        return rows.isEmpty() ? Variant::Null() : rows.first().first();
    }

    // Runs a statement (DML or DDL) in its own committed write transaction.
    void Write(const QString &text, const Params &params = {}) { repo.Exec(text, params); }

    // The fields of the repository, one row each:
    // 0 FLD_ID, 1 OBJ_ID, 2 OBJ_TABLE, 3 FLD_FIELD, 4 type name, 5 FLD_SIZE, 6 FLD_NOTNULL,
    // 7 FLD_DEF0, 8 FLD_VIRT, 9 FLD_SYS, 10 DEP_ID_AGR, 11 FLD_ID_AGR, 12 FLD_FRMLHAVE,
    // 13 OBJ_SYS, 14 FLD_CAPT
    Rows Fields()
    {
        return Select(QStringLiteral(
            "select F.FLD_ID, F.OBJ_ID, O.OBJ_TABLE, F.FLD_FIELD, T.FLDTYPE_NAME, F.FLD_SIZE, F.FLD_NOTNULL, "
            "F.FLD_DEF0, F.FLD_VIRT, F.FLD_SYS, F.DEP_ID_AGR, F.FLD_ID_AGR, F.FLD_FRMLHAVE, O.OBJ_SYS, F.FLD_CAPT "
            "from FLD F join OBJ O on O.OBJ_ID = F.OBJ_ID left join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID "
            "order by F.FLD_ID"));
    }

    // Columns of the user tables: table.column -> domain, type, length, not null, default.
    struct Column
    {
        QString Source;
        int Type = 0;
        int Length = 0;
        bool NotNull = false;
        QString Default;
    };
    QHash<QString, Column> Columns()
    {
        QHash<QString, Column> columns;
        const Rows rows = Select(QStringLiteral(
            "select trim(RF.RDB$RELATION_NAME), trim(RF.RDB$FIELD_NAME), trim(RF.RDB$FIELD_SOURCE), "
            "F.RDB$FIELD_TYPE, F.RDB$CHARACTER_LENGTH, "
            "iif(coalesce(RF.RDB$NULL_FLAG, 0) = 1 or coalesce(F.RDB$NULL_FLAG, 0) = 1, 1, 0), "
            "cast(RF.RDB$DEFAULT_SOURCE as varchar(200)) "
            "from RDB$RELATION_FIELDS RF "
            "join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
            "join RDB$RELATIONS R on R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
            "where coalesce(R.RDB$SYSTEM_FLAG, 0) = 0"));
        for (const Row &r : rows)
            columns.insert(Str(r[0]) + '.' + Str(r[1]),
                           Column{Str(r[2]), Int(r[3]), Int(r[4]), Int(r[5]) == 1, Str(r[6]).simplified()});
        return columns;
    }

    QStringList UserTables()
    {
        QStringList tables;
        for (const Row &r : Select(QStringLiteral("select trim(RDB$RELATION_NAME) from RDB$RELATIONS "
                                                  "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$VIEW_BLR is null")))
            tables << Str(r[0]);
        return tables;
    }

    // ---------------------------------------------------------------- schema checks

    // Every object has its table, and every user table is an object.
    QStringList CheckTables()
    {
        QStringList problems;
        const QStringList tables = UserTables();
        QSet<QString> described;
        for (const Row &r : Select(QStringLiteral("select OBJ_TABLE from OBJ"))) {
            const QString table = Str(r[0]);
            described << table;
            if (!tables.contains(table))
                problems << QStringLiteral("object of table %1: no such table").arg(table);
        }
        for (const QString &table : tables)
            if (!described.contains(table))
                problems << QStringLiteral("table %1 is not described by an object").arg(table);
        return problems;
    }

    // Every field has a type; every stored field its column, on the domain of its type (a
    // varchar of FLD_SIZE for strings), not null and default 0 exactly as the row says;
    // every virtual field no column; every column of a described table its field.
    QStringList CheckColumns()
    {
        QStringList problems;
        const QHash<QString, Column> columns = Columns();
        QSet<QString> described;
        QSet<QString> tables;
        for (const Row &r : Select(QStringLiteral("select OBJ_TABLE from OBJ")))
            tables << Str(r[0]);
        for (const Row &f : Fields()) {
            const QString name = Str(f[2]) + '.' + Str(f[3]);
            const QString type = Str(f[4]);
            const bool virt = Int(f[8]) == 1;
            if (type.isEmpty()) {
                problems << name + QStringLiteral(": no field type");
                continue;
            }
            if (virt) {
                if (columns.contains(name))
                    problems << name + QStringLiteral(": virtual, yet the table has the column");
                continue;
            }
            described << name;
            if (!columns.contains(name)) {
                problems << name + QStringLiteral(": no such column");
                continue;
            }
            const Column &c = columns[name];
            const bool sized = type == "String" || type == "ObjTempl";
            if (sized) {
                if (c.Type != 37 || c.Length != Int(f[5]))
                    problems << name + QStringLiteral(": %1 of size %2, the column is type %3 of length %4")
                                           .arg(type).arg(Int(f[5])).arg(c.Type).arg(c.Length);
            } else {
                if (DomainOf(type).isEmpty())
                    problems << name + QStringLiteral(": stored field of type %1 has no column type").arg(type);
                else if (c.Source != DomainOf(type))
                    problems << name + QStringLiteral(": type %1, the column is on %2").arg(type, c.Source);
                if (Int(f[5]) != 0)
                    problems << name + QStringLiteral(": size %1 for a field of type %2").arg(Int(f[5])).arg(type);
            }
            if ((Int(f[6]) == 1) != c.NotNull)
                problems << name + QStringLiteral(": FLD_NOTNULL %1, the column is %2")
                                       .arg(Int(f[6])).arg(c.NotNull ? "not null" : "nullable");
            const bool def0 = c.Default.compare(QStringLiteral("default 0"), Qt::CaseInsensitive) == 0;
            if ((Int(f[7]) == 1) != def0)
                problems << name + QStringLiteral(": FLD_DEF0 %1, the column's default is \"%2\"").arg(Int(f[7])).arg(c.Default);
        }
        for (auto it = columns.begin(); it != columns.end(); ++it) {
            const QString table = it.key().section('.', 0, 0);
            if (tables.contains(table) && !described.contains(it.key()))
                problems << it.key() + QStringLiteral(": column without a field row");
        }
        return problems;
    }

    // Every object has one key field, its primary key PK_<key> on that column alone and the
    // sequence named like the key column, standing at or past the highest key in the table.
    QStringList CheckKeys()
    {
        QStringList problems;
        QHash<QString, QString> pkColumn;   // table -> column of its primary key
        QHash<QString, QString> pkName;
        for (const Row &r : Select(QStringLiteral(
                 "select trim(C.RDB$RELATION_NAME), trim(C.RDB$CONSTRAINT_NAME), trim(S.RDB$FIELD_NAME), "
                 "(select count(*) from RDB$INDEX_SEGMENTS X where X.RDB$INDEX_NAME = C.RDB$INDEX_NAME) "
                 "from RDB$RELATION_CONSTRAINTS C join RDB$INDEX_SEGMENTS S on S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                 "where C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'"))) {
            pkColumn.insert(Str(r[0]), Int(r[3]) == 1 ? Str(r[2]) : QStringLiteral("(several columns)"));
            pkName.insert(Str(r[0]), Str(r[1]));
        }
        QSet<QString> generators;
        for (const Row &r : Select(QStringLiteral("select trim(RDB$GENERATOR_NAME) from RDB$GENERATORS "
                                                  "where coalesce(RDB$SYSTEM_FLAG, 0) = 0")))
            generators << Str(r[0]);
        const Rows objects = Select(QStringLiteral(
            "select O.OBJ_TABLE, (select count(*) from FLD F join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID "
            "  where F.OBJ_ID = O.OBJ_ID and T.FLDTYPE_NAME = 'PK'), "
            "(select F.FLD_FIELD from FLD F join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID "
            "  where F.OBJ_ID = O.OBJ_ID and T.FLDTYPE_NAME = 'PK' rows 1) from OBJ O"));
        for (const Row &r : objects) {
            const QString table = Str(r[0]);
            const QString key = Str(r[2]);
            if (Int(r[1]) != 1) {
                problems << table + QStringLiteral(": %1 key fields").arg(Int(r[1]));
                continue;
            }
            if (pkColumn.value(table) != key)
                problems << table + QStringLiteral(": primary key on \"%1\", key field %2").arg(pkColumn.value(table), key);
            else if (pkName.value(table) != QStringLiteral("PK_") + key)
                problems << table + QStringLiteral(": primary key named %1, not PK_%2").arg(pkName.value(table), key);
            if (!generators.contains(key)) {
                problems << table + QStringLiteral(": no sequence %1").arg(key);
                continue;
            }
            if (!PlainIdent(table) || !PlainIdent(key)) {
                problems << table + QStringLiteral(": not a plain name");
                continue;
            }
            const int maxId = Int(One(QStringLiteral("select max(%1) from %2").arg(key, table)));
            const int current = Int(One(QStringLiteral("select gen_id(%1, 0) from RDB$DATABASE").arg(key)));
            if (current < maxId)
                problems << table + QStringLiteral(": sequence %1 at %2, below the key %3").arg(key).arg(current).arg(maxId);
        }
        return problems;
    }

    // Every stored link field has one link row, and the table a foreign key on that column
    // alone, FK_<table>_<column>, to the key of the link's master, on delete by the link's
    // rule, on update cascade. Every link names a stored link field; every foreign key of a
    // described table belongs to a link field.
    QStringList CheckLinks()
    {
        QStringList problems;
        struct Fk
        {
            QString Name, Master, MasterColumn, Delete, Update;
            int Segments = 0;
        };
        QHash<QString, Fk> fks;   // table.column
        for (const Row &r : Select(QStringLiteral(
                 "select trim(C.RDB$RELATION_NAME), trim(S.RDB$FIELD_NAME), trim(C.RDB$CONSTRAINT_NAME), "
                 "trim(M.RDB$RELATION_NAME), trim(MS.RDB$FIELD_NAME), trim(R.RDB$DELETE_RULE), trim(R.RDB$UPDATE_RULE), "
                 "(select count(*) from RDB$INDEX_SEGMENTS X where X.RDB$INDEX_NAME = C.RDB$INDEX_NAME) "
                 "from RDB$RELATION_CONSTRAINTS C "
                 "join RDB$REF_CONSTRAINTS R on R.RDB$CONSTRAINT_NAME = C.RDB$CONSTRAINT_NAME "
                 "join RDB$INDEX_SEGMENTS S on S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                 "join RDB$RELATION_CONSTRAINTS M on M.RDB$CONSTRAINT_NAME = R.RDB$CONST_NAME_UQ "
                 "join RDB$INDEX_SEGMENTS MS on MS.RDB$INDEX_NAME = M.RDB$INDEX_NAME "
                 "where C.RDB$CONSTRAINT_TYPE = 'FOREIGN KEY'")))
            fks.insert(Str(r[0]) + '.' + Str(r[1]), Fk{Str(r[2]), Str(r[3]), Str(r[4]), Str(r[5]), Str(r[6]), Int(r[7])});

        static const QHash<QString, QStringList> rules{{"NoAction", {"RESTRICT", "NO ACTION"}},
                                                       {"Cascade", {"CASCADE"}},
                                                       {"SetNull", {"SET NULL"}}};
        QSet<QString> linkFields;
        for (const Row &f : Fields()) {
            if (Str(f[4]) != "FK" || Int(f[8]) == 1)
                continue;
            const QString table = Str(f[2]);
            const QString column = Str(f[3]);
            const QString name = table + '.' + column;
            linkFields << name;
            const Rows deps = Select(QStringLiteral(
                "select M.OBJ_TABLE, R.FKRULE_NAME, "
                "(select K.FLD_FIELD from FLD K join FLDTYPE T on T.FLDTYPE_ID = K.FLDTYPE_ID "
                "  where K.OBJ_ID = M.OBJ_ID and T.FLDTYPE_NAME = 'PK' rows 1), D.DEP_NAME, D.DEP_CAPT "
                "from DEP D join OBJ M on M.OBJ_ID = D.OBJ_ID left join FKRULE R on R.FKRULE_ID = D.FKRULE_ID "
                "where D.FLD_ID = :F"),
                {{"F", f[0]}});
            if (deps.size() != 1) {
                problems << name + QStringLiteral(": %1 link rows").arg(deps.size());
                continue;
            }
            const Row &d = deps.first();
            if (Str(d[3]).isEmpty() || Str(d[4]).isEmpty())
                problems << name + QStringLiteral(": link without a name or caption");
            if (!fks.contains(name)) {
                problems << name + QStringLiteral(": no foreign key on the column");
                continue;
            }
            const Fk &fk = fks[name];
            if (fk.Segments != 1)
                problems << name + QStringLiteral(": foreign key %1 has %2 columns").arg(fk.Name).arg(fk.Segments);
            if (fk.Name != QStringLiteral("FK_%1_%2").arg(table, column))
                problems << name + QStringLiteral(": foreign key named %1").arg(fk.Name);
            if (fk.Master != Str(d[0]) || fk.MasterColumn != Str(d[2]))
                problems << name + QStringLiteral(": foreign key to %1.%2, the link's master is %3.%4")
                                       .arg(fk.Master, fk.MasterColumn, Str(d[0]), Str(d[2]));
            if (!rules.value(Str(d[1])).contains(fk.Delete))
                problems << name + QStringLiteral(": link rule %1, the foreign key deletes %2").arg(Str(d[1]), fk.Delete);
            if (fk.Update != QStringLiteral("CASCADE"))
                problems << name + QStringLiteral(": foreign key updates %1").arg(fk.Update);
        }
        for (const Row &r : Select(QStringLiteral(
                 "select D.DEP_ID, O.OBJ_TABLE, F.FLD_FIELD, T.FLDTYPE_NAME, F.FLD_VIRT from DEP D "
                 "join FLD F on F.FLD_ID = D.FLD_ID join OBJ O on O.OBJ_ID = F.OBJ_ID "
                 "left join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID")))
            if (Str(r[3]) != "FK" || Int(r[4]) == 1)
                problems << QStringLiteral("link %1: its field %2.%3 is no stored link field").arg(Int(r[0])).arg(Str(r[1]), Str(r[2]));
        QSet<QString> tables;
        for (const Row &r : Select(QStringLiteral("select OBJ_TABLE from OBJ")))
            tables << Str(r[0]);
        for (auto it = fks.begin(); it != fks.end(); ++it)
            if (tables.contains(it.key().section('.', 0, 0)) && !linkFields.contains(it.key()))
                problems << it.key() + QStringLiteral(": foreign key %1 without a stored link field").arg(it->Name);
        return problems;
    }

    // The text of one of the three triggers of a summing field, as the field editor builds it.
    static QString SummingTrigger(const QString &kind, const QString &M, const QString &P, const QString &F,
                                  const QString &L, const QString &A)
    {
        QStringList lines{QStringLiteral("AS"), QStringLiteral("begin")};
        if (kind == "AI" || kind == "AD") {
            const QString rec = kind == "AI" ? QStringLiteral("NEW") : QStringLiteral("OLD");
            const QString op = kind == "AI" ? QStringLiteral("+") : QStringLiteral("-");
            lines << QStringLiteral("  if (%1.%2 <> 0) then").arg(rec, A)
                  << QStringLiteral("    update %1 T").arg(M)
                  << QStringLiteral("    set T.%1 = T.%1 %2 %3.%4").arg(F, op, rec, A)
                  << QStringLiteral("    where T.%1 = %2.%3;").arg(P, rec, L);
        } else {
            lines << QStringLiteral("  if (NEW.%1 = OLD.%1) then").arg(L)
                  << QStringLiteral("    if (NEW.%1 <> OLD.%1) then").arg(A)
                  << QStringLiteral("      update %1 T").arg(M)
                  << QStringLiteral("      set T.%1 = T.%1 + NEW.%2 - OLD.%2").arg(F, A)
                  << QStringLiteral("      where T.%1 = NEW.%2;").arg(P, L)
                  << QStringLiteral("    else") << QStringLiteral("    begin") << QStringLiteral("    end")
                  << QStringLiteral("  else") << QStringLiteral("    begin")
                  << QStringLiteral("      if (OLD.%1 <> 0) then").arg(A)
                  << QStringLiteral("        update %1 T").arg(M)
                  << QStringLiteral("        set T.%1 = T.%1 - OLD.%2").arg(F, A)
                  << QStringLiteral("        where T.%1 = OLD.%2;").arg(P, L)
                  << QStringLiteral("      if (NEW.%1 <> 0) then").arg(A)
                  << QStringLiteral("        update %1 T").arg(M)
                  << QStringLiteral("        set T.%1 = T.%1 + NEW.%2").arg(F, A)
                  << QStringLiteral("        where T.%1 = NEW.%2;").arg(P, L)
                  << QStringLiteral("    end");
        }
        lines << QStringLiteral("end");
        return lines.join(QLatin1Char('\n'));
    }

    // Every summing field sums a field of the same type of the detail object of one of its
    // own object's child links, has its three triggers F_AI, F_AD, F_AU on the detail table
    // with the field editor's text, and holds the sum of its detail rows.
    QStringList CheckSummingFields()
    {
        QStringList problems;
        const Rows rows = Select(QStringLiteral(
            "select O.OBJ_TABLE, F.FLD_FIELD, T.FLDTYPE_NAME, D.OBJ_ID, F.OBJ_ID, DO.OBJ_TABLE, L.FLD_FIELD, "
            "A.FLD_FIELD, AY.FLDTYPE_NAME, A.OBJ_ID, L.OBJ_ID, "
            "(select K.FLD_FIELD from FLD K join FLDTYPE KT on KT.FLDTYPE_ID = K.FLDTYPE_ID "
            "  where K.OBJ_ID = O.OBJ_ID and KT.FLDTYPE_NAME = 'PK' rows 1), F.FLD_VIRT "
            "from FLD F join OBJ O on O.OBJ_ID = F.OBJ_ID join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID "
            "join DEP D on D.DEP_ID = F.DEP_ID_AGR join FLD L on L.FLD_ID = D.FLD_ID "
            "join OBJ DO on DO.OBJ_ID = L.OBJ_ID "
            "left join FLD A on A.FLD_ID = F.FLD_ID_AGR left join FLDTYPE AY on AY.FLDTYPE_ID = A.FLDTYPE_ID "
            "where F.DEP_ID_AGR is not null"));
        const int summing = Int(One(QStringLiteral("select count(*) from FLD where DEP_ID_AGR is not null")));
        if (summing != rows.size())
            problems << QStringLiteral("%1 summing fields, %2 with a readable link").arg(summing).arg(rows.size());
        static const QHash<QString, int> triggerTypes{{"AI", 2}, {"AU", 4}, {"AD", 6}};
        for (const Row &r : rows) {
            const QString M = Str(r[0]), F = Str(r[1]), D = Str(r[5]), L = Str(r[6]), A = Str(r[7]), P = Str(r[11]);
            const QString name = M + '.' + F;
            if (!QStringList{"Integ", "Num182", "Num183", "Num184"}.contains(Str(r[2])))
                problems << name + QStringLiteral(": summing field of type %1").arg(Str(r[2]));
            if (Int(r[3]) != Int(r[4]))
                problems << name + QStringLiteral(": its link is no child link of its own object");
            if (A.isEmpty() || Int(r[9]) != Int(r[10])) {
                problems << name + QStringLiteral(": the summed field is no field of the detail %1").arg(D);
                continue;
            }
            if (Str(r[8]) != Str(r[2]))
                problems << name + QStringLiteral(": sums %1.%2 of type %3").arg(D, A, Str(r[8]));
            if (Int(r[12]) == 1)
                continue;
            for (const QString &kind : {QStringLiteral("AI"), QStringLiteral("AD"), QStringLiteral("AU")}) {
                const Rows trig = Select(QStringLiteral(
                    "select trim(RDB$RELATION_NAME), RDB$TRIGGER_TYPE, coalesce(RDB$TRIGGER_INACTIVE, 0), "
                    "RDB$TRIGGER_SEQUENCE, cast(RDB$TRIGGER_SOURCE as varchar(8000)) "
                    "from RDB$TRIGGERS where RDB$TRIGGER_NAME = :N"),
                    {{"N", F + '_' + kind}});
                if (trig.isEmpty()) {
                    problems << name + QStringLiteral(": no trigger %1_%2").arg(F, kind);
                    continue;
                }
                const Row &t = trig.first();
                QString source = Str(t[4]);
                source.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                if (Str(t[0]) != D || Int(t[1]) != triggerTypes[kind] || Int(t[2]) != 0 || Int(t[3]) != 0)
                    problems << name + QStringLiteral(": trigger %1_%2 on %3, type %4, inactive %5, position %6")
                                           .arg(F, kind, Str(t[0])).arg(Int(t[1])).arg(Int(t[2])).arg(Int(t[3]));
                else if (source.trimmed() != SummingTrigger(kind, M, P, F, L, A))
                    problems << name + QStringLiteral(": trigger %1_%2 differs from the field editor's text").arg(F, kind);
            }
            if (!PlainIdent(M) || !PlainIdent(F) || !PlainIdent(D) || !PlainIdent(L) || !PlainIdent(A) || !PlainIdent(P))
                continue;
            const int wrong = Int(One(QStringLiteral(
                "select count(*) from %1 T1 where T1.%2 <> coalesce((select sum(T2.%3) from %4 T2 where T2.%5 = T1.%6), 0)")
                                          .arg(M, F, A, D, L, P)));
            if (wrong != 0)
                problems << name + QStringLiteral(": %1 rows do not hold the sum of their details").arg(wrong);
        }
        return problems;
    }

    // ---------------------------------------------------------------- repository checks

    // Flags of the description: metadata tables are meta and system objects, their fields
    // and links system ones; key fields are system fields, links inherit their field's flag.
    QStringList CheckFlags()
    {
        QStringList problems;
        static const QStringList metaTables{
            "FLDTYPE", "FKRULE", "FRMLFUNC", "FLTRTRTP", "CTRLTRTP", "OBJ",      "FLD",     "DEP",    "FRMLTREE",
            "FRMLTRPT", "OBJVALUE", "OBJVALPT", "TBL",     "TBLTREE", "FLTR",    "FLTRTREE", "FLTRTRPT", "CARD",
            "CTRLTREE", "DETBOOK", "DETDEP",  "USR",      "USRTBL",   "USRCARD", "USRDET"};
        for (const Row &r : Select(QStringLiteral("select OBJ_TABLE, OBJ_META, OBJ_SYS, OBJ_CAPT, OBJ_CAPT2 from OBJ"))) {
            const QString table = Str(r[0]);
            if (metaTables.contains(table) && (Int(r[1]) != 1 || Int(r[2]) != 1))
                problems << table + QStringLiteral(": a metadata table that is no meta and system object");
            if (Str(r[3]).isEmpty() || Str(r[4]).isEmpty())
                problems << table + QStringLiteral(": no caption or short caption");
        }
        for (const Row &f : Fields()) {
            const QString name = Str(f[2]) + '.' + Str(f[3]);
            const bool sys = Int(f[9]) == 1;
            if (Str(f[4]) == "PK" && !sys)
                problems << name + QStringLiteral(": key field that is no system field");
            if (Int(f[13]) == 1 && !sys)
                problems << name + QStringLiteral(": field of a system object that is no system field");
            if (Str(f[14]).isEmpty())
                problems << name + QStringLiteral(": no caption");
        }
        for (const Row &r : Select(QStringLiteral(
                 "select D.DEP_NAME, D.DEP_SYS, F.FLD_SYS from DEP D join FLD F on F.FLD_ID = D.FLD_ID")))
            if (Int(r[1]) != Int(r[2]))
                problems << Str(r[0]) + QStringLiteral(": DEP_SYS differs from its field's FLD_SYS");
        // Links are found by name, and two "Данные" items (and their windows) with one caption
        // cannot be told apart.
        for (const auto &[what, select] :
             {std::pair{"link name", "select DEP_NAME, count(*) from DEP group by DEP_NAME having count(*) > 1"},
              {"short caption", "select OBJ_CAPT2, count(*) from OBJ group by OBJ_CAPT2 having count(*) > 1"}})
            for (const Row &r : Select(QString::fromUtf8(select)))
                problems << QStringLiteral("%1 %2 used %3 times").arg(what, Str(r[0])).arg(Int(r[1]));
        return problems;
    }

    // Follows a path of link fields (ids, first link first) from an object: each element a
    // stored link field of the current object with its link row; gives the object reached,
    // or 0 and a problem.
    int FollowPath(int objId, const QList<int> &path, QString &problem)
    {
        problem.clear();
        for (int fldId : path) {
            const Rows r = Select(QStringLiteral(
                "select F.OBJ_ID, T.FLDTYPE_NAME, F.FLD_VIRT, (select D.OBJ_ID from DEP D where D.FLD_ID = F.FLD_ID rows 1), "
                "F.FLD_FIELD from FLD F left join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID where F.FLD_ID = :F"),
                {{"F", fldId}});
            if (r.isEmpty() || Int(r[0][0]) != objId || Str(r[0][1]) != "FK" || Int(r[0][2]) == 1 || IsNull(r[0][3])) {
                problem = QStringLiteral("path element %1 is no stored link field of object %2").arg(fldId).arg(objId);
                return 0;
            }
            objId = Int(r[0][3]);
        }
        return objId;
    }

    int ObjOfField(int fldId) { return Int(One(QStringLiteral("select OBJ_ID from FLD where FLD_ID = :F"), {{"F", fldId}})); }

    QList<int> PathOf(const QString &pathTable, const QString &ownerColumn, int ownerId)
    {
        QList<int> path;
        for (const Row &r : Select(QStringLiteral("select FLD_ID from %1 where %2 = :ID order by %1_ID").arg(pathTable, ownerColumn),
                                   {{"ID", ownerId}}))
            path << Int(r[0]);
        return path;
    }

    // Value templates: every object has one; its "%s" count equals its template fields; a
    // field's path leads from the object to the field's object and exists exactly when the
    // field says it has one.
    QStringList CheckTemplates()
    {
        QStringList problems;
        for (const Row &o : Select(QStringLiteral("select OBJ_ID, OBJ_TABLE, OBJ_TEMPL from OBJ"))) {
            const int objId = Int(o[0]);
            const QString table = Str(o[1]);
            const QString templ = Str(o[2]);
            const Rows values = Select(QStringLiteral(
                "select OBJVALUE_ID, FLD_ID, OBJVALUE_PATHHAVE from OBJVALUE where OBJ_ID = :O order by OBJVALUE_ID"),
                {{"O", objId}});
            if (templ.isEmpty() || values.isEmpty())
                problems << table + QStringLiteral(": no value template");
            if (templ.count(QStringLiteral("%s")) != values.size())
                problems << table + QStringLiteral(": template \"%1\" has %2 \"%s\" for %3 fields")
                                        .arg(templ).arg(templ.count(QStringLiteral("%s"))).arg(values.size());
            for (const Row &v : values) {
                const QList<int> path = PathOf(QStringLiteral("OBJVALPT"), QStringLiteral("OBJVALUE_ID"), Int(v[0]));
                if ((Int(v[2]) == 1) != !path.isEmpty())
                    problems << table + QStringLiteral(": template field %1 with path flag %2 and %3 path rows")
                                            .arg(Int(v[0])).arg(Int(v[2])).arg(path.size());
                QString problem;
                const int end = FollowPath(objId, path, problem);
                if (!problem.isEmpty())
                    problems << table + QStringLiteral(": template field %1: ").arg(Int(v[0])) + problem;
                else if (ObjOfField(Int(v[1])) != end)
                    problems << table + QStringLiteral(": template field %1 is no field of the path's end").arg(Int(v[0]));
            }
        }
        return problems;
    }

    // Reads the rows of every tree of a tree table, checks the storage rule on each owner's
    // rows and gives them to `each` (owner id, nodes, parent indexes, extra columns).
    QStringList CheckTreeTable(const QString &table, const QString &owner, const QString &extra,
                               const std::function<void(int, const QList<Node> &, const QList<int> &,
                                                        const Rows &, QStringList &)> &each = {})
    {
        QStringList problems;
        const Rows rows = Select(QStringLiteral("select %2, %1_ID, %1_LFT, %1_RGT%3 from %1 order by %2, %1_LFT")
                                     .arg(table, owner, extra.isEmpty() ? QString() : ", " + extra));
        int i = 0;
        while (i < rows.size()) {
            const int ownerId = Int(rows[i][0]);
            QList<Node> nodes;
            Rows group;
            for (; i < rows.size() && Int(rows[i][0]) == ownerId; ++i) {
                nodes << Node{Int(rows[i][1]), Int(rows[i][2]), Int(rows[i][3])};
                group << rows[i].mid(4);
            }
            QString problem;
            const QList<int> parents = Nest(nodes, problem);
            if (!problem.isEmpty())
                problems << QStringLiteral("%1 of %2 %3: ").arg(table, owner).arg(ownerId) + problem;
            else if (each)
                each(ownerId, nodes, parents, group, problems);
        }
        return problems;
    }

    // Table views: their trees nest; the root names the key of the view's object (its own or
    // its link's detail object); a node under the root names a field of that object, a node
    // under a link node a field of the link's master; link nodes have children, others none;
    // no virtual field is a column. Each object has one default view of its own, each detail
    // link one default view.
    QStringList CheckViews()
    {
        QStringList problems = CheckTreeTable(
            QStringLiteral("TBLTREE"), QStringLiteral("TBL_ID"),
            QStringLiteral("FLD_ID"),
            [this](int tblId, const QList<Node> &nodes, const QList<int> &parents, const Rows &extra, QStringList &out) {
                const Rows tbl = Select(QStringLiteral(
                    "select T.OBJ_ID, (select L.OBJ_ID from DEP D join FLD L on L.FLD_ID = D.FLD_ID where D.DEP_ID = T.DEP_ID) "
                    "from TBL T where T.TBL_ID = :T"),
                    {{"T", tblId}});
                int objId = Int(tbl[0][0]);
                const int linkObj = Int(tbl[0][1]);
                if (objId != 0 && linkObj != 0 && objId != linkObj)
                    out << QStringLiteral("view %1: its object and its link's detail object differ").arg(tblId);
                if (objId == 0)
                    objId = linkObj;
                if (objId == 0) {
                    out << QStringLiteral("view %1: neither an object nor a link").arg(tblId);
                    return;
                }
                QList<int> target(nodes.size());   // object whose fields the node's children are
                for (int i = 0; i < nodes.size(); ++i) {
                    const int fldId = Int(extra[i][0]);
                    const Rows f = Select(QStringLiteral(
                        "select F.OBJ_ID, T.FLDTYPE_NAME, F.FLD_VIRT, (select D.OBJ_ID from DEP D where D.FLD_ID = F.FLD_ID rows 1) "
                        "from FLD F left join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID where F.FLD_ID = :F"),
                        {{"F", fldId}});
                    const QString type = Str(f[0][1]);
                    const int expected = i == 0 ? objId : target[parents[i]];
                    if (Int(f[0][0]) != expected)
                        out << QStringLiteral("view %1: node %2 names a field of object %3, expected %4")
                                   .arg(tblId).arg(nodes[i].Id).arg(Int(f[0][0])).arg(expected);
                    if (i == 0 && type != "PK")
                        out << QStringLiteral("view %1: the root is no key field").arg(tblId);
                    if (Int(f[0][2]) == 1)
                        out << QStringLiteral("view %1: node %2 names a virtual field").arg(tblId).arg(nodes[i].Id);
                    const bool link = i > 0 && type == "FK";
                    const bool leaf = nodes[i].Rgt == nodes[i].Lft + 1;
                    if (link && leaf)
                        out << QStringLiteral("view %1: link node %2 shows nothing of its master").arg(tblId).arg(nodes[i].Id);
                    if (i > 0 && !link && !leaf)
                        out << QStringLiteral("view %1: node %2 has children but is no link").arg(tblId).arg(nodes[i].Id);
                    target[i] = i == 0 ? objId : link ? Int(f[0][3]) : 0;
                }
            });
        for (const Row &r : Select(QStringLiteral(
                 "select O.OBJ_TABLE, (select count(*) from TBL T where T.OBJ_ID = O.OBJ_ID and T.TBL_DEFAULT = 1), "
                 "(select count(*) from TBL T where T.OBJ_ID = O.OBJ_ID and T.TBL_DEFAULT = 1 and T.DEP_ID is null) "
                 "from OBJ O")))
            if (Int(r[1]) != 1 || Int(r[2]) != 1)
                problems << Str(r[0]) + QStringLiteral(": %1 default views").arg(Int(r[1]));
        for (const Row &r : Select(QStringLiteral(
                 "select D.DEP_NAME, (select count(*) from TBL T where T.DEP_ID = D.DEP_ID and T.TBL_DEFAULT = 1) "
                 "from DEP D where D.DEP_DET = 1")))
            if (Int(r[1]) != 1)
                problems << QStringLiteral("link %1: %2 default views").arg(Str(r[0])).arg(Int(r[1]));
        for (const Row &r : Select(QStringLiteral(
                 "select T.TBL_ID from TBL T where not exists (select 1 from TBLTREE N where N.TBL_ID = T.TBL_ID)")))
            problems << QStringLiteral("view %1 has no columns").arg(Int(r[0]));
        return problems;
    }

    // Cards: their trees nest under a root control; page controls hold tab sheets only and
    // tab sheets stand in page controls; field controls stand on the root or a tab sheet, are
    // bound to a field of the card's object, have a control type that fits the field's type,
    // a position, a size where their type takes one, and a label position. Each object has one
    // default card.
    QStringList CheckCards()
    {
        static const QHash<QString, QStringList> controlsOfType{
            {"PK", {"EditInt"}},           {"String", {"EditStr", "Formula"}}, {"FK", {"EditObj"}},
            {"Integ", {"EditInt"}},        {"Boolean", {"CheckBox"}},          {"Num182", {"EditNum182"}},
            {"Num183", {"EditNum183"}},    {"Num184", {"EditNum184"}},         {"Date", {"DateEdit"}},
            {"Formula", {"Formula"}},      {"ObjTempl", {"ObjTempl"}}};
        QStringList problems = CheckTreeTable(
            QStringLiteral("CTRLTREE"), QStringLiteral("CARD_ID"),
            QStringLiteral("(select CTRLTRTP_NAME from CTRLTRTP P where P.CTRLTRTP_ID = CTRLTREE.CTRLTRTP_ID), FLD_ID, "
                           "CTRLTREE_CLEFT, CTRLTREE_CTOP, CTRLTREE_CWIDTH, CTRLTREE_CHEIGHT, CTRLTREE_LLEFT, CTRLTREE_LTOP"),
            [this](int cardId, const QList<Node> &nodes, const QList<int> &parents, const Rows &x, QStringList &out) {
                const int objId = Int(One(QStringLiteral("select OBJ_ID from CARD where CARD_ID = :C"), {{"C", cardId}}));
                for (int i = 0; i < nodes.size(); ++i) {
                    const QString type = Str(x[i][0]);
                    const QString parent = i == 0 ? QString() : Str(x[parents[i]][0]);
                    const QString where = QStringLiteral("card %1, control %2 (%3)").arg(cardId).arg(nodes[i].Id).arg(type);
                    if (i == 0) {
                        if (type != "Root" || !IsNull(x[i][1]))
                            out << where + QStringLiteral(": the root is no Root control");
                        continue;
                    }
                    if (type == "Root") {
                        out << where + QStringLiteral(": a second root");
                        continue;
                    }
                    if (type == "TabSheet") {
                        if (parent != "PageControl")
                            out << where + QStringLiteral(": a tab sheet outside a page control");
                        continue;
                    }
                    if (parent == "PageControl")
                        out << where + QStringLiteral(": a page control holds no tab sheet but this");
                    else if (parent != "Root" && parent != "TabSheet")
                        out << where + QStringLiteral(": placed under a %1").arg(parent);
                    if (IsNull(x[i][2]) || IsNull(x[i][3]) || IsNull(x[i][4]))
                        out << where + QStringLiteral(": no position or width");
                    if ((type == "PageControl" || type == "DateEdit" || type == "CheckBox") && IsNull(x[i][5]))
                        out << where + QStringLiteral(": no height");
                    if (type == "PageControl")
                        continue;
                    if (IsNull(x[i][6]) || IsNull(x[i][7]))
                        out << where + QStringLiteral(": no label position");
                    if (nodes[i].Rgt != nodes[i].Lft + 1)
                        out << where + QStringLiteral(": a field control with children");
                    if (IsNull(x[i][1])) {
                        out << where + QStringLiteral(": a field control without a field");
                        continue;
                    }
                    const Rows f = Select(QStringLiteral(
                        "select F.OBJ_ID, T.FLDTYPE_NAME from FLD F left join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID "
                        "where F.FLD_ID = :F"),
                        {{"F", x[i][1]}});
                    if (Int(f[0][0]) != objId)
                        out << where + QStringLiteral(": bound to a field of another object");
                    if (!controlsOfType.value(Str(f[0][1])).contains(type))
                        out << where + QStringLiteral(": no control for a field of type %1").arg(Str(f[0][1]));
                }
            });
        for (const Row &r : Select(QStringLiteral(
                 "select O.OBJ_TABLE, (select count(*) from CARD C where C.OBJ_ID = O.OBJ_ID and C.CARD_DEFAULT = 1) from OBJ O")))
            if (Int(r[1]) != 1)
                problems << Str(r[0]) + QStringLiteral(": %1 default cards").arg(Int(r[1]));
        for (const Row &r : Select(QStringLiteral(
                 "select C.CARD_ID from CARD C where not exists (select 1 from CTRLTREE N where N.CARD_ID = C.CARD_ID) "
                 "or C.CARD_WIDTH is null or C.CARD_HEIGHTATR is null or C.CARD_HEIGHTDET is null")))
            problems << QStringLiteral("card %1 has no controls or no size").arg(Int(r[0]));
        return problems;
    }

    // Detail books: each names child links of its own object; every object with detail
    // links has one default book.
    QStringList CheckDetailBooks()
    {
        QStringList problems;
        for (const Row &r : Select(QStringLiteral(
                 "select B.DETBOOK_ID, D.DEP_NAME from DETDEP X join DETBOOK B on B.DETBOOK_ID = X.DETBOOK_ID "
                 "join DEP D on D.DEP_ID = X.DEP_ID where D.OBJ_ID <> B.OBJ_ID")))
            problems << QStringLiteral("detail book %1: link %2 is no child link of its object").arg(Int(r[0])).arg(Str(r[1]));
        for (const Row &r : Select(QStringLiteral(
                 "select O.OBJ_TABLE, (select count(*) from DETBOOK B where B.OBJ_ID = O.OBJ_ID and B.DETBOOK_DEFAULT = 1) "
                 "from OBJ O where exists (select 1 from DEP D where D.OBJ_ID = O.OBJ_ID and D.DEP_DET = 1)")))
            if (Int(r[1]) != 1)
                problems << Str(r[0]) + QStringLiteral(": %1 default detail books").arg(Int(r[1]));
        return problems;
    }

    // Formulas: trees nest; the field's formula flag says whether it has one; sums,
    // differences, products and quotients have two operands or more, a rate exactly two;
    // today, the current user and the master's key have none, the master's key stands only
    // as the root; field nodes are leaves, read no summing field, and reach their field
    // along their path from the formula field's object; a path exists exactly when the node
    // says so; constants are leaves with a value.
    QStringList CheckFormulas()
    {
        QStringList problems = CheckTreeTable(
            QStringLiteral("FRMLTREE"), QStringLiteral("FLD_ID"),
            QStringLiteral("(select FRMLFUNC_NAME from FRMLFUNC U where U.FRMLFUNC_ID = FRMLTREE.FRMLFUNC_ID), FLD_ID_VALUE, "
                           "FRMLTREE_VALUE, FRMLTREE_PATHHAVE, FRMLTREE_ID"),
            [this](int fldId, const QList<Node> &nodes, const QList<int> &parents, const Rows &x, QStringList &out) {
                const int objId = ObjOfField(fldId);
                for (int i = 0; i < nodes.size(); ++i) {
                    const QString func = Str(x[i][0]);
                    const QString where = QStringLiteral("formula of field %1, node %2").arg(fldId).arg(nodes[i].Id);
                    const int children = int(std::count(parents.begin(), parents.end(), i));
                    if (!func.isEmpty()) {
                        if (QStringList{"Add", "Ded", "Mul", "Div"}.contains(func) && children < 2)
                            out << where + QStringLiteral(": %1 with %2 operands").arg(func).arg(children);
                        if (func == "Rate" && children != 2)
                            out << where + QStringLiteral(": Rate with %1 operands").arg(children);
                        if (QStringList{"CurD", "CurU", "ParId"}.contains(func) && children != 0)
                            out << where + QStringLiteral(": %1 with operands").arg(func);
                        if (func == "ParId" && i != 0)
                            out << where + QStringLiteral(": the master's key below the root");
                        continue;
                    }
                    if (children != 0)
                        out << where + QStringLiteral(": a field or constant with operands");
                    const QList<int> path = PathOf(QStringLiteral("FRMLTRPT"), QStringLiteral("FRMLTREE_ID"), Int(x[i][4]));
                    if ((Int(x[i][3]) == 1) != !path.isEmpty())
                        out << where + QStringLiteral(": path flag %1 with %2 path rows").arg(Int(x[i][3])).arg(path.size());
                    if (IsNull(x[i][1])) {
                        if (IsNull(x[i][2]))
                            out << where + QStringLiteral(": a constant without a value");
                        continue;
                    }
                    QString problem;
                    const int end = FollowPath(objId, path, problem);
                    if (!problem.isEmpty())
                        out << where + QStringLiteral(": ") + problem;
                    else if (ObjOfField(Int(x[i][1])) != end)
                        out << where + QStringLiteral(": its field is no field of the path's end");
                    if (!IsNull(One(QStringLiteral("select DEP_ID_AGR from FLD where FLD_ID = :F"), {{"F", x[i][1]}})))
                        out << where + QStringLiteral(": reads a summing field");
                }
            });
        for (const Row &r : Select(QStringLiteral(
                 "select F.FLD_FIELD, F.FLD_FRMLHAVE, (select count(*) from FRMLTREE N where N.FLD_ID = F.FLD_ID) from FLD F")))
            if ((Int(r[1]) == 1) != (Int(r[2]) > 0))
                problems << Str(r[0]) + QStringLiteral(": formula flag %1 with %2 formula nodes").arg(Int(r[1])).arg(Int(r[2]));
        return problems;
    }

    // Filters: trees nest; a node with a field reaches it along its path from the object of
    // the filter's view; a path exists exactly when the node says so.
    QStringList CheckFilters()
    {
        return CheckTreeTable(
            QStringLiteral("FLTRTREE"), QStringLiteral("FLTR_ID"), QStringLiteral("FLD_ID, FLTRTREE_PATHHAVE, FLTRTREE_ID"),
            [this](int fltrId, const QList<Node> &nodes, const QList<int> &, const Rows &x, QStringList &out) {
                const int objId = Int(One(QStringLiteral(
                    "select coalesce(T.OBJ_ID, (select L.OBJ_ID from DEP D join FLD L on L.FLD_ID = D.FLD_ID "
                    "where D.DEP_ID = T.DEP_ID)) from FLTR F join TBL T on T.TBL_ID = F.TBL_ID where F.FLTR_ID = :F"),
                    {{"F", fltrId}}));
                for (int i = 0; i < nodes.size(); ++i) {
                    const QList<int> path = PathOf(QStringLiteral("FLTRTRPT"), QStringLiteral("FLTRTREE_ID"), Int(x[i][2]));
                    if ((Int(x[i][1]) == 1) != !path.isEmpty())
                        out << QStringLiteral("filter %1, node %2: path flag and path rows differ").arg(fltrId).arg(nodes[i].Id);
                    if (IsNull(x[i][0]) || objId == 0)
                        continue;
                    QString problem;
                    const int end = FollowPath(objId, path, problem);
                    if (!problem.isEmpty() || ObjOfField(Int(x[i][0])) != end)
                        out << QStringLiteral("filter %1, node %2: its field is not reached along its path %3")
                                   .arg(fltrId).arg(nodes[i].Id).arg(problem);
                }
            });
    }

    int ObjId(const QString &table)
    {
        return Int(One(QStringLiteral("select OBJ_ID from OBJ where OBJ_TABLE = :T"), {{"T", table}}));
    }

    // The link of a master to a detail object, found as the configurator finds it: among the
    // master's child links, by the detail object's table, or by the detail's link field.
    int LinkTo(const QString &master, const QString &detail, const QString &field = QString())
    {
        const QString text = QStringLiteral(
            "select first 1 D.DEP_ID from DEP D join FLD F on F.FLD_ID = D.FLD_ID join OBJ O on O.OBJ_ID = F.OBJ_ID "
            "where D.OBJ_ID = :M and O.OBJ_TABLE = :D %1 order by D.DEP_ID");
        if (field.isEmpty())
            return Int(One(text.arg(QString()), {{"M", ObjId(master)}, {"D", detail}}));
        return Int(One(text.arg(QStringLiteral("and F.FLD_FIELD = :F")), {{"M", ObjId(master)}, {"D", detail}, {"F", field}}));
    }

    int NamedView(const QString &name, int objId, int depId)
    {
        if (depId != 0)
            return Int(One(QStringLiteral("select first 1 TBL_ID from TBL where DEP_ID = :D and TBL_NAME = :N"),
                           {{"D", depId}, {"N", name}}));
        return Int(One(QStringLiteral("select first 1 TBL_ID from TBL where OBJ_ID = :O and TBL_NAME = :N"),
                       {{"O", objId}, {"N", name}}));
    }

    // The fields a view names, in column order; with `top` only those right under the root.
    QStringList ColumnsOf(int tblId, bool top = false)
    {
        QStringList columns;
        for (const Row &r : Select(QStringLiteral("select F.FLD_FIELD from TBLTREE N join FLD F on F.FLD_ID = N.FLD_ID "
                                                  "where N.TBL_ID = :T and (:TOP = 0 or not exists (select 1 from TBLTREE M "
                                                  "where M.TBL_ID = N.TBL_ID and M.TBLTREE_LFT > 1 "
                                                  "and M.TBLTREE_LFT < N.TBLTREE_LFT and M.TBLTREE_RGT > N.TBLTREE_RGT)) "
                                                  "order by N.TBLTREE_LFT"),
                                   {{"T", tblId}, {"TOP", top ? 1 : 0}}))
            columns << Str(r[0]);
        return columns;
    }

    QStringList ControlsOf(int cardId)
    {
        QStringList controls;
        for (const Row &r : Select(QStringLiteral("select F.FLD_FIELD from CTRLTREE N join FLD F on F.FLD_ID = N.FLD_ID "
                                                  "where N.CARD_ID = :C order by N.CTRLTREE_LFT"),
                                   {{"C", cardId}}))
            controls << Str(r[0]);
        return controls;
    }

};

// ------------------------------------------------------------------ the fresh database

TEST_F(InitialRepositoryTest, EveryObjectHasItsTableAndEveryTableItsObject)
{
    EXPECT_TRUE(NoProblems(CheckTables()));
    EXPECT_GE(Int(One("select count(*) from OBJ")), 30);
}

TEST_F(InitialRepositoryTest, EveryFieldMatchesItsColumnAndEveryColumnHasItsField)
{
    EXPECT_TRUE(NoProblems(CheckColumns()));
}

TEST_F(InitialRepositoryTest, EveryKeyHasItsPrimaryKeyAndSequencePastTheRows)
{
    EXPECT_TRUE(NoProblems(CheckKeys()));
}

TEST_F(InitialRepositoryTest, EveryLinkFieldHasItsLinkAndForeignKeyWithTheLinksRule)
{
    EXPECT_TRUE(NoProblems(CheckLinks()));
}

TEST_F(InitialRepositoryTest, EverySummingFieldHasItsThreeTriggersAndHoldsItsSum)
{
    EXPECT_TRUE(NoProblems(CheckSummingFields()));
    EXPECT_GE(Int(One("select count(*) from FLD where DEP_ID_AGR is not null")), 5);
}

TEST_F(InitialRepositoryTest, FlagsCaptionsAndLinkNames)
{
    EXPECT_TRUE(NoProblems(CheckFlags()));
}

TEST_F(InitialRepositoryTest, TemplatesFitTheirFields)
{
    EXPECT_TRUE(NoProblems(CheckTemplates()));
    // A template reached through two links.
    EXPECT_EQ(Int(One("select count(*) from OBJVALPT P join OBJVALUE V on V.OBJVALUE_ID = P.OBJVALUE_ID "
                      "join OBJ O on O.OBJ_ID = V.OBJ_ID where O.OBJ_TABLE = 'PRODPAYM'")),
              3);
}

TEST_F(InitialRepositoryTest, TableViewsNestAndNameTheRightFields)
{
    EXPECT_TRUE(NoProblems(CheckViews()));
}

TEST_F(InitialRepositoryTest, CardsNestAndPlaceTheirControls)
{
    EXPECT_TRUE(NoProblems(CheckCards()));
    // Some card has pages.
    EXPECT_GT(Int(One("select count(*) from CTRLTREE N join CTRLTRTP P on P.CTRLTRTP_ID = N.CTRLTRTP_ID "
                      "where P.CTRLTRTP_NAME = 'TabSheet'")),
              1);
}

TEST_F(InitialRepositoryTest, DetailBooksHoldChildLinks)
{
    EXPECT_TRUE(NoProblems(CheckDetailBooks()));
}

TEST_F(InitialRepositoryTest, FormulasFollowTheirRules)
{
    EXPECT_TRUE(NoProblems(CheckFormulas()));
    // Every formula function is used by some formula.
    EXPECT_EQ(Int(One("select count(*) from FRMLFUNC U where U.FRMLFUNC_NAME <> 'Ded' and not exists "
                      "(select 1 from FRMLTREE N where N.FRMLFUNC_ID = U.FRMLFUNC_ID)")),
              0);
}

TEST_F(InitialRepositoryTest, FiltersNestAndReachTheirFields)
{
    EXPECT_TRUE(NoProblems(CheckFilters()));
    const Rows always = Select("select F.FLTR_NAME from FLTR F where F.FLTR_ALWAYS = 1 and F.TBL_ID is not null "
                               "and exists (select 1 from FLTRTRPT P join FLTRTREE N on N.FLTRTREE_ID = P.FLTRTREE_ID "
                               "where N.FLTR_ID = F.FLTR_ID)");
    EXPECT_FALSE(always.isEmpty()) << "an always-on filter with a condition through a link";
}

// ------------------------------------------------------------------ rows asked for by name

TEST_F(InitialRepositoryTest, TheConfiguratorFindsItsViewsCardsAndFilters)
{
    const int objObj = ObjId("OBJ");
    EXPECT_NE(NamedView("Obj", objObj, 0), 0);
    const int fldLink = LinkTo("OBJ", "FLD");
    ASSERT_NE(fldLink, 0);
    EXPECT_EQ(Int(One("select iif(F.FLD_FIELD = 'OBJ_ID', 1, 0) from DEP D join FLD F on F.FLD_ID = D.FLD_ID where D.DEP_ID = :D",
                      {{"D", fldLink}})),
              1);
    const QStringList fldColumns = ColumnsOf(NamedView("Fld", 0, fldLink), true);
    EXPECT_TRUE(fldColumns.contains("FLD_FIELD"));
    EXPECT_FALSE(fldColumns.contains("OBJ_ID")) << "the list is filtered by its object";

    const int childLink = LinkTo("OBJ", "DEP", "OBJ_ID");
    const int parentLink = LinkTo("FLD", "DEP", "FLD_ID");
    ASSERT_NE(childLink, 0);
    ASSERT_NE(parentLink, 0);
    EXPECT_FALSE(Str(One("select DEP_CAPT from DEP where DEP_ID = :D", {{"D", childLink}})).isEmpty());
    EXPECT_FALSE(Str(One("select DEP_CAPT from DEP where DEP_ID = :D", {{"D", parentLink}})).isEmpty());
    EXPECT_NE(NamedView("ChildLink", 0, childLink), 0);
    EXPECT_TRUE(ColumnsOf(NamedView("ParentLink", 0, parentLink), true).contains("FLD_ID"));
    EXPECT_NE(NamedView("Tbl", 0, LinkTo("OBJ", "TBL")), 0);
    EXPECT_NE(NamedView("Tbl", 0, LinkTo("DEP", "TBL")), 0);
    EXPECT_NE(NamedView("Card", 0, LinkTo("OBJ", "CARD")), 0);
    EXPECT_NE(NamedView("DetBook", 0, LinkTo("OBJ", "DETBOOK")), 0);
    // Lists opened by name keep their object, for the cards they open by name.
    EXPECT_EQ(Int(One("select count(*) from TBL where TBL_NAME in ('Fld', 'ChildLink', 'ParentLink', 'Tbl', 'Card', "
                      "'DetBook') and OBJ_ID is null")),
              0);

    const QList<std::pair<QString, QString>> cards{{"Obj", "OBJ"},  {"Fld", "FLD"},   {"ChildObj", "DEP"},
                                                   {"Tbl", "TBL"},  {"Card", "CARD"}, {"DetBook", "DETBOOK"},
                                                   {"Value", "FRMLTREE"}};
    QHash<QString, int> cardIds;
    for (const auto &[name, table] : cards) {
        cardIds[name] = Int(One("select first 1 CARD_ID from CARD where OBJ_ID = :O and CARD_NAME = :N",
                                {{"O", ObjId(table)}, {"N", name}}));
        EXPECT_NE(cardIds[name], 0) << name.toStdString();
    }
    const QStringList fldCard = ControlsOf(cardIds["Fld"]);
    for (const char *field : {"FLDTYPE_ID", "OBJ_ID_V", "DEP_ID_AGR", "FLD_ID_AGR", "FLD_SIZE", "FLD_FRML_V"})
        EXPECT_TRUE(fldCard.contains(field)) << field;
    EXPECT_EQ(Str(One("select P.CTRLTRTP_NAME from CTRLTREE N join CTRLTRTP P on P.CTRLTRTP_ID = N.CTRLTRTP_ID "
                      "join FLD F on F.FLD_ID = N.FLD_ID where N.CARD_ID = :C and F.FLD_FIELD = 'FLD_FRML_V'",
                      {{"C", cardIds["Fld"]}})),
              "Formula");
    EXPECT_EQ(Str(One("select P.CTRLTRTP_NAME from CTRLTREE N join CTRLTRTP P on P.CTRLTRTP_ID = N.CTRLTRTP_ID "
                      "join FLD F on F.FLD_ID = N.FLD_ID where N.CARD_ID = :C and F.FLD_FIELD = 'OBJ_TEMPL'",
                      {{"C", cardIds["Obj"]}})),
              "ObjTempl");
    EXPECT_TRUE(ControlsOf(cardIds["ChildObj"]).contains("OBJ_ID_V"));
    EXPECT_EQ(ControlsOf(cardIds["Value"]), QStringList{"FRMLTREE_VALUE"});

    // The pickers of summing fields: views and always-on filters by name.
    EXPECT_NE(NamedView("AgrLink", ObjId("DEP"), 0), 0);
    EXPECT_NE(NamedView("AgrFld", ObjId("FLD"), 0), 0);
    EXPECT_EQ(Str(One("select F.FLD_FIELD from FLTR R join TBL T on T.TBL_ID = R.TBL_ID "
                      "join FLTRTREE N on N.FLTR_ID = R.FLTR_ID and N.FLTRTREE_LFT = 1 join FLD F on F.FLD_ID = N.FLD_ID "
                      "join FLTRTRTP P on P.FLTRTRTP_ID = N.FLTRTRTP_ID "
                      "where R.FLTR_NAME = 'AgrLink' and R.FLTR_ALWAYS = 1 and T.TBL_NAME = 'AgrLink' "
                      "and P.FLTRTRTP_NAME = 'Equal'")),
              "OBJ_ID");
    const Rows agrFld = Select("select N.FLTRTREE_NAME, F.FLD_FIELD from FLTR R join TBL T on T.TBL_ID = R.TBL_ID "
                               "join FLTRTREE N on N.FLTR_ID = R.FLTR_ID join FLD F on F.FLD_ID = N.FLD_ID "
                               "join FLTRTRTP P on P.FLTRTRTP_ID = N.FLTRTRTP_ID "
                               "where R.FLTR_NAME = 'AgrFld' and R.FLTR_ALWAYS = 1 and T.TBL_NAME = 'AgrFld' "
                               "and P.FLTRTRTP_NAME = 'Equal' order by N.FLTRTREE_LFT");
    ASSERT_EQ(agrFld.size(), 2);
    EXPECT_EQ(Str(agrFld[0][0]) + ":" + Str(agrFld[0][1]), "Obj:OBJ_ID");
    EXPECT_EQ(Str(agrFld[1][0]) + ":" + Str(agrFld[1][1]), "Type:FLDTYPE_ID");
}

TEST_F(InitialRepositoryTest, AdminHasChosenAViewAndACardOtherThanTheDefaults)
{
    const Rows views = Select("select T.TBL_DEFAULT, T.OBJ_ID from USRTBL U join USR S on S.USR_ID = U.USR_ID "
                              "join TBL T on T.TBL_ID = U.TBL_ID where S.USR_LOGIN = 'admin'");
    ASSERT_EQ(views.size(), 1);
    EXPECT_EQ(Int(views[0][0]), 0);
    EXPECT_NE(Int(views[0][1]), 0);
    const Rows cards = Select("select C.CARD_DEFAULT from USRCARD U join USR S on S.USR_ID = U.USR_ID "
                              "join CARD C on C.CARD_ID = U.CARD_ID where S.USR_LOGIN = 'admin'");
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(Int(cards[0][0]), 0);
}

// ------------------------------------------------------------------ loading it

TEST_F(InitialRepositoryTest, TheRepositoryLoadsAndAdminLogsIn)
{
    db.Init();
    ASSERT_TRUE(db.Inited);
    db.Login("admin", "");
    EXPECT_EQ(db.CurrentUserName, "Администратор");
    EXPECT_EQ(db.ObjList->Count(), Int(One("select count(*) from OBJ")));
    for (TObj *obj : *db.ObjList) {
        EXPECT_NE(obj->PKFld, nullptr) << obj->Table().toStdString();
        for (TFld *fld : *obj->FldList) {
            const std::string name = (obj->Table() + '.' + fld->Field()).toStdString();
            if (fld->FldType() == TFldType::ftFK) {
                EXPECT_EQ(fld->FKObj() == nullptr, fld->Virt()) << name;
            }
            if (!fld->DepIdAgr().isNull()) {
                EXPECT_NE(fld->AgrFld(), nullptr) << name;
            }
            EXPECT_EQ(fld->FormulaHave(), fld->Formula->FormulaTreeRoot != nullptr) << name;
        }
        EXPECT_EQ(obj->TemplFldList->Count(), obj->Templ().count("%s")) << obj->Table().toStdString();
    }
    // Read table by table and joined in memory, every row ends up once, with its own object.
    const auto idsOf = [&](const QString &text) {
        QMultiMap<int, int> ids;   // owner -> row
        for (const Row &row : Select(text))
            ids.insert(Int(row[0]), Int(row[1]));
        return ids;
    };
    const QMultiMap<int, int> fields = idsOf("select OBJ_ID, FLD_ID from FLD");
    const QMultiMap<int, int> links = idsOf("select OBJ_ID, DEP_ID from DEP");
    const QMultiMap<int, int> linksOfDetails = idsOf("select F.OBJ_ID, D.DEP_ID from DEP D join FLD F on F.FLD_ID = D.FLD_ID");
    const auto sorted = [](QList<int> ids) {
        std::sort(ids.begin(), ids.end());
        return ids;
    };
    for (TObj *obj : *db.ObjList) {
        QList<int> own, children, parents;
        for (TFld *fld : *obj->FldList)
            own << fld->Id();
        for (TObjLink *link : *obj->ChildList)
            children << link->Id();
        for (TObjLink *link : *obj->ParentList)
            parents << link->Id();
        const std::string name = obj->Table().toStdString();
        EXPECT_EQ(sorted(own), sorted(fields.values(obj->Id()))) << name;
        EXPECT_EQ(sorted(children), sorted(links.values(obj->Id()))) << name;
        EXPECT_EQ(sorted(parents), sorted(linksOfDetails.values(obj->Id()))) << name;
    }
}

TEST_F(InitialRepositoryTest, FormulasAndTemplatesReadAsWritten)
{
    db.Init();
    TObj *dealProd = db.ObjList->GetObjByTable("DEALPROD");
    EXPECT_EQ(dealProd->GetFldByName("DEALPROD_PAY")->Formula->Text(), "Количество * Цена + Доставка");
    EXPECT_EQ(dealProd->GetFldByName("DEALPROD_PRICE")->Formula->Text(),
              "Товар>Цена * Курс валюты(Товар>Валюта цены;Сделка>Дата) / Курс валюты(Сделка>Валюта;Сделка>Дата)");
    EXPECT_EQ(db.ObjList->GetObjByTable("DEAL")->GetFldByName("DEAL_RATE")->Formula->Text(), "Курс валюты(Валюта;Дата)");
    EXPECT_EQ(db.ObjList->GetObjByTable("PRODUCT")->GetFldByName("PRODUCT_PRICEVAT")->Formula->Text(), "Цена * 120 / 100");

    TObj *product = db.ObjList->GetObjByTable("PRODUCT");
    const int notebook = Int(One("select PRODUCT_ID from PRODUCT where PRODUCT_CODE = 'NB-1501'"));
    EXPECT_EQ(product->GetValueById(notebook), "Ноутбук 15,6\" офисный (шт)");
    TObj *part = db.ObjList->GetObjByTable("PRODPAYM");
    const Rows first = Select("select first 1 X.PRODPAYM_ID, M.DEALPAYM_DOC, P.PRODUCT_NAME from PRODPAYM X "
                              "join DEALPAYM M on M.DEALPAYM_ID = X.DEALPAYM_ID join DEALPROD D on D.DEALPROD_ID = X.DEALPROD_ID "
                              "join PRODUCT P on P.PRODUCT_ID = D.PRODUCT_ID order by X.PRODPAYM_ID");
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(part->GetValueById(Int(first[0][0])), Str(first[0][1]) + ": " + Str(first[0][2]));

    // One object read again on its own, paths included, gives the same.
    const QString price = dealProd->GetFldByName("DEALPROD_PRICE")->Formula->Text();
    dealProd->LoadFormuls();
    EXPECT_EQ(dealProd->GetFldByName("DEALPROD_PRICE")->Formula->Text(), price);
    part->TemplFldList->Clear();
    part->LoadTempl();
    EXPECT_EQ(part->GetValueById(Int(first[0][0])), Str(first[0][1]) + ": " + Str(first[0][2]));
}

TEST_F(InitialRepositoryTest, TheDealModuleFindsItsLinksAndColumns)
{
    db.Init();
    TObj *deal = db.ObjList->GetObjByTable("DEAL");
    const QList<std::pair<QString, QString>> dealLinks{{"DealProd", "DEALPROD"}, {"DealPaym", "DEALPAYM"}, {"DealShip", "DEALSHIP"}};
    for (const auto &[name, table] : dealLinks) {
        TObjLink *link = deal->ChildList->GetByName(name);
        ASSERT_NE(link, nullptr) << name.toStdString();
        EXPECT_EQ(link->ChildFld()->Obj()->Table(), table);
    }
    TObj *prod = deal->ChildList->GetByName("DealProd")->ChildFld()->Obj();
    TObj *paym = deal->ChildList->GetByName("DealPaym")->ChildFld()->Obj();
    TObj *ship = deal->ChildList->GetByName("DealShip")->ChildFld()->Obj();
    ASSERT_NE(paym->ChildList->GetByName("Paym-ProdPaym"), nullptr);
    ASSERT_NE(ship->ChildList->GetByName("Ship-ProdShip"), nullptr);
    TObj *prodPaym = paym->ChildList->GetByName("Paym-ProdPaym")->ChildFld()->Obj();
    TObj *prodShip = ship->ChildList->GetByName("Ship-ProdShip")->ChildFld()->Obj();
    EXPECT_EQ(prodPaym->Table(), "PRODPAYM");
    EXPECT_EQ(prodShip->Table(), "PRODSHIP");

    EXPECT_EQ(prod->PKFld, prod->GetFldByName("DEALPROD_ID"));
    TFld *paid = prod->GetFldByName("DEALPROD_PAID");
    TFld *shipped = prod->GetFldByName("DEALPROD_SHPD");
    EXPECT_EQ(paid->AgrFld(), prodPaym->GetFldByName("PRODPAYM_SUM"));
    EXPECT_EQ(shipped->AgrFld(), prodShip->GetFldByName("PRODSHIP_CNT"));
    EXPECT_TRUE(prod->GetFldByName("DEALPROD_PAY")->FormulaHave());
    EXPECT_EQ(prod->GetFldByName("DEALPROD_SHIP")->FldType(), TFldType::ftNum183);
    TFld *sum = paym->GetFldByName("DEALPAYM_SUM");
    EXPECT_EQ(sum->AgrObjLink(), paym->ChildList->GetByName("Paym-ProdPaym"));
    EXPECT_EQ(prodPaym->GetFldByName("DEALPROD_ID")->FKObj(), prod);
    EXPECT_EQ(prodShip->GetFldByName("DEALPROD_ID")->FKObj(), prod);

    // The products table of the payment and shipment cards shows what they need.
    const int view = Int(One("select TBL_ID from TBL where DEP_ID = :D and TBL_DEFAULT = 1",
                             {{"D", deal->ChildList->GetByName("DealProd")->Id()}}));
    const QStringList columns = ColumnsOf(view);
    for (const char *column : {"DEALPROD_PAY", "DEALPROD_PAID", "DEALPROD_SHIP", "DEALPROD_SHPD"})
        EXPECT_TRUE(columns.contains(column)) << column;
    // The payment card takes the sum while a payment is added.
    EXPECT_EQ(Int(One("select N.CTRLTREE_ROADD from CTRLTREE N join CARD C on C.CARD_ID = N.CARD_ID "
                      "join FLD F on F.FLD_ID = N.FLD_ID where C.CARD_DEFAULT = 1 and F.FLD_FIELD = 'DEALPAYM_SUM'")),
              0);
}

// The program's own loaders read every view, card and detail book, and the select that the
// SQL builder makes of each view with its always-on filters runs. A default view of an object
// returns every row of its table: the builder joins a required link inner, an optional one
// outer, so a wrong not-null flag on a link field would lose rows.
TEST_F(InitialRepositoryTest, EveryViewCardAndBookLoadsAndEveryViewsSelectRuns)
{
    db.Init();
    db.Login("admin", "");
    for (const Row &r : Select("select T.TBL_ID, O.OBJ_TABLE, T.TBL_DEFAULT, T.DEP_ID from TBL T "
                               "left join OBJ O on O.OBJ_ID = T.OBJ_ID order by T.TBL_ID")) {
        const int id = Int(r[0]);
        SCOPED_TRACE(QStringLiteral("view %1").arg(id).toStdString());
        try {
            TTbl tbl;
            tbl.RaiseLoad = true;
            ASSERT_TRUE(tbl.LoadById(id));
            ASSERT_NE(tbl.TblTree, nullptr);
            TSQL sql;
            sql.SetObj(tbl.GetObj());
            sql.AddTbl(tbl);
            TFilterList filters(true);
            filters.Load(tbl);
            for (TFilter *filter : filters)
                sql.AddFilter(filter);
            auto select = db.CreateIBSQLS();
            select->SetSQL(sql.GetSelectSQL());
            sql.SetParams(*select);
            int rows = 0;
            for (select->ExecQuery(); !select->Eof(); select->Next())
                ++rows;
            select->Close();
            if (Int(r[2]) == 1 && IsNull(r[3])) {
                ASSERT_TRUE(PlainIdent(Str(r[1])));
                EXPECT_EQ(rows, Int(One(QStringLiteral("select count(*) from %1").arg(Str(r[1])))));
            }
        } catch (const Exception &e) {
            ADD_FAILURE() << e.Message().toStdString();
        }
    }
    for (const Row &r : Select("select CARD_ID from CARD order by CARD_ID")) {
        SCOPED_TRACE(QStringLiteral("card %1").arg(Int(r[0])).toStdString());
        try {
            TCard card;
            card.RaiseLoad = true;
            ASSERT_TRUE(card.LoadById(Int(r[0])));
            EXPECT_NE(card.RootCtrlTree, nullptr);
        } catch (const Exception &e) {
            ADD_FAILURE() << e.Message().toStdString();
        }
    }
    for (const Row &r : Select("select B.DETBOOK_ID, (select count(*) from DETDEP D where D.DETBOOK_ID = B.DETBOOK_ID) "
                               "from DETBOOK B order by B.DETBOOK_ID")) {
        SCOPED_TRACE(QStringLiteral("detail book %1").arg(Int(r[0])).toStdString());
        try {
            TDetBook book;
            book.RaiseLoad = true;
            ASSERT_TRUE(book.LoadById(Int(r[0])));
            EXPECT_EQ(book.ObjLinkList.Count(), Int(r[1]));
        } catch (const Exception &e) {
            ADD_FAILURE() << e.Message().toStdString();
        }
    }

    // admin's own choices win over the defaults.
    TTbl products;
    ASSERT_TRUE(products.LoadCurrent(db.ObjList->GetObjByTable("PRODUCT"), nullptr, db.CurrentUserId));
    EXPECT_EQ(products.Name(), "PriceList");
    TCard contrag;
    ASSERT_TRUE(contrag.LoadCurrent(db.ObjList->GetObjByTable("CONTRAG"), db.CurrentUserId));
    EXPECT_EQ(contrag.Name(), "Requisites");
    TTbl deals;
    ASSERT_TRUE(deals.LoadCurrent(db.ObjList->GetObjByTable("DEAL"), nullptr, db.CurrentUserId));
    EXPECT_TRUE(deals.Default());
}

// ------------------------------------------------------------------ the checks can fail

TEST_F(InitialRepositoryTest, ColumnCheckFailsOnAWrongSizeTypeFlagOrMissingField)
{
    Write("update FLD set FLD_SIZE = FLD_SIZE + 1 where FLD_FIELD = 'OBJ_TABLE'");
    Write("update FLD set FLDTYPE_ID = (select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = 'Integ') "
          "where FLD_FIELD = 'DEAL_SUM'");
    Write("update FLD set FLD_NOTNULL = 0 where FLD_FIELD = 'PRODUCT_NAME'");
    Write("update FLD set FLD_DEF0 = 0 where FLD_FIELD = 'CONTRAG_BUYER'");
    Write("delete from FLD where FLD_FIELD = 'UNIT_FULL'");
    Write("update FLD set FLDTYPE_ID = null where FLD_FIELD = 'DEAL_NOTE'");
    const QStringList problems = CheckColumns();
    EXPECT_TRUE(AnyContains(problems, "OBJ.OBJ_TABLE: String of size 32")) << Joined(problems).toStdString();
    EXPECT_TRUE(AnyContains(problems, "DEAL.DEAL_SUM: type Integ, the column is on NUM182")) << Joined(problems).toStdString();
    EXPECT_TRUE(AnyContains(problems, "PRODUCT.PRODUCT_NAME: FLD_NOTNULL 0")) << Joined(problems).toStdString();
    EXPECT_TRUE(AnyContains(problems, "CONTRAG.CONTRAG_BUYER: FLD_DEF0 0")) << Joined(problems).toStdString();
    EXPECT_TRUE(AnyContains(problems, "UNIT.UNIT_FULL: column without a field row")) << Joined(problems).toStdString();
    EXPECT_TRUE(AnyContains(problems, "DEAL.DEAL_NOTE: no field type")) << Joined(problems).toStdString();
}

TEST_F(InitialRepositoryTest, LinkCheckFailsOnAWrongRuleOrMissingForeignKey)
{
    Write("update DEP set FKRULE_ID = (select FKRULE_ID from FKRULE where FKRULE_NAME = 'Cascade') "
          "where DEP_NAME = 'Contrag-Deal'");
    Write("alter table DEALSHIP drop constraint FK_DEALSHIP_DEAL_ID");
    Write("update DEP set OBJ_ID = (select OBJ_ID from OBJ where OBJ_TABLE = 'UNIT') where DEP_NAME = 'Curr-Product'");
    const QStringList problems = CheckLinks();
    EXPECT_TRUE(AnyContains(problems, "DEAL.CONTRAG_ID: link rule Cascade, the foreign key deletes NO ACTION"))
        << Joined(problems).toStdString();
    EXPECT_TRUE(AnyContains(problems, "DEALSHIP.DEAL_ID: no foreign key")) << Joined(problems).toStdString();
    EXPECT_TRUE(AnyContains(problems, "PRODUCT.CURR_ID: foreign key to CURR.CURR_ID, the link's master is UNIT.UNIT_ID"))
        << Joined(problems).toStdString();
}

TEST_F(InitialRepositoryTest, KeyCheckFailsOnAMissingSequenceOrASequenceBehindTheRows)
{
    Write("drop sequence UNIT_ID");
    Write("alter sequence CONTRAG_ID restart with 2");
    const QStringList problems = CheckKeys();
    EXPECT_TRUE(AnyContains(problems, "UNIT: no sequence UNIT_ID")) << Joined(problems).toStdString();
    EXPECT_TRUE(AnyContains(problems, "CONTRAG: sequence CONTRAG_ID at 2")) << Joined(problems).toStdString();
}

TEST_F(InitialRepositoryTest, SummingCheckFailsOnAMissingOrChangedTriggerOrAWrongSum)
{
    Write("drop trigger DEAL_SUM_AU");
    Write("alter trigger DEALPROD_PAID_AI as begin end");
    Write("update DEALSHIP set DEALSHIP_CNT = DEALSHIP_CNT + 1 where DEALSHIP_ID = (select min(DEALSHIP_ID) from DEALSHIP)");
    const QStringList problems = CheckSummingFields();
    EXPECT_TRUE(AnyContains(problems, "DEAL.DEAL_SUM: no trigger DEAL_SUM_AU")) << Joined(problems).toStdString();
    EXPECT_TRUE(AnyContains(problems, "DEALPROD.DEALPROD_PAID: trigger DEALPROD_PAID_AI differs"))
        << Joined(problems).toStdString();
    EXPECT_TRUE(AnyContains(problems, "DEALSHIP.DEALSHIP_CNT: 1 rows do not hold the sum")) << Joined(problems).toStdString();
}

TEST_F(InitialRepositoryTest, TreeChecksFailOnBoundsThatDoNotNest)
{
    QString problem;
    EXPECT_EQ(Nest({{1, 1, 8}, {2, 2, 3}, {3, 4, 7}, {4, 5, 6}}, problem), (QList<int>{-1, 0, 0, 2}));
    EXPECT_TRUE(problem.isEmpty());
    Nest({{1, 1, 6}, {2, 3, 4}, {3, 4, 5}}, problem);
    EXPECT_FALSE(problem.isEmpty());
    Nest({{1, 1, 6}, {2, 2, 4}, {3, 3, 5}}, problem);
    EXPECT_FALSE(problem.isEmpty());

    // A column node moved one place to the right overlaps its neighbour.
    Write("update TBLTREE set TBLTREE_RGT = TBLTREE_RGT + 1 where TBLTREE_ID = "
          "(select N.TBLTREE_ID from TBLTREE N join TBL T on T.TBL_ID = N.TBL_ID join FLD F on F.FLD_ID = N.FLD_ID "
          "where T.TBL_NAME = 'PriceList' and F.FLD_FIELD = 'PRODUCT_CODE')");
    EXPECT_TRUE(AnyContains(CheckViews(), "TBLTREE of TBL_ID")) << Joined(CheckViews()).toStdString();
    // A control bound to another object's field, and a tab sheet taken out of its page.
    Write("update CTRLTREE set FLD_ID = (select FLD_ID from FLD where FLD_FIELD = 'UNIT_NAME') where FLD_ID = "
          "(select FLD_ID from FLD where FLD_FIELD = 'CONTRAG_INN')");
    EXPECT_TRUE(AnyContains(CheckCards(), "bound to a field of another object")) << Joined(CheckCards()).toStdString();
    // A formula whose product lost an operand, and one whose path no longer leads to its field.
    Write("delete from FRMLTREE where FRMLTREE_ID = (select N.FRMLTREE_ID from FRMLTREE N join FLD F on F.FLD_ID = N.FLD_ID "
          "join FLD V on V.FLD_ID = N.FLD_ID_VALUE where F.FLD_FIELD = 'DEALPROD_PAY' and V.FLD_FIELD = 'DEALPROD_PRICE')");
    Write("update FRMLTRPT set FLD_ID = (select F.FLD_ID from FLD F join OBJ O on O.OBJ_ID = F.OBJ_ID "
          "where O.OBJ_TABLE = 'DEALPROD' and F.FLD_FIELD = 'DEAL_ID') where FRMLTRPT_ID = (select min(P.FRMLTRPT_ID) "
          "from FRMLTRPT P join FRMLTREE N on N.FRMLTREE_ID = P.FRMLTREE_ID join FLD V on V.FLD_ID = N.FLD_ID_VALUE "
          "where V.FLD_FIELD = 'PRODUCT_PRICE')");
    const QStringList formulas = CheckFormulas();
    EXPECT_TRUE(AnyContains(formulas, "Mul with 1 operands")) << Joined(formulas).toStdString();
    EXPECT_TRUE(AnyContains(formulas, "its field is no field of the path's end")) << Joined(formulas).toStdString();
}

TEST_F(InitialRepositoryTest, TemplateAndViewChecksFailOnAMissingPlaceholderOrDefault)
{
    Write("update OBJ set OBJ_TEMPL = OBJ_TEMPL || ' %s' where OBJ_TABLE = 'UNIT'");
    Write("update TBL set TBL_DEFAULT = 0 where OBJ_ID = (select OBJ_ID from OBJ where OBJ_TABLE = 'CURRATE')");
    Write("update CARD set CARD_DEFAULT = 1 where CARD_NAME = 'Requisites'");
    EXPECT_TRUE(AnyContains(CheckTemplates(), "UNIT: template \"%s %s\" has 2")) << Joined(CheckTemplates()).toStdString();
    EXPECT_TRUE(AnyContains(CheckViews(), "CURRATE: 0 default views")) << Joined(CheckViews()).toStdString();
    EXPECT_TRUE(AnyContains(CheckCards(), "CONTRAG: 2 default cards")) << Joined(CheckCards()).toStdString();
}

// The demo data can be changed and removed as a user would: deleting a deal takes its
// products, payments, shipments and their parts along and lowers the counterparty's turnover.
TEST_F(InitialRepositoryTest, DeletingADealCascadesAndKeepsTheSums)
{
    const Rows deal = Select("select first 1 DEAL_ID, CONTRAG_ID, DEAL_SUM from DEAL where DEAL_SUM > 0 "
                             "and exists (select 1 from DEALSHIP S where S.DEAL_ID = DEAL.DEAL_ID) order by DEAL_ID");
    ASSERT_EQ(deal.size(), 1);
    const Variant turnover = One("select CONTRAG_TURN from CONTRAG where CONTRAG_ID = :C", {{"C", deal[0][1]}});
    Write("delete from DEAL where DEAL_ID = :D", {{"D", deal[0][0]}});
    EXPECT_EQ(Int(One("select count(*) from DEALPROD where DEAL_ID = :D", {{"D", deal[0][0]}})), 0);
    EXPECT_EQ(Int(One("select count(*) from DEALPAYM where DEAL_ID = :D", {{"D", deal[0][0]}})), 0);
    EXPECT_EQ(One("select CONTRAG_TURN from CONTRAG where CONTRAG_ID = :C", {{"C", deal[0][1]}}).toCurrencyScaled(),
              turnover.toCurrencyScaled() - deal[0][2].toCurrencyScaled());
    EXPECT_TRUE(NoProblems(CheckSummingFields()));
}

} // namespace
