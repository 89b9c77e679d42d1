#include "uFrameCache.h"

#include <QMutexLocker>

#include <cstdlib>

TFrameCache::TFrameCache(qint64 budgetBytes) : m_budget(budgetBytes) {}

TFrameCache::~TFrameCache()
{
    Clear();
}

qint64 TFrameCache::Budget() const
{
    QMutexLocker locker(&m_lock);
    return m_budget;
}

void TFrameCache::SetBudget(qint64 bytes)
{
    QMutexLocker locker(&m_lock);
    m_budget = qMax<qint64>(bytes, 0);
    evictBeyondBudget();
}

void TFrameCache::Store(GstBuffer *buffer, GstCaps *caps, qint64 position)
{
    if (!m_enabled || !buffer)
        return;
    const qint64 bytes = qint64(gst_buffer_get_size(buffer));
    {
        QMutexLocker locker(&m_lock);
        if (bytes == 0 || bytes > m_budget)
            return;
        const qint64 distance = qAbs(position - m_focus);
        if (m_frameDuration > 1 && distance / m_frameDuration > m_budget / bytes)
            return;
    }
    // The copy is made outside the lock: the UI thread may look frames up
    // meanwhile. A deep copy frees the decoder's own buffer at once, so a
    // decoder whose buffer pool is bounded never waits for the cache.
    GstBuffer *copy = gst_buffer_copy_deep(buffer);
    GstSample *sample = gst_sample_new(copy, caps, nullptr, nullptr);
    gst_buffer_unref(copy);
    QMutexLocker locker(&m_lock);
    if (auto it = m_frames.find(position); it != m_frames.end())
        drop(it);
    m_frames.emplace(position, TEntry{sample, bytes});
    m_bytes += bytes;
    evictBeyondBudget();
}

void TFrameCache::SetFocus(qint64 position)
{
    QMutexLocker locker(&m_lock);
    m_focus = position;
}

void TFrameCache::drop(std::map<qint64, TEntry>::iterator it)
{
    m_bytes -= it->second.bytes;
    gst_sample_unref(it->second.sample);
    m_frames.erase(it);
}

void TFrameCache::evictBeyondBudget()
{
    // Positions are ordered, so the farthest frame from the focus is the
    // first or the last one.
    while (m_bytes > m_budget && !m_frames.empty()) {
        auto first = m_frames.begin();
        auto last = std::prev(m_frames.end());
        const qint64 below = m_focus - first->first, above = last->first - m_focus;
        drop(above > below ? last : first);
    }
}

void TFrameCache::SetFrameDuration(qint64 duration)
{
    QMutexLocker locker(&m_lock);
    m_frameDuration = qMax<qint64>(duration, 0);
}

GstSample *TFrameCache::Find(qint64 position) const
{
    QMutexLocker locker(&m_lock);
    auto it = m_frames.find(position);
    return it == m_frames.end() ? nullptr : gst_sample_ref(it->second.sample);
}

bool TFrameCache::Contains(qint64 position) const
{
    QMutexLocker locker(&m_lock);
    return m_frames.count(position) > 0;
}

void TFrameCache::Clear()
{
    QMutexLocker locker(&m_lock);
    while (!m_frames.empty())
        drop(m_frames.begin());
}

int TFrameCache::Count() const
{
    QMutexLocker locker(&m_lock);
    return int(m_frames.size());
}

qint64 TFrameCache::Bytes() const
{
    QMutexLocker locker(&m_lock);
    return m_bytes;
}

qint64 TFrameCache::FramesWithin(qint64 budgetBytes, qint64 frameBytes)
{
    return frameBytes > 0 ? budgetBytes / frameBytes : 0;
}
