#include "Sql.h"

#include "Filter.h"
#include "FilterList.h"
#include "FilterTree.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "Tbl.h"
#include "TblTree.h"

namespace {

using enum TFilterTreeType;

// Field types a value can be compared with by "=", ">" and "<".
const TFldTypes FldTypesCompare{TFldType::ftPK,     TFldType::ftString, TFldType::ftFK,
                                TFldType::ftInt,    TFldType::ftBoolean, TFldType::ftNum182,
                                TFldType::ftNum183, TFldType::ftNum184, TFldType::ftDate};

// The statement's lines, each followed by CR LF, the last one included.
QString LinesText(const QStringList &ALines)
{
    QString text;
    for (const QString &line : ALines)
        text += line + QStringLiteral("\r\n");
    return text;
}

// A caption goes into a /* */ comment; its own closing characters would end the comment
// early and turn the rest of the caption into statement text.
QString CommentText(const QString &ACapt)
{
    QString text = ACapt;
    return text.replace(QStringLiteral("*/"), QStringLiteral("* /"));
}

// What the message about a node calls it: its name, else its row's id.
QString NodeLabel(const TFilterTree &ANode)
{
    if (!ANode.Name().isEmpty())
        return ANode.Name();
    const Variant id = ANode.FldByName(QStringLiteral("FLTRTREE_ID")).Value;
    return id.isEmptyOrNull() ? QString() : id.toString();
}

// Ranges, lists and sub-queries have no text in the builder: their values would need more
// than one parameter per node, so such a filter is refused before it is numbered.
bool Unsupported(TFilterTreeType AType)
{
    return AType == fttBetween || AType == fttIn || AType == fttExist;
}

[[noreturn]] void RaiseUnsupported(const TFilter &AFilter, const TFilterTree &ANode, TFilterTreeType AType)
{
    const QString typeName = AType == fttBetween ? QStringLiteral("Между")
                             : AType == fttIn    ? QStringLiteral("Входит в список")
                                                 : QStringLiteral("Существует");
    throw ExceptionPos(Format(QStringLiteral("Фильтр \"%s\": узел \"%s\" типа \"%s\" не поддерживается."),
                              {AFilter.Name(), NodeLabel(ANode), typeName}));
}

// Node types whose text tests a field and whose value travels as a parameter.
bool HasParam(TFilterTreeType AType)
{
    return AType == fttEqual || AType == fttGreater || AType == fttLess || AType == fttContaining;
}

} // namespace

TSQL::TSQL() : FilterList(std::make_unique<TFilterList>(false)) {}

TSQL::~TSQL() = default;

void TSQL::SetObj(TObj *AObj)
{
    FObj = AObj;
    SelFldList.Clear();
    JoinList.Clear();
    FilterList->Clear();
    LastJoinIndex = -1;
    LastParamIndex = -1;
    if (AObj) {
        auto root = std::make_unique<TJoin>();
        root->Index = NextJoinIndex();
        root->Obj = AObj;
        JoinList.Add(std::move(root));
    }
}

void TSQL::CheckObj() const
{
    if (!FObj)
        throw ExceptionPos(QStringLiteral("Построитель запросов: Проверка наличия объекта - объект не указан."));
}

TJoin *TSQL::AddJoin(TFld *AFld, TJoin *AJoin)
{
    for (int i = 1; i < JoinList.Count(); ++i) {
        TJoin *join = JoinList.Items(i);
        if (join->JoinFld == AFld && join->Join == AJoin)
            return join;
    }
    // The join's text names the master's table and key column; without them the statement
    // could not be written at all.
    if (!AFld->FKObj() || !AFld->FKObj()->PKFld)
        throw ExceptionPos(Format(QStringLiteral("Построитель запросов: поле \"%s\" не ведёт к записи другого объекта."),
                                  {AFld->Capt()}));
    auto join = std::make_unique<TJoin>();
    join->Index = NextJoinIndex();
    join->Obj = AFld->FKObj();
    join->Join = AJoin;
    join->JoinFld = AFld;
    // Below an optional link the master may be missing, and an inner join would drop the row.
    join->Left = !AFld->NotNull() || AJoin->Left;
    return JoinList.Add(std::move(join));
}

