#include "WinCardConf.h"

#include "Application.h"
#include "Card.h"
#include "CodeTables.h"
#include "CtrlTree.h"
#include "Fld.h"
#include "Func.h"
#include "Main.h"
#include "MainFo.h"
#include "Obj.h"
#include "ObjLink.h"
#include "TreeSave.h"
#include "TreeWidget.h"
#include "WinAtr.h"
#include "WinCard.h"
#include "WinCtrlTree.h"
#include "WinDetBook.h"
#include "WinToolBar.h"

#include <QInputDialog>
#include <QLabel>
#include <QSplitter>
#include <QTabWidget>
#include <algorithm>

using enum TCtrlType;

namespace {

// The designer's grid: a step across, a step down.
constexpr int StepX = 8;
constexpr int StepY = 22;

// A node of the structure tree refers to the preview's control of its entry.
class TCtrlItem : public QTreeWidgetItem
{
public:
    explicit TCtrlItem(TWinCtrlTree *AWinCtrlTree) : WinCtrlTree(AWinCtrlTree) {}

    TWinCtrlTree *const WinCtrlTree;
};

TWinCtrlTree *WinCtrlTreeOf(QTreeWidgetItem *AItem)
{
    return static_cast<TCtrlItem *>(AItem)->WinCtrlTree;
}

// A stored value that was never set stays unset under a step.
Variant Stepped(const Variant &AValue, int ADelta)
{
    return AValue.isEmptyOrNull() ? AValue : Variant(VarAsInteger(AValue) + ADelta);
}

int IntOr(const Variant &AValue, int ADefault)
{
    return AValue.isEmptyOrNull() ? ADefault : VarAsInteger(AValue);
}

bool IsMainLinkFld(const TFld &AFld)
{
    const TObjLink *link = AFld.FKObj() ? AFld.FKObj()->ChildList->GetByFld(&AFld) : nullptr;
    return link && link->MainDep();
}

// Fields whose controls are read-only whatever the card says: sums kept by the database, keys,
// and the link to the master a detail record is opened under.
bool ReadOnlyByNature(const TFld *AFld)
{
    return AFld && (AFld->AgrObjLink() || AFld->FldType() == TFldType::ftPK || IsMainLinkFld(*AFld));
}

TCtrlType CtrlTypeOfFld(const TFld &AFld)
{
    switch (AFld.FldType()) {
    case TFldType::ftPK: return ctEditInt;
    case TFldType::ftString: return ctEditStr;
    case TFldType::ftFK: return ctEditObj;
    case TFldType::ftInt: return ctEditInt;
    case TFldType::ftBoolean: return ctBoolean;
    case TFldType::ftNum182: return ctEditNum182;
    case TFldType::ftNum183: return ctEditNum183;
    case TFldType::ftNum184: return ctEditNum184;
    case TFldType::ftDate: return ctDateEdit;
    case TFldType::ftFormula: return ctFormula;
    case TFldType::ftObjTempl: return ctObjTempl;
    default: return ctNone;
    }
}

// The read-only flags a new control of the field starts with.
void SetNewFlags(TCtrlTree &AEntry, const TFld &AFld)
{
    if (AFld.AgrObjLink()) {
        // A payment's sum is typed when the payment is added and spread over its products.
        AEntry.SetROAdd(AFld.Field() != QLatin1String("DEALPAYM_SUM"));
        AEntry.SetROEdt(true);
    } else if (IsMainLinkFld(AFld) || AFld.FldType() == TFldType::ftPK) {
        AEntry.SetROAdd(true);
        AEntry.SetROEdt(true);
    }
}

void AddMenuItem(QMenu *AMenu, const QString &ACaption, const std::function<void()> &AClick)
{
    QAction *action = AMenu->addAction(ACaption);
    QObject::connect(action, &QAction::triggered, action, Guard(AClick));
}

QLabel *CreateLabel(QWidget *AParent, int ALeft, int ATop, const QString &ACaption)
{
    auto *label = new QLabel(ACaption, AParent);
    label->move(ALeft, ATop);
    return label;
}

} // namespace

TWinCardConf::TWinCardConf(QWidget *AParent) : FContext(std::make_unique<QObject>())
{
    Panel = new QFrame(AParent);
    Panel->setFrameShape(QFrame::NoFrame);
    Panel->show();
    CreateLayout();
    CreateParams();
    UpdateSaveBtn();
    UpdateParams();
}

