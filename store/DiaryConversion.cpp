#include "store/DiaryConversion.h"

#include <vector>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/core/Wipe.h"
#include "store/ConversionLeftUnderWay.h"
#include "store/MemberFileWriter.h"
#include "store/MemberFolder.h"
#include "store/PasswordFile.h"
#include "store/ProtectedFileError.h"
#include "store/StoredLines.h"

namespace {

struct FileChange {
    std::string path;
    std::string before;
    std::string after;
};

struct DataFile {
    std::string name;
    ProtectedFileKind kind;
};

std::vector<DataFile> dataFiles() {
    std::vector<DataFile> files;
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        files.push_back({MemberFolder::pageFileName(page), ProtectedFileKind::Page});
    }
    files.push_back({MemberFolder::kCaptionsFile, ProtectedFileKind::Captions});
    return files;
}

// Writes each change in order. On a failure the changes already made are undone, newest first,
// and the failure is thrown; an undo that fails stops the undoing, so the password file keeps
// its conversion mark for as long as any other file is left converted, and the failure is
// thrown as ConversionLeftUnderWay.
void makeChanges(const std::vector<FileChange>& changes) {
    std::size_t done = 0;
    try {
        for (; done < changes.size(); ++done) {
            rewriteMemberFile(changes[done].path, changes[done].after);
        }
    } catch (const platform::FileError& failure) {
        try {
            while (done > 0) {
                --done;
                rewriteMemberFile(changes[done].path, changes[done].before);
            }
        } catch (const platform::FileError&) {
            // the mark stays: the next login finishes the conversion
            throw ConversionLeftUnderWay(failure);
        }
        throw;
    }
}

// Converts the data files of folder whose form is from, appending a change for each.
void addDataChanges(const std::string& folder, const DiaryKeys& keys, MemberFileForm from, ConversionState reading,
                    std::vector<FileChange>& changes) {
    for (const DataFile& file : dataFiles()) {
        const std::string path = platform::joinPath(folder, file.name);
        std::string data = platform::readFileBytes(path);
        if (memberFileForm(data) != from) {
            continue; // empty, or already in the form wanted
        }
        const ProtectedFileContext context{keys, reading, file.kind, file.name};
        std::vector<StoredLine> lines;
        if (from == MemberFileForm::Classic) {
            lines = classicLines(data, keys.classicKey);
            changes.push_back({path, std::move(data), protectedContent(lines, context)});
        } else {
            try {
                lines = protectedMemberLines(data, context);
            } catch (const ProtectedFileError& e) {
                throw platform::FileError(path, std::string("The file cannot be converted: ") + e.what() + ".");
            }
            changes.push_back({path, std::move(data), classicContent(lines, keys.classicKey)});
        }
        wipeLines(lines);
    }
}

std::string classicPasswordContent(const DiaryKeys& keys) {
    return PasswordFile::content(keys.classicKey, keys.password.view());
}

void wipeChanges(std::vector<FileChange>& changes) {
    for (FileChange& change : changes) {
        platform::wipeKeepingRoom(change.before);
        platform::wipeKeepingRoom(change.after);
    }
}

void run(std::vector<FileChange>& changes) {
    try {
        makeChanges(changes);
    } catch (...) {
        wipeChanges(changes);
        throw;
    }
    wipeChanges(changes);
}

} // namespace

void protectDiary(const std::string& folder, const DiaryKeys& keys) {
    const std::string passwordPath = platform::joinPath(folder, MemberFolder::kPasswordFile);
    std::vector<FileChange> changes;
    changes.push_back({passwordPath, platform::readFileBytes(passwordPath),
                       ProtectedPasswordFile::content(keys, ConversionState::BeingProtected)});
    addDataChanges(folder, keys, MemberFileForm::Classic, ConversionState::BeingProtected, changes);
    changes.push_back({passwordPath, {}, ProtectedPasswordFile::content(keys, ConversionState::Protected)});
    run(changes);
}

void unprotectDiary(const std::string& folder, const DiaryKeys& keys) {
    const std::string passwordPath = platform::joinPath(folder, MemberFolder::kPasswordFile);
    std::vector<FileChange> changes;
    changes.push_back({passwordPath, platform::readFileBytes(passwordPath),
                       ProtectedPasswordFile::content(keys, ConversionState::BeingUnprotected)});
    addDataChanges(folder, keys, MemberFileForm::Protected, ConversionState::BeingUnprotected, changes);
    changes.push_back({passwordPath, {}, classicPasswordContent(keys)});
    run(changes);
}

void finishConversion(const std::string& folder, const DiaryKeys& keys, ConversionState state) {
    if (state == ConversionState::Protected) {
        return;
    }
    const bool protecting = state == ConversionState::BeingProtected;
    std::vector<FileChange> changes;
    addDataChanges(folder, keys, protecting ? MemberFileForm::Classic : MemberFileForm::Protected, state, changes);
    changes.push_back(
        {platform::joinPath(folder, MemberFolder::kPasswordFile),
         {},
         protecting ? ProtectedPasswordFile::content(keys, ConversionState::Protected) : classicPasswordContent(keys)});
    // Forward only: the files already converted stay so, and the mark with them.
    for (FileChange& change : changes) {
        change.before.clear();
    }
    try {
        for (const FileChange& change : changes) {
            rewriteMemberFile(change.path, change.after);
        }
    } catch (...) {
        wipeChanges(changes);
        throw;
    }
    wipeChanges(changes);
}
