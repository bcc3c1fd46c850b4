// What the fuzz targets share: a broken invariant aborts, so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "tests/support/machines.h"

inline void require(bool ok, const char* what, const std::string& detail = "") {
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n%s\n", what, detail.c_str());
    std::abort();
}

// The snapshot's data in the dump, without the window state that a load leaves as the window
// had it (the Delete button, the key choice of a switch that is off).
inline std::string data(const testing_support::ModelFixture& f) {
    std::string out, dump = f.dump();
    for (size_t start = 0, end; start < dump.size(); start = end + 1) {
        end = dump.find('\n', start);
        std::string line = dump.substr(start, end - start);
        for (const char* kind : {"row ", "addable ", "record ", "toggle ", "indicator ", "caps "}) {
            if (line.rfind(kind, 0) == 0) out += line + "\n";
        }
    }
    return out;
}

// Apply writes the rows it holds (less those whose input-method file is gone, whose entries it
// deletes) and a fresh load sees what its reload saw. A second apply may still settle what the
// first could not (the list it wrote before those entries went; the indicator values when
// neither indicator runs afterwards) but shows the same; a third changes nothing.
inline void applyIsAFixedPoint(testing_support::ModelFixture& f) {
    auto& model = *f.model;
    std::string expected;
    for (const auto& r : model.snapshot.rows) {
        if (!model.catalogue().lostItsFile(r.klid)) expected += (expected.empty() ? "" : " ") + r.klid;
    }
    model.apply();
    require(testing_support::rowOrder(model) == expected, "apply keeps the rows", expected + " -> " + testing_support::rowOrder(model));
    std::string seen = f.dump();
    model.apply();
    require(f.dump() == seen, "a second apply shows the same", seen + "\n--\n" + f.dump());
    std::string written = f.written();
    model.apply();
    require(f.written() == written, "a third apply changes nothing", written + "\n--\n" + f.written());
    seen = data(f);
    f.start(true);
    require(data(f) == seen, "a fresh load sees what the reload saw", seen + "\n--\n" + data(f));
}
