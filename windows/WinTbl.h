#pragma once

#include "Align.h"
#include "CodeTables.h"
#include "RowStore.h"
#include "Variant.h"
#include "WinToolBar.h"

#include <QFrame>
#include <QPointer>
#include <QString>
#include <QTableView>
#include <functional>
#include <memory>
#include <set>

class QItemSelection;

class QWidget;
class TAtr;
class TFilter;
class TFilterList;
class TFld;
class TIBSQL;
class TObj;
class TObjLink;
class TSQL;
class TTbl;
class TTblModel;
class TWinCard;
class TWinTbl;

// The table window's events; the window passes itself.
using TTblEvent = std::function<void(TWinTbl *AWinTbl)>;

// The table of one business object as one table view shows it: a panel with a tool bar for
// adding, changing, deleting and re-reading records and a grid of the rows of the view's select.
// Not a form: it builds its controls on a parent given to it, so it serves as the content of an
// object's MDI window, the list of the value picker, a detail table in a card and, through
// subclasses, the deal tables and the configurator's lists.
//
// Calling order: construct; one of the Init operations; optionally ParentId, CheckSupport,
// OnDblClick, the events and the alignment; then Open. Close and Open may alternate.
//
// Rows are read from the open select only as the grid needs them to fill what it shows, a
// screenful at a time; GotoEnd (Ctrl+End) reads all. After a commit only the one row concerned
// is re-read or inserted; after a delete only that row leaves. The rows live in a row store;
// the window keeps the bars, the keys and the focus, and talks to the database.
class TWinTbl
{
public:
    TWinTbl(QWidget *AOwner, QWidget *AParent);
    virtual ~TWinTbl();
    TWinTbl(const TWinTbl &) = delete;
    TWinTbl &operator=(const TWinTbl &) = delete;

    std::unique_ptr<TTbl> Tbl;
    TTblEvent OnChangeData;    // after data of the table changed through the window
    TTblEvent OnAddClick;      // at the start of the add action, before the card exists
    TTblEvent OnChangeFocus;   // after the selected row changed
    std::unique_ptr<TWinToolBar> WinToolBar;
    std::unique_ptr<TSQL> SelectSQL;
    std::unique_ptr<TFilterList> FilterList;   // the view's always-on filters (owned)

    // Load the view (raising when it is missing) and prepare the window for it.
    void InitById(int AId);
    void InitByName(TObj *AObj, TObjLink *AObjLink, const QString &ATblName);
    // The view the user chose, else the default one. With ARaise false a missing view gives
    // false and leaves the window unprepared.
    bool InitByUser(TObj *AObj, TObjLink *AObjLink, int AUserId, bool ARaise);

    // Runs the select (closing an open one first) and fetches the first screenful.
    void Open();
    // Closes the select and empties the grid.
    void Close();
    void Reopen();
    // Whether the select is open (its rows may not all be fetched yet).
    bool Active() const;
    // Fetches every row still in the open select; nothing on a closed one.
    void GotoEnd();

    // The key of the focused row while a row is selected, else Null.
    Variant FocusedRecId() const;
    // Makes the row of the record with key AKey current and selected, reading on through the
    // open select until it comes; false, and no row chosen, when the select does not hold it.
    bool FocusRecord(const Variant &AKey);
    // Sets a named parameter of the select statement.
    void ParamByName(const QString &AName, const Variant &AValue);
    // The add button for the detail tables of a card whose record is still new.
    void EnableAddBtn();
    // Add, re-read and close follow the select being open; change and delete the selection.
    void EnableButtons();

    // Keys of the ticked rows: the first one, then one by one; Null when there is none, and
    // GetNextChecked stays Null after the end until GetFirstChecked starts over.
    Variant GetFirstChecked();
    Variant GetNextChecked();
    bool RowChecked(int AIndex) const;
    // Does not repaint by itself.
    void SetRowChecked(int AIndex, bool AChecked);
    void SetCheckSupport(bool ACheckSupport);

    // Makes the column of a view field editable in place (pale blue) or read-only; false when
    // the view has no column of the field.
    bool EditableColumn(TFld *AFld, bool AEditable);

    int Count() const { return Rows.Count(); }
    // Shows the values and check marks of the rows as they are now, after changes made through
    // SetDataByIndexFld and SetRowChecked.
    void Repaint();
    void SetFocus();
    // One value of a fetched row by its field (any field of the select); no repaint.
    void GetDataByIndexFld(int ARow, TFld *AFld, Variant &Value) const;
    void SetDataByIndexFld(int ARow, TFld *AFld, const Variant &Value);

    // The master key of a detail table, read by the next Open and by the add action.
    Variant ParentId() const;
    virtual void SetParentId(const Variant &Value);

    // The grid's double click; by default the change action.
    TClickEvent GetOnDblClick() const { return FOnDblClick; }
    void SetOnDblClick(TClickEvent AOnDblClick) { FOnDblClick = std::move(AOnDblClick); }
    // Whether the grid's last double click landed on a row rather than the space below the rows.
    bool DblClickOnRow() const { return FDblClickOnRow; }

