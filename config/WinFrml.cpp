#include "WinFrml.h"

#include "Align.h"
#include "Application.h"
#include "EditorForm.h"
#include "Atr.h"
#include "Fld.h"
#include "Formula.h"
#include "Func.h"
#include "Main.h"
#include "Obj.h"
#include "TreeSearch.h"
#include "TreeWidget.h"
#include "WinAtr.h"
#include "WinBotBtns.h"
#include "WinCard.h"
#include "WinSelFld.h"
#include "WinSelVal.h"

#include <QTreeWidgetItemIterator>

namespace {

using enum TFormulaFunc;

// A tree node refers to its formula node; the formula owns the nodes.
class TFormulaItem : public QTreeWidgetItem
{
public:
    explicit TFormulaItem(TFormulaTree *AFormulaTree) : FormulaTree(AFormulaTree) {}

    TFormulaTree *const FormulaTree;
};

TFormulaTree *FormulaOf(QTreeWidgetItem *AItem)
{
    return static_cast<TFormulaItem *>(AItem)->FormulaTree;
}

// Functions of two or more operands, and the currency rate of exactly two, take operands until
// they have them; field nodes, constants and the functions of no operands take none.
bool TakesOperand(const TFormulaTree &ANode)
{
    if (ANode.FldValue())
        return false;
    switch (ANode.Func()) {
    case ffAdd:
    case ffDed:
    case ffMul:
    case ffDiv:
        return true;
    case ffRate:
        return ANode.FormulaTreeList.Count() < 2;
    default:
        return false;
    }
}

// Why the node cannot be computed where it stands; empty when it can.
QString NodeFault(const TFormulaTree &ANode, bool ARoot)
{
    if (const TFld *fld = ANode.FldValue())
        return fld->AgrObjLink()
                   ? Format(QStringLiteral("Поле \"%s\" нельзя использовать в формуле - оно суммирующее."), {fld->Capt()})
                   : QString();
    const TFormulaFunc func = ANode.Func();
    const int operands = ANode.FormulaTreeList.Count();
    const QString caption = DB->FormulaFuncToCapt(func);
    switch (func) {
    case ffAdd:
    case ffDed:
    case ffMul:
    case ffDiv:
        if (operands < 2)
            return Format(QStringLiteral("У функции \"%s\" должно быть 2 параметра или больше."), {caption});
        break;
    case ffRate:
        if (operands != 2)
            return Format(QStringLiteral("У функции \"%s\" должно быть 2 параметра."), {caption});
        break;
    case ffParId:
        if (!ARoot)
            return Format(QStringLiteral("Функция \"%s\" может быть только корневым элементом дерева формулы."),
                          {caption});
        break;
    default:
        break;
    }
    return QString();
}

// The caption of a field of the formula nodes' own object, as the menu offers that kind of node.
QString AddCaption(const QString &AField)
{
    return DB->ObjList->GetObjByTable(QStringLiteral("FRMLTREE"))->GetFldByName(AField)->Capt()
           + QStringLiteral("...");
}

} // namespace

TWinFormula::TWinFormula(QWidget *AOwner, QWidget *AParentPosition, const QString &ACaption)
    : Formula(std::make_unique<TFormula>())
{
    Form = CreateEditorForm(AOwner, AParentPosition, ACaption);
    Panel = new QFrame(Form);
    Panel->setFrameShape(QFrame::NoFrame);
    SetAlign(Panel, TAlign::alClient);
    vt = CreateTreeWidget(Panel);
    SetAlign(vt, TAlign::alClient);
    vt->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(vt, &QWidget::customContextMenuRequested, vt,
                     [this](const QPoint &pos) { Guarded([&] { ContextMenu(pos); }); });
    for (auto signal : {&QTreeWidget::itemExpanded, &QTreeWidget::itemCollapsed})
        QObject::connect(vt, signal, vt, [this](QTreeWidgetItem *item) { Guarded([&] { ShowText(item); }); });

    PM = new QMenu(vt);
    miAdd = new QMenu(QStringLiteral("Добавить"), Form);
    miAdd->addAction(AddCaption(QStringLiteral("FRMLFUNC_ID")), Guard([this] { miAddFuncClick(); }));
    miAdd->addAction(AddCaption(QStringLiteral("FLD_ID_VALUE")), Guard([this] { miAddFldClick(); }));
    miAdd->addAction(AddCaption(QStringLiteral("FRMLTREE_VALUE")), Guard([this] { miAddValueClick(); }));
    miDel = new QAction(QStringLiteral("Удалить"), Form);
    QObject::connect(miDel, &QAction::triggered, miDel, Guard([this] { miDelClick(); }));

    WinBotBtns = std::make_unique<TWinBotBtns>(Form);
    WinBotBtns->AddOkCancelBtns([this] { CheckAndNumber(); }, [this] { CancelQuery(); });
}

TWinFormula::~TWinFormula()
{
    WinBotBtns.reset();
    // The tree goes before the formula its nodes refer to.
    delete Form.data();
}

bool TWinFormula::Execute()
{
    vt->clear();
    if (Formula->FormulaTreeRoot)
        AddNode(nullptr, Formula->FormulaTreeRoot.get());
    vt->expandAll();
    for (QTreeWidgetItemIterator it(vt); *it; ++it)
        ShowText(*it);
    return Form->exec() == mrOk;
}

QTreeWidgetItem *TWinFormula::AddNode(QTreeWidgetItem *AParent, TFormulaTree *ANode)
{
    auto *item = new TFormulaItem(ANode);
    if (AParent)
        AParent->addChild(item);
    else
        vt->addTopLevelItem(item);
    for (TFormulaTree *child : ANode->FormulaTreeList)
        AddNode(item, child);
    return item;
}

