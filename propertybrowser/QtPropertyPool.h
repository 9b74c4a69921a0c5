#ifndef QTPROPERTYPOOL_H
#define QTPROPERTYPOOL_H

#include <QtGlobal>

#include <cstddef>
#include <mutex>

// Memory for many objects of one size without the allocator's own word per
// object: blocks of 64 KB carved into slots, each block aligned to its size
// so that a freed slot finds its block from its address. Slots go out from
// blocks already in use before a new one is taken; a block goes back once
// its last slot is freed, but for one kept empty against taking and
// returning a block over and over. Any thread may take and free slots,
// aligned to a word. A pool lives as long as the process: a slot may be
// freed at any time.
class QtPropertyPool
{
public:
    explicit QtPropertyPool(std::size_t slotSize);
    ~QtPropertyPool() = delete;

    // Throws std::bad_alloc when no block can be had.
    void *allocate();
    // A slot from allocate, of any pool.
    static void deallocate(void *slot);

private:
    struct Block;
    Q_DISABLE_COPY(QtPropertyPool)
    // Blocks with free slots form a list, from m_open.
    void link(Block *block);
    void unlink(Block *block);

    std::size_t m_slotSize;
    std::mutex m_mutex;
    Block *m_open = nullptr;
    Block *m_keptEmpty = nullptr;
};

#endif // QTPROPERTYPOOL_H
