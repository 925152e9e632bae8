#pragma once

#include "ObjectList.h"

// Column and control trees are kept as nested sets (left and right bounds). These helpers
// serve both: TNode needs Lft()/SetLft(), Rgt()/SetRgt() and Parent(); its children are the
// owning list named by the member pointer.

// The parent of a node with left bound ALft, searched in pre-order from ANode among the nodes
// placed so far: a node whose left bound is ALft - 1 (the new node is its first child), or
// the parent of a node whose right bound is ALft - 1 (the new node follows it). A follower of
// the root has no parent, so nil means the stored tree is damaged.
template <typename TNode>
TNode *FindParentByLft(TNode *ANode, int ALft, TObjectList<TNode> TNode::*AChildren)
{
    if (ANode->Lft() == ALft - 1)
        return ANode;
    if (ANode->Rgt() == ALft - 1)
        return ANode->Parent();
    for (TNode *child : ANode->*AChildren)
        if (TNode *found = FindParentByLft(child, ALft, AChildren))
            return found;
    return nullptr;
}

// Gives the subtree fresh bounds in pre-order: a node takes the counter's next value on entry
// and the next one after its descendants. Returns the counter; from 0 the root gets 1 and 2n.
template <typename TNode>
int RenumberPreOrder(TNode *ANode, TObjectList<TNode> TNode::*AChildren, int ACounter = 0)
{
    ANode->SetLft(++ACounter);
    for (TNode *child : ANode->*AChildren)
        ACounter = RenumberPreOrder(child, AChildren, ACounter);
    ANode->SetRgt(++ACounter);
    return ACounter;
}

// Calls AVisit for every node of the subtree, a node before its children, children in order:
// the order in which a tree's rows are written back.
template <typename TNode, typename TVisit>
void ForEachPreOrder(TNode *ANode, TObjectList<TNode> TNode::*AChildren, TVisit &&AVisit)
{
    AVisit(ANode);
    for (TNode *child : ANode->*AChildren)
        ForEachPreOrder(child, AChildren, AVisit);
}
