#include "WinTbl.h"

#include "Application.h"
#include "Atr.h"
#include "Filter.h"
#include "FilterList.h"
#include "FilterTree.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "ObjLink.h"
#include "Sql.h"
#include "Tbl.h"
#include "TblModel.h"
#include "TblTree.h"
#include "WinAtr.h"
#include "WinCard.h"
#include "WriteGuard.h"

#include <QFrame>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>
#include <utility>

namespace {

// Rows read per step when the whole select is fetched.
constexpr int GotoEndBatch = 8192;
// The colour of a column whose cells are edited in place.
const QColor EditableColor(223, 223, 255);

int ColumnWidth(TFldType AFldType)
{
    switch (AFldType) {
    case TFldType::ftPK:
    case TFldType::ftInt:
    case TFldType::ftBoolean:
        return 50;
    case TFldType::ftNum182:
    case TFldType::ftNum183:
    case TFldType::ftNum184:
        return 100;
    case TFldType::ftDate:
        return 70;
    default:
        return 150;
    }
}

// Shows a cell's whole text as a tooltip where the column cuts it short, and ends a cell's edit
// on Enter.
class TGridDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Enter ends the edit with the typed text, and there it stops: passed on, it would also
    // press the default button of the card around the grid before the text reached the row.
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *editor = qobject_cast<QWidget *>(object);
        if (!editor || event->type() != QEvent::KeyPress)
            return QStyledItemDelegate::eventFilter(object, event);
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return QStyledItemDelegate::eventFilter(object, event);
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        // A text refused by the commit was told in a box, which took the focus from the editor:
        // the user goes on in the grid, where the next Enter is not the card's OK.
        if (auto *grid = qobject_cast<QWidget *>(parent()))
            grid->setFocus();
        return true;
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const QString text = index.data().toString();
        const QSize needed = sizeHint(option, index);
        if (!text.isEmpty() && needed.width() > option.rect.width())
            QToolTip::showText(event->globalPos(), text, view);
        else
            QToolTip::hideText();
        return true;
    }
};

// The flat grid of the rows. Ctrl+Home and Ctrl+End go to the first and the last row and stay
// in the current column, also when no row is current yet: by itself the view would take the
// first cell then, and the last column otherwise.
class TGrid : public QTableView
{
public:
    using QTableView::QTableView;

protected:
    // Taking the focus chooses no row: by itself the view would make the first row current, so
    // that the first Down went to the second one and the row looked chosen without being so.
    void focusInEvent(QFocusEvent *event) override
    {
        const bool hadCurrent = currentIndex().isValid();
        QTableView::focusInEvent(event);
        if (!hadCurrent && currentIndex().isValid() && !selectionModel()->hasSelection())
            selectionModel()->clearCurrentIndex();
    }
    // Whole rows are selected, so the user does not see which cell of a row is current: F2 or a
    // typed character on a row starts the edit of the row's cell edited in place, wherever the
    // keyboard entered the row.
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override
    {
        if (index.isValid() && !(index.flags() & Qt::ItemIsEditable) && StartsEditByKey(trigger, event))
            if (const QModelIndex cell = EditableCell(index.row()); cell.isValid()) {
                selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
                return QTableView::edit(cell, trigger, event);
            }
        return QTableView::edit(index, trigger, event);
    }
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override
    {
        const bool toEdge = cursorAction == MoveHome || cursorAction == MoveEnd;
        if (!toEdge || !(modifiers & Qt::ControlModifier) || !model())
            return QTableView::moveCursor(cursorAction, modifiers);
        const int rows = model()->rowCount(rootIndex());
        if (rows == 0)
            return {};
        return model()->index(cursorAction == MoveEnd ? rows - 1 : 0, std::max(currentIndex().column(), 0), rootIndex());
    }
    // A row made current before the grid was first shown, as a picker's value is, was scrolled
    // to with the size the grid had then. Shown, the grid has its own size, and a moment later
    // the scroll bars that size calls for: the row is brought into view once they have taken
    // their room.
    void showEvent(QShowEvent *event) override
    {
        QTableView::showEvent(event);
        if (std::exchange(FShown, true))
            return;
        QMetaObject::invokeMethod(this, [this] {
            if (currentIndex().isValid())
                scrollTo(currentIndex());
        }, Qt::QueuedConnection);
    }

private:
    // F2, or a typed character other than the space that ticks a row.
    static bool StartsEditByKey(EditTrigger ATrigger, const QEvent *AEvent)
    {
        if (ATrigger == EditKeyPressed)
            return true;
        if (ATrigger != AnyKeyPressed || !AEvent || AEvent->type() != QEvent::KeyPress)
            return false;
        const QString text = static_cast<const QKeyEvent *>(AEvent)->text();
        return !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace();
    }
    QModelIndex EditableCell(int ARow) const
    {
        for (int c = 0; c < model()->columnCount(rootIndex()); ++c)
            if (const QModelIndex cell = model()->index(ARow, c, rootIndex()); cell.flags() & Qt::ItemIsEditable)
                return cell;
        return {};
    }