TWinCardConf::~TWinCardConf()
{
    // No handler may run while the parts go; the nodes before the preview they refer to.
    FContext.reset();
    if (vt)
        vt->clear();
    WinCard.reset();
    WinToolBar.reset();
    delete Panel.data();
}

// --- Building ------------------------------------------------------------------------------------

void TWinCardConf::CreateLayout()
{
    WinToolBar = std::make_unique<TWinToolBar>(Panel);
    WinToolBar->AddBtn(TBtnType::btSave, QStringLiteral("Сохранить"), [this] { btSaveClick(); });

    auto *split = new QSplitter(Qt::Horizontal, Panel);
    split->setChildrenCollapsible(false);
    ::SetAlign(split, TAlign::alClient);
    LeftPanel = new QFrame(split);
    LeftPanel->setFrameShape(QFrame::NoFrame);
    PreviewPanel = new QFrame(split);
    PreviewPanel->setFrameShape(QFrame::NoFrame);
    split->setStretchFactor(1, 1);
    split->setSizes({200, 10000});

    auto *leftSplit = new QSplitter(Qt::Vertical, LeftPanel);
    leftSplit->setChildrenCollapsible(false);
    ::SetAlign(leftSplit, TAlign::alClient);
    vt = CreateTreeWidget(leftSplit);
    ParamParel = new QFrame(leftSplit);
    ParamParel->setFrameShape(QFrame::NoFrame);
    leftSplit->setStretchFactor(1, 1);
    leftSplit->setSizes({200, 10000});

    QObject::connect(vt, &QTreeWidget::currentItemChanged, FContext.get(), Guard([this] { vtFocusChanged(); }));
    QObject::connect(vt, &QTreeWidget::itemSelectionChanged, FContext.get(), Guard([this] { vtFocusChanged(); }));
    vt->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(vt, &QWidget::customContextMenuRequested, FContext.get(),
                     [this](const QPoint &pos) { Guarded([&] { ContextMenu(pos); }); });
    PM = new QMenu(vt);
}

QToolButton *TWinCardConf::CreateArrowBtn(int ALeft, int ATop, int AImage, TArrow AArrow)
{
    auto *btn = new QToolButton(ParamParel);
    btn->setGeometry(ALeft, ATop, 26, 26);
    btn->setIconSize(QSize(16, 16));
    btn->setIcon(ImageListIcon(AImage));
    QObject::connect(btn, &QToolButton::clicked, FContext.get(), Guard([this, AArrow] { ArrowBtnClick(AArrow); }));
    return btn;
}

void TWinCardConf::CreateParams()
{
    btLeft = CreateArrowBtn(9, 48, 0, TArrow::Left);
    btRigth = CreateArrowBtn(57, 48, 1, TArrow::Right);
    btTop = CreateArrowBtn(33, 24, 2, TArrow::Up);
    btBottom = CreateArrowBtn(33, 72, 3, TArrow::Down);
    CreateLabel(ParamParel, 15, 5, QStringLiteral("Координаты"));
    btWidthDown = CreateArrowBtn(105, 48, 0, TArrow::WidthDown);
    btWidthUp = CreateArrowBtn(153, 48, 1, TArrow::WidthUp);
    btHeightDown = CreateArrowBtn(129, 24, 2, TArrow::HeightDown);
    btHeightUp = CreateArrowBtn(129, 72, 3, TArrow::HeightUp);
    CreateLabel(ParamParel, 121, 5, QStringLiteral("Размеры"));
    CreateLabel(ParamParel, 9, 125, QStringLiteral("Позиция подписи"));
    btCaptDown = CreateArrowBtn(105, 120, 0, TArrow::CaptDown);
    btCaptUp = CreateArrowBtn(132, 120, 1, TArrow::CaptUp);
    int top = 160;
    for (auto *box : {&cbROAdd, &cbROEdt}) {
        *box = new QCheckBox(box == &cbROAdd ? QStringLiteral("Только чтение при добавлении")
                                             : QStringLiteral("Только чтение при изменении"),
                             ParamParel);
        (*box)->setGeometry(8, top, 184, (*box)->sizeHint().height());
        // Clicks only: the panel showing an entry's flags writes nothing back.
        QObject::connect(*box, &QCheckBox::clicked, FContext.get(), Guard([this, box] { cbROClick(*box); }));
        top += 23;
    }
    ParamParel->setMinimumSize(8 + 184, top);
}

