// `sampling_pass DIR N` makes a /proc-like fixture table of N processes of this user in DIR,
// with the desktop entries of their applications in DIR/xdg, for measuring passes over it with
// `pylonix-probe apps --proc DIR`.
#include <cstdlib>
#include <iostream>
#include <string>

#include "proc_fixture.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sampling_pass DIR N\n";
        return 2;
    }
    pylonix::bench::makeProcFixture(argv[1], std::atoi(argv[2]));
    return 0;
}
