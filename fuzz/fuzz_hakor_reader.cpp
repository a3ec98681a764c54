// Feeds arbitrary bytes to the reader of 【ハコネル】's hakor.dat and body files
// and checks what every input must give: every line lands in exactly one
// record, a record is cut short only at the end, and each record becomes a memo.

#include "store/file_io.h"
#include "store/hakor_import.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = tz::split_lines(bytes);
    const tz::hakor::Index index = tz::hakor::index_from_bytes(bytes);
    const qsizetype records = qsizetype(index.records.size());
    const int per = tz::hakor::Record::kLines;
    if (records * per < lines.size() || (records > 0 && (records - 1) * per >= lines.size())) fail("lines lost or invented");
    if (index.cut_short != (lines.size() % per != 0)) fail("cut record not reported");
    if (!index.records.empty()) {
        const tz::hakor::Record& last = index.records.back();
        if (!index.cut_short && last.marker != lines.last()) fail("last line misplaced");
    }
    for (const tz::hakor::Record& r : index.records) {
        const tz::MemoRecord m = tz::hakor::memo_from(r, tz::Value::number(1));
        if (m.updated_stamp.display().isEmpty()) fail("empty updated stamp");
        tz::hakor::body_path(QStringLiteral("/h/"), r.body_number);
    }
    const QString body = tz::hakor::body_text(bytes);
    if (body.size() > bytes.size()) fail("body longer than its bytes");
    return 0;
}
