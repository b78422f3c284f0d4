#pragma once

#include <QtGlobal>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace brindle::colour {

// A sequence kept in chunks of about a thousand items, so that replacing a
// few items in the middle of hundreds of thousands moves one chunk, not the
// whole tail. Finding an index walks the chunk sizes (a few hundred ints).
template <typename T> class ChunkedSequence {
public:
    static constexpr std::size_t kChunk = 1024;

    qsizetype size() const { return m_size; }

    T& operator[](qsizetype i) {
        const auto [chunk, offset] = Locate(i);
        return m_chunks[chunk][offset];
    }
    const T& operator[](qsizetype i) const {
        const auto [chunk, offset] = Locate(i);
        return m_chunks[chunk][offset];
    }

    void Assign(std::vector<T>&& items) {
        m_chunks.clear();
        m_size = 0;
        Replace(0, 0, std::move(items));
    }

    // Replaces items [first, first + removed) by `items`.
    void Replace(qsizetype first, qsizetype removed, std::vector<T>&& items) {
        Q_ASSERT(first >= 0 && removed >= 0 && first + removed <= m_size);
        if (m_chunks.empty()) {
            m_chunks.emplace_back();
        }
        auto [chunk, offset] = LocateForInsert(first);
        // Erase, chunk by chunk; chunks emptied past the first one go.
        std::size_t at = chunk;
        std::size_t from = offset;
        for (qsizetype left = removed; left > 0;) {
            std::vector<T>& c = m_chunks[at];
            const std::size_t take = std::min<std::size_t>(std::size_t(left), c.size() - from);
            c.erase(c.begin() + qsizetype(from), c.begin() + qsizetype(from + take));
            left -= qsizetype(take);
            m_size -= qsizetype(take);
            if (left > 0) {
                ++at;
                from = 0;
            }
        }
        while (at > chunk) {
            if (m_chunks[at].empty()) {
                m_chunks.erase(m_chunks.begin() + qsizetype(at));
            }
            --at;
        }
        std::vector<T>& target = m_chunks[chunk];
        m_size += qsizetype(items.size());
        target.insert(target.begin() + qsizetype(offset), std::make_move_iterator(items.begin()),
                      std::make_move_iterator(items.end()));
        Rebalance(chunk);
    }

    // Visits items from an index on, one after the other, without locating
    // each anew.
    class Cursor {
    public:
        bool AtEnd() const { return m_chunk >= m_seq->m_chunks.size(); }
        T& operator*() const { return m_seq->m_chunks[m_chunk][m_offset]; }
        void Next() {
            if (++m_offset >= m_seq->m_chunks[m_chunk].size()) {
                ++m_chunk;
                m_offset = 0;
            }
        }

    private:
        friend class ChunkedSequence;
        Cursor(ChunkedSequence* seq, std::size_t chunk, std::size_t offset)
            : m_seq(seq), m_chunk(chunk), m_offset(offset) {}
        ChunkedSequence* m_seq;
        std::size_t m_chunk;
        std::size_t m_offset;
    };

    Cursor At(qsizetype i) {
        if (i >= m_size) {
            return Cursor(this, m_chunks.size(), 0);
        }
        const auto [chunk, offset] = Locate(i);
        return Cursor(this, chunk, offset);
    }

    template <typename F> void ForEach(F&& visit) const {
        for (const std::vector<T>& chunk : m_chunks) {
            for (const T& item : chunk) {
                visit(item);
            }
        }
    }

private:
    std::pair<std::size_t, std::size_t> Locate(qsizetype i) const {
        Q_ASSERT(i >= 0 && i < m_size);
        std::size_t left = std::size_t(i);
        std::size_t chunk = 0;
        while (left >= m_chunks[chunk].size()) {
            left -= m_chunks[chunk].size();
            ++chunk;
        }
        return {chunk, left};
    }

    // Like Locate, but the end of the sequence is a place too.
    std::pair<std::size_t, std::size_t> LocateForInsert(qsizetype i) const {
        if (i == m_size) {
            return {m_chunks.size() - 1, m_chunks.back().size()};
        }
        return Locate(i);
    }

    // Splits a chunk grown past twice the size; merges one shrunk to a
    // quarter into a neighbour; drops an empty one unless it is the last.
    void Rebalance(std::size_t chunk) {
        std::vector<T>& c = m_chunks[chunk];
        if (c.size() > 2 * kChunk) {
            std::vector<std::vector<T>> pieces;
            for (std::size_t from = 0; from < c.size(); from += kChunk) {
                const std::size_t to = std::min(c.size(), from + kChunk);
                pieces.emplace_back(std::make_move_iterator(c.begin() + qsizetype(from)),
                                    std::make_move_iterator(c.begin() + qsizetype(to)));
            }
            m_chunks.erase(m_chunks.begin() + qsizetype(chunk));
            m_chunks.insert(m_chunks.begin() + qsizetype(chunk),
                            std::make_move_iterator(pieces.begin()),
                            std::make_move_iterator(pieces.end()));
            return;
        }
        if (c.size() >= kChunk / 4 || m_chunks.size() == 1) {
            return;
        }
        const std::size_t neighbour = chunk + 1 < m_chunks.size() ? chunk + 1 : chunk - 1;
        const std::size_t left = std::min(chunk, neighbour);
        std::vector<T>& a = m_chunks[left];
        std::vector<T>& b = m_chunks[left + 1];
        if (a.size() + b.size() > 2 * kChunk) {
            return;
        }
        a.insert(a.end(), std::make_move_iterator(b.begin()), std::make_move_iterator(b.end()));
        m_chunks.erase(m_chunks.begin() + qsizetype(left + 1));
    }

    std::vector<std::vector<T>> m_chunks;
    qsizetype m_size = 0;
};

} // namespace brindle::colour