    bool FShown = false;
};

// The height of a grid row: a line of text, or a check box where that is taller.
int RowHeight(const QAbstractItemView &AGrid)
{
    QStyleOptionViewItem option;
    option.initFrom(&AGrid);
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator;
    option.text = QStringLiteral("Ág");
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    return AGrid.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &AGrid).height();
}

} // namespace

// The grid's key and double-click events, handed to the window; the grid handles them after.
class TGridEvents : public QObject
{
public:
    TGridEvents(TWinTbl &AWinTbl, QObject *AParent) : QObject(AParent), FWinTbl(AWinTbl) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && watched == FWinTbl.vt) {
            const auto *key = static_cast<QKeyEvent *>(event);
            Guarded([&] { FWinTbl.KeyDown(key->key(), key->modifiers()); });
        } else if (event->type() == QEvent::MouseButtonDblClick && FWinTbl.vt && watched == FWinTbl.vt->viewport()) {
            const QPoint spot = static_cast<QMouseEvent *>(event)->position().toPoint();
            const QModelIndex cell = FWinTbl.vt->indexAt(spot);
            FWinTbl.FDblClickOnRow = cell.isValid();
            // A double click on a cell edited in place starts its edit, and that is all it does.
            if (FWinTbl.ColumnEditable(cell.column()))
                return false;
            if (const TClickEvent handler = FWinTbl.FOnDblClick)
                Guarded(handler);
        }
        return false;
    }

private:
    TWinTbl &FWinTbl;
};

TWinTbl::TWinTbl(QWidget *AOwner, QWidget *AParent)
{
    CreateControls(AOwner, AParent);
    Tbl = std::make_unique<TTbl>();
    SelectSQL = std::make_unique<TSQL>();
    RefreshSQL = std::make_unique<TSQL>();
    DeleteSQL = std::make_unique<TSQL>();
    FilterList = std::make_unique<TFilterList>(true);
    ParentFilter = std::make_unique<TFilter>();
    ParentFilter->CreateRoot(TFilterTreeType::fttEqual, nullptr);
    PKFilter = std::make_unique<TFilter>();
    PKFilter->CreateRoot(TFilterTreeType::fttEqual, nullptr);
}

TWinTbl::~TWinTbl()
{
    // The panel stays with its owner; the grid goes first, while the rows it shows still exist.
    delete vt.data();
    Model.reset();
    IBSQLSelect.reset();
    IBSQLRefresh.reset();
    IBSQLDelete.reset();
    WinToolBar.reset();
    Tbl.reset();
    SelectSQL.reset();
    RefreshSQL.reset();
    DeleteSQL.reset();
    FilterList.reset();
    ParentFilter.reset();
    PKFilter.reset();
}