void TWinCardConf::SetAlign(TAlign AAlign)
{
    ::SetAlign(Panel, AAlign);
}

// --- Loading -------------------------------------------------------------------------------------

void TWinCardConf::SetCardId(const Variant &Value)
{
    const Variant id = Value;   // the same card again reloads it
    // Nothing of the card shown before survives, whether or not the next one loads.
    Clear();
    if (id.isNull())
        return;
    try {
        LoadCard(VarAsInteger(id));
    } catch (...) {
        Clear();
        throw;
    }
    FCardId = id;
    UpdateSaveBtn();
    UpdateParams();
}

void TWinCardConf::Clear()
{
    FCardId = Variant::Null();
    // The nodes go before the controls they refer to.
    vt->clear();
    WinCard.reset();
    UpdateSaveBtn();
    UpdateParams();
}

void TWinCardConf::LoadCard(int ACardId)
{
    const TUpdateSuspension suspension(vt);
    WinCard = std::make_unique<TWinCard>(Panel, nullptr, PreviewPanel);
    WinCard->InitById(ACardId);
    WinCard->SetActiveForm(true);
    EnsureRoot();
    AddNode(nullptr, WinCard->WinAtr->RootWinCtrlTree.get());
    // The detail pages show, but they are no place to work in.
    if (WinCard->WinDetBook)
        WinCard->WinDetBook->SetEnabled(false);
}

void TWinCardConf::EnsureRoot()
{
    TWinAtr &winAtr = *WinCard->WinAtr;
    if (winAtr.RootWinCtrlTree)
        return;
    auto root = std::make_unique<TCtrlTree>();
    root->SetCtrlTreeType(ctRoot);
    winAtr.RootWinCtrlTree = winAtr.CreateWinCtrlTree(nullptr, winAtr.Parent, root.get());
    WinCard->Card->RootCtrlTree = std::move(root);
}

QTreeWidgetItem *TWinCardConf::AddNode(QTreeWidgetItem *AParentNode, TWinCtrlTree *AWinCtrlTree)
{
    // The text first: a control the tree cannot name gets no node.
    const QString text = vtGetText(*AWinCtrlTree);
    auto *item = new TCtrlItem(AWinCtrlTree);
    SetNodeText(item, text);
    if (AParentNode)
        AParentNode->addChild(item);
    else
        vt->addTopLevelItem(item);
    // The nodes follow the preview's controls, which are built for what a card can show.
    for (TWinCtrlTree *child : *AWinCtrlTree)
        AddNode(item, child);
    item->setExpanded(true);
    return item;
}

QString TWinCardConf::vtGetText(const TWinCtrlTree &AWinCtrlTree) const
{
    const TCtrlType type = AWinCtrlTree.CtrlTree->CtrlTreeType();
    if (type == ctRoot)
        return QStringLiteral("Структура");
    if (type == ctPageControl)
        return QStringLiteral("Вкладки");
    if (type == ctTabSheet || CtrlTypesFld.Contains(type))
        return AWinCtrlTree.Caption();
    throw ExceptionPos::Fmt(QStringLiteral("TWinCardConf.vtGetText: Неизвестный тип контрола \"%s\"."),
                            {DB->CtrlTreeTypeToCapt(type)}, Panel);
}

// --- Focus and parameters ------------------------------------------------------------------------

TWinCtrlTree *TWinCardConf::FocusedData() const
{
    QTreeWidgetItem *item = FocusedItem(vt);
    return item ? WinCtrlTreeOf(item) : nullptr;
}

void TWinCardConf::vtFocusChanged()
{
    UpdateParams();
}

void TWinCardConf::UpdateParams()
{
    const TWinCtrlTree *node = FocusedData();
    const TCtrlType type = node ? node->CtrlTree->CtrlTreeType() : ctNone;
    for (QToolButton *btn : {btLeft, btRigth, btTop, btBottom})
        btn->setEnabled(CtrlTypesPos.Contains(type));
    for (QToolButton *btn : {btWidthUp, btWidthDown})
        btn->setEnabled(CtrlTypesConfWidth.Contains(type));
    for (QToolButton *btn : {btHeightUp, btHeightDown})
        btn->setEnabled(CtrlTypesConfHeight.Contains(type));
    for (QToolButton *btn : {btCaptDown, btCaptUp})
        btn->setEnabled(CtrlTypesLabel.Contains(type));
    const bool flags = CtrlTypesRO.Contains(type) && !ReadOnlyByNature(node->CtrlTree->Fld());
    cbROAdd->setEnabled(flags);
    cbROEdt->setEnabled(flags);
    cbROAdd->setChecked(node && node->CtrlTree->ROAdd());
    cbROEdt->setChecked(node && node->CtrlTree->ROEdt());
}

