#pragma once
// The meter's side of the memory block transfer: after 'P' it sends 64 bytes of memory and their
// sum modulo 256, the next block on 'y' (wrapping at the end of the memory), the same block again
// on 'n', and stops on 'Q'. Faults can be scripted per block.
#include "sim/LoggerMemory.h"

#include <QByteArray>
#include <QMap>
#include <QSet>

class BlockTransfer {
public:
    explicit BlockTransfer(const LoggerMemory &memory) : m_memory(memory) {}

    bool isActive() const { return m_active; }
    // The first block; the transfer is active until stop().
    QByteArray start();
    QByteArray next();   // after 'y'
    QByteArray again();  // after 'n'
    void stop() { m_active = false; }

    int blocksSent() const { return m_sent; }
    int currentBlock() const { return m_block; }
    int rejections() const { return m_rejections; }
    int accepts() const { return m_accepts; }

    // Faults, each taking effect once: block k goes out with a wrong sum; block k goes out with
    // only n of its bytes; after block k has gone out the meter answers nothing more.
    void badSumInBlock(int k) { m_badSum.insert(k); }
    void cutBlockShort(int k, int bytes) { m_cut.insert(k, bytes); }
    void silentAfterBlock(int k) { m_silentAfter = k; }
    // Every block sent with a wrong sum (the meter never gets it right).
    void alwaysBadSums(bool on) { m_alwaysBad = on; }
    bool isSilent() const { return m_silent; }

    // The 65 bytes of block k as the meter sends them without faults.
    static QByteArray blockBytes(const LoggerMemory &memory, int k);

private:
    QByteArray send();

    const LoggerMemory &m_memory;
    bool m_active = false;
    bool m_silent = false;
    int m_block = 0;
    int m_sent = 0;
    int m_rejections = 0;
    int m_accepts = 0;
    QSet<int> m_badSum;
    QMap<int, int> m_cut;
    int m_silentAfter = -1;
    bool m_alwaysBad = false;
};
