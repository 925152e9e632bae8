#include "Obj.h"

#include <algorithm>
#include <utility>

#include "Fld.h"
#include "Formula.h"
#include "Func.h"
#include "IBSQL.h"
#include "Main.h"
#include "NestedSet.h"
#include "ObjLink.h"
#include "ObjValue.h"
#include "Filter.h"
#include "FilterTree.h"
#include "Sql.h"

TObj::TObj()
{
    TSObj::AddAllFld(*DB->ObjList->GetObjByTable(QStringLiteral("OBJ")));
    SetUp();
}

TObj::TObj(const TIBSQL &AIBSQL)
{
    AddAllFld(AIBSQL);
    SetUp();
}

void TObj::SetUp()
{
    FldList = std::make_unique<TFldList>(true);
    ChildList = std::make_unique<TObjLinkList>(this, true);
    ParentList = std::make_unique<TObjLinkList>(this, false);
    TemplFldList = std::make_unique<TTemplFldList>();
}

void TObj::ReleaseStatements()
{
    FWriteSQLs.clear();
    FGenSQL.reset();
    FIBSQLS.reset();
}

TObj::~TObj()
{
    if (FIndexedIn)
        FIndexedIn->Unindex(this);
    ParentList.reset();
    ChildList.reset();
    FldList.reset();
    TemplFldList.reset();
    ReleaseStatements();
}

namespace {

// A statement outlives a connection that closed under it (a login that failed half-way);
// such a one cannot run again and is made anew.
bool Usable(const std::unique_ptr<TIBSQL> &ASQL)
{
    return ASQL && ASQL->Database();
}

} // namespace

TIBSQL &TObj::IBSQLS()
{
    if (!Usable(FIBSQLS))
        FIBSQLS = DB->CreateIBSQLS();
    return *FIBSQLS;
}

TFld *TObj::AddLoadedFld(std::unique_ptr<TFld> AFld)
{
    AFld->SetObj(this);
    if (AFld->FldType() == TFldType::ftPK)
        PKFld = AFld.get();
    return FldList->Add(std::move(AFld));
}

void TObj::LoadFields()
{
    FldList->Clear();
    PKFld = nullptr;
    // One object's fields are read rarely (the repository load reads all at once), so the
    // statement lives only while they are read.
    const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLS();
    sql->AddLine(QStringLiteral("select *"));
    sql->AddLine(QStringLiteral("from FLD"));
    sql->AddLine(QStringLiteral("where OBJ_ID = :OBJ_ID"));
    sql->ParamByName(QStringLiteral("OBJ_ID")) = Id();
    TCloseGuard closer(*sql);
    for (sql->ExecQuery(); !sql->Eof(); sql->Next()) {
        auto fld = std::make_unique<TFld>(*sql);
        fld->CopyDataFrom(*sql);
        AddLoadedFld(std::move(fld));
    }
}

// --- Formula and template rows -------------------------------------------------------------

namespace {

// Rows of a statement made into entries by AMake, grouped by the value of their column AKey;
// each group keeps the order the rows came in.
template <typename T, typename Make>
std::unordered_map<int, std::vector<std::unique_ptr<T>>> ReadGrouped(TIBSQL &ASQL, const QString &AKey, Make AMake)
{
    std::unordered_map<int, std::vector<std::unique_ptr<T>>> groups;
    TCloseGuard closer(ASQL);
    for (ASQL.ExecQuery(); !ASQL.Eof(); ASQL.Next()) {
        std::unique_ptr<T> entry = AMake(ASQL);
        const Variant key = entry->FldByName(AKey).Value;
        if (!key.isNull())
            groups[VarAsInteger(key)].push_back(std::move(entry));
    }
    return groups;
}

// A row of the statement as a metadata row of its own.
std::unique_ptr<TSObj> RowOf(const TIBSQL &ASQL)
{
    auto row = std::make_unique<TSObj>();
    row->AddAllFld(ASQL);
    row->CopyDataFrom(ASQL);
    return row;
}

// Path rows: the link field of each row, grouped by the node (or template field) it belongs to.
std::unordered_map<int, std::vector<Variant>> ReadPaths(TIBSQL &ASQL)
{
    std::unordered_map<int, std::vector<Variant>> paths;
    TCloseGuard closer(ASQL);
    for (ASQL.ExecQuery(); !ASQL.Eof(); ASQL.Next())
        if (!ASQL.FieldIsNull(0))
            paths[VarAsInteger(ASQL.Field(0))].push_back(ASQL.Field(1));
    return paths;
}

// The group of AKey; none is an empty one.
template <typename V>
const V &GroupOf(const std::unordered_map<int, V> &AGroups, int AKey)
{
    static const V none;
    const auto found = AGroups.find(AKey);
    return found == AGroups.end() ? none : found->second;
}

} // namespace

