#pragma once
// What a findings list costs and shows, for the validation window's bench and memory test: the
// process's resident memory and the findings a list model holds.

#include <unistd.h>

#include <QAbstractItemModel>
#include <fstream>

namespace testsupport {

inline double residentMegabytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Its rows, a group counting as the findings in it.
inline int listedFindings(const QAbstractItemModel& model) {
    int count = 0;
    for (int row = 0; row < model.rowCount(); ++row) {
        const int children = model.rowCount(model.index(row, 0));
        count += children > 0 ? children : 1;
    }
    return count;
}

}  // namespace testsupport
