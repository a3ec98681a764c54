#pragma once
// Makes data folders of any size for benchmarks and for trying the program at
// its limits: memos with Japanese titles in hundreds of categories, plain and
// rich bodies, in exactly the files the program keeps.

#include <QString>

namespace tz::bench {

struct DataShape {
    int memos = 1000;        // up to 30,000
    int categories = 300;    // besides "全部"
    int body_bytes = 2000;   // rough size of each body
    bool bodies = true;      // write the two body files of every memo
    int picture_every = 0;   // every n-th rich body also holds a PNG picture; 0: none
    int picture_bytes = 16000;  // rough size of that picture's PNG
    unsigned seed = 1;
};

// Writes the folder (created if missing). False when a file could not be written.
bool generate_data_folder(const QString& folder, const DataShape& shape);

// A Japanese title, category or body line made from a seed.
QString japanese_text(unsigned& seed, int chars);

}  // namespace tz::bench
