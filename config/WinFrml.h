#pragma once

#include <QDialog>
#include <QFrame>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QTreeWidget>
#include <memory>

class QAction;
class TFormula;
class TFormulaTree;
class TObj;
class TWinBotBtns;

// The modal editor of a computed field's formula, shown as a tree: each function node holds its
// operands below it, field and constant nodes are leaves. Nodes are added and deleted through the
// tree's popup menu; OK checks the tree and numbers its nodes as a nested set.
//
// Calling order: construct; set Obj and assign a copy of the formula into Formula; Execute; on
// true read Formula.
class TWinFormula
{
public:
    // The window belongs to AOwner, is centred over AParentPosition and captioned ACaption.
    TWinFormula(QWidget *AOwner, QWidget *AParentPosition, const QString &ACaption);
    ~TWinFormula();
    TWinFormula(const TWinFormula &) = delete;
    TWinFormula &operator=(const TWinFormula &) = delete;

    QPointer<QDialog> Form;
    QPointer<QFrame> Panel;
    // One node per formula node; the formula's root is the only top-level node.
    QPointer<QTreeWidget> vt;
    std::unique_ptr<TWinBotBtns> WinBotBtns;
    // Rebuilt from the focused node each time it opens.
    QPointer<QMenu> PM;
    // A node was added or deleted since the window opened.
    bool Modified = false;
    // The object whose fields the field nodes may read.
    TObj *Obj = nullptr;
    std::unique_ptr<TFormula> Formula;

    // Shows the formula as a tree, all expanded, modally; true when closed with OK, the formula
    // then checked and numbered.
    bool Execute();
    // The formula node of the focused tree node; nil when none is focused.
    TFormulaTree *FocusedFormulaTree() const;

    // Fills the popup menu with what the focused node allows.
    void pmPopup();
    // The three kinds of node the developer adds under the focused node (or as the root):
    // a function from the list of functions, a field through the field chooser, a constant
    // typed into a small card. A chooser left without a choice adds nothing.
    void miAddFuncClick();
    void miAddFldClick();
    void miAddValueClick();
    // The focused node goes with its operands; no node is focused afterwards.
    void miDelClick();
    // "Отмена": after a change the developer confirms that the changes are dropped.
    void CancelQuery();
    // "ОК": refuses a tree that cannot be computed, focusing the offending node; numbers the rest.
    void CheckAndNumber();

private:
    void ContextMenu(const QPoint &APos);
    QTreeWidgetItem *AddNode(QTreeWidgetItem *AParent, TFormulaTree *ANode);
    void InsertNode(std::unique_ptr<TFormulaTree> ANode);
    void CheckNode(TFormulaTree *ANode, bool ARoot);
    void FocusNode(const TFormulaTree *ANode);
    // A node's text follows its state: expanded, a function shows its caption with its operands
    // on the rows below; collapsed, the whole subexpression.
    void ShowText(QTreeWidgetItem *AItem);
    void ShowTextsUpFrom(QTreeWidgetItem *AItem);

    QPointer<QMenu> miAdd;
    QPointer<QAction> miDel;
};
