#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace shredder {

// The shred list as the user sees it: full paths, in the order added, unsorted, duplicates
// allowed, at most one entry selected.
class ListBox {
public:
    virtual ~ListBox() = default;
    virtual void append(const std::string& path) = 0;
    virtual void removeAt(std::size_t index) = 0;
    virtual void clear() = 0;
    virtual std::size_t count() const = 0;
    virtual std::string at(std::size_t index) const = 0;
    virtual std::optional<std::size_t> selectedIndex() const = 0;

    // Around a large batch of appends; the real control stops repainting in between.
    virtual void beginBatch() {}
    virtual void endBatch() {}
};

// Holds a list in batch mode for the lifetime of a scope.
class ListBatch {
public:
    explicit ListBatch(ListBox& list) : list_(list) { list_.beginBatch(); }
    ~ListBatch() { list_.endBatch(); }
    ListBatch(const ListBatch&) = delete;
    ListBatch& operator=(const ListBatch&) = delete;

private:
    ListBox& list_;
};

}  // namespace shredder
