#pragma once

#include "FreedEntries.h"
#include "MDI.h"
#include "Variant.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

class QMdiArea;
class QTabWidget;
class TObj;
class TObjLink;
class TWinCardConf;
class TWinDetCheckList;
class TWinTbl;
class TWinTblCard;
class TWinTblDepChildObj;
class TWinTblDepParentObj;
class TWinTblDetBook;
class TWinTblFld;
class TWinTblObj;
class TWinTblTbl;
class TWinTree;

// The configurator: the developer's window over the repository. On the left the list of
// objects; on the right pages about the selected object: its fields, the links to its details
// (with each link's table views and their columns), the links that point into it, its cards,
// its table views (with their columns) and its detail books (with their links). Every list is a
// table window over one of the repository's own tables through a view of the system's own, and
// the window wires them master to detail: selecting a row opens the lists below it, losing the
// selection closes them.
//
// A delete in its lists frees repository entries only after the window has closed the data
// windows that show them and cleared its editors; they are rebuilt from the lists afterwards.
class TMDIConfig : public TMDI, public TEntryUsers
{
public:
    // Builds the whole window with the objects list open and focused. A system object, view or
    // link of the repository's description of itself that is missing stops it with its message.
    explicit TMDIConfig(QMdiArea *AOwner);
    ~TMDIConfig() override;

    std::unique_ptr<TWinTblObj> WinTblObj;
    std::unique_ptr<TWinTblFld> WinTblFld;
    std::unique_ptr<TWinTblDepChildObj> WinTblDepChildObj;
    std::unique_ptr<TWinTblTbl> WinTblChildTbl;
    std::unique_ptr<TWinTree> TblTreeChild;
    std::unique_ptr<TWinTblDepParentObj> WinTblParent;
    std::unique_ptr<TWinTblCard> WinTblCard;
    // The layout designer of the card selected in the list of cards.
    std::unique_ptr<TWinCardConf> WinCardConf;
    std::unique_ptr<TWinTblTbl> WinTblTbl;
    std::unique_ptr<TWinTree> TblTree;
    std::unique_ptr<TWinTblDetBook> WinTblDetBook;
    std::unique_ptr<TWinDetCheckList> WinDetCheckList;

    // Refuses to free what the configurator's own lists show.
    void CheckRelease(const TFreedEntries &AEntries) override;
    // Closes the data windows of the object, then ends the read transaction and starts it again,
    // reading every open table window afresh.
    void ReleaseTable(const TFreedEntries &AEntries) override;
    // Closes the data windows that show the entries and clears the editors; an object's lists
    // close as when it loses the selection, and the other lists of its pages that show a row of
    // a freed field or link read their rows again.
    void Release(const TFreedEntries &AEntries, const TWinTbl &ADeleter) override;
    // The other lists of the object's pages that show a row of the new entries read their rows.
    void Added(const TFreedEntries &AEntries, const TWinTbl &AAdder) override;

private:
    void CreateObjPage(QTabWidget *APages);
    void CreateFldPage(QTabWidget *APages);
    void CreateChildLinkPage(QTabWidget *APages);
    void CreateParentLinkPage(QTabWidget *APages);
    void CreateCardPage(QTabWidget *APages);
    void CreateTblPage(QTabWidget *APages);
    void CreateDetBookPage(QTabWidget *APages);

    void WinTblObjChangeFocus();
    void WinTblObjChangeData();
    void WinTblFldChangeData();
    void WinTblDepChildObjChangeFocus();
    void WinTblDepChildObjChangeData();
    void WinTblChildTblChangeFocus();
    void WinTblCardChangeFocus();
    void WinTblTblChangeFocus();
    void WinTblDetBookChangeFocus();

    // The lists of an object closed and its editors emptied, as when no object is selected.
    void CloseObjLists();
    // The editors emptied, and built again from what the lists show.
    void ClearEditors();
    void RebuildEditors();
    // The card the designer lays out.
    void SetDesignedCard(const Variant &ACardId);
    // Every list, the objects list first.
    std::vector<TWinTbl *> Lists() const;
    // Closes the data windows of the main form that show any of the entries.
    void CloseWindowsUsing(const TFreedEntries &AEntries);
    // The lists of the selected object's pages that show a row of the entries.
    std::vector<TWinTbl *> ListsShowing(const TFreedEntries &AEntries) const;
    // Those lists, other than the one that changed its own row, read their rows again.
    void ReadListsShowing(const TFreedEntries &AEntries, const TWinTbl &AChanger);
};
