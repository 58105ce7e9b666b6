// Any file opened as a data set collection: read, parsed, the working copy written, and the
// collection saved again from the store. What is saved is the working copy, byte for byte.
#include "FuzzSupport.h"
#include "data/CollectionFile.h"
#include "data/WorkingCopy.h"
#include "data/MemoryImageParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::input(data, size);
    const QString path = fuzz::writeScratch(QStringLiteral("in.rec"), bytes);
    const QString folder = fuzz::scratchFile(QStringLiteral("temp/"));
    const QString copy = workingCopyPath(folder);
    QFile::remove(copy);
    DataSetStore store;
    MemoryImage image;
    const CollectionOpenResult r = openCollectionFile(path, store, image, folder, 46001.0);
    FUZZ_REQUIRE(image.isEmpty());
    if (r.outcome != CollectionOpenResult::Loaded) {
        FUZZ_REQUIRE(r.outcome != CollectionOpenResult::FolderError);
        FUZZ_REQUIRE(store.isEmpty());
        return 0;
    }
    const QByteArray written = fuzz::readScratch(copy);
    FUZZ_REQUIRE(written.size() == qsizetype(lastAddressOf(bytes)) + 257);
    FUZZ_REQUIRE(written.left(bytes.size()) == bytes.left(written.size()));
    const QString saved = fuzz::scratchFile(QStringLiteral("saved.rec"));
    FUZZ_REQUIRE(saveCollection(store, saved));
    FUZZ_REQUIRE(fuzz::readScratch(saved) == written);
    return 0;
}
