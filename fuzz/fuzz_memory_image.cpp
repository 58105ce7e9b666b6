// Any logger memory image through the parser, once with the image's own end pointer and once with
// the last index of the image (as a download sets it). A parse that succeeds leaves a store that
// keeps its invariants; one that fails leaves the store as it was.
#include "FuzzSupport.h"
#include "data/MemoryImageParser.h"

namespace {

void checkStore(const DataSetStore &s, const QByteArray &img)
{
    const int n = s.setCount();
    FUZZ_REQUIRE(n >= 1 && n <= DataSetStore::MaxSets);
    FUZZ_REQUIRE(s.SetInterval.size() == n && s.SetCount.size() == n && s.SetFlags.size() == n
                 && s.SetHeaderOffset.size() == n && s.SetEndOffset.size() == n && s.SetMaxIndex.size() == n
                 && s.SetMinIndex.size() == n && s.SetMean.size() == n);
    qsizetype total = 0;
    for (int k = 0; k < n; ++k) {
        const qint32 q = s.SetHeaderOffset[k], e = s.SetEndOffset[k], c = s.SetCount[k];
        FUZZ_REQUIRE(q == (k == 0 ? 1024 : s.SetEndOffset[k - 1] + 1));
        FUZZ_REQUIRE(c == qMax(0, (e - q - 15) / 2));
        FUZZ_REQUIRE(e <= s.LastAddress && e < img.size());
        FUZZ_REQUIRE(s.SetInterval[k] >= 0 && s.SetInterval[k] <= 60);
        FUZZ_REQUIRE(c == 0 || (s.SetMaxIndex[k] >= 0 && s.SetMaxIndex[k] < c && s.SetMinIndex[k] >= 0
                                && s.SetMinIndex[k] < c));
        total += c;
    }
    FUZZ_REQUIRE(s.Levels.size() == total && s.LevelTimes.size() == total);
    for (float v : s.Levels)
        FUZZ_REQUIRE(v >= 20.0f && v <= 140.0f);
    FUZZ_REQUIRE(s.Image == img);
    FUZZ_REQUIRE(dataSetListRows(s, QLocale::c()).size() == n);
}

void parseWith(const QByteArray &img, qint32 lastAddress)
{
    DataSetStore store;
    store.LastAddress = lastAddress;
    const ParseResult code = ParseMemoryImage(img, store, 46001.0);
    FUZZ_REQUIRE(code == ParseResult::Loaded || code == ParseResult::DamagedSet || code == ParseResult::TooManySets
                 || code == ParseResult::NoDataSet);
    if (code == ParseResult::Loaded)
        checkStore(store, img);
    else
        FUZZ_REQUIRE(store.isEmpty() && store.Levels.isEmpty() && store.Image.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray img = fuzz::input(data, size);
    parseWith(img, lastAddressOf(img));
    parseWith(img, qint32(img.size()) - 1);
    return 0;
}