void TWinTbl::CreateControls(QWidget *AOwner, QWidget *AParent)
{
    Owner = AOwner;
    Parent = AParent;
    Panel = new QFrame(AParent);
    Panel->setFrameShape(QFrame::NoFrame);
    Panel->show();

    IBSQLSelect = DB->CreateIBSQLS();
    IBSQLRefresh = DB->CreateIBSQLS();
    IBSQLDelete = DB->CreateIBSQLC();

    WinToolBar = std::make_unique<TWinToolBar>(Panel);
    WinToolBar->AddBtn(TBtnType::btAdd, QStringLiteral("Добавить"), [this] { AddClick(); });
    WinToolBar->AddBtn(TBtnType::btEdit, QStringLiteral("Изменить"), [this] { EditClick(); });
    // Through the virtual table, so that a subclass's delete action runs.
    WinToolBar->AddBtn(TBtnType::btDel, QStringLiteral("Удалить"), [this] { DeleteClick(); });
    WinToolBar->AddBtn(TBtnType::btReopen, QStringLiteral("Обновить"), [this] { Reopen(); });
    WinToolBar->AddBtn(TBtnType::btClose, QStringLiteral("Закрыть"), [this] { CloseClick(); })->SetVisible(DevMode);

    Model = std::make_unique<TTblModel>(*this, Rows);
    vt = new TGrid(Panel);
    vt->setModel(Model.get());
    vt->setItemDelegate(new TGridDelegate(vt));
    vt->setShowGrid(true);
    vt->setWordWrap(false);
    vt->setCornerButtonEnabled(false);
    vt->setTabKeyNavigation(false);
    vt->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    vt->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    vt->setSelectionMode(QAbstractItemView::SingleSelection);
    vt->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A cell edited in place starts its edit as any grid's does; a typed character becomes its
    // first text.
    vt->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked
                        | QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed);
    vt->setSortingEnabled(false);
    vt->horizontalHeader()->setStretchLastSection(false);
    vt->horizontalHeader()->setHighlightSections(false);
    // Rows of one height, no row headers: the grid keeps nothing per row but a section size.
    QHeaderView *rowHeader = vt->verticalHeader();
    rowHeader->hide();
    rowHeader->setMinimumSectionSize(1);
    rowHeader->setDefaultSectionSize(RowHeight(*vt));
    rowHeader->setSectionResizeMode(QHeaderView::Fixed);
    ::SetAlign(vt, TAlign::alClient);

    FOnDblClick = [this] { EditClick(); };
    auto *events = new TGridEvents(*this, vt);
    vt->installEventFilter(events);
    vt->viewport()->installEventFilter(events);
    QObject::connect(vt->selectionModel(), &QItemSelectionModel::selectionChanged, vt,
                     [this](const QItemSelection &selected, const QItemSelection &) {
                         Guarded([&] { SelectionChanged(selected); });
                     });
    vt->setFocus();
}

// --- Preparing -------------------------------------------------------------------------------

void TWinTbl::InitById(int AId)
{
    Tbl->RaiseLoad = true;
    Tbl->LoadById(AId);
    Prepare();
}

void TWinTbl::InitByName(TObj *AObj, TObjLink *AObjLink, const QString &ATblName)
{
    Tbl->RaiseLoad = true;
    Tbl->LoadByName(AObj, AObjLink, ATblName);
    Prepare();
}

bool TWinTbl::InitByUser(TObj *AObj, TObjLink *AObjLink, int AUserId, bool ARaise)
{
    Tbl->RaiseLoad = ARaise;
    const bool found = Tbl->LoadCurrent(AObj, AObjLink, AUserId);
    if (found)
        Prepare();
    return found;
}

TObj *TWinTbl::TblObj() const
{
    return Tbl->GetObj();
}

void TWinTbl::Prepare()
{
    // Columns and statements change with the view: rows of the previous one must go first.
    if (Active() || Count() > 0)
        Close();
    TObj *obj = TblObj();
    PKFilter->FilterTreeRoot->SetFld(obj->PKFld);

    RefreshSQL->SetObj(obj);
    RefreshSQL->AddTbl(*Tbl);
    RefreshSQL->AddFilter(PKFilter.get());
    const QString refreshText = RefreshSQL->GetSelectSQL();
    IBSQLRefresh->SetSQL(refreshText);

    DeleteSQL->SetObj(obj);
    DeleteSQL->AddFilter(PKFilter.get());
    const QString deleteText = DeleteSQL->GetDeleteSQL();
    IBSQLDelete->SetSQL(deleteText);

    DebugMsgFmt(QStringLiteral("Запрос рефреша записи для объекта \"%s\"\r\r%s\r\r"
                               "Запрос удаления записи для объекта \"%s\"\r\r%s"),
                {obj->Capt(), refreshText, obj->Capt(), deleteText});

    if (TObjLink *link = Tbl->ObjLink())
        ParentFilter->FilterTreeRoot->SetFld(link->ChildFld());
    FilterList->Clear();
    FilterList->Load(*Tbl);

    SelectSQL->SetObj(obj);
    SelectSQL->AddTbl(*Tbl);
    CreateColumns();
    EnableButtons();
}

