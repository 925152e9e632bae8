#pragma once

#include <algorithm>
#include <memory>
#include <vector>

// A list of objects that frees them when it owns them, or only points at them otherwise.
template <typename T>
class TObjectList
{
public:
    explicit TObjectList(bool ownsObjects = true) : FOwnsObjects(ownsObjects) {}
    virtual ~TObjectList() { Clear(); }
    TObjectList(const TObjectList &) = delete;
    TObjectList &operator=(const TObjectList &) = delete;

    bool OwnsObjects() const { return FOwnsObjects; }
    int Count() const { return int(FItems.size()); }
    T *Items(int i) const { return FItems.at(size_t(i)); }
    T *First() const { return FItems.empty() ? nullptr : FItems.front(); }
    T *Last() const { return FItems.empty() ? nullptr : FItems.back(); }

    T *Add(T *item)
    {
        FItems.push_back(item);
        return item;
    }
    T *Add(std::unique_ptr<T> item)
    {
        T *raw = item.get();
        FItems.push_back(raw);
        item.release();
        return raw;
    }
    void Insert(int index, T *item) { FItems.insert(FItems.begin() + index, item); }

    int IndexOf(const T *item) const
    {
        const auto it = std::find(FItems.begin(), FItems.end(), item);
        return it == FItems.end() ? -1 : int(it - FItems.begin());
    }

    // Removes the item at `index`, freeing it when the list owns it.
    void Delete(int index)
    {
        T *item = FItems.at(size_t(index));
        FItems.erase(FItems.begin() + index);
        if (FOwnsObjects)
            delete item;
    }
    // Removes the item, freeing it when the list owns it; nothing when it is not there.
    void Remove(const T *item)
    {
        const int i = IndexOf(item);
        if (i >= 0)
            Delete(i);
    }
    // Removes the item without freeing it; the caller takes it over.
    T *Extract(T *item)
    {
        const int i = IndexOf(item);
        if (i >= 0)
            FItems.erase(FItems.begin() + i);
        return i >= 0 ? item : nullptr;
    }
    void Clear()
    {
        std::vector<T *> items;
        items.swap(FItems);
        if (FOwnsObjects)
            for (T *item : items)
                delete item;
    }

    typename std::vector<T *>::const_iterator begin() const { return FItems.begin(); }
    typename std::vector<T *>::const_iterator end() const { return FItems.end(); }

private:
    bool FOwnsObjects;
    std::vector<T *> FItems;
};
