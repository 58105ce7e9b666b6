#include "data/DataSetStore.h"

qsizetype DataSetStore::setOffset(int k) const
{
    qsizetype offset = 0;
    for (int i = 0; i < k && i < SetCount.size(); ++i)
        offset += SetCount.at(i);
    return offset;
}
