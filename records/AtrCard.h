#pragma once

#include "Atr.h"

// The editor of a card row (CARD): a new card starts with the root of its control tree, so the
// card designer always finds a root to place controls on, and with a starting size.
class TAtrCard : public TAtr
{
public:
    void Post() override;
    void SetDefaultValues(TObjLink *AObjLink, const Variant &AParentId) override;
};
