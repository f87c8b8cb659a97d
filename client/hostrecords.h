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

// Host records indexed by host id, slots 0 to 99999. Never cleared: a slot keeps what the last
// listing wrote into it.
class HostRecordTable final
{
public:
    static constexpr int SlotCount = 100'000;

    HostRecordTable()
        : m_slots(SlotCount)
    {}

    static bool hasSlot(int id) { return id >= 0 && id < SlotCount; }

    // The slot of `id`, which must satisfy hasSlot().
    HostRecord &operator[](int id) { return m_slots[std::size_t(id)]; }
    const HostRecord &operator[](int id) const { return m_slots[std::size_t(id)]; }

private:
    std::vector<HostRecord> m_slots;
};

} // namespace zonara