TRepoRows::TRepoRows() = default;
TRepoRows::~TRepoRows() = default;

void TRepoRows::Read()
{
    // Rows come in the order each tree and list is stored in; grouping keeps that order.
    const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLS();
    const auto run = [&](const QString &AText) -> TIBSQL & {
        sql->SetSQL(AText);
        return *sql;
    };
    FormulaNodes = ReadGrouped<TSObj>(run(QStringLiteral("select * from FRMLTREE order by FRMLTREE_LFT")),
                                      QStringLiteral("FLD_ID"), RowOf);
    FormulaPaths = ReadPaths(run(QStringLiteral("select FRMLTREE_ID, FLD_ID from FRMLTRPT order by FRMLTRPT_ID")));
    TemplFields = ReadGrouped<TSObj>(run(QStringLiteral("select * from OBJVALUE order by OBJVALUE_ID")),
                                     QStringLiteral("OBJ_ID"), RowOf);
    TemplPaths = ReadPaths(run(QStringLiteral("select OBJVALUE_ID, FLD_ID from OBJVALPT order by OBJVALPT_ID")));
}

void TObj::LoadFormuls(const TRepoRows &ARows)
{
    for (TFld *fld : *FldList)
        if (fld->FormulaHave())
            LoadFormula(*fld, ARows);
}

void TObj::LoadFormula(TFld &AFld, const TRepoRows &ARows)
{
    AFld.Formula->Clear();
    for (const auto &row : GroupOf(ARows.FormulaNodes, AFld.Id())) {
        std::unique_ptr<TFormulaTree> node = LoadFormulaNode(*row, ARows);
        TFormulaTree *root = AFld.Formula->FormulaTreeRoot.get();
        if (!root) {
            AFld.Formula->FormulaTreeRoot = std::move(node);
            continue;
        }
        if (!PlaceByDescent(root, node.get()))
            throw ExceptionPos(Format(QStringLiteral("TObj.LoadFormuls: Нарушение структуры дерева формулы для поля \"%s\"."),
                                      {AFld.Capt()}));
        node.release();   // the parent's child list owns it now
    }
}

std::unique_ptr<TFormulaTree> TObj::LoadFormulaNode(const TSObj &ARow, const TRepoRows &ARows)
{
    auto node = std::make_unique<TFormulaTree>();
    node->CopyDataFrom(ARow);
    if (node->FldValueId().isNull())
        return node;
    node->SetFldValue(DB->ObjList->GetFldById(VarAsInteger(node->FldValueId())));
    if (node->PathHave())
        for (const Variant &fldId : GroupOf(ARows.FormulaPaths, node->Id()))
            node->Path->Add(DB->ObjList->GetFldById(VarAsInteger(fldId)));
    return node;
}

void TObj::LoadTempl(const TRepoRows &ARows)
{
    for (const auto &row : GroupOf(ARows.TemplFields, Id()))
        TemplFldList->Add(LoadTemplField(*row, ARows));
}