void TWinTbl::CreateColumns()
{
    std::vector<TTblColumn> columns;
    for (int i = 0; i < SelectSQL->SelFldList.Count(); ++i) {
        const TSelFld *selFld = SelectSQL->SelFldList.Items(i);
        if (!selFld->TblTree)
            continue;
        TTblColumn column;
        column.Tag = i;
        column.FldType = selFld->TblTree->Fld()->FldType();
        column.Capt = selFld->TblTree->LongCapt;
        column.Width = ColumnWidth(selFld->Fld->FldType());
        columns.push_back(column);
    }
    Model->SetColumns(std::move(columns));
    for (size_t c = 0; c < Model->Columns().size(); ++c)
        vt->setColumnWidth(int(c), Model->Columns()[c].Width);
}

// --- Opening, fetching, closing --------------------------------------------------------------

void TWinTbl::Open()
{
    if (Active() || Count() > 0)
        Close();
    SelectSQL->ClearNotTbl();
    if (Tbl->ObjLink())
        SelectSQL->AddFilter(ParentFilter.get());
    for (TFilter *filter : *FilterList)
        SelectSQL->AddFilter(filter);
    const QString text = SelectSQL->GetSelectSQL();
    IBSQLSelect->SetSQL(text);
    DebugMsgFmt(QStringLiteral("Запрос выборки для таблицы объекта \"%s\"\r\r%s"), {TblObj()->Capt(), text});
    SelectSQL->SetParams(*IBSQLSelect);
    IBSQLSelect->ExecQuery();
    RowsPending = true;
    Rows.Reset(IBSQLSelect->FieldCount());
    FetchRows(ScreenRows());
    EnableButtons();
}

bool TWinTbl::Active() const
{
    return IBSQLSelect->Open();
}

bool TWinTbl::CanFetch() const
{
    // A select lost before its end is asked once more, so that the loss is said rather than
    // its last rows taken for the end of the table.
    return (Active() && !IBSQLSelect->Eof()) || (SelectLost() && !LossTold);
}

bool TWinTbl::SelectLost() const
{
    return RowsPending && !Active() && DB && !DB->Connected;
}

int TWinTbl::ScreenRows() const
{
    if (!vt)
        return 1;
    const int rowHeight = std::max(1, vt->verticalHeader()->defaultSectionSize());
    return (vt->viewport()->height() + rowHeight - 1) / rowHeight + 1;
}

void TWinTbl::FetchWanted()
{
    if (!vt || !CanFetch())
        return;
    // The grid scrolls by rows, so the scroll position is the first row shown.
    const int wanted = vt->verticalScrollBar()->value() + ScreenRows() - Count();
    if (wanted > 0)
        FetchRows(std::max(wanted, ScreenRows()));
}

int TWinTbl::FetchRows(int ACount)
{
    // The grid may ask again while it takes in the rows of this call; it asks once more later.
    if (Fetching || !CanFetch() || ACount <= 0)
        return 0;
    if (SelectLost()) {
        LossTold = true;
        EnableButtons();
        throw ENotConnected();
    }
    Fetching = true;
    struct TFetching {
        bool &Flag;
        ~TFetching() { Flag = false; }
    } fetching{Fetching};
    const int first = Count();
    try {
        TRow row(static_cast<size_t>(IBSQLSelect->FieldCount()));
        for (int read = 0; read < ACount && !IBSQLSelect->Eof(); ++read) {
            for (size_t i = 0; i < row.size(); ++i)
                row[i] = IBSQLSelect->Field(int(i));
            if (PlacedKeys.empty() || PlacedKeys.erase(row[0]) == 0)
                Rows.Append(row);
            IBSQLSelect->Next();
        }
    } catch (...) {
        // The rows read before the failure stay; a select the failure took away has been told.
        LossTold = !Active();
        Model->RowsAppended(first);
        throw;
    }
    if (IBSQLSelect->Eof()) {
        PlacedKeys.clear();
        RowsPending = false;
    }
    Model->RowsAppended(first);
    return Count() - first;
}