void TWinCardConf::UpdateSaveBtn()
{
    WinToolBar->GetByBtnType(TBtnType::btSave)->SetEnabled(!FCardId.isNull());
}

void TWinCardConf::ArrowBtnClick(TArrow AArrow)
{
    TWinCtrlTree *node = FocusedData();
    if (!node)
        return;
    TCtrlTree &entry = *node->CtrlTree;
    const TCtrlType type = entry.CtrlTreeType();
    const bool label = CtrlTypesLabel.Contains(type);
    const auto move = [&](int dx, int dy) {
        if (!CtrlTypesPos.Contains(type))
            return;
        entry.SetCLeft(Stepped(entry.CLeft(), dx));
        entry.SetCTop(Stepped(entry.CTop(), dy));
        if (label) {
            entry.SetLLeft(Stepped(entry.LLeft(), dx));
            entry.SetLTop(Stepped(entry.LTop(), dy));
        }
    };
    // The root's own columns stay: its steps size the preview card, whose sizes the save writes.
    const auto widen = [&](int dx) {
        if (!CtrlTypesConfWidth.Contains(type))
            return;
        if (type == ctRoot)
            WinCard->SetWidth(WinCard->Width() + dx);
        else
            entry.SetCWidth(Stepped(entry.CWidth(), dx));
    };
    const auto heighten = [&](int sign) {
        if (type == ctPageControl)
            entry.SetCHeight(Stepped(entry.CHeight(), sign * StepY));
        else if (type == ctRoot && WinCard->WinDetBook)
            WinCard->SetHeightAtr(WinCard->HeightAtr() + sign * StepX);
        else if (type == ctRoot)
            WinCard->SetHeight(WinCard->Height() + sign * StepX);
    };
    const auto shiftLabel = [&](int dx) {
        if (label)
            entry.SetLLeft(Stepped(entry.LLeft(), dx));
    };
    switch (AArrow) {
    case TArrow::Left: move(-StepX, 0); break;
    case TArrow::Right: move(StepX, 0); break;
    case TArrow::Up: move(0, -StepY); break;
    case TArrow::Down: move(0, StepY); break;
    case TArrow::WidthUp: widen(StepX); break;
    case TArrow::WidthDown: widen(-StepX); break;
    case TArrow::HeightUp: heighten(1); break;
    case TArrow::HeightDown: heighten(-1); break;
    case TArrow::CaptUp: shiftLabel(StepX); break;
    case TArrow::CaptDown: shiftLabel(-StepX); break;
    }
    FollowEntry(*node);
}

void TWinCardConf::FollowEntry(TWinCtrlTree &AWinCtrlTree)
{
    const TCtrlTree &entry = *AWinCtrlTree.CtrlTree;
    const TCtrlType type = entry.CtrlTreeType();
    QWidget *control = AWinCtrlTree.WinControl;
    if (!control)
        return;
    // A value never set leaves the control as it stands.
    if (CtrlTypesPos.Contains(type))
        control->move(IntOr(entry.CLeft(), control->x()), IntOr(entry.CTop(), control->y()));
    if (CtrlTypesConfWidth.Contains(type) && type != ctRoot)
        control->resize(IntOr(entry.CWidth(), control->width()), control->height());
    if (type == ctPageControl)
        control->resize(control->width(), IntOr(entry.CHeight(), control->height()));
    if (QLabel *label = AWinCtrlTree.LabelControl; label && CtrlTypesLabel.Contains(type))
        label->move(IntOr(entry.LLeft(), label->x()), IntOr(entry.LTop(), label->y()));
}

void TWinCardConf::cbROClick(QCheckBox *Sender)
{
    TWinCtrlTree *node = FocusedData();
    if (!node)
        return;
    if (Sender == cbROAdd)
        node->CtrlTree->SetROAdd(Sender->isChecked());
    else
        node->CtrlTree->SetROEdt(Sender->isChecked());
}

// --- The popup menu ------------------------------------------------------------------------------

void TWinCardConf::ContextMenu(const QPoint &APos)
{
    CreatePM();
    if (!PM->isEmpty())
        PM->popup(vt->viewport()->mapToGlobal(APos));
}

