#pragma once
#include <memory>
#include <mutex>
#include <vector>

// A process-wide table that loaders build privately and hand over whole: a
// reader on any thread sees either the old table or the new one, never a
// table being filled, and a lookup never changes it. A replaced table is kept
// alive, so records that callers found in it stay valid (tables are replaced
// only when data is loaded again, a handful of times per run).
template <typename Table>
class PublishedTable {
public:
    std::shared_ptr<const Table> Get() const {
        std::lock_guard<std::mutex> lock(mLock);
        return mTable;
    }

    void Publish(Table table) {
        auto fresh = std::make_shared<const Table>(std::move(table));
        std::lock_guard<std::mutex> lock(mLock);
        mRetired.push_back(std::move(mTable));
        mTable = std::move(fresh);
    }

    // Publishes a changed copy of the current table (tests and tools set up
    // tables this way; loaders build theirs from nothing).
    template <typename Change>
    void Edit(Change change) {
        Table copy = *Get();
        change(copy);
        Publish(std::move(copy));
    }

private:
    mutable std::mutex mLock;
    std::shared_ptr<const Table> mTable = std::make_shared<const Table>();
    std::vector<std::shared_ptr<const Table>> mRetired;
};