void TWinTbl::GotoEnd()
{
    while (CanFetch())
        FetchRows(GotoEndBatch);
}

void TWinTbl::Close()
{
    IBSQLSelect->Close();
    RowsPending = false;
    LossTold = false;
    if (FocusedRecId().isNull()) {
        EnableButtons();
    } else {
        // The grid reports the loss of its selection before it empties.
        if (vt)
            vt->selectionModel()->clearSelection();
        if (FocusedRow) {
            FocusedRow = false;
            ChangeFocus();
        }
    }
    Model->BeginReset();
    Rows.Reset(Rows.ColumnCount());
    PlacedKeys.clear();
    LastFindChecked = -1;
    Model->EndReset();
}

void TWinTbl::Reopen()
{
    Close();
    try {
        Open();
    } catch (...) {
        // The re-read stays at hand, so that the user can try again (and hear again what stands
        // in the way) instead of facing an empty window whose buttons are all disabled.
        SetBtnEnabled(TBtnType::btReopen, true);
        throw;
    }
}

void TWinTbl::CloseClick()
{
    Close();
}

// --- Selection and buttons -------------------------------------------------------------------

int TWinTbl::FocusedIndex() const
{
    if (!FocusedRow || !vt)
        return -1;
    const QModelIndex current = vt->currentIndex();
    return current.isValid() && current.row() < Count() ? current.row() : -1;
}

Variant TWinTbl::FocusedRecId() const
{
    const int focused = FocusedIndex();
    return focused >= 0 ? Rows.Value(focused, 0) : Variant::Null();
}

bool TWinTbl::FocusRecord(const Variant &AKey)
{
    int row = RowOfKey(AKey);
    while (row < 0 && CanFetch()) {
        const int first = Count();
        FetchRows(GotoEndBatch);
        for (int i = first; i < Count() && row < 0; ++i)
            if (Rows.Value(i, 0) == AKey)
                row = i;
    }
    SelectRow(row);
    return row >= 0;
}

void TWinTbl::SelectionChanged(const QItemSelection &ASelected)
{
    FocusedRow = !Deleting && !ASelected.isEmpty();
    ChangeFocus();
}

void TWinTbl::ChangeFocus()
{
    EnableButtons();
    if (OnChangeFocus)
        OnChangeFocus(this);
}

void TWinTbl::EnableButtons()
{
    const bool open = Active();
    const bool focused = !FocusedRecId().isNull();
    SetBtnEnabled(TBtnType::btAdd, open);
    SetBtnEnabled(TBtnType::btEdit, focused);
    SetBtnEnabled(TBtnType::btDel, focused);
    // A select lost with the connection is read again from here once the user has logged in.
    SetBtnEnabled(TBtnType::btReopen, open || SelectLost());
    SetBtnEnabled(TBtnType::btClose, open);
}

void TWinTbl::EnableAddBtn()
{
    SetBtnEnabled(TBtnType::btAdd, true);
}

void TWinTbl::SetBtnEnabled(TBtnType ABtnType, bool AEnabled)
{
    if (TWinToolBtn *btn = WinToolBar->GetByBtnType(ABtnType))
        btn->SetEnabled(AEnabled);
}

bool TWinTbl::BtnEnabled(TBtnType ABtnType) const
{
    const TWinToolBtn *btn = WinToolBar->GetByBtnType(ABtnType);
    return btn && btn->Enabled();
}