    void SetAlign(TAlign AAlign);
    int Width() const;
    void SetWidth(int AValue);
    int Height() const;
    void SetHeight(int AValue);
    int Top() const;
    void SetTop(int AValue);
    int Left() const;
    void SetLeft(int AValue);

    // The actions of the tool bar and the keys.
    void AddClick();
    void EditClick();
    void CloseClick();

    // The record editor's after-commit event: the row of the committed record is re-read in
    // place; a new record, or one the grid does not hold, is inserted above the focused row and
    // focused.
    virtual void AtrAfterCommit(TAtr *Sender);
    // Re-reads row ARow from the record with key ARecId. A record that no longer exists (deleted
    // meanwhile by another user) takes its row out of the grid; the result tells which happened.
    bool RefreshRow(int ARow, const Variant &ARecId);

    // The object whose rows the window shows: the view's, or the detail object of its link.
    TObj *TblObj() const;
    QFrame *GetPanel() const { return Panel; }

    // The extension points of the deal tables and the configurator's lists.
    virtual void CardBeforePost(TWinCard *Sender, bool ANewCard, bool &ASkipPost);
    virtual void CardBeforeCommit(TWinCard *Sender, bool &DoAction);
    virtual void DeleteClick();
    // Deletes the focused record inside the open write transaction.
    virtual void DeleteRecord();
    virtual void ChangeFocus();
    // Builds the statements and the columns once the view is loaded.
    virtual void Prepare();
    virtual bool ConfirmDelete();
    // Makes the card for adding (ANew) or changing a record: by default the modal card the user
    // chose for the table's object. The add and change actions fill it, wire it, show it and
    // free it.
    virtual std::unique_ptr<TWinCard> CreateCard(bool ANew);
    // Called after a committed delete.
    virtual void AfterDelete();

protected:
    QWidget *Owner = nullptr;
    QPointer<QTableView> vt;
    std::unique_ptr<TFilter> ParentFilter;

    // Makes the row current and selected; nothing for no row.
    void SelectRow(int AIndex);
    // The fetched row of the record with key AKey, the focused one looked at first; -1 if none.
    int RowOfKey(const Variant &AKey) const;

private:
    friend class TTblModel;
    friend class TGridEvents;

    void CreateControls(QWidget *AOwner, QWidget *AParent);
    void CreateColumns();
    bool CanFetch() const;
    // Whether the select was let go of with the connection before its last row: the rows the
    // grid holds are then not all there are.
    bool SelectLost() const;
    // Fetches up to ACount rows from the open select; the number fetched.
    int FetchRows(int ACount);
    // The rows the grid shows in its height, plus one: a screenful.
    int ScreenRows() const;
    // Reads a screenful when the grid, at its scroll position, shows fewer rows than it could.
    void FetchWanted();
    bool ReadRow(const Variant &ARecId, TRow &ARow);
    // After a card was cancelled: re-reads the row of its record when the card changed the
    // record's details and the grid holds the row.
    void CardCancelled(const TWinCard &ACard);
    void InsertRow(int AIndex, const TRow &ARow);
    // Notes the key of a record the window itself placed into the grid while the select still
    // has rows to give: a read-committed select also gives records committed after it opened,
    // and one placed here must not come twice.
    void NotePlaced(const Variant &AKey);
    // Takes the row out of the grid; a focused row hands the focus to the next row, else the
    // previous one.
    void RemoveRow(int AIndex);
    // The row of the focused node while the grid reports a selected row, else -1. A node the
    // grid only made current on taking the focus, without selecting it, does not count.
    int FocusedIndex() const;
    void SelectionChanged(const QItemSelection &ASelected);
    void KeyDown(int AKey, Qt::KeyboardModifiers AModifiers);
    bool BtnEnabled(TBtnType ABtnType) const;
    void SetBtnEnabled(TBtnType ABtnType, bool AEnabled);
    void CellEdited(int ARow, int AColumn, const QString &AText);
    bool ColumnEditable(int AColumn) const;
    void PlaceEditableColumn(int AColumn, bool AEditable);
    int SelFldIndex(const TFld *AFld, const QString &AFunc) const;

    QWidget *Parent = nullptr;
    std::unique_ptr<TIBSQL> IBSQLSelect;
    std::unique_ptr<TIBSQL> IBSQLRefresh;
    std::unique_ptr<TIBSQL> IBSQLDelete;
    TRowStore Rows;
    QPointer<QFrame> Panel;
    bool Deleting = false;
    bool FocusedRow = false;
    int LastFindChecked = -1;   // the row last returned by GetFirstChecked / GetNextChecked
    std::unique_ptr<TSQL> RefreshSQL;
    std::unique_ptr<TSQL> DeleteSQL;
    std::unique_ptr<TFilter> PKFilter;

    std::unique_ptr<TTblModel> Model;
    std::set<Variant> PlacedKeys;   // see NotePlaced
    bool CheckSupport = false;
    bool Fetching = false;
    bool RowsPending = false;   // the select is open or was, and its last row has not come yet
    bool LossTold = false;      // the loss of the select has been reported once
    TClickEvent FOnDblClick;
    bool FDblClickOnRow = false;
};
