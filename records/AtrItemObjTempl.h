#pragma once

#include "AtrItem.h"

#include <memory>

class TTemplFldList;

// The item of an object's OBJ_TEMPL field: besides the template text it carries the template
// fields being edited, which the object editor fills from the repository and saves.
class TAtrItemObjTempl : public TAtrItem
{
public:
    TAtrItemObjTempl();
    ~TAtrItemObjTempl() override;

    std::unique_ptr<TTemplFldList> TemplFldList;
};
