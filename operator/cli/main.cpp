// quorvel-cli: the operator program on the command line.
#include <QCoreApplication>

#include "operator/cli/command_line.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    return quorvel::cli::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
