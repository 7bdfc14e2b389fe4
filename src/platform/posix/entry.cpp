// The program's entry on the host: the stand-in layer is set up from the environment, the
// arguments are joined into one command line, and the program runs.
#include "app/program.h"
#include "platform/posix/layer_state.h"
#include "platform/posix/stand_in.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    std::string problem;
    if (!StartStandInLayer(problem)) {
        std::fprintf(stderr, "tilewright: %s\n", problem.c_str());
        return 2;
    }
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            arguments += ' ';
        }
        arguments += argv[i];
    }
    return RunProgram(WideFromHostBytes(arguments));
}
