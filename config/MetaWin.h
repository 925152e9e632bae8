#pragma once

#include "Atr.h"
#include "WinAtr.h"
#include "WinCard.h"

#include <QString>
#include <memory>

class TObj;

// What the configurator's metadata windows have in common: each list opens its own named card
// over its grid, each card shows its own attribute panel, each panel posts through its own
// metadata record editor.

// A modal card of the class TCard, loaded by name for the object of a list, over the list's grid.
template <typename TCardClass>
std::unique_ptr<TWinCard> CreateMetaCard(QWidget *AOwner, QWidget *AGrid, TObj *AObj, const QString &ACardName)
{
    auto card = std::make_unique<TCardClass>(AOwner, AGrid, nullptr);
    card->InitByName(AObj, ACardName);
    return card;
}

// A card whose attribute panel is of the class TPanel.
template <typename TPanel>
class TWinMetaCard : public TWinCard
{
public:
    using TWinCard::TWinCard;

    void CreateWinAtr() override
    {
        WinAtr = std::make_unique<TPanel>(Form, AtrPanel);
        WinAtr->Init(Card.get());
    }
};

// An attribute panel whose record editor is of the class TEditor.
template <typename TEditor>
class TWinMetaAtr : public TWinAtr
{
public:
    using TWinAtr::TWinAtr;

    std::unique_ptr<TAtr> CreateAtr() override { return std::make_unique<TEditor>(); }
};