void TWinCardConf::CreatePM()
{
    PM->clear();
    TWinCtrlTree *node = FocusedData();
    if (!node)
        return;
    const auto item = [this](const QString &ACaption, void (TWinCardConf::*AClick)()) {
        AddMenuItem(PM, ACaption, [this, AClick] { (this->*AClick)(); });
    };
    const TCtrlType type = node->CtrlTree->CtrlTreeType();
    if (type == ctRoot) {
        AddFieldMenu();
        item(QStringLiteral("Добавить панель вкладок"), &TWinCardConf::miAddTabPanelClick);
    } else if (type == ctPageControl) {
        item(QStringLiteral("Добавить вкладку..."), &TWinCardConf::miAddTabClick);
        item(QStringLiteral("Удалить панель вкладок"), &TWinCardConf::miDelClick);
    } else if (type == ctTabSheet) {
        AddFieldMenu();
        item(QStringLiteral("Добавить панель вкладок"), &TWinCardConf::miAddTabPanelClick);
        item(QStringLiteral("Переименовать вкладку..."), &TWinCardConf::miRenameTabClick);
        item(QStringLiteral("Удалить вкладку"), &TWinCardConf::miDelClick);
    } else if (CtrlTypesFld.Contains(type)) {
        AddFieldMenu();
        item(QStringLiteral("Удалить поле"), &TWinCardConf::miDelClick);
    } else {
        throw ExceptionPos::Fmt(QStringLiteral("TWinCardConf.CreatePM: Неизвестный тип контрола \"%s\"."),
                                {DB->CtrlTreeTypeToCapt(type)}, Panel);
    }
}

void TWinCardConf::AddFieldMenu()
{
    QMenu *fields = PM->addMenu(QStringLiteral("Добавить поле"));
    // Only the fields that have no control yet.
    for (TFld *fld : *WinCard->Card->Obj()->FldList)
        if (!WinCard->WinAtr->GetWinCtrlTreeByFld(fld))
            AddMenuItem(fields, fld->Capt(), [this, fld] { AddField(fld); });
}

// --- Adding, renaming, deleting ------------------------------------------------------------------

void TWinCardConf::AddField(TFld *AFld)
{
    TWinCtrlTree *focused = FocusedData();
    if (!focused || !AFld)
        return;
    const TCtrlType focusedType = focused->CtrlTree->CtrlTreeType();
    const bool underControl = CtrlTypesFld.Contains(focusedType);
    if (!underControl && focusedType != ctRoot && focusedType != ctTabSheet)
        return;

    auto entry = std::make_unique<TCtrlTree>();
    const TCtrlType type = CtrlTypeOfFld(*AFld);
    if (type == ctNone)
        throw ExceptionPos::Fmt(QStringLiteral("TWinCardConf.AddField: Неизвестный тип поля \"%s\"."),
                                {DB->FldTypeToCapt(AFld->FldType())}, Panel);
    entry->SetCtrlTreeType(type);
    const bool box = type == ctBoolean;
    if (box) {
        entry->SetCHeight(17);
        entry->SetCWidth(16);
    } else if (type == ctDateEdit) {
        entry->SetCHeight(21);
    }
    entry->SetFld(AFld);
    SetNewFlags(*entry, *AFld);

    QTreeWidgetItem *focusedNode = FocusedItem(vt);
    if (underControl) {
        // Right under the focused control, in its container.
        const QWidget *control = focused->WinControl;
        const QLabel *label = focused->LabelControl;
        entry->SetCTop(control->y() + StepY);
        entry->SetCLeft(control->x());
        if (!box)
            entry->SetCWidth(focusedType == ctBoolean ? 160 : control->width());
        entry->SetLLeft(label ? label->x() : IntOr(focused->CtrlTree->LLeft(), 0));
        entry->SetLTop((label ? label->y() : IntOr(focused->CtrlTree->LTop(), 0)) + StepY);
        InsertEntry(std::move(entry), focused->ParentWinCtrlTree, focusedNode->parent());
    } else {
        entry->SetCTop(8);
        entry->SetCLeft(96);
        if (!box)
            entry->SetCWidth(std::clamp(ContainerWidth(*focused) - 96 - 8, 80, 240));
        entry->SetLLeft(8);
        entry->SetLTop(10);
        InsertEntry(std::move(entry), focused, focusedNode);
    }
}