std::unique_ptr<TObjValue> TObj::LoadTemplField(const TSObj &ARow, const TRepoRows &ARows)
{
    // Lookup errors name the object whose template is being loaded before their own lines.
    const auto templateError = [this](const QString &message) {
        return ExceptionPos(Format(QStringLiteral("Объект \"%s\": Загрузка шаблона.\r"), {Capt()}) + message);
    };
    const auto fieldOf = [&](const TObj *obj, int fldId) {
        try {
            return obj->GetFldById(fldId);
        } catch (const ExceptionPos &e) {
            throw templateError(e.Message());
        }
    };
    auto value = std::make_unique<TObjValue>();
    value->CopyDataFrom(ARow);
    value->SetObj(this);
    const TObj *current = this;
    if (value->PathHave()) {
        for (const Variant &fldId : GroupOf(ARows.TemplPaths, value->Id())) {
            TFld *link = fieldOf(current, VarAsInteger(fldId));
            value->Path->Add(link);
            // A path runs through stored link fields only; anything else leads nowhere.
            if (!link->FKObj())
                throw templateError(Format(QStringLiteral("Поле \"%s\" в пути шаблона не ссылается на объект."),
                                           {link->Capt()}));
            current = link->FKObj();
        }
    }
    value->SetFld(fieldOf(current, value->FldId()));
    return value;
}

TFld *TObj::GetFldById(int AFldId) const
{
    try {
        return FldList->GetById(AFldId);
    } catch (const Exception &e) {
        throw ExceptionPos(Format(QStringLiteral("Объект \"%s\": Получение поля по коду.\r"), {Capt()}) + e.Message());
    }
}

TFld *TObj::GetFldByName(const QString &AFldName) const
{
    try {
        return FldList->GetByName(AFldName);
    } catch (const Exception &e) {
        throw ExceptionPos(Format(QStringLiteral("Объект \"%s\": Получение поля по имени.\r"), {Capt()}) + e.Message());
    }
}

int TObj::GetNewId()
{
    if (!PKFld)
        throw ExceptionPos(Format(QStringLiteral("Объект \"%s\": нет ключевого поля, новый код взять неоткуда."), {Capt()}));
    const QString text = TDB::GenIdSQL(PKFld->Field());
    if (!Usable(FGenSQL))
        FGenSQL = DB->CreateIBSQLS();
    FGenSQL->SetSQL(text);
    FGenSQL->ExecSingleton();
    return VarAsInteger(FGenSQL->Field(0));
}

TIBSQL &TObj::WriteSQL(const QString &AText)
{
    // A handful of texts covers what cards post (the insert, the update of the columns they
    // show); rarer ones push the oldest out.
    constexpr size_t Kept = 4;
    auto found = std::find_if(FWriteSQLs.begin(), FWriteSQLs.end(), [&](const auto &entry) {
        return entry.first == AText && Usable(entry.second);
    });
    if (found == FWriteSQLs.end()) {
        if (FWriteSQLs.size() >= Kept)
            FWriteSQLs.pop_back();
        FWriteSQLs.emplace_back(AText, DB->CreateIBSQLC());
        found = FWriteSQLs.end() - 1;
    }
    std::rotate(FWriteSQLs.begin(), found, found + 1);
    TIBSQL &sql = *FWriteSQLs.front().second;
    sql.SetSQL(AText);
    return sql;
}

void TObj::CheckTemplate() const
{
    const QString fault = TemplateFault(Capt(), Templ(), TemplFldList->Count());
    if (!fault.isEmpty())
        throw ExceptionPos(fault);
}

