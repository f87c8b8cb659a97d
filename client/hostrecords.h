#pragma once

#include <QHash>
#include <QString>

namespace zonara {

enum class HostKind : int { Unset = 0, Dynamic = 1, Static = 2 };

// One host as read from the listing pages.
struct HostRecord
{
    QString name;
    int id = 0;
    HostKind kind = HostKind::Unset;
    QString firstDetail;
    QString secondDetail;
};

// Host records indexed by host id, slots 0 to 99999. Sparse: a slot takes memory only once a
// listing writes into it, and keeps what the last listing wrote until releaseAllBut() gives
// it back; a slot never written reads as an empty record.
class HostRecordTable final
{
public:
    static constexpr int SlotCount = 100'000;

    static bool hasSlot(int id) { return id >= 0 && id < SlotCount; }

    // The slot of `id`, which must satisfy hasSlot().
    HostRecord &operator[](int id) { return m_slots[id]; }
    const HostRecord &operator[](int id) const
    {
        static const HostRecord empty;
        const auto it = m_slots.constFind(id);
        return it == m_slots.cend() ? empty : *it;
    }

    // Gives back every slot but that of `keptId` (none when it is no slot). A listing writes
    // every field of a host before it lists it, so only slots no listed or pending host reaches
    // may be given back.
    void releaseAllBut(int keptId)
    {
        const auto kept = m_slots.constFind(keptId);
        QHash<int, HostRecord> left;
        if (kept != m_slots.cend())
            left.insert(keptId, *kept);
        m_slots.swap(left);
    }

    qsizetype occupiedSlots() const { return m_slots.size(); }

private:
    QHash<int, HostRecord> m_slots;
};

} // namespace zonara
