#pragma once

// Trees stored as nested sets arrive ordered by their left bounds; each node after the root is
// placed by descending from the root: it is the first child of a node whose left bound is one
// less, the last child of a node whose right bound is one more, or the next sibling of a
// child it directly follows. A node that fits nowhere means the stored tree is damaged.
//
// TNode needs Lft(), Rgt() and a children list `Children()` with Count/Items/Add.
template <typename TNode>
bool PlaceByDescent(TNode *parent, TNode *node)
{
    auto &children = parent->Children();
    if (parent->Lft() + 1 == node->Lft() || parent->Rgt() - 1 == node->Rgt()) {
        children.Add(node);
        return true;
    }
    for (int i = 0; i < children.Count(); ++i) {
        TNode *child = children.Items(i);
        if (child->Rgt() + 1 == node->Lft()) {
            children.Add(node);
            return true;
        }
        if (PlaceByDescent(child, node))
            return true;
    }
    return false;
}
