#include "AtrItemObjTempl.h"

#include "ObjValue.h"

TAtrItemObjTempl::TAtrItemObjTempl() : TemplFldList(std::make_unique<TTemplFldList>()) {}

TAtrItemObjTempl::~TAtrItemObjTempl()
{
    TemplFldList.reset();
}
