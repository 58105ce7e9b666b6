#pragma once
// Data set collection files (".rec"): a byte-for-byte copy of the logger memory image. Opening one
// runs the same parse as a download; saving copies the working copy.
#include "data/DataSetStore.h"
#include "data/MemoryImageParser.h"

#include <QString>

struct CollectionOpenResult {
    enum Outcome {
        CannotOpen,   // nothing changed, no message
        EmptyFile,    // nothing changed, no message
        ParseFailed,  // store unchanged; parseCode says why
        Loaded,       // store replaced, working copy written (or skipped when it could not be opened)
        FolderError,  // store replaced, but the working copy's folder could not be created: show
                      // errorText and draw no set
        TooLarge,     // larger than any memory image; nothing changed, show errorText
    };
    Outcome outcome = CannotOpen;
    ParseResult parseCode = ParseResult::Loaded;
    bool workingCopyWritten = false;
    QString errorText;
};

// The largest collection file: the working copy of a full logger memory (last address 0xFFFF)
// holds 0xFFFF + 257 bytes, a little more than the 65,536 bytes of the memory and the one block
// a download may add. Reading stops there, so a huge file never fills the memory.
constexpr qint64 kMaxCollectionBytes = 0xFFFF + 257;

// Reads the file whole as the memory image and parses it into store, without writing anything.
// Loaded: the store is replaced and image still holds the file's bytes (the caller empties it);
// otherwise image is empty and the store unchanged.
CollectionOpenResult readCollectionFile(const QString &path, DataSetStore &store, MemoryImage &image, TDateTime now);

// Reads the file whole as the memory image (kept empty afterwards), parses it into store and, on
// success, writes the working copy into workingCopyFolder. On Loaded the caller fills the data-set
// list and shows set 0.
CollectionOpenResult openCollectionFile(const QString &path, DataSetStore &store, MemoryImage &image,
                                        const QString &workingCopyFolder, TDateTime now);

// A ".rec" name, the extension compared without regard to case.
bool isCollectionFileName(const QString &name);

// Copies the working copy to target, replacing it. Nothing happens (false) without a working copy;
// a failed copy leaves an existing target as it was.
bool saveCollection(const QString &workingCopyFile, const QString &target);

// Writes the memory image of the collection in store to target in the working copy's layout
// (L + 257 bytes), replacing it only when complete. False, with nothing written, when the store
// holds no collection or the file cannot be written.
bool saveCollection(const DataSetStore &store, const QString &target);
