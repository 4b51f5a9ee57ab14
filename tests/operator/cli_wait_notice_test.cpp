// quorvel-cli on a terminal: the progress line counts down the library's long waits while an
// operation runs, and says nothing of them once it is over.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "linkpad/hooks.h"
#include "operator/cli/cli_ui.h"

namespace {

using quorvel::cli::CliUi;
using quorvel::cli::Verbosity;

TEST(CliUi, ProgressLineCountsDownLongWaitsOnlyDuringAnOperation) {
    char* data = nullptr;
    size_t size = 0;
    std::FILE* err = open_memstream(&data, &size);
    linkpad::VirtualClock clock;
    linkpad::ScopedClock scoped(clock);
    {
        CliUi ui({Verbosity::Normal, false, true, true, false}, err);
        ui.setInterfaceEnabled(false);
        ui.setStatus("Erase Flash...");
        QTX_WaitMs(2000);
        ui.setInterfaceEnabled(true);
        std::fflush(err);
        const std::string during(data, size);
        EXPECT_NE(during.find("Erase Flash..., waiting for the module, up to 2 s"),
                  std::string::npos)
            << during;
        EXPECT_NE(during.find("Erase Flash..., waiting for the module, up to 1 s"),
                  std::string::npos);
        QTX_WaitMs(2000);  // no operation runs: nothing is told
        std::fflush(err);
        EXPECT_EQ(std::string(data, size), during);
    }
    std::fclose(err);
    std::free(data);
}

}  // namespace