QString TObj::GetValueById(int AId)
{
    CheckTemplate();
    TSQL sql;
    sql.SetObj(this);
    // Each template field remembers its output column: the builder shares one column between
    // two template fields that read the same field along the same path.
    QList<const TSelFld *> columnOfField;
    for (TObjValue *value : *TemplFldList) {
        TJoin *join = sql.AddFldPath(value->Fld(), *value->Path, true, false);
        const auto found = std::find_if(sql.SelFldList.begin(), sql.SelFldList.end(), [&](const TSelFld *f) {
            return f->Fld == value->Fld() && f->Join == join;
        });
        columnOfField << *found;   // AddFldPath has just made or reused it
    }
    TFilter filter;
    filter.CreateRoot(TFilterTreeType::fttEqual, PKFld)->SetValue(AId);
    sql.AddFilter(&filter);
    TIBSQL &statement = IBSQLS();
    statement.SetSQL(sql.GetSelectSQL());
    DebugMsgFmt(QStringLiteral("Запрос получения значений шаблона для объекта \"%s\"\r\r%s"), {Capt(), statement.SQLText()});
    sql.SetParams(statement);
    TCloseGuard closer(statement);
    statement.ExecQuery();
    // Only the template's own "%s" places are filled, so a value that itself holds "%s"
    // stays as it is instead of taking the next value.
    const QStringList pieces = Templ().split(QStringLiteral("%s"));
    QString text = pieces.first();
    for (int i = 0; i < columnOfField.size(); ++i) {
        const int column = sql.SelFldList.IndexOf(columnOfField[i]);
        if (!statement.Eof())
            text += statement.Field(column).isNull() ? QString() : statement.Field(column).toString();
        text += pieces[i + 1];
    }
    return text;
}

QString TemplateFault(const QString &AObjCapt, const QString &ATempl, int AFldCount)
{
    if (AFldCount == 0)
        return Format(QStringLiteral("У объекта \"%s\" не указаны поля для шаблона значения."), {AObjCapt});
    if (ATempl.isEmpty())
        return Format(QStringLiteral("У объекта \"%s\" не указан шаблон значения."), {AObjCapt});
    if (CountSubStr(QStringLiteral("%s"), ATempl) != AFldCount)
        return Format(QStringLiteral("У объекта \"%s\" количество значений \"%%s\" в шаблоне не соответствует "
                                     "количеству полей шаблона."),
                      {AObjCapt});
    return QString();
}

QString TemplateMismatch(const QString &AObjCapt, const QString &ATempl, int AFldCount)
{
    return ATempl.isEmpty() && AFldCount == 0 ? QString() : TemplateFault(AObjCapt, ATempl, AFldCount);
}

// --- The repository ------------------------------------------------------------------------

TObjList::~TObjList()
{
    // Entries leave the index as they go, so it must outlive them.
    Clear();
    ClearIndex();
}

void TObjList::Report(int APos, int AMax) const
{
    if (NotifyPosition)
        NotifyPosition(APos, AMax);
}

// The load reads each metadata table with one statement and joins the rows in memory through
// the index, in the order and with the faults of a load that reads object by object: objects
// as OBJ returns them, each object's fields and links in the order the table holds them.
void TObjList::Load()
{
    Clear();
    ClearIndex();
    LoadObjectsAndFields();
    LoadLinksAndSummingFields();
    LinkFieldTargets();
    LoadFormulasAndTemplates();
}

namespace {

// Rows of a select made into entries by AMake, grouped by the value of their column AKey.
template <typename T, typename Make>
std::unordered_map<int, std::vector<std::unique_ptr<T>>> ReadEntries(const QString &AText, const QString &AKey,
                                                                     Make AMake)
{
    const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLS();
    sql->SetSQL(AText);
    return ReadGrouped<T>(*sql, AKey, AMake);
}

template <typename T>
std::unique_ptr<T> EntryOf(const TIBSQL &ASQL)
{
    auto entry = std::make_unique<T>(ASQL);
    entry->CopyDataFrom(ASQL);
    return entry;
}

} // namespace

void TObjList::LoadObjectsAndFields()
{
    std::vector<std::unique_ptr<TObj>> objects;
    {
        const std::unique_ptr<TIBSQL> sql = DB->CreateIBSQLS();
        sql->SetSQL(QStringLiteral("select * from OBJ"));
        TCloseGuard closer(*sql);
        for (sql->ExecQuery(); !sql->Eof(); sql->Next())
            objects.push_back(EntryOf<TObj>(*sql));
    }
    auto fields = ReadEntries<TFld>(QStringLiteral("select * from FLD"), QStringLiteral("OBJ_ID"), EntryOf<TFld>);
    const int expected = int(objects.size());
    int fetched = 0;
    for (std::unique_ptr<TObj> &obj : objects) {
        const auto own = fields.find(obj->Id());
        if (own != fields.end())
            for (std::unique_ptr<TFld> &fld : own->second)
                Index(obj->AddLoadedFld(std::move(fld)));
        Index(Add(std::move(obj)));
        ++fetched;
        Report(fetched / 2, expected);
    }
}