TFormulaTree *TWinFormula::FocusedFormulaTree() const
{
    QTreeWidgetItem *item = FocusedItem(vt);
    return item ? FormulaOf(item) : nullptr;
}

void TWinFormula::ShowText(QTreeWidgetItem *AItem)
{
    const bool operandsBelow = AItem->isExpanded() && AItem->childCount() > 0;
    SetNodeText(AItem, FormulaOf(AItem)->Text(!operandsBelow));
}

void TWinFormula::ShowTextsUpFrom(QTreeWidgetItem *AItem)
{
    for (QTreeWidgetItem *item = AItem; item; item = item->parent())
        ShowText(item);
}

// --- The popup menu ------------------------------------------------------------------------------

void TWinFormula::ContextMenu(const QPoint &APos)
{
    pmPopup();
    if (!PM->isEmpty())
        PM->popup(vt->viewport()->mapToGlobal(APos));
}

void TWinFormula::pmPopup()
{
    PM->clear();
    const TFormulaTree *node = FocusedFormulaTree();
    if (node ? TakesOperand(*node) : !Formula->FormulaTreeRoot)
        PM->addMenu(miAdd);
    if (node)
        PM->addAction(miDel);
}

// --- Adding and deleting ---------------------------------------------------------------------------

void TWinFormula::miAddFuncClick()
{
    TWinSelVal picker(Form, vt);
    picker.Init(DB->ObjList->GetObjByTable(QStringLiteral("FRMLFUNC")), QString(), QString());
    if (!picker.Execute())
        return;
    // OK on no row answers Null: no function, and no node either.
    const TFormulaFunc func = DB->CodeToFormulaFunc(picker.Value);
    if (func == ffNone)
        return;
    auto node = std::make_unique<TFormulaTree>();
    node->SetFunc(func);
    InsertNode(std::move(node));
}

void TWinFormula::miAddFldClick()
{
    TWinSelFld chooser(Form, vt);
    chooser.Init(Obj);
    if (!chooser.Execute())
        return;
    auto node = std::make_unique<TFormulaTree>();
    node->SetFldValue(chooser.Fld);
    node->Path->Assign(*chooser.Path);
    node->SetPathHave(chooser.Path->Count() > 0);
    InsertNode(std::move(node));
}

void TWinFormula::miAddValueClick()
{
    TWinCard card(Form, vt, nullptr);
    card.InitByName(DB->ObjList->GetObjByTable(QStringLiteral("FRMLTREE")), QStringLiteral("Value"));
    card.NoPost = true;
    card.InitDefaultValues(nullptr, Variant::Null());
    if (card.ShowModalCard() != mrOk)
        return;
    auto node = std::make_unique<TFormulaTree>();
    node->SetValue(card.WinAtr->Atr->GetAddByFldName(QStringLiteral("FRMLTREE_VALUE"))->Value());
    InsertNode(std::move(node));
}

void TWinFormula::InsertNode(std::unique_ptr<TFormulaTree> ANode)
{
    QTreeWidgetItem *parent = FocusedItem(vt);
    // A formula has one root; without a focused node only an empty formula takes one.
    if (!parent && Formula->FormulaTreeRoot)
        return;
    TFormulaTree *node = ANode.get();
    if (parent)
        FormulaOf(parent)->FormulaTreeList.Add(std::move(ANode));
    else
        Formula->FormulaTreeRoot = std::move(ANode);
    Modified = true;
    QTreeWidgetItem *item = AddNode(parent, node);
    if (parent && parent->childCount() == 1)
        parent->setExpanded(true);
    ShowTextsUpFrom(item);
}

void TWinFormula::miDelClick()
{
    QTreeWidgetItem *item = FocusedItem(vt);
    if (!item)
        return;
    QTreeWidgetItem *parent = item->parent();
    Modified = true;
    if (!parent) {
        vt->clear();
        Formula->Clear();
        return;
    }
    const TFormulaTree *node = FormulaOf(item);
    delete item;
    TObjectList<TFormulaTree> &operands = FormulaOf(parent)->FormulaTreeList;
    operands.Delete(operands.IndexOf(node));
    // The view focuses a neighbour of a deleted node by itself; nobody chose it.
    ClearFocus(vt);
    ShowTextsUpFrom(parent);
}

// --- Closing ---------------------------------------------------------------------------------------

void TWinFormula::CancelQuery()
{
    if (Modified && MsgDlg(QStringLiteral("Отменить изменения?"), TMsgDlgType::mtConfirmation, mbYes | mbNo, Form) != mrYes)
        throw EAbort();
}

void TWinFormula::CheckAndNumber()
{
    TFormulaTree *root = Formula->FormulaTreeRoot.get();
    if (!root)
        return;
    CheckNode(root, true);
    RenumberPreOrder(root, &TFormulaTree::FormulaTreeList);
}

void TWinFormula::CheckNode(TFormulaTree *ANode, bool ARoot)
{
    const QString fault = NodeFault(*ANode, ARoot);
    if (!fault.isEmpty()) {
        FocusNode(ANode);
        throw ExceptionPos(fault, Form);
    }
    for (TFormulaTree *child : ANode->FormulaTreeList)
        CheckNode(child, false);
}

void TWinFormula::FocusNode(const TFormulaTree *ANode)
{
    for (QTreeWidgetItemIterator it(vt); *it; ++it) {
        if (FormulaOf(*it) != ANode)
            continue;
        vt->setCurrentItem(*it);
        (*it)->setSelected(true);
        vt->setFocus();
        return;
    }
}
