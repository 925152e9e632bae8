#pragma once

#include "Align.h"
#include "Variant.h"

#include <QCheckBox>
#include <QFrame>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>
#include <memory>

class QTreeWidgetItem;
class TCtrlTree;
class TFld;
class TWinCard;
class TWinCtrlTree;
class TWinToolBar;

// The card layout designer: the control tree of one card as a structure tree on the left, with
// arrow buttons that move and size the focused control and boxes for its read-only flags, and the
// card itself on the right as a live preview. The designer edits the very entries the preview's
// card holds and moves the preview's controls with them; nothing reaches the database before
// "Сохранить", which writes the card's sizes and its whole control tree in one transaction.
//
// The configurator puts it on a page (the constructor, SetAlign) and hands it the card focused in
// its list of cards (SetCardId).
class TWinCardConf
{
public:
    // What an arrow button changes on the focused entry.
    enum class TArrow { Left, Right, Up, Down, WidthUp, WidthDown, HeightUp, HeightDown, CaptDown, CaptUp };

    // A panel on AParent: tool bar, structure tree over the parameter panel, preview.
    explicit TWinCardConf(QWidget *AParent);
    ~TWinCardConf();
    TWinCardConf(const TWinCardConf &) = delete;
    TWinCardConf &operator=(const TWinCardConf &) = delete;

    QPointer<QFrame> Panel;
    QPointer<QFrame> LeftPanel;
    QPointer<QFrame> ParamParel;
    QPointer<QFrame> PreviewPanel;
    // One node per control of the preview, children in tree order, all expanded.
    QPointer<QTreeWidget> vt;
    std::unique_ptr<TWinToolBar> WinToolBar;
    QPointer<QToolButton> btLeft, btRigth, btTop, btBottom;
    QPointer<QToolButton> btWidthUp, btWidthDown, btHeightUp, btHeightDown;
    QPointer<QToolButton> btCaptDown, btCaptUp;
    QPointer<QCheckBox> cbROAdd, cbROEdt;
    // The preview; nil while no card is loaded.
    std::unique_ptr<TWinCard> WinCard;
    // Refilled from the focused node each time it opens.
    QPointer<QMenu> PM;

    // The card being designed; Null for none.
    Variant CardId() const { return FCardId; }
    // Loads the card with that id, dropping whatever was not saved of the one before; Null
    // empties the designer. A card that cannot be loaded leaves the designer empty and raises.
    void SetCardId(const Variant &Value);
    void SetAlign(TAlign AAlign);

    // The control of the node the user focused; nil when none is.
    TWinCtrlTree *FocusedData() const;

    // "Сохранить": the preview's sizes into the card, then the card's sizes and its control tree
    // written in one write transaction. A failure writes nothing and keeps every change in memory.
    void btSaveClick();
    // After a committed save, with the card's id: whatever shows the card's row reads it again.
    std::function<void(const Variant &ACardId)> OnSave;
    // One step of the focused entry, 8 pixels across or 22 down, and the preview follows.
    void ArrowBtnClick(TArrow AArrow);
    void cbROClick(QCheckBox *Sender);
    // Fills the popup menu with what the focused node allows.
    void CreatePM();
    // The field's control goes under the focused control, or onto the focused card or tab sheet.
    void AddField(TFld *AFld);
    void miAddTabPanelClick();
    void miAddTabClick();
    void miRenameTabClick();
    // The focused entry goes with everything on it; its controls let go of their record items
    // first. No node is focused afterwards.
    void miDelClick();

private:
    void CreateLayout();
    void CreateParams();
    QToolButton *CreateArrowBtn(int ALeft, int ATop, int AImage, TArrow AArrow);
    // Back to the empty designer.
    void Clear();
    void LoadCard(int ACardId);
    // A card stored without any control gets its root, as new cards have.
    void EnsureRoot();
    QTreeWidgetItem *AddNode(QTreeWidgetItem *AParentNode, TWinCtrlTree *AWinCtrlTree);
    QString vtGetText(const TWinCtrlTree &AWinCtrlTree) const;
    void vtFocusChanged();
    void ContextMenu(const QPoint &APos);
    void AddFieldMenu();
    // The new entry's control under AParent, its node under AParentNode, the entry appended to
    // its parent's children; then its node is focused. A step that fails discards the entry.
    void InsertEntry(std::unique_ptr<TCtrlTree> AEntry, TWinCtrlTree *AParent, QTreeWidgetItem *AParentNode);
    // The width a new control on the root or on a tab sheet has to fit into.
    int ContainerWidth(const TWinCtrlTree &AWinCtrlTree) const;
    // The preview's control and label stand where the entry says.
    void FollowEntry(TWinCtrlTree &AWinCtrlTree);
    void UpdateParams();
    void UpdateSaveBtn();
    bool InputName(const QString &ACaption, QString &AName);

    Variant FCardId = Variant::Null();
    // The handlers of the designer's widgets live in it: they go before anything else does.
    std::unique_ptr<QObject> FContext;
};