void TWinCardConf::miAddTabPanelClick()
{
    TWinCtrlTree *focused = FocusedData();
    if (!focused)
        return;
    auto entry = std::make_unique<TCtrlTree>();
    entry->SetCtrlTreeType(ctPageControl);
    entry->SetCLeft(8);
    entry->SetCTop(8);
    entry->SetCWidth(ContainerWidth(*focused) - 16);
    entry->SetCHeight(154);
    InsertEntry(std::move(entry), focused, FocusedItem(vt));
}

void TWinCardConf::miAddTabClick()
{
    TWinCtrlTree *focused = FocusedData();
    if (!focused)
        return;
    QString name;
    if (!InputName(QStringLiteral("Новая вкладка"), name))
        return;
    auto entry = std::make_unique<TCtrlTree>();
    entry->SetCtrlTreeType(ctTabSheet);
    entry->SetCapt(name);
    InsertEntry(std::move(entry), focused, FocusedItem(vt));
}

void TWinCardConf::miRenameTabClick()
{
    QTreeWidgetItem *item = FocusedItem(vt);
    if (!item)
        return;
    TWinCtrlTree *node = WinCtrlTreeOf(item);
    QString name = node->Caption();
    if (!InputName(QStringLiteral("Переименование вкладки"), name))
        return;
    node->SetCaption(name);
    node->CtrlTree->SetCapt(name);
    SetNodeText(item, vtGetText(*node));
}

void TWinCardConf::miDelClick()
{
    QTreeWidgetItem *item = FocusedItem(vt);
    TWinCtrlTree *node = item ? WinCtrlTreeOf(item) : nullptr;
    // The root stays: the card is built on it.
    if (!node || !node->ParentWinCtrlTree)
        return;
    TCtrlTree *entry = node->CtrlTree;
    TCtrlTree *parent = entry->Parent();
    {
        const TUpdateSuspension suspension(vt);
        // The nodes first, then the controls they refer to, then the entries those show.
        delete item;
        ClearFocus(vt);
        WinCard->WinAtr->DeleteWinCtrlTree(node);
        parent->CtrlTreeList.Delete(parent->CtrlTreeList.IndexOf(entry));
    }
    UpdateParams();
}

void TWinCardConf::InsertEntry(std::unique_ptr<TCtrlTree> AEntry, TWinCtrlTree *AParent, QTreeWidgetItem *AParentNode)
{
    TWinAtr &winAtr = *WinCard->WinAtr;
    TCtrlTree *entry = AEntry.get();
    QTreeWidgetItem *item = nullptr;
    try {
        const TUpdateSuspension suspension(vt);
        item = AddNode(AParentNode, winAtr.CreateControls(AParent, entry));
    } catch (...) {
        // The entry goes with whatever control was made for it.
        winAtr.DeleteWinCtrlTree(winAtr.GetWinCtrlTreeByCtrlTree(entry));
        throw;
    }
    AParent->CtrlTree->AddChild(std::move(AEntry));
    vt->setCurrentItem(item);
    item->setSelected(true);
}

int TWinCardConf::ContainerWidth(const TWinCtrlTree &AWinCtrlTree) const
{
    if (AWinCtrlTree.CtrlTree->CtrlTreeType() == ctRoot)
        return WinCard->Width();
    // Only the page in front is laid out; the area all pages of the page control share is not stale.
    const QWidget *sheet = AWinCtrlTree.WinControl;
    return sheet->parentWidget() ? sheet->parentWidget()->width() : sheet->width();
}

bool TWinCardConf::InputName(const QString &ACaption, QString &AName)
{
    QInputDialog dialog(Panel);
    dialog.setWindowTitle(ACaption);
    dialog.setLabelText(QStringLiteral("Название"));
    dialog.setTextValue(AName);
    dialog.setOkButtonText(QStringLiteral("ОК"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    AName = dialog.textValue();
    return true;
}

// --- Saving --------------------------------------------------------------------------------------

void TWinCardConf::btSaveClick()
{
    if (!WinCard || FCardId.isNull())
        return;
    TCard &card = *WinCard->Card;
    card.SetWidth(WinCard->Width());
    card.SetHeightAtr(WinCard->HeightAtr());
    if (WinCard->WinDetBook)
        card.SetHeightDet(WinCard->HeightDet());
    CommitCard(card);
    if (OnSave)
        OnSave(FCardId);
}