TSelFld *TSQL::AddSelFld(TFld *AFld, TJoin *AJoin)
{
    for (TSelFld *selFld : SelFldList)
        if (selFld->Fld == AFld && selFld->Join == AJoin)
            return selFld;
    auto selFld = std::make_unique<TSelFld>();
    selFld->Fld = AFld;
    selFld->Join = AJoin;
    return SelFldList.Add(std::move(selFld));
}

TSelFld *TSQL::AddFld(TFld *AFld)
{
    CheckObj();
    return AddSelFld(AFld, RootJoin());
}

TJoin *TSQL::AddFldPath(TFld *AFld, const TFldList &APath, bool AddingSelFld, bool SkipFirstPath)
{
    CheckObj();
    TJoin *join = RootJoin();
    for (int i = SkipFirstPath ? 1 : 0; i < APath.Count(); ++i)
        join = AddJoin(APath.Items(i), join);
    if (AddingSelFld)
        AddSelFld(AFld, join);
    return join;
}

void TSQL::AddTbl(const TTbl &ATbl)
{
    CheckObj();
    if (!ATbl.TblTree)
        throw ExceptionPos(Format(QStringLiteral("Построитель запросов: у таблицы \"%s\" нет дерева колонок."),
                                  {ATbl.Capt()}));
    AddSelFld(ATbl.TblTree->Fld(), RootJoin());
    AddTblTree(ATbl.TblTree.get(), RootJoin());
}

void TSQL::AddTblTree(TTblTree *ANode, TJoin *AJoin)
{
    for (TTblTree *child : ANode->TblTreeList) {
        if (child->Fld()->FldType() == TFldType::ftFK) {
            TJoin *join = AddJoin(child->Fld(), AJoin);
            join->ByTbl = true;
            AddTblTree(child, join);
        } else {
            AddSelFld(child->Fld(), AJoin)->TblTree = child;
        }
    }
}

void TSQL::AddFilter(TFilter *AFilter)
{
    CheckObj();
    // A filter without conditions lets every row through; it adds nothing to the statement.
    if (!AFilter->FilterTreeRoot)
        return;
    // Checked whole before anything is joined or numbered, so a refused filter leaves the
    // builder as it was.
    CheckFilterTree(*AFilter, AFilter->FilterTreeRoot.get());
    NumberFilterTree(AFilter->FilterTreeRoot.get());
    FilterList->Add(AFilter);
}

void TSQL::CheckFilterTree(const TFilter &AFilter, TFilterTree *ANode) const
{
    const TFilterTreeType type = ANode->FilterTreeType();
    if (Unsupported(type))
        RaiseUnsupported(AFilter, *ANode, type);
    if ((HasParam(type) || type == fttEmpty) && !ANode->Fld())
        throw ExceptionPos(Format(QStringLiteral("Фильтр \"%s\": у узла \"%s\" не указано поле."),
                                  {AFilter.Name(), NodeLabel(*ANode)}));
    for (TFilterTree *child : ANode->FilterTreeList)
        CheckFilterTree(AFilter, child);
}

void TSQL::NumberFilterTree(TFilterTree *ANode)
{
    if (ANode->Fld())
        ANode->JoinIndex = AddFldPath(ANode->Fld(), ANode->Path, false, false)->Index;
    // Group nodes take a number too, so numbers have gaps; only empty-tests never use one.
    if (ANode->FilterTreeType() != fttEmpty)
        ANode->ParamIndex = NextParamIndex();
    for (TFilterTree *child : ANode->FilterTreeList)
        NumberFilterTree(child);
}

void TSQL::ClearNotTbl()
{
    FilterList->Clear();
    for (int i = JoinList.Count() - 1; i >= 1; --i) {
        TJoin *join = JoinList.Items(i);
        if (join->ByTbl)
            continue;
        // An output field on a dropped join would point at freed memory.
        for (int k = SelFldList.Count() - 1; k >= 0; --k)
            if (SelFldList.Items(k)->Join == join)
                SelFldList.Delete(k);
        JoinList.Delete(i);
    }
}

