// The initial database: the repository's description of its own tables and of the demo
// business must agree with the schema Firebird holds, and everything it describes must load
// through the program's own loaders.
//
// Each schema check lists the problems it finds. The fresh database must give none; then the
// test breaks rows and schema objects in its copy and expects each check to name what it broke,
// so a check that cannot fail is caught too.

#include "Card.h"
#include "DetBook.h"
#include "FilterList.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Obj.h"
#include "ObjLink.h"
#include "Sql.h"
#include "Tbl.h"

#include "DBFixture.h"

#include <QHash>
#include <QSet>
#include <gtest/gtest.h>
#include <algorithm>
#include <set>

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

// Passes when some problem holds `part`, fails listing them all.
::testing::AssertionResult Names(const QStringList &problems, const QString &part)
{
    if (std::any_of(problems.begin(), problems.end(), [&](const QString &p) { return p.contains(part); }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no \"" << part.toStdString() << "\" among:\n"
                                         << problems.join('\n').toStdString();
}

class InitialRepositoryTest : public korvenix_test::DBFixture
{
protected:
    Rows Select(const QString &text, const Params &params = {}) { return korvenix_test::SelectRows(db, text, params); }

    // The first column of a select's rows.
    QSet<QString> Strings(const QString &text)
    {
        QSet<QString> strings;
        for (const Row &r : Select(text))
            strings << Str(r[0]);
        return strings;
    }

    // Every object has its table, with one key field, the primary key PK_<key> on that column
    // alone and the sequence named like the key column standing at or past the highest key;
    // every user table is an object; no two links share a name, no two objects a short caption.
    QStringList CheckTables()
    {
        const QSet<QString> tables = Strings("select trim(RDB$RELATION_NAME) from RDB$RELATIONS "
                                             "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$VIEW_BLR is null");
        const QSet<QString> sequences =
            Strings("select trim(RDB$GENERATOR_NAME) from RDB$GENERATORS where coalesce(RDB$SYSTEM_FLAG, 0) = 0");
        QHash<QString, QString> primaryKeys;   // table -> "constraint(column and n more)"
        for (const Row &r : Select("select trim(C.RDB$RELATION_NAME), trim(C.RDB$CONSTRAINT_NAME), "
                                   "min(trim(S.RDB$FIELD_NAME)), count(*) from RDB$RELATION_CONSTRAINTS C "
                                   "join RDB$INDEX_SEGMENTS S on S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                                   "where C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' group by 1, 2"))
            primaryKeys.insert(Str(r[0]), QStringLiteral("%1(%2 and %3 more)").arg(Str(r[1]), Str(r[2])).arg(Int(r[3]) - 1));
        QStringList problems;
        QSet<QString> described;
        for (const Row &r : Select("select O.OBJ_TABLE, count(F.FLD_ID), max(F.FLD_FIELD) from OBJ O "
                                   "left join FLD F on F.OBJ_ID = O.OBJ_ID and F.FLDTYPE_ID = "
                                   "(select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = 'PK') group by O.OBJ_TABLE")) {
            const QString table = Str(r[0]), key = Str(r[2]);
            described << table;
            if (!tables.contains(table))
                problems << QStringLiteral("object of table %1: no such table").arg(table);
            else if (Int(r[1]) != 1)
                problems << table + QStringLiteral(": %1 key fields").arg(Int(r[1]));
            else if (primaryKeys.value(table) != QStringLiteral("PK_%1(%1 and 0 more)").arg(key))
                problems << table + QStringLiteral(": primary key %1, key field %2").arg(primaryKeys.value(table), key);
            else if (!sequences.contains(key))
                problems << table + QStringLiteral(": no sequence %1").arg(key);
            else if (Int(repo.Scalar(QStringLiteral("select gen_id(%1, 0) - max(%1) from %2").arg(key, table))) < 0)
                problems << table + QStringLiteral(": sequence %1 behind the keys").arg(key);
        }
        for (const QString &table : tables - described)
            problems << QStringLiteral("table %1 is not described by an object").arg(table);
        // Links are found by name, and two "Данные" items (and their windows) with one caption
        // cannot be told apart.
        for (const Row &r : Select("select 'link name ' || DEP_NAME || ' used twice' from DEP group by DEP_NAME "
                                   "having count(*) > 1 union all select 'short caption ' || OBJ_CAPT2 || ' used twice' "
                                   "from OBJ group by OBJ_CAPT2 having count(*) > 1"))
            problems << Str(r[0]);
        return problems;
    }

    // Every field has a type; every stored field its column on the domain of its type (a varchar
    // of FLD_SIZE for strings), not null and default 0 exactly as the row says; no virtual field
    // a column. Every stored link field has one link row and the foreign key FK_<table>_<column>
    // on that column alone to the key of the link's master, deleting by the link's rule, updating
    // in cascade. Every column and every foreign key of a described table has its field.
    QStringList CheckFields()
    {
        QHash<QString, Row> columns;   // table.column -> domain, type, length, not null, default
        for (const Row &r : Select("select trim(RF.RDB$RELATION_NAME) || '.' || trim(RF.RDB$FIELD_NAME), "
                                   "trim(RF.RDB$FIELD_SOURCE), F.RDB$FIELD_TYPE, F.RDB$CHARACTER_LENGTH, "
                                   "maxvalue(coalesce(RF.RDB$NULL_FLAG, 0), coalesce(F.RDB$NULL_FLAG, 0)), "
                                   "cast(RF.RDB$DEFAULT_SOURCE as varchar(200)) from RDB$RELATION_FIELDS RF "
                                   "join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE"))
            columns.insert(Str(r[0]), r.mid(1));
        QHash<QString, Row> fks;   // table.column -> name, master.column, delete rule, update rule, columns
        for (const Row &r : Select("select trim(C.RDB$RELATION_NAME) || '.' || trim(S.RDB$FIELD_NAME), "
                                   "trim(C.RDB$CONSTRAINT_NAME), trim(M.RDB$RELATION_NAME) || '.' || "
                                   "trim(MS.RDB$FIELD_NAME), "
                                   "trim(R.RDB$DELETE_RULE), trim(R.RDB$UPDATE_RULE), "
                                   "(select count(*) from RDB$INDEX_SEGMENTS X where X.RDB$INDEX_NAME = C.RDB$INDEX_NAME) "
                                   "from RDB$RELATION_CONSTRAINTS C "
                                   "join RDB$REF_CONSTRAINTS R on R.RDB$CONSTRAINT_NAME = C.RDB$CONSTRAINT_NAME "
                                   "join RDB$INDEX_SEGMENTS S on S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                                   "join RDB$RELATION_CONSTRAINTS M on M.RDB$CONSTRAINT_NAME = R.RDB$CONST_NAME_UQ "
                                   "join RDB$INDEX_SEGMENTS MS on MS.RDB$INDEX_NAME = M.RDB$INDEX_NAME "
                                   "where C.RDB$CONSTRAINT_TYPE = 'FOREIGN KEY'"))
            fks.insert(Str(r[0]), r.mid(1));
        QMultiHash<int, Row> links;   // link field -> master.key, rule
        for (const Row &r : Select("select D.FLD_ID, M.OBJ_TABLE || '.' || K.FLD_FIELD, R.FKRULE_NAME from DEP D "
                                   "join OBJ M on M.OBJ_ID = D.OBJ_ID join FLD K on K.OBJ_ID = M.OBJ_ID "
                                   "and K.FLDTYPE_ID = (select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = 'PK') "
                                   "left join FKRULE R on R.FKRULE_ID = D.FKRULE_ID"))
            links.insert(Int(r[0]), r.mid(1));
        static const QHash<QString, QString> domains{
            {"PK", "PK"},         {"FK", "FK"},         {"Integ", "INTEG"},   {"Boolean", "BOOL"},
            {"Num182", "NUM182"}, {"Num183", "NUM183"}, {"Num184", "NUM184"}, {"Date", "DATEONLY"}};
        static const QHash<QString, QStringList> rules{
            {"NoAction", {"RESTRICT", "NO ACTION"}}, {"Cascade", {"CASCADE"}}, {"SetNull", {"SET NULL"}}};
        QStringList problems;
        QSet<QString> described, linkFields;
        for (const Row &f : Select("select F.FLD_ID, O.OBJ_TABLE || '.' || F.FLD_FIELD, T.FLDTYPE_NAME, F.FLD_SIZE, "
                                   "F.FLD_NOTNULL, F.FLD_DEF0, F.FLD_VIRT from FLD F join OBJ O on O.OBJ_ID = F.OBJ_ID "
                                   "left join FLDTYPE T on T.FLDTYPE_ID = F.FLDTYPE_ID")) {
            const QString name = Str(f[1]), type = Str(f[2]);
            // No type, a virtual field with a column, or a stored one without.
            if (type.isEmpty() || Int(f[6]) == 1 || !columns.contains(name)) {
                if (type.isEmpty() || (Int(f[6]) == 1) == columns.contains(name))
                    problems << name + QStringLiteral(": type \"%1\", virtual %2, column %3")
                                           .arg(type).arg(Int(f[6])).arg(columns.contains(name));
                continue;
            }
            described << name;
            const Row &c = columns[name];
            const bool sized = type == "String" || type == "ObjTempl";
            if (sized ? (Int(c[1]) != 37 || Int(c[2]) != Int(f[3])) : (Str(c[0]) != domains.value(type) || Int(f[3]) != 0))
                problems << name + QStringLiteral(": %1 of size %2, the column is on %3 (type %4, length %5)")
                                       .arg(type).arg(Int(f[3])).arg(Str(c[0])).arg(Int(c[1])).arg(Int(c[2]));
            if (Int(f[4]) != Int(c[3]))
                problems << name + QStringLiteral(": FLD_NOTNULL %1, not null %2").arg(Int(f[4])).arg(Int(c[3]));
            if ((Int(f[5]) == 1) != (Str(c[4]).simplified().compare("default 0", Qt::CaseInsensitive) == 0))
                problems << name + QStringLiteral(": FLD_DEF0 %1, default \"%2\"").arg(Int(f[5])).arg(Str(c[4]));
            if (type != "FK")
                continue;
            linkFields << name;
            const QList<Row> link = links.values(Int(f[0]));
            if (link.size() != 1 || !fks.contains(name)) {
                problems << name + QStringLiteral(": %1 link rows, foreign key %2").arg(link.size()).arg(fks.contains(name));
                continue;
            }
            const Row &fk = fks[name];
            const QString master = Str(link[0][0]), rule = Str(link[0][1]);
            if (Str(fk[0]) != "FK_" + QString(name).replace('.', '_') || Int(fk[4]) != 1)
                problems << name + QStringLiteral(": foreign key %1 on %2 columns").arg(Str(fk[0])).arg(Int(fk[4]));
            if (Str(fk[1]) != master)
                problems << name + QStringLiteral(": foreign key to %1, the link's master is %2").arg(Str(fk[1]), master);
            if (!rules.value(rule).contains(Str(fk[2])) || Str(fk[3]) != "CASCADE")
                problems << name + QStringLiteral(": link rule %1, the foreign key deletes %2, updates %3")
                                       .arg(rule, Str(fk[2]), Str(fk[3]));
        }
        const QSet<QString> tables = Strings("select OBJ_TABLE from OBJ");
        for (const QString &column : columns.keys())
            if (tables.contains(column.section('.', 0, 0)) && !described.contains(column))
                problems << column + ": column without a field row";
        for (const QString &column : fks.keys())
            if (tables.contains(column.section('.', 0, 0)) && !linkFields.contains(column))
                problems << column + QStringLiteral(": foreign key %1 without a stored link field").arg(Str(fks[column][0]));
        return problems;
    }

    // The text of one of the three triggers of a summing field, as the field editor writes it:
    // master M with key P and sum F, detail link column L, summed column A.
    static QString SummingTrigger(const QString &kind, const QString &M, const QString &P, const QString &F,
                                  const QString &L, const QString &A)
    {
        const auto change = [&](const QString &indent, const QString &rec, const QString &op) {
            return QStringList{indent + QStringLiteral("if (coalesce(%1.%2, 0) <> 0) then").arg(rec, A),
                               indent + QStringLiteral("  update %1 T").arg(M),
                               indent + QStringLiteral("  set T.%1 = coalesce(T.%1, 0) %2 %3.%4").arg(F, op, rec, A),
                               indent + QStringLiteral("  where T.%1 = %2.%3;").arg(P, rec, L)};
        };
        QStringList lines{"AS", "begin"};
        if (kind == "AI")
            lines << change("  ", "NEW", "+");
        else if (kind == "AD")
            lines << change("  ", "OLD", "-");
        else
            lines << QStringLiteral("  if (NEW.%1 is not distinct from OLD.%1) then").arg(L)
                  << QStringLiteral("    if (coalesce(NEW.%1, 0) <> coalesce(OLD.%1, 0)) then").arg(A)
                  << QStringLiteral("      update %1 T").arg(M)
                  << QStringLiteral("      set T.%1 = coalesce(T.%1, 0) + coalesce(NEW.%2, 0) - coalesce(OLD.%2, 0)").arg(F, A)
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
            "join FLD K on K.OBJ_ID = O.OBJ_ID "
            "and K.FLDTYPE_ID = (select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = 'PK') "
            "join DEP D on D.DEP_ID = F.DEP_ID_AGR join FLD L on L.FLD_ID = D.FLD_ID join OBJ DO on DO.OBJ_ID = L.OBJ_ID "
            "left join FLD A on A.FLD_ID = F.FLD_ID_AGR where F.FLD_VIRT = 0"));
        static const QHash<QString, QString> triggerTypes{{"AI", "2"}, {"AU", "4"}, {"AD", "6"}};
        for (const Row &r : rows) {
            const QString M = Str(r[0]), F = Str(r[1]), P = Str(r[2]), D = Str(r[3]), L = Str(r[4]), A = Str(r[5]);
            const QString name = M + '.' + F;
            if (Int(r[6]) != 1) {
                problems << name + QStringLiteral(": sums %1.%2, no field of its type in a detail of its own").arg(D, A);
                continue;
            }
            for (const QString kind : {"AI", "AD", "AU"}) {
                // Table, type (after insert 2, update 4, delete 6), active, first, text.
                const Rows trigger = Select(QStringLiteral(
                    "select trim(RDB$RELATION_NAME) || RDB$TRIGGER_TYPE || coalesce(RDB$TRIGGER_INACTIVE, 0) "
                    "|| RDB$TRIGGER_SEQUENCE, cast(RDB$TRIGGER_SOURCE as varchar(8000)) from RDB$TRIGGERS "
                    "where RDB$TRIGGER_NAME = :N"),
                    {{"N", F + '_' + kind}});
                if (trigger.isEmpty())
                    problems << name + QStringLiteral(": no trigger %1_%2").arg(F, kind);
                else if (Str(trigger[0][0]) != D + triggerTypes[kind] + "00" ||
                         Str(trigger[0][1]).replace("\r\n", "\n").trimmed() != SummingTrigger(kind, M, P, F, L, A))
                    problems << name + QStringLiteral(": trigger %1_%2 differs from the field editor's").arg(F, kind);
            }
            const int wrong = Int(repo.Scalar(QStringLiteral(
                "select count(*) from %1 T1 where T1.%2 <> coalesce((select sum(T2.%3) from %4 T2 where T2.%5 = T1.%6), 0)")
                                          .arg(M, F, A, D, L, P)));
            if (wrong != 0)
                problems << name + QStringLiteral(": %1 rows do not hold the sum of their details").arg(wrong);
        }
        return problems;
    }
};

// Deleting a deal takes its products, payments, shipments and their parts along, and the
// triggers lower the counterparty's turnover. The database passes every check; then each check
// names what is broken in its copy.
TEST_F(InitialRepositoryTest, TheSchemaAgreesWithTheRepositoryAfterADealsDeletionAndEachCheckNamesABreak)
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
    EXPECT_EQ(CheckTables(), QStringList());
    EXPECT_EQ(CheckFields(), QStringList());
    EXPECT_EQ(CheckSummingFields(), QStringList());

    // Each break, and what the checks must name for it.
    const std::pair<const char *, const char *> breaks[] = {
        {"create table STRAY (STRAY_ID integer)", "table STRAY is not described"},
        {"update OBJ set OBJ_TABLE = 'GONE' where OBJ_TABLE = 'CURRATE'", "object of table GONE: no such table"},
        {"update FLD set FLDTYPE_ID = null where FLD_FIELD = 'PRODSHIP_ID'", "PRODSHIP: 0 key fields"},
        {"alter table PRODPAYM drop constraint PK_PRODPAYM_ID", "PRODPAYM: primary key , key field PRODPAYM_ID"},
        {"drop sequence UNIT_ID", "UNIT: no sequence UNIT_ID"},
        {"alter sequence CONTRAG_ID restart with 2", "CONTRAG: sequence CONTRAG_ID behind the keys"},
        {"update OBJ set OBJ_CAPT2 = (select OBJ_CAPT2 from OBJ where OBJ_TABLE = 'PRODUCT') where OBJ_TABLE = 'DEALPROD'",
         "short caption Товары used twice"},
        {"update DEP set DEP_NAME = 'Curr-Deal' where DEP_NAME = 'Curr-CurRate'", "link name Curr-Deal used twice"},
        {"update FLD set FLD_SIZE = FLD_SIZE + 1 where FLD_FIELD = 'OBJ_TABLE'", "OBJ.OBJ_TABLE: String of size 32"},
        {"update FLD set FLDTYPE_ID = (select FLDTYPE_ID from FLDTYPE where FLDTYPE_NAME = 'Integ') "
         "where FLD_FIELD = 'PRODUCT_PRICE'",
         "PRODUCT.PRODUCT_PRICE: Integ of size 0, the column is on NUM182"},
        {"update FLD set FLD_NOTNULL = 0 where FLD_FIELD = 'PRODUCT_NAME'", "PRODUCT.PRODUCT_NAME: FLD_NOTNULL 0"},
        {"update FLD set FLD_DEF0 = 0 where FLD_FIELD = 'CONTRAG_BUYER'", "CONTRAG.CONTRAG_BUYER: FLD_DEF0 0"},
        {"delete from FLD where FLD_FIELD = 'UNIT_FULL'", "UNIT.UNIT_FULL: column without a field row"},
        {"update FLD set FLDTYPE_ID = null where FLD_FIELD = 'DEAL_NOTE'", "DEAL.DEAL_NOTE: type \"\""},
        {"update FLD set FLD_VIRT = 1 where FLD_FIELD = 'DEAL_NUM'", "DEAL.DEAL_NUM: type \"String\", virtual 1, column 1"},
        {"update DEP set FKRULE_ID = (select FKRULE_ID from FKRULE where FKRULE_NAME = 'Cascade') "
         "where DEP_NAME = 'Contrag-Deal'",
         "DEAL.CONTRAG_ID: link rule Cascade, the foreign key deletes NO ACTION"},
        {"alter table DEALSHIP drop constraint FK_DEALSHIP_DEAL_ID", "DEALSHIP.DEAL_ID: 1 link rows, foreign key 0"},
        {"alter table DEALPAYM drop constraint FK_DEALPAYM_DEAL_ID, add constraint FK_PAYM foreign key (DEAL_ID) "
         "references DEAL on delete cascade on update cascade",
         "DEALPAYM.DEAL_ID: foreign key FK_PAYM on 1 columns"},
        {"alter table UNIT add OWNER_ID integer, add constraint FK_OWNER foreign key (OWNER_ID) references UNIT",
         "UNIT.OWNER_ID: foreign key FK_OWNER without a stored link field"},
        {"update DEP set OBJ_ID = (select OBJ_ID from OBJ where OBJ_TABLE = 'UNIT') where DEP_NAME = 'Curr-Product'",
         "PRODUCT.CURR_ID: foreign key to CURR.CURR_ID, the link's master is UNIT.UNIT_ID"},
        {"drop trigger DEAL_SUM_AU", "DEAL.DEAL_SUM: no trigger DEAL_SUM_AU"},
        {"update FLD set FLD_ID_AGR = (select FLD_ID from FLD where FLD_FIELD = 'DEALPAYM_DOC') where FLD_FIELD = 'DEAL_PAID'",
         "DEAL.DEAL_PAID: sums DEALPAYM.DEALPAYM_DOC, no field of its type"},
        {"alter trigger DEALPROD_PAID_AI as begin end", "DEALPROD.DEALPROD_PAID: trigger DEALPROD_PAID_AI differs"},
        {"update DEALSHIP set DEALSHIP_CNT = DEALSHIP_CNT + 1 where DEALSHIP_ID = (select min(DEALSHIP_ID) from DEALSHIP)",
         "DEALSHIP.DEALSHIP_CNT: 1 rows do not hold the sum"}};
    for (const auto &[text, problem] : breaks)
        repo.Exec(text);
    const QStringList problems = CheckTables() + CheckFields() + CheckSummingFields();
    for (const auto &[text, problem] : breaks)
        EXPECT_TRUE(Names(problems, problem)) << text;
}

// The load joins fields and links read table by table in memory: every row ends up once, with
// its own object, and every template can be used. Every object opens with its
// current view and card, every detail link with its view, every object with details with its
// book; every view, card and book loads, and the select the builder makes of each view with its
// always-on filters runs. A default view returns every row of its table: a required link is
// joined inner, so a wrong not-null flag would lose rows.
TEST_F(InitialRepositoryTest, EverythingLoadsAndEveryViewsSelectRuns)
{
    db.Init();
    db.Login("admin", "");
    using Pairs = std::multiset<std::pair<int, int>>;   // object, row
    const auto pairs = [&](const QString &text) {
        Pairs ids;
        for (const Row &row : Select(text))
            ids.insert({Int(row[0]), Int(row[1])});
        return ids;
    };
    Pairs fields, children, parents;
    TTbl tbl;
    TCard card;
    TDetBook book;
    tbl.RaiseLoad = card.RaiseLoad = book.RaiseLoad = true;
    for (TObj *obj : *db.ObjList) {
        SCOPED_TRACE(obj->Table().toStdString());
        for (TFld *fld : *obj->FldList)
            fields.insert({obj->Id(), fld->Id()});
        for (TObjLink *link : *obj->ChildList) {
            children.insert({obj->Id(), link->Id()});
            if (link->Det()) {
                EXPECT_NO_THROW(tbl.LoadCurrent(nullptr, link, db.CurrentUserId));
                EXPECT_NO_THROW(book.LoadCurrent(obj, db.CurrentUserId));
            }
        }
        for (TObjLink *link : *obj->ParentList)
            parents.insert({obj->Id(), link->Id()});
        ASSERT_NE(obj->PKFld, nullptr);
        const Variant last = repo.Scalar(QString("select max(%1) from %2").arg(obj->PKFld->Field(), obj->Table()));
        EXPECT_NO_THROW(obj->GetValueById(Int(last)));
        EXPECT_NO_THROW(tbl.LoadCurrent(obj, nullptr, db.CurrentUserId));
        EXPECT_NO_THROW(card.LoadCurrent(obj, db.CurrentUserId));
    }
    EXPECT_EQ(fields, pairs("select OBJ_ID, FLD_ID from FLD"));
    EXPECT_EQ(children, pairs("select OBJ_ID, DEP_ID from DEP"));
    EXPECT_EQ(parents, pairs("select F.OBJ_ID, D.DEP_ID from DEP D join FLD F using (FLD_ID)"));
    for (const Row &r : Select("select T.TBL_ID, O.OBJ_TABLE, iif(T.TBL_DEFAULT = 1 and T.DEP_ID is null, 1, 0) from TBL T "
                               "left join OBJ O on O.OBJ_ID = T.OBJ_ID")) {
        SCOPED_TRACE(QStringLiteral("view %1").arg(Int(r[0])).toStdString());
        EXPECT_NO_THROW({
            TTbl view;
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
}

} // namespace
