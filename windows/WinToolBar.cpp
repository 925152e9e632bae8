#include "WinToolBar.h"

#include "Align.h"
#include "Application.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

TWinToolBtn::TWinToolBtn(TWinToolBar *AWinToolBar) : FToolBar(AWinToolBar->ToolBar)
{
    // Appended behind every existing button; the tool bar owns the action and its button.
    Btn = new QAction(AWinToolBar->ToolBar);
    AWinToolBar->ToolBar->addAction(Btn);
}

TWinToolBtn::~TWinToolBtn() = default;

bool TWinToolBtn::Enabled() const
{
    return FEnabled;
}

void TWinToolBtn::SetEnabled(bool AEnabled)
{
    if (AlwaysDisable)
        return;
    FEnabled = AEnabled;
    if (Btn)
        Btn->setEnabled(AEnabled);
}

bool TWinToolBtn::Visible() const
{
    return Btn && Btn->isVisible();
}

void TWinToolBtn::SetVisible(bool AVisible)
{
    if (!Btn)
        return;
    Btn->setVisible(AVisible);
    Btn->setEnabled(FEnabled);
}

QString TWinToolBtn::Caption() const
{
    return Btn ? Btn->text() : QString();
}

QToolButton *TWinToolBtn::Widget() const
{
    if (!Btn || !FToolBar)
        return nullptr;
    return qobject_cast<QToolButton *>(FToolBar->widgetForAction(Btn));
}

TWinToolBar::TWinToolBar(QWidget *AParent) : TObjectList<TWinToolBtn>(true)
{
    ToolBar = new QToolBar(AParent);
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    SetAlign(ToolBar, TAlign::alTop);
}

TWinToolBar::~TWinToolBar()
{
    delete ToolBar.data();
    Clear();
}

TWinToolBtn *TWinToolBar::AddBtn(TBtnType ABtnType, const QString &ACapt, TClickEvent AOnClick)
{
    auto btn = std::make_unique<TWinToolBtn>(this);
    btn->FBtnType = ABtnType;
    btn->Btn->setText(ACapt);
    if (AOnClick)
        QObject::connect(btn->Btn, &QAction::triggered, btn->Btn, Guard(std::move(AOnClick)));
    return Add(std::move(btn));
}

TWinToolBtn *TWinToolBar::GetByBtnType(TBtnType ABtnType) const
{
    for (TWinToolBtn *btn : *this)
        if (btn->FBtnType == ABtnType)
            return btn;
    return nullptr;
}
