#include "data/CollectionFile.h"
#include "app/WindowTexts.h"

#include "data/WorkingCopy.h"
#include "data/MemoryImageParser.h"

#include <QFile>
#include <QFileInfo>

CollectionOpenResult readCollectionFile(const QString &path, DataSetStore &store, MemoryImage &image, TDateTime now)
{
    CollectionOpenResult result;
    image.clear();
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return result;
        image = file.read(kMaxCollectionBytes + 1);
    }
    if (image.size() > kMaxCollectionBytes) {
        image.clear();
        result.outcome = CollectionOpenResult::TooLarge;
        result.errorText = messageText("CollectionTooLarge")
                               .arg(path)
                               .arg(kMaxCollectionBytes);
        return result;
    }
    if (image.isEmpty()) {
        result.outcome = CollectionOpenResult::EmptyFile;
        return result;
    }
    if (lastAddressOf(image) < 0) { // too short for the header fields the parse reads
        image.clear();
        result.outcome = CollectionOpenResult::ParseFailed;
        result.parseCode = ParseResult::NoDataSet;
        return result;
    }
    store.LastAddress = lastAddressOf(image);
    result.parseCode = ParseMemoryImage(image, store, now);
    if (result.parseCode != ParseResult::Loaded) {
        image.clear();
        result.outcome = CollectionOpenResult::ParseFailed;
        return result;
    }
    result.outcome = CollectionOpenResult::Loaded;
    return result;
}

CollectionOpenResult openCollectionFile(const QString &path, DataSetStore &store, MemoryImage &image,
                                        const QString &folder, TDateTime now)
{
    CollectionOpenResult result = readCollectionFile(path, store, image, now);
    if (result.outcome != CollectionOpenResult::Loaded)
        return result;
    try {
        ensureWorkingCopyFolder(folder);
        result.workingCopyWritten = writeWorkingCopy(image, workingCopyPath(folder));
        result.outcome = CollectionOpenResult::Loaded;
    } catch (const WorkingCopyFolderError &e) {
        result.outcome = CollectionOpenResult::FolderError;
        result.errorText = e.folder();
    }
    image.clear();
    return result;
}

bool isCollectionFileName(const QString &name)
{
    return QFileInfo(name).suffix().compare(QLatin1String("rec"), Qt::CaseInsensitive) == 0;
}

bool saveCollection(const QString &workingCopyFile, const QString &target)
{
    QFile source(workingCopyFile);
    if (!source.exists() || !source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    source.close();
    return writeFileSafely(target, bytes);
}

bool saveCollection(const DataSetStore &store, const QString &target)
{
    if (store.isEmpty())
        return false;
    return writeWorkingCopy(store.Image, target);
}