void TObjList::LoadLinksAndSummingFields()
{
    auto links = ReadEntries<TObjLink>(QStringLiteral("select D.* from DEP D"), QStringLiteral("OBJ_ID"),
                                       EntryOf<TObjLink>);
    for (TObj *obj : *this) {
        obj->ChildList->Clear();
        const auto own = links.find(obj->Id());
        if (own != links.end())
            for (std::unique_ptr<TObjLink> &link : own->second)
                Index(obj->ChildList->AddLoaded(std::move(link)));
        for (TFld *fld : *obj->FldList) {
            if (fld->DepIdAgr().isNull())
                continue;
            const int linkId = VarAsInteger(fld->DepIdAgr());
            TObjLink *link = obj->ChildList->GetById(linkId);
            if (!link)
                throw ExceptionPos(Format(QStringLiteral("Объект \"%s\", поле \"%s\": суммирующее поле ссылается на "
                                                         "связь с кодом %d, которой нет среди связей объекта."),
                                          {obj->Capt(), fld->Field(), linkId}));
            fld->SetAgrObjLink(link);
            fld->SetAgrFld(link->ChildFld()->Obj()->FldList->GetById(VarAsInteger(fld->FldIdAgr())));
        }
    }
}

void TObjList::LinkFieldTargets()
{
    for (TObj *obj : *this) {
        for (TFld *fld : *obj->FldList) {
            if (fld->FldType() != TFldType::ftFK || fld->Virt())
                continue;
            TObjLink *link = obj->ParentList->GetByFld(fld);
            if (!link)
                throw ExceptionPos(Format(QStringLiteral("Объект \"%s\", поле \"%s\": у поля-ссылки нет связи "
                                                         "с главным объектом."),
                                          {obj->Capt(), fld->Field()}));
            fld->SetFKObj(link->ParentObj());
            fld->SetFKRule(link->FKRule());
        }
    }
}

void TObjList::LoadFormulasAndTemplates()
{
    TRepoRows rows;
    rows.Read();
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        Items(i)->LoadFormuls(rows);
        Items(i)->LoadTempl(rows);
        Report(i / 2 + count / 2, count);
    }
}

// --- The index -------------------------------------------------------------------------------

namespace {

// The first entry of a key stays: lookups answer the first match in repository order.
template <typename Key, typename T>
bool Remember(QHash<Key, T *> &AIndex, const Key &AKey, T *AEntry)
{
    const auto found = AIndex.constFind(AKey);
    if (found != AIndex.constEnd())
        return found.value() == AEntry;
    AIndex.insert(AKey, AEntry);
    return true;
}

template <typename Key, typename T>
void RemoveIfSame(QHash<Key, T *> &AIndex, const Key &AKey, const T *AEntry)
{
    const auto found = AIndex.constFind(AKey);
    if (found != AIndex.constEnd() && found.value() == AEntry)
        AIndex.erase(found);
}

} // namespace

void TObjList::Index(TObj *AObj) const
{
    if (AObj->FIndexedIn)
        AObj->FIndexedIn->Unindex(AObj);
    AObj->FIndexKey = AObj->Id();
    AObj->FTableKey = AObj->Table();
    const bool byId = Remember(FObjById, AObj->FIndexKey, AObj);
    const bool byTable = Remember(FObjByTable, AObj->FTableKey, AObj);
    if (byId || byTable)
        AObj->FIndexedIn = this;
}

void TObjList::Index(TFld *AFld) const
{
    if (AFld->FIndexedIn)
        AFld->FIndexedIn->Unindex(AFld);
    AFld->FIndexKey = AFld->Id();
    if (Remember(FFldById, AFld->FIndexKey, AFld))
        AFld->FIndexedIn = this;
}

