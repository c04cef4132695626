// A file the removal acts on, named for the ANSI functions or, on the NT line, for the wide ones.
#include "platform/named_file.h"

#include "core/renamed_path.h"
#include "core/text_buffer.h"
#include "platform/path_forms.h"
#include "platform/wide_files.h"

bool SetArchiveOnly(const NamedFile& file) {
    if (!file.wide) return SetFileAttributesA(file.shown, FILE_ATTRIBUTE_ARCHIVE) != FALSE;
    const WideFileFunctions* wide = NtWideFileFunctions();
    const PrefixedPath path(file.wide);
    return wide && path && wide->setAttributes(path.get(), FILE_ATTRIBUTE_ARCHIVE);
}

bool DeleteNamedFile(const NamedFile& file) {
    if (!file.wide) return DeleteFileA(file.shown) != FALSE;
    const WideFileFunctions* wide = NtWideFileFunctions();
    const PrefixedPath path(file.wide);
    return wide && path && wide->deleteFile(path.get());
}

bool RenameNamedFile(const NamedFile& file) {
    if (!file.wide) {
        char target[MAX_PATH + 1];
        return FormRenamedPath(file.shown, target, sizeof target) && MoveFileA(file.shown, target);
    }
    const WideFileFunctions* wide = NtWideFileFunctions();
    const PrefixedPath from(file.wide);
    TextBuffer<wchar_t> to(from.size() + 2);
    return wide && from && to && FormRenamedPath(from.get(), to.data(), to.size()) &&
           wide->moveFileEx(from.get(), to.data(), 0);
}
