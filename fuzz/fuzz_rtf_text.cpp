// Feeds arbitrary bytes to the RTF reader's plain-text path alone, the one the
// search across all memos takes, without a document: many more inputs a
// second than the reader's target with its document. A piece of whole
// characters of the text it gives must be found in the body by that search.

#include "rtf/body_search.h"
#include "rtf/document.h"
#include "store/text_fold.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString plain = tz::rtf::plain_text(bytes);
    if (plain.isEmpty()) return 0;
    // A piece from the middle, never cutting a surrogate pair.
    qsizetype from = plain.size() / 3;
    qsizetype to = std::min(plain.size(), from + 1 + qsizetype(size % 11));
    if (from > 0 && plain[from].isLowSurrogate() && plain[from - 1].isHighSurrogate()) --from;
    if (to < plain.size() && plain[to - 1].isHighSurrogate() && plain[to].isLowSurrogate()) ++to;
    const QString piece = plain.sliced(from, to - from);
    if (!tz::body_contains(bytes, tz::fold_for_search(piece))) {
        std::fprintf(stderr, "a piece of the body's text is not found in it: %s\n", qPrintable(piece));
        std::abort();
    }
    return 0;
}
