#pragma once

#include "Atr.h"

// The editor of a detail book row (DETBOOK). It changes nothing of the plain editor: the links
// of a book are saved by the configurator's check list. The detail book card has an editor
// class of its own all the same, as the other metadata cards do.
class TAtrDetBook : public TAtr
{
};
