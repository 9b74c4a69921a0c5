#include "propertybrowser/QtPropertyPool.h"

#include <QtGlobal>

#include <cstdlib>
#include <new>

namespace {
constexpr std::size_t BlockSize = 64 * 1024;
} // namespace

// A block's head, at its start; the slots follow.
struct QtPropertyPool::Block
{
    QtPropertyPool *pool;
    Block *previous;
    Block *next;
    // Freed slots, each holding the next in its first word.
    void *freed;
    // The first slot never handed out.
    char *fresh;
    int used;
    bool linked;

    char *end() { return reinterpret_cast<char *>(this) + BlockSize; }
};

QtPropertyPool::QtPropertyPool(std::size_t slotSize)
    : m_slotSize((qMax(slotSize, sizeof(void *)) + sizeof(void *) - 1) / sizeof(void *) * sizeof(void *))
{
    Q_ASSERT(m_slotSize <= BlockSize / 4);
}

void *QtPropertyPool::allocate()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Block *block = m_open;
    if (!block) {
        void *memory = std::aligned_alloc(BlockSize, BlockSize);
        if (!memory)
            throw std::bad_alloc();
        constexpr std::size_t head = (sizeof(Block) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t)
                                     * alignof(std::max_align_t);
        block = new (memory) Block{this, nullptr, nullptr, nullptr, static_cast<char *>(memory) + head, 0, false};
        link(block);
    }
    void *slot = block->freed;
    if (slot) {
        block->freed = *static_cast<void **>(slot);
    } else {
        slot = block->fresh;
        block->fresh += m_slotSize;
    }
    if (block == m_keptEmpty)
        m_keptEmpty = nullptr;
    ++block->used;
    if (!block->freed && block->end() - block->fresh < std::ptrdiff_t(m_slotSize))
        unlink(block);
    return slot;
}

void QtPropertyPool::deallocate(void *slot)
{
    if (!slot)
        return;
    auto *block = reinterpret_cast<Block *>(reinterpret_cast<quintptr>(slot) & ~quintptr(BlockSize - 1));
    QtPropertyPool *pool = block->pool;
    std::lock_guard<std::mutex> lock(pool->m_mutex);
    *static_cast<void **>(slot) = block->freed;
    block->freed = slot;
    --block->used;
    if (!block->linked)
        pool->link(block);
    if (block->used > 0 || block == pool->m_keptEmpty)
        return;
    if (!pool->m_keptEmpty) {
        pool->m_keptEmpty = block;
        return;
    }
    pool->unlink(block);
    std::free(block);
}

void QtPropertyPool::link(Block *block)
{
    block->previous = nullptr;
    block->next = m_open;
    if (m_open)
        m_open->previous = block;
    m_open = block;
    block->linked = true;
}

void QtPropertyPool::unlink(Block *block)
{
    if (block->previous)
        block->previous->next = block->next;
    else
        m_open = block->next;
    if (block->next)
        block->next->previous = block->previous;
    block->linked = false;
}