QString TSQL::GetSelectSQL() const
{
    CheckObj();
    QStringList lines;
    lines << QStringLiteral("select");
    for (int i = 0; i < SelFldList.Count(); ++i) {
        const TSelFld *selFld = SelFldList.Items(i);
        lines << Format(QStringLiteral("  T%d.%s /* %s */%s"),
                        {selFld->Join->Index, selFld->Fld->Field(), CommentText(selFld->Fld->Capt()),
                         i < SelFldList.Count() - 1 ? QStringLiteral(",") : QString()});
    }
    lines << QStringLiteral("from");
    lines << Format(QStringLiteral("  %s T%d"), {FObj->Table(), RootJoin()->Index});
    for (int i = 1; i < JoinList.Count(); ++i) {
        const TJoin *join = JoinList.Items(i);
        lines << Format(QStringLiteral("  %sjoin %s T%d on T%d.%s = T%d.%s"),
                        {join->Left ? QStringLiteral("left ") : QString(), join->Obj->Table(), join->Index,
                         join->Index, join->Obj->PKFld->Field(), join->Join->Index, join->JoinFld->Field()});
    }
    AddSQLWhere(lines);
    return LinesText(lines);
}

QString TSQL::GetInsertSQL() const
{
    CheckObj();
    QStringList lines;
    lines << QStringLiteral("insert into");
    lines << QStringLiteral("  ") + FObj->Table();
    lines << QStringLiteral("(");
    const int count = SelFldList.Count();
    for (int i = 0; i < count; ++i) {
        const TFld *fld = SelFldList.Items(i)->Fld;
        lines << Format(QStringLiteral("  %s /* %s */%s"),
                        {fld->Field(), CommentText(fld->Capt()), i < count - 1 ? QStringLiteral(",") : QString()});
    }
    lines << QStringLiteral(") values (");
    for (int i = 0; i < count; ++i) {
        const TFld *fld = SelFldList.Items(i)->Fld;
        lines << Format(QStringLiteral("  :%s /* %s */%s"),
                        {fld->Field(), CommentText(fld->Capt()), i < count - 1 ? QStringLiteral(",") : QString()});
    }
    lines << QStringLiteral(")");
    return LinesText(lines);
}

QString TSQL::GetUpdateSQL() const
{
    return LinesText(UpdateLines());
}

QString TSQL::OldValueParam(const TFld *AFld)
{
    // A leading digit: no column is named so (a name starts with a letter), and the filters'
    // parameters are digits only.
    return QStringLiteral("0_") + AFld->Field();
}

QString TSQL::GetUpdateSQL(const QList<const TFld *> &AUnchanged) const
{
    QStringList lines = UpdateLines();
    const int alias = RootJoin()->Index;
    bool where = FilterList->Count() > 0;
    for (const TFld *fld : AUnchanged) {
        lines << (where ? QStringLiteral("and") : QStringLiteral("where"));
        where = true;
        // Texts compare as written: the columns' own collation ignores letter case, and a
        // name another user corrected from "ромашка" to "Ромашка" is a change all the same.
        const bool text = fld->FldType() == TFldType::ftString || fld->FldType() == TFldType::ftObjTempl;
        lines << Format(QStringLiteral("  T%d.%s%s is not distinct from :%s"),
                        {alias, fld->Field(), text ? QStringLiteral(" collate UNICODE") : QString(),
                         OldValueParam(fld)});
    }
    lines << QStringLiteral("returning");
    lines << Format(QStringLiteral("  T%d.%s"), {alias, FObj->PKFld->Field()});
    return LinesText(lines);
}

QStringList TSQL::UpdateLines() const
{
    CheckObj();
    QStringList lines;
    lines << QStringLiteral("update");
    lines << Format(QStringLiteral("  %s T%d"), {FObj->Table(), RootJoin()->Index});
    lines << QStringLiteral("set");
    const int count = SelFldList.Count();
    for (int i = 0; i < count; ++i) {
        const TFld *fld = SelFldList.Items(i)->Fld;
        lines << Format(QStringLiteral("  T%d.%s = :%s /* %s */%s"),
                        {RootJoin()->Index, fld->Field(), fld->Field(), CommentText(fld->Capt()),
                         i < count - 1 ? QStringLiteral(",") : QString()});
    }
    AddSQLWhere(lines);
    return lines;
}

QString TSQL::GetDeleteSQL() const
{
    CheckObj();
    QStringList lines;
    lines << QStringLiteral("delete");
    lines << QStringLiteral("from");
    lines << Format(QStringLiteral("  %s T%d"), {FObj->Table(), RootJoin()->Index});
    AddSQLWhere(lines);
    return LinesText(lines);
}

