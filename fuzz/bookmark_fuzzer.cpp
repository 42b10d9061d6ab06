// libFuzzer entry: reads the input as "bookmark.ini" in both code pages and
// checks the round trip: what was read can be written, and reading what was
// written gives the same entries and the same carried lines.
#include "files/BookmarkFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "bookmark round trip: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const platform::CodePage codePage : {platform::CodePage::Utf8, platform::CodePage::Windows1252}) {
        const files::BookmarkFile first = files::parseBookmarkFile(bytes, codePage);
        require(first.entries.size() <= files::BookmarksShown, "too many entries shown");
        // Lines are carried before the shown ones are all read only when too
        // long for a path, and a file in the code page is carried as it is
        // unless such a line comes early.
        require(first.rest.isEmpty() || first.entries.size() == files::BookmarksShown
                    || first.rest.size() > files::LongestPath,
                "lines carried early");
        require(bytes.endsWith(first.rest) || !platform::decode(codePage, bytes) || first.rest.size() > files::LongestPath,
                "carried lines changed");
        for (const QString &entry : first.entries)
            require(files::isStorableBookmark(entry, codePage), "an entry read cannot be stored");

        const std::optional<QByteArray> written = files::writeBookmarkFile(first.entries, first.rest, codePage);
        require(written.has_value(), "what was read cannot be written");
        const files::BookmarkFile second = files::parseBookmarkFile(*written, codePage);
        require(second.entries == first.entries, "entries differ after writing");
        require(second.rest == first.rest, "carried lines differ after writing");
        require(files::writeBookmarkFile(second.entries, second.rest, codePage) == written, "second write differs");
    }
    return 0;
}
