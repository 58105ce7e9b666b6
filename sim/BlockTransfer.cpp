#include "sim/BlockTransfer.h"

QByteArray BlockTransfer::blockBytes(const LoggerMemory &memory, int k)
{
    QByteArray b;
    quint8 sum = 0;
    const int base = (k * 64) % LoggerMemory::Size;
    for (int i = 0; i < 64; ++i) {
        const quint8 v = memory.at(base + i);
        b.append(char(v));
        sum = quint8(sum + v);
    }
    b.append(char(sum));
    return b;
}

QByteArray BlockTransfer::send()
{
    if (m_silent)
        return {};
    QByteArray b = blockBytes(m_memory, m_block);
    if (m_alwaysBad || m_badSum.remove(m_block))
        b[64] = char(quint8(b.at(64)) + 1);
    if (m_cut.contains(m_block))
        b.truncate(m_cut.take(m_block));
    ++m_sent;
    if (m_block == m_silentAfter) {
        m_silent = true;
        m_silentAfter = -1;
    }
    return b;
}

QByteArray BlockTransfer::start()
{
    m_active = true;
    m_silent = false;
    m_block = 0;
    return send();
}

QByteArray BlockTransfer::next()
{
    if (m_silent)
        return {};
    ++m_accepts;
    ++m_block;
    return send();
}

QByteArray BlockTransfer::again()
{
    if (m_silent)
        return {};
    ++m_rejections;
    return send();
}
