// gen_data_folder FOLDER [MEMOS] [CATEGORIES] [BODY_BYTES] [PICTURE_EVERY]: writes a data folder
// of that many memos for trying the program and its benchmarks at their limits.

#include "gen_data.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: gen_data_folder FOLDER [MEMOS] [CATEGORIES] [BODY_BYTES] [PICTURE_EVERY]\n");
        return 2;
    }
    tz::bench::DataShape shape;
    if (args.size() > 2) shape.memos = std::clamp(args[2].toInt(), 0, 30000);
    if (args.size() > 3) shape.categories = std::clamp(args[3].toInt(), 1, 998);
    if (args.size() > 4) shape.body_bytes = std::max(0, args[4].toInt());
    if (args.size() > 5) shape.picture_every = std::max(0, args[5].toInt());
    if (!tz::bench::generate_data_folder(args[1], shape)) {
        std::fprintf(stderr, "gen_data_folder: some files could not be written\n");
        return 1;
    }
    return 0;
}