void TSQL::AddSQLWhere(QStringList &ALines) const
{
    if (FilterList->Count() == 0)
        return;
    ALines << QStringLiteral("where");
    for (int i = 0; i < FilterList->Count(); ++i) {
        if (i > 0)
            ALines << QStringLiteral("and");
        const TFilter *filter = FilterList->Items(i);
        AddSQLFilterTree(ALines, *filter, filter->FilterTreeRoot.get(), QStringLiteral("  "));
    }
}

void TSQL::AddSQLFilterTree(QStringList &ALines, const TFilter &AFilter, TFilterTree *ANode,
                            const QString &AIndent) const
{
    const TFilterTreeType type = ANode->FilterTreeType();
    switch (type) {
    case fttAnd:
    case fttOr: {
        const QString word = type == fttAnd ? QStringLiteral("and") : QStringLiteral("or");
        ALines << AIndent + QStringLiteral("(");
        for (int i = 0; i < ANode->FilterTreeList.Count(); ++i) {
            if (i > 0)
                ALines << AIndent + word;
            AddSQLFilterTree(ALines, AFilter, ANode->FilterTreeList.Items(i), AIndent + QStringLiteral("  "));
        }
        ALines << AIndent + QStringLiteral(")");
        return;
    }
    case fttEqual:
    case fttGreater:
    case fttLess: {
        const TFldType fldType = ANode->Fld()->FldType();
        if (!FldTypesCompare.Contains(fldType))
            throw ExceptionPos(Format(QStringLiteral("TSQL.AddSQLFilterTree: Нет обработки типа поля \"%s\"."),
                                      {DB->FldTypeToCapt(fldType)}));
        // Each operator's negation is its complement, so "not greater" keeps equal values.
        QString op;
        if (type == fttEqual)
            op = ANode->No() ? QStringLiteral("<>") : QStringLiteral("=");
        else if (type == fttGreater)
            op = ANode->No() ? QStringLiteral("<=") : QStringLiteral(">");
        else
            op = ANode->No() ? QStringLiteral(">=") : QStringLiteral("<");
        ALines << AIndent + Format(QStringLiteral("T%d.%s %s :%d"),
                                   {ANode->JoinIndex, ANode->Fld()->Field(), op, ANode->ParamIndex});
        return;
    }
    case fttEmpty:
        ALines << AIndent + Format(QStringLiteral("T%d.%s is %snull"),
                                   {ANode->JoinIndex, ANode->Fld()->Field(),
                                    ANode->No() ? QStringLiteral("not ") : QString()});
        return;
    case fttContaining:
        ALines << AIndent + Format(QStringLiteral("T%d.%s %scontaining :%d"),
                                   {ANode->JoinIndex, ANode->Fld()->Field(),
                                    ANode->No() ? QStringLiteral("not ") : QString(), ANode->ParamIndex});
        return;
    case fttBetween:
    case fttIn:
    case fttExist:
        RaiseUnsupported(AFilter, *ANode, type);
    default:
        break;
    }
    throw ExceptionPos(Format(QStringLiteral("TSQL.AddSQLFilterTree: Неизвестный тип узла дерева условий \"%s\"."),
                              {DB->FilterTreeTypeToCapt(type)}));
}

void TSQL::SetParams(TIBSQL &AIBSQL) const
{
    for (const TFilter *filter : *FilterList)
        SetFilterTreeParams(AIBSQL, filter->FilterTreeRoot.get());
}

void TSQL::SetFilterTreeParams(TIBSQL &AIBSQL, TFilterTree *ANode) const
{
    // Only nodes whose text carries a parameter set one; any other would name a parameter
    // the statement does not have.
    if (ANode->Fld() && HasParam(ANode->FilterTreeType()))
        AIBSQL.ParamByName(QString::number(ANode->ParamIndex.toInt64())) = ANode->Value();
    for (TFilterTree *child : ANode->FilterTreeList)
        SetFilterTreeParams(AIBSQL, child);
}

TSelFld *TSQL::GetSelFld(const TFld *AFld) const
{
    for (TSelFld *selFld : SelFldList)
        if (selFld->TblTree && selFld->TblTree->Fld() == AFld)
            return selFld;
    return nullptr;
}