void TObjList::Index(TObjLink *ALink) const
{
    if (ALink->FIndexedIn)
        ALink->FIndexedIn->Unindex(ALink);
    ALink->FIndexKey = ALink->Id();
    if (Remember(FLinkById, ALink->FIndexKey, ALink))
        ALink->FIndexedIn = this;
}

void TObjList::Unindex(const TObj *AObj) const
{
    RemoveIfSame(FObjById, AObj->FIndexKey, AObj);
    RemoveIfSame(FObjByTable, AObj->FTableKey, AObj);
    const_cast<TObj *>(AObj)->FIndexedIn = nullptr;
}

void TObjList::Unindex(const TFld *AFld) const
{
    RemoveIfSame(FFldById, AFld->FIndexKey, AFld);
    const_cast<TFld *>(AFld)->FIndexedIn = nullptr;
}

void TObjList::Unindex(const TObjLink *ALink) const
{
    RemoveIfSame(FLinkById, ALink->FIndexKey, ALink);
    const_cast<TObjLink *>(ALink)->FIndexedIn = nullptr;
}

void TObjList::ClearIndex()
{
    // Entries still alive outside the repository must not call back into it later.
    for (TObj *obj : std::as_const(FObjById))
        obj->FIndexedIn = nullptr;
    for (TObj *obj : std::as_const(FObjByTable))
        obj->FIndexedIn = nullptr;
    for (TFld *fld : std::as_const(FFldById))
        fld->FIndexedIn = nullptr;
    for (TObjLink *link : std::as_const(FLinkById))
        link->FIndexedIn = nullptr;
    FObjById.clear();
    FObjByTable.clear();
    FFldById.clear();
    FLinkById.clear();
}

TObj *TObjList::Extract(TObj *AObj)
{
    if (!TObjectList<TObj>::Extract(AObj))
        return nullptr;
    for (TFld *fld : *AObj->FldList)
        Unindex(fld);
    for (TObjLink *link : *AObj->ChildList)
        Unindex(link);
    Unindex(AObj);
    return AObj;
}

// A lookup answers from the index when the remembered entry still has the key; otherwise it
// walks the repository once and remembers what it found.

TObj *TObjList::GetObjById(int AObjId) const
{
    if (TObj *obj = FObjById.value(AObjId)) {
        if (obj->Id() == AObjId)
            return obj;
        Unindex(obj);
    }
    for (TObj *obj : *this)
        if (obj->Id() == AObjId) {
            Index(obj);
            return obj;
        }
    throw ExceptionPos(Format(QStringLiteral("Объект с кодом \"%d\" не найден."), {AObjId}));
}

TObj *TObjList::GetObjByTable(const QString &AObjTable) const
{
    if (TObj *obj = FObjByTable.value(AObjTable)) {
        if (obj->Table() == AObjTable)
            return obj;
        Unindex(obj);
    }
    for (TObj *obj : *this)
        if (obj->Table() == AObjTable) {
            Index(obj);
            return obj;
        }
    throw ExceptionPos(Format(QStringLiteral("Объект с таблицей \"%s\" не найден."), {AObjTable}));
}

TFld *TObjList::GetFldById(int AFldId) const
{
    if (TFld *fld = FFldById.value(AFldId)) {
        if (fld->Id() == AFldId)
            return fld;
        Unindex(fld);
    }
    for (TObj *obj : *this)
        for (TFld *fld : *obj->FldList)
            if (fld->Id() == AFldId) {
                Index(fld);
                return fld;
            }
    throw ExceptionPos(Format(QStringLiteral("Поле с кодом \"%d\" среди объектов не найдено."), {AFldId}));
}

TObjLink *TObjList::GetObjLinkById(int AObjLinkId) const
{
    if (TObjLink *link = FLinkById.value(AObjLinkId)) {
        if (link->Id() == AObjLinkId)
            return link;
        Unindex(link);
    }
    for (TObj *obj : *this)
        if (TObjLink *link = obj->ChildList->GetById(AObjLinkId)) {
            Index(link);
            return link;
        }
    throw ExceptionPos(Format(QStringLiteral("Связь с кодом %d среди объектов не найдена."), {AObjLinkId}));
}