void TWinTbl::SelectRow(int AIndex)
{
    if (!vt || AIndex < 0 || AIndex >= Count())
        return;
    const int column = std::max(vt->currentIndex().column(), 0);
    vt->selectionModel()->setCurrentIndex(Model->index(AIndex, column),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TWinTbl::KeyDown(int AKey, Qt::KeyboardModifiers AModifiers)
{
    switch (AKey) {
    case Qt::Key_F2:
        if (BtnEnabled(TBtnType::btEdit))
            EditClick();
        break;
    case Qt::Key_F5:
        if (BtnEnabled(TBtnType::btReopen))
            Reopen();
        break;
    case Qt::Key_End:
        // Every row is there before the grid moves to the last one.
        if (AModifiers & Qt::ControlModifier)
            GotoEnd();
        break;
    case Qt::Key_Insert:
        if (BtnEnabled(TBtnType::btAdd))
            AddClick();
        break;
    case Qt::Key_Delete:
        if (BtnEnabled(TBtnType::btDel))
            DeleteClick();
        break;
    default:
        break;
    }
}

// --- Adding, changing, deleting --------------------------------------------------------------

void TWinTbl::AddClick()
{
    // A detail table in a card lets the card save its own new record here first; if that
    // fails, no card opens.
    if (OnAddClick)
        OnAddClick(this);
    const std::unique_ptr<TWinCard> card = CreateCard(true);
    // The record of a detail table belongs to the master shown above it.
    if (TObjLink *link = Tbl->ObjLink())
        card->InitDefaultValues(link, ParentId());
    else
        card->InitDefaultValues(nullptr, Variant::Null());
    card->WinAtr->Atr->OnAfterCommit = [this](TAtr *Sender) { AtrAfterCommit(Sender); };
    card->OnBeforePost = [this](TWinCard *Sender, bool ANewCard, bool &ASkipPost) {
        CardBeforePost(Sender, ANewCard, ASkipPost);
    };
    card->OnBeforeCommit = [this](TWinCard *Sender, bool &DoAction) { CardBeforeCommit(Sender, DoAction); };
    if (card->ShowModalCard() != mrOk)
        CardCancelled(*card);
    // Also after a cancelled card: a detail add may have committed records before.
    if (OnChangeData)
        OnChangeData(this);
}

void TWinTbl::EditClick()
{
    if (!BtnEnabled(TBtnType::btEdit) || FocusedIndex() < 0)
        return;
    const std::unique_ptr<TWinCard> card = CreateCard(false);
    card->SetRecId(VarAsInteger(FocusedRecId()));
    card->WinAtr->Atr->OnAfterCommit = [this](TAtr *Sender) { AtrAfterCommit(Sender); };
    const bool saved = card->ShowModalCard() == mrOk;
    if (!saved)
        CardCancelled(*card);
    if ((saved || card->DetailsChanged()) && OnChangeData)
        OnChangeData(this);
}

std::unique_ptr<TWinCard> TWinTbl::CreateCard(bool /*ANew: the subclasses choose their cards by it*/)
{
    auto card = std::make_unique<TWinCard>(Owner, vt, nullptr);
    card->InitByUser(TblObj(), DB->CurrentUserId);
    return card;
}

void TWinTbl::CardBeforePost(TWinCard * /*Sender*/, bool /*ANewCard*/, bool &ASkipPost)
{
    ASkipPost = false;
}

void TWinTbl::CardBeforeCommit(TWinCard * /*Sender*/, bool &DoAction)
{
    DoAction = true;
}

void TWinTbl::AtrAfterCommit(TAtr *Sender)
{
    // A record changed through a card is not always the focused one (a card that failed after
    // its first commit saves again as a change): its own row is found by its key.
    const int row = Sender->New() ? -1 : RowOfKey(Sender->RecId());
    if (row >= 0) {
        RefreshRow(row, Sender->RecId());
    } else {
        const int k = std::max(FocusedIndex(), 0);
        TRow values;
        if (ReadRow(Sender->RecId(), values)) {
            InsertRow(k, std::move(values));
            SelectRow(k);
        }
    }
    if (vt && !vt->hasFocus())
        vt->viewport()->update();
}

int TWinTbl::RowOfKey(const Variant &AKey) const
{
    const int focused = FocusedIndex();
    if (focused >= 0 && Rows.Value(focused, 0) == AKey)
        return focused;
    for (int i = 0; i < Count(); ++i)
        if (Rows.Value(i, 0) == AKey)
            return i;
    return -1;
}

void TWinTbl::CardCancelled(const TWinCard &ACard)
{
    // The details the card saved stay saved, and the triggers that keep the record's totals may
    // have changed its row with them; a new record counts once it was saved for its details.
    if (!ACard.DetailsChanged() || ACard.WinAtr->Atr->New())
        return;
    const Variant id = ACard.RecId();
    const int row = RowOfKey(id);
    if (row >= 0)
        RefreshRow(row, id);
}

bool TWinTbl::ReadRow(const Variant &ARecId, TRow &ARow)
{
    PKFilter->FilterTreeRoot->SetValue(ARecId);
    RefreshSQL->SetParams(*IBSQLRefresh);
    struct TCloser {
        TIBSQL &Sql;
        ~TCloser() { Sql.Close(); }
    } closer{*IBSQLRefresh};
    IBSQLRefresh->ExecQuery();
    if (IBSQLRefresh->Eof())
        return false;
    const int columns = IBSQLRefresh->FieldCount();
    ARow.assign(size_t(columns), Variant::Null());
    for (int i = 0; i < columns; ++i)
        ARow[size_t(i)] = IBSQLRefresh->Field(i);
    return true;
}

bool TWinTbl::RefreshRow(int ARow, const Variant &ARecId)
{
    TRow row;
    if (!ReadRow(ARecId, row)) {
        RemoveRow(ARow);
        return false;
    }
    Rows.Replace(ARow, row);
    NotePlaced(row[0]);
    Model->RowChanged(ARow);
    return true;
}

void TWinTbl::InsertRow(int AIndex, const TRow &ARow)
{
    // A table that was never opened learns the width of its rows here.
    if (Count() == 0)
        Rows.Reset(int(ARow.size()));
    Model->BeginInsert(AIndex, AIndex);
    Rows.Insert(AIndex, ARow);
    if (LastFindChecked >= AIndex)
        ++LastFindChecked;
    Model->EndInsert();
    NotePlaced(ARow[0]);
}

void TWinTbl::NotePlaced(const Variant &AKey)
{
    if (CanFetch())
        PlacedKeys.insert(AKey);
}

void TWinTbl::RemoveRow(int AIndex)
{
    const bool focused = FocusedIndex() == AIndex;
    const int next = AIndex + 1 < Count() ? AIndex : AIndex - 1;
    Deleting = true;
    struct TDeleting {
        bool &Flag;
        ~TDeleting() { Flag = false; }
    } deleting{Deleting};
    if (focused) {
        vt->selectionModel()->clearSelection();
        vt->selectionModel()->clearCurrentIndex();
        if (FocusedRow) {
            FocusedRow = false;
            ChangeFocus();
        }
    }
    Model->BeginRemove(AIndex, AIndex);
    PlacedKeys.erase(Rows.Value(AIndex, 0));
    Rows.Remove(AIndex);
    if (LastFindChecked == AIndex)
        LastFindChecked = -1;
    else if (LastFindChecked > AIndex)
        --LastFindChecked;
    Model->EndRemove();
    Deleting = false;
    if (focused)
        SelectRow(next);
}

void TWinTbl::DeleteClick()
{
    const Variant id = FocusedRecId();
    if (id.isNull() || !ConfirmDelete())
        return;
    try {
        TWriteGuard guard(*DB);
        DeleteRecord();
        guard.Commit();
    } catch (const EIBError &e) {
        // The error box names what the user did.
        throw EDeleteRefused(e);
    }
    AfterDelete();
    RemoveRow(FocusedIndex());
    if (OnChangeData)
        OnChangeData(this);
}

void TWinTbl::DeleteRecord()
{
    PKFilter->FilterTreeRoot->SetValue(FocusedRecId());
    DeleteSQL->SetParams(*IBSQLDelete);
    IBSQLDelete->ExecQuery();
}

bool TWinTbl::ConfirmDelete()
{
    return MsgDlg(QStringLiteral("Удалить запись?"), TMsgDlgType::mtConfirmation, mbYes | mbNo, vt) == mrYes;
}

void TWinTbl::AfterDelete()
{
}

// --- Checks, in-place editing, values by field -----------------------------------------------

bool TWinTbl::RowChecked(int AIndex) const
{
    return Rows.Checked(AIndex);
}

void TWinTbl::SetRowChecked(int AIndex, bool AChecked)
{
    Rows.SetChecked(AIndex, AChecked);
}

void TWinTbl::SetCheckSupport(bool ACheckSupport)
{
    CheckSupport = ACheckSupport;
    if (!Model->Columns().empty())
        Model->ColumnChanged(0);
}

Variant TWinTbl::GetFirstChecked()
{
    LastFindChecked = Rows.NextChecked(0);
    return LastFindChecked >= 0 ? Rows.Value(LastFindChecked, 0) : Variant::Null();
}

Variant TWinTbl::GetNextChecked()
{
    if (LastFindChecked < 0)
        return Variant::Null();
    LastFindChecked = Rows.NextChecked(LastFindChecked + 1);
    return LastFindChecked >= 0 ? Rows.Value(LastFindChecked, 0) : Variant::Null();
}

bool TWinTbl::ColumnEditable(int AColumn) const
{
    if (AColumn < 0 || AColumn >= int(Model->Columns().size()))
        return false;
    return SelectSQL->SelFldList.Items(Model->Columns()[size_t(AColumn)].Tag)->Editable;
}

bool TWinTbl::EditableColumn(TFld *AFld, bool AEditable)
{
    TSelFld *selFld = SelectSQL->GetSelFld(AFld);
    if (!selFld)
        return false;
    selFld->Editable = AEditable;
    const int tag = SelectSQL->SelFldList.IndexOf(selFld);
    for (size_t c = 0; c < Model->Columns().size(); ++c) {
        if (Model->Columns()[c].Tag != tag)
            continue;
        Model->SetColumnColor(int(c), AEditable ? EditableColor : QColor());
        PlaceEditableColumn(int(c), AEditable);
        return true;
    }
    return false;
}

void TWinTbl::PlaceEditableColumn(int AColumn, bool AEditable)
{
    // The column the user types into stands next to the first one, which names the row, so that
    // a narrow card shows it without scrolling; read-only again, it goes back to its own place.
    QHeaderView *header = vt->horizontalHeader();
    const int place = AEditable ? std::min(1, AColumn) : AColumn;
    header->moveSection(header->visualIndex(AColumn), place);
}

void TWinTbl::CellEdited(int ARow, int AColumn, const QString &AText)
{
    const TTblColumn &column = Model->Columns()[size_t(AColumn)];
    Rows.SetValue(ARow, column.Tag, DB->StrToVarByFldType(AText, column.FldType));
}

int TWinTbl::SelFldIndex(const TFld *AFld, const QString &AFunc) const
{
    for (int i = 0; i < SelectSQL->SelFldList.Count(); ++i)
        if (SelectSQL->SelFldList.Items(i)->Fld == AFld)
            return i;
    throw ExceptionPos::Fmt(AFunc + QStringLiteral(": В таблице объекта \"%s\" не найдено поле \"%s\"."),
                            {TblObj()->Capt(), AFld->Capt()}, vt);
}

void TWinTbl::GetDataByIndexFld(int ARow, TFld *AFld, Variant &Value) const
{
    const int element = SelFldIndex(AFld, QStringLiteral("GetDataByIndexFld"));
    Value = Rows.Value(ARow, element);
}

void TWinTbl::SetDataByIndexFld(int ARow, TFld *AFld, const Variant &Value)
{
    Rows.SetValue(ARow, SelFldIndex(AFld, QStringLiteral("SetDataByIndexFld")), Value);
}

// --- Properties ------------------------------------------------------------------------------

void TWinTbl::ParamByName(const QString &AName, const Variant &AValue)
{
    IBSQLSelect->ParamByName(AName) = AValue;
}

Variant TWinTbl::ParentId() const
{
    return ParentFilter->FilterTreeRoot->Value();
}

void TWinTbl::SetParentId(const Variant &Value)
{
    ParentFilter->FilterTreeRoot->SetValue(Value);
}

void TWinTbl::Repaint()
{
    // The grid holds no values of its own: painting reads the rows afresh.
    if (vt)
        vt->viewport()->update();
}

void TWinTbl::SetFocus()
{
    if (vt)
        vt->setFocus();
}

void TWinTbl::SetAlign(TAlign AAlign)
{
    ::SetAlign(Panel, AAlign);
}

int TWinTbl::Width() const
{
    return Panel->width();
}

void TWinTbl::SetWidth(int AValue)
{
    Panel->resize(AValue, Panel->height());
}

int TWinTbl::Height() const
{
    return Panel->height();
}

void TWinTbl::SetHeight(int AValue)
{
    Panel->resize(Panel->width(), AValue);
}

int TWinTbl::Top() const
{
    return Panel->y();
}

void TWinTbl::SetTop(int AValue)
{
    Panel->move(Panel->x(), AValue);
}

int TWinTbl::Left() const
{
    return Panel->x();
}

void TWinTbl::SetLeft(int AValue)
{
    Panel->move(AValue, Panel->y());
}
